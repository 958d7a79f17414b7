#include "avtextsegment.h"

#include "avcommon.h"
#include "avpixelbuffer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr size_t kFamilyCapacity = 128;
constexpr size_t kStyleCapacity = 32;
constexpr int32_t kAVTextRenderFailed = -113;

// Colour components 0..1 as 0..255, truncated.
int _byte(float component)
{
  return std::min(255, std::max(0, int(component * 255)));
}

QColor _opaque(vec4 colour)
{
  return QColor(_byte(colour.x), _byte(colour.y), _byte(colour.z), 255);
}

struct LineRecord
{
  QString text;
  QRectF rect;
  qreal descent;
};

struct TextBox
{
  QFont font;
  QTextOption option;
  qreal width = 0;
  qreal lineWidth = 0;
  qreal startX = 0;
  qreal leading = 0;
  qreal bottom = 0; // lines whose top lies below are never shown
};

constexpr size_t kFirstPiece = 1024;

bool _isSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Lays out the UTF-8 bytes text[from, end) as one paragraph from y on and records its lines.
// Only as much of the paragraph is converted and laid out as reaches the box's bottom, so a text
// of megabytes costs what the box shows. Returns false once a line starts below the bottom:
// nothing after it is shown.
bool _layoutParagraph(const char *text, size_t from, size_t end, const TextBox &box, qreal &y,
                      std::vector<LineRecord> &lines)
{
  size_t length = std::min(end - from, kFirstPiece);
  for (;;) {
    // A cut piece ends before the continuation bytes of a character.
    while (from + length < end && length > 1 && (uchar(text[from + length]) & 0xC0) == 0x80)
      --length;
    const bool whole = from + length >= end;
    const QString piece = QString::fromUtf8(text + from, int(length));
    QTextLayout layout(piece, box.font);
    layout.setTextOption(box.option);
    const size_t kept = lines.size();
    qreal lineY = y;
    bool below = false;
    qreal lastWidth = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(box.lineWidth);
      line.setPosition(QPointF(box.startX, lineY));
      if (line.naturalTextRect().top() > box.bottom) {
        below = true;
        break;
      }
      lineY += line.height() + box.leading;
      lines.push_back({piece.mid(line.textStart(), line.textLength()), line.naturalTextRect(), line.descent()});
      lastWidth = line.naturalTextWidth();
    }
    layout.endLayout();
    if (whole || below) {
      y = lineY;
      return !below;
    }
    if (lines.size() > kept && lastWidth > box.width) {
      // A run without a break that is already wider than the box: only its beginning can show,
      // drawn from the left edge; the paragraph goes on after the run's next space.
      lines.back().rect.moveLeft(box.startX);
      y = lineY;
      from += length;
      while (from < end && !_isSpace(text[from]))
        ++from;
      while (from < end && _isSpace(text[from]))
        ++from;
      if (from == end)
        return true;
      length = std::min(end - from, kFirstPiece);
      continue;
    }
    // The piece's last line may stop where the piece was cut; a longer piece settles it.
    lines.resize(kept);
    length = std::min(end - from, length * 2);
  }
}

// The rectangle of a premultiplied 32-bit picture outside which every pixel is transparent, as
// fractions of its size (left, top, right, bottom), two pixels wider on every side so that
// filtered reads at its edges meet transparent pixels only. Empty when nothing is painted.
void _findPaintedArea(const AVPixelBuffer *buffer, float *area)
{
  const int width = int(buffer->width), height = int(buffer->height);
  if (buffer->format != 1 || width <= 0 || height <= 0) {
    std::fill(area, area + 4, 0.0f);
    area[2] = area[3] = 1;
    return;
  }
  int left = width, right = -1, top = height, bottom = -1;
  for (int y = 0; y < height; ++y) {
    const auto *row = reinterpret_cast<const uint32_t *>(buffer->data + size_t(y) * width * 4);
    int first = 0;
    while (first < width && (row[first] >> 24) == 0)
      ++first;
    if (first == width)
      continue;
    int last = width - 1;
    while ((row[last] >> 24) == 0)
      --last;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y;
  }
  if (right < 0) {
    std::fill(area, area + 4, 0.0f);
    return;
  }
  constexpr int kMargin = 2;
  area[0] = float(std::max(0, left - kMargin)) / float(width);
  area[1] = float(std::max(0, top - kMargin)) / float(height);
  area[2] = float(std::min(width, right + 1 + kMargin)) / float(width);
  area[3] = float(std::min(height, bottom + 1 + kMargin)) / float(height);
}
} // namespace

