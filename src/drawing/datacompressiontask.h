#pragma once

#include <QImage>
#include <QRunnable>
#include <QString>

#include <functional>

// Writes one undo snapshot of the canvas as a PNG file, on the history's pool.
class DataCompressionTask : public QRunnable
{
public:
  // finished runs on the pool's thread once the file is written (or the write failed).
  DataCompressionTask(const QImage &picture, const QString &path, std::function<void()> finished);

  void run() override;

private:
  QImage _picture;
  QString _path;
  std::function<void()> _finished;
};
