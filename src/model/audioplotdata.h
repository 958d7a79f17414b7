#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QVector>

#include <functional>

class QPainter;

// The waveform of one music file: per point and channel the mean absolute sample of a run of
// samples, as interleaved signed 16-bit values. Decoded once on a loading thread, then only read.
class AudioPlotData
{
public:
  static constexpr int kMaxPoints = 2048;

  // At least one point, at most kMaxPoints.
  explicit AudioPlotData(int desiredCount);

  // Decodes the best audio stream of the file. Stops at the desired point count whatever the
  // file declares, and at the first error, keeping the points made until then. When
  // cancelled() turns true it stops and keeps nothing.
  void generate(const QString &path, const std::function<bool()> &cancelled = {});

  int desiredCount() const { return m_desiredCount; }
  bool isReady() const { return m_ready; }
  const QByteArray &data() const { return m_data; }
  qint16 maximum() const { return m_maximum; }
  int channels() const { return m_channels; }
  int pointCount() const { return m_channels > 0 ? m_data.size() / (2 * m_channels) : 0; }
  // The first channel's value of point i; the second's (the first's for mono) when lower.
  qint16 value(int point, bool lower) const;

  // The waveform filled into (0, 0, width, height) of the painter, mirrored about the middle.
  void draw(QPainter *painter, int width, int height) const;

  // A shape of n points spread over width: point i reaches upper[i] pixels above the middle
  // and lower[i] below. One point gives a band of even height; nothing but zeros, a line.
  static void fillShape(QPainter *painter, int width, int height, const QVector<float> &upper,
                        const QVector<float> &lower, const QColor &color);

private:
  int m_desiredCount;
  bool m_ready = false;
  QByteArray m_data;
  qint16 m_maximum = 0;
  int m_channels = 0;
};
