#include "audioplotdata.h"

#include "avreadbound.h"

#include <QDebug>
#include <QFileInfo>
#include <QPainter>
#include <QPolygonF>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct _InputClose { void operator()(AVFormatContext *c) const { avformat_close_input(&c); } };
struct _CodecFree { void operator()(AVCodecContext *c) const { avcodec_free_context(&c); } };
struct _FrameFree { void operator()(AVFrame *f) const { av_frame_free(&f); } };
struct _PacketFree { void operator()(AVPacket *p) const { av_packet_free(&p); } };
struct _SwrFree { void operator()(SwrContext *s) const { swr_free(&s); } };

using _Input = std::unique_ptr<AVFormatContext, _InputClose>;
using _Codec = std::unique_ptr<AVCodecContext, _CodecFree>;
using _Frame = std::unique_ptr<AVFrame, _FrameFree>;
using _Packet = std::unique_ptr<AVPacket, _PacketFree>;
using _Swr = std::unique_ptr<SwrContext, _SwrFree>;

// Folds sample frames into points: the mean absolute value of every run of k frames per
// channel, plus a last partial run. Stops taking samples once the desired count is reached.
class _PointBuilder
{
public:
  _PointBuilder(int channels, qint64 samplesPerPoint, int desired, QByteArray &data)
      : m_channels(channels), m_k(samplesPerPoint), m_desired(desired), m_accumulators(size_t(channels), 0),
        m_data(data)
  {
  }

  bool isFull() const { return m_points >= m_desired; }
  int maximum() const { return m_maximum; }

  // frames sample frames of stride interleaved samples; channels past the stride read 0.
  void add(const int16_t *samples, int frames, int stride)
  {
    for (int i = 0; i < frames && !isFull(); ++i) {
      const int16_t *frame = samples + qint64(i) * stride;
      const qint64 next = m_count + 1;
      for (int ch = 0; ch < m_channels; ++ch) {
        // In 32 bits: the magnitude of -32768 does not fit in 16.
        const qint64 magnitude = ch < stride ? std::abs(int(frame[ch])) : 0;
        if (next >= m_k) {
          _append((magnitude + m_accumulators[size_t(ch)]) / next);
          m_accumulators[size_t(ch)] = 0;
        } else {
          m_accumulators[size_t(ch)] += magnitude;
        }
      }
      if (next >= m_k) {
        m_count = 0;
        ++m_points;
      } else {
        m_count = next;
      }
    }
  }

  void finish()
  {
    if (m_count < 1 || isFull())
      return;
    for (qint64 sum : m_accumulators)
      _append(sum / m_count);
    m_count = 0;
    ++m_points;
  }

private:
  void _append(qint64 mean)
  {
    const qint16 value = qint16(qMin<qint64>(mean, 32767));
    m_maximum = qMax(m_maximum, int(value));
    m_data.append(reinterpret_cast<const char *>(&value), sizeof value);
  }

  int m_channels;
  qint64 m_k;
  int m_desired;
  std::vector<qint64> m_accumulators;
  QByteArray &m_data;
  qint64 m_count = 0;
  int m_points = 0;
  int m_maximum = 0;
};

// Converts decoded frames to interleaved signed 16 bits at the decoder's rate and channel
// count. The resampler is kept while the frames' format stays the same.
class _Converter
{
public:
  _Converter(int channels, int sampleRate) : m_channels(channels), m_sampleRate(sampleRate) {}
  ~_Converter() { av_channel_layout_uninit(&m_inLayout); }

