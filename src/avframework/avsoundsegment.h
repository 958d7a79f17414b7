#pragma once
// The audible, non-drawn kind of engine segment: a user volume set by the editor and the
// effective volume that the volume transitions derive from it and the mixer applies.

#include "avsegment.h"

#include <atomic>

struct AVMutex;

class AVSoundSegment : public AVSegment
{
public:
  explicit AVSoundSegment(double start);
  AVSoundSegment(double start, double duration);
  ~AVSoundSegment() override;

  bool isLayer() const override { return false; }

  // The mixer's pull: copies samples of the mix format inside [from, to) (frame numbers) into
  // destination, sets position to the first frame copied and exhausted when nothing more comes
  // for this window. Returns the bytes copied; none here.
  virtual int readAudio(uint8_t *destination, int capacity, double *position, double from, double to,
                        bool *exhausted);

  // Never below 0; no upper bound.
  void setVolume(float volume);
  float volume() const { return _volume; }
  float effectiveVolume() const { return _effectiveVolume; }
  // The volume transition's writer; the evaluation holds the lock.
  void setEffectiveVolume(float volume);
  // Recomputes the effective volume at timeline time t (after each copy of samples).
  void evaluateVolume(double t);

protected:
  AVMutex *soundMutex() const { return _mutex; }

private:
  std::atomic<float> _volume{1.0f};
  std::atomic<float> _effectiveVolume{1.0f};
  AVMutex *_mutex;
};
