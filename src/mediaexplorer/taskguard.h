#pragma once

#include <QMutex>
#include <QWaitCondition>

// Lets pool tasks use their owner only while it is alive: a task enters before touching the
// owner and leaves when done; the owner's destructor cancels and waits for those inside.
// Tasks hold it by shared pointer, so one still queued after the owner is gone finds it
// cancelled and does nothing.
class TaskGuard
{
public:
  // False once cancelled: the task must not touch its owner.
  bool enter();
  void leave();
  bool isCancelled();
  void cancelAndWait();

private:
  QMutex _mutex;
  QWaitCondition _idle;
  int _inside = 0;
  bool _cancelled = false;
};
