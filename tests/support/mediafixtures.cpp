#include "mediafixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace MediaFixtures {
namespace {

QString g_lastError;

bool fail(const QString &what, int code = 0)
{
  if (code < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    g_lastError = what + ": " + QString::fromUtf8(text);
  } else {
    g_lastError = what;
  }
  return false;
}

constexpr int kLevels = 6;
constexpr int kLevelStep = 51;
constexpr int kCodes = kLevels * kLevels * kLevels;

// --- owning holders ---
struct CodecContextFree { void operator()(AVCodecContext *c) const { avcodec_free_context(&c); } };
struct FrameFree { void operator()(AVFrame *f) const { av_frame_free(&f); } };
struct PacketFree { void operator()(AVPacket *p) const { av_packet_free(&p); } };
struct SwsFree { void operator()(SwsContext *s) const { sws_freeContext(s); } };
struct SwrFree { void operator()(SwrContext *s) const { swr_free(&s); } };
struct InputClose { void operator()(AVFormatContext *c) const { avformat_close_input(&c); } };
struct OutputFree
{
  void operator()(AVFormatContext *c) const
  {
    if (c->pb && !(c->oformat->flags & AVFMT_NOFILE))
      avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using InputPtr = std::unique_ptr<AVFormatContext, InputClose>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;

// One output file with its encoders; streams are fed in time order and flushed by finish().
class Writer
{
public:
  struct Stream
  {
    AVStream *stream = nullptr;
    CodecContextPtr codec;
    int64_t nextPts = 0;
  };

  bool open(const QString &path)
  {
    av_log_set_level(AV_LOG_ERROR); // encoders' statistics would bury the test output
    AVFormatContext *raw = nullptr;
    const int r = avformat_alloc_output_context2(&raw, nullptr, nullptr, path.toUtf8().constData());
    if (r < 0 || !raw)
      return fail("no container for " + path, r);
    m_output.reset(raw);
    m_path = path;
    return true;
  }

  // Adds an encoder; `configure` fills the codec context before it is opened.
  Stream *addStream(const char *encoderName, const std::function<void(AVCodecContext *)> &configure,
                    AVDictionary **options = nullptr)
  {
    const AVCodec *encoder = avcodec_find_encoder_by_name(encoderName);
    if (!encoder) {
      fail(QString("encoder %1 is missing").arg(encoderName));
      return nullptr;
    }
    auto entry = std::make_unique<Stream>();
    entry->codec.reset(avcodec_alloc_context3(encoder));
    configure(entry->codec.get());
    if (m_output->oformat->flags & AVFMT_GLOBALHEADER)
      entry->codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(entry->codec.get(), encoder, options);
    if (r < 0) {
      fail(QString("cannot open encoder %1").arg(encoderName), r);
      return nullptr;
    }
    entry->stream = avformat_new_stream(m_output.get(), nullptr);
    if (!entry->stream) {
      fail("cannot add a stream");
      return nullptr;
    }
    entry->stream->time_base = entry->codec->time_base;
    r = avcodec_parameters_from_context(entry->stream->codecpar, entry->codec.get());
    if (r < 0) {
      fail("cannot copy codec parameters", r);
      return nullptr;
    }
    m_streams.push_back(std::move(entry));
    return m_streams.back().get();
  }

  bool begin(AVDictionary **muxerOptions = nullptr)
  {
    int r = 0;
    if (!(m_output->oformat->flags & AVFMT_NOFILE)) {
      r = avio_open(&m_output->pb, m_path.toUtf8().constData(), AVIO_FLAG_WRITE);
      if (r < 0)
        return fail("cannot create " + m_path, r);
    }
    r = avformat_write_header(m_output.get(), muxerOptions);
    return r < 0 ? fail("cannot write the header", r) : true;
  }

  // Encodes one frame (null flushes the encoder) and writes what comes out.
  bool encode(Stream *stream, AVFrame *frame)
  {
    int r = avcodec_send_frame(stream->codec.get(), frame);
    if (r < 0)
      return fail("cannot encode", r);
    PacketPtr packet(av_packet_alloc());
    for (;;) {
      r = avcodec_receive_packet(stream->codec.get(), packet.get());
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
        return true;
      if (r < 0)
        return fail("cannot encode", r);
      // Some encoders leave the duration out; without it the last frame has no length and
      // the stream's average rate comes out wrong.
      const AVRational rate = stream->codec->framerate;
      if (packet->duration <= 0 && rate.num > 0)
        packet->duration = av_rescale_q(1, av_inv_q(rate), stream->codec->time_base);
      av_packet_rescale_ts(packet.get(), stream->codec->time_base, stream->stream->time_base);
      packet->stream_index = stream->stream->index;
      r = av_interleaved_write_frame(m_output.get(), packet.get());
      if (r < 0)
        return fail("cannot write a packet", r);
    }
  }

  bool finish()
  {
    for (const auto &stream : m_streams)
      if (!encode(stream.get(), nullptr))
        return false;
    const int r = av_write_trailer(m_output.get());
    return r < 0 ? fail("cannot write the trailer", r) : true;
  }

private:
  OutputPtr m_output;
  QString m_path;
  std::vector<std::unique_ptr<Stream>> m_streams;
};

// --- audio ---

bool isWebM(const QString &path)
{
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == "webm" || suffix == "opus" || suffix == "ogg";
}

const char *audioEncoderFor(const QString &path)
{
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == "wav")
    return "pcm_s16le";
  return isWebM(path) ? "libopus" : "aac";
}

Writer::Stream *addToneStream(Writer &writer, const QString &path, int sampleRate, int channels)
{
  const char *name = audioEncoderFor(path);
  const AVCodec *encoder = avcodec_find_encoder_by_name(name);
  if (!encoder) {
    fail(QString("encoder %1 is missing").arg(name));
    return nullptr;
  }
  const AVSampleFormat format = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  return writer.addStream(name, [&](AVCodecContext *c) {
    c->sample_fmt = format;
    c->sample_rate = sampleRate;
    av_channel_layout_default(&c->ch_layout, channels);
    c->time_base = AVRational{1, sampleRate};
    c->bit_rate = 128000;
  });
}

// Fills the frame with the tone's samples from `firstSample` on.
void fillTone(AVFrame *frame, int64_t firstSample, double frequency, int sampleRate)
{
  const int channels = frame->ch_layout.nb_channels;
  const auto format = AVSampleFormat(frame->format);
  const bool planar = av_sample_fmt_is_planar(format);
  for (int i = 0; i < frame->nb_samples; ++i) {
    const double value = 0.5 * std::sin(2 * M_PI * frequency * double(firstSample + i) / sampleRate);
    for (int ch = 0; ch < channels; ++ch) {
      const int plane = planar ? ch : 0;
      const int index = planar ? i : i * channels + ch;
      switch (av_get_packed_sample_fmt(format)) {
      case AV_SAMPLE_FMT_S16:
        reinterpret_cast<int16_t *>(frame->data[plane])[index] = int16_t(std::lround(value * 32767));
        break;
      case AV_SAMPLE_FMT_S32:
        reinterpret_cast<int32_t *>(frame->data[plane])[index] = int32_t(std::lround(value * 2147483647.0));
        break;
      case AV_SAMPLE_FMT_FLT:
        reinterpret_cast<float *>(frame->data[plane])[index] = float(value);
        break;
      default:
        reinterpret_cast<double *>(frame->data[plane])[index] = value;
        break;
      }
    }
  }
}

// Encodes tone samples of the stream up to (not including) sample `until`. Encoders with a
// fixed frame size take a short frame only at the very end: before `last`, whole frames only.
bool encodeToneUntil(Writer &writer, Writer::Stream *stream, int64_t until, double frequency, bool last)
{
  AVCodecContext *c = stream->codec.get();
  const int frameSize = c->frame_size > 0 ? c->frame_size : 1024;
  while (last ? stream->nextPts < until : stream->nextPts + frameSize <= until) {
    FramePtr frame(av_frame_alloc());
    frame->format = c->sample_fmt;
    frame->sample_rate = c->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
    frame->nb_samples = int(std::min<int64_t>(frameSize, until - stream->nextPts));
    if (av_frame_get_buffer(frame.get(), 0) < 0)
      return fail("no memory for audio");
    fillTone(frame.get(), stream->nextPts, frequency, c->sample_rate);
    frame->pts = stream->nextPts;
    stream->nextPts += frame->nb_samples;
    if (!writer.encode(stream, frame.get()))
      return false;
  }
  return true;
}

// --- video ---

struct VideoCodecSetup
{
  const char *encoder;
  AVPixelFormat pixelFormat;
};

VideoCodecSetup setupFor(VideoCodec codec)
{
  switch (codec) {
  case VideoCodec::H264:
    return {"libx264", AV_PIX_FMT_YUV420P};
  case VideoCodec::HEVC:
    return {"libx265", AV_PIX_FMT_YUV420P};
  case VideoCodec::Mpeg4:
    return {"mpeg4", AV_PIX_FMT_YUV420P};
  case VideoCodec::VP9:
    return {"libvpx-vp9", AV_PIX_FMT_YUV420P};
  case VideoCodec::ProRes422:
    return {"prores_ks", AV_PIX_FMT_YUV422P10LE};
  case VideoCodec::ProRes4444:
    return {"prores_ks", AV_PIX_FMT_YUV444P10LE};
  case VideoCodec::RawUYVY422:
    return {"rawvideo", AV_PIX_FMT_UYVY422};
  case VideoCodec::RawNV12:
    return {"rawvideo", AV_PIX_FMT_NV12};
  case VideoCodec::RawYUV444P:
    return {"rawvideo", AV_PIX_FMT_YUV444P};
  }
  return {"libx264", AV_PIX_FMT_YUV420P};
}

// High quality and fast: the frames must decode back to their colour codes.
void setEncoderOptions(VideoCodec codec, AVCodecContext *c, AVDictionary **options)
{
  switch (codec) {
  case VideoCodec::H264:
    av_dict_set(options, "preset", "ultrafast", 0);
    av_dict_set(options, "crf", "12", 0);
    break;
  case VideoCodec::HEVC:
    av_dict_set(options, "preset", "ultrafast", 0);
    av_dict_set(options, "crf", "12", 0);
    av_dict_set(options, "x265-params", "log-level=none", 0);
    break;
  case VideoCodec::Mpeg4:
    c->qmin = 2;
    c->qmax = 4;
    c->bit_rate = 4000000;
    break;
  case VideoCodec::VP9:
    av_dict_set(options, "crf", "10", 0);
    av_dict_set(options, "b", "0", 0);
    av_dict_set(options, "deadline", "realtime", 0);
    av_dict_set(options, "cpu-used", "8", 0);
    break;
  case VideoCodec::ProRes422:
    av_dict_set(options, "profile", "standard", 0);
    break;
  case VideoCodec::ProRes4444:
    av_dict_set(options, "profile", "4444", 0);
    break;
  case VideoCodec::RawUYVY422:
  case VideoCodec::RawNV12:
  case VideoCodec::RawYUV444P:
    break;
  }
}

bool encodeVideoFrame(Writer &writer, Writer::Stream *stream, SwsContext *scaler, const QImage &picture)
{
  AVCodecContext *c = stream->codec.get();
  QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  if (rgb.size() != QSize(c->width, c->height))
    rgb = rgb.scaled(c->width, c->height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  FramePtr frame(av_frame_alloc());
  frame->format = c->pix_fmt;
  frame->width = c->width;
  frame->height = c->height;
  if (av_frame_get_buffer(frame.get(), 0) < 0)
    return fail("no memory for video");
  const uint8_t *source[1] = {rgb.constBits()};
  const int sourceStride[1] = {int(rgb.bytesPerLine())};
  sws_scale(scaler, source, sourceStride, 0, c->height, frame->data, frame->linesize);
  frame->pts = stream->nextPts++;
  return writer.encode(stream, frame.get());
}

int nearestLevel(int value)
{
  return qBound(0, (value + kLevelStep / 2) / kLevelStep, kLevels - 1);
}

} // namespace

// --- colour code ---

QColor frameColor(int index)
{
  const int code = ((index % kCodes) + kCodes) % kCodes;
  return QColor(kLevelStep * (code / 36 % 6), kLevelStep * (code / 6 % 6), kLevelStep * (code % 6));
}

int frameIndexFromColor(const QColor &color)
{
  const int r = nearestLevel(color.red()), g = nearestLevel(color.green()), b = nearestLevel(color.blue());
  const int tolerance = 20;
  if (std::abs(color.red() - r * kLevelStep) > tolerance || std::abs(color.green() - g * kLevelStep) > tolerance ||
      std::abs(color.blue() - b * kLevelStep) > tolerance)
    return -1;
  return r * 36 + g * 6 + b;
}

int frameIndexOf(const QImage &image)
{
  if (image.isNull())
    return -1;
  return frameIndexFromColor(image.pixelColor(image.width() / 2, image.height() / 2));
}

QString lastError()
{
  return g_lastError;
}

// --- writers ---

bool writeVideo(const QString &path, const VideoParams &params, const std::function<QImage(int)> &paintFrame)
{
  g_lastError.clear();
  Writer writer;
  if (!writer.open(path))
    return false;
  const VideoCodecSetup setup = setupFor(params.codec);
  AVDictionary *options = nullptr;
  Writer::Stream *video = writer.addStream(setup.encoder, [&](AVCodecContext *c) {
    c->width = params.width;
    c->height = params.height;
    c->pix_fmt = setup.pixelFormat;
    c->time_base = AVRational{1, params.fps};
    c->framerate = AVRational{params.fps, 1};
    c->gop_size = params.gop > 0 ? params.gop : params.fps;
    setEncoderOptions(params.codec, c, &options);
  }, &options);
  av_dict_free(&options);
  if (!video)
    return false;
  Writer::Stream *audio = nullptr;
  if (params.withTone && !(audio = addToneStream(writer, path, params.sampleRate, 2)))
    return false;
  if (params.rotation != 0) {
    // Set takes a clockwise angle; readers take the negative of the matrix's counter-clockwise one.
    auto *matrix = reinterpret_cast<int32_t *>(
      av_stream_new_side_data(video->stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(int32_t)));
    if (!matrix)
      return fail("no memory for the display matrix");
    av_display_rotation_set(matrix, params.rotation);
  }
  if (!writer.begin())
    return false;

  SwsPtr scaler(sws_getContext(params.width, params.height, AV_PIX_FMT_RGB24, params.width, params.height,
                               setup.pixelFormat, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scaler)
    return fail("no colour converter");
  const double toneFrequency = 440.0;
  const int64_t videoEnd = int64_t(params.frames) * params.sampleRate / params.fps;
  const int64_t toneEnd = params.toneSeconds > 0 ? int64_t(params.toneSeconds * params.sampleRate) : videoEnd;
  for (int i = 0; i < params.frames; ++i) {
    // Audio up to the end of this frame first, so the muxer gets the streams interleaved.
    const int64_t until = std::min<int64_t>(int64_t(i + 1) * params.sampleRate / params.fps, toneEnd);
    if (audio && !encodeToneUntil(writer, audio, until, toneFrequency, until == toneEnd))
      return false;
    if (!encodeVideoFrame(writer, video, scaler.get(), paintFrame(i)))
      return false;
  }
  if (audio && toneEnd > videoEnd && !encodeToneUntil(writer, audio, toneEnd, toneFrequency, true))
    return false;
  return writer.finish();
}

bool writeColorVideo(const QString &path, const VideoParams &params)
{
  return writeVideo(path, params, [&](int index) {
    QImage image(params.width, params.height, QImage::Format_RGB888);
    image.fill(frameColor(index));
    return image;
  });
}

bool writeColorVideo(const QString &path, int width, int height, int fps, int frames, VideoCodec codec)
{
  VideoParams params;
  params.width = width;
  params.height = height;
  params.fps = fps;
  params.frames = frames;
  params.codec = codec;
  return writeColorVideo(path, params);
}

bool writeTone(const QString &path, double seconds, double frequency, int sampleRate, int channels)
{
  g_lastError.clear();
  Writer writer;
  if (!writer.open(path))
    return false;
  Writer::Stream *audio = addToneStream(writer, path, sampleRate, channels);
  if (!audio || !writer.begin())
    return false;
  if (!encodeToneUntil(writer, audio, std::llround(seconds * sampleRate), frequency, true))
    return false;
  return writer.finish();
}

QImage quadrantImage(int width, int height)
{
  QImage image(width, height, QImage::Format_RGB32);
  QPainter painter(&image);
  const int halfW = width / 2, halfH = height / 2;
  painter.fillRect(0, 0, halfW, halfH, Qt::red);
  painter.fillRect(halfW, 0, width - halfW, halfH, Qt::green);
  painter.fillRect(0, halfH, halfW, height - halfH, Qt::blue);
  painter.fillRect(halfW, halfH, width - halfW, height - halfH, Qt::white);
  return image;
}

bool writePicture(const QString &path, int width, int height)
{
  g_lastError.clear();
  return quadrantImage(width, height).save(path, nullptr, 95) ? true : fail("cannot save " + path);
}

bool writeEndlessFile(const QString &path, const QByteArray &header)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(header) == header.size() && file.resize(qint64(1) << 40);
}

QByteArray endlessJpegHeader()
{
  // Start of image, then a JFIF segment.
  return QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000");
}

QByteArray endlessGifHeader()
{
  // 100 x 100, no colour table.
  return QByteArray("GIF89a") + QByteArray::fromHex("64006400000000");
}

bool writeAnimatedGif(const QString &path, int width, int height, const QVector<int> &delaysMs)
{
  g_lastError.clear();
  Writer writer;
  if (!writer.open(path))
    return false;
  Writer::Stream *video = writer.addStream("gif", [&](AVCodecContext *c) {
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_PAL8;
    c->time_base = AVRational{1, 100}; // GIF delays count in hundredths of a second
  });
  if (!video)
    return false;
  // The muxer takes each delay from the next frame's time; the last one is given here.
  AVDictionary *muxerOptions = nullptr;
  av_dict_set_int(&muxerOptions, "loop", 0, 0);
  av_dict_set_int(&muxerOptions, "final_delay", delaysMs.isEmpty() ? 0 : delaysMs.last() / 10, 0);
  const bool begun = writer.begin(&muxerOptions);
  av_dict_free(&muxerOptions);
  if (!begun)
    return false;

  int64_t pts = 0;
  for (int i = 0; i < delaysMs.size(); ++i) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(frameColor(i));
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
    FramePtr frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
      return fail("no memory for a GIF frame");
    for (int y = 0; y < height; ++y)
      memcpy(frame->data[0] + y * frame->linesize[0], indexed.constScanLine(y), size_t(width));
    auto *palette = reinterpret_cast<uint32_t *>(frame->data[1]);
    const QVector<QRgb> table = indexed.colorTable();
    for (int c = 0; c < 256; ++c)
      palette[c] = c < table.size() ? table.at(c) : 0xFF000000u;
    frame->pts = pts;
    pts += delaysMs.at(i) / 10;
    if (!writer.encode(video, frame.get()))
      return false;
  }
  return writer.finish();
}

// --- decoders ---

namespace {
// Opens the file and the decoder of its best stream of the type.
bool openBest(const QString &path, AVMediaType type, InputPtr &input, CodecContextPtr &decoder, int &streamIndex)
{
  AVFormatContext *raw = nullptr;
  int r = avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr);
  if (r < 0)
    return fail("cannot open " + path, r);
  input.reset(raw);
  r = avformat_find_stream_info(raw, nullptr);
  if (r < 0)
    return fail("no stream information", r);
  const AVCodec *codec = nullptr;
  streamIndex = av_find_best_stream(raw, type, -1, -1, &codec, 0);
  if (streamIndex < 0 || !codec)
    return fail("no such stream in " + path, streamIndex);
  decoder.reset(avcodec_alloc_context3(codec));
  avcodec_parameters_to_context(decoder.get(), raw->streams[streamIndex]->codecpar);
  decoder->pkt_timebase = raw->streams[streamIndex]->time_base;
  r = avcodec_open2(decoder.get(), codec, nullptr);
  return r < 0 ? fail("cannot open the decoder", r) : true;
}

// Feeds every packet of the stream (then the flush) and hands each decoded frame on;
// `take` returns false to stop early.
void decodeAll(AVFormatContext *input, AVCodecContext *decoder, int streamIndex,
               const std::function<bool(AVFrame *)> &take)
{
  PacketPtr packet(av_packet_alloc());
  FramePtr frame(av_frame_alloc());
  bool more = true;
  auto drain = [&] {
    while (more && avcodec_receive_frame(decoder, frame.get()) >= 0) {
      more = take(frame.get());
      av_frame_unref(frame.get());
    }
  };
  while (more && av_read_frame(input, packet.get()) >= 0) {
    if (packet->stream_index == streamIndex && avcodec_send_packet(decoder, packet.get()) >= 0)
      drain();
    av_packet_unref(packet.get());
  }
  if (more && avcodec_send_packet(decoder, nullptr) >= 0)
    drain();
}
} // namespace

