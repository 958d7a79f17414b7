#pragma once
// The visual kind of engine segment: its picture (in memory and on the GPU), its render size,
// user and effective values of every animatable property, and its static styling.

#include "avpixelbuffer.h"
#include "avsegment.h"

#include <atomic>

struct AVTexture;

class AVLayerSegment : public AVSegment
{
public:
  AVLayerSegment(double duration, uint32_t renderWidth, uint32_t renderHeight);
  AVLayerSegment(double start, double duration, uint32_t renderWidth, uint32_t renderHeight);
  ~AVLayerSegment() override;

  bool isReady() override;
  void update(double time, bool pass, bool playing) override;
  bool isLayer() const override;
  void seek(double time, bool exact) override;

  // Called for a layer shown at time before the frame is composed, outside the renderer's
  // lock: a layer that must wait for another thread to get its picture waits here, where
  // the preview's painting is not held up by it.
  virtual void prefetch(double time) { (void)time; }

  virtual AVPixelBuffer *pixelBuffer();
  virtual void setPixelBuffer(AVPixelBuffer *buffer);
  // B, G, R, A bytes (QImage's premultiplied ARGB32); null deletes the texture.
  virtual void setFrame(const uint8_t *pixels, uint32_t width, uint32_t height);
  virtual void uploadTexture();
  virtual int pictureRotation();
  virtual void setScale(float x, float y);
  virtual void setBorderWidth(float width);
  virtual void setBorderColor(vec4 colour);
  virtual void setCornerRadius(float radius);
  virtual void setShadowOpacity(float opacity);
  virtual void setShadowOffset(float x, float y);
  // Video layers: the extra planes of a YUV picture and the picture's part of the texture.
  virtual AVTexture *secondPlane() const { return nullptr; }
  virtual AVTexture *thirdPlane() const { return nullptr; }
  virtual uint32_t pictureWidth() const { return 0; }
  virtual uint32_t pictureHeight() const { return 0; }
  // On the rendering thread: the part of the texture, in crop fractions, outside which every
  // texel is transparent. False when not known (the whole texture may show).
  virtual bool paintedArea(float *topLeft, float *bottomRight) const
  {
    (void)topLeft;
    (void)bottomRight;
    return false;
  }

  // User values (locked).
  void setTransparency(float transparency);
  void setPosition(float x, float y);
  void setRotation(float degrees);
  void setRotationX(float degrees);
  void setRotationY(float degrees);
  void setAnchor(float x, float y);
  void setCropTopLeft(float x, float y);
  void setCropBottomRight(float x, float y);
  void setColorEffect(int index, int32_t value);

  // Styling (plain stores, read once per frame).
  void setShadowRadius(float radius) { _shadowRadius = radius; }
  void setShadowColor(vec4 colour) { _store(_shadowColor, colour); }
  void setBorderStroke(bool on) { _borderStroke = on; }
  void setBorderStrokeTolerance(int32_t value) { _borderStrokeTolerance = value; }
  void setBorderStrokeStrength(int32_t value) { _borderStrokeStrength = value; }
  void setKeyEnabled(bool on) { _keyEnabled = on; }
  void setKeySensitivity(int32_t value) { _keySensitivity = value; }
  void setKeySmoothing(int32_t value) { _keySmoothing = value; }
  void setKeyColor(vec4 colour) { _store(_keyColor, colour); }
  void setRenderSize(uint32_t width, uint32_t height);

  // Effective-value writers of the transitions (the update holds the lock).
  void setEffectiveAnchor(float x, float y) { _effectiveAnchor = {x, y}; }
  void setEffectivePosition(float x, float y) { _effectivePosition = {x, y}; }
  void setEffectiveScale(float x, float y) { _effectiveScale = {x, y}; }
  void setEffectiveRotation(float degrees) { _effectiveRotation = degrees; }
  void setEffectiveRotationX(float degrees) { _effectiveRotationX = degrees; }
  void setEffectiveRotationY(float degrees) { _effectiveRotationY = degrees; }
  void setEffectiveTransparency(float transparency);
  void setEffectiveCropTopLeft(float x, float y) { _effectiveCropTopLeft = {x, y}; }
  void setEffectiveCropBottomRight(float x, float y) { _effectiveCropBottomRight = {x, y}; }
  void setEffectiveColorEffect(int index, int32_t value);

