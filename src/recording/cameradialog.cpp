#include "cameradialog.h"
#include "cameradialog_form.h"

#include "devicemenu.h"
#include "mediaservicelock.h"
#include "segmentedcontrol.h"
#include "util.h"
#include "warningbox.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QMenu>
#include <QMutex>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QVideoWidget>

namespace {
// How long a close waits for a recorder that does not report its stop.
constexpr int closeWaitMs = 5000;
} // namespace

CameraDialog::CameraDialog(int captureType, QWidget *parent)
  : QDialog(parent), _form(new Form), _backend(CameraBackend::create(this)), _captureType(captureType)
{
  Form &f = *_form;
  _buildForm();
  _applyStyles();
  connect(f.cameraButton, &QPushButton::clicked, this, &CameraDialog::cameraButtonOnClick);
  connect(f.triangleButton, &QPushButton::clicked, this, &CameraDialog::cameraButtonOnClick);

  SegmentedControl *types = f.captureTypesSegmentedWidget;
  types->setSegmentTitles({tr("Capture video"), tr("Capture still image")});
  types->setSegmentIcons(0, QPixmap(":/images/camera_video"), QPixmap(":/images/camera_video_2"));
  types->setSegmentIcons(1, QPixmap(":/images/camera_still_image"), QPixmap(":/images/camera_still_image_2"));
  types->setCurrentIndex(captureType);
  _refreshCaptureTypeToolTip();
  f.captureButton->setIcon(QIcon(captureType == 1 ? ":/images/camera_still_image" : ":/images/camera_video"));
  connect(types, &SegmentedControl::segmentIndexChanged, this,
          &CameraDialog::captureTypeSegmentedControlOnSegmentIndexChanged);

  connect(f.cancelButton, &QPushButton::clicked, this, &CameraDialog::cancelButtonOnClick);
  connect(f.captureButton, &QPushButton::clicked, this, &CameraDialog::captureButtonOnClick);
  connect(f.retakeButton, &QPushButton::clicked, this, &CameraDialog::retakeButtonOnClick);
  connect(f.useButton, &QPushButton::clicked, this, &CameraDialog::useButtonOnClick);
  connect(f.playPauseButton, &QPushButton::clicked, this, &CameraDialog::playPause);
  f.timeLabel->hide();
  connect(f.playerSlider, &QSlider::sliderPressed, this, &CameraDialog::playerSliderPressed);
  connect(f.playerSlider, &QSlider::sliderMoved, this, &CameraDialog::playerSliderMoved);
  connect(f.playerSlider, &QSlider::sliderReleased, this, &CameraDialog::playerSliderReleased);

  connect(_backend, &CameraBackend::cameraStateChanged, this, &CameraDialog::updateCameraState);
  connect(_backend, &CameraBackend::cameraError, this, &CameraDialog::displayCameraError);
  connect(_backend, &CameraBackend::readyForCaptureChanged, this, &CameraDialog::readyForCapture);
  connect(_backend, &CameraBackend::imageSaved, this, &CameraDialog::imageSaved);
  connect(_backend, &CameraBackend::imageCaptureError, this, &CameraDialog::displayCaptureError);
  connect(_backend, &CameraBackend::recorderStateChanged, this, &CameraDialog::updateRecorderState);
  connect(_backend, &CameraBackend::recorderDurationChanged, this, &CameraDialog::updateRecordTime);
  connect(_backend, &CameraBackend::recorderError, this, &CameraDialog::displayRecorderError);

  _closeTimer = new QTimer(this);
  _closeTimer->setSingleShot(true);
  _closeTimer->setInterval(closeWaitMs);
  connect(_closeTimer, &QTimer::timeout, this, &CameraDialog::_finishClose);

  setCursor(Qt::WaitCursor);
  f.stackedWidget->setCurrentWidget(f.initPage);
  f.controlPanel->setCurrentWidget(f.defaultPage);
  f.controlPanel->hide();
  f.topPanel->hide();
  QTimer::singleShot(500, this, &CameraDialog::_buildCameraMenu);
}

CameraDialog::~CameraDialog()
{
  _stopPlayer();
  _backend->closeCamera();
}

void CameraDialog::setCaptureTypeLocked(bool locked)
{
  _locked = locked;
  _form->captureTypesSegmentedWidget->setEnabled(!locked);
}

QString CameraDialog::_captureFilePath(const QString &extension)
{
  return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QDir::separator() +
         QString::number(QDateTime::currentMSecsSinceEpoch()) + extension;
}

void CameraDialog::_buildCameraMenu()
{
  Form &f = *_form;
  _cameraMenu = DeviceMenu::create(this);
  const QList<CameraDevice> cameras = _backend->availableCameras();
  // A default the list does not hold would leave a dead viewfinder: take the first camera.
  CameraDevice defaultCamera = _backend->defaultCamera();
  if (!cameras.isEmpty() && !cameras.contains(defaultCamera))
    defaultCamera = cameras.first();
  for (const CameraDevice &camera : cameras)
    DeviceMenu::addDevice(_cameraMenu, camera.description, QVariant::fromValue(camera), camera == defaultCamera);

  if (!cameras.isEmpty()) {
    f.stackedWidget->setCurrentWidget(f.viewFinderPage);
    f.controlPanel->show();
    f.topPanel->show();
    _openCamera(defaultCamera);
  } else {
    f.topPanel->show();
    f.openingLabel->setText(QString());
    f.openingLabel->setPixmap(QPixmap(":/images/camera_no_video"));
  }
  unsetCursor();
}

