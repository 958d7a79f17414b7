#pragma once

#include <condition_variable>
#include <mutex>

// Lets pool tasks use their owner only while it is alive: a task enters before touching the
// owner and leaves when done; the owner's destructor cancels and waits for those inside.
// Tasks hold it by shared pointer, so one still queued after the owner is gone finds it
// cancelled and does nothing. (Standard locks: the thread checker sees them.)
class TaskGuard
{
public:
  // False once cancelled: the task must not touch its owner.
  bool enter();
  void leave();
  bool isCancelled();
  void cancelAndWait();

  // Taken by a task's constructor while it stores its inputs and by its run() before it reads
  // them: the pool's own hand-over is invisible to the thread checker.
  static std::mutex &handOverLock();

private:
  std::mutex _mutex;
  std::condition_variable _idle;
  int _inside = 0;
  bool _cancelled = false;
};
