#pragma once
// A video file on the timeline: maps composition time to media time through the range start and
// stretch, pulls decoded pictures when their time comes, uploads them (BGRA or YUV planes), keeps
// the thumbnails made while loading, and thins the decoder's output when playback falls behind.

#include "avlayersegment.h"
#include "avmediastream.h"

#include <string>
#include <vector>

class AVVideoStream;
struct AVTexture;

using AVThumbnailsReadyCallback = void (*)(AVSegment *segment, void *userData);

class AVVideoSegment : public AVLayerSegment
{
public:
  static constexpr int kThumbnailCount = 16;

  AVVideoSegment(double start, const std::string &fileName, uint32_t layerWidth, uint32_t layerHeight, int sizeHint,
                 int thumbnailHeight);
  AVVideoSegment(double start, double rangeStart, double rangeDuration, const std::string &fileName,
                 uint32_t layerWidth, uint32_t layerHeight, int sizeHint, int thumbnailHeight);
  ~AVVideoSegment() override;

  void setDuration(double seconds) override;
  void setListener(AVSegmentListener function, void *userData) override;
  bool isReady() override;
  void sleep(bool exporting) override;
  void wake() override;
  // wait: every picture must be the right one (export); adaptive: thin the decoder when late.
  void update(double time, bool wait, bool adaptive) override;
  void seek(double time, bool exact) override;
  bool isVideo() const override { return true; }
  void setFrame(const uint8_t *pixels, uint32_t width, uint32_t height) override;
  int pictureRotation() override;
  AVTexture *secondPlane() const override { return _secondPlane; }
  AVTexture *thirdPlane() const override { return _thirdPlane; }
  uint32_t pictureWidth() const override { return _shownWidth; }
  uint32_t pictureHeight() const override { return _shownHeight; }

  void setRangeStart(double seconds);
  void setRangeDuration(double seconds);
  double rangeStart() const { return _rangeStart; }
  double rangeDuration() const { return _rangeDuration; }
  double stretch() const { return _stretch; }
  // A BGRA picture at a timeline time at the decoded size; the caller frees it with free().
  uint8_t *frameAtTime(double time, bool exact, uint32_t *size, int *width, int *height, double *frameTime);

  // Owned by the segment; null when index is out of range.
  AVPixelBuffer *thumbnail(int index);
  int thumbnailCount();
  void releaseThumbnails();
  // Called once every thumbnail has been made (from the loading thread).
  void setThumbnailsCallback(AVThumbnailsReadyCallback function, void *userData);

  double mediaDuration() const;
  void videoSize(int *width, int *height) const;
  void setHardwareDecodingDisabled(bool disabled);
  void setOutputSize(int width, int height);
  // The rate the composition composes at: the stream delivers up to it (never below 30) and
  // thins only pictures none of its outputs shows.
  void setMaxFrameRate(int rate);
  // While exporting: see AVVideoStream::setPlanesAsBGRA.
  void setPlanesAsBGRA(bool bgra);
  void resetDiscardFactor();
  AVVideoStream *stream() const { return _stream; }
  // Media time in milliseconds (rounded) of the last picture shown.
  uint32_t shownFrameTime() const { return _shownTime; }

private:
  static void _opened(AVContent *stream, int result, void *segment);
  static void _seekDone(AVContent *stream, uint8_t *data, uint32_t size, double time, void *segment);
  static void _thumbnailMade(AVContent *stream, int status, AVPixelBuffer *thumbnail, void *segment);
  void _updateFrame(double time, bool wait, bool adaptive);
  void _show(const AVFrameRecord &frame);
  void _showBGRA(const AVFrameRecord &frame);
  void _uploadPlanes(const AVFrameRecord &frame);
  void _adaptDiscardFactor(double mediaTime, double frameTime, bool wait, bool adaptive);
  void _dropPending();
  void _destroyPlanes();
  double _mediaTimeAt(double time) const;
  // Tells the stream where the composition's outputs fall in media time.
  void _giveOutputGrid();

  std::atomic<double> _rangeStart;
  std::atomic<double> _rangeDuration;
  AVVideoStream *_stream;
  std::vector<AVPixelBuffer *> _thumbnails;
  AVMutex *_thumbnailLock;
  int _thumbnailsArrived = 0;
  int _thumbnailHeight;
  AVFrameRecord _pending;
  // Seconds a picture may lie past the media time and still count as due.
  std::atomic<double> _dueSlack{1e-7};
  AVMutex *_segmentLock;
  std::atomic<bool> _ready{false};
  std::atomic<bool> _dropPendingRequested{false};
  std::atomic<double> _stretch{1.0};
  std::atomic<int> _outputRate{30};
  std::atomic<bool> _justSought{false};
  std::atomic<AVThumbnailsReadyCallback> _thumbnailsCallback{nullptr};
  std::atomic<void *> _thumbnailsData{nullptr};
  AVTexture *_secondPlane = nullptr;
  AVTexture *_thirdPlane = nullptr;
  std::atomic<uint32_t> _shownWidth{0};
  std::atomic<uint32_t> _shownHeight{0};
  std::atomic<uint32_t> _shownTime{0};
  int _lateCount = 0;
  double _worstRatio = 0;
};
