#pragma once
// What a file may hold and the timeline can show. A segment read from a file brings its values
// into this range once, when it adopts its bag; the bag then says what the program shows, and
// the file changes only when the project is saved.

class PropertyMap;
class QString;

namespace StoredValues {

// The latest start and the longest length on the timeline: at the largest zoom a project of
// twice this stays inside the widths a widget can have.
constexpr float kLongestTime = 43200.0f;
// The shortest block: what a split leaves at least.
constexpr float kShortestDuration = 0.05f;

// Numbers that read as infinite or not a number are removed, so their properties read their
// defaults; "RangeStart" is brought into [0, kLongestTime] and a stored "RangeDuration" into
// the lengths a block can have at the segment's speed. Transition records and their value
// sets are treated alike. True when anything changed.
bool fit(PropertyMap &map);

// Movies, music and voices: a stored length of 0 is learnt from the file.
bool hasMediaLength(const QString &type);

} // namespace StoredValues
