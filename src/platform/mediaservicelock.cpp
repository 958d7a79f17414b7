#include "mediaservicelock.h"

#include <QMutex>

QMutex &mediaServiceMutex()
{
  static QMutex mutex;
  return mutex;
}
