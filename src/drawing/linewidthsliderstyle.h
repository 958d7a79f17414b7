#pragma once

#include "drawingsliderstyle.h"

// The line width slider: a wedge growing to the right, filled up to the handle.
class LineWidthSliderStyle : public DrawingSliderStyle
{
  Q_OBJECT
public:
  using DrawingSliderStyle::DrawingSliderStyle;

protected:
  void drawBar(QPainter *painter, const QRectF &bar, qreal handleX) const override;
};
