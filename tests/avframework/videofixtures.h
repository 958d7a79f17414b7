#pragma once
// Colour-coded video files for the media stream tests, written once per test run, and the
// frame index read back from a decoded frame record of any kind.

#include "avcommon.h"
#include "avmediastream.h"
#include "mediafixtures.h"

#include "ffmpegcli.h"

#include <QFile>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtGlobal>

namespace VideoFixtures {

// Key frames only at the start: seeking must decode its way from there.
constexpr int kLongGop = 1000;

inline MediaFixtures::VideoParams params(int fps, int frames, MediaFixtures::VideoCodec codec, int width = 320,
                                         int height = 240, int gop = kLongGop)
{
  MediaFixtures::VideoParams p;
  p.fps = fps;
  p.frames = frames;
  p.codec = codec;
  p.width = width;
  p.height = height;
  p.gop = gop;
  return p;
}

// BT.601 studio range, as the fixtures' encoders were fed.
inline QColor colorFromYuv(int y, int u, int v)
{
  const double c = 1.164 * (y - 16), d = u - 128, e = v - 128;
  auto clip = [](double x) { return qBound(0, int(x + 0.5), 255); };
  return QColor(clip(c + 1.596 * e), clip(c - 0.813 * e - 0.391 * d), clip(c + 2.018 * d));
}

// The colour at the centre of a decoded record's picture.
inline QColor centreColor(const AVFrameRecord &r)
{
  const uint32_t h = r.height;
  if (r.kind == kAVFrameBGRA) {
    const uint8_t *p = r.data + (size_t(h / 2) * r.width + r.width / 2) * 4;
    return QColor(p[2], p[1], p[0]);
  }
  const uint32_t x = (r.visibleWidth ? r.visibleWidth : r.width) / 2, y = h / 2;
  if (r.kind == kAVFrameUYVY422) {
    const uint8_t *p = r.data + size_t(y) * r.width * 2 + (x / 2) * 4;
    return colorFromYuv(p[1], p[0], p[2]);
  }
  const int luma = r.planes[0][size_t(y) * r.strides[0] + x];
  if (r.kind == kAVFrameNV12) {
    const uint8_t *uv = r.planes[1] + size_t(y / 2) * r.strides[1] + (x / 2) * 2;
    return colorFromYuv(luma, uv[0], uv[1]);
  }
  const size_t chroma = x / 2;
  return colorFromYuv(luma, r.planes[1][size_t(y / 2) * r.strides[1] + chroma],
                      r.planes[2][size_t(y / 2) * r.strides[2] + chroma]);
}

inline int frameIndexOf(const AVFrameRecord &record)
{
  return record.data ? MediaFixtures::frameIndexFromColor(centreColor(record)) : -1;
}

inline int frameIndexOfBgra(const uint8_t *pixels, int width, int height)
{
  const uint8_t *p = pixels + (size_t(height / 2) * width + width / 2) * 4;
  return MediaFixtures::frameIndexFromColor(QColor(p[2], p[1], p[0]));
}

// The frame indices of a file in the order FFmpeg's own tool decodes it, every frame it gives.
inline QList<int> frameIndicesAsFfmpegDecodes(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "quiet", "-nostdin", "-i", path, "-vf", "crop=2:2",
                          "-vsync", "passthrough", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
  QList<int> indices;
  if (!ffmpeg.waitForFinished(60000))
    return indices;
  const QByteArray pixels = ffmpeg.readAllStandardOutput();
  for (int at = 0; at + 12 <= pixels.size(); at += 12)
    indices << MediaFixtures::frameIndexFromColor(
      QColor(uchar(pixels[at]), uchar(pixels[at + 1]), uchar(pixels[at + 2])));
  return indices;
}

// A 320 x 240 colour-coded H.264 clip as cameras write it (B-frames, its index in front) whose
// last `cutBytes` bytes are missing: the last packets are damaged or gone. Noise around the
// colour code makes every picture some kilobytes, so a cut of a few takes only the last ones.
inline bool damagedTailClip(const QString &path, int frames, qint64 cutBytes)
{
  const QString source = path + ".source.mp4", whole = path + ".whole.mp4";
  MediaFixtures::VideoParams p;
  p.fps = 25;
  p.frames = frames;
  const bool written = MediaFixtures::writeVideo(source, p, [](int index) {
    QImage image(320, 240, QImage::Format_RGB32);
    QRandomGenerator noise(quint32(index) + 1);
    for (int y = 0; y < image.height(); ++y) {
      auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        line[x] = noise.generate() | 0xFF000000u;
    }
    QPainter(&image).fillRect(QRect(80, 60, 160, 120), MediaFixtures::frameColor(index));
    return image;
  });
  if (!written || !FfmpegCli::run({"-i", source, "-c:v", "libx264", "-preset", "veryfast", "-bf", "2",
                                   "-movflags", "+faststart", whole}))
    return false;
  QFile in(whole), out(path);
  if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || in.size() <= cutBytes)
    return false;
  const qint64 kept = in.size() - cutBytes;
  const bool copied = out.write(in.read(kept)) == kept;
  in.close();
  QFile::remove(source);
  QFile::remove(whole);
  return copied;
}

// Writes the named files once into a temporary folder.
class Library
{
public:
  bool isValid() const { return _dir.isValid(); }
  QString path(const QString &name) const { return _dir.filePath(name); }

  bool color(const QString &name, const MediaFixtures::VideoParams &p)
  {
    return MediaFixtures::writeColorVideo(path(name), p);
  }

  // The first `bytes` bytes of another file.
  bool truncated(const QString &name, const QString &source, qint64 bytes)
  {
    QFile in(path(source)), out(path(name));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
      return false;
    return out.write(in.read(bytes)) == qMin(bytes, in.size());
  }

  bool garbage(const QString &name, int bytes)
  {
    QFile out(path(name));
    if (!out.open(QIODevice::WriteOnly))
      return false;
    QByteArray noise(bytes, '\0');
    quint32 state = 12345;
    for (char &c : noise) {
      state = state * 1103515245 + 12345;
      c = char(state >> 16);
    }
    return out.write(noise) == bytes;
  }

private:
  QTemporaryDir _dir;
};

} // namespace VideoFixtures
