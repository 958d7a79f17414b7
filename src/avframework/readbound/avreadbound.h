#pragma once
// Cancels and bounds FFmpeg's reading of one input through its interrupt callback. Each step
// (opening with its probe, one packet read, one seek) may read at most kStepBytes: a real file
// reads a few megabytes in any step, while a demuxer handed gigabytes of zeros scans on, hunting
// for a header or a frame, until the file ends.
// Plain FFmpeg and C++: the engine, the waveform and the media facts all read through it.

#include <atomic>
#include <cstdint>
#include <functional>

struct AVFormatContext;
struct AVPacket;

class AVReadBound
{
public:
  static constexpr int64_t kStepBytes = int64_t(64) << 20;

  // Open results.
  enum { kOpened = 0, kInputFailed = -1, kNoStreamInfo = -2 };

  // cancelled may be empty; it is asked on the reading thread, often.
  explicit AVReadBound(std::function<bool()> cancelled = {});
  AVReadBound(const AVReadBound &) = delete;
  AVReadBound &operator=(const AVReadBound &) = delete;

  // avformat_open_input and avformat_find_stream_info as one step; on success *context is the
  // open input, which must be closed before the bound goes. On failure *context is null.
  int open(AVFormatContext **context, const char *path);
  // One av_read_frame or avformat_seek_file of the opened input, as a step of its own.
  int readFrame(AVPacket *packet);
  int seekFile(int streamIndex, int64_t timestamp);
  // Whether the last step was cut off: cancelled, or beyond the bound.
  bool stopped() const { return m_stopped; }

private:
  static int _interrupt(void *bound);
  void _startStep();

  std::function<bool()> m_cancelled;
  AVFormatContext *m_context = nullptr;
  std::atomic<int64_t> m_stepStart{0};
  std::atomic<bool> m_stopped{false};
};