vec2 textAnchorShift(const AVTextFit &fit, float ax, float ay)
{
  // The vertical term halves the render height and the horizontal one does not: the
  // placement that saved projects were laid out with.
  const float W = fit.renderWidth, H = fit.renderHeight;
  return vec2{((0.5f - ax) * W - (0.5f - ax) * fit.fitWidth) / W,
              ((0.5f - ay) * H * 0.5f - (0.5f - ay) * fit.fitHeight) / H};
}

AVTextSegment::AVTextSegment(double start, double duration, const char *text, uint32_t boxWidth, uint32_t boxHeight,
                             uint32_t renderWidth, uint32_t renderHeight)
  : AVLayerSegment(start, duration, renderWidth, renderHeight), _boxWidth(boxWidth), _boxHeight(boxHeight),
    _textMutex(avMutexCreate())
{
  if (text)
    _style.text = text;
}

AVTextSegment::~AVTextSegment()
{
  avMutexDestroy(_textMutex);
}

template <typename F> void AVTextSegment::_edit(F change)
{
  AVMutexLocker locker(_textMutex);
  change(_style);
  _dirty = true;
}

void AVTextSegment::setText(const char *text)
{
  _edit([text](Style &style) { style.text = text ? text : ""; });
}

void AVTextSegment::setFont(const char *family, const char *style)
{
  const std::string familyText = family ? family : "", styleText = style ? style : "";
  if (familyText.size() >= kFamilyCapacity)
    return;
  _edit([&](Style &s) {
    s.family = familyText;
    if (styleText.size() < kStyleCapacity)
      s.style = styleText;
  });
}

void AVTextSegment::setFontSize(float fraction)
{
  _edit([fraction](Style &style) { style.fontSize = fraction; });
}

void AVTextSegment::setColor(vec4 colour)
{
  _edit([colour](Style &style) { style.color = colour; });
}

void AVTextSegment::setAlignment(int alignment)
{
  _edit([alignment](Style &style) { style.alignment = alignment; });
}

void AVTextSegment::setBackColor(vec4 colour)
{
  _edit([colour](Style &style) { style.backColor = colour; });
}

void AVTextSegment::setBackInset(float fraction)
{
  _edit([fraction](Style &style) { style.backInset = fraction; });
}

void AVTextSegment::setBackCorner(float corner)
{
  _edit([corner](Style &style) { style.backCorner = corner; });
}

void AVTextSegment::setBorderWidth(float width)
{
  _edit([width](Style &style) { style.borderWidth = width; });
}

void AVTextSegment::setBorderColor(vec4 colour)
{
  _edit([colour](Style &style) { style.borderColor = colour; });
}

void AVTextSegment::setCornerRadius(float)
{
}

void AVTextSegment::setScale(float x, float y)
{
  AVLayerSegment::setScale(x, y);
  _dirty = true;
}

void AVTextSegment::setTextBoxSize(uint32_t width, uint32_t height)
{
  _boxWidth = width;
  _boxHeight = height;
  _dirty = true;
}

std::string AVTextSegment::text() const
{
  AVMutexLocker locker(_textMutex);
  return _style.text;
}

std::string AVTextSegment::fontFamily() const
{
  AVMutexLocker locker(_textMutex);
  return _style.family;
}

std::string AVTextSegment::fontStyle() const
{
  AVMutexLocker locker(_textMutex);
  return _style.style;
}

