#include "avengine.h"

#include "avcomposition.h"
#include "avimagesegment.h"
#include "avsoundsegment.h"
#include "avtextsegment.h"
#include "avtransition.h"
#include "plistconverter.h"

#include <atomic>
#include <cmath>

namespace {
std::atomic<AVEngine *> sharedEngine{nullptr};
std::atomic<AVEngineCallHook> callHook{nullptr};
std::atomic<void *> callHookData{nullptr};
constexpr int kAudioSampleRate = 44100;
constexpr int kAudioChannels = 2;
constexpr float kDegreesPerRadian = float(180.0 / M_PI);

bool _isColorEffect(int propertyId)
{
  return propertyId >= kAVPropertySaturation && propertyId <= kAVPropertyBlue;
}

// A switch is on only for exactly 1.
bool _switch(float value)
{
  return int32_t(value) == 1;
}

void _setLayerProperty(AVLayerSegment *layer, int propertyId, float a, float b, float c, float d)
{
  if (_isColorEffect(propertyId)) {
    layer->setColorEffect(propertyId - kAVPropertySaturation, int32_t(a));
    return;
  }
  auto *text = layer->isText() ? static_cast<AVTextSegment *>(layer) : nullptr;
  switch (propertyId) {
  case kAVPropertyTransparency: layer->setTransparency(a); break;
  case kAVPropertyPosition: layer->setPosition(a, b); break;
  case kAVPropertyScale: layer->setScale(a, b); break;
  case kAVPropertyRotation: layer->setRotation(a * kDegreesPerRadian); break;
  case kAVPropertyRotationX: layer->setRotationX(a * kDegreesPerRadian); break;
  case kAVPropertyRotationY: layer->setRotationY(a * kDegreesPerRadian); break;
  case kAVPropertyAnchor: layer->setAnchor(a, b); break;
  case kAVPropertyCropTopLeft: layer->setCropTopLeft(a, b); break;
  case kAVPropertyCropBottomRight: layer->setCropBottomRight(a, b); break;
  case kAVPropertyBorderWidth: layer->setBorderWidth(a); break;
  case kAVPropertyBorderColor: layer->setBorderColor(makeVec4Opaque(a, b, c)); break;
  case kAVPropertyCornerRadius: layer->setCornerRadius(a); break;
  case kAVPropertyShadowOpacity: layer->setShadowOpacity(a); break;
  case kAVPropertyShadowOffset: layer->setShadowOffset(a, b); break;
  case kAVPropertyBorderStroke: layer->setBorderStroke(_switch(a)); break;
  case kAVPropertyStrokeTolerance: layer->setBorderStrokeTolerance(int32_t(a)); break;
  case kAVPropertyStrokeStrength: layer->setBorderStrokeStrength(int32_t(a)); break;
  case kAVPropertyKeyEnabled: layer->setKeyEnabled(_switch(a)); break;
  case kAVPropertyKeySensitivity: layer->setKeySensitivity(int32_t(a)); break;
  case kAVPropertyKeySmoothing: layer->setKeySmoothing(int32_t(a)); break;
  case kAVPropertyKeyColor: layer->setKeyColor(makeVec4Opaque(a, b, c)); break;
  case kAVPropertyShadowRadius: layer->setShadowRadius(a); break;
  case kAVPropertyShadowColor: layer->setShadowColor(makeVec4Opaque(a, b, c)); break;
  default:
    if (!text)
      return;
    switch (propertyId) {
    case kAVPropertyFontSize: text->setFontSize(a); break;
    case kAVPropertyTextColor: text->setColor(makeVec4Opaque(a, b, c)); break;
    case kAVPropertyTextAlignment: text->setAlignment(int(a)); break;
    case kAVPropertyTextBackColor: text->setBackColor(makeVec4(a, b, c, d)); break;
    case kAVPropertyTextBackInset: text->setBackInset(a); break;
    case kAVPropertyTextBackCorner: text->setBackCorner(a); break;
    default: break;
    }
  }
}

// One begin or end value of a layer's group; the same argument use as the property table.
void _setLayerGroupValue(TransitionGroup *group, bool isEnd, int propertyId, float a, float b)
{
  if (_isColorEffect(propertyId)) {
    const int index = propertyId - kAVPropertySaturation;
    isEnd ? group->setEndEffectColor(index, int32_t(a)) : group->setBeginEffectColor(index, int32_t(a));
    return;
  }
  switch (propertyId) {
  case kAVPropertyTransparency: isEnd ? group->setEndTransparency(a) : group->setBeginTransparency(a); break;
  case kAVPropertyPosition: isEnd ? group->setEndPosition(a, b) : group->setBeginPosition(a, b); break;
  case kAVPropertyScale: isEnd ? group->setEndScale(a, b) : group->setBeginScale(a, b); break;
  case kAVPropertyRotation:
    isEnd ? group->setEndRotation(a * kDegreesPerRadian) : group->setBeginRotation(a * kDegreesPerRadian);
    break;
  case kAVPropertyRotationX:
    isEnd ? group->setEndRotationX(a * kDegreesPerRadian) : group->setBeginRotationX(a * kDegreesPerRadian);
    break;
  case kAVPropertyRotationY:
    isEnd ? group->setEndRotationY(a * kDegreesPerRadian) : group->setBeginRotationY(a * kDegreesPerRadian);
    break;
  case kAVPropertyAnchor: isEnd ? group->setEndAnchor(a, b) : group->setBeginAnchor(a, b); break;
  case kAVPropertyCropTopLeft: isEnd ? group->setEndCropTopLeft(a, b) : group->setBeginCropTopLeft(a, b); break;
  case kAVPropertyCropBottomRight:
    isEnd ? group->setEndCropBottomRight(a, b) : group->setBeginCropBottomRight(a, b);
    break;
  default: break;
  }
}
} // namespace

