#include "mediapreviewplayerorder.h"

#include "mediaservicelock.h"

#include <QMediaPlayer>
#include <QMediaService>
#include <QMutex>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct MediaPreviewPlayerOrder::Delivery
{
  std::mutex mutex;
  QMediaPlayer *player = nullptr;
  bool dropped = false;
};

namespace {

// One thread makes every player: Qt Multimedia parents objects of its own to one it made
// with the first player, which only that thread may do. Having no Qt event loop, the thread
// leaves GLib's default context current, so each player's bus is watched where the GUI
// thread serves it.
class PlayerMaker
{
public:
  static PlayerMaker &instance()
  {
    static PlayerMaker maker;
    return maker;
  }

  void post(std::function<void()> job)
  {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      _jobs.push_back(std::move(job));
    }
    _wake.notify_one();
  }

  ~PlayerMaker()
  {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      _stopping = true;
    }
    _wake.notify_one();
    _thread.join();
  }

private:
  PlayerMaker() : _thread([this] { _run(); }) {}

  void _run()
  {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock<std::mutex> lock(_mutex);
        _wake.wait(lock, [this] { return _stopping || !_jobs.empty(); });
        if (_stopping)
          return;
        job = std::move(_jobs.front());
        _jobs.pop_front();
      }
      job();
    }
  }

  std::mutex _mutex;
  std::condition_variable _wake;
  std::deque<std::function<void()>> _jobs;
  bool _stopping = false;
  std::thread _thread;
};

// A player moved to another thread is deleted there, and under the service lock, which a
// bare deleteLater would not take.
void deletePlayerOn(QThread *thread, QMediaPlayer *player)
{
  auto *context = new QObject;
  context->moveToThread(thread);
  QMetaObject::invokeMethod(
    context,
    [context, player] {
      {
        QMutexLocker serviceLock(&mediaServiceMutex());
        delete player;
      }
      context->deleteLater();
    },
    Qt::QueuedConnection);
}

} // namespace

MediaPreviewPlayerOrder::MediaPreviewPlayerOrder(QObject *receiver, std::function<void()> ready)
  : _delivery(std::make_shared<Delivery>())
{
  QThread *target = receiver->thread();
  std::shared_ptr<Delivery> delivery = _delivery;
  PlayerMaker::instance().post([delivery, receiver, target, ready] {
    {
      std::lock_guard<std::mutex> lock(delivery->mutex);
      if (delivery->dropped)
        return;
    }
    QMediaPlayer *player = nullptr;
    {
      // Let go before the delivery lock: the order's destructor takes the two the other way round.
      QMutexLocker serviceLock(&mediaServiceMutex());
      player = new QMediaPlayer;
    }
    // The service is no child of the player: both move.
    if (player->service())
      player->service()->moveToThread(target);
    player->moveToThread(target);
    std::lock_guard<std::mutex> lock(delivery->mutex);
    if (delivery->dropped) {
      deletePlayerOn(target, player);
      return;
    }
    delivery->player = player;
    // The receiver lives while the order does, and the order is dropped under this lock.
    QMetaObject::invokeMethod(receiver, ready, Qt::QueuedConnection);
  });
}

MediaPreviewPlayerOrder::~MediaPreviewPlayerOrder()
{
  std::lock_guard<std::mutex> lock(_delivery->mutex);
  _delivery->dropped = true;
  if (_delivery->player) {
    QMutexLocker serviceLock(&mediaServiceMutex());
    delete _delivery->player;
  }
}

QMediaPlayer *MediaPreviewPlayerOrder::take()
{
  std::lock_guard<std::mutex> lock(_delivery->mutex);
  QMediaPlayer *player = _delivery->player;
  _delivery->player = nullptr;
  return player;
}
