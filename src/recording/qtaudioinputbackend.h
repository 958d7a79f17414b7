#pragma once

#include "audioinputbackend.h"

class QAudioProbe;
class QAudioRecorder;

// The microphone seam over QAudioRecorder and QAudioProbe (GStreamer on Linux). Sound
// servers list pseudo-inputs ("default:", "pulseaudio:") even without hardware.
class QtAudioInputBackend : public AudioInputBackend
{
  Q_OBJECT
public:
  explicit QtAudioInputBackend(QObject *parent = nullptr);
  ~QtAudioInputBackend() override;

  // Set explicitly: the recorder's default container is not WAV, whatever the file is called.
  static QString container();
  static QString codec();

  QStringList audioInputs() const override;
  QString defaultAudioInput() const override;
  void setAudioInput(const QString &name) override;
  void setQuality(QMultimedia::EncodingQuality quality) override;
  void setOutputLocation(const QUrl &location) override;
  QUrl outputLocation() const override;
  QUrl actualLocation() const override;
  void record() override;
  void stop() override;
  QMediaRecorder::State state() const override;
  qint64 duration() const override;
  QString errorString() const override;

private:
  QAudioRecorder *_recorder = nullptr;
  QAudioProbe *_probe = nullptr;
};
