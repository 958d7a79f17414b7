#include "avpixelbuffer.h"

#include "avcommon.h"

#include <cstdlib>
#include <cstring>

uint32_t pixelBufferBytesPerPixel(uint32_t format)
{
  switch (format) {
  case 1:
    return 4;
  case 2:
    return 3;
  case 3:
    return 2;
  default:
    return 0;
  }
}

namespace {
size_t _byteSize(const AVPixelBuffer *buffer)
{
  return size_t(buffer->width) * pixelBufferBytesPerPixel(buffer->format) * buffer->height;
}


AVPixelBuffer *_allocateRecord(uint32_t width, uint32_t height, uint32_t format)
{
  auto *buffer = static_cast<AVPixelBuffer *>(calloc(1, sizeof(AVPixelBuffer)));
  if (buffer) {
    buffer->width = width;
    buffer->height = height;
    buffer->format = format;
  }
  return buffer;
}
} // namespace

AVPixelBuffer *createPixelBuffer(uint32_t width, uint32_t height, uint32_t format)
{
  AVPixelBuffer *buffer = _allocateRecord(width, height, format);
  if (!buffer)
    return nullptr;
  // calloc(0) may answer null; ask for at least one byte so an empty block is still a block.
  const size_t bytes = _byteSize(buffer);
  buffer->data = static_cast<uint8_t *>(calloc(bytes ? bytes : 1, 1));
  if (!buffer->data) {
    free(buffer);
    return nullptr;
  }
  buffer->lock = avMutexCreate();
  return buffer;
}

AVPixelBuffer *wrapPixelBuffer(uint8_t *data, uint32_t width, uint32_t height, uint32_t format)
{
  if (!data)
    return nullptr;
  AVPixelBuffer *buffer = _allocateRecord(width, height, format);
  if (!buffer)
    return nullptr;
  buffer->data = data;
  buffer->lock = avMutexCreate();
  return buffer;
}

void freePixelBuffer(AVPixelBuffer *buffer)
{
  if (!buffer)
    return;
  avMutexDestroy(buffer->lock);
  free(buffer->data);
  free(buffer);
}

void pixelBufferSetData(AVPixelBuffer *buffer, const uint8_t *source)
{
  AVMutexLocker locker(buffer->lock);
  const size_t bytes = _byteSize(buffer);
  if (bytes && source)
    memcpy(buffer->data, source, bytes);
}

uint32_t pixelBufferWidth(const AVPixelBuffer *buffer)
{
  return buffer->width;
}

uint32_t pixelBufferHeight(const AVPixelBuffer *buffer)
{
  return buffer->height;
}

uint32_t pixelBufferBitsPerPixel(const AVPixelBuffer *buffer)
{
  return pixelBufferBytesPerPixel(buffer->format) * 8;
}

vec2 makeVec2(float x, float y)
{
  return vec2{x, y};
}

vec4 makeVec4(float x, float y, float z, float w)
{
  return vec4{x, y, z, w};
}

vec4 makeVec4Opaque(float r, float g, float b)
{
  return vec4{r, g, b, 1.0f};
}

namespace {
// Fit (inside) or fill (covering): which side follows the rectangle flips between the two.
vec4 _aspectRect(float sourceWidth, float sourceHeight, vec4 rect, bool fill)
{
  float width, height;
  if ((sourceWidth / sourceHeight > rect.z / rect.w) != fill) {
    width = rect.z;
    height = rect.z * sourceHeight / sourceWidth;
  } else {
    height = rect.w;
    width = rect.w * sourceWidth / sourceHeight;
  }
  return vec4{float(rect.x + (rect.z - width) * 0.5), float(rect.y + (rect.w - height) * 0.5), width, height};
}
} // namespace

vec4 aspectFitRect(float sourceWidth, float sourceHeight, vec4 rect)
{
  return _aspectRect(sourceWidth, sourceHeight, rect, false);
}

vec4 aspectFillRect(float sourceWidth, float sourceHeight, vec4 rect)
{
  return _aspectRect(sourceWidth, sourceHeight, rect, true);
}
