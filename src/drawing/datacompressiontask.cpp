#include "datacompressiontask.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSaveFile>

std::mutex &DataCompressionTask::handOverLock()
{
  static std::mutex lock;
  return lock;
}

DataCompressionTask::DataCompressionTask(const QImage &picture, const QString &path, std::function<void()> finished)
{
  std::lock_guard<std::mutex> lock(handOverLock());
  _picture = picture;
  _path = path;
  _finished = std::move(finished);
  setAutoDelete(true);
}

void DataCompressionTask::run()
{
  { std::lock_guard<std::mutex> lock(handOverLock()); }
  if (!_picture.isNull()) {
    QElapsedTimer timer;
    timer.start();
    // Under a temporary name first: a snapshot file is either whole or missing.
    QSaveFile file(_path);
    if (file.open(QIODevice::WriteOnly) && _picture.save(&file, "PNG", 80))
      file.commit();
    qDebug().noquote() << "Drawing history data compressing time: " + QString::number(timer.elapsed());
  }
  if (_finished)
    _finished();
}
