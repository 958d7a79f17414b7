#pragma once
// A still image layer: decoded by the shared image loader, uploaded by its own update.

#include "avlayersegment.h"

#include <memory>
#include <string>

class AVImageLoader;

class AVImageSegment : public AVLayerSegment
{
public:
  // path is UTF-8; a null loader never loads.
  AVImageSegment(AVImageLoader *loader, double start, double duration, const std::string &path, uint32_t renderWidth,
                 uint32_t renderHeight);
  ~AVImageSegment() override;

  bool isReady() override;
  void wake() override;
  void sleep(bool exporting) override;
  void update(double time, bool pass, bool playing) override;
  void setPixelBuffer(AVPixelBuffer *buffer) override;
  int pictureRotation() override;

  // From the loader thread: the decoded picture (or none) and its status.
  void deliverPixels(AVPixelBuffer *buffer, int rotation, int status);
  const std::string &path() const { return _path; }
  bool isQueued();

private:
  const std::string _path;
  AVImageLoader *_loader;
  AVMutex *_ownMutex;
  bool _queued = false;
  std::atomic<bool> _ready{true};
  std::atomic<int> _pictureRotation{0};
};

// An animated image: each update asks the editor for the frame at the current millisecond.
class AVAnimatableImageSegment : public AVLayerSegment
{
public:
  AVAnimatableImageSegment(double start, double duration, const std::string &path, uint32_t renderWidth,
                           uint32_t renderHeight);
  ~AVAnimatableImageSegment() override;

  void sleep(bool exporting) override;
  void prefetch(double time) override;
  void update(double time, bool pass, bool playing) override;
  void setPixelBuffer(AVPixelBuffer *buffer) override;
  int pictureRotation() override;

private:
  struct LateFrame;
  int64_t _milliseconds(double time) const;
  // The frame at that time: a late answer kept for it, or the editor's answer now.
  AVPixelBuffer *_frameAt(int64_t milliseconds, int *errorKind);

  const std::string _path;
  AVMutex *_ownMutex;
  std::atomic<int> _pictureRotation{0};
  // The frame asked for before the renderer's lock was taken, for the update at that time.
  AVPixelBuffer *_fetched = nullptr;
  int64_t _fetchedMs = -1;
  int _fetchedError = 0;
  // Where an answer that came after its request timed out waits for the update at its time;
  // shared with the requests, which may outlive the layer.
  std::shared_ptr<LateFrame> _late;
};