AVEngine::AVEngine(AVComposition *composition, AVImageLoader *imageLoader, AVRender *render)
  : _composition(composition), _imageLoader(imageLoader), _render(render)
{
}

void AVEngine::setThumbnailsLoadedCallback(AVThumbnailsLoadedCallback function, void *userData)
{
  _thumbnailsCallback = function;
  _thumbnailsUserData = userData;
}

void AVEngine::setShared(AVEngine *engine)
{
  sharedEngine = engine;
}

AVEngine *AVEngine::shared()
{
  return sharedEngine;
}

int AVEngine::audioSampleRate()
{
  return kAudioSampleRate;
}

int AVEngine::audioChannels()
{
  return kAudioChannels;
}

void AVEngine::setCallHook(AVEngineCallHook hook, void *userData)
{
  callHookData = userData;
  callHook = hook;
}

void AVEngine::_report(const AVEngineCall &call)
{
  if (AVEngineCallHook hook = callHook.load())
    hook(call, callHookData.load());
}

AVEasingType AVEngine::mapEasingType(int editorEasing)
{
  static const AVEasingType table[16] = {0, 4, 5, 6, 16, 17, 18, 25, 26, 27, 22, 23, 24, 28, 29, 30};
  if (editorEasing < 1 || editorEasing > 16)
    return kAVEasingDefault;
  return table[editorEasing - 1];
}

void AVEngine::setBackgroundColor(vec4 colour)
{
  _report({"setBackgroundColor", 0, 0, 0, colour.x, colour.y, colour.z, colour.w});
  _composition->setBackgroundColor(colour);
}

void AVEngine::setRenderSize(int width, int height)
{
  _report({"setRenderSize", 0, 0, 0, float(width), float(height)});
  _composition->setRenderSize(width, height, false);
}

void AVEngine::updateDuration()
{
  _report({"updateDuration"});
  _composition->updateDuration();
}

AVSegment *AVEngine::_find(uint32_t id) const
{
  return _composition->findSegment(id);
}

uint32_t AVEngine::_add(AVSegment *segment, uint32_t id)
{
  segment->setId(id);
  _composition->addSegment(segment, id);
  return id;
}

uint32_t AVEngine::addImageSegment(uint32_t id, const char *path, bool animated, float start, float duration)
{
  _report({"addImageSegment", id, 0, 0, start, duration, 0, 0, path, nullptr, animated});
  const std::string file = path ? path : "";
  const uint32_t width = uint32_t(_composition->width()), height = uint32_t(_composition->height());
  if (animated)
    return _add(new AVAnimatableImageSegment(start, duration, file, width, height), id);
  return _add(new AVImageSegment(_imageLoader, start, duration, file, width, height), id);
}

uint32_t AVEngine::addTextSegment(uint32_t id, const char *text, float start, float duration)
{
  _report({"addTextSegment", id, 0, 0, start, duration, 0, 0, text});
  const uint32_t width = uint32_t(_composition->width()), height = uint32_t(_composition->height());
  return _add(new AVTextSegment(start, duration, text, width, height / 2, width, height), id);
}

void AVEngine::setSegmentStartTime(uint32_t id, float seconds)
{
  _report({"setSegmentStartTime", id, 0, 0, seconds});
  if (AVSegment *segment = _find(id))
    segment->setStartTime(seconds);
}

void AVEngine::setSegmentDuration(uint32_t id, float seconds)
{
  _report({"setSegmentDuration", id, 0, 0, seconds});
  if (AVSegment *segment = _find(id))
    segment->setDuration(seconds);
}

void AVEngine::setSegmentEnabled(uint32_t id, bool enabled)
{
  _report({"setSegmentEnabled", id, 0, 0, 0, 0, 0, 0, nullptr, nullptr, enabled});
  if (AVSegment *segment = _find(id))
    segment->setEnabled(enabled);
}

