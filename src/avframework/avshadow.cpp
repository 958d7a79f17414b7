#include "avshadow.h"

#include "avcommon.h"
#include "avglglue.h"
#include "avglresources.h"
#include "avlayerdraw.h"

#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kShadowTextBuffer = 8 * 1024;
// Coordinate pairs the vertex stage computes; the rest are sampled by the fragment stage.
constexpr int kVertexPairs = 7;
// The least blur radius, in pixels of the reduced size, that a shadow is blurred at a fraction of
// the frame's size with: wider blurs lose nothing visible there, and cost a fraction of the taps
// on a fraction of the pixels. At 3 a soft shadow of 1% of a 720p frame's width is blurred at
// a quarter of the size, which halves the cost of a shadowed layer in a software renderer.
constexpr int kLeastReducedRadius = 3;

// Appends printf-style text to a fixed buffer, stopping (and remembering) where it is full.
class _TextWriter
{
public:
  _TextWriter(char *buffer, int capacity) : _buffer(buffer), _capacity(capacity)
  {
    if (capacity > 0)
      buffer[0] = 0;
    else
      _full = true;
  }
  void add(const char *format, ...) __attribute__((format(printf, 2, 3)))
  {
    if (_full)
      return;
    va_list arguments;
    va_start(arguments, format);
    const int room = _capacity - _length;
    const int written = vsnprintf(_buffer + _length, size_t(room), format, arguments);
    va_end(arguments);
    if (written < 0 || written >= room) {
      _buffer[_length] = 0; // keep only whole pieces
      _full = true;
      return;
    }
    _length += written;
  }
  int result() const { return _full ? -1 : _length; }

private:
  char *_buffer;
  int _capacity;
  int _length = 0;
  bool _full = false;
};

// "%f" in any locale: shader text wants a decimal point where the user's locale may write a comma.
std::string _fixed(double value)
{
  char digits[64];
  const std::to_chars_result result = std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::fixed, 6);
  return std::string(digits, result.ec == std::errc() ? result.ptr : digits);
}

// Normalised Gaussian weights 0 .. taps, with one zero beyond for an odd tap count.
std::vector<float> _weights(int taps, double sigma)
{
  std::vector<float> weights(size_t(std::max(taps, 0)) + 2, 0.0f);
  float sum = 0;
  for (int i = 0; i <= taps; ++i) {
    weights[size_t(i)] = float(std::exp(-double(i * i) / (2 * sigma * sigma)) / std::sqrt(2 * M_PI * sigma * sigma));
    sum += (i == 0 ? 1 : 2) * weights[size_t(i)];
  }
  for (int i = 0; i <= taps; ++i)
    weights[size_t(i)] /= sum;
  return weights;
}

int _allPairs(int taps)
{
  return taps / 2 + taps % 2;
}

int _vertexPairs(int taps)
{
  return std::min(_allPairs(taps), kVertexPairs);
}

// Weight and offset of the k-th pair of taps, two texels sampled as one between them.
float _pairWeight(const std::vector<float> &w, int k)
{
  return w[size_t(2 * k + 1)] + w[size_t(2 * k + 2)];
}

float _pairOffset(const std::vector<float> &w, int k)
{
  const float first = w[size_t(2 * k + 1)], second = w[size_t(2 * k + 2)];
  return (float(2 * k + 1) * first + float(2 * k + 2) * second) / (first + second);
}

void _bindTexture(GLenum unit, GLenum target, GLuint texture)
{
  avGL()->glActiveTexture(unit);
  avGL()->glBindTexture(target, texture);
}

// The layer's footprint with the program family of its kind and outline, and its border strip.
void _drawFootprint(AVGLRenderer *renderer, const AVShadowInput &in, const AVLayerRenderInfo *info,
                    AVFixedProgram plain, AVFixedProgram solid, AVFixedProgram outlined, const float *model)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  // An opaque picture covers its polygons whole, with or without an outline: the solid program
  // writes the same without reading the picture.
  const AVFixedProgram which = in.kind != 0 || in.opaque ? solid : in.stroke > 0 ? outlined : plain;
  const AVGLProgram &program = renderer->fixed[which];
  gl->glUseProgram(program.program);
  if (in.border > 0)
    uploadDrawVertices(renderer, kVertexInner, in.inner, in.innerCoordinates, in.innerCount);
  else
    uploadDrawVertices(renderer, kVertexLayer, in.outer, in.outerCoordinates, in.outerCount);
  setRenderTransform(program.slotTable, model);
  setProjection(program.slotTable, in.width, in.height);
  if (which != solid) {
    _bindTexture(GL_TEXTURE1, in.textureTarget, in.texture);
    gl->glUniform1i(program.slotTable[kSlotSampler], 1);
  }
  if (which == outlined) {
    gl->glUniform1f(program.slotTable[kSlotTexelWidth], in.stroke / in.pictureWidth);
    gl->glUniform1f(program.slotTable[kSlotTexelHeight], in.stroke / in.pictureHeight);
    gl->glUniform1f(program.slotTable[kSlotStrokeTolerance], info->strokeTolerance);
    gl->glUniform1f(program.slotTable[kSlotStrokeStrength], info->strokeStrength);
  }
  gl->glDrawArrays(GL_TRIANGLE_FAN, 0, in.border > 0 ? in.innerCount : in.outerCount);
  if (in.border > 0) {
    const AVGLProgram &frame = renderer->fixed[solid];
    gl->glUseProgram(frame.program);
    uploadDrawVertices(renderer, kVertexBorder, in.strip, in.stripCoordinates, in.stripCount);
    setRenderTransform(frame.slotTable, model);
    setProjection(frame.slotTable, in.width, in.height);
    gl->glDrawArrays(GL_TRIANGLE_STRIP, 0, in.stripCount);
  }
}

