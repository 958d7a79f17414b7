#pragma once

#include <QRunnable>

#include <functional>
#include <memory>

struct _LoaderShared;

// The loading side of one segment. Tasks run on the AssetLoadingThreadPool but never touch
// the segment there: they read what they were handed and post their results, which run on
// the segment's own thread (the one that constructed it, whose event loop delivers them).
// Destroying the loader (first thing in the segment's destructor) waits for the tasks that
// are running, drops queued ones and drops results not yet delivered.
class SegmentLoader
{
public:
  SegmentLoader();
  ~SegmentLoader();
  SegmentLoader(const SegmentLoader &) = delete;
  SegmentLoader &operator=(const SegmentLoader &) = delete;

  // Runs begin on the segment's thread when its event loop next gets control, so after
  // every constructor of the segment has finished.
  void startLater(std::function<void()> begin);
  // Queues the task with priority 0; the pool deletes it after it ran.
  void queue(class LoadingTask *task);
  // Waits for running tasks; afterwards nothing of this segment runs any more.
  void shutdown();

private:
  std::shared_ptr<_LoaderShared> m_shared;
};

// A loading task: work() runs on a pool thread while the segment is alive (the segment's
// destructor waits for it); post() hands a result over to the segment's thread.
class LoadingTask : public QRunnable
{
public:
  void run() final;

protected:
  virtual void work() = 0;
  // apply runs on the segment's thread, in posting order, unless the segment is gone.
  void post(std::function<void()> apply);
  // True once the segment is being destroyed, which waits for work(): long work polls it.
  bool isCancelled() const;

private:
  friend class SegmentLoader;
  std::shared_ptr<_LoaderShared> m_shared;
};
