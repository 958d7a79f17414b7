#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Paints the local files list: tiles with a duration badge in icon mode, rows with the
// duration at the right in list mode.
class LocalFilesWidgetItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  explicit LocalFilesWidgetItemDelegate(QObject *parent);

  void setZoom(int zoom) { _zoom = zoom; }
  void setViewMode(int viewMode) { _viewMode = viewMode; }

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
  void _paintIcon(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index, int type,
                  const QString &duration) const;
  void _paintRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index, int type,
                 const QString &duration) const;
  QFont _nameFont() const;

  mutable QPixmap _videoBadge;
  mutable QPixmap _musicBadge;
  int _zoom = 0;
  int _viewMode = 0;
};