// Binds an offscreen framebuffer of the frame's size divided by reduction for a pass; on
// failure logs, goes back to `bound` and says so.
bool _beginPass(AVGLRenderer *renderer, AVOffscreenUse use, GLenum unit, const AVShadowInput &in, GLint bound,
                const char *failure, int reduction = 1)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  const int width = in.width / reduction, height = in.height / reduction;
  const uint32_t status = bindOffscreenTarget(renderer, use, unit, width, height);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    avLog(failure, status);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, GLuint(bound));
    return false;
  }
  gl->glViewport(0, 0, width, height);
  return true;
}

// The size division a shadow of this radius is blurred at: 4, 2 or 1.
int _blurReduction(const AVGLRenderer *renderer, int radius, int width, int height)
{
  if (renderer->fullSizeShadowBlur)
    return 1;
  for (int reduction : {4, 2})
    if (radius >= kLeastReducedRadius * reduction && width % reduction == 0 && height % reduction == 0)
      return reduction;
  return 1;
}

// The box in pixels of the size divided by reduction, rounded outwards.
std::array<int, 4> _reducedBox(const std::array<int, 4> &box, int reduction)
{
  const auto down = [reduction](int v) { return v >= 0 ? v / reduction : -((-v + reduction - 1) / reduction); };
  return {down(box[0]), down(box[1]), -down(-box[2]), -down(-box[3])};
}

// The pixels (x0, y0, x1, y1) that the offset footprint covers: the outer polygon holds the
// picture, its frame and its outline.
std::array<int, 4> _footprintBox(const AVShadowInput &in, const float *m)
{
  float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
  for (int i = 0; i < in.outerCount; ++i) {
    const float px = in.outer[2 * i], py = in.outer[2 * i + 1];
    const float x = m[0] * px + m[4] * py + m[12], y = m[1] * px + m[5] * py + m[13];
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
  }
  const float w = float(in.width) / 2, h = float(in.height) / 2;
  return {int(std::floor(x0 + w)) - 1, int(std::floor(y0 + h)) - 1, int(std::ceil(x1 + w)) + 1,
          int(std::ceil(y1 + h)) + 1};
}

// Limits drawing to the box widened by (dx, dy); the blur passes cost per pixel, and nothing
// of the shadow lies outside.
void _scissor(const std::array<int, 4> &box, int dx, int dy)
{
  avGL()->glEnable(GL_SCISSOR_TEST);
  avGL()->glScissor(box[0] - dx, box[1] - dy, box[2] - box[0] + 2 * dx, box[3] - box[1] + 2 * dy);
}

// Where a shadow can show, in the centred pixel space: the offset footprint's rectangle in the
// layer's own space, each side pushed out past every pixel the blur along the frame's axes
// reaches; with an opaque picture, holes inside the layer itself, where the depth texture lets
// nothing through. Blending nothing leaves a pixel as it was, and every blur pass leaves zeros
// outside, so drawing only there gives the same frame as quads over the whole box, at a fraction
// of the pixels a software renderer shades.
struct _ShadowArea
{
  bool valid = false;  // false when the layer is seen (nearly) edge-on: the whole box is simpler
  bool opaque = false; // an upright opaque layer: holes may be cut inside it
  float outer[8];
  float rect[4]; // the polygons' rectangle in the layer's own space: x0, y0, x1, y1
  float det, across, along;
};

