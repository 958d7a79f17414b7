#pragma once

#include "frameshape.h"

// The ellipse in the drag rectangle, or the circle of its shorter side at its top-left corner.
class EllipseShape : public FrameShape
{
  Q_OBJECT
public:
  EllipseShape(int cmdId, DrawingToolSettings *settings, bool circle, QObject *parent);

protected:
  QRectF _paintFigure() override;

private:
  bool _circle;
};
