// Export throughput at 1920x1080 30 fps, H.264 superfast + AAC, each scene against the ffmpeg
// command line doing the same work with the same encoder settings in the same run:
// - still: a picture fading in, a caption and a tone;
// - clip: a video clip, a picture scaled to 640x360 at (100,100), the text "Hello" and music,
//   which the command line builds with its filter graph (overlay, drawtext);
// - even, uneven: the clip alone, as written and re-timed as phones and screen recorders write
//   their pictures (17 to 50 ms apart around the same mean), which the command line re-encodes
//   at 30 fps. The exporter waits for every picture here, so these show the decoder and the
//   renderer working side by side or one after the other.
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
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

struct Inputs
{
  QString picture, clip, music, unevenClip;
};

bool runFfmpeg(const QStringList &arguments)
{
  QProcess ffmpeg;
  ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
  ffmpeg.start("ffmpeg", QStringList{"-v", "error", "-y"} + arguments);
  return ffmpeg.waitForFinished(-1) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

// A moving test picture and two-tone music of the given length, made before the timing.
bool writeClipAndMusic(Inputs *inputs, const QTemporaryDir &dir, int seconds)
{
  inputs->clip = dir.filePath("clip.mp4");
  inputs->music = dir.filePath("music.wav");
  const QString length = QString::number(seconds);
  return runFfmpeg({"-f", "lavfi", "-i", QString("testsrc2=s=%1x%2:r=%3:d=%4").arg(kWidth).arg(kHeight).arg(kFps).arg(length),
                    "-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-pix_fmt", "yuv420p", inputs->clip}) &&
         runFfmpeg({"-f", "lavfi", "-i", QString("sine=f=330:r=44100:d=%1").arg(length), "-f", "lavfi", "-i",
                    QString("sine=f=495:r=44100:d=%1").arg(length), "-filter_complex", "amix=inputs=2", "-ac", "2",
                    inputs->music});
}

// The clip with the same pictures at uneven times.
bool writeUnevenClip(Inputs *inputs, const QTemporaryDir &dir)
{
  inputs->unevenClip = dir.filePath("uneven.mp4");
  return runFfmpeg({"-i", inputs->clip, "-vf", "settb=1/90000,setpts=(N/30+0.011*sin(N*1.7))/TB", "-vsync",
                    "passthrough", "-enc_time_base", "1/90000", "-c:v", "libx264", "-preset", "ultrafast", "-crf",
                    "18", "-pix_fmt", "yuv420p", inputs->unevenClip});
}

void buildStill(AVEngine *engine, AVComposition *composition, const Inputs &inputs, int seconds)
{
  engine->addImageSegment(1, inputs.picture.toUtf8().constData(), false, 0, float(seconds));
  engine->addTransition(1, 1, 0, 0.1f, 4);
  engine->setTransitionValue(1, 1, false, kAVPropertyTransparency, 1, 0);
  engine->setTransitionValue(1, 1, true, kAVPropertyTransparency, 0, 0);
  engine->addTextSegment(2, "Throughput", 1, float(seconds - 1));
  composition->addSegment(new SineSound(0, seconds, 440), 3);
}

void buildClip(AVEngine *engine, AVComposition *, const Inputs &inputs, int seconds)
{
  engine->addVideoSegment(1, inputs.clip.toUtf8().constData(), 0, 0, float(seconds), 0, true);
  engine->addImageSegment(2, inputs.picture.toUtf8().constData(), false, 0, float(seconds));
  // A third of the frame, its top left corner at (100,100): positions are fractions of the
  // frame from its centre, y up.
  engine->setSegmentProperty(2, kAVPropertyScale, 1 / 3.0f, 1 / 3.0f);
  engine->setSegmentProperty(2, kAVPropertyPosition, (100 + 320 - kWidth / 2.0f) / kWidth,
                             (kHeight / 2.0f - 100 - 180) / kHeight);
  engine->addTextSegment(3, "Hello", 0, float(seconds));
  engine->addAudioSegment(4, inputs.music.toUtf8().constData(), 0, 0, float(seconds));
}

void buildEven(AVEngine *engine, AVComposition *, const Inputs &inputs, int seconds)
{
  engine->addVideoSegment(1, inputs.clip.toUtf8().constData(), 0, 0, float(seconds), 0, true);
}

void buildUneven(AVEngine *engine, AVComposition *, const Inputs &inputs, int seconds)
{
  engine->addVideoSegment(1, inputs.unevenClip.toUtf8().constData(), 0, 0, float(seconds), 0, true);
}

using SceneBuilder = void (*)(AVEngine *, AVComposition *, const Inputs &, int);

// Seconds the exporter takes, or a negative result code.
double exportSeconds(AVHeadlessGLHost *host, SceneBuilder build, const Inputs &inputs, const QString &output,
                     int seconds)
{
  AVImageLoader loader;
  AVComposition composition(kWidth, kHeight, 44100, 2, nullptr);
  composition.setRenderSize(kWidth, kHeight, true);
  host->setComposition(&composition);
  double elapsed = 0;
  {
    AVEngine engine(&composition, &loader, nullptr);
    build(&engine, &composition, inputs, seconds);

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

const QStringList kEncoderArguments{"-c:v", "libx264", "-preset", "superfast", "-b:v", QString::number(kVideoBitRate),
                                   "-g", "12", "-pix_fmt", "yuv420p", "-threads", "auto", "-c:a", "aac", "-b:a",
                                   QString::number(kAudioBitRate), "-ar", "44100", "-ac", "2"};

QStringList stillArguments(const Inputs &inputs, const QString &output, int seconds)
{
  const QString length = QString::number(seconds);
  return QStringList{"-loop", "1", "-framerate", QString::number(kFps), "-t", length,
                              "-i", inputs.picture, "-f", "lavfi", "-i",
                     QString("sine=f=440:r=44100:d=%1").arg(length), "-map", "0:v", "-map", "1:a", "-s",
                     QString("%1x%2").arg(kWidth).arg(kHeight)} +
         kEncoderArguments + QStringList{output};
}

QStringList clipArguments(const Inputs &inputs, const QString &output, int seconds)
{
  const QString length = QString::number(seconds);
  const QString graph = "[1:v]scale=640:360[p];[0:v][p]overlay=100:100:shortest=1,"
                        "drawtext=text=Hello:fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf:"
                        "fontsize=72:fontcolor=white:x=(w-tw)/2:y=(h-th)/2[v]";
  return QStringList{"-i", inputs.clip, "-loop", "1", "-framerate", QString::number(kFps), "-t", length, "-i",
                     inputs.picture, "-i", inputs.music, "-filter_complex", graph, "-map", "[v]", "-map", "2:a",
                     "-t", length} +
         kEncoderArguments + QStringList{output};
}

QStringList reencodeArguments(const QString &clip, const QString &output, int seconds)
{
  return QStringList{"-i", clip, "-an", "-r", QString::number(kFps), "-t", QString::number(seconds)} +
         kEncoderArguments + QStringList{output};
}

QStringList evenArguments(const Inputs &inputs, const QString &output, int seconds)
{
  return reencodeArguments(inputs.clip, output, seconds);
}

QStringList unevenArguments(const Inputs &inputs, const QString &output, int seconds)
{
  return reencodeArguments(inputs.unevenClip, output, seconds);
}

// Peaks of a process's resident memory in two parts: its own data (anonymous pages) and the
// mapped files it touched (the code of its libraries), sampled from /proc every 5 ms.
struct ResidentParts
{
  long residentMegabytes = 0;
  long dataMegabytes = 0;
  long codeMegabytes = 0;
};

class ResidentSampler
{
public:
  explicit ResidentSampler(const std::string &process) : _status("/proc/" + process + "/status") {}
  void sample()
  {
    std::ifstream status(_status);
    std::string key;
    long kilobytes = 0;
    while (status >> key) {
      if (key == "VmRSS:" && status >> kilobytes)
        _peak.residentMegabytes = std::max(_peak.residentMegabytes, kilobytes / 1024);
      else if (key == "RssAnon:" && status >> kilobytes)
        _peak.dataMegabytes = std::max(_peak.dataMegabytes, kilobytes / 1024);
      else if (key == "RssFile:" && status >> kilobytes)
        _peak.codeMegabytes = std::max(_peak.codeMegabytes, kilobytes / 1024);
    }
  }
  ResidentParts peak() const { return _peak; }

private:
  std::string _status;
  ResidentParts _peak;
};

struct CommandLineRun
{
  double seconds = -1;
  long peakMegabytes = 0; // the command line's own peak resident memory
  ResidentParts parts;
};

// Runs the ffmpeg command line as a child of its own, so that its peak memory is its alone
// (the children that made the inputs are not counted).
CommandLineRun commandLine(const QStringList &arguments)
{
  CommandLineRun run;
  std::vector<std::string> words{"ffmpeg", "-v", "error", "-y"};
  for (const QString &argument : arguments)
    words.push_back(argument.toStdString());
  std::vector<char *> argv;
  for (std::string &word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  QElapsedTimer timer;
  timer.start();
  const pid_t child = fork();
  if (child == 0) {
    execvp("ffmpeg", argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  ResidentSampler sampler(std::to_string(child));
  pid_t ended = 0;
  while (child > 0 && (ended = wait4(child, &status, WNOHANG, &usage)) == 0) {
    sampler.sample();
    usleep(5000);
  }
  if (ended != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return run;
  run.parts = sampler.peak();
  run.seconds = timer.elapsed() / 1000.0;
  run.peakMegabytes = usage.ru_maxrss / 1024;
  return run;
}

long peakResidentMegabytes()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}
} // namespace

int main(int argc, char **argv)
{
  benchSetUpGL();
  QGuiApplication app(argc, argv);
  // An optional length in seconds for a quicker look, and an optional scene ("still", "clip",
  // "even" or "uneven").
  const int seconds = argc > 1 ? std::max(2, atoi(argv[1])) : 30;
  const QString only = argc > 2 ? QString(argv[2]) : QString();

  AVHeadlessGLHost host;
  if (!host.isValid()) {
    fprintf(stderr, "bench_export: no GL context (run under Xvfb)\n");
    return 1;
  }
  QTemporaryDir dir;
  Inputs inputs;
  inputs.picture = writePicture(dir);
  if (!writeClipAndMusic(&inputs, dir, seconds) || ((only.isEmpty() || only == "uneven") && !writeUnevenClip(&inputs, dir))) {
    fprintf(stderr, "bench_export: the ffmpeg command line could not make the clip\n");
    return 1;
  }
  const int frames = seconds * kFps;
  printf("export %d s of %dx%d at %d fps, H.264 superfast %d kbit/s + AAC %d kbit/s\n", seconds, kWidth, kHeight,
         kFps, kVideoBitRate / 1000, kAudioBitRate / 1000);
  fflush(stdout);
  struct Scene
  {
    const char *name;
    SceneBuilder build;
    QStringList (*arguments)(const Inputs &, const QString &, int);
  };
  const Scene scenes[] = {{"still", buildStill, stillArguments},
                          {"clip", buildClip, clipArguments},
                          {"even", buildEven, evenArguments},
                          {"uneven", buildUneven, unevenArguments}};
  for (const Scene &scene : scenes) {
    if (!only.isEmpty() && only != scene.name)
      continue;
    // What the process holds before an export (Qt, the display connection, the software GL and
    // its code generator) is no part of what the export adds.
    ResidentSampler atStart("self");
    atStart.sample();
    const long before = atStart.peak().residentMegabytes;
    std::atomic<bool> exporting{true};
    ResidentSampler ourSampler("self");
    std::thread sampling([&] {
      while (exporting) {
        ourSampler.sample();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
    const double ours = exportSeconds(&host, scene.build, inputs, dir.filePath("export.mp4"), seconds);
    exporting = false;
    sampling.join();
    if (ours <= 0) {
      fprintf(stderr, "bench_export: export of %s failed (%g)\n", scene.name, ours);
      return 1;
    }
    const long peak = peakResidentMegabytes();
    const CommandLineRun cli = commandLine(scene.arguments(inputs, dir.filePath("reference.mp4"), seconds));
    const double reference = cli.seconds;
    if (reference <= 0) {
      fprintf(stderr, "bench_export: the ffmpeg command line failed on %s\n", scene.name);
      return 1;
    }
    printf("%-6s %-20s %8.2f s %8.1f fps  (peak resident %ld MB, %ld MB before the export)\n", scene.name,
           "exporter", ours, frames / ours, peak, before);
    printf("%-6s %-20s %8.2f s %8.1f fps  (peak resident %ld MB)\n", scene.name, "ffmpeg command line", reference,
           frames / reference, cli.peakMegabytes);
    printf("%-6s peak memory exporter / command line: %.2f (goal: at most 1.00)\n", scene.name,
           double(peak) / double(std::max(cli.peakMegabytes, 1L)));
    printf("%-6s   peaks, exporter / command line: own data %ld / %ld MB (%ld before the export), library code "
           "mapped %ld / %ld MB (%ld before)\n",
           scene.name, ourSampler.peak().dataMegabytes, cli.parts.dataMegabytes, atStart.peak().dataMegabytes,
           ourSampler.peak().codeMegabytes, cli.parts.codeMegabytes, atStart.peak().codeMegabytes);
    printf("%-6s exporter time / command line time: %.2f (speed ratio %.2f)\n", scene.name, ours / reference,
           reference / ours);
    fflush(stdout);
  }
  return 0;
}
