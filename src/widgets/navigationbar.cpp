#include "navigationbar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVariant>

NavigationBar::NavigationBar(QWidget *parent) : QWidget(parent), _layout(new QHBoxLayout(this)) {}

QPushButton *NavigationBar::addButton(int cmdId, const QString &text)
{
  auto *button = new QPushButton(text, this);
  button->setFlat(true);
  button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  QFont font = button->font();
  font.setPointSize(font.pointSize() + 1);
  button->setFont(font);
  button->setProperty("tag", cmdId);
  _layout->addWidget(button);
  _buttons.append(button);
  connect(button, &QPushButton::clicked, this, &NavigationBar::onButtonClicked);
  return button;
}

void NavigationBar::removeAllButtons()
{
  qDeleteAll(_buttons);
  _buttons.clear();
}

void NavigationBar::onButtonClicked()
{
  if (QObject *button = sender())
    emit buttonClicked(button->property("tag").toInt());
}
