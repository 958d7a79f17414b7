#include "avvideosegment.h"

#include "avcommon.h"
#include "avglresources.h"
#include "avvideostream.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
enum class _Plane { Red, Chroma, Packed };

// The texture when it still fits the picture, else a new one.
AVTexture *_sizedTexture(AVTexture *texture, uint32_t width, uint32_t height, uint32_t kind, _Plane plane)
{
  if (texture && texture->width == width && texture->height == height && texture->kind == kind)
    return texture;
  destroyTexture(texture);
  switch (plane) {
  case _Plane::Chroma:
    return createChromaTexture(width, height);
  case _Plane::Packed:
    return createPackedYUV422Texture(width, height);
  case _Plane::Red:
    break;
  }
  return createRedTexture(width, height, kind);
}
} // namespace

AVVideoSegment::AVVideoSegment(double start, const std::string &fileName, uint32_t layerWidth, uint32_t layerHeight,
                               int sizeHint, int thumbnailHeight)
  : AVVideoSegment(start, 0, 0, fileName, layerWidth, layerHeight, sizeHint, thumbnailHeight)
{
}

AVVideoSegment::AVVideoSegment(double start, double rangeStart, double rangeDuration, const std::string &fileName,
                               uint32_t layerWidth, uint32_t layerHeight, int sizeHint, int thumbnailHeight)
  : AVLayerSegment(start, 0, layerWidth, layerHeight), _rangeStart(rangeStart),
    _rangeDuration(std::max(0.0, rangeDuration)), _stream(new AVVideoStream(fileName, sizeHint, sizeHint)),
    _thumbnailLock(avMutexCreate()), _thumbnailHeight(thumbnailHeight), _segmentLock(avMutexCreate())
{
  if (duration() <= 0)
    AVSegment::setDuration(_rangeDuration);
}

AVVideoSegment::~AVVideoSegment()
{
  // First the stream: its loading thread calls back into this segment until it is joined.
  delete _stream;
  _dropPending();
  releaseThumbnails();
  setFrame(nullptr, 0, 0);
  avMutexDestroy(_thumbnailLock);
  avMutexDestroy(_segmentLock);
}

void AVVideoSegment::setDuration(double seconds)
{
  AVSegment::setDuration(seconds);
  // A zero length leaves the mapping as it was rather than dividing by it.
  if (_rangeDuration > 0 && seconds > 0) {
    _stretch = seconds / _rangeDuration;
    _stream->setStretch(_stretch);
  }
}

void AVVideoSegment::setListener(AVSegmentListener function, void *userData)
{
  if (_stream->isOpen())
    return;
  _ready = false;
  AVSegment::setListener(function, userData);
  float positions[kThumbnailCount];
  for (int i = 0; i < kThumbnailCount; ++i)
    positions[i] = float(i) / kThumbnailCount;
  AVThumbnailRequest request;
  request.count = kThumbnailCount;
  request.positions = positions;
  request.boxWidth = float(16 * _thumbnailHeight / 9);
  request.boxHeight = float(_thumbnailHeight);
  request.thumbnail = _thumbnailMade;
  request.userData = this;
  _stream->startLoading(_opened, this, request);
}

void AVVideoSegment::_opened(AVContent *, int result, void *argument)
{
  auto *self = static_cast<AVVideoSegment *>(argument);
  // The length first: whoever sees the segment loaded (a render pass, a poll) sees its length.
  if (result == kAVOpenOk) {
    // A picture stamped on a clock stands for any time within half a tick of it: it is due once
    // the media time, rounded to that clock, reaches it. So neither the arithmetic of the media
    // time nor a millisecond clock's rounding holds a picture back from the output it belongs
    // to (each such output would show the one before and the next skip it).
    self->_dueSlack = self->_stream->dueSlack();
    if (self->_rangeDuration <= 0) {
      self->_rangeDuration = std::max(0.0, self->mediaDuration());
      if (self->duration() <= 0)
        self->setDuration(self->_rangeDuration);
    }
    self->setDuration(self->duration() > 0 ? self->duration() : self->mediaDuration());
  }
  self->setLoadError(result);
  if (result == kAVOpenOk) {
    self->seek(self->startTime(), true);
  } else {
    AVMutexLocker locker(self->_segmentLock);
    self->setPixelBuffer(nullptr);
    self->_dropPending();
    self->_ready = true;
  }
  self->notifyListener(result);
}

