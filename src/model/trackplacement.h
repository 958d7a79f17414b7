#pragma once
// Where the segments of an opened project go on the timeline's rows. A file may hold starts,
// lengths and track ids that no block can show: a block at no time, one of no width, two blocks
// on top of each other, or a block on a row of another kind. Before the blocks are built, the
// bags are brought to places where every block can be seen; the file changes only when the
// project is saved.

#include "propertymap.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <map>

namespace TrackPlacement {

struct Result
{
  // Segments put on another row or at another start.
  int moved = 0;
  // Any bag changed, a length given its default included.
  bool changed = false;
  // Movies and sounds whose length was reset: they take their file's length once it opens,
  // and may then reach into the next block of their row. True for those counted in moved.
  QHash<const PropertyMap *, bool> lengthFromFile;
};

// A kind's default length on the timeline in seconds; 0 leaves it to the media file.
using DefaultLength = std::function<float(const QString &type)>;

// Reads "TrackId", "RangeStart", "RangeDuration" and "Speed" of the bags of known types, in
// list order, and rewrites them where needed: a length that cannot be shown takes its kind's
// default; a start that cannot be shown goes after the last block of its row; a segment whose
// row cannot hold it (an id that is no row, a row of another kind, a block already there) goes
// on a row of its kind where it fits, or on a new one. Rows keep the kind of their first
// segment. Bags of unknown types are left as they are.
Result place(PropertyMapList &maps, const DefaultLength &defaultLength);

// The rows of a timeline from the top down, each holding blocks of one kind, and where a
// block goes by the rules above.
class Rows
{
public:
  struct Spot
  {
    int key = 0;
    double start = 0;
    // The block goes on a new row, below the others; key is an id no row has.
    bool newRow = false;
    // The block goes after the end of a row instead of at the start it asked for.
    bool after = false;
  };

  // Adds a row below the others unless one has the key; an id only reserved is no row.
  void addRow(int key, const QString &kind);
  void reserveKey(int key) { _usedKeys.insert(key); }
  // Adds a new row of the kind below the others, under an id no row has; returns the id.
  int addNewRow(const QString &kind);
  // A block on the row of the key; none when no row has the key.
  void addBlock(int key, double start, double finish);

  // A block that can start at start: its own row when it fits there, else the first row of
  // its kind where it fits, else (movies with all the rows they may have) after the end of
  // the movie row that ends first, else a new row. A key below 0 names no row.
  Spot spotAt(int key, const QString &kind, double start, double length) const;
  // A block whose start cannot be shown: after the end of its own row, else of the first row
  // of its kind that ends before the longest time, else as above.
  Spot spotAfter(int key, const QString &kind) const;

private:
  struct Row
  {
    int key = 0;
    QString kind;
    // Start to end of every block placed on the row; they never overlap.
    std::multimap<double, double> spans;
    double end = 0;

    bool fits(double start, double finish) const;
  };

  const Row *_ownRow(int key, const QString &kind) const;
  const Row *_movieRowToAppendTo(const QString &kind) const;
  static Spot _after(const Row &row);
  int _unusedKey() const;

  // A deque: rows stay where they are while new ones are added.
  std::deque<Row> _rows;
  QHash<int, int> _rowOfKey;
  QSet<int> _usedKeys;
  // Every id below it is used: ids are only ever added.
  mutable int _nextKey = 1;
};

} // namespace TrackPlacement
