#include "hardnesssliderstyle.h"

#include <QPainter>
#include <QPainterPath>

HardnessSliderStyle::HardnessSliderStyle(QStyle *style)
  : DrawingSliderStyle(style), _checkerBrush(QPixmap(":/images/drawing/hollow_back"))
{
  _checkerBrush.setTransform(QTransform::fromScale(0.5, 0.5));
}

void HardnessSliderStyle::drawBar(QPainter *painter, const QRectF &bar, qreal handleX) const
{
  QPainterPath shape;
  shape.addRoundedRect(bar, bar.height() / 2, bar.height() / 2);
  painter->fillPath(shape, _checkerBrush);
  fillToHandle(painter, shape, bar, handleX);
}
