#include "donebuttoneditingwidgetcontroller.h"

#include "donebuttoneditingwidget.h"

DoneButtonEditingWidgetController::DoneButtonEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new DoneButtonEditingWidget(parent);
  _form->setFixedHeight(100);
  connect(_form, &DoneButtonEditingWidget::doneButtonClicked, this,
          &DoneButtonEditingWidgetController::onDoneButtonClicked);
}

void DoneButtonEditingWidgetController::setTitle(const QString &title)
{
  _form->setTitle(title);
}

QWidget *DoneButtonEditingWidgetController::editingWidget() const
{
  return _form;
}

void DoneButtonEditingWidgetController::onDoneButtonClicked()
{
  emit doneButtonClicked();
}
