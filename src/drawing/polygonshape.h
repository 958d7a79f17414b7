#pragma once

#include "frameshape.h"

// A regular polygon: centred at the press with a vertex at the pointer, or inscribed in
// the ellipse of the drag rectangle starting at its top middle.
class PolygonShape : public FrameShape
{
  Q_OBJECT
public:
  PolygonShape(int cmdId, DrawingToolSettings *settings, int sides, int inscribed, QObject *parent);

protected:
  QRectF _paintFigure() override;

private:
  int _sides;
  int _inscribed;
};
