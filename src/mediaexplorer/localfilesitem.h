#pragma once

#include <QFileInfo>

// One listed media file of the local files page.
struct LocalFileItem
{
  QFileInfo fileInfo;
  int type = 0; // MediaItemType: 1 video, 2 picture, 3 audio
  bool thumbnailLoaded = false;
};
