#include "localthumbnailscache.h"

#include "thumbnailscachefolder.h"
#include "util.h"

#include <QDateTime>
#include <QDir>

LocalThumbnailsCache::LocalThumbnailsCache(QObject *parent) : QObject(parent) {}

LocalThumbnailsCache::~LocalThumbnailsCache()
{
  std::lock_guard<std::mutex> locker(_mutex);
  qDeleteAll(_folders);
  _folders.clear();
}

QString LocalThumbnailsCache::cacheRoot()
{
  return Util::cacheLocation() + QDir::separator() + "Media";
}

void LocalThumbnailsCache::thumbnail(QPixmap &pixmap, const QFileInfo &fi, QString &metadata)
{
  std::lock_guard<std::mutex> locker(_mutex);
  const QString folderPath = fi.path();
  ThumbnailsCacheFolder *folder = _folders.value(folderPath);
  if (!folder) {
    // Folders never cached cost one directory test and no object.
    if (!QDir(cacheRoot() + QDir::separator() + ThumbnailsCacheFolder::folderName(folderPath)).exists()) {
      pixmap = QPixmap();
      return;
    }
    folder = new ThumbnailsCacheFolder(folderPath, this);
    _folders.insert(folderPath, folder);
  }
  folder->thumbnail(pixmap, fi.fileName(), metadata, fi.lastModified().toMSecsSinceEpoch());
}

void LocalThumbnailsCache::setThumbnail(const QFileInfo &fi, const QPixmap &pixmap, const QString &metadata)
{
  if (pixmap.isNull())
    return;
  ThumbnailsCacheFolder *folder = nullptr;
  {
    std::lock_guard<std::mutex> locker(_mutex);
    folder = _folders.value(fi.path());
    if (!folder) {
      folder = new ThumbnailsCacheFolder(fi.path(), this);
      _folders.insert(fi.path(), folder);
    }
  }
  folder->setThumbnail(fi.fileName(), pixmap, metadata, fi.lastModified().toMSecsSinceEpoch());
}
