#pragma once
// Segments of every type for the inspector's tests, without a listener: nothing loads, the
// property bag is all there is. A movie is told that its sound opened when it has one.

#include "drawingsegment.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "propertymap.h"
#include "textsegment.h"
#include "voicesegment.h"

#include <memory>

inline std::unique_ptr<Segment> makeSegment(const QString &type, bool movieSound = true)
{
  std::unique_ptr<Segment> segment;
  auto *bag = new PropertyMap;
  if (type == "MOVIE") {
    auto *movie = new MovieSegment(bag, nullptr, false);
    if (movieSound)
      movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    segment.reset(movie);
  } else if (type == "IMAGE") {
    segment.reset(new ImageSegment(bag, nullptr, false));
  } else if (type == "TEXT") {
    segment.reset(new TextSegment(bag, nullptr, false));
  } else if (type == "DRAWING") {
    segment.reset(new DrawingSegment(bag, nullptr, false));
  } else if (type == "MUSIC") {
    segment.reset(new MusicSegment(bag, nullptr, false));
  } else {
    segment.reset(new VoiceSegment(bag, nullptr, false));
  }
  segment->setType(type);
  return segment;
}
