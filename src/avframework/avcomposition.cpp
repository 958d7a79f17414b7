#include "avcomposition.h"

#include "avcommon.h"
#include "avglglue.h"
#include "avglresources.h"
#include "avimagefiles.h"
#include "avlayerdraw.h"
#include "avlayersegment.h"
#include "avsoundsegment.h"
#include "avtextsegment.h"
#include "avvideosegment.h"

#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kScratchBytes = 49152;
constexpr double kLayerLead = 1.0;
constexpr double kSleepAfterEnd = 0.25;
constexpr int kMaxMixedSounds = 1024;

template <typename T> void _insertById(std::vector<T *> &list, T *segment, uint32_t id)
{
  auto later = std::find_if(list.begin(), list.end(), [id](const T *s) { return s->id() > id; });
  list.insert(later, segment);
}

// A colour-effect value (-100..100, 0 off) as the renderer's parameter.
float _effectParameter(int effect, int v)
{
  const float f = float(v);
  switch (effect) {
  case 0: // saturation
    return v < 0 ? (f + 100) / 100 : f / 100 + 1;
  case 1: // brightness
    return v < 0 ? (f + 100) / 100 - 1 : f / 100;
  case 2: // contrast
    return v < 0 ? (f + 100) / 100 : 3 * f / 100 + 1;
  case 3: // white balance, kelvin
    return v < 0 ? (f + 100) * 2500 / 100 + 2500 : 5000 * f / 100 + 5000;
  case 4: // exposure
    return v < 0 ? 4 * (f + 100) / 100 - 4 : 4 * f / 100;
  case 5: // hue, radians
    return v < 0 ? float(M_PI) * (f + 100) / 100 - float(M_PI) : float(M_PI) * f / 100;
  default: // red, green, blue factors; 0 leaves the channel as it is
    return v == 0 ? 1.0f : (v < 0 ? (f + 100) / 100 : f / 100 + 1);
  }
}
} // namespace

AVComposition::AVComposition(int width, int height, int sampleRate, int channels, AVGLRenderer *renderer)
  : _renderer(renderer), _visibleLock(avMutexCreate()), _soundLock(avMutexCreate()), _parkedLock(avMutexCreate()),
    _frameWidth(width), _frameHeight(height), _renderWidth(width), _renderHeight(height), _sampleRate(sampleRate),
    _channels(channels), _rendererLock(avMutexCreate()), _listenerLock(avMutexCreate()), _mixLock(avMutexCreate())
{
  _framesPerWindow = sampleRate / 2;
  _bufferSize = (sampleRate / 2) * channels * 2;
  _mixBuffer = static_cast<int16_t *>(calloc(size_t(_bufferSize) + 2, 1));
  _scratch = static_cast<uint8_t *>(calloc(kScratchBytes, 1));
  setImageDecodeBound(width, height);
}

AVComposition::~AVComposition()
{
  // Out of the lists first: a loader thread finishing a layer still reports to this composition.
  std::vector<AVLayerSegment *> visible, parked;
  std::vector<AVSegment *> sounds;
  {
    AVMutexLocker visibleLocker(_visibleLock);
    AVMutexLocker soundLocker(_soundLock);
    AVMutexLocker parkedLocker(_parkedLock);
    visible.swap(_visible);
    sounds.swap(_sounds);
    parked.swap(_parked);
  }
  for (AVLayerSegment *segment : visible)
    delete segment;
  for (AVSegment *segment : sounds)
    delete segment;
  for (AVLayerSegment *segment : parked)
    delete segment;
  free(_mixBuffer);
  free(_scratch);
  destroyFrameBuffer(_outputFrameBuffer);
  destroyFrameBuffer(_previousFrameBuffer);
  destroyMultisampleFrameBuffer(_multisampleFrameBuffer);
  for (AVMutex *mutex : {_visibleLock, _soundLock, _parkedLock, _rendererLock, _listenerLock, _mixLock})
    avMutexDestroy(mutex);
}

