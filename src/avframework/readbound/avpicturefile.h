#pragma once
// A user's picture file for Qt's image readers (QImageReader, QMovie), read within a bound and
// cancellable. The JPEG and GIF readers handed a valid header followed by gigabytes of zeros
// read on to the file's end, hunting for the next marker or block, and nothing else stops them.
// A QFile still, so the readers see the file's name and decide by its suffix as before.

#include <QFile>

#include <atomic>
#include <functional>

class AVPictureFile : public QFile
{
  Q_OBJECT
public:
  // No read goes further into the file than this. Real pictures, camera raws and long
  // animations included, stay far below it, while the readers scan zeros at a few hundred
  // megabytes a second: a file no picture could be is given up within a second or two. An
  // offset rather than a count of bytes, so a movie that loops a real GIF again and again
  // never reaches it.
  static constexpr qint64 kReadBound = qint64(256) << 20;

  // cancelled may be empty; it is asked on the reading thread before every read.
  explicit AVPictureFile(const QString &path, std::function<bool()> cancelled = {}, QObject *parent = nullptr);

  // Opens read-only; false unless the path is a regular file (a FIFO would wait for a writer).
  bool openForReading();
  // Whether a read was refused: cancelled, or beyond the bound.
  bool stopped() const { return m_stopped; }

protected:
  qint64 readData(char *data, qint64 maxSize) override;

private:
  std::function<bool()> m_cancelled;
  std::atomic<bool> m_stopped{false};
};
