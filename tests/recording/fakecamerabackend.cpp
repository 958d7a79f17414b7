#include "fakecamerabackend.h"

#include "mediafixtures.h"

#include <QFile>
#include <QTimer>
#include <QWidget>

namespace {
QPointer<FakeCameraBackend> &lastMade()
{
  static QPointer<FakeCameraBackend> backend;
  return backend;
}
} // namespace

FakeCameraBackend::Script &FakeCameraBackend::script()
{
  static Script s;
  return s;
}

FakeCameraBackend::Install::Install()
{
  script() = Script();
  CameraBackend::setFactory([](QObject *parent) {
    auto *backend = new FakeCameraBackend(parent);
    lastMade() = backend;
    return backend;
  });
}

FakeCameraBackend::Install::~Install()
{
  CameraBackend::setFactory({});
}

FakeCameraBackend *FakeCameraBackend::Install::backend() const
{
  return lastMade();
}

FakeCameraBackend::FakeCameraBackend(QObject *parent) : CameraBackend(parent), _script(script()) {}

FakeCameraBackend::~FakeCameraBackend() = default;

void FakeCameraBackend::_later(std::function<void()> work)
{
  QTimer::singleShot(0, this, std::move(work));
}

CameraDevice FakeCameraBackend::defaultCamera() const
{
  if (_script.defaultIndex < 0 || _script.defaultIndex >= _script.cameras.size())
    return {};
  return _script.cameras[_script.defaultIndex];
}

QWidget *FakeCameraBackend::createViewfinder(QWidget *parent)
{
  auto *view = new QWidget(parent);
  view->setAttribute(Qt::WA_StyledBackground, true);
  view->setStyleSheet("background-color: rgb(40,60,80);");
  return view;
}

void FakeCameraBackend::openCamera(const CameraDevice &device)
{
  _open = true;
  _cameraState = QCamera::UnloadedState;
  _hasImageCapture = false;
  _hasRecorder = false;
  _mode = QCamera::CaptureViewfinder;
  openedCameras << device.id;
}

void FakeCameraBackend::closeCamera()
{
  _open = false;
  _cameraState = QCamera::UnloadedState;
  _hasImageCapture = false;
  _hasRecorder = false;
  _recorderState = QMediaRecorder::StoppedState;
}

void FakeCameraBackend::startCamera()
{
  _later([this] {
    if (!_open)
      return;
    _cameraState = QCamera::ActiveState;
    emit cameraStateChanged(_cameraState);
    if (_hasImageCapture)
      emit readyForCaptureChanged(true);
  });
}

bool FakeCameraBackend::isCaptureModeSupported(QCamera::CaptureModes mode) const
{
  return mode == QCamera::CaptureStillImage ? _script.stillSupported : _script.videoSupported;
}

void FakeCameraBackend::createImageCapture()
{
  _hasImageCapture = _open;
}

int FakeCameraBackend::capture(const QString &fileName)
{
  const int id = _nextId++;
  captureRequests << fileName;
  _heldId = id;
  _heldFile = fileName;
  if (!_script.holdCaptures)
    _later([this] { finishCapture(); });
  return id;
}

void FakeCameraBackend::finishCapture()
{
  if (!_heldId)
    return;
  const int id = _heldId;
  _heldId = 0;
  MediaFixtures::writePicture(_heldFile, 320, 240);
  emit imageSaved(id, _heldFile);
}

void FakeCameraBackend::failCapture(const QString &message)
{
  const int id = _heldId;
  _heldId = 0;
  emit imageCaptureError(id, QCameraImageCapture::ResourceError, message);
}

void FakeCameraBackend::cancelCapture()
{
  ++cancelCalls;
  _heldId = 0;
}

void FakeCameraBackend::_setRecorderState(QMediaRecorder::State state)
{
  _recorderState = state;
  emit recorderStateChanged(state);
}

void FakeCameraBackend::record()
{
  _duration = 0;
  _later([this] { _setRecorderState(QMediaRecorder::RecordingState); });
}

void FakeCameraBackend::stop()
{
  ++stopCalls;
  if (_script.neverStop || _recorderState == QMediaRecorder::StoppedState)
    return;
  _later([this] {
    const QString file = _location.toLocalFile();
    QFile::remove(file);
    QFile::copy(_script.clipPath, file);
    _setRecorderState(QMediaRecorder::StoppedState);
  });
}

void FakeCameraBackend::setDuration(qint64 ms)
{
  _duration = ms;
  emit recorderDurationChanged(ms);
}

void FakeCameraBackend::failRecording(const QString &message)
{
  _recorderError = message;
  emit recorderError();
  _setRecorderState(QMediaRecorder::StoppedState);
}

void FakeCameraBackend::failCamera(const QString &message)
{
  _cameraError = message;
  emit cameraError();
}
