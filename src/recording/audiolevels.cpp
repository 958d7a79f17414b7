#include "audiolevels.h"

#include <QAudioBuffer>
#include <QtGlobal>

#include <cmath>
#include <limits>

namespace {

double peakValue(const QAudioFormat &format)
{
  const int bits = format.sampleSize();
  switch (format.sampleType()) {
  case QAudioFormat::SignedInt:
    return bits == 32 ? 2147483647.0 : bits == 16 ? 32767.0 : bits == 8 ? 127.0 : 0.0;
  case QAudioFormat::UnSignedInt:
    return bits == 32 ? 4294967295.0 : bits == 16 ? 65535.0 : bits == 8 ? 255.0 : 0.0;
  case QAudioFormat::Float:
    // A float source may overshoot full scale by a hair.
    return bits == 32 ? 1.00003 : 0.0;
  default:
    return 0.0;
  }
}

template <typename Sample>
void takePeaks(const QAudioBuffer &buffer, QVector<double> &values)
{
  const int channels = values.size();
  const Sample *data = buffer.constData<Sample>();
  // Never read past the bytes the buffer holds, whatever its frame count says.
  const qint64 samples = qMin<qint64>(qint64(buffer.frameCount()) * channels, buffer.byteCount() / qint64(sizeof(Sample)));
  for (qint64 i = 0; i + channels <= samples; i += channels)
    for (int c = 0; c < channels; ++c)
      values[c] = qMax(values[c], std::fabs(double(data[i + c])));
}

} // namespace

namespace AudioLevels {

QVector<double> levels(const QAudioBuffer &buffer)
{
  const QAudioFormat format = buffer.format();
  if (!format.isValid() || format.byteOrder() != QAudioFormat::LittleEndian || format.codec() != "audio/pcm")
    return {};
  QVector<double> values(format.channelCount(), 0.0);
  const double peak = peakValue(format);
  if (peak == 0.0)
    return values;

  const int bits = format.sampleSize();
  switch (format.sampleType()) {
  case QAudioFormat::SignedInt:
    bits == 32 ? takePeaks<qint32>(buffer, values) : bits == 16 ? takePeaks<qint16>(buffer, values)
                                                                : takePeaks<qint8>(buffer, values);
    break;
  case QAudioFormat::UnSignedInt:
    bits == 32 ? takePeaks<quint32>(buffer, values) : bits == 16 ? takePeaks<quint16>(buffer, values)
                                                                 : takePeaks<quint8>(buffer, values);
    break;
  default:
    takePeaks<float>(buffer, values);
    break;
  }

  const bool unsignedSamples = format.sampleType() == QAudioFormat::UnSignedInt;
  for (double &value : values)
    value = unsignedSamples ? std::fabs(value - peak / 2) / (peak / 2) : value / peak;
  return values;
}

} // namespace AudioLevels
