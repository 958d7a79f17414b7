#pragma once

#include "camerabackend.h"

#include <QCameraInfo>
#include <QPointer>

class QCameraViewfinder;

// The camera seam over Qt Multimedia (GStreamer's camerabin on Linux). Without a
// video4linux device the camera list is empty.
class QtCameraBackend : public CameraBackend
{
  Q_OBJECT
public:
  explicit QtCameraBackend(QObject *parent = nullptr);
  ~QtCameraBackend() override;

  // What the recorder is told to write: GStreamer's own default container is not MP4, so
  // an ".mp4" name alone would not make one.
  static QString videoContainer();
  static QString videoCodec();
  static QString audioCodec();

  QList<CameraDevice> availableCameras() const override;
  CameraDevice defaultCamera() const override;
  QWidget *createViewfinder(QWidget *parent) override;

  void openCamera(const CameraDevice &device) override;
  void closeCamera() override;
  bool isCameraOpen() const override { return _camera != nullptr; }
  void startCamera() override;
  QCamera::State cameraState() const override;
  QString cameraErrorString() const override;
  bool isCaptureModeSupported(QCamera::CaptureModes mode) const override;
  void setCaptureMode(QCamera::CaptureModes mode) override;
  QCamera::CaptureModes captureMode() const override;

  bool hasImageCapture() const override { return _imageCapture != nullptr; }
  void createImageCapture() override;
  bool isReadyForCapture() const override;
  int capture(const QString &fileName) override;
  void cancelCapture() override;

  bool hasRecorder() const override { return _recorder != nullptr; }
  void createRecorder() override;
  QMediaRecorder::State recorderState() const override;
  void setOutputLocation(const QUrl &location) override;
  QUrl actualLocation() const override;
  void record() override;
  void stop() override;
  qint64 duration() const override;
  QString recorderErrorString() const override;

private:
  QCamera *_camera = nullptr;
  QCameraImageCapture *_imageCapture = nullptr;
  QMediaRecorder *_recorder = nullptr;
  QPointer<QCameraViewfinder> _viewfinder;
};
