#include "segmentfactory.h"

#include "drawingsegment.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "textsegment.h"
#include "voicesegment.h"

Segment *makeSegment(const QString &type, PropertyMap *map, SegmentListener *listener)
{
  if (type == QLatin1String("MOVIE"))
    return new MovieSegment(map, listener, false);
  if (type == QLatin1String("IMAGE"))
    return new ImageSegment(map, listener, false);
  if (type == QLatin1String("DRAWING"))
    return new DrawingSegment(map, listener, false);
  if (type == QLatin1String("MUSIC"))
    return new MusicSegment(map, listener, false);
  if (type == QLatin1String("TEXT"))
    return new TextSegment(map, listener, false);
  if (type == QLatin1String("VOICE"))
    return new VoiceSegment(map, listener, false);
  return nullptr;
}
