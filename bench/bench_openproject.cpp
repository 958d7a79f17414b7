// Opening a generated project of 200 segments (clips with sound, pictures, texts, music) in
// the editor window: the time until the project is loaded (and until every segment had loaded:
// the rest is the loader's own polling), the longest gap between two turns
// of the GUI event loop while it loads (a frozen window shows up here), and the time from
// the play/pause operation to the "playing" status over ten starts. It opens twice: the first
// time as on a first run, when OpenGL compiles every shader; then as later runs do.
#include "benchopening.h"
#include "mediafixtures.h"
#include "projectmanager.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kSegments = 200;
constexpr qint64 kOpeningGoalMs = 1500;
constexpr qint64 kStallGoalMs = 50;

QString segmentXml(const QString &type, int track, int start, const QString &extra)
{
  return QStringLiteral("<Segment Type=\"%1\" TrackId=\"%2\" RangeStart=\"%3\" RangeDuration=\"2\" %4/>\n")
      .arg(type)
      .arg(track)
      .arg(start)
      .arg(extra);
}

bool writeProject(const QString &dir)
{
  MediaFixtures::VideoParams clip;
  clip.width = 320;
  clip.height = 240;
  clip.fps = 25;
  clip.frames = 50;
  clip.withTone = true;
  if (!QDir().mkpath(dir) || !MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip) ||
      !MediaFixtures::writePicture(dir + "/still.png", 640, 360) || !MediaFixtures::writeTone(dir + "/tune.wav", 2))
    return false;
  QString xml = "<?xml version=\"1.0\"?>\n<Project>\n";
  for (int i = 0; i < kSegments; ++i) {
    const int start = 2 * (i / 4);
    switch (i % 4) {
    case 0:
      xml += segmentXml("MOVIE", 1, start, "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"2\"");
      break;
    case 1:
      xml += segmentXml("IMAGE", 2, start, "File=\"still.png\"");
      break;
    case 2:
      xml += segmentXml("TEXT", 3, start, QString("Text=\"Title %1\"").arg(i));
      break;
    default:
      xml += segmentXml("MUSIC", 4, start, "File=\"tune.wav\" Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"2\"");
    }
  }
  xml += "</Project>\n";
  QFile project(dir + "/project.xml");
  QFile properties(dir + "/properties.xml");
  return project.open(QIODevice::WriteOnly) && project.write(xml.toUtf8()) > 0 &&
         properties.open(QIODevice::WriteOnly) &&
         properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n") > 0;
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

  Opening first = openBench(kSegments, 120000);
  if (!first.window)
    return 1;
  DesktopMainWindow &window = *first.window;

  QList<qint64> starts;
  QElapsedTimer clock;
  for (int i = 0; i < 10; ++i) {
    clock.restart();
    window.togglePlayPause();
    if (!QTest::qWaitFor([&] { return window.isPlaying(); }, 10000))
      break;
    starts << clock.elapsed();
    window.togglePlayPause();
    if (!QTest::qWaitFor([&] { return !window.isPlaying(); }, 10000)) {
      std::fprintf(stderr, "playback did not pause within 10 s\n");
      return 1;
    }
  }
  std::sort(starts.begin(), starts.end());
  window.runClosingStep();
  first.window.reset();

  // A later opening finds the OpenGL shaders the first one compiled in the user's shader cache.
  const Opening later = openBench(kSegments, 120000);
  if (!later.window)
    return 1;
  later.window->runClosingStep();

  std::printf("opening a project of %d segments (clips with sound, pictures, texts, music)\n", kSegments);
  reportOpening("first opening, empty shader cache", first, kOpeningGoalMs, kStallGoalMs);
  reportOpening("a later opening, shader cache filled", later, kOpeningGoalMs, kStallGoalMs);
  if (starts.isEmpty()) {
    std::printf("  play/pause to playing:           never\n");
  } else {
    std::printf("  play/pause to playing (%d runs): median %lld ms, max %lld ms\n", int(starts.size()),
                static_cast<long long>(starts[starts.size() / 2]), static_cast<long long>(starts.last()));
  }
  return 0;
}