void AVComposition::addSegment(AVSegment *segment, uint32_t id)
{
  AVMutexLocker visible(_visibleLock);
  AVMutexLocker sounds(_soundLock);
  // Ids grow, so a new one normally goes last; only an older id needs the search.
  const bool newest = id > _largestId;
  _largestId = std::max(_largestId, id);
  if (segment->isLayer()) {
    if (static_cast<AVLayerSegment *>(segment)->isVideo())
      static_cast<AVVideoSegment *>(segment)->setMaxFrameRate(int(_videoFrameRate));
    if (newest)
      _visible.push_back(static_cast<AVLayerSegment *>(segment));
    else
      _insertById(_visible, static_cast<AVLayerSegment *>(segment), id);
  } else if (newest) {
    _sounds.push_back(segment);
  } else {
    _insertById(_sounds, segment, id);
  }
  _byId.emplace(segment->id(), segment);
  // Adding can only lengthen the composition.
  _duration = std::max(_duration.load(), segment->startTime() + segment->duration());
  {
    AVMutexLocker mix(_mixLock);
    _resetWindowTable();
  }
  segment->setAuxListener(compositionAuxListener, this);
  segment->setListener(compositionSegmentListener, this);
}

int AVComposition::removeSegment(uint32_t id)
{
  // A sound still loading joins its loading thread when deleted, and that thread reports its
  // duration through updateDuration: delete it only after the locks are released.
  AVSegment *removedSound = nullptr;
  int found = 0;
  {
    AVMutexLocker visible(_visibleLock);
    AVMutexLocker sounds(_soundLock);
    AVMutexLocker parked(_parkedLock);
    // Most calls name an id the composition never had (a segment's first load): no search.
    if (!_byId.count(id))
      return 0;
    auto layer = std::find_if(_visible.begin(), _visible.end(), [id](const AVSegment *s) { return s->id() == id; });
    if (layer != _visible.end()) {
      _parked.push_back(*layer);
      _visible.erase(layer);
      found = 1;
    } else {
      auto sound = std::find_if(_sounds.begin(), _sounds.end(), [id](const AVSegment *s) { return s->id() == id; });
      if (sound != _sounds.end()) {
        removedSound = *sound;
        _sounds.erase(sound);
        found = 1;
      }
    }
    if (found) {
      _byId.erase(id);
      // A segment added under the same id is found from now on.
      for (AVSegment *other : _visible)
        if (other->id() == id)
          _byId[id] = other;
      for (AVSegment *other : _sounds)
        if (other->id() == id && !_byId.count(id))
          _byId[id] = other;
      _recomputeDuration();
    }
  }
  delete removedSound;
  return found;
}

AVSegment *AVComposition::findSegment(uint32_t id)
{
  AVMutexLocker visible(_visibleLock);
  AVMutexLocker sounds(_soundLock);
  const auto it = _byId.find(id);
  return it == _byId.end() ? nullptr : it->second;
}

void AVComposition::setLayerOrder(const uint32_t *ids, int count)
{
  AVMutexLocker visible(_visibleLock);
  std::vector<AVLayerSegment *> order;
  order.reserve(_visible.size());
  for (int i = 0; i < count; ++i) {
    auto it = std::find_if(_visible.begin(), _visible.end(), [&](const AVSegment *s) { return s->id() == ids[i]; });
    if (it == _visible.end())
      continue;
    order.push_back(*it);
    _visible.erase(it);
  }
  // Layers the list leaves out keep their old relative order on top, never lost.
  if (!_visible.empty())
    avPrint("setLayerOrder: %d layers not named\n", int(_visible.size()));
  order.insert(order.end(), _visible.begin(), _visible.end());
  _visible.swap(order);
  AVMutexLocker sounds(_soundLock);
  _recomputeDuration();
}

void AVComposition::updateDuration()
{
  AVMutexLocker visible(_visibleLock);
  AVMutexLocker sounds(_soundLock);
  _recomputeDuration();
}

void AVComposition::_recomputeDuration()
{
  double duration = 0;
  for (AVLayerSegment *segment : _visible)
    duration = std::max(duration, segment->startTime() + segment->duration());
  for (AVSegment *segment : _sounds)
    duration = std::max(duration, segment->startTime() + segment->duration());
  _duration = duration;
  AVMutexLocker mix(_mixLock);
  _resetWindowTable();
}

// Caller holds the mix lock: the window end follows the duration, each sound's end offset
// is the full window.
void AVComposition::_resetWindowTable()
{
  _windowEnd = _windowStart + _framesPerWindow;
  const int last = int(_sampleRate * _duration);
  if (last < _windowEnd)
    _windowEnd = last;
  const int bytes = (_windowEnd - _windowStart) * _channels * 2;
  // Every entry: the reader slides the window without the sound-list lock.
  std::fill(std::begin(_endOffsets), std::end(_endOffsets), bytes);
}

