#include "pencilshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>
#include <QPolygonF>

bool PencilShape::limitsRestore(QRect &area) const
{
  area = _area;
  return !_area.isNull();
}

void PencilShape::drawBegan(QPoint position)
{
  _p0 = _p1 = _p2 = position;
  _path = QPainterPath();
  _pieces.clear();
  _area = QRect();
  _pen = painter()->pen();
  emit shapeRequestBackupRestoreCanvasImage(this, true);
}

void PencilShape::drawMoved(QPoint position)
{
  _advance(position);
}

void PencilShape::drawEnded(QPoint position)
{
  _advance(position);
}

void PencilShape::_advance(const QPoint &position)
{
  _p0 = _p1;
  _p1 = _p2;
  _p2 = position;
  const QPoint mid1((_p0.x() + _p1.x()) / 2, (_p0.y() + _p1.y()) / 2);
  const QPoint mid2((_p1.x() + _p2.x()) / 2, (_p1.y() + _p2.y()) / 2);
  _path.moveTo(mid1);
  _path.quadTo(_p1, mid2);
  _pieces.append({mid1, _p1, mid2, _strokeBox(mid1, _p1, mid2)});
  _area = _pieces.last().box.toAlignedRect();
  if (painter()->pen() != _pen) {
    // A new pen mid-stroke changes the whole stroke: restore and redraw all of it.
    _pen = painter()->pen();
    for (Piece &piece : _pieces)
      piece.box = _strokeBox(piece.from, piece.control, piece.to);
    _area = QRect();
  }
  emit shapeRequestBackupRestoreCanvasImage(this, false);
  draw();
}

QRectF PencilShape::_strokeBox(const QPointF &from, const QPointF &control, const QPointF &to) const
{
  // Where the piece's outline really goes: the stroke of a piece with coinciding points
  // may reach further than half a pen beyond them.
  QPainterPath piece(from);
  piece.quadTo(control, to);
  QPainterPathStroker stroker(painter()->pen());
  // Two canvas pixels of antialiasing, in widget units.
  const QTransform &transform = painter()->transform();
  const qreal margin = 2.0 / qMax<qreal>(0.01, qMin(qAbs(transform.m11()), qAbs(transform.m22())));
  return stroker.createStroke(piece).boundingRect().adjusted(-margin, -margin, margin, margin);
}

QRect PencilShape::_box(qreal margin) const
{
  const QRectF box = QPolygonF({QPointF(_p0), QPointF(_p1), QPointF(_p2)}).boundingRect();
  return box.adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

void PencilShape::draw()
{
  QPainter *p = painter();
  _beginDraw();
  p->setBrush(Qt::NoBrush);
  if (_area.isNull()) {
    p->drawPath(_path);
  } else {
    // Pieces away from the restored area leave its pixels alone: paint only the others,
    // still in one call.
    _clipTo(_area);
    const QRectF area(_area);
    QPainterPath path;
    for (const Piece &piece : qAsConst(_pieces)) {
      if (!piece.box.intersects(area))
        continue;
      path.moveTo(piece.from);
      path.quadTo(piece.control, piece.to);
    }
    p->drawPath(path);
  }
  _endDraw();
  const int m = _dirtyMargin();
  emit shapeNeedDisplayInRect(this, _area.isNull() ? _path.boundingRect().toAlignedRect().adjusted(-m, -m, m, m)
                                                   : _box(m).united(_area));
}
