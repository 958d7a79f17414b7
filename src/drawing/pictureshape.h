#pragma once

#include "itemshape.h"

#include <QPixmap>

// The pending picture: fitted into the widget, scaled by the picture size and offset by
// its location, drawn at the hardness as opacity, with a grey frame until it is committed.
class PictureShape : public ItemShape
{
  Q_OBJECT
public:
  using ItemShape::ItemShape;

public slots:
  void draw() override;

signals:
  void pictureShapeGetFrameRect(PictureShape *shape, QRect &rect);
  void pictureShapeRequestPicture(PictureShape *shape);

protected:
  bool _pending() const override;
  void _forgetLocation() override;
  QRect _frameRect() override;
  void _requestItem() override;

private:
  // The picture as drawn into canvas pixels of that size: averaged down first when it
  // shrinks a lot, kept while moves and redraws keep the size.
  QPixmap _source(const QSize &canvasSize);

  QPixmap _shrunk;
  qint64 _shrunkFrom = 0;
};
