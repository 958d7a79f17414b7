#include "assetloadingthreadpool.h"

#include <QDebug>
#include <QThread>

AssetLoadingThreadPool *AssetLoadingThreadPool::instance()
{
  // A function-local static: concurrent first calls construct it once.
  static AssetLoadingThreadPool *pool = [] {
    auto *created = new AssetLoadingThreadPool;
    qDebug().nospace() << "Thread pool max thread count is " << QThread::idealThreadCount();
    return created;
  }();
  return pool;
}
