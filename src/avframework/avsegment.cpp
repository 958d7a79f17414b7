#include "avsegment.h"

#include "avtransition.h"

#include "avcommon.h"

#include <algorithm>

AVSegment::AVSegment(double start) : _start(start), _duration(0)
{
}

AVSegment::AVSegment(double start, double duration) : _start(start), _duration(duration)
{
}

AVSegment::~AVSegment()
{
  for (AVTransition *transition : _transitions)
    delete transition;
  for (TransitionGroup *group : _groups)
    delete group;
}

void AVSegment::setStartTime(double seconds)
{
  _start = seconds;
}

void AVSegment::setDuration(double seconds)
{
  _duration = seconds;
}

void AVSegment::setListener(AVSegmentListener function, void *userData)
{
  _listener = function;
  _listenerData = userData;
}

bool AVSegment::isReady()
{
  return true;
}

void AVSegment::sleep(bool)
{
  _asleep = true;
}

void AVSegment::wake()
{
  _asleep = false;
}

void AVSegment::addTransition(AVTransition *transition)
{
  AVMutexLocker locker(_groupLock);
  _transitions.push_back(transition);
}

void AVSegment::addGroup(TransitionGroup *group)
{
  AVMutexLocker locker(_groupLock);
  auto later = std::find_if(_groups.begin(), _groups.end(),
                            [group](const TransitionGroup *g) { return g->id() > group->id(); });
  _groups.insert(later, group);
}

void AVSegment::removeGroup(uint32_t groupId)
{
  AVMutexLocker locker(_groupLock);
  auto it = std::find_if(_groups.begin(), _groups.end(), [groupId](const TransitionGroup *g) { return g->id() == groupId; });
  if (it == _groups.end())
    return;
  TransitionGroup *group = *it;
  _groups.erase(it);
  delete group;
}

void AVSegment::clearGroups()
{
  AVMutexLocker locker(_groupLock);
  for (TransitionGroup *group : _groups)
    delete group;
  _groups.clear();
}

void AVSegment::renumberGroup(uint32_t oldId, uint32_t newId)
{
  AVMutexLocker locker(_groupLock);
  for (TransitionGroup *group : _groups) {
    if (group->id() == oldId) {
      group->setId(newId);
      return;
    }
  }
}

// Only the GUI thread changes the group list, so the lookup itself needs no lock.
TransitionGroup *AVSegment::_lookUpGroup(uint32_t groupId) const
{
  for (TransitionGroup *group : _groups)
    if (group->id() == groupId)
      return group;
  return nullptr;
}

TransitionGroup *AVSegment::findGroup(uint32_t groupId)
{
  TransitionGroup *group = _lookUpGroup(groupId);
  if (group && _groupLock)
    avMutexLock(_groupLock);
  return group;
}

void AVSegment::applyGroup(uint32_t groupId)
{
  // The lock is held since findGroup found this group.
  if (_groupLock && _lookUpGroup(groupId))
    avMutexUnlock(_groupLock);
}

bool AVSegment::isText() const
{
  return false;
}

bool AVSegment::isVideo() const
{
  return false;
}

bool AVSegment::hardOrSoftVideo() const
{
  return false;
}

void AVSegment::setAuxListener(AVSegmentListener function, void *userData)
{
  _auxListener = function;
  _auxListenerData = userData;
}

void AVSegment::notifyListener(int code)
{
  if (_listener)
    _listener(this, code, _listenerData);
}

void AVSegment::notifyAuxListener(int code)
{
  if (_auxListener)
    _auxListener(this, code, _auxListenerData);
}

void AVSegment::evaluateTransitions(double t)
{
  AVTransition *latestFinished[kAVTransitionKinds] = {};
  bool active[kAVTransitionKinds] = {};
  for (AVTransition *transition : _transitions) {
    const int k = transition->kind();
    if (k < 0 || k >= kAVTransitionKinds)
      continue;
    active[k] = transition->apply(this, t, &latestFinished[k]) || active[k];
  }
  for (TransitionGroup *group : _groups)
    group->apply(this, t, latestFinished, active);
  for (int k = 0; k < kAVTransitionKinds; ++k)
    if (!active[k] && latestFinished[k])
      latestFinished[k]->applyEnd(this);
}
