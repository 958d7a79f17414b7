#include "avexportstream.h"

#include "avcommon.h"
#include "avcomposition.h"
#include "avglglue.h"
#include "avglresources.h"

#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

// Pictures on their way to the video encoder: the export thread composes, reads back and
// converts the next frame while the encoder thread encodes this one. A queued picture is in
// the encoder's format (planes of 12 or 20 bits a pixel where BGRA takes 32), and a few bound
// the memory.
struct AVVideoEncodeQueue
{
  AVMutex mutex;
  AVCondition changed;
  std::deque<AVFrame *> pending; // converted pictures, their pts set
  // Encoded pictures' frames for the next conversions: fresh blocks cost page faults.
  std::vector<AVFrame *> spare;
  uint8_t *readBack = nullptr; // the export thread's BGRA picture
  bool busy = false; // the encoder thread holds a picture
  bool stop = false;
  int result = 0; // the encoder thread's first error
  AVThread *thread = nullptr;
  AVFormatContext *output = nullptr;
  AVExportStream *stream = nullptr;
  int width = 0, height = 0;
};

namespace {
constexpr int kMixPassesBeforeWaiting = 100;
constexpr int kMixPassesGiveUp = 106;
// Pictures read back and waiting for the encoder: two smooth out its pace; each more costs a
// frame of memory and gained no speed.
constexpr size_t kQueuedPictures = 2;

const char *_errorText(int code, char (&text)[64])
{
  av_strerror(code, text, sizeof(text));
  return text;
}

bool _listsPixelFormat(const AVCodec *codec, AVPixelFormat format)
{
  for (const AVPixelFormat *f = codec->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f)
    if (*f == format)
      return true;
  return false;
}

AVPixelFormat _videoPixelFormat(const AVCodec *codec, const AVExportSettings &settings)
{
  AVPixelFormat wanted = AV_PIX_FMT_YUV420P;
  if (settings.alpha && settings.kind == 1)
    wanted = AV_PIX_FMT_BGRA;
  else if (settings.alpha && settings.kind == 3)
    wanted = AV_PIX_FMT_YUVA420P;
  if (_listsPixelFormat(codec, wanted))
    return wanted;
  return _listsPixelFormat(codec, AV_PIX_FMT_NV12) ? AV_PIX_FMT_NV12 : AV_PIX_FMT_YUV420P;
}

// Hands every packet the encoder has ready to the muxer. Returns the packets written, or
// readError / writeError.
int _receivePackets(AVFormatContext *output, AVExportStream *s, int readError, int writeError, bool video)
{
  int written = 0;
  for (;;) {
    int result = avcodec_receive_packet(s->encoder, s->packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
      return written;
    char text[64];
    if (result < 0) {
      avPrint(video ? "Error encoding video frame: %s\n" : "Error encoding audio frame: %s\n", _errorText(result, text));
      return readError;
    }
    // libx264 leaves the duration out; without it MP4's edit list ends where the last frame
    // starts and players drop that frame. The encoder counts in frames.
    if (video && s->packet->duration <= 0)
      s->packet->duration = 1;
    av_packet_rescale_ts(s->packet, s->encoder->time_base, s->stream->time_base);
    s->packet->stream_index = s->stream->index;
    {
      AVMutexLocker lock(s->muxLock);
      result = av_interleaved_write_frame(output, s->packet);
    }
    if (result < 0) {
      avPrint(video ? "Error while writing video frame: %s\n" : "Error while writing audio frame: %s\n",
              _errorText(result, text));
      return writeError;
    }
    ++written;
  }
}

// Sends frame (none drains) and writes what comes out: packets written or an error code.
int _encode(AVFormatContext *output, AVExportStream *s, AVFrame *frame, bool video)
{
  const int sendError = video ? -17 : -14;
  const int result = avcodec_send_frame(s->encoder, frame);
  if (result < 0 && result != AVERROR_EOF) {
    char text[64];
    avPrint(video ? "Error sending video frame: %s\n" : "Error encoding audio frame: %s\n", _errorText(result, text));
    return sendError;
  }
  return _receivePackets(output, s, sendError, video ? -18 : -15, video);
}

AVFrame *_allocVideoFrame(AVPixelFormat format, int width, int height)
{
  AVFrame *frame = av_frame_alloc();
  if (!frame)
    return nullptr;
  frame->format = format;
  frame->width = width;
  frame->height = height;
  if (av_frame_get_buffer(frame, 32) < 0) {
    avPrint("Could not allocate frame data.\n");
    av_frame_free(&frame);
  }
  return frame;
}

AVFrame *_allocAudioFrame(AVSampleFormat format, const AVChannelLayout *layout, int rate, int samples)
{
  AVFrame *frame = av_frame_alloc();
  if (!frame) {
    avPrint("Error allocating an audio frame\n");
    return nullptr;
  }
  frame->format = format;
  av_channel_layout_copy(&frame->ch_layout, layout);
  frame->sample_rate = rate;
  frame->nb_samples = samples;
  if (samples && av_frame_get_buffer(frame, 0) < 0) {
    avPrint("Error allocating an audio buffer\n");
    av_frame_free(&frame);
  }
  return frame;
}

// The conversion planes offset by a number of samples per channel, by the encoder's real
// sample size and planarity.
void _conversionAt(const AVExportStream *s, int samples, uint8_t **planes)
{
  const auto format = AVSampleFormat(s->encoder->sample_fmt);
  const int channels = s->encoder->ch_layout.nb_channels;
  const int bytes = av_get_bytes_per_sample(format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int count = planar ? channels : 1;
  const int step = planar ? bytes : bytes * channels;
  for (int p = 0; p < count; ++p)
    planes[p] = s->conversion[p] + size_t(samples) * step;
}

// Moves count samples from the front of the conversion buffer into the encoder frame (whose
// nb_samples is already set) and closes the gap.
void _takeConversion(AVExportStream *s, int count)
{
  const auto format = AVSampleFormat(s->encoder->sample_fmt);
  const bool planar = av_sample_fmt_is_planar(format);
  const int channels = s->encoder->ch_layout.nb_channels;
  const size_t step = size_t(av_get_bytes_per_sample(format)) * (planar ? 1 : channels);
  const int rest = s->conversionFill - count;
  for (int p = 0; p < (planar ? channels : 1); ++p) {
    memcpy(s->frame->data[p], s->conversion[p], step * count);
    memmove(s->conversion[p], s->conversion[p] + step * count, step * rest);
  }
  s->conversionFill = rest;
}

// Encodes count samples of the conversion buffer as one frame. A short frame is padded with
// silence when the encoder takes only whole frames. Packets written, or an error code.
int _encodeConverted(AVFormatContext *output, AVExportStream *s, int count)
{
  if (av_frame_make_writable(s->frame) < 0)
    return -16;
  const int frameSize = s->frame->nb_samples;
  const bool shortAllowed = s->encoder->codec->capabilities &
                            (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  const int full = s->frameSamples;
  s->frame->nb_samples = count;
  _takeConversion(s, count);
  if (count < full && !shortAllowed) {
    av_samples_set_silence(s->frame->data, count, full - count, s->encoder->ch_layout.nb_channels,
                           AVSampleFormat(s->encoder->sample_fmt));
    s->frame->nb_samples = full;
  }
  s->frame->pts = av_rescale_q(s->samplesCount, AVRational{1, s->encoder->sample_rate}, s->encoder->time_base);
  s->samplesCount += count;
  s->nextPts = s->samplesCount;
  const int result = _encode(output, s, s->frame, false);
  s->frame->nb_samples = frameSize;
  return result;
}

// Resamples input samples (none flushes the resampler) after the conversion fill. 0 or -13.
int _convert(AVExportStream *s, const uint8_t **input, int count)
{
  uint8_t *planes[AV_NUM_DATA_POINTERS] = {};
  _conversionAt(s, s->conversionFill, planes);
  const int room = s->conversionCapacity - s->conversionFill;
  const int converted = swr_convert(s->resampler, planes, room, input, count);
  if (converted < 0) {
    avPrint("Error while converting\n");
    return -13;
  }
  s->conversionFill += converted;
  return 0;
}

// The next mixer frame in the temporary frame, or none when the sound has ended.
AVFrame *_getAudioFrame(AVExportStream *s, AVComposition *composition)
{
  const int frameBytes = composition->channels() * 2;
  int wanted = frameBytes * s->frameSamples;
  if (s->mixFill < wanted) {
    const double t = double(s->nextPts) * av_q2d(s->encoder->time_base);
    int passes = 0;
    while (!composition->mixWindowComplete()) {
      composition->update(t, true, false, 1, false, true);
      ++passes;
      if (passes >= kMixPassesGiveUp) {
        avTrace("give up in getAudioFrame\n");
        break;
      }
      if (passes >= kMixPassesBeforeWaiting)
        avThreadSleep(0.05);
    }
    double start = 0;
    s->mixFill += composition->readMixed(s->mixBuffer + s->mixFill, s->mixCapacity - s->mixFill, &start);
    if (s->mixFill == 0)
      return nullptr;
    wanted = std::min(wanted, s->mixFill / frameBytes * frameBytes);
    if (wanted == 0)
      return nullptr;
  }
  if (av_frame_make_writable(s->tempFrame) < 0)
    return nullptr;
  memcpy(s->tempFrame->data[0], s->mixBuffer, size_t(wanted));
  memmove(s->mixBuffer, s->mixBuffer + wanted, size_t(s->mixFill - wanted));
  s->mixFill -= wanted;
  // Only the samples present: a short last frame must not carry older ones.
  s->tempFrame->nb_samples = wanted / frameBytes;
  return s->tempFrame;
}

// A frame for one picture in the encoder's format: a spare one, or a new one (none when out of
// memory).
AVFrame *_encoderFrame(AVVideoEncodeQueue *q)
{
  {
    AVMutexLocker lock(&q->mutex);
    if (!q->spare.empty()) {
      AVFrame *frame = q->spare.back();
      q->spare.pop_back();
      return frame;
    }
  }
  const AVCodecContext *c = q->stream->encoder;
  return _allocVideoFrame(c->pix_fmt, c->width, c->height);
}

// Reads the latest composed frame, or the one before it, back as BGRA into pixels: false when
// it cannot be read at the queue's size.
bool _readComposedPicture(AVExportStream *s, AVComposition *composition, bool previous, uint8_t *pixels)
{
  const int width = s->encodeQueue->width, height = s->encodeQueue->height;
  bool read = false;
  composition->lockRenderer();
  makeRendererCurrent(s->renderer);
  AVFrameBuffer *output = previous ? composition->previousOutputFrameBuffer() : composition->outputFrameBuffer();
  if (avGL() && output && pixels && int(frameBufferWidth(output)) == width &&
      int(frameBufferHeight(output)) == height && composition->renderWidth() == width &&
      composition->renderHeight() == height) {
    // Bound for reading only: the frame still being drawn stays the draw target, so reading
    // the one before does not wait for it.
    avGL()->glBindFramebuffer(GL_READ_FRAMEBUFFER, output->framebuffer);
    read = readTexturePixelsInto(frameBufferTexture(output), pixels);
  }
  doneRendererCurrent(s->renderer);
  composition->unlockRenderer();
  return read;
}

// A converter of the queue's BGRA pictures into the encoder's frames; its threads share the
// work of a large picture.
SwsContext *_pictureConverter(const AVVideoEncodeQueue *q)
{
  const AVCodecContext *c = q->stream->encoder;
  SwsContext *converter = sws_alloc_context();
  if (!converter)
    return nullptr;
  const std::pair<const char *, int64_t> options[] = {
    {"srcw", q->width}, {"srch", q->height}, {"src_format", AV_PIX_FMT_BGRA}, {"dstw", c->width},
    {"dsth", c->height}, {"dst_format", c->pix_fmt}, {"sws_flags", SWS_POINT}, {"threads", 4}};
  for (const auto &[name, value] : options)
    av_opt_set_int(converter, name, value, 0);
  if (sws_init_context(converter, nullptr, nullptr) < 0)
    sws_freeContext(converter), converter = nullptr;
  return converter;
}

void _keepPicture(void *, uint8_t *) {}

// Converts a BGRA picture into a frame for the encoder: false when it cannot.
bool _convertPicture(AVVideoEncodeQueue *q, const uint8_t *pixels, AVFrame *frame)
{
  AVExportStream *s = q->stream;
  if (!s->converter && !(s->converter = _pictureConverter(q))) {
    avPrint("Could not initialize the conversion context\n");
    return false;
  }
  // The encoder may still hold the frame from its last use.
  if (av_frame_make_writable(frame) < 0)
    return false;
  AVFrame *source = av_frame_alloc();
  if (!source)
    return false;
  source->format = AV_PIX_FMT_BGRA;
  source->width = q->width;
  source->height = q->height;
  source->data[0] = const_cast<uint8_t *>(pixels);
  source->linesize[0] = q->width * 4;
  // Lent, not owned: the converter takes a reference instead of copying the picture.
  source->buf[0] = av_buffer_create(source->data[0], size_t(source->linesize[0]) * q->height, _keepPicture, nullptr, 0);
  const bool converted = source->buf[0] && sws_scale_frame(s->converter, frame, source) >= 0;
  av_frame_free(&source);
  return converted;
}

int _encodeLoop(AVThread *, void *argument)
{
  auto *q = static_cast<AVVideoEncodeQueue *>(argument);
  AVMutexLocker lock(&q->mutex);
  for (;;) {
    while (q->pending.empty() && !q->stop)
      avCondWait(&q->changed, &q->mutex);
    if (q->stop)
      return 0;
    AVFrame *frame = q->pending.front();
    q->pending.pop_front();
    q->busy = true;
    const bool failed = q->result < 0;
    avCondWakeAll(&q->changed);
    lock.unlock();
    // After an error the pictures are only taken, so the export thread never waits on a full queue.
    const int written = failed ? 0 : _encode(q->output, q->stream, frame, true);
    const int result = written < 0 ? written : 0;
    lock.relock();
    q->spare.push_back(frame);
    q->busy = false;
    if (result < 0 && q->result == 0)
      q->result = result;
    avCondWakeAll(&q->changed);
  }
}

AVVideoEncodeQueue *_startEncodeQueue(AVFormatContext *output, AVExportStream *s, int width, int height)
{
  auto *q = new AVVideoEncodeQueue;
  q->output = output;
  q->stream = s;
  q->width = width;
  q->height = height;
  q->thread = avThreadCreate(_encodeLoop, q);
  avThreadStart(q->thread);
  return q;
}

// Waits while the queue is full: 0, or the encoder thread's error. Only the export thread
// queues, so the room stays.
int _waitForRoom(AVVideoEncodeQueue *q)
{
  AVMutexLocker lock(&q->mutex);
  while (q->result == 0 && q->pending.size() >= kQueuedPictures)
    avCondWait(&q->changed, &q->mutex);
  return q->result;
}

// Hands a frame (owned from here on) to the encoder thread: 0, or its error.
int _queuePicture(AVVideoEncodeQueue *q, AVFrame *frame)
{
  AVMutexLocker lock(&q->mutex);
  if (q->result < 0) {
    q->spare.push_back(frame);
    return q->result;
  }
  q->pending.push_back(frame);
  avCondWakeAll(&q->changed);
  return 0;
}

// Reads back the frame composed last for the stream (see composedPts) and hands it to the
// encoder thread: 0 or an error code.
int _queueComposed(AVExportStream *s, AVComposition *composition, bool previous)
{
  AVVideoEncodeQueue *q = s->encodeQueue;
  if (!q->readBack)
    q->readBack = static_cast<uint8_t *>(malloc(size_t(q->width) * q->height * 4));
  // A frame that cannot be rendered must not pass for the end of the movie.
  if (!_readComposedPicture(s, composition, previous, q->readBack)) {
    avPrint("Could not read the composed frame\n");
    s->failed = true;
    return -17;
  }
  // Converted once there is room: a picture that waits holds no frame of its own, and the
  // encoder still has the queued one to go on with.
  if (int result = _waitForRoom(q))
    return result;
  AVFrame *frame = _encoderFrame(q);
  if (!frame || !_convertPicture(q, q->readBack, frame)) {
    av_frame_free(&frame);
    return -17;
  }
  frame->pts = s->composedPts;
  s->composedPts = -1;
  return _queuePicture(q, frame);
}

// Waits until the encoder thread has encoded every queued picture: 0, or its error. The
// encoder is then the calling thread's to use.
int _finishQueue(AVVideoEncodeQueue *q)
{
  if (!q)
    return 0;
  AVMutexLocker lock(&q->mutex);
  while (!q->pending.empty() || q->busy)
    avCondWait(&q->changed, &q->mutex);
  return q->result;
}

void _stopEncodeQueue(AVVideoEncodeQueue *q)
{
  {
    AVMutexLocker lock(&q->mutex);
    q->stop = true;
    avCondWakeAll(&q->changed);
  }
  avThreadWait(q->thread);
  avThreadDestroy(q->thread);
  for (AVFrame *frame : q->pending)
    av_frame_free(&frame);
  for (AVFrame *frame : q->spare)
    av_frame_free(&frame);
  free(q->readBack);
  delete q;
}
} // namespace

int addExportStream(AVExportStream *s, AVFormatContext *output, const AVCodec *codec, bool video,
                    const AVExportSettings &settings)
{
  if (!codec) {
    const AVCodecID id = video ? output->oformat->video_codec : output->oformat->audio_codec;
    avPrint("Could not find encoder for '%s'\n", avcodec_get_name(id));
    return -3;
  }
  s->stream = avformat_new_stream(output, nullptr);
  s->packet = av_packet_alloc();
  if (!s->stream || !s->packet) {
    avPrint("Could not allocate stream\n");
    return -4;
  }
  s->stream->id = int(output->nb_streams) - 1;
  s->encoder = avcodec_alloc_context3(codec);
  if (!s->encoder) {
    avPrint("Could not allocate stream\n");
    return -4;
  }
  AVCodecContext *c = s->encoder;
  if (video) {
    c->codec_id = codec->id;
    c->bit_rate = settings.videoBitRate;
    c->width = settings.width;
    c->height = settings.height;
    s->stream->time_base = AVRational{1, settings.frameRate};
    c->time_base = s->stream->time_base;
    c->framerate = AVRational{settings.frameRate, 1};
    c->gop_size = 12;
    c->pix_fmt = _videoPixelFormat(codec, settings);
    // Options an encoder does not know are ignored.
    if (codec->id == AV_CODEC_ID_H264) {
      av_opt_set(c->priv_data, "preset", "superfast", 0);
    } else if (codec->id == AV_CODEC_ID_HEVC) {
      c->codec_tag = MKTAG('h', 'v', 'c', '1');
      c->bit_rate = settings.videoBitRate * 6 / 10;
      av_opt_set_int(c->priv_data, "allow_sw", 1, 0);
      if (settings.alpha)
        av_opt_set_double(c->priv_data, "alpha_quality", 1.0, 0);
      // The software encoder's default preset is far slower than the hardware ones.
      if (strcmp(codec->name, "libx265") == 0)
        av_opt_set(c->priv_data, "preset", "superfast", 0);
    }
  } else {
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    c->bit_rate = settings.audioBitRate;
    c->sample_rate = settings.sampleRate;
    if (codec->supported_samplerates) {
      bool listed = false;
      for (const int *rate = codec->supported_samplerates; *rate; ++rate)
        listed = listed || *rate == settings.sampleRate;
      if (!listed)
        c->sample_rate = codec->supported_samplerates[0];
    }
    av_channel_layout_default(&c->ch_layout, settings.channels < 2 ? 1 : 2);
    s->stream->time_base = AVRational{1, c->sample_rate};
    c->time_base = s->stream->time_base;
  }
  if (output->oformat->flags & AVFMT_GLOBALHEADER)
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  return 0;
}

static AVDictionary *_encoderOptions(const std::string &extra)
{
  AVDictionary *options = nullptr;
  if (!extra.empty())
    av_dict_parse_string(&options, extra.c_str(), "=", ":", 0);
  if (!av_dict_get(options, "threads", nullptr, 0))
    av_dict_set(&options, "threads", "auto", 0);
  return options;
}

int openVideoStream(AVExportStream *s, const AVExportSettings &settings)
{
  AVDictionary *options = _encoderOptions(settings.videoOptions);
  int result = avcodec_open2(s->encoder, s->encoder->codec, &options);
  av_dict_free(&options);
  char text[64];
  if (result < 0) {
    avPrint("Could not open video codec: %s\n", _errorText(result, text));
    return -5;
  }
  if (avcodec_parameters_from_context(s->stream->codecpar, s->encoder) < 0) {
    avPrint("Could not copy the stream parameters\n");
    return -5;
  }
  s->frame = _allocVideoFrame(s->encoder->pix_fmt, s->encoder->width, s->encoder->height);
  if (!s->frame) {
    avPrint("Could not allocate video frame\n");
    return -6;
  }
  return 0;
}

int openAudioStream(AVExportStream *s, AVComposition *composition)
{
  AVCodecContext *c = s->encoder;
  AVDictionary *options = _encoderOptions(std::string());
  int result = avcodec_open2(c, c->codec, &options);
  av_dict_free(&options);
  char text[64];
  if (result < 0) {
    avPrint("Could not open audio codec: %s\n", _errorText(result, text));
    return -7;
  }
  if (avcodec_parameters_from_context(s->stream->codecpar, c) < 0) {
    avPrint("Could not copy the stream parameters\n");
    return -7;
  }
  const int samples = (c->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) ? 10000 : c->frame_size;
  s->frameSamples = samples;
  AVChannelLayout mixLayout;
  av_channel_layout_default(&mixLayout, composition->channels());
  s->frame = _allocAudioFrame(c->sample_fmt, &c->ch_layout, c->sample_rate, samples);
  s->tempFrame = _allocAudioFrame(AV_SAMPLE_FMT_S16, &mixLayout, composition->sampleRate(), samples);
  if (!s->frame || !s->tempFrame) {
    av_channel_layout_uninit(&mixLayout);
    return -8;
  }
  result = swr_alloc_set_opts2(&s->resampler, &c->ch_layout, c->sample_fmt, c->sample_rate, &mixLayout,
                               AV_SAMPLE_FMT_S16, composition->sampleRate(), 0, nullptr);
  av_channel_layout_uninit(&mixLayout);
  if (result < 0 || !s->resampler) {
    avPrint("Could not allocate resampler context\n");
    return -9;
  }
  if (swr_init(s->resampler) < 0) {
    avPrint("Failed to initialize the resampling context\n");
    return -10;
  }
  s->mixCapacity = composition->sampleRate() * composition->channels() * 2;
  s->mixBuffer = static_cast<uint8_t *>(av_mallocz(size_t(s->mixCapacity)));
  // Room for a few frames of resampled samples, whatever the rate change.
  s->conversionCapacity = samples * 4 + 1024;
  if (!s->mixBuffer ||
      av_samples_alloc_array_and_samples(&s->conversion, nullptr, c->ch_layout.nb_channels, s->conversionCapacity,
                                         c->sample_fmt, 0) < 0) {
    avPrint("Error allocating an audio buffer\n");
    return -8;
  }
  return 0;
}

double nextVideoTime(const AVExportStream *s)
{
  return double(s->nextPts) / s->encoder->framerate.num * s->encoder->framerate.den;
}

int writeVideoFrame(AVFormatContext *output, AVExportStream *s, AVComposition *composition)
{
  const double t = nextVideoTime(s);
  if (t < composition->duration()) {
    if (!s->encodeQueue) {
      s->encodeQueue = _startEncodeQueue(output, s, composition->renderWidth(), composition->renderHeight());
      s->composition = composition;
      composition->setKeepPreviousFrame(true);
    }
    // This frame is drawn while the one before is read back.
    composition->update(t, false, true, 2, false, true);
    if (s->composedPts >= 0)
      if (int result = _queueComposed(s, composition, true))
        return result;
    s->composedPts = s->nextPts++;
    return 0;
  }
  if (s->composedPts >= 0)
    if (int result = _queueComposed(s, composition, false))
      return result;
  if (int result = _finishQueue(s->encodeQueue))
    return result;
  const int written = _encode(output, s, nullptr, true);
  if (written < 0)
    return written;
  return written > 0 ? 0 : 1;
}

int writeAudioFrame(AVFormatContext *output, AVExportStream *s, AVComposition *composition)
{
  AVFrame *frame = s->inputEnded ? nullptr : _getAudioFrame(s, composition);
  if (frame) {
    const uint8_t *input[1] = {frame->data[0]};
    if (int result = _convert(s, input, frame->nb_samples))
      return result;
  } else if (!s->inputEnded) {
    // The resampler's delayed samples, then what is left as a last, shorter frame.
    if (int result = _convert(s, nullptr, 0))
      return result;
  }
  const int full = s->frameSamples;
  while (s->conversionFill >= full) {
    const int result = _encodeConverted(output, s, full);
    if (result < 0)
      return result;
  }
  if (frame)
    return 0;
  int written = 0;
  if (!s->inputEnded) {
    s->inputEnded = true;
    if (s->conversionFill > 0) {
      written = _encodeConverted(output, s, s->conversionFill);
      if (written < 0)
        return written;
    }
  }
  const int drained = _encode(output, s, nullptr, false);
  if (drained < 0)
    return drained;
  return written + drained > 0 ? 0 : 1;
}

int drainExportStream(AVFormatContext *output, AVExportStream *s, bool video)
{
  if (s->composedPts >= 0 && s->composition)
    if (int result = _queueComposed(s, s->composition, false))
      return result;
  if (int result = _finishQueue(s->encodeQueue))
    return result;
  const int result = _encode(output, s, nullptr, video);
  return result < 0 ? result : 0;
}

void closeExportStream(AVExportStream *s)
{
  if (s->composition)
    s->composition->setKeepPreviousFrame(false);
  s->composition = nullptr;
  if (s->encodeQueue)
    _stopEncodeQueue(s->encodeQueue);
  s->encodeQueue = nullptr;
  avcodec_free_context(&s->encoder);
  av_frame_free(&s->frame);
  av_frame_free(&s->tempFrame);
  av_packet_free(&s->packet);
  sws_freeContext(s->converter);
  s->converter = nullptr;
  swr_free(&s->resampler);
  av_freep(&s->mixBuffer);
  if (s->conversion)
    av_freep(&s->conversion[0]);
  av_freep(&s->conversion);
  s->stream = nullptr;
  s->mixFill = s->mixCapacity = s->conversionFill = s->conversionCapacity = 0;
}
