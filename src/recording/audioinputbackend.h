#pragma once

#include <QAudioBuffer>
#include <QMediaRecorder>
#include <QMultimedia>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>

// The voice-over popup's view of the microphone: the inputs, one recorder that writes a
// WAV file at a quality, and every buffer it records. The real one is Qt Multimedia; tests
// install a factory that makes a fake. Every signal comes on the GUI thread.
class AudioInputBackend : public QObject
{
  Q_OBJECT
public:
  using Factory = std::function<AudioInputBackend *(QObject *parent)>;

  explicit AudioInputBackend(QObject *parent = nullptr);
  ~AudioInputBackend() override;

  // The installed factory's backend, or the Qt Multimedia one.
  static AudioInputBackend *create(QObject *parent);
  // An empty factory restores the Qt Multimedia backend.
  static void setFactory(Factory factory);

  virtual QStringList audioInputs() const = 0;
  virtual QString defaultAudioInput() const = 0;
  virtual void setAudioInput(const QString &name) = 0;
  virtual void setQuality(QMultimedia::EncodingQuality quality) = 0;
  virtual void setOutputLocation(const QUrl &location) = 0;
  virtual QUrl outputLocation() const = 0;
  virtual QUrl actualLocation() const = 0;
  virtual void record() = 0;
  virtual void stop() = 0;
  virtual QMediaRecorder::State state() const = 0;
  virtual qint64 duration() const = 0;
  virtual QString errorString() const = 0;

signals:
  void stateChanged(QMediaRecorder::State state);
  void error();
  void durationChanged(qint64 duration);
  void audioBufferProbed(const QAudioBuffer &buffer);
};
