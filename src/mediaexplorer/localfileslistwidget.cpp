#include "localfileslistwidget.h"

#include "explorerlistdrag.h"

#include <QMimeData>
#include <QUrl>

LocalFilesListWidget::LocalFilesListWidget(QWidget *parent) : QListWidget(parent) {}

QStringList LocalFilesListWidget::mimeTypes() const
{
  return {"text/uri-list"};
}

QMimeData *LocalFilesListWidget::mimeData(const QList<QListWidgetItem *> items) const
{
  auto *data = new QMimeData;
  if (items.isEmpty())
    return data;
  QString path;
  emit const_cast<LocalFilesListWidget *>(this)->fetchFilePathForItem(items.first(), path);
  data->setUrls({QUrl::fromLocalFile(path)});
  return data;
}

void LocalFilesListWidget::startDrag(Qt::DropActions supportedActions)
{
  ExplorerListDrag::start(this, supportedActions);
}
