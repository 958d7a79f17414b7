#include "taskguard.h"

bool TaskGuard::enter()
{
  std::lock_guard<std::mutex> lock(_mutex);
  if (_cancelled)
    return false;
  ++_inside;
  return true;
}

void TaskGuard::leave()
{
  std::lock_guard<std::mutex> lock(_mutex);
  if (--_inside == 0)
    _idle.notify_all();
}

bool TaskGuard::isCancelled()
{
  std::lock_guard<std::mutex> lock(_mutex);
  return _cancelled;
}

void TaskGuard::cancelAndWait()
{
  std::unique_lock<std::mutex> lock(_mutex);
  _cancelled = true;
  _idle.wait(lock, [this]() { return _inside == 0; });
}

std::mutex &TaskGuard::handOverLock()
{
  static std::mutex lock;
  return lock;
}
