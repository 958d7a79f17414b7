#include "avrender.h"

#include "avcommon.h"
#include "avcomposition.h"
#include "avglresources.h"
#include "avsegment.h"
#include "avsoundoutput.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>

namespace {
constexpr int kStopRounds = 200;
} // namespace

void renderCompositionListener(AVComposition *, AVSegment *segment, void *controller)
{
  // A layer that finished loading is shown at once.
  if (segment && segment->isLayer())
    static_cast<AVRender *>(controller)->_requestFrame();
}

AVRender::AVRender(AVGLRenderer *renderer, uint32_t width, uint32_t height)
  : _width(width), _height(height), _stateLock(avMutexCreate()), _videoLock(avMutexCreate()),
    _audioLock(avMutexCreate()), _videoCondition(avCondCreate()), _audioCondition(avCondCreate())
{
  _owner.renderer = renderer;
}

AVRender::~AVRender()
{
  if (_playing)
    pause();
  _videoStop = true;
  _audioStop = true;
  _addSteps(0);
  // Never destroy a thread that still runs, whatever stop() answered.
  for (AVThread_QThread_Type **thread : {&_videoThread, &_audioThread}) {
    if (*thread) {
      avThreadWait(*thread);
      avThreadDestroy(*thread);
      *thread = nullptr;
    }
  }
  destroySharedOffscreenContext(&_owner);
  {
    AVMutexLocker state(_stateLock);
    if (AVComposition *composition = _composition)
      composition->removeListener(renderCompositionListener);
  }
  delete _soundOutput;
  avMutexDestroy(_stateLock);
  avMutexDestroy(_videoLock);
  avMutexDestroy(_audioLock);
  avCondDestroy(_videoCondition);
  avCondDestroy(_audioCondition);
}

void AVRender::setComposition(AVComposition *composition)
{
  AVMutexLocker state(_stateLock);
  if (AVComposition *old = _composition)
    old->removeListener(renderCompositionListener);
  _composition = composition;
  if (composition)
    composition->addListener(renderCompositionListener, this);
}

void AVRender::setCallback(AVRenderCallback function, void *userData)
{
  _callbackData = userData;
  _callback = function;
}

void AVRender::setSize(uint32_t width, uint32_t height)
{
  AVMutexLocker state(_stateLock);
  _width = width;
  _height = height;
}

void AVRender::size(uint32_t *width, uint32_t *height)
{
  AVMutexLocker state(_stateLock);
  *width = _width;
  *height = _height;
}

void AVRender::lockRenderer()
{
  if (AVComposition *composition = _composition)
    composition->lockRenderer();
}

bool AVRender::tryLockRenderer()
{
  AVComposition *composition = _composition;
  return !composition || composition->tryLockRenderer();
}

void AVRender::unlockRenderer()
{
  if (AVComposition *composition = _composition)
    composition->unlockRenderer();
}

void AVRender::_report(int code, double time)
{
  if (AVRenderCallback callback = _callback)
    callback(this, code, time, _callbackData);
}

// Counters change and threads are woken under their locks: a thread between its check and its
// wait cannot miss the wake-up. A thread given work no longer waits, even before it runs again:
// callers that wait for idle threads (undo) must not slip in between.
void AVRender::_addSteps(int n)
{
  {
    AVMutexLocker video(_videoLock);
    _videoSteps += n;
    if (_videoSteps > 0)
      _videoParked = false;
    avCondWakeAll(_videoCondition);
  }
  {
    AVMutexLocker audio(_audioLock);
    _audioSteps += n;
    if (_audioSteps > 0)
      _audioParked = false;
    avCondWakeAll(_audioCondition);
  }
}

void AVRender::_requestFrame()
{
  // A frame not yet started shows every layer ready by then: layers of an opening project
  // come ready by the hundred, and a frame each would hold the preview's painting back.
  {
    AVMutexLocker video(_videoLock);
    _videoSteps = std::max<int32_t>(_videoSteps, 1);
    _videoParked = false;
    avCondWakeAll(_videoCondition);
  }
  {
    AVMutexLocker audio(_audioLock);
    _audioSteps = std::max<int32_t>(_audioSteps, 1);
    _audioParked = false;
    avCondWakeAll(_audioCondition);
  }
}

void AVRender::_createSoundOutput()
{
  AVComposition *composition = _composition;
  if (!_soundOutput && composition)
    _soundOutput = new AVSoundOutput(composition, composition->sampleRate(), composition->channels());
}

void AVRender::play()
{
  if (!_playing) {
    AVMutexLocker video(_videoLock);
    AVMutexLocker audio(_audioLock);
    _playing = true;
    _videoParked = false;
    _audioParked = false;
    _report(kAVRenderPlaying, 0.0);
    avCondWakeAll(_videoCondition);
    avCondWakeAll(_audioCondition);
  }
  _createSoundOutput();
  if (_soundOutput)
    _soundOutput->start();
}

