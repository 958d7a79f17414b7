#include "leftsidelistwidgetitemdelegate.h"

#include "util.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>

namespace {
const int kSmallestPointSize = 6;
}

LeftsideListWidgetItemDelegate::LeftsideListWidgetItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QFont LeftsideListWidgetItemDelegate::fittingFont(const QFont &font, const QString &text, int width)
{
  QFont fitted = font;
  int size = fitted.pointSize();
  if (size <= 0)
    return fitted;
  while (size > kSmallestPointSize && QFontMetrics(fitted).elidedText(text, Qt::ElideMiddle, width) != text)
    fitted.setPointSize(--size);
  return fitted;
}

void LeftsideListWidgetItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
  painter->save();
  const QRect row = option.rect;
  QRect iconArea;
  QRect textArea;
  if (_displayStyle == 0) {
    const QRect cell = row.adjusted(10, 10, -10, -10);
    iconArea = cell.adjusted(0, 0, 0, -20);
    textArea = QRect(cell.left(), iconArea.bottom(), iconArea.width(), 20);
  } else {
    const QRect cell = row.adjusted(10, 0, -10, 0);
    iconArea = QRect(cell.left(), cell.top(), cell.height(), cell.height());
    textArea = QRect(iconArea.right(), cell.top(), cell.right() - iconArea.right(), cell.height()).adjusted(10, 0, -10, 0);
  }
  if (option.state & QStyle::State_Selected)
    painter->fillRect(row, QColor(31, 32, 35));

  const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
  if (!icon.isNull()) {
    const QRect pixmapArea = iconArea.adjusted(5, 5, -5, -5);
    const QPixmap pixmap = icon.pixmap(pixmapArea.size(), QIcon::Normal, QIcon::Off);
    const QRectF target = Util::fitRectWithAspectRatio(pixmap.width(), pixmap.height(), iconArea);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(target, pixmap, pixmap.rect());
  }

  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    painter->setPen(Qt::white);
    if (_displayStyle == 0) {
      painter->setFont(fittingFont(QApplication::font(), text, textArea.width()));
      painter->drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text);
    } else {
      painter->setFont(QApplication::font());
      const QString elided = painter->fontMetrics().elidedText(text, Qt::ElideRight, textArea.width());
      painter->drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    }
  }
  painter->restore();
}
