#include "textsegment.h"

#include "projectcontext.h"
#include "segmentlistener.h"
#include "userstyleapply.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const QString kText = QStringLiteral("Text");
const QString kFontName = QStringLiteral("FontName");
const QString kFontStyle = QStringLiteral("FontStyle");
const QString kFontSize = QStringLiteral("FontSize");
const QString kVideoSize = QStringLiteral("VideoSize");
const QString kColor = QStringLiteral("Color");
const QString kBackColor = QStringLiteral("BackColor");
const QString kBackCorner = QStringLiteral("BackCorner");
const QString kBackInset = QStringLiteral("BackInset");
const QString kAlignment = QStringLiteral("Alignment");
const QString kDefaultFont = QStringLiteral("Arial");
constexpr float kDefaultFontSize = 80;
constexpr quint32 kDefaultBackColor = 0x00FF00FFu;

// Where the line that starts at `from` ends: the next CR or LF, or the text's end.
int _lineEnd(const QString &text, int from)
{
  const auto end = std::find_if(text.cbegin() + from, text.cend(),
                                [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); });
  return int(end - text.cbegin());
}

// The shortest of the beginnings of text[from, end), doubling in length, that is wider than
// `width` on one line, or all of it: as wide a measure as the whole for an overflow test or
// eliding, at the cost of what a block shows rather than of the whole text.
QString _widePrefix(const QFontMetricsF &metrics, const QString &text, int from, int end, qreal width)
{
  for (int length = 256; length < end - from; length *= 2) {
    const QString prefix = text.mid(from, length);
    if (metrics.boundingRect(prefix).width() > width)
      return prefix;
  }
  return text.mid(from, end - from);
}

bool _widerThan(const QFontMetricsF &metrics, const QString &text, qreal width)
{
  return metrics.boundingRect(_widePrefix(metrics, text, 0, text.size(), width)).width() > width;
}

} // namespace

TextSegment::TextSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : LayerSegment(other, rangeStart, listener)
{
  if (listener)
    _startLoading();
}

TextSegment::TextSegment(const QString &text, float rangeStart, float duration, SegmentListener *listener,
                         const UserStyleDefaults *defaults)
    : LayerSegment(listener)
{
  setText(text);
  setType(QStringLiteral("TEXT"));
  setRangeStart(rangeStart);
  setDuration(duration);
  if (defaults)
    UserStyleApply::applyTextStyle(*defaults, *this);
  if (listener)
    _startLoading();
}

TextSegment::TextSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : LayerSegment(properties, listener)
{
  setIsNewlyCreated(isNew);
  if (listener)
    _startLoading();
}

TextSegment::~TextSegment()
{
  m_loader.shutdown();
}

void TextSegment::_startLoading()
{
  m_loader.startLater([this] {
    m_loader.queue(new TextLoadingTask(this));
    setState(SegmentLoading); // last: the listener may delete the segment

  });
}

void TextLoadingTask::work()
{
  TextSegment *segment = m_segment;
  post([segment] { segment->setState(SegmentReady); });
}

quint32 TextSegment::borderColor() const
{
  if (!properties()->contains(QStringLiteral("BorderColor")))
    return 0xFFFFFF00u;
  return LayerSegment::borderColor();
}

LayerGeometry TextSegment::fitGeometry(const QSizeF &frameSize) const
{
  LayerGeometry geometry;
  geometry.scaleWidth = 1.0f;
  geometry.scaleHeight = 0.5f;
  geometry.centerX = frameSize.width() / 2;
  geometry.centerY = frameSize.height() / 2;
  return geometry;
}

QString TextSegment::text() const
{
  return stringValue(*properties(), kText, QString());
}

void TextSegment::setText(const QString &text)
{
  setStringValue(*properties(), kText, text);
}

QString TextSegment::fontName() const
{
  return stringValue(*properties(), kFontName, kDefaultFont);
}

void TextSegment::setFontName(const QString &name)
{
  setStringValue(*properties(), kFontName, name);
}

QString TextSegment::fontStyle() const
{
  return stringValue(*properties(), kFontStyle, QString());
}

void TextSegment::setFontStyle(const QString &style)
{
  setStringValue(*properties(), kFontStyle, style);
}

QFont TextSegment::font() const
{
  return QFontDatabase().font(fontName(), fontStyle(), QFont().pointSize());
}

float TextSegment::fontSize() const
{
  return floatValue(*properties(), kFontSize, kDefaultFontSize);
}

void TextSegment::setFontSize(float size, const QSizeF &referenceSize)
{
  if (referenceSize.isValid())
    setSizeValue(*properties(), kVideoSize, referenceSize);
  setFloatValue(*properties(), kFontSize, size);
}

QSizeF TextSegment::videoSize() const
{
  return sizeValue(*properties(), kVideoSize, QSizeF());
}

