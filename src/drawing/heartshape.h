#pragma once

#include "frameshape.h"

// A heart of two cubic curves from its tip at the press to the notch at the pointer.
class HeartShape : public FrameShape
{
  Q_OBJECT
public:
  using FrameShape::FrameShape;

protected:
  QRectF _paintFigure() override;
};
