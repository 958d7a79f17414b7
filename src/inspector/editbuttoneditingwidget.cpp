#include "editbuttoneditingwidget.h"

#include "editingformparts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

EditButtonEditingWidget::EditButtonEditingWidget(QWidget *parent) : QWidget(parent)
{
  QVBoxLayout *layout = nullptr;
  _titleLabel = EditingFormParts::titledColumn(this, "EditButtonEditingWidget", tr("Title"), &layout);
  _editButton = EditingFormParts::whiteButton("editButton", tr("Edit"), this);
  layout->addWidget(_editButton);
  connect(_editButton, &QPushButton::clicked, this, &EditButtonEditingWidget::onEditButtonClicked);
}

void EditButtonEditingWidget::setTitle(const QString &title)
{
  _titleLabel->setText(title);
}

void EditButtonEditingWidget::setButtonText(const QString &text)
{
  _editButton->setText(text);
}

void EditButtonEditingWidget::setButtonEnabled(bool enabled)
{
  _editButton->setEnabled(enabled);
}

void EditButtonEditingWidget::onEditButtonClicked()
{
  emit editButtonClicked(_editButton);
}
