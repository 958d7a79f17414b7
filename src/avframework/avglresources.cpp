#include "avglresources.h"

#include "avcommon.h"
#include "avglglue.h"
#include "avglrenderer.h"

#include <QOpenGLFunctions_3_2_Core>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
void _setParameters(GLenum minFilter, GLenum wrap)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GLint(minFilter));
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLint(wrap));
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLint(wrap));
}

// A texture of storageWidth x storageHeight texels; the record keeps the picture size.
AVTexture *_createTexture(uint32_t width, uint32_t height, uint32_t kind, GLint internalFormat, GLenum format,
                          uint32_t storageWidth, uint32_t storageHeight)
{
  auto *texture = static_cast<AVTexture *>(calloc(1, sizeof(AVTexture)));
  if (!texture)
    return nullptr;
  texture->width = width;
  texture->height = height;
  texture->target = GL_TEXTURE_2D;
  texture->kind = kind;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glGenTextures(1, &texture->texture);
  gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
  _setParameters(GL_LINEAR, GL_CLAMP_TO_EDGE);
  gl->glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, GLsizei(storageWidth), GLsizei(storageHeight), 0, format,
                   GL_UNSIGNED_BYTE, nullptr);
  gl->glBindTexture(GL_TEXTURE_2D, 0);
  return texture;
}

void _upload(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps,
             uint32_t storageWidth, uint32_t storageHeight, GLenum format, GLenum type, int alignment)
{
  if (!texture || !pixels || width < 1 || height < 1)
    return;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  texture->width = width;
  texture->height = height;
  if (!texture->texture)
    gl->glGenTextures(1, &texture->texture);
  gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
  _setParameters(mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR, GL_CLAMP_TO_EDGE);
  gl->glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(storageWidth), GLsizei(storageHeight), format, type, pixels);
  gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (mipmaps)
    gl->glGenerateMipmap(GL_TEXTURE_2D);
}

AVTexture *_colourTexture(const AVFrameBuffer *framebuffer)
{
  return static_cast<AVTexture *>(framebuffer->colour);
}

AVMultisampleColor *_multisampleColour(const AVFrameBuffer *framebuffer)
{
  return static_cast<AVMultisampleColor *>(framebuffer->colour);
}

GLint _maxSamples()
{
  GLint samples = 0;
  avGL()->glGetIntegerv(GL_MAX_SAMPLES, &samples);
  return samples;
}

void _allocateMultisampleDepth(uint32_t depth, uint32_t width, uint32_t height)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, depth);
  gl->glTexImage2DMultisample(GL_TEXTURE_2D_MULTISAMPLE, _maxSamples(), GL_DEPTH_COMPONENT, GLsizei(width),
                              GLsizei(height), GL_TRUE);
  gl->glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, 0);
  gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D_MULTISAMPLE, depth, 0);
}
} // namespace

static_assert(kColourTexelOrder == GL_BGRA, "colour textures keep BGRA texels");

uint32_t pixelBufferWidth(const AVTexture *texture)
{
  return texture->width;
}

uint32_t pixelBufferHeight(const AVTexture *texture)
{
  return texture->height;
}

AVTexture *createRGBATexture(uint32_t width, uint32_t height)
{
  return _createTexture(width, height, kAVTextureRGBA, GL_RGBA, kColourTexelOrder, width, height);
}

AVTexture *createRedTexture(uint32_t width, uint32_t height, uint32_t kind)
{
  return _createTexture(width, height, kind, GL_RED, GL_RED, width, height);
}

AVTexture *createChromaTexture(uint32_t width, uint32_t height)
{
  return _createTexture(width, height, kAVTextureNV12, GL_RG, GL_RG, chroma420(width), chroma420(height));
}

AVTexture *createPackedYUV422Texture(uint32_t width, uint32_t height)
{
  return _createTexture(width, height, kAVTextureYUV422, GL_RGBA, GL_RGBA, width / 2, height);
}

void destroyTexture(AVTexture *texture)
{
  if (!texture)
    return;
  // Without a current context the name died with its context; only the record is left.
  if (texture->texture && avGL())
    avGL()->glDeleteTextures(1, &texture->texture);
  free(texture);
}

uint32_t textureKind(const AVTexture *texture)
{
  return texture->kind;
}

uint32_t textureId(const AVTexture *texture)
{
  return texture->texture;
}

void uploadBGRATexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps)
{
  _upload(texture, pixels, width, height, mipmaps, width, height, GL_BGRA, GL_UNSIGNED_BYTE, 4);
}

void uploadPixelTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, uint32_t bitsPerPixel)
{
  switch (bitsPerPixel) {
  case 32:
    _upload(texture, pixels, width, height, false, width, height, GL_BGRA, GL_UNSIGNED_BYTE, 4);
    break;
  case 24:
    _upload(texture, pixels, width, height, false, width, height, GL_BGR, GL_UNSIGNED_BYTE, 1);
    break;
  case 16:
    _upload(texture, pixels, width, height, false, width, height, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2);
    break;
  default:
    break;
  }
}

void uploadRedTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps)
{
  _upload(texture, pixels, width, height, mipmaps, width, height, GL_RED, GL_UNSIGNED_BYTE, 1);
}

void uploadChromaTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps)
{
  _upload(texture, pixels, width, height, mipmaps, chroma420(width), chroma420(height), GL_RG, GL_UNSIGNED_BYTE, 2);
}

void uploadPackedYUV422Texture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps)
{
  _upload(texture, pixels, width, height, mipmaps, width / 2, height, GL_RGBA, GL_UNSIGNED_BYTE, 4);
}

void uploadPlaneRows(AVTexture *texture, const void *pixels, uint32_t x, uint32_t columns, uint32_t rows,
                     uint32_t stride, uint32_t texelBytes)
{
  if (!texture || !texture->texture || !pixels || columns < 1 || rows < 1 || (texelBytes != 1 && texelBytes != 2))
    return;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
  gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(stride / texelBytes));
  gl->glTexSubImage2D(GL_TEXTURE_2D, 0, GLint(x), 0, GLsizei(columns), GLsizei(rows), texelBytes == 2 ? GL_RG : GL_RED,
                      GL_UNSIGNED_BYTE, pixels);
  gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void setTextureRepeat(AVTexture *texture)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gl->glBindTexture(GL_TEXTURE_2D, 0);
}

uint8_t *readTexturePixels(const AVTexture *texture, uint32_t *stride)
{
  if (!texture || texture->width == 0 || texture->height == 0 || texture->texture == 0)
    return nullptr;
  if (stride)
    *stride = texture->width * 4;
  auto *pixels = static_cast<uint8_t *>(malloc(size_t(texture->width) * texture->height * 4));
  if (pixels)
    readTexturePixelsInto(texture, pixels);
  return pixels;
}

bool readTexturePixelsInto(const AVTexture *texture, uint8_t *pixels)
{
  if (!texture || texture->width == 0 || texture->height == 0 || texture->texture == 0 || !pixels)
    return false;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glBindTexture(GL_TEXTURE_2D, texture->texture);
  gl->glPixelStorei(GL_PACK_ALIGNMENT, 4);
  gl->glReadPixels(0, 0, GLsizei(texture->width), GLsizei(texture->height), GL_BGRA, GL_UNSIGNED_BYTE, pixels);
  gl->glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}

AVFrameBuffer *createFrameBuffer(uint32_t width, uint32_t height, bool withDepth)
{
  auto *framebuffer = static_cast<AVFrameBuffer *>(calloc(1, sizeof(AVFrameBuffer)));
  if (!framebuffer)
    return nullptr;
  AVTexture *colour = createRGBATexture(width, height);
  if (!colour) {
    free(framebuffer);
    return nullptr;
  }
  framebuffer->colour = colour;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glGenFramebuffers(1, &framebuffer->framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour->texture, 0);
  if (withDepth) {
    gl->glGenTextures(1, &framebuffer->depth);
    gl->glBindTexture(GL_TEXTURE_2D, framebuffer->depth);
    _setParameters(GL_LINEAR, GL_CLAMP_TO_EDGE);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GLsizei(width), GLsizei(height), 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_BYTE, nullptr);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, framebuffer->depth, 0);
  }
  return framebuffer;
}

AVFrameBuffer *createMultisampleFrameBuffer(uint32_t width, uint32_t height, bool withDepth)
{
  auto *framebuffer = static_cast<AVFrameBuffer *>(calloc(1, sizeof(AVFrameBuffer)));
  auto *colour = static_cast<AVMultisampleColor *>(calloc(1, sizeof(AVMultisampleColor)));
  if (!framebuffer || !colour) {
    free(framebuffer);
    free(colour);
    return nullptr;
  }
  colour->width = width;
  colour->height = height;
  framebuffer->colour = colour;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glGenFramebuffers(1, &framebuffer->framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  gl->glGenRenderbuffers(1, &colour->renderbuffer);
  gl->glBindRenderbuffer(GL_RENDERBUFFER, colour->renderbuffer);
  gl->glRenderbufferStorageMultisample(GL_RENDERBUFFER, _maxSamples(), GL_RGBA8, GLsizei(width), GLsizei(height));
  gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
  gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour->renderbuffer);
  if (withDepth) {
    gl->glGenTextures(1, &framebuffer->depth);
    _allocateMultisampleDepth(framebuffer->depth, width, height);
  }
  return framebuffer;
}

