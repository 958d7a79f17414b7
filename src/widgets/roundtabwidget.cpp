#include "roundtabwidget.h"

#include <QPainter>
#include <QPainterPath>

RoundTabWidget::RoundTabWidget(int shape, const QColor &fill, QWidget *parent)
  : QWidget(parent), _fill(fill), _shape(shape)
{
}

void RoundTabWidget::paintEvent(QPaintEvent *)
{
  const qreal w = width(), h = height();
  struct Arc
  {
    qreal x, y, start, sweep;
  };
  Arc arcs[4];
  if (_shape == 1)
    arcs[0] = {-10, 0, 90, -90}, arcs[1] = {10, h - 20, 180, 90}, arcs[2] = {w - 30, h - 20, 270, 90},
    arcs[3] = {w - 10, 0, 180, -90};
  else if (_shape == 2)
    // The mirror image of the last shape: the top-left corner's square sits at (0, 10).
    arcs[0] = {w - 20, -10, 0, -90}, arcs[1] = {0, 10, 90, 90}, arcs[2] = {0, h - 30, 180, 90},
    arcs[3] = {w - 20, h - 10, 90, -90};
  else
    arcs[0] = {0, -10, 180, 90}, arcs[1] = {w - 20, 10, 90, -90}, arcs[2] = {w - 20, h - 30, 0, -90},
    arcs[3] = {0, h - 10, 90, 90};

  QPainterPath path;
  for (int i = 0; i < 4; ++i) {
    const QRectF square(arcs[i].x, arcs[i].y, 20, 20);
    if (i == 0)
      path.arcMoveTo(square, arcs[i].start);
    path.arcTo(square, arcs[i].start, arcs[i].sweep);
  }
  path.closeSubpath();

  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(_fill);
  p.drawPath(path);
}
