#pragma once

#include <QDir>
#include <QHash>
#include <mutex>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QPixmap;

// The 16 thumbnails of one video file, in memory and as 00.png ... 15.png in a folder named
// by the MD5 of the video's path. Slots fill from the engine or, lazily, from the files.
class VideoThumbnails
{
public:
  static constexpr int kSlots = 16;

  // An empty root path gives a set without a folder: loads find nothing, saves go nowhere.
  VideoThumbnails(const QString &videoPath, const QString &rootPath);
  ~VideoThumbnails();
  VideoThumbnails(const VideoThumbnails &) = delete;
  VideoThumbnails &operator=(const VideoThumbnails &) = delete;

  QString name() const { return m_name; }
  // The slot's pixmap, loaded from its file when the slot is empty; null when there is none.
  // Stays owned by the set, which lives as long as its cache.
  QPixmap *thumbnail(int index);
  // 16 when slot 0 holds a pixmap, else 0; files are not looked at.
  int count();
  QString thumbnailPath(int index) const;
  // Takes ownership; ignored for an index out of range or a null pointer. A pixmap it
  // replaces stays alive with the set, as another thread may be drawing it.
  void setThumbnail(int index, QPixmap *pixmap);
  // Writes the slots whose file does not exist yet; existing files are never overwritten.
  void save();

private:
  QString m_name;
  QDir m_folder;
  bool m_hasFolder = false;
  std::array<std::unique_ptr<QPixmap>, kSlots> m_slots;
  std::vector<std::unique_ptr<QPixmap>> m_replaced;
  std::mutex m_mutex; // not QMutex: the race checker sees through this one
};

// Thumbnails of every video the editor has shown, by video path, kept under the cache
// location's "Thumbnails" folder and shared across projects and runs. Safe to use from the
// GUI thread and loading threads at once: the cache lock is always taken before a set's.
class VideoThumbnailsCache
{
public:
  VideoThumbnailsCache();
  ~VideoThumbnailsCache();
  VideoThumbnailsCache(const VideoThumbnailsCache &) = delete;
  VideoThumbnailsCache &operator=(const VideoThumbnailsCache &) = delete;

  // The set of a path, made on first use.
  VideoThumbnails *videoThumbnails(const QString &videoPath);
  QPixmap *thumbnail(const QString &videoPath, int index);
  // Takes ownership of pixmap, also when it is ignored.
  void setThumbnail(const QString &videoPath, QPixmap *pixmap, int index);
  int thumbnailCount(const QString &videoPath);
  // Loads 00.png when slot 0 is empty.
  bool hasThumbnails(const QString &videoPath);
  void saveAll();

  bool isRootValid() const { return m_rootValid; }
  QDir root() const { return m_root; }

private:
  VideoThumbnails *_set(const QString &videoPath);

  QHash<QString, VideoThumbnails *> m_sets;
  QDir m_root;
  bool m_rootValid = false;
  std::mutex m_mutex; // not QMutex: the race checker sees through this one
};