void AVVideoSegment::_seekDone(AVContent *, uint8_t *data, uint32_t, double, void *argument)
{
  if (!data)
    return;
  auto *self = static_cast<AVVideoSegment *>(argument);
  // The update may be holding the segment lock while it waits for the next picture from this
  // very thread: the pending frame is dropped by the next update instead.
  self->_dropPendingRequested = true;
  self->_ready = true;
  self->notifyAuxListener(0);
}

void AVVideoSegment::_thumbnailMade(AVContent *, int, AVPixelBuffer *thumbnail, void *argument)
{
  auto *self = static_cast<AVVideoSegment *>(argument);
  bool last;
  {
    AVMutexLocker locker(self->_thumbnailLock);
    if (thumbnail)
      self->_thumbnails.push_back(thumbnail);
    last = ++self->_thumbnailsArrived == kThumbnailCount;
  }
  AVThumbnailsReadyCallback callback = self->_thumbnailsCallback;
  if (last && callback)
    callback(self, self->_thumbnailsData);
}

bool AVVideoSegment::isReady()
{
  return _ready;
}

void AVVideoSegment::sleep(bool exporting)
{
  _justSought = false;
  AVLayerSegment::sleep(exporting);
  AVMutexLocker locker(_segmentLock);
  setPixelBuffer(nullptr);
  AVLayerSegment::setFrame(nullptr, 0, 0);
  _destroyPlanes();
  _dropPending();
  _stream->sleep();
}

void AVVideoSegment::wake()
{
  AVLayerSegment::wake();
  _stream->awaken();
}

void AVVideoSegment::update(double time, bool wait, bool adaptive)
{
  _updateFrame(time, wait, adaptive);
  AVLayerSegment::update(time, wait, adaptive);
}

double AVVideoSegment::_mediaTimeAt(double time) const
{
  const double stretch = _stretch > 0 ? double(_stretch) : 1.0;
  return std::max(double(_rangeStart), (time - startTime()) / stretch + _rangeStart);
}

void AVVideoSegment::seek(double time, bool exact)
{
  if (!exact && _justSought && !(_stream->isSeekPastEnd() || _stream->isReadEnded() || _stream->isDecodeEnded()))
    return;
  if (loadError() != kAVLoadOk)
    return;
  _ready = false;
  {
    AVMutexLocker locker(_segmentLock);
    _dropPending();
  }
  _justSought = !isAsleep();
  _giveOutputGrid();
  _stream->seek(_mediaTimeAt(time), _seekDone, this, true);
}

void AVVideoSegment::_dropPending()
{
  _dropPendingRequested = false;
  freeFrameRecord(_pending);
}

void AVVideoSegment::_updateFrame(double time, bool wait, bool adaptive)
{
  AVMutexLocker locker(_segmentLock);
  if (_dropPendingRequested)
    _dropPending();
  if (!texture() && !(_ready && !isAsleep()))
    return;
  // The start, range and stretch may have changed since the last pass.
  _giveOutputGrid();
  const double stretch = _stretch > 0 ? double(_stretch) : 1.0;
  const double mediaTime = (time - startTime()) / stretch + _rangeStart;
  const double m = std::max(0.0, mediaTime) + _dueSlack;
  const int allowance = wait ? _stream->frameStep() * int(1000.0 / _stream->frameRate() + 0.5) : 0;
  // The held picture is the first candidate; the queue's are seen only once its time has come.
  bool held = _pending.data != nullptr;
  AVFrameRecord frame;
  if (held) {
    if (_pending.time > m)
      return;
    frame = _pending;
    _pending = AVFrameRecord();
  } else {
    frame = _stream->takeFrame(wait);
  }
  while (frame.data) {
    if (frame.time > m && !_justSought) {
      _pending = frame;
      return;
    }
    // Frame times may be uneven: a picture whose time has come gives way to a later one whose
    // time has come too. Exporting waits to learn the next one's time; playback looks only at
    // what is queued.
    double next = 0;
    if (frame.time <= m && _stream->peekFrameTime(frame.serial, wait, &next) && next <= m) {
      const double late = (m - frame.time) * 1000;
      if (wait && late > allowance)
        avTrace("texture too old: (%.3f,%.3f) > %d", frame.time, mediaTime, allowance);
      freeFrameRecord(frame);
      frame = _stream->takeFrame(wait);
      held = false;
      continue;
    }
    _show(frame);
    _shownTime = uint32_t(std::llround(frame.time * 1000));
    freeFrameRecord(frame);
    // A picture held until its time came was not late.
    if (!held) {
      _adaptDiscardFactor(mediaTime, frame.time, wait, adaptive);
      _justSought = false;
    }
    return;
  }
}

