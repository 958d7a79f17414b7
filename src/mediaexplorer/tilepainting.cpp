#include "tilepainting.h"

#include "util.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QVariant>

namespace TilePainting {

void paintSelectedBackground(QPainter *painter, const QRectF &rect)
{
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(44, 46, 50));
  painter->drawRoundedRect(rect, 2.0, 2.0);
}

QRectF paintFittedIcon(QPainter *painter, const QVariant &decoration, const QRect &rect)
{
  const QIcon icon = decoration.canConvert<QIcon>() ? decoration.value<QIcon>() : QIcon();
  if (icon.isNull() || rect.isEmpty())
    return QRectF();
  const QPixmap pm = icon.pixmap(rect.size(), QIcon::Normal, QIcon::On);
  if (pm.isNull())
    return QRectF();
  const QRectF target = Util::fitRectWithAspectRatio(pm.width(), pm.height(), rect);
  painter->drawPixmap(target, pm, QRectF(pm.rect()));
  return target;
}

void paintRowDuration(QPainter *painter, const QRect &textRect, const QString &duration)
{
  QFont small = QApplication::font();
  small.setPointSizeF(small.pointSizeF() - 1);
  painter->setFont(small);
  painter->setPen(QColor(162, 162, 162));
  painter->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                    painter->fontMetrics().elidedText(duration, Qt::ElideLeft, textRect.width()));
}

} // namespace TilePainting
