#include "avreadbound.h"

#include "avffmpeglog.h"

#include <climits>
#include <cstring>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
// As FFmpeg buffers a file it opens itself.
constexpr int kBufferSize = 32768;

bool _allZeros(const uint8_t *data, int size)
{
  // Each byte equal to the next, and the first zero.
  return size > 0 && data[0] == 0 && std::memcmp(data, data + 1, size_t(size) - 1) == 0;
}
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
  if (m_stepBytes > stepBytes || m_emptyBytes > kEmptyBytes || m_idleCalls > kIdleCalls ||
      (m_cancelled && m_cancelled())) {
    m_stopped = true;
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
  return avio_seek(bound->m_file.get(), offset, whence);
}

void AVReadBound::_startStep()
{
  m_stopped = false;
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
  if (m_stopped || avformat_find_stream_info(m_context, nullptr) < 0 || m_stopped) {
    avformat_close_input(&m_context);
    _closeFile();
    return kNoStreamInfo;
  }
  *context = m_context;
  return kOpened;
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