void AVComposition::setRenderSize(int width, int height, bool)
{
  _renderWidth = width;
  _renderHeight = height;
  // Pictures are decoded no larger than the frames they are drawn into.
  setImageDecodeBound(width, height);
  AVMutexLocker visible(_visibleLock);
  for (AVLayerSegment *layer : _visible) {
    layer->setRenderSize(uint32_t(width), uint32_t(height));
    // Text is laid out in pixels of the render size: its box follows, and it renders again.
    if (layer->isText())
      static_cast<AVTextSegment *>(layer)->setTextBoxSize(uint32_t(width), uint32_t(height / 2));
    // The render width bounds a video's decoded picture both ways.
    if (layer->isVideo())
      static_cast<AVVideoSegment *>(layer)->setOutputSize(width, width);
  }
}

void AVComposition::addListener(AVCompositionListener function, void *userData)
{
  removeListener(function);
  AVMutexLocker locker(_listenerLock);
  _listeners.emplace_back(function, userData);
}

void AVComposition::removeListener(AVCompositionListener function)
{
  AVMutexLocker locker(_listenerLock);
  auto it = std::find_if(_listeners.begin(), _listeners.end(), [function](const auto &l) { return l.first == function; });
  if (it != _listeners.end())
    _listeners.erase(it);
}

void AVComposition::_notifyListeners(AVSegment *segment)
{
  // Called without the lock: a listener may add or remove listeners.
  std::vector<std::pair<AVCompositionListener, void *>> listeners;
  {
    AVMutexLocker locker(_listenerLock);
    listeners = _listeners;
  }
  for (const auto &listener : listeners)
    listener.first(this, segment, listener.second);
}

void compositionSegmentListener(AVSegment *segment, int code, void *user)
{
  auto *composition = static_cast<AVComposition *>(user);
  if (code == 0)
    composition->updateDuration();
  composition->_notifyListeners(segment);
}

void compositionAuxListener(AVSegment *segment, int, void *user)
{
  static_cast<AVComposition *>(user)->_notifyListeners(segment);
}

void AVComposition::setRenderer(AVGLRenderer *renderer)
{
  AVMutexLocker locker(_rendererLock);
  _renderer = renderer;
}

void AVComposition::lockRenderer()
{
  avMutexLock(_rendererLock);
}

bool AVComposition::tryLockRenderer()
{
  return _rendererLock->try_lock();
}

void AVComposition::unlockRenderer()
{
  avMutexUnlock(_rendererLock);
}

AVTexture *AVComposition::outputTexture() const
{
  return frameBufferTexture(_outputFrameBuffer);
}

void AVComposition::_deleteParked()
{
  AVMutexLocker parked(_parkedLock);
  for (AVLayerSegment *segment : _parked) {
    segment->sleep(true);
    delete segment;
  }
  _parked.clear();
}

int AVComposition::parkedCount()
{
  AVMutexLocker parked(_parkedLock);
  return int(_parked.size());
}

void AVComposition::releaseGLResources()
{
  AVMutexLocker renderer(_rendererLock);
  {
    AVMutexLocker visible(_visibleLock);
    AVMutexLocker sounds(_soundLock);
    for (AVLayerSegment *segment : _visible)
      segment->sleep(true);
    for (AVSegment *segment : _sounds)
      segment->sleep(true);
  }
  // Parked layers hold textures too, and only this thread has their context.
  _deleteParked();
  destroyFrameBuffer(_outputFrameBuffer);
  destroyFrameBuffer(_previousFrameBuffer);
  destroyMultisampleFrameBuffer(_multisampleFrameBuffer);
  _outputFrameBuffer = _previousFrameBuffer = nullptr;
  _multisampleFrameBuffer = nullptr;
}

void AVComposition::setVideoFrameRate(double rate)
{
  AVMutexLocker visible(_visibleLock);
  _videoFrameRate = rate;
  for (AVLayerSegment *layer : _visible)
    if (layer->isVideo())
      static_cast<AVVideoSegment *>(layer)->setMaxFrameRate(int(rate));
}

void AVComposition::setVideoPlanesAsBGRA(bool bgra)
{
  AVMutexLocker visible(_visibleLock);
  for (AVLayerSegment *layer : _visible)
    if (layer->isVideo())
      static_cast<AVVideoSegment *>(layer)->setPlanesAsBGRA(bgra);
}

