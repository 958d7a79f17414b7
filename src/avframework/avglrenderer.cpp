#include "avglrenderer.h"

#include "avcommon.h"
#include "avglglue.h"
#include "avglresources.h"
#include "avshadow.h"

#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Uniform names by slot; empty where a slot is unused.
const char *const kSlotNames[kAVUniformSlots] = {
  "Sampler", "SamplerY", "SamplerU", "SamplerV", "shadowSampler", "depthSampler", "renderTransform",
  "projectionTransform", "opacity", "", "drawBorderColor", "", "", "", "drawShadowOpacity", "drawShadowColor",
  "width", "height", "pictureWidth", "", "rt_w", "rt_h", "saturation", "brightness", "contrast", "temperature",
  "exposure", "hueAdjust", "redAdjustment", "greenAdjustment", "blueAdjustment", "shadows", "highlights",
  "texelWidthOffset", "texelHeightOffset", "fractionalWidthOfPixel", "aspectRatio", "redBlueStereoOffsetX",
  "redBlueStereoOffsetY", "vignetteCenter", "vignetteColor", "vignetteStart", "vignetteEnd", "wavePhase",
  "waveAmplitude", "waveIntensity", "noiseTime", "noise2Time", "imageWidthFactor", "imageHeightFactor", "sharpness",
  "thresholdSensitivity", "smoothing", "colorToReplace", "texelWidth", "texelHeight", "strokeTolerance",
  "strokeColor", "strokeStrength",
};

struct FixedProgramSpec
{
  const char *fragment;
  const char *vertex;
  bool texCoord;
  std::vector<int> slotTable;
  const char *failure;
};

const char kVertexFile[] = "vertex.glsl";
const char kVertexNoTexCoordFile[] = "vertex_no_varying_texcoord.glsl";
const char kVertexNearbyFile[] = "vertex_nearby_texel.glsl";
const char kVertexFXAAFile[] = "vertex_fxaa.glsl";

const std::vector<FixedProgramSpec> &_fixedPrograms()
{
  static const std::vector<FixedProgramSpec> specs = {
    {"fragment_main.glsl", kVertexFile, true, {6, 7, 0, 8}, "load main program failed."},
    {"fragment_main(border).glsl", kVertexNoTexCoordFile, false, {6, 7, 8, 10}, "load main border program failed."},
    {"fragment_main_stroke.glsl", kVertexNearbyFile, true, {6, 7, 0, 8, 54, 55, 56, 58, 57}, "load main stroke program failed."},
    {"fragment_main(yuv).glsl", kVertexFile, true, {6, 7, 1, 2, 3, 8}, "load main YUV program failed."},
    {"fragment_main(uyvy422).glsl", kVertexFile, true, {6, 7, 0, 8, 18}, "load main UYVY422 program failed."},
    {"fragment_main(nv12).glsl", kVertexFile, true, {6, 7, 1, 2, 8}, "load main NV12 program failed."},
    {"fragment_shadow_depth.glsl", kVertexFile, true, {6, 7, 0}, "load shadow depth program failed."},
    {"fragment_shadow_depth(border).glsl", kVertexNoTexCoordFile, false, {6, 7}, "load shadow depth border program failed."},
    {"fragment_shadow_depth_stroke.glsl", kVertexNearbyFile, true, {6, 7, 0, 54, 55, 56, 58}, "load shadow depth stroke program failed."},
    {"fragment_shadow_step_1.glsl", kVertexFile, true, {6, 7, 0}, "load shadow step 1 program failed."},
    {"fragment_shadow_step_1(border).glsl", kVertexNoTexCoordFile, false, {6, 7}, "load shadow step 1 border program failed."},
    {"fragment_shadow_step_1_stroke.glsl", kVertexNearbyFile, true, {6, 7, 0, 54, 55, 56, 58}, "load shadow step 1 stroke program failed."},
    {"fragment_fill.glsl", kVertexFile, true, {6, 7, 0}, "load fill program failed."},
    {"fragment_yuv_fill.glsl", kVertexFile, true, {6, 7, 1, 2, 3}, "load fill YUV program failed."},
    {"fragment_rgb2yuv_fill.glsl", kVertexFile, true, {6, 7, 0, 16, 17}, "load rgb2yuv program failed."},
    {"fragment_fxaa_fill.glsl", kVertexFXAAFile, true, {6, 7, 0, 20, 21}, "load FXAA fill program failed."},
  };
  return specs;
}

constexpr int kShaderBuffer = 8 * 1024;
constexpr int kRetryBuffer = 128 * 1024;

std::string _readShader(const char *name)
{
  return readShaderText(name, kShaderBuffer);
}