bool AVTextSegment::fit(AVTextFit *fit) const
{
  const vec2 userScale = scale();
  fit->renderWidth = float(renderWidth());
  fit->renderHeight = float(renderHeight());
  fit->boxWidth = float(_boxWidth);
  fit->boxHeight = float(_boxHeight);
  fit->scaledWidth = std::trunc(fit->boxWidth * userScale.x);
  fit->scaledHeight = std::trunc(fit->boxHeight * userScale.y);
  if (!(fit->renderWidth > 0 && fit->renderHeight > 0 && fit->scaledWidth > 0 && fit->scaledHeight > 0))
    return false;
  const vec4 rect = aspectFitRect(fit->scaledWidth, fit->scaledHeight,
                                  vec4{0, 0, fit->renderWidth, fit->renderHeight});
  fit->fitWidth = rect.z;
  fit->fitHeight = rect.w;
  return rect.z > 0 && rect.w > 0;
}

void AVTextSegment::setPixelBuffer(AVPixelBuffer *buffer)
{
  AVMutexLocker locker(_textMutex);
  AVLayerSegment::setPixelBuffer(buffer);
}

void AVTextSegment::wake()
{
  AVLayerSegment::wake();
  if (!_dirty && (pixelBuffer() || texture()))
    return;
  Style style;
  {
    // Copied and marked clean together: an edit made while this renders marks it again.
    AVMutexLocker locker(_textMutex);
    style = _style;
    _dirty = false;
  }
  setPixelBuffer(nullptr);
  if (!style.text.empty()) {
    vec2 userScale;
    {
      AVMutexLocker locker(layerMutex());
      userScale = scale();
    }
    const uint32_t width = renderWidth();
    const double boxWidth = std::trunc(double(_boxWidth) * userScale.x);
    const double boxHeight = std::trunc(double(_boxHeight) * userScale.y);
    AVPixelBuffer *pixels = nullptr;
    if (boxWidth > 0 && boxHeight > 0)
      pixels = renderTextImage(uint32_t(boxWidth), uint32_t(boxHeight), style.text.c_str(),
                               int(float(width) * style.fontSize), style.color, style.family.c_str(),
                               style.style.c_str(), style.alignment, style.borderWidth, style.borderColor,
                               style.backColor, float(width) * style.backInset, style.backCorner);
    setPixelBuffer(pixels);
    setLoadError(pixels ? kAVLoadOk : kAVTextRenderFailed);
  }
  _replaceTexture = true;
}

bool AVTextSegment::paintedArea(float *topLeft, float *bottomRight) const
{
  AVMutexLocker locker(_textMutex);
  if (!texture())
    return false;
  topLeft[0] = _painted[0];
  topLeft[1] = _painted[1];
  bottomRight[0] = _painted[2];
  bottomRight[1] = _painted[3];
  return true;
}

AVPixelBuffer *AVTextSegment::renderImage(uint32_t renderWidth) const
{
  Style style;
  {
    AVMutexLocker locker(_textMutex);
    style = _style;
  }
  if (style.text.empty() || _boxWidth == 0 || _boxHeight == 0)
    return nullptr;
  return renderTextImage(_boxWidth, _boxHeight, style.text.c_str(), int(float(renderWidth) * style.fontSize),
                         style.color, style.family.c_str(), style.style.c_str(), style.alignment, style.borderWidth,
                         style.borderColor, style.backColor, float(renderWidth) * style.backInset, style.backCorner);
}

void AVTextSegment::sleep(bool exporting)
{
  AVLayerSegment::sleep(exporting);
  AVMutexLocker locker(_textMutex);
  AVLayerSegment::setPixelBuffer(nullptr);
  uploadTexture();
}

void AVTextSegment::update(double time, bool, bool)
{
  {
    AVMutexLocker locker(_textMutex);
    if (_replaceTexture) {
      setFrame(nullptr, 0, 0);
      _replaceTexture = false;
    }
    if (!texture()) {
      if (AVPixelBuffer *buffer = pixelBuffer()) {
        _findPaintedArea(buffer, _painted);
        setTextureSize(buffer->width, buffer->height);
        uploadTexture();
        AVLayerSegment::setPixelBuffer(nullptr);
      }
    }
  }
  if (!texture() || time < startTime() || time >= startTime() + duration() || textureWidth() == 0 ||
      textureHeight() == 0)
    return;
  AVMutexLocker locker(layerMutex());
  resetEffectiveValues();
  AVTextFit textFit;
  if (fit(&textFit)) {
    // The picture is the scaled box in pixels; the renderer fits it into the render area.
    setEffectiveScale(textFit.scaledWidth / textFit.fitWidth, textFit.scaledHeight / textFit.fitHeight);
    const vec2 userAnchor = anchor(), userPosition = position();
    const vec2 shift = textAnchorShift(textFit, userAnchor.x, userAnchor.y);
    setEffectivePosition(userPosition.x - shift.x, userPosition.y - shift.y);
  }
  evaluateTransitions(time - startTime());
}

