#pragma once
// The editor's door into the engine: builds and edits the composition by segment id and
// property id, and maps the editor's easing choices onto the engine's curves. GUI thread only.

#include "aveasing.h"
#include "avpixelbuffer.h"

#include <cstdint>

class AVComposition;
class AVImageLoader;
class AVRender;
class AVAudioSegment;
class AVSegment;
class AVVideoSegment;

// Property ids of setSegmentProperty and setTransitionValue.
enum AVPropertyId : int {
  kAVPropertyTransparency = 1,
  kAVPropertyPosition = 2,
  kAVPropertyScale = 3,
  kAVPropertyRotation = 4,
  kAVPropertyRotationX = 5,
  kAVPropertyRotationY = 6,
  kAVPropertyAnchor = 7,
  kAVPropertyCropTopLeft = 8,
  kAVPropertyCropBottomRight = 9,
  kAVPropertyBorderWidth = 10,
  kAVPropertyBorderColor = 11,
  kAVPropertyCornerRadius = 12,
  kAVPropertyShadowOpacity = 13,
  kAVPropertyShadowOffset = 14,
  kAVPropertyVolume = 15,
  kAVPropertyFontSize = 16,
  kAVPropertyTextColor = 17,
  kAVPropertyTextAlignment = 19,
  kAVPropertySaturation = 20, // colour effects 0..8 run to 28 (blue)
  kAVPropertyBlue = 28,
  kAVPropertyTextBackColor = 30,
  kAVPropertyTextBackInset = 31,
  kAVPropertyTextBackCorner = 32,
  kAVPropertyBorderStroke = 40,
  kAVPropertyStrokeTolerance = 41,
  kAVPropertyStrokeStrength = 42,
  kAVPropertyKeyEnabled = 50,
  kAVPropertyKeySensitivity = 51,
  kAVPropertyKeySmoothing = 52,
  kAVPropertyKeyColor = 53,
  kAVPropertyShadowRadius = 60,
  kAVPropertyShadowColor = 61
};

using AVThumbnailsLoadedCallback = void (*)(uint32_t segmentId, void *userData);

// One facade call as a watcher sees it: the entry's name, the segment id, the second id (a
// transition group, the old group of a renumbering, a count), the property id (the easing of an
// added group, the new group of a renumbering), the floats, any texts and the flag argument.
struct AVEngineCall
{
  const char *name = "";
  uint32_t id = 0;
  uint32_t groupId = 0;
  int propertyId = 0;
  float a = 0, b = 0, c = 0, d = 0;
  const char *text = nullptr;
  const char *text2 = nullptr;
  bool flag = false;
};
using AVEngineCallHook = void (*)(const AVEngineCall &call, void *userData);

class AVEngine
{
public:
  // Nothing is owned; the controller may be null.
  AVEngine(AVComposition *composition, AVImageLoader *imageLoader, AVRender *render);
  AVEngine(const AVEngine &) = delete;
  AVEngine &operator=(const AVEngine &) = delete;

  AVComposition *composition() const { return _composition; }
  AVImageLoader *imageLoader() const { return _imageLoader; }
  AVRender *render() const { return _render; }
  void setOwner(void *owner) { _owner = owner; }
  void *owner() const { return _owner; }
  void setThumbnailsLoadedCallback(AVThumbnailsLoadedCallback function, void *userData);
  AVThumbnailsLoadedCallback thumbnailsLoadedCallback() const { return _thumbnailsCallback; }
  void *thumbnailsLoadedUserData() const { return _thumbnailsUserData; }

  // The process-wide facade the GL glue reads; null when none.
  static void setShared(AVEngine *engine);
  static AVEngine *shared();
  // The audio format of new sound segments.
  static int audioSampleRate();
  static int audioChannels();
  // The editor's easing choice (1 to 16) as an engine easing type; anything else is smoothstep.
  static AVEasingType mapEasingType(int editorEasing);
  // Tests watch the facade's calls through this; null in normal runs. Loading threads add
  // segments too, so the hook must be thread-safe.
  static void setCallHook(AVEngineCallHook hook, void *userData);

  void setBackgroundColor(vec4 colour);
  void setRenderSize(int width, int height);
  void updateDuration();

