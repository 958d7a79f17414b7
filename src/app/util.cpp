#include "util.h"

#include <QStandardPaths>

int Util::compareWithTolerance(float a, float b, float tolerance)
{
  const float d = a - b;
  if (d >= -tolerance && d <= tolerance)
    return 0;
  return d > 0 ? 1 : -1;
}

QString Util::cacheLocation()
{
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}
