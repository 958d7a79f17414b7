#include "selfdraweditingwidgetcontroller.h"

#include "drawingcolorwidget.h"
#include "selfdraweditingwidget.h"

SelfDrawEditingWidgetController::SelfDrawEditingWidgetController(const QSize &canvasSize, QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new SelfDrawEditingWidget(canvasSize, parent);
  _form->setFixedHeight(500);
  connect(_form, &SelfDrawEditingWidget::widgetSizeChanged, this,
          &SelfDrawEditingWidgetController::onSelfDrawWidgetSizeChanged);
}

DrawingColorWidget *SelfDrawEditingWidgetController::colorWidget() const
{
  return _form->colorWidget();
}

DrawingTuningWidget *SelfDrawEditingWidgetController::tuningWidget() const
{
  return _form->tuningWidget();
}

DrawingToolsWidget *SelfDrawEditingWidgetController::toolsWidget() const
{
  return _form->toolsWidget();
}

void SelfDrawEditingWidgetController::setCanvasSize(const QSize &canvasSize)
{
  if (canvasSize.isValid())
    _form->colorWidget()->setCanvasSize(canvasSize);
}

QWidget *SelfDrawEditingWidgetController::editingWidget() const
{
  return _form;
}

void SelfDrawEditingWidgetController::setVisible(bool visible)
{
  setVisibleWithWidget(visible);
  if (!visible)
    _form->dismissDrawingPopups();
}

void SelfDrawEditingWidgetController::onSelfDrawWidgetSizeChanged()
{
  emit editingWidgetControllerSizeChanged(this);
}
