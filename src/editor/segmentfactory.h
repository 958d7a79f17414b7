#pragma once
// Segments rebuilt from stored property bags, as opening a project and undo do.

class PropertyMap;
class QString;
class Segment;
class SegmentListener;

// A segment of the stored type adopting map; null (map untouched) for an unknown type.
Segment *makeSegment(const QString &type, PropertyMap *map, SegmentListener *listener);
