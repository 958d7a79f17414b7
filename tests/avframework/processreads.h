#pragma once
// The bytes this process has read through system calls, as the kernel counts them: how far a
// reader got through a file, whatever it asked on the way. -1 where the system keeps no count.
#include <QByteArray>
#include <QFile>

namespace ProcessReads {

inline qint64 bytesRead()
{
  QFile io("/proc/self/io");
  if (!io.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray &line : io.readAll().split('\n')) {
    if (line.startsWith("rchar:"))
      return line.mid(6).trimmed().toLongLong();
  }
  return -1;
}

} // namespace ProcessReads
