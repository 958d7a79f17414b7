#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QVBoxLayout;

// The translucent playback bar over the full-screen preview. It plays nothing itself: it
// asks the editor window by signals and is told the playing state and progress. While the
// movie plays it hides after 3 s without activity, counted down in 500-ms steps.
class FullscreenControlWidget : public QWidget
{
  Q_OBJECT
public:
  explicit FullscreenControlWidget(QWidget *parent = nullptr);
  ~FullscreenControlWidget() override;

  void showControls();
  void setPlaying(bool playing);
  // Seconds.
  void setProgress(float time, float duration);

  QPushButton *previousPosButton() const { return _previousPosButton; }
  QPushButton *playPauseButton() const { return _playPauseButton; }
  QPushButton *nextPosButton() const { return _nextPosButton; }
  QPushButton *fullscreenButton() const { return _fullscreenButton; }
  QSlider *slider() const { return _horizontalSlider; }
  QLabel *leftLabel() const { return _leftLabel; }
  QLabel *rightLabel() const { return _rightLabel; }

signals:
  void playPauseButtonClicked();
  void nextPositionButtonClicked();
  void previousPositionButtonClicked();
  void fullscreenButtonClicked();
  // Answered by a direct connection: pause when playing and tell whether it was.
  void pauseIfPlaying(bool &playing);
  void needToPlay();
  // value: 0..99, the percentage of the movie.
  void seekToPosition(int value);

public slots:
  void onSliderPressed();
  void onSliderReleased();
  void onSliderValueChanged(int value);
  void autoHide();

private:
  void _setupUi();
  void _retranslateUi();
  void _applyStyle();
  void _resetCountdown();

  QVBoxLayout *_verticalLayout = nullptr;
  QWidget *_topPanel = nullptr;
  QHBoxLayout *_horizontalLayout_2 = nullptr;
  QWidget *_placeholder = nullptr;
  QPushButton *_previousPosButton = nullptr;
  QPushButton *_playPauseButton = nullptr;
  QPushButton *_nextPosButton = nullptr;
  QPushButton *_fullscreenButton = nullptr;
  QWidget *_bottomPanel = nullptr;
  QHBoxLayout *_horizontalLayout = nullptr;
  QLabel *_leftLabel = nullptr;
  QSlider *_horizontalSlider = nullptr;
  QLabel *_rightLabel = nullptr;

  bool _sliderPressed = false;
  bool _wasPlaying = false;
  bool _playing = false;
  int _hideCountdown;
  QTimer *_autoHideTimer = nullptr;
};
