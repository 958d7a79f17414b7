#include "popupsliderform.h"

#include "colorbutton.h"
#include "switchbutton.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {
QString numbered(const char *name, int row)
{
  return row == 0 ? QString(name) : QString("%1%2").arg(name).arg(row + 1);
}

QPushButton *stepButton(const QString &name, const char *icon, QWidget *parent)
{
  auto *button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFixedSize(50, 50);
  button->setFlat(true);
  button->setAutoRepeat(false);
  button->setIcon(QIcon(icon));
  return button;
}
} // namespace

void PopupSliderForm::setupUi(QWidget *form, const QString &className, int spacing)
{
  form->setObjectName(className);
  form->setWindowTitle("Form");
  mainWidget = new QWidget(form);
  mainWidget->setObjectName("mainWidget");
  verticalLayout = new QVBoxLayout(mainWidget);
  verticalLayout->setObjectName("verticalLayout");
  if (spacing >= 0)
    verticalLayout->setSpacing(spacing);
  verticalLayout->setContentsMargins(-1, -1, 12, -1);
  titleLabel = new QLabel("Title", mainWidget);
  titleLabel->setObjectName("titleLabel");
  titleLabel->setMinimumHeight(18);
  titleLabel->setAlignment(Qt::AlignCenter);
  verticalLayout->addWidget(titleLabel);
}

void PopupSliderForm::addRow(int row, bool withColorButton, int stretch)
{
  Row &r = rows[row];
  if (row > 0) {
    r.caption = new QLabel(numbered("Title", row), mainWidget);
    r.caption->setObjectName(numbered("titleLabel", row));
    verticalLayout->addWidget(r.caption);
  }
  r.panel = new QWidget(mainWidget);
  r.panel->setObjectName(row == 0 ? QString("panelWidget") : QString("panel%1Widget").arg(row + 1));
  auto *layout = new QHBoxLayout(r.panel);
  layout->setObjectName(row == 0 ? QString("horizontalLayout") : QString("horizontalLayout_%1").arg(row + 1));
  layout->setSpacing(0);
  layout->setContentsMargins(5, 0, 5, 0);
  r.slider = new QSlider(Qt::Horizontal, r.panel);
  r.slider->setObjectName(numbered("slider", row));
  r.downButton = stepButton(numbered("valueDownButton", row), ":/images/value_decrease", r.panel);
  r.valueLabel = new QLabel("0.00", r.panel);
  r.valueLabel->setObjectName(numbered("valueLabel", row));
  r.valueLabel->setMinimumWidth(36);
  r.valueLabel->setAlignment(Qt::AlignCenter);
  r.upButton = stepButton(numbered("valueUpButton", row), ":/images/value_increase", r.panel);
  layout->addWidget(r.slider, 1);
  layout->addWidget(r.downButton);
  layout->addWidget(r.valueLabel);
  layout->addWidget(r.upButton);
  if (withColorButton) {
    colorButton = new ColorButton(r.panel);
    colorButton->setObjectName("colorButton");
    colorButton->setFixedSize(34, 34);
    colorButton->setFlat(true);
    layout->addWidget(colorButton);
  }
  verticalLayout->addWidget(r.panel, stretch);
}

void PopupSliderForm::addSwitchPanel()
{
  switchPanel = new QWidget(mainWidget);
  switchPanel->setObjectName("panel4Widget");
  auto *layout = new QHBoxLayout(switchPanel);
  layout->setObjectName("horizontalLayout_5");
  layout->setSpacing(15);
  layout->setContentsMargins(0, 10, 0, 10);
  switchLabel = new QLabel("Switch", switchPanel);
  switchLabel->setObjectName("switchLabel");
  switchButton = new SwitchButton(switchPanel);
  switchButton->setObjectName("switchButton");
  switchButton->setFixedSize(50, 26);
  layout->addWidget(switchLabel);
  layout->addWidget(switchButton);
  layout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  verticalLayout->addWidget(switchPanel);
}
