#include "heartshape.h"

#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

QPointF offset(const QPointF &from, qreal distance, qreal degrees)
{
  const qreal a = qDegreesToRadians(degrees);
  return from + QPointF(distance * qCos(a), distance * qSin(a));
}

} // namespace

QRectF HeartShape::_paintFigure()
{
  const qreal d = _radius();
  const qreal a = _startAngle();
  const QPointF begin(_begin), end(_end);
  const QPointF c1 = offset(begin, d, a - 60), c2 = offset(end, d, a - 360.0 / 7);
  const QPointF c4 = offset(end, d, a + 360.0 / 7), c3 = offset(begin, d, a + 60);
  QPainterPath path;
  path.moveTo(begin);
  path.cubicTo(c1, c2, end);
  path.cubicTo(c4, c3, begin);
  path.closeSubpath();
  _outlineOrFill(path);
  return QPolygonF({begin, end, c1, c2, c3, c4}).boundingRect();
}
