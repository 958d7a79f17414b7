#pragma once
// Where the segments of an opened project go on the timeline's rows. A file may hold starts,
// lengths and track ids that no block can show: a block at no time, one of no width, two blocks
// on top of each other, or a block on a row of another kind. Before the blocks are built, the
// bags are brought to places where every block can be seen; the file changes only when the
// project is saved.

#include "propertymap.h"

#include <functional>

class QString;

namespace TrackPlacement {

struct Result
{
  // Segments put on another row or at another start.
  int moved = 0;
  // Any bag changed, a length given its default included.
  bool changed = false;
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

} // namespace TrackPlacement
