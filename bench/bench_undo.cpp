// Undo and redo on the open window with 30 and 500 segments (text and pictures on 8 tracks):
// median and maximum per step over ten undos and ten redos. The aim is under 1 s per step at
// 30 segments.
#include "editingfixture.h"
#include "testenv.h"

#include "avengine.h"
#include "projectmanager.h"
#include "segment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSteps = 10;

QList<SegmentSpec> project(int count)
{
  using Attributes = QList<QPair<QString, QString>>;
  QList<SegmentSpec> segments;
  for (int i = 0; i < count; ++i) {
    const int track = i % 8 + 1;
    const float start = float(i / 8) * 2;
    if (i % 2)
      segments << SegmentSpec{"IMAGE", track, start, 2, Attributes{{"File", "still.png"}}};
    else
      segments << SegmentSpec{"TEXT", track, start, 2, Attributes{{"Text", QString("Title %1").arg(i)}}};
  }
  return segments;
}

constexpr double kGoalMs = 50;

void report(const char *what, int count, std::vector<double> times)
{
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("%s, %d segments: %.1f ms median, %.1f ms maximum per step (%zu steps; goal median <= %.0f ms: %s)\n",
              what, count, median, times.back(), times.size(), kGoalMs, median <= kGoalMs ? "met" : "MISSED");
}

bool run(int count)
{
  EditingSession session;
  if (!session.open(project(count))) {
    std::printf("%d segments: the project did not open\n", count);
    return false;
  }
  for (int i = 0; i < kSteps; ++i) {
    session.edit(session.segmentAt(i % session.segmentCount()));
    session.window->_segmentCommand(nullptr, 10006);
  }
  std::vector<double> undos, redos;
  AVEngine *engine = session.window->_engine;
  // Timed from an idle engine: a busy one defers the step to a retry.
  auto timed = [&](bool undo) {
    if (!QTest::qWaitFor([engine] { return engine->isIdle(); }, 30000)) {
      std::fprintf(stderr, "the engine stayed busy for 30 s\n");
      return -1.0;
    }
    const int position = session.window->projectManager()->history().position();
    QElapsedTimer clock;
    clock.start();
    session.window->undoRedoOperation(undo);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (session.window->projectManager()->history().position() == position)
      std::printf("%s step did not run at once\n", undo ? "an undo" : "a redo");
    return ms;
  };
  for (int i = 0; i < 2 * kSteps; ++i) {
    const bool undo = i < kSteps;
    const double ms = timed(undo);
    if (ms < 0)
      return false;
    (undo ? undos : redos).push_back(ms);
  }
  report("undo", count, undos);
  report("redo", count, redos);
  return true;
}
} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  const bool ok = run(30) && run(500);
  return ok ? 0 : 1;
}
