#include "segment.h"

#include "segmentlistener.h"
#include "segmentxml.h"
#include "storedvalues.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <QUuid>

#include <cmath>

std::atomic<quint32> Segment::s_nextId{0};
float Segment::s_trackHeight = 44;

namespace {

const QString kRangeStart = QStringLiteral("RangeStart");
const QString kRangeDuration = QStringLiteral("RangeDuration");
const QString kSpeed = QStringLiteral("Speed");
const QString kUId = QStringLiteral("UId");
const QString kTimeStamp = QStringLiteral("TimeStamp");
const QString kUserRotation = QStringLiteral("UserRotation");
const QString kUserFlip = QStringLiteral("UserFlip");
const QString kUserScale = QStringLiteral("UserScale");
const QString kShadowRadiusFraction = QStringLiteral("ShadowRadiusFraction");
const QString kShadowOffsetFraction = QStringLiteral("ShadowOffsetFraction");

constexpr float kMinSpeed = 0.25f;
constexpr float kMaxSpeed = 4.0f;
constexpr int kFlipHorizontal = 1;
constexpr int kFlipVertical = 2;

double _nowMs()
{
  return double(QDateTime::currentMSecsSinceEpoch());
}

// A whole number of degrees turned by a quarter, kept inside (-360, 360).
int _rotatedQuarter(double degrees, int quarter)
{
  return (int(degrees) + quarter) % 360;
}

int _withFlag(int flags, int bit, bool on)
{
  return on ? (flags | bit) : (flags & ~bit);
}

} // namespace

// Plain accessors, one pair per property: the getters default, the setters write the fixed form.
#define SEGMENT_INT(getter, setter, Name, def) \
  int Segment::getter() const { return intValue(*m_properties, QStringLiteral(Name), def); } \
  void Segment::setter(int value) { setIntValue(*m_properties, QStringLiteral(Name), value); }
#define SEGMENT_BOOL(getter, setter, Name, def) \
  bool Segment::getter() const { return boolValue(*m_properties, QStringLiteral(Name), def); } \
  void Segment::setter(bool value) { setIntValue(*m_properties, QStringLiteral(Name), value ? 1 : 0); }
#define SEGMENT_FLOAT(getter, setter, Name, def) \
  float Segment::getter() const { return floatValue(*m_properties, QStringLiteral(Name), def); } \
  void Segment::setter(float value) { setFloatValue(*m_properties, QStringLiteral(Name), value); }
#define SEGMENT_POINT(getter, setter, Name, x, y) \
  QPointF Segment::getter() const { return pointValue(*m_properties, QStringLiteral(Name), QPointF(x, y)); } \
  void Segment::setter(const QPointF &value) { setPointValue(*m_properties, QStringLiteral(Name), value); }
#define SEGMENT_SIZE(getter, setter, Name, w, h) \
  QSizeF Segment::getter() const { return sizeValue(*m_properties, QStringLiteral(Name), QSizeF(w, h)); } \
  void Segment::setter(const QSizeF &value) { setSizeValue(*m_properties, QStringLiteral(Name), value); }
#define SEGMENT_COLOR(getter, setter, Name, def) \
  quint32 Segment::getter() const { return colorValue(*m_properties, QStringLiteral(Name), def); } \
  void Segment::setter(quint32 argb) { setColorValue(*m_properties, QStringLiteral(Name), argb); }

Segment::Segment(const Segment *other, float rangeStart, SegmentListener *listener)
    : m_properties(std::make_unique<PropertyMap>())
{
  setRangeStart(rangeStart);
  copyFrom(other);
  m_listener = listener;
  m_id = ++s_nextId;
  m_newlyCreated = true;
}

Segment::Segment(SegmentListener *listener) : m_properties(std::make_unique<PropertyMap>())
{
  _construct(listener);
  m_newlyCreated = true;
}

Segment::Segment(PropertyMap *properties, SegmentListener *listener)
    : m_properties(properties ? properties : new PropertyMap)
{
  m_valuesReset = StoredValues::fit(*m_properties);
  _construct(listener);
  m_newlyCreated = false;
}

void Segment::_construct(SegmentListener *listener)
{
  m_listener = listener;
  m_uidGenerated = false;
  ensureUId();
  m_id = ++s_nextId;
}

Segment::~Segment() = default;

void Segment::setState(quint32 state)
{
  m_state.store(state);
  if (m_listener)
    m_listener->segmentStateChanged(this, int(state));
}

