#include "avlayerdraw.h"

#include "avcommon.h"
#include "avglglue.h"
#include "avglresources.h"
#include "avpixelbuffer.h"
#include "avshadow.h"

#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kRoundedVertices = 80;

void _setMatrix(const int32_t *slotTable, int slot, const float *m)
{
  avGL()->glUniformMatrix4fv(slotTable[slot], 1, GL_FALSE, m);
}

void _bindTexture(GLenum unit, GLenum target, GLuint texture)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  gl->glActiveTexture(unit);
  gl->glBindTexture(target, texture);
}

// Texture coordinates of the polygon's vertices: the fitted frame maps onto the picture part.
void _textureCoordinates(const float *positions, float *coordinates, int count, float fw, float fh, float sScale,
                         float tScale)
{
  for (int i = 0; i < count; ++i) {
    coordinates[2 * i] = (positions[2 * i] + fw / 2) / fw * sScale;
    coordinates[2 * i + 1] = (positions[2 * i + 1] + fh / 2) / fh * tScale;
  }
}

// The fill paths: a full quad over W x H with one texture on unit 1.
void _fillQuad(AVGLRenderer *renderer, AVFixedProgram which, AVVertexUse use, int width, int height,
               const AVTexture *texture, const float *coordinates, bool blend)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  const AVGLProgram &program = renderer->fixed[which];
  gl->glUseProgram(program.program);
  gl->glViewport(0, 0, width, height);
  const float w = float(width) / 2, h = float(height) / 2;
  const float positions[8] = {-w, -h, w, -h, -w, h, w, h};
  uploadDrawVertices(renderer, use, positions, coordinates, 4);
  float identity[16];
  identityMatrix(identity);
  _setMatrix(program.slotTable, kSlotRenderTransform, identity);
  setProjection(program.slotTable, width, height);
  _bindTexture(GL_TEXTURE1, GL_TEXTURE_2D, texture->texture);
  gl->glUniform1i(program.slotTable[kSlotSampler], 1);
  gl->glDisable(GL_CULL_FACE);
  gl->glDisable(GL_DEPTH_TEST);
  if (blend) {
    gl->glEnable(GL_BLEND);
    gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    gl->glDisable(GL_BLEND);
  }
}

// The picture's textures on units 1 to 3 and the samplers of its kind (3: luma and chroma).
void _bindPicture(const int32_t *table, uint32_t kind, uint32_t target, uint32_t texture, uint32_t plane2,
                  uint32_t plane3)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  _bindTexture(GL_TEXTURE1, target, texture);
  if (kind == kAVTextureYUV420 && plane2 && plane3) {
    _bindTexture(GL_TEXTURE2, GL_TEXTURE_2D, plane2);
    _bindTexture(GL_TEXTURE3, GL_TEXTURE_2D, plane3);
    gl->glUniform1i(table[kSlotSamplerY], 1);
    gl->glUniform1i(table[kSlotSamplerU], 2);
    gl->glUniform1i(table[kSlotSamplerV], 3);
  } else if (kind == kAVTextureNV12 && plane2) {
    _bindTexture(GL_TEXTURE2, GL_TEXTURE_2D, plane2);
    gl->glUniform1i(table[kSlotSamplerY], 1);
    gl->glUniform1i(table[kSlotSamplerU], 2);
  } else {
    gl->glUniform1i(table[kSlotSampler], 1);
  }
}

bool _anyEffect(const AVEffectFlags &flags)
{
  return std::any_of(flags.on, flags.on + kAVEffectCount, [](uint8_t on) { return on != 0; });
}

void _drawQuad()
{
  avGL()->glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void _flush(bool flush)
{
  if (flush)
    avGL()->glFlush();
}
} // namespace

