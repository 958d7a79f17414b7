#pragma once

#include <QListWidget>

// The list of a built-in assets page: drags an asset as its type, resource path, default
// length and scale.
class ResourceAssetsListWidget : public QListWidget
{
  Q_OBJECT
public:
  explicit ResourceAssetsListWidget(QWidget *parent);

  QStringList mimeTypes() const override;

signals:
  // A synchronous question to the page about the item's asset.
  void fetchResPathForItem(QListWidgetItem *item, int &type, QString &outResPath, float &outDuration,
                           float &outScale);

protected:
  QMimeData *mimeData(const QList<QListWidgetItem *> items) const override;
  void startDrag(Qt::DropActions supportedActions) override;
};
