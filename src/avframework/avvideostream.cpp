#include "avvideostream.h"

#include "avcommon.h"
#include "avpixelbuffer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/hwcontext.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {
// The seek ended without a picture: a non-null data value that is not a frame.
uint8_t *const kEndOfStreamMarker = reinterpret_cast<uint8_t *>(uintptr_t(1));
// A decoder being drained gives each of its pictures or an error for it, then the end; the bound
// only guards against one that never ends.
constexpr int kMaxDamagedWhileDraining = 64;
// A picture this little after an exact target counts as at it: the target is computed from the
// timeline in floating point, and may fall a rounding error short of the picture due there.
constexpr double kTimeHair = 1e-6;
constexpr double kMillisecond = 0.001;

// Degrees clockwise from the "rotate" tag or, as FFmpeg 5.1 writes no such tag, the display
// matrix; snapped to a quarter turn.
int _streamRotation(const AVStream *stream)
{
  const AVDictionaryEntry *tag = av_dict_get(stream->metadata, "rotate", nullptr, 0);
  if (tag && tag->value) {
    const std::string value = tag->value;
    if (value == "90" || value == "180" || value == "270")
      return std::atoi(tag->value);
    return 0;
  }
  size_t size = 0;
  const uint8_t *matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
  if (!matrix || size < 9 * sizeof(int32_t))
    return 0;
  const double angle = -av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
  if (std::isnan(angle))
    return 0;
  const int quarter = int(std::lround(angle / 90.0));
  return ((quarter % 4) + 4) % 4 * 90;
}

// A w x h BGRA picture turned clockwise by rotation; frees the source when it turns.
uint8_t *_rotate(uint8_t *source, int *w, int *h, int rotation)
{
  if (rotation != 90 && rotation != 180 && rotation != 270)
    return source;
  const int W = *w, H = *h;
  auto *turned = static_cast<uint8_t *>(malloc(size_t(W) * H * 4));
  if (!turned)
    return source;
  const auto *in = reinterpret_cast<const uint32_t *>(source);
  auto *out = reinterpret_cast<uint32_t *>(turned);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const uint32_t pixel = in[size_t(y) * W + x];
      if (rotation == 90)
        out[size_t(x) * H + (H - 1 - y)] = pixel;
      else if (rotation == 270)
        out[size_t(W - 1 - x) * H + y] = pixel;
      else
        out[size_t(H - 1 - y) * W + (W - 1 - x)] = pixel;
    }
  }
  free(source);
  if (rotation != 180)
    std::swap(*w, *h);
  return turned;
}

double _frameTime(const AVFrame *frame, AVRational base)
{
  if (frame->best_effort_timestamp == AV_NOPTS_VALUE)
    return 0;
  const double time = double(frame->best_effort_timestamp) * av_q2d(base);
  return time > 0 ? time : 0;
}

int64_t _toStreamTime(double seconds, AVRational base)
{
  return int64_t(seconds * base.den / base.num);
}

// The record kind of a picture the renderer uploads from the decoder's planes as they lie, or
// BGRA for one that is converted first. Rows running upwards cannot be uploaded in place.
uint32_t _uploadKind(const AVFrame *frame)
{
  const int *stride = frame->linesize;
  switch (frame->format) {
  case AV_PIX_FMT_YUV420P:
  case AV_PIX_FMT_YUVJ420P:
    return stride[0] > 0 && stride[1] > 0 && stride[2] > 0 ? kAVFrameYUV420 : kAVFrameBGRA;
  case AV_PIX_FMT_NV12:
    // Chroma is read two bytes a texel.
    return stride[0] > 0 && stride[1] > 0 && stride[1] % 2 == 0 ? kAVFrameNV12 : kAVFrameBGRA;
  case AV_PIX_FMT_UYVY422:
    // Uploaded whole, four bytes a texel.
    return stride[0] > 0 && stride[0] % 4 == 0 ? kAVFrameUYVY422 : kAVFrameBGRA;
  default:
    return kAVFrameBGRA;
  }
}

