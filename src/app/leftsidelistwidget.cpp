#include "leftsidelistwidget.h"

#include "leftsidelistwidgetitemdelegate.h"

LeftsideListWidget::LeftsideListWidget(QWidget *parent) : QListWidget(parent)
{
  setViewMode(QListView::ListMode);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setResizeMode(QListView::Adjust);
  setItemDelegate(new LeftsideListWidgetItemDelegate(this));
}

void LeftsideListWidget::setDisplayStyle(int style)
{
  static_cast<LeftsideListWidgetItemDelegate *>(itemDelegate())->setDisplayStyle(style);
  viewport()->update();
}

void LeftsideListWidget::setIconSize(int side)
{
  QListWidget::setIconSize(QSize(side, side));
}