DecodedVideo decodeVideo(const QString &path, int maxFrames)
{
  g_lastError.clear();
  DecodedVideo result;
  InputPtr input;
  CodecContextPtr decoder;
  int streamIndex = -1;
  if (!openBest(path, AVMEDIA_TYPE_VIDEO, input, decoder, streamIndex))
    return result;
  const AVStream *stream = input->streams[streamIndex];
  result.width = decoder->width;
  result.height = decoder->height;
  result.codecName = QString::fromLatin1(decoder->codec->name);
  result.durationSeconds = input->duration == AV_NOPTS_VALUE ? 0 : input->duration / double(AV_TIME_BASE);
  result.frameRate = stream->avg_frame_rate.den ? av_q2d(stream->avg_frame_rate) : 0;

  SwsPtr scaler;
  decodeAll(input.get(), decoder.get(), streamIndex, [&](AVFrame *frame) {
    if (!scaler)
      scaler.reset(sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                  frame->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
    // The fast converters write whole blocks of pixels: past the last row's end at some widths.
    QImage image(frame->width, frame->height + 1, QImage::Format_RGB888);
    uint8_t *target[1] = {image.bits()};
    const int targetStride[1] = {int(image.bytesPerLine())};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, target, targetStride);
    result.frames.push_back(image.copy(0, 0, frame->width, frame->height));
    const int64_t pts = frame->best_effort_timestamp;
    result.times.push_back(pts == AV_NOPTS_VALUE ? 0.0 : pts * av_q2d(stream->time_base));
    return maxFrames < 0 || result.frames.size() < maxFrames;
  });
  result.ok = true;
  return result;
}

