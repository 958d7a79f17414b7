#include "popupcolorsscrollwidgetoneslideritemwidget.h"

#include "popupformparts.h"
#include "rotatableimagewidget.h"
#include "wheeleventblocker.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineF>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
constexpr int releaseReportMs = 350;
constexpr int firstRepeatMs = 500;
constexpr int repeatMs = 50;
constexpr int snapToZero = 5;
constexpr double clickSlop = 5.0;
// The title line is the whole of a collapsed row.
constexpr int titleLineHeight = 45;

const char *const labelStyle = "QLabel {color: white;} QLabel:disabled {color: rgb(128,128,128);}";

const char *const sliderStyle =
  "QSlider::groove:horizontal {background: transparent; height: 4px; border-radius: 2px;}"
  "QSlider::sub-page:horizontal {background: white; height: 4px; border-radius: 2px;}"
  "QSlider::add-page:horizontal {background: white; height: 4px; border-radius: 2px;}"
  "QSlider::handle:horizontal {background: rgb(54,200,255); width: 18px; margin-top: -7px; margin-bottom: -7px;"
  " border-radius: 9px;}"
  "QSlider::sub-page:horizontal:disabled {background: rgb(44,105,133);}"
  "QSlider::add-page:horizontal:disabled {background: rgb(44,105,133);}"
  "QSlider::handle:horizontal:disabled {background: rgb(128,128,128);}";

const char *const stepButtonStyle =
  "QPushButton:pressed {background-color: rgb(25,26,28); margin: 10px; border: none; border-radius: 10px;}";

} // namespace

PopupColorsScrollWidgetOneSliderItemWidget::PopupColorsScrollWidgetOneSliderItemWidget(
  const QPixmap &expandPixmap, const QPixmap &expandDisabledPixmap, QWidget *parent)
  : QWidget(parent)
{
  _buildForm();
  _expandIcon->setPixmap(expandPixmap);
  _expandIcon->setDisabledPixmap(expandDisabledPixmap);
  for (QLabel *label : {_titleLabel, _valueLabelSmall, _valueLabel})
    label->setStyleSheet(labelStyle);
  _slider->setStyleSheet(sliderStyle);
  // Keys would move it without a Changed report (there is no gesture to end).
  _slider->setFocusPolicy(Qt::NoFocus);
  _valueDownButton->setStyleSheet(stepButtonStyle);
  _valueUpButton->setStyleSheet(stepButtonStyle);
  _separator->setStyleSheet("background-color: rgb(44,46,50);");
  _separator->setAttribute(Qt::WA_StyledBackground, true);
  // The list scrolls under the wheel; a row's value never does.
  _slider->installEventFilter(new WheelEventBlocker(_slider));

  _repeatTimer.setSingleShot(true);
  _releaseTimer.setSingleShot(true);
  _releaseTimer.setInterval(releaseReportMs);
  connect(&_releaseTimer, &QTimer::timeout, this, &PopupColorsScrollWidgetOneSliderItemWidget::_reportIfChanged);
  connect(&_repeatTimer, &QTimer::timeout, this, &PopupColorsScrollWidgetOneSliderItemWidget::_step);
  connect(_slider, &QSlider::valueChanged, this, &PopupColorsScrollWidgetOneSliderItemWidget::onSliderValueChanged);
  connect(_slider, &QSlider::sliderReleased, this, &PopupColorsScrollWidgetOneSliderItemWidget::onSliderReleased);
  connect(_valueUpButton, &QPushButton::pressed, this,
          &PopupColorsScrollWidgetOneSliderItemWidget::onValueUpButtonPressed);
  connect(_valueDownButton, &QPushButton::pressed, this,
          &PopupColorsScrollWidgetOneSliderItemWidget::onValueDownButtonPressed);
  connect(_valueUpButton, &QPushButton::released, this,
          &PopupColorsScrollWidgetOneSliderItemWidget::onValueUpButtonReleased);
  connect(_valueDownButton, &QPushButton::released, this,
          &PopupColorsScrollWidgetOneSliderItemWidget::onValueDownButtonReleased);
}

void PopupColorsScrollWidgetOneSliderItemWidget::_buildForm()
{
  setWindowTitle("Form");
  resize(400, 127);
  _verticalLayout = new QVBoxLayout(this);
  _verticalLayout->setSpacing(0);
  _verticalLayout->setContentsMargins(0, 0, 0, 0);

  auto *horizontalLayout = new QHBoxLayout;
  horizontalLayout->setSpacing(8);
  horizontalLayout->setContentsMargins(3, 0, 12, 0);
  _expandIcon = new RotatableImageWidget(this);
  _expandIcon->setFixedSize(20, 20);
  _titleLabel = new QLabel(this);
  _titleLabel->setFixedHeight(titleLineHeight);
  _valueLabelSmall = new QLabel("0", this);
  _valueLabelSmall->setFixedWidth(42);
  _valueLabelSmall->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  horizontalLayout->addWidget(_expandIcon);
  horizontalLayout->addWidget(_titleLabel);
  horizontalLayout->addWidget(_valueLabelSmall);

  _sliderAreaWidget = new QWidget(this);
  auto *horizontalLayout2 = new QHBoxLayout(_sliderAreaWidget);
  horizontalLayout2->setSpacing(0);
  horizontalLayout2->setContentsMargins(5, 0, 5, 0);
  _slider = new QSlider(Qt::Horizontal, _sliderAreaWidget);
  _slider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  _valueDownButton = PopupFormParts::stepButton(":/images/value_decrease", _sliderAreaWidget);
  _valueLabel = new QLabel("0", _sliderAreaWidget);
  _valueLabel->setMinimumWidth(36);
  _valueLabel->setAlignment(Qt::AlignCenter);
  _valueUpButton = PopupFormParts::stepButton(":/images/value_increase", _sliderAreaWidget);
  horizontalLayout2->addWidget(_slider);
  horizontalLayout2->addWidget(_valueDownButton);
  horizontalLayout2->addWidget(_valueLabel);
  horizontalLayout2->addWidget(_valueUpButton);

  _separator = new QWidget(this);
  _separator->setFixedHeight(1);

  _verticalLayout->addLayout(horizontalLayout);
  _verticalLayout->addWidget(_sliderAreaWidget);
  _verticalLayout->addWidget(_separator);
}

