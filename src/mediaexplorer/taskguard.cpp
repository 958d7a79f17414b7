#include "taskguard.h"

bool TaskGuard::enter()
{
  QMutexLocker locker(&_mutex);
  if (_cancelled)
    return false;
  ++_inside;
  return true;
}

void TaskGuard::leave()
{
  QMutexLocker locker(&_mutex);
  if (--_inside == 0)
    _idle.wakeAll();
}

bool TaskGuard::isCancelled()
{
  QMutexLocker locker(&_mutex);
  return _cancelled;
}

void TaskGuard::cancelAndWait()
{
  QMutexLocker locker(&_mutex);
  _cancelled = true;
  while (_inside > 0)
    _idle.wait(&_mutex);
}
