#pragma once
// Drawing one layer into the renderer's target, and the fill paths that put finished frames
// and the checkerboard on screen. The renderer space is centred and y-up.

#include "avglrenderer.h"

#include <cstdint>

struct AVTexture;

struct AVLayerRenderInfo
{
  int32_t rotation; // source picture rotation in degrees: 0, 90, 180, 270
  float anchor[2];
  float position[2]; // fractions of the target size
  float scale[2];
  float rotationZ; // radians
  float cornerRadius; // pixels
  float borderWidth;  // pixels
  float borderColor[4];
  uint8_t borderStroke;
  float strokeTolerance;
  float strokeStrength;
  float shadowOpacity;
  float shadowColor[4];
  float shadowOffset[2]; // pixels
  float shadowRadius;    // pixels, whole
  float opacity;
  float cropTopLeft[2];
  float cropBottomRight[2];
  float rotationX; // radians
  float rotationY;
  uint8_t cullBackFaces;
  float keySensitivity; // 0 = key off
  float keySmoothing;
  float keyColor[4];
  AVEffectFlags effectFlags;
  float effectParameters[kAVEffectCount][8];
  // The first thing drawn into the target, which it fills opaquely (see layerFillsTarget): its
  // pixels are written without blending.
  uint8_t fillsTarget;
  // The picture has no transparent pixel (the shadow then skips what the layer hides).
  uint8_t opaquePicture;
};

// False when the layer's edges fall on whole pixels of a width x height target (upright, no
// rounded corners or border, centre-anchored or unscaled, uncropped, whole-pixel placement), so
// that drawing it without multisampling gives the same pixels.
bool layerNeedsMultisample(const AVLayerRenderInfo &info, int width, int height, uint32_t pictureWidth,
                           uint32_t pictureHeight);

// True when the layer, with an opaque picture, covers every pixel of a width x height target
// with nothing of the target showing through: upright, unscaled or centre-anchored, fully
// opaque, with no crop, rounded corners, border, shadow, effect or key.
bool layerFillsTarget(const AVLayerRenderInfo &info, int width, int height, uint32_t pictureWidth,
                      uint32_t pictureHeight);

// Narrows the layer's crop to the part of its texture that is painted (crop fractions), where
// that leaves every drawn pixel as it was: no shadow, border, rounded corners, effect or key.
void cropToPaintedArea(AVLayerRenderInfo *info, const float *topLeft, const float *bottomRight);

void drawLayer(AVGLRenderer *renderer, int width, int height, uint32_t textureTarget, uint32_t texture,
               uint32_t texture2, uint32_t texture3, uint32_t kind, uint32_t textureWidth, uint32_t textureHeight,
               uint32_t pictureWidth, uint32_t pictureHeight, uint32_t targetDepth, const AVLayerRenderInfo *info);
void drawLayerTexture(AVGLRenderer *renderer, const AVTexture *texture, uint32_t pictureWidth, uint32_t pictureHeight,
                      const void *info, bool flush);
void drawLayerTextureInTarget(AVGLRenderer *renderer, const AVTexture *texture, uint32_t pictureWidth,
                              uint32_t pictureHeight, const AVLayerRenderInfo *info, bool flush);
void drawLayerPlanes(AVGLRenderer *renderer, const AVTexture *luma, const AVTexture *plane2, const AVTexture *plane3,
                     uint32_t pictureWidth, uint32_t pictureHeight, const AVLayerRenderInfo *info, bool flush);
void drawTextureRGBToYUV(AVGLRenderer *renderer, const AVTexture *texture, bool flush);
void drawBackgroundTexture(AVGLRenderer *renderer, const AVTexture *texture, int width, int height, bool flush);
// viewport: the presenter's record; its second and third floats are the viewport width and height.
void drawTextureFXAA(AVGLRenderer *renderer, const AVTexture *texture, const float *viewport, bool flush);

void drawFill(AVGLRenderer *renderer, int width, int height, const AVTexture *texture);
void drawRGBToYUV(AVGLRenderer *renderer, int width, int height, const AVTexture *texture);
void drawFXAA(AVGLRenderer *renderer, int width, int height, const AVTexture *texture, float textureWidth,
              float textureHeight);
void drawTiled(AVGLRenderer *renderer, int width, int height, const AVTexture *texture, float textureWidth,
               float textureHeight, bool tenfold);

// Where the chroma-key pre-pass left the keyed picture.
struct AVPrePassResult
{
  uint32_t target;
  uint32_t texture;
  int32_t width;
  int32_t height;
};

// Keys the picture into the renderer's two-pass texture at width x height. 0, or -1 when the
// framebuffer is incomplete (the result is filled either way).
int drawGreenScreenPrePass(AVGLRenderer *renderer, int width, int height, uint32_t textureTarget, uint32_t texture,
                           uint32_t plane2, uint32_t plane3, uint32_t textureWidth, uint32_t textureHeight,
                           uint32_t kind, const AVLayerRenderInfo *info, AVPrePassResult *result);

void setProjection(const int32_t *slotTable, int width, int height);
void setRenderTransform(const int32_t *slotTable, const float *m);
// Uploads positions and texture coordinates (x, y pairs) into the vertex array of a drawing use.
void uploadDrawVertices(AVGLRenderer *renderer, AVVertexUse use, const float *positions, const float *coordinates,
                        int count);
// Binds an offscreen framebuffer of the renderer, (re)allocating its RGBA texture on the texture
// unit when the size changed. Returns the framebuffer status.
uint32_t bindOffscreenTarget(AVGLRenderer *renderer, AVOffscreenUse use, uint32_t unit, int width, int height);
// Writes x, y pairs into out (room for n); returns the vertex count.
int makeRoundedRectVertices(float *out, int n, float x0, float y0, float w, float h, float r);
