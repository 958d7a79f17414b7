#pragma once
// A camera for tests: scripted devices, a still capture that writes a generated JPEG and a
// recorder that "records" a prepared clip. Everything it reports comes from the event loop,
// as a real camera's reports do; tests drive the recorder's time themselves.
//
//   FakeCameraBackend::Install fake;                 // dialogs made from now on get a fake
//   FakeCameraBackend::script().cameras = {{"cam0", "Front"}};
//   CameraDialog dialog(1, nullptr);
//   QTRY_VERIFY(fake.backend() && fake.backend()->isCameraOpen());

#include "camerabackend.h"

#include <QPointer>
#include <QStringList>

class FakeCameraBackend : public CameraBackend
{
  Q_OBJECT
public:
  struct Script
  {
    QList<CameraDevice> cameras;
    int defaultIndex = 0;
    bool stillSupported = true;
    bool videoSupported = true;
    // The clip a stopped recording leaves at the output location.
    QString clipPath;
    // Captures wait for finishCapture() instead of saving at once.
    bool holdCaptures = false;
    // stop() is taken but the recorder never reports Stopped.
    bool neverStop = false;
  };
  // The script every new fake starts from; reset by Install.
  static Script &script();

  // Makes dialogs get fakes for its lifetime.
  class Install
  {
  public:
    Install();
    ~Install();
    FakeCameraBackend *backend() const;
  };

  explicit FakeCameraBackend(QObject *parent = nullptr);
  ~FakeCameraBackend() override;

  // --- Test controls ---
  void setDuration(qint64 ms);
  void finishCapture();
  void failCapture(const QString &message);
  // Reports a recorder error, then the stop it causes.
  void failRecording(const QString &message);
  void failCamera(const QString &message);

  QStringList openedCameras;
  QStringList captureRequests;
  int stopCalls = 0;
  int cancelCalls = 0;

  // --- CameraBackend ---
  QList<CameraDevice> availableCameras() const override { return _script.cameras; }
  CameraDevice defaultCamera() const override;
  QWidget *createViewfinder(QWidget *parent) override;
  void openCamera(const CameraDevice &device) override;
  void closeCamera() override;
  bool isCameraOpen() const override { return _open; }
  void startCamera() override;
  QCamera::State cameraState() const override { return _cameraState; }
  QString cameraErrorString() const override { return _cameraError; }
  bool isCaptureModeSupported(QCamera::CaptureModes mode) const override;
  void setCaptureMode(QCamera::CaptureModes mode) override { _mode = mode; }
  QCamera::CaptureModes captureMode() const override { return _mode; }
  bool hasImageCapture() const override { return _hasImageCapture; }
  void createImageCapture() override;
  bool isReadyForCapture() const override { return _cameraState == QCamera::ActiveState; }
  int capture(const QString &fileName) override;
  void cancelCapture() override;
  bool hasRecorder() const override { return _hasRecorder; }
  void createRecorder() override { _hasRecorder = _open; }
  QMediaRecorder::State recorderState() const override { return _recorderState; }
  void setOutputLocation(const QUrl &location) override { _location = location; }
  QUrl actualLocation() const override { return _location; }
  void record() override;
  void stop() override;
  qint64 duration() const override { return _duration; }
  QString recorderErrorString() const override { return _recorderError; }

private:
  void _later(std::function<void()> work);
  void _setRecorderState(QMediaRecorder::State state);

  Script _script;
  bool _open = false;
  QCamera::State _cameraState = QCamera::UnloadedState;
  QCamera::CaptureModes _mode = QCamera::CaptureViewfinder;
  bool _hasImageCapture = false;
  bool _hasRecorder = false;
  QMediaRecorder::State _recorderState = QMediaRecorder::StoppedState;
  QUrl _location;
  qint64 _duration = 0;
  int _nextId = 1;
  int _heldId = 0;
  QString _heldFile;
  QString _cameraError;
  QString _recorderError;
};
