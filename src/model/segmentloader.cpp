#include "segmentloader.h"

#include "assetloadingthreadpool.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

const QEvent::Type kDeliverEvent = QEvent::Type(QEvent::registerEventType());

// The pool hands a task to its thread under Qt's own lock, which the race checker cannot
// see into. Passing the task through this lock as well makes the hand-over visible; it is
// held for a moment only.
std::mutex s_handOver;

} // namespace

// Shared by the loader and its tasks. std::mutex rather than QMutex: the race checker
// sees through it, and tasks and the segment's thread meet only here.
struct _LoaderShared
{
  std::mutex mutex;
  std::condition_variable idle;
  bool alive = true;
  int running = 0;
  bool deliveryPosted = false;
  // Events of the receiver being handled; it must not be deleted under them.
  int handling = 0;
  std::vector<std::function<void()>> results;
  QObject *receiver = nullptr;

  void deliver();
};

namespace {

// Lives on the segment's thread; posted results reach it as events.
class _Receiver : public QObject
{
public:
  explicit _Receiver(std::shared_ptr<_LoaderShared> shared) : m_shared(std::move(shared)) {}

  // Both posted results and the deferred start arrive here; what they run may delete the
  // segment, which then defers the receiver's deletion.
  bool event(QEvent *e) override
  {
    const std::shared_ptr<_LoaderShared> shared = m_shared;
    {
      std::lock_guard<std::mutex> lock(shared->mutex);
      ++shared->handling;
    }
    bool handled = true;
    if (e->type() == kDeliverEvent)
      shared->deliver();
    else
      handled = QObject::event(e);
    std::lock_guard<std::mutex> lock(shared->mutex);
    --shared->handling;
    return handled;
  }

private:
  // Shared, as a receiver whose deletion was deferred may outlive the loader.
  std::shared_ptr<_LoaderShared> m_shared;
};

} // namespace

void _LoaderShared::deliver()
{
  std::vector<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex);
    deliveryPosted = false;
    if (!alive)
      return;
    batch.swap(results);
  }
  for (auto &apply : batch) {
    // An earlier result may have led to the segment's deletion.
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!alive)
        break;
    }
    apply();
  }
}

SegmentLoader::SegmentLoader() : m_shared(std::make_shared<_LoaderShared>())
{
  m_shared->receiver = new _Receiver(m_shared);
}

SegmentLoader::~SegmentLoader()
{
  shutdown();
}

void SegmentLoader::startLater(std::function<void()> begin)
{
  std::shared_ptr<_LoaderShared> shared = m_shared;
  QObject *receiver = shared->receiver;
  if (!receiver)
    return;
  QMetaObject::invokeMethod(
      receiver,
      [shared, begin = std::move(begin)] {
        {
          std::lock_guard<std::mutex> lock(shared->mutex);
          if (!shared->alive)
            return;
        }
        begin();
      },
      Qt::QueuedConnection);
}

void SegmentLoader::queue(LoadingTask *task)
{
  {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->alive) {
      delete task;
      return;
    }
  }
  {
    std::lock_guard<std::mutex> handOver(s_handOver);
    task->m_shared = m_shared;
    task->setAutoDelete(true);
  }
  AssetLoadingThreadPool::instance()->start(task, 0);
}

void SegmentLoader::shutdown()
{
  QObject *receiver = nullptr;
  bool handling = false;
  std::vector<std::function<void()>> dropped;
  {
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    if (!m_shared->alive)
      return;
    m_shared->alive = false;
    m_shared->idle.wait(lock, [this] { return m_shared->running == 0; });
    dropped.swap(m_shared->results);
    receiver = m_shared->receiver;
    m_shared->receiver = nullptr;
    handling = m_shared->handling > 0;
  }
  dropped.clear();
  if (!receiver)
    return;
  // Deleting it also discards its undelivered events. Not from inside its own event
  // handler, and not from a foreign thread.
  if (handling || receiver->thread() != QThread::currentThread())
    receiver->deleteLater();
  else
    delete receiver;
}

void LoadingTask::run()
{
  {
    std::lock_guard<std::mutex> handOver(s_handOver);
  }
  {
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->alive)
      return;
    ++m_shared->running;
  }
  work();
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  if (--m_shared->running == 0)
    m_shared->idle.notify_all();
}

bool LoadingTask::isCancelled() const
{
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  return !m_shared->alive;
}

void LoadingTask::post(std::function<void()> apply)
{
  // Called from work(), so the loader's shutdown is waiting for us and the receiver lives.
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  if (!m_shared->alive)
    return; // the segment is being destroyed
  m_shared->results.push_back(std::move(apply));
  if (!m_shared->deliveryPosted) {
    m_shared->deliveryPosted = true;
    QCoreApplication::postEvent(m_shared->receiver, new QEvent(kDeliverEvent));
  }
}
