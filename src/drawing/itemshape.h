#pragma once

#include "shape.h"

// A pending item the canvas places, moves and sizes itself (the text or the picture): a
// press asks for it when there is none, and it shows a frame until it is committed.
class ItemShape : public Shape
{
  Q_OBJECT
public:
  using Shape::Shape;

  // Draws the pending item once without its frame and forgets its place.
  void commit();
  // The next draw repaints the whole frame.
  void resetDirtyArea();

public slots:
  void drawBegan(QPoint position) override;
  void drawMoved(QPoint position) override;
  void drawEnded(QPoint position) override;

protected:
  virtual bool _pending() const = 0;
  virtual void _forgetLocation() = 0;
  // Asks the canvas, through the item's own signals.
  virtual QRect _frameRect() = 0;
  virtual void _requestItem() = 0;
  // The thin grey frame of a pending item, visible over any colour.
  void _drawFrame(const QRect &rect);

  QRect _dirty;
  bool _committed = false;
};
