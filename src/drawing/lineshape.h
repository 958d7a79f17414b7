#pragma once

#include "frameshape.h"

// A straight line, plain, dashed, dotted or ending in an arrow head.
class LineShape : public FrameShape
{
  Q_OBJECT
public:
  using FrameShape::FrameShape;

  void setStyle(bool dashed, bool dotted, bool arrow);
  bool dashed() const { return _dashed; }
  bool dotted() const { return _dotted; }
  bool arrow() const { return _arrow; }

protected:
  QRectF _paintFigure() override;

private:
  bool _dashed = false;
  bool _dotted = false;
  bool _arrow = false;
};
