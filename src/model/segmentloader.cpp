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
  bool delivering = false;
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

  bool event(QEvent *e) override
  {
    if (e->type() != kDeliverEvent)
      return QObject::event(e);
    m_shared->deliver();
    return true;
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
    delivering = true;
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
  std::lock_guard<std::mutex> lock(mutex);
  delivering = false;
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
  task->m_shared = m_shared;
  {
    // The pool hands the task over under its own lock; taking ours as well publishes the
    // task's inputs in a way the race checker can follow.
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    if (!m_shared->alive) {
      delete task;
      return;
    }
  }
  task->setAutoDelete(true);
  AssetLoadingThreadPool::instance()->start(task, 0);
}

void SegmentLoader::shutdown()
{
  QObject *receiver = nullptr;
  bool delivering = false;
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
    delivering = m_shared->delivering;
  }
  dropped.clear();
  if (!receiver)
    return;
  // Deleting it also discards its undelivered events. Not from inside its own event
  // handler, and not from a foreign thread.
  if (delivering || receiver->thread() != QThread::currentThread())
    receiver->deleteLater();
  else
    delete receiver;
}

void LoadingTask::run()
{
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

void LoadingTask::post(std::function<void()> apply)
{
  // Called from work(), so the loader's shutdown is waiting for us and the receiver lives.
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  m_shared->results.push_back(std::move(apply));
  if (!m_shared->deliveryPosted) {
    m_shared->deliveryPosted = true;
    QCoreApplication::postEvent(m_shared->receiver, new QEvent(kDeliverEvent));
  }
}
