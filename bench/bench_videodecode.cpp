// Video stream throughput against the ffmpeg command line on the same clip, and seek latency
// (exact and not) in a 1080p clip whose only key frame is the first. With --decode FILE it only
// decodes that file once, for timing or profiling the whole process beside the command line.
#include "avvideostream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <sys/resource.h>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSeconds = 10;
constexpr int kRate = 25;
constexpr int kRuns = 7;

bool makeClip(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                          QString("testsrc2=size=1920x1080:rate=%1").arg(kRate), "-t", QString::number(kSeconds),
                          "-c:v", "libx264", "-preset", "ultrafast", "-g", "100000", "-pix_fmt", "yuv420p", path});
  return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

struct Times
{
  double wall = -1, cpu = -1;
};

// The process's processor seconds so far, every thread's.
double cpuSeconds()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and processor seconds of `ffmpeg -benchmark -i clip -f null -` (its "rtime", "utime" +
// "stime"); -1 where it gave none. Processor time compares fairly on a busy machine.
Times ffmpegSeconds(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-benchmark", "-i", path, "-f", "null", "-"});
  Times times;
  if (!ffmpeg.waitForFinished(120000))
    return times;
  const QString log = QString::fromUtf8(ffmpeg.readAllStandardError() + ffmpeg.readAllStandardOutput());
  const QRegularExpressionMatch m =
      QRegularExpression("utime=([0-9.]+)s stime=([0-9.]+)s rtime=([0-9.]+)s").match(log);
  if (m.hasMatch()) {
    times.cpu = m.captured(1).toDouble() + m.captured(2).toDouble();
    times.wall = m.captured(3).toDouble();
  }
  return times;
}

AVFrameRecord nextFrame(AVVideoStream &stream)
{
  for (;;) {
    AVFrameRecord record = stream.takeFrame(false);
    if (record.data || stream.isDecodeEnded())
      return record;
    QThread::usleep(200);
  }
}

// Takes every frame of the file from a fresh stream; the number taken, or -1 when it did not open.
int decodeAll(const QString &path)
{
  AVVideoStream stream(path.toStdString(), 1920, 1080);
  stream.startLoading(nullptr, nullptr, AVThumbnailRequest());
  stream.waitForLoading();
  if (!stream.isOpen())
    return -1;
  stream.awaken();
  int frames = 0;
  for (AVFrameRecord r = stream.takeFrame(true); r.data; r = stream.takeFrame(true)) {
    freeFrameRecord(r);
    ++frames;
  }
  return frames;
}

double median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void printLatency(const char *what, std::vector<double> ms)
{
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double v : ms)
    sum += v;
  std::printf("seek %-9s mean %7.1f ms  median %7.1f ms  max %7.1f ms  (%zu seeks)\n", what, sum / ms.size(),
              ms[ms.size() / 2], ms.back(), ms.size());
}
} // namespace

int main(int argc, char **argv)
{
  QCoreApplication app(argc, argv);
  if (argc == 3 && QByteArray(argv[1]) == "--decode") {
    const int frames = decodeAll(QString::fromLocal8Bit(argv[2]));
    std::printf("%d frames\n", frames);
    return frames < 0 ? 1 : 0;
  }
  QTemporaryDir dir;
  const QString clip = dir.filePath("clip-1080p.mp4");
  if (!makeClip(clip)) {
    std::printf("bench_videodecode: ffmpeg could not write the clip\n");
    return 1;
  }

  // Ours and the command line in turn, a fresh stream each time: the median of each and of
  // the pairs' ratios holds on a machine whose load drifts.
  std::vector<double> wall, cpu, theirWall, theirCpu, wallRatio, cpuRatio;
  int frames = 0;
  for (int run = 0; run < kRuns; ++run) {
    AVVideoStream timed(clip.toStdString(), 1920, 1080);
    timed.startLoading(nullptr, nullptr, AVThumbnailRequest());
    timed.waitForLoading();
    if (!timed.isOpen()) {
      std::printf("bench_videodecode: the clip did not open\n");
      return 1;
    }
    timed.awaken();
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    frames = 0;
    for (AVFrameRecord r = timed.takeFrame(true); r.data; r = timed.takeFrame(true)) {
      freeFrameRecord(r);
      ++frames;
    }
    wall.push_back(timer.nsecsElapsed() / 1e9);
    cpu.push_back(cpuSeconds() - cpuBefore);
    const Times theirs = ffmpegSeconds(clip);
    if (theirs.wall <= 0) {
      std::printf("bench_videodecode: ffmpeg -benchmark gave no time\n");
      return 1;
    }
    theirWall.push_back(theirs.wall);
    theirCpu.push_back(theirs.cpu);
    wallRatio.push_back(wall.back() / theirs.wall);
    cpuRatio.push_back(cpu.back() / theirs.cpu);
  }
  std::printf("decode 1080p H.264, %d frames, median of %d runs each:\n", frames, kRuns);
  std::printf("  stream            %.2f s (%.0f fps), %.2f s processor\n", median(wall), frames / median(wall),
              median(cpu));
  std::printf("  ffmpeg -benchmark %.2f s (%.0f fps), %.2f s processor\n", median(theirWall),
              kSeconds * kRate / median(theirWall), median(theirCpu));
  std::printf("  ratio             %.2f wall, %.2f processor (goal: at most 1.05)\n", median(wallRatio),
              median(cpuRatio));

  AVVideoStream stream(clip.toStdString(), 1920, 1080);
  stream.startLoading(nullptr, nullptr, AVThumbnailRequest());
  stream.waitForLoading();
  stream.awaken();
  QElapsedTimer timer;
  QRandomGenerator random(3);
  for (bool exact : {true, false}) {
    std::vector<double> latencies;
    for (int i = 0; i < 12; ++i) {
      const double target = random.bounded(double(kSeconds - 1));
      timer.restart();
      stream.seek(target, nullptr, nullptr, exact);
      AVFrameRecord first = nextFrame(stream);
      latencies.push_back(timer.nsecsElapsed() / 1e6);
      freeFrameRecord(first);
    }
    printLatency(exact ? "exact" : "non-exact", latencies);
  }
  return 0;
}