void AVRender::pause()
{
  if (!_playing)
    return;
  {
    AVMutexLocker video(_videoLock);
    AVMutexLocker audio(_audioLock);
    _playing = false;
    _report(kAVRenderPaused, 0.0);
  }
  if (_soundOutput)
    _soundOutput->pause();
}

void AVRender::step(int n)
{
  _addSteps(n);
}

void AVRender::seek(double time, bool exact)
{
  AVComposition *composition = _composition;
  if (!composition)
    return;
  const double t = std::clamp(time, 0.0, std::max(0.0, composition->duration()));
  _currentTime = t;
  composition->seek(t, exact);
  if (_soundOutput) {
    if (exact)
      _soundOutput->restart();
    else
      _soundOutput->stopAsync();
  }
  _addSteps(1);
}

void AVRender::start()
{
  if (!_videoThread || _videoStop) {
    if (_videoThread) {
      avThreadWait(_videoThread);
      avThreadDestroy(_videoThread);
      destroySharedOffscreenContext(&_owner);
    }
    _videoStop = false;
    _videoThread = avThreadCreate(_videoThreadBody, this);
    if (_owner.host)
      createSharedOffscreenContext(&_owner, _owner.host, nullptr);
    avThreadStart(_videoThread);
  }
  if (!_audioThread || _audioStop) {
    if (_audioThread) {
      avThreadWait(_audioThread);
      avThreadDestroy(_audioThread);
    }
    _audioStop = false;
    _audioThread = avThreadCreate(_audioThreadBody, this);
    avThreadStart(_audioThread);
  }
  _createSoundOutput();
}

int AVRender::stop()
{
  _videoStop = true;
  _audioStop = true;
  _addSteps(0);
  delete _soundOutput;
  _soundOutput = nullptr;
  int result = 0;
  for (auto [running, lock, condition] : {std::make_tuple(&_videoRunning, _videoLock, _videoCondition),
                                          std::make_tuple(&_audioRunning, _audioLock, _audioCondition)}) {
    int rounds = 0;
    while (*running && rounds++ < kStopRounds) {
      avThreadSleep(0.01);
      AVMutexLocker locker(lock);
      avCondWakeAll(condition);
    }
    if (*running)
      result = 1;
  }
  if (result == 0) {
    for (AVThread_QThread_Type **thread : {&_videoThread, &_audioThread}) {
      if (*thread) {
        avThreadWait(*thread);
        avThreadDestroy(*thread);
        *thread = nullptr;
      }
    }
    destroySharedOffscreenContext(&_owner);
  }
  return result;
}

int AVRender::_videoThreadBody(AVThread_QThread_Type *, void *render)
{
  static_cast<AVRender *>(render)->_videoLoop();
  return 0;
}

int AVRender::_audioThreadBody(AVThread_QThread_Type *, void *render)
{
  static_cast<AVRender *>(render)->_audioLoop();
  return 0;
}

void AVRender::_videoLoop()
{
  _videoRunning = true;
  const bool ownRenderer = !_owner.renderer && _owner.host && _owner.context;
  if (ownRenderer)
    setUpRendererOnThread(&_owner);
  double base = _currentTime;
  double wallStart = avWallClock();
  bool endReported = false;
  while (!_videoStop) {
    bool reachedEnd = false;
    {
      AVMutexLocker video(_videoLock);
      if (!_playing && _videoSteps == 0) {
        // Parked again after each wake-up that left nothing to do (play taken back by pause).
        while (!_playing && _videoSteps == 0 && !_videoStop) {
          _videoParked = true;
          avCondWait(_videoCondition, _videoLock);
        }
        // Play starts from the time a seek just set, not from the last step's clock.
        base = _currentTime;
        wallStart = avWallClock();
        _videoParked = false;
      }
      if (!_playing && _videoSteps > 0) {
        base = _currentTime;
        --_videoSteps;
        wallStart = avWallClock();
      } else if (_playing) {
        _videoSteps = 0;
        _currentTime = (avWallClock() - wallStart) + base;
      } else {
        base = _currentTime;
        wallStart = avWallClock();
      }
    }
    if (_videoStop)
      break;
    AVComposition *composition = _composition;
    if (composition) {
      const double duration = composition->duration();
      if (_currentTime > duration) {
        _currentTime = duration;
        reachedEnd = true;
      } else {
        endReported = false;
      }
      double t = _currentTime;
      if (t == duration)
        t -= 0.001;
      composition->update(std::max(0.0, t), true, false, 2, _playing, false);
      ++_composedFrames;
    } else {
      reachedEnd = true;
    }
    _report(kAVRenderTime, _currentTime);
    avThreadSleep(0.001);
    if (reachedEnd && !endReported) {
      endReported = true;
      {
        AVMutexLocker video(_videoLock);
        AVMutexLocker audio(_audioLock);
        _playing = false;
      }
      _report(kAVRenderPaused, 0.0);
      _report(kAVRenderEnd, 0.0);
    }
  }
  if (ownRenderer)
    tearDownRendererOnThread(&_owner);
  _videoRunning = false;
}

