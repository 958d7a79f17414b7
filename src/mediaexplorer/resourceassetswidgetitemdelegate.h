#pragma once

#include <QStyledItemDelegate>

// Paints built-in assets: icon tiles (stickers, mode 0) or rows with title and duration
// (music and sound effects, any other mode).
class ResourceAssetsWidgetItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  explicit ResourceAssetsWidgetItemDelegate(QObject *parent);

  void setMode(int mode) { _mode = mode; }
  int mode() const { return _mode; }

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
  void _paintIconTile(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
  void _paintListRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

  int _mode = 0;
};