DecodedAudio decodeAudio(const QString &path)
{
  g_lastError.clear();
  DecodedAudio result;
  InputPtr input;
  CodecContextPtr decoder;
  int streamIndex = -1;
  if (!openBest(path, AVMEDIA_TYPE_AUDIO, input, decoder, streamIndex))
    return result;
  result.sampleRate = decoder->sample_rate;
  result.channels = decoder->ch_layout.nb_channels;
  result.codecName = QString::fromLatin1(decoder->codec->name);

  SwrPtr resampler;
  bool failed = false;
  decodeAll(input.get(), decoder.get(), streamIndex, [&](AVFrame *frame) {
    if (!resampler) {
      SwrContext *raw = nullptr;
      if (swr_alloc_set_opts2(&raw, &frame->ch_layout, AV_SAMPLE_FMT_FLT, frame->sample_rate, &frame->ch_layout,
                              AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
          swr_init(raw) < 0) {
        swr_free(&raw);
        failed = true;
        return false;
      }
      resampler.reset(raw);
    }
    const int offset = result.samples.size();
    result.samples.resize(offset + frame->nb_samples * result.channels);
    uint8_t *target[1] = {reinterpret_cast<uint8_t *>(result.samples.data() + offset)};
    const int converted = swr_convert(resampler.get(), target, frame->nb_samples,
                                      const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
    result.samples.resize(offset + qMax(0, converted) * result.channels);
    return true;
  });
  if (failed)
    fail("cannot convert the samples");
  result.ok = !failed;
  return result;
}

} // namespace MediaFixtures
