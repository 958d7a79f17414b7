#pragma once

#include <QImage>
#include <QRunnable>
#include <QString>

#include <functional>
#include <mutex>

// Writes one undo snapshot of the canvas as a PNG file, on the history's pool.
class DataCompressionTask : public QRunnable
{
public:
  // finished runs on the pool's thread once the file is written (or the write failed).
  DataCompressionTask(const QImage &picture, const QString &path, std::function<void()> finished);

  void run() override;

  // Taken while a task stores its inputs and again before it reads them, and around what the
  // pool's thread posts back: the pool's and the event queue's own hand-overs are invisible to
  // the race checker.
  static std::mutex &handOverLock();

private:
  QImage _picture;
  QString _path;
  std::function<void()> _finished;
};
