#include "popupcolorsscrollwidgetedititemwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

PopupColorsScrollWidgetEditItemWidget::PopupColorsScrollWidgetEditItemWidget(const QString &name, QWidget *parent)
  : QWidget(parent)
{
  setWindowTitle("Form");
  resize(400, 69);
  auto *horizontalLayout = new QHBoxLayout(this);
  horizontalLayout->setContentsMargins(horizontalLayout->contentsMargins().left(), 8,
                                       horizontalLayout->contentsMargins().right(), 8);
  _label = new QLabel(name, this);
  QSizePolicy policy = _label->sizePolicy();
  policy.setHorizontalStretch(1);
  _label->setSizePolicy(policy);
  _label->setStyleSheet("QLabel {color: white;}");
  _deleteButton = new QPushButton(tr("Remove"), this);
  _deleteButton->setFlat(true);
  _deleteButton->setStyleSheet("QPushButton {background-color: red; color: white; border: none;"
                               " border-radius: 5px; padding: 0px 10px;}");
  horizontalLayout->addWidget(_label);
  horizontalLayout->addWidget(_deleteButton);
  connect(_deleteButton, &QPushButton::clicked, this, &PopupColorsScrollWidgetEditItemWidget::onDeleteButtonClicked);
}

void PopupColorsScrollWidgetEditItemWidget::onDeleteButtonClicked()
{
  emit deleteTriggered(this);
}