void AVRender::_audioLoop()
{
  _audioRunning = true;
  for (int64_t rounds = 0; !_audioStop;) {
    {
      AVMutexLocker audio(_audioLock);
      if (!_playing && _audioSteps == 0) {
        while (!_playing && _audioSteps == 0 && !_audioStop) {
          _audioParked = true;
          avCondWait(_audioCondition, _audioLock);
        }
        _audioParked = false;
      }
      if (!_playing && _audioSteps > 0)
        --_audioSteps;
      else if (_playing)
        _audioSteps = 0;
    }
    if (_audioStop)
      break;
    if (AVComposition *composition = _composition) {
      const double duration = composition->duration();
      double t = _currentTime;
      if (t == duration)
        t -= 0.001;
      composition->update(std::max(0.0, t), true, false, 1, _playing, false);
    }
    if (++rounds % 10 == 0)
      avThreadSleep(0.01);
  }
  _audioRunning = false;
}

namespace {
// The program and vertex array that show the frame, per painting context: neither is shared
// between contexts, unlike the frame's texture.
struct _ShowProgram
{
  QOpenGLContext *context = nullptr;
  GLuint program = 0;
  GLuint vertexArray = 0;
};

// The frame's texture holds its top row first.
const char *const kShowVertex = "#version 150 core\n"
                                "out vec2 uv;\n"
                                "void main() {\n"
                                "  vec2 corner = vec2(float(gl_VertexID & 1), float((gl_VertexID >> 1) & 1));\n"
                                "  uv = vec2(corner.x, 1.0 - corner.y);\n"
                                "  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);\n"
                                "}\n";
const char *const kShowFragment = "#version 150 core\n"
                                  "in vec2 uv;\n"
                                  "uniform sampler2D frame;\n"
                                  "out vec4 colour;\n"
                                  "void main() { colour = texture(frame, uv); }\n";

GLuint _compile(QOpenGLFunctions_3_2_Core *gl, GLenum kind, const char *source)
{
  const GLuint shader = gl->glCreateShader(kind);
  gl->glShaderSource(shader, 1, &source, nullptr);
  gl->glCompileShader(shader);
  return shader;
}

bool _prepare(QOpenGLFunctions_3_2_Core *gl, _ShowProgram *show)
{
  QOpenGLContext *context = QOpenGLContext::currentContext();
  if (show->context == context && show->program)
    return true;
  *show = _ShowProgram();
  show->context = context;
  const GLuint vertex = _compile(gl, GL_VERTEX_SHADER, kShowVertex);
  const GLuint fragment = _compile(gl, GL_FRAGMENT_SHADER, kShowFragment);
  const GLuint program = gl->glCreateProgram();
  gl->glAttachShader(program, vertex);
  gl->glAttachShader(program, fragment);
  gl->glLinkProgram(program);
  gl->glDeleteShader(vertex);
  gl->glDeleteShader(fragment);
  GLint linked = 0;
  gl->glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    avPrint("preview program did not link\n");
    gl->glDeleteProgram(program);
    return false;
  }
  show->program = program;
  gl->glGenVertexArrays(1, &show->vertexArray);
  return true;
}

// GUI thread only.
_ShowProgram g_show;
} // namespace

void AVRender::paint()
{
  AVComposition *composition = _composition;
  if (!composition)
    return;
  composition->lockRenderer();
  setGLFunctionsFromCurrent();
  QOpenGLFunctions_3_2_Core *gl = avGL();
  const AVTexture *texture = composition->outputTexture();
  uint32_t width, height;
  size(&width, &height);
  if (gl && texture && texture->texture && width > 0 && height > 0 && _prepare(gl, &g_show)) {
    // The frame's pixels are premultiplied: what the widget painted below shows through.
    gl->glBindFramebuffer(GL_FRAMEBUFFER, QOpenGLContext::currentContext()->defaultFramebufferObject());
    gl->glViewport(0, 0, GLsizei(width), GLsizei(height));
    gl->glDisable(GL_DEPTH_TEST);
    gl->glDisable(GL_SCISSOR_TEST);
    gl->glEnable(GL_BLEND);
    gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl->glUseProgram(g_show.program);
    gl->glActiveTexture(GL_TEXTURE0);
    gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
    gl->glUniform1i(gl->glGetUniformLocation(g_show.program, "frame"), 0);
    gl->glBindVertexArray(g_show.vertexArray);
    gl->glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gl->glBindVertexArray(0);
    gl->glUseProgram(0);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    gl->glFlush();
  }
  clearGLFunctions();
  composition->unlockRenderer();
}