bool layerNeedsMultisample(const AVLayerRenderInfo &info, int width, int height, uint32_t pictureWidth,
                           uint32_t pictureHeight)
{
  if (info.rotation != 0 || info.rotationZ != 0 || info.rotationX != 0 || info.rotationY != 0 ||
      info.cornerRadius > 0 || info.borderWidth > 0 || info.cropTopLeft[0] != 0 || info.cropTopLeft[1] != 0 ||
      info.cropBottomRight[0] != 1 || info.cropBottomRight[1] != 1 || pictureWidth == 0 || pictureHeight == 0)
    return true;
  const bool unscaled = info.scale[0] == 1 && info.scale[1] == 1;
  if (!unscaled && (info.anchor[0] != 0.5f || info.anchor[1] != 0.5f))
    return true;
  // Scaled about the centre, then moved: each edge is the target's centre plus the move, plus or
  // minus half the scaled fit size.
  const vec4 fit = aspectFitRect(float(pictureWidth), float(pictureHeight), vec4{0, 0, float(width), float(height)});
  const auto offGrid = [](double edge) { return std::abs(edge - std::round(edge)) > 1.0 / 64; };
  const double x = width / 2.0 + double(width) * info.position[0], halfW = fit.z * info.scale[0] / 2.0;
  const double y = height / 2.0 + double(height) * info.position[1], halfH = fit.w * info.scale[1] / 2.0;
  return offGrid(x - halfW) || offGrid(x + halfW) || offGrid(y - halfH) || offGrid(y + halfH);
}

bool layerFillsTarget(const AVLayerRenderInfo &info, int width, int height, uint32_t pictureWidth,
                      uint32_t pictureHeight)
{
  if (info.rotation != 0 || info.rotationZ != 0 || info.rotationX != 0 || info.rotationY != 0 ||
      info.cornerRadius > 0 || info.borderWidth > 0 || info.shadowOpacity > 0 || info.opacity < 1 ||
      info.keySensitivity > 0 || _anyEffect(info.effectFlags) || info.cropTopLeft[0] != 0 ||
      info.cropTopLeft[1] != 0 || info.cropBottomRight[0] != 1 || info.cropBottomRight[1] != 1 ||
      pictureWidth == 0 || pictureHeight == 0)
    return false;
  const bool unscaled = info.scale[0] == 1 && info.scale[1] == 1;
  if (!unscaled && (info.anchor[0] != 0.5f || info.anchor[1] != 0.5f))
    return false;
  const vec4 fit = aspectFitRect(float(pictureWidth), float(pictureHeight), vec4{0, 0, float(width), float(height)});
  const double x = width / 2.0 + double(width) * info.position[0], halfW = fit.z * info.scale[0] / 2.0;
  const double y = height / 2.0 + double(height) * info.position[1], halfH = fit.w * info.scale[1] / 2.0;
  // Multisampled targets too: no sample of an edge pixel may be left out.
  constexpr double kSlack = 1e-3;
  return x - halfW <= kSlack && x + halfW >= width - kSlack && y - halfH <= kSlack && y + halfH >= height - kSlack;
}

void cropToPaintedArea(AVLayerRenderInfo *info, const float *topLeft, const float *bottomRight)
{
  if (info->shadowOpacity > 0 || info->borderWidth > 0 || info->cornerRadius > 0 || info->keySensitivity > 0 ||
      _anyEffect(info->effectFlags))
    return;
  for (int i = 0; i < 2; ++i) {
    info->cropTopLeft[i] = std::max(info->cropTopLeft[i], topLeft[i]);
    info->cropBottomRight[i] = std::max(info->cropTopLeft[i], std::min(info->cropBottomRight[i], bottomRight[i]));
  }
}

void uploadDrawVertices(AVGLRenderer *renderer, AVVertexUse use, const float *positions, const float *coordinates,
                        int count)
{
  AVVertexArray &v = renderer->vertices[use];
  const int bytes = count * 2 * int(sizeof(float));
  uploadVertexArray(&v.array, bytes, positions, 2, bytes, coordinates, 2, &v.positions, &v.coordinates);
}

void setRenderTransform(const int32_t *slotTable, const float *m)
{
  _setMatrix(slotTable, kSlotRenderTransform, m);
}

uint32_t bindOffscreenTarget(AVGLRenderer *renderer, AVOffscreenUse use, uint32_t unit, int width, int height)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  AVOffscreenTarget &target = renderer->offscreen[use];
  if (!target.framebuffer || target.width != width || target.height != height) {
    target.width = width;
    target.height = height;
    if (!target.framebuffer)
      gl->glGenFramebuffers(1, &target.framebuffer);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    gl->glActiveTexture(unit);
    if (!target.texture)
      gl->glGenTextures(1, &target.texture);
    gl->glBindTexture(GL_TEXTURE_2D, target.texture);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, kColourTexelOrder, GL_UNSIGNED_BYTE, nullptr);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0);
  }
  gl->glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  return gl->glCheckFramebufferStatus(GL_FRAMEBUFFER);
}

