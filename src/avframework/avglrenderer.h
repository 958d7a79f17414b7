#pragma once
// The renderer of one rendering context: its fixed programs, the shared uniform-slot scheme,
// the effect-program caches and the vertex arrays and offscreen framebuffers of the layer draw.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

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
  kSlotSaturation = 22,
  kSlotBrightness = 23,
  kSlotContrast = 24,
  kSlotTemperature = 25,
  kSlotExposure = 26,
  kSlotHueAdjust = 27,
  kSlotRedAdjustment = 28,
  kSlotGreenAdjustment = 29,
  kSlotBlueAdjustment = 30,
  kSlotShadows = 31,
  kSlotHighlights = 32,
  kSlotTexelWidthOffset = 33,
  kSlotTexelHeightOffset = 34,
  kSlotFractionalWidthOfPixel = 35,
  kSlotAspectRatio = 36,
  kSlotRedBlueStereoOffsetX = 37,
  kSlotRedBlueStereoOffsetY = 38,
  kSlotVignetteCenter = 39,
  kSlotVignetteColor = 40,
  kSlotVignetteStart = 41,
  kSlotVignetteEnd = 42,
  kSlotWavePhase = 43,
  kSlotWaveAmplitude = 44,
  kSlotWaveIntensity = 45,
  kSlotNoiseTime = 46,
  kSlotNoise2Time = 47,
  kSlotImageWidthFactor = 48,
  kSlotImageHeightFactor = 49,
  kSlotSharpness = 50,
  kSlotThresholdSensitivity = 51,
  kSlotSmoothing = 52,
  kSlotColorToReplace = 53,
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

// Effect indexes (flags and parameter blocks).
enum AVEffect : int {
  kEffectSaturation,
  kEffectBrightness,
  kEffectContrast,
  kEffectWhiteBalance,
  kEffectExposure,
  kEffectHue,
  kEffectRGB,
  kEffectHighlightShadow,
  kEffectInvert,
  kEffectGaussianBlur,
  kEffectPixellate,
  kEffectRedBlueStereo,
  kEffectVignette,
  kEffectWave,
  kEffectNoise,
  kEffectNoise2,
  kEffectSharpen,
  kEffectGreenKey,
};

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
  // Packed 4:2:2 pictures need their own texts: read as RGBA their colours would be wrong.
  AVEffectProgramList effectUYVY422;
  AVGLProgram greenScreen[4]; // RGB, planar YUV, NV12, packed 4:2:2
  AVShadowBlurList shadowBlur;
  AVFrameBuffer *target;
  AVVertexArray vertices[kVertexUseCount];
  AVOffscreenTarget offscreen[kOffscreenCount];
  uint8_t useVertexArrays;
  uint8_t depthTestOnTarget;
  // Shadows always blurred at the frame's size: the reference that the reduced blur is held to.
  uint8_t fullSizeShadowBlur;
  // Shadows drawn over the whole box around them: the reference their narrowed area is held to.
  uint8_t wholeShadowBox;
};

// A uniform to look up: its slot and its name in the shader.
struct AVUniformName
{
  int32_t slot;
  char name[32];
};

// Room for one more entry in a renderer program list (capacity grows by 8); the new entry
// is zeroed and returned, null when memory runs out.
template <typename List> auto appendProgramEntry(List &list) -> decltype(list.programs)
{
  if (list.count >= list.capacity) {
    const int capacity = list.capacity + 8;
    auto *grown = static_cast<decltype(list.programs)>(realloc(list.programs, size_t(capacity) * sizeof(*list.programs)));
    if (!grown)
      return nullptr;
    list.programs = grown;
    list.capacity = capacity;
  }
  auto *entry = &list.programs[list.count++];
  memset(entry, 0, sizeof(*entry));
  return entry;
}

AVGLRenderer *createRenderer(AVGLHost *host);
void destroyRenderer(AVGLRenderer *renderer);
bool loadPrograms(AVGLRenderer *renderer);
void deletePrograms(AVGLRenderer *renderer);
uint32_t buildProgram(const char *vertexText, const char *fragmentText, const AVUniformName *names, int count,
                      int32_t *slotTable, bool bindTexCoord);
bool compileShader(uint32_t *shader, uint32_t type, const char *text);
bool linkProgram(uint32_t program);
// buildProgram with texCoord bound and the uniforms of the given slots looked up by their
// names ("SamplerUV" at slot 2 when nv12Chroma). Slots not looked up hold -1, so a uniform
// the program lacks is never written at another uniform's location 0.
uint32_t buildSlotProgram(const char *vertexText, const char *fragmentText, const int *lookups, int count,
                          int32_t *slotTable, bool nv12Chroma);
// A shader resource read into a buffer of capacity bytes; empty when it cannot be read.
std::string readShaderText(const char *name, int capacity);

// The effect program for the flags, the key and (with the blur on) the integer blur radius in
// parameters[kEffectGaussianBlur][0], from the list of the texture kind (1 planar YUV, 2 packed
// 4:2:2, 3 NV12, else RGB); built on first request. Returns 0 when it cannot be built, also
// when cached.
uint32_t effectProgram(AVGLRenderer *renderer, const AVEffectFlags *flags, bool chromaKey,
                       const float (*parameters)[8], const int32_t **slotTable, uint32_t kind);
// The chroma-key pre-pass program of the kind (1 planar YUV, 2 packed 4:2:2, 3 NV12, else RGB).
uint32_t greenScreenProgram(AVGLRenderer *renderer, const int32_t **slotTable, uint32_t kind);
// Writes radius (0 to 99) into the two characters after the blur radius token. Returns the
// position after the token, or null (text unchanged) when the token is missing or the radius
// has another number of digits.
char *replaceRadiusToken(char *text, int radius);
// The uniforms of the effects that are on, for a picture of width x height.
void setEffectUniforms(const int32_t *slotTable, const AVEffectFlags *flags, const float (*parameters)[8],
                       float width, float height);
