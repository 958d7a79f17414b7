#pragma once
// The root of the engine, one per open project: its layers in drawing order and its sounds,
// duration, frame and render size, background colour, the renderer that draws its frames,
// its listeners and the audio mix window.

#include "avpixelbuffer.h"

#include <atomic>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct AVMutex;
class AVSegment;
class AVLayerSegment;
class AVComposition;
struct AVGLRenderer;
struct AVFrameBuffer;
struct AVTexture;
struct AVLayerRenderInfo;

using AVCompositionListener = void (*)(AVComposition *composition, AVSegment *segment, void *userData);

class AVComposition
{
public:
  AVComposition(int width, int height, int sampleRate, int channels, AVGLRenderer *renderer);
  ~AVComposition();
  AVComposition(const AVComposition &) = delete;
  AVComposition &operator=(const AVComposition &) = delete;

  // Takes ownership. Layers go into the drawing order, sounds into the sound list, by id.
  void addSegment(AVSegment *segment, uint32_t id);
  // Layers are parked until the next compose deletes them; sounds are deleted at once.
  int removeSegment(uint32_t id);
  AVSegment *findSegment(uint32_t id);
  void setLayerOrder(const uint32_t *ids, int count);
  void updateDuration();

  double duration() const { return _duration; }
  int width() const { return _frameWidth; }
  int height() const { return _frameHeight; }
  vec4 backgroundColor() const { return _backgroundColor; }
  void setBackgroundColor(vec4 colour) { _backgroundColor = colour; }
  void setRenderSize(int width, int height, bool exporting);
  int renderWidth() const { return _renderWidth; }
  int renderHeight() const { return _renderHeight; }

  void addListener(AVCompositionListener function, void *userData);
  void removeListener(AVCompositionListener function);

  void setRenderer(AVGLRenderer *renderer);
  AVGLRenderer *renderer() const { return _renderer.load(); }
  void lockRenderer();
  bool tryLockRenderer();
  void unlockRenderer();
  AVTexture *outputTexture() const;
  AVFrameBuffer *outputFrameBuffer() const { return _outputFrameBuffer; }
  // Exported frames alternate between two framebuffers, each composition flushed rather than
  // waited for, so the previous frame can be read back while the renderer still draws this
  // one. On the compose thread.
  void setKeepPreviousFrame(bool keep) { _keepPreviousFrame = keep; }
  // The frame exported before the latest one while previous frames are kept, else none.
  AVFrameBuffer *previousOutputFrameBuffer() const { return _keepPreviousFrame ? _previousFrameBuffer : nullptr; }
  void setFlushAfterCompose(bool flush) { _flushAfterCompose = flush; }
  // Exported frames are multisampled only when a layer has edges off the pixel grid; always, for
  // the reference that comparisons are made against. On the compose thread.
  void setAlwaysMultisample(bool always) { _alwaysMultisample = always; }
  // On the rendering thread with its context current: deletes parked layers, puts every
  // segment to sleep so it releases its textures, and deletes the framebuffers.
  void releaseGLResources();
  // The rate frames are composed at: the export's, 30 in the preview. Video layers thin their
  // pictures to it.
  void setVideoFrameRate(double rate);
  // Video pictures come as BGRA rather than planes while an export draws them.
  void setVideoPlanesAsBGRA(bool bgra);
  bool hasLoadedSound();
  bool isReadyAt(double time);

  void seek(double time, bool exact);
  // Bit 0 of parts mixes sound, bit 1 composes a frame.
  void update(double time, bool soundPass, bool layerPass, int parts, bool playing, bool exporting);
  void composeFrame(double time, bool layerPass, bool playing, bool exporting);
  void fillDrawParams(AVLayerRenderInfo *record, AVLayerSegment *layer);

  int parkedCount();

  // One mix pass of every sound segment into the window (bit 0 of update's parts).
  void mixSound(double time, bool soundPass, bool playing, bool exporting);
  // Takes the final bytes from the front of the window and slides it forward by them. Reports
  // the frame the bytes start at; with a capacity below what is mixed, takes whole frames that fit.
  int readMixed(uint8_t *destination, int capacity, double *startFrame);
  bool mixWindowComplete();
  // Called under the mix lock by the pass that makes bytes readable where there were none; one
  // reader at a time (the sound output). Removing it waits for a call in progress.
  using MixReadyFunction = void (*)(void *userData);
  void setMixReadyListener(MixReadyFunction function, void *userData);
  void removeMixReadyListener(void *userData);
  int mixWindowStart();
  int mixWindowEnd();
  int mixedLength();
  int sampleRate() const { return _sampleRate; }
  int channels() const { return _channels; }

private:
  friend void compositionSegmentListener(AVSegment *segment, int code, void *composition);
  friend void compositionAuxListener(AVSegment *segment, int code, void *composition);
  void _recomputeDuration();
  void _resetWindowTable();
  void _notifyListeners(AVSegment *segment);
  void _deleteParked();
  void _prefetchLayers(double time);
  static bool _opaquePicture(AVLayerSegment *layer, AVTexture *texture);
  void _drawLayer(AVGLRenderer *renderer, AVLayerSegment *layer, AVTexture *texture, const AVLayerRenderInfo *info);

  // Set by the rendering thread, read by the mixing thread to know that rendering has begun.
  std::atomic<AVGLRenderer *> _renderer;
  vec4 _backgroundColor{0, 0, 0, 1};
  std::vector<AVLayerSegment *> _visible;
  std::vector<AVSegment *> _sounds;
  // Every layer and sound by id, under both list locks: the facade looks segments up per call.
  std::unordered_map<uint32_t, AVSegment *> _byId;
  uint32_t _largestId = 0;
  std::vector<AVLayerSegment *> _parked;
  AVMutex *_visibleLock;
  AVMutex *_soundLock;
  AVMutex *_parkedLock;
  std::atomic<int> _frameWidth;
  std::atomic<int> _frameHeight;
  std::atomic<int> _renderWidth;
  std::atomic<int> _renderHeight;
  int _sampleRate;
  int _channels;
  std::atomic<double> _duration{0};
  std::atomic<double> _videoFrameRate{30};
  AVFrameBuffer *_outputFrameBuffer = nullptr;
  AVFrameBuffer *_previousFrameBuffer = nullptr;
  bool _keepPreviousFrame = false;
  AVMutex *_rendererLock;
  bool _multisample = true;
  bool _alwaysMultisample = false;
  std::atomic<bool> _flushAfterCompose{false};
  AVFrameBuffer *_multisampleFrameBuffer = nullptr;
  // Added on the GUI thread, called from the loading and decoding threads.
  AVMutex *_listenerLock;
  std::vector<std::pair<AVCompositionListener, void *>> _listeners;

  int16_t *_mixBuffer;
  AVMutex *_mixLock;
  int _bufferSize;
  int _mixedLength = 0;
  int _windowStart = 0;
  int _windowEnd = 0;
  bool _windowComplete = false;
  MixReadyFunction _mixReady = nullptr;
  void *_mixReadyData = nullptr;
  int32_t _endOffsets[1024] = {};
  int _framesPerWindow;
  uint8_t *_scratch;
};

void compositionSegmentListener(AVSegment *segment, int code, void *composition);
void compositionAuxListener(AVSegment *segment, int code, void *composition);
