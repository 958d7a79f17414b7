#pragma once
// Reader of one media file: opens it, picks its best audio or video stream and decoder, and runs
// a read thread (packets into a bounded queue) and a decode thread (frames into a bounded queue).
// A serial number marks every packet and frame; each seek starts a new serial, and records of an
// older one are dropped wherever they are met. Decode loops belong to the subclasses.

#include "avreadbound.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

struct AVFormatContext;
struct AVStream;
struct AVCodecContext;
struct AVCodec;
struct AVBufferRef;
struct AVPacket;
struct AVDictionary;
struct AVFrame;
struct AVMutex;
struct AVCondition;
class AVThread_QThread_Type;
class AVContent;

// Frame record kinds.
enum : uint32_t {
  kAVFrameBGRA = 0,     // 4 bytes a pixel; also audio PCM
  kAVFrameYUV420 = 1,   // Y, then U, then V planes
  kAVFrameUYVY422 = 2,  // one packed plane
  kAVFrameNV12 = 3,     // Y, then interleaved UV of half height
  kAVFrameBorrowed = 4, // data the record does not own
};

// Open results.
enum : int32_t {
  kAVOpenOk = 0,
  kAVOpenInputFailed = -2,
  kAVOpenNoStreamInfo = -3,
  kAVOpenNoAudioDecoder = -4,
  kAVOpenAudioDecoderFailed = -5,
  kAVOpenNoAudioStream = -6,
  kAVOpenNoVideoDecoder = -7,
  kAVOpenVideoDecoderFailed = -8,
  kAVOpenNoVideoStream = -9,
};

enum : int32_t { kAVMediaVideo = 0, kAVMediaAudio = 1 };

struct AVFrameRecord
{
  // malloc'ed, or the first plane of `picture`; the taker owns the record (unless kind 4).
  uint8_t *data = nullptr;
  uint32_t kind = 0;
  uint32_t width = 0;        // pixels a row (BGRA), luma texture width, even (1, 3), stride / 2 (2)
  uint32_t height = 0;
  uint32_t visibleWidth = 0; // the picture's real width for kinds 1 to 3
  uint32_t size = 0;
  double time = 0;
  double duration = 0;
  uint32_t serial = 0;
  bool opaque = false; // a BGRA picture of a source without alpha
  // The decoder's own picture, held rather than copied: its buffers live until freeFrameRecord,
  // also past the stream. Kinds 1 to 3 read their planes where it keeps them.
  AVFrame *picture = nullptr;
  const uint8_t *planes[3] = {};
  int strides[3] = {}; // bytes from one row of a plane to the next
};

struct AVPacketRecord
{
  AVPacket *packet = nullptr; // owned; no data and size 0 is the decoder's drain signal
  int32_t serial = 0;
};

void freeFrameRecord(AVFrameRecord &record);
void freePacketRecord(AVPacketRecord &record);

// data is a frame, the end marker (pointer value 1, size 0) or null.
using AVSeekDoneCallback = void (*)(AVContent *stream, uint8_t *data, uint32_t size, double time, void *userData);
using AVStreamLoadedCallback = void (*)(AVContent *stream, int result, void *userData);

class AVContent
{
public:
  AVContent() = default;
  AVContent(const AVContent &) = delete;
  AVContent &operator=(const AVContent &) = delete;
  virtual ~AVContent() = default;

  // The oldest frame of the current serial; data null when there is none.
  virtual AVFrameRecord takeFrame(bool wait) = 0;
  virtual void videoSize(int *width, int *height) = 0;
  virtual void seek(double time, AVSeekDoneCallback done, void *userData, bool exact) = 0;
  // A BGRA picture the caller frees with free(), or null.
  virtual uint8_t *frameAt(double time, uint32_t *size) = 0;

  double seekTarget() const { return _seekTarget; }

protected:
  std::atomic<double> _seekTarget{0};
  AVSeekDoneCallback _seekDone = nullptr;
  void *_seekDoneData = nullptr;
};

