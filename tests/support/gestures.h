#pragma once
// Pointer gestures for widget tests. Everything goes through the QWindow paths of QTest,
// which carry the held buttons: QTest's QWidget overload of mouseMove sends no buttons,
// so a drag that reads QGuiApplication::mouseButtons() or event->buttons() would never
// see one. Positions are in the coordinates of the widget given.

#include <QPoint>
#include <Qt>

class QWidget;

namespace Gestures {

void press(QWidget *widget, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// One move with whatever buttons are held.
void move(QWidget *widget, const QPoint &pos);
// Moves in `steps` equal steps from `from` to `to` (the last one lands on `to`).
void moveInSteps(QWidget *widget, const QPoint &from, const QPoint &to, int steps = 5);
void release(QWidget *widget, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Keeps the button down while events and timers run.
void hold(int milliseconds);

void click(QWidget *widget, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton);
void doubleClick(QWidget *widget, const QPoint &pos);
// Press, optional hold, moves in steps, release.
void drag(QWidget *widget, const QPoint &from, const QPoint &to, int steps = 5, int holdMs = 0);
// A wheel turn over the widget at pos; positive = away from the user. Returns whether a
// widget accepted it.
bool wheel(QWidget *widget, const QPoint &pos, int angleDeltaY);

// Kinetic scrollers hold a press back and re-send it later to whatever window lies under
// its screen position; parallel test processes share one display, so their windows could
// take it. Every scroller under `root` passes presses on at once instead.
void takePressesAtOnce(QWidget *root);

} // namespace Gestures