bool _compiled(uint32_t shader)
{
  GLint status = GL_FALSE;
  avGL()->glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

void _deleteProgram(uint32_t &program)
{
  if (program && avGL())
    avGL()->glDeleteProgram(program);
  program = 0;
}

void _freeEffectList(AVEffectProgramList &list)
{
  free(list.programs);
  list = AVEffectProgramList{};
}

bool _allocateEffectList(AVEffectProgramList &list)
{
  list.programs = static_cast<AVEffectProgram *>(calloc(8, sizeof(AVEffectProgram)));
  list.count = 0;
  list.capacity = list.programs ? 8 : 0;
  return list.programs != nullptr;
}

// NV12 keeps both chroma samples in one plane: its programs name the chroma sampler SamplerUV.
// A missed name leaves that sampler on unit 0, which holds whatever texture was bound there last.
std::vector<AVUniformName> _uniformNames(const int *lookups, int count, bool nv12Chroma)
{
  std::vector<AVUniformName> names;
  for (int i = 0; i < count; ++i) {
    AVUniformName name{lookups[i], {}};
    strncpy(name.name, lookups[i] == kSlotSamplerU && nv12Chroma ? "SamplerUV" : kSlotNames[lookups[i]],
            sizeof(name.name) - 1);
    names.push_back(name);
  }
  return names;
}
} // namespace

std::string readShaderText(const char *name, int capacity)
{
  std::vector<char> buffer(static_cast<size_t>(capacity));
  const int length = readShaderSource(name, buffer.data(), capacity);
  return length > 0 ? std::string(buffer.data(), size_t(length)) : std::string();
}

uint32_t buildSlotProgram(const char *vertexText, const char *fragmentText, const int *lookups, int count,
                          int32_t *slotTable, bool nv12Chroma)
{
  const std::vector<AVUniformName> names = _uniformNames(lookups, count, nv12Chroma);
  std::fill(slotTable, slotTable + kAVUniformSlots, -1);
  return buildProgram(vertexText, fragmentText, names.data(), int(names.size()), slotTable, true);
}

bool compileShader(uint32_t *shader, uint32_t type, const char *text)
{
  if (!text) {
    avLog("Failed to load vertex shader: Empty source string");
    return false;
  }
  QOpenGLFunctions_3_2_Core *gl = avGL();
  *shader = gl->glCreateShader(type);
  gl->glShaderSource(*shader, 1, &text, nullptr);
  gl->glCompileShader(*shader);
  if (_compiled(*shader))
    return true;

  // Some drivers refuse "highp"; try once more with "mediump".
  std::string retry(text);
  for (size_t at = retry.find("highp"); at != std::string::npos; at = retry.find("highp", at))
    retry.replace(at, 5, "mediump");
  if (retry.size() < size_t(kRetryBuffer)) {
    const char *retryText = retry.c_str();
    gl->glShaderSource(*shader, 1, &retryText, nullptr);
    gl->glCompileShader(*shader);
    if (_compiled(*shader))
      return true;
  }
  GLchar info[1024] = {};
  gl->glGetShaderInfoLog(*shader, sizeof(info) - 1, nullptr, info);
  avLog("Failed to compile shader: %s", info);
  gl->glDeleteShader(*shader);
  *shader = 0;
  return false;
}

bool linkProgram(uint32_t program)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glLinkProgram(program);
  GLint status = GL_FALSE;
  gl->glGetProgramiv(program, GL_LINK_STATUS, &status);
  return status == GL_TRUE;
}

uint32_t buildProgram(const char *vertexText, const char *fragmentText, const AVUniformName *names, int count,
                      int32_t *slotTable, bool bindTexCoord)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  uint32_t program = gl->glCreateProgram();
  uint32_t vertex = 0, fragment = 0;
  if (!compileShader(&vertex, GL_VERTEX_SHADER, vertexText) || !compileShader(&fragment, GL_FRAGMENT_SHADER, fragmentText)) {
    if (vertex)
      gl->glDeleteShader(vertex);
    gl->glDeleteProgram(program);
    return 0;
  }
  gl->glAttachShader(program, vertex);
  gl->glAttachShader(program, fragment);
  gl->glBindAttribLocation(program, 0, "position");
  if (bindTexCoord)
    gl->glBindAttribLocation(program, 1, "texCoord");
  if (!linkProgram(program)) {
    avLog("Failed to link program: %d", program);
    gl->glDeleteShader(vertex);
    gl->glDeleteShader(fragment);
    gl->glDeleteProgram(program);
    return 0;
  }
  for (int i = 0; i < count; ++i)
    slotTable[names[i].slot] = gl->glGetUniformLocation(program, names[i].name);
  gl->glDetachShader(program, vertex);
  gl->glDetachShader(program, fragment);
  gl->glDeleteShader(vertex);
  gl->glDeleteShader(fragment);
  return program;
}

