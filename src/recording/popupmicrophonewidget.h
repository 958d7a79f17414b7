#pragma once

#include "commonpopup.h"

#include <QAudioBuffer>
#include <QList>
#include <QMediaRecorder>

class AudioInputBackend;
class AudioLevelMeterWidget;
class PopupMainWidget;
class QAction;
class QMenu;
class QPushButton;
class QTimer;

// The voice-over popup: pick an input, watch its live level, record one take into a WAV
// file in the temporary folder while the timeline follows, and hand the file with the
// levels measured during the take to the owner.
//
// Between takes the recorder runs a warm-up into "dummy.wav" in the cache folder so the
// meter moves; a warm-up that cannot start counts as no microphone.
class PopupMicrophoneWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupMicrophoneWidget(QWidget *parent);
  ~PopupMicrophoneWidget() override;

  // placement 0: centred with a fade-in; 1: near the bottom, sliding up.
  void showWithStartTime(QWidget *parent, float startTime, int placement);

  void initialize() override;
  void showPopup(QWidget *parent, const QString &title, const QPoint &anchor) override;
  void layoutAt(const QPoint &anchor) override;

signals:
  // Asked just before a take starts; the receiver must be connected directly and write
  // the timeline time at which the take begins.
  void popupMicrophoneWidgetGetStartTime(PopupMicrophoneWidget *microphoneWidget, float *startTime);
  void popupMicrophoneWidgetRequestScrollToTime(PopupMicrophoneWidget *microphoneWidget, float t);
  void popupMicrophoneWidgetSoundCaptured(PopupMicrophoneWidget *microphoneWidget, QString fileName,
                                          QList<float> meterValues);

public slots:
  void cancelButtonOnClick();
  void recordButtonOnClick();
  void microphoneButtonOnClick();
  void processBuffer(const QAudioBuffer &buffer);
  void updateMicrophoneDevice(QAction *action);
  void onStateChanged(QMediaRecorder::State state);
  void displayErrorMessage();
  void updateRecording();

private:
  // What the one recorder is doing for the popup.
  enum class Phase { Idle, WarmUp, TakeStarting, Take };

  void _buildForm();
  void _buildInputMenu();
  void _selectInput(const QString &name);
  void _startWarmUp(const QString &name, int generation);
  void _failWarmUp();
  void _startTake();
  void _finishTake();
  void _watchStart(Phase phase);
  bool _takeRecorded() const;
  void _setRecordIcon(const QString &path);

  PopupMainWidget *_panel = nullptr;
  QPushButton *_microphoneButton = nullptr;
  QPushButton *_triangleButton = nullptr;
  AudioLevelMeterWidget *_meterWidget = nullptr;
  QPushButton *_recordButton = nullptr;
  QPushButton *_cancelButton = nullptr;

  AudioInputBackend *_recorder = nullptr;
  QMenu *_inputMenu = nullptr;
  bool _recording = false;
  QTimer *_blinkTimer = nullptr;
  int _blinkPhase = 0;
  int _placement = 0;
  float _startTime = 0;
  QList<float> _meterValues;

  Phase _phase = Phase::Idle;
  QString _currentInput;
  // Counts input selections, so that a warm-up of an earlier selection never starts.
  int _warmUpGeneration = 0;
  // Counts recorder starts, so that the wait for an earlier start never judges a later one.
  int _startSerial = 0;
  bool _warmUpRunning = false;
  bool _takeRunning = false;
  bool _takeFailed = false;
  QString _takeFile;
};
