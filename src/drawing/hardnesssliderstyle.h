#pragma once

#include "drawingsliderstyle.h"

#include <QBrush>

// The hardness slider: a checkerboard bar, filled up to the handle.
class HardnessSliderStyle : public DrawingSliderStyle
{
  Q_OBJECT
public:
  explicit HardnessSliderStyle(QStyle *style = nullptr);

protected:
  void drawBar(QPainter *painter, const QRectF &bar, qreal handleX) const override;

private:
  QBrush _checkerBrush;
};
