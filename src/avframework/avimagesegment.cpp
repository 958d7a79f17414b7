#include "avimagesegment.h"

#include "avcommon.h"

#include "avimagefiles.h"
#include "avimageloader.h"

#include <cmath>

AVImageSegment::AVImageSegment(AVImageLoader *loader, double start, double duration, const std::string &path,
                               uint32_t renderWidth, uint32_t renderHeight)
  : AVLayerSegment(start, duration, renderWidth, renderHeight), _path(path), _loader(loader),
    _ownMutex(avMutexCreate())
{
}

AVImageSegment::~AVImageSegment()
{
  // Out of the queue, and the worker done with this layer, before anything is freed.
  if (_loader)
    _loader->forget(this);
  avMutexDestroy(_ownMutex);
}

bool AVImageSegment::isReady()
{
  return _ready;
}

bool AVImageSegment::isQueued()
{
  AVMutexLocker locker(_ownMutex);
  return _queued;
}

void AVImageSegment::wake()
{
  AVLayerSegment::wake();
  AVMutexLocker locker(_ownMutex);
  if (_path.empty() || texture() || loadError() != kAVLoadPending)
    return;
  if (AVPixelBuffer *buffer = pixelBuffer()) {
    setTextureSize(buffer->width, buffer->height);
    setLoadError(kAVLoadOk);
    _ready = true;
  } else if (_loader && !_queued) {
    _loader->enqueue(this);
    _queued = true;
    _ready = false;
  }
}

void AVImageSegment::sleep(bool exporting)
{
  AVLayerSegment::sleep(exporting);
  AVMutexLocker locker(_ownMutex);
  if (_path.empty())
    return;
  if (pixelBuffer()) {
    if (exporting || !isEnabled())
      AVLayerSegment::setPixelBuffer(nullptr);
  } else if (_queued) {
    if (_loader)
      _loader->dequeue(this);
    _queued = false;
    _ready = true;
  }
  setFrame(nullptr, 0, 0);
  setLoadError(kAVLoadPending);
}

void AVImageSegment::update(double time, bool pass, bool playing)
{
  {
    AVMutexLocker locker(_ownMutex);
    if (pixelBuffer() && !texture())
      uploadTexture();
  }
  AVLayerSegment::update(time, pass, playing);
}

void AVImageSegment::setPixelBuffer(AVPixelBuffer *buffer)
{
  AVMutexLocker locker(_ownMutex);
  AVLayerSegment::setPixelBuffer(buffer);
}

int AVImageSegment::pictureRotation()
{
  return _pictureRotation;
}

void AVImageSegment::deliverPixels(AVPixelBuffer *buffer, int rotation, int status)
{
  {
    AVMutexLocker locker(_ownMutex);
    setLoadError(status);
    AVLayerSegment::setPixelBuffer(buffer);
    _pictureRotation = rotation;
    _queued = false;
    _ready = true;
  }
  notifyListener(status);
}

AVAnimatableImageSegment::AVAnimatableImageSegment(double start, double duration, const std::string &path,
                                                   uint32_t renderWidth, uint32_t renderHeight)
  : AVLayerSegment(start, duration, renderWidth, renderHeight), _path(path), _ownMutex(avMutexCreate())
{
  setLoadError(kAVLoadOk);
}

AVAnimatableImageSegment::~AVAnimatableImageSegment()
{
  freePixelBuffer(_fetched);
  avMutexDestroy(_ownMutex);
}

int64_t AVAnimatableImageSegment::_milliseconds(double time) const
{
  return static_cast<int64_t>(std::trunc((time - startTime()) * 1000));
}

// The editor answers on its own thread, which may be painting the preview: under the renderer's
// lock that wait would hold both until the request timed out, and the layer would not show.
void AVAnimatableImageSegment::prefetch(double time)
{
  const int64_t milliseconds = _milliseconds(time);
  int errorKind = 0;
  AVPixelBuffer *buffer = loadAnimationFrame(id(), milliseconds, &errorKind);
  AVMutexLocker locker(_ownMutex);
  freePixelBuffer(_fetched);
  _fetched = buffer;
  _fetchedMs = milliseconds;
  _fetchedError = errorKind;
}

void AVAnimatableImageSegment::sleep(bool exporting)
{
  AVLayerSegment::sleep(exporting);
  AVMutexLocker locker(_ownMutex);
  if (_path.empty())
    return;
  AVLayerSegment::setPixelBuffer(nullptr);
  uploadTexture();
  setLoadError(kAVLoadOk);
}

void AVAnimatableImageSegment::update(double time, bool pass, bool playing)
{
  bool unanswered = false;
  {
    AVMutexLocker locker(_ownMutex);
    const int64_t milliseconds = _milliseconds(time);
    int errorKind = 0;
    AVPixelBuffer *buffer = nullptr;
    if (_fetchedMs == milliseconds) {
      buffer = _fetched;
      errorKind = _fetchedError;
      _fetched = nullptr;
      _fetchedMs = -1;
    } else {
      buffer = loadAnimationFrame(id(), milliseconds, &errorKind);
    }
    unanswered = errorKind == kAnimationFrameUnanswered;
    setLoadError(unanswered ? 2 : errorKind);
    AVLayerSegment::setPixelBuffer(buffer);
    _pictureRotation = 0;
    if (buffer) {
      uploadTexture();
      AVLayerSegment::setPixelBuffer(nullptr);
    }
  }
  AVLayerSegment::update(time, pass, playing);
  // The editor was too busy to answer: a paused preview would show the layer missing until the
  // next seek, so it is composed again (asking again) as a loaded layer is.
  if (unanswered)
    notifyListener(kAVLoadPending);
}

void AVAnimatableImageSegment::setPixelBuffer(AVPixelBuffer *buffer)
{
  AVMutexLocker locker(_ownMutex);
  AVLayerSegment::setPixelBuffer(buffer);
}

int AVAnimatableImageSegment::pictureRotation()
{
  return _pictureRotation;
}
