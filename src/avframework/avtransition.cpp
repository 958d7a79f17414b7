#include "avtransition.h"

#include "avlayersegment.h"
#include "avsegment.h"
#include "avsoundsegment.h"
#include "avtextsegment.h"

#include <algorithm>

AVTransition::AVTransition() : _easing(easingFunction(kAVEasingDefault))
{
}

AVTransition::~AVTransition() = default;

bool AVTransition::apply(AVSegment *segment, double t, AVTransition **latestFinished)
{
  const double d = segment->duration();
  const double s = _start * d;
  const double e = s + _duration * d;
  if (s <= t && t <= e)
    return true;
  if (latestFinished && t > e) {
    AVTransition *held = *latestFinished;
    if (!held || e > held->startTime(d) + held->durationTime(d))
      *latestFinished = this;
  }
  return false;
}

double AVTransition::progress(const AVSegment *segment, double t) const
{
  const double d = segment->duration();
  const double length = _duration * d;
  // A window of no length (or a segment of no duration) would divide 0 by 0.
  if (!(length > 0))
    return 1.0;
  return std::min(1.0, std::max(0.0, (t - _start * d) / length));
}

void AVTransition::setBegin(float x, float y)
{
  _begin[0] = x;
  _begin[1] = y;
}

void AVTransition::setEnd(float x, float y)
{
  _end[0] = x;
  _end[1] = y;
}

void AVTransition::setEasing(AVEasingType type)
{
  _easingType = type;
  _easing = easingFunction(type);
}

bool AVLayerTransition::apply(AVSegment *segment, double t, AVTransition **latestFinished)
{
  if (!AVTransition::apply(segment, t, latestFinished) || !segment->isLayer())
    return false;
  const double p = progress(segment, t);
  const double q = eased() ? _easing(p) : p;
  write(static_cast<AVLayerSegment *>(segment), _begin[0] + q * (double(_end[0]) - _begin[0]),
        _begin[1] + q * (double(_end[1]) - _begin[1]));
  return true;
}

void AVLayerTransition::applyEnd(AVSegment *segment)
{
  if (segment->isLayer())
    writeEnd(static_cast<AVLayerSegment *>(segment));
}

AVVolumeTransition::AVVolumeTransition()
{
  _begin[0] = 1;
  _end[0] = 1;
}

bool AVVolumeTransition::apply(AVSegment *segment, double t, AVTransition **latestFinished)
{
  if (!AVTransition::apply(segment, t, latestFinished))
    return false;
  auto *sound = segment->isLayer() ? nullptr : dynamic_cast<AVSoundSegment *>(segment);
  if (!sound)
    return false;
  const double p = progress(segment, t);
  sound->setEffectiveVolume(float(_begin[0] + p * (double(_end[0]) - _begin[0])));
  return true;
}

void AVVolumeTransition::applyEnd(AVSegment *segment)
{
  if (auto *sound = segment->isLayer() ? nullptr : dynamic_cast<AVSoundSegment *>(segment))
    sound->setEffectiveVolume(_end[0]);
}

void AVTransparencyTransition::write(AVLayerSegment *layer, double x, double)
{
  layer->setEffectiveTransparency(float(x));
}

void AVPositionTransition::write(AVLayerSegment *layer, double x, double y)
{
  layer->setEffectivePosition(float(x), float(y));
}

AVScaleTransition::AVScaleTransition()
{
  setBegin(1, 1);
  setEnd(1, 1);
}

void AVScaleTransition::write(AVLayerSegment *layer, double x, double y)
{
  float sx = float(x), sy = float(y);
  AVTextFit fit;
  if (layer->isText() && static_cast<AVTextSegment *>(layer)->fit(&fit)) {
    sx = sx * fit.boxWidth / fit.scaledWidth * fit.scaledWidth / fit.fitWidth;
    sy = sy * fit.boxHeight / fit.scaledHeight * fit.scaledHeight / fit.fitHeight;
  }
  layer->setEffectiveScale(sx, sy);
}

