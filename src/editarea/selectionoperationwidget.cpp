#include "selectionoperationwidget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpacerItem>

SelectionOperationWidget::SelectionOperationWidget(QWidget *parent) : QWidget(parent)
{
  _setupUi();
  setFixedSize(350, 45);
  setStyleSheet(QStringLiteral("QWidget { background-color: rgba(44,46,50,200); border-radius: 10px; }"));
  const QString buttonStyle =
    QStringLiteral("QPushButton { color: white; background-color: none; } QPushButton:pressed { color: gray; }");
  for (QPushButton *button : {_cancelSelectionButton, _insertBlankButton, _deleteButton}) {
    button->setStyleSheet(buttonStyle);
    connect(button, &QPushButton::clicked, this, &SelectionOperationWidget::buttonOnClicked);
  }
  for (QWidget *sep : {_sepWidget, _sepWidget2})
    sep->setStyleSheet(QStringLiteral("background-color: white;"));
}

void SelectionOperationWidget::_setupUi()
{
  setObjectName(QStringLiteral("SelectionOperationWidget"));
  resize(396, 73);
  auto *layout = new QHBoxLayout(this);
  auto spacer = [layout](int width) {
    layout->addItem(new QSpacerItem(width, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
  };
  auto button = [this, layout](const char *name) {
    auto *b = new QPushButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setFlat(true);
    layout->addWidget(b);
    return b;
  };
  auto separator = [this, layout](const char *name) {
    auto *w = new QWidget(this);
    w->setObjectName(QString::fromLatin1(name));
    w->setFixedWidth(1);
    w->setMaximumHeight(30);
    layout->addWidget(w);
    return w;
  };
  spacer(0);
  _cancelSelectionButton = button("cancelSelectionButton");
  spacer(40);
  _sepWidget = separator("sepWidget");
  spacer(40);
  _insertBlankButton = button("insertBlankButton");
  spacer(40);
  _sepWidget2 = separator("sepWidget2");
  spacer(40);
  _deleteButton = button("deleteButton");
  spacer(40);
  _retranslateUi();
}

void SelectionOperationWidget::_retranslateUi()
{
  setWindowTitle(tr("Form"));
  _cancelSelectionButton->setText(tr("Cancel selection"));
  _insertBlankButton->setText(tr("Insert blank"));
  _deleteButton->setText(tr("Delete"));
}

void SelectionOperationWidget::buttonOnClicked()
{
  const QObject *button = sender();
  int cmdId = -1;
  if (button == _cancelSelectionButton)
    cmdId = 0;
  else if (button == _insertBlankButton)
    cmdId = 1;
  else if (button == _deleteButton)
    cmdId = 2;
  if (cmdId >= 0)
    emit selectionOperationWidgetCommandClicked(this, cmdId);
}

void SelectionOperationWidget::updatePosition(QWidget *area)
{
  if (!area)
    return;
  setGeometry((area->width() - width()) / 2, area->height() - 30 - height(), width(), height());
}
