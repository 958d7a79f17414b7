#include "qtcamerabackend.h"

#include "mediaservicelock.h"

#include <QCameraViewfinder>
#include <QMediaRecorder>
#include <QMutex>

QtCameraBackend::QtCameraBackend(QObject *parent) : CameraBackend(parent) {}

QtCameraBackend::~QtCameraBackend()
{
  closeCamera();
}

QString QtCameraBackend::videoContainer()
{
  return QStringLiteral("video/quicktime, variant=(string)iso");
}

QString QtCameraBackend::videoCodec()
{
  return QStringLiteral("video/x-h264");
}

QString QtCameraBackend::audioCodec()
{
  return QStringLiteral("audio/mpeg, mpegversion=(int)4");
}

QList<CameraDevice> QtCameraBackend::availableCameras() const
{
  QList<CameraDevice> devices;
  for (const QCameraInfo &info : QCameraInfo::availableCameras())
    devices.append({info.deviceName(), info.description()});
  return devices;
}

CameraDevice QtCameraBackend::defaultCamera() const
{
  const QCameraInfo info = QCameraInfo::defaultCamera();
  if (info.isNull())
    return {};
  return {info.deviceName(), info.description()};
}

QWidget *QtCameraBackend::createViewfinder(QWidget *parent)
{
  _viewfinder = new QCameraViewfinder(parent);
  return _viewfinder;
}

void QtCameraBackend::openCamera(const CameraDevice &device)
{
  closeCamera();
  if (device.isNull())
    return;
  const QCameraInfo info(device.id.toUtf8());
  {
    QMutexLocker serviceLock(&mediaServiceMutex());
    _camera = new QCamera(info, this);
  }
  connect(_camera, &QCamera::stateChanged, this, &CameraBackend::cameraStateChanged);
  connect(_camera, QOverload<QCamera::Error>::of(&QCamera::error), this, [this] { emit cameraError(); });
  if (_viewfinder)
    _camera->setViewfinder(_viewfinder.data());
}

void QtCameraBackend::closeCamera()
{
  if (_recorder) {
    _recorder->stop();
    delete _recorder;
    _recorder = nullptr;
  }
  delete _imageCapture;
  _imageCapture = nullptr;
  if (_camera) {
    _camera->stop();
    _camera->unload();
    QMutexLocker serviceLock(&mediaServiceMutex());
    delete _camera;
    _camera = nullptr;
  }
}

void QtCameraBackend::startCamera()
{
  if (_camera)
    _camera->start();
}

QCamera::State QtCameraBackend::cameraState() const
{
  return _camera ? _camera->state() : QCamera::UnloadedState;
}

QString QtCameraBackend::cameraErrorString() const
{
  return _camera ? _camera->errorString() : QString();
}

bool QtCameraBackend::isCaptureModeSupported(QCamera::CaptureModes mode) const
{
  return _camera && _camera->isCaptureModeSupported(mode);
}

void QtCameraBackend::setCaptureMode(QCamera::CaptureModes mode)
{
  if (_camera)
    _camera->setCaptureMode(mode);
}

QCamera::CaptureModes QtCameraBackend::captureMode() const
{
  return _camera ? _camera->captureMode() : QCamera::CaptureViewfinder;
}

void QtCameraBackend::createImageCapture()
{
  if (!_camera || _imageCapture)
    return;
  _imageCapture = new QCameraImageCapture(_camera, this);
  connect(_imageCapture, &QCameraImageCapture::readyForCaptureChanged, this, &CameraBackend::readyForCaptureChanged);
  connect(_imageCapture, &QCameraImageCapture::imageSaved, this, &CameraBackend::imageSaved);
  connect(_imageCapture, QOverload<int, QCameraImageCapture::Error, const QString &>::of(&QCameraImageCapture::error),
          this, &CameraBackend::imageCaptureError);
}

bool QtCameraBackend::isReadyForCapture() const
{
  return _imageCapture && _imageCapture->isReadyForCapture();
}

int QtCameraBackend::capture(const QString &fileName)
{
  return _imageCapture ? _imageCapture->capture(fileName) : -1;
}

void QtCameraBackend::cancelCapture()
{
  if (_imageCapture)
    _imageCapture->cancelCapture();
}

void QtCameraBackend::createRecorder()
{
  if (!_camera || _recorder)
    return;
  _recorder = new QMediaRecorder(_camera, this);
  QVideoEncoderSettings video;
  video.setCodec(videoCodec());
  QAudioEncoderSettings audio;
  audio.setCodec(audioCodec());
  _recorder->setEncodingSettings(audio, video, videoContainer());
  connect(_recorder, &QMediaRecorder::stateChanged, this, &CameraBackend::recorderStateChanged);
  connect(_recorder, &QMediaRecorder::durationChanged, this, &CameraBackend::recorderDurationChanged);
  connect(_recorder, QOverload<QMediaRecorder::Error>::of(&QMediaRecorder::error), this, [this] { emit recorderError(); });
}

QMediaRecorder::State QtCameraBackend::recorderState() const
{
  return _recorder ? _recorder->state() : QMediaRecorder::StoppedState;
}

void QtCameraBackend::setOutputLocation(const QUrl &location)
{
  if (_recorder)
    _recorder->setOutputLocation(location);
}

QUrl QtCameraBackend::actualLocation() const
{
  return _recorder ? _recorder->actualLocation() : QUrl();
}

void QtCameraBackend::record()
{
  if (_recorder)
    _recorder->record();
}

void QtCameraBackend::stop()
{
  if (_recorder)
    _recorder->stop();
}

qint64 QtCameraBackend::duration() const
{
  return _recorder ? _recorder->duration() : 0;
}

QString QtCameraBackend::recorderErrorString() const
{
  return _recorder ? _recorder->errorString() : QString();
}
