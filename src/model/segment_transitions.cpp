// Segment: the transition list kept in the property bag.
#include "segment.h"

#include <algorithm>
#include <vector>

namespace {

const QString kTStart = QStringLiteral("TStart");
const QString kTDuration = QStringLiteral("TDuration");
const QString kTEasingFunction = QStringLiteral("TEasingFunction");
constexpr int kDefaultEasing = 4;
// Space left after whatever precedes a new transition, and the fit tolerance.
constexpr double kSpacing = 0.04;
constexpr float kFitTolerance = 0.01f;

const PropertyMap &_emptySet()
{
  static const PropertyMap empty;
  return empty;
}

// The 20 values a transition animates, in their stored order.
constexpr int kColourEffects = 9;
const char *const kColourNames[kColourEffects] = {"ClrSaturation", "ClrBrightness", "ClrContrast",
                                                  "ClrWhiteBalance", "ClrExposure", "ClrHue",
                                                  "ClrRed", "ClrGreen", "ClrBlue"};

struct TransitionValues
{
  float volume;
  QSizeF scale;
  QPointF translation;
  float transparency;
  float rotation;
  int flip;
  float rotationX;
  float rotationY;
  QPointF anchor;
  QPointF cropTopLeft;
  QPointF cropBottomRight;
  int colours[kColourEffects];
};

TransitionValues _segmentValues(const Segment &s)
{
  return {s.userVolume(), s.userScale(), s.userTranslation(), s.userTransparency(), float(s.userRotation()),
          s.userFlip(), s.userRotationX(), s.userRotationY(), s.userAnchorPoint(), s.cropTopLeft(),
          s.cropBottomRight(),
          {s.clrSaturation(), s.clrBrightness(), s.clrContrast(), s.clrWhiteBalance(), s.clrExposure(),
           s.clrHue(), s.clrRed(), s.clrGreen(), s.clrBlue()}};
}

TransitionValues _transitionValues(const Segment &s, int id, bool begin)
{
  return {s.transitionUserVolume(id, begin), s.transitionUserScale(id, begin),
          s.transitionUserTranslation(id, begin), s.transitionUserTransparency(id, begin),
          s.transitionUserRotation(id, begin), s.transitionUserFlip(id, begin),
          s.transitionUserRotationX(id, begin), s.transitionUserRotationY(id, begin),
          s.transitionUserAnchorPoint(id, begin), s.transitionCropTopLeft(id, begin),
          s.transitionCropBottomRight(id, begin),
          {s.transitionClrSaturation(id, begin), s.transitionClrBrightness(id, begin),
           s.transitionClrContrast(id, begin), s.transitionClrWhiteBalance(id, begin),
           s.transitionClrExposure(id, begin), s.transitionClrHue(id, begin), s.transitionClrRed(id, begin),
           s.transitionClrGreen(id, begin), s.transitionClrBlue(id, begin)}};
}

// Every value in a set is written in the 6-digit form, the rotation included.
void _writeValues(PropertyMap &set, const TransitionValues &v)
{
  setFloatValue(set, QStringLiteral("UserVolume"), v.volume);
  setSizeValue(set, QStringLiteral("UserScale"), v.scale);
  setPointValue(set, QStringLiteral("UserTranslation"), v.translation);
  setFloatValue(set, QStringLiteral("UserTransparency"), v.transparency);
  setFloatValue(set, QStringLiteral("UserRotation"), v.rotation);
  setIntValue(set, QStringLiteral("UserFlip"), v.flip);
  setFloatValue(set, QStringLiteral("UserRotationX"), v.rotationX);
  setFloatValue(set, QStringLiteral("UserRotationY"), v.rotationY);
  setPointValue(set, QStringLiteral("UserAnchorPoint"), v.anchor);
  setPointValue(set, QStringLiteral("CropTopLeft"), v.cropTopLeft);
  setPointValue(set, QStringLiteral("CropBottomRight"), v.cropBottomRight);
  for (int i = 0; i < kColourEffects; ++i)
    setIntValue(set, QLatin1String(kColourNames[i]), v.colours[i]);
}

} // namespace

// Per-transition value accessors: getters read the set (or nothing) with the set's default,
// setters write only into an existing set.
#define TRANSITION_VALUE(Type, ArgType, getter, setter, Name, reader, writer, def) \
  Type Segment::getter(int id, bool begin) const \
  { \
    const PropertyMap *set = transitionValues(id, begin); \
    return reader(set ? *set : _emptySet(), QStringLiteral(Name), def); \
  } \
  void Segment::setter(int id, bool begin, ArgType value) \
  { \
    if (PropertyMap *set = transitionValues(id, begin)) \
      writer(*set, QStringLiteral(Name), value); \
  }
#define TRANSITION_INT(getter, setter, Name, def) \
  TRANSITION_VALUE(int, int, getter, setter, Name, intValue, setIntValue, def)
#define TRANSITION_FLOAT(getter, setter, Name, def) \
  TRANSITION_VALUE(float, float, getter, setter, Name, floatValue, setFloatValue, def)
