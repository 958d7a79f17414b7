#include "projectslistwidgetitemdelegate.h"

#include "projectslistwidget.h"
#include "util.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

const QString kNewTileName = QStringLiteral("/NEW/");

QRect _inner(const QRect &tile)
{
  return tile.adjusted(10, 10, -10, -10);
}

// The largest rectangle of target's aspect ratio centred in the pixmap.
QRect _centredCrop(const QPixmap &pixmap, const QSizeF &target)
{
  const QSize size = pixmap.size();
  return Util::fitRectWithAspectRatio(target.width(), target.height(), QRectF(QPointF(0, 0), size)).toRect();
}

void _clipRounded(QPainter *painter, const QRect &rect, qreal radius)
{
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  painter->setClipPath(path);
}

} // namespace

ProjectsListWidgetItemDelegate::ProjectsListWidgetItemDelegate(ProjectsListWidget *parent)
    : QStyledItemDelegate(parent)
{
}

QRect ProjectsListWidgetItemDelegate::squareRect(const QRect &tile)
{
  QRect square = _inner(tile);
  square.setHeight(square.width());
  return square;
}

QRect ProjectsListWidgetItemDelegate::imageRect(const QRect &tile)
{
  const QRectF fitted = Util::fitRectWithAspectRatio(5, 4, squareRect(tile));
  return QRect(int(fitted.x()), int(fitted.y()), int(fitted.width()), int(fitted.height()));
}

QRect ProjectsListWidgetItemDelegate::menuButtonRect(const QRect &tile)
{
  const QRect inner = _inner(tile);
  return QRect(inner.right() - 10, inner.bottom() - 20, 20, 20);
}

const QPixmap &ProjectsListWidgetItemDelegate::_cached(QPixmap &slot, const char *path) const
{
  if (slot.isNull())
    slot.load(QString::fromLatin1(path));
  return slot;
}

void ProjectsListWidgetItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setRenderHint(QPainter::SmoothPixmapTransform);
  const QRect tile = option.rect;
  const QRect inner = _inner(tile);
  const QRect square = squareRect(tile);
  const QRect image = imageRect(tile);
  const QString name = index.data(Qt::DisplayRole).toString();
  const QString info = index.data(ProjectInfoTextRole).toString();
  const bool newTile = name == kNewTileName;
  const bool folder = index.data(ProjectFolderRole).toBool();
  const bool marked = _editing && index.data(ProjectMarkedRole).toBool();
  const bool selected = option.state & QStyle::State_Selected;

  if (selected && !newTile) {
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(44, 46, 50));
    painter->drawRoundedRect(tile, 2, 2);
  }
  QPixmap pixmap;
  emit projectFetchImage(index, pixmap);
  _clipRounded(painter, image, 3);

  if (newTile) {
    _paintNewTile(painter, image, index, pixmap);
    painter->restore();
    return;
  }
  if (folder) {
    painter->setClipping(false);
    _paintFolderTile(painter, square, index, pixmap);
  } else {
    if (!pixmap.isNull())
      painter->drawPixmap(image, pixmap, _centredCrop(pixmap, image.size()));
    else
      painter->fillRect(image, Qt::black);
    if (index.data(ProjectDamagedRole).toBool())
      painter->drawPixmap(QRect(image.right() - 23, image.bottom() - 23, 20, 20),
                          _cached(_errorMark, ":/images/project_error"));
  }
  painter->setClipping(false);

  if (_editing) {
    QRect mark(0, 0, 22, 22);
    mark.moveCenter(inner.center());
    painter->drawPixmap(mark, marked ? _cached(_checkedMark, ":/images/project_edit_checked")
                                     : _cached(_uncheckedMark, ":/images/project_edit_unchecked"));
  }

  painter->setFont(option.font);
  const QRect nameRect(inner.left(), inner.top() + square.height(), inner.width(), 20);
  const QRect infoRect(inner.left(), inner.top() + square.height() + 20, inner.width(), 18);
  painter->setPen(Qt::white);
  painter->drawText(nameRect, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                    option.fontMetrics.elidedText(name, Qt::ElideMiddle, nameRect.width()));
  painter->setPen(QColor(101, 101, 101));
  painter->drawText(infoRect, Qt::AlignHCenter | Qt::AlignBottom, info);

  if (selected || (option.state & QStyle::State_MouseOver)) {
    const bool menuOpen = index.data(ProjectMenuOpenRole).toBool();
    painter->drawPixmap(menuButtonRect(tile), menuOpen ? _cached(_menuButtonSelected, ":/images/project_menu_selected")
                                                       : _cached(_menuButton, ":/images/project_menu"));
  }
  painter->restore();
}

void ProjectsListWidgetItemDelegate::_paintNewTile(QPainter *painter, const QRect &image, const QModelIndex &index,
                                                   const QPixmap &icon) const
{
  QColor fill(44, 46, 50);
  if (_editing)
    fill = QColor(16, 16, 16);
  else if (index.data(ProjectNewPressedRole).toBool())
    fill = fill.lighter(150);
  painter->fillRect(image, fill);
  const int dx = (image.width() - 54) / 2;
  const int dy = (image.height() - 54) / 2;
  painter->drawPixmap(QRect(image.x() + dx, image.y() + dy, 54, 54), icon);
}

void ProjectsListWidgetItemDelegate::_paintFolderTile(QPainter *painter, const QRect &square,
                                                      const QModelIndex &index, const QPixmap &image) const
{
  if (!image.isNull())
    painter->drawPixmap(square, image);
  const QPoint c = square.center() + QPoint(0, 10);
  const QPoint corners[4] = {{c.x() - 33, c.y() - 33}, {c.x() + 3, c.y() - 33}, {c.x() - 33, c.y() + 3},
                             {c.x() + 3, c.y() + 3}};
  for (int k = 0; k < 4; ++k) {
    QPixmap sub;
    emit projectFetchSubImage(index, k, sub);
    if (sub.isNull())
      continue;
    const QRect cell(corners[k], QSize(30, 30));
    painter->save();
    _clipRounded(painter, cell, 4);
    painter->drawPixmap(cell, sub, _centredCrop(sub, QSizeF(1, 1)));
    painter->restore();
  }
}

bool ProjectsListWidgetItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
  if (event->type() != QEvent::MouseButtonRelease)
    return QStyledItemDelegate::editorEvent(event, model, option, index);
  auto *view = qobject_cast<QAbstractItemView *>(parent());
  const QPoint pos = static_cast<QMouseEvent *>(event)->pos();
  if (view && index == view->currentIndex() && index.data(Qt::DisplayRole).toString() != kNewTileName &&
      menuButtonRect(option.rect).contains(pos))
    emit projectMenuClicked(index, pos);
  return true;
}
