#pragma once

#include "frameshape.h"

// The drag rectangle, outlined with mitred corners or filled.
class RectShape : public FrameShape
{
  Q_OBJECT
public:
  using FrameShape::FrameShape;

protected:
  QRectF _paintFigure() override;
};
