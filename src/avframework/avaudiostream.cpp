#include "avaudiostream.h"

#include "avcommon.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace {
constexpr int kBytesPerSample = 2;

double _frameSeconds(const AVFrame *frame, AVRational base)
{
  const int64_t pts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  if (pts == AV_NOPTS_VALUE)
    return 0;
  return std::max(0.0, double(pts) * av_q2d(base));
}
} // namespace

AVAudioStream::AVAudioStream(const std::string &fileName, int outputRate, int outputChannels)
  : AVStreamBase(fileName), _outputRate(std::max(1, outputRate)), _outputChannels(std::max(1, outputChannels))
{
}

AVAudioStream::~AVAudioStream()
{
  stopThreads();
  av_packet_free(&_coverPacket);
}

int AVAudioStream::open(int)
{
  int result;
  {
    OpenTurn opening(*this, hasPictures(_fileName));
    result = AVStreamBase::open(kAVMediaAudio);
  }
  if (result == kAVOpenOk) {
    startReadThread(_streamIndex, 0);
    startDecodeThread(0);
  }
  return result;
}

int AVAudioStream::openForMetadata()
{
  OpenTurn opening(*this, hasPictures(_fileName));
  return AVStreamBase::open(kAVMediaAudio);
}

void AVAudioStream::startLoading(AVStreamLoadedCallback callback, void *userData)
{
  AVStreamBase::startLoading(kAVMediaAudio, callback, userData);
}

void AVAudioStream::setStretch(double stretch)
{
  if (!(stretch > 0) || !std::isfinite(stretch))
    return;
  _stretch = stretch;
  _resamplerStale = true;
}

int AVAudioStream::stretchedRate() const
{
  return std::max(1, int(_outputRate * _stretch));
}

double AVAudioStream::_startSeconds() const
{
  // An encoder's delay (LAME MP3s start at 25 ms) is not part of the sound. The container's
  // start is the earliest of its streams, so a movie's sound keeps its distance to the picture.
  double start = 0;
  if (_format && _format->start_time != AV_NOPTS_VALUE)
    start = double(_format->start_time) / AV_TIME_BASE;
  else if (_stream && _stream->start_time != AV_NOPTS_VALUE)
    start = double(_stream->start_time) * av_q2d(_stream->time_base);
  return std::max(0.0, start);
}

const char *AVAudioStream::_metadata(const char *prefix) const
{
  if (!isOpen() || !_format)
    return nullptr;
  // Ogg keeps its comments on the stream, not on the container.
  for (const AVDictionary *tags : {_format->metadata, _stream ? _stream->metadata : nullptr}) {
    const AVDictionaryEntry *entry = av_dict_get(tags, prefix, nullptr, AV_DICT_IGNORE_SUFFIX);
    if (entry && entry->value && entry->value[0])
      return entry->value;
  }
  return nullptr;
}

const char *AVAudioStream::artist() const
{
  return _metadata("artist");
}

const char *AVAudioStream::title() const
{
  return _metadata("title");
}

const uint8_t *AVAudioStream::coverImage(int *size)
{
  if (size)
    *size = 0;
  if (!isOpen())
    return nullptr;
  if (!_coverPacket) {
    _coverPacket = av_packet_alloc();
    AVMutexLocker demux(_demuxLock);
    if (!_coverPacket || _readBound.readFrame(_coverPacket) < 0) {
      av_packet_free(&_coverPacket);
      return nullptr;
    }
  }
  const AVPacket *packet = _coverPacket;
  if (packet->size < 2 || packet->duration > 0 || packet->data[0] != 0xFF || packet->data[1] != 0xD8)
    return nullptr;
  if (size)
    *size = packet->size;
  return packet->data;
}

