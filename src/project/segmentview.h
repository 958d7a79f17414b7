#pragma once

class Segment;

// What the project keeps of a timeline block: the segment it shows, and whether it takes
// clicks. The timeline's block widget implements it; the project never owns one.
class SegmentView
{
public:
  virtual ~SegmentView() = default;
  virtual Segment *segment() const = 0;
  // An inactive block is dimmed; animated fades when animations are on. No-op when unchanged.
  virtual void setActive(bool active, bool animated) = 0;
};
