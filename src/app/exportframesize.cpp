#include "exportframesize.h"

QSize exportFrameSize(float width, float height, int resolutionIndex)
{
  static const int longSides[] = {640, 960, 1280, 1920, 3840};
  static const int shortSides[] = {360, 540, 720, 1080, 2160};
  if (resolutionIndex < 0 || resolutionIndex > 4 || !(width > 0) || !(height > 0))
    return QSize(0, 0);

  const bool portrait = height > width;
  const float ratio = portrait ? height / width : width / height;
  if (double(ratio) >= 1.8888888888888888) {
    const float l = float(longSides[resolutionIndex]);
    int other = portrait ? int(width * l / height) : int(height * l / width);
    if (other % 2 != 0)
      other -= 1;
    return portrait ? QSize(other, int(l)) : QSize(int(l), other);
  }
  const float s = float(shortSides[resolutionIndex]);
  int other = portrait ? int(height * s / width) : int(width * s / height);
  // H.264 and HEVC refuse odd frame sizes.
  if (other % 2 != 0)
    other -= 1;
  return portrait ? QSize(int(s), other) : QSize(other, int(s));
}
