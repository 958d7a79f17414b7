#pragma once

#include <QListWidget>

// The list of the local files page: drags a file as one local-file URL.
class LocalFilesListWidget : public QListWidget
{
  Q_OBJECT
public:
  explicit LocalFilesListWidget(QWidget *parent);

  QStringList mimeTypes() const override;

signals:
  // A synchronous question to the page: the path of the item's file.
  void fetchFilePathForItem(QListWidgetItem *item, QString &outFilePath);

protected:
  QMimeData *mimeData(const QList<QListWidgetItem *> items) const override;
  void startDrag(Qt::DropActions supportedActions) override;
};
