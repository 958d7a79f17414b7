#include "avtransition.h"

#include "avsegment.h"

namespace {
double _smoothstep(double p)
{
  return p * p * (3 - 2 * p);
}
} // namespace

AVTransition::AVTransition() : _easing(_smoothstep)
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
  // The curve table comes with the easing curves; until then every type eases smoothly.
  _easingType = type;
  _easing = _smoothstep;
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
