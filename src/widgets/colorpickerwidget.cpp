#include "colorpickerwidget.h"

#include <QPainter>
#include <QPainterPath>

ColorPickerWidget::ColorPickerWidget(QWidget *parent) : QWidget(parent) {}

void ColorPickerWidget::setColor(const QColor &color)
{
  _color = color;
  update();
}

void ColorPickerWidget::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  const QPointF c = r.center();
  QPainterPath ring; // odd-even fill leaves the inner disc empty
  const qreal outer = r.width() / 2 - 1, inner = r.width() * 3 / 8;
  ring.addEllipse(c, outer, outer);
  ring.addEllipse(c, inner, inner);
  p.setPen(QPen(Qt::red, 1));
  p.setBrush(_color);
  p.drawPath(ring);

  auto crossHair = [&p, c] {
    p.drawLine(QPointF(c.x() - 12, c.y()), QPointF(c.x() - 4, c.y()));
    p.drawLine(QPointF(c.x() + 4, c.y()), QPointF(c.x() + 12, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 12), QPointF(c.x(), c.y() - 4));
    p.drawLine(QPointF(c.x(), c.y() + 4), QPointF(c.x(), c.y() + 12));
  };
  p.setPen(QPen(Qt::darkGray, 2));
  crossHair();
  p.setPen(QPen(Qt::red, 1));
  crossHair();
}
