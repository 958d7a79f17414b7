#include "avreadbound.h"

#include <climits>

extern "C" {
#include <libavformat/avformat.h>
}

AVReadBound::AVReadBound(std::function<bool()> cancelled) : m_cancelled(std::move(cancelled)) {}

int AVReadBound::_interrupt(void *opaque)
{
  auto *bound = static_cast<AVReadBound *>(opaque);
  const AVIOContext *io = bound->m_context ? bound->m_context->pb : nullptr;
  const bool beyond = io && io->bytes_read - bound->m_stepStart > kStepBytes;
  if (beyond || (bound->m_cancelled && bound->m_cancelled())) {
    bound->m_stopped = true;
    return 1;
  }
  return 0;
}

void AVReadBound::_startStep()
{
  m_stopped = false;
  const AVIOContext *io = m_context ? m_context->pb : nullptr;
  m_stepStart = io ? io->bytes_read : 0;
}

int AVReadBound::open(AVFormatContext **context, const char *path)
{
  *context = nullptr;
  m_context = avformat_alloc_context();
  if (!m_context)
    return kInputFailed;
  m_context->interrupt_callback.callback = _interrupt;
  m_context->interrupt_callback.opaque = this;
  _startStep();
  // Frees the context on failure.
  if (avformat_open_input(&m_context, path, nullptr, nullptr) < 0) {
    m_context = nullptr;
    return kInputFailed;
  }
  // The probe continues the opening's step: the two together stay within the bound. A probe cut
  // off may still answer with what it found by then; the input is unusable all the same.
  if (avformat_find_stream_info(m_context, nullptr) < 0 || m_stopped) {
    avformat_close_input(&m_context);
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
