#pragma once

#include <QStyledItemDelegate>

// Rows of the transitions table at a fixed height.
class TransitionItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  explicit TransitionItemDelegate(QObject *parent = nullptr);

  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
  // -1 keeps the height the base class gives.
  void setRowHeight(int height) { _rowHeight = height; }

private:
  int _rowHeight = -1;
};