void AVVideoSegment::_show(const AVFrameRecord &frame)
{
  if (frame.kind == kAVFrameBGRA) {
    _showBGRA(frame);
    return;
  }
  _uploadPlanes(frame);
  _shownWidth = frame.visibleWidth;
  _shownHeight = frame.height;
}

void AVVideoSegment::_showBGRA(const AVFrameRecord &frame)
{
  _destroyPlanes();
  AVLayerSegment::setFrame(frame.data, frame.width, frame.height);
  setTextureOpaque(frame.opaque);
  // An opaque picture's size decides whether it fills the frame and needs multisampling.
  _shownWidth = frame.opaque ? frame.width : 0;
  _shownHeight = frame.opaque ? frame.height : 0;
}

void AVVideoSegment::_adaptDiscardFactor(double mediaTime, double frameTime, bool wait, bool adaptive)
{
  if (!_justSought && !wait && adaptive && frameTime != 0) {
    _worstRatio = std::max(_worstRatio, mediaTime / frameTime);
    if (++_lateCount < 10)
      return;
    const int current = _stream->discardFactor();
    if (_worstRatio < 1.1) {
      if (current != 1) {
        avTrace("Reset discard factor");
        _stream->setDiscardFactor(1);
      }
    } else {
      const int factor = _worstRatio >= 2.0 ? 5 : _worstRatio >= 1.5 ? 4 : _worstRatio >= 1.2 ? 3 : 2;
      if (factor > current) {
        avTrace("Adjust discard factor = %d", factor);
        _stream->setDiscardFactor(factor);
      }
    }
    _lateCount = 0;
    _worstRatio = 1.0;
    return;
  }
  _lateCount = 0;
  _worstRatio = 1.0;
  if (_justSought && _stream->discardFactor() != 1) {
    avTrace("Reset discard factor at first frame after seeking");
    _stream->setDiscardFactor(1);
  }
}

void AVVideoSegment::_destroyPlanes()
{
  destroyTexture(_secondPlane);
  destroyTexture(_thirdPlane);
  _secondPlane = nullptr;
  _thirdPlane = nullptr;
}

void AVVideoSegment::setFrame(const uint8_t *pixels, uint32_t width, uint32_t height)
{
  // Pictures of planes come through _show, which knows their rows.
  if (!pixels)
    _destroyPlanes();
  AVLayerSegment::setFrame(pixels, width, height);
}