  // The converted frames, or -1 after an error.
  int convert(const AVFrame *frame, const int16_t **out)
  {
    if (!_prepare(frame))
      return -1;
    const int capacity = swr_get_out_samples(m_swr.get(), frame->nb_samples);
    if (capacity < 0)
      return _fail("swr_convert() failed\n");
    // Sized for this frame: a long frame never writes past the buffer.
    m_buffer.resize(qMax<size_t>(m_buffer.size(), size_t(capacity) * size_t(m_channels)));
    uint8_t *target = reinterpret_cast<uint8_t *>(m_buffer.data());
    const int converted = swr_convert(m_swr.get(), &target, capacity,
                                      const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
    if (converted < 0)
      return _fail("swr_convert() failed\n");
    *out = m_buffer.data();
    return converted;
  }

private:
  bool _prepare(const AVFrame *frame)
  {
    AVChannelLayout in{};
    if (frame->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC && av_channel_layout_check(&frame->ch_layout))
      av_channel_layout_copy(&in, &frame->ch_layout);
    else
      av_channel_layout_default(&in, frame->ch_layout.nb_channels > 0 ? frame->ch_layout.nb_channels : m_channels);
    const bool same = m_swr && av_channel_layout_compare(&in, &m_inLayout) == 0 && frame->format == m_inFormat &&
                      frame->sample_rate == m_inRate;
    if (same) {
      av_channel_layout_uninit(&in);
      return true;
    }
    av_channel_layout_uninit(&m_inLayout);
    m_inLayout = in; // takes over what in held
    m_inFormat = frame->format;
    m_inRate = frame->sample_rate;
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, m_channels);
    SwrContext *raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, m_sampleRate, &m_inLayout,
                                         AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    m_swr.reset(raw);
    if (made < 0 || !m_swr || swr_init(m_swr.get()) < 0) {
      m_swr.reset();
      _fail("swr_init() failed\n");
      return false;
    }
    return true;
  }

  int _fail(const char *message)
  {
    std::fputs(message, stderr);
    return -1;
  }

  int m_channels;
  int m_sampleRate;
  _Swr m_swr;
  AVChannelLayout m_inLayout{};
  int m_inFormat = -1;
  int m_inRate = 0;
  std::vector<int16_t> m_buffer = std::vector<int16_t>(512 * 1024); // 1 MiB to start
};

} // namespace

AudioPlotData::AudioPlotData(int desiredCount) : m_desiredCount(qBound(1, desiredCount, kMaxPoints)) {}

qint16 AudioPlotData::value(int point, bool lower) const
{
  const int channel = lower && m_channels > 1 ? 1 : 0;
  const int index = point * m_channels + channel;
  if (index < 0 || (index + 1) * 2 > m_data.size())
    return 0;
  qint16 v;
  std::memcpy(&v, m_data.constData() + index * 2, sizeof v);
  return v;
}