void AVRotateTransition::write(AVLayerSegment *layer, double x, double)
{
  layer->setEffectiveRotation(float(x));
}

void AVRotateXTransition::write(AVLayerSegment *layer, double x, double)
{
  layer->setEffectiveRotationX(float(x));
}

void AVRotateYTransition::write(AVLayerSegment *layer, double x, double)
{
  layer->setEffectiveRotationY(float(x));
}

AVAnchorTransition::AVAnchorTransition()
{
  setBegin(0.5f, 0.5f);
  setEnd(0.5f, 0.5f);
}

void AVAnchorTransition::write(AVLayerSegment *layer, double x, double y)
{
  const float ax = float(x), ay = float(y);
  layer->setEffectiveAnchor(ax, ay);
  AVTextFit fit;
  if (layer->isText() && static_cast<AVTextSegment *>(layer)->fit(&fit)) {
    const vec2 position = layer->effectivePosition();
    const vec2 shift = textAnchorShift(fit, ax, ay);
    layer->setEffectivePosition(position.x - shift.x, position.y - shift.y);
  }
}

void AVAnchorTransition::writeEnd(AVLayerSegment *layer)
{
  layer->setEffectiveAnchor(_end[0], _end[1]);
}

void AVCropTopLeftTransition::write(AVLayerSegment *layer, double x, double y)
{
  layer->setEffectiveCropTopLeft(float(x), float(y));
}

AVCropBottomRightTransition::AVCropBottomRightTransition()
{
  setBegin(1, 1);
  setEnd(1, 1);
}

void AVCropBottomRightTransition::write(AVLayerSegment *layer, double x, double y)
{
  layer->setEffectiveCropBottomRight(float(x), float(y));
}

AVEffectColorTransition::AVEffectColorTransition(int index) : _index(index)
{
}

void AVEffectColorTransition::write(AVLayerSegment *layer, double x, double)
{
  layer->setEffectiveColorEffect(_index, int32_t(x));
}

TransitionGroup::TransitionGroup(uint32_t id, double start, double duration)
  : _id(id), _start(start), _duration(duration)
{
}

TransitionGroup::~TransitionGroup()
{
  _forEach([](AVTransition *&transition) {
    delete transition;
    transition = nullptr;
  });
}

template <typename F> void TransitionGroup::_forEach(F function)
{
  for (AVTransition *&transition : _slots)
    if (transition)
      function(transition);
  for (AVTransition *&transition : _effectSlots)
    if (transition)
      function(transition);
}

// A new transition takes the group's window and easing.
void TransitionGroup::_adopt(AVTransition *transition)
{
  transition->setStart(_start);
  transition->setDuration(_duration);
  transition->setEasing(_easingType);
}

template <typename T> AVTransition *TransitionGroup::_slot(Slot slot)
{
  if (!_slots[slot]) {
    _slots[slot] = new T;
    _adopt(_slots[slot]);
  }
  return _slots[slot];
}

AVTransition *TransitionGroup::_effectSlot(int index)
{
  if (index < 0 || index >= kColorEffectSlots)
    return nullptr;
  if (!_effectSlots[index]) {
    _effectSlots[index] = new AVEffectColorTransition(index);
    _adopt(_effectSlots[index]);
  }
  return _effectSlots[index];
}

AVTransition *TransitionGroup::effectTransition(int index) const
{
  return index >= 0 && index < kColorEffectSlots ? _effectSlots[index] : nullptr;
}

void TransitionGroup::setStart(double start)
{
  _start = start;
  _forEach([start](AVTransition *&transition) { transition->setStart(start); });
}

void TransitionGroup::setDuration(double duration)
{
  _duration = duration;
  _forEach([duration](AVTransition *&transition) { transition->setDuration(duration); });
}

void TransitionGroup::setEasing(AVEasingType type)
{
  _easingType = type;
  _forEach([type](AVTransition *&transition) { transition->setEasing(type); });
}

void TransitionGroup::setBeginTransparency(float value)
{
  _slot<AVTransparencyTransition>(Transparency)->setBegin(value);
}

