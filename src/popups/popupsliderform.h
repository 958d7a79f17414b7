#pragma once

#include <QString>

class ColorButton;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;
class QWidget;
class SwitchButton;

// The form of the slider popups and the shadow popup, built by hand: "mainWidget" with a
// title, value rows (slider, "-" button, value label, "+" button, on row 1 optionally the
// colour button), captions above rows 2 and 3 and an optional switch panel. The widgets are
// children of the popup; the form only keeps the pointers.
class PopupSliderForm
{
public:
  struct Row
  {
    QWidget *panel = nullptr;
    QSlider *slider = nullptr;
    QPushButton *downButton = nullptr;
    QLabel *valueLabel = nullptr;
    QPushButton *upButton = nullptr;
    QLabel *caption = nullptr; // rows 2 and 3
  };

  // Names the form widget after its class and builds "mainWidget" with its title.
  void setupUi(QWidget *form, const QString &className, int spacing = -1);
  // Appends row 0, 1 or 2; rows 2 and 3 come with their caption above them.
  void addRow(int row, bool withColorButton, int stretch);
  void addSwitchPanel();

  QWidget *mainWidget = nullptr;
  QVBoxLayout *verticalLayout = nullptr;
  QLabel *titleLabel = nullptr;
  Row rows[3];
  ColorButton *colorButton = nullptr;
  QWidget *switchPanel = nullptr;
  QLabel *switchLabel = nullptr;
  SwitchButton *switchButton = nullptr;
};
