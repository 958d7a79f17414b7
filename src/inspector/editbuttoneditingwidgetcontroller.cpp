#include "editbuttoneditingwidgetcontroller.h"

#include "editbuttoneditingwidget.h"
#include "segmenttypes.h"

EditButtonEditingWidgetController::EditButtonEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new EditButtonEditingWidget(parent);
  _form->setFixedHeight(100);
  connect(_form, &EditButtonEditingWidget::editButtonClicked, this,
          &EditButtonEditingWidgetController::onEditButtonClicked);
}

bool EditButtonEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT", "DRAWING", "IMAGE"});
}

void EditButtonEditingWidgetController::updateFromSegment(const Segment *segment)
{
  const QString type = segment->type();
  if (type == QLatin1String("TEXT")) {
    _form->setTitle(tr("Text"));
    _form->setButtonText(tr("Edit Text"));
    _editType = 1;
  } else if (type == QLatin1String("DRAWING")) {
    _form->setTitle(tr("Self-Draw"));
    _form->setButtonText(tr("Edit Drawing"));
    _editType = 0;
  } else if (type == QLatin1String("IMAGE")) {
    _form->setTitle(tr("Photo"));
    _form->setButtonText(tr("Change Photo"));
    _editType = 2;
  }
}

void EditButtonEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _form->setButtonEnabled(inside);
}

QWidget *EditButtonEditingWidgetController::editingWidget() const
{
  return _form;
}

void EditButtonEditingWidgetController::onEditButtonClicked(QWidget *button)
{
  emit editButtonClicked(_editType, button);
}
