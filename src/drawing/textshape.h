#pragma once

#include "itemshape.h"

// The pending text: drawn centred in the widget and offset by its location, with a grey
// frame until it is committed. Moving and sizing are the canvas's business.
class TextShape : public ItemShape
{
  Q_OBJECT
public:
  using ItemShape::ItemShape;

public slots:
  void draw() override;

signals:
  void textShapeGetFrameRect(TextShape *shape, QRect &rect);
  void textShapeRequestText(TextShape *shape);

protected:
  bool _pending() const override;
  void _forgetLocation() override;
  QRect _frameRect() override;
  void _requestItem() override;
};