// A corner (k from 0 to 3, counter-clockwise from the low one) of the rectangle x0, y0, x1, y1
// placed by the matrix.
void _placeCorner(const float *matrix, const float *rect, int k, float *out)
{
  const float x = k == 1 || k == 2 ? rect[2] : rect[0], y = k >= 2 ? rect[3] : rect[1];
  out[0] = matrix[0] * x + matrix[4] * y + matrix[12];
  out[1] = matrix[1] * x + matrix[5] * y + matrix[13];
}

// The layer's rectangle widened (negative: narrowed) in its own space so that a square of
// half-side `square` pixels on the frame's axes, stretched up and down by `tall` more, around
// any point of an edge stays outside (inside) it, plus `spare` pixels.
void _widened(const _ShadowArea &area, const float *m, float square, float spare, float *rect, float tall = 0)
{
  const float dx = (square * (std::abs(m[4]) + std::abs(m[5])) + spare * area.along + tall * std::abs(m[4])) /
                   std::abs(area.det);
  const float dy = (square * (std::abs(m[0]) + std::abs(m[1])) + spare * area.across + tall * std::abs(m[0])) /
                   std::abs(area.det);
  rect[0] = area.rect[0] - dx;
  rect[1] = area.rect[1] - dy;
  rect[2] = area.rect[2] + dx;
  rect[3] = area.rect[3] + dy;
}

_ShadowArea _shadowArea(const AVShadowInput &in, const float *shifted, float reach)
{
  _ShadowArea area;
  const float *m = in.model;
  const float a = m[0], b = m[4], c = m[1], d = m[5];
  area.det = a * d - b * c;
  area.across = std::hypot(a, c);
  area.along = std::hypot(b, d);
  if (std::abs(area.det) < 0.01f * std::max(area.across * area.along, 1e-6f) || std::abs(area.det) < 1e-4f ||
      in.outerCount < 3)
    return area;
  area.rect[0] = area.rect[1] = 1e30f;
  area.rect[2] = area.rect[3] = -1e30f;
  for (int i = 0; i < in.outerCount; ++i) {
    area.rect[0] = std::min(area.rect[0], in.outer[2 * i]);
    area.rect[2] = std::max(area.rect[2], in.outer[2 * i]);
    area.rect[1] = std::min(area.rect[1], in.outer[2 * i + 1]);
    area.rect[3] = std::max(area.rect[3], in.outer[2 * i + 1]);
  }
  // A side along the layer's y axis moves |det| / along on screen per unit of x, and a square of
  // half-side reach sticks out past it by reach (|n.x| + |n.y|); two pixels spare for rounding.
  float widened[4];
  _widened(area, m, reach, 2, widened);
  for (int k = 0; k < 4; ++k)
    _placeCorner(shifted, widened, k, area.outer + 2 * k);
  // A tilted layer may lose part of itself to the depth range: no hole.
  area.opaque = in.opaque && m[2] == 0 && m[6] == 0;
  area.valid = true;
  return area;
}

// A hole inside an opaque layer: its rectangle less two pixels, then less a square of
// half-side `square` pixels stretched up and down by `tall`, with the corners cut along the
// chords of the rounded corners (the polygon holds each chord, and the half-planes past them
// move in by the square too).
struct _Hole
{
  float rect[4];   // in the layer's space: x0, y0, x1, y1
  float cut;       // how far from each corner of rect the cut meets its sides
  float frame[16]; // the eight corners on the frame, two per corner of rect, in the rect's order
};

// False when there is none.
bool _hole(const _ShadowArea &area, const AVShadowInput &in, float cornerRadius, float square, _Hole *hole,
           float tall = 0)
{
  if (!area.valid || !area.opaque)
    return false;
  float *kept = hole->rect;
  _widened(area, in.model, -square, -2, kept, -tall);
  const float w = area.rect[2] - area.rect[0], h = area.rect[3] - area.rect[1];
  hole->cut = cornerRadius > 0 ? std::min(cornerRadius, std::min(w / 2, h / 2)) : 0;
  if (kept[2] - kept[0] <= 2 * hole->cut || kept[3] - kept[1] <= 2 * hole->cut)
    return false;
  const auto corner = [kept](int k, float *out) {
    out[0] = k == 1 || k == 2 ? kept[2] : kept[0];
    out[1] = k >= 2 ? kept[3] : kept[1];
  };
  for (int k = 0; k < 4; ++k) {
    // The corner moved by the cut towards the corner before it, then towards the one after it.
    float at[2], neighbours[2][2];
    corner(k, at);
    corner((k + 3) % 4, neighbours[0]);
    corner((k + 1) % 4, neighbours[1]);
    for (int i = 0; i < 2; ++i) {
      float point[2];
      for (int axis = 0; axis < 2; ++axis) {
        const float step = neighbours[i][axis] - at[axis];
        point[axis] = at[axis] + (step > 0 ? hole->cut : step < 0 ? -hole->cut : 0);
      }
      float *out = hole->frame + 4 * k + 2 * i;
      out[0] = in.model[0] * point[0] + in.model[4] * point[1] + in.model[12];
      out[1] = in.model[1] * point[0] + in.model[5] * point[1] + in.model[13];
    }
  }
  // Every corner on the inner side of each outer edge, or no hole.
  for (int k = 0; k < 8; ++k)
    for (int e = 0; e < 4; ++e) {
      const float *p = area.outer + 2 * e, *q = area.outer + 2 * ((e + 1) % 4), *r = hole->frame + 2 * k;
      if (((q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])) * area.det <= 0)
        return false;
    }
  return true;
}

