#include "avsoundoutput.h"

#include "avaudiosink.h"
#include "avcommon.h"
#include "avcomposition.h"

#include <QByteArray>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>

AVSoundOutput::AVSoundOutput(AVComposition *composition, int sampleRate, int channels)
  : _composition(composition), _deviceThread(new QThread), _deviceContext(new QObject), _wake(avCondCreate()),
    _engineLock(avMutexCreate()), _readBufferSize(sampleRate * channels * 2)
{
  _readBuffer = static_cast<uint8_t *>(calloc(size_t(_readBufferSize), 1));
  _deviceThread->setObjectName(QStringLiteral("Sound device"));
  _deviceContext->moveToThread(_deviceThread);
  _deviceThread->start();
  _onDevice([this, sampleRate, channels] {
    _sink = createAudioSink(sampleRate, channels);
    _sink->start();
    _sink->suspend();
  });
  // A feeder that found the mix late waits for the mixer's next bytes, not for the next play.
  _composition->setMixReadyListener([](void *output) { static_cast<AVSoundOutput *>(output)->_wakeFeeder(); }, this);
  _feedingThread = avThreadCreate(_feedingThreadBody, this);
  avThreadStart(_feedingThread);
}

AVSoundOutput::~AVSoundOutput()
{
  _composition->removeMixReadyListener(this);
  // Behind the queued tasks: none may start the device again after the stop.
  stop();
  _stop = true;
  _wakeFeeder();
  while (_feedingRunning) {
    avThreadSleep(0.01);
    _wakeFeeder();
  }
  // Joined before anything it uses goes.
  avThreadWait(_feedingThread);
  avThreadDestroy(_feedingThread);
  _onDevice([this] {
    delete _sink;
    _sink = nullptr;
  });
  _deviceThread->quit();
  _deviceThread->wait();
  delete _deviceContext;
  delete _deviceThread;
  avMutexDestroy(_engineLock);
  avCondDestroy(_wake);
  free(_readBuffer);
}

namespace {
// Passed by every task on its way to the device thread: Qt's event queue orders the hand-over,
// but the race checker cannot see into Qt.
AVMutex g_handOverLock;
} // namespace

void AVSoundOutput::_onDevice(const std::function<void()> &task)
{
  if (QThread::currentThread() == _deviceThread) {
    task();
    return;
  }
  // Waits on a condition of our own rather than Qt's blocking call, for the same reason.
  struct Completion {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
  };
  auto completion = std::make_shared<Completion>();
  _queue([task, completion] {
    task();
    std::lock_guard<std::mutex> locker(completion->lock);
    completion->done = true;
    completion->finished.notify_all();
  });
  std::unique_lock<std::mutex> locker(completion->lock);
  completion->finished.wait(locker, [&] { return completion->done; });
}

void AVSoundOutput::_queue(const std::function<void()> &task)
{
  // Held while Qt copies the task into its event; taken again before the task runs.
  AVMutexLocker handingOver(&g_handOverLock);
  QMetaObject::invokeMethod(
    _deviceContext,
    [task] {
      { AVMutexLocker handedOver(&g_handOverLock); }
      task();
    },
    Qt::QueuedConnection);
}

// On the device thread.
void AVSoundOutput::_stopDevice()
{
  if (_sink->state() != QAudio::StoppedState) {
    _sink->stop();
    _sink->reset();
  }
  _reset = true;
}

void AVSoundOutput::pause()
{
  _queue([this] { _sink->suspend(); });
}

void AVSoundOutput::restart()
{
  _queue([this] {
    if (_sink->state() == QAudio::StoppedState) {
      _sink->start();
      _sink->suspend();
    }
  });
}

void AVSoundOutput::stopAsync()
{
  _queue([this] { _stopDevice(); });
}

void AVSoundOutput::stop()
{
  _onDevice([this] { _stopDevice(); });
}

void AVSoundOutput::start()
{
  // Queued pauses and stops never overtake this start.
  _onDevice([this] {
    const QAudio::State state = _sink->state();
    if (state == QAudio::SuspendedState || state == QAudio::IdleState) {
      _sink->resume();
    } else {
      _sink->stop();
      _sink->start();
    }
  });
  _wakeFeeder();
}

void AVSoundOutput::_wakeFeeder()
{
  AVMutexLocker locker(_engineLock);
  _wakeRequested = true;
  avCondWakeAll(_wake);
}

bool AVSoundOutput::_park()
{
  AVMutexLocker locker(_engineLock);
  // A wake-up that came while the thread was busy is not lost.
  while (!_wakeRequested && !_stop) {
    _parked = true;
    avCondWait(_wake, _engineLock);
  }
  _parked = false;
  _wakeRequested = false;
  return !_stop;
}

int AVSoundOutput::_feedingThreadBody(AVThread_QThread_Type *, void *output)
{
  static_cast<AVSoundOutput *>(output)->_pushLoop();
  return 0;
}

void AVSoundOutput::_pushLoop()
{
  _feedingRunning = true;
  QByteArray pending;
  while (!_stop) {
    QAudio::State state = QAudio::StoppedState;
    QAudio::Error error = QAudio::NoError;
    int period = 1;
    int bytesFree = 0;
    _onDevice([&] {
      state = _sink->state();
      error = _sink->error();
      period = std::max(1, _sink->periodSize());
      bytesFree = _sink->bytesFree();
    });
    bool park = false;
    if (error != QAudio::NoError && error != QAudio::UnderrunError) {
      pending.clear();
      park = true;
    }
    if (_reset.exchange(false))
      pending.clear();
    if (!park && state != QAudio::ActiveState && state != QAudio::IdleState) {
      if (state == QAudio::StoppedState)
        pending.clear();
      park = true;
    }
    if (park) {
      if (!_park())
        break;
      continue;
    }
    if (bytesFree < period) {
      avThreadSleep(0.01);
      continue;
    }
    int n = period;
    if (pending.size() < period) {
      int waits = 0;
      while (waits < 5 && !_composition->mixWindowComplete()) {
        avThreadSleep(0.01);
        ++waits;
      }
      double startFrame = 0;
      const int read = _composition->readMixed(_readBuffer, _readBufferSize, &startFrame);
      if (read > 0)
        pending.append(reinterpret_cast<const char *>(_readBuffer), read);
      n = std::min(int(pending.size()), period);
      if (n < 1) {
        ++_starvations;
        if (!_park())
          break;
        continue;
      }
    }
    int written = 0;
    _onDevice([&] {
      // A stop queued since the look above has taken the device's stream away.
      const QAudio::State now = _sink->state();
      if (now == QAudio::ActiveState || now == QAudio::IdleState)
        written = _sink->write(pending.constData(), n);
    });
    if (written > 0)
      pending.remove(0, written);
  }
  _feedingRunning = false;
}
