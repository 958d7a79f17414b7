#pragma once

#include "shape.h"

#include <QPainterPath>
#include <QPen>
#include <QVector>

// The free pencil: a path of quadratic pieces through the midpoints of the last three
// positions, drawn in one call so a translucent stroke keeps one alpha where it crosses
// itself.
class PencilShape : public Shape
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

private:
  struct Piece
  {
    QPointF from, control, to;
    // The box of its stroke.
    QRectF box;
  };
  void _advance(const QPoint &position);
  QRect _box(qreal margin) const;
  QRectF _strokeBox(const QPointF &from, const QPointF &control, const QPointF &to) const;

  QPoint _p0, _p1, _p2;
  QPainterPath _path;
  // The same path piece by piece, so a redraw can paint only the pieces near the newest one.
  QVector<Piece> _pieces;
  // Where the newest piece changes the canvas; null when the whole stroke is redrawn.
  QRect _area;
  // The pen the pieces were drawn with.
  QPen _pen;
};
