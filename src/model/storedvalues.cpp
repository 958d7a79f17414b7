#include "storedvalues.h"

#include "propertymap.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMinSpeed = 0.25f;
constexpr float kMaxSpeed = 4.0f;

// Texts that are not numbers, whatever they read like ("nan" is a fine title).
bool _isText(const QString &name)
{
  static const QStringList names = {QStringLiteral("Type"),     QStringLiteral("UId"),       QStringLiteral("File"),
                                    QStringLiteral("Title"),    QStringLiteral("Artist"),    QStringLiteral("Text"),
                                    QStringLiteral("FontName"), QStringLiteral("FontStyle"), QStringLiteral("URL")};
  return names.contains(name);
}

// Values are read as floats: what overflows a float is as unusable as an infinity.
bool _isFinite(const QString &number)
{
  return std::isfinite(float(number.trimmed().toDouble()));
}

// A number, or a brace form of numbers, with a part that is not finite.
bool _readsNonFinite(const QString &text)
{
  const QString t = text.trimmed();
  if (t.size() > 2 && t.startsWith(QLatin1Char('{')) && t.endsWith(QLatin1Char('}'))) {
    QString inner = t;
    inner.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    for (const QString &field : inner.split(QLatin1Char(',')))
      if (!_isFinite(field))
        return true;
    return false;
  }
  return !_isFinite(t);
}

bool _dropNonFinite(PropertyMap &map)
{
  QStringList dropped;
  for (auto it = map.texts().cbegin(); it != map.texts().cend(); ++it)
    if (!_isText(it.key()) && _readsNonFinite(it.value()))
      dropped << it.key();
  for (const QString &name : qAsConst(dropped))
    map.remove(name);
  bool changed = !dropped.isEmpty();
  if (map.transitions())
    for (const auto &record : *map.transitions())
      changed = _dropNonFinite(*record) || changed;
  for (bool begin : {true, false})
    if (PropertyMap *set = map.values(begin))
      changed = _dropNonFinite(*set) || changed;
  return changed;
}

} // namespace

namespace StoredValues {

bool hasMediaLength(const QString &type)
{
  return type == QLatin1String("MOVIE") || type == QLatin1String("MUSIC") || type == QLatin1String("VOICE");
}

bool fit(PropertyMap &map)
{
  static const QString rangeStart = QStringLiteral("RangeStart");
  static const QString rangeDuration = QStringLiteral("RangeDuration");
  bool changed = false;
  // A length that is not finite reads its default, 0. Media segments fill a length of 0 from
  // their file; any other block needs at least the shortest length to be seen.
  if (map.contains(rangeDuration)) {
    float speed = floatValue(map, QStringLiteral("Speed"), 1.0f);
    if (!(speed >= kMinSpeed && speed <= kMaxSpeed))
      speed = 1.0f;
    // Read wide: a length beyond a float is the longest one, not an unreadable one.
    const double stored = map.text(rangeDuration).trimmed().toDouble();
    const float seconds =
        std::isfinite(stored) ? float(std::clamp(stored / double(speed), -1.0, 2.0 * double(kLongestTime))) : 0.0f;
    const bool learnt = seconds == 0.0f && hasMediaLength(map.text(QStringLiteral("Type")));
    if (!learnt && !(seconds >= kShortestDuration && seconds <= kLongestTime)) {
      setFloatValue(map, rangeDuration, std::clamp(seconds, kShortestDuration, kLongestTime) * speed);
      changed = true;
    } else if (learnt && stored != 0.0) {
      setFloatValue(map, rangeDuration, 0.0f);
      changed = true;
    }
  }
  if (map.contains(rangeStart)) {
    const double stored = map.text(rangeStart).trimmed().toDouble();
    if (!(stored >= 0.0 && stored <= double(kLongestTime))) {
      const double start = std::isfinite(stored) ? std::clamp(stored, 0.0, double(kLongestTime)) : 0.0;
      setFloatValue(map, rangeStart, float(start));
      changed = true;
    }
  }
  return _dropNonFinite(map) || changed;
}

} // namespace StoredValues