bool Segment::ensureUId()
{
  if (!uid().isEmpty())
    return false;
  m_properties->setText(kUId, QUuid::createUuid().toString());
  m_uidGenerated = true;
  return true;
}

void Segment::copyFrom(const Segment *other)
{
  const float start = rangeStart();
  if (other != this)
    *m_properties = *other->m_properties;
  setFloatValue(*m_properties, kRangeStart, start);
  m_properties->remove(kUId);
  ensureUId();
  setDoubleValue(*m_properties, kTimeStamp, _nowMs());
}

void Segment::writeXml(QXmlStreamWriter &writer) const
{
  writeSegmentXml(*m_properties, writer);
}

void Segment::paintMessage(QPainter *painter, const QRect &rect, const QString &text) const
{
  if (!rect.isValid() || !m_listener)
    return;
  painter->save();
  painter->fillRect(rect, QColor::fromRgba(m_listener->messageBackgroundColor()));
  painter->setPen(QColor::fromRgba(m_listener->messageTextColor()));
  const int margin = int(m_listener->messageMargin());
  const QRect inner = rect.adjusted(margin, 0, -margin, 0);
  if (inner.width() <= 0) {
    painter->restore();
    return;
  }
  QFont font = painter->font();
  int size = int(m_listener->messageFontSize());
  font.setPixelSize(qMax(1, size));
  while (QFontMetricsF(font).horizontalAdvance(text) > inner.width()) {
    if (size - 1 <= rect.height() / 4.0 || size - 1 < 1)
      break;
    --size;
    font.setPixelSize(size);
  }
  painter->setFont(font);
  const QFontMetricsF metrics(font);
  // In a short block the text goes on several lines when each piece fits whole: a cut text
  // ("Loa...", or a Chinese error cut to "loading") reads like a load still running. The pieces
  // end where the language lets a line break: at spaces in Latin text, between most characters
  // in Chinese, which has no spaces.
  QStringList lines;
  if (metrics.horizontalAdvance(text) > inner.width()) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    for (int from = 0; breaks.toNextBoundary() != -1; from = breaks.position()) {
      const QString piece = text.mid(from, breaks.position() - from);
      const QString joined = lines.isEmpty() ? piece : lines.last() + piece;
      if (!lines.isEmpty() && metrics.horizontalAdvance(joined.trimmed()) <= inner.width())
        lines.last() = joined;
      else
        lines << piece;
    }
    for (QString &line : lines)
      line = line.trimmed();
    lines.removeAll(QString());
  }
  bool wrapped = lines.size() > 1 && lines.size() * metrics.lineSpacing() <= rect.height();
  for (const QString &line : qAsConst(lines))
    wrapped = wrapped && metrics.horizontalAdvance(line) <= inner.width();
  if (wrapped) {
    painter->drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, lines.join(QLatin1Char('\n')));
  } else {
    const QString elided = metrics.elidedText(text, Qt::ElideRight, inner.width());
    painter->drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
  }
  painter->restore();
}

void Segment::setProperties(PropertyMap *properties)
{
  m_properties.reset(properties ? properties : new PropertyMap);
}

void Segment::loadStatusUpdated(quint32, int, int, int) {}

double Segment::timeStamp() const
{
  return doubleValue(*m_properties, kTimeStamp, 0);
}

void Segment::rotateRight()
{
  setUserRotation(_rotatedQuarter(userRotation(), 90));
}

void Segment::rotateLeft()
{
  setUserRotation(_rotatedQuarter(userRotation(), -90));
}

void Segment::setFlippedHorizontally(bool flipped)
{
  setUserFlip(_withFlag(userFlip(), kFlipHorizontal, flipped));
}

bool Segment::isFlippedHorizontally() const
{
  return userFlip() & kFlipHorizontal;
}

void Segment::setFlippedVertically(bool flipped)
{
  setUserFlip(_withFlag(userFlip(), kFlipVertical, flipped));
}

bool Segment::isFlippedVertically() const
{
  return userFlip() & kFlipVertical;
}

void Segment::rotateTransitionRight(int id, bool begin)
{
  setTransitionUserRotation(id, begin, _rotatedQuarter(transitionUserRotation(id, begin), 90));
}

void Segment::rotateTransitionLeft(int id, bool begin)
{
  setTransitionUserRotation(id, begin, _rotatedQuarter(transitionUserRotation(id, begin), -90));
}

