#include "formparts.h"

#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>

namespace FormParts {

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
  auto *label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QPushButton *flatButton(const char *name, const QString &text, QWidget *parent)
{
  auto *button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setFlat(true);
  return button;
}

QWidget *widget(const char *name, QWidget *parent)
{
  auto *widget = new QWidget(parent);
  widget->setObjectName(name);
  return widget;
}

QSpacerItem *expandingH(int width, int height)
{
  return new QSpacerItem(width, height, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QSpacerItem *expandingV(int width, int height)
{
  return new QSpacerItem(width, height, QSizePolicy::Minimum, QSizePolicy::Expanding);
}

QSpacerItem *fixedV(int height)
{
  return new QSpacerItem(20, height, QSizePolicy::Minimum, QSizePolicy::Fixed);
}

} // namespace FormParts
