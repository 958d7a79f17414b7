#pragma once

#include <QListWidget>

// The GIF page's icon list: drags a GIF as its id, cached path, URL, length and scale.
class GiphyGifsListWidget : public QListWidget
{
  Q_OBJECT
public:
  explicit GiphyGifsListWidget(QWidget *parent);

  QStringList mimeTypes() const override;

signals:
  // A synchronous question to the page about the item's GIF.
  void fetchGifPathForItem(QListWidgetItem *item, QString &outId, QString &outPath, QString &outUrl,
                           float &outDuration, float &outScale);

protected:
  QMimeData *mimeData(const QList<QListWidgetItem *> items) const override;
  void startDrag(Qt::DropActions supportedActions) override;
};
