// Which picture each exported frame shows, against the picture due then: the newest one whose
// stamp the output's media time has reached (within half a tick of the stream's clock). Clips of
// colour-coded pictures (constant and uneven 60 fps, a screen recording stating 60 fps, an uneven
// ~24 fps clip with drops, 50 fps) are exported at 25, 30 and 60 fps at half, single and double
// speed, each from 8 starts within one output frame, through the engine facade as the editor
// places them. Prints per case the stale outputs of the 8 starts, pictures shown ahead of time,
// due pictures never shown, frames with no picture, and the export time. "slow" exports a 1080p
// HEVC clip whose range starts 9.5 s after its key frame, without and with a progress callback,
// and counts the outputs with no picture; "again" exports a 1080p 50 fps clip 6 times in turn
// without a callback.
//   bench_framedelivery [folder for the clips] [case filter]
#include "avcomposition.h"
#include "avengine.h"
#include "avexporter.h"
#include "avheadlessrenderer.h"
#include "avimageloader.h"
#include "avsegment.h"
#include "benchgl.h"
#include "mediafixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace {
constexpr int kWidth = 64;
constexpr int kHeight = 48;

bool ffmpeg(const QStringList &arguments)
{
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
  return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Clip
{
  QString name;
  QVector<double> stamps; // presentation order, seconds
  double tick = 0;        // the stream's clock
  QVector<int> colour;    // the colour code of each picture
  double duration = 0;
};

// Stamps and time base by ffprobe, colour codes by decoding.
bool describe(const QString &path, Clip *clip)
{
  QProcess probe;
  probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=time_base:frame=best_effort_timestamp", "-of", "default=nw=1", path});
  if (!probe.waitForFinished(60000))
    return false;
  qint64 num = 0, den = 0;
  QVector<qint64> ticks;
  for (const QByteArray &line : probe.readAllStandardOutput().split('\n')) {
    if (line.startsWith("time_base=")) {
      const QList<QByteArray> parts = line.mid(10).split('/');
      num = parts.value(0).toLongLong();
      den = parts.value(1).toLongLong();
    } else if (line.startsWith("best_effort_timestamp=")) {
      ticks << line.mid(22).toLongLong();
    }
  }
  std::sort(ticks.begin(), ticks.end());
  if (!num || !den || ticks.isEmpty())
    return false;
  clip->tick = double(num) / den;
  for (qint64 t : ticks)
    clip->stamps << double(t) * num / den;
  const MediaFixtures::DecodedVideo video = MediaFixtures::decodeVideo(path);
  if (!video.ok || video.frames.size() != ticks.size())
    return false;
  for (const QImage &frame : video.frames)
    clip->colour << MediaFixtures::frameIndexOf(frame);
  clip->duration = clip->stamps.last() + (video.frameRate > 0 ? 1 / video.frameRate : 0);
  return true;
}

bool makeClips(const QDir &folder)
{
  const auto path = [&](const char *name) { return folder.filePath(name); };
  const auto color = [&](const char *name, int fps, int frames) {
    return QFileInfo::exists(path(name)) || MediaFixtures::writeColorVideo(path(name), kWidth, kHeight, fps, frames);
  };
  const auto retime = [&](const char *source, const char *name, const QString &filter) {
    return QFileInfo::exists(path(name)) ||
           ffmpeg({"-i", path(source), "-vf", filter, "-vsync", "passthrough", "-enc_time_base", "1/90000", "-c:v",
                   "libx264", "-qp", "0", path(name)});
  };
  return color("even60.mp4", 60, 180) && color("even50.mp4", 50, 150) && color("even28.mp4", 28, 112) &&
         retime("even60.mp4", "phone60.mp4", "settb=1/90000,setpts=(N*1001/60000+0.005*sin(N*1.7))/TB") &&
         retime("even60.mp4", "screen60.mp4",
                "select='lt(mod(n,60),12)+eq(mod(n,60),13)+eq(mod(n,60),17)+eq(mod(n,60),30)+eq(mod(n,60),31)+"
                "eq(mod(n,60),45)'") &&
         retime("even28.mp4", "uneven24.mp4",
                "settb=1/90000,select='not(eq(mod(n,7),3))',setpts=PTS+0.008*sin(N*1.3)/TB");
}

struct Outcome
{
  int outputs = 0, stale = 0, ahead = 0, never = 0, empty = 0;
  double seconds = 0;
  bool ok = false;
};

void progress(AVExporter *, int, double, void *) {}

// Exports the clip placed at start with the given speed at rate fps; compares every output the
// clip covers with the picture due.
Outcome exportClip(AVHeadlessGLHost *host, const QString &file, const Clip *clip, float start, double speed, int rate,
                   bool callback, const QString &output, int width = kWidth, int height = kHeight,
                   float rangeStart = 0, float rangeLength = 0)
{
  Outcome outcome;
  AVImageLoader loader;
  AVComposition composition(width, height, 44100, 2, nullptr);
  composition.setRenderSize(width, height, true);
  // No colour code is this grey.
  composition.setBackgroundColor(makeVec4Opaque(0.1f, 0.1f, 0.1f));
  host->setComposition(&composition);
  const float range = rangeLength > 0 ? rangeLength : float(clip->duration);
  const float length = float(range / speed);
  {
    AVEngine engine(&composition, &loader, nullptr);
    engine.addVideoSegment(1, file.toUtf8().constData(), start, rangeStart, range, 0, true);
    QElapsedTimer loading;
    loading.start();
    while (composition.findSegment(1)->loadError() == kAVLoadPending && loading.elapsed() < 60000)
      QThread::msleep(2);
    engine.setSegmentDuration(1, length);
    engine.updateDuration();
    AVExporter exporter(width, height, 4000000, rate, 0, false, 44100, 2, 128000, 0, output.toUtf8().constData(),
                        nullptr);
    exporter.setComposition(&composition);
    exporter.setImageLoader(&loader);
    if (callback)
      exporter.setCallback(progress, nullptr);
    exporter.setGLHost(host);
    host->setExportOwner(exporter.contextOwner());
    QElapsedTimer timer;
    timer.start();
    exporter.start();
    exporter.wait();
    outcome.seconds = timer.elapsed() / 1000.0;
    host->setExportOwner(nullptr);
  }
  host->setComposition(nullptr);
  loader.stop(true);
  const MediaFixtures::DecodedVideo movie = MediaFixtures::decodeVideo(output);
  if (!movie.ok)
    return outcome;
  outcome.ok = true;
  if (!clip) {
    // Only whether a picture is there: anything but the background.
    for (int k = int(std::ceil(double(start) * rate - 1e-9)); k < movie.frames.size(); ++k) {
      const QColor c = movie.frames[k].pixelColor(width / 2, height / 2);
      ++outcome.outputs;
      outcome.empty += std::abs(c.red() - 25) < 8 && std::abs(c.green() - 25) < 8 && std::abs(c.blue() - 25) < 8;
    }
    return outcome;
  }
  const double stretch = double(length) / double(range);
  QSet<int> due, shown;
  for (int k = int(std::ceil(double(start) * rate - 1e-9)); k < movie.frames.size(); ++k) {
    const double t = k / double(rate);
    if (t >= double(start) + double(length) - 1e-9)
      break;
    const double media = std::max(0.0, (t - double(start)) / stretch + double(rangeStart));
    int d = 0;
    for (int i = 0; i < clip->stamps.size() && clip->stamps[i] <= media + clip->tick / 2 + 1e-9; ++i)
      d = i;
    const int code = MediaFixtures::frameIndexOf(movie.frames[k]);
    const int position = int(clip->colour.indexOf(code));
    ++outcome.outputs;
    due << d;
    if (position < 0)
      ++outcome.empty;
    else if (position < d)
      ++outcome.stale;
    else if (position > d)
      ++outcome.ahead;
    if (position == d)
      shown << d;
    else if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
      printf("  output %d (%.4f s, media %.4f): picture %d for %d\n", k, t, media, position, d);
  }
  outcome.never = int((due - shown).size());
  return outcome;
}
} // namespace