// The record takes the decoder's picture over instead of copying it: a 1080p picture is 3 MB,
// which costs the decode thread about a tenth of its time.
bool _holdPicture(AVFrame *frame, AVFrameRecord *record, uint32_t kind)
{
  record->picture = av_frame_alloc();
  if (!record->picture)
    return false;
  av_frame_move_ref(record->picture, frame);
  const AVFrame *held = record->picture;
  const int planes = kind == kAVFrameYUV420 ? 3 : kind == kAVFrameNV12 ? 2 : 1;
  const auto rows = uint32_t(held->height);
  record->size = 0;
  for (int i = 0; i < planes; ++i) {
    record->planes[i] = held->data[i];
    record->strides[i] = held->linesize[i];
    record->size += uint32_t(held->linesize[i]) * (i ? chroma420(rows) : rows);
  }
  record->kind = kind;
  record->data = held->data[0];
  record->height = rows;
  record->visibleWidth = uint32_t(held->width);
  // Two luma columns a chroma sample: an odd picture's texture has one column more.
  record->width =
      kind == kAVFrameUYVY422 ? uint32_t(held->linesize[0] / 2) : 2 * chroma420(uint32_t(held->width));
  return true;
}

constexpr int kPackingThreads = 4;

// A converter of video-range planes into BGRA at the same size that interpolates the chroma
// about centred samples, as the picture shader does; the faster one that repeats each chroma
// sample is a few levels off it.
SwsContext *_packingConverter(int width, int height)
{
  SwsContext *c = sws_alloc_context();
  if (!c)
    return nullptr;
  const std::pair<const char *, int64_t> options[] = {
    {"srcw", width}, {"srch", height}, {"src_format", AV_PIX_FMT_YUV420P}, {"dstw", width}, {"dsth", height},
    {"dst_format", AV_PIX_FMT_BGRA}, {"src_h_chr_pos", 128}, {"src_v_chr_pos", 128},
    {"sws_flags", SWS_FAST_BILINEAR | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND}, {"threads", kPackingThreads}};
  for (const auto &[name, value] : options)
    av_opt_set_int(c, name, value, 0);
  if (sws_init_context(c, nullptr, nullptr) < 0)
    sws_freeContext(c), c = nullptr;
  return c;
}

void _keepBuffer(void *, uint8_t *) {}
} // namespace

// Where a seek put the demuxer, told by the first packet of the stream read there, and the
// picture decoded from it. From the same packet on the decoder is given the same packets, so
// a search that takes its first picture finds the same one: thumbnails of a file with few key
// frames land on each key frame many times.
struct AVVideoStream::_Landing
{
  int64_t position = -1;
  int64_t pts = AV_NOPTS_VALUE;
  int64_t dts = AV_NOPTS_VALUE;
  int width = 0, height = 0;
  uint8_t *pixels = nullptr;
  double frameTime = 0;

  ~_Landing() { free(pixels); }

  // True when the packet is where the kept picture was decoded from; otherwise the landing
  // moves to it and the picture is dropped.
  bool isAt(const AVPacket *packet, int w, int h)
  {
    const bool known = packet->pos >= 0 || packet->pts != AV_NOPTS_VALUE || packet->dts != AV_NOPTS_VALUE;
    if (known && pixels && packet->pos == position && packet->pts == pts && packet->dts == dts && w == width &&
        h == height)
      return true;
    free(pixels);
    pixels = nullptr;
    position = packet->pos;
    pts = packet->pts;
    dts = packet->dts;
    width = w;
    height = h;
    return false;
  }
};

AVVideoStream::AVVideoStream(const std::string &fileName, int width, int height)
  : AVStreamBase(fileName), _requestedWidth(width), _requestedHeight(height), _decoderLock(avMutexCreate()),
    _decoderCondition(avCondCreate()), _gridLock(avMutexCreate())
{
  countAsPictures(true);
}

AVVideoStream::~AVVideoStream()
{
  stopThreads();
  countAsPictures(false);
  av_frame_free(&_decodedFrame);
  av_frame_free(&_softwareFrame);
  av_frame_free(&_heldFrame);
  delete[] _positions;
  avMutexDestroy(_decoderLock);
  avCondDestroy(_decoderCondition);
  avMutexDestroy(_gridLock);
}

void AVVideoStream::videoSize(int *width, int *height)
{
  if (width)
    *width = _pictureWidth;
  if (height)
    *height = _pictureHeight;
}

void AVVideoStream::outputSize(int *width, int *height) const
{
  if (width)
    *width = _outputWidth;
  if (height)
    *height = _outputHeight;
}

