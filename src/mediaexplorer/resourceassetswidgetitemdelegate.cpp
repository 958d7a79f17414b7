#include "resourceassetswidgetitemdelegate.h"

#include "tilepainting.h"

#include <QApplication>
#include <QPainter>

ResourceAssetsWidgetItemDelegate::ResourceAssetsWidgetItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void ResourceAssetsWidgetItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
  painter->save();
  if (option.state & QStyle::State_Selected)
    TilePainting::paintSelectedBackground(painter, option.rect);
  if (_mode == 0)
    _paintIconTile(painter, option, index);
  else
    _paintListRow(painter, option, index);
  painter->restore();
}

void ResourceAssetsWidgetItemDelegate::_paintIconTile(QPainter *painter, const QStyleOptionViewItem &option,
                                                      const QModelIndex &index) const
{
  TilePainting::paintFittedIcon(painter, index.data(Qt::DecorationRole), option.rect.adjusted(10, 10, -10, -10));
}

void ResourceAssetsWidgetItemDelegate::_paintListRow(QPainter *painter, const QStyleOptionViewItem &option,
                                                     const QModelIndex &index) const
{
  const QRect r = option.rect.adjusted(10, 0, -10, 0);
  const QRect iconRect(r.topLeft(), QSize(r.height(), r.height()));
  const QRect textRect = QRect(QPoint(iconRect.right() + 1, r.top()), r.bottomRight()).adjusted(10, 0, -10, 0);
  TilePainting::paintFittedIcon(painter, index.data(Qt::DecorationRole), iconRect);
  const QString title = index.data(Qt::DisplayRole).toString();
  if (!title.isEmpty()) {
    painter->setPen(Qt::white);
    painter->setFont(QApplication::font());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
  }
  const QString duration = index.data(Qt::UserRole + 1).toString();
  if (!duration.isEmpty()) {
    TilePainting::paintRowDuration(painter, textRect, duration);
  }
}
