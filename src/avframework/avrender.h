#pragma once
// Plays a composition: a video thread keeps the play clock and composes a frame for the current
// time on its own shared GL context; an audio thread keeps the mix running ahead of the sound
// output. While paused both threads park until single steps are asked for (the preview refresh
// after edits and seeks). State reaches the editor through one status callback.

#include "avglglue.h"

#include <atomic>
#include <cstdint>

struct AVMutex;
struct AVCondition;
class AVComposition;
class AVSegment;
class AVSoundOutput;
class AVThread_QThread_Type;

// Status codes of the callback.
enum : int { kAVRenderPaused = 0, kAVRenderPlaying = 1, kAVRenderTime = 2, kAVRenderEnd = 3 };

class AVRender;
using AVRenderCallback = void (*)(AVRender *render, int code, double time, void *userData);

class AVRender
{
public:
  // The editor passes no renderer: the video thread makes its own.
  AVRender(AVGLRenderer *renderer, uint32_t width, uint32_t height);
  // Waits for both threads (stop first for a bounded wait).
  ~AVRender();
  AVRender(const AVRender &) = delete;
  AVRender &operator=(const AVRender &) = delete;

  // Where the video thread's context comes from; set before start.
  void setGLHost(AVGLHost *host) { _owner.host = host; }
  AVGLContextOwner *contextOwner() { return &_owner; }
  AVGLRenderer *renderer() const { return _owner.renderer; }

  void setComposition(AVComposition *composition);
  AVComposition *composition() const { return _composition; }
  double currentTime() const { return _currentTime; }
  bool isPlaying() const { return _playing; }
  bool isVideoParked() const { return _videoParked; }
  bool isAudioParked() const { return _audioParked; }
  void setCallback(AVRenderCallback function, void *userData);
  void setSize(uint32_t width, uint32_t height);
  void size(uint32_t *width, uint32_t *height);
  void lockRenderer();
  // False when the renderer is busy, composing a frame for one.
  bool tryLockRenderer();
  void unlockRenderer();

  void play();
  void pause();
  void step(int n);
  void seek(double time, bool exact);
  void start();
  // 0 when both threads ended within 2 s each, else 1.
  int stop();
  // Without waiting: both threads have ended (after a stop that answered 1, once they do).
  bool hasStopped() const { return !_videoRunning && !_audioRunning; }
  // Shows the latest composed frame on the current context's default framebuffer.
  void paint();

  AVSoundOutput *soundOutput() const { return _soundOutput; }
  // Frames composed by the video thread since it started.
  int composedFrames() const { return _composedFrames; }

private:
  friend void renderCompositionListener(AVComposition *composition, AVSegment *segment, void *controller);
  static int _videoThreadBody(AVThread_QThread_Type *thread, void *render);
  static int _audioThreadBody(AVThread_QThread_Type *thread, void *render);
  void _videoLoop();
  void _audioLoop();
  void _report(int code, double time);
  void _addSteps(int n);
  void _requestFrame();
  void _createSoundOutput();

  AVGLContextOwner _owner;
  std::atomic<uint32_t> _width;
  std::atomic<uint32_t> _height;
  AVMutex *_stateLock;
  std::atomic<AVComposition *> _composition{nullptr};
  std::atomic<double> _currentTime{0};
  AVThread_QThread_Type *_videoThread = nullptr;
  AVThread_QThread_Type *_audioThread = nullptr;
  std::atomic<bool> _videoStop{false};
  std::atomic<bool> _audioStop{false};
  std::atomic<bool> _videoRunning{false};
  std::atomic<bool> _audioRunning{false};
  std::atomic<bool> _playing{false};
  std::atomic<int32_t> _videoSteps{0};
  std::atomic<int32_t> _audioSteps{0};
  AVMutex *_videoLock;
  AVMutex *_audioLock;
  AVCondition *_videoCondition;
  AVCondition *_audioCondition;
  std::atomic<bool> _videoParked{false};
  std::atomic<bool> _audioParked{false};
  std::atomic<AVRenderCallback> _callback{nullptr};
  std::atomic<void *> _callbackData{nullptr};
  AVSoundOutput *_soundOutput = nullptr;
  std::atomic<int> _composedFrames{0};
};

void renderCompositionListener(AVComposition *composition, AVSegment *segment, void *controller);
