#pragma once
// The bytes this process has read through system calls, as the kernel counts them: how far a
// reader got through a file, whatever it asked on the way, and the read calls that fetched them.
// -1 where the system keeps no count.
#include <QByteArray>
#include <QFile>

namespace ProcessReads {

inline qint64 count(const QByteArray &name)
{
  QFile io("/proc/self/io");
  if (!io.open(QIODevice::ReadOnly))
    return -1;
  const QByteArray key = name + ':';
  for (const QByteArray &line : io.readAll().split('\n')) {
    if (line.startsWith(key))
      return line.mid(key.size()).trimmed().toLongLong();
  }
  return -1;
}

inline qint64 bytesRead()
{
  return count("rchar");
}

inline qint64 readCalls()
{
  return count("syscr");
}

} // namespace ProcessReads
