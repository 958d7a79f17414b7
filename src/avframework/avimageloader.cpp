#include "avimageloader.h"

#include "avcommon.h"

#include "avimagefiles.h"
#include "avimagesegment.h"

#include <algorithm>

AVImageLoader::AVImageLoader() : _mutex(avMutexCreate()), _wakeup(avCondCreate()), _finished(avCondCreate())
{
  _worker = avThreadCreate(_loop, this);
  avThreadStart(_worker);
}

AVImageLoader::~AVImageLoader()
{
  {
    AVMutexLocker locker(_mutex);
    _stopRequested = true;
    avCondWakeAll(_wakeup);
  }
  // The worker is joined before anything it uses goes away.
  avThreadWait(_worker);
  avThreadDestroy(_worker);
  avMutexDestroy(_mutex);
  avCondDestroy(_wakeup);
  avCondDestroy(_finished);
}

void AVImageLoader::enqueue(AVImageSegment *layer)
{
  AVMutexLocker locker(_mutex);
  _queue.push_back(layer);
  avCondWakeAll(_wakeup);
}

void AVImageLoader::dequeue(AVImageSegment *layer)
{
  AVMutexLocker locker(_mutex);
  auto it = std::find(_queue.begin(), _queue.end(), layer);
  if (it != _queue.end())
    _queue.erase(it);
}

AVImageSegment *AVImageLoader::current()
{
  AVMutexLocker locker(_mutex);
  return _current;
}

void AVImageLoader::stop(bool wait)
{
  {
    AVMutexLocker locker(_mutex);
    _stopRequested = true;
    avCondWakeAll(_wakeup);
  }
  while (wait && _running)
    avThreadSleep(0.01);
}

void AVImageLoader::forget(AVImageSegment *layer)
{
  AVMutexLocker locker(_mutex);
  _queue.erase(std::remove(_queue.begin(), _queue.end(), layer), _queue.end());
  if (_current == layer)
    _currentForgotten = true;
  while (_current == layer)
    avCondWait(_finished, _mutex);
}

int AVImageLoader::_loop(AVThread *, void *loader)
{
  static_cast<AVImageLoader *>(loader)->_run();
  return 0;
}

void AVImageLoader::_run()
{
  _running = true;
  AVMutexLocker locker(_mutex);
  while (!_stopRequested) {
    if (!_queue.empty()) {
      // Taken and marked current in one step: a layer being deleted either finds itself
      // still queued or sees that the worker holds it.
      AVImageSegment *entry = _queue.front();
      _queue.erase(_queue.begin());
      _current = entry;
      _currentForgotten = false;
      const bool scale = _scaleAfterRead;
      locker.unlock();
      if (entry) {
        int rotation = 0, errorKind = 0;
        // A stopping engine or a layer going away need the worker back at once.
        AVPixelBuffer *pixels = loadImagePixels(entry->path(), &rotation, &errorKind, scale,
                                                [this] { return _stopRequested || _currentForgotten; });
        const int status = pixels ? 0 : (errorKind == 2 ? kAVLoadUnreadable : kAVLoadReadError);
        entry->deliverPixels(pixels, 0, status);
      }
      locker.relock();
      _current = nullptr;
      avCondWakeAll(_finished);
    }
    if (_queue.empty() && !_stopRequested)
      avCondWait(_wakeup, _mutex);
  }
  _running = false;
}
