#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <mutex>

struct ThumbnailCacheEntry
{
  QPixmap pixmap;
  QString metadata;
  // The media file's last modification time in ms since the epoch.
  qint64 time = 0;
  // The media file's name: names that hash alike share a key, so a hit needs the name too.
  QString name;
  // Stored since the folder object was made: its picture is written at destruction even when
  // a file of an older, colliding entry is on disk.
  bool fresh = false;
};

// The cached thumbnails and metadata of one browsed folder. Entries are keyed by the decimal
// hash of the file name; the index "media.data" and one PNG per entry live in a folder named
// by the hash of the folder path. Written only at destruction, and only when something changed.
class ThumbnailsCacheFolder : public QObject
{
  Q_OBJECT
public:
  ThumbnailsCacheFolder(const QString &folderPath, QObject *parent);
  ~ThumbnailsCacheFolder() override;

  // A hit sets pixmap and metadata; a miss (no entry, a stale or foreign entry, or an
  // unreadable picture) sets a null pixmap and leaves metadata alone.
  void thumbnail(QPixmap &pixmap, const QString &fileName, QString &metadata, qint64 modifiedMs);
  void setThumbnail(const QString &fileName, const QPixmap &pixmap, const QString &metadata, qint64 modifiedMs);

  // The entry for key, inserted empty when absent.
  ThumbnailCacheEntry &entry(const QString &key);
  QString indexFilePath() const;
  QString thumbnailFilePath(const QString &key) const;

  QString folderPath() const { return _folderPath; }
  static QString folderName(const QString &folderPath);
  static QString key(const QString &fileName);

private:
  void _removeEntry(const QString &key);

  QString _folderPath;
  uint _folderHash = 0;
  QHash<QString, ThumbnailCacheEntry> _entries;
  std::mutex _mutex;
  bool _dirty = false;
  // The index on disk named another folder (or none): none of its groups may be kept.
  bool _foreignIndex = false;
};
