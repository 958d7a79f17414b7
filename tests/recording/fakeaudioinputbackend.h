#pragma once
// A microphone for tests: scripted inputs, a recorder whose reports come from the event
// loop, and buffers and time that the test hands in. A stopped recording leaves a short
// WAV tone at its location.
//
//   FakeAudioInputBackend::Install fake;
//   FakeAudioInputBackend::script().inputs = {"Mic"};
//   ... show the popup ...
//   fake.backend()->probe(buffer);

#include "audioinputbackend.h"

#include <QPointer>

class FakeAudioInputBackend : public AudioInputBackend
{
  Q_OBJECT
public:
  struct Script
  {
    QStringList inputs;
    QString defaultInput;
    // record() reports an error and never starts.
    bool failStart = false;
  };
  static Script &script();

  class Install
  {
  public:
    Install();
    ~Install();
    FakeAudioInputBackend *backend() const;
  };

  explicit FakeAudioInputBackend(QObject *parent = nullptr);

  // --- Test controls ---
  void probe(const QAudioBuffer &buffer) { emit audioBufferProbed(buffer); }
  void setDuration(qint64 ms);
  // Reports an error and stops without writing anything.
  void failRecording(const QString &message);
  // Keeps the next Stopped report back until releaseStopReport().
  void holdNextStopReport() { _holdStop = true; }
  void releaseStopReport();

  // Every location recorded to, in order.
  QStringList recordedLocations;
  QStringList selectedInputs;
  QList<QMultimedia::EncodingQuality> qualities;

  // --- AudioInputBackend ---
  QStringList audioInputs() const override { return _script.inputs; }
  QString defaultAudioInput() const override { return _script.defaultInput; }
  void setAudioInput(const QString &name) override { selectedInputs << name; }
  void setQuality(QMultimedia::EncodingQuality quality) override { qualities << quality; }
  void setOutputLocation(const QUrl &location) override { _location = location; }
  QUrl outputLocation() const override { return _location; }
  QUrl actualLocation() const override { return _actual; }
  void record() override;
  void stop() override;
  QMediaRecorder::State state() const override { return _state; }
  qint64 duration() const override { return _duration; }
  QString errorString() const override { return _error; }

private:
  void _setState(QMediaRecorder::State state);

  Script _script;
  QUrl _location;
  QUrl _actual;
  QMediaRecorder::State _state = QMediaRecorder::StoppedState;
  qint64 _duration = 0;
  QString _error;
  bool _holdStop = false;
  bool _stopHeld = false;
};
