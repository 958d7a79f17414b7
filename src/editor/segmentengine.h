#pragma once
// A segment's engine objects by its type, shared by every window that hands segments to the
// engine: the movie's picture and sound parts, stills and drawings, sounds and texts.

class AVEngine;
class Segment;

// thumbnailHeight 0 makes no thumbnails; softwareOnly keeps video decoding off the hardware.
void addSegmentToEngine(AVEngine *engine, Segment *segment, int thumbnailHeight, bool softwareOnly);
