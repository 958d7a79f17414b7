#pragma once
// One worker thread that decodes still images for their layers, first come first served.

#include "avcommon.h"

#include <atomic>
#include <vector>

class AVImageSegment;

class AVImageLoader
{
public:
  AVImageLoader();
  virtual ~AVImageLoader();
  AVImageLoader(const AVImageLoader &) = delete;
  AVImageLoader &operator=(const AVImageLoader &) = delete;

  void enqueue(AVImageSegment *layer);
  void dequeue(AVImageSegment *layer);
  AVImageSegment *current();
  void setScaleAfterRead(bool scale) { _scaleAfterRead = scale; }
  void stop(bool wait);

  // For a layer's destructor: takes the layer out of the queue and waits until the worker
  // has finished with it.
  void forget(AVImageSegment *layer);

private:
  static int _loop(AVThread *thread, void *loader);
  void _run();

  std::vector<AVImageSegment *> _queue;
  AVMutex *_mutex;
  AVCondition *_wakeup;
  AVCondition *_finished; // signalled when the worker moves on from a layer
  AVThread *_worker;
  std::atomic<bool> _stopRequested{false};
  std::atomic<bool> _running{false};
  std::atomic<bool> _scaleAfterRead{false};
  AVImageSegment *_current = nullptr; // guarded by _mutex
  // Set when the layer being decoded is forgotten: its read breaks off.
  std::atomic<bool> _currentForgotten{false};
};
