#pragma once
// The scale every timeline widget shares: in content coordinates x(t) = leftMargin + t ×
// pixelsPerSecond × zoom. The two integers are process-wide; the ruler installs them, and
// they hold 24 and 60 from the start so a timeline built before any ruler still works.

class QRect;

namespace Timeline {

int pixelsPerSecond();
int leftMargin();
void setPixelsPerSecond(int pixels);
void setLeftMargin(int pixels);

constexpr int TopBand = 50;
constexpr int BottomMargin = 20;

// The short side of the primary screen: rows overhang the content by this on both sides.
int screenShortSide();
float rowHeight();

// Pixels for a time span and the content x of a time.
float widthForDuration(float seconds, float zoom);
float xForTime(float seconds, float zoom);
float timeForX(float x, float zoom);
// The rectangle of a span inside a row (which starts S left of the content), truncated.
QRect spanRectInRow(float start, float duration, float zoom, int height);

} // namespace Timeline

// The width the content needs for a project of `duration` seconds at a zoom, with room
// after the end (more when zoomed out, so the end can still be scrolled to the middle).
float contentWidth(float zoom, float duration);
