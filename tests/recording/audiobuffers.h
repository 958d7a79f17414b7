#pragma once
// Synthetic audio buffers for the level tests (header only).

#include <QAudioBuffer>
#include <QAudioFormat>
#include <QByteArray>
#include <QVector>
#include <QtEndian>

namespace AudioBuffers {

inline QAudioFormat format(QAudioFormat::SampleType type, int bits, int channels,
                           QAudioFormat::Endian order = QAudioFormat::LittleEndian, const QString &codec = "audio/pcm")
{
  QAudioFormat f;
  f.setSampleRate(48000);
  f.setChannelCount(channels);
  f.setSampleSize(bits);
  f.setSampleType(type);
  f.setByteOrder(order);
  f.setCodec(codec);
  return f;
}

// Interleaved samples of any plain type as a buffer of the given format.
template <typename Sample>
QAudioBuffer make(const QVector<Sample> &samples, const QAudioFormat &f)
{
  const QByteArray bytes(reinterpret_cast<const char *>(samples.constData()), int(samples.size() * sizeof(Sample)));
  return QAudioBuffer(bytes, f);
}

// Little-endian 16-bit signed samples, interleaved.
inline QAudioBuffer s16(const QVector<qint16> &samples, int channels = 1)
{
  return make(samples, format(QAudioFormat::SignedInt, 16, channels));
}

} // namespace AudioBuffers
