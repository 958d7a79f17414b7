#pragma once
// The project archive format shared by ArchiveExporter and ArchiveImporter. Integers are
// little-endian; strings UTF-8 without terminator.
//   "tavoren " | int32 version | int32 name length | name | entries to the end of the file
//   entry: int32 name length | name | int64 data length | data

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace ProjectArchive {

constexpr char kMagic[] = "tavoren ";
constexpr int kMagicSize = 8;
constexpr qint32 kVersion = 3;
constexpr qint64 kChunkSize = 1048576;
inline QString extension() { return QStringLiteral("tavorenproject"); }

QByteArray int32Bytes(qint32 value);
QByteArray int64Bytes(qint64 value);
// From exactly four / eight bytes.
qint32 int32FromBytes(const QByteArray &bytes);
quint64 uint64FromBytes(const QByteArray &bytes);

// Bytes free for the user on the volume of path, or of its nearest existing parent; -1 when
// the system cannot tell.
qint64 availableSpace(const QString &path);
// Replaces availableSpace in missingSpace (tests); an empty function restores it. Set it
// while no archive job runs.
using SpaceQuery = std::function<qint64(const QString &)>;
void setSpaceQuery(SpaceQuery query);
// Compares need with the bytes free on the volume of folder, logging both after label: 0
// when need fits or the space cannot be told (the writes still catch a full disk), the bytes
// missing, or -1 when folder is not an existing folder.
qint64 missingSpace(const char *label, qint64 need, const QString &folder);
// written x 100 / total, at most 100; 0 while total is unknown.
int percent(qint64 written, qint64 total);

} // namespace ProjectArchive
