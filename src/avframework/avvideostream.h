#pragma once
// The video flavour of the media stream: its decode loop thins frames to a frame step (about 30
// a second reach the consumer) and queues them as YUV planes the renderer uploads directly or as
// BGRA; it also makes thumbnails while loading and decodes single pictures synchronously.

#include "avmediastream.h"

struct AVFrame;
struct AVPixelBuffer;
struct SwsContext;

using AVThumbnailsBeginCallback = void (*)(AVContent *stream, void *userData);
using AVThumbnailCallback = void (*)(AVContent *stream, int status, AVPixelBuffer *thumbnail, void *userData);

struct AVThumbnailRequest
{
  int count = 0;
  const float *positions = nullptr; // fractions of the duration; copied by startLoading
  float boxWidth = 0;
  float boxHeight = 0;
  AVThumbnailsBeginCallback begin = nullptr;
  AVThumbnailCallback thumbnail = nullptr;
  void *userData = nullptr;
};

class AVVideoStream : public AVStreamBase
{
public:
  AVVideoStream(const std::string &fileName, int width, int height);
  ~AVVideoStream() override;

  void videoSize(int *width, int *height) override;
  uint8_t *frameAt(double time, uint32_t *size) override;
  bool sleep() override;
  bool awaken() override;
  int open(int mediaKind) override;

  // Opens the file and reads its picture information; no threads.
  int openForMetadata();
  void startLoading(AVStreamLoadedCallback callback, void *userData, const AVThumbnailRequest &thumbnails);
  // One BGRA picture fitted to a box (width made even); the caller frees it with free().
  uint8_t *decodeFrameAt(double time, float boxWidth, float boxHeight, bool exact, uint32_t *size, int *width,
                         int *height, double *frameTime);

  double frameRate() const;
  int frameStep() const { return _frameStep; }
  int discardFactor() const { return _discardFactor; }
  void outputSize(int *width, int *height) const;
  int rotation() const { return _rotation; }
  void setDiscardFactor(int factor);
  void setMaxFrameRate(int rate);
  void setStretch(double stretch);
  // Where the consumer's outputs fall in media time: origin + k x interval. A thinning step then
  // drops only pictures no output shows. Without one, outputs are taken to lie `step` pictures
  // of the rounded rate apart from where the consumer starts.
  void setOutputGrid(double origin, double interval);
  void setOutputSize(int width, int height);
  // Video-range planar pictures come converted to opaque BGRA: the software renderer draws
  // those far faster than it converts planes, and the converter's threads take a few ms.
  void setPlanesAsBGRA(bool bgra) { _planesAsBGRA = bgra; }

protected:
  void decodeLoop() override;
  void wakeDecoder() override;

  // Pictures decoded for thumbnails and stills.
  std::atomic<int> _picturesDecoded{0};

private:
  void _readVideoInformation();
  void _recomputeFrameStep();
  bool _wantsThumbnails() const;
  void _makeThumbnails();
  struct _Landing;
  // Decodes the picture at t into a w x h BGRA buffer: exact, the newest one at or before t;
  // otherwise the first one decoded. With a landing, a seek that lands where the last one did
  // takes the picture kept there.
  uint8_t *_decodeSynchronously(double t, int w, int h, bool exact, double *frameTime, _Landing *landing = nullptr);
  uint8_t *_decodeFrameAt(double time, float boxWidth, float boxHeight, bool exact, uint32_t *size, int *width,
                          int *height, double *frameTime, _Landing *landing);
  // The frame as a record: YUV planes held where the decoder left them (the frame is left empty),
  // other formats converted to BGRA at outW x outH.
  bool _makeRecord(AVFrame *frame, AVFrameRecord *record, SwsContext **converter, int outW, int outH);
  bool _packPlanes(AVFrame *frame, AVFrameRecord *record);
  AVFrame *_transferIfHardware(AVFrame *frame);
  // Keeps the decoded picture in place of the held one.
  void _hold();
  // Pauses both threads and takes the demux and decoder locks; the end resumes where the
  // consumer was.
  void _beginSynchronous(double t);
  void _endSynchronous();

  // Read again by setOutputSize while the rendering thread reads them.
  std::atomic<int> _pictureWidth{0};
  std::atomic<int> _pictureHeight{0};
  std::atomic<int> _rotation{0};
  int _requestedWidth;
  int _requestedHeight;
  AVMutex *_decoderLock;
  AVCondition *_decoderCondition;
  AVFrame *_decodedFrame = nullptr;
  AVFrame *_softwareFrame = nullptr;
  // A decoded picture whose fate waits for the next one's time: an exact seek's newest picture
  // at or before its target, or one that the frame step may thin out.
  AVFrame *_heldFrame = nullptr;
  // A decoded picture waiting, as planes, for room in the queue before it becomes BGRA.
  AVFrame *_waitingFrame = nullptr;
  std::atomic<int> _outputWidth{0};
  std::atomic<int> _outputHeight{0};
  std::atomic<double> _stretch{1.0};
  std::atomic<int> _frameStep{1};
  std::atomic<int> _discardFactor{1};
  std::atomic<int> _maxRate{30};
  AVMutex *_gridLock;
  double _gridOrigin = 0;
  double _gridInterval = 0;
  std::atomic<bool> _planesAsBGRA{false};
  // The decoding thread's converter for setPlanesAsBGRA.
  SwsContext *_packer = nullptr;
  int _packedWidth = 0, _packedHeight = 0;
  AVThumbnailRequest _thumbnails;
  float *_positions = nullptr;
};