// Uploads the quad `outer` (the whole frame when null) less `hole` (when not null) as triangles
// with texture coordinates over the frame, with the identity model and the projection; returns
// the vertex count. Per corner: the triangle to the cut, then the trapezoid to the next corner,
// all wound as the quad is, so that culling treats them as the layer.
int _drawArea(AVGLRenderer *renderer, const int32_t *slotTable, const float *outer, const _Hole *hole, int width,
              int height)
{
  const float w = float(width) / 2, h = float(height) / 2;
  const float frame[8] = {-w, -h, w, -h, w, h, -w, h};
  if (!outer)
    outer = frame;
  float positions[72], coordinates[72];
  int count = 0;
  const auto add = [&](const float *point) {
    positions[2 * count] = point[0];
    positions[2 * count + 1] = point[1];
    coordinates[2 * count] = point[0] / float(width) + 0.5f;
    coordinates[2 * count + 1] = point[1] / float(height) + 0.5f;
    ++count;
  };
  if (hole) {
    for (int k = 0; k < 4; ++k) {
      const float *corner = outer + 2 * k, *next = outer + 2 * ((k + 1) % 4);
      const float *before = hole->frame + 4 * k, *after = before + 2, *nextBefore = hole->frame + 4 * ((k + 1) % 4);
      for (const float *point : {corner, after, before, corner, next, after, after, next, nextBefore})
        add(point);
    }
  } else {
    for (int k : {0, 1, 3, 1, 2, 3})
      add(outer + 2 * k);
  }
  uploadDrawVertices(renderer, kVertexShadow, positions, coordinates, count);
  float identity[16];
  identityMatrix(identity);
  setRenderTransform(slotTable, identity);
  setProjection(slotTable, width, height);
  return count;
}

// The layer's polygon drawn solid by the program with the model, as a band from its outline in
// to where the rays from the middle of the hole `rect`, `cut` (in the model's space, inside the
// polygon) meet the hole. Its outline is the polygon's own, so the pixels it sets there are
// those the whole polygon sets.
void _drawPolygonBand(AVGLRenderer *renderer, const AVShadowInput &in, AVFixedProgram which, const float *model,
                      const float *rect, float cut)
{
  // The hole's eight sides as a x + b y <= e.
  const float sides[8][3] = {{-1, 0, -rect[0]}, {1, 0, rect[2]}, {0, -1, -rect[1]}, {0, 1, rect[3]},
                             {-1, -1, -(rect[0] + rect[1] + cut)}, {1, -1, rect[2] - rect[1] - cut},
                             {1, 1, rect[2] + rect[3] - cut}, {-1, 1, rect[3] - rect[0] - cut}};
  const float cx = (rect[0] + rect[2]) / 2, cy = (rect[1] + rect[3]) / 2;
  std::vector<float> strip(size_t(in.outerCount + 1) * 4);
  for (int i = 0; i <= in.outerCount; ++i) {
    const float x = in.outer[2 * (i % in.outerCount)], y = in.outer[2 * (i % in.outerCount) + 1];
    float t = 1;
    for (const auto &side : sides) {
      const float towards = side[0] * (x - cx) + side[1] * (y - cy);
      if (towards > 0)
        t = std::min(t, (side[2] - side[0] * cx - side[1] * cy) / towards);
    }
    float *v = strip.data() + 4 * i;
    v[0] = x;
    v[1] = y;
    v[2] = cx + t * (x - cx);
    v[3] = cy + t * (y - cy);
  }
  const AVGLProgram &program = renderer->fixed[which];
  avGL()->glUseProgram(program.program);
  uploadDrawVertices(renderer, kVertexLayer, strip.data(), strip.data(), 2 * (in.outerCount + 1));
  setRenderTransform(program.slotTable, model);
  setProjection(program.slotTable, in.width, in.height);
  avGL()->glDrawArrays(GL_TRIANGLE_STRIP, 0, 2 * (in.outerCount + 1));
}

