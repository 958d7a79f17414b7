#include "popupeditingwidgetcontroller.h"

#include "commonpopup.h"

#include <QCoreApplication>
#include <QResizeEvent>

PopupEditingWidgetController::PopupEditingWidgetController(QWidget *parent) : CommonEditingWidgetController(parent)
{
}

PopupEditingWidgetController::~PopupEditingWidgetController()
{
  if (_watchedWindow)
    _watchedWindow->removeEventFilter(this);
}

QWidget *PopupEditingWidgetController::editingWidget() const
{
  return _popup;
}

void PopupEditingWidgetController::adoptPopup(CommonPopup *popup, bool hasColorButton)
{
  _popup = popup;
  _hasColorButton = hasColorButton;
  popup->setFixedHeight(popup->popupHeight());
  if (hasColorButton) {
    _watchedWindow = popup->window();
    _watchedWindow->installEventFilter(this);
  }
}

void PopupEditingWidgetController::dismissChildPopup()
{
  if (_hasColorButton)
    _popup->dismissSubPopup();
}

void PopupEditingWidgetController::postRelayout()
{
  QCoreApplication::postEvent(_popup, new QResizeEvent(_popup->size(), _popup->size()));
}

bool PopupEditingWidgetController::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == _watchedWindow && event->type() == QEvent::Resize)
    postRelayout();
  return CommonEditingWidgetController::eventFilter(watched, event);
}
