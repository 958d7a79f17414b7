#pragma once
// Cancels and bounds FFmpeg's reading of one input. A demuxer handed a believable header and then
// gigabytes of zeros scans on, hunting for a chunk, a cluster or a frame, until the file ends:
// the WAV demuxer walks them as chunks of eight bytes, asking the file's size at every one; the
// CAF one as empty chunks of twelve; the AVI and Matroska ones byte by byte for a valid header.
// A healthy file never looks like that, however long it is: a fragmented MP4's opening reads
// every fragment's header, a seek in Matroska without Cues or in an MP3 without a seek table
// reads forward to the target, and every buffer of it carries data.
// So a step (opening with its probe, one packet read, one seek) goes on while what it reads
// carries data, and is given up when it has read kEmptyBytes of zeros or made kIdleCalls calls
// into the file since it last read a byte that was not zero. A payload the demuxer asks for in
// one piece, longer than its buffer (a packet of known size), is data whatever its bytes: an
// uncompressed black picture is zeros. Beside that, no step reads more than the whole file and
// kStepBytes: FFmpeg's own scans of a file read each part of it once.
// The input reads the file through an IO context of the bound's own, which answers the size
// taken at opening without asking the system again.
// A file that stores no length (Matroska or WebM written live or to a pipe: a recorder stopped
// abruptly, a browser's recording) gets it at opening from the packets at its end, in a step of
// its own, as FFmpeg does for the containers it reads the end of itself; a length FFmpeg only
// guessed from the bit rates counts as none. What the end gave is kept for the file, by its
// path, size and time of change: opened again, it is not read again.
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
  // Zeros read since the step's last data. Zeros come at the speed of memory from a sparse file
  // and each costs a demuxer's walk some work: the slowest walk (CAF's, a warning per twelve
  // bytes) takes under a second over this many.
  static constexpr int64_t kEmptyBytes = int64_t(8) << 20;
  // Reads, seeks and size queries since the step's last data. A healthy step makes a dozen or so
  // between two reads of data (a fragment's header, a seek's landing).
  static constexpr int64_t kIdleCalls = int64_t(1) << 16;
  // What a step may read beyond the file's size; all it may read of a pipe or a device, whose
  // size is not known.
  static constexpr int64_t kStepBytes = int64_t(64) << 20;

  // The end of the file first read for its length; doubled while a stream has no packet in it,
  // up to kTailMaxBytes.
  static constexpr int64_t kTailBytes = int64_t(256) << 10;
  static constexpr int64_t kTailMaxBytes = int64_t(16) << 20;

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
  // input's IO context. On failure *context is null. A seekable file whose length neither its
  // container nor FFmpeg's probe knows gets it from its end (the container's and each stream's
  // duration), or keeps it unknown where the end cannot be read; the input reads on from where
  // it stood either way.
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

  int _open(AVFormatContext **context, const char *path);
  // Fills the opened input's unknown length from its end; false when cancelled.
  bool _findLength(const char *path);
  // The end of each stream, in its time base, from windows at the file's end widened while one
  // has no packet in them; false when cancelled.
  bool _readEnds(const char *path, int64_t *ends);
  // The end of each stream read from the last bytes of the file, up to the packets that start at
  // until; false when the demuxer could not be opened again or the streams it found differ.
  bool _readTail(const char *path, int64_t bytes, int64_t until, int64_t *ends);
  static int _interrupt(void *bound);
  static int _read(void *bound, uint8_t *data, int size);
  static int64_t _seek(void *bound, int64_t offset, int whence);
  // Counts one call into the file; false when the step may make it no more.
  bool _admitCall();
  // Counts what a read brought.
  void _countRead(const uint8_t *data, int size, int read);
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
  // While the end is read, no seek goes before it: a demuxer that lost its place would go back
  // to the last place it knew and read the whole file from there.
  int64_t m_floor = 0;
  // The work of the current step; counted on the reading thread.
  int64_t m_stepBytes = 0;
  int64_t m_emptyBytes = 0;
  int64_t m_idleCalls = 0;
  std::atomic<bool> m_stopped{false};
  // The step was cut off by the cancel, not by the bound.
  bool m_cancelHit = false;
};
