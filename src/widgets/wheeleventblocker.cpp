#include "wheeleventblocker.h"

#include <QEvent>

bool WheelEventBlocker::eventFilter(QObject *, QEvent *event)
{
  return event->type() == QEvent::Wheel;
}
