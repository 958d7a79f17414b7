#include "avmediastream.h"

#include "avcommon.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/hwcontext.h>
#include <libavutil/opt.h>
}

namespace {
std::atomic<int32_t> g_streamCounter{0};
std::atomic<int32_t> g_awakeStreams{0};

// What the format callback needs of its stream, kept where FFmpeg hands it back.
struct _DecoderTag
{
  int32_t hardwareFormat;
  bool attachedPicture;
};

// The hardware decode device of this platform; none on Linux, where decoding is software.
const char *_platformHardwareDevice()
{
#ifdef _WIN32
  return "d3d11va";
#else
  return nullptr;
#endif
}

bool _isAttachedPicture(const AVStream *stream)
{
  return stream && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

AVPixelFormat _formatCallback(AVCodecContext *context, const AVPixelFormat *formats)
{
  if (!formats || *formats == AV_PIX_FMT_NONE) {
    avPrint("Failed to get HW surface format.\n");
    return AV_PIX_FMT_NONE;
  }
  const auto *tag = static_cast<const _DecoderTag *>(context->opaque);
  AVPixelFormat chosen = AV_PIX_FMT_NONE;
  for (const AVPixelFormat *p = formats; *p != AV_PIX_FMT_NONE; ++p) {
    if (tag && tag->hardwareFormat >= 0 && *p == tag->hardwareFormat)
      return *p;
    if (chosen == AV_PIX_FMT_NONE && (*p == AV_PIX_FMT_YUV420P || *p == AV_PIX_FMT_YUVJ420P || *p == AV_PIX_FMT_UYVY422)) {
      chosen = *p;
      av_opt_set(context, "threads", tag && tag->attachedPicture ? "1" : "auto", 0);
    }
  }
  avPrint("Failed to get HW surface format.\n");
  return chosen;
}

_DecoderTag *_tagFor(AVCodecContext *context)
{
  if (!context->opaque)
    context->opaque = new _DecoderTag{-1, false};
  return static_cast<_DecoderTag *>(context->opaque);
}

void _freeDecoderContext(AVCodecContext **context)
{
  if (!*context)
    return;
  delete static_cast<_DecoderTag *>((*context)->opaque);
  (*context)->opaque = nullptr;
  avcodec_free_context(context);
}
} // namespace

void freeFrameRecord(AVFrameRecord &record)
{
  if (record.picture)
    av_frame_free(&record.picture);
  else if (record.kind != kAVFrameBorrowed)
    free(record.data);
  record.data = nullptr;
}

void freePacketRecord(AVPacketRecord &record)
{
  av_packet_free(&record.packet);
}

namespace {
struct _OpenLock
{
  std::mutex mutex;
  std::condition_variable pictureTurn, laterTurn;
  bool busy = false;
  int waitingPictures = 0;
  int waitingLater = 0;
  // Live video streams by file.
  std::unordered_map<std::string, int> pictureFiles;
};

_OpenLock &_openLock()
{
  // Made by the first stream and never destroyed.
  static auto *lock = new _OpenLock;
  return *lock;
}
} // namespace

namespace {
// Hands a free turn to the next waiting open; call with the lock's mutex held.
void _passTurn(_OpenLock &lock)
{
  if (lock.busy)
    return;
  if (lock.waitingPictures > 0)
    lock.pictureTurn.notify_one();
  else
    lock.laterTurn.notify_one();
}
} // namespace

AVStreamBase::OpenTurn::OpenTurn(const AVStreamBase &stream, bool picture)
{
  _OpenLock &lock = _openLock();
  std::unique_lock<std::mutex> hold(lock.mutex);
  int &waiting = picture ? lock.waitingPictures : lock.waitingLater;
  ++waiting;
  (picture ? lock.pictureTurn : lock.laterTurn).wait(hold, [&] {
    return stream._threadsStopped || (!lock.busy && (picture || lock.waitingPictures == 0));
  });
  --waiting;
  // A stream being destroyed leaves the queue without its turn; the wake it may have taken
  // goes on to the next.
  _granted = !stream._threadsStopped;
  if (_granted)
    lock.busy = true;
  else
    _passTurn(lock);
}

AVStreamBase::OpenTurn::~OpenTurn()
{
  if (!_granted)
    return;
  _OpenLock &lock = _openLock();
  std::lock_guard<std::mutex> hold(lock.mutex);
  lock.busy = false;
  _passTurn(lock);
}

void AVStreamBase::OpenTurn::_wakeWaiting()
{
  _OpenLock &lock = _openLock();
  std::lock_guard<std::mutex> hold(lock.mutex);
  lock.pictureTurn.notify_all();
  lock.laterTurn.notify_all();
}

int AVStreamBase::waitingOpens()
{
  _OpenLock &lock = _openLock();
  std::lock_guard<std::mutex> hold(lock.mutex);
  return lock.waitingPictures + lock.waitingLater;
}

bool AVStreamBase::hasPictures(const std::string &fileName)
{
  _OpenLock &lock = _openLock();
  std::lock_guard<std::mutex> hold(lock.mutex);
  return lock.pictureFiles.count(fileName) > 0;
}

void AVStreamBase::countAsPictures(bool counted)
{
  _OpenLock &lock = _openLock();
  std::lock_guard<std::mutex> hold(lock.mutex);
  if (counted) {
    ++lock.pictureFiles[_fileName];
  } else {
    auto it = lock.pictureFiles.find(_fileName);
    if (it != lock.pictureFiles.end() && --it->second == 0)
      lock.pictureFiles.erase(it);
  }
}

AVStreamBase::AVStreamBase(const std::string &fileName)
  : _fileName(fileName), _streamId(++g_streamCounter), _demuxLock(avMutexCreate()), _packetLock(avMutexCreate()),
    _packetCondition(avCondCreate()), _frameLock(avMutexCreate()), _frameCondition(avCondCreate())
{
  _openLock();
}

AVStreamBase::~AVStreamBase()
{
  stopThreads();
  flushPackets();
  flushFrames();
  _freeDecoderContext(&_decoder);
  av_buffer_unref(&_hardwareDevice);
  _closeInput();
  avMutexDestroy(_demuxLock);
  avMutexDestroy(_packetLock);
  avCondDestroy(_packetCondition);
  avMutexDestroy(_frameLock);
  avCondDestroy(_frameCondition);
}

void AVStreamBase::stopThreads()
{
  if (_threadsStopped)
    return;
  _threadsStopped = true;
  // The loading thread may still be waiting for its open turn, opening, making thumbnails or
  // starting the other two.
  _readQuit = true;
  _decodeQuit = true;
  OpenTurn::_wakeWaiting();
  waitForLoading();
  _readQuit = true;
  _decodeQuit = true;
  {
    AVMutexLocker packets(_packetLock);
    avCondWakeAll(_packetCondition);
  }
  {
    AVMutexLocker frames(_frameLock);
    avCondWakeAll(_frameCondition);
  }
  wakeDecoder();
  for (AVThread_QThread_Type **thread : {&_readThread, &_decodeThread}) {
    if (*thread) {
      avThreadWait(*thread);
      avThreadDestroy(*thread);
      *thread = nullptr;
    }
  }
}

void AVStreamBase::waitForLoading()
{
  if (_loadingThread) {
    avThreadWait(_loadingThread);
    avThreadDestroy(_loadingThread);
    _loadingThread = nullptr;
  }
}

void AVStreamBase::_closeInput()
{
  _opened = false;
  if (_format)
    avformat_close_input(&_format);
  _format = nullptr;
  _stream = nullptr;
}

AVFrameRecord AVStreamBase::takeFrame(bool wait)
{
  AVFrameRecord result;
  AVMutexLocker locker(_frameLock);
  while (!_decodeQuit) {
    if (!_frames.empty()) {
      AVFrameRecord record = _frames.front();
      _frames.pop_front();
      avCondWakeAll(_frameCondition);
      if (int32_t(record.serial) == _serial) {
        result = record;
        _consumerTime = record.time;
        break;
      }
      freeFrameRecord(record);
      continue;
    }
    if (_decodeAtEnd || _maxFrames < 1 || !wait)
      break;
    avCondWait(_frameCondition, _frameLock);
  }
  return result;
}

bool AVStreamBase::peekFrameTime(uint32_t serial, bool wait, double *time)
{
  AVMutexLocker locker(_frameLock);
  while (!_decodeQuit && int32_t(serial) == _serial) {
    if (!_frames.empty()) {
      if (_frames.front().serial != serial)
        return false;
      *time = _frames.front().time;
      return true;
    }
    if (_comingTime >= 0 && _comingSerial == serial) {
      *time = _comingTime;
      return true;
    }
    if (_decodeAtEnd || _maxFrames < 1 || !wait)
      break;
    avCondWait(_frameCondition, _frameLock);
  }
  return false;
}

void AVStreamBase::videoSize(int *width, int *height)
{
  if (width)
    *width = 0;
  if (height)
    *height = 0;
}

uint8_t *AVStreamBase::frameAt(double, uint32_t *size)
{
  if (size)
    *size = 0;
  return nullptr;
}

void AVStreamBase::seek(double time, AVSeekDoneCallback done, void *userData, bool exact)
{
  if (_mediaKind < 0 || !_readStarted)
    return;
  double target = std::max(0.0, time);
  const double length = duration();
  _seekPastEnd = target >= length;
  if (_seekPastEnd)
    target = length;
  _seekTarget = target;
  {
    // The new generation starts here: whatever was read or decoded before is stale from now on,
    // also what the read thread is reading at this moment. The queue is emptied in the same hold:
    // once the lock is let go the read thread may seek and queue the new position's first
    // packets, and a later flush would throw away its key frame.
    AVMutexLocker packets(_packetLock);
    const int32_t next = _serial + 1;
    _seekDone = done;
    _seekDoneData = userData;
    _exactSeek = exact;
    _seekSerial = next;
    _serial = next;
    _seekRequested = true;
    _readAtEnd = false;
    _clearPackets();
  }
  {
    // After the new serial: a decode loop ending the old generation cannot set it again, a frame
    // taken now cannot move the consumer back, and a first frame already decoded stays.
    AVMutexLocker frames(_frameLock);
    _decodeAtEnd = false;
    _consumerTime = target;
    _dropStaleFrames();
  }
  seekAnnounced();
  wakeDecoder();
}

void AVStreamBase::reportSeekDone(int32_t serial, uint8_t *data, uint32_t size, double time)
{
  AVSeekDoneCallback done;
  void *userData;
  {
    AVMutexLocker packets(_packetLock);
    if (serial != _seekSerial || serial != _serial)
      return;
    done = _seekDone;
    userData = _seekDoneData;
  }
  if (done)
    done(this, data, size, time, userData);
}

void AVStreamBase::seekAgain(double time, bool exact)
{
  AVSeekDoneCallback done;
  void *userData;
  {
    AVMutexLocker packets(_packetLock);
    done = _seekDone;
    userData = _seekDoneData;
  }
  seek(time, done, userData, exact);
}

void AVStreamBase::startSynchronousGeneration(double target)
{
  _seekTarget = target;
  {
    AVMutexLocker packets(_packetLock);
    _serial = _serial + 1;
    _positionSerial = int32_t(_serial);
    _seekRequested = false;
    _readAtEnd = false;
    _clearPackets();
  }
  {
    AVMutexLocker frames(_frameLock);
    _decodeAtEnd = false;
    _dropStaleFrames();
  }
}

bool AVStreamBase::isAwake()
{
  AVMutexLocker packets(_packetLock);
  return _maxPackets != 0;
}

int AVStreamBase::packetCount()
{
  AVMutexLocker packets(_packetLock);
  return int(_packets.size());
}

int AVStreamBase::frameCount()
{
  AVMutexLocker frames(_frameLock);
  return int(_frames.size());
}

bool AVStreamBase::awaken()
{
  {
    AVMutexLocker packets(_packetLock);
    AVMutexLocker frames(_frameLock);
    if ((_maxPackets != 0 && _maxFrames != 0) || !_readStarted)
      return false;
  }
  const bool audio = _mediaKind == kAVMediaAudio;
  {
    AVMutexLocker packets(_packetLock);
    _maxPackets = audio ? 16 : 4;
    avCondWakeAll(_packetCondition);
  }
  {
    AVMutexLocker frames(_frameLock);
    _maxFrames = audio ? 8 : 2;
    avCondWakeAll(_frameCondition);
  }
  avLog("(%d)(%d) stream awaken. (%d)\n", _streamId, int(_mediaKind), int(++g_awakeStreams));
  return true;
}

bool AVStreamBase::sleep()
{
  {
    AVMutexLocker packets(_packetLock);
    AVMutexLocker frames(_frameLock);
    if (_maxPackets == 0 && _maxFrames == 0)
      return false;
  }
  {
    AVMutexLocker packets(_packetLock);
    _maxPackets = 0;
  }
  {
    AVMutexLocker frames(_frameLock);
    _maxFrames = 0;
  }
  flushPackets();
  flushFrames();
  avLog("(%d)(%d) stream sleep. (%d)\n", _streamId, int(_mediaKind), int(--g_awakeStreams));
  return true;
}

double AVStreamBase::timeTick() const
{
  return _opened && _stream ? av_q2d(_stream->time_base) : 0;
}

double AVStreamBase::dueSlack() const
{
  return std::min(std::max(timeTick() / 2, 0.0), 0.0005) + 1e-7;
}

double AVStreamBase::duration() const
{
  if (!_opened)
    return 0;
  if (_stream->duration != AV_NOPTS_VALUE && _stream->duration > 0)
    return double(_stream->duration) * av_q2d(_stream->time_base);
  if (_format->duration != AV_NOPTS_VALUE && _format->duration > 0)
    return double(_format->duration) / AV_TIME_BASE;
  const double rate = av_q2d(_stream->avg_frame_rate);
  // FFmpeg 5.1 keeps the probe's frame count to itself: only a stated count is known.
  const int64_t frames = std::max<int64_t>(0, _stream->nb_frames);
  // A stream without a stated rate has no duration to derive.
  return rate > 0 ? double(frames) / rate : 0;
}

void AVStreamBase::startLoading(int mediaKind, AVStreamLoadedCallback callback, void *userData)
{
  waitForLoading();
  _mediaKind = mediaKind;
  _loadedCallback = callback;
  _loadedData = userData;
  _loadingThread = avThreadCreate(_loadingThreadBody, this);
  avThreadStart(_loadingThread);
}

int AVStreamBase::_loadingThreadBody(AVThread_QThread_Type *, void *argument)
{
  auto *stream = static_cast<AVStreamBase *>(argument);
  const int result = stream->open(stream->_mediaKind != kAVMediaVideo ? kAVMediaAudio : kAVMediaVideo);
  if (stream->_loadedCallback)
    stream->_loadedCallback(stream, result, stream->_loadedData);
  return 0;
}

void AVStreamBase::startReadThread(int streamIndex, int maxPackets)
{
  // The stream is being destroyed: no new thread may start behind the joins.
  if (_threadsStopped)
    return;
  if (_readThread && !_readQuit)
    return;
  if (_readThread) {
    avThreadWait(_readThread);
    avThreadDestroy(_readThread);
  }
  {
    AVMutexLocker packets(_packetLock);
    _streamIndex = streamIndex;
    _maxPackets = maxPackets;
  }
  _readQuit = false;
  _readThread = avThreadCreate(_readThreadBody, this);
  avThreadStart(_readThread);
  _readStarted = true;
}

void AVStreamBase::startDecodeThread(int maxFrames)
{
  if (_threadsStopped)
    return;
  if (_decodeThread && !_decodeQuit)
    return;
  if (_decodeThread) {
    avThreadWait(_decodeThread);
    avThreadDestroy(_decodeThread);
  }
  {
    AVMutexLocker frames(_frameLock);
    _maxFrames = maxFrames;
  }
  _decodeQuit = false;
  _decodeThread = avThreadCreate(_decodeThreadBody, this);
  avThreadStart(_decodeThread);
}

int AVStreamBase::_readThreadBody(AVThread_QThread_Type *, void *argument)
{
  static_cast<AVStreamBase *>(argument)->_readLoop();
  return 0;
}

int AVStreamBase::_decodeThreadBody(AVThread_QThread_Type *, void *argument)
{
  static_cast<AVStreamBase *>(argument)->decodeLoop();
  return 0;
}

void AVStreamBase::_readLoop()
{
  // The generation whose reading has ended: at the end of the file or at a read error, after
  // which nothing more is read until a seek, as FFmpeg's own tool stops at one.
  int32_t endedSerial = 0;
  while (!_readQuit) {
    if (_paused) {
      avThreadSleep(0.01);
      continue;
    }
    AVPacket *packet = av_packet_alloc();
    int result;
    bool atEnd;
    int32_t serial;
    {
      AVMutexLocker demux(_demuxLock);
      double target = 0;
      int32_t generation = 0;
      bool seekNow = false;
      {
        AVMutexLocker packets(_packetLock);
        if (_seekRequested) {
          seekNow = true;
          target = _seekTarget;
          generation = _serial;
          _seekRequested = false;
        }
      }
      if (seekNow) {
        const AVRational base = _stream->time_base;
        const auto position = int64_t(target * base.den / base.num);
        // A failed seek reads on from where it was rather than starving the new generation.
        if (_readBound.seekFile(_streamIndex, position) < 0)
          avPrint("(%d) seek to %f failed\n", int(_mediaKind), target);
        _positionSerial = generation;
      }
      serial = _positionSerial;
      result = serial == endedSerial ? AVERROR_EOF : _readBound.readFrame(packet);
      atEnd = result == AVERROR_EOF || (result < 0 && _format->pb && avio_feof(_format->pb));
    }
    if (result < 0) {
      av_packet_free(&packet);
      if (result != AVERROR(EAGAIN)) {
        if (!atEnd)
          avPrint("(%d) read packet error: %d\n", int(_mediaKind), result);
        endedSerial = serial;
        AVMutexLocker packets(_packetLock);
        if (!_readAtEnd && serial == _serial)
          avLog("(%d) read packet reach end\n", int(_mediaKind));
        _readAtEnd = serial == _serial;
        avCondWakeAll(_packetCondition);
      }
      avThreadSleep(0.01);
      continue;
    }
    if (packet->stream_index != _streamIndex) {
      av_packet_free(&packet);
      continue;
    }
    AVMutexLocker packets(_packetLock);
    if (serial == _serial)
      _readAtEnd = false;
    while (!_readQuit && serial == _serial && int(_packets.size()) >= _maxPackets)
      avCondWait(_packetCondition, _packetLock);
    // Read before the last seek, or quitting: never queued.
    if (_readQuit || serial != _serial) {
      av_packet_free(&packet);
      continue;
    }
    _packets.push_back(AVPacketRecord{packet, serial});
    avCondWakeAll(_packetCondition);
  }
  avLog("(%d) read thread end\n", int(_mediaKind));
}

AVPacketRecord AVStreamBase::takePacket()
{
  AVPacketRecord record;
  AVMutexLocker locker(_packetLock);
  while (!_decodeQuit) {
    if (!_packets.empty()) {
      record = _packets.front();
      _packets.pop_front();
      avCondWakeAll(_packetCondition);
      if (record.serial == _serial)
        return record;
      freePacketRecord(record);
      continue;
    }
    if (_readAtEnd) {
      record.packet = av_packet_alloc();
      record.packet->stream_index = _streamIndex;
      record.serial = _serial;
      return record;
    }
    avCondWait(_packetCondition, _packetLock);
  }
  return record;
}

bool AVStreamBase::waitForRoom(uint32_t serial, int limit, double time)
{
  AVMutexLocker locker(_frameLock);
  if (time >= 0) {
    _comingTime = time;
    _comingSerial = serial;
    avCondWakeAll(_frameCondition);
  }
  while (!_decodeQuit && int32_t(serial) == _serial && int(_frames.size()) >= std::min(limit, int(_maxFrames)))
    avCondWait(_frameCondition, _frameLock);
  return !_decodeQuit && int32_t(serial) == _serial;
}

void AVStreamBase::pushFrame(AVFrameRecord &record)
{
  AVMutexLocker locker(_frameLock);
  while (!_decodeQuit && int32_t(record.serial) == _serial && int(_frames.size()) >= _maxFrames)
    avCondWait(_frameCondition, _frameLock);
  _comingTime = -1;
  if (!_decodeQuit && int32_t(record.serial) == _serial) {
    _frames.push_back(record);
    avCondWakeAll(_frameCondition);
  } else {
    freeFrameRecord(record);
  }
  record.data = nullptr;
}

void AVStreamBase::flushPackets()
{
  AVMutexLocker locker(_packetLock);
  _clearPackets();
}

void AVStreamBase::flushFrames()
{
  AVMutexLocker locker(_frameLock);
  for (AVFrameRecord &record : _frames)
    freeFrameRecord(record);
  _frames.clear();
  _comingTime = -1;
  avCondWakeAll(_frameCondition);
}

void AVStreamBase::_clearPackets()
{
  for (AVPacketRecord &record : _packets)
    freePacketRecord(record);
  _packets.clear();
  avCondWakeAll(_packetCondition);
}

void AVStreamBase::_dropStaleFrames()
{
  std::deque<AVFrameRecord> current;
  for (AVFrameRecord &record : _frames) {
    if (int32_t(record.serial) == _serial)
      current.push_back(record);
    else
      freeFrameRecord(record);
  }
  _frames.swap(current);
  avCondWakeAll(_frameCondition);
}

int AVStreamBase::open(int mediaKind)
{
  _mediaKind = mediaKind;
  if (_format)
    return kAVOpenOk;
  if (_threadsStopped || !avIsRegularFile(_fileName.c_str()))
    return kAVOpenInputFailed;
  // A stream being destroyed breaks off the open, and so does a file no real medium could be.
  const int opened = _readBound.open(&_format, _fileName.c_str());
  if (opened != AVReadBound::kOpened)
    return opened == AVReadBound::kInputFailed ? kAVOpenInputFailed : kAVOpenNoStreamInfo;
  const int result = mediaKind == kAVMediaAudio ? _openAudio() : _openVideo();
  if (result != kAVOpenOk) {
    _freeDecoderContext(&_decoder);
    _closeInput();
  }
  _opened = result == kAVOpenOk;
  return result;
}

void AVStreamBase::decoderOptions(AVDictionary **options) const
{
  const bool hardware = _hardwareDevice && !_hardwareDisabled;
  if (!hardware)
    av_dict_set(options, "threads", _isAttachedPicture(_stream) ? "1" : "auto", 0);
  if (_singlePictures)
    av_dict_set(options, "thread_type", "slice", 0);
}

int AVStreamBase::_openAudio()
{
  const int index = av_find_best_stream(_format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (index < 0)
    return kAVOpenNoAudioStream;
  _streamIndex = index;
  _stream = _format->streams[index];
  _codec = avcodec_find_decoder(_stream->codecpar->codec_id);
  if (!_codec)
    return kAVOpenNoAudioDecoder;
  _decoder = _makeDecoderContext();
  AVDictionary *options = nullptr;
  decoderOptions(&options);
  const int opened = _decoder ? avcodec_open2(_decoder, _codec, &options) : -1;
  av_dict_free(&options);
  return opened < 0 ? kAVOpenAudioDecoderFailed : kAVOpenOk;
}

int AVStreamBase::_openVideo()
{
  const AVCodec *found = nullptr;
  const int index = av_find_best_stream(_format, AVMEDIA_TYPE_VIDEO, -1, -1, &found, 0);
  if (index < 0)
    return kAVOpenNoVideoStream;
  _streamIndex = index;
  _stream = _format->streams[index];
  _codec = _stream->codecpar->codec_id == AV_CODEC_ID_VP9 ? avcodec_find_decoder_by_name("libvpx-vp9") : found;
  if (!_codec)
    return kAVOpenNoVideoDecoder;
  _decoder = _makeDecoderContext();
  if (!_decoder)
    return kAVOpenNoVideoDecoder;
  AVDictionary *options = nullptr;
  decoderOptions(&options);
  const int opened = avcodec_open2(_decoder, _codec, &options);
  av_dict_free(&options);
  return opened < 0 ? kAVOpenVideoDecoderFailed : kAVOpenOk;
}

AVCodecContext *AVStreamBase::_makeDecoderContext()
{
  AVCodecContext *context = avcodec_alloc_context3(_codec);
  if (!context)
    return nullptr;
  if (avcodec_parameters_to_context(context, _stream->codecpar) < 0) {
    avcodec_free_context(&context);
    return nullptr;
  }
  context->pkt_timebase = _stream->time_base;
  _DecoderTag *tag = _tagFor(context);
  tag->attachedPicture = _isAttachedPicture(_stream);
  if (_mediaKind == kAVMediaVideo && _stream->codecpar->codec_id != AV_CODEC_ID_VP9)
    _setUpHardware(context);
  return context;
}

bool AVStreamBase::_setUpHardware(AVCodecContext *context)
{
  if (_hardwareDisabled)
    return false;
  const char *deviceName = _platformHardwareDevice();
  if (!deviceName)
    return false;
  const AVHWDeviceType type = av_hwdevice_find_type_by_name(deviceName);
  if (type == AV_HWDEVICE_TYPE_NONE) {
    avPrint("Device type %s is not supported.\n", deviceName);
    return false;
  }
  for (int i = 0;; ++i) {
    const AVCodecHWConfig *config = avcodec_get_hw_config(_codec, i);
    if (!config) {
      avPrint("Decoder %s does not support device type %s.\n", _codec->name, deviceName);
      return false;
    }
    if ((config->methods & AV_CODEC_HW_CONFIG_METHOD_HW_DEVICE_CTX) && config->device_type == type) {
      _hardwareFormat = config->pix_fmt;
      break;
    }
  }
  _DecoderTag *tag = _tagFor(context);
  tag->hardwareFormat = _hardwareFormat;
  context->get_format = _formatCallback;
  if (!_hardwareDevice && av_hwdevice_ctx_create(&_hardwareDevice, type, nullptr, nullptr, 0) < 0) {
    avPrint("Failed to create specified HW device.\n");
    tag->hardwareFormat = -1;
    _hardwareDevice = nullptr;
    return false;
  }
  context->hw_device_ctx = av_buffer_ref(_hardwareDevice);
  return true;
}

void AVStreamBase::releaseDecoder(bool always)
{
  if (!(always || releaseDecoderWhenIdle()) || !_decoder || !avcodec_is_open(_decoder))
    return;
  av_buffer_unref(&_decoder->hw_device_ctx);
  // A closed context cannot be opened again: reopenDecoder makes a fresh one.
  _freeDecoderContext(&_decoder);
  _decoder = avcodec_alloc_context3(nullptr);
}

void AVStreamBase::reopenDecoder()
{
  if (!_decoder || avcodec_is_open(_decoder) || !_stream)
    return;
  _freeDecoderContext(&_decoder);
  _decoder = _makeDecoderContext();
  if (!_decoder)
    return;
  AVDictionary *options = nullptr;
  decoderOptions(&options);
  avcodec_open2(_decoder, _codec, &options);
  av_dict_free(&options);
}