class AVStreamBase : public AVContent
{
public:
  explicit AVStreamBase(const std::string &fileName);
  ~AVStreamBase() override;

  AVFrameRecord takeFrame(bool wait) override;
  // The time of the frame takeFrame would give next, left queued (or still being converted);
  // false when none of `serial` is there. Waiting, it returns once one comes, the stream ends or
  // that generation is over.
  bool peekFrameTime(uint32_t serial, bool wait, double *time);
  void videoSize(int *width, int *height) override;
  void seek(double time, AVSeekDoneCallback done, void *userData, bool exact) override;
  uint8_t *frameAt(double time, uint32_t *size) override;
  virtual bool sleep();
  virtual bool awaken();
  virtual int open(int mediaKind);

  void startLoading(int mediaKind, AVStreamLoadedCallback callback, void *userData);
  // Blocks until the loading thread (and its callback) has finished.
  void waitForLoading();
  double duration() const;
  // Other threads may ask while the loading thread opens: the flag is set once all is read.
  bool isOpen() const { return _opened; }
  bool isReadEnded() const { return _readAtEnd; }
  bool isDecodeEnded() const { return _decodeAtEnd; }
  bool isSeekPastEnd() const { return _seekPastEnd; }
  bool isAwake();
  void setHardwareDecodingDisabled(bool disabled) { _hardwareDisabled = disabled; }
  // A reason of the owner's to break off reading, besides the stream's own stop; asked on the
  // reading threads. Set before opening.
  void setCancel(std::function<bool()> cancelled) { _cancelled = std::move(cancelled); }
  int mediaKind() const { return _mediaKind; }
  // Seconds of one tick of the stream's clock (its time base); 0 until opened.
  double timeTick() const;
  // How far a picture may lie past a media time and still be due there: half a tick of its clock,
  // at most half a millisecond.
  double dueSlack() const;
  int streamId() const { return _streamId; }
  uint32_t serial() const { return uint32_t(_serial.load()); }
  const std::string &fileName() const { return _fileName; }
  int packetCount();
  int frameCount();

  // Every subclass open runs in its turn: one file is opened and probed at a time. Opens that a
  // picture waits for go first: a movie shows nothing until its video and its sound are open.
  // A stream being destroyed stops waiting without the turn, and its open then fails.
  class OpenTurn
  {
  public:
    OpenTurn(const AVStreamBase &stream, bool picture);
    ~OpenTurn();
    OpenTurn(const OpenTurn &) = delete;
    OpenTurn &operator=(const OpenTurn &) = delete;

  private:
    friend class AVStreamBase;
    // Lets every waiting open look again whether its stream is being destroyed.
    static void _wakeWaiting();
    bool _granted = false;
  };
  // Opens waiting for their turn.
  static int waitingOpens();
  // Whether a video stream of the file exists: its sound is then a movie's.
  static bool hasPictures(const std::string &fileName);

protected:
  virtual void decodeLoop() {}
  void startReadThread(int streamIndex, int maxPackets);
  // Counts the stream among the file's video streams while it lives.
  void countAsPictures(bool counted);
  void startDecodeThread(int maxFrames);
  // Stops and joins both threads; subclasses call it first in their destructor, before their
  // own state goes.
  void stopThreads();
  // Extra wake-up for a decode loop parked outside the queues.
  virtual void wakeDecoder() {}
  // Runs in seek() once the new generation is visible to both threads and the stale records
  // are gone; the threads may already be working on the new position.
  virtual void seekAnnounced() {}