void CameraDialog::_openCamera(const CameraDevice &device)
{
  _backend->closeCamera();
  if (device.isNull())
    return;
  _backend->openCamera(device);
  updateCameraState(_backend->cameraState());
  _form->cameraButton->setText(device.description);
  _applyCaptureMode();
  _backend->startCamera();
  _currentCamera = device;
}

void CameraDialog::_applyCaptureMode()
{
  const QCamera::CaptureModes wanted = _captureType == 1 ? QCamera::CaptureStillImage : QCamera::CaptureVideo;
  _supported = _backend->isCaptureModeSupported(wanted);
  if (_supported)
    _backend->setCaptureMode(wanted);

  const QCamera::CaptureModes mode = _backend->captureMode();
  if (mode == QCamera::CaptureVideo) {
    if (!_backend->hasRecorder())
      _backend->createRecorder();
    updateRecorderState(_backend->recorderState());
  } else if (mode == QCamera::CaptureStillImage) {
    _form->captureButton->setEnabled(_supported);
    if (!_backend->hasImageCapture())
      _backend->createImageCapture();
  }
}

void CameraDialog::_refreshCaptureTypeToolTip()
{
  SegmentedControl *types = _form->captureTypesSegmentedWidget;
  types->setToolTip(tr("Toggle Capture Type\nCurrent: %1").arg(types->segmentTitle(_captureType)));
}

void CameraDialog::captureTypeSegmentedControlOnSegmentIndexChanged(SegmentedControl *, int index)
{
  _captureType = index;
  _refreshCaptureTypeToolTip();
  _form->captureButton->setIcon(QIcon(index == 1 ? ":/images/camera_still_image" : ":/images/camera_video"));
  if (_backend->isCameraOpen())
    _applyCaptureMode();
}

void CameraDialog::updateCameraState(QCamera::State state)
{
  _form->captureButton->setEnabled(state == QCamera::ActiveState && _supported);
}

void CameraDialog::readyForCapture(bool ready)
{
  if (_backend->captureMode() == QCamera::CaptureStillImage)
    _form->captureButton->setEnabled(ready && _supported);
}

void CameraDialog::captureButtonOnClick()
{
  Form &f = *_form;
  if (_backend->captureMode() == QCamera::CaptureStillImage) {
    if (_pending)
      return;
    _pending = true;
    emit cameraDialogShouldCapturePhoto(this);
    _backend->capture(_captureFilePath(".jpg"));
    return;
  }
  if (_backend->recorderState() == QMediaRecorder::RecordingState) {
    _backend->stop();
    return;
  }
  _recording = true;
  f.cancelButton->hide();
  f.captureTypesSegmentedWidget->setEnabled(false);
  f.timeLabel->show();
  f.timeLabel->setText("00:00");
  f.timeLabel->setFixedWidth(f.cancelButton->width());
  _backend->setOutputLocation(QUrl::fromLocalFile(_captureFilePath(".mp4")));
  _backend->record();
  updateRecordTime();
}

void CameraDialog::updateRecordTime()
{
  const qint64 s = _backend->duration() / 1000;
  if (s >= 1)
    _form->timeLabel->setText(QString::asprintf("%02lld:%02lld", s / 60, s % 60));
}

void CameraDialog::updateRecorderState(QMediaRecorder::State state)
{
  Form &f = *_form;
  switch (state) {
  case QMediaRecorder::StoppedState:
    if (_recording) {
      const QString fileName = _backend->actualLocation().toLocalFile();
      QTimer::singleShot(200, this, [this, fileName] { _showClipReview(fileName); });
      _capturedFilePath = fileName;
      _recording = false;
    }
    f.captureButton->setIcon(QIcon(":/images/camera_video"));
    if (_closeWaiting)
      QMetaObject::invokeMethod(this, &CameraDialog::_finishClose, Qt::QueuedConnection);
    break;
  case QMediaRecorder::RecordingState:
    f.captureButton->setIcon(QIcon(":/images/camera_stop"));
    break;
  case QMediaRecorder::PausedState:
    f.captureButton->setIcon(QIcon(":/images/camera_video"));
    break;
  }
}

