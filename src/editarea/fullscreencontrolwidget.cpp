#include "fullscreencontrolwidget.h"

#include "util.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace {
constexpr int Never = INT_MAX;
constexpr int HideAfterMs = 3000;
constexpr int StepMs = 500;

const char SliderStyle[] =
  "QSlider::groove:horizontal { background: transparent; height: 4px; border-radius: 2px; }"
  "QSlider::sub-page:horizontal { background: white; height: 4px; border-radius: 2px; }"
  "QSlider::add-page:horizontal { background: rgb(25,26,28); height: 4px; border-radius: 2px; }"
  "QSlider::handle:horizontal { background: white; width: 18px; margin: -7px 0px; border-radius: 9px; }"
  "QSlider::sub-page:horizontal:disabled { background: rgb(44,105,133); }"
  "QSlider::handle:horizontal:disabled { background: rgb(128,128,128); }";

const char ButtonStyle[] = "QPushButton { color:white; background-color: transparent; } "
                           "QPushButton:hover { background-color: rgb(44,46,50); border-radius: 5px;} "
                           "QPushButton:pressed { background-color: black; border-radius: 5px;}";
} // namespace

FullscreenControlWidget::FullscreenControlWidget(QWidget *parent) : QWidget(parent), _hideCountdown(Never)
{
  // A plain QWidget subclass paints no style sheet background of its own.
  setAttribute(Qt::WA_StyledBackground);
  _setupUi();
  _applyStyle();
  connect(_playPauseButton, &QPushButton::clicked, this, &FullscreenControlWidget::playPauseButtonClicked);
  connect(_nextPosButton, &QPushButton::clicked, this, &FullscreenControlWidget::nextPositionButtonClicked);
  connect(_previousPosButton, &QPushButton::clicked, this, &FullscreenControlWidget::previousPositionButtonClicked);
  connect(_fullscreenButton, &QPushButton::clicked, this, &FullscreenControlWidget::fullscreenButtonClicked);
  connect(_horizontalSlider, &QSlider::sliderPressed, this, &FullscreenControlWidget::onSliderPressed);
  connect(_horizontalSlider, &QSlider::sliderReleased, this, &FullscreenControlWidget::onSliderReleased);
  connect(_horizontalSlider, &QSlider::valueChanged, this, &FullscreenControlWidget::onSliderValueChanged);
  _autoHideTimer = new QTimer(this);
  _autoHideTimer->setInterval(StepMs);
  _autoHideTimer->setTimerType(Qt::PreciseTimer); // six coarse steps could end 150 ms early
  connect(_autoHideTimer, &QTimer::timeout, this, &FullscreenControlWidget::autoHide);
  _autoHideTimer->start();
}

FullscreenControlWidget::~FullscreenControlWidget()
{
  _autoHideTimer->stop();
}