void Segment::setTransitionFlippedHorizontally(int id, bool begin, bool flipped)
{
  setTransitionUserFlip(id, begin, _withFlag(transitionUserFlip(id, begin), kFlipHorizontal, flipped));
}

bool Segment::isTransitionFlippedHorizontally(int id, bool begin) const
{
  return transitionUserFlip(id, begin) & kFlipHorizontal;
}

void Segment::setTransitionFlippedVertically(int id, bool begin, bool flipped)
{
  setTransitionUserFlip(id, begin, _withFlag(transitionUserFlip(id, begin), kFlipVertical, flipped));
}

bool Segment::isTransitionFlippedVertically(int id, bool begin) const
{
  return transitionUserFlip(id, begin) & kFlipVertical;
}

void Segment::paintBlock(QPainter *, const QRect &, const QRect &, float) {}

void Segment::paintOverlay(QPainter *, const QRect &, const QRect &, float) {}

bool Segment::moveLeftEdge(float *time)
{
  setDuration(duration() - (*time - rangeStart()));
  setRangeStart(*time);
  return true;
}

bool Segment::moveRightEdge(float *time)
{
  setDuration(*time - rangeStart());
  return true;
}

QTransform Segment::fitTransform(const QSizeF &, QRectF *) const
{
  return QTransform();
}

QTransform Segment::userTransform(const QSizeF &, QRectF *) const
{
  return QTransform();
}

QTransform Segment::transitionTransform(int, bool, const QSizeF &, QRectF *) const
{
  return QTransform();
}

LayerGeometry Segment::fitGeometry(const QSizeF &) const
{
  return LayerGeometry();
}

LayerGeometry Segment::layerGeometry(const QSizeF &) const
{
  return LayerGeometry();
}

LayerGeometry Segment::transitionLayerGeometry(int, bool, const QSizeF &) const
{
  return LayerGeometry();
}

// Identity and timeline.

QString Segment::type() const
{
  return stringValue(*m_properties, QStringLiteral("Type"), QString());
}

void Segment::setType(const QString &type)
{
  setStringValue(*m_properties, QStringLiteral("Type"), type);
}

QString Segment::uid() const
{
  return stringValue(*m_properties, kUId, QString());
}

SEGMENT_INT(trackId, setTrackId, "TrackId", 0)

void Segment::setTimeStamp()
{
  setDoubleValue(*m_properties, kTimeStamp, _nowMs());
}

float Segment::rangeStart() const
{
  const float start = floatValue(*m_properties, kRangeStart, 0);
  return start > 0 ? start : 0;
}

void Segment::setRangeStart(float seconds)
{
  setFloatValue(*m_properties, kRangeStart, seconds);
  if (m_listener)
    m_listener->segmentRangeChanged(this);
}

SEGMENT_FLOAT(rangeDuration, setRangeDuration, "RangeDuration", 0)

float Segment::speed() const
{
  const float value = floatValue(*m_properties, kSpeed, 1.0f);
  // Out of range, or not a number at all.
  return value >= kMinSpeed && value <= kMaxSpeed ? value : 1.0f;
}

void Segment::setSpeed(float speed)
{
  setFloatValue(*m_properties, kSpeed, qBound(kMinSpeed, speed, kMaxSpeed));
}

float Segment::duration() const
{
  return rangeDuration() / speed();
}

void Segment::setDuration(float seconds)
{
  setFloatValue(*m_properties, kRangeDuration, seconds * speed());
  if (m_listener)
    m_listener->segmentRangeChanged(this);
}

// User transform.

QSizeF Segment::userScale() const
{
  QSizeF scale = sizeValue(*m_properties, kUserScale, QSizeF(1, 1));
  if (scale.width() < 0)
    scale.setWidth(1);
  if (scale.height() < 0)
    scale.setHeight(1);
  return scale;
}

void Segment::setUserScale(const QSizeF &scale)
{
  setSizeValue(*m_properties, kUserScale, scale);
}

SEGMENT_POINT(userTranslation, setUserTranslation, "UserTranslation", 0, 0)
SEGMENT_POINT(userAnchorPoint, setUserAnchorPoint, "UserAnchorPoint", 0.5, 0.5)

double Segment::userRotation() const
{
  return doubleValue(*m_properties, kUserRotation, 0);
}

