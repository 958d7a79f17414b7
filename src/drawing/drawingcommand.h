#pragma once

#include <QString>

// What a drawing tool button asks the canvas to do.
enum DrawingCommand {
  DrawingCommandFreePencil = 10301,
  DrawingCommandSpray = 10302,
  DrawingCommandTexture = 10303,
  DrawingCommandEraser = 10304,
  DrawingCommandClear = 10305,
  DrawingCommandUndo = 10306,
  DrawingCommandRedo = 10307,
  DrawingCommandLineWidth = 10308,
  DrawingCommandLine = 10309,
  DrawingCommandRectOutline = 10310,
  DrawingCommandRhombusOutline = 10320,
  DrawingCommandSave = 10328,
  DrawingCommandText = 10329,
  DrawingCommandPicture = 10330,
  DrawingCommandHardness = 10331,
  DrawingCommandLinearGradient = 10332,
  DrawingCommandRadialGradient = 10333,
  DrawingCommandSwitch = 10334,
  DrawingCommandDashedLine = 10335,
  DrawingCommandDottedLine = 10336,
  DrawingCommandArrowLine = 10337,
};

// The button's translated tool tip; empty for an unknown command.
QString drawingCommandToolTip(int cmdId);
// The name of the button's pictures under ":/images/drawing/"; empty for an unknown command.
QString drawingCommandIconName(int cmdId);
// ":/images/drawing/" + the name, with "_" appended for the selected picture.
QString drawingCommandIconPath(int cmdId, bool selected);
