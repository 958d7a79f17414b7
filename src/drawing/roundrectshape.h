#pragma once

#include "frameshape.h"

// The drag rectangle with corners rounded 20 units, outlined or filled.
class RoundRectShape : public FrameShape
{
  Q_OBJECT
public:
  using FrameShape::FrameShape;

protected:
  QRectF _paintFigure() override;
};