void Segment::setUserRotation(double rotation)
{
  setDoubleValue(*m_properties, kUserRotation, rotation, 16);
}

SEGMENT_FLOAT(userRotationX, setUserRotationX, "UserRotationX", 0)
SEGMENT_FLOAT(userRotationY, setUserRotationY, "UserRotationY", 0)
SEGMENT_INT(userFlip, setUserFlip, "UserFlip", 0)
SEGMENT_FLOAT(userTransparency, setUserTransparency, "UserTransparency", 0)
SEGMENT_FLOAT(userVolume, setUserVolume, "UserVolume", 1.0f)
SEGMENT_POINT(cropTopLeft, setCropTopLeft, "CropTopLeft", 0, 0)
SEGMENT_POINT(cropBottomRight, setCropBottomRight, "CropBottomRight", 1, 1)

SEGMENT_INT(clrSaturation, setClrSaturation, "ClrSaturation", 0)
SEGMENT_INT(clrBrightness, setClrBrightness, "ClrBrightness", 0)
SEGMENT_INT(clrContrast, setClrContrast, "ClrContrast", 0)
SEGMENT_INT(clrWhiteBalance, setClrWhiteBalance, "ClrWhiteBalance", 0)
SEGMENT_INT(clrExposure, setClrExposure, "ClrExposure", 0)
SEGMENT_INT(clrHue, setClrHue, "ClrHue", 0)
SEGMENT_INT(clrRed, setClrRed, "ClrRed", 0)
SEGMENT_INT(clrGreen, setClrGreen, "ClrGreen", 0)
SEGMENT_INT(clrBlue, setClrBlue, "ClrBlue", 0)

// Border, chroma key, corners.

quint32 Segment::borderColor() const
{
  return colorValue(*m_properties, QStringLiteral("BorderColor"), 0xFFFFFFFFu);
}

void Segment::setBorderColor(quint32 argb)
{
  setColorValue(*m_properties, QStringLiteral("BorderColor"), argb);
}

SEGMENT_FLOAT(borderWidth, setBorderWidth, "BorderWidth", 0)
SEGMENT_FLOAT(borderWidthFraction, setBorderWidthFraction, "BorderWidthFraction", 0)
SEGMENT_BOOL(borderStroke, setBorderStroke, "BorderStroke", false)
SEGMENT_INT(borderStrokeStrength, setBorderStrokeStrength, "BorderStrokeStrength", 50)
SEGMENT_INT(borderStrokeTolerance, setBorderStrokeTolerance, "BorderStrokeTolerance", 100)
SEGMENT_COLOR(keyColor, setKeyColor, "KeyColor", 0xFF00FF00u)
SEGMENT_BOOL(keyEnabled, setKeyEnabled, "KeyEnabled", false)
SEGMENT_INT(keySensitivity, setKeySensitivity, "KeySensitivity", 40)
SEGMENT_INT(keySmoothing, setKeySmoothing, "KeySmoothing", 10)
SEGMENT_FLOAT(cornerRadius, setCornerRadius, "CornerRadius", 0)
SEGMENT_FLOAT(cornerRadiusFraction, setCornerRadiusFraction, "CornerRadiusFraction", 0)

// Shadow.

SEGMENT_COLOR(shadowColor, setShadowColor, "ShadowColor", 0xFF000000u)
SEGMENT_FLOAT(shadowOpacity, setShadowOpacity, "ShadowOpacity", 0)
SEGMENT_FLOAT(shadowRadiusFraction, setShadowRadiusFraction, "ShadowRadiusFraction", 0.003125f)

void Segment::setShadowRadiusFraction(float radius, float referenceSize)
{
  setShadowRadiusFraction(radius / referenceSize);
}

float Segment::shadowRadius(float referenceSize) const
{
  return shadowRadiusFraction() * referenceSize;
}

SEGMENT_SIZE(shadowOffsetFraction, setShadowOffsetFraction, "ShadowOffsetFraction", -1, -1)

bool Segment::hasShadowOffsetFraction() const
{
  return m_properties->contains(kShadowOffsetFraction);
}

SEGMENT_SIZE(shadowPixelOffset, setShadowPixelOffset, "ShadowPixelOffset", 0, 0)

QSizeF Segment::shadowOffset() const
{
  return sizeValue(*m_properties, QStringLiteral("ShadowOffset"), QSizeF(0, 0));
}
