#pragma once

#include "camerabackend.h"

#include <QDialog>
#include <QMediaPlayer>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QTimer;
class SegmentedControl;

// The modal dialog that takes a still picture (capture type 1) or records a clip (0) with a
// camera into the temporary folder, then offers the result for review with "Retake" and
// "Use". On acceptance the caller reads captureType() and capturedFilePath().
class CameraDialog : public QDialog
{
  Q_OBJECT
public:
  CameraDialog(int captureType, QWidget *parent = nullptr);
  ~CameraDialog() override;

  int captureType() const { return _captureType; }
  QString capturedFilePath() const { return _capturedFilePath; }
  void setCaptureTypeLocked(bool locked);

  // Escape while a clip records goes the way of a close, which waits for the recorder.
  void reject() override;

signals:
  void cameraDialogShouldCapturePhoto(CameraDialog *cameraDialog);

private slots:
  void captureTypeSegmentedControlOnSegmentIndexChanged(SegmentedControl *control, int index);
  void cancelButtonOnClick();
  void captureButtonOnClick();
  void cameraButtonOnClick();
  void updateCameraDevice(QAction *action);
  void updateCameraState(QCamera::State state);
  void displayRecorderError();
  void displayCameraError();
  void displayCaptureError(int id, QCameraImageCapture::Error error, const QString &errorString);
  void updateRecorderState(QMediaRecorder::State state);
  void updateRecordTime();
  void readyForCapture(bool ready);
  void imageSaved(int id, const QString &fileName);
  void processCapturedImage(int requestId, const QImage &img);
  void retakeButtonOnClick();
  void useButtonOnClick();
  void playerPositionChanged(qint64 position);
  void playerStateChanged(QMediaPlayer::State state);
  void playPause();
  void playerSliderMoved(int value);
  void playerSliderPressed();
  void playerSliderReleased();

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  struct Form;

  void _buildForm();
  void _applyStyles();
  void _buildCameraMenu();
  void _openCamera(const CameraDevice &device);
  void _applyCaptureMode();
  void _refreshCaptureTypeToolTip();
  void _showClipReview(const QString &fileName);
  void _showPicture(const QImage &image);
  void _stopPlayer();
  void _finishClose();
  static QString _captureFilePath(const QString &extension);

  std::unique_ptr<Form> _form;
  CameraBackend *_backend = nullptr;
  int _captureType = 0;
  bool _locked = false;
  QMenu *_cameraMenu = nullptr;
  bool _pending = false;
  CameraDevice _currentCamera;
  QString _capturedFilePath;
  bool _recording = false;
  QMediaPlayer *_player = nullptr;
  bool _sliderPressed = false;
  bool _supported = false;
  // A close that waits for the recorder to stop: it ends on Stopped or at this timer.
  QTimer *_closeTimer = nullptr;
  bool _closeWaiting = false;
};
