#include "avsoundsegment.h"

#include "avcommon.h"

#include <algorithm>

AVSoundSegment::AVSoundSegment(double start) : AVSegment(start), _mutex(avMutexCreate())
{
  setGroupLock(_mutex);
}

AVSoundSegment::AVSoundSegment(double start, double duration) : AVSegment(start, duration), _mutex(avMutexCreate())
{
  setGroupLock(_mutex);
}

AVSoundSegment::~AVSoundSegment()
{
  avMutexDestroy(_mutex);
}

int AVSoundSegment::readAudio(uint8_t *, int, double *, double, double, bool *exhausted)
{
  if (exhausted)
    *exhausted = true;
  return 0;
}

void AVSoundSegment::setVolume(float volume)
{
  AVMutexLocker locker(_mutex);
  _volume = std::max(volume, 0.0f);
}

void AVSoundSegment::setEffectiveVolume(float volume)
{
  _effectiveVolume = std::max(volume, 0.0f);
}

void AVSoundSegment::evaluateVolume(double t)
{
  AVMutexLocker locker(_mutex);
  _effectiveVolume = std::max(_volume.load(), 0.0f);
  evaluateTransitions(t - startTime());
}