void AudioPlotData::generate(const QString &path, const std::function<bool()> &cancelled)
{
  // Cancelling breaks off FFmpeg's own reading too: one read of a file of zeros scans it whole.
  AVReadBound bound(cancelled);
  AVFormatContext *rawInput = nullptr;
  if (!QFileInfo(path).isFile() || bound.open(&rawInput, path.toUtf8().constData()) != AVReadBound::kOpened)
    return;
  _Input input(rawInput);
  const AVCodec *codec = nullptr;
  const int streamIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (streamIndex < 0 || !codec)
    return;
  AVStream *stream = input->streams[streamIndex];
  _Codec decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
    return;
  decoder->time_base = stream->time_base;
  if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
    return;
  const int channels = decoder->ch_layout.nb_channels;
  const int sampleRate = decoder->sample_rate;
  if (channels <= 0 || sampleRate <= 0)
    return;

  double duration = 0;
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
    duration = double(stream->duration) * av_q2d(stream->time_base);
  else if (input->duration != AV_NOPTS_VALUE)
    duration = double(input->duration) / 1000000.0;
  if (!(duration > 0))
    return;

  // Rounded up, so an honest file never makes more points than asked for.
  const qint64 samplesPerPoint = qMax<qint64>(1, qint64(std::ceil(sampleRate * duration / m_desiredCount)));
  QByteArray data;
  _PointBuilder builder(channels, samplesPerPoint, m_desiredCount, data);
  _Converter converter(channels, sampleRate);
  _Frame frame(av_frame_alloc());
  _Packet packet(av_packet_alloc());
  if (!frame || !packet)
    return;
  quint64 totalSamples = 0;

  // Takes every frame the decoder has; false after an error.
  auto receiveAll = [&]() -> bool {
    while (!builder.isFull()) {
      const int received = avcodec_receive_frame(decoder.get(), frame.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
        return true;
      if (received < 0) {
        av_log(nullptr, AV_LOG_ERROR, "Error decoding frame\n");
        return false;
      }
      totalSamples += quint64(frame->nb_samples);
      if (frame->format == AV_SAMPLE_FMT_S16) {
        builder.add(reinterpret_cast<const int16_t *>(frame->data[0]), frame->nb_samples,
                    qMax(1, frame->ch_layout.nb_channels));
      } else {
        const int16_t *converted = nullptr;
        const int count = converter.convert(frame.get(), &converted);
        if (count < 0) {
          av_frame_unref(frame.get());
          return false;
        }
        builder.add(converted, count, channels);
      }
      av_frame_unref(frame.get());
    }
    return true;
  };

  while (!builder.isFull()) {
    if (cancelled && cancelled())
      return;
    const int read = bound.readFrame(packet.get());
    if (read < 0) {
      if (cancelled && cancelled())
        return;
      if (read == AVERROR_EOF || (input->pb && avio_feof(input->pb))) {
        avcodec_send_packet(decoder.get(), nullptr);
        receiveAll();
      } else {
        std::printf("Read packet error: %d\n", read);
      }
      break;
    }
    if (packet->stream_index != streamIndex) {
      av_packet_unref(packet.get());
      continue;
    }
    const int sent = avcodec_send_packet(decoder.get(), packet.get());
    av_packet_unref(packet.get());
    if (sent < 0) {
      av_log(nullptr, AV_LOG_ERROR, "Error submitting a packet for decoding\n");
      break;
    }
    if (!receiveAll())
      break;
  }

  if (totalSamples == 0)
    return;
  qDebug().noquote() << QString::asprintf("Total plot data size: %lu, sample number: %lu (desired:%lu)",
                                          (unsigned long)data.size(), (unsigned long)totalSamples,
                                          (unsigned long)(sampleRate * duration));
  builder.finish();
  m_data = data;
  m_maximum = qint16(builder.maximum());
  m_channels = channels;
  m_ready = true;
}

void AudioPlotData::draw(QPainter *painter, int width, int height) const
{
  const int n = pointCount();
  if (!m_ready || n == 0)
    return;
  // Silence has no scale: every value stays 0 and draws the middle line.
  const float f = m_maximum > 0 ? float(height / 2) / m_maximum * 0.9f : 0.0f;
  QVector<float> upper(n), lower(n);
  for (int i = 0; i < n; ++i) {
    upper[i] = value(i, false) * f;
    lower[i] = value(i, true) * f;
  }
  fillShape(painter, width, height, upper, lower, QColor(255, 255, 255, 64));
}

void AudioPlotData::fillShape(QPainter *painter, int width, int height, const QVector<float> &upper,
                              const QVector<float> &lower, const QColor &color)
{
  const int n = upper.size();
  if (n == 0 || lower.size() != n)
    return;
  const double middle = height / 2.0;
  painter->save();
  bool flat = true;
  for (int i = 0; i < n && flat; ++i)
    flat = upper[i] == 0 && lower[i] == 0;
  if (flat) {
    painter->setPen(color);
    painter->drawLine(QPointF(0, middle), QPointF(width, middle));
    painter->restore();
    return;
  }
  // One point spans the whole width.
  const QVector<float> top = n == 1 ? QVector<float>{upper[0], upper[0]} : upper;
  const QVector<float> bottom = n == 1 ? QVector<float>{lower[0], lower[0]} : lower;
  const int count = top.size();
  const double step = double(width) / (count - 1);
  QPolygonF shape;
  shape.reserve(2 * count);
  for (int i = 0; i < count; ++i)
    shape << QPointF(i * step, middle - top[i]);
  for (int i = count - 1; i >= 0; --i)
    shape << QPointF(i * step, middle + bottom[i]);
  painter->setPen(Qt::NoPen);
  painter->setBrush(color);
  painter->drawPolygon(shape);
  painter->restore();
}