void CameraDialog::_showClipReview(const QString &fileName)
{
  Form &f = *_form;
  f.cancelButton->show();
  f.captureTypesSegmentedWidget->setEnabled(!_locked);
  f.timeLabel->hide();
  _stopPlayer();
  {
    QMutexLocker serviceLock(&mediaServiceMutex());
    _player = new QMediaPlayer(this);
  }
  connect(_player, &QMediaPlayer::stateChanged, this, &CameraDialog::playerStateChanged);
  connect(_player, &QMediaPlayer::positionChanged, this, &CameraDialog::playerPositionChanged);
  _player->setMedia(QUrl::fromLocalFile(fileName));
  _player->setVideoOutput(f.videoWidget);
  _player->play();
  f.stackedWidget->setCurrentWidget(f.videoPreviewPage);
  f.controlPanel->setCurrentWidget(f.previewPage);
  f.playPauseButton->show();
  _openCamera({});
}

void CameraDialog::imageSaved(int, const QString &fileName)
{
  _showPicture(QImage(fileName));
  _pending = false;
  _capturedFilePath = fileName;
}

void CameraDialog::processCapturedImage(int, const QImage &img)
{
  _showPicture(img);
}

void CameraDialog::_showPicture(const QImage &image)
{
  Form &f = *_form;
  const QImage scaled = image.scaled(f.viewFinder->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
  f.imagePreviewLabel->setPixmap(QPixmap::fromImage(scaled));
  f.stackedWidget->setCurrentWidget(f.imagePreviewPage);
  f.controlPanel->setCurrentWidget(f.previewPage);
  f.playPauseButton->hide();
  _openCamera({});
}

void CameraDialog::retakeButtonOnClick()
{
  Form &f = *_form;
  f.imagePreviewLabel->setPixmap(QPixmap());
  _stopPlayer();
  _openCamera(_currentCamera);
  f.stackedWidget->setCurrentWidget(f.viewFinderPage);
  f.controlPanel->setCurrentWidget(f.defaultPage);
}

void CameraDialog::useButtonOnClick()
{
  accept();
}

void CameraDialog::cancelButtonOnClick()
{
  reject();
}

void CameraDialog::cameraButtonOnClick()
{
  Form &f = *_form;
  if (!_cameraMenu || _cameraMenu->actions().isEmpty() || _recording || _pending ||
      f.stackedWidget->currentWidget() != f.viewFinderPage)
    return;
  if (QAction *chosen = DeviceMenu::exec(_cameraMenu, f.cameraButton))
    updateCameraDevice(chosen);
}

void CameraDialog::updateCameraDevice(QAction *action)
{
  _openCamera(action->data().value<CameraDevice>());
}

void CameraDialog::displayCameraError()
{
  WarningBox::show(this, tr("Camera Error"), _backend->cameraErrorString());
}

void CameraDialog::displayCaptureError(int, QCameraImageCapture::Error, const QString &errorString)
{
  WarningBox::show(this, tr("Image Capture Error"), errorString);
  _pending = false;
}

void CameraDialog::displayRecorderError()
{
  WarningBox::show(this, tr("Capture Error"), _backend->recorderErrorString());
}

void CameraDialog::playPause()
{
  if (!_player)
    return;
  if (_player->state() == QMediaPlayer::PlayingState)
    _player->pause();
  else
    _player->play();
}

void CameraDialog::playerPositionChanged(qint64 position)
{
  const qint64 duration = _player ? _player->duration() : 0;
  if (duration >= 1 && !_sliderPressed)
    _form->playerSlider->setValue(int(position * 100 / duration));
}

void CameraDialog::playerSliderMoved(int value)
{
  if (_player)
    _player->setPosition(_player->duration() * value / 100);
}

void CameraDialog::playerSliderPressed()
{
  if (_player)
    _player->pause();
  _sliderPressed = true;
}

void CameraDialog::playerSliderReleased()
{
  _sliderPressed = false;
}

void CameraDialog::playerStateChanged(QMediaPlayer::State state)
{
  _form->playPauseButton->setIcon(
    QIcon(state == QMediaPlayer::PlayingState ? ":/images/camera_pause" : ":/images/camera_play"));
}

void CameraDialog::_stopPlayer()
{
  if (!_player)
    return;
  _player->stop();
  QMutexLocker serviceLock(&mediaServiceMutex());
  delete _player;
  _player = nullptr;
}

void CameraDialog::reject()
{
  if (_recording || _closeWaiting) {
    close();
    return;
  }
  QDialog::reject();
}

void CameraDialog::closeEvent(QCloseEvent *event)
{
  if (_closeWaiting) {
    event->ignore();
    return;
  }
  if (_pending) {
    setEnabled(false);
    _backend->cancelCapture();
  } else if (_recording) {
    // No nested event loop: the close is taken up again when the recorder reports its stop,
    // or when the wait runs out.
    setEnabled(false);
    _recording = false;
    _closeWaiting = true;
    _closeTimer->start();
    _backend->stop();
    if (_closeWaiting && _backend->recorderState() != QMediaRecorder::StoppedState)
      qDebug() << "Wait media recorder to stop...";
    event->ignore();
    return;
  }
  _stopPlayer();
  QDialog::closeEvent(event);
}

void CameraDialog::_finishClose()
{
  if (!_closeWaiting)
    return;
  _closeWaiting = false;
  _closeTimer->stop();
  close();
}
