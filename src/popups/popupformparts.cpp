#include "popupformparts.h"

#include <QIcon>
#include <QPushButton>
#include <QString>

namespace PopupFormParts {

QPushButton *stepButton(const char *icon, QWidget *parent)
{
  auto *button = new QPushButton(parent);
  button->setFixedSize(50, 50);
  button->setFlat(true);
  button->setIcon(QIcon(icon));
  return button;
}

QString optionsButtonStyle()
{
  return QStringLiteral("QPushButton {border: none; border-radius: 15px;}"
                        "QPushButton:hover {background-color: rgb(44,46,50);}"
                        "QPushButton:pressed {background-color: rgb(25,26,28);}");
}

} // namespace PopupFormParts
