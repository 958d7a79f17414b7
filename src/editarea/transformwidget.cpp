#include "transformwidget.h"

#include "animationswitch.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <cmath>

namespace {
constexpr int HandleSize = 30;
constexpr int HalfHandle = HandleSize / 2;
constexpr double Pi = 3.141592653589793;
constexpr float DegreesPerRadian = 57.29578f;
constexpr int ReportDelayMs = 200;
constexpr int HoldMs = 200;

// Halves go up: -2.5 gives -2, 2.5 gives 3.
double rounded(double v)
{
  return std::floor(v + 0.5);
}

double length(const QPointF &v)
{
  return std::sqrt(v.x() * v.x() + v.y() * v.y());
}

// The angle at a of the triangle a, b, c.
double angleAt(const QPointF &a, const QPointF &b, const QPointF &c)
{
  const double ab = length(b - a);
  const double ac = length(c - a);
  const double bc = length(c - b);
  return std::acos((ab * ab + ac * ac - bc * bc) / (2 * ac * ab));
}

bool near(float a, float b, float tolerance)
{
  return std::fabs(a - b) <= tolerance;
}
} // namespace

TransformWidget::TransformWidget(const QString &dotImage, const QString &squareImage, const QString &centralPointImage,
                                 const QColor &guideColor, float snapTolerance, QWidget *parent)
  : QWidget(parent), _guideColor(guideColor), _snapTolerance(snapTolerance)
{
  const int width = int(devicePixelRatioF() * HandleSize);
  _dotPixmap = QPixmap(dotImage).scaledToWidth(width, Qt::SmoothTransformation);
  _squarePixmap = QPixmap(squareImage).scaledToWidth(width, Qt::SmoothTransformation);
  _centralPointPixmap = QPixmap(centralPointImage).scaledToWidth(width, Qt::SmoothTransformation);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

TransformWidget::~TransformWidget() = default;

QTransform TransformWidget::_transform() const
{
  return QTransform()
    .translate(_center.x(), _center.y())
    .rotate(_rotationDegrees)
    .translate(-_center.x(), -_center.y());
}

QRectF TransformWidget::_layerRect() const
{
  return QRectF(_center.x() - _size.width() / 2, _center.y() - _size.height() / 2, _size.width(), _size.height());
}

void TransformWidget::_updateRotatedAnchorOffset()
{
  const QPointF v((_anchor.x() - 0.5) * _size.width(), (_anchor.y() - 0.5) * _size.height());
  const QPointF r = QTransform().rotate(_rotationDegrees).map(v);
  _rotatedAnchorOffset[0] = float(r.x());
  _rotatedAnchorOffset[1] = float(r.y());
}

void TransformWidget::_updateAnchorPoint()
{
  const QPointF v((_anchor.x() - 0.5) * _size.width(), (_anchor.y() - 0.5) * _size.height());
  _anchorPoint = _center + QTransform().rotate(_rotationDegrees).map(v);
  _anchorVisible = _size.width() > HandleSize && _size.height() > HandleSize;
}

void TransformWidget::_updateCenterLines()
{
  const QRectF r = _layerRect();
  const QTransform t = _transform();
  _bottomMidPoint = t.map(QPointF(r.center().x(), r.bottom()));
  _rightMidPoint = t.map(QPointF(r.right(), r.center().y()));
  const QPointF points[2] = {_bottomMidPoint, _rightMidPoint};
  for (int i = 0; i < 2; ++i) {
    const QPointF &q = points[i];
    // A line sharing a coordinate with the centre keeps its old coefficients; users test that first.
    if (q.x() == _center.x() || q.y() == _center.y())
      continue;
    _centerLines[i].a = float(1.0 / (q.x() - _center.x()));
    _centerLines[i].b = float(-1.0 / (q.y() - _center.y()));
    _centerLines[i].c = float(_center.y() / (q.y() - _center.y()) - _center.x() / (q.x() - _center.x()));
  }
}

void TransformWidget::setContentLayerGeometry(const QPointF &position, const QSizeF &size, float rotation,
                                              const QPointF &anchor, const QSizeF &baseSize, bool animated)
{
  const QPointF oldCenter = _center;
  const QSizeF oldSize = _size;
  const float oldDegrees = _rotationDegrees;
  _size = size;
  _baseSize = baseSize;
  _anchor = anchor;
  _baseAnchorOffset[0] = float(baseSize.width() * (anchor.x() - 0.5));
  _baseAnchorOffset[1] = float(baseSize.height() * (anchor.y() - 0.5));
  _rotation = rotation;
  _rotationDegrees = rotation * DegreesPerRadian;
  _updateRotatedAnchorOffset();
  _center = position - QPointF(double(_rotatedAnchorOffset[0] - _baseAnchorOffset[0]),
                               double(_rotatedAnchorOffset[1] - _baseAnchorOffset[1]));
  _updateAnchorPoint();
  _updateCenterLines();
  delete _slide;
  if (animated && isAnimationEnabled() && !oldSize.isEmpty()) {
    _slide = new QVariantAnimation(this);
    _slide->setDuration(200);
    _slide->setStartValue(0.0);
    _slide->setEndValue(1.0);
    connect(_slide, &QVariantAnimation::valueChanged, this, [=](const QVariant &value) {
      const double f = value.toDouble();
      _slideCenter = oldCenter + (_center - oldCenter) * f;
      _slideSize = oldSize + (_size - oldSize) * f;
      _slideDegrees = float(double(oldDegrees) + double(_rotationDegrees - oldDegrees) * f);
      update();
    });
    _slideCenter = oldCenter;
    _slideSize = oldSize;
    _slideDegrees = oldDegrees;
    _slide->start(QAbstractAnimation::DeleteWhenStopped);
  }
  update();
}

void TransformWidget::getContentLayerGeometry(QPointF *position, QSizeF *size, float *rotation, QPointF *anchor) const
{
  if (position)
    *position = _center + QPointF(double(_rotatedAnchorOffset[0] - _baseAnchorOffset[0]),
                                  double(_rotatedAnchorOffset[1] - _baseAnchorOffset[1]));
  if (size)
    *size = _size;
  if (rotation)
    *rotation = _rotation;
  if (anchor)
    *anchor = _anchor;
}

QRect TransformWidget::contentLayerFrame() const
{
  return QRect(int(_center.x() - _size.width() / 2), int(_center.y() - _size.height() / 2), int(_size.width()),
               int(_size.height()));
}

void TransformWidget::setPlaybackAreaFrame(const QRectF &frame)
{
  _playbackAreaFrame = frame;
  _playbackAreaCenter = frame.center();
}

float TransformWidget::_snapRotation(float angle, bool *snapped) const
{
  const int t = int(double(angle) * 1800 / Pi); // tenths of a degree
  const int base = (t / 450) * 450;
  const int rem = t - base;
  const int k = _snapTolerance > 1.0f ? 10 : 1;
  int result;
  if (std::abs(rem) <= k)
    result = base;
  else if (rem >= 450 - k)
    result = base + 450;
  else if (rem <= k - 450)
    result = base - 450;
  else {
    *snapped = false;
    return angle;
  }
  *snapped = true;
  return float(result * Pi / 1800);
}

bool TransformWidget::_snapToLine(QPointF &p, const QPointF &q, const Line &line, bool snap) const
{
  const float tolerance = _snapTolerance;
  if (q.x() == _center.x()) {
    const bool isNear = near(float(p.x()), float(_center.x()), tolerance);
    if (isNear && snap)
      p.setX(_center.x());
    return isNear;
  }
  if (q.y() == _center.y()) {
    const bool isNear = near(float(p.y()), float(_center.y()), tolerance);
    if (isNear && snap)
      p.setY(_center.y());
    return isNear;
  }
  const float a = line.a, b = line.b, c = line.c;
  const float norm = a * a + b * b;
  const float distance = std::fabs(a * float(p.x()) + b * float(p.y()) + c) / std::sqrt(norm);
  const bool isNear = distance <= tolerance;
  if (isNear && snap) {
    const double x = (double(b * b) * p.x() - double(a * b) * p.y() - double(a * c)) / double(norm);
    const double y = (double(a * a) * p.y() - double(a * b) * p.x() - double(b * c)) / double(norm);
    p = QPointF(x, y);
  }
  return isNear;
}

int TransformWidget::_hitTest(const QPointF &p) const
{
  if (_anchorVisible &&
      QRectF(_anchorPoint.x() - HalfHandle, _anchorPoint.y() - HalfHandle, HandleSize, HandleSize).contains(p))
    return Anchor;
  const QRectF e = _layerRect().adjusted(-HalfHandle, -HalfHandle, HalfHandle, HalfHandle);
  const QPointF corners[8] = {e.topLeft(),
                              {e.center().x() - HalfHandle, e.top()},
                              {e.right() - HandleSize, e.top()},
                              {e.right() - HandleSize, e.center().y() - HalfHandle},
                              {e.right() - HandleSize, e.bottom() - HandleSize},
                              {e.center().x() - HalfHandle, e.bottom() - HandleSize},
                              {e.left(), e.bottom() - HandleSize},
                              {e.left(), e.center().y() - HalfHandle}};
  const QTransform t = _transform();
  for (int i = 0; i < 8; ++i)
    if (t.mapRect(QRectF(corners[i], QSizeF(HandleSize, HandleSize))).contains(p))
      return i;
  if (t.map(QRegion(_layerRect().toRect())).contains(p.toPoint()))
    return Body;
  return None;
}

bool TransformWidget::_containsInLayer(const QPoint &globalPos) const
{
  return _transform().map(QRegion(_layerRect().toRect())).contains(mapFromGlobal(globalPos));
}

bool TransformWidget::handleMousePressEvent(QMouseEvent *event)
{
  const QPoint point = mapFromGlobal(event->globalPos());
  _hitRegion = _hitTest(QPointF(point));
  if (_hitRegion == None)
    return false;
  _pressRotation = _rotation;
  _pressCenter = _center;
  _pressSize = _size;
  _pressAnchorPoint = _anchorPoint;
  _pressPoint = point;
  _pressRotatedAnchorOffset[0] = _rotatedAnchorOffset[0];
  _pressRotatedAnchorOffset[1] = _rotatedAnchorOffset[1];
  _moved = false;
  const quint64 generation = ++_pressGeneration;
  switch (_hitRegion) {
  case Anchor: {
    QPointF p = _pressAnchorPoint;
    _guides.anchorOnVerticalLine = _snapToLine(p, _bottomMidPoint, _centerLines[0], false);
    _guides.anchorOnHorizontalLine = _snapToLine(p, _rightMidPoint, _centerLines[1], false);
    if (_guides.anchorOnVerticalLine || _guides.anchorOnHorizontalLine)
      update();
    break;
  }
  case TopLeft:
  case TopRight:
  case BottomRight:
  case BottomLeft:
    // The guide shows at once when the layer already stands at a multiple of 45 degrees.
    _snapRotation(_rotation, &_guides.rotationSnapped);
    if (_guides.rotationSnapped)
      update();
    break;
  case Body:
    QTimer::singleShot(HoldMs, this, [this, generation] {
      if (generation == _pressGeneration && _hitRegion == Body && !_moved)
        _showHoldGuides();
    });
    break;
  default:
    break;
  }
  return true;
}

bool TransformWidget::handleMouseMoveEvent(QMouseEvent *event)
{
  if (_hitRegion == None)
    return false;
  _moved = true;
  const QPointF p(mapFromGlobal(event->globalPos()));
  switch (_hitRegion) {
  case TopLeft:
  case TopRight:
  case BottomRight:
  case BottomLeft:
    _rotate(p);
    break;
  case Top:
  case Right:
  case Bottom:
  case Left:
    _stretch(p);
    break;
  case Anchor:
    _moveAnchor(p);
    break;
  default:
    _moveLayer(p);
    break;
  }
  update();
  return true;
}

void TransformWidget::_rotate(const QPointF &p)
{
  const QPointF a = _anchorPoint;
  const QPointF press(_pressPoint);
  double theta = angleAt(a, press, p);
  if (std::isnan(theta))
    theta = 0;
  const double s = (p.y() - a.y()) * (press.x() - a.x()) - (press.y() - a.y()) * (p.x() - a.x());
  const float angle = float(s) > 0 ? float(_pressRotation + theta) : float(_pressRotation - theta);
  _rotation = _snapRotation(angle, &_guides.rotationSnapped);
  _rotationDegrees = _rotation * DegreesPerRadian;
  _updateRotatedAnchorOffset();
  // The anchor-based position stays (to whole pixels): the layer turns about its anchor.
  _center.setX(rounded(_pressCenter.x() + double(_pressRotatedAnchorOffset[0] - _baseAnchorOffset[0])) -
               double(_rotatedAnchorOffset[0] - _baseAnchorOffset[0]));
  _center.setY(rounded(_pressCenter.y() + double(_pressRotatedAnchorOffset[1] - _baseAnchorOffset[1])) -
               double(_rotatedAnchorOffset[1] - _baseAnchorOffset[1]));
}

void TransformWidget::_stretch(const QPointF &p)
{
  const QPointF press(_pressPoint);
  const double d0 = length(_pressCenter - press);
  const double phi = angleAt(_pressCenter, press, p);
  const double d = std::cos(phi) * length(_pressCenter - p) - d0;
  const float h = float(d / 2);
  const float cosT = std::cos(_rotation), sinT = std::sin(_rotation);
  QPointF offset;
  double dimension;
  switch (_hitRegion) {
  case Right:
    offset = QPointF(cosT * h, sinT * h);
    dimension = _pressSize.width() + d;
    break;
  case Left:
    offset = -QPointF(cosT * h, sinT * h);
    dimension = _pressSize.width() + d;
    break;
  case Top:
    offset = QPointF(sinT * h, -cosT * h);
    dimension = _pressSize.height() + d;
    break;
  default:
    offset = QPointF(-sinT * h, cosT * h);
    dimension = _pressSize.height() + d;
    break;
  }
  if (std::isnan(float(dimension)))
    return;
  const float clamped = qMax(float(HandleSize), float(dimension));
  if (_hitRegion == Right || _hitRegion == Left)
    _size = QSizeF(clamped, _pressSize.height());
  else
    _size = QSizeF(_pressSize.width(), clamped);
  // The centre follows half the drag even where the size stops.
  _center = QPointF(float(_pressCenter.x() + offset.x()), float(_pressCenter.y() + offset.y()));
  _updateRotatedAnchorOffset();
  _updateAnchorPoint();
}

void TransformWidget::_moveAnchor(const QPointF &p)
{
  QPointF point = _pressAnchorPoint + (p - QPointF(_pressPoint));
  _guides.anchorOnVerticalLine = _snapToLine(point, _bottomMidPoint, _centerLines[0], true);
  _guides.anchorOnHorizontalLine = _snapToLine(point, _rightMidPoint, _centerLines[1], true);
  _anchorPoint = point;
  const QPointF v = QTransform().rotate(_pressRotation * DegreesPerRadian).inverted().map(point - _pressCenter);
  _anchor = QPointF(v.x() / _pressSize.width() + 0.5, v.y() / _pressSize.height() + 0.5);
  _baseAnchorOffset[0] = float(_baseSize.width() * (_anchor.x() - 0.5));
  _baseAnchorOffset[1] = float(_baseSize.height() * (_anchor.y() - 0.5));
  _updateRotatedAnchorOffset();
}

// One axis of the move's edge snapping: c is the centre coordinate, lo and hi the layer's
// unrotated edges at c, anchor the anchor's coordinate. Returns the guide (0, 1 low, 2 high).
int TransformWidget::_edgeGuide(float lo, float hi, float anchor, float lowEdge, float highEdge, float pressCenter,
                                bool centered, bool rectRules, float *c) const
{
  const float tol = _snapTolerance;
  if (!centered && rectRules) {
    const float half = (hi - lo) / 2;
    const float lo0 = pressCenter - half, hi0 = pressCenter + half;
    if (near(lo, lowEdge, tol)) {
      *c = lowEdge - lo0 + pressCenter;
      return 1;
    }
    if (near(anchor, lowEdge, tol)) {
      *c += lowEdge - anchor;
      return 1;
    }
    if (near(hi, lowEdge, tol)) {
      *c = lowEdge - hi0 + pressCenter;
      return 1;
    }
    if (near(hi, highEdge, tol)) {
      *c = highEdge - hi0 + pressCenter;
      return 2;
    }
    if (near(anchor, highEdge, tol)) {
      *c += highEdge - anchor;
      return 2;
    }
    if (near(lo, highEdge, tol)) {
      *c = highEdge - lo0 + pressCenter;
      return 2;
    }
  }
  if (near(anchor, lowEdge, tol)) {
    *c += lowEdge - anchor;
    return 1;
  }
  if (near(anchor, highEdge, tol)) {
    *c += highEdge - anchor;
    return 2;
  }
  return 0;
}

void TransformWidget::_moveLayer(const QPointF &p)
{
  const float tol = _snapTolerance;
  const QPointF delta = p - QPointF(_pressPoint);
  float cx = float(_pressCenter.x() + delta.x()), cy = float(_pressCenter.y() + delta.y());
  float ax = float(_pressAnchorPoint.x() + delta.x()), ay = float(_pressAnchorPoint.y() + delta.y());
  const float mx = float(_playbackAreaCenter.x()), my = float(_playbackAreaCenter.y());
  _guides.centerGuideX = near(ax, mx, tol);
  if (_guides.centerGuideX) {
    cx += mx - ax;
    ax = mx;
  }
  _guides.centerGuideY = near(ay, my, tol);
  if (_guides.centerGuideY) {
    cy += my - ay;
    ay = my;
  }
  // Edges count only for an upright layer; the stored size is used even at 90 degrees.
  const bool upright = int(_pressRotation * DegreesPerRadian) % 90 == 0;
  const float hw = float(_pressSize.width() / 2), hh = float(_pressSize.height() / 2);
  const QRectF &f = _playbackAreaFrame;
  _guides.edgeGuideX = _edgeGuide(cx - hw, cx + hw, ax, float(f.left()), float(f.right()), float(_pressCenter.x()),
                                  _guides.centerGuideX, upright, &cx);
  _guides.edgeGuideY = _edgeGuide(cy - hh, cy + hh, ay, float(f.top()), float(f.bottom()), float(_pressCenter.y()),
                                  _guides.centerGuideY, upright, &cy);
  _center = QPointF(rounded(cx), rounded(cy));
  _updateAnchorPoint();
}

void TransformWidget::_showHoldGuides()
{
  const float tol = _snapTolerance;
  const float ax = float(_pressAnchorPoint.x()), ay = float(_pressAnchorPoint.y());
  _guides.centerGuideX = near(ax, float(_playbackAreaCenter.x()), tol);
  _guides.centerGuideY = near(ay, float(_playbackAreaCenter.y()), tol);
  const bool upright = int(_rotation * DegreesPerRadian) % 90 == 0;
  const QRectF &f = _playbackAreaFrame;
  // The move's tests for the unmoved layer; the centre it would get is thrown away.
  float cx = float(_pressCenter.x()), cy = float(_pressCenter.y());
  const float hw = float(_pressSize.width() / 2), hh = float(_pressSize.height() / 2);
  _guides.edgeGuideX = _edgeGuide(cx - hw, cx + hw, ax, float(f.left()), float(f.right()), cx, _guides.centerGuideX,
                                  upright, &cx);
  _guides.edgeGuideY = _edgeGuide(cy - hh, cy + hh, ay, float(f.top()), float(f.bottom()), cy, _guides.centerGuideY,
                                  upright, &cy);
  if (_guides.any())
    update();
}

bool TransformWidget::handleMouseReleaseEvent()
{
  if (_hitRegion == None)
    return false;
  const int region = _hitRegion;
  _hitRegion = None;
  switch (region) {
  case TopLeft:
  case TopRight:
  case BottomRight:
  case BottomLeft: {
    if (!(_rotation == _pressRotation)) {
      emit transformWidgetContentLayerGeometryDidChange(this);
      _updateCenterLines();
    }
    const bool was = _guides.rotationSnapped;
    _guides.rotationSnapped = false;
    if (was)
      update();
    break;
  }
  case Top:
  case Right:
  case Bottom:
  case Left:
    if (!qFuzzyCompare(_size.width(), _pressSize.width()) || !qFuzzyCompare(_size.height(), _pressSize.height())) {
      emit transformWidgetContentLayerGeometryDidChange(this);
      _updateCenterLines();
    }
    break;
  case Anchor: {
    if (_rotatedAnchorOffset[0] != _pressRotatedAnchorOffset[0] ||
        _rotatedAnchorOffset[1] != _pressRotatedAnchorOffset[1])
      emit transformWidgetContentLayerGeometryDidChange(this);
    const bool was = _guides.anchorOnVerticalLine || _guides.anchorOnHorizontalLine;
    _guides.anchorOnVerticalLine = _guides.anchorOnHorizontalLine = false;
    if (was)
      update();
    break;
  }
  default: {
    if (_center != _pressCenter) {
      emit transformWidgetContentLayerGeometryDidChange(this);
      _updateCenterLines();
    }
    const bool was = _guides.centerGuideX || _guides.centerGuideY || _guides.edgeGuideX || _guides.edgeGuideY;
    _guides.centerGuideX = _guides.centerGuideY = false;
    _guides.edgeGuideX = _guides.edgeGuideY = 0;
    if (was)
      update();
    break;
  }
  }
  return true;
}

bool TransformWidget::handleMouseDoubleClickEvent(QMouseEvent *event)
{
  if (!_containsInLayer(event->globalPos()))
    return false;
  emit transformWidgetRequestContextMenu(this, event->globalPos());
  return true;
}

bool TransformWidget::handleContextMenuEvent(QContextMenuEvent *event)
{
  if (!_containsInLayer(event->globalPos()))
    return false;
  emit transformWidgetRequestContextMenu(this, event->globalPos());
  return true;
}

void TransformWidget::_scaleBy(float factor)
{
  const float w = float(_size.width()), h = float(_size.height());
  float w2 = w * factor, h2 = h * factor;
  const float minimum = float(_minimumSize.width());
  if (w2 < minimum) {
    w2 = minimum;
    h2 = h * minimum / w;
  } else if (h2 < minimum) {
    h2 = minimum;
    w2 = w * minimum / h;
  }
  _size = QSizeF(w2, h2);
  _updateRotatedAnchorOffset();
  _updateAnchorPoint();
  update();
  // A burst of steps reports once, after the last.
  const quint64 generation = ++_changeGeneration;
  QTimer::singleShot(ReportDelayMs, this, [this, generation] {
    if (generation == _changeGeneration)
      emit transformWidgetContentLayerGeometryDidChange(this);
  });
}

bool TransformWidget::handleWheelEvent(QWheelEvent *event)
{
  const QPointF global = event->globalPosition();
  if (!_containsInLayer(QPoint(int(global.x()), int(global.y()))))
    return false;
  float delta = 0;
  if (!event->pixelDelta().isNull())
    delta = float(event->pixelDelta().y());
  else if (const QPoint steps = event->angleDelta() / 8; !steps.isNull())
    delta = float(steps.y());
  const float factor = delta / float((_size.width() + _size.height()) / 2) + 1;
  _scaleBy(factor);
  return true;
}

bool TransformWidget::handleGestureEvent(QNativeGestureEvent *event)
{
  if (!_containsInLayer(event->globalPos()))
    return false;
  if (event->gestureType() == Qt::ZoomNativeGesture)
    _scaleBy(float(event->value() + 1));
  return true;
}

void TransformWidget::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  painter.save();
  const bool sliding = _slide && _slide->state() == QAbstractAnimation::Running;
  const QPointF center = sliding ? _slideCenter : _center;
  const QSizeF size = sliding ? _slideSize : _size;
  const float degrees = sliding ? _slideDegrees : _rotationDegrees;
  const QRectF r(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(), size.height());
  const QTransform t =
    QTransform().translate(center.x(), center.y()).rotate(degrees).translate(-center.x(), -center.y());
  painter.setTransform(t);
  painter.setPen(QPen(QBrush(_guideColor), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(r);
  _drawHandles(painter, r.adjusted(-HalfHandle, -HalfHandle, HalfHandle, HalfHandle));
  painter.setTransform(QTransform());
  if (_anchorVisible && !sliding)
    painter.drawPixmap(QRectF(_anchorPoint.x() - HalfHandle, _anchorPoint.y() - HalfHandle, HandleSize, HandleSize),
                       _centralPointPixmap, QRectF(_centralPointPixmap.rect()));
  const QRectF &f = _playbackAreaFrame;
  const auto lineThrough = [](const QPointF &p, const QPointF &q) {
    Line line;
    if (q.x() != p.x() && q.y() != p.y()) {
      line.a = float(1.0 / (q.x() - p.x()));
      line.b = float(-1.0 / (q.y() - p.y()));
      line.c = float(p.y() / (q.y() - p.y()) - p.x() / (q.x() - p.x()));
    }
    return line;
  };
  if (_guides.anchorOnVerticalLine)
    _drawGuideLine(painter, _center, _bottomMidPoint, _centerLines[0]);
  if (_guides.anchorOnHorizontalLine)
    _drawGuideLine(painter, _center, _rightMidPoint, _centerLines[1]);
  if (_guides.rotationSnapped) {
    const QPointF axis = _transform().map(QPointF(_layerRect().right(), _layerRect().center().y()));
    _drawGuideLine(painter, _center, axis, lineThrough(_center, axis));
  }
  if (_guides.centerGuideX)
    _drawGuideLine(painter, _playbackAreaCenter, QPointF(f.center().x(), f.bottom()), Line());
  if (_guides.centerGuideY)
    _drawGuideLine(painter, _playbackAreaCenter, QPointF(f.right(), f.center().y()), Line());
  if (_guides.edgeGuideX)
    _drawGuideLine(painter, _guides.edgeGuideX == 1 ? f.topLeft() : f.topRight(),
                   _guides.edgeGuideX == 1 ? f.bottomLeft() : f.bottomRight(), Line());
  if (_guides.edgeGuideY)
    _drawGuideLine(painter, _guides.edgeGuideY == 1 ? f.topLeft() : f.bottomLeft(),
                   _guides.edgeGuideY == 1 ? f.topRight() : f.bottomRight(), Line());
  painter.restore();
}

void TransformWidget::_drawHandles(QPainter &painter, const QRectF &e)
{
  const QRectF source(_dotPixmap.rect());
  const QSizeF s(HandleSize, HandleSize);
  const auto draw = [&](const QPixmap &pixmap, const QPointF &topLeft) {
    painter.drawPixmap(QRectF(topLeft, s), pixmap, source);
  };
  draw(_dotPixmap, e.topLeft());
  draw(_squarePixmap, {e.center().x() - HalfHandle, e.top()});
  draw(_dotPixmap, {e.right() - HandleSize, e.top()});
  draw(_squarePixmap, {e.right() - HandleSize, e.center().y() - HalfHandle});
  draw(_dotPixmap, {e.right() - HandleSize, e.bottom() - HandleSize});
  draw(_squarePixmap, {e.center().x() - HalfHandle, e.bottom() - HandleSize});
  draw(_dotPixmap, {e.left(), e.bottom() - HandleSize});
  draw(_squarePixmap, {e.left(), e.center().y() - HalfHandle});
}

void TransformWidget::_drawGuideLine(QPainter &painter, const QPointF &p1, const QPointF &p2, const Line &line)
{
  QColor color = _guideColor;
  color.setAlpha(255);
  QPen pen(color, 0.5);
  const qreal dash = devicePixelRatioF();
  pen.setDashPattern({dash, dash});
  painter.setPen(pen);
  const double w = width(), h = height();
  const double a = line.a, b = line.b, c = line.c;
  if (p1.x() == p2.x())
    painter.drawLine(QPointF(p1.x(), 0), QPointF(p1.x(), h));
  else if (p1.y() == p2.y())
    painter.drawLine(QPointF(0, p1.y()), QPointF(w, p1.y()));
  else if (std::fabs(p2.x() - p1.x()) > std::fabs(p2.y() - p1.y()))
    painter.drawLine(QPointF(0, -c / b), QPointF(w, (-c - a * w) / b));
  else
    painter.drawLine(QPointF(-c / a, 0), QPointF((-c - b * h) / a, h));
}
