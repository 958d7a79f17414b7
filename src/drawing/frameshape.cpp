#include "frameshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QtMath>

bool FrameShape::limitsRestore(QRect &area) const
{
  area = _painted;
  return true;
}

void FrameShape::drawBegan(QPoint position)
{
  _begin = _end = position;
  _dirty = QRect(0, 0, 0, 0);
  _painted = QRect();
  emit shapeRequestBackupRestoreCanvasImage(this, true);
}

void FrameShape::drawMoved(QPoint position)
{
  _end = position;
  QTimer::singleShot(10, this, [this] {
    emit shapeRequestBackupRestoreCanvasImage(this, false);
    draw();
  });
}

void FrameShape::drawEnded(QPoint)
{
}

void FrameShape::draw()
{
  // A drag back to its start leaves the canvas as the backup was.
  if (_begin == _end) {
    _painted = QRect();
    emit shapeNeedDisplayInRect(this, _dirty);
    return;
  }
  _beginDraw();
  const QRectF box = _paintFigure();
  _endDraw();
  const QRect points(QPoint(int(box.left()), int(box.top())), QPoint(int(box.right()), int(box.bottom())));
  const qreal reach = _strokeReach();
  _painted = box.adjusted(-reach, -reach, reach, reach).toAlignedRect();
  const int m = _dirtyMargin();
  _dirty = _dirty.united(points.adjusted(-m, -m, m, m));
  emit shapeNeedDisplayInRect(this, _dirty);
}

QRectF FrameShape::_normalizedRect() const
{
  return QRectF(QPointF(qMin(_begin.x(), _end.x()), qMin(_begin.y(), _end.y())),
                QPointF(qMax(_begin.x(), _end.x()), qMax(_begin.y(), _end.y())));
}

void FrameShape::_outlineOrFill(const QPainterPath &path)
{
  QPainter *p = painter();
  if (_settings->fillMode == 2)
    p->fillPath(path, p->brush());
  else
    p->strokePath(path, p->pen());
}

qreal FrameShape::_startAngle() const
{
  const qreal r = _radius();
  qreal angle = qRadiansToDegrees(qAcos(qBound<qreal>(-1, (_end.x() - _begin.x()) / r, 1)));
  if (_end.y() <= _begin.y())
    angle = -angle;
  return angle;
}

qreal FrameShape::_radius() const
{
  return QLineF(_begin, _end).length();
}
