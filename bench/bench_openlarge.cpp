// Opening a generated project of 20,000 one-second texts on four tracks in the editor window:
// the time until the project is loaded (and until every segment had loaded: the rest is the
// loader's own polling), the longest gap between two turns of the GUI event
// loop meanwhile (a frozen window shows up here) and the peak memory, each beside its goal. It
// opens twice: the first time as on a first run, when OpenGL compiles every shader; then as later
// runs do.
#include "desktopmainwindow.h"
#include "projectmanager.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kSegments = 20000;
constexpr int kTracks = 4;
constexpr qint64 kOpeningGoalMs = 5000;
constexpr qint64 kStallGoalMs = 100;

bool writeProject(const QString &dir)
{
  QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n";
  for (int i = 0; i < kSegments; ++i)
    xml += QStringLiteral("<Segment Type=\"TEXT\" TrackId=\"%1\" RangeStart=\"%2\" RangeDuration=\"1\" "
                          "Text=\"Line %3\"/>\n")
               .arg(i % kTracks + 1)
               .arg(i / kTracks)
               .arg(i)
               .toUtf8();
  xml += "</Project>\n";
  QFile project(dir + "/project.xml");
  QFile properties(dir + "/properties.xml");
  return QDir().mkpath(dir) && project.open(QIODevice::WriteOnly) && project.write(xml) == xml.size()
         && properties.open(QIODevice::WriteOnly)
         && properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n") > 0;
}

long peakMemoryMiB()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

const char *verdict(bool met)
{
  return met ? "met" : "MISSED";
}

struct Opening
{
  bool loaded = false;
  qint64 opening = 0;
  qint64 segmentsLoaded = -1;
  qint64 longestGap = 0;
};

// Opens the project in a new editor window and closes it again, measuring from the window's show.
Opening openBench()
{
  Opening result;
  // The longest time between two turns of the event loop.
  QElapsedTimer sinceTurn;
  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] { result.longestGap = std::max(result.longestGap, sinceTurn.restart()); });

  QElapsedTimer clock;
  clock.start();
  DesktopMainWindow window("Bench", QString());
  // When every segment had loaded, asked each turn: what follows is the loader's own wait.
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (result.segmentsLoaded < 0 && window.projectManager()->segmentCount() == kSegments
        && window.projectManager()->allSegmentsLoaded())
      result.segmentsLoaded = clock.elapsed();
  });
  window.resize(1400, 900);
  window.show();
  sinceTurn.start();
  turns.start();
  result.loaded = QTest::qWaitFor(
      [&] {
        return window.previewWidget() && !window.projectLoader() && !window.progressHUD()
               && window.projectManager()->segmentCount() == kSegments;
      },
      600000);
  result.opening = clock.elapsed();
  turns.stop();
  if (!result.loaded)
    std::fprintf(stderr, "the project did not load within ten minutes\n");
  window.runClosingStep();
  return result;
}

void report(const char *what, const Opening &o)
{
  std::printf("  %s:\n", what);
  std::printf("    until loaded:            %6lld ms   (goal <= %lld ms: %s)\n", static_cast<long long>(o.opening),
              static_cast<long long>(kOpeningGoalMs), verdict(o.opening <= kOpeningGoalMs));
  std::printf("    every segment loaded at: %6lld ms   (the loader's polls of a second hold the other %lld ms)\n",
              static_cast<long long>(o.segmentsLoaded), static_cast<long long>(o.opening - o.segmentsLoaded));
  std::printf("    longest event-loop gap:  %6lld ms   (goal <= %lld ms: %s)\n", static_cast<long long>(o.longestGap),
              static_cast<long long>(kStallGoalMs), verdict(o.longestGap <= kStallGoalMs));
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  QTemporaryDir root;
  ProjectManager::setWorkingDirectory(root.path());
  if (!writeProject(ProjectManager::projectDirectory("Bench", QString()))) {
    std::fprintf(stderr, "cannot write the project\n");
    return 1;
  }
  const long memoryBefore = peakMemoryMiB();

  const Opening first = openBench();
  if (!first.loaded)
    return 1;
  const long memoryFirst = peakMemoryMiB();
  // A later opening finds the OpenGL shaders the first one compiled in the user's shader cache.
  const Opening later = openBench();
  if (!later.loaded)
    return 1;

  std::printf("opening a project of %d one-second texts on %d tracks\n", kSegments, kTracks);
  report("first opening, empty shader cache", first);
  report("a later opening, shader cache filled", later);
  std::printf("  peak memory:             %6ld MiB  (%ld MiB before opening)\n", memoryFirst, memoryBefore);
  return 0;
}
