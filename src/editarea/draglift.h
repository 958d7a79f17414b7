#pragma once

#include <QPointer>
#include <QRect>

class QWidget;

// Where a dragged block or row came from while it is lifted into the editor's central
// widget, so it can follow the cursor there and go home at the end.
struct DragLift
{
  QRect homeGeometry;
  QPointer<QWidget> homeParent;
  QRect detachedGeometry; // in the central widget
  bool detached = false;

  // Reparents widget into central at the same place on screen and grabs the mouse.
  void lift(QWidget *widget, QWidget *central);
  // The top-left that keeps the widget under a cursor that moved by delta since the press.
  QPoint followPosition(const QPoint &delta) const { return detachedGeometry.topLeft() + delta; }
  // Back into the home parent at targetGeometry (the home geometry when invalid); a widget
  // whose home is gone stays where it is.
  void putBack(QWidget *widget, const QRect &targetGeometry = QRect());
};
