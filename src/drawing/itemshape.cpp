#include "itemshape.h"

#include <QPainter>

void ItemShape::commit()
{
  if (!_pending())
    return;
  _committed = true;
  draw();
  _dirty = QRect(0, 0, 0, 0);
  _forgetLocation();
  _committed = false;
}

void ItemShape::resetDirtyArea()
{
  if (_pending())
    _dirty = _frameRect();
}

void ItemShape::drawBegan(QPoint position)
{
  if (!_pending() && _frameRect().contains(position))
    _requestItem();
}

void ItemShape::drawMoved(QPoint)
{
}

void ItemShape::drawEnded(QPoint)
{
}

void ItemShape::_drawFrame(const QRect &rect)
{
  QPainter *p = painter();
  p->setOpacity(1.0);
  p->setCompositionMode(QPainter::CompositionMode_Xor);
  p->setPen(QPen(Qt::gray, 0.5));
  p->setBrush(Qt::NoBrush);
  p->drawRect(rect);
}
