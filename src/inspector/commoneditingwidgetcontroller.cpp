#include "commoneditingwidgetcontroller.h"

#include <QWidget>

CommonEditingWidgetController::CommonEditingWidgetController(QWidget *parent) : QObject(parent)
{
  _separator = new QWidget(parent);
  _separator->setFixedHeight(1);
  _separator->setAttribute(Qt::WA_StyledBackground, true);
  _separator->setStyleSheet("QWidget { background-color: rgba(101,101,101,128); margin: 0 10px 0 10px; }");
}

CommonEditingWidgetController::~CommonEditingWidgetController() = default;

void CommonEditingWidgetController::setVisible(bool visible)
{
  _separator->setVisible(visible);
}

bool CommonEditingWidgetController::isVisible() const
{
  return !_separator->isHidden();
}

int CommonEditingWidgetController::height() const
{
  return editingWidget()->height() + 1;
}

void CommonEditingWidgetController::setVisibleWithWidget(bool visible)
{
  CommonEditingWidgetController::setVisible(visible);
  editingWidget()->setVisible(visible);
}