void AVEngine::setSegmentProperty(uint32_t id, int propertyId, float a, float b, float c, float d)
{
  _report({"setSegmentProperty", id, 0, propertyId, a, b, c, d});
  AVSegment *segment = _find(id);
  if (!segment)
    return;
  if (segment->isLayer()) {
    _setLayerProperty(static_cast<AVLayerSegment *>(segment), propertyId, a, b, c, d);
    return;
  }
  if (propertyId == kAVPropertyVolume)
    if (auto *sound = dynamic_cast<AVSoundSegment *>(segment))
      sound->setVolume(a);
}

void AVEngine::setText(uint32_t id, const char *text)
{
  _report({"setText", id, 0, 0, 0, 0, 0, 0, text});
  AVSegment *segment = _find(id);
  if (segment && segment->isText())
    static_cast<AVTextSegment *>(segment)->setText(text);
}

void AVEngine::setTextFont(uint32_t id, const char *family, const char *style)
{
  _report({"setTextFont", id, 0, 0, 0, 0, 0, 0, family, style});
  AVSegment *segment = _find(id);
  if (segment && segment->isText())
    static_cast<AVTextSegment *>(segment)->setFont(family, style);
}

void AVEngine::removeSegment(uint32_t id)
{
  _report({"removeSegment", id});
  _composition->removeSegment(id);
}

void AVEngine::setLayerOrder(const uint32_t *ids, int count)
{
  _report({"setLayerOrder", 0, uint32_t(count)});
  _composition->setLayerOrder(ids, count);
}

void AVEngine::addTransition(uint32_t id, uint32_t groupId, float start, float duration, int editorEasing)
{
  _report({"addTransition", id, groupId, editorEasing, start, duration});
  AVSegment *segment = _find(id);
  if (!segment)
    return;
  auto *group = new TransitionGroup(groupId, start, duration);
  group->setEasing(mapEasingType(editorEasing));
  segment->addGroup(group);
}

// The segment stays locked from findGroup until applyGroup releases it.
template <typename F> void AVEngine::_editGroup(uint32_t id, uint32_t groupId, F edit)
{
  AVSegment *segment = _find(id);
  if (!segment)
    return;
  TransitionGroup *group = segment->findGroup(groupId);
  if (!group)
    return;
  edit(segment, group);
  segment->applyGroup(groupId);
}

void AVEngine::setTransitionValue(uint32_t id, uint32_t groupId, bool isEnd, int propertyId, float a, float b, float,
                                  float)
{
  _report({"setTransitionValue", id, groupId, propertyId, a, b, 0, 0, nullptr, nullptr, isEnd});
  _editGroup(id, groupId, [&](AVSegment *segment, TransitionGroup *group) {
    if (segment->isLayer())
      _setLayerGroupValue(group, isEnd, propertyId, a, b);
    else if (propertyId == kAVPropertyVolume)
      isEnd ? group->setEndVolume(a) : group->setBeginVolume(a);
  });
}

void AVEngine::setTransitionStart(uint32_t id, uint32_t groupId, float start)
{
  _report({"setTransitionStart", id, groupId, 0, start});
  _editGroup(id, groupId, [start](AVSegment *, TransitionGroup *group) { group->setStart(start); });
}

void AVEngine::setTransitionDuration(uint32_t id, uint32_t groupId, float duration)
{
  _report({"setTransitionDuration", id, groupId, 0, duration});
  _editGroup(id, groupId, [duration](AVSegment *, TransitionGroup *group) { group->setDuration(duration); });
}

void AVEngine::setTransitionEasing(uint32_t id, uint32_t groupId, int editorEasing)
{
  _report({"setTransitionEasing", id, groupId, editorEasing});
  const AVEasingType type = mapEasingType(editorEasing);
  _editGroup(id, groupId, [type](AVSegment *, TransitionGroup *group) { group->setEasing(type); });
}

void AVEngine::changeTransitionId(uint32_t id, uint32_t oldGroupId, uint32_t newGroupId)
{
  _report({"changeTransitionId", id, oldGroupId, int(newGroupId)});
  if (AVSegment *segment = _find(id))
    segment->renumberGroup(oldGroupId, newGroupId);
}

void AVEngine::removeTransition(uint32_t id, uint32_t groupId)
{
  _report({"removeTransition", id, groupId});
  if (AVSegment *segment = _find(id))
    segment->removeGroup(groupId);
}

void AVEngine::removeAllTransitions(uint32_t id)
{
  _report({"removeAllTransitions", id});
  if (AVSegment *segment = _find(id))
    segment->clearGroups();
}

int AVEngine::convertProjectPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                                  int errorTextLength)
{
  return ::convertProjectPlist(inputPath, outputPath, errorText, errorTextLength);
}

int AVEngine::convertPropertiesPlist(const char16_t *inputPath, const char16_t *outputPath, char *errorText,
                                     int errorTextLength)
{
  return ::convertPropertiesPlist(inputPath, outputPath, errorText, errorTextLength);
}
