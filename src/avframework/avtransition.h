#pragma once
// Transitions animate one property of a segment over a window of its own time line;
// a TransitionGroup holds at most one transition per property kind. The concrete kinds
// and the group's value setters arrive with the easing curves.

#include <cstdint>

class AVSegment;

using AVEasingType = int32_t;
using AVEasingFunction = double (*)(double progress);

// Per-kind tables of the evaluation pass have this many cells (kinds run from 1 to 30).
constexpr int kAVTransitionKinds = 32;

class AVTransition
{
public:
  AVTransition();
  virtual ~AVTransition();

  // Activity test: true while start <= t <= end (seconds of the segment's own time line).
  // A transition that has ended is offered to latestFinished, which keeps the one that ended last.
  virtual bool apply(AVSegment *segment, double t, AVTransition **latestFinished);
  virtual int kind() const = 0;
  virtual void applyEnd(AVSegment *segment) = 0;

  void setBegin(float x, float y = 0);
  void setEnd(float x, float y = 0);
  void setStart(double start) { _start = start; }
  void setDuration(double duration) { _duration = duration; }
  void setEasing(AVEasingType type);
  double startTime(double segmentDuration) const { return _start * segmentDuration; }
  double durationTime(double segmentDuration) const { return _duration * segmentDuration; }
  float beginX() const { return _begin[0]; }
  float beginY() const { return _begin[1]; }
  float endX() const { return _end[0]; }
  float endY() const { return _end[1]; }

protected:
  float _begin[2] = {0, 0};
  float _end[2] = {0, 0};
  double _start = 0;
  double _duration = 0;
  AVEasingType _easingType = 6;
  AVEasingFunction _easing = nullptr;
};

class TransitionGroup
{
public:
  TransitionGroup(uint32_t id, double start, double duration);
  ~TransitionGroup();
  TransitionGroup(const TransitionGroup &) = delete;
  TransitionGroup &operator=(const TransitionGroup &) = delete;

  void setId(uint32_t id) { _id = id; }
  uint32_t id() const { return _id; }
  void setStart(double start);
  void setDuration(double duration);
  void setEasing(AVEasingType type);
  double start() const { return _start; }
  double duration() const { return _duration; }
  AVEasingType easingType() const { return _easingType; }

  // Evaluates every transition of the group at t; fills the caller's per-kind tables.
  void apply(AVSegment *segment, double t, AVTransition **latestFinished, bool *active);

  enum Slot {
    Transparency,
    Position,
    Scale,
    Rotation,
    RotationX,
    RotationY,
    Anchor,
    Volume,
    CropTopLeft,
    CropBottomRight,
    SlotCount
  };
  static constexpr int kColorEffectSlots = 20;

private:
  template <typename F> void _forEach(F function);

  AVTransition *_slots[SlotCount] = {};
  AVTransition *_effectSlots[kColorEffectSlots] = {};
  uint32_t _id;
  double _start;
  double _duration;
  AVEasingType _easingType = 6;
};
