// A 10 s project of three tracks (a picture, a text, a tone) exported through the editor
// window as the user does it: at 360p H.264, at 720p VP9 over a transparent background, and
// once more with unchanged settings, which only copies the cached file. Figures are wall time
// and its multiple of the movie's length; the aim at 360p on two cores is at most 3x. The VP9
// export is measured beside the ffmpeg command line making the same movie with the same
// encoder settings; the goal is at most 1.1 times its time.
#include "editorfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "assetloadingthreadpool.h"
#include "popupmovieexportingwidget.h"
#include "projectmanager.h"
#include "segment.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr double Seconds = 10;

bool writeProject(const QString &dir, const QString &background)
{
  if (!MediaFixtures::writePicture(dir + "/still.png", 640, 480) || !MediaFixtures::writeTone(dir + "/tune.wav", Seconds))
    return false;
  const QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<Project>\n"
                                     "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"10\" "
                                     "File=\"still.png\"/>\n"
                                     "<Segment Type=\"TEXT\" TrackId=\"5\" RangeStart=\"0\" RangeDuration=\"10\" "
                                     "Text=\"Bench\"/>\n"
                                     "<Segment Type=\"MUSIC\" TrackId=\"9\" RangeStart=\"0\" RangeDuration=\"10\" "
                                     "File=\"tune.wav\" Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"10\"/>\n"
                                     "</Project>\n");
  const QString properties = QStringLiteral("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" resolution=\"1\" "
                                            "direction=\"1\" frameRate=\"30\" backgroundColor=\"%1\"/>\n")
                                 .arg(background);
  QFile project(dir + "/project.xml");
  QFile props(dir + "/properties.xml");
  return project.open(QIODevice::WriteOnly) && project.write(xml.toUtf8()) > 0 && props.open(QIODevice::WriteOnly)
         && props.write(properties.toUtf8()) > 0;
}

bool waitForProject(TestEditorWindow &window)
{
  return QTest::qWaitFor(
      [&] {
        ProjectManager *model = window.projectManager();
        if (!window.previewWidget() || window.projectLoader() || window.progressHUD() || model->segmentCount() != 3)
          return false;
        for (int i = 0; i < 3; ++i)
          if (model->segmentAt(i)->state() != SegmentReady)
            return false;
        return AssetLoadingThreadPool::instance()->activeThreadCount() == 0;
      },
      60000);
}

// Seconds from the Export button to the delivered file; negative on failure.
double exportOnce(TestEditorWindow &window, const QString &delivered)
{
  window.actions().exportMovie->trigger();
  auto *popup = window.centralWidget()->findChild<PopupMovieExportingWidget *>();
  QPushButton *button = popup ? popup->findChild<QPushButton *>("exportButton") : nullptr;
  if (!button || !QTest::qWaitFor([&] { return button->isVisible(); }, 5000))
    return -1;
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(button, Qt::LeftButton);
  if (!QTest::qWaitFor([&] { return QFile::exists(delivered); }, 600000))
    return -1;
  const double seconds = clock.nsecsElapsed() / 1e9;
  popup->dismiss();
  QTest::qWait(50);
  return seconds;
}

// Seconds the ffmpeg command line takes to make the transparent movie from the project's files,
// or -1. The encoder is given what the exporter gives it (bit rate, key frame distance, pixel
// format, threads); the rest (deadline, cpu-used, row-mt, tile columns) stays at the defaults
// of the same FFmpeg wrapper on both sides. The picture is fitted and centred, the text
// drawn in the middle, as the composition does.
double commandLineVp9(const QString &dir, const QString &output)
{
  const QString graph = "[1:v]scale=960:720[p];[0:v][p]overlay=160:0:shortest=1:format=auto,"
                        "drawtext=text=Bench:fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf:"
                        "fontsize=72:fontcolor=white:x=(w-tw)/2:y=(h-th)/2,format=yuva420p[v]";
  const QStringList arguments{"-v", "error", "-y", "-f", "lavfi", "-i",
                              "color=c=black@0.0:s=1280x720:r=30:d=10,format=rgba", "-loop", "1", "-framerate",
                              "30", "-t", "10", "-i", dir + "/still.png", "-i", dir + "/tune.wav",
                              "-filter_complex", graph, "-map", "[v]", "-map", "2:a", "-t", "10", "-c:v",
                              "libvpx-vp9", "-b:v", "10000000", "-g", "12", "-threads", "auto", "-c:a",
                              "libopus", "-b:a", "256000", "-ar", "48000", "-ac", "2", output};
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
  QElapsedTimer clock;
  clock.start();
  ffmpeg.start("ffmpeg", arguments);
  if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
    return -1;
  return clock.nsecsElapsed() / 1e9;
}

void report(const char *what, double seconds)
{
  if (seconds < 0)
    std::printf("export: %s failed\n", what);
  else
    std::printf("export: %s %.2f s wall, %.2fx real time\n", what, seconds, seconds / Seconds);
}

// Opens the project with the given background and exports it with the given settings.
bool runExports(const QString &background, int qualityIndex,
                const std::function<void(TestEditorWindow &window, const QString &dir)> &exports)
{
  EditorProject project;
  if (!project.isValid() || !writeProject(project.directory(), background))
    return false;
  TestEditorWindow window;
  window.resize(1100, 750);
  window.show();
  if (!waitForProject(window))
    return false;
  window.exportSettings().qualityIndex = qualityIndex;
  exports(window, project.directory());
  return true;
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  const bool opaque = runExports(QStringLiteral("#ff203040"), 0, [&](TestEditorWindow &window, const QString &) {
    report("10 s, 3 tracks, 360p H.264:", exportOnce(window, movies + "/Trip.mp4"));
    report("same settings again (cached copy):", exportOnce(window, movies + "/Trip 1.mp4"));
  });
  const bool transparent = runExports(QStringLiteral("#00000000"), 2, [&](TestEditorWindow &window,
                                                                             const QString &dir) {
    const double ours = exportOnce(window, movies + "/Trip.webm");
    report("10 s, 3 tracks, 720p VP9 with alpha:", ours);
    const double theirs = commandLineVp9(dir, dir + "/reference.webm");
    report("the same movie by the ffmpeg command line:", theirs);
    if (ours > 0 && theirs > 0)
      std::printf("export: VP9 exporter time / command line time %.2f (goal: at most 1.10)\n", ours / theirs);
  });
  return opaque && transparent ? 0 : 1;
}
