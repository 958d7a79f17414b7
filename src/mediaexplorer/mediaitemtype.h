#pragma once

// The kind of a media item, as it travels from the explorer to the editor and the preview.
enum MediaItemType {
  MediaItemTypeNone = 0,
  MediaItemTypeVideo = 1,
  MediaItemTypePicture = 2,
  MediaItemTypeAudio = 3,
  MediaItemTypeGif = 4,
};
