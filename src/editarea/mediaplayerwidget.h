#pragma once

#include <QMediaPlayer>
#include <QWidget>

class AnimatedLabel;
class QLabel;
class QPushButton;
class QSlider;

// A small player panel over a QMediaPlayer: play/pause, a position slider and the elapsed
// and remaining times, with a spinner while media loads.
class MediaPlayerWidget : public QWidget
{
  Q_OBJECT
public:
  explicit MediaPlayerWidget(QWidget *parent = nullptr);
  ~MediaPlayerWidget() override;

  QMediaPlayer *player() const { return _player; }
  QPushButton *playPauseButton() const { return _playPauseButton; }
  QSlider *slider() const { return _slider; }
  QLabel *elapsedLabel() const { return _elapsedLabel; }
  QLabel *remainingLabel() const { return _remainingLabel; }
  AnimatedLabel *loadingIndicator() const { return _loadingIndicator; }
  // The icon the play/pause button shows.
  QString stateIcon() const { return _stateIcon; }

public slots:
  void playerPositionChanged(qlonglong position);
  void playerStateChanged(QMediaPlayer::State state);
  void playerMediaStatusChanged(QMediaPlayer::MediaStatus status);
  void playPause();
  void playerSliderMoved(int value);
  void playerSliderPressed();
  void playerSliderReleased();
  void closeButtonPressed();

private:
  void _setStateIcon(const QString &icon);

  QMediaPlayer *_player = nullptr;
  QPushButton *_playPauseButton = nullptr;
  QSlider *_slider = nullptr;
  QLabel *_elapsedLabel = nullptr;
  QLabel *_remainingLabel = nullptr;
  AnimatedLabel *_loadingIndicator = nullptr;
  QString _stateIcon;
  bool _sliderPressed = false;
  bool _wasPlaying = false;
};
