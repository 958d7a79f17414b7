#include "avpicturefile.h"

#include <QFileInfo>

AVPictureFile::AVPictureFile(const QString &path, std::function<bool()> cancelled, QObject *parent)
    : QFile(path, parent), m_cancelled(std::move(cancelled))
{
}

bool AVPictureFile::openForReading()
{
  return QFileInfo(fileName()).isFile() && open(QIODevice::ReadOnly);
}

qint64 AVPictureFile::readData(char *data, qint64 maxSize)
{
  // pos() may lag the file's own position by the device's buffer: a few kilobytes.
  const qint64 left = kReadBound - pos();
  if (left <= 0 || (m_cancelled && m_cancelled())) {
    m_stopped = true;
    setErrorString(left <= 0 ? QStringLiteral("Read beyond the bound of a picture")
                             : QStringLiteral("Reading cancelled"));
    return -1;
  }
  return QFile::readData(data, qMin(maxSize, left));
}
