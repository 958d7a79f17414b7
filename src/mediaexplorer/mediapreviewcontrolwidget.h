#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

// The control bar of the media preview: close, play/pause, a position slider and two time
// labels. Scrubbing pauses a playing media and resumes it on release.
class MediaPreviewControlWidget : public QWidget
{
  Q_OBJECT
public:
  explicit MediaPreviewControlWidget(QWidget *parent);

  void setControlsEnabled(bool enabled);
  void setPlaying(bool playing);
  // Seconds.
  void updateTime(float position, float duration);

signals:
  void playPauseButtonClicked();
  void pauseIfPlaying(bool &playing);
  void needToPlay();
  void seekToPosition(int value);
  void closeButtonClicked();

public slots:
  void onSliderPressed();
  void onSliderReleased();
  void onSliderValueChanged(int value);

private:
  QPushButton *_closeButton = nullptr;
  QPushButton *_playPauseButton = nullptr;
  QLabel *_leftLabel = nullptr;
  QSlider *_slider = nullptr;
  QLabel *_rightLabel = nullptr;
  bool _sliderPressed = false;
  bool _wasPlaying = false;
};
