#pragma once

#include "drawingcommontoolswidget.h"

// The shape picker the tool bar's shape button opens: every shape tool in one strip.
class DrawingShapeToolsWidget : public DrawingCommonToolsWidget
{
  Q_OBJECT
public:
  explicit DrawingShapeToolsWidget(QWidget *parent = nullptr);

  // The shape commands in the order the strips show them.
  static const QList<int> &shapeCommands();

signals:
  void drawingShapeToolsWidgetOnCommand(DrawingShapeToolsWidget *widget, int cmdId, float para);

protected:
  void onCommand(int cmdId, TooltipButton *button) override;
};
