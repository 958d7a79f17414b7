#pragma once
// The layer's drop shadow: its footprint drawn offset into an offscreen texture, blurred by a
// separable Gaussian blur whose shaders are generated per integer radius, and composited over
// the target where the layer does not cover it.

#include "avglrenderer.h"

#include <cstdint>

struct AVLayerRenderInfo;

struct AVShadowBlurPrograms
{
  int32_t radius;
  int32_t reduction; // the frame size division the blur runs at
  int32_t blurSlots[kAVUniformSlots];
  int32_t compositeSlots[kAVUniformSlots];
  uint32_t blurProgram; // 0 when the radius is below 1
  uint32_t compositeProgram;
};

// What the layer draw hands the shadow: its polygons (x, y pairs with texture coordinates),
// model matrix and picture.
struct AVShadowInput
{
  int width;
  int height;
  const float *model;
  const float *outer;
  const float *outerCoordinates;
  int outerCount;
  const float *inner; // with a border
  const float *innerCoordinates;
  int innerCount;
  const float *strip; // the border strip
  const float *stripCoordinates;
  int stripCount;
  float border;
  float stroke;
  uint32_t kind;
  uint32_t textureTarget;
  uint32_t texture;
  float pictureWidth;
  float pictureHeight;
  uint32_t targetDepth;
  float shift[2]; // the shadow offset in the layer's own space
  bool opaque;    // the picture covers every pixel inside the polygons
};

void drawLayerShadow(AVGLRenderer *renderer, const AVShadowInput &input, const AVLayerRenderInfo *info);

// The blur and composite programs of an integer radius, built on first request and cached;
// with a reduction, the blur of that radius scaled down to run at the frame's size divided by
// it. Either pair of outputs may be null. False when a program could not be built.
bool shadowBlurPrograms(AVGLRenderer *renderer, int radius, uint32_t *blurProgram, const int32_t **blurSlots,
                        uint32_t *compositeProgram, const int32_t **compositeSlots, int reduction = 1);
// Taps (even) and sigma of a radius of 1 or more. Radii whose tap formula has no number
// (103 and more) blur with the sigma that gives the most taps, so they stay soft. A reduction
// scales both down, so that the same blur runs on a smaller picture.
int shadowBlurTaps(int radius, double *sigma, int reduction = 1);
// GLSL ES 1.00 texts of the blur; NUL-terminated and never past capacity. Return the text
// length, or -1 when it does not fit.
int buildShadowBlurVertexShader(int taps, double sigma, char *buffer, int capacity);
int buildShadowBlurFragmentShader(int taps, double sigma, bool composite, char *buffer, int capacity);