void resizeFrameBuffer(AVFrameBuffer *framebuffer, uint32_t width, uint32_t height)
{
  AVTexture *colour = _colourTexture(framebuffer);
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (colour->width != width || colour->height != height) {
    colour->width = width;
    colour->height = height;
    if (!colour->texture)
      gl->glGenTextures(1, &colour->texture);
    gl->glBindTexture(GL_TEXTURE_2D, colour->texture);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(width), GLsizei(height), 0, kColourTexelOrder, GL_UNSIGNED_BYTE,
                     nullptr);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
  }
  if (!framebuffer->framebuffer)
    gl->glGenFramebuffers(1, &framebuffer->framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour->texture, 0);
}

void resizeMultisampleFrameBuffer(AVFrameBuffer *framebuffer, uint32_t width, uint32_t height)
{
  AVMultisampleColor *colour = _multisampleColour(framebuffer);
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (colour->width != width || colour->height != height) {
    colour->width = width;
    colour->height = height;
    if (!colour->renderbuffer)
      gl->glGenRenderbuffers(1, &colour->renderbuffer);
    gl->glBindRenderbuffer(GL_RENDERBUFFER, colour->renderbuffer);
    gl->glRenderbufferStorageMultisample(GL_RENDERBUFFER, _maxSamples(), GL_RGBA8, GLsizei(width), GLsizei(height));
    gl->glBindRenderbuffer(GL_RENDERBUFFER, 0);
  }
  if (!framebuffer->framebuffer)
    gl->glGenFramebuffers(1, &framebuffer->framebuffer);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  if (framebuffer->depth)
    _allocateMultisampleDepth(framebuffer->depth, colour->width, colour->height);
  gl->glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour->renderbuffer);
}

void destroyFrameBuffer(AVFrameBuffer *framebuffer)
{
  if (!framebuffer)
    return;
  destroyTexture(_colourTexture(framebuffer));
  if (QOpenGLFunctions_3_2_Core *gl = avGL()) {
    if (framebuffer->depth)
      gl->glDeleteTextures(1, &framebuffer->depth);
    if (framebuffer->framebuffer)
      gl->glDeleteFramebuffers(1, &framebuffer->framebuffer);
  }
  free(framebuffer);
}

void destroyMultisampleFrameBuffer(AVFrameBuffer *framebuffer)
{
  if (!framebuffer)
    return;
  AVMultisampleColor *colour = _multisampleColour(framebuffer);
  if (QOpenGLFunctions_3_2_Core *gl = avGL()) {
    if (colour && colour->renderbuffer)
      gl->glDeleteRenderbuffers(1, &colour->renderbuffer);
    if (framebuffer->depth)
      gl->glDeleteTextures(1, &framebuffer->depth);
    if (framebuffer->framebuffer)
      gl->glDeleteFramebuffers(1, &framebuffer->framebuffer);
  }
  free(colour);
  free(framebuffer);
}

int32_t frameBufferWidth(const AVFrameBuffer *framebuffer)
{
  // Both colour records start with width and height.
  return int32_t(_colourTexture(framebuffer)->width);
}

int32_t frameBufferHeight(const AVFrameBuffer *framebuffer)
{
  return int32_t(_colourTexture(framebuffer)->height);
}

AVTexture *frameBufferTexture(const AVFrameBuffer *framebuffer)
{
  return framebuffer ? _colourTexture(framebuffer) : nullptr;
}

void uploadVertexBuffers(int positionBytes, const float *positions, int positionComponents, int coordinateBytes,
                         const float *coordinates, int coordinateComponents, uint32_t *positionBuffer,
                         uint32_t *coordinateBuffer)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (!*positionBuffer)
    gl->glGenBuffers(1, positionBuffer);
  if (!*coordinateBuffer)
    gl->glGenBuffers(1, coordinateBuffer);
  gl->glBindBuffer(GL_ARRAY_BUFFER, *positionBuffer);
  gl->glBufferData(GL_ARRAY_BUFFER, positionBytes, positions, GL_DYNAMIC_DRAW);
  gl->glVertexAttribPointer(0, positionComponents, GL_FLOAT, GL_FALSE, 0, nullptr);
  gl->glEnableVertexAttribArray(0);
  gl->glBindBuffer(GL_ARRAY_BUFFER, *coordinateBuffer);
  gl->glBufferData(GL_ARRAY_BUFFER, coordinateBytes, coordinates, GL_DYNAMIC_DRAW);
  gl->glVertexAttribPointer(1, coordinateComponents, GL_FLOAT, GL_FALSE, 0, nullptr);
  gl->glEnableVertexAttribArray(1);
}

