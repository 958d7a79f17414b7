#include "donebuttoneditingwidget.h"

#include "editingformparts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DoneButtonEditingWidget::DoneButtonEditingWidget(QWidget *parent) : QWidget(parent)
{
  QVBoxLayout *layout = nullptr;
  _titleLabel = EditingFormParts::titledColumn(this, "DoneButtonEditingWidget", tr("Title"), &layout);
  _doneButton = EditingFormParts::whiteButton("doneButton", tr("Done"), this);
  layout->addWidget(_doneButton);
  connect(_doneButton, &QPushButton::clicked, this, &DoneButtonEditingWidget::onDoneButtonClicked);
}

void DoneButtonEditingWidget::setTitle(const QString &title)
{
  _titleLabel->setText(title);
}

void DoneButtonEditingWidget::onDoneButtonClicked()
{
  emit doneButtonClicked();
}
