#include "gestures.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScroller>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

// The top-level window of the widget, exposed, and the position in its coordinates.
QWindow *windowFor(QWidget *widget, const QPoint &pos, QPoint *windowPos)
{
  QWidget *top = widget->window();
  if (!top->isVisible())
    top->show();
  if (!QTest::qWaitForWindowExposed(top))
    qWarning("Gestures: the window was not exposed");
  *windowPos = widget->mapTo(top, pos);
  return top->windowHandle();
}

} // namespace

namespace Gestures {

void press(QWidget *widget, const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
  QPoint at;
  QWindow *window = windowFor(widget, pos, &at);
  QTest::mousePress(window, button, modifiers, at);
}

void move(QWidget *widget, const QPoint &pos)
{
  QPoint at;
  QWindow *window = windowFor(widget, pos, &at);
  QTest::mouseMove(window, at);
}

void moveInSteps(QWidget *widget, const QPoint &from, const QPoint &to, int steps)
{
  steps = qMax(1, steps);
  for (int i = 1; i <= steps; ++i)
    move(widget, from + (to - from) * i / steps);
}

void release(QWidget *widget, const QPoint &pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
  QPoint at;
  QWindow *window = windowFor(widget, pos, &at);
  QTest::mouseRelease(window, button, modifiers, at);
}

void hold(int milliseconds)
{
  QTest::qWait(milliseconds);
}

void click(QWidget *widget, const QPoint &pos, Qt::MouseButton button)
{
  press(widget, pos, button);
  release(widget, pos, button);
}

void doubleClick(QWidget *widget, const QPoint &pos)
{
  QPoint at;
  QWindow *window = windowFor(widget, pos, &at);
  QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, at);
}

void drag(QWidget *widget, const QPoint &from, const QPoint &to, int steps, int holdMs)
{
  press(widget, from);
  if (holdMs > 0)
    hold(holdMs);
  moveInSteps(widget, from, to, steps);
  release(widget, to);
}

bool wheel(QWidget *widget, const QPoint &pos, int angleDeltaY)
{
  QWidget *target = widget->childAt(pos);
  if (!target)
    target = widget;
  const QPoint local = target->mapFrom(widget, pos);
  QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, angleDeltaY), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  // Spontaneous, as from the window system: only then does QApplication pass an ignored
  // wheel event on to the parents.
  QSpontaneKeyEvent::setSpontaneous(&event);
  qApp->notify(target, &event);
  return event.isAccepted();
}

void takePressesAtOnce(QWidget *root)
{
  QList<QAbstractScrollArea *> areas = root->findChildren<QAbstractScrollArea *>();
  if (auto *self = qobject_cast<QAbstractScrollArea *>(root))
    areas.prepend(self);
  for (QAbstractScrollArea *area : qAsConst(areas)) {
    if (!QScroller::hasScroller(area->viewport()))
      continue;
    QScroller *scroller = QScroller::scroller(area->viewport());
    QScrollerProperties properties = scroller->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0.0);
    scroller->setScrollerProperties(properties);
  }
}

} // namespace Gestures
