#pragma once
// The image record passed between engine parts, the small float vectors and the fit helpers.

#include <cstdint>

struct AVMutex;

struct vec2
{
  float x, y;
};

// Rectangles (x, y, width, height) and colours (r, g, b, a in 0..1).
struct vec4
{
  float x, y, z, w;
};

struct AVPixelBuffer
{
  uint32_t width;
  uint32_t height;
  uint32_t format; // 1 RGBA (4 bytes), 2 three bytes, 3 two bytes per pixel
  uint8_t *data;   // rows packed, top row first
  AVMutex *lock;
};

AVPixelBuffer *createPixelBuffer(uint32_t width, uint32_t height, uint32_t format);
// Takes over data, which must come from malloc.
AVPixelBuffer *wrapPixelBuffer(uint8_t *data, uint32_t width, uint32_t height, uint32_t format);
void freePixelBuffer(AVPixelBuffer *buffer);
void pixelBufferSetData(AVPixelBuffer *buffer, const uint8_t *source);
uint32_t pixelBufferWidth(const AVPixelBuffer *buffer);
uint32_t pixelBufferHeight(const AVPixelBuffer *buffer);
uint32_t pixelBufferBitsPerPixel(const AVPixelBuffer *buffer);
uint32_t pixelBufferBytesPerPixel(uint32_t format);

vec2 makeVec2(float x, float y);
vec4 makeVec4(float x, float y, float z, float w);
vec4 makeVec4Opaque(float r, float g, float b);

vec4 aspectFitRect(float sourceWidth, float sourceHeight, vec4 rect);
vec4 aspectFillRect(float sourceWidth, float sourceHeight, vec4 rect);
