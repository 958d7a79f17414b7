#pragma once

class Segment;

// Edge moves of a segment that shows a trimmed stretch of its media: the trim follows the
// left edge, and neither edge goes past the media's start or end. Values are in timeline
// seconds; the caller stores them in its own units.
namespace TrimmedEdges {

struct Trim
{
  float start = 0;
  float duration = 0;
};

// True when *time was taken unchanged; otherwise *time is where the media starts.
bool moveLeft(Segment &segment, float *time, Trim &trim);
// True when *time was taken unchanged; otherwise *time is where the media ends. A media end
// of 0 or less is not known yet and does not hold the edge.
bool moveRight(Segment &segment, float *time, Trim &trim, float mediaEnd);

} // namespace TrimmedEdges
