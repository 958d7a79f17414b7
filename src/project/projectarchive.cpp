#include "projectarchive.h"

#include <QDebug>
#include <QStorageInfo>
#include <QtEndian>

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

qint64 missingSpace(const char *label, qint64 need, const QString &folder)
{
  const QStorageInfo storage(folder);
  const qint64 available = storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
  qDebug().noquote() << QString::fromLatin1(label) + QString::number(need) + " available space: " +
                            QString::number(available);
  if (available < 0)
    return -1;
  // The job needs some room beyond its data: an exact fit counts as one byte short.
  return need < available ? 0 : qMax<qint64>(1, need - available);
}

int percent(qint64 written, qint64 total)
{
  // Files that grew since they were measured must not push it past 100.
  return total > 0 ? int(qMin<qint64>(100, written * 100 / total)) : 0;
}

} // namespace ProjectArchive
