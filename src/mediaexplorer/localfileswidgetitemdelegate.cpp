#include "localfileswidgetitemdelegate.h"

#include "localfileswidget.h"
#include "mediaitemtype.h"
#include "tilepainting.h"

#include <QApplication>
#include <QPainter>

LocalFilesWidgetItemDelegate::LocalFilesWidgetItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void LocalFilesWidgetItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
  const int type = index.data(LocalFilesWidget::TypeRole).toInt();
  const QString duration = index.data(LocalFilesWidget::DurationRole).toString();
  painter->save();
  if (_viewMode == 0)
    _paintIcon(painter, option, index, type, duration);
  else
    _paintRow(painter, option, index, type, duration);
  painter->restore();
}

QFont LocalFilesWidgetItemDelegate::_nameFont() const
{
  QFont font = QApplication::font();
  if (_zoom == 0)
    font.setPointSizeF(font.pointSizeF() - 1);
  return font;
}

void LocalFilesWidgetItemDelegate::_paintIcon(QPainter *painter, const QStyleOptionViewItem &option,
                                              const QModelIndex &index, int type, const QString &duration) const
{
  const QRect padded = option.rect.adjusted(10, 10, -10, -10);
  if (option.state & QStyle::State_Selected)
    TilePainting::paintSelectedBackground(painter, padded);
  const QRect imageRect = padded.adjusted(0, 0, 0, -20);
  const QRect textRect(padded.left(), imageRect.bottom() + 1, padded.width(), 20);
  const QRectF target = TilePainting::paintFittedIcon(painter, index.data(Qt::DecorationRole), imageRect);
  if (!target.isEmpty() && !duration.isEmpty() &&
      (type == MediaItemTypeVideo || type == MediaItemTypeAudio)) {
    const int x = int(target.x()) + 3, y = int(target.y()) + 3;
    int badgeWidth;
    if (type == MediaItemTypeVideo) {
      if (_videoBadge.isNull())
        _videoBadge.load(":/images/media-explorer/flag_video");
      painter->drawPixmap(QRect(x, y, 15, 8), _videoBadge);
      badgeWidth = 15;
    } else {
      if (_musicBadge.isNull())
        _musicBadge.load(":/images/media-explorer/flag_music");
      painter->drawPixmap(QRect(x, y, 11, 11), _musicBadge);
      badgeWidth = 11;
    }
    QFont font = QApplication::font();
    font.setPixelSize(9);
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(QPoint(x + badgeWidth + 5, y + 7), duration);
  }
  const QString name = index.data(Qt::DisplayRole).toString();
  if (name.isEmpty())
    return;
  painter->setFont(_nameFont());
  painter->setPen(Qt::white);
  const QString elided = painter->fontMetrics().elidedText(name, Qt::ElideRight, textRect.width());
  painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, elided);
}

void LocalFilesWidgetItemDelegate::_paintRow(QPainter *painter, const QStyleOptionViewItem &option,
                                             const QModelIndex &index, int type, const QString &duration) const
{
  const QRect padded = option.rect.adjusted(10, 0, -10, 0);
  if (option.state & QStyle::State_Selected)
    TilePainting::paintSelectedBackground(painter, padded);
  const QRect imageRect(padded.topLeft(), QSize(padded.height(), padded.height()));
  const QRect textRect = QRect(QPoint(imageRect.right() + 1, padded.top()), padded.bottomRight()).adjusted(10, 0, -10, 0);
  TilePainting::paintFittedIcon(painter, index.data(Qt::DecorationRole), imageRect);
  const QString name = index.data(Qt::DisplayRole).toString();
  if (name.isEmpty())
    return;
  painter->setFont(_nameFont());
  painter->setPen(Qt::white);
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    painter->fontMetrics().elidedText(name, Qt::ElideMiddle, textRect.width()));
  if (duration.isEmpty() || (type != MediaItemTypeVideo && type != MediaItemTypeAudio))
    return;
  TilePainting::paintRowDuration(painter, textRect, duration);
}
