#include "trackplacement.h"

#include "storedvalues.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The edit area takes a movie on a new row only while fewer rows than this show movies.
constexpr int kMovieRows = 4;

bool _isKnownType(const QString &type)
{
  static const QStringList types = {QStringLiteral("MOVIE"), QStringLiteral("IMAGE"), QStringLiteral("DRAWING"),
                                    QStringLiteral("MUSIC"), QStringLiteral("TEXT"),  QStringLiteral("VOICE")};
  return types.contains(type);
}

// Times are stored with 6 significant digits: blocks that abut in a file may overlap by that much.
double _tolerance(double a, double b)
{
  return 0.001 + 2e-5 * std::max(std::abs(a), std::abs(b));
}

// The earliest time of 6 significant digits not before t: a block stored there does not reach
// back into the one before.
double _storableNotBefore(double t)
{
  if (t <= 0)
    return 0;
  const double stored = QString::number(t, 'g', 6).toDouble();
  if (stored >= t)
    return stored;
  const double step = std::pow(10.0, std::floor(std::log10(t)) - 5);
  return QString::number(stored + step, 'g', 6).toDouble();
}

struct Item
{
  PropertyMap *map = nullptr;
  QString type;
  bool keyValid = false;
  int key = 0;
  bool startShown = true;
  bool startChanged = false;
  bool lengthFromFile = false;
  double start = 0;
  double length = 0;
};

class Placer
{
public:
  explicit Placer(const TrackPlacement::DefaultLength &defaultLength) : _defaultLength(defaultLength) {}

  TrackPlacement::Result run(PropertyMapList &maps)
  {
    std::vector<Item> items;
    for (const auto &map : maps) {
      if (!map)
        continue;
      // New rows take no id of a stored segment, one of a type this version cannot read included.
      bool ok = false;
      const int key = map->text(QStringLiteral("TrackId")).toInt(&ok);
      if (ok)
        _rows.reserveKey(key);
      if (_isKnownType(map->text(QStringLiteral("Type"))))
        items.push_back(_read(*map));
    }
    // Rows take the kind of the first segment stored on them.
    for (const Item &item : items)
      if (item.keyValid)
        _rows.addRow(item.key, item.type);
    for (Item &item : items)
      if (item.startShown)
        _put(item, _rows.spotAt(_key(item), item.type, item.start, item.length));
    for (Item &item : items)
      if (!item.startShown)
        _put(item, _rows.spotAfter(_key(item), item.type));
    return _result;
  }

private:
  static int _key(const Item &item) { return item.keyValid ? item.key : -1; }

  Item _read(PropertyMap &map)
  {
    static const QString trackId = QStringLiteral("TrackId");
    static const QString rangeStart = QStringLiteral("RangeStart");
    static const QString rangeDuration = QStringLiteral("RangeDuration");
    Item item;
    item.map = &map;
    item.type = map.text(QStringLiteral("Type"));

    bool ok = true;
    item.key = map.contains(trackId) ? map.text(trackId).toInt(&ok) : 0;
    item.keyValid = ok && item.key >= 0;

    float speed = floatValue(map, QStringLiteral("Speed"), 1.0f);
    if (!(speed >= 0.25f && speed <= 4.0f))
      speed = 1.0f;
    const double stored = map.contains(rangeDuration) ? map.text(rangeDuration).trimmed().toDouble() : 0.0;
    item.length = stored / double(speed);
    // A media length of 0 is learnt from the file when it opens.
    const bool learnt = stored == 0.0 && StoredValues::hasMediaLength(item.type);
    if (!learnt && !(item.length >= double(StoredValues::kShortestDuration)
                     && item.length <= double(StoredValues::kLongestTime))) {
      item.lengthFromFile = StoredValues::hasMediaLength(item.type);
      item.length = item.lengthFromFile ? 0.0 : _kindLength(item.type);
      setFloatValue(map, rangeDuration, float(item.length * double(speed)));
      _result.changed = true;
    }

    // A start below 0 reads as 0; one that is no float, or lies beyond the longest
    // time, no block can show.
    const double start = map.contains(rangeStart) ? map.text(rangeStart).trimmed().toDouble() : 0.0;
    if (!std::isfinite(start) || std::abs(start) > double(std::numeric_limits<float>::max())
        || start > double(StoredValues::kLongestTime)) {
      item.startShown = false;
    } else if (start < 0) {
      item.startChanged = true;
    } else {
      item.start = double(float(start));
    }
    return item;
  }

  float _kindLength(const QString &type) const
  {
    const float seconds = _defaultLength ? _defaultLength(type) : 0.0f;
    return std::clamp(std::isfinite(seconds) ? seconds : 0.0f, StoredValues::kShortestDuration,
                      StoredValues::kLongestTime);
  }

