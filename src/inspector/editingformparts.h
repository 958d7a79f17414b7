#pragma once

class QHBoxLayout;
class QLabel;
class QPushButton;
class QString;
class QVBoxLayout;
class QWidget;

// The shape the inspector's small forms share: a titled column with one control below.
namespace EditingFormParts {

// Names the form, gives it its designer size and title, and builds `verticalLayout` with the
// centred `titleLabel` in it.
QLabel *titledColumn(QWidget *form, const char *objectName, const QString &title, QVBoxLayout **layout);
// The accent title: one point above the inherited size.
void styleTitle(QLabel *label);
// The white rounded push button of the Done and Edit forms, 30 pixels high.
QPushButton *whiteButton(const char *objectName, const QString &text, QWidget *parent);

// A choice shown as a dark rounded box, 35 pixels high: a flat name button and a down
// triangle at its right (the font and easing-type choosers).
struct DropDown
{
  QWidget *container = nullptr;
  QHBoxLayout *layout = nullptr;
  QPushButton *nameButton = nullptr;
  QPushButton *triangleButton = nullptr;
};
DropDown dropDown(QWidget *parent, const char *containerName, const char *layoutName, const char *nameButtonName,
                  const char *triangleButtonName);

} // namespace EditingFormParts
