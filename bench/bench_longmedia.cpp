// Healthy long files, opened and sought through the read bound as the engine reads them, and by
// plain FFmpeg opening the same path itself: the time of each step, their ratio, where the first
// packet of the sought stream landed and what was read on the way (the median of kRuns). A seek
// is timed with the reading up to that packet, each from an opening of its own, so no index stays
// from an earlier seek, and then in one series within a single opening.
// The files (some 3.5 GB) are made once into the folder given as the argument or in
// TAVO_BENCH_LONGMEDIA and kept there for the next run; without either, into a temporary folder.
#include "avreadbound.h"
#include "ffmpegcli.h"
#include "processreads.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
constexpr int kRuns = 3;
// Seeks go to these shares of the length: 90 % of an hour is the 54 minutes of the reports.
constexpr double kShares[] = {0.1, 0.5, 0.9};
// The series goes on and comes back, as a user scrubbing does.
constexpr double kSeriesShares[] = {0.1, 0.5, 0.9, 0.1};
// The test picture has a keyframe every second.
constexpr double kGop = 1;

// Short clips are encoded once, then copied in loops into the long files: no hour is encoded.
// The picture has a keyframe a second and, with its sound, some 320 MB an hour as the reported
// file: a fragment of a second is some 80 KiB.
const char *const kPicture = "-f lavfi -i testsrc2=s=320x180:r=25:d=20,noise=alls=30:allf=t "
                             "-f lavfi -i sine=frequency=440:sample_rate=48000:d=20 "
                             "-c:v libx264 -preset veryfast -pix_fmt yuv420p -g 25 -keyint_min 25 -sc_threshold 0 "
                             "-b:v 600k -maxrate 600k -bufsize 600k -c:a aac -b:a 96k -ac 2";
const char *const kTone = "-f lavfi -i sine=frequency=440:sample_rate=44100:d=20 -ac 2";

struct Making
{
  QString file;
  QStringList arguments;
  // Written to ffmpeg's standard output: a muxer that cannot seek back.
  bool piped = false;
};

QStringList words(const QString &arguments)
{
  return arguments.split(' ', Qt::SkipEmptyParts);
}

// In the order they need each other.
std::vector<Making> makings(const QDir &folder)
{
  const auto loop = [&](const char *source, int times, const QString &output = "-c copy") {
    return QStringList{"-stream_loop", QString::number(times - 1), "-i", folder.filePath(source)} + words(output);
  };
  return {
    {"clip.mp4", words(kPicture)},
    {"tone.mp3", words(kTone + QString(" -c:a libmp3lame -b:a 128k -write_xing 0"))},
    // With noise, so that FLAC packs it no better than music.
    {"tone.flac", words(kTone + QString(" -f lavfi -i anoisesrc=a=0.05:r=44100:d=20 -filter_complex amix=inputs=2 "
                                        "-ac 2 -c:a flac"))},
    {"tone.opus", words(kTone + QString(" -c:a libopus -b:a 96k"))},
    {"fragmented.mp4", loop("clip.mp4", 180, "-c copy -movflags frag_keyframe+empty_moov")},
    {"fragmented30m.mp4", loop("clip.mp4", 90, "-c copy -movflags frag_keyframe+empty_moov")},
    {"fragmented40m.mp4", loop("clip.mp4", 120, "-c copy -movflags frag_keyframe+empty_moov")},
    // A muxer writing into a pipe leaves the Cues out, as an interrupted recording has none.
    {"nocues.mkv", loop("clip.mp4", 180, "-c copy -f matroska pipe:1"), true},
    {"cues1h.mkv", loop("clip.mp4", 180)},
    {"cues2h.mkv", loop("clip.mp4", 360)},
    {"long.mp3", loop("tone.mp3", 540, "-c copy -write_xing 0")},
    {"long.wav", words("-f lavfi -i sine=frequency=440:sample_rate=44100:d=3600 -ac 2")},
    // Copied, FLAC would keep the 20 s its clip's header tells.
    {"long.flac", loop("tone.flac", 180, "-c:a flac -compression_level 0")},
    {"long.opus", loop("tone.opus", 180)},
    {"indexatend.mp4", loop("clip.mp4", 180)},
  };
}

// Makes what the folder lacks; a file is named only once it is whole.
bool makeFiles(const QDir &folder)
{
  for (const Making &making : makings(folder)) {
    const QString path = folder.filePath(making.file);
    if (QFileInfo(path).size() > 0)
      continue;
    std::printf("making %s\n", qPrintable(making.file));
    std::fflush(stdout);
    const QString part = folder.filePath("part." + making.file);
    QStringList arguments = making.arguments;
    if (!making.piped)
      arguments << part;
    if (!FfmpegCli::run(arguments, making.piped ? part : QString(), 600000) || !QFile::rename(part, path)) {
      QFile::remove(part);
      std::fprintf(stderr, "cannot make %s\n", qPrintable(path));
      return false;
    }
  }
  return true;
}

