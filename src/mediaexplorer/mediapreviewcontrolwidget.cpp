#include "mediapreviewcontrolwidget.h"

#include "seekablesliderstyle.h"
#include "util.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

MediaPreviewControlWidget::MediaPreviewControlWidget(QWidget *parent) : QWidget(parent)
{
  setObjectName("MediaPreviewControlWidget");
  setWindowTitle(tr("Form"));
  resize(524, 52);
  auto *layout = new QHBoxLayout(this);
  layout->setObjectName("horizontalLayout");
  layout->setContentsMargins(20, 0, 20, 0);

  _closeButton = new QPushButton(this);
  _closeButton->setObjectName("closeButton");
  _closeButton->setFlat(true);
  _closeButton->setIcon(QIcon(":/images/media-explorer/preview_close"));
  _closeButton->setIconSize(QSize(30, 30));
  _closeButton->setToolTip(tr("Close preview"));
  _playPauseButton = new QPushButton(this);
  _playPauseButton->setObjectName("playPauseButton");
  _playPauseButton->setFlat(true);
  _playPauseButton->setIcon(QIcon(":/images/media-explorer/videoPreviewPlay"));
  _playPauseButton->setIconSize(QSize(20, 20));
  _leftLabel = new QLabel("00:00", this);
  _leftLabel->setObjectName("leftLabel");
  _leftLabel->setMinimumWidth(45);
  _slider = new QSlider(Qt::Horizontal, this);
  _slider->setObjectName("horizontalSlider");
  _slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  _slider->setRange(0, 99);
  _rightLabel = new QLabel("-00:00", this);
  _rightLabel->setObjectName("rightLabel");
  _rightLabel->setMinimumWidth(45);
  for (QWidget *w : {static_cast<QWidget *>(_closeButton), static_cast<QWidget *>(_playPauseButton),
                     static_cast<QWidget *>(_leftLabel), static_cast<QWidget *>(_slider),
                     static_cast<QWidget *>(_rightLabel)})
    layout->addWidget(w);

  setAttribute(Qt::WA_TranslucentBackground);
  setStyleSheet("QWidget#MediaPreviewControlWidget{background: transparent; color: white;}");
  _slider->setStyle(new SeekableSliderStyle(_slider->style()));
  _slider->setStyleSheet(
    "QSlider::groove:horizontal{height: 4px; background: transparent; border-radius: 2px;}"
    "QSlider::sub-page:horizontal{background: white; border-radius: 2px;}"
    "QSlider::add-page:horizontal{background: rgb(25,26,28); border-radius: 2px;}"
    "QSlider::handle:horizontal{background: white; width: 18px; margin: -7px 0; border-radius: 9px;}"
    "QSlider::sub-page:horizontal:disabled{background: rgb(44,105,133);}"
    "QSlider::handle:horizontal:disabled{background: rgb(128,128,128);}");
  for (QLabel *label : {_leftLabel, _rightLabel}) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() - 1);
    label->setFont(font);
    label->setStyleSheet("QLabel{color: white;}QLabel:disabled{color: rgb(128,128,128);}");
  }
  _closeButton->setStyleSheet("QPushButton{color: white; background: transparent;}"
                              "QPushButton:hover{background: rgb(44,46,50); border-radius: 5px;}"
                              "QPushButton:pressed{background: black; border-radius: 5px;}"
                              "QPushButton:disabled{color: rgb(128,128,128);}");

  connect(_playPauseButton, &QPushButton::clicked, this, &MediaPreviewControlWidget::playPauseButtonClicked);
  connect(_closeButton, &QPushButton::clicked, this, &MediaPreviewControlWidget::closeButtonClicked);
  connect(_slider, &QSlider::sliderPressed, this, &MediaPreviewControlWidget::onSliderPressed);
  connect(_slider, &QSlider::sliderReleased, this, &MediaPreviewControlWidget::onSliderReleased);
  connect(_slider, &QSlider::valueChanged, this, &MediaPreviewControlWidget::onSliderValueChanged);
}

void MediaPreviewControlWidget::onSliderPressed()
{
  emit pauseIfPlaying(_wasPlaying);
  _sliderPressed = true;
  emit seekToPosition(_slider->value());
}

void MediaPreviewControlWidget::onSliderValueChanged(int value)
{
  // Moves made by updateTime never seek.
  if (_sliderPressed)
    emit seekToPosition(value);
}

void MediaPreviewControlWidget::onSliderReleased()
{
  _sliderPressed = false;
  if (_wasPlaying)
    emit needToPlay();
}

void MediaPreviewControlWidget::setControlsEnabled(bool enabled)
{
  _playPauseButton->setEnabled(enabled);
  _leftLabel->setEnabled(enabled);
  _rightLabel->setEnabled(enabled);
  _slider->setEnabled(enabled);
}

void MediaPreviewControlWidget::setPlaying(bool playing)
{
  if (playing)
    _playPauseButton->setIcon(QIcon(":/images/media-explorer/videoPreviewPause"));
  else if (!_playPauseButton->isEnabled())
    _playPauseButton->setIcon(QIcon(":/images/media-explorer/videoPreviewPlay_dis"));
  else
    _playPauseButton->setIcon(QIcon(":/images/media-explorer/videoPreviewPlay"));
}

void MediaPreviewControlWidget::updateTime(float position, float duration)
{
  if (!_sliderPressed)
    _slider->setValue(duration > 0 ? int(position * 100 / duration) : 0);
  _leftLabel->setText(Util::formatDuration(int(position)));
  _rightLabel->setText("-" + Util::formatDuration(int(duration - position)));
}