int main(int argc, char **argv)
{
  benchSetUpGL();
  QGuiApplication app(argc, argv);
  QTemporaryDir temporary;
  const QDir folder(argc > 1 ? QString(argv[1]) : temporary.path());
  const QString only = argc > 2 ? QString(argv[2]) : QString();
  QDir().mkpath(folder.path());
  AVHeadlessGLHost host;
  if (!host.isValid() || !makeClips(folder)) {
    fprintf(stderr, "bench_framedelivery: no GL context or no clips\n");
    return 1;
  }
  const QString output = temporary.filePath("out.mp4");
  const char *names[] = {"phone60.mp4", "even60.mp4", "screen60.mp4", "uneven24.mp4", "even50.mp4"};
  double total = 0;
  Outcome sum;
  for (const char *name : names) {
    if (!only.isEmpty() && !QString(name).startsWith(only))
      continue;
    Clip clip;
    if (!describe(folder.filePath(name), &clip)) {
      fprintf(stderr, "bench_framedelivery: cannot read %s\n", name);
      return 1;
    }
    for (const double speed : {0.5, 1.0, 2.0}) {
      for (const int rate : {25, 30, 60}) {
        QStringList stale;
        Outcome line;
        for (int p = 0; p < 8; ++p) {
          const float start = float(1.0 + p / (8.0 * rate));
          const Outcome o = exportClip(&host, folder.filePath(name), &clip, start, speed, rate, true, output);
          if (!o.ok)
            return 1;
          stale << QString::number(o.stale);
          line.outputs += o.outputs;
          line.stale += o.stale;
          line.ahead += o.ahead;
          line.never += o.never;
          line.empty += o.empty;
          line.seconds += o.seconds;
        }
        printf("%-13s x%-3g at %2d: stale %-32s of %4d; ahead %d, never shown %d, no picture %d; %.2f s\n", name,
               speed, rate, qPrintable(stale.join(' ')), line.outputs, line.ahead, line.never, line.empty,
               line.seconds);
        fflush(stdout);
        sum.outputs += line.outputs;
        sum.stale += line.stale;
        sum.ahead += line.ahead;
        sum.never += line.never;
        sum.empty += line.empty;
        total += line.seconds;
      }
    }
  }
  // Where the editor's drop puts clips: steps of 1/24 s.
  const struct { const char *name; float start; } drops[] = {
      {"phone60.mp4", 14.2917f}, {"even60.mp4", 2.708333f}, {"screen60.mp4", 0.708333f}};
  for (const auto &drop : drops) {
    if (!only.isEmpty() && !QString(drop.name).startsWith(only))
      continue;
    Clip clip;
    describe(folder.filePath(drop.name), &clip);
    const Outcome o = exportClip(&host, folder.filePath(drop.name), &clip, drop.start, 1.0, 30, true, output);
    printf("%-13s at %.6f s, 30 fps: stale %d of %d; ahead %d, never shown %d, no picture %d; %.2f s\n", drop.name,
           double(drop.start), o.stale, o.outputs, o.ahead, o.never, o.empty, o.seconds);
  }
  if (only.isEmpty() || only == "slow") {
    const QString slow = folder.filePath("slow_hevc.mp4");
    if (!QFileInfo::exists(slow) &&
        !ffmpeg({"-f", "lavfi", "-i", "testsrc2=s=1920x1080:r=30:d=12", "-c:v", "libx265", "-preset", "ultrafast",
                 "-x265-params", "keyint=600:min-keyint=600:scenecut=0:log-level=error", "-pix_fmt", "yuv420p",
                 slow})) {
      fprintf(stderr, "bench_framedelivery: cannot make the HEVC clip\n");
      return 1;
    }
    for (const bool callback : {false, true}) {
      const Outcome o = exportClip(&host, slow, nullptr, 2.0f, 1.0, 30, callback, output, 320, 180, 9.5f, 2.0f);
      printf("1080p HEVC from 9.5 s at 2 s, %s callback: no picture %d of %d; %.2f s\n",
             callback ? "with a" : "without a", o.empty, o.outputs, o.seconds);
    }
  }
  // Exports one after another in one process, without a progress callback: a 1080p 50 fps clip
  // at 2 s, whose first outputs come while its seek may still be decoding.
  if (only.isEmpty() || only == "again") {
    const QString clip = folder.filePath("even50_1080.mp4");
    if (!QFileInfo::exists(clip) && !ffmpeg({"-f", "lavfi", "-i", "testsrc2=s=1920x1080:r=50:d=3", "-c:v", "libx264",
                                             "-preset", "ultrafast", "-pix_fmt", "yuv420p", clip})) {
      fprintf(stderr, "bench_framedelivery: cannot make the 1080p clip\n");
      return 1;
    }
    QStringList empty;
    for (int round = 0; round < 6; ++round)
      empty << QString::number(
        exportClip(&host, clip, nullptr, 2.0f, 1.0, 30, false, output, 320, 180, 0, 3.0f).empty);
    printf("1080p 50 fps at 2 s, 6 exports in turn without a callback: outputs with no picture %s\n",
           qPrintable(empty.join(' ')));
  }
  if (sum.outputs)
    printf("sweep: stale %d, ahead %d, never shown %d, no picture %d of %d outputs; export time %.2f s\n", sum.stale,
           sum.ahead, sum.never, sum.empty, sum.outputs, total);
  return 0;
}