void FullscreenControlWidget::_setupUi()
{
  setObjectName(QStringLiteral("FullscreenControlWidget"));
  resize(515, 100);
  _verticalLayout = new QVBoxLayout(this);
  _verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
  _verticalLayout->setContentsMargins(0, 0, 0, 0);
  _verticalLayout->setSpacing(0);

  _topPanel = new QWidget(this);
  _topPanel->setObjectName(QStringLiteral("topPanel"));
  _horizontalLayout_2 = new QHBoxLayout(_topPanel);
  _horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
  QMargins margins = _horizontalLayout_2->contentsMargins();
  margins.setBottom(0);
  _horizontalLayout_2->setContentsMargins(margins);
  _placeholder = new QWidget(_topPanel);
  _placeholder->setObjectName(QStringLiteral("placeholder"));
  _placeholder->setMinimumWidth(40);
  _placeholder->setMaximumWidth(50);
  _horizontalLayout_2->addWidget(_placeholder);
  _horizontalLayout_2->addItem(new QSpacerItem(87, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  const auto button = [this](const char *name, const char *icon, int minWidth, int maxWidth, int iconSide) {
    auto *b = new QPushButton(_topPanel);
    b->setObjectName(QLatin1String(name));
    b->setMinimumWidth(minWidth);
    if (maxWidth > 0)
      b->setMaximumWidth(maxWidth);
    b->setIcon(QIcon(QLatin1String(icon)));
    b->setIconSize(QSize(iconSide, iconSide));
    return b;
  };
  _previousPosButton = button("previousPosButton", ":/images/navi_play_previous", 35, 50, 20);
  _playPauseButton = button("playPauseButton", ":/images/navi_play", 50, 0, 25);
  _nextPosButton = button("nextPosButton", ":/images/navi_play_next", 35, 50, 20);
  _fullscreenButton = button("fullscreenButton", ":/images/navi_normal_screen", 40, 50, 20);
  _horizontalLayout_2->addWidget(_previousPosButton);
  _horizontalLayout_2->addWidget(_playPauseButton);
  _horizontalLayout_2->addWidget(_nextPosButton);
  _horizontalLayout_2->addItem(new QSpacerItem(86, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  _horizontalLayout_2->addWidget(_fullscreenButton);
  _verticalLayout->addWidget(_topPanel);

  _bottomPanel = new QWidget(this);
  _bottomPanel->setObjectName(QStringLiteral("bottomPanel"));
  _horizontalLayout = new QHBoxLayout(_bottomPanel);
  _horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
  margins = _horizontalLayout->contentsMargins();
  margins.setTop(0);
  margins.setBottom(0);
  _horizontalLayout->setContentsMargins(margins);
  _leftLabel = new QLabel(_bottomPanel);
  _leftLabel->setObjectName(QStringLiteral("leftLabel"));
  _leftLabel->setMinimumWidth(45);
  _horizontalSlider = new QSlider(Qt::Horizontal, _bottomPanel);
  _horizontalSlider->setObjectName(QStringLiteral("horizontalSlider"));
  _rightLabel = new QLabel(_bottomPanel);
  _rightLabel->setObjectName(QStringLiteral("rightLabel"));
  _rightLabel->setMinimumWidth(45);
  _horizontalLayout->addWidget(_leftLabel);
  _horizontalLayout->addWidget(_horizontalSlider);
  _horizontalLayout->addWidget(_rightLabel);
  _verticalLayout->addWidget(_bottomPanel);
  _retranslateUi();
}

void FullscreenControlWidget::_retranslateUi()
{
  setWindowTitle(tr("Form"));
  _previousPosButton->setToolTip(tr("Previous position"));
  _playPauseButton->setToolTip(tr("Play/Pause"));
  _nextPosButton->setToolTip(tr("Next position"));
  _fullscreenButton->setToolTip(tr("Exit fullscreen"));
  _leftLabel->setText(QStringLiteral("00:00"));
  _rightLabel->setText(QStringLiteral("-00:00"));
}

void FullscreenControlWidget::_applyStyle()
{
  setStyleSheet(QStringLiteral("QWidget{ background-color: rgba(0,0,0,192); color: white; border-radius: 10px; } "
                               "QToolTip{ background-color: rgb(54,200,255); color: white; padding: 2px; "
                               "border-radius: 3px; }"));
  _topPanel->setStyleSheet(QStringLiteral("QWidget{background-color:transparent;}"));
  _bottomPanel->setStyleSheet(QStringLiteral("QWidget{background-color:transparent;}"));
  _placeholder->setStyleSheet(QStringLiteral("QWidget { background-color: transparent; }"));
  _horizontalSlider->setStyleSheet(QString::fromLatin1(SliderStyle));
  for (QLabel *label : {_leftLabel, _rightLabel}) {
    label->setStyleSheet(QStringLiteral("QLabel { background-color: transparent; }"));
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() - 1);
    label->setFont(font);
  }
  for (QPushButton *b : {_previousPosButton, _playPauseButton, _nextPosButton, _fullscreenButton})
    b->setStyleSheet(QString::fromLatin1(ButtonStyle));
}

void FullscreenControlWidget::_resetCountdown()
{
  _hideCountdown = _playing ? HideAfterMs : Never;
}

void FullscreenControlWidget::showControls()
{
  _resetCountdown();
  show();
}

void FullscreenControlWidget::setPlaying(bool playing)
{
  _playing = playing;
  _resetCountdown();
  _playPauseButton->setIcon(QIcon(playing ? QStringLiteral(":/images/navi_pause") : QStringLiteral(":/images/navi_play")));
  if (!playing)
    show();
}

void FullscreenControlWidget::setProgress(float time, float duration)
{
  // A zero or negative duration has no position to show.
  if (!_sliderPressed)
    _horizontalSlider->setValue(duration > 0 ? int(time * 100 / duration) : 0);
  _leftLabel->setText(Util::formatDuration(int(time)));
  _rightLabel->setText(QStringLiteral("-") + Util::formatDuration(qMax(0, int(duration - time))));
}

void FullscreenControlWidget::autoHide()
{
  if (!isVisible())
    return;
  _hideCountdown -= StepMs;
  if (_hideCountdown <= 0)
    hide();
}

void FullscreenControlWidget::onSliderPressed()
{
  emit pauseIfPlaying(_wasPlaying);
  _sliderPressed = true;
  emit seekToPosition(_horizontalSlider->value());
  _autoHideTimer->stop();
}

void FullscreenControlWidget::onSliderValueChanged(int value)
{
  if (_sliderPressed)
    emit seekToPosition(value);
}

void FullscreenControlWidget::onSliderReleased()
{
  _sliderPressed = false;
  if (_wasPlaying)
    emit needToPlay();
  _resetCountdown();
  _autoHideTimer->start();
}
