// Video stream throughput against the ffmpeg command line on the same clip, and seek latency
// (exact and not) in a 1080p clip whose only key frame is the first.
#include "avvideostream.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kSeconds = 10;
constexpr int kRate = 25;

bool makeClip(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                          QString("testsrc2=size=1920x1080:rate=%1").arg(kRate), "-t", QString::number(kSeconds),
                          "-c:v", "libx264", "-preset", "ultrafast", "-g", "100000", "-pix_fmt", "yuv420p", path});
  return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

// Decoding seconds of `ffmpeg -benchmark -i clip -f null -` (its "rtime"), or -1.
double ffmpegSeconds(const QString &path)
{
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-benchmark", "-i", path, "-f", "null", "-"});
  if (!ffmpeg.waitForFinished(120000))
    return -1;
  const QString log = QString::fromUtf8(ffmpeg.readAllStandardError() + ffmpeg.readAllStandardOutput());
  const QRegularExpressionMatch m = QRegularExpression("rtime=([0-9.]+)s").match(log);
  return m.hasMatch() ? m.captured(1).toDouble() : -1;
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
  QTemporaryDir dir;
  const QString clip = dir.filePath("clip-1080p.mp4");
  if (!makeClip(clip)) {
    std::printf("bench_videodecode: ffmpeg could not write the clip\n");
    return 1;
  }

  AVVideoStream stream(clip.toStdString(), 1920, 1080);
  stream.startLoading(nullptr, nullptr, AVThumbnailRequest());
  stream.waitForLoading();
  if (!stream.isOpen()) {
    std::printf("bench_videodecode: the clip did not open\n");
    return 1;
  }
  stream.awaken();
  QElapsedTimer timer;
  timer.start();
  int frames = 0;
  for (AVFrameRecord r = stream.takeFrame(true); r.data; r = stream.takeFrame(true)) {
    freeFrameRecord(r);
    ++frames;
  }
  const double ours = timer.elapsed() / 1000.0;
  const double theirs = ffmpegSeconds(clip);
  std::printf("decode 1080p H.264, %d frames: stream %.2f s (%.0f fps)", frames, ours, frames / ours);
  if (theirs > 0)
    std::printf(", ffmpeg -benchmark %.2f s (%.0f fps), ratio %.2f\n", theirs, kSeconds * kRate / theirs,
                ours / theirs);
  else
    std::printf(", ffmpeg -benchmark gave no time\n");

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
