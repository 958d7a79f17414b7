#pragma once
// Easing curves: each turns the linear progress of a transition into the shaped progress of
// its value. Pure functions, no state; any thread.

#include <cstdint>

using AVEasingType = int32_t;
using AVEasingFunction = double (*)(double progress);

// Types 1 to 30 name the curves; every other value is linear.
constexpr AVEasingType kAVEasingDefault = 6; // smoothstep

AVEasingFunction easingFunction(AVEasingType type);
double bounceOut(double p);