// The depth pass where the composite reads it: red 1 over the band between `around` and the
// hole, then the footprint's band down to the hole.
void _drawDepthBand(AVGLRenderer *renderer, const AVShadowInput &in, const float *around, const _Hole &hole)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  const AVGLProgram &fill = renderer->fixed[kProgramMainBorder];
  gl->glUseProgram(fill.program);
  const int count = _drawArea(renderer, fill.slotTable, around, &hole, in.width, in.height);
  gl->glUniform1f(fill.slotTable[kSlotOpacity], 1);
  gl->glUniform4f(fill.slotTable[kSlotDrawBorderColor], 1, 0, 0, 1);
  gl->glDrawArrays(GL_TRIANGLES, 0, count);
  _drawPolygonBand(renderer, in, kProgramShadowDepthBorder, in.model, hole.rect, hole.cut);
}

void _clear(float red)
{
  avGL()->glClearColor(red, 0, 0, red);
  avGL()->glClear(GL_COLOR_BUFFER_BIT);
}
} // namespace

int shadowBlurTaps(int radius, double *sigma, int reduction)
{
  // The tap count reaches its peak at this sigma and falls to nothing at about 102.1, past
  // which the term under the root turns negative.
  static const double kSoftest = std::exp(-0.5) * 256 / std::sqrt(2 * M_PI);
  auto term = [](double s) { return -2 * s * s * std::log(std::sqrt(2 * M_PI * s * s) / 256); };
  double s = double(std::max(radius, 1));
  if (!(term(s) >= 1))
    s = kSoftest;
  int taps = int(std::floor(std::sqrt(term(s))));
  if (taps % 2)
    ++taps;
  if (reduction > 1) {
    taps = (taps + reduction - 1) / reduction;
    taps += taps % 2;
    s /= reduction;
  }
  *sigma = s;
  return taps;
}

int buildShadowBlurVertexShader(int taps, double sigma, char *buffer, int capacity)
{
  const std::vector<float> w = _weights(taps, sigma);
  const int pairs = _vertexPairs(taps);
  _TextWriter text(buffer, capacity);
  text.add("#version 100\n"
           "attribute vec4 position;\n"
           "attribute vec4 texCoord;\n"
           "uniform mat4 renderTransform;\n"
           "uniform mat4 projectionTransform;\n"
           "uniform float texelWidthOffset;\n"
           "uniform float texelHeightOffset;\n"
           "varying vec2 blurCoordinates[%d];\n"
           "void main()\n"
           "{\n"
           "  gl_Position = projectionTransform * renderTransform * position;\n"
           "  vec2 singleStepOffset = vec2(texelWidthOffset, texelHeightOffset);\n"
           "  blurCoordinates[0] = texCoord.xy;\n",
           2 * pairs + 1);
  for (int k = 0; k < pairs; ++k) {
    const float offset = _pairOffset(w, k);
    text.add("  blurCoordinates[%d] = texCoord.xy + singleStepOffset * %s;\n", 2 * k + 1, _fixed(offset).c_str());
    text.add("  blurCoordinates[%d] = texCoord.xy - singleStepOffset * %s;\n", 2 * k + 2, _fixed(offset).c_str());
  }
  text.add("}\n");
  return text.result();
}

int buildShadowBlurFragmentShader(int taps, double sigma, bool composite, char *buffer, int capacity)
{
  const std::vector<float> w = _weights(taps, sigma);
  const int pairs = _vertexPairs(taps), all = _allPairs(taps);
  _TextWriter text(buffer, capacity);
  text.add("#version 100\n"
           "precision highp float;\n"
           "uniform sampler2D shadowSampler;\n"
           "uniform highp float texelWidthOffset;\n"
           "uniform highp float texelHeightOffset;\n");
  if (composite)
    text.add("uniform sampler2D depthSampler;\n"
             "uniform lowp float opacity;\n"
             "uniform lowp float drawShadowOpacity;\n"
             "uniform lowp vec4 drawShadowColor;\n");
  text.add("varying highp vec2 blurCoordinates[%d];\n"
           "vec4 gaussianBlurColorPass(sampler2D source)\n"
           "{\n"
           "  vec4 sum = vec4(0.0);\n"
           "  sum += texture2D(source, blurCoordinates[0]) * %s;\n",
           2 * pairs + 1, _fixed(w[0]).c_str());
  for (int k = 0; k < pairs; ++k) {
    const std::string weight = _fixed(_pairWeight(w, k));
    text.add("  sum += texture2D(source, blurCoordinates[%d]) * %s;\n", 2 * k + 1, weight.c_str());
    text.add("  sum += texture2D(source, blurCoordinates[%d]) * %s;\n", 2 * k + 2, weight.c_str());
  }
  if (all > pairs) {
    text.add("  highp vec2 singleStepOffset = vec2(texelWidthOffset, texelHeightOffset);\n");
    for (int k = pairs; k < all; ++k) {
      const std::string weight = _fixed(_pairWeight(w, k)), offset = _fixed(_pairOffset(w, k));
      text.add("  sum += texture2D(source, blurCoordinates[0] + singleStepOffset * %s) * %s;\n", offset.c_str(),
               weight.c_str());
      text.add("  sum += texture2D(source, blurCoordinates[0] - singleStepOffset * %s) * %s;\n", offset.c_str(),
               weight.c_str());
    }
  }
  text.add("  return sum;\n"
           "}\n"
           "void main()\n"
           "{\n");
  if (composite)
    text.add("  lowp float colorAlpha = gaussianBlurColorPass(shadowSampler).a;\n"
             "  lowp float d = texture2D(depthSampler, blurCoordinates[0]).r;\n"
             "  lowp float opacity2 = drawShadowOpacity * colorAlpha * opacity * d;\n"
             "  gl_FragColor = vec4(drawShadowColor.rgb * opacity2, opacity2);\n");
  else
    text.add("  gl_FragColor = gaussianBlurColorPass(shadowSampler);\n");
  text.add("}\n");
  return text.result();
}

