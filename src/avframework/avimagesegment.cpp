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

struct AVAnimatableImageSegment::LateFrame
{
  AVMutex lock;
  AVAnimatableImageSegment *layer = nullptr; // null once the layer is gone
  AVPixelBuffer *buffer = nullptr;
  int64_t milliseconds = -1;
  int errorKind = 0;

  ~LateFrame() { freePixelBuffer(buffer); }
};

AVAnimatableImageSegment::AVAnimatableImageSegment(double start, double duration, const std::string &path,
                                                   uint32_t renderWidth, uint32_t renderHeight)
  : AVLayerSegment(start, duration, renderWidth, renderHeight), _path(path), _ownMutex(avMutexCreate()),
    _late(std::make_shared<LateFrame>())
{
  _late->layer = this;
  setLoadError(kAVLoadOk);
}

AVAnimatableImageSegment::~AVAnimatableImageSegment()
{
  {
    // Waits for a late answer being handed over.
    AVMutexLocker locker(&_late->lock);
    _late->layer = nullptr;
  }
  freePixelBuffer(_fetched);
  avMutexDestroy(_ownMutex);
}

int64_t AVAnimatableImageSegment::_milliseconds(double time) const
{
  return static_cast<int64_t>(std::trunc((time - startTime()) * 1000));
}

// A busy editor answers after the request gave up: the answer is kept for its time and the
// layer composed again to show it. Asking anew instead would queue one more request behind
// the same busy editor each time.
AVPixelBuffer *AVAnimatableImageSegment::_frameAt(int64_t milliseconds, int *errorKind)
{
  {
    AVMutexLocker locker(&_late->lock);
    if (_late->milliseconds == milliseconds) {
      AVPixelBuffer *buffer = _late->buffer;
      *errorKind = _late->errorKind;
      _late->buffer = nullptr;
      _late->milliseconds = -1;
      return buffer;
    }
  }
  const std::shared_ptr<LateFrame> late = _late;
  return loadAnimationFrame(id(), milliseconds, errorKind, [late, milliseconds](AVPixelBuffer *buffer, int kind) {
    AVMutexLocker locker(&late->lock);
    if (!late->layer) {
      freePixelBuffer(buffer);
      return;
    }
    freePixelBuffer(late->buffer);
    late->buffer = buffer;
    late->milliseconds = milliseconds;
    late->errorKind = kind;
    late->layer->notifyListener(kAVLoadPending);
  });
}

// The editor answers on its own thread, which may be painting the preview: under the renderer's
// lock that wait would hold both until the request timed out, and the layer would not show.
void AVAnimatableImageSegment::prefetch(double time)
{
  const int64_t milliseconds = _milliseconds(time);
  int errorKind = 0;
  AVPixelBuffer *buffer = _frameAt(milliseconds, &errorKind);
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
      buffer = _frameAt(milliseconds, &errorKind);
    }
    // Not an error: the picture shown stays until the answer comes. A layer with an error is
    // not updated again until it sleeps.
    if (errorKind != kAnimationFrameUnanswered) {
      setLoadError(errorKind);
      AVLayerSegment::setPixelBuffer(buffer);
      _pictureRotation = 0;
      if (buffer) {
        uploadTexture();
        AVLayerSegment::setPixelBuffer(nullptr);
      }
    }
  }
  AVLayerSegment::update(time, pass, playing);
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
