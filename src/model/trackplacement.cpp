#include "trackplacement.h"

#include "storedvalues.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <deque>
#include <map>
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

struct Row
{
  int key = 0;
  QString kind;
  // Start to end of every block placed on the row; they never overlap.
  std::multimap<double, double> spans;
  double end = 0;

  bool fits(double start, double finish) const
  {
    const double tolerance = _tolerance(start, finish);
    const auto next = spans.lower_bound(start);
    if (next != spans.end() && next->first < finish - tolerance)
      return false;
    return next == spans.begin() || std::prev(next)->second <= start + tolerance;
  }

  void add(double start, double finish)
  {
    spans.emplace(start, finish);
    end = std::max(end, finish);
  }
};

struct Item
{
  PropertyMap *map = nullptr;
  QString type;
  bool keyValid = false;
  int key = 0;
  bool startShown = true;
  bool startChanged = false;
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
        _usedKeys.insert(key);
      if (_isKnownType(map->text(QStringLiteral("Type"))))
        items.push_back(_read(*map));
    }
    // Rows take the kind of the first segment stored on them.
    for (const Item &item : items)
      if (item.keyValid)
        _keyed(item.key, item.type);
    for (Item &item : items)
      if (item.startShown)
        _placeAtItsStart(item);
    for (Item &item : items)
      if (!item.startShown)
        _placeAfterRow(item);
    return _result;
  }

private:
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
      item.length = StoredValues::hasMediaLength(item.type) ? 0.0 : _kindLength(item.type);
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

  Row &_keyed(int key, const QString &kind)
  {
    const auto found = _rowOfKey.constFind(key);
    if (found != _rowOfKey.cend())
      return _rows[size_t(*found)];
    _rowOfKey.insert(key, int(_rows.size()));
    _rows.push_back(Row{key, kind, {}, 0});
    return _rows.back();
  }

  Row *_ownRow(const Item &item)
  {
    if (!item.keyValid)
      return nullptr;
    Row &row = _keyed(item.key, item.type);
    return row.kind == item.type ? &row : nullptr;
  }

  Row &_newRow(const QString &kind)
  {
    while (_usedKeys.contains(_nextKey))
      ++_nextKey;
    _usedKeys.insert(_nextKey);
    return _keyed(_nextKey, kind);
  }

  // With all the rows a movie may have, a movie goes after the row that ends first instead.
  Row *_movieRowToAppendTo(const QString &kind)
  {
    if (kind != QLatin1String("MOVIE"))
      return nullptr;
    Row *earliest = nullptr;
    int movieRows = 0;
    for (Row &row : _rows) {
      if (row.kind != kind)
        continue;
      ++movieRows;
      if (!earliest || row.end < earliest->end)
        earliest = &row;
    }
    return movieRows >= kMovieRows ? earliest : nullptr;
  }

  void _placeAtItsStart(Item &item)
  {
    const double finish = item.start + item.length;
    Row *row = _ownRow(item);
    if (!row || !row->fits(item.start, finish)) {
      row = nullptr;
      for (Row &other : _rows)
        if (other.kind == item.type && other.fits(item.start, finish)) {
          row = &other;
          break;
        }
    }
    if (!row) {
      row = _movieRowToAppendTo(item.type);
      if (row) {
        _putAfter(item, *row);
        return;
      }
      row = &_newRow(item.type);
    }
    _put(item, *row);
  }

  void _placeAfterRow(Item &item)
  {
    const auto hasRoom = [](const Row &row) { return row.end <= double(StoredValues::kLongestTime); };
    Row *row = _ownRow(item);
    if (!row || !hasRoom(*row)) {
      row = nullptr;
      for (Row &other : _rows)
        if (other.kind == item.type && hasRoom(other)) {
          row = &other;
          break;
        }
    }
    if (!row)
      row = _movieRowToAppendTo(item.type);
    if (!row)
      row = &_newRow(item.type);
    _putAfter(item, *row);
  }

  void _putAfter(Item &item, Row &row)
  {
    item.start = _storableNotBefore(row.end);
    item.startChanged = true;
    _put(item, row);
  }

  void _put(Item &item, Row &row)
  {
    row.add(item.start, item.start + item.length);
    const bool rowChanged = !item.keyValid || item.key != row.key;
    if (rowChanged)
      setIntValue(*item.map, QStringLiteral("TrackId"), row.key);
    if (item.startChanged)
      setFloatValue(*item.map, QStringLiteral("RangeStart"), float(item.start));
    if (rowChanged || item.startChanged) {
      ++_result.moved;
      _result.changed = true;
    }
  }

  const TrackPlacement::DefaultLength &_defaultLength;
  TrackPlacement::Result _result;
  // A deque: rows are held by reference while new ones are added.
  std::deque<Row> _rows;
  QHash<int, int> _rowOfKey;
  QSet<int> _usedKeys;
  int _nextKey = 1;
};

} // namespace

namespace TrackPlacement {

Result place(PropertyMapList &maps, const DefaultLength &defaultLength)
{
  return Placer(defaultLength).run(maps);
}

} // namespace TrackPlacement
