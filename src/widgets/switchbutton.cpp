#include "switchbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

SwitchButton::SwitchButton(QWidget *parent) : QWidget(parent)
{
  _animation.setDuration(200);
  connect(&_animation, &QVariantAnimation::valueChanged, this, &SwitchButton::OnValueChanged);
}

void SwitchButton::setValue(bool value)
{
  _animation.stop();
  _value = value;
  _knobOffset = value ? _travel() : 0;
  update();
}

void SwitchButton::setOffColor(const QColor &color)
{
  _offColor = color;
  update();
}

void SwitchButton::setOnColor(const QColor &color)
{
  _onColor = color;
  update();
}

void SwitchButton::setKnobColor(const QColor &color)
{
  _knobColor = color;
  update();
}

void SwitchButton::setDisabledOffColor(const QColor &color)
{
  _disabledOffColor = color;
  update();
}

void SwitchButton::setDisabledOnColor(const QColor &color)
{
  _disabledOnColor = color;
  update();
}

void SwitchButton::setDisabledKnobColor(const QColor &color)
{
  _disabledKnobColor = color;
  update();
}

void SwitchButton::OnValueChanged(const QVariant &value)
{
  _knobOffset = value.toInt();
  update();
}

void SwitchButton::mousePressEvent(QMouseEvent *event)
{
  if (event->button() != Qt::LeftButton)
    return;
  _value = !_value;
  _animation.stop();
  _animation.setStartValue(_value ? 0 : _travel());
  _animation.setEndValue(_value ? _travel() : 0);
  _animation.start();
  emit valueChanged(_value);
}

void SwitchButton::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _knobOffset = _value ? _travel() : 0;
}

QColor SwitchButton::_effective(const QColor &enabled, const QColor &disabled) const
{
  if (isEnabled())
    return enabled;
  return disabled.isValid() ? disabled : enabled.darker(200);
}

void SwitchButton::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const bool horizontal = width() >= height();
  const int d = qMin(width(), height());
  const int length = qMax(width(), height());
  // Rectangles along the long axis, mapped to x or y.
  auto span = [horizontal, d](qreal from, qreal size) {
    return horizontal ? QRectF(from, 0, size, d) : QRectF(0, from, d, size);
  };

  QPainterPath on;
  on.addEllipse(span(0, d));
  on.addRect(span(d / 2, _knobOffset));
  on.addEllipse(span(_knobOffset, d));
  on.setFillRule(Qt::WindingFill);
  p.setBrush(_effective(_onColor, _disabledOnColor));
  p.drawPath(on);

  QPainterPath off;
  off.addEllipse(span(length - d, d));
  off.addEllipse(span(_knobOffset, d));
  off.addRect(span(_knobOffset + d / 2, length - d - _knobOffset));
  off.setFillRule(Qt::WindingFill);
  p.setBrush(_effective(_offColor, _disabledOffColor));
  p.drawPath(off);

  p.setBrush(_effective(_knobColor, _disabledKnobColor));
  p.drawEllipse(span(_knobOffset, d));
}