struct Kind
{
  const char *name;
  const char *file;
  double seconds;
  AVMediaType sought;
};

const Kind kKinds[] = {
  {"fragmented MP4, 1 h, a fragment a second", "fragmented.mp4", 3600, AVMEDIA_TYPE_VIDEO},
  // Either side of where the bound of today cuts the opening.
  {"fragmented MP4, 30 min", "fragmented30m.mp4", 1800, AVMEDIA_TYPE_VIDEO},
  {"fragmented MP4, 40 min", "fragmented40m.mp4", 2400, AVMEDIA_TYPE_VIDEO},
  {"Matroska without Cues, 1 h", "nocues.mkv", 3600, AVMEDIA_TYPE_VIDEO},
  {"Matroska, Cues of the video only, 1 h: the sound", "cues1h.mkv", 3600, AVMEDIA_TYPE_AUDIO},
  {"Matroska, Cues of the video only, 2 h: the sound", "cues2h.mkv", 7200, AVMEDIA_TYPE_AUDIO},
  {"MP3 without seek table, 3 h, 128 kb/s", "long.mp3", 10800, AVMEDIA_TYPE_AUDIO},
  {"WAV, 1 h", "long.wav", 3600, AVMEDIA_TYPE_AUDIO},
  {"FLAC, 1 h", "long.flac", 3600, AVMEDIA_TYPE_AUDIO},
  {"Opus in Ogg, 1 h", "long.opus", 3600, AVMEDIA_TYPE_AUDIO},
  {"MP4, index at the end, 1 h", "indexatend.mp4", 3600, AVMEDIA_TYPE_VIDEO},
};

// One input, read through the bound as the engine reads it or by FFmpeg alone.
class Input
{
public:
  explicit Input(bool bounded) : m_bound(bounded ? new AVReadBound : nullptr) {}
  ~Input()
  {
    if (m_context)
      avformat_close_input(&m_context);
  }
  Input(const Input &) = delete;
  Input &operator=(const Input &) = delete;

  // Empty when opened, else what went wrong.
  std::string open(const char *path, AVMediaType sought)
  {
    if (m_bound) {
      if (m_bound->open(&m_context, path) != AVReadBound::kOpened)
        return m_bound->stopped() ? "CUT" : "REFUSED";
    } else if (avformat_open_input(&m_context, path, nullptr, nullptr) < 0 ||
               avformat_find_stream_info(m_context, nullptr) < 0) {
      return "REFUSED";
    }
    m_stream = av_find_best_stream(m_context, sought, -1, -1, nullptr, 0);
    return m_stream < 0 ? "NO STREAM" : "";
  }

  // Seeks the stream and reads to its first packet; *landed is that packet's time, NAN when none
  // came.
  std::string seek(double seconds, double *landed)
  {
    *landed = NAN;
    if (m_stream < 0)
      return "NOT OPENED";
    const AVRational base = m_context->streams[m_stream]->time_base;
    // As the engine turns its seconds into the stream's time.
    const auto target = int64_t(seconds * base.den / base.num);
    std::string problem;
    if ((m_bound ? m_bound->seekFile(m_stream, target)
                 : avformat_seek_file(m_context, m_stream, INT64_MIN, target, INT64_MAX, 0)) < 0)
      problem = "SEEK FAILED";
    if (_cut())
      problem = "CUT";
    std::unique_ptr<AVPacket, void (*)(AVPacket *)> packet(av_packet_alloc(),
                                                           [](AVPacket *p) { av_packet_free(&p); });
    // The engine's streams read on after a failed seek, from wherever the demuxer stopped.
    while ((m_bound ? m_bound->readFrame(packet.get()) : av_read_frame(m_context, packet.get())) >= 0) {
      if (_cut())
        problem = "CUT";
      if (packet->stream_index == m_stream) {
        const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        *landed = time == AV_NOPTS_VALUE ? NAN : double(time) * av_q2d(base);
        break;
      }
      av_packet_unref(packet.get());
    }
    if (_cut())
      problem = "CUT";
    return problem;
  }

private:
  bool _cut() const { return m_bound && m_bound->stopped(); }

  std::unique_ptr<AVReadBound> m_bound;
  AVFormatContext *m_context = nullptr;
  int m_stream = -1;
};

// One step's figures; landed is NAN for an opening.
struct Sample
{
  double ms = 0;
  double mib = 0;
  double reads = 0;
  double landed = NAN;
  std::string problem;
};

struct Figures
{
  bool ran = false;
  double ms = 0, mib = 0, reads = 0, landed = NAN;
  // The first problem of any run.
  std::string problem;
};

