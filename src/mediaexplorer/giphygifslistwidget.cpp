#include "giphygifslistwidget.h"

#include "explorerlistdrag.h"

#include <QMimeData>

GiphyGifsListWidget::GiphyGifsListWidget(QWidget *parent) : QListWidget(parent) {}

QStringList GiphyGifsListWidget::mimeTypes() const
{
  return {"media/giphy-gif-item"};
}

QMimeData *GiphyGifsListWidget::mimeData(const QList<QListWidgetItem *> items) const
{
  auto *data = new QMimeData;
  if (items.isEmpty())
    return data;
  QString id;
  QString path;
  QString url;
  float duration = 0;
  float scale = 1.0f;
  emit const_cast<GiphyGifsListWidget *>(this)->fetchGifPathForItem(items.first(), id, path, url, duration, scale);
  data->setData("media/giphy-gif-id", id.toUtf8());
  data->setData("media/giphy-gif-length", QByteArray::number(double(duration), 'g', 6));
  data->setData("media/giphy-gif-path", path.toUtf8());
  data->setData("media/giphy-gif-url", url.toUtf8());
  data->setData("media/giphy-gif-scale", QByteArray::number(double(scale), 'g', 6));
  return data;
}

void GiphyGifsListWidget::startDrag(Qt::DropActions supportedActions)
{
  ExplorerListDrag::start(this, supportedActions);
}