bool AVComposition::hasLoadedSound()
{
  AVMutexLocker sounds(_soundLock);
  return std::any_of(_sounds.begin(), _sounds.end(), [](AVSegment *s) { return s->loadError() == 0; });
}

bool AVComposition::isReadyAt(double time)
{
  AVMutexLocker visible(_visibleLock);
  AVMutexLocker sounds(_soundLock);
  for (AVLayerSegment *segment : _visible) {
    const double start = segment->startTime();
    if (time >= start && time < start + segment->duration() && !segment->isReady())
      return false;
  }
  return true;
}

void AVComposition::seek(double time, bool exact)
{
  if (exact) {
    // The table has an entry per sound: the sound list, then the mix lock, in lock order.
    AVMutexLocker sounds(_soundLock);
    AVMutexLocker mix(_mixLock);
    _mixedLength = 0;
    _windowStart = int(_sampleRate * time);
    memset(_mixBuffer, 0, size_t(_bufferSize));
    _windowComplete = false;
    _resetWindowTable();
  }
  std::vector<AVSegment *> all;
  {
    AVMutexLocker visible(_visibleLock);
    AVMutexLocker sounds(_soundLock);
    all.assign(_visible.begin(), _visible.end());
    all.insert(all.end(), _sounds.begin(), _sounds.end());
  }
  for (AVSegment *segment : all)
    segment->seek(time, exact);
}

void AVComposition::update(double time, bool soundPass, bool layerPass, int parts, bool playing, bool exporting)
{
  if (parts & 1)
    mixSound(time, soundPass, playing, exporting);
  if (parts & 2) {
    _prefetchLayers(time);
    composeFrame(time, layerPass, playing, exporting);
  }
}

// Layers leave only through the parked list, which this thread empties: the copy stays valid
// without the lock.
void AVComposition::_prefetchLayers(double time)
{
  std::vector<AVLayerSegment *> layers;
  {
    AVMutexLocker visible(_visibleLock);
    layers = _visible;
  }
  for (AVLayerSegment *layer : layers) {
    const double start = layer->startTime();
    if (layer->isEnabled() && time >= start && time < start + layer->duration())
      layer->prefetch(time);
  }
}

