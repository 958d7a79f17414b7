#include "iconcache.h"

#include <QHash>

QIcon cachedIcon(const QString &path)
{
  static QHash<QString, QIcon> icons;
  auto found = icons.find(path);
  if (found == icons.end())
    found = icons.insert(path, QIcon(path));
  return *found;
}
