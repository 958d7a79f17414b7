#include "editingformparts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace EditingFormParts {

QLabel *titledColumn(QWidget *form, const char *objectName, const QString &title, QVBoxLayout **layout)
{
  form->setObjectName(objectName);
  form->resize(400, 100);
  form->setWindowTitle("Form");
  auto *column = new QVBoxLayout(form);
  column->setObjectName("verticalLayout");
  auto *label = new QLabel(title, form);
  label->setObjectName("titleLabel");
  label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  label->setAlignment(Qt::AlignCenter);
  column->addWidget(label);
  styleTitle(label);
  if (layout)
    *layout = column;
  return label;
}

void styleTitle(QLabel *label)
{
  QFont font = label->font();
  font.setPointSize(font.pointSize() + 1);
  label->setFont(font);
  label->setStyleSheet("QLabel { color: rgb(54,200,255); }");
}

QPushButton *whiteButton(const char *objectName, const QString &text, QWidget *parent)
{
  auto *button = new QPushButton(text, parent);
  button->setObjectName(objectName);
  button->setFlat(true);
  button->setMinimumSize(0, 30);
  button->setMaximumSize(16777215, 30);
  QFont font = button->font();
  font.setWeight(QFont::Bold);
  button->setFont(font);
  button->setStyleSheet("QPushButton { color: black; background-color: white; border-radius: 5px; }"
                        "QPushButton:pressed { background-color: rgb(200,200,200); }"
                        "QPushButton:disabled { background-color: rgb(128,128,128); }");
  return button;
}

} // namespace EditingFormParts
