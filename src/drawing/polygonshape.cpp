#include "polygonshape.h"

#include <QPainterPath>
#include <QtMath>

PolygonShape::PolygonShape(int cmdId, DrawingToolSettings *settings, int sides, int inscribed, QObject *parent)
    : FrameShape(cmdId, settings, parent), _sides(sides), _inscribed(inscribed)
{
}

QRectF PolygonShape::_paintFigure()
{
  QPainterPath path;
  const qreal step = 360.0 / _sides;
  QRectF box;
  if (_inscribed) {
    box = _normalizedRect();
    const QPointF c = box.center();
    const qreal rx = box.width() / 2, ry = box.height() / 2;
    path.moveTo(c.x(), box.top());
    for (int k = 1; k <= _sides; ++k) {
      const qreal a = qDegreesToRadians(k * step - 90);
      path.lineTo(c.x() + rx * qCos(a), c.y() + ry * qSin(a));
    }
  } else {
    const qreal r = _radius();
    const qreal start = _startAngle();
    path.moveTo(_end);
    for (int k = 1; k < _sides; ++k) {
      const qreal a = qDegreesToRadians(start + k * step);
      path.lineTo(_begin.x() + r * qCos(a), _begin.y() + r * qSin(a));
    }
    box = QRectF(_begin.x() - r, _begin.y() - r, 2 * r, 2 * r);
  }
  path.closeSubpath();
  _outlineOrFill(path);
  return box;
}