int drawGreenScreenPrePass(AVGLRenderer *renderer, int width, int height, uint32_t textureTarget, uint32_t texture,
                           uint32_t plane2, uint32_t plane3, uint32_t textureWidth, uint32_t, uint32_t kind,
                           const AVLayerRenderInfo *info, AVPrePassResult *result)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  GLint bound = 0;
  gl->glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  // The hardware kind 4 keeps its chroma like NV12.
  const uint32_t planeKind = kind == 4 ? kAVTextureNV12 : kind;
  const int32_t *table = nullptr;
  const uint32_t program = greenScreenProgram(renderer, &table, planeKind);
  gl->glUseProgram(program);
  gl->glViewport(0, 0, width, height);
  if (program)
    setProjection(table, width, height);
  const uint32_t status = bindOffscreenTarget(renderer, kOffscreenTwoPass, GL_TEXTURE1, width, height);
  gl->glDisable(GL_DEPTH_TEST);
  gl->glDisable(GL_BLEND);
  const bool complete = status == GL_FRAMEBUFFER_COMPLETE;
  if (!complete) {
    avLog("Failed to make complete two pass framebuffer object %x", status);
  } else if (program) {
    const float w = float(width) / 2, h = float(height) / 2;
    const float positions[8] = {-w, -h, w, -h, -w, h, w, h};
    const float coordinates[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    uploadDrawVertices(renderer, kVertexPrePass, positions, coordinates, 4);
    _bindPicture(table, planeKind, textureTarget, texture, plane2, plane3);
    if (planeKind == kAVTextureYUV422)
      gl->glUniform1f(table[kSlotPictureWidth], float(textureWidth));
    gl->glUniform1f(table[kSlotThresholdSensitivity], info->keySensitivity);
    gl->glUniform1f(table[kSlotSmoothing], info->keySmoothing);
    gl->glUniform3f(table[kSlotColorToReplace], info->keyColor[0], info->keyColor[1], info->keyColor[2]);
    float identity[16];
    identityMatrix(identity);
    setRenderTransform(table, identity);
    _drawQuad();
  }
  const AVOffscreenTarget &twoPass = renderer->offscreen[kOffscreenTwoPass];
  *result = AVPrePassResult{GL_TEXTURE_2D, twoPass.texture, twoPass.width, twoPass.height};
  gl->glBindFramebuffer(GL_FRAMEBUFFER, GLuint(bound));
  return complete ? 0 : -1;
}

int makeRoundedRectVertices(float *out, int n, float x0, float y0, float w, float h, float r)
{
  if (n < 4)
    return 0;
  if (n == 4) {
    const float quad[8] = {x0, y0 - h, x0 + w, y0 - h, x0 + w, y0, x0, y0};
    std::copy(quad, quad + 8, out);
    return 4;
  }
  const int m = n / 4;
  r = std::min(r, std::min(w / 2, h / 2));
  const double step = (M_PI / 2) / (m - 1);
  for (int i = 0; i < m; ++i) {
    const float c = r * float(cos(i * step));
    const float s = r * float(sin(i * step));
    auto put = [out](int index, float x, float y) {
      out[2 * index] = x;
      out[2 * index + 1] = y;
    };
    put(i, x0 + w - r + c, y0 - r + s);
    put(2 * m - 1 - i, x0 + r - c, y0 - r + s);
    put(2 * m + i, x0 + r - c, y0 - h + r - s);
    put(4 * m - 1 - i, x0 + w - r + c, y0 - h + r - s);
  }
  return 4 * m;
}

void setProjection(const int32_t *slotTable, int width, int height)
{
  const double left = -width / 2.0, right = width / 2.0, bottom = -height / 2.0, top = height / 2.0;
  const double nearPlane = -width, farPlane = 1.001 * width;
  float m[16] = {};
  m[0] = float(2 / (right - left));
  m[5] = float(2 / (top - bottom));
  m[10] = float(-2 / (farPlane - nearPlane));
  m[12] = float(-(right + left) / (right - left));
  m[13] = float(-(top + bottom) / (top - bottom));
  m[14] = float(-(farPlane + nearPlane) / (farPlane - nearPlane));
  m[15] = 1;
  _setMatrix(slotTable, kSlotProjectionTransform, m);
}

