#include "thumbnailscachefolder.h"

#include "localthumbnailscache.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSettings>

namespace {
const char *const kPathKey = "path";
}

ThumbnailsCacheFolder::ThumbnailsCacheFolder(const QString &folderPath, QObject *parent)
  : QObject(parent), _folderPath(folderPath), _folderHash(qHash(folderPath, 0))
{
  const QString indexPath = indexFilePath();
  if (!QFile::exists(indexPath))
    return;
  QSettings index(indexPath, QSettings::IniFormat);
  // Folder paths that hash alike share a cache folder: an index written for another path
  // holds nothing of ours.
  _foreignIndex = index.value(kPathKey).toString() != folderPath;
  for (const QString &key : index.childGroups()) {
    index.beginGroup(key);
    ThumbnailCacheEntry entry;
    entry.metadata = index.value("meta").toString();
    entry.time = index.value("time").toLongLong();
    entry.name = index.value("name").toString();
    index.endGroup();
    if (_foreignIndex)
      QFile::remove(thumbnailFilePath(key));
    else
      _entries.insert(key, entry);
  }
  _dirty = _foreignIndex;
}

ThumbnailsCacheFolder::~ThumbnailsCacheFolder()
{
  std::lock_guard<std::mutex> locker(_mutex);
  if (!_dirty)
    return;
  QDir().mkpath(LocalThumbnailsCache::cacheRoot() + QDir::separator() + folderName(_folderPath));
  QSettings index(indexFilePath(), QSettings::IniFormat);
  if (_foreignIndex)
    index.clear();
  index.setValue(kPathKey, _folderPath);
  for (auto it = _entries.cbegin(); it != _entries.cend(); ++it) {
    index.beginGroup(it.key());
    index.setValue("meta", it->metadata);
    index.setValue("time", it->time);
    index.setValue("name", it->name);
    index.endGroup();
    const QString file = thumbnailFilePath(it.key());
    if (!it->pixmap.isNull() && (it->fresh || !QFile::exists(file)))
      it->pixmap.save(file, "PNG");
  }
}

void ThumbnailsCacheFolder::thumbnail(QPixmap &pixmap, const QString &fileName, QString &metadata, qint64 modifiedMs)
{
  std::lock_guard<std::mutex> locker(_mutex);
  const QString k = key(fileName);
  auto it = _entries.find(k);
  if (it == _entries.end()) {
    pixmap = QPixmap();
    return;
  }
  // A colliding name counts like a touched file: the entry belongs to someone else.
  if (it->time != modifiedMs || it->name != fileName) {
    _removeEntry(k);
    pixmap = QPixmap();
    return;
  }
  metadata = it->metadata;
  if (it->pixmap.isNull()) {
    QImageReader reader(thumbnailFilePath(k));
    reader.setDecideFormatFromContent(true);
    it->pixmap = QPixmap::fromImage(reader.read());
  }
  pixmap = it->pixmap;
}

void ThumbnailsCacheFolder::setThumbnail(const QString &fileName, const QPixmap &pixmap, const QString &metadata,
                                         qint64 modifiedMs)
{
  std::lock_guard<std::mutex> locker(_mutex);
  ThumbnailCacheEntry &e = entry(key(fileName));
  e.pixmap = pixmap;
  e.metadata = metadata;
  e.time = modifiedMs;
  e.name = fileName;
  e.fresh = true;
  _dirty = true;
}

ThumbnailCacheEntry &ThumbnailsCacheFolder::entry(const QString &key)
{
  return _entries[key];
}

void ThumbnailsCacheFolder::_removeEntry(const QString &key)
{
  QFile::remove(thumbnailFilePath(key));
  _entries.remove(key);
  _dirty = true;
}

QString ThumbnailsCacheFolder::indexFilePath() const
{
  return LocalThumbnailsCache::cacheRoot() + QDir::separator() + folderName(_folderPath) + QDir::separator() +
         "media.data";
}

QString ThumbnailsCacheFolder::thumbnailFilePath(const QString &key) const
{
  return LocalThumbnailsCache::cacheRoot() + QDir::separator() + folderName(_folderPath) + QDir::separator() + key;
}

QString ThumbnailsCacheFolder::folderName(const QString &folderPath)
{
  return QString::number(qHash(folderPath, 0));
}

QString ThumbnailsCacheFolder::key(const QString &fileName)
{
  return QString::number(qHash(fileName, 0));
}