#define TRANSITION_POINT(getter, setter, Name, x, y) \
  TRANSITION_VALUE(QPointF, const QPointF &, getter, setter, Name, pointValue, setPointValue, QPointF(x, y))

int Segment::transitionCount() const
{
  const TransitionList *list = properties()->transitions();
  return list ? int(list->size()) : 0;
}

PropertyMap *Segment::transition(int id) const
{
  if (id < 1 || id > transitionCount())
    return nullptr;
  return (*properties()->transitions())[size_t(id - 1)].get();
}

PropertyMap *Segment::transitionValues(int id, bool begin) const
{
  const PropertyMap *record = transition(id);
  return record ? record->values(begin) : nullptr;
}

int Segment::transitionIdAt(int position) const
{
  return position >= 0 && position < transitionCount() ? position + 1 : 0;
}

int Segment::nextTransitionId(int id) const
{
  return id < transitionCount() ? id + 1 : 0;
}

int Segment::nextTransition(int id) const
{
  if (!transition(id))
    return 0;
  const float start = transitionStart(id);
  const float end = duration();
  int best = 0;
  float bestStart = 0;
  for (int other = 1; other <= transitionCount(); ++other) {
    const float s = transitionStart(other);
    if (other == id || s < start || s >= end)
      continue;
    if (best == 0 || s < bestStart) {
      best = other;
      bestStart = s;
    }
  }
  return best;
}

int Segment::previousTransition(int id) const
{
  if (!transition(id))
    return 0;
  const float start = transitionStart(id);
  int best = 0;
  float bestStart = 0;
  for (int other = 1; other <= transitionCount(); ++other) {
    const float s = transitionStart(other);
    if (other == id || s >= start)
      continue;
    if (best == 0 || s >= bestStart) {
      best = other;
      bestStart = s;
    }
  }
  return best;
}

int Segment::transitionAt(float time) const
{
  const float segmentStart = rangeStart();
  int found = 0;
  for (int id = 1; id <= transitionCount(); ++id) {
    if (segmentStart + transitionStart(id) > time)
      break;
    found = id;
  }
  return found;
}

bool Segment::isBeforeFirstTransition(float time) const
{
  const float start = rangeStart();
  return time >= start && time < start + duration() && transitionAt(time) == 0;
}

float Segment::transitionStart(int id) const
{
  const PropertyMap *record = transition(id);
  return record ? floatValue(*record, kTStart, 0) * duration() : 0;
}

void Segment::setTransitionStart(int id, float seconds)
{
  if (PropertyMap *record = transition(id))
    setFloatValue(*record, kTStart, seconds / duration());
}

float Segment::transitionDuration(int id) const
{
  const PropertyMap *record = transition(id);
  return record ? floatValue(*record, kTDuration, 0) * duration() : 0;
}

void Segment::setTransitionDuration(int id, float seconds)
{
  if (PropertyMap *record = transition(id))
    setFloatValue(*record, kTDuration, seconds / duration());
}

int Segment::transitionEasingFunction(int id) const
{
  const PropertyMap *record = transition(id);
  return record ? intValue(*record, kTEasingFunction, kDefaultEasing) : kDefaultEasing;
}

void Segment::setTransitionEasingFunction(int id, int easing)
{
  if (PropertyMap *record = transition(id))
    setIntValue(*record, kTEasingFunction, easing);
}

TRANSITION_FLOAT(transitionUserVolume, setTransitionUserVolume, "UserVolume", 1.0f)

QSizeF Segment::transitionUserScale(int id, bool begin) const
{
  const PropertyMap *set = transitionValues(id, begin);
  QSizeF scale = sizeValue(set ? *set : _emptySet(), QStringLiteral("UserScale"), QSizeF(1, 1));
  if (scale.width() < 0)
    scale.setWidth(1);
  if (scale.height() < 0)
    scale.setHeight(1);
  return scale;
}

void Segment::setTransitionUserScale(int id, bool begin, const QSizeF &value)
{
  if (PropertyMap *set = transitionValues(id, begin))
    setSizeValue(*set, QStringLiteral("UserScale"), value);
}

TRANSITION_POINT(transitionUserTranslation, setTransitionUserTranslation, "UserTranslation", 0, 0)
TRANSITION_FLOAT(transitionUserTransparency, setTransitionUserTransparency, "UserTransparency", 0)
TRANSITION_FLOAT(transitionUserRotation, setTransitionUserRotation, "UserRotation", 0)
TRANSITION_INT(transitionUserFlip, setTransitionUserFlip, "UserFlip", 0)
TRANSITION_FLOAT(transitionUserRotationX, setTransitionUserRotationX, "UserRotationX", 0)
TRANSITION_FLOAT(transitionUserRotationY, setTransitionUserRotationY, "UserRotationY", 0)
TRANSITION_POINT(transitionUserAnchorPoint, setTransitionUserAnchorPoint, "UserAnchorPoint", 0.5, 0.5)
TRANSITION_POINT(transitionCropTopLeft, setTransitionCropTopLeft, "CropTopLeft", 0, 0)
TRANSITION_POINT(transitionCropBottomRight, setTransitionCropBottomRight, "CropBottomRight", 1, 1)
TRANSITION_INT(transitionClrSaturation, setTransitionClrSaturation, "ClrSaturation", 0)
TRANSITION_INT(transitionClrBrightness, setTransitionClrBrightness, "ClrBrightness", 0)
TRANSITION_INT(transitionClrContrast, setTransitionClrContrast, "ClrContrast", 0)
TRANSITION_INT(transitionClrWhiteBalance, setTransitionClrWhiteBalance, "ClrWhiteBalance", 0)
TRANSITION_INT(transitionClrExposure, setTransitionClrExposure, "ClrExposure", 0)
TRANSITION_INT(transitionClrHue, setTransitionClrHue, "ClrHue", 0)
TRANSITION_INT(transitionClrRed, setTransitionClrRed, "ClrRed", 0)
TRANSITION_INT(transitionClrGreen, setTransitionClrGreen, "ClrGreen", 0)
TRANSITION_INT(transitionClrBlue, setTransitionClrBlue, "ClrBlue", 0)

