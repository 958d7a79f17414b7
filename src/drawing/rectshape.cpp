#include "rectshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>

QRectF RectShape::_paintFigure()
{
  QPainter *p = painter();
  const QRectF rect = _normalizedRect();
  if (_settings->fillMode == 2) {
    p->setPen(Qt::NoPen);
  } else {
    QPen pen = p->pen();
    pen.setJoinStyle(Qt::MiterJoin);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
  }
  p->drawRect(rect);
  return rect;
}
