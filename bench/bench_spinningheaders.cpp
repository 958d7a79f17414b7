// Opening files whose header sends FFmpeg's demuxer walking gigabytes of zeros, through the
// read bound as the engine, the waveform and the media facts open them, and through the engine's
// sound stream as a sound on the timeline does: the time until the load error, the processor time
// and the bytes read from the disk on the way. A real tone beside them for comparison. Each is
// opened kRuns times; the median is shown.
#include "avaudiostream.h"
#include "avffmpeglog.h"
#include "avreadbound.h"
#include "craftedheaders.h"
#include "processreads.h"
#include "wavfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <utility>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
constexpr int kRuns = 3;

double cpuSeconds()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// open answers what came of the opening.
void measure(const char *what, const std::function<const char *()> &open)
{
  std::vector<double> wall, cpu, mib;
  const char *outcome = "";
  for (int run = 0; run < kRuns; ++run) {
    const qint64 readBefore = ProcessReads::bytesRead();
    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    outcome = open();
    wall.push_back(double(timer.nsecsElapsed()) / 1e6);
    cpu.push_back((cpuSeconds() - cpuBefore) * 1000);
    mib.push_back(double(ProcessReads::bytesRead() - readBefore) / (1 << 20));
  }
  std::printf("  %-40s %-15s %9.1f ms  %9.1f ms processor  %7.2f MiB read\n", what, outcome, median(wall),
              median(cpu), median(mib));
}

const char *openThroughBound(const QString &path)
{
  AVReadBound bound;
  AVFormatContext *context = nullptr;
  const int result = bound.open(&context, path.toUtf8().constData());
  if (context)
    avformat_close_input(&context);
  if (result == AVReadBound::kOpened)
    return "opened";
  return result == AVReadBound::kInputFailed ? "input failed" : "no stream info";
}

const char *openAsSound(const QString &path)
{
  AVAudioStream stream(path.toStdString(), 44100, 2);
  return stream.open(kAVMediaAudio) == kAVOpenOk ? "opened" : "load error";
}
} // namespace

int main(int argc, char **argv)
{
  QCoreApplication app(argc, argv);
  // FFmpeg's messages as the program logs them: a demuxer's warning at every chunk it walks
  // costs its time.
  avInstallFFmpegLog();
  QTemporaryDir dir;
  const QString tone = dir.filePath("real.wav");
  const QString claiming = dir.filePath("tone.mp3");
  const QString noData = dir.filePath("nodata.wav");
  const QString rf64 = dir.filePath("rf64.wav");
  const QString bw64 = dir.filePath("bw64.wav");
  const QString caf = dir.filePath("caf/tone.mp3");
  const QString avi = dir.filePath("avi/clip.mp4");
  const QString matroska = dir.filePath("matroska/clip.mp4");
  const QString scratch = dir.filePath("made");
  if (!dir.isValid() || !WavFiles::writeToneWav(tone, 10, 440, 44100, 2) ||
      !WavFiles::writeEndless(claiming, WavFiles::claimingHeader()) ||
      !WavFiles::writeEndless(noData, WavFiles::headerWithoutData()) ||
      !WavFiles::writeEndless(rf64, WavFiles::claimingHeader64("RF64")) ||
      !WavFiles::writeEndless(bw64, WavFiles::claimingHeader64("BW64")) || !QDir(dir.path()).mkpath("caf") ||
      !QDir(dir.path()).mkpath("avi") || !QDir(dir.path()).mkpath("matroska") ||
      !WavFiles::writeEndless(caf, CraftedHeaders::caf(scratch)) ||
      !WavFiles::writeEndless(avi, CraftedHeaders::avi(scratch)) ||
      !WavFiles::writeEndless(matroska, CraftedHeaders::matroska(scratch))) {
    std::fprintf(stderr, "cannot write the files\n");
    return 1;
  }
  std::printf("median of %d openings: result, wall time, processor time, bytes read\n", kRuns);
  std::printf("through the read bound:\n");
  const std::pair<const char *, QString> files[] = {{"a real 10 s WAV tone", tone},
                                                    {"tone.mp3: WAV header claiming 4 GB", claiming},
                                                    {"WAV header without sound", noData},
                                                    {"RF64 header claiming 4 GB", rf64},
                                                    {"BW64 header claiming 4 GB", bw64},
                                                    {"tone.mp3: CAF description only", caf},
                                                    {"clip.mp4: AVI claiming 4 GB", avi},
                                                    {"clip.mp4: Matroska cut before clusters", matroska}};
  for (const auto &file : files)
    measure(file.first, [&] { return openThroughBound(file.second); });
  std::printf("as a sound of the timeline opens (the engine's sound stream):\n");
  measure("a real 10 s WAV tone", [&] { return openAsSound(tone); });
  measure("tone.mp3: WAV header claiming 4 GB", [&] { return openAsSound(claiming); });
  measure("tone.mp3: CAF description only", [&] { return openAsSound(caf); });
  return 0;
}