float Segment::findTransitionSlot(float duration, float time) const
{
  struct Gap
  {
    double start;
    double length;
  };
  std::vector<Gap> gaps;
  double end = 0;
  for (int id = 1; id <= transitionCount(); ++id) {
    const double s = transitionStart(id);
    const double d = transitionDuration(id);
    if (s > end)
      gaps.push_back({end, s - end});
    end = s + d;
  }
  if (this->duration() > end)
    gaps.push_back({end, this->duration() - end});

  for (const Gap &gap : gaps) {
    if (gap.start + gap.length < time)
      continue;
    const double offset = time > gap.start && time < gap.start + gap.length ? time - gap.start : 0;
    const double room = gap.length - offset;
    if (room > duration + kSpacing) {
      const double at = gap.start + offset;
      return float(at > 0 ? at + kSpacing : at);
    }
    if (Util::compareWithTolerance(float(room), duration, kFitTolerance) >= 0)
      return float(gap.start + offset);
  }
  return -1;
}

int Segment::_insertTransitionRecord(std::unique_ptr<PropertyMap> record, float start)
{
  TransitionList &list = properties()->ensureTransitions();
  // After every record that does not start later, so equal starts keep insertion order.
  auto it = std::find_if(list.begin(), list.end(), [&](const std::unique_ptr<PropertyMap> &r) {
    return floatValue(*r, kTStart, 0) * duration() > start;
  });
  const int id = int(it - list.begin()) + 1;
  list.insert(it, std::move(record));
  return id;
}

int Segment::insertTransition(float duration, float time)
{
  properties()->ensureTransitions();
  float t = findTransitionSlot(duration, time - rangeStart());
  if (t < 0)
    t = findTransitionSlot(duration, 0);
  if (t < 0)
    return 0;
  auto record = std::make_unique<PropertyMap>();
  record->setValues(true, std::make_unique<PropertyMap>());
  record->setValues(false, std::make_unique<PropertyMap>());
  const int id = _insertTransitionRecord(std::move(record), t);
  setTransitionStart(id, t);
  setFloatValue(*transition(id), kTDuration, duration / this->duration());
  resetTransitionValues(id, true);
  resetTransitionValues(id, false);
  return id;
}

int Segment::duplicateTransition(int id)
{
  const PropertyMap *source = transition(id);
  if (!source)
    return 0;
  const float s = transitionStart(id);
  const float d = transitionDuration(id);
  const float t = findTransitionSlot(d, s + d);
  if (t < 0)
    return 0;
  // A full copy carries TDuration, TEasingFunction and both value sets along.
  const int newId = _insertTransitionRecord(std::make_unique<PropertyMap>(*source), t);
  setTransitionStart(newId, t);
  return newId;
}

void Segment::removeTransition(int id)
{
  if (!transition(id))
    return;
  TransitionList &list = *properties()->transitions();
  list.erase(list.begin() + (id - 1));
}

void Segment::resetTransitionValues(int id, bool begin)
{
  PropertyMap *target = transitionValues(id, begin);
  if (!target)
    return;
  // Begin values continue from the previous transition's end, or from the segment's own
  // values; end values start as a hold of the begin values.
  if (!begin)
    _writeValues(*target, _transitionValues(*this, id, true));
  else if (transition(id - 1))
    _writeValues(*target, _transitionValues(*this, id - 1, false));
  else
    _writeValues(*target, _segmentValues(*this));
}

void Segment::copyUserPropertiesFromTransition(int id, const Segment *source, bool begin)
{
  const TransitionValues v = _transitionValues(*source, id, begin);
  setUserVolume(v.volume);
  setUserScale(v.scale);
  setUserTranslation(v.translation);
  setUserTransparency(v.transparency);
  setUserRotation(v.rotation);
  setUserFlip(v.flip);
  setUserRotationX(v.rotationX);
  setUserRotationY(v.rotationY);
  setUserAnchorPoint(v.anchor);
  setCropTopLeft(v.cropTopLeft);
  setCropBottomRight(v.cropBottomRight);
  for (int i = 0; i < kColourEffects; ++i)
    setIntValue(*properties(), QLatin1String(kColourNames[i]), v.colours[i]);
}