void AVVideoStream::wakeDecoder()
{
  AVMutexLocker locker(_decoderLock);
  avCondWakeAll(_decoderCondition);
}

bool AVVideoStream::sleep()
{
  if (!AVStreamBase::sleep())
    return false;
  AVMutexLocker locker(_decoderLock);
  av_frame_free(&_decodedFrame);
  av_frame_free(&_softwareFrame);
  av_frame_free(&_heldFrame);
  if (_decoder && avcodec_is_open(_decoder))
    avcodec_flush_buffers(_decoder);
  releaseDecoder();
  return true;
}

bool AVVideoStream::awaken()
{
  const bool woken = AVStreamBase::awaken();
  AVMutexLocker locker(_decoderLock);
  reopenDecoder();
  avCondWakeAll(_decoderCondition);
  return woken;
}

int AVVideoStream::open(int)
{
  OpenTurn opening(*this, true);
  _singlePictures = _wantsThumbnails();
  const int result = AVStreamBase::open(kAVMediaVideo);
  if (result != kAVOpenOk) {
    _singlePictures = false;
    return result;
  }
  _readVideoInformation();
  _recomputeFrameStep();
  _makeThumbnails();
  startReadThread(_streamIndex, 0);
  startDecodeThread(0);
  return kAVOpenOk;
}

int AVVideoStream::openForMetadata()
{
  OpenTurn opening(*this, true);
  const int result = AVStreamBase::open(kAVMediaVideo);
  if (result == kAVOpenOk)
    _readVideoInformation();
  return result;
}

void AVVideoStream::startLoading(AVStreamLoadedCallback callback, void *userData, const AVThumbnailRequest &thumbnails)
{
  waitForLoading();
  delete[] _positions;
  _positions = nullptr;
  _thumbnails = thumbnails;
  if (thumbnails.count > 0 && thumbnails.positions) {
    _positions = new float[size_t(thumbnails.count)];
    std::copy(thumbnails.positions, thumbnails.positions + thumbnails.count, _positions);
  }
  _thumbnails.positions = _positions;
  AVStreamBase::startLoading(kAVMediaVideo, callback, userData);
}

void AVVideoStream::_readVideoInformation()
{
  // A released decoder knows no size: keep what was read while it was open.
  if (!_decoder || !_stream || !avcodec_is_open(_decoder))
    return;
  const int rotation = _streamRotation(_stream);
  const bool quarter = rotation == 90 || rotation == 270;
  _pictureWidth = quarter ? _decoder->height : _decoder->width;
  _pictureHeight = quarter ? _decoder->width : _decoder->height;
  // The coded width is the decoder's padding, not picture.
  _outputWidth = _decoder->width;
  _outputHeight = _decoder->height;
  _rotation = rotation;
}

void AVVideoStream::setOutputSize(int width, int height)
{
  _requestedWidth = width;
  _requestedHeight = height;
  AVMutexLocker locker(_decoderLock);
  _readVideoInformation();
}

double AVVideoStream::frameRate() const
{
  if (!isOpen())
    return 30;
  const AVRational guessed = av_guess_frame_rate(_format, _stream, nullptr);
  const double rate = guessed.den > 0 ? av_q2d(guessed) : 0;
  // A missing, broken or absurd rate counts as 25.
  if (!(rate > 0) || rate > 480)
    return 25;
  return rate;
}

void AVVideoStream::_recomputeFrameStep()
{
  const double stretch = _stretch > 0 ? double(_stretch) : 1.0;
  const double r = (frameRate() + 0.5) / stretch;
  const int step = r <= 60 ? (r > 45 ? 2 : 1) : int(r / _maxRate);
  _frameStep = std::max(1, step) * _discardFactor;
}

void AVVideoStream::setDiscardFactor(int factor)
{
  _discardFactor = std::max(1, factor);
  _recomputeFrameStep();
}

void AVVideoStream::setMaxFrameRate(int rate)
{
  _maxRate = std::max(30, rate);
  _recomputeFrameStep();
}

void AVVideoStream::setStretch(double stretch)
{
  _stretch = stretch;
  _recomputeFrameStep();
}

void AVVideoStream::setOutputGrid(double origin, double interval)
{
  AVMutexLocker locker(_gridLock);
  _gridOrigin = origin;
  _gridInterval = interval > 0 ? interval : 0;
}

