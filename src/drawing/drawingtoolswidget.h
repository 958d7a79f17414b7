#pragma once

#include "drawingcommontoolswidget.h"

// The drawing tool bar: pencil/eraser switch, free pencil, shapes, text, picture, undo,
// clear and save. With `allShapes` every shape has its own button in a grid; otherwise
// one shape button stands for the last shape chosen and opens the shape picker. The
// selected tool survives sessions.
class DrawingToolsWidget : public DrawingCommonToolsWidget
{
  Q_OBJECT
public:
  explicit DrawingToolsWidget(bool allShapes, QWidget *parent = nullptr);
  ~DrawingToolsWidget() override;

  int selectedCmdId() const { return _selectedCmdId; }
  // The picker's choice becomes the shape button's tool.
  void selectShapeCommand(int cmdId);

  TooltipButton *shapeButton() const { return _shapeButton; }

signals:
  void drawingToolsWidgetOnCommand(DrawingToolsWidget *widget, int cmdId, float para);
  void drawingToolsWidgetOnPopup(DrawingToolsWidget *widget, int cmdId);
  void drawingToolsWidgetDismissPopup(DrawingToolsWidget *widget);

protected:
  void onCommand(int cmdId, TooltipButton *button) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _showOnShapeButton(int cmdId);

  int _selectedCmdId = 10301;
  TooltipButton *_switchButton = nullptr;
  TooltipButton *_freePencilButton = nullptr;
  TooltipButton *_shapeButton = nullptr;
  TooltipButton *_textButton = nullptr;
  TooltipButton *_pictureButton = nullptr;
  TooltipButton *_undoButton = nullptr;
  TooltipButton *_clearButton = nullptr;
  TooltipButton *_saveButton = nullptr;
  bool _shapeSelected = false;
};
