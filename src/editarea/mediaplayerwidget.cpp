#include "mediaplayerwidget.h"

#include "animatedlabel.h"
#include "mediaservicelock.h"
#include "util.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaEnum>
#include <QMutex>
#include <QPushButton>
#include <QSlider>

MediaPlayerWidget::MediaPlayerWidget(QWidget *parent) : QWidget(parent)
{
  {
    QMutexLocker serviceLock(&mediaServiceMutex());
    _player = new QMediaPlayer(this);
  }
  auto *layout = new QHBoxLayout(this);
  _playPauseButton = new QPushButton(this);
  _playPauseButton->setFlat(true);
  _elapsedLabel = new QLabel(QStringLiteral("00:00"), this);
  _slider = new QSlider(Qt::Horizontal, this);
  _slider->setRange(0, 100);
  _remainingLabel = new QLabel(QStringLiteral("-00:00"), this);
  layout->addWidget(_playPauseButton);
  layout->addWidget(_elapsedLabel);
  layout->addWidget(_slider);
  layout->addWidget(_remainingLabel);
  _setStateIcon(QStringLiteral(":/images/camera_play"));
  connect(_player, &QMediaPlayer::positionChanged, this, &MediaPlayerWidget::playerPositionChanged);
  connect(_player, &QMediaPlayer::stateChanged, this, &MediaPlayerWidget::playerStateChanged);
  connect(_player, &QMediaPlayer::mediaStatusChanged, this, &MediaPlayerWidget::playerMediaStatusChanged);
  connect(_playPauseButton, &QPushButton::clicked, this, &MediaPlayerWidget::playPause);
  connect(_slider, &QSlider::sliderMoved, this, &MediaPlayerWidget::playerSliderMoved);
  connect(_slider, &QSlider::sliderPressed, this, &MediaPlayerWidget::playerSliderPressed);
  connect(_slider, &QSlider::sliderReleased, this, &MediaPlayerWidget::playerSliderReleased);
}

MediaPlayerWidget::~MediaPlayerWidget()
{
  // Not left to QObject: the player releases its service, which the preview's thread may be
  // requesting at the same time.
  QMutexLocker serviceLock(&mediaServiceMutex());
  delete _player;
}

void MediaPlayerWidget::_setStateIcon(const QString &icon)
{
  _stateIcon = icon;
  _playPauseButton->setIcon(QIcon(icon));
}

void MediaPlayerWidget::playerPositionChanged(qlonglong position)
{
  const qint64 duration = _player->duration();
  if (duration <= 0)
    return;
  if (!_sliderPressed)
    _slider->setValue(int(position * 100 / duration));
  _elapsedLabel->setText(Util::formatDuration(int(position / 1000)));
  _remainingLabel->setText(QStringLiteral("-") + Util::formatDuration(int((duration - position) / 1000)));
}

void MediaPlayerWidget::playerStateChanged(QMediaPlayer::State state)
{
  _setStateIcon(state == QMediaPlayer::PlayingState ? QStringLiteral(":/images/camera_pause")
                                                    : QStringLiteral(":/images/camera_play"));
}

void MediaPlayerWidget::playerMediaStatusChanged(QMediaPlayer::MediaStatus status)
{
  const QMetaObject &meta = QMediaPlayer::staticMetaObject;
  const QMetaEnum names = meta.enumerator(meta.indexOfEnumerator("MediaStatus"));
  qDebug().noquote() << "Media status changed" << names.valueToKey(status);
  if (status != QMediaPlayer::LoadingMedia) {
    delete _loadingIndicator;
    _loadingIndicator = nullptr;
    return;
  }
  if (_loadingIndicator)
    return;
  _loadingIndicator = new AnimatedLabel(this, QStringLiteral(":/images/loading_hud_black"));
  _loadingIndicator->setFixedSize(80, 80);
  _loadingIndicator->move((width() - 80) / 2, (height() - 80) / 2);
  _loadingIndicator->show();
  _loadingIndicator->start();
}

void MediaPlayerWidget::playPause()
{
  if (!_player)
    return;
  if (_player->state() == QMediaPlayer::PlayingState)
    _player->pause();
  else
    _player->play();
}

void MediaPlayerWidget::playerSliderMoved(int value)
{
  _player->setPosition(_player->duration() * value / 100);
}

void MediaPlayerWidget::playerSliderPressed()
{
  _wasPlaying = _player->state() == QMediaPlayer::PlayingState;
  _player->pause();
  _sliderPressed = true;
}

void MediaPlayerWidget::playerSliderReleased()
{
  _sliderPressed = false;
  if (_wasPlaying)
    _player->play();
}

void MediaPlayerWidget::closeButtonPressed()
{
  close();
}
