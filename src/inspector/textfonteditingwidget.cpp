#include "textfonteditingwidget.h"

#include "editingformparts.h"

#include <QPushButton>
#include <QVBoxLayout>

TextFontEditingWidget::TextFontEditingWidget(QWidget *parent) : QWidget(parent)
{
  setObjectName("TextFontEditingWidget");
  resize(400, 107);
  setWindowTitle("Form");
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  const EditingFormParts::DropDown box = EditingFormParts::dropDown(
    this, "fontNameButtonContainer", "horizontalLayout_6", "fontNameButton", "fontNameTriangleButton");
  layout->addWidget(box.container);
  _fontNameButtonContainer = box.container;
  _fontNameButton = box.nameButton;
  _fontNameTriangleButton = box.triangleButton;
  connect(_fontNameButton, &QPushButton::clicked, this, &TextFontEditingWidget::fontButtonClicked);
  connect(_fontNameTriangleButton, &QPushButton::clicked, this, &TextFontEditingWidget::fontButtonClicked);
}

void TextFontEditingWidget::setCurrentFont(const QFont &font)
{
  _currentFont = font;
  _fontNameButton->setFont(font);
  const QString style = font.styleName();
  _fontNameButton->setText(style.isEmpty() ? font.family() : font.family() + " - " + style);
}

void TextFontEditingWidget::setEditingEnabled(bool enabled)
{
  _fontNameButtonContainer->setEnabled(enabled);
}
