#include "projectarchive.h"

#include <QDebug>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtEndian>

#include <sys/statvfs.h>

namespace ProjectArchive {

QByteArray int32Bytes(qint32 value)
{
  QByteArray bytes(4, '\0');
  qToLittleEndian<qint32>(value, bytes.data());
  return bytes;
}

QByteArray int64Bytes(qint64 value)
{
  QByteArray bytes(8, '\0');
  qToLittleEndian<qint64>(value, bytes.data());
  return bytes;
}

qint32 int32FromBytes(const QByteArray &bytes)
{
  return qFromLittleEndian<qint32>(bytes.constData());
}

quint64 uint64FromBytes(const QByteArray &bytes)
{
  return qFromLittleEndian<quint64>(bytes.constData());
}

namespace {

SpaceQuery &spaceQuery()
{
  static SpaceQuery query;
  return query;
}

} // namespace

qint64 availableSpace(const QString &path)
{
  QFileInfo existing(QFileInfo(path).absoluteFilePath());
  while (!existing.exists() && !existing.isRoot())
    existing.setFile(existing.absolutePath());
  const QStorageInfo storage(existing.absoluteFilePath());
  if (storage.isValid() && storage.isReady())
    return storage.bytesAvailable();
  // Inside a chroot the mount table may not list the root, so the mount lookup finds nothing.
  struct statvfs volume;
  if (statvfs(QFile::encodeName(existing.absoluteFilePath()).constData(), &volume) != 0)
    return -1;
  return qint64(volume.f_bavail) * qint64(volume.f_frsize);
}

void setSpaceQuery(SpaceQuery query)
{
  spaceQuery() = std::move(query);
}

qint64 missingSpace(const char *label, qint64 need, const QString &folder)
{
  if (!QFileInfo(folder).isDir())
    return -1;
  const qint64 available = spaceQuery() ? spaceQuery()(folder) : availableSpace(folder);
  qDebug().noquote() << QString::fromLatin1(label) + QString::number(need) + " available space: " +
                            QString::number(available);
  if (available < 0)
    return 0;
  // The job needs some room beyond its data: an exact fit counts as one byte short.
  return need < available ? 0 : qMax<qint64>(1, need - available);
}

int percent(qint64 written, qint64 total)
{
  // Files that grew since they were measured must not push it past 100.
  return total > 0 ? int(qMin<qint64>(100, written * 100 / total)) : 0;
}

} // namespace ProjectArchive
