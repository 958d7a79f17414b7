#include "giphygifswidgetitemdelegate.h"

#include "tilepainting.h"
#include "util.h"

#include <QPainter>

GiphyGifsWidgetItemDelegate::GiphyGifsWidgetItemDelegate(float devicePixelRatio, QObject *parent)
  : QStyledItemDelegate(parent), _devicePixelRatio(devicePixelRatio)
{
}

QPixmap GiphyGifsWidgetItemDelegate::placeholderPixmap() const
{
  if (_placeholder.isNull())
    _placeholder.load(":/images/media-explorer/giphy_placeholder_dark");
  return _placeholder;
}

void GiphyGifsWidgetItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
  painter->save();
  if (option.state & QStyle::State_Selected)
    TilePainting::paintSelectedBackground(painter, option.rect);
  const QRect r = option.rect.adjusted(10, 10, -10, -10);
  const QVariant frame = index.data(Qt::UserRole + 2);
  QPixmap pm = frame.canConvert<QPixmap>() ? frame.value<QPixmap>() : QPixmap();
  if (pm.isNull())
    pm = placeholderPixmap();
  if (!pm.isNull()) {
    const QRectF target = Util::fitRectWithAspectRatio(pm.width(), pm.height(), r);
    const QPixmap scaled = pm.scaled(int(target.width() * _devicePixelRatio), int(target.height() * _devicePixelRatio),
                                     Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter->drawPixmap(target, scaled, QRectF(scaled.rect()));
  }
  painter->restore();
}
