#pragma once

#include <QFileInfo>
#include <QHash>
#include <QObject>
#include <QPixmap>

#include <mutex>

class ThumbnailsCacheFolder;

// Thumbnails and metadata of browsed folders, kept on disk between runs under the cache
// folder "Media". Used from the GUI thread; indexes and new pictures are written when the
// cache is destroyed.
class LocalThumbnailsCache : public QObject
{
  Q_OBJECT
public:
  explicit LocalThumbnailsCache(QObject *parent);
  ~LocalThumbnailsCache() override;

  // A hit sets pixmap and metadata; a miss sets a null pixmap and leaves metadata unchanged.
  void thumbnail(QPixmap &pixmap, const QFileInfo &fi, QString &metadata);
  void setThumbnail(const QFileInfo &fi, const QPixmap &pixmap, const QString &metadata);

  static QString cacheRoot();

private:
  QHash<QString, ThumbnailsCacheFolder *> _folders;
  std::mutex _mutex;
};
