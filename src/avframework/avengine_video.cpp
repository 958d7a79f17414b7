// The facade's video entries: adding video layers, their media ranges, and the questions the
// editor asks about their files.
#include "avaudiosegment.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avvideosegment.h"

#include <cstdlib>
#include <string>

namespace {
void _thumbnailsReady(AVSegment *segment, void *engine)
{
  auto *self = static_cast<AVEngine *>(engine);
  if (AVThumbnailsLoadedCallback callback = self->thumbnailsLoadedCallback())
    callback(segment->id(), self->thumbnailsLoadedUserData());
}
} // namespace

AVVideoSegment *AVEngine::_findVideo(uint32_t id) const
{
  AVSegment *segment = _find(id);
  return segment && segment->isVideo() ? static_cast<AVVideoSegment *>(segment) : nullptr;
}

uint32_t AVEngine::addVideoSegment(uint32_t id, const char *path, float start, float rangeStart, float rangeDuration,
                                   int thumbnailHeight, bool softwareOnly)
{
  _report({"addVideoSegment", id, 0, thumbnailHeight, start, rangeStart, rangeDuration, 0, path, nullptr, softwareOnly});
  const std::string file = path ? path : "";
  const uint32_t width = uint32_t(_composition->width()), height = uint32_t(_composition->height());
  // The composition width bounds the decoded picture both ways.
  auto *segment = rangeDuration == 0
                    ? new AVVideoSegment(start, file, width, height, int(width), thumbnailHeight)
                    : new AVVideoSegment(start, rangeStart, rangeDuration, file, width, height, int(width),
                                         thumbnailHeight);
  // Both before the composition starts the loading.
  segment->setThumbnailsCallback(_thumbnailsReady, this);
  segment->setHardwareDecodingDisabled(softwareOnly);
  return _add(segment, id);
}

void AVEngine::setSegmentRangeStart(uint32_t id, float seconds)
{
  _report({"setSegmentRangeStart", id, 0, 0, seconds});
  if (AVVideoSegment *video = _findVideo(id))
    video->setRangeStart(seconds);
  else if (AVAudioSegment *audio = _findAudio(id))
    audio->setRangeStart(seconds);
}

void AVEngine::setSegmentRangeDuration(uint32_t id, float seconds)
{
  _report({"setSegmentRangeDuration", id, 0, 0, seconds});
  if (AVVideoSegment *video = _findVideo(id))
    video->setRangeDuration(seconds);
  else if (AVAudioSegment *audio = _findAudio(id))
    audio->setRangeDuration(seconds);
}

float AVEngine::videoDuration(uint32_t id)
{
  AVVideoSegment *video = _findVideo(id);
  return video ? float(video->mediaDuration()) : 0;
}

int AVEngine::videoSize(uint32_t id, int32_t *size)
{
  AVVideoSegment *video = _findVideo(id);
  if (!video || !size)
    return 0;
  int width = 0, height = 0;
  video->videoSize(&width, &height);
  size[0] = width;
  size[1] = height;
  return 1;
}

int AVEngine::videoThumbnailCount(uint32_t id)
{
  AVVideoSegment *video = _findVideo(id);
  return video ? video->thumbnailCount() : 0;
}

AVPixelBuffer *AVEngine::videoThumbnail(uint32_t id, int index)
{
  AVVideoSegment *video = _findVideo(id);
  return video ? video->thumbnail(index) : nullptr;
}

void AVEngine::releaseVideoThumbnails(uint32_t id)
{
  if (AVVideoSegment *video = _findVideo(id))
    video->releaseThumbnails();
}

AVPixelBuffer *AVEngine::videoFrameAtTime(uint32_t id, float seconds)
{
  AVVideoSegment *video = _findVideo(id);
  if (!video)
    return nullptr;
  uint32_t size = 0;
  int width = 0, height = 0;
  double time = 0;
  uint8_t *pixels = video->frameAtTime(seconds, true, &size, &width, &height, &time);
  if (!pixels)
    return nullptr;
  AVPixelBuffer *buffer = createPixelBuffer(uint32_t(width), uint32_t(height), 1);
  if (buffer)
    pixelBufferSetData(buffer, pixels);
  free(pixels);
  return buffer;
}