AVPixelBuffer *renderTextImage(uint32_t boxWidth, uint32_t boxHeight, const char *text, int fontPixelSize,
                               vec4 color, const char *family, const char *style, int alignment, float outlineWidth,
                               vec4 outlineColor, vec4 backColor, float padding, float backCorner)
{
  if (boxWidth == 0 || boxHeight == 0)
    return nullptr;
  auto *bytes = static_cast<uint8_t *>(calloc(size_t(boxWidth) * boxHeight, 4));
  if (!bytes)
    return nullptr;
  {
    QImage image(bytes, int(boxWidth), int(boxHeight), int(boxWidth) * 4, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
      free(bytes);
      return nullptr;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    QFont font = painter.font();
    if (family && *family)
      font = QFontDatabase().font(QString::fromUtf8(family), style && *style ? QString::fromUtf8(style) : QString(),
                                  painter.font().pointSize());
    font.setPixelSize(std::max(1, fontPixelSize));

    TextBox box;
    box.font = font;
    box.leading = QFontMetricsF(font).leading();
    box.width = boxWidth;
    box.lineWidth = boxWidth;
    qreal y = 0;
    const bool banded = backColor.w > 0;
    if (banded && padding > 0) {
      box.startX = y = padding;
      box.lineWidth = boxWidth - 2 * padding;
    }
    // A line is banded while its grown top is inside the box and drawn while its own top is; the
    // pixel of slack leaves the exact cut to the drawing below.
    box.bottom = qreal(boxHeight) + (banded && padding > 0 ? padding : 0) + 1;
    box.option.setWrapMode(QTextOption::WordWrap);
    box.option.setAlignment(alignment == 1 ? Qt::AlignHCenter : alignment == 2 ? Qt::AlignRight : Qt::AlignLeft);

    const char *bytes = text ? text : "";
    const size_t size = strlen(bytes);
    std::vector<LineRecord> lines;
    for (size_t from = 0;;) {
      const auto *lineFeed = static_cast<const char *>(memchr(bytes + from, '\n', size - from));
      const size_t end = lineFeed ? size_t(lineFeed - bytes) : size;
      if (!_layoutParagraph(bytes, from, end, box, y, lines) || end == size)
        break;
      from = end + 1;
    }

    if (banded) {
      QPainterPath band;
      band.setFillRule(Qt::WindingFill);
      for (const LineRecord &line : lines) {
        QRectF rect = line.rect;
        if (padding > 0)
          rect.adjust(-padding, -padding, padding, padding);
        if (rect.top() > boxHeight)
          break;
        if (backCorner <= 0) {
          band.addRect(rect);
        } else {
          const qreal radius = rect.height() * 0.5 * backCorner;
          band.addRoundedRect(rect, radius, radius, Qt::AbsoluteSize);
        }
      }
      painter.fillPath(band, QColor(_byte(backColor.x), _byte(backColor.y), _byte(backColor.z), _byte(backColor.w)));
    }

    painter.setFont(font);
    for (const LineRecord &line : lines) {
      if (line.rect.top() > boxHeight)
        break;
      const QPointF baseline(line.rect.x(), line.rect.bottom() - line.descent);
      if (outlineWidth > 0) {
        QPainterPath outline;
        outline.addText(baseline, font, line.text);
        painter.strokePath(outline, QPen(_opaque(outlineColor), outlineWidth, Qt::SolidLine, Qt::RoundCap,
                                         Qt::RoundJoin));
      }
      painter.setPen(_opaque(color));
      painter.drawText(baseline, line.text);
    }
  }
  AVPixelBuffer *buffer = wrapPixelBuffer(bytes, boxWidth, boxHeight, 1);
  if (!buffer)
    free(bytes);
  return buffer;
}