double median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

Figures summarise(const std::vector<Sample> &samples)
{
  Figures figures;
  if (samples.empty())
    return figures;
  std::vector<double> ms, mib, reads;
  for (const Sample &sample : samples) {
    ms.push_back(sample.ms);
    mib.push_back(sample.mib);
    reads.push_back(sample.reads);
    if (figures.problem.empty())
      figures.problem = sample.problem;
  }
  figures.ran = true;
  figures.ms = median(ms);
  figures.mib = median(mib);
  figures.reads = median(reads);
  figures.landed = samples.back().landed;
  return figures;
}

// Times work, with the bytes and the read calls it took from the system; those of asking the
// system for them are taken off.
Sample timed(const std::function<std::string(double *landed)> &work)
{
  const auto measure = [](const std::function<std::string(double *landed)> &measured) {
    Sample sample;
    const qint64 bytesBefore = ProcessReads::bytesRead();
    const qint64 callsBefore = ProcessReads::readCalls();
    QElapsedTimer timer;
    timer.start();
    sample.problem = measured(&sample.landed);
    sample.ms = double(timer.nsecsElapsed()) / 1e6;
    sample.mib = double(ProcessReads::bytesRead() - bytesBefore) / (1 << 20);
    sample.reads = double(ProcessReads::readCalls() - callsBefore);
    return sample;
  };
  // Once the file is open and read the usual way.
  static const Sample asking = [&] {
    measure([](double *) { return std::string(); });
    return measure([](double *) { return std::string(); });
  }();
  Sample sample = measure(work);
  sample.mib -= asking.mib;
  sample.reads -= asking.reads;
  return sample;
}

// Whether the first packet is where a player would show the target: at or before it, within a
// GOP for the picture, within a short moment for the sound.
bool landsRight(double landed, double target, AVMediaType sought)
{
  const double before = sought == AVMEDIA_TYPE_VIDEO ? kGop + 0.1 : 0.5;
  return !std::isnan(landed) && landed <= target + 0.05 && landed >= target - before;
}

std::string landing(const Figures &figures)
{
  if (!figures.ran || std::isnan(figures.landed))
    return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", figures.landed);
  return text;
}

void printRow(const std::string &step, const Figures &engine, const Figures &plain, double target, AVMediaType sought)
{
  std::string notes = engine.ran ? engine.problem : "not opened";
  const bool seek = !std::isnan(target);
  if (seek && engine.ran && !landsRight(engine.landed, target, sought))
    notes += notes.empty() ? "engine off" : ", engine off";
  if (seek && !landsRight(plain.landed, target, sought))
    notes += notes.empty() ? "plain off" : ", plain off";
  if (!plain.problem.empty())
    notes += (notes.empty() ? "plain " : ", plain ") + plain.problem;
  char ms[16] = "-", ratio[16] = "-", mib[16] = "-", reads[16] = "-";
  if (engine.ran) {
    std::snprintf(ms, sizeof ms, "%.1f", engine.ms);
    // Steps shorter than a millisecond differ by noise.
    std::snprintf(ratio, sizeof ratio, std::max(engine.ms, plain.ms) < 1 ? "(%.2f)" : "%.2f",
                  engine.ms / std::max(plain.ms, 0.001));
    std::snprintf(mib, sizeof mib, "%.1f", engine.mib);
    std::snprintf(reads, sizeof reads, "%.0f", engine.reads);
  }
  std::printf("  %-22s %10s %10.1f %7s %10s %10s %8s %8.1f %8s %8.0f  %s\n", step.c_str(), ms, plain.ms, ratio,
              landing(engine).c_str(), landing(plain).c_str(), mib, plain.mib, reads, plain.reads, notes.c_str());
  std::fflush(stdout);
}

std::string seekName(const char *how, double seconds)
{
  char name[48];
  std::snprintf(name, sizeof name, "%s %.0f s", how, seconds);
  return name;
}

// What FFmpeg indexed once opened and sought to the start, which is when Matroska reads its Cues:
// every keyframe of an MP4, the Cues' entries, or only the few packets the probe read.
void printIndex(const char *path)
{
  AVFormatContext *context = nullptr;
  if (avformat_open_input(&context, path, nullptr, nullptr) < 0)
    return;
  if (avformat_find_stream_info(context, nullptr) >= 0 &&
      avformat_seek_file(context, -1, INT64_MIN, 0, INT64_MAX, 0) >= 0) {
    std::printf("  index after opening and a seek to the start:");
    for (unsigned i = 0; i < context->nb_streams; ++i) {
      const AVStream *stream = context->streams[i];
      std::printf(" %s %d entries", av_get_media_type_string(stream->codecpar->codec_type),
                  avformat_index_get_entries_count(stream));
    }
    std::printf("\n");
  }
  avformat_close_input(&context);
}