AVFrame *AVVideoStream::_transferIfHardware(AVFrame *frame)
{
  if (!_decoder->hw_frames_ctx || frame->format != _hardwareFormat)
    return frame;
  if (!_softwareFrame)
    _softwareFrame = av_frame_alloc();
  av_frame_unref(_softwareFrame);
  if (av_hwframe_transfer_data(_softwareFrame, frame, 0) < 0)
    avPrint("Error transferring the data to system memory\n");
  _softwareFrame->best_effort_timestamp = frame->best_effort_timestamp;
  return _softwareFrame;
}

bool AVVideoStream::_packPlanes(AVFrame *frame, AVFrameRecord *record)
{
  if (!_packer || _packedWidth != frame->width || _packedHeight != frame->height) {
    sws_freeContext(_packer);
    _packer = _packingConverter(frame->width, frame->height);
    _packedWidth = frame->width;
    _packedHeight = frame->height;
  }
  record->kind = kAVFrameBGRA;
  record->width = uint32_t(frame->width);
  record->height = uint32_t(frame->height);
  record->visibleWidth = 0;
  record->opaque = true;
  record->size = record->width * record->height * 4;
  record->data = _packer ? static_cast<uint8_t *>(malloc(record->size)) : nullptr;
  AVFrame *out = record->data ? av_frame_alloc() : nullptr;
  if (!out)
    return false;
  // The record's block is the target: the converter's threads write into it directly.
  out->format = AV_PIX_FMT_BGRA;
  out->width = frame->width;
  out->height = frame->height;
  out->data[0] = record->data;
  out->linesize[0] = frame->width * 4;
  out->buf[0] = av_buffer_create(record->data, record->size, _keepBuffer, nullptr, 0);
  const bool converted = out->buf[0] && sws_scale_frame(_packer, out, frame) >= 0;
  av_frame_free(&out);
  return converted;
}