  AVPacketRecord takePacket();
  void pushFrame(AVFrameRecord &record);
  // Waits until the queue holds fewer than `limit` frames (and has room) for a frame of `serial`;
  // false once that generation is over. The frame's time, when given, answers peekFrameTime
  // until the frame is pushed: a consumer that only needs to know when the next picture lies
  // does not wait for it to be converted.
  bool waitForRoom(uint32_t serial, int limit, double time = -1);
  // Calls the completion callback of the seek that started `serial`, unless another seek has
  // replaced it meanwhile.
  void reportSeekDone(int32_t serial, uint8_t *data, uint32_t size, double time);
  // Seeks again with the current completion callback.
  void seekAgain(double time, bool exact);
  void flushPackets();
  void flushFrames();
  void reopenDecoder();
  // Releases the decoder when the process asks idle streams to, or always.
  void releaseDecoder(bool always = false);
  // Sets the options of a fresh decoder context by the stream's kind.
  void decoderOptions(AVDictionary **options) const;
  // The seek of a synchronous fetch: a new serial, empty queues, the read position owned by it.
  // Call with the demux lock held.
  void startSynchronousGeneration(double target);

  std::string _fileName;
  AVFormatContext *_format = nullptr;
  std::atomic<int32_t> _serial{1};
  // The serial of the last seek asked for through seek(): its first frame completes it.
  std::atomic<int32_t> _seekSerial{0};
  std::atomic<bool> _seekRequested{false};
  std::atomic<bool> _paused{false};
  std::atomic<bool> _seekPastEnd{false};
  std::atomic<bool> _exactSeek{true};
  // Media time of the last frame the consumer took, or of the last seek since.
  std::atomic<double> _consumerTime{0};
  AVStream *_stream = nullptr;
  AVCodecContext *_decoder = nullptr;
  const AVCodec *_codec = nullptr;
  AVBufferRef *_hardwareDevice = nullptr;
  int32_t _hardwareFormat = -1;
  std::atomic<int32_t> _mediaKind{-1};
  int32_t _streamId;
  std::atomic<bool> _readQuit{false};
  std::atomic<bool> _decodeQuit{false};
  std::atomic<bool> _readAtEnd{false};
  std::atomic<bool> _decodeAtEnd{false};
  std::atomic<bool> _hardwareDisabled{false};
  // A decoder that only makes a handful of single pictures: frame threads would hold each one back
  // until as many packets as threads were sent.
  bool _singlePictures = false;
  int32_t _streamIndex = -1;
  // Guards the demuxer: the read thread's seek and read, and a synchronous fetch.
  AVMutex *_demuxLock;
  // Every open, read and seek of the input goes through it: a stream being stopped breaks off
  // whatever FFmpeg is reading.
  std::function<bool()> _cancelled;
  AVReadBound _readBound{[this] { return _threadsStopped.load() || (_cancelled && _cancelled()); }};

  AVMutex *_packetLock;
  AVCondition *_packetCondition;
  std::deque<AVPacketRecord> _packets;
  int32_t _maxPackets = 0;

  AVMutex *_frameLock;
  AVCondition *_frameCondition;
  std::deque<AVFrameRecord> _frames;
  int32_t _maxFrames = 0;
  // The time of the frame of that serial waiting for room, or below 0.
  double _comingTime = -1;
  uint32_t _comingSerial = 0;

private:
  static int _loadingThreadBody(AVThread_QThread_Type *thread, void *stream);
  static int _readThreadBody(AVThread_QThread_Type *thread, void *stream);
  static int _decodeThreadBody(AVThread_QThread_Type *thread, void *stream);
  void _readLoop();
  int _openVideo();
  int _openAudio();
  void _closeInput();
  // Call with the packet lock held.
  void _clearPackets();
  // Frees the frames of older serials; call with the frame lock held.
  void _dropStaleFrames();
  bool _setUpHardware(AVCodecContext *context);
  AVCodecContext *_makeDecoderContext();

  AVThread_QThread_Type *_loadingThread = nullptr;
  AVStreamLoadedCallback _loadedCallback = nullptr;
  void *_loadedData = nullptr;
  AVThread_QThread_Type *_readThread = nullptr;
  AVThread_QThread_Type *_decodeThread = nullptr;
  // The serial under which the demuxer's position was set; packets read carry it.
  std::atomic<int32_t> _positionSerial{1};
  std::atomic<bool> _threadsStopped{false};
  std::atomic<bool> _readStarted{false};
  std::atomic<bool> _opened{false};
};