bool shadowBlurPrograms(AVGLRenderer *renderer, int radius, uint32_t *blurProgram, const int32_t **blurSlots,
                        uint32_t *compositeProgram, const int32_t **compositeSlots, int reduction)
{
  AVShadowBlurList &list = renderer->shadowBlur;
  AVShadowBlurPrograms *entry = nullptr;
  bool built = true;
  for (int i = 0; i < list.count && !entry; ++i)
    if (list.programs[i].radius == radius && list.programs[i].reduction == reduction)
      entry = &list.programs[i];
  if (!entry) {
    entry = appendProgramEntry(list);
    if (!entry)
      return false;
    const double started = avWallClock();
    entry->radius = radius;
    entry->reduction = reduction;
    std::fill(entry->blurSlots, entry->blurSlots + kAVUniformSlots, -1);
    std::fill(entry->compositeSlots, entry->compositeSlots + kAVUniformSlots, -1);
    std::vector<char> vertex(kShadowTextBuffer), fragment(kShadowTextBuffer);
    std::string vertexText, fragmentText;
    if (radius >= 1) {
      double sigma = 0;
      const int taps = shadowBlurTaps(radius, &sigma, reduction);
      built = buildShadowBlurVertexShader(taps, sigma, vertex.data(), kShadowTextBuffer) > 0 &&
              buildShadowBlurFragmentShader(taps, sigma, false, fragment.data(), kShadowTextBuffer) > 0;
      const int blurSlotList[] = {kSlotRenderTransform, kSlotProjectionTransform, kSlotShadowSampler,
                                  kSlotTexelWidthOffset, kSlotTexelHeightOffset};
      entry->blurProgram =
        built ? buildSlotProgram(vertex.data(), fragment.data(), blurSlotList, 5, entry->blurSlots, false) : 0;
      built = built && buildShadowBlurFragmentShader(taps, sigma, true, fragment.data(), kShadowTextBuffer) > 0;
      vertexText = vertex.data();
      fragmentText = fragment.data();
    } else {
      vertexText = readShaderText("vertex.glsl", kShadowTextBuffer);
      fragmentText = readShaderText("fragment_shadow_step_2_no_blur.glsl", kShadowTextBuffer);
    }
    const int compositeSlotList[] = {kSlotRenderTransform, kSlotProjectionTransform, kSlotShadowSampler,
                                     kSlotDepthSampler, kSlotOpacity, kSlotDrawShadowOpacity, kSlotDrawShadowColor,
                                     kSlotTexelWidthOffset, kSlotTexelHeightOffset};
    const int compositeCount = radius >= 1 ? 9 : 7;
    entry->compositeProgram = built && !vertexText.empty() && !fragmentText.empty()
                                ? buildSlotProgram(vertexText.c_str(), fragmentText.c_str(), compositeSlotList,
                                                   compositeCount, entry->compositeSlots, false)
                                : 0;
    avLog("load shadow blur (radius %d / %d) program time: %f", radius, reduction, avWallClock() - started);
  }
  if (blurProgram)
    *blurProgram = entry->blurProgram;
  if (blurSlots)
    *blurSlots = entry->blurSlots;
  if (compositeProgram)
    *compositeProgram = entry->compositeProgram;
  if (compositeSlots)
    *compositeSlots = entry->compositeSlots;
  return entry->compositeProgram != 0 && (radius < 1 || entry->blurProgram != 0);
}

