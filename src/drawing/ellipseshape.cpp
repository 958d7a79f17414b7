#include "ellipseshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>

EllipseShape::EllipseShape(int cmdId, DrawingToolSettings *settings, bool circle, QObject *parent)
    : FrameShape(cmdId, settings, parent), _circle(circle)
{
}

QRectF EllipseShape::_paintFigure()
{
  QPainter *p = painter();
  QRectF rect = _normalizedRect();
  if (_circle) {
    const qreal side = qMin(rect.width(), rect.height());
    rect.setSize(QSizeF(side, side));
  }
  if (_settings->fillMode == 2)
    p->setPen(Qt::NoPen);
  else
    p->setBrush(Qt::NoBrush);
  p->drawEllipse(rect);
  return rect;
}
