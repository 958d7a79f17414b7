#pragma once

#include "segment.h"

#include <initializer_list>

// Whether the segment's type is one of those given; the whole type string is compared.
inline bool isSegmentOfType(const Segment *segment, std::initializer_list<const char *> types)
{
  if (!segment)
    return false;
  const QString type = segment->type();
  for (const char *t : types)
    if (type == QLatin1String(t))
      return true;
  return false;
}

// Layers on the picture.
inline bool isVisualSegment(const Segment *segment)
{
  return isSegmentOfType(segment, {"MOVIE", "IMAGE", "TEXT", "DRAWING"});
}
