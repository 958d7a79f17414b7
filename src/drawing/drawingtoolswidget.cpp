#include "drawingtoolswidget.h"

#include "drawingcommand.h"
#include "drawingshapetoolswidget.h"
#include "tooltipbutton.h"

#include <QSettings>

namespace {

const char *kGroup = "DrawingToolsView";
const char *kSelectedKey = "SelectedCmdId";

QString _drawingIcon(const QString &name)
{
  return ":/images/drawing/" + name;
}

} // namespace

DrawingToolsWidget::DrawingToolsWidget(bool allShapes, QWidget *parent) : DrawingCommonToolsWidget(parent)
{
  QSettings settings;
  settings.beginGroup(kGroup);
  _selectedCmdId = settings.value(kSelectedKey, int(DrawingCommandFreePencil)).toInt();
  settings.endGroup();
  // Only a drawing tool can be selected; anything else in the store means the free pencil.
  if (_selectedCmdId != DrawingCommandText && _selectedCmdId != DrawingCommandPicture &&
      !DrawingShapeToolsWidget::shapeCommands().contains(_selectedCmdId))
    _selectedCmdId = DrawingCommandFreePencil;

  auto add = [this](const QString &name, int cmdId) {
    return addButton(_drawingIcon(name), _drawingIcon(name + "_"), cmdId);
  };
  _switchButton = add("pencil_rubber_switch", DrawingCommandSwitch);
  _freePencilButton = add("freehand", DrawingCommandFreePencil);
  if (allShapes) {
    for (int cmdId : DrawingShapeToolsWidget::shapeCommands())
      addCommandButton(cmdId);
    setGridLayout(true);
  } else {
    _shapeButton = add("rect1", DrawingCommandRectOutline);
    _shapeButton->setCornerMark(1);
  }
  _textButton = add("text", DrawingCommandText);
  _pictureButton = add("picture", DrawingCommandPicture);
  _undoButton = add("undo", DrawingCommandUndo);
  _clearButton = add("clear", DrawingCommandClear);
  _saveButton = add("save", DrawingCommandSave);

  if (_selectedCmdId == DrawingCommandFreePencil)
    _freePencilButton->setSelected(true);
  else if (_selectedCmdId == DrawingCommandText)
    _textButton->setSelected(true);
  else if (_selectedCmdId == DrawingCommandPicture)
    _pictureButton->setSelected(true);
  else if (allShapes) {
    if (TooltipButton *button = findButton(_selectedCmdId))
      button->setSelected(true);
  } else {
    _showOnShapeButton(_selectedCmdId);
    _shapeButton->setSelected(true);
    _shapeSelected = true;
  }
}

DrawingToolsWidget::~DrawingToolsWidget()
{
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue(kSelectedKey, _selectedCmdId);
  settings.endGroup();
}

void DrawingToolsWidget::selectShapeCommand(int cmdId)
{
  if (!_shapeButton)
    return;
  _showOnShapeButton(cmdId);
  onCommand(cmdId, _shapeButton);
}

void DrawingToolsWidget::_showOnShapeButton(int cmdId)
{
  _shapeButton->setNormalIcon(drawingCommandIconPath(cmdId, false));
  _shapeButton->setSelectedIcon(drawingCommandIconPath(cmdId, true));
  _shapeButton->setToolTip(drawingCommandToolTip(cmdId));
  _shapeButton->setCommandId(cmdId);
}

void DrawingToolsWidget::onCommand(int cmdId, TooltipButton *button)
{
  const bool wasShapeSelected = _shapeSelected;
  // One-off actions run on the current tool and leave it selected.
  const bool keepsSelection = cmdId == DrawingCommandClear || cmdId == DrawingCommandUndo ||
                              cmdId == DrawingCommandSave || cmdId == DrawingCommandSwitch;
  if (!keepsSelection) {
    deselectAll();
    button->setSelected(true);
    _shapeSelected = button == _shapeButton;
    _selectedCmdId = cmdId;
  }
  emit drawingToolsWidgetOnCommand(this, cmdId, 0.0f);
  if (wasShapeSelected) {
    if (button == _shapeButton)
      emit drawingToolsWidgetOnPopup(this, cmdId);
    else
      emit drawingToolsWidgetDismissPopup(this);
  }
}

void DrawingToolsWidget::resizeEvent(QResizeEvent *event)
{
  DrawingCommonToolsWidget::resizeEvent(event);
  if (_shapeButton)
    _shapeButton->setCornerMark(width() > height() ? 1 : 4);
}
