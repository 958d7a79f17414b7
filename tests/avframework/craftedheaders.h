#pragma once
// Headers of other containers that FFmpeg's demuxers believe, cut where the zeros are to follow
// (WavFiles::writeEndless puts them behind): each taken from a small file the ffmpeg tool writes.
// The CAF demuxer walks zeros as empty chunks of twelve bytes, warning at each; the AVI and
// Matroska demuxers hunt byte by byte for a chunk or an element they know.
#include "ffmpegcli.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

namespace CraftedHeaders {

inline QByteArray _written(const QString &path, const QStringList &make)
{
  QFile file(path);
  if (!FfmpegCli::run(make + QStringList{path}) || !file.open(QIODevice::ReadOnly))
    return {};
  return file.readAll();
}

// The file header and the desc chunk of a CAF of PCM sound.
inline QByteArray caf(const QString &scratch)
{
  const QByteArray file = _written(scratch + ".caf", {"-f", "lavfi", "-i", "sine=duration=1", "-c:a", "pcm_s16le"});
  if (file.size() < 20 || file.mid(8, 4) != "desc")
    return {};
  const auto descSize = qFromBigEndian<qint64>(file.constData() + 12);
  return file.left(int(20 + descSize));
}

// An AVI's headers up to its movi list, the RIFF and movi sizes claiming four gigabytes.
inline QByteArray avi(const QString &scratch)
{
  QByteArray file = _written(scratch + ".avi", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=1",
                                                "-c:v", "mjpeg"});
  const int movi = file.indexOf("movi");
  if (!file.startsWith("RIFF") || movi < 8)
    return {};
  const quint32 claimed = qToLittleEndian(quint32(0xfffffff0));
  file.replace(4, 4, reinterpret_cast<const char *>(&claimed), 4);
  file.replace(movi - 4, 4, reinterpret_cast<const char *>(&claimed), 4);
  return file.left(movi + 4);
}

// A live Matroska stream's header (a Segment of unknown size), cut before its first Cluster.
inline QByteArray matroska(const QString &scratch)
{
  const QByteArray file = _written(scratch + ".mkv", {"-f", "lavfi", "-i",
                                                      "testsrc2=size=160x120:rate=25:duration=1", "-c:v", "mjpeg",
                                                      "-live", "1"});
  const int cluster = file.indexOf(QByteArray::fromHex("1f43b675"));
  return cluster > 0 ? file.left(cluster) : QByteArray();
}

} // namespace CraftedHeaders
