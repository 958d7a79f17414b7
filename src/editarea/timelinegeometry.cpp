#include "timelinegeometry.h"

#include "segment.h"
#include "util.h"

#include <QRect>
#include <QSize>

namespace {
int s_pixelsPerSecond = 24;
int s_leftMargin = 60;
} // namespace

namespace Timeline {

int pixelsPerSecond()
{
  return s_pixelsPerSecond;
}

int leftMargin()
{
  return s_leftMargin;
}

void setPixelsPerSecond(int pixels)
{
  s_pixelsPerSecond = pixels;
}

void setLeftMargin(int pixels)
{
  s_leftMargin = pixels;
}

int screenShortSide()
{
  return Util::portraitScreenSize().width();
}

float rowHeight()
{
  return Segment::trackHeight();
}

float widthForDuration(float seconds, float zoom)
{
  return float(s_pixelsPerSecond) * zoom * seconds;
}

float xForTime(float seconds, float zoom)
{
  return float(s_leftMargin) + seconds * float(s_pixelsPerSecond) * zoom;
}

float timeForX(float x, float zoom)
{
  const float scale = float(s_pixelsPerSecond) * zoom;
  return scale > 0 ? (x - float(s_leftMargin)) / scale : 0.0f;
}

QRect spanRectInRow(float start, float duration, float zoom, int height)
{
  return QRect(int(xForTime(start, zoom) + float(screenShortSide())), 0, int(widthForDuration(duration, zoom)), height);
}

} // namespace Timeline

float contentWidth(float zoom, float duration)
{
  double d = double(duration) + 122.0;
  if (zoom < 1.0f && zoom > 0.0f)
    d += double(Timeline::screenShortSide()) / 768.0 * (20.0 / double(zoom));
  return float(double(Timeline::pixelsPerSecond()) * d * double(zoom) + double(Timeline::leftMargin()));
}
