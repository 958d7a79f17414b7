#include "mp3encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>
#include <memory>

namespace Mp3Encoder {

namespace {

// The muxer seeks back to fill in the Xing header, so it writes into a seekable buffer.
struct MemoryFile
{
  QByteArray bytes;
  qint64 pos = 0;

  static int write(void *opaque, uint8_t *data, int size)
  {
    auto *f = static_cast<MemoryFile *>(opaque);
    if (f->pos + size > f->bytes.size())
      f->bytes.resize(int(f->pos + size));
    std::memcpy(f->bytes.data() + f->pos, data, size_t(size));
    f->pos += size;
    return size;
  }

  static int64_t seek(void *opaque, int64_t offset, int whence)
  {
    auto *f = static_cast<MemoryFile *>(opaque);
    if (whence & AVSEEK_SIZE)
      return f->bytes.size();
    switch (whence & 3) {
    case SEEK_SET: f->pos = offset; break;
    case SEEK_CUR: f->pos += offset; break;
    case SEEK_END: f->pos = f->bytes.size() + offset; break;
    default: return -1;
    }
    return f->pos;
  }
};

struct PacketFree
{
  void operator()(AVPacket *p) const { av_packet_free(&p); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

QString avError(const char *what, int code)
{
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof(text));
  return QString("%1: %2").arg(what, text);
}

// Silent frames before each clip: the frame before a clip's first decodes to silence, so a
// decoder starting at the clip misses nothing, and the previous clip's tail has ended.
constexpr int kGapFrames = 3;
// libmp3lame's decoded output lags its input by this many samples (encoder and decoder delay).
constexpr int kDelay = 576 + 528 + 1;

} // namespace

struct Encoder::Private
{
  AVCodecContext *enc = nullptr;
  AVFrame *frame = nullptr;
  std::vector<Packet> packets;
};

Encoder::Encoder(int bitRate) : _d(new Private)
{
  const AVCodec *codec = avcodec_find_encoder_by_name("libmp3lame");
  if (!codec) {
    _error = "FFmpeg has no libmp3lame encoder";
    return;
  }
  _d->enc = avcodec_alloc_context3(codec);
  _d->enc->sample_rate = kRate;
  _d->enc->sample_fmt = AV_SAMPLE_FMT_FLTP;
  av_channel_layout_default(&_d->enc->ch_layout, 1);
  _d->enc->bit_rate = bitRate;
  _d->enc->time_base = {1, kRate};
  _d->enc->flags |= AV_CODEC_FLAG_BITEXACT;
  // Faster than the default and plenty for synthesised sounds.
  _d->enc->compression_level = 7;
  // Frames that borrow no bits from their predecessors can be cut apart and repeated.
  av_opt_set_int(_d->enc->priv_data, "reservoir", 0, 0);
  const int ret = avcodec_open2(_d->enc, codec, nullptr);
  if (ret < 0) {
    _error = avError("opening libmp3lame", ret);
    return;
  }
  if (_d->enc->initial_padding != kDelay || _d->enc->frame_size != kFrameSamples)
    _error = "libmp3lame has an unexpected delay or frame size";
  _d->frame = av_frame_alloc();
}

Encoder::~Encoder()
{
  av_frame_free(&_d->frame);
  avcodec_free_context(&_d->enc);
  delete _d;
}

bool Encoder::_drain()
{
  Packet pkt(av_packet_alloc());
  int ret;
  while ((ret = avcodec_receive_packet(_d->enc, pkt.get())) == 0) {
    _d->packets.emplace_back(av_packet_alloc());
    av_packet_move_ref(_d->packets.back().get(), pkt.get());
  }
  if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF)
    _error = avError("encoding", ret);
  return _error.isEmpty();
}

// Whole frames only: `count` is a multiple of the frame size, null samples being silence.
bool Encoder::_feed(const float *samples, int count)
{
  for (int at = 0; at < count && _error.isEmpty(); at += kFrameSamples) {
    AVFrame *frame = _d->frame;
    frame->nb_samples = kFrameSamples;
    frame->format = _d->enc->sample_fmt;
    frame->sample_rate = kRate;
    av_channel_layout_copy(&frame->ch_layout, &_d->enc->ch_layout);
    frame->pts = _fed;
    int ret = av_frame_get_buffer(frame, 0);
    if (ret < 0) {
      _error = avError("frame", ret);
      break;
    }
    if (samples)
      std::memcpy(frame->data[0], samples + at, sizeof(float) * kFrameSamples);
    else
      std::memset(frame->data[0], 0, sizeof(float) * kFrameSamples);
    ret = avcodec_send_frame(_d->enc, frame);
    av_frame_unref(frame);
    _fed += kFrameSamples;
    if (ret < 0)
      _error = avError("encoding", ret);
    else
      _drain();
  }
  return _error.isEmpty();
}

bool Encoder::add(const Clip &clip)
{
  if (!_error.isEmpty())
    return false;
  _feed(nullptr, kGapFrames * kFrameSamples);
  const int count = int(clip.samples.size());
  const int whole = (count + kFrameSamples - 1) / kFrameSamples * kFrameSamples;
  std::vector<float> padded(size_t(whole), 0.f);
  std::copy(clip.samples.begin(), clip.samples.end(), padded.begin());
  // The frames that decode the clip, with the encoder's lag, end one frame after its input.
  _placed.push_back({int(_fed / kFrameSamples), whole / kFrameSamples + 1, count, clip.loopStart, clip.period,
                     clip.extraPeriods});
  return _feed(padded.data(), whole);
}

bool Encoder::finish()
{
  if (!_error.isEmpty() || !_feed(nullptr, kGapFrames * kFrameSamples))
    return false;
  avcodec_send_frame(_d->enc, nullptr);
  return _drain();
}

QByteArray Encoder::file(int index)
{
  const Placed &c = _placed[size_t(index)];
  if (!_error.isEmpty() || c.firstFrame + c.frames > int(_d->packets.size())) {
    _error = _error.isEmpty() ? QString("the encoder gave too few frames") : _error;
    return {};
  }
  // Frame i decodes samples from i * 1152 on, less the lag; the frame before the repeated run
  // leads into it just as the run's last frame does, the signal being periodic there.
  const int first = c.loopStart / kFrameSamples, n = c.period / kFrameSamples;
  std::vector<AVPacket *> order;
  for (int i = 0; i < c.frames; ++i) {
    order.push_back(_d->packets[size_t(c.firstFrame + i)].get());
    if (n > 0 && i == first + n - 1)
      for (int r = 0; r < c.extraPeriods; ++r)
        for (int k = first; k < first + n; ++k)
          order.push_back(_d->packets[size_t(c.firstFrame + k)].get());
  }
  const qint64 decoded = qint64(order.size()) * kFrameSamples - kDelay;
  const qint64 wanted = c.samples + qint64(c.extraPeriods) * c.period;

  AVFormatContext *fmt = nullptr;
  int ret = avformat_alloc_output_context2(&fmt, nullptr, "mp3", nullptr);
  if (ret < 0) {
    _error = avError("mp3 muxer", ret);
    return {};
  }
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext *)> fmtOwner(fmt, [](AVFormatContext *f) {
    if (f->pb)
      av_freep(&f->pb->buffer);
    avio_context_free(&f->pb);
    avformat_free_context(f);
  });
  MemoryFile file;
  const int bufferSize = 1 << 16;
  fmt->pb = avio_alloc_context(static_cast<unsigned char *>(av_malloc(bufferSize)), bufferSize, 1, &file, nullptr,
                               &MemoryFile::write, &MemoryFile::seek);
  fmt->flags |= AVFMT_FLAG_BITEXACT;
  AVStream *stream = avformat_new_stream(fmt, nullptr);
  avcodec_parameters_from_context(stream->codecpar, _d->enc);
  stream->time_base = _d->enc->time_base;
  AVDictionary *options = nullptr;
  av_dict_set(&options, "id3v2_version", "0", 0);
  ret = avformat_write_header(fmt, &options);
  av_dict_free(&options);
  if (ret < 0) {
    _error = avError("writing the header", ret);
    return {};
  }
  Packet copy(av_packet_alloc());
  for (size_t i = 0; i < order.size() && ret >= 0; ++i) {
    av_packet_ref(copy.get(), order[i]);
    av_packet_free_side_data(copy.get());
    copy->pts = copy->dts = qint64(i) * kFrameSamples;
    copy->duration = kFrameSamples;
    copy->stream_index = 0;
    // The muxer's LAME header takes the delay from the first frame's trimming and the padding
    // from the last's.
    if (i == 0 || i + 1 == order.size()) {
      uint8_t *skip = av_packet_new_side_data(copy.get(), AV_PKT_DATA_SKIP_SAMPLES, 10);
      AV_WL32(skip, i == 0 ? uint32_t(kDelay) : 0u);
      AV_WL32(skip + 4, i + 1 == order.size() ? uint32_t(decoded - wanted) : 0u);
      skip[8] = skip[9] = 0;
    }
    av_packet_rescale_ts(copy.get(), _d->enc->time_base, stream->time_base);
    ret = av_write_frame(fmt, copy.get());
    av_packet_unref(copy.get());
  }
  if (ret >= 0)
    ret = av_write_trailer(fmt);
  if (ret < 0) {
    _error = avError("writing the file", ret);
    return {};
  }
  avio_flush(fmt->pb);
  return file.bytes;
}

} // namespace Mp3Encoder
