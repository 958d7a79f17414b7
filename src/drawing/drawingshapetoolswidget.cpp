#include "drawingshapetoolswidget.h"

DrawingShapeToolsWidget::DrawingShapeToolsWidget(QWidget *parent) : DrawingCommonToolsWidget(parent)
{
  for (int cmdId : shapeCommands())
    addCommandButton(cmdId);
}

const QList<int> &DrawingShapeToolsWidget::shapeCommands()
{
  static const QList<int> commands = {10309, 10335, 10336, 10337, 10310, 10311, 10312, 10313, 10316, 10317, 10314,
                                      10315, 10318, 10319, 10320, 10321, 10324, 10325, 10322, 10323, 10326, 10327};
  return commands;
}

void DrawingShapeToolsWidget::onCommand(int cmdId, TooltipButton *)
{
  emit drawingShapeToolsWidgetOnCommand(this, cmdId, 0.0f);
}