void drawLayer(AVGLRenderer *renderer, int W, int H, uint32_t textureTarget, uint32_t texture, uint32_t texture2,
               uint32_t texture3, uint32_t kind, uint32_t textureWidth, uint32_t textureHeight, uint32_t pictureWidth,
               uint32_t pictureHeight, uint32_t targetDepth, const AVLayerRenderInfo *info)
{
  const float *cTL = info->cropTopLeft;
  const float *cBR = info->cropBottomRight;
  if (!texture || cTL[0] == cBR[0] || cTL[1] == cBR[1] || !textureWidth || !textureHeight)
    return;
  QOpenGLFunctions_3_2_Core *gl = avGL();

  // Outline instead of a frame in stroke mode.
  float stroke = 0, border = info->borderWidth;
  if (info->borderStroke) {
    stroke = info->borderWidth * 0.25f;
    border = 0;
  }
  // A shadow or an outline needs the keyed picture's shape: key it first, then go on with the
  // keyed RGBA picture. Otherwise outlines are drawn for RGBA pictures only.
  bool keyPending = info->keySensitivity > 0;
  // Planes have no alpha; an RGBA picture is opaque as a whole only when nothing keys it and no
  // texel outside it is filtered in at its edges.
  const bool opaque = !keyPending && (kind != kAVTextureRGBA || (info->opaquePicture != 0 && pictureWidth == textureWidth &&
                                                                 pictureHeight == textureHeight));
  if (keyPending && (info->shadowOpacity > 0 || stroke > 0)) {
    AVPrePassResult keyed;
    if (drawGreenScreenPrePass(renderer, int(textureWidth), int(textureHeight), textureTarget, texture, texture2,
                               texture3, textureWidth, textureHeight, kind, info, &keyed) != 0)
      return;
    textureTarget = keyed.target;
    texture = keyed.texture;
    texture2 = texture3 = 0;
    kind = kAVTextureRGBA;
    textureWidth = uint32_t(keyed.width);
    textureHeight = uint32_t(keyed.height);
    keyPending = false;
  } else if (kind != kAVTextureRGBA) {
    stroke = 0;
  }

  // Fit and geometry by the source rotation.
  const vec4 fit = aspectFitRect(float(pictureWidth), float(pictureHeight), vec4{0, 0, float(W), float(H)});
  const float fw = fit.z, fh = fit.w;
  const vec4 swapped = aspectFitRect(float(pictureHeight), float(pictureWidth), vec4{0, 0, float(W), float(H)});
  const float Bw = swapped.z, Bh = swapped.w;
  const float ax = info->anchor[0], ay = info->anchor[1];
  float left, right, bottom, top, a[2];
  switch (info->rotation) {
  case 90:
    left = -fw / 2 + cTL[1] * fw;
    right = -fw / 2 + cBR[1] * fw;
    bottom = fh / 2 - cBR[0] * fh;
    top = fh / 2 - cTL[0] * fh;
    a[0] = (0.5f - ax) * Bw;
    a[1] = (0.5f - ay) * Bh;
    break;
  case 180:
    left = -fw / 2 + (1 - cBR[0]) * fw;
    right = -fw / 2 + (1 - cTL[0]) * fw;
    bottom = fh / 2 - cBR[1] * fh;
    top = fh / 2 - cTL[1] * fh;
    a[0] = (0.5f - ax) * fw;
    a[1] = (0.5f - ay) * fh;
    break;
  case 270:
    left = -fw / 2 + (1 - cBR[1]) * fw;
    right = -fw / 2 + (1 - cTL[1]) * fw;
    bottom = -fh / 2 + cTL[0] * fh;
    top = -fh / 2 + cBR[0] * fh;
    a[0] = (0.5f - ax) * Bw;
    a[1] = (0.5f - ay) * Bh;
    break;
  default:
    left = -fw / 2 + cTL[0] * fw;
    right = -fw / 2 + cBR[0] * fw;
    bottom = -fh / 2 + cTL[1] * fh;
    top = -fh / 2 + cBR[1] * fh;
    a[0] = (0.5f - ax) * fw;
    a[1] = (0.5f - ay) * fh;
    break;
  }

  // Model matrix: source rotation, x and y rotations about the centre, scale and z rotation
  // about the anchor, then the position.
  float M[16];
  identityMatrix(M);
  const float k = Bw / fh;
  if (info->rotation == 90) {
    rotateMatrix(M, float(M_PI / 2), 0, 0, 1);
    scaleMatrix(M, k, k, 1);
  } else if (info->rotation == 270) {
    rotateMatrix(M, float(-M_PI / 2), 0, 0, 1);
    scaleMatrix(M, k, k, 1);
  } else if (info->rotation == 180) {
    rotateMatrix(M, float(M_PI), 0, 0, 1);
  }
  rotateMatrix(M, info->rotationX, 1, 0, 0);
  rotateMatrix(M, info->rotationY, 0, 1, 0);
  translateMatrix(M, a[0], a[1], 0);
  scaleMatrix(M, info->scale[0], info->scale[1], 1);
  rotateMatrix(M, info->rotationZ, 0, 0, 1);
  translateMatrix(M, -a[0], -a[1], 0);
  translateMatrix(M, float(W) * info->position[0], float(H) * info->position[1], 0);

  // Polygons.
  const int n = info->cornerRadius > 0 ? kRoundedVertices : 4;
  const float w = right - left, h = top - bottom;
  float outer[2 * kRoundedVertices], outerTex[2 * kRoundedVertices];
  const int outerCount = makeRoundedRectVertices(outer, n, left, top, w, h, std::max(info->cornerRadius, 0.0f));
  const float sScale = float(pictureWidth) / float(textureWidth);
  const float tScale = float(pictureHeight) / float(textureHeight);
  _textureCoordinates(outer, outerTex, outerCount, fw, fh, sScale, tScale);
  float inner[2 * kRoundedVertices], innerTex[2 * kRoundedVertices];
  int innerCount = 0;
  float strip[2 * (2 * kRoundedVertices + 2)], stripTex[2 * (2 * kRoundedVertices + 2)] = {};
  int stripCount = 0;
  if (border > 0) {
    innerCount = makeRoundedRectVertices(inner, n, left + border, top - border, w - 2 * border, h - 2 * border,
                                         std::max(info->cornerRadius - border, 0.0f));
    _textureCoordinates(inner, innerTex, innerCount, fw, fh, sScale, tScale);
    const int pairs = std::min(innerCount, outerCount);
    for (int i = 0; i <= pairs; ++i) {
      const int v = i < pairs ? i : 0;
      std::copy(inner + 2 * v, inner + 2 * v + 2, strip + 2 * stripCount++);
      std::copy(outer + 2 * v, outer + 2 * v + 2, strip + 2 * stripCount++);
    }
  }

  // Program by the texture's kind; effects and the key use an effect program, stroke mode the
  // outline program.
  const bool effects = _anyEffect(info->effectFlags);
  const int32_t *table = nullptr;
  uint32_t program = 0;
  if (effects || keyPending) {
    program = effectProgram(renderer, &info->effectFlags, keyPending, info->effectParameters, &table, kind);
  } else {
    AVFixedProgram which = kProgramMain;
    if (kind == kAVTextureYUV420 && texture2 && texture3)
      which = kProgramMainYUV;
    else if (kind == kAVTextureYUV422)
      which = kProgramMainUYVY422;
    else if (kind == kAVTextureNV12 && texture2)
      which = kProgramMainNV12;
    else if (stroke > 0)
      which = kProgramMainStroke;
    program = renderer->fixed[which].program;
    table = renderer->fixed[which].slotTable;
  }
  gl->glViewport(0, 0, W, H);
  if (info->cullBackFaces) {
    gl->glEnable(GL_CULL_FACE);
    gl->glCullFace(GL_BACK);
  } else {
    gl->glDisable(GL_CULL_FACE);
  }
  // Blending a layer over nothing, or an opaque picture drawn whole (alpha 1 wherever it lands:
  // the frame under it counts for nothing), would only read back what it overwrites.
  const bool overwrites = opaque && info->opacity >= 1 && !effects && !keyPending && stroke == 0;
  if (info->fillsTarget || overwrites)
    gl->glDisable(GL_BLEND);
  else
    gl->glEnable(GL_BLEND);
  gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  if (renderer->depthTestOnTarget && targetDepth) {
    gl->glEnable(GL_DEPTH_TEST);
    gl->glClear(GL_DEPTH_BUFFER_BIT);
  }

  // A program that cannot be built shows nothing of the content; the frame is still drawn.
  if (program) {
    gl->glUseProgram(program);
    _bindPicture(table, kind, textureTarget, texture, texture2, texture3);
    if (kind == kAVTextureYUV422)
      gl->glUniform1f(table[kSlotPictureWidth], float(textureWidth));
    gl->glUniform1f(table[kSlotOpacity], info->opacity);
    if (border > 0)
      uploadDrawVertices(renderer, kVertexInner, inner, innerTex, innerCount);
    else
      uploadDrawVertices(renderer, kVertexLayer, outer, outerTex, outerCount);
    _setMatrix(table, kSlotRenderTransform, M);
    setProjection(table, W, H);
    if (effects)
      setEffectUniforms(table, &info->effectFlags, info->effectParameters, float(pictureWidth), float(pictureHeight));
    if (info->effectFlags.on[kEffectGaussianBlur]) {
      gl->glUniform1f(table[kSlotTexelWidthOffset], 0);
      gl->glUniform1f(table[kSlotTexelHeightOffset], 1.0f / float(pictureHeight));
    }
    if (keyPending) {
      gl->glUniform1f(table[kSlotThresholdSensitivity], info->keySensitivity);
      gl->glUniform1f(table[kSlotSmoothing], info->keySmoothing);
      gl->glUniform3f(table[kSlotColorToReplace], info->keyColor[0], info->keyColor[1], info->keyColor[2]);
    }
    if (effects || keyPending || stroke > 0) {
      gl->glUniform1f(table[kSlotTexelWidth], stroke / float(pictureWidth));
      gl->glUniform1f(table[kSlotTexelHeight], stroke / float(pictureHeight));
      gl->glUniform1f(table[kSlotStrokeTolerance], info->strokeTolerance);
      gl->glUniform1f(table[kSlotStrokeStrength], info->strokeStrength);
      gl->glUniform4fv(table[kSlotStrokeColor], 1, info->borderColor);
    }
    gl->glDrawArrays(GL_TRIANGLE_FAN, 0, border > 0 ? innerCount : outerCount);
  }
  gl->glEnable(GL_BLEND);

  gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  if (border > 0) {
    const AVGLProgram &frame = renderer->fixed[kProgramMainBorder];
    gl->glUseProgram(frame.program);
    uploadDrawVertices(renderer, kVertexBorder, strip, stripTex, stripCount);
    _setMatrix(frame.slotTable, kSlotRenderTransform, M);
    setProjection(frame.slotTable, W, H);
    gl->glUniform1f(frame.slotTable[kSlotOpacity], info->opacity);
    gl->glUniform4fv(frame.slotTable[kSlotDrawBorderColor], 1, info->borderColor);
    gl->glDrawArrays(GL_TRIANGLE_STRIP, 0, stripCount);
  }
  gl->glDisable(GL_DEPTH_TEST);
  if (info->shadowOpacity > 0) {
    const float ox = info->shadowOffset[0], oy = info->shadowOffset[1];
    AVShadowInput shadow{W, H, M, outer, outerTex, outerCount, inner, innerTex, innerCount, strip, stripTex, stripCount,
                         border, stroke, kind, textureTarget, texture, float(pictureWidth), float(pictureHeight),
                         targetDepth, {ox, oy}, opaque};
    switch (info->rotation) { // the offset carried over to the texture's axes
    case 90:
      shadow.shift[0] = oy;
      shadow.shift[1] = -ox;
      break;
    case 180:
      shadow.shift[0] = -ox;
      shadow.shift[1] = -oy;
      break;
    case 270:
      shadow.shift[0] = -oy;
      shadow.shift[1] = ox;
      break;
    default:
      break;
    }
    drawLayerShadow(renderer, shadow, info);
  }
  gl->glBindVertexArray(0);
  gl->glActiveTexture(GL_TEXTURE0);
}

