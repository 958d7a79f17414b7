#pragma once

// The transition set a controller shows in transition mode: a transition id (0 = none) and
// beginOrEnd (1 the begin set, 0 the end set, -1 none). Forgotten when the controller hides,
// so that showing the same set again reloads it.
class LoadedTransition
{
public:
  // Stores the pair; true when it differs from the one stored before.
  bool take(int tId, int beginOrEnd)
  {
    const bool changed = tId != _tId || beginOrEnd != _beginOrEnd;
    _tId = tId;
    _beginOrEnd = beginOrEnd;
    return changed;
  }
  void forget() { take(0, -1); }
  int transitionId() const { return _tId; }
  int beginOrEnd() const { return _beginOrEnd; }
  // A pair that names a set to show.
  static bool names(int tId, int beginOrEnd) { return tId > 0 && beginOrEnd >= 0; }

private:
  int _tId = 0;
  int _beginOrEnd = -1;
};