void TransitionGroup::setEndTransparency(float value)
{
  _slot<AVTransparencyTransition>(Transparency)->setEnd(value);
}

void TransitionGroup::setBeginPosition(float x, float y)
{
  _slot<AVPositionTransition>(Position)->setBegin(x, y);
}

void TransitionGroup::setEndPosition(float x, float y)
{
  _slot<AVPositionTransition>(Position)->setEnd(x, y);
}

void TransitionGroup::setBeginScale(float x, float y)
{
  _slot<AVScaleTransition>(Scale)->setBegin(x, y);
}

void TransitionGroup::setEndScale(float x, float y)
{
  _slot<AVScaleTransition>(Scale)->setEnd(x, y);
}

void TransitionGroup::setBeginRotation(float degrees)
{
  _slot<AVRotateTransition>(Rotation)->setBegin(degrees);
}

void TransitionGroup::setEndRotation(float degrees)
{
  _slot<AVRotateTransition>(Rotation)->setEnd(degrees);
}

void TransitionGroup::setBeginRotationX(float degrees)
{
  _slot<AVRotateXTransition>(RotationX)->setBegin(degrees);
}

void TransitionGroup::setEndRotationX(float degrees)
{
  _slot<AVRotateXTransition>(RotationX)->setEnd(degrees);
}

void TransitionGroup::setBeginRotationY(float degrees)
{
  _slot<AVRotateYTransition>(RotationY)->setBegin(degrees);
}

void TransitionGroup::setEndRotationY(float degrees)
{
  _slot<AVRotateYTransition>(RotationY)->setEnd(degrees);
}

void TransitionGroup::setBeginAnchor(float x, float y)
{
  _slot<AVAnchorTransition>(Anchor)->setBegin(x, y);
}

void TransitionGroup::setEndAnchor(float x, float y)
{
  _slot<AVAnchorTransition>(Anchor)->setEnd(x, y);
}

void TransitionGroup::setBeginVolume(float value)
{
  _slot<AVVolumeTransition>(Volume)->setBegin(std::min(1.0f, std::max(0.0f, value)));
}

void TransitionGroup::setEndVolume(float value)
{
  _slot<AVVolumeTransition>(Volume)->setEnd(std::min(1.0f, std::max(0.0f, value)));
}

void TransitionGroup::setBeginCropTopLeft(float x, float y)
{
  _slot<AVCropTopLeftTransition>(CropTopLeft)->setBegin(x, y);
}

void TransitionGroup::setEndCropTopLeft(float x, float y)
{
  _slot<AVCropTopLeftTransition>(CropTopLeft)->setEnd(x, y);
}

void TransitionGroup::setBeginCropBottomRight(float x, float y)
{
  _slot<AVCropBottomRightTransition>(CropBottomRight)->setBegin(x, y);
}

void TransitionGroup::setEndCropBottomRight(float x, float y)
{
  _slot<AVCropBottomRightTransition>(CropBottomRight)->setEnd(x, y);
}

void TransitionGroup::setBeginEffectColor(int index, int32_t value)
{
  if (AVTransition *transition = _effectSlot(index))
    transition->setBegin(float(value));
}

void TransitionGroup::setEndEffectColor(int index, int32_t value)
{
  if (AVTransition *transition = _effectSlot(index))
    transition->setEnd(float(value));
}

void TransitionGroup::apply(AVSegment *segment, double t, AVTransition **latestFinished, bool *active)
{
  auto evaluate = [&](AVTransition *transition) {
    if (!transition)
      return;
    const int k = transition->kind();
    if (k < 0 || k >= kAVTransitionKinds)
      return;
    active[k] = transition->apply(segment, t, &latestFinished[k]) || active[k];
  };
  if (segment->isLayer()) {
    for (int slot = Transparency; slot < SlotCount; ++slot)
      if (slot != Volume)
        evaluate(_slots[slot]);
    for (AVTransition *transition : _effectSlots)
      evaluate(transition);
  } else {
    evaluate(_slots[Volume]);
  }
}
