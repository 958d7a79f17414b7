#include "fakeaudioinputbackend.h"

#include "mediafixtures.h"

#include <QFile>
#include <QTimer>

namespace {
QPointer<FakeAudioInputBackend> &lastMade()
{
  static QPointer<FakeAudioInputBackend> backend;
  return backend;
}
} // namespace

FakeAudioInputBackend::Script &FakeAudioInputBackend::script()
{
  static Script s;
  return s;
}

FakeAudioInputBackend::Install::Install()
{
  script() = Script();
  AudioInputBackend::setFactory([](QObject *parent) {
    auto *backend = new FakeAudioInputBackend(parent);
    lastMade() = backend;
    return backend;
  });
}

FakeAudioInputBackend::Install::~Install()
{
  AudioInputBackend::setFactory({});
}

FakeAudioInputBackend *FakeAudioInputBackend::Install::backend() const
{
  return lastMade();
}

FakeAudioInputBackend::FakeAudioInputBackend(QObject *parent) : AudioInputBackend(parent), _script(script()) {}

void FakeAudioInputBackend::_setState(QMediaRecorder::State state)
{
  _state = state;
  emit stateChanged(state);
}

void FakeAudioInputBackend::record()
{
  if (_state == QMediaRecorder::RecordingState)
    return;
  _duration = 0;
  _actual = _location;
  recordedLocations << _location.toLocalFile();
  if (_script.failStart) {
    // GStreamer reports a failed start more than once.
    QTimer::singleShot(0, this, [this] {
      _error = "Device busy";
      emit error();
      emit error();
    });
    return;
  }
  QTimer::singleShot(0, this, [this] { _setState(QMediaRecorder::RecordingState); });
}

void FakeAudioInputBackend::stop()
{
  if (_state != QMediaRecorder::RecordingState)
    return;
  // The file is complete when the stop is reported, as with a real recorder.
  MediaFixtures::writeTone(_actual.toLocalFile(), 0.1);
  _state = QMediaRecorder::StoppedState;
  if (_holdStop) {
    _holdStop = false;
    _stopHeld = true;
    return;
  }
  QTimer::singleShot(0, this, [this] { emit stateChanged(QMediaRecorder::StoppedState); });
}

void FakeAudioInputBackend::releaseStopReport()
{
  if (!_stopHeld)
    return;
  _stopHeld = false;
  emit stateChanged(QMediaRecorder::StoppedState);
}

void FakeAudioInputBackend::setDuration(qint64 ms)
{
  _duration = ms;
  emit durationChanged(ms);
}

void FakeAudioInputBackend::failRecording(const QString &message)
{
  _error = message;
  QFile::remove(_actual.toLocalFile());
  emit error();
  _setState(QMediaRecorder::StoppedState);
}
