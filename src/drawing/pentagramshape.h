#pragma once

#include "frameshape.h"

// A five-pointed star centred at the press with a tip at the pointer.
class PentagramShape : public FrameShape
{
  Q_OBJECT
public:
  using FrameShape::FrameShape;

protected:
  QRectF _paintFigure() override;
};
