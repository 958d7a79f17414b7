#include "segmentfile.h"

#include "propertymap.h"
#include "segmentlistener.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool _hasSeparator(const QString &path)
{
  return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

} // namespace

namespace SegmentFile {

QString storedForm(SegmentListener *listener, const QString &path)
{
  const QString folder = listener ? listener->projectFolder() : QString();
  // Without a project folder nothing is inside it: an empty prefix would cut any path.
  if (folder.isEmpty() || path.size() <= folder.size() + 1 || !path.startsWith(folder))
    return path;
  // Only a file directly in the folder becomes a bare name: a sibling folder that shares the
  // prefix, or a sub-folder, would leave a relative path that resolves nowhere.
  const QString rest = path.mid(folder.size() + 1);
  const QChar separator = path.at(folder.size());
  if ((separator != QLatin1Char('/') && separator != QLatin1Char('\\')) || _hasSeparator(rest))
    return path;
  return rest;
}

QString absolutePath(SegmentListener *listener, const QString &stored)
{
  const QString folder = listener ? listener->projectFolder() : QString();
  if (!_hasSeparator(stored))
    return folder + QDir::separator() + stored;
  // A relative path belongs to the project, wherever the program was started. An address
  // ("http:"), a drive ("C:") or a resource (":/") is no path of the project.
  static const QRegularExpression prefix(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)?:"));
  if (folder.isEmpty() || !QDir::isRelativePath(stored) || prefix.match(stored).hasMatch())
    return stored;
  return QDir::cleanPath(folder + QLatin1Char('/') + stored);
}

QString fileName(const QString &stored)
{
  if (!_hasSeparator(stored))
    return stored;
  QString path = stored;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path.section(QLatin1Char('/'), -1);
}

double timeStampFromFile(PropertyMap &properties, const QString &path, bool *filled)
{
  const QString key = QStringLiteral("TimeStamp");
  const double stamp = doubleValue(properties, key, 0);
  if (stamp != 0 || path.isEmpty())
    return stamp;
  const QFileInfo info(path);
  if (!info.exists())
    return stamp;
  const double modified = double(info.lastModified().toMSecsSinceEpoch());
  setDoubleValue(properties, key, modified);
  if (filled)
    *filled = true;
  return modified;
}

} // namespace SegmentFile
