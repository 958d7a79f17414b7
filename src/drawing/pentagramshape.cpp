#include "pentagramshape.h"

#include <QPainterPath>
#include <QtMath>

QRectF PentagramShape::_paintFigure()
{
  const qreal outer = _radius();
  const qreal inner = outer * qCos(qDegreesToRadians(72.0)) / qCos(qDegreesToRadians(36.0));
  const qreal start = _startAngle();
  QPainterPath path;
  path.moveTo(_end);
  for (int k = 1; k < 10; ++k) {
    const qreal a = qDegreesToRadians(start + k * 36);
    const qreal r = k % 2 ? inner : outer;
    path.lineTo(_begin.x() + r * qCos(a), _begin.y() + r * qSin(a));
  }
  path.closeSubpath();
  _outlineOrFill(path);
  return QRectF(_begin.x() - outer, _begin.y() - outer, 2 * outer, 2 * outer);
}