void drawLayerTexture(AVGLRenderer *renderer, const AVTexture *texture, uint32_t pictureWidth, uint32_t pictureHeight,
                      const void *info, bool flush)
{
  if (!texture)
    return;
  if (!renderer->target) {
    const auto *viewport = static_cast<const float *>(info);
    drawFill(renderer, int(viewport[1]), int(viewport[2]), texture);
  } else {
    drawLayerTextureInTarget(renderer, texture, pictureWidth, pictureHeight, static_cast<const AVLayerRenderInfo *>(info),
                             false);
  }
  _flush(flush);
}

void drawLayerTextureInTarget(AVGLRenderer *renderer, const AVTexture *texture, uint32_t pictureWidth,
                              uint32_t pictureHeight, const AVLayerRenderInfo *info, bool flush)
{
  AVFrameBuffer *target = renderer->target;
  if (!texture || !target)
    return;
  drawLayer(renderer, frameBufferWidth(target), frameBufferHeight(target), texture->target, texture->texture, 0, 0,
            texture->kind, texture->width, texture->height, pictureWidth ? pictureWidth : texture->width,
            pictureHeight ? pictureHeight : texture->height, target->depth, info);
  _flush(flush);
}

void drawLayerPlanes(AVGLRenderer *renderer, const AVTexture *luma, const AVTexture *plane2, const AVTexture *plane3,
                     uint32_t pictureWidth, uint32_t pictureHeight, const AVLayerRenderInfo *info, bool flush)
{
  AVFrameBuffer *target = renderer->target;
  if (!luma || !target)
    return;
  if ((luma->kind == kAVTextureYUV420 && (!plane2 || !plane3)) || (luma->kind == kAVTextureNV12 && !plane2))
    return;
  drawLayer(renderer, frameBufferWidth(target), frameBufferHeight(target), luma->target, luma->texture,
            plane2 ? plane2->texture : 0, plane3 ? plane3->texture : 0, luma->kind, luma->width, luma->height,
            pictureWidth ? pictureWidth : luma->width, pictureHeight ? pictureHeight : luma->height, target->depth, info);
  _flush(flush);
}