  // Getters of the draw record.
  AVTexture *texture() const { return _texture; }
  // The texture came from a picture without a transparent pixel (looked at when uploaded).
  bool isTextureOpaque() const { return _textureOpaque; }
  uint32_t textureWidth() const { return _textureWidth; }
  uint32_t textureHeight() const { return _textureHeight; }
  uint32_t renderWidth() const { return _renderWidth; }
  uint32_t renderHeight() const { return _renderHeight; }
  vec2 anchor() const { return _anchor; }
  vec2 position() const { return _position; }
  vec2 scale() const { return _scale; }
  vec2 effectiveAnchor() const { return _effectiveAnchor; }
  vec2 effectivePosition() const { return _effectivePosition; }
  vec2 effectiveScale() const { return _effectiveScale; }
  float effectiveRotation() const { return _effectiveRotation; }
  float effectiveRotationX() const { return _effectiveRotationX; }
  float effectiveRotationY() const { return _effectiveRotationY; }
  float effectiveTransparency() const { return _effectiveTransparency; }
  vec2 effectiveCropTopLeft() const { return _effectiveCropTopLeft; }
  vec2 effectiveCropBottomRight() const { return _effectiveCropBottomRight; }
  int32_t effectiveColorEffect(int index) const;
  float transparency() const { return _transparency; }
  vec4 borderColor() const { return _load(_borderColor); }
  float borderWidth() const { return _borderWidth; }
  bool borderStroke() const { return _borderStroke; }
  int32_t borderStrokeTolerance() const { return _borderStrokeTolerance; }
  int32_t borderStrokeStrength() const { return _borderStrokeStrength; }
  float cornerRadius() const { return _cornerRadius; }
  float shadowOpacity() const { return _shadowOpacity; }
  vec2 shadowOffset() const { return _load(_shadowOffset); }
  float shadowRadius() const { return _shadowRadius; }
  vec4 shadowColor() const { return _load(_shadowColor); }
  bool keyEnabled() const { return _keyEnabled; }
  int32_t keySensitivity() const { return _keySensitivity; }
  int32_t keySmoothing() const { return _keySmoothing; }
  vec4 keyColor() const { return _load(_keyColor); }

  static constexpr int kColorEffects = 20;

protected:
  // The layer lock: held by the locked setters, the update and between findGroup and applyGroup.
  AVMutex *layerMutex() const { return _mutex; }
  // Effective values from the user values, before the transitions run; under the layer lock.
  void resetEffectiveValues();
  void setTextureSize(uint32_t width, uint32_t height);
  // Puts a texture of another kind (a video's luma plane) in the layer's place; the layer owns it.
  void replaceTexture(AVTexture *texture);
  void setTextureOpaque(bool opaque) { _textureOpaque = opaque; }

private:
  // Styling vectors are written on the GUI thread and read by the draw: whole values, never torn.
  template <typename T> static void _store(std::atomic<T> &field, T value) { field.store(value); }
  template <typename T> static T _load(const std::atomic<T> &field) { return field.load(); }
  void _deleteTexture();
  void _ensureTexture();

  AVPixelBuffer *_pixelBuffer = nullptr;
  AVTexture *_texture = nullptr;
  bool _textureOpaque = false;
  uint32_t _textureWidth = 0;
  uint32_t _textureHeight = 0;
  std::atomic<uint32_t> _renderWidth;
  std::atomic<uint32_t> _renderHeight;
  vec2 _anchor{0.5f, 0.5f};
  vec2 _effectiveAnchor{0.5f, 0.5f};
  vec2 _position{0, 0};
  vec2 _effectivePosition{0, 0};
  vec2 _scale{1, 1};
  vec2 _effectiveScale{1, 1};
  float _rotation = 0;
  float _effectiveRotation = 0;
  float _rotationX = 0;
  float _rotationY = 0;
  float _effectiveRotationX = 0;
  float _effectiveRotationY = 0;
  float _transparency = 0;
  float _effectiveTransparency = 0;
  vec2 _cropTopLeft{0, 0};
  vec2 _cropBottomRight{1, 1};
  vec2 _effectiveCropTopLeft{0, 0};
  vec2 _effectiveCropBottomRight{1, 1};
  std::atomic<vec4> _borderColor{vec4{0, 0, 0, 1}};
  std::atomic<float> _borderWidth{0};
  std::atomic<bool> _borderStroke{false};
  std::atomic<int32_t> _borderStrokeTolerance{0};
  std::atomic<int32_t> _borderStrokeStrength{0};
  std::atomic<float> _cornerRadius{0};
  std::atomic<float> _shadowOpacity{0};
  std::atomic<vec2> _shadowOffset{vec2{0, 0}};
  std::atomic<float> _shadowRadius{0};
  std::atomic<vec4> _shadowColor{vec4{0, 0, 0, 1}};
  int32_t _colorEffects[kColorEffects] = {};
  int32_t _effectiveColorEffects[kColorEffects] = {};
  std::atomic<bool> _keyEnabled{false};
  std::atomic<int32_t> _keySensitivity{0};
  std::atomic<int32_t> _keySmoothing{0};
  std::atomic<vec4> _keyColor{vec4{0, 0, 0, 1}};
  AVMutex *_mutex;
};