bool AVVideoStream::_makeRecord(AVFrame *frame, AVFrameRecord *record, SwsContext **converter, int outW, int outH)
{
  const uint32_t kind = _uploadKind(frame);
  if (kind != kAVFrameBGRA)
    return _holdPicture(frame, record, kind);
  for (int attempt = 0; attempt < 2 && !(*converter = sws_getCachedContext(
                                          *converter, frame->width, frame->height, AVPixelFormat(frame->format), outW,
                                          outH, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
       ++attempt)
    avThreadSleep(0.01);
  // Without a converter the frame cannot be shown.
  if (!*converter)
    return false;
  record->kind = kAVFrameBGRA;
  record->width = uint32_t(outW);
  record->height = uint32_t(outH);
  record->visibleWidth = 0;
  const AVPixFmtDescriptor *source = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
  record->opaque = source && !(source->flags & AV_PIX_FMT_FLAG_ALPHA);
  record->size = uint32_t(outW * outH * 4);
  record->data = static_cast<uint8_t *>(malloc(record->size));
  if (!record->data)
    return false;
  uint8_t *planes[1] = {record->data};
  const int strides[1] = {outW * 4};
  sws_scale(*converter, frame->data, frame->linesize, 0, frame->height, planes, strides);
  return true;
}

void AVVideoStream::decodeLoop()
{
  const int outW = _outputWidth, outH = _outputHeight;
  const AVRational rate = av_guess_frame_rate(_format, _stream, nullptr);
  const AVRational base = _stream->time_base;
  const double frameDuration = rate.num > 0 && rate.den > 0 ? double(rate.den) / rate.num : 0;
  _recomputeFrameStep();
  // Without the consumer's outputs the frame step thins by time: pictures are kept at the pace of
  // `step` frames of the rounded rate, so a 59.94 fps clip thins to the 30 a second it is shown at.
  const double roundedRate = std::max(1.0, std::floor(frameRate() + 0.5));
  // Where those slots are counted from: the seek's target, or its first picture.
  double origin = _seekTarget;
  const double pictureSlack = dueSlack();
  // Pictures dropped since the last kept one, for the rare run whose times do not advance.
  int dropped = 0;
  bool justSought = false;
  // Whether the seek of the current generation wants its exact frame; read once per generation,
  // so a frame of the old one cannot change the answer for the new one.
  bool exactSeek = true;
  int32_t lastSerial = 0;
  SwsContext *converter = nullptr;
  AVPacketRecord current;

  while (!_decodeQuit) {
    if (_paused) {
      avThreadSleep(0.01);
      continue;
    }
    if (!current.packet || current.serial != _serial) {
      freePacketRecord(current);
      current = takePacket();
      if (!current.packet)
        continue;
      if (current.packet->data)
        _decodeAtEnd = false;
      // A new generation: the decoder forgets the old position.
      if (current.serial != lastSerial) {
        AVMutexLocker locker(_decoderLock);
        if (_decoder && avcodec_is_open(_decoder))
          avcodec_flush_buffers(_decoder);
        if (_heldFrame)
          av_frame_unref(_heldFrame);
        justSought = current.serial == _seekSerial;
        exactSeek = _exactSeek;
        origin = _seekTarget;
        dropped = 0;
        lastSerial = current.serial;
      }
    }
    if (_paused) {
      freePacketRecord(current);
      continue;
    }
    const bool drain = current.packet->data == nullptr;
    avMutexLock(_decoderLock);
    reopenDecoder();
    if (!_decodedFrame)
      _decodedFrame = av_frame_alloc();
    if (!_decoder || !avcodec_is_open(_decoder) || !_decodedFrame) {
      avMutexUnlock(_decoderLock);
      freePacketRecord(current);
      avThreadSleep(0.01);
      continue;
    }
    avcodec_send_packet(_decoder, drain ? nullptr : current.packet);
    avMutexUnlock(_decoderLock);

    // Every frame the packet gives; a newer generation cuts it short.
    int damagedWhileDraining = 0;
    while (!_decodeQuit && current.serial == _serial) {
      avMutexLock(_decoderLock);
      if (!_decoder || !_decodedFrame) {
        avMutexUnlock(_decoderLock);
        break;
      }
      const int step = std::max(1, int(_frameStep));
      const bool holding = _heldFrame && _heldFrame->buf[0];
      // A picture taken back from the hold goes out as it is: without a step nothing is thinned,
      // and at the end the held picture is the last one.
      bool released = holding && !justSought && step <= 1;
      int received = 0;
      if (!released) {
        received = avcodec_receive_frame(_decoder, _decodedFrame);
        released = holding && received == AVERROR_EOF && drain && _readAtEnd;
      }
      const bool atEnd = released && received == AVERROR_EOF;
      if (released) {
        std::swap(_decodedFrame, _heldFrame);
        received = 0;
      }
      if (received < 0) {
        const bool damaged = received != AVERROR(EAGAIN) && received != AVERROR_EOF;
        if (damaged)
          avPrint("Error during decoding\n");
        // A damaged picture is reported in its place: the pictures still inside the decoder
        // behind it come out after it, so a cut-off file ends where FFmpeg's own tool ends it.
        if (drain && damaged && ++damagedWhileDraining < kMaxDamagedWhileDraining) {
          avMutexUnlock(_decoderLock);
          continue;
        }
        if (drain && !_readAtEnd) {
          avcodec_flush_buffers(_decoder);
          avMutexUnlock(_decoderLock);
          avThreadSleep(0.01);
        } else if (drain && _readAtEnd && !_decodeQuit) {
          {
            AVMutexLocker frames(_frameLock);
            if (current.serial == _serial)
              _decodeAtEnd = true;
            avCondWakeAll(_frameCondition);
          }
          if (justSought) {
            // Called without the decoder lock, which the receiver may need through sleep or awaken.
            avMutexUnlock(_decoderLock);
            reportSeekDone(current.serial, kEndOfStreamMarker, 0, _seekTarget);
            justSought = false;
            avMutexLock(_decoderLock);
          }
          // Parked until a seek, awaken or the end of the stream object.
          if (current.serial == _serial && !_decodeQuit)
            avCondWait(_decoderCondition, _decoderLock);
          avMutexUnlock(_decoderLock);
        } else {
          avMutexUnlock(_decoderLock);
        }
        freePacketRecord(current);
        break;
      }
      double time = _frameTime(_decodedFrame, base);
      const double target = _seekTarget;
      bool deliver = true;
      if (!released && justSought && exactSeek) {
        // The newest picture at or before the target is known once one after it comes.
        if (time <= target + kTimeHair) {
          _hold();
          avMutexUnlock(_decoderLock);
          continue;
        }
        if (holding) {
          std::swap(_decodedFrame, _heldFrame);
          time = _frameTime(_decodedFrame, base);
        }
      } else if (!justSought && step > 1) {
        // A picture is thinned out only when the next one falls in the same slot of the step,
        // where a kept one follows before the next slot is due.
        if (!holding) {
          _hold();
          avMutexUnlock(_decoderLock);
          continue;
        }
        // The consumer's outputs, every discard-factor-th of them while it falls behind. A
        // picture within the slack after an output counts as due there; without the outputs,
        // within a millisecond, as a consumer that rounds its clock takes it.
        double first = origin, interval = step / roundedRate, slack = kMillisecond;
        bool outputsKnown = false;
        {
          AVMutexLocker grid(_gridLock);
          if (_gridInterval > 0) {
            first = _gridOrigin;
            interval = _gridInterval * std::max(1, int(_discardFactor));
            slack = pictureSlack;
            outputsKnown = true;
          }
        }
        // After the last picture the end of the stream stands for the next one; where the
        // outputs are known they may run past it, so the last picture stays.
        double next = outputsKnown ? INFINITY : duration();
        if (!atEnd) {
          next = time;
          std::swap(_decodedFrame, _heldFrame);
          time = _frameTime(_decodedFrame, base);
        }
        // The first output at or after t.
        const auto slot = [&](double t) { return std::ceil((t - first) / interval - 1e-6); };
        // Kept when an output falls between its time and the next picture's.
        deliver = next > time ? slot(next) > slot(time - slack) : atEnd || dropped + 1 >= step;
      }
      if (!deliver) {
        avLog("(%d)(%d) discard one (%d)frame of ts: %f/%f/%f\n", _streamId, int(_mediaKind),
              int(_decodedFrame->key_frame), time, double(_decodedFrame->pts) * av_q2d(base),
              double(_decodedFrame->pkt_dts) * av_q2d(base));
        av_frame_unref(_decodedFrame);
        avMutexUnlock(_decoderLock);
        ++dropped;
        continue;
      }
      dropped = 0;
      AVFrame *frame = _transferIfHardware(_decodedFrame);
      if (justSought) {
        // Slots run from where the consumer starts: the exact target, or the picture shown.
        origin = exactSeek ? target : time;
        time = std::min(time, target);
      }
      AVFrameRecord record;
      record.time = time;
      record.duration = frameDuration;
      record.serial = uint32_t(current.serial);
      bool made;
      // Full-range planes stay planes: the picture shader shows them as the preview does.
      if (_planesAsBGRA && frame->format == AV_PIX_FMT_YUV420P) {
        // Converted only once the queue has room: a picture that waits holds its planes, not a
        // frame of BGRA, which keeps an export's memory near the preview's.
        if (!_waitingFrame)
          _waitingFrame = av_frame_alloc();
        if (_waitingFrame)
          av_frame_move_ref(_waitingFrame, frame);
        av_frame_unref(_decodedFrame);
        avMutexUnlock(_decoderLock);
        made = _waitingFrame && waitForRoom(record.serial, 1, record.time) && _packPlanes(_waitingFrame, &record);
        av_frame_unref(_waitingFrame);
      } else {
        made = _makeRecord(frame, &record, &converter, outW, outH);
        av_frame_unref(_decodedFrame);
        avMutexUnlock(_decoderLock);
      }
      if (!made) {
        freeFrameRecord(record);
        continue;
      }
      uint8_t *data = record.data;
      const uint32_t size = record.size;
      pushFrame(record);
      // The record may already be taken and freed: the callback only learns that it came.
      if (justSought)
        reportSeekDone(current.serial, data, size, time);
      justSought = false;
    }
  }
  freePacketRecord(current);
  sws_freeContext(converter);
  sws_freeContext(_packer);
  _packer = nullptr;
  AVMutexLocker locker(_decoderLock);
  av_frame_free(&_decodedFrame);
  av_frame_free(&_softwareFrame);
  av_frame_free(&_heldFrame);
  av_frame_free(&_waitingFrame);
  avLog("(%d) video decode thread end\n", int(_mediaKind));
}

void AVVideoStream::_hold()
{
  if (!_heldFrame)
    _heldFrame = av_frame_alloc();
  if (_heldFrame) {
    av_frame_unref(_heldFrame);
    av_frame_move_ref(_heldFrame, _decodedFrame);
  }
  av_frame_unref(_decodedFrame);
}

bool AVVideoStream::_wantsThumbnails() const
{
  const AVThumbnailRequest &request = _thumbnails;
  return request.count > 0 && request.positions && request.thumbnail && request.boxWidth > 0 && request.boxHeight > 0;
}

void AVVideoStream::_makeThumbnails()
{
  if (!_wantsThumbnails())
    return;
  const AVThumbnailRequest &request = _thumbnails;
  if (request.begin)
    request.begin(this, request.userData);
  const float pictureW = float(_outputWidth), pictureH = float(_outputHeight);
  float w, h;
  if (pictureW / pictureH > request.boxWidth / request.boxHeight) {
    w = request.boxWidth;
    h = w * pictureH / pictureW;
  } else {
    h = request.boxHeight;
    w = h * pictureW / pictureH;
  }
  w = std::round(w);
  h = std::round(h);
  const double length = duration();
  _Landing landing;
  for (int i = 0; i < request.count && !_decodeQuit; ++i) {
    const auto time = float(length * double(request.positions[i]));
    int width = 0, height = 0;
    uint32_t size = 0;
    double frameTime = 0;
    uint8_t *pixels = _decodeFrameAt(time, w, h, false, &size, &width, &height, &frameTime, &landing);
    AVPixelBuffer *thumbnail = pixels ? wrapPixelBuffer(pixels, uint32_t(width), uint32_t(height), 1) : nullptr;
    request.thumbnail(this, 0, thumbnail, request.userData);
  }
  _readBound.seekFile(_streamIndex, 0);
  AVMutexLocker locker(_decoderLock);
  if (_decoder && avcodec_is_open(_decoder))
    avcodec_flush_buffers(_decoder);
  // The thumbnails' decoder has no frame threads: the decode thread reopens it with them.
  releaseDecoder(_singlePictures);
  _singlePictures = false;
}

void AVVideoStream::_beginSynchronous(double t)
{
  _paused = true;
  avMutexLock(_demuxLock);
  avMutexLock(_decoderLock);
  // Whatever the threads had read or decoded belongs to a position this fetch is about to leave.
  if (_mediaKind >= 0)
    startSynchronousGeneration(t);
}

void AVVideoStream::_endSynchronous()
{
  avMutexUnlock(_decoderLock);
  avMutexUnlock(_demuxLock);
  _paused = false;
  // Running threads go on where the consumer was, not where this fetch left the demuxer.
  seekAgain(_consumerTime, true);
}

uint8_t *AVVideoStream::_decodeSynchronously(double t, int w, int h, bool exact, double *frameTime,
                                              _Landing *landing)
{
  // Only a search that takes the first picture finds the same one again.
  if (exact)
    landing = nullptr;
  if (!isOpen() || w <= 0 || h <= 0)
    return nullptr;
  if (_readBound.seekFile(_streamIndex, _toStreamTime(t, _stream->time_base)) < 0)
    return nullptr;
  reopenDecoder();
  if (!_decoder || !avcodec_is_open(_decoder))
    return nullptr;
  avcodec_flush_buffers(_decoder);
  AVFrame *decoded = av_frame_alloc();
  AVFrame *last = av_frame_alloc();
  AVPacket *packet = av_packet_alloc();
  bool chosen = false, ended = false, finished = false, landed = false;
  _Landing *checking = landing;
  while (decoded && last && packet && !chosen && !finished) {
    if (!ended) {
      const int result = _readBound.readFrame(packet);
      if (result >= 0) {
        _readAtEnd = false;
        if (packet->stream_index != _streamIndex) {
          av_packet_unref(packet);
          continue;
        }
        if (checking) {
          landed = checking->isAt(packet, w, h);
          checking = nullptr;
          if (landed) {
            av_packet_unref(packet);
            break;
          }
        }
        avcodec_send_packet(_decoder, packet);
        av_packet_unref(packet);
      } else {
        if (result == AVERROR_EOF || avio_feof(_format->pb))
          _readAtEnd = true;
        else
          avPrint("(%d) read packet error: %d\n", int(_mediaKind), result);
        // The decoder still holds pictures: drain them.
        avcodec_send_packet(_decoder, nullptr);
        ended = true;
      }
    }
    for (int damaged = 0;;) {
      const int received = avcodec_receive_frame(_decoder, decoded);
      // Draining, a damaged picture leaves the ones behind it in the decoder.
      if (received < 0 && ended && received != AVERROR(EAGAIN) && received != AVERROR_EOF &&
          ++damaged < kMaxDamagedWhileDraining)
        continue;
      if (received < 0) {
        finished = received == AVERROR_EOF || ended;
        break;
      }
      // Exact, the newest picture at or before t: known once one after it comes.
      if (!exact || _frameTime(decoded, _stream->time_base) > t + kTimeHair) {
        chosen = true;
        break;
      }
      av_frame_unref(last);
      av_frame_move_ref(last, decoded);
    }
  }
  av_packet_free(&packet);
  // Past the last picture, the last picture stands for the time; before the first, the first.
  const bool earlier = last && last->buf[0];
  AVFrame *picture = earlier ? last : chosen ? decoded : nullptr;
  uint8_t *pixels = nullptr;
  const size_t bytes = size_t(w) * h * 4;
  if (landed) {
    pixels = static_cast<uint8_t *>(malloc(bytes));
    if (pixels)
      memcpy(pixels, landing->pixels, bytes);
    *frameTime = landing->frameTime;
  } else if (picture) {
    *frameTime = _frameTime(picture, _stream->time_base);
    AVFrame *frame = _transferIfHardware(picture);
    // swscale's fast path for 8-bit 4:2:0 at the same size writes blocks of 16 pixels: at a width
    // of 16n + 8 (360, 1080) it runs 8 pixels past the picture's end. The accurate one does not.
    SwsContext *converter = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), w, h,
                                           AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr,
                                           nullptr);
    pixels = converter ? static_cast<uint8_t *>(malloc(bytes)) : nullptr;
    if (pixels) {
      uint8_t *planes[1] = {pixels};
      const int strides[1] = {w * 4};
      sws_scale(converter, frame->data, frame->linesize, 0, frame->height, planes, strides);
      ++_picturesDecoded;
    }
    sws_freeContext(converter);
    if (pixels && landing) {
      landing->pixels = static_cast<uint8_t *>(malloc(bytes));
      if (landing->pixels)
        memcpy(landing->pixels, pixels, bytes);
      landing->frameTime = *frameTime;
    }
  }
  av_frame_free(&decoded);
  av_frame_free(&last);
  av_frame_free(&_softwareFrame);
  return pixels;
}

