#pragma once
// Cancels and bounds FFmpeg's reading of one input. Each step (opening with its probe, one packet
// read, one seek) may read at most kStepBytes and make at most kStepCalls calls into the file:
// a real file reads a few megabytes in any step, while a demuxer handed gigabytes of zeros scans
// on, hunting for a header or a frame, until the file ends. The WAV demuxer walks such zeros as
// chunks of eight bytes and asks the file's size at every one: millions of calls, each answered
// by the system, before it has read the bytes the bound allows.
// The input reads the file through an IO context of the bound's own, which answers the size
// taken at opening without asking the system again.
// Plain FFmpeg and C++: the engine, the waveform and the media facts all read through it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

struct AVFormatContext;
struct AVIOContext;
struct AVPacket;

class AVReadBound
{
public:
  static constexpr int64_t kStepBytes = int64_t(64) << 20;
  // A real file's step reads whole buffers of 32 KiB, some two thousand of them at most, and
  // seeks or asks the size a few times between them: a fragmented MP4's opening some ten times a
  // fragment. A demuxer walking zeros reaches this within a few megabytes.
  static constexpr int64_t kStepCalls = int64_t(1) << 20;

  // Open results.
  enum { kOpened = 0, kInputFailed = -1, kNoStreamInfo = -2 };

  // cancelled may be empty; it is asked on the reading thread before every call into the file
  // and whenever FFmpeg checks for an interruption.
  explicit AVReadBound(std::function<bool()> cancelled = {});
  ~AVReadBound();
  AVReadBound(const AVReadBound &) = delete;
  AVReadBound &operator=(const AVReadBound &) = delete;

  // avformat_open_input and avformat_find_stream_info as one step; on success *context is the
  // open input, which must be closed before the bound goes or opens again: the bound owns the
  // input's IO context. On failure *context is null.
  int open(AVFormatContext **context, const char *path);
  // One av_read_frame or avformat_seek_file of the opened input, as a step of its own.
  int readFrame(AVPacket *packet);
  int seekFile(int streamIndex, int64_t timestamp);
  // Whether the last step was cut off: cancelled, or beyond the bound.
  bool stopped() const { return m_stopped; }

private:
  struct _FileCloser
  {
    void operator()(AVIOContext *file) const;
  };
  struct _InputFreer
  {
    void operator()(AVIOContext *input) const;
  };

  static int _interrupt(void *bound);
  static int _read(void *bound, uint8_t *data, int size);
  static int64_t _seek(void *bound, int64_t offset, int whence);
  // Counts one call into the file; false when the step may make it no more.
  bool _admitCall();
  bool _mayGoOn();
  void _startStep();
  void _closeFile();

  std::function<bool()> m_cancelled;
  AVFormatContext *m_context = nullptr;
  // The file as FFmpeg's file protocol reads it, unbuffered, and the buffered input the demuxer
  // reads, which calls _read and _seek.
  std::unique_ptr<AVIOContext, _FileCloser> m_file;
  std::unique_ptr<AVIOContext, _InputFreer> m_input;
  // The file's size at opening: the answer to every question for it.
  int64_t m_size = 0;
  // The work of the current step; counted on the reading thread.
  int64_t m_stepBytes = 0;
  int64_t m_stepCalls = 0;
  std::atomic<bool> m_stopped{false};
};
