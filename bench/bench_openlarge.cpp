// Opening a generated project of 20,000 one-second texts on four tracks in the editor window:
// the time until the project is loaded (and until every segment had loaded: the rest is the
// loader's own polling), the longest gap between two turns of the GUI event
// loop meanwhile (a frozen window shows up here) and the peak memory, each beside its goal. It
// opens twice: the first time as on a first run, when OpenGL compiles every shader; then as later
// runs do.
#include "benchopening.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

  Opening first = openBench(kSegments, 600000);
  if (!first.window)
    return 1;
  first.window->runClosingStep();
  first.window.reset();
  const long memoryFirst = peakMemoryMiB();
  // A later opening finds the OpenGL shaders the first one compiled in the user's shader cache.
  Opening later = openBench(kSegments, 600000);
  if (!later.window)
    return 1;
  later.window->runClosingStep();

  std::printf("opening a project of %d one-second texts on %d tracks\n", kSegments, kTracks);
  reportOpening("first opening, empty shader cache", first, kOpeningGoalMs, kStallGoalMs);
  reportOpening("a later opening, shader cache filled", later, kOpeningGoalMs, kStallGoalMs);
  std::printf("  peak memory:             %6ld MiB  (%ld MiB before opening)\n", memoryFirst, memoryBefore);
  return 0;
}
