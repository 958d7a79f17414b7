#include "resourceassetslistwidget.h"

#include "explorerlistdrag.h"

#include <QMimeData>

ResourceAssetsListWidget::ResourceAssetsListWidget(QWidget *parent) : QListWidget(parent) {}

QStringList ResourceAssetsListWidget::mimeTypes() const
{
  return {"media/resource-asset-item"};
}

QMimeData *ResourceAssetsListWidget::mimeData(const QList<QListWidgetItem *> items) const
{
  auto *data = new QMimeData;
  if (items.isEmpty())
    return data;
  int type = 0;
  QString path;
  float duration = 0;
  float scale = 0;
  emit const_cast<ResourceAssetsListWidget *>(this)->fetchResPathForItem(items.first(), type, path, duration, scale);
  data->setData("media/resource-asset-length", QByteArray::number(double(duration), 'g', 6));
  data->setData("media/resource-asset-type", QByteArray::number(type));
  data->setData("media/resource-asset-path", path.toUtf8());
  data->setData("media/resource-asset-scale", QByteArray::number(double(scale), 'g', 6));
  return data;
}

void ResourceAssetsListWidget::startDrag(Qt::DropActions supportedActions)
{
  ExplorerListDrag::start(this, supportedActions);
}
