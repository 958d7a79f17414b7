#pragma once

// The process-wide switch for widget animations (on at start). The editor turns it off
// around programmatic edits; while it is off every animated move or fade of the timeline,
// the overlays, the popups and the tool bars takes its end state at once.
bool isAnimationEnabled();
void setAnimationEnabled(bool enabled);

// Turns widget animations off for its lifetime and restores the earlier state.
class AnimationsOff
{
public:
  AnimationsOff() : _was(isAnimationEnabled()) { setAnimationEnabled(false); }
  ~AnimationsOff() { setAnimationEnabled(_was); }
  AnimationsOff(const AnimationsOff &) = delete;
  AnimationsOff &operator=(const AnimationsOff &) = delete;

private:
  bool _was;
};
