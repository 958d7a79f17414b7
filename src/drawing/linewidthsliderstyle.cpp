#include "linewidthsliderstyle.h"

#include <QPainter>
#include <QPainterPath>

void LineWidthSliderStyle::drawBar(QPainter *painter, const QRectF &bar, qreal handleX) const
{
  QPainterPath wedge;
  wedge.moveTo(bar.left(), bar.center().y());
  wedge.lineTo(bar.topRight());
  wedge.lineTo(bar.bottomRight());
  wedge.closeSubpath();
  painter->fillPath(wedge, QColor(192, 192, 192));
  fillToHandle(painter, wedge, bar, handleX);
}
