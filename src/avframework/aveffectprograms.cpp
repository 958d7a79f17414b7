// Effect programs built on demand from the effect shader texts, the chroma-key pre-pass
// programs and the effect uniforms.
#include "avcommon.h"
#include "avglglue.h"
#include "avglrenderer.h"

#include <QOpenGLFunctions_3_2_Core>
#include <cstdio>
#include <vector>

namespace {
// The switch of each effect in the shader texts; the key colour effect has none.
const char *const kEffectTokens[kAVEffectCount] = {
  "SATURATION_COLOR ", "BRIGHTNESS_COLOR ",   "CONTRAST_COLOR ", "WHITEBALANCE_COLOR ", "EXPOSURE_COLOR ",
  "HUE_COLOR ",        "RGB_COLOR ",          "HIGHLIGHT_SHADOW_COLOR ", "INVERT_COLOR_EFFECT ",
  "GAUSSIAN_BLUR_RADIUS ", "PIXELLATE_EFFECT ", "REDBLUE_STEREO_EFFECT ", "VIGNETTE_EFFECT ", "WAVE_EFFECT ",
  "NOISE_EFFECT ",     "NOISE_2_EFFECT ",     "SHARPEN_EFFECT ", nullptr,
};
const char kRadiusToken[] = "GAUSSIAN_BLUR_RADIUS ";
const char kGreenScreenToken[] = "GREEN_SCREEN_EFFECT ";

// The uniform lookups of each effect.
const std::vector<int> &_effectSlots(int effect)
{
  static const std::vector<int> lookups[kAVEffectCount] = {
    {kSlotSaturation}, {kSlotBrightness}, {kSlotContrast}, {kSlotTemperature}, {kSlotExposure}, {kSlotHueAdjust},
    {kSlotRedAdjustment, kSlotGreenAdjustment, kSlotBlueAdjustment}, {kSlotShadows, kSlotHighlights}, {},
    {kSlotTexelWidthOffset, kSlotTexelHeightOffset}, {kSlotFractionalWidthOfPixel, kSlotAspectRatio},
    {kSlotRedBlueStereoOffsetX, kSlotRedBlueStereoOffsetY},
    {kSlotVignetteCenter, kSlotVignetteColor, kSlotVignetteStart, kSlotVignetteEnd},
    {kSlotWavePhase, kSlotWaveAmplitude, kSlotWaveIntensity}, {kSlotNoiseTime}, {kSlotNoise2Time},
    {kSlotImageWidthFactor, kSlotImageHeightFactor, kSlotSharpness},
    {kSlotThresholdSensitivity, kSlotSmoothing, kSlotColorToReplace},
  };
  return lookups[effect];
}

constexpr int kEffectVertexBuffer = 64 * 1024;
constexpr int kEffectFragmentBuffer = 128 * 1024;
constexpr int kGreenScreenBuffer = 8 * 1024;

// Writes "1" after token, searching from `from`. Returns the position after the token, or null.
char *_switchOn(char *from, const char *token)
{
  char *at = strstr(from, token);
  if (!at)
    return nullptr;
  at += strlen(token);
  if (!*at)
    return nullptr;
  *at = '1';
  return at;
}

AVEffectProgramList &_effectList(AVGLRenderer *renderer, uint32_t kind)
{
  if (kind == 1)
    return renderer->effectYUV;
  if (kind == 2)
    return renderer->effectUYVY422;
  if (kind == 3)
    return renderer->effectNV12;
  return renderer->effectRGB;
}

// The sampler lookups of a texture kind.
void _samplerSlots(uint32_t kind, std::vector<int> *lookups)
{
  if (kind == 1)
    lookups->insert(lookups->end(), {kSlotSamplerY, kSlotSamplerU, kSlotSamplerV});
  else if (kind == 3)
    lookups->insert(lookups->end(), {kSlotSamplerY, kSlotSamplerU});
  else if (kind == 2)
    lookups->insert(lookups->end(), {kSlotSampler, kSlotPictureWidth});
  else
    lookups->push_back(kSlotSampler);
}

uint32_t _buildEffectProgram(AVEffectProgram *entry, int radius, uint32_t kind)
{
  const double started = avWallClock();
  const bool blur = entry->flags.on[kEffectGaussianBlur];
  std::string vertex = readShaderText("vertex_effect_color.glsl", kEffectVertexBuffer);
  const char *fragmentName = kind == 1   ? "fragment_main_effect_color(yuv).glsl"
                             : kind == 2 ? "fragment_main_effect_color(uyvy422).glsl"
                             : kind == 3 ? "fragment_main_effect_color(nv12).glsl"
                                         : "fragment_main_effect_color.glsl";
  std::string fragment = readShaderText(fragmentName, kEffectFragmentBuffer);
  if (vertex.empty() || fragment.empty())
    return 0;
  if (blur && !replaceRadiusToken(&vertex[0], radius))
    return 0;
  if (entry->flags.on[kEffectSharpen] && !_switchOn(&vertex[0], kEffectTokens[kEffectSharpen]))
    return 0;

  // Switches are found in effect order, each after the one before.
  char *from = &fragment[0];
  for (int effect = 0; effect < kEffectGreenKey; ++effect) {
    if (!entry->flags.on[effect])
      continue;
    from = effect == kEffectGaussianBlur ? replaceRadiusToken(from, radius) : _switchOn(from, kEffectTokens[effect]);
    if (!from) {
      avLog("effect %d has no switch in %s", effect, fragmentName);
      return 0;
    }
  }
  if (entry->chromaKey && !_switchOn(from, kGreenScreenToken))
    return 0;

  std::vector<int> lookups = {kSlotRenderTransform, kSlotProjectionTransform};
  _samplerSlots(kind, &lookups);
  lookups.insert(lookups.end(), {kSlotOpacity, kSlotTexelWidth, kSlotTexelHeight, kSlotStrokeTolerance,
                             kSlotStrokeStrength, kSlotStrokeColor});
  for (int effect = 0; effect < kEffectGreenKey; ++effect)
    if (entry->flags.on[effect])
      lookups.insert(lookups.end(), _effectSlots(effect).begin(), _effectSlots(effect).end());
  if (entry->chromaKey)
    lookups.insert(lookups.end(), _effectSlots(kEffectGreenKey).begin(), _effectSlots(kEffectGreenKey).end());
  const uint32_t program =
    buildSlotProgram(vertex.c_str(), fragment.c_str(), lookups.data(), int(lookups.size()), entry->slotTable, kind == 3);
  if (program)
    avLog("load effect color programs time: %f", avWallClock() - started);
  return program;
}
} // namespace