uint8_t *AVVideoStream::decodeFrameAt(double time, float boxWidth, float boxHeight, bool exact, uint32_t *size,
                                      int *width, int *height, double *frameTime)
{
  return _decodeFrameAt(time, boxWidth, boxHeight, exact, size, width, height, frameTime, nullptr);
}

uint8_t *AVVideoStream::_decodeFrameAt(double time, float boxWidth, float boxHeight, bool exact, uint32_t *size,
                                       int *width, int *height, double *frameTime, _Landing *landing)
{
  const double t = std::min(std::max(0.0, time), duration());
  float w = boxWidth;
  // A still at the picture's own size keeps an odd width.
  if (int(w) % 2 != 0 && int(w) != _outputWidth)
    w += 1;
  int outW = int(w), outH = int(boxHeight);
  double decodedTime = t;
  _beginSynchronous(t);
  uint8_t *pixels = _decodeSynchronously(t, outW, outH, exact, &decodedTime, landing);
  const uint32_t bytes = uint32_t(outW * outH * 4);
  if (pixels)
    pixels = _rotate(pixels, &outW, &outH, _rotation);
  _endSynchronous();
  if (size)
    *size = pixels ? bytes : 0;
  if (width)
    *width = outW;
  if (height)
    *height = outH;
  if (frameTime)
    *frameTime = decodedTime;
  return pixels;
}

uint8_t *AVVideoStream::frameAt(double time, uint32_t *size)
{
  const double t = std::min(std::max(0.0, time), duration());
  int outW = _outputWidth, outH = _outputHeight;
  double decodedTime = t;
  _beginSynchronous(t);
  uint8_t *pixels = _decodeSynchronously(t, outW, outH, true, &decodedTime);
  if (pixels)
    pixels = _rotate(pixels, &outW, &outH, _rotation);
  _endSynchronous();
  if (size)
    *size = pixels ? uint32_t(outW * outH * 4) : 0;
  return pixels;
}
