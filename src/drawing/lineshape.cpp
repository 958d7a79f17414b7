#include "lineshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

void LineShape::setStyle(bool dashed, bool dotted, bool arrow)
{
  _dashed = dashed;
  _dotted = dotted;
  _arrow = arrow;
}

QRectF LineShape::_paintFigure()
{
  QPainter *p = painter();
  QPen pen = p->pen();
  if (_dashed)
    pen.setStyle(Qt::DashLine);
  else if (_dotted)
    pen.setStyle(Qt::DotLine);
  const QPointF begin(_begin), end(_end);
  QPolygonF points;
  points << begin << end;
  QPainterPath path(begin);
  if (!_arrow) {
    path.lineTo(end);
    p->strokePath(path, pen);
    return points.boundingRect();
  }
  const qreal length = QLineF(begin, end).length();
  const QPointF u = (end - begin) / length;
  const QPointF n(u.y(), -u.x());
  const qreal head = 5 * _settings->scaledLineWidth;
  const QPointF shaftEnd = begin + (length - head) * u;
  path.lineTo(shaftEnd);
  p->strokePath(path, pen);
  QPolygonF triangle;
  triangle << end << shaftEnd + head / 2 * n << shaftEnd - head / 2 * n;
  QPainterPath headPath;
  headPath.addPolygon(triangle);
  headPath.closeSubpath();
  p->fillPath(headPath, p->brush());
  points << triangle;
  return points.boundingRect();
}
