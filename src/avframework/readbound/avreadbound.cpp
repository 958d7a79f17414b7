#include "avreadbound.h"

#include "avffmpeglog.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
// As FFmpeg buffers a file it opens itself.
constexpr int kBufferSize = 32768;

// Two packets of a stream this far apart are not neighbours: the first is what the demuxer made
// of the bytes before the first whole element it found at the end.
constexpr int64_t kTailGap = int64_t(60) * AV_TIME_BASE;
constexpr int64_t kFarTime = int64_t(1) << 60;

bool _allZeros(const uint8_t *data, int size)
{
  // Each byte equal to the next, and the first zero.
  return size > 0 && data[0] == 0 && std::memcmp(data, data + 1, size_t(size) - 1) == 0;
}

// A stream whose length counts: pictures and sound, not a song's cover.
bool _timed(const AVStream *stream)
{
  const AVMediaType type = stream->codecpar->codec_type;
  return (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

// A packet's length where neither it nor one before it states one: a frame at the stream's rate.
int64_t _frameLength(const AVStream *stream)
{
  const AVCodecParameters *parameters = stream->codecpar;
  AVRational frame{0, 1};
  if (parameters->codec_type == AVMEDIA_TYPE_VIDEO)
    frame = av_inv_q(stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate);
  else if (parameters->frame_size > 0 && parameters->sample_rate > 0)
    frame = AVRational{parameters->frame_size, parameters->sample_rate};
  return frame.num > 0 && frame.den > 0 ? av_rescale_q(1, frame, stream->time_base) : 0;
}

// The demuxers whose end read is proven to give a recording's length: Matroska and WebM, which
// live recorders and pipes leave without one. Others either read their end themselves or, asked
// to resync in the middle of a file (ASF), find nothing and fill the log with complaints.
bool _endReadable(const AVInputFormat *format)
{
  return format && std::strcmp(format->name, "matroska,webm") == 0;
}

// The ends found for the files read lately, by file: one drop opens a file several times (the
// length shown while dragging, the picture, the sound), and a stream that ends early costs some
// megabytes of reading each time.
struct KnownEnds
{
  std::string path;
  int64_t size;
  int64_t modified;
  std::vector<int64_t> ends;
};
constexpr size_t kKnownFiles = 32;
// Never destroyed: a reading thread may still ask while the process ends.
struct Known
{
  std::mutex lock;
  std::deque<KnownEnds> files;
};
Known &known()
{
  static Known *const known = new Known;
  return *known;
}

// The file as a key: its real path and its time of change; 0 where they cannot be had.
std::string _realPath(const char *path)
{
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  return error ? std::string(path) : real.string();
}

int64_t _modified(const std::string &path)
{
  std::error_code error;
  const auto time = std::filesystem::last_write_time(path, error);
  return error ? 0 : int64_t(time.time_since_epoch().count());
}

struct InputCloser
{
  void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};

struct PacketFreer
{
  void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
} // namespace

void AVReadBound::_FileCloser::operator()(AVIOContext *file) const
{
  avio_close(file);
}

void AVReadBound::_InputFreer::operator()(AVIOContext *input) const
{
  // FFmpeg may have replaced the buffer it was given.
  av_freep(&input->buffer);
  avio_context_free(&input);
}

AVReadBound::AVReadBound(std::function<bool()> cancelled) : m_cancelled(std::move(cancelled)) {}

AVReadBound::~AVReadBound() = default;

bool AVReadBound::_mayGoOn()
{
  // A step cut off stays cut off: the cancel is not asked again.
  if (m_stopped)
    return false;
  const int64_t stepBytes = m_size > 0 ? m_size + kStepBytes : kStepBytes;
  if (m_stepBytes > stepBytes || m_emptyBytes > kEmptyBytes || m_idleCalls > kIdleCalls) {
    m_stopped = true;
    return false;
  }
  if (m_cancelled && m_cancelled()) {
    m_stopped = true;
    m_cancelHit = true;
    return false;
  }
  return true;
}

bool AVReadBound::_admitCall()
{
  ++m_idleCalls;
  return _mayGoOn();
}

void AVReadBound::_countRead(const uint8_t *data, int size, int read)
{
  if (read <= 0)
    return;
  m_stepBytes += read;
  // Larger than the buffer: a payload of known size, not a refill of the demuxer's scan.
  if (size > m_input->buffer_size || !_allZeros(data, read)) {
    m_emptyBytes = 0;
    m_idleCalls = 0;
  } else {
    m_emptyBytes += read;
  }
}

int AVReadBound::_interrupt(void *opaque)
{
  return static_cast<AVReadBound *>(opaque)->_mayGoOn() ? 0 : 1;
}

int AVReadBound::_read(void *opaque, uint8_t *data, int size)
{
  auto *bound = static_cast<AVReadBound *>(opaque);
  if (!bound->_admitCall())
    return AVERROR_EXIT;
  const int read = avio_read(bound->m_file.get(), data, size);
  bound->_countRead(data, size, read);
  return read;
}

int64_t AVReadBound::_seek(void *opaque, int64_t offset, int whence)
{
  auto *bound = static_cast<AVReadBound *>(opaque);
  if (!bound->_admitCall())
    return AVERROR_EXIT;
  whence &= ~AVSEEK_FORCE;
  if (whence == AVSEEK_SIZE)
    return bound->m_size;
  if (whence == SEEK_END) {
    if (bound->m_size < 0)
      return bound->m_size;
    offset += bound->m_size;
    whence = SEEK_SET;
  }
  if (whence == SEEK_SET && offset < bound->m_floor)
    return AVERROR(EINVAL);
  return avio_seek(bound->m_file.get(), offset, whence);
}

void AVReadBound::_startStep()
{
  m_stopped = false;
  m_cancelHit = false;
  m_stepBytes = 0;
  m_emptyBytes = 0;
  m_idleCalls = 0;
}

void AVReadBound::_closeFile()
{
  m_input.reset();
  m_file.reset();
}

int AVReadBound::open(AVFormatContext **context, const char *path)
{
  const int result = _open(context, path);
  // What the opening's messages held back is told with it, not with a later file's.
  avFlushFFmpegLog();
  return result;
}

int AVReadBound::_open(AVFormatContext **context, const char *path)
{
  *context = nullptr;
  // The input opened before has been closed: its IO context goes.
  _closeFile();
  _startStep();
  // Read as FFmpeg reads a file it opens itself, straight into the buffer of the input below.
  // Named as a file, so that no part of the path is taken for another protocol.
  AVIOContext *file = nullptr;
  if (avio_open2(&file, ("file:" + std::string(path)).c_str(), AVIO_FLAG_READ | AVIO_FLAG_DIRECT, nullptr,
                 nullptr) < 0)
    return kInputFailed;
  m_file.reset(file);
  m_size = avio_size(file);
  auto *buffer = static_cast<unsigned char *>(av_malloc(kBufferSize));
  m_input.reset(buffer ? avio_alloc_context(buffer, kBufferSize, 0, this, _read, nullptr, _seek) : nullptr);
  if (!m_input) {
    av_free(buffer);
    _closeFile();
    return kInputFailed;
  }
  // A pipe or a device cannot seek: the demuxer must not be told it can.
  m_input->seekable = file->seekable;
  m_context = avformat_alloc_context();
  if (!m_context) {
    _closeFile();
    return kInputFailed;
  }
  m_context->pb = m_input.get();
  m_context->interrupt_callback.callback = _interrupt;
  m_context->interrupt_callback.opaque = this;
  // Frees the context on failure, but not the IO context given to it.
  if (avformat_open_input(&m_context, path, nullptr, nullptr) < 0) {
    m_context = nullptr;
    _closeFile();
    return kInputFailed;
  }
  // The probe continues the opening's step: the two together stay within the bound. A header or
  // a probe cut off may still answer with what it found by then; the input is unusable all the
  // same.
  if (m_stopped || avformat_find_stream_info(m_context, nullptr) < 0 || m_stopped || !_findLength(path)) {
    avformat_close_input(&m_context);
    _closeFile();
    return kNoStreamInfo;
  }
  *context = m_context;
  return kOpened;
}

bool AVReadBound::_findLength(const char *path)
{
  // A length FFmpeg guessed from the bit rates and the file's size is no length: a variable rate,
  // or the container's share of the file, puts it off by seconds or minutes.
  const bool guessed = m_context->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
  if ((m_context->duration != AV_NOPTS_VALUE && !guessed) || m_size <= 0 ||
      !(m_input->seekable & AVIO_SEEKABLE_NORMAL) || !_endReadable(m_context->iformat))
    return true;
  const unsigned count = m_context->nb_streams;
  if (std::none_of(m_context->streams, m_context->streams + count, _timed))
    return true;
  if (guessed) {
    // Only a guess gives that method: every stream's duration and the container's are guesses.
    m_context->duration = AV_NOPTS_VALUE;
    for (unsigned i = 0; i < count; ++i)
      m_context->streams[i]->duration = AV_NOPTS_VALUE;
  }
  const std::string real = _realPath(path);
  const int64_t modified = _modified(real);
  std::vector<int64_t> ends(count, AV_NOPTS_VALUE);
  bool found = false;
  Known &cache = known();
  {
    std::lock_guard<std::mutex> locker(cache.lock);
    for (const KnownEnds &file : cache.files)
      if (file.path == real && file.size == m_size && file.modified == modified && file.ends.size() == count) {
        ends = file.ends;
        found = true;
        break;
      }
  }
  if (!found) {
    if (!_readEnds(path, ends.data()))
      return false;
    std::lock_guard<std::mutex> locker(cache.lock);
    cache.files.push_front({real, m_size, modified, ends});
    if (cache.files.size() > kKnownFiles)
      cache.files.pop_back();
  }
  int64_t last = AV_NOPTS_VALUE;
  for (unsigned i = 0; i < count; ++i) {
    if (ends[i] == AV_NOPTS_VALUE)
      continue;
    AVStream *stream = m_context->streams[i];
    const int64_t first = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    if (stream->duration == AV_NOPTS_VALUE && ends[i] > first)
      stream->duration = ends[i] - first;
    last = std::max(last, av_rescale_q(ends[i], stream->time_base, AV_TIME_BASE_Q));
  }
  // As FFmpeg counts a length from the streams' times: from the earliest start to the latest end.
  const int64_t start = m_context->start_time != AV_NOPTS_VALUE ? m_context->start_time : 0;
  if (last != AV_NOPTS_VALUE && last > start) {
    m_context->duration = last - start;
    m_context->duration_estimation_method = AVFMT_DURATION_FROM_PTS;
  }
  return true;
}

bool AVReadBound::_readEnds(const char *path, int64_t *ends)
{
  // A step of its own: a file whose end is zeros is given up as any other walk over them.
  _startStep();
  const unsigned count = m_context->nb_streams;
  const int64_t resume = avio_tell(m_file.get());
  std::vector<int64_t> read(count);
  // Each wider window is read only up to where the one before began: what lies after was read.
  int64_t until = INT64_MAX;
  for (int64_t bytes = kTailBytes;; bytes *= 2) {
    std::fill(read.begin(), read.end(), AV_NOPTS_VALUE);
    if (!_readTail(path, bytes, until, read.data()) || m_stopped)
      break;
    until = std::max<int64_t>(0, m_size - bytes);
    bool all = true;
    for (unsigned i = 0; i < count; ++i) {
      // An end found nearer the file's end is the stream's end.
      if (ends[i] == AV_NOPTS_VALUE)
        ends[i] = read[i];
      all = all && (ends[i] != AV_NOPTS_VALUE || !_timed(m_context->streams[i]));
    }
    // A stream that ended long before the others (a short sound) is looked for further back.
    if (all || bytes >= m_size || bytes >= kTailMaxBytes)
      break;
  }
  m_floor = 0;
  const bool cancelled = m_cancelHit;
  m_stopped = false;
  // The input reads on from where the probe left the file.
  return !cancelled && avio_seek(m_file.get(), resume, SEEK_SET) >= 0;
}

bool AVReadBound::_readTail(const char *path, int64_t bytes, int64_t until, int64_t *ends)
{
  // The file's demuxer again, on an IO context of its own over the same file: the opened input
  // keeps its state and its queued packets untouched.
  m_floor = 0;
  auto *buffer = static_cast<unsigned char *>(av_malloc(kBufferSize));
  std::unique_ptr<AVIOContext, _InputFreer> file(
      buffer ? avio_alloc_context(buffer, kBufferSize, 0, this, _read, nullptr, _seek) : nullptr);
  if (!file) {
    av_free(buffer);
    return false;
  }
  file->seekable = m_input->seekable;
  // It reads from the file's start, wherever the opened input left it.
  AVFormatContext *raw = avio_seek(m_file.get(), 0, SEEK_SET) == 0 ? avformat_alloc_context() : nullptr;
  if (!raw)
    return false;
  raw->pb = file.get();
  raw->interrupt_callback = m_context->interrupt_callback;
  // The packets as the container stores them, as FFmpeg reads an end itself: no parsing.
  raw->flags |= AVFMT_FLAG_NOPARSE | AVFMT_FLAG_NOFILLIN;
  if (avformat_open_input(&raw, path, m_context->iformat, nullptr) < 0)
    return false;
  std::unique_ptr<AVFormatContext, InputCloser> tail(raw);
  const int64_t from = std::max<int64_t>(0, m_size - bytes);
  if (avio_seek(tail->pb, from, SEEK_SET) < 0)
    return false;
  m_floor = from;
  // A packet without a length of its own lasts as long as the one before it, stated or told by
  // the times of the two.
  std::vector<int64_t> lengths(m_context->nb_streams, 0), times(m_context->nb_streams, AV_NOPTS_VALUE);
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  while (packet && av_read_frame(tail.get(), packet.get()) >= 0) {
    if (packet->pos >= until) {
      av_packet_unref(packet.get());
      break;
    }
    const unsigned index = unsigned(packet->stream_index);
    // Times no real file has are left out with the rest of what the bytes before made.
    if (index < m_context->nb_streams && packet->pts != AV_NOPTS_VALUE && std::llabs(packet->pts) < kFarTime &&
        packet->duration >= 0 && packet->duration < kFarTime) {
      const AVStream *stream = m_context->streams[index];
      int64_t &length = lengths[index];
      if (packet->duration > 0)
        length = packet->duration;
      else if (times[index] != AV_NOPTS_VALUE && packet->pts > times[index])
        length = packet->pts - times[index];
      times[index] = packet->pts;
      const int64_t end = packet->pts + (length > 0 ? length : _frameLength(stream));
      int64_t &latest = ends[index];
      const int64_t gap = av_rescale_q(kTailGap, AV_TIME_BASE_Q, stream->time_base);
      latest = latest == AV_NOPTS_VALUE || std::llabs(end - latest) > gap ? end : std::max(latest, end);
    }
    av_packet_unref(packet.get());
  }
  m_floor = 0;
  // The same streams, counted in the same units, or nothing is known.
  if (tail->nb_streams != m_context->nb_streams)
    return false;
  for (unsigned i = 0; i < tail->nb_streams; ++i) {
    const AVStream *mine = tail->streams[i], *opened = m_context->streams[i];
    if (mine->codecpar->codec_type != opened->codecpar->codec_type ||
        av_cmp_q(mine->time_base, opened->time_base) != 0)
      return false;
  }
  return true;
}

int AVReadBound::readFrame(AVPacket *packet)
{
  _startStep();
  return av_read_frame(m_context, packet);
}

int AVReadBound::seekFile(int streamIndex, int64_t timestamp)
{
  _startStep();
  return avformat_seek_file(m_context, streamIndex, INT64_MIN, timestamp, INT64_MAX, 0);
}