void measureKind(const Kind &kind, const QDir &folder)
{
  const std::string path = folder.filePath(kind.file).toStdString();
  std::printf("\n%s (%s, %.0f MiB), seeking the %s\n", kind.name, kind.file,
              double(QFileInfo(folder.filePath(kind.file)).size()) / (1 << 20),
              av_get_media_type_string(kind.sought));
  printIndex(path.c_str());
  std::printf("  %-22s %10s %10s %7s %10s %10s %8s %8s %8s %8s  %s\n", "step", "engine ms", "plain ms", "ratio",
              "engine at", "plain at", "eng MiB", "pln MiB", "eng rd", "pln rd", "notes");

  // Each side in turn starts a run, so neither always finds the file cached by the other.
  const auto bothSides = [](const std::function<std::vector<Sample>(bool bounded)> &run) {
    std::vector<std::vector<Sample>> engine, plain;
    for (int i = 0; i < kRuns; ++i) {
      const bool engineFirst = i % 2 == 0;
      for (bool bounded : {engineFirst, !engineFirst})
        (bounded ? engine : plain).push_back(run(bounded));
    }
    return std::make_pair(engine, plain);
  };
  // The figures of step i of every run.
  const auto step = [](const std::vector<std::vector<Sample>> &runs, size_t i) {
    std::vector<Sample> samples;
    for (const auto &run : runs) {
      if (i < run.size())
        samples.push_back(run[i]);
    }
    return summarise(samples);
  };

  const auto opening = bothSides([&](bool bounded) {
    Input input(bounded);
    return std::vector<Sample>{timed([&](double *) { return input.open(path.c_str(), kind.sought); })};
  });
  const Figures engineOpen = step(opening.first, 0);
  printRow("open", engineOpen, step(opening.second, 0), NAN, kind.sought);
  // A refused opening has no seeks to time; a cut one is refused all the same.
  const bool engineOpens = engineOpen.problem.empty();

  const auto seeks = [&](const std::vector<double> &shares, bool fresh) {
    return bothSides([&](bool bounded) {
      std::vector<Sample> samples;
      if (bounded && !engineOpens)
        return samples;
      std::unique_ptr<Input> input;
      for (double share : shares) {
        if (fresh || !input) {
          input.reset(new Input(bounded));
          input->open(path.c_str(), kind.sought);
        }
        samples.push_back(timed([&](double *landed) { return input->seek(share * kind.seconds, landed); }));
      }
      return samples;
    });
  };
  const std::vector<double> fresh(std::begin(kShares), std::end(kShares));
  const auto freshSeeks = seeks(fresh, true);
  for (size_t i = 0; i < fresh.size(); ++i)
    printRow(seekName("seek", fresh[i] * kind.seconds), step(freshSeeks.first, i), step(freshSeeks.second, i),
             fresh[i] * kind.seconds, kind.sought);
  const std::vector<double> series(std::begin(kSeriesShares), std::end(kSeriesShares));
  const auto seriesSeeks = seeks(series, false);
  for (size_t i = 0; i < series.size(); ++i)
    printRow(seekName("series", series[i] * kind.seconds), step(seriesSeeks.first, i), step(seriesSeeks.second, i),
             series[i] * kind.seconds, kind.sought);
}
} // namespace

int main(int argc, char **argv)
{
  av_log_set_level(AV_LOG_QUIET);
  QTemporaryDir temporary;
  QString folderPath = argc > 1 ? QString::fromLocal8Bit(argv[1]) : qEnvironmentVariable("TAVO_BENCH_LONGMEDIA");
  if (folderPath.isEmpty())
    folderPath = temporary.path();
  QDir folder(folderPath);
  if (!folder.mkpath(".") || !makeFiles(folder))
    return 1;
  std::printf("files in %s; median of %d runs; a seek is timed to the first packet of its stream\n",
              qPrintable(folder.absolutePath()), kRuns);
  std::printf("engine: through AVReadBound (a step cut after %lld MiB of zeros or %lld calls without data, or "
              "%lld MiB past the file's size); plain: FFmpeg opening the path itself\n",
              static_cast<long long>(AVReadBound::kEmptyBytes >> 20), static_cast<long long>(AVReadBound::kIdleCalls),
              static_cast<long long>(AVReadBound::kStepBytes >> 20));
  std::printf("at: time of that packet (s); MiB and rd: bytes and read calls from the system; (ratio): both "
              "under 1 ms, noise; notes: REFUSED or CUT by the bound, \"off\" where the packet is not at or just "
              "before the target\n");
  for (const Kind &kind : kKinds)
    measureKind(kind, folder);
  return 0;
}
