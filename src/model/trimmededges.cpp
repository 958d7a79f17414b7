#include "trimmededges.h"

#include "segment.h"

namespace TrimmedEdges {

bool moveLeft(Segment &segment, float *time, Trim &trim)
{
  const float start = segment.rangeStart();
  const float newTrim = trim.start + (*time - start);
  if (newTrim >= 0) {
    segment.Segment::moveLeftEdge(time);
    trim.duration -= newTrim - trim.start;
    trim.start = newTrim;
    return true;
  }
  *time = start - trim.start;
  segment.Segment::moveLeftEdge(time);
  trim.duration += trim.start;
  trim.start = 0;
  return false;
}

bool moveRight(Segment &segment, float *time, Trim &trim, float mediaEnd)
{
  const float start = segment.rangeStart();
  float d = *time - start;
  // While the length is unknown a clamp would collapse the block to nothing.
  const bool clamped = mediaEnd > 0 && trim.start + d > mediaEnd;
  if (clamped) {
    d = mediaEnd - trim.start;
    *time = start + d;
  }
  segment.setDuration(d);
  trim.duration = d;
  return !clamped;
}

} // namespace TrimmedEdges
