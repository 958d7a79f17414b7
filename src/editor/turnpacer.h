#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// Paces work the GUI thread does in steps, one step a turn of the event loop. A turn also runs
// what earlier steps left behind (reports, loading starts, a repaint): a step takes what is left
// of the turn's share after the time since the last step ended, and never less than its minimum,
// so the turn as a whole stays near the share however heavy that other work is.
class TurnPacer
{
public:
  // By default a turn's share leaves the window answering well within a tenth of a second,
  // the rest of the turn included.
  explicit TurnPacer(qint64 turnMs = 70, qint64 minimumMs = 4);

  // Begins a step; the first after reset() has the whole share.
  void beginStep();
  // True while the step begun last may go on.
  bool hasTime() const;
  // For a step that cannot be split and takes most of a turn by itself: true when the turn so
  // far left most of the share, or once the step has waited a few turns for one.
  bool mayRunWhole();
  void endStep();
  void reset();

private:
  qint64 _turnMs;
  qint64 _minimumMs;
  QElapsedTimer _clock;
  qint64 _stepStart = 0;
  qint64 _stepMs = 0;
  qint64 _lastEnd = -1;
  int _waited = 0;
};
