#pragma once
// GL side of the engine's platform glue: the host that rendering contexts share with,
// the offscreen contexts of the rendering threads, the per-thread GL function table and
// the shader source reader.

#include <atomic>
#include <cstdint>

class QObject;
class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFunctions_3_2_Core;
class QThread;
class AVComposition;
struct AVGLRenderer;

// What owns a rendering thread's context: the playback controller and the exporter start
// with these fields, renderer first.
struct AVGLContextOwner
{
  // Set on the rendering thread; other threads ask whether it is there.
  std::atomic<AVGLRenderer *> renderer{nullptr};
  class AVGLHost *host = nullptr;
  QOpenGLContext *context = nullptr;
  QOffscreenSurface *surface = nullptr;
  QThread *thread = nullptr; // the thread the context is moved to; null: the first to use it
};

// What the renderer owners receive as their host: the editor's (its context comes from the
// preview widget) or a headless one with its own root context.
class AVGLHost
{
public:
  virtual ~AVGLHost() = default;
  // The context every rendering context shares with; current only while set-up runs.
  virtual QOpenGLContext *rootContext() = 0;
  virtual bool makeRootCurrent() = 0;
  virtual void doneRootCurrent() = 0;
  virtual QObject *surfaceParent() { return nullptr; }
  virtual uint32_t defaultFramebuffer() = 0;
  virtual AVComposition *composition() = 0;
  // The playback controller's context owner (when it has a renderer it is chosen first),
  // then the exporter's.
  virtual AVGLContextOwner *playbackOwner() = 0;
  virtual AVGLContextOwner *exportOwner() = 0;
};

// A host without a window: its own root context on an offscreen surface, default framebuffer 0.
// Create and delete it on the GUI thread.
class AVHeadlessGLHost : public AVGLHost
{
public:
  AVHeadlessGLHost();
  ~AVHeadlessGLHost() override;
  AVHeadlessGLHost(const AVHeadlessGLHost &) = delete;
  AVHeadlessGLHost &operator=(const AVHeadlessGLHost &) = delete;

  bool isValid() const;
  void setComposition(AVComposition *composition) { _composition = composition; }
  void setPlaybackOwner(AVGLContextOwner *owner) { _playback = owner; }
  void setExportOwner(AVGLContextOwner *owner) { _export = owner; }

  QOpenGLContext *rootContext() override;
  bool makeRootCurrent() override;
  void doneRootCurrent() override;
  uint32_t defaultFramebuffer() override { return 0; }
  AVComposition *composition() override { return _composition; }
  AVGLContextOwner *playbackOwner() override { return _playback; }
  AVGLContextOwner *exportOwner() override { return _export; }

private:
  QOpenGLContext *_context = nullptr;
  QOffscreenSurface *_surface = nullptr;
  AVComposition *_composition = nullptr;
  AVGLContextOwner *_playback = nullptr;
  AVGLContextOwner *_export = nullptr;
};

// The GL function table of the context current on this thread, or null. Per thread, so a
// rendering thread and GUI painting never race on it.
QOpenGLFunctions_3_2_Core *avGL();
void setGLFunctionsFromCurrent();
void clearGLFunctions();

void makeRendererCurrent(AVGLRenderer *renderer);
void doneRendererCurrent(AVGLRenderer *renderer);
void flushRenderer(AVGLRenderer *renderer, bool finish);
uint32_t defaultFramebuffer(AVGLRenderer *renderer);

// On the GUI thread: a context shared with the host's root context, moved to thread; with a
// null thread, the first thread that makes it current takes it (engine threads are not QThreads).
bool createSharedOffscreenContext(AVGLContextOwner *owner, AVGLHost *host, QThread *thread);
void destroySharedOffscreenContext(AVGLContextOwner *owner);
// First and last work on the owner's thread: build the renderer and attach it to the host's
// composition; release the composition's GL resources and the renderer.
bool setUpRendererOnThread(AVGLContextOwner *owner);
void tearDownRendererOnThread(AVGLContextOwner *owner);

// Reads ":/shaders/shaders/<name>" and unscrambles it into destination (terminated).
// Returns the source length, 0 on failure.
int readShaderSource(const char *name, char *destination, int capacity);
