// Export throughput: a 30 s 1920x1080 30 fps composition (picture, caption, sound) exported to
// H.264 + AAC, against the ffmpeg command line encoding the same picture and tone at the same
// length, size and encoder settings.
#include "avcomposition.h"
#include "benchgl.h"
#include "avengine.h"
#include "avexporter.h"
#include "avimageloader.h"
#include "testsounds.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>

namespace {
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFps = 30;
constexpr int kVideoBitRate = 8000000;
constexpr int kAudioBitRate = 128000;

QString writePicture(const QTemporaryDir &dir)
{
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(QColor(40, 90, 160));
  QPainter painter(&image);
  painter.setBrush(QColor(240, 200, 60));
  painter.drawEllipse(image.rect().adjusted(400, 150, -400, -150));
  painter.end();
  const QString path = dir.filePath("picture.png");
  image.save(path);
  return path;
}

void finished(AVExporter *, int message, double value, void *user)
{
  if (message == kAVExportFinished)
    *static_cast<std::atomic<int> *>(user) = int(value);
}

// Seconds the exporter takes, or a negative result code.
double exportSeconds(AVHeadlessGLHost *host, const QString &picture, const QString &output, int seconds)
{
  AVImageLoader loader;
  AVComposition composition(kWidth, kHeight, 44100, 2, nullptr);
  composition.setRenderSize(kWidth, kHeight, true);
  host->setComposition(&composition);
  double elapsed = 0;
  {
    AVEngine engine(&composition, &loader, nullptr);
    engine.addImageSegment(1, picture.toUtf8().constData(), false, 0, float(seconds));
    engine.addTransition(1, 1, 0, 0.1f, 4);
    engine.setTransitionValue(1, 1, false, kAVPropertyTransparency, 1, 0);
    engine.setTransitionValue(1, 1, true, kAVPropertyTransparency, 0, 0);
    engine.addTextSegment(2, "Throughput", 1, float(seconds - 1));
    composition.addSegment(new SineSound(0, seconds, 440), 3);

    std::atomic<int> result{1};
    AVExporter exporter(kWidth, kHeight, kVideoBitRate, kFps, 0, false, 44100, 2, kAudioBitRate, 0,
                        output.toUtf8().constData(), nullptr);
    exporter.setComposition(&composition);
    exporter.setImageLoader(&loader);
    exporter.setCallback(finished, &result);
    exporter.setGLHost(host);
    host->setExportOwner(exporter.contextOwner());
    QElapsedTimer timer;
    timer.start();
    exporter.start();
    exporter.wait();
    elapsed = timer.elapsed() / 1000.0;
    host->setExportOwner(nullptr);
    if (result != 0)
      elapsed = result;
  }
  host->setComposition(nullptr);
  loader.stop(true);
  return elapsed;
}

double commandLineSeconds(const QString &picture, const QString &output, int seconds)
{
  const QString length = QString::number(seconds);
  const QStringList arguments{"-v", "error", "-y", "-loop", "1", "-framerate", QString::number(kFps), "-t", length,
                              "-i", picture, "-f", "lavfi", "-i", QString("sine=f=440:r=44100:d=%1").arg(length),
                              "-map", "0:v", "-map", "1:a", "-s", QString("%1x%2").arg(kWidth).arg(kHeight),
                              "-c:v", "libx264", "-preset", "superfast", "-b:v", QString::number(kVideoBitRate),
                              "-g", "12", "-pix_fmt", "yuv420p", "-threads", "auto", "-c:a", "aac", "-b:a",
                              QString::number(kAudioBitRate), "-ar", "44100", "-ac", "2", output};
  QElapsedTimer timer;
  timer.start();
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
  ffmpeg.start("ffmpeg", arguments);
  if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0)
    return -1;
  return timer.elapsed() / 1000.0;
}
} // namespace

int main(int argc, char **argv)
{
  benchSetUpGL();
  QGuiApplication app(argc, argv);
  // An optional length in seconds for a quicker look.
  const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 30;

  AVHeadlessGLHost host;
  if (!host.isValid()) {
    fprintf(stderr, "bench_export: no GL context (run under Xvfb)\n");
    return 1;
  }
  QTemporaryDir dir;
  const QString picture = writePicture(dir);
  const int frames = seconds * kFps;
  printf("export %d s of %dx%d at %d fps, H.264 superfast %d kbit/s + AAC %d kbit/s\n", seconds, kWidth, kHeight,
         kFps, kVideoBitRate / 1000, kAudioBitRate / 1000);
  fflush(stdout);
  const double ours = exportSeconds(&host, picture, dir.filePath("export.mp4"), seconds);
  if (ours <= 0) {
    fprintf(stderr, "bench_export: export failed (%g)\n", ours);
    return 1;
  }
  const double reference = commandLineSeconds(picture, dir.filePath("reference.mp4"), seconds);
  if (reference <= 0) {
    fprintf(stderr, "bench_export: the ffmpeg command line failed\n");
    return 1;
  }
  const double ourFps = frames / ours, referenceFps = frames / reference;
  printf("%-22s %8.2f s %8.1f fps\n", "exporter", ours, ourFps);
  printf("%-22s %8.2f s %8.1f fps\n", "ffmpeg command line", reference, referenceFps);
  printf("exporter / command line: %.2f\n", ourFps / referenceFps);
  return 0;
}