void drawFill(AVGLRenderer *renderer, int width, int height, const AVTexture *texture)
{
  const float coordinates[8] = {0, 1, 1, 1, 0, 0, 1, 0};
  _fillQuad(renderer, kProgramFill, kVertexFill, width, height, texture, coordinates, true);
  _drawQuad();
}

void drawRGBToYUV(AVGLRenderer *renderer, int width, int height, const AVTexture *texture)
{
  const float coordinates[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  _fillQuad(renderer, kProgramRGBToYUV, kVertexRGBToYUV, width, height, texture, coordinates, false);
  const AVGLProgram &program = renderer->fixed[kProgramRGBToYUV];
  avGL()->glUniform1f(program.slotTable[kSlotWidth], float(width));
  avGL()->glUniform1f(program.slotTable[kSlotHeight], float(height));
  _drawQuad();
}

void drawFXAA(AVGLRenderer *renderer, int width, int height, const AVTexture *texture, float textureWidth,
              float textureHeight)
{
  const float coordinates[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  _fillQuad(renderer, kProgramFXAAFill, kVertexFXAA, width, height, texture, coordinates, true);
  const AVGLProgram &program = renderer->fixed[kProgramFXAAFill];
  avGL()->glUniform1f(program.slotTable[kSlotRtW], textureWidth);
  avGL()->glUniform1f(program.slotTable[kSlotRtH], textureHeight);
  _drawQuad();
}

void drawTiled(AVGLRenderer *renderer, int width, int height, const AVTexture *texture, float textureWidth,
               float textureHeight, bool tenfold)
{
  const float sw = tenfold ? 10 : float(width) / textureWidth;
  const float th = tenfold ? 10 : float(height) / textureHeight;
  const float coordinates[8] = {0, th, sw, th, 0, 0, sw, 0};
  _fillQuad(renderer, kProgramFill, kVertexFill, width, height, texture, coordinates, true);
  _drawQuad();
}

void drawTextureRGBToYUV(AVGLRenderer *renderer, const AVTexture *texture, bool flush)
{
  if (!texture || !renderer->target)
    return;
  drawRGBToYUV(renderer, frameBufferWidth(renderer->target), frameBufferHeight(renderer->target), texture);
  _flush(flush);
}

void drawBackgroundTexture(AVGLRenderer *renderer, const AVTexture *texture, int width, int height, bool flush)
{
  if (!texture)
    return;
  drawTiled(renderer, width, height, texture, float(texture->width), float(texture->height), false);
  _flush(flush);
}

void drawTextureFXAA(AVGLRenderer *renderer, const AVTexture *texture, const float *viewport, bool flush)
{
  if (!texture)
    return;
  const int width = renderer->target ? frameBufferWidth(renderer->target) : int(viewport[1]);
  const int height = renderer->target ? frameBufferHeight(renderer->target) : int(viewport[2]);
  drawFXAA(renderer, width, height, texture, float(texture->width), float(texture->height));
  _flush(flush);
}
