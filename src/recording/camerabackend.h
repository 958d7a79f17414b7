#pragma once

#include <QCamera>
#include <QCameraImageCapture>
#include <QMediaRecorder>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// One camera as the device list offers it; a null device (empty id) means "no camera".
struct CameraDevice
{
  QString id;
  QString description;

  bool isNull() const { return id.isEmpty(); }
  bool operator==(const CameraDevice &other) const { return id == other.id; }
};
Q_DECLARE_METATYPE(CameraDevice)

// The camera dialog's view of the capture hardware: the device list, one open camera with
// its still capture and its recorder, and the viewfinder widget. The real one is Qt
// Multimedia; tests install a factory that makes a fake. Every signal comes on the GUI thread.
class CameraBackend : public QObject
{
  Q_OBJECT
public:
  using Factory = std::function<CameraBackend *(QObject *parent)>;

  explicit CameraBackend(QObject *parent = nullptr);
  ~CameraBackend() override;

  // The installed factory's backend, or the Qt Multimedia one.
  static CameraBackend *create(QObject *parent);
  // An empty factory restores the Qt Multimedia backend.
  static void setFactory(Factory factory);

  virtual QList<CameraDevice> availableCameras() const = 0;
  virtual CameraDevice defaultCamera() const = 0;
  // The widget that shows the open camera's picture; made once, owned by parent.
  virtual QWidget *createViewfinder(QWidget *parent) = 0;

  // Opening replaces nothing: close the previous camera first.
  virtual void openCamera(const CameraDevice &device) = 0;
  // Stops, unloads and drops the camera with its still capture and its recorder.
  virtual void closeCamera() = 0;
  virtual bool isCameraOpen() const = 0;
  virtual void startCamera() = 0;
  virtual QCamera::State cameraState() const = 0;
  virtual QString cameraErrorString() const = 0;
  virtual bool isCaptureModeSupported(QCamera::CaptureModes mode) const = 0;
  virtual void setCaptureMode(QCamera::CaptureModes mode) = 0;
  virtual QCamera::CaptureModes captureMode() const = 0;

  // Still capture, made once per camera.
  virtual bool hasImageCapture() const = 0;
  virtual void createImageCapture() = 0;
  virtual bool isReadyForCapture() const = 0;
  // Captures into the file; answered by imageSaved or imageCaptureError with the returned id.
  virtual int capture(const QString &fileName) = 0;
  virtual void cancelCapture() = 0;

  // Recorder, made once per camera.
  virtual bool hasRecorder() const = 0;
  virtual void createRecorder() = 0;
  virtual QMediaRecorder::State recorderState() const = 0;
  virtual void setOutputLocation(const QUrl &location) = 0;
  virtual QUrl actualLocation() const = 0;
  virtual void record() = 0;
  virtual void stop() = 0;
  virtual qint64 duration() const = 0;
  virtual QString recorderErrorString() const = 0;

signals:
  void cameraStateChanged(QCamera::State state);
  void cameraError();
  void readyForCaptureChanged(bool ready);
  void imageSaved(int id, const QString &fileName);
  void imageCaptureError(int id, QCameraImageCapture::Error error, const QString &errorString);
  void recorderStateChanged(QMediaRecorder::State state);
  void recorderDurationChanged(qint64 duration);
  void recorderError();
};
