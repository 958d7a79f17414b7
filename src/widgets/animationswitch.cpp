#include "animationswitch.h"

#include <atomic>

namespace {
std::atomic<bool> animationEnabled{true};
}

bool isAnimationEnabled()
{
  return animationEnabled.load(std::memory_order_relaxed);
}

void setAnimationEnabled(bool enabled)
{
  animationEnabled.store(enabled, std::memory_order_relaxed);
}