bool AVAudioStream::_convert(AVFrame *frame, SwrContext **resampler, int32_t serial, double *nextPosition,
                             bool justSought)
{
  const int rate = stretchedRate();
  if (frame->sample_rate <= 0 || frame->nb_samples <= 0)
    return false;
  AVChannelLayout source{};
  if (frame->ch_layout.nb_channels > 0 && frame->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_copy(&source, &frame->ch_layout);
  else
    av_channel_layout_default(&source, std::max(1, frame->ch_layout.nb_channels));
  // Every frame goes through the resampler, also one already in the output format: only it
  // applies the stretch, and it bounds what one frame may give.
  if (!*resampler || _resamplerStale) {
    swr_free(resampler);
    _resamplerStale = false;
    AVChannelLayout output{};
    av_channel_layout_default(&output, _outputChannels);
    const int made = swr_alloc_set_opts2(resampler, &output, AV_SAMPLE_FMT_S16, rate, &source,
                                         AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&output);
    // A mono sound is heard at its own level on every side, not 3 dB down as a centre channel.
    if (made >= 0 && source.nb_channels == 1 && _outputChannels > 1) {
      const std::vector<double> everySide(size_t(_outputChannels), 1.0);
      swr_set_matrix(*resampler, everySide.data(), 1);
    }
    if (made < 0 || swr_init(*resampler) < 0) {
      avPrint("swr_init() failed\n");
      swr_free(resampler);
      av_channel_layout_uninit(&source);
      return false;
    }
  }
  av_channel_layout_uninit(&source);

  const double time = std::max(0.0, _frameSeconds(frame, _decoder->pkt_timebase) - _startSeconds());
  // The resampler's output runs on without breaks: after the first frame of a generation the
  // next sample follows the last one, whatever the packet times say.
  double position = *nextPosition >= 0 ? *nextPosition : std::floor(time * rate);
  const int capacity = swr_get_out_samples(*resampler, frame->nb_samples);
  if (capacity <= 0)
    return false;
  const int frameBytes = _outputChannels * kBytesPerSample;
  auto *buffer = static_cast<uint8_t *>(malloc(size_t(capacity) * size_t(frameBytes)));
  if (!buffer)
    return false;
  uint8_t *out[1] = {buffer};
  const int converted =
    swr_convert(*resampler, out, capacity, const_cast<const uint8_t **>(frame->extended_data), frame->nb_samples);
  if (converted < 0) {
    avPrint("swr_convert() failed\n");
    free(buffer);
    return false;
  }
  int skip = 0;
  if (justSought) {
    // The frame that holds the target starts the sound exactly there.
    skip = std::clamp(int(std::lround((_seekTarget - time) * rate)), 0, converted);
    position = std::floor(time * rate) + skip;
  }
  const int count = converted - skip;
  if (count <= 0) {
    free(buffer);
    return false;
  }
  if (skip > 0)
    memmove(buffer, buffer + skip * frameBytes, size_t(count) * size_t(frameBytes));
  const auto size = uint32_t(count * frameBytes);
  AVFrameRecord record;
  record.data = buffer;
  record.kind = kAVFrameBGRA;
  record.size = size;
  record.time = position;
  record.duration = double(frame->nb_samples) / frame->sample_rate;
  record.serial = uint32_t(serial);
  if (justSought)
    reportSeekDone(serial, buffer, size, position);
  pushFrame(record);
  *nextPosition = position + count;
  return true;
}

void AVAudioStream::decodeLoop()
{
  AVFrame *frame = av_frame_alloc();
  SwrContext *resampler = nullptr;
  AVPacketRecord current;
  bool justSought = false;
  double nextPosition = -1.0;
  int32_t lastSerial = 0;

  while (!_decodeQuit && frame) {
    if (!current.packet || current.serial != _serial) {
      freePacketRecord(current);
      current = takePacket();
      if (!current.packet)
        continue;
      if (current.packet->data)
        _decodeAtEnd = false;
      if (current.serial != lastSerial) {
        // A new generation: nothing decoded or resampled before may leak into it.
        if (_decoder && avcodec_is_open(_decoder))
          avcodec_flush_buffers(_decoder);
        swr_free(&resampler);
        justSought = current.serial == _seekSerial;
        nextPosition = -1.0;
        lastSerial = current.serial;
      }
    }
    const bool drain = current.packet->data == nullptr;
    if (!_decoder || !avcodec_is_open(_decoder)) {
      freePacketRecord(current);
      avThreadSleep(0.01);
      continue;
    }
    avcodec_send_packet(_decoder, drain ? nullptr : current.packet);
    while (!_decodeQuit && current.serial == _serial) {
      const int received = avcodec_receive_frame(_decoder, frame);
      if (received < 0) {
        if (received != AVERROR(EAGAIN) && received != AVERROR_EOF)
          avPrint("Error during decoding\n");
        if (drain && _readAtEnd) {
          {
            AVMutexLocker frames(_frameLock);
            if (current.serial == _serial)
              _decodeAtEnd = true;
            avCondWakeAll(_frameCondition);
          }
          avThreadSleep(0.01);
        } else if (drain) {
          avcodec_flush_buffers(_decoder);
          avThreadSleep(0.01);
        }
        freePacketRecord(current);
        break;
      }
      const double time = std::max(0.0, _frameSeconds(frame, _decoder->pkt_timebase) - _startSeconds());
      const double duration = frame->sample_rate > 0 ? double(frame->nb_samples) / frame->sample_rate : 0;
      if (justSought && _seekTarget >= time + duration) {
        avLog("(%d)(%d) discard one frame of ts: %f\n", _streamId, int(_mediaKind), time);
        av_frame_unref(frame);
        continue;
      }
      if (_convert(frame, &resampler, current.serial, &nextPosition, justSought))
        justSought = false;
      av_frame_unref(frame);
    }
  }
  freePacketRecord(current);
  av_frame_free(&frame);
  swr_free(&resampler);
  avLog("(%d) audio decode thread end\n", int(_mediaKind));
}