bool loadPrograms(AVGLRenderer *renderer)
{
  deletePrograms(renderer);
  const double started = avWallClock();
  const std::string vertex = _readShader(kVertexFile);
  const std::string vertexNoTexCoord = _readShader(kVertexNoTexCoordFile);
  const std::string vertexNearby = _readShader(kVertexNearbyFile);
  const std::string vertexFXAA = _readShader(kVertexFXAAFile);
  auto vertexText = [&](const char *name) -> const std::string & {
    if (name == kVertexNoTexCoordFile)
      return vertexNoTexCoord;
    if (name == kVertexNearbyFile)
      return vertexNearby;
    if (name == kVertexFXAAFile)
      return vertexFXAA;
    return vertex;
  };

  const auto &specs = _fixedPrograms();
  for (size_t i = 0; i < specs.size(); ++i) {
    const FixedProgramSpec &spec = specs[i];
    const std::string fragment = _readShader(spec.fragment);
    const std::string &vertexSource = vertexText(spec.vertex);
    const std::vector<AVUniformName> names =
      _uniformNames(spec.slotTable.data(), int(spec.slotTable.size()), i == kProgramMainNV12);
    AVGLProgram &program = renderer->fixed[i];
    // Slots a program does not list stay unset: location 0 is another uniform of the program.
    std::fill(std::begin(program.slotTable), std::end(program.slotTable), -1);
    program.program = fragment.empty() || vertexSource.empty()
                        ? 0
                        : buildProgram(vertexSource.c_str(), fragment.c_str(), names.data(), int(names.size()),
                                       program.slotTable, spec.texCoord);
    if (!program.program) {
      avPrint("%s\n", spec.failure);
      return false;
    }
  }
  avLog("load programs time: %f", avWallClock() - started);
  return true;
}

void deletePrograms(AVGLRenderer *renderer)
{
  for (AVGLProgram &program : renderer->fixed)
    _deleteProgram(program.program);
  for (AVGLProgram &program : renderer->greenScreen)
    _deleteProgram(program.program);
  for (AVEffectProgramList *list :
       {&renderer->effectRGB, &renderer->effectYUV, &renderer->effectNV12, &renderer->effectUYVY422})
    for (int i = 0; i < list->count; ++i)
      _deleteProgram(list->programs[i].program);
  for (int i = 0; i < renderer->shadowBlur.count; ++i) {
    _deleteProgram(renderer->shadowBlur.programs[i].blurProgram);
    _deleteProgram(renderer->shadowBlur.programs[i].compositeProgram);
  }
  avLog("Effect color program number: %d", renderer->effectRGB.count);
  avLog("Effect color YUV program number: %d", renderer->effectYUV.count);
  avLog("Effect color NV12 program number: %d", renderer->effectNV12.count);
  avLog("Effect color UYVY422 program number: %d", renderer->effectUYVY422.count);
  avLog("Shadow blur program number: %d", renderer->shadowBlur.count);
  // The cached entries name deleted programs now: forget them.
  renderer->effectRGB.count = renderer->effectYUV.count = renderer->effectNV12.count = 0;
  renderer->effectUYVY422.count = 0;
  renderer->shadowBlur.count = 0;
}

AVGLRenderer *createRenderer(AVGLHost *host)
{
  auto *renderer = static_cast<AVGLRenderer *>(calloc(1, sizeof(AVGLRenderer)));
  if (!renderer)
    return nullptr;
  renderer->host = host;
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &renderer->maxTextureSize);
  gl->glGetIntegerv(GL_MAX_VARYING_VECTORS, &renderer->maxVaryingVectors);
  avLog("Max texture size is %d", renderer->maxTextureSize);
  avLog("Max varying vectors is %d", renderer->maxVaryingVectors);
  avLog("OpenGL Version: %s", reinterpret_cast<const char *>(gl->glGetString(GL_VERSION)));
  renderer->useVertexArrays = 1;
  renderer->depthTestOnTarget = 1;
  if (!loadPrograms(renderer)) {
    deletePrograms(renderer);
    free(renderer);
    return nullptr;
  }
  _allocateEffectList(renderer->effectRGB);
  _allocateEffectList(renderer->effectYUV);
  _allocateEffectList(renderer->effectNV12);
  _allocateEffectList(renderer->effectUYVY422);
  renderer->shadowBlur.programs = static_cast<AVShadowBlurPrograms *>(calloc(8, sizeof(AVShadowBlurPrograms)));
  renderer->shadowBlur.capacity = renderer->shadowBlur.programs ? 8 : 0;
  return renderer;
}

void destroyRenderer(AVGLRenderer *renderer)
{
  if (!renderer)
    return;
  deletePrograms(renderer);
  _freeEffectList(renderer->effectRGB);
  _freeEffectList(renderer->effectYUV);
  _freeEffectList(renderer->effectNV12);
  _freeEffectList(renderer->effectUYVY422);
  free(renderer->shadowBlur.programs);
  if (QOpenGLFunctions_3_2_Core *gl = avGL()) {
    for (AVOffscreenTarget &target : renderer->offscreen) {
      if (target.texture)
        gl->glDeleteTextures(1, &target.texture);
      if (target.framebuffer)
        gl->glDeleteFramebuffers(1, &target.framebuffer);
    }
  }
  for (AVVertexArray &vertices : renderer->vertices)
    deleteVertexArray(&vertices.array, &vertices.positions, &vertices.coordinates);
  free(renderer);
}
