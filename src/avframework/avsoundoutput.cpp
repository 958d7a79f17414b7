#include "avsoundoutput.h"

#include "avaudiosink.h"
#include "avcommon.h"
#include "avcomposition.h"

#include <QByteArray>
#include <QDebug>
#include <QRunnable>
#include <QThreadPool>
#include <algorithm>
#include <cstdlib>

AVSoundOutput::AVSoundOutput(AVComposition *composition, int sampleRate, int channels)
  : _composition(composition), _sink(createAudioSink(sampleRate, channels)), _wake(avCondCreate()),
    _engineLock(avMutexCreate()), _readBufferSize(sampleRate * channels * 2), _deviceLock(avMutexCreate()),
    _pool(new QThreadPool)
{
  _readBuffer = static_cast<uint8_t *>(calloc(size_t(_readBufferSize), 1));
  {
    AVMutexLocker device(_deviceLock);
    _sink->start();
    _sink->suspend();
  }
  _pool->setMaxThreadCount(1);
  _feedingThread = avThreadCreate(_feedingThreadBody, this);
  avThreadStart(_feedingThread);
}

AVSoundOutput::~AVSoundOutput()
{
  // Queued tasks first: none may start the device again behind the stop.
  _pool->waitForDone();
  _stopDevice();
  _stop = true;
  _wakeFeeder();
  while (_feedingRunning) {
    avThreadSleep(0.01);
    _wakeFeeder();
  }
  // Joined before anything it uses goes.
  avThreadWait(_feedingThread);
  avThreadDestroy(_feedingThread);
  avMutexDestroy(_engineLock);
  avCondDestroy(_wake);
  free(_readBuffer);
  delete _pool;
  delete _sink;
  avMutexDestroy(_deviceLock);
}

void AVSoundOutput::_stopDevice()
{
  {
    AVMutexLocker device(_deviceLock);
    if (_sink->state() != QAudio::StoppedState) {
      _sink->stop();
      _sink->reset();
    }
    _reset = true;
  }
}

void AVSoundOutput::pause()
{
  _pool->start(QRunnable::create([this] {
    AVMutexLocker device(_deviceLock);
    _sink->suspend();
  }));
}

void AVSoundOutput::restart()
{
  _pool->start(QRunnable::create([this] {
    AVMutexLocker device(_deviceLock);
    if (_sink->state() == QAudio::StoppedState) {
      _sink->start();
      _sink->suspend();
    }
  }));
}

void AVSoundOutput::stopAsync()
{
  _pool->start(QRunnable::create([this] { _stopDevice(); }));
}

void AVSoundOutput::stop()
{
  _stopDevice();
}

void AVSoundOutput::start()
{
  // Queued pauses and stops never overtake this start.
  _pool->waitForDone();
  {
    AVMutexLocker device(_deviceLock);
    const QAudio::State state = _sink->state();
    if (state == QAudio::SuspendedState || state == QAudio::IdleState) {
      _sink->resume();
    } else {
      _sink->stop();
      _sink->start();
    }
  }
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
  while (!_wakeRequested && !_stop)
    avCondWait(_wake, _engineLock);
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
    const QAudio::State state = _sink->state();
    const QAudio::Error error = _sink->error();
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
    const int period = std::max(1, _sink->periodSize());
    if (_sink->bytesFree() < period) {
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
        qDebug() << "No audio data, loop=" << waits;
        ++_starvations;
        if (!_park())
          break;
        continue;
      }
    }
    const int written = _sink->write(pending.constData(), n);
    if (written > 0)
      pending.remove(0, written);
  }
  _feedingRunning = false;
}
