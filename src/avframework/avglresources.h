#pragma once
// Textures, framebuffers, read-back, vertex arrays and 4x4 matrices over OpenGL 3.2 core.
// Every function runs on a thread whose context is current (see avGL()).

#include <cstdint>

struct AVGLRenderer;

// The pixel order colour textures are made with (GL_BGRA): the order pictures are uploaded and
// frames read back in, so the software renderer keeps its texels in it and never swizzles on
// upload, blend or read-back. What a texture holds is RGBA as ever.
constexpr uint32_t kColourTexelOrder = 0x80E1;

enum AVTextureKind : uint32_t { kAVTextureRGBA = 0, kAVTextureYUV420 = 1, kAVTextureYUV422 = 2, kAVTextureNV12 = 3 };

struct AVTexture
{
  uint32_t width;  // picture size, also for the half-size kinds
  uint32_t height;
  uint32_t target; // GL_TEXTURE_2D
  uint32_t texture;
  uint32_t kind;
};

struct AVMultisampleColor
{
  uint32_t width;
  uint32_t height;
  uint32_t renderbuffer;
};

struct AVFrameBuffer
{
  void *colour; // AVTexture for a plain framebuffer, AVMultisampleColor for a multisampled one
  uint32_t framebuffer;
  uint32_t depth;
};

uint32_t pixelBufferWidth(const AVTexture *texture);
uint32_t pixelBufferHeight(const AVTexture *texture);

AVTexture *createRGBATexture(uint32_t width, uint32_t height);
AVTexture *createRedTexture(uint32_t width, uint32_t height, uint32_t kind);
AVTexture *createChromaTexture(uint32_t width, uint32_t height);
AVTexture *createPackedYUV422Texture(uint32_t width, uint32_t height);
void destroyTexture(AVTexture *texture);
uint32_t textureKind(const AVTexture *texture);
uint32_t textureId(const AVTexture *texture);
void uploadBGRATexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps);
// A picture of 32 (B, G, R, A bytes: QImage's premultiplied ARGB32 in memory), 24 (B, G, R) or
// 16 (RGB 5-6-5) bits a pixel, without mipmaps.
void uploadPixelTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, uint32_t bitsPerPixel);
void uploadRedTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps);
void uploadChromaTexture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps);
void uploadPackedYUV422Texture(AVTexture *texture, const void *pixels, uint32_t width, uint32_t height, bool mipmaps);
// Columns x .. x + columns - 1 of a one-byte (red) or two-byte (chroma) texel texture from a plane
// whose rows lie `stride` bytes apart, read where they are; the texture's size stays.
void uploadPlaneRows(AVTexture *texture, const void *pixels, uint32_t x, uint32_t columns, uint32_t rows,
                     uint32_t stride, uint32_t texelBytes);
void setTextureRepeat(AVTexture *texture);
// Reads the bound read framebuffer at the texture's size as BGRA, top row first. Caller frees.
uint8_t *readTexturePixels(const AVTexture *texture, uint32_t *stride);
// The same into width * height * 4 bytes the caller has; false when there is nothing to read.
bool readTexturePixelsInto(const AVTexture *texture, uint8_t *pixels);

AVFrameBuffer *createFrameBuffer(uint32_t width, uint32_t height, bool withDepth);
AVFrameBuffer *createMultisampleFrameBuffer(uint32_t width, uint32_t height, bool withDepth);
void resizeFrameBuffer(AVFrameBuffer *framebuffer, uint32_t width, uint32_t height);
void resizeMultisampleFrameBuffer(AVFrameBuffer *framebuffer, uint32_t width, uint32_t height);
void destroyFrameBuffer(AVFrameBuffer *framebuffer);
void destroyMultisampleFrameBuffer(AVFrameBuffer *framebuffer);
int32_t frameBufferWidth(const AVFrameBuffer *framebuffer);
int32_t frameBufferHeight(const AVFrameBuffer *framebuffer);
AVTexture *frameBufferTexture(const AVFrameBuffer *framebuffer);

uint32_t uploadVertexArray(uint32_t *vertexArray, int positionBytes, const float *positions, int positionComponents,
                           int coordinateBytes, const float *coordinates, int coordinateComponents,
                           uint32_t *positionBuffer, uint32_t *coordinateBuffer);
void uploadVertexBuffers(int positionBytes, const float *positions, int positionComponents, int coordinateBytes,
                         const float *coordinates, int coordinateComponents, uint32_t *positionBuffer,
                         uint32_t *coordinateBuffer);
void deleteVertexArray(uint32_t *vertexArray, uint32_t *buffer1, uint32_t *buffer2);

// Column-major 4x4 matrices; each call applies its transform after what m holds.
void identityMatrix(float *m);
void multiplyMatrix(float *m, const float *other);
void rotateMatrix(float *m, float angle, float x, float y, float z);
void scaleMatrix(float *m, float sx, float sy, float sz);
void translateMatrix(float *m, float tx, float ty, float tz);

int32_t setRenderTarget(AVGLRenderer *renderer, AVFrameBuffer *framebuffer);
void blitToTarget(AVGLRenderer *renderer, AVFrameBuffer *source, bool flush);
void clearTarget(AVGLRenderer *renderer, float red, float green, float blue, float alpha);
