#pragma once
// Transitions animate one property of a segment over a window of its own time line;
// a TransitionGroup holds at most one transition per property kind.

#include "aveasing.h"

#include <cstdint>

class AVSegment;
class AVLayerSegment;

// Per-kind tables of the evaluation pass have this many cells (kinds run from 1 to 30).
constexpr int kAVTransitionKinds = 32;

// Kind ids; colour effect i is kAVKindEffectColor + i.
enum : int {
  kAVKindVolume = 1,
  kAVKindTransparency,
  kAVKindPosition,
  kAVKindScale,
  kAVKindRotation,
  kAVKindRotationX,
  kAVKindRotationY,
  kAVKindAnchor,
  kAVKindCropTopLeft,
  kAVKindCropBottomRight,
  kAVKindEffectColor
};

class AVTransition
{
public:
  AVTransition();
  virtual ~AVTransition();
  AVTransition(const AVTransition &) = delete;
  AVTransition &operator=(const AVTransition &) = delete;

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
  AVEasingType easingType() const { return _easingType; }
  double startTime(double segmentDuration) const { return _start * segmentDuration; }
  double durationTime(double segmentDuration) const { return _duration * segmentDuration; }
  float beginX() const { return _begin[0]; }
  float beginY() const { return _begin[1]; }
  float endX() const { return _end[0]; }
  float endY() const { return _end[1]; }

protected:
  // Linear progress of an active transition at t, 0..1; a window of no length is at its end.
  double progress(const AVSegment *segment, double t) const;

  float _begin[2] = {0, 0};
  float _end[2] = {0, 0};
  double _start = 0;
  double _duration = 0;
  AVEasingType _easingType = kAVEasingDefault;
  AVEasingFunction _easing;
};

// The kinds that animate a layer: they interpolate begin to end and write the layer's
// effective value; on any other segment they write nothing and never count as active.
class AVLayerTransition : public AVTransition
{
public:
  bool apply(AVSegment *segment, double t, AVTransition **latestFinished) override;
  void applyEnd(AVSegment *segment) override;

protected:
  // Transparency moves linearly whatever the easing.
  virtual bool eased() const { return true; }
  virtual void write(AVLayerSegment *layer, double x, double y) = 0;
  // The end value after the window; the same writer unless a kind says otherwise.
  virtual void writeEnd(AVLayerSegment *layer) { write(layer, _end[0], _end[1]); }
};

class AVVolumeTransition : public AVTransition
{
public:
  AVVolumeTransition();
  bool apply(AVSegment *segment, double t, AVTransition **latestFinished) override;
  int kind() const override { return kAVKindVolume; }
  void applyEnd(AVSegment *segment) override;
};

class AVTransparencyTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindTransparency; }

protected:
  bool eased() const override { return false; }
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVPositionTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindPosition; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

// On a text layer the scale is of the text box, not of the render area.
class AVScaleTransition : public AVLayerTransition
{
public:
  AVScaleTransition();
  int kind() const override { return kAVKindScale; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVRotateTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindRotation; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVRotateXTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindRotationX; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVRotateYTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindRotationY; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

// On a text layer a moving anchor also shifts the position, as the text's own update does.
class AVAnchorTransition : public AVLayerTransition
{
public:
  AVAnchorTransition();
  int kind() const override { return kAVKindAnchor; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
  void writeEnd(AVLayerSegment *layer) override;
};

class AVCropTopLeftTransition : public AVLayerTransition
{
public:
  int kind() const override { return kAVKindCropTopLeft; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVCropBottomRightTransition : public AVLayerTransition
{
public:
  AVCropBottomRightTransition();
  int kind() const override { return kAVKindCropBottomRight; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;
};

class AVEffectColorTransition : public AVLayerTransition
{
public:
  explicit AVEffectColorTransition(int index);
  int kind() const override { return kAVKindEffectColor + _index; }
  int index() const { return _index; }

protected:
  void write(AVLayerSegment *layer, double x, double y) override;

private:
  const int _index;
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

  // Each setter creates its kind's transition on first use.
  void setBeginTransparency(float value);
  void setEndTransparency(float value);
  void setBeginPosition(float x, float y);
  void setEndPosition(float x, float y);
  void setBeginScale(float x, float y);
  void setEndScale(float x, float y);
  void setBeginRotation(float degrees);
  void setEndRotation(float degrees);
  void setBeginRotationX(float degrees);
  void setEndRotationX(float degrees);
  void setBeginRotationY(float degrees);
  void setEndRotationY(float degrees);
  void setBeginAnchor(float x, float y);
  void setEndAnchor(float x, float y);
  // Clamped to [0, 1].
  void setBeginVolume(float value);
  void setEndVolume(float value);
  void setBeginCropTopLeft(float x, float y);
  void setEndCropTopLeft(float x, float y);
  void setBeginCropBottomRight(float x, float y);
  void setEndCropBottomRight(float x, float y);
  // An index of 20 or more is ignored.
  void setBeginEffectColor(int index, int32_t value);
  void setEndEffectColor(int index, int32_t value);

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

  // The transition in a slot, or none until a value of its kind was set.
  AVTransition *transition(Slot slot) const { return _slots[slot]; }
  AVTransition *effectTransition(int index) const;

private:
  template <typename F> void _forEach(F function);
  template <typename T> AVTransition *_slot(Slot slot);
  AVTransition *_effectSlot(int index);
  void _adopt(AVTransition *transition);

  AVTransition *_slots[SlotCount] = {};
  AVTransition *_effectSlots[kColorEffectSlots] = {};
  uint32_t _id;
  double _start;
  double _duration;
  AVEasingType _easingType = kAVEasingDefault;
};
