#pragma once

#include <QObject>
#include <QString>

// A flat disk cache of the GIF service's renditions: one file per id and rendition
// ("<id>-original", "<id>-fixed_width_small") in the folder "Giphy" of the cache location.
class GiphyGifsCache : public QObject
{
  Q_OBJECT
public:
  explicit GiphyGifsCache(QObject *parent);

  // Ids come from the network and become file names: only [A-Za-z0-9_-]{1,64}.
  static bool isValidId(const QString &id);

  QString cacheDir() const { return _cacheDir; }
  // The file's path whether or not it exists; empty for an unsafe id.
  QString cachePath(const QString &id, const QString &rendition) const;
  // The path when the file exists, else empty.
  QString cachedPath(const QString &id, const QString &rendition) const;
  // Writes the bytes whole or not at all. Returns the path, or empty with `error` set to the
  // file error when the write failed.
  QString setCacheForId(const QByteArray &data, const QString &id, const QString &rendition, int *error = nullptr);

private:
  QString _cacheDir;
};