QSizeF TextSegment::referenceFrameSize(int resolution, bool landscape)
{
  QSizeF size;
  if (resolution == 2)
    return QSizeF(640, 640);
  if (resolution == 1)
    size = QSizeF(1280, 720);
  else
    size = QSizeF(640, 480);
  return landscape ? size : size.transposed();
}

float TextSegment::scaledFontSize(const QSizeF &outputSize) const
{
  const ProjectContext *project = ProjectContext::current();
  QSizeF reference = project ? referenceFrameSize(project->resolution(), project->direction())
                             : referenceFrameSize(ProjectContext::kDefaultResolution,
                                                  ProjectContext::kDefaultDirection);
  const QSizeF own = videoSize();
  if (own.isValid() && own.width() != 0 && own.height() != 0)
    reference = own;
  return float(outputSize.width() / reference.width()) * fontSize();
}

quint32 TextSegment::color() const
{
  return colorValue(*properties(), kColor, 0xFFFFFFFFu);
}

void TextSegment::setColor(quint32 argb)
{
  setColorValue(*properties(), kColor, argb);
}

quint32 TextSegment::_backColor() const
{
  return colorValue(*properties(), kBackColor, kDefaultBackColor);
}

quint32 TextSegment::backColorRgb() const
{
  return _backColor() | 0xFF000000u;
}

void TextSegment::setBackColorRgb(QRgb rgb)
{
  setColorValue(*properties(), kBackColor, (_backColor() & 0xFF000000u) | (rgb & 0x00FFFFFFu));
}

float TextSegment::backColorAlpha() const
{
  return float(_backColor() >> 24) / 255.0f;
}

void TextSegment::setBackColorAlpha(float alpha)
{
  const quint32 a = quint32(int(alpha * 255)) & 0xFFu;
  setColorValue(*properties(), kBackColor, (a << 24) | (_backColor() & 0x00FFFFFFu));
}

float TextSegment::backCorner() const
{
  return floatValue(*properties(), kBackCorner, 0);
}

void TextSegment::setBackCorner(float corner)
{
  setFloatValue(*properties(), kBackCorner, corner);
}

float TextSegment::backInset() const
{
  return floatValue(*properties(), kBackInset, 0);
}

void TextSegment::setBackInset(float inset)
{
  setFloatValue(*properties(), kBackInset, inset);
}

int TextSegment::alignment() const
{
  return intValue(*properties(), kAlignment, 1);
}

void TextSegment::setAlignment(int alignment)
{
  setIntValue(*properties(), kAlignment, alignment);
}

void TextSegment::paintBlock(QPainter *painter, const QRect &rect, const QRect &, float)
{
  SegmentListener *l = listener();
  if (!rect.isValid() || !l)
    return;
  painter->save();
  const int margin = int(l->titleMargin());
  const QRect textRect = rect.adjusted(margin, 0, -margin, 0);
  if (!textRect.isValid()) {
    painter->restore();
    return;
  }
  QString shown = text();
  if (shown.isEmpty())
    shown = l->textPlaceholder();

  QFont font;
  font.setStyleHint(QFont::System);
  if (!fontName().isEmpty())
    font.setFamily(fontName());
  if (!fontStyle().isEmpty())
    font.setStyleName(fontStyle());
  int size = qMax(1, int(l->titleFontSize()));
  font.setPixelSize(size);
  while (_widerThan(QFontMetricsF(font), shown, textRect.width())) {
    --size;
    if (!(size > 0.2 * rect.height()))
      break;
    font.setPixelSize(size);
  }
  painter->setFont(font);

  // Drawing stops at the first line that reaches the rectangle's bottom, so the lines after those
  // the height holds never show: they are neither split off nor elided.
  const QFontMetricsF metrics(font);
  const int shownLines = int(std::ceil(textRect.height() / metrics.height())) + 1;
  QStringList lines;
  for (int from = 0; lines.size() < shownLines;) {
    const int end = _lineEnd(shown, from);
    const QString line = _widePrefix(metrics, shown, from, end, textRect.width());
    lines.append(metrics.elidedText(line, Qt::ElideRight, textRect.width()));
    if (end == shown.size())
      break;
    from = end + 1;
  }
  const QString joined = lines.join(QLatin1Char('\n'));

  const qreal offset = l->titleShadowOffset();
  const int flags = Qt::AlignLeft | Qt::AlignVCenter;
  painter->save();
  painter->translate(-offset, -offset);
  painter->setPen(QColor::fromRgba(l->titleShadowColor()));
  painter->drawText(textRect, flags, joined);
  painter->restore();
  painter->setPen(QColor::fromRgba(l->titleTextColor()));
  painter->drawText(textRect, flags, joined);
  painter->restore();
}
