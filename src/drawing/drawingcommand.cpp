#include "drawingcommand.h"

#include <QCoreApplication>

namespace {

struct CommandEntry
{
  int cmdId;
  const char *toolTip;
  const char *iconName;
};

const CommandEntry kCommands[] = {
  {10301, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Free Pencil"), "pencil"},
  {10302, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Spray"), "spray"},
  {10303, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Texture"), "pattern"},
  {10304, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Eraser"), "rubber"},
  {10305, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Clear Painting"), "clear2"},
  {10306, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Undo"), "undo"},
  {10307, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Redo"), "redo"},
  {10308, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Line Width"), "linewidth"},
  {10309, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Straight Line"), "line"},
  {10310, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Rectangle Outline"), "rect1"},
  {10311, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Rectangle"), "rect2"},
  {10312, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Round Rectangle Outline"), "roundrect1"},
  {10313, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Round Rectangle"), "roundrect2"},
  {10314, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Circle Outline"), "circle1"},
  {10315, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Circle"), "circle2"},
  {10316, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Ellipse Outline"), "ellipse1"},
  {10317, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Ellipse"), "ellipse2"},
  {10318, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Triangle Outline"), "triangle1"},
  {10319, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Triangle"), "triangle2"},
  {10320, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Rhombus Outline"), "rhombus1"},
  {10321, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Rhombus"), "rhombus2"},
  {10322, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Pentagram Outline"), "pentagram1"},
  {10323, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Pentagram"), "pentagram2"},
  {10324, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Pentagon Outline"), "pentagon1"},
  {10325, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Pentagon"), "pentagon2"},
  {10326, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Heart Outline"), "heart1"},
  {10327, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Filled Heart"), "heart2"},
  {10328, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Save to Album"), "save"},
  {10329, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Insert Text"), "text"},
  {10330, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Insert Picture"), "picture"},
  {10331, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Stroke Hardness"), "hardness"},
  {10332, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Linear Gradient"), "linear"},
  {10333, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Radial Gradient"), "radial"},
  {10334, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Switch between pencil and eraser"), ""},
  {10335, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Dashed Line"), "dashline"},
  {10336, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Dotted Line"), "dotline"},
  {10337, QT_TRANSLATE_NOOP("DrawingCommonToolsWidget", "Arrow Line"), "arrowline"},
};

const CommandEntry *_entry(int cmdId)
{
  for (const CommandEntry &entry : kCommands)
    if (entry.cmdId == cmdId)
      return &entry;
  return nullptr;
}

} // namespace

QString drawingCommandToolTip(int cmdId)
{
  const CommandEntry *entry = _entry(cmdId);
  return entry ? QCoreApplication::translate("DrawingCommonToolsWidget", entry->toolTip) : QString();
}

QString drawingCommandIconName(int cmdId)
{
  const CommandEntry *entry = _entry(cmdId);
  return entry ? QString::fromLatin1(entry->iconName) : QString();
}

QString drawingCommandIconPath(int cmdId, bool selected)
{
  const QString name = drawingCommandIconName(cmdId);
  const QString path = ":/images/drawing/" + name;
  return selected && !name.isEmpty() ? path + "_" : path;
}