void AVComposition::composeFrame(double time, bool layerPass, bool playing, bool exporting)
{
  AVMutexLocker rendererLock(_rendererLock);
  AVGLRenderer *renderer = _renderer;
  if (!renderer)
    return;
  makeRendererCurrent(renderer);
  if (!avGL()) {
    doneRendererCurrent(renderer);
    return;
  }
  _deleteParked();

  const int width = _renderWidth, height = _renderHeight;
  const bool alternate = exporting && _keepPreviousFrame;
  if (alternate) {
    std::swap(_outputFrameBuffer, _previousFrameBuffer);
    if (_outputFrameBuffer && (int(frameBufferWidth(_outputFrameBuffer)) != width ||
                               int(frameBufferHeight(_outputFrameBuffer)) != height))
      resizeFrameBuffer(_outputFrameBuffer, uint32_t(width), uint32_t(height));
  }
  if (!_outputFrameBuffer) {
    _outputFrameBuffer = createFrameBuffer(uint32_t(width), uint32_t(height), false);
  } else if (width != _frameWidth || height != _frameHeight) {
    resizeFrameBuffer(_outputFrameBuffer, uint32_t(width), uint32_t(height));
    if (_multisampleFrameBuffer)
      resizeMultisampleFrameBuffer(_multisampleFrameBuffer, uint32_t(width), uint32_t(height));
  }
  _frameWidth = width;
  _frameHeight = height;

  std::vector<AVLayerSegment *> layers;
  {
    AVMutexLocker visible(_visibleLock);
    layers = _visible;
  }
  // Wakes or puts to sleep, and updates a layer: its texture when it is drawn at this time.
  const auto updateLayer = [&](AVLayerSegment *layer) -> AVTexture * {
    const double start = layer->startTime(), end = start + layer->duration();
    if (time >= start - kLayerLead && end + kSleepAfterEnd >= time && layer->isEnabled())
      layer->wake();
    else
      layer->sleep(exporting);
    if (layer->loadError() != 0 || !layer->isEnabled() || time < start || end <= time)
      return nullptr;
    layer->update(time, layerPass, playing);
    return layer->texture();
  };
  struct Drawn
  {
    AVLayerSegment *layer;
    AVTexture *texture;
    AVLayerRenderInfo info;
  };
  // An exported frame is multisampled only when a layer is off the pixel grid (a pass over four
  // samples a pixel costs the most in a software renderer), so its layers are all updated before
  // drawing starts. The preview multisamples every frame and updates each layer as it draws it.
  // Layers under one that fills the frame with an opaque picture are not drawn, nor is the
  // frame cleared under it.
  std::vector<Drawn> drawn;
  bool multisample = _alwaysMultisample || !exporting;
  bool filled = false;
  if (exporting) {
    for (AVLayerSegment *layer : layers) {
      AVTexture *texture = updateLayer(layer);
      if (!texture)
        continue;
      drawn.push_back({layer, texture, {}});
      AVLayerRenderInfo &info = drawn.back().info;
      memset(&info, 0, sizeof(info));
      fillDrawParams(&info, layer);
      info.opaquePicture = _opaquePicture(layer, texture);
      const bool video = layer->isVideo();
      if (_opaquePicture(layer, texture) &&
          layerFillsTarget(info, width, height, video ? layer->pictureWidth() : texture->width,
                           video ? layer->pictureHeight() : texture->height)) {
        info.fillsTarget = 1;
        filled = true;
        drawn.erase(drawn.begin(), drawn.end() - 1);
      }
    }
    for (const Drawn &d : drawn) {
      const bool video = d.layer->isVideo();
      multisample = multisample ||
                    layerNeedsMultisample(d.info, width, height, video ? d.layer->pictureWidth() : d.texture->width,
                                          video ? d.layer->pictureHeight() : d.texture->height);
    }
    // Only the painted part of a mostly transparent picture is drawn, once the edges it has
    // as a whole have decided the multisampling.
    for (Drawn &d : drawn) {
      float topLeft[2], bottomRight[2];
      if (d.layer->paintedArea(topLeft, bottomRight))
        cropToPaintedArea(&d.info, topLeft, bottomRight);
    }
  }
  // Made when a frame first needs it: an export of upright full-frame layers never does, and the
  // samples take four frames' memory.
  if (multisample && _multisample && !_multisampleFrameBuffer)
    _multisampleFrameBuffer = createMultisampleFrameBuffer(uint32_t(width), uint32_t(height), false);
  AVFrameBuffer *samples = multisample ? _multisampleFrameBuffer : nullptr;
  setRenderTarget(renderer, samples ? samples : _outputFrameBuffer);
  const vec4 background = _backgroundColor;
  if (!filled)
    clearTarget(renderer, background.x, background.y, background.z, background.w);
  if (exporting) {
    for (const Drawn &d : drawn)
      _drawLayer(renderer, d.layer, d.texture, &d.info);
  } else {
    AVLayerRenderInfo info;
    for (AVLayerSegment *layer : layers) {
      AVTexture *texture = updateLayer(layer);
      if (!texture)
        continue;
      memset(&info, 0, sizeof(info));
      fillDrawParams(&info, layer);
      info.opaquePicture = _opaquePicture(layer, texture);
      _drawLayer(renderer, layer, texture, &info);
    }
  }

  // The resolve writes every pixel of the output: no clear before it.
  if (samples) {
    setRenderTarget(renderer, _outputFrameBuffer);
    blitToTarget(renderer, samples, false);
  }
  if (alternate)
    flushRenderer(renderer, false);
  else if (_flushAfterCompose)
    flushRenderer(renderer, exporting);
  doneRendererCurrent(renderer);
}

// Planar video pictures have no alpha; other pictures are looked at when uploaded.
bool AVComposition::_opaquePicture(AVLayerSegment *layer, AVTexture *texture)
{
  const uint32_t kind = textureKind(texture);
  if (kind == kAVTextureRGBA)
    return layer->isTextureOpaque();
  return (kind == kAVTextureYUV420 && layer->secondPlane() && layer->thirdPlane()) ||
         ((kind == kAVTextureNV12 || kind == 4) && layer->secondPlane());
}

