#include "turnpacer.h"

#include <algorithm>

namespace {
// A step that waits for a quiet turn gives up waiting after this many busy ones.
constexpr int MaxWaits = 3;
} // namespace

TurnPacer::TurnPacer(qint64 turnMs, qint64 minimumMs) : _turnMs(turnMs), _minimumMs(minimumMs)
{
  _clock.start();
}

void TurnPacer::beginStep()
{
  _stepStart = _clock.elapsed();
  const qint64 others = _lastEnd < 0 ? 0 : _stepStart - _lastEnd;
  _stepMs = std::max(_minimumMs, _turnMs - others);
}

bool TurnPacer::hasTime() const
{
  return _clock.elapsed() - _stepStart < _stepMs;
}

bool TurnPacer::mayRunWhole()
{
  if (2 * _stepMs >= _turnMs || _waited >= MaxWaits) {
    _waited = 0;
    return true;
  }
  ++_waited;
  return false;
}

void TurnPacer::endStep()
{
  _lastEnd = _clock.elapsed();
}

void TurnPacer::reset()
{
  _lastEnd = -1;
  _waited = 0;
}
