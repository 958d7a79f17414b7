#include "giphygifscache.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

GiphyGifsCache::GiphyGifsCache(QObject *parent) : QObject(parent)
{
  const QString location = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  const QString dir = location + QDir::separator() + "Giphy";
  _cacheDir = QDir().mkpath(dir) ? dir : location;
}

bool GiphyGifsCache::isValidId(const QString &id)
{
  static const QRegularExpression pattern("^[A-Za-z0-9_-]{1,64}$");
  return pattern.match(id).hasMatch();
}

QString GiphyGifsCache::cachePath(const QString &id, const QString &rendition) const
{
  if (!isValidId(id))
    return QString();
  return QDir::toNativeSeparators(_cacheDir + QDir::separator() + id + "-" + rendition);
}

QString GiphyGifsCache::cachedPath(const QString &id, const QString &rendition) const
{
  const QString path = cachePath(id, rendition);
  return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString GiphyGifsCache::setCacheForId(const QByteArray &data, const QString &id, const QString &rendition, int *error)
{
  qDebug() << "GiphyGifsCache::setCacheForId" << data.size();
  const QString path = cachePath(id, rendition);
  if (path.isEmpty()) {
    if (error)
      *error = QFileDevice::OpenError;
    return QString();
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
    if (error)
      *error = file.error() != QFileDevice::NoError ? file.error() : QFileDevice::WriteError;
    return QString();
  }
  if (error)
    *error = 0;
  return path;
}
