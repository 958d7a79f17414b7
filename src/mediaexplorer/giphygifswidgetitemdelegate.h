#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Paints GIF tiles from their current animation frame, sharp on high-density screens.
class GiphyGifsWidgetItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  GiphyGifsWidgetItemDelegate(float devicePixelRatio, QObject *parent);

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
  // Shown by tiles without a frame yet; loaded once.
  QPixmap placeholderPixmap() const;

private:
  mutable QPixmap _placeholder;
  float _devicePixelRatio;
};
