#pragma once
// Image side of the engine's platform glue: decoding picture files into pixel buffers and
// fetching animated-image frames from the editor.

#include <cstdint>
#include <functional>
#include <string>

struct AVPixelBuffer;
class QObject;

// The bound pictures are decoded within: the larger side of the current composition's render
// size (the composition sets it when built and when its render size changes); 0 leaves
// pictures at their own size.
void setImageDecodeBound(int width, int height);
int imageDecodeBound();

// Error kinds: 1 read failed, 2 not readable as an image. Path is UTF-8. The pixels are
// premultiplied ARGB32 as QImage keeps it (B, G, R, A bytes), format 1. A read that cancelled
// (may be empty) breaks off, or that goes on too long, failed.
AVPixelBuffer *loadImagePixels(const std::string &path, int *pictureRotation, int *errorKind, bool scaleAfterRead,
                               const std::function<bool()> &cancelled = {});

// The editor's answer for an animated image: malloc'd ARGB32 premultiplied bytes of width x
// height, or null. Called on the thread of the provider's context object.
using AVAnimationFrameProvider =
  std::function<uint8_t *(uint32_t segmentId, int64_t milliseconds, int maxWidth, int maxHeight, int *width, int *height)>;
void setAnimationFrameProvider(AVAnimationFrameProvider provider, QObject *context);
// How long a frame request waits for the editor before it counts as unanswered.
void setAnimationFrameTimeout(int milliseconds);

// Asks the provider, on its context's thread, for one frame within the render size. An answer
// that does not come within the time-out gives none with error kind kAnimationFrameUnanswered;
// when it comes after all, late gets it (a buffer it owns, or null, and its error kind) on the
// provider's thread.
constexpr int kAnimationFrameUnanswered = 3;
using AVLateAnimationFrame = std::function<void(AVPixelBuffer *buffer, int errorKind)>;
AVPixelBuffer *loadAnimationFrame(uint32_t segmentId, int64_t milliseconds, int *errorKind,
                                  AVLateAnimationFrame late = {});
