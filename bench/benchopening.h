#pragma once
// Opening the generated "Bench" project in a new editor window, as the opening benchmarks time it:
// until the project is loaded, until every segment had loaded (what follows is the loader's own
// polling), and the longest gap between two turns of the GUI event loop (a frozen window shows
// up here), all from before the window is built.

#include "desktopmainwindow.h"
#include "projectmanager.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

struct Opening
{
  // Null when the project did not load in time.
  std::unique_ptr<DesktopMainWindow> window;
  qint64 opening = 0;
  qint64 segmentsLoaded = -1;
  qint64 longestGap = 0;
};

inline Opening openBench(int segments, int timeoutMs)
{
  Opening result;
  QElapsedTimer sinceTurn;
  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] { result.longestGap = std::max(result.longestGap, sinceTurn.restart()); });

  QElapsedTimer clock;
  clock.start();
  sinceTurn.start();
  turns.start();
  auto window = std::make_unique<DesktopMainWindow>("Bench", QString());
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (result.segmentsLoaded < 0 && window->projectManager()->segmentCount() == segments
        && window->projectManager()->allSegmentsLoaded())
      result.segmentsLoaded = clock.elapsed();
  });
  window->resize(1400, 900);
  window->show();
  const bool loaded = QTest::qWaitFor(
      [&] {
        return window->previewWidget() && !window->projectLoader() && !window->progressHUD()
               && window->projectManager()->segmentCount() == segments;
      },
      timeoutMs);
  result.opening = clock.elapsed();
  turns.stop();
  if (loaded)
    result.window = std::move(window);
  else
    std::fprintf(stderr, "the project did not load within %d s\n", timeoutMs / 1000);
  return result;
}

inline void reportOpening(const char *what, const Opening &o, qint64 openingGoalMs, qint64 stallGoalMs)
{
  const auto verdict = [](bool met) { return met ? "met" : "MISSED"; };
  std::printf("  %s:\n", what);
  std::printf("    until loaded:            %6lld ms   (goal <= %lld ms: %s)\n", static_cast<long long>(o.opening),
              static_cast<long long>(openingGoalMs), verdict(o.opening <= openingGoalMs));
  std::printf("    every segment loaded at: %6lld ms   (the loader's polls of a second hold the other %lld ms)\n",
              static_cast<long long>(o.segmentsLoaded), static_cast<long long>(o.opening - o.segmentsLoaded));
  std::printf("    longest event-loop gap:  %6lld ms   (goal <= %lld ms: %s)\n", static_cast<long long>(o.longestGap),
              static_cast<long long>(stallGoalMs), verdict(o.longestGap <= stallGoalMs));
}