void drawLayerShadow(AVGLRenderer *renderer, const AVShadowInput &in, const AVLayerRenderInfo *info)
{
  QOpenGLFunctions_3_2_Core *gl = avGL();
  GLint bound = 0;
  gl->glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  gl->glDisable(GL_DEPTH_TEST);
  gl->glDisable(GL_BLEND);

  float shifted[16];
  identityMatrix(shifted);
  translateMatrix(shifted, in.shift[0], in.shift[1], 0);
  multiplyMatrix(shifted, in.model);
  const int radius = int(info->shadowRadius);
  const int reduction = _blurReduction(renderer, radius, in.width, in.height);
  double sigma = 0;
  const int reach = radius >= 1 ? shadowBlurTaps(radius, &sigma, reduction) + 2 : 1;
  const std::array<int, 4> box = _footprintBox(in, shifted), smallBox = _reducedBox(box, reduction);
  // Every pass reads only near the footprint, so each clears only there: whole-frame clears
  // cost milliseconds each in a software renderer.
  const auto clearNear = [&](const std::array<int, 4> &around, float red) {
    _scissor(around, 2 * reach, 2 * reach);
    _clear(red);
    avGL()->glDisable(GL_SCISSOR_TEST);
  };

  const _ShadowArea area = renderer->wholeShadowBox ? _ShadowArea() : _shadowArea(in, shifted, float(reach * reduction));
  // The composite's hole, and a hole for each blur pass that keeps clear of every texel the
  // next pass reads. The composite shades pixels a pixel into its hole (the samples of its
  // edge) and reads the last blur a texel of the reduced size around them, two pixels spare;
  // the vertical blur reads the horizontal one its taps up and down, and a texel across.
  _Hole compositeHole, verticalHole, horizontalHole;
  const bool composited = _hole(area, in, info->cornerRadius, 0, &compositeHole);
  const float nearComposite = float(reduction + 3);
  const bool vertical = reduction > 1 && _hole(area, in, info->cornerRadius, nearComposite, &verticalHole);
  const bool horizontal = _hole(area, in, info->cornerRadius, nearComposite + float(reduction > 1 ? reduction : 0),
                                &horizontalHole, float((reach - 1) * reduction));

  // Where the layer covers the frame, the shadow must not show: red 0 there. The composite
  // reads it only inside its own scissor box, and not inside its hole.
  uint32_t depth = in.targetDepth;
  if (!depth) {
    if (!_beginPass(renderer, kOffscreenDepth, GL_TEXTURE2, in, bound, "Failed to make complete depth framebuffer object %x"))
      return;
    _scissor(box, reach * reduction, reach * reduction);
    float band[8], widened[4];
    _Hole bandHole;
    if (composited && in.border == 0 && !gl->glIsEnabled(GL_CULL_FACE) &&
        _hole(area, in, info->cornerRadius, 2, &bandHole)) {
      _widened(area, in.model, float(reach * reduction) + 2, 2, widened);
      for (int k = 0; k < 4; ++k)
        _placeCorner(shifted, widened, k, band + 2 * k);
      _drawDepthBand(renderer, in, band, bandHole);
    } else {
      _clear(1);
      _drawFootprint(renderer, in, info, kProgramShadowDepth, kProgramShadowDepthBorder, kProgramShadowDepthStroke,
                     in.model);
    }
    gl->glDisable(GL_SCISSOR_TEST);
    depth = renderer->offscreen[kOffscreenDepth].texture;
  }

  // The footprint, offset in the layer's own space so the offset turns and scales with it.
  if (!_beginPass(renderer, kOffscreenShadow, GL_TEXTURE3, in, bound, "Failed to make complete shadow framebuffer object %x",
                  reduction))
    return;
  clearNear(smallBox, 0);
  // The horizontal blur reads it only around its own band, its taps across and a texel up and
  // down: inside the hole past those reads it may stay clear. The hole moves with the offset
  // footprint; it must stay inside it.
  _Hole read;
  const bool band =
    horizontal && in.border == 0 && !gl->glIsEnabled(GL_CULL_FACE) &&
    _hole(area, in, info->cornerRadius, nearComposite + float(reduction > 1 ? reduction : 0) + float(reach * reduction),
          &read, float((reach - 1) * reduction)) &&
    std::abs(in.shift[0]) < read.rect[0] - area.rect[0] && std::abs(in.shift[1]) < read.rect[1] - area.rect[1];
  if (band) {
    const float rect[4] = {read.rect[0] - in.shift[0], read.rect[1] - in.shift[1], read.rect[2] - in.shift[0],
                           read.rect[3] - in.shift[1]};
    _drawPolygonBand(renderer, in, kProgramShadowStep1Border, shifted, rect, read.cut);
  } else {
    _drawFootprint(renderer, in, info, kProgramShadowStep1, kProgramShadowStep1Border, kProgramShadowStep1Stroke,
                   shifted);
  }

  // A reduced blur runs both ways at its size and leaves the result in the shadow texture, which
  // the composite scales up without blurring further.
  uint32_t blur = 0, composite = 0;
  const int32_t *blurSlots = nullptr, *compositeSlots = nullptr;
  shadowBlurPrograms(renderer, radius, &blur, &blurSlots, &composite, &compositeSlots, reduction);
  if (reduction > 1)
    shadowBlurPrograms(renderer, 0, nullptr, nullptr, &composite, &compositeSlots);
  const auto blurPass = [&](AVOffscreenUse into, GLenum unit, AVOffscreenUse from, GLenum fromUnit, bool across) {
    if (!_beginPass(renderer, into, unit, in, bound, "Failed to make complete shadow blur framebuffer object %x",
                    reduction))
      return false;
    // The vertical pass draws over the footprint: what it leaves is the footprint's zeros around
    // it, or its hole, which nothing reads.
    if (across || !area.valid)
      clearNear(smallBox, 0);
    _scissor(smallBox, reach, across ? 0 : reach);
    gl->glUseProgram(blur);
    const _Hole *hole = across ? (horizontal ? &horizontalHole : nullptr) : (vertical ? &verticalHole : nullptr);
    const int count = _drawArea(renderer, blurSlots, area.valid ? area.outer : nullptr, hole, in.width, in.height);
    gl->glUniform1f(blurSlots[kSlotTexelWidthOffset], across ? float(reduction) / float(in.width) : 0);
    gl->glUniform1f(blurSlots[kSlotTexelHeightOffset], across ? 0 : float(reduction) / float(in.height));
    _bindTexture(fromUnit, GL_TEXTURE_2D, renderer->offscreen[from].texture);
    gl->glUniform1i(blurSlots[kSlotShadowSampler], int(fromUnit - GL_TEXTURE0));
    gl->glDrawArrays(GL_TRIANGLES, 0, count);
    gl->glDisable(GL_SCISSOR_TEST);
    return true;
  };
  // Horizontally into the blur texture; reduced, vertically back into the shadow texture.
  if (blur && !blurPass(kOffscreenShadowBlur, GL_TEXTURE4, kOffscreenShadow, GL_TEXTURE3, true))
    return;
  if (blur && reduction > 1 && !blurPass(kOffscreenShadow, GL_TEXTURE3, kOffscreenShadowBlur, GL_TEXTURE4, false))
    return;
  const bool blurredHere = blur && reduction == 1;

  // Vertically while compositing over the target.
  gl->glBindFramebuffer(GL_FRAMEBUFFER, GLuint(bound));
  gl->glViewport(0, 0, in.width, in.height);
  if (!composite)
    return;
  _scissor(box, reach * reduction, reach * reduction);
  gl->glUseProgram(composite);
  gl->glEnable(GL_BLEND);
  gl->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  const int count = _drawArea(renderer, compositeSlots, area.valid ? area.outer : nullptr,
                              composited ? &compositeHole : nullptr, in.width, in.height);
  if (blurredHere) {
    gl->glUniform1f(compositeSlots[kSlotTexelWidthOffset], 0);
    gl->glUniform1f(compositeSlots[kSlotTexelHeightOffset], 1.0f / float(in.height));
  }
  gl->glUniform1f(compositeSlots[kSlotDrawShadowOpacity], info->shadowOpacity);
  gl->glUniform4fv(compositeSlots[kSlotDrawShadowColor], 1, info->shadowColor);
  gl->glUniform1f(compositeSlots[kSlotOpacity], info->opacity);
  if (blurredHere) {
    _bindTexture(GL_TEXTURE4, GL_TEXTURE_2D, renderer->offscreen[kOffscreenShadowBlur].texture);
    gl->glUniform1i(compositeSlots[kSlotShadowSampler], 4);
  } else {
    _bindTexture(GL_TEXTURE3, GL_TEXTURE_2D, renderer->offscreen[kOffscreenShadow].texture);
    gl->glUniform1i(compositeSlots[kSlotShadowSampler], 3);
  }
  _bindTexture(GL_TEXTURE2, GL_TEXTURE_2D, depth);
  gl->glUniform1i(compositeSlots[kSlotDepthSampler], 2);
  // The area's winding follows the layer's: no face of it may be culled.
  const bool culling = gl->glIsEnabled(GL_CULL_FACE);
  gl->glDisable(GL_CULL_FACE);
  gl->glDrawArrays(GL_TRIANGLES, 0, count);
  if (culling)
    gl->glEnable(GL_CULL_FACE);
  gl->glDisable(GL_SCISSOR_TEST);
}
