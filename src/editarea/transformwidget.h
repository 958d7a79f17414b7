#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

class QContextMenuEvent;
class QMouseEvent;
class QNativeGestureEvent;
class QVariantAnimation;
class QWheelEvent;
class Segment;

// The frame of a visual segment's layer over the preview, with eight handles and its anchor
// point. The owner forwards the window's input; presses on the body move the layer (snapping
// to the movie frame), corners rotate about the anchor (snapping to 45 degrees), edges
// stretch one side, the anchor moves within the layer, wheel and pinch scale. A finished
// change is reported; the owner reads the geometry back.
class TransformWidget : public QWidget
{
  Q_OBJECT
public:
  enum Region { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left, Anchor, Body, None };

  // Guides drawn while a gesture snaps.
  struct Guides
  {
    bool anchorOnVerticalLine = false;
    bool anchorOnHorizontalLine = false;
    bool rotationSnapped = false;
    bool centerGuideX = false;
    bool centerGuideY = false;
    int edgeGuideX = 0; // 1 left, 2 right edge of the movie frame
    int edgeGuideY = 0; // 1 top, 2 bottom
    bool any() const
    {
      return anchorOnVerticalLine || anchorOnHorizontalLine || rotationSnapped || centerGuideX || centerGuideY ||
             edgeGuideX || edgeGuideY;
    }
  };

  TransformWidget(const QString &dotImage, const QString &squareImage, const QString &centralPointImage,
                  const QColor &guideColor, float snapTolerance, QWidget *parent);
  ~TransformWidget() override;

  // Set and read only by the owner.
  Segment *segment() const { return _segment; }
  void setSegment(Segment *segment) { _segment = segment; }

  // position is anchor-based, rotation in radians. Animated (and animations on), the frame
  // slides to the new geometry in 200 ms; the values take effect at once.
  void setContentLayerGeometry(const QPointF &position, const QSizeF &size, float rotation, const QPointF &anchor,
                               const QSizeF &baseSize, bool animated = false);
  void getContentLayerGeometry(QPointF *position, QSizeF *size, float *rotation, QPointF *anchor) const;
  // The unrotated layer rectangle, truncated.
  QRect contentLayerFrame() const;
  void setPlaybackAreaFrame(const QRectF &frame);

  bool handleMousePressEvent(QMouseEvent *event);
  bool handleMouseMoveEvent(QMouseEvent *event);
  bool handleMouseReleaseEvent();
  bool handleMouseDoubleClickEvent(QMouseEvent *event);
  bool handleContextMenuEvent(QContextMenuEvent *event);
  bool handleWheelEvent(QWheelEvent *event);
  bool handleGestureEvent(QNativeGestureEvent *event);
  // The names the editor uses.
  bool handleMousePress(QMouseEvent *event) { return handleMousePressEvent(event); }
  bool handleMouseMove(QMouseEvent *event) { return handleMouseMoveEvent(event); }
  bool handleMouseRelease() { return handleMouseReleaseEvent(); }
  bool handleDoubleClick(QMouseEvent *event) { return handleMouseDoubleClickEvent(event); }
  bool handleWheel(QWheelEvent *event) { return handleWheelEvent(event); }
  bool handleNativeGesture(QNativeGestureEvent *event) { return handleGestureEvent(event); }

  int hitRegion() const { return _hitRegion; }
  bool isAnchorVisible() const { return _anchorVisible; }
  QPointF anchorPoint() const { return _anchorPoint; }
  QPointF center() const { return _center; }
  float rotationDegrees() const { return _rotationDegrees; }
  const Guides &guides() const { return _guides; }
  float snapTolerance() const { return _snapTolerance; }

signals:
  void transformWidgetContentLayerGeometryDidChange(TransformWidget *transformWidget);
  void transformWidgetRequestContextMenu(TransformWidget *transformWidget, QPoint pos);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  struct Line
  {
    float a = 0, b = 0, c = 0;
  };
  QTransform _transform() const;
  QRectF _layerRect() const;
  void _updateRotatedAnchorOffset();
  void _updateAnchorPoint();
  void _updateCenterLines();
  float _snapRotation(float angle, bool *snapped) const;
  bool _snapToLine(QPointF &p, const QPointF &q, const Line &line, bool snap) const;
  int _hitTest(const QPointF &p) const;
  bool _containsInLayer(const QPoint &globalPos) const;
  void _rotate(const QPointF &p);
  void _stretch(const QPointF &p);
  void _moveAnchor(const QPointF &p);
  void _moveLayer(const QPointF &p);
  int _edgeGuide(float lo, float hi, float anchor, float lowEdge, float highEdge, float center, bool centered,
                 bool rectRules, float *c) const;
  void _showHoldGuides();
  void _scaleBy(float factor);
  void _drawHandles(QPainter &painter, const QRectF &extended);
  void _drawGuideLine(QPainter &painter, const QPointF &p1, const QPointF &p2, const Line &line);

  Segment *_segment = nullptr;
  QColor _guideColor;
  float _snapTolerance;
  QPixmap _dotPixmap;
  QPixmap _squarePixmap;
  QPixmap _centralPointPixmap;
  QSize _minimumSize{30, 30};
  QPointF _center;
  QSizeF _size;
  float _rotation = 0;
  float _rotationDegrees = 0;
  QSizeF _baseSize;
  QPointF _anchorPoint;
  QPointF _anchor{0.5, 0.5};
  bool _anchorVisible = true;
  float _baseAnchorOffset[2] = {0, 0};
  float _rotatedAnchorOffset[2] = {0, 0};
  int _hitRegion = None;
  QPointF _pressCenter;
  QSizeF _pressSize;
  float _pressRotation = 0;
  QPointF _pressAnchorPoint;
  QPoint _pressPoint;
  float _pressRotatedAnchorOffset[2] = {0, 0};
  bool _moved = false;
  quint64 _pressGeneration = 0;
  QPointF _bottomMidPoint;
  QPointF _rightMidPoint;
  Line _centerLines[2];
  Guides _guides;
  QRectF _playbackAreaFrame;
  QPointF _playbackAreaCenter;
  quint64 _changeGeneration = 0;
  // The frame as drawn while it slides to a new geometry.
  QPointer<QVariantAnimation> _slide;
  QPointF _slideCenter;
  QSizeF _slideSize;
  float _slideDegrees = 0;
};
