#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

class ProjectsListWidget;

// Item data of the projects list's tiles (above Qt::UserRole).
enum ProjectsListRole
{
  ProjectInfoTextRole = Qt::UserRole + 2,
  ProjectFolderRole = Qt::UserRole + 3,
  ProjectDamagedRole = Qt::UserRole + 4,
  ProjectMenuOpenRole = Qt::UserRole + 5,
  ProjectMarkedRole = Qt::UserRole + 10,
  ProjectNewPressedRole = Qt::UserRole + 11,
};

// Paints the tiles of the projects list: thumbnail, folder with its sub-thumbnails, the
// new-movie tile, texts, marks and the menu button. Thumbnails are asked of the list,
// which fills them before the signal returns.
class ProjectsListWidgetItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  explicit ProjectsListWidgetItemDelegate(ProjectsListWidget *parent);

  void setEditing(bool editing) { _editing = editing; }
  bool isEditing() const { return _editing; }

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

  // Tile geometry from the option rectangle.
  static QRect imageRect(const QRect &tile);
  static QRect squareRect(const QRect &tile);
  static QRect menuButtonRect(const QRect &tile);

signals:
  void projectMenuClicked(QModelIndex index, QPoint pos);
  void projectFetchImage(QModelIndex index, QPixmap &pixmap) const;
  void projectFetchSubImage(QModelIndex index, int subIndex, QPixmap &pixmap) const;

protected:
  bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
  const QPixmap &_cached(QPixmap &slot, const char *path) const;
  void _paintNewTile(QPainter *painter, const QRect &image, const QModelIndex &index, const QPixmap &icon) const;
  void _paintFolderTile(QPainter *painter, const QRect &square, const QModelIndex &index, const QPixmap &image) const;

  bool _editing = false;
  mutable QPixmap _errorMark;
  mutable QPixmap _menuButton;
  mutable QPixmap _menuButtonSelected;
  mutable QPixmap _checkedMark;
  mutable QPixmap _uncheckedMark;
};
