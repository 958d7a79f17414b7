#include "avaudiosink.h"

#include "avcommon.h"

#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QIODevice>
#include <algorithm>

namespace {
std::atomic<AVAudioSinkFactory> g_factory{nullptr};

char _letter(QAudio::State state)
{
  switch (state) {
  case QAudio::ActiveState:
    return 'a';
  case QAudio::SuspendedState:
    return 's';
  case QAudio::StoppedState:
    return 'S';
  default:
    return 'i';
  }
}

// Qt Multimedia's output on the default device, used only with the exact mix format.
class _DeviceSink : public AVAudioSink
{
public:
  _DeviceSink(const QAudioDeviceInfo &device, const QAudioFormat &format) : _output(device, format) {}
  bool start() override
  {
    _device = _output.start();
    return _device != nullptr;
  }
  void suspend() override { _output.suspend(); }
  void resume() override { _output.resume(); }
  void stop() override { _output.stop(); }
  void reset() override { _output.reset(); }
  QAudio::State state() override { return _output.state(); }
  QAudio::Error error() override { return _output.error(); }
  int periodSize() override { return _output.periodSize(); }
  int bytesFree() override { return _output.bytesFree(); }
  int write(const char *data, int size) override { return _device ? int(_device->write(data, size)) : -1; }

private:
  QAudioOutput _output;
  QIODevice *_device = nullptr;
};
} // namespace

struct AVNullAudioSink::Private
{
  AVMutex lock;
  QElapsedTimer clock;
  int period = 0;
  int capacity = 0;
  int periodMs = 20;
  int buffered = 0;
  qint64 drainedUntilMs = 0;
  int64_t played = 0;
  QAudio::State state = QAudio::StoppedState;
  QAudio::Error error = QAudio::NoError;
  QByteArray history;
};

AVNullAudioSink::AVNullAudioSink(int sampleRate, int channels, int periodMs, int periods) : d(new Private)
{
  d->periodMs = std::max(1, periodMs);
  d->period = std::max(1, sampleRate * channels * 2 * d->periodMs / 1000) / (channels * 2) * (channels * 2);
  d->capacity = d->period * std::max(1, periods);
  d->clock.start();
}

AVNullAudioSink::~AVNullAudioSink() = default;

void AVNullAudioSink::_setState(QAudio::State state)
{
  if (d->state != state)
    d->history.append(_letter(state));
  d->state = state;
}

void AVNullAudioSink::_drain()
{
  const qint64 now = d->clock.elapsed();
  if (d->state != QAudio::ActiveState) {
    d->drainedUntilMs = now;
    return;
  }
  const qint64 periods = (now - d->drainedUntilMs) / d->periodMs;
  if (periods <= 0)
    return;
  d->drainedUntilMs += periods * d->periodMs;
  const int taken = int(std::min<qint64>(d->buffered, periods * d->period));
  d->buffered -= taken;
  d->played += taken;
  if (d->buffered == 0) {
    // Ran dry while playing: the device would click here.
    ++_underruns;
    d->error = QAudio::UnderrunError;
    _setState(QAudio::IdleState);
  }
}

bool AVNullAudioSink::start()
{
  AVMutexLocker locker(&d->lock);
  d->buffered = 0;
  d->error = QAudio::NoError;
  d->drainedUntilMs = d->clock.elapsed();
  _setState(QAudio::IdleState);
  return true;
}

void AVNullAudioSink::suspend()
{
  AVMutexLocker locker(&d->lock);
  _drain();
  if (d->state == QAudio::ActiveState || d->state == QAudio::IdleState)
    _setState(QAudio::SuspendedState);
}

void AVNullAudioSink::resume()
{
  AVMutexLocker locker(&d->lock);
  if (d->state != QAudio::SuspendedState)
    return;
  d->drainedUntilMs = d->clock.elapsed();
  _setState(d->buffered > 0 ? QAudio::ActiveState : QAudio::IdleState);
}

void AVNullAudioSink::stop()
{
  AVMutexLocker locker(&d->lock);
  d->buffered = 0;
  _setState(QAudio::StoppedState);
}

void AVNullAudioSink::reset()
{
  AVMutexLocker locker(&d->lock);
  d->buffered = 0;
  d->error = QAudio::NoError;
}

QAudio::State AVNullAudioSink::state()
{
  AVMutexLocker locker(&d->lock);
  _drain();
  return d->state;
}

QAudio::Error AVNullAudioSink::error()
{
  AVMutexLocker locker(&d->lock);
  _drain();
  return d->error;
}

int AVNullAudioSink::periodSize()
{
  return d->period;
}

int AVNullAudioSink::bytesFree()
{
  AVMutexLocker locker(&d->lock);
  _drain();
  return d->state == QAudio::StoppedState ? 0 : d->capacity - d->buffered;
}

int AVNullAudioSink::write(const char *, int size)
{
  AVMutexLocker locker(&d->lock);
  _drain();
  if (d->state != QAudio::ActiveState && d->state != QAudio::IdleState)
    return 0;
  const int taken = std::clamp(size, 0, d->capacity - d->buffered);
  d->buffered += taken;
  _written += taken;
  if (taken > 0 && d->state == QAudio::IdleState) {
    d->error = QAudio::NoError;
    d->drainedUntilMs = d->clock.elapsed();
    _setState(QAudio::ActiveState);
  }
  return taken;
}

int64_t AVNullAudioSink::bytesPlayed()
{
  AVMutexLocker locker(&d->lock);
  _drain();
  return d->played;
}

QByteArray AVNullAudioSink::history()
{
  AVMutexLocker locker(&d->lock);
  return d->history;
}

AVAudioSink *createAudioSink(int sampleRate, int channels)
{
  if (AVAudioSinkFactory factory = g_factory)
    return factory(sampleRate, channels);
  QAudioFormat format;
  format.setSampleRate(sampleRate);
  format.setChannelCount(channels);
  format.setSampleSize(16);
  format.setCodec(QStringLiteral("audio/pcm"));
  format.setByteOrder(QAudioFormat::LittleEndian);
  format.setSampleType(QAudioFormat::SignedInt);
  const QAudioDeviceInfo device = QAudioDeviceInfo::defaultOutputDevice();
  if (device.isNull()) {
    avPrint("no audio output device: playing silently\n");
    return new AVNullAudioSink(sampleRate, channels);
  }
  // The mix is not converted: a device that plays another format would play it misread.
  if (!device.isFormatSupported(format)) {
    avPrint("audio device does not take 16-bit PCM at %d Hz, %d channels: playing silently\n", sampleRate, channels);
    return new AVNullAudioSink(sampleRate, channels);
  }
  return new _DeviceSink(device, format);
}

void setAudioSinkFactory(AVAudioSinkFactory factory)
{
  g_factory = factory;
}