uint32_t uploadVertexArray(uint32_t *vertexArray, int positionBytes, const float *positions, int positionComponents,
                           int coordinateBytes, const float *coordinates, int coordinateComponents,
                           uint32_t *positionBuffer, uint32_t *coordinateBuffer)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (!*vertexArray)
    gl->glGenVertexArrays(1, vertexArray);
  gl->glBindVertexArray(*vertexArray);
  uploadVertexBuffers(positionBytes, positions, positionComponents, coordinateBytes, coordinates, coordinateComponents,
                      positionBuffer, coordinateBuffer);
  return *vertexArray;
}

void deleteVertexArray(uint32_t *vertexArray, uint32_t *buffer1, uint32_t *buffer2)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (gl) {
    if (*buffer1)
      gl->glDeleteBuffers(1, buffer1);
    if (*buffer2)
      gl->glDeleteBuffers(1, buffer2);
    if (*vertexArray)
      gl->glDeleteVertexArrays(1, vertexArray);
  }
  *buffer1 = *buffer2 = *vertexArray = 0;
}

void identityMatrix(float *m)
{
  memset(m, 0, 16 * sizeof(float));
  m[0] = m[5] = m[10] = m[15] = 1.0f;
}

void multiplyMatrix(float *m, const float *other)
{
  float result[16];
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      float sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += other[4 * k + r] * m[4 * c + k];
      result[4 * c + r] = sum;
    }
  memcpy(m, result, sizeof(result));
}

void rotateMatrix(float *m, float angle, float x, float y, float z)
{
  const double c = cos(double(angle));
  const double s = sin(double(angle));
  const double t = 1 - c;
  const double X = x, Y = y, Z = z;
  const float r[16] = {
    float(X * X * t + c),     float(Y * X * t + Z * s), float(X * Z * t - Y * s), 0,
    float(X * Y * t - Z * s), float(Y * Y * t + c),     float(Y * Z * t + X * s), 0,
    float(X * Z * t + Y * s), float(Y * Z * t - X * s), float(Z * Z * t + c),     0,
    0,                        0,                        0,                        1,
  };
  multiplyMatrix(m, r);
}

void scaleMatrix(float *m, float sx, float sy, float sz)
{
  for (int c = 0; c < 4; ++c) {
    m[4 * c + 0] *= sx;
    m[4 * c + 1] *= sy;
    m[4 * c + 2] *= sz;
  }
}

void translateMatrix(float *m, float tx, float ty, float tz)
{
  m[12] += tx;
  m[13] += ty;
  m[14] += tz;
}

int32_t setRenderTarget(AVGLRenderer *renderer, AVFrameBuffer *framebuffer)
{
  renderer->target = framebuffer;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  if (!framebuffer) {
    gl->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebuffer(renderer));
    return 1;
  }
  gl->glBindFramebuffer(GL_FRAMEBUFFER, framebuffer->framebuffer);
  const GLenum status = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status == GL_FRAMEBUFFER_COMPLETE)
    return int32_t(framebuffer->framebuffer);
  avLog("Failed to make complete framebuffer object %x", status);
  return 0;
}

void blitToTarget(AVGLRenderer *renderer, AVFrameBuffer *source, bool flush)
{
  if (!source)
    return;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  const GLuint target = renderer->target ? renderer->target->framebuffer : defaultFramebuffer(renderer);
  const GLint targetWidth = renderer->target ? frameBufferWidth(renderer->target) : frameBufferWidth(source);
  const GLint targetHeight = renderer->target ? frameBufferHeight(renderer->target) : frameBufferHeight(source);
  gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, source->framebuffer);
  gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
  gl->glBlitFramebuffer(0, 0, frameBufferWidth(source), frameBufferHeight(source), 0, 0, targetWidth, targetHeight,
                        GL_COLOR_BUFFER_BIT, GL_NEAREST);
  gl->glBindFramebuffer(GL_FRAMEBUFFER, target);
  if (flush)
    gl->glFlush();
}

void clearTarget(AVGLRenderer *, float red, float green, float blue, float alpha)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glEnable(GL_DEPTH_TEST);
  gl->glClearColor(red, green, blue, alpha);
  gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  gl->glDisable(GL_DEPTH_TEST);
}