void PopupColorsScrollWidgetOneSliderItemWidget::setTitle(const QString &title)
{
  _titleLabel->setText(title);
}

void PopupColorsScrollWidgetOneSliderItemWidget::_showValue(int value)
{
  _valueLabel->setText(QString::number(value));
  _valueLabelSmall->setText(QString::number(value));
}

void PopupColorsScrollWidgetOneSliderItemWidget::setValueAndRange(int value, int minimum, int maximum)
{
  _silent = true;
  _slider->setRange(minimum, maximum);
  _slider->setValue(value);
  _silent = false;
  _reportedValue = _slider->value();
  _showValue(_reportedValue);
}

void PopupColorsScrollWidgetOneSliderItemWidget::setValueSilently(int value)
{
  _silent = true;
  _slider->setValue(value);
  _silent = false;
  _reportedValue = _slider->value();
  _showValue(_reportedValue);
}

void PopupColorsScrollWidgetOneSliderItemWidget::setExpanded(bool expanded)
{
  _valueLabelSmall->setVisible(!expanded);
  _sliderAreaWidget->setVisible(expanded);
  _expandIcon->setRotation(expanded ? 90 : 0);
}

void PopupColorsScrollWidgetOneSliderItemWidget::hideSeparator()
{
  _separator->hide();
}

// --- Values ---

void PopupColorsScrollWidgetOneSliderItemWidget::onSliderValueChanged(int value)
{
  if (_silent)
    return;
  // A drag lands on "unchanged" near it; the buttons still reach every value.
  if (!_stepping && value != 0 && qAbs(value) <= snapToZero) {
    _slider->setValue(0); // runs this handler again with 0
    return;
  }
  _showValue(_slider->value());
  emit valueChanging(this, _slider->value());
}

void PopupColorsScrollWidgetOneSliderItemWidget::_reportIfChanged()
{
  const int value = _slider->value();
  if (value == _reportedValue)
    return;
  _reportedValue = value;
  emit valueDidChange(this, value);
}

void PopupColorsScrollWidgetOneSliderItemWidget::onSliderReleased()
{
  _reportIfChanged();
}

// --- Press-and-hold stepping ---

void PopupColorsScrollWidgetOneSliderItemWidget::_startHolding(int direction)
{
  _holdDirection = direction;
  _holdInterval = 0;
  _step();
}

void PopupColorsScrollWidgetOneSliderItemWidget::_stopHolding()
{
  _holdDirection = 0;
  _repeatTimer.stop();
  // A later release within the delay takes over: one report per burst of clicks.
  _releaseTimer.start();
}

void PopupColorsScrollWidgetOneSliderItemWidget::reportPendingValue()
{
  if (_holdDirection != 0)
    _stopHolding();
  if (!_releaseTimer.isActive())
    return;
  _releaseTimer.stop();
  _reportIfChanged();
}

void PopupColorsScrollWidgetOneSliderItemWidget::_step()
{
  if (_holdDirection == 0 || QGuiApplication::mouseButtons() == Qt::NoButton)
    return;
  const int delta = _holdDirection == 1 ? 1 : -1;
  const int current = _slider->value();
  const int next = qBound(_slider->minimum(), current + delta, _slider->maximum());
  if (next == current)
    return;
  _stepping = true;
  _slider->setValue(next);
  _stepping = false;
  _holdInterval = _holdInterval == 0 ? firstRepeatMs : repeatMs;
  _repeatTimer.start(_holdInterval);
}

// --- Click on the title line ---

void PopupColorsScrollWidgetOneSliderItemWidget::mousePressEvent(QMouseEvent *event)
{
  // The value label and the gaps of the slider line pass presses on too; a press that
  // misses a step button there must not fold the row away under the pointer.
  _pressed = event->pos().y() < titleLineHeight;
  _moved = false;
  _pressGlobalPos = event->globalPos();
  QWidget::mousePressEvent(event);
}

void PopupColorsScrollWidgetOneSliderItemWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (_pressed && !_moved && QLineF(_pressGlobalPos, event->globalPos()).length() >= clickSlop)
    _moved = true;
  QWidget::mouseMoveEvent(event);
}

void PopupColorsScrollWidgetOneSliderItemWidget::mouseReleaseEvent(QMouseEvent *event)
{
  const bool click = _pressed && !_moved;
  _pressed = false;
  if (click)
    emit itemPressed(this);
  QWidget::mouseReleaseEvent(event);
}