char *replaceRadiusToken(char *text, int radius)
{
  char *at = strstr(text, kRadiusToken);
  if (!at || radius < 0)
    return nullptr;
  at += sizeof(kRadiusToken) - 1;
  if (!at[0] || !at[1])
    return nullptr;
  char digits[16];
  const int length = snprintf(digits, sizeof(digits), "%d", radius);
  if (length == 2) {
    at[0] = digits[0];
    at[1] = digits[1];
  } else if (length == 1) {
    at[1] = digits[0];
  } else {
    return nullptr;
  }
  return at;
}

uint32_t effectProgram(AVGLRenderer *renderer, const AVEffectFlags *flags, bool chromaKey,
                       const float (*parameters)[8], const int32_t **slotTable, uint32_t kind)
{
  AVEffectProgramList &list = _effectList(renderer, kind);
  const bool blur = flags->on[kEffectGaussianBlur] != 0;
  const float radius = blur ? parameters[kEffectGaussianBlur][0] : 0;
  for (int i = 0; i < list.count; ++i) {
    AVEffectProgram &cached = list.programs[i];
    if (memcmp(cached.flags.on, flags->on, kAVEffectCount) == 0 && (cached.chromaKey != 0) == chromaKey &&
        (!blur || int(cached.blurRadius) == int(radius))) {
      *slotTable = cached.slotTable;
      return cached.program;
    }
  }
  // A program that cannot be built stays in the list as 0, so it is not tried again each frame.
  AVEffectProgram *entry = appendProgramEntry(list);
  if (!entry) {
    *slotTable = nullptr;
    return 0;
  }
  entry->flags = *flags;
  entry->chromaKey = chromaKey ? 1 : 0;
  entry->blurRadius = radius;
  std::fill(entry->slotTable, entry->slotTable + kAVUniformSlots, -1);
  entry->program = _buildEffectProgram(entry, int(radius), kind);
  *slotTable = entry->slotTable;
  return entry->program;
}

