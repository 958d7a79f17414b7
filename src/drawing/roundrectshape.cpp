#include "roundrectshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>

QRectF RoundRectShape::_paintFigure()
{
  QPainter *p = painter();
  const QRectF rect = _normalizedRect();
  if (_settings->fillMode == 2)
    p->setPen(Qt::NoPen);
  else
    p->setBrush(Qt::NoBrush);
  p->drawRoundedRect(rect, 20, 20, Qt::AbsoluteSize);
  return rect;
}