// Video pictures come as planes by their texture's kind; every other layer is one RGBA texture.
void AVComposition::_drawLayer(AVGLRenderer *renderer, AVLayerSegment *layer, AVTexture *texture,
                               const AVLayerRenderInfo *info)
{
  if (!layer->isVideo()) {
    drawLayerTexture(renderer, texture, 0, 0, info, false);
    return;
  }
  AVTexture *second = layer->secondPlane(), *third = layer->thirdPlane();
  const uint32_t width = layer->pictureWidth(), height = layer->pictureHeight();
  const uint32_t kind = textureKind(texture);
  if ((kind == kAVTextureYUV420 && second && third) || ((kind == kAVTextureNV12 || kind == 4) && second))
    drawLayerPlanes(renderer, texture, second, third, width, height, info, false);
  else if (kind == kAVTextureYUV422)
    drawLayerTextureInTarget(renderer, texture, width, height, info, false);
  else
    drawLayerTexture(renderer, texture, width, height, info, false);
}

void AVComposition::fillDrawParams(AVLayerRenderInfo *record, AVLayerSegment *layer)
{
  const float W = float(_frameWidth);
  const float radians = float(M_PI / 180.0);
  record->rotation = layer->pictureRotation();
  const vec2 anchor = layer->effectiveAnchor(), position = layer->effectivePosition(), scale = layer->effectiveScale();
  record->anchor[0] = anchor.x;
  record->anchor[1] = anchor.y;
  record->position[0] = position.x;
  record->position[1] = position.y;
  record->scale[0] = scale.x;
  record->scale[1] = scale.y;
  record->rotationZ = layer->effectiveRotation() * radians;
  record->cornerRadius = layer->cornerRadius() * W;
  record->borderWidth = layer->borderWidth() * W;
  if (record->borderWidth > 0) {
    const vec4 colour = layer->borderColor();
    record->borderColor[0] = colour.x;
    record->borderColor[1] = colour.y;
    record->borderColor[2] = colour.z;
    record->borderColor[3] = colour.w;
    record->borderStroke = layer->borderStroke() ? 1 : 0;
    record->strokeTolerance = float(layer->borderStrokeTolerance()) / 100;
    record->strokeStrength = float(layer->borderStrokeStrength()) / 100;
  }
  record->shadowOpacity = layer->shadowOpacity();
  const vec4 shadowColour = layer->shadowColor();
  record->shadowColor[0] = shadowColour.x;
  record->shadowColor[1] = shadowColour.y;
  record->shadowColor[2] = shadowColour.z;
  record->shadowColor[3] = shadowColour.w;
  const vec2 offset = layer->shadowOffset();
  record->shadowOffset[0] = offset.x * W;
  record->shadowOffset[1] = offset.y * W;
  record->shadowRadius = std::floor(layer->shadowRadius() * W + 0.5f);
  record->opacity = 1 - layer->effectiveTransparency();
  const vec2 topLeft = layer->effectiveCropTopLeft(), bottomRight = layer->effectiveCropBottomRight();
  record->cropTopLeft[0] = topLeft.x;
  record->cropTopLeft[1] = topLeft.y;
  record->cropBottomRight[0] = bottomRight.x;
  record->cropBottomRight[1] = bottomRight.y;
  record->rotationX = layer->effectiveRotationX() * radians;
  record->rotationY = layer->effectiveRotationY() * radians;
  if (layer->keyEnabled() && layer->keySensitivity() > 0) {
    record->keySensitivity = float(layer->keySensitivity()) / 100;
    record->keySmoothing = float(layer->keySmoothing()) / 100;
    const vec4 key = layer->keyColor();
    record->keyColor[0] = key.x;
    record->keyColor[1] = key.y;
    record->keyColor[2] = key.z;
    record->keyColor[3] = key.w;
  }
  // Values 0-5 become effects 0-5; red, green and blue (6-8) share effect 6.
  for (int effect = 0; effect < 6; ++effect) {
    const int v = layer->effectiveColorEffect(effect);
    if (v != 0) {
      record->effectFlags.on[effect] = 1;
      record->effectParameters[effect][0] = _effectParameter(effect, v);
    }
  }
  const int red = layer->effectiveColorEffect(6), green = layer->effectiveColorEffect(7),
            blue = layer->effectiveColorEffect(8);
  if (red || green || blue) {
    record->effectFlags.on[6] = 1;
    record->effectParameters[6][0] = _effectParameter(6, red);
    record->effectParameters[6][1] = _effectParameter(6, green);
    record->effectParameters[6][2] = _effectParameter(6, blue);
  }
}

