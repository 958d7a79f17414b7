#include "videothumbnailscache.h"

#include "util.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QPixmap>

VideoThumbnails::VideoThumbnails(const QString &videoPath, const QString &rootPath)
    : m_name(QString::fromLatin1(QCryptographicHash::hash(videoPath.toUtf8(), QCryptographicHash::Md5).toHex()))
{
  if (rootPath.isEmpty())
    return;
  const QDir root(rootPath);
  if (root.exists(m_name) || root.mkpath(m_name)) {
    m_folder = root;
    m_hasFolder = m_folder.cd(m_name);
  }
}

VideoThumbnails::~VideoThumbnails() = default;

QPixmap *VideoThumbnails::thumbnail(int index)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || index >= kSlots)
    return nullptr;
  std::unique_ptr<QPixmap> &slot = m_slots[size_t(index)];
  if (!slot && m_hasFolder) {
    auto loaded = std::make_unique<QPixmap>();
    if (loaded->load(thumbnailPath(index)))
      slot = std::move(loaded);
  }
  return slot.get();
}

int VideoThumbnails::count()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_slots[0] ? kSlots : 0;
}

QString VideoThumbnails::thumbnailPath(int index) const
{
  return m_folder.absolutePath() + QDir::separator() + QString::asprintf("%02d.png", index);
}

void VideoThumbnails::setThumbnail(int index, QPixmap *pixmap)
{
  std::unique_ptr<QPixmap> owned(pixmap);
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || index >= kSlots || !owned)
    return;
  std::unique_ptr<QPixmap> &slot = m_slots[size_t(index)];
  if (slot)
    m_replaced.push_back(std::move(slot));
  slot = std::move(owned);
}

void VideoThumbnails::save()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_hasFolder)
    return;
  for (int i = 0; i < kSlots; ++i) {
    const QPixmap *pixmap = m_slots[size_t(i)].get();
    const QString path = thumbnailPath(i);
    if (pixmap && !QFileInfo::exists(path))
      pixmap->save(path);
  }
}

VideoThumbnailsCache::VideoThumbnailsCache() : m_root(Util::cacheLocation())
{
  m_rootValid = !Util::cacheLocation().isEmpty() && m_root.mkpath(QStringLiteral("Thumbnails"));
  if (m_rootValid)
    m_rootValid = m_root.cd(QStringLiteral("Thumbnails"));
}

VideoThumbnailsCache::~VideoThumbnailsCache()
{
  qDeleteAll(m_sets);
}

VideoThumbnails *VideoThumbnailsCache::_set(const QString &videoPath)
{
  VideoThumbnails *&set = m_sets[videoPath];
  if (!set)
    set = new VideoThumbnails(videoPath, m_rootValid ? m_root.absolutePath() : QString());
  return set;
}

VideoThumbnails *VideoThumbnailsCache::videoThumbnails(const QString &videoPath)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return _set(videoPath);
}

QPixmap *VideoThumbnailsCache::thumbnail(const QString &videoPath, int index)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return _set(videoPath)->thumbnail(index);
}

void VideoThumbnailsCache::setThumbnail(const QString &videoPath, QPixmap *pixmap, int index)
{
  std::unique_ptr<QPixmap> owned(pixmap);
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || index >= VideoThumbnails::kSlots || !owned || owned->isNull())
    return;
  _set(videoPath)->setThumbnail(index, owned.release());
}

int VideoThumbnailsCache::thumbnailCount(const QString &videoPath)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return _set(videoPath)->count();
}

bool VideoThumbnailsCache::hasThumbnails(const QString &videoPath)
{
  std::lock_guard<std::mutex> lock(m_mutex);
  return _set(videoPath)->thumbnail(0) != nullptr;
}

void VideoThumbnailsCache::saveAll()
{
  std::lock_guard<std::mutex> lock(m_mutex);
  for (VideoThumbnails *set : qAsConst(m_sets))
    set->save();
}
