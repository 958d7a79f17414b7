#pragma once

#include <functional>
#include <memory>

class QMediaPlayer;
class QObject;

// A media player made away from the GUI thread: a new GStreamer player probes the video sinks
// it knows, seconds on a machine without an X sink. `ready` runs on the receiver's thread once
// the player is there; an order dropped before that discards its player.
class MediaPreviewPlayerOrder
{
public:
  MediaPreviewPlayerOrder(QObject *receiver, std::function<void()> ready);
  ~MediaPreviewPlayerOrder();
  MediaPreviewPlayerOrder(const MediaPreviewPlayerOrder &) = delete;
  MediaPreviewPlayerOrder &operator=(const MediaPreviewPlayerOrder &) = delete;

  // The player, parentless and living on the receiver's thread; null until `ready`.
  QMediaPlayer *take();

private:
  struct Delivery;
  std::shared_ptr<Delivery> _delivery;
};