void AVComposition::mixSound(double time, bool soundPass, bool playing, bool exporting)
{
  AVMutexLocker sounds(_soundLock);
  AVMutexLocker mix(_mixLock);
  // Nothing is mixed before the rendering thread has started.
  if (!_renderer)
    return;
  const int frameBytes = _channels * 2;
  const bool wasEmpty = _mixedLength <= 0;
  int limit = _bufferSize;
  int asked = 0, finished = 0;
  const double lead = exporting ? 1.0 : 2.0;
  for (AVSegment *segment : _sounds) {
    const double start = segment->startTime(), end = start + segment->duration();
    if (time >= start - lead && end + kSleepAfterEnd >= time && segment->isEnabled())
      segment->wake();
    else
      segment->sleep(exporting);
    // The end-offset table has room for so many; further sounds are not asked.
    if (segment->loadError() != 0 || !segment->isEnabled() || asked >= kMaxMixedSounds)
      continue;
    auto *sound = static_cast<AVSoundSegment *>(segment);
    sound->update(time, soundPass, playing);
    double position = 0.0;
    bool done = false;
    int n = sound->readAudio(_scratch, kScratchBytes, &position, double(_windowStart), double(_windowEnd), &done);
    if (n > 0) {
      n = std::min(n, kScratchBytes);
      int offset = int((position - _windowStart) * frameBytes);
      offset -= offset % frameBytes;
      // Samples outside the window are dropped: nothing is written outside the buffer.
      int from = 0;
      if (offset < 0) {
        from = -offset;
        offset = 0;
      }
      const int count = std::max(0, std::min(n - from, _bufferSize - offset)) / 2;
      // Volume has no upper bound: wide enough that no gain overflows before the clamp.
      const int64_t gain = int64_t(std::min(sound->effectiveVolume(), 1.0e6f) * 128);
      const auto *source = reinterpret_cast<const int16_t *>(_scratch + from);
      int16_t *target = _mixBuffer + offset / 2;
      for (int i = 0; i < count; ++i) {
        const int64_t sum = target[i] + source[i] * gain / 128;
        target[i] = int16_t(std::clamp<int64_t>(sum, -32768, 32767));
      }
      const int endOffset = offset + count * 2;
      _endOffsets[asked] = endOffset;
      limit = std::min(limit, endOffset);
    } else if (done) {
      ++finished;
      limit = std::min(limit, int(_endOffsets[asked]));
    }
    ++asked;
  }
  _mixedLength = std::max(0, limit);
  if (asked == finished)
    _windowComplete = true;
  if (wasEmpty && _mixedLength > 0 && _mixReady)
    _mixReady(_mixReadyData);
}

int AVComposition::readMixed(uint8_t *destination, int capacity, double *startFrame)
{
  AVMutexLocker mix(_mixLock);
  const int frameBytes = _channels * 2;
  int length = _mixedLength;
  if (length > capacity)
    length = std::max(0, capacity) / frameBytes * frameBytes;
  if (length <= 0)
    return 0;
  auto *bytes = reinterpret_cast<uint8_t *>(_mixBuffer);
  memcpy(destination, bytes, size_t(length));
  memmove(bytes, bytes + length, size_t(_bufferSize - length));
  memset(bytes + _bufferSize - length, 0, size_t(length));
  if (startFrame)
    *startFrame = double(_windowStart);
  _windowStart += length / frameBytes;
  _mixedLength = 0;
  _windowComplete = false;
  _resetWindowTable();
  return length;
}

bool AVComposition::mixWindowComplete()
{
  AVMutexLocker mix(_mixLock);
  return _windowComplete;
}

void AVComposition::setMixReadyListener(MixReadyFunction function, void *userData)
{
  AVMutexLocker mix(_mixLock);
  _mixReady = function;
  _mixReadyData = userData;
}

void AVComposition::removeMixReadyListener(void *userData)
{
  AVMutexLocker mix(_mixLock);
  if (_mixReadyData != userData)
    return;
  _mixReady = nullptr;
  _mixReadyData = nullptr;
}

int AVComposition::mixWindowStart()
{
  AVMutexLocker mix(_mixLock);
  return _windowStart;
}

int AVComposition::mixWindowEnd()
{
  AVMutexLocker mix(_mixLock);
  return _windowEnd;
}

int AVComposition::mixedLength()
{
  AVMutexLocker mix(_mixLock);
  return _mixedLength;
}
