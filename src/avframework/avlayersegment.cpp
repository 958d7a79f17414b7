#include "avlayersegment.h"

#include "avcommon.h"
#include "avglresources.h"
#include "avpixelbuffer.h"

#include <algorithm>

namespace {
// Only 32-bit pictures carry alpha (BGRA bytes, alpha last).
bool _isOpaque(const AVPixelBuffer *buffer)
{
  if (pixelBufferBitsPerPixel(buffer) != 32)
    return true;
  const size_t pixels = size_t(buffer->width) * buffer->height;
  const uint8_t *alpha = buffer->data + 3;
  for (size_t i = 0; i < pixels; ++i, alpha += 4)
    if (*alpha != 255)
      return false;
  return true;
}

float _clampUnit(float value)
{
  return std::min(1.0f, std::max(0.0f, value));
}
} // namespace

AVLayerSegment::AVLayerSegment(double duration, uint32_t renderWidth, uint32_t renderHeight)
  : AVLayerSegment(0.0, duration, renderWidth, renderHeight)
{
}

AVLayerSegment::AVLayerSegment(double start, double duration, uint32_t renderWidth, uint32_t renderHeight)
  : AVSegment(start, duration), _renderWidth(renderWidth), _renderHeight(renderHeight), _mutex(avMutexCreate())
{
  setGroupLock(_mutex);
}

AVLayerSegment::~AVLayerSegment()
{
  freePixelBuffer(_pixelBuffer);
  destroyTexture(_texture);
  avMutexDestroy(_mutex);
}

bool AVLayerSegment::isReady()
{
  return true;
}

void AVLayerSegment::update(double time, bool, bool)
{
  if (!_texture || time < startTime() || time >= startTime() + duration() || _textureWidth == 0 || _textureHeight == 0)
    return;
  AVMutexLocker locker(_mutex);
  resetEffectiveValues();
  evaluateTransitions(time - startTime());
}

void AVLayerSegment::resetEffectiveValues()
{
  _effectiveAnchor = _anchor;
  _effectivePosition = _position;
  _effectiveScale = _scale;
  _effectiveRotation = _rotation;
  _effectiveRotationX = _rotationX;
  _effectiveRotationY = _rotationY;
  _effectiveTransparency = _clampUnit(_transparency);
  _effectiveCropTopLeft = _cropTopLeft;
  _effectiveCropBottomRight = _cropBottomRight;
  std::copy(std::begin(_colorEffects), std::end(_colorEffects), std::begin(_effectiveColorEffects));
}

bool AVLayerSegment::isLayer() const
{
  return true;
}

void AVLayerSegment::seek(double, bool)
{
}

AVPixelBuffer *AVLayerSegment::pixelBuffer()
{
  return _pixelBuffer;
}

void AVLayerSegment::setPixelBuffer(AVPixelBuffer *buffer)
{
  if (_pixelBuffer != buffer)
    freePixelBuffer(_pixelBuffer);
  _pixelBuffer = buffer;
  if (buffer)
    setTextureSize(buffer->width, buffer->height);
}

void AVLayerSegment::setTextureSize(uint32_t width, uint32_t height)
{
  _textureWidth = width;
  _textureHeight = height;
}

void AVLayerSegment::_deleteTexture()
{
  _textureWidth = 0;
  _textureHeight = 0;
  destroyTexture(_texture);
  _texture = nullptr;
  _textureOpaque = false;
}

void AVLayerSegment::replaceTexture(AVTexture *texture)
{
  if (_texture != texture)
    destroyTexture(_texture);
  _texture = texture;
}

// A picture of another size or kind needs new storage: uploads never reallocate.
void AVLayerSegment::_ensureTexture()
{
  if (_texture &&
      (_texture->width != _textureWidth || _texture->height != _textureHeight || _texture->kind != kAVTextureRGBA)) {
    destroyTexture(_texture);
    _texture = nullptr;
  }
  if (!_texture)
    _texture = createRGBATexture(_textureWidth, _textureHeight);
}

void AVLayerSegment::setFrame(const uint8_t *pixels, uint32_t width, uint32_t height)
{
  if (!pixels) {
    _deleteTexture();
    return;
  }
  setTextureSize(width, height);
  _ensureTexture();
  uploadPixelTexture(_texture, pixels, width, height, 32);
  _textureOpaque = false;
}

void AVLayerSegment::uploadTexture()
{
  if (!_pixelBuffer) {
    _deleteTexture();
    return;
  }
  _ensureTexture();
  uploadPixelTexture(_texture, _pixelBuffer->data, _pixelBuffer->width, _pixelBuffer->height,
                     pixelBufferBitsPerPixel(_pixelBuffer));
  _textureOpaque = _isOpaque(_pixelBuffer);
}

int AVLayerSegment::pictureRotation()
{
  return 0;
}

void AVLayerSegment::setScale(float x, float y)
{
  AVMutexLocker locker(_mutex);
  _scale = {x, y};
}

void AVLayerSegment::setBorderWidth(float width)
{
  _borderWidth = width;
}

void AVLayerSegment::setBorderColor(vec4 colour)
{
  _store(_borderColor, colour);
}

void AVLayerSegment::setCornerRadius(float radius)
{
  _cornerRadius = radius;
}

void AVLayerSegment::setShadowOpacity(float opacity)
{
  _shadowOpacity = opacity;
}

void AVLayerSegment::setShadowOffset(float x, float y)
{
  _store(_shadowOffset, vec2{x, y});
}

void AVLayerSegment::setTransparency(float transparency)
{
  AVMutexLocker locker(_mutex);
  _transparency = _clampUnit(transparency);
}

void AVLayerSegment::setPosition(float x, float y)
{
  AVMutexLocker locker(_mutex);
  _position = {x, y};
}

void AVLayerSegment::setRotation(float degrees)
{
  AVMutexLocker locker(_mutex);
  _rotation = degrees;
}

void AVLayerSegment::setRotationX(float degrees)
{
  AVMutexLocker locker(_mutex);
  _rotationX = degrees;
}

void AVLayerSegment::setRotationY(float degrees)
{
  AVMutexLocker locker(_mutex);
  _rotationY = degrees;
}

void AVLayerSegment::setAnchor(float x, float y)
{
  AVMutexLocker locker(_mutex);
  _anchor = {x, y};
}

void AVLayerSegment::setCropTopLeft(float x, float y)
{
  AVMutexLocker locker(_mutex);
  _cropTopLeft = {x, y};
}

void AVLayerSegment::setCropBottomRight(float x, float y)
{
  AVMutexLocker locker(_mutex);
  _cropBottomRight = {x, y};
}

void AVLayerSegment::setColorEffect(int index, int32_t value)
{
  if (index < 0 || index >= kColorEffects)
    return;
  AVMutexLocker locker(_mutex);
  _colorEffects[index] = value;
}

void AVLayerSegment::setRenderSize(uint32_t width, uint32_t height)
{
  _renderWidth = width;
  _renderHeight = height;
}

void AVLayerSegment::setEffectiveTransparency(float transparency)
{
  _effectiveTransparency = _clampUnit(transparency);
}

void AVLayerSegment::setEffectiveColorEffect(int index, int32_t value)
{
  if (index >= 0 && index < kColorEffects)
    _effectiveColorEffects[index] = value;
}

int32_t AVLayerSegment::effectiveColorEffect(int index) const
{
  return index >= 0 && index < kColorEffects ? _effectiveColorEffects[index] : 0;
}
