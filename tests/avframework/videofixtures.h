#pragma once
// Colour-coded video files for the media stream tests, written once per test run, and the
// frame index read back from a decoded frame record of any kind.

#include "avcommon.h"
#include "avmediastream.h"
#include "mediafixtures.h"

#include <QFile>
#include <QMap>
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
  const uint32_t s = r.width;
  const int luma = r.data[size_t(y) * s + x];
  if (r.kind == kAVFrameNV12) {
    const uint8_t *uv = r.data + size_t(s) * h + size_t(y / 2) * 2 * chroma420(s) + (x / 2) * 2;
    return colorFromYuv(luma, uv[0], uv[1]);
  }
  const uint8_t *u = r.data + size_t(s) * h + size_t(y / 2) * chroma420(s) + x / 2;
  const uint8_t *v = u + size_t(chroma420(s)) * chroma420(h);
  return colorFromYuv(luma, *u, *v);
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
