#pragma once
// The renderer of one rendering context: its fixed programs, the shared uniform-slot scheme,
// the effect-program caches and the vertex arrays and offscreen framebuffers of the layer draw.

#include <cstdint>

class AVGLHost;
struct AVFrameBuffer;

constexpr int kAVUniformSlots = 59;

enum AVUniformSlot : int {
  kSlotSampler = 0,
  kSlotSamplerY = 1,
  kSlotSamplerU = 2, // SamplerUV for NV12
  kSlotSamplerV = 3,
  kSlotShadowSampler = 4,
  kSlotDepthSampler = 5,
  kSlotRenderTransform = 6,
  kSlotProjectionTransform = 7,
  kSlotOpacity = 8,
  kSlotDrawBorderColor = 10,
  kSlotDrawShadowOpacity = 14,
  kSlotDrawShadowColor = 15,
  kSlotWidth = 16,
  kSlotHeight = 17,
  kSlotPictureWidth = 18, // the packed 4:2:2 program's texture width
  kSlotRtW = 20,
  kSlotRtH = 21,
  kSlotTexelWidth = 54,
  kSlotTexelHeight = 55,
  kSlotStrokeTolerance = 56,
  kSlotStrokeColor = 57,
  kSlotStrokeStrength = 58,
};

struct AVGLProgram
{
  uint32_t program;
  int32_t slotTable[kAVUniformSlots];
};

constexpr int kAVEffectCount = 18;

struct AVEffectFlags
{
  uint8_t on[kAVEffectCount];
};

struct AVEffectProgram
{
  AVEffectFlags flags;
  int32_t slotTable[kAVUniformSlots];
  uint32_t program;
  float blurRadius;
  uint8_t chromaKey;
};

struct AVEffectProgramList
{
  AVEffectProgram *programs;
  int32_t count;
  int32_t capacity;
};

struct AVShadowBlurPrograms;

struct AVShadowBlurList
{
  AVShadowBlurPrograms *programs;
  int32_t count;
  int32_t capacity;
};

// Fixed programs in load order.
enum AVFixedProgram : int {
  kProgramMain,
  kProgramMainBorder,
  kProgramMainStroke,
  kProgramMainYUV,
  kProgramMainUYVY422,
  kProgramMainNV12,
  kProgramShadowDepth,
  kProgramShadowDepthBorder,
  kProgramShadowDepthStroke,
  kProgramShadowStep1,
  kProgramShadowStep1Border,
  kProgramShadowStep1Stroke,
  kProgramFill,
  kProgramYUVFill,
  kProgramRGBToYUV,
  kProgramFXAAFill,
  kFixedProgramCount
};

// One vertex array with its two buffers.
struct AVVertexArray
{
  uint32_t array;
  uint32_t positions;
  uint32_t coordinates;
};

enum AVVertexUse : int {
  kVertexLayer,
  kVertexInner,
  kVertexBorder,
  kVertexShadow,
  kVertexPrePass,
  kVertexFill,
  kVertexRGBToYUV,
  kVertexFXAA,
  kVertexUseCount
};

struct AVOffscreenTarget
{
  uint32_t framebuffer;
  uint32_t texture;
  int32_t width;
  int32_t height;
};

enum AVOffscreenUse : int { kOffscreenShadow, kOffscreenShadowBlur, kOffscreenDepth, kOffscreenTwoPass, kOffscreenCount };

struct AVGLRenderer
{
  AVGLHost *host;
  int32_t maxTextureSize;
  int32_t maxVaryingVectors;
  AVGLProgram fixed[kFixedProgramCount];
  AVEffectProgramList effectRGB;
  AVEffectProgramList effectYUV;
  AVEffectProgramList effectNV12;
  AVGLProgram greenScreen[3];
  AVShadowBlurList shadowBlur;
  AVFrameBuffer *target;
  AVVertexArray vertices[kVertexUseCount];
  AVOffscreenTarget offscreen[kOffscreenCount];
  uint8_t useVertexArrays;
  uint8_t depthTestOnTarget;
};

// A uniform to look up: its slot and its name in the shader.
struct AVUniformName
{
  int32_t slot;
  char name[32];
};

AVGLRenderer *createRenderer(AVGLHost *host);
void destroyRenderer(AVGLRenderer *renderer);
bool loadPrograms(AVGLRenderer *renderer);
void deletePrograms(AVGLRenderer *renderer);
uint32_t buildProgram(const char *vertexText, const char *fragmentText, const AVUniformName *names, int count,
                      int32_t *slotTable, bool bindTexCoord);
bool compileShader(uint32_t *shader, uint32_t type, const char *text);
bool linkProgram(uint32_t program);