uint32_t greenScreenProgram(AVGLRenderer *renderer, const int32_t **slotTable, uint32_t kind)
{
  const int index = kind == 1 ? 1 : kind == 3 ? 2 : kind == 2 ? 3 : 0;
  AVGLProgram &program = renderer->greenScreen[index];
  *slotTable = program.slotTable;
  if (program.program)
    return program.program;
  const double started = avWallClock();
  const char *fragmentName = kind == 1   ? "fragment_pre_effect_green_screen(yuv).glsl"
                             : kind == 2 ? "fragment_pre_effect_green_screen(uyvy422).glsl"
                             : kind == 3 ? "fragment_pre_effect_green_screen(nv12).glsl"
                                         : "fragment_pre_effect_green_screen.glsl";
  const std::string vertex = readShaderText("vertex.glsl", kGreenScreenBuffer);
  const std::string fragment = readShaderText(fragmentName, kGreenScreenBuffer);
  if (vertex.empty() || fragment.empty())
    return 0;
  std::vector<int> lookups = {kSlotRenderTransform, kSlotProjectionTransform};
  _samplerSlots(kind, &lookups);
  if (kind == 1 || kind == 3)
    lookups.push_back(kSlotSampler);
  lookups.insert(lookups.end(), {kSlotThresholdSensitivity, kSlotSmoothing, kSlotColorToReplace});
  program.program =
    buildSlotProgram(vertex.c_str(), fragment.c_str(), lookups.data(), int(lookups.size()), program.slotTable, kind == 3);
  if (program.program)
    avLog("load pre effect green screen program time: %f", avWallClock() - started);
  return program.program;
}

void setEffectUniforms(const int32_t *slotTable, const AVEffectFlags *flags, const float (*parameters)[8],
                       float width, float height)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  auto set = [&](int slot, float value) { gl->glUniform1f(slotTable[slot], value); };
  for (int effect = 0; effect < kAVEffectCount; ++effect) {
    if (!flags->on[effect])
      continue;
    const float *p = parameters[effect];
    switch (effect) {
    case kEffectSaturation:
    case kEffectBrightness:
    case kEffectContrast:
    case kEffectExposure:
    case kEffectHue:
      set(_effectSlots(effect)[0], p[0]);
      break;
    case kEffectWhiteBalance: // kelvin around 5000
      set(kSlotTemperature, p[0] < 5000 ? (p[0] - 5000) * 0.0004f : (p[0] - 5000) * 0.00006f);
      break;
    case kEffectRGB:
      set(kSlotRedAdjustment, p[0]);
      set(kSlotGreenAdjustment, p[1]);
      set(kSlotBlueAdjustment, p[2]);
      break;
    case kEffectHighlightShadow:
      set(kSlotShadows, p[0]);
      set(kSlotHighlights, p[1]);
      break;
    case kEffectPixellate:
      set(kSlotFractionalWidthOfPixel, p[0]);
      set(kSlotAspectRatio, p[1]);
      break;
    case kEffectRedBlueStereo:
      set(kSlotRedBlueStereoOffsetX, p[0]);
      set(kSlotRedBlueStereoOffsetY, p[1]);
      break;
    case kEffectVignette:
      gl->glUniform2f(slotTable[kSlotVignetteCenter], p[0], p[1]);
      gl->glUniform3f(slotTable[kSlotVignetteColor], p[2], p[3], p[4]);
      set(kSlotVignetteStart, p[5]);
      set(kSlotVignetteEnd, p[6]);
      break;
    case kEffectWave:
      set(kSlotWavePhase, p[0]);
      gl->glUniform2f(slotTable[kSlotWaveAmplitude], p[1] / width, p[2] / height);
      set(kSlotWaveIntensity, width * p[3]);
      break;
    case kEffectNoise:
      set(kSlotNoiseTime, p[0]);
      break;
    case kEffectNoise2:
      set(kSlotNoise2Time, p[0]);
      break;
    case kEffectSharpen:
      set(kSlotSharpness, p[0]);
      set(kSlotImageWidthFactor, 1 / width);
      set(kSlotImageHeightFactor, 1 / height);
      break;
    case kEffectGreenKey:
      set(kSlotThresholdSensitivity, p[0]);
      set(kSlotSmoothing, p[1]);
      gl->glUniform3f(slotTable[kSlotColorToReplace], 0, 1, 0);
      break;
    default: // invert has no uniforms; the blur offsets are set by the layer draw
      break;
    }
  }
}