// Each plane is read where the decoder left it, row by row at its own stride. The luma texture
// is twice the chroma width: an odd picture's extra column repeats its right edge, which the
// filtering of that edge reads.
void AVVideoSegment::_uploadPlanes(const AVFrameRecord &frame)
{
  const uint32_t width = frame.width, height = frame.height, visible = frame.visibleWidth;
  setTextureSize(width, height);
  if (frame.kind == kAVFrameUYVY422) {
    AVTexture *packed = _sizedTexture(texture(), width, height, kAVTextureYUV422, _Plane::Packed);
    replaceTexture(packed);
    _destroyPlanes();
    uploadPackedYUV422Texture(packed, frame.data, width, height, false);
    return;
  }
  const uint32_t kind = frame.kind == kAVFrameNV12 ? kAVTextureNV12 : kAVTextureYUV420;
  AVTexture *luma = _sizedTexture(texture(), width, height, kind, _Plane::Red);
  replaceTexture(luma);
  uploadPlaneRows(luma, frame.planes[0], 0, visible, height, uint32_t(frame.strides[0]), 1);
  if (visible > 0 && width > visible)
    uploadPlaneRows(luma, frame.planes[0] + visible - 1, visible, 1, height, uint32_t(frame.strides[0]), 1);
  const uint32_t chromaWidth = chroma420(width), chromaHeight = chroma420(height);
  if (kind == kAVTextureNV12) {
    destroyTexture(_thirdPlane);
    _thirdPlane = nullptr;
    _secondPlane = _sizedTexture(_secondPlane, width, height, kAVTextureNV12, _Plane::Chroma);
    uploadPlaneRows(_secondPlane, frame.planes[1], 0, chromaWidth, chromaHeight, uint32_t(frame.strides[1]), 2);
    return;
  }
  _secondPlane = _sizedTexture(_secondPlane, chromaWidth, chromaHeight, kAVTextureYUV420, _Plane::Red);
  _thirdPlane = _sizedTexture(_thirdPlane, chromaWidth, chromaHeight, kAVTextureYUV420, _Plane::Red);
  uploadPlaneRows(_secondPlane, frame.planes[1], 0, chromaWidth, chromaHeight, uint32_t(frame.strides[1]), 1);
  uploadPlaneRows(_thirdPlane, frame.planes[2], 0, chromaWidth, chromaHeight, uint32_t(frame.strides[2]), 1);
}

int AVVideoSegment::pictureRotation()
{
  return _stream->rotation();
}

void AVVideoSegment::setRangeStart(double seconds)
{
  if (mediaDuration() > 0)
    _rangeStart = std::min(std::max(0.0, seconds), _rangeStart + _rangeDuration);
  else
    _rangeStart = seconds;
  seek(startTime(), true);
}

void AVVideoSegment::setRangeDuration(double seconds)
{
  _rangeDuration = std::max(0.0, seconds);
  if (duration() <= 0)
    setDuration(_rangeDuration);
}

uint8_t *AVVideoSegment::frameAtTime(double time, bool exact, uint32_t *size, int *width, int *height,
                                     double *frameTime)
{
  int w = 0, h = 0;
  _stream->outputSize(&w, &h);
  return _stream->decodeFrameAt(_mediaTimeAt(time), float(w), float(h), exact, size, width, height, frameTime);
}

AVPixelBuffer *AVVideoSegment::thumbnail(int index)
{
  AVMutexLocker locker(_thumbnailLock);
  return index >= 0 && index < int(_thumbnails.size()) ? _thumbnails[size_t(index)] : nullptr;
}

int AVVideoSegment::thumbnailCount()
{
  AVMutexLocker locker(_thumbnailLock);
  return int(_thumbnails.size());
}

void AVVideoSegment::releaseThumbnails()
{
  AVMutexLocker locker(_thumbnailLock);
  for (AVPixelBuffer *buffer : _thumbnails)
    freePixelBuffer(buffer);
  _thumbnails.clear();
}

void AVVideoSegment::setThumbnailsCallback(AVThumbnailsReadyCallback function, void *userData)
{
  _thumbnailsData = userData;
  _thumbnailsCallback = function;
}

double AVVideoSegment::mediaDuration() const
{
  return _stream->duration();
}

void AVVideoSegment::videoSize(int *width, int *height) const
{
  _stream->videoSize(width, height);
}

void AVVideoSegment::setHardwareDecodingDisabled(bool disabled)
{
  _stream->setHardwareDecodingDisabled(disabled);
}

void AVVideoSegment::setOutputSize(int width, int height)
{
  _stream->setOutputSize(width, height);
}

void AVVideoSegment::setPlanesAsBGRA(bool bgra)
{
  _stream->setPlanesAsBGRA(bgra);
}

void AVVideoSegment::setMaxFrameRate(int rate)
{
  _outputRate = rate > 0 ? rate : 30;
  _stream->setMaxFrameRate(rate);
  _giveOutputGrid();
}

void AVVideoSegment::_giveOutputGrid()
{
  // Output k at timeline time k / rate shows media time (k / rate - start) / stretch + range start.
  const double stretch = _stretch > 0 ? double(_stretch) : 1.0;
  _stream->setOutputGrid(_rangeStart - startTime() / stretch, 1.0 / (_outputRate * stretch));
}

void AVVideoSegment::resetDiscardFactor()
{
  _stream->setDiscardFactor(1);
}
