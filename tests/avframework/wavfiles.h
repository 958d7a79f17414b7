#pragma once
// Tone files written by hand as WAV, with an optional INFO list (artist, title) that the
// demuxer reports as container metadata; and headers with zeros behind them that FFmpeg's
// demuxer walks as chunks of eight bytes with no tag and no length, asking the file's size at
// every one.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cmath>

namespace WavFiles {

inline void _append32(QByteArray &bytes, quint32 value)
{
  value = qToLittleEndian(value);
  bytes.append(reinterpret_cast<const char *>(&value), 4);
}

inline void _append64(QByteArray &bytes, quint64 value)
{
  value = qToLittleEndian(value);
  bytes.append(reinterpret_cast<const char *>(&value), 8);
}

inline void _append16(QByteArray &bytes, quint16 value)
{
  value = qToLittleEndian(value);
  bytes.append(reinterpret_cast<const char *>(&value), 2);
}

inline QByteArray _infoChunk(const QByteArray &id, QByteArray text)
{
  text.append('\0');
  if (text.size() % 2)
    text.append('\0');
  QByteArray chunk = id;
  _append32(chunk, quint32(text.size()));
  return chunk + text;
}

// A sine of the frequency at amplitude 16000 on every channel; from switchAt seconds on, of
// the second frequency.
inline bool writeToneWav(const QString &path, double seconds, double frequency, int rate, int channels,
                         const QByteArray &artist = {}, const QByteArray &title = {}, double switchAt = 1e9,
                         double frequency2 = 0)
{
  const int frames = int(std::lround(seconds * rate));
  QByteArray data;
  for (int i = 0; i < frames; ++i) {
    const auto sample = qint16(std::lround(16000 * std::sin(2 * M_PI * (double(i) / rate < switchAt ? frequency : frequency2) * i / rate)));
    for (int c = 0; c < channels; ++c)
      _append16(data, quint16(sample));
  }
  QByteArray info;
  if (!artist.isEmpty())
    info += _infoChunk("IART", artist);
  if (!title.isEmpty())
    info += _infoChunk("INAM", title);
  QByteArray body = "WAVE";
  body += "fmt ";
  _append32(body, 16);
  _append16(body, 1);
  _append16(body, quint16(channels));
  _append32(body, quint32(rate));
  _append32(body, quint32(rate * channels * 2));
  _append16(body, quint16(channels * 2));
  _append16(body, 16);
  if (!info.isEmpty()) {
    body += "LIST";
    _append32(body, quint32(info.size() + 4));
    body += "INFO" + info;
  }
  body += "data";
  _append32(body, quint32(data.size()));
  body += data;
  QByteArray file = "RIFF";
  _append32(file, quint32(body.size()));
  file += body;
  QFile out(path);
  return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

// 16-bit stereo PCM at 44.1 kHz.
inline QByteArray _formatChunk()
{
  QByteArray chunk = "fmt ";
  _append32(chunk, 16);
  _append16(chunk, 1);
  _append16(chunk, 2);
  _append32(chunk, 44100);
  _append32(chunk, 44100 * 4);
  _append16(chunk, 4);
  _append16(chunk, 16);
  return chunk;
}

constexpr quint64 kClaimedData = 0xffffff00; // four gigabytes, some six hours of sound

// A header that claims four gigabytes of sound.
inline QByteArray claimingHeader()
{
  QByteArray header = "RIFF";
  _append32(header, quint32(kClaimedData + 36));
  header += "WAVE" + _formatChunk() + "data";
  _append32(header, quint32(kClaimedData));
  return header;
}

// The format and no sound: the demuxer looks for the data chunk to the end.
inline QByteArray headerWithoutData()
{
  QByteArray header = "RIFF";
  _append32(header, quint32(kClaimedData + 36));
  return header + "WAVE" + _formatChunk();
}

// The 64-bit forms, RF64 and BW64, which keep the chunk sizes in a ds64 chunk.
inline QByteArray claimingHeader64(const QByteArray &tag)
{
  QByteArray header = tag;
  _append32(header, 0xffffffff);
  header += "WAVE";
  header += "ds64";
  _append32(header, 28);
  _append64(header, kClaimedData + 36); // the RIFF chunk
  _append64(header, kClaimedData);      // the data chunk
  _append64(header, kClaimedData / 4);  // frames
  _append32(header, 0);                 // no table of other sizes
  header += _formatChunk() + "data";
  _append32(header, 0xffffffff);
  return header;
}

// The header, then zeros to sixteen gigabytes; sparse, no disk is used.
inline bool writeEndless(const QString &path, const QByteArray &header)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(header) == header.size() && file.resize(qint64(16) << 30);
}

} // namespace WavFiles
