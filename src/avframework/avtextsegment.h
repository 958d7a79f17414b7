#pragma once
// The caption layer: text, font, colours, outline and background band, rasterised into a
// picture when something changed. Its size on screen follows the text box in pixels, so the
// update turns the user's scale and anchor into what the renderer needs.

#include "avlayersegment.h"

#include <string>

// The text box against the render area: W × H, the box tw × th, the box after the user scale
// bw × bh, and the size fw × fh of its aspect fit into the render area.
struct AVTextFit
{
  float renderWidth, renderHeight;
  float boxWidth, boxHeight;
  float scaledWidth, scaledHeight;
  float fitWidth, fitHeight;
};

// How far an anchor moves the text's position (fractions of the render size).
vec2 textAnchorShift(const AVTextFit &fit, float anchorX, float anchorY);

class AVTextSegment : public AVLayerSegment
{
public:
  // text is UTF-8 or null; the box is the text image's size before the user scale.
  AVTextSegment(double start, double duration, const char *text, uint32_t boxWidth, uint32_t boxHeight,
                uint32_t renderWidth, uint32_t renderHeight);
  ~AVTextSegment() override;

  void sleep(bool exporting) override;
  void wake() override;
  void update(double time, bool pass, bool playing) override;
  bool isText() const override { return true; }
  bool paintedArea(float *topLeft, float *bottomRight) const override;
  void setPixelBuffer(AVPixelBuffer *buffer) override;
  void setScale(float x, float y) override;
  // The text's outline, in pixels.
  void setBorderWidth(float width) override;
  void setBorderColor(vec4 colour) override;
  void setCornerRadius(float radius) override;

  // GUI thread; each marks the picture for rendering again.
  void setText(const char *text);
  // Ignored unless the family is under 128 bytes; the style is kept unless under 32 bytes.
  void setFont(const char *family, const char *style);
  void setFontSize(float fraction);
  void setColor(vec4 colour);
  void setAlignment(int alignment);
  void setBackColor(vec4 colour);
  void setBackInset(float fraction);
  void setBackCorner(float corner);
  void setTextBoxSize(uint32_t width, uint32_t height);

  // The text as it stands, laid out in its box at a render width (a new buffer, or none).
  AVPixelBuffer *renderImage(uint32_t renderWidth) const;
  uint32_t boxWidth() const { return _boxWidth; }
  uint32_t boxHeight() const { return _boxHeight; }
  std::string text() const;
  std::string fontFamily() const;
  std::string fontStyle() const;
  bool isDirty() const { return _dirty; }
  // False when the scaled box or the render area is empty: nothing may be divided by them.
  bool fit(AVTextFit *fit) const;

private:
  struct Style
  {
    std::string text;
    std::string family;
    std::string style;
    float fontSize = 0.09375f;
    vec4 color{1, 1, 1, 1};
    int alignment = 0;
    float borderWidth = 0;
    vec4 borderColor{0, 0, 0, 1};
    vec4 backColor{0, 0, 0, 0};
    float backInset = 0;
    float backCorner = 0;
  };
  template <typename F> void _edit(F change);

  std::atomic<uint32_t> _boxWidth;
  std::atomic<uint32_t> _boxHeight;
  // Guards the style (written on the GUI thread, copied by the rendering thread) and the
  // hand-over of the picture to the texture.
  AVMutex *_textMutex;
  Style _style;
  std::atomic<bool> _dirty{true};
  std::atomic<bool> _replaceTexture{false};
  // The texture's painted part (see paintedArea), found when it is uploaded.
  float _painted[4] = {0, 0, 1, 1};
};

// Lays the text out in a box × box picture (premultiplied ARGB32 bytes, format 1): word wrap,
// line feeds kept, the band behind each line, the outline and the text. None on failure.
AVPixelBuffer *renderTextImage(uint32_t boxWidth, uint32_t boxHeight, const char *text, int fontPixelSize,
                               vec4 color, const char *family, const char *style, int alignment, float outlineWidth,
                               vec4 outlineColor, vec4 backColor, float padding, float backCorner);