  // Each add gives the new segment the id and returns it; paths and text are UTF-8.
  uint32_t addImageSegment(uint32_t id, const char *path, bool animated, float start, float duration);
  uint32_t addTextSegment(uint32_t id, const char *text, float start, float duration);

  // Unknown ids do nothing.
  void setSegmentStartTime(uint32_t id, float seconds);
  void setSegmentDuration(uint32_t id, float seconds);
  void setSegmentEnabled(uint32_t id, bool enabled);
  void setSegmentProperty(uint32_t id, int propertyId, float a, float b = 0, float c = 0, float d = 0);
  void setText(uint32_t id, const char *text);
  void setTextFont(uint32_t id, const char *family, const char *style);
  void removeSegment(uint32_t id);
  // Every visible segment, bottom first.
  void setLayerOrder(const uint32_t *ids, int count);

  // Video files (avengine_video.cpp). Range duration 0 takes the whole file from its start;
  // softwareOnly forbids hardware decoding.
  uint32_t addVideoSegment(uint32_t id, const char *path, float start, float rangeStart, float rangeDuration,
                           int thumbnailHeight, bool softwareOnly);
  void setSegmentRangeStart(uint32_t id, float seconds);
  void setSegmentRangeDuration(uint32_t id, float seconds);
  // Queries answer neutrally (0, null, size untouched) for unknown ids and segments that are no video.
  float videoDuration(uint32_t id);
  int videoSize(uint32_t id, int32_t *size);
  int videoThumbnailCount(uint32_t id);
  // Owned by the segment.
  AVPixelBuffer *videoThumbnail(uint32_t id, int index);
  void releaseVideoThumbnails(uint32_t id);
  // A new buffer on every call; the caller frees it with freePixelBuffer.
  AVPixelBuffer *videoFrameAtTime(uint32_t id, float seconds);

  // Sound files (avengine_audio.cpp), in the process-wide audio format. Range duration 0 plays
  // the whole file from its start. Queries answer 0 or null for unknown ids and layers.
  uint32_t addAudioSegment(uint32_t id, const char *path, float start, float rangeStart, float rangeDuration);
  float audioDuration(uint32_t id);
  const char *audioArtist(uint32_t id);
  const char *audioTitle(uint32_t id);
  // Playback (avengine_playback.cpp); nothing happens without a controller.
  void togglePlayPause();
  void pause();
  // Pauses first: a seek while playing would be overwritten by the clock.
  void seek(float seconds, bool exact);
  // One frame and one mix pass at the current time, after an edit.
  void refresh();
  float currentTime();
  // True without a controller, else only when both playback threads are parked.
  bool isIdle();
  // Transition groups; start and duration are fractions of the segment's duration.
  void addTransition(uint32_t id, uint32_t groupId, float start, float duration, int editorEasing);
  // isEnd false sets the begin value, true the end value; c and d are not used.
  void setTransitionValue(uint32_t id, uint32_t groupId, bool isEnd, int propertyId, float a, float b, float c = 0,
                          float d = 0);
  void setTransitionStart(uint32_t id, uint32_t groupId, float start);
  void setTransitionDuration(uint32_t id, uint32_t groupId, float duration);
  void setTransitionEasing(uint32_t id, uint32_t groupId, int editorEasing);
  void changeTransitionId(uint32_t id, uint32_t oldGroupId, uint32_t newGroupId);
  void removeTransition(uint32_t id, uint32_t groupId);
  void removeAllTransitions(uint32_t id);

  // Older projects: keyed-archive property lists into the XML files. Paths are UTF-16; 0 on
  // success, or 1 with the error text in the buffer.
  static int convertProjectPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                                 int errorTextLength);
  static int convertPropertiesPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                                    int errorTextLength);

private:
  static void _report(const AVEngineCall &call);
  AVSegment *_find(uint32_t id) const;
  AVVideoSegment *_findVideo(uint32_t id) const;
  AVAudioSegment *_findAudio(uint32_t id) const;
  uint32_t _add(AVSegment *segment, uint32_t id);
  template <typename F> void _editGroup(uint32_t id, uint32_t groupId, F edit);

  AVComposition *_composition;
  AVImageLoader *_imageLoader;
  AVRender *_render;
  void *_owner = nullptr;
  AVThumbnailsLoadedCallback _thumbnailsCallback = nullptr;
  void *_thumbnailsUserData = nullptr;
};
