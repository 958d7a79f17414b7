#include "draglift.h"

#include <QWidget>

void DragLift::lift(QWidget *widget, QWidget *central)
{
  homeGeometry = widget->geometry();
  homeParent = widget->parentWidget();
  detachedGeometry = QRect(central->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0))), widget->size());
  detached = true;
  widget->setParent(central);
  widget->setGeometry(detachedGeometry);
  widget->show();
  widget->raise();
  widget->grabMouse();
}

void DragLift::putBack(QWidget *widget, const QRect &targetGeometry)
{
  if (homeParent) {
    widget->setParent(homeParent);
    widget->setGeometry(targetGeometry.isValid() ? targetGeometry : homeGeometry);
  }
  widget->show();
}
