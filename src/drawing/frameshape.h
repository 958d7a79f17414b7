#pragma once

#include "shape.h"

class QPainterPath;

// The shapes drawn from a drag rectangle or a centre and a point (lines, rectangles,
// ellipses, polygons, stars, hearts): each move redraws the figure 10 ms later over the
// restored backup, and the dirty rectangle grows with every larger drag.
class FrameShape : public Shape
{
  Q_OBJECT
public:
  using Shape::Shape;

  bool limitsRestore(QRect &area) const override;

public slots:
  void drawBegan(QPoint position) override;
  void drawMoved(QPoint position) override;
  void drawEnded(QPoint position) override;
  void draw() override;

protected:
  // Paints the figure from _begin to _end and returns the box of its points.
  virtual QRectF _paintFigure() = 0;
  // The drag rectangle with left <= right and top <= bottom.
  QRectF _normalizedRect() const;
  // Outline with the pen or filled with the brush, as the fill mode says.
  void _outlineOrFill(const QPainterPath &path);
  // Angle of _end seen from _begin, in degrees, measured as the polygons want it.
  qreal _startAngle() const;
  qreal _radius() const;

  QPoint _begin;
  QPoint _end;
  QRect _dirty;

private:
  // The widget area the last draw painted into.
  QRect _painted;
};