  void _put(Item &item, TrackPlacement::Rows::Spot spot)
  {
    if (spot.newRow)
      spot.key = _rows.addNewRow(item.type);
    if (spot.after) {
      item.start = spot.start;
      item.startChanged = true;
    }
    _rows.addBlock(spot.key, item.start, item.start + item.length);
    const bool rowChanged = !item.keyValid || item.key != spot.key;
    if (rowChanged)
      setIntValue(*item.map, QStringLiteral("TrackId"), spot.key);
    if (item.startChanged)
      setFloatValue(*item.map, QStringLiteral("RangeStart"), float(item.start));
    const bool moved = rowChanged || item.startChanged;
    if (moved) {
      ++_result.moved;
      _result.changed = true;
    }
    if (item.lengthFromFile)
      _result.lengthFromFile.insert(item.map, moved);
  }

  const TrackPlacement::DefaultLength &_defaultLength;
  TrackPlacement::Result _result;
  TrackPlacement::Rows _rows;
};

} // namespace

namespace TrackPlacement {

Result place(PropertyMapList &maps, const DefaultLength &defaultLength)
{
  return Placer(defaultLength).run(maps);
}

bool Rows::Row::fits(double start, double finish) const
{
  const double tolerance = _tolerance(start, finish);
  const auto next = spans.lower_bound(start);
  if (next != spans.end() && next->first < finish - tolerance)
    return false;
  return next == spans.begin() || std::prev(next)->second <= start + tolerance;
}

void Rows::addRow(int key, const QString &kind)
{
  _usedKeys.insert(key);
  if (_rowOfKey.contains(key))
    return;
  _rowOfKey.insert(key, int(_rows.size()));
  _rows.push_back(Row{key, kind, {}, 0});
}

int Rows::addNewRow(const QString &kind)
{
  const int key = _unusedKey();
  addRow(key, kind);
  return key;
}

void Rows::addBlock(int key, double start, double finish)
{
  const auto found = _rowOfKey.constFind(key);
  if (found == _rowOfKey.cend())
    return;
  Row &row = _rows[size_t(*found)];
  row.spans.emplace(start, finish);
  row.end = std::max(row.end, finish);
}

Rows::Spot Rows::spotAt(int key, const QString &kind, double start, double length) const
{
  const double finish = start + length;
  const Row *row = _ownRow(key, kind);
  if (!row || !row->fits(start, finish)) {
    row = nullptr;
    for (const Row &other : _rows)
      if (other.kind == kind && other.fits(start, finish)) {
        row = &other;
        break;
      }
  }
  if (row)
    return Spot{row->key, start, false, false};
  if ((row = _movieRowToAppendTo(kind)))
    return _after(*row);
  return Spot{_unusedKey(), start, true, false};
}

Rows::Spot Rows::spotAfter(int key, const QString &kind) const
{
  const auto hasRoom = [](const Row &row) { return row.end <= double(StoredValues::kLongestTime); };
  const Row *row = _ownRow(key, kind);
  if (!row || !hasRoom(*row)) {
    row = nullptr;
    for (const Row &other : _rows)
      if (other.kind == kind && hasRoom(other)) {
        row = &other;
        break;
      }
  }
  if (row || (row = _movieRowToAppendTo(kind)))
    return _after(*row);
  return Spot{_unusedKey(), 0, true, true};
}

const Rows::Row *Rows::_ownRow(int key, const QString &kind) const
{
  const auto found = _rowOfKey.constFind(key);
  if (key < 0 || found == _rowOfKey.cend())
    return nullptr;
  const Row &row = _rows[size_t(*found)];
  return row.kind == kind ? &row : nullptr;
}

// With all the rows a movie may have, a movie goes after the row that ends first instead.
const Rows::Row *Rows::_movieRowToAppendTo(const QString &kind) const
{
  if (kind != QLatin1String("MOVIE"))
    return nullptr;
  const Row *earliest = nullptr;
  int movieRows = 0;
  for (const Row &row : _rows) {
    if (row.kind != kind)
      continue;
    ++movieRows;
    if (!earliest || row.end < earliest->end)
      earliest = &row;
  }
  return movieRows >= kMovieRows ? earliest : nullptr;
}

Rows::Spot Rows::_after(const Row &row)
{
  return Spot{row.key, _storableNotBefore(row.end), false, true};
}

int Rows::_unusedKey() const
{
  while (_usedKeys.contains(_nextKey))
    ++_nextKey;
  return _nextKey;
}

} // namespace TrackPlacement
