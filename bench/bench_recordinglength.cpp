// Recordings that store no length (Matroska written live, WebM written to a pipe) of 1 minute, 20
// minutes and 2 hours: the time of opening one through the read bound, which reads the length
// from the file's end, beside plain FFmpeg doing the same work by hand (its own opening, then its
// demuxer again on the last bytes of the file, read to the end through a bare IO context that
// keeps it there), and plain FFmpeg's opening alone. The median of kRuns taking turns, the file's
// pages in memory as the first run leaves them; the length found beside the length the same
// content states when written with it.
// The files are made from one short clip copied in loops, into a temporary folder removed at the
// end.
#include "avreadbound.h"
#include "ffmpegcli.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
constexpr int kRuns = 31;
constexpr int64_t kTailBytes = AVReadBound::kTailBytes;
constexpr int64_t kTailMaxBytes = AVReadBound::kTailMaxBytes;

const char *const kClip = "-f lavfi -i testsrc2=s=320x180:r=25:d=20 -f lavfi -i sine=frequency=440:sample_rate=48000:d=20 "
                          "-c:v libx264 -preset veryfast -g 25 -b:v 300k -c:a libopus -b:a 64k";

struct Recording
{
  const char *name;
  const char *file;
  int loops; // of the 20 s clip
  bool sound; // the sound alone
};

const Recording kRecordings[] = {
  {"Matroska live, video and sound, 1 min", "a1m", 3, false},
  {"Matroska live, video and sound, 20 min", "a20m", 60, false},
  {"Matroska live, video and sound, 2 h", "a2h", 360, false},
  {"WebM piped, sound alone, 1 min", "s1m", 3, true},
  {"WebM piped, sound alone, 20 min", "s20m", 60, true},
  {"WebM piped, sound alone, 2 h", "s2h", 360, true},
};

QStringList words(const QString &arguments)
{
  return arguments.split(' ', Qt::SkipEmptyParts);
}

// The recording and the same content with its length stored.
bool make(const QDir &folder, const Recording &recording)
{
  const QString clip = folder.filePath("clip.mkv");
  if (!QFileInfo::exists(clip) && !FfmpegCli::run(words(kClip) + QStringList{clip}, {}, 600000))
    return false;
  const QString suffix = recording.sound ? ".webm" : ".mkv";
  const QStringList source{"-stream_loop", QString::number(recording.loops - 1), "-i", clip, "-c", "copy"};
  const QStringList streams = recording.sound ? QStringList{"-vn"} : QStringList{};
  const QString stored = folder.filePath(QString(recording.file) + ".stored" + suffix);
  const QString path = folder.filePath(QString(recording.file) + suffix);
  if (!FfmpegCli::run(source + streams + QStringList{stored}, {}, 600000))
    return false;
  return recording.sound ? FfmpegCli::run(source + streams + QStringList{"-map_metadata", "-1", "-f", "webm", "pipe:1"}, path, 600000)
                         : FfmpegCli::run(source + QStringList{"-f", "matroska", "-live", "1", path}, {}, 600000);
}

struct InputCloser
{
  void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

// The bare IO context of plain FFmpeg's end read: FFmpeg's file, and no seek before the end read.
struct Bare
{
  AVIOContext *file = nullptr;
  int64_t floor = 0;

  static int read(void *opaque, uint8_t *data, int size)
  {
    return avio_read(static_cast<Bare *>(opaque)->file, data, size);
  }
  static int64_t seek(void *opaque, int64_t offset, int whence)
  {
    auto *bare = static_cast<Bare *>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
      return avio_size(bare->file);
    if (whence == SEEK_SET && offset < bare->floor)
      return AVERROR(EINVAL);
    return avio_seek(bare->file, offset, whence);
  }
};

// Plain FFmpeg's end read by hand: the last packet's time plus its length, per stream, from the
// last quarter megabyte, doubled while a stream has none. Returns the length in seconds.
double plainEndRead(AVFormatContext *opened, const char *path)
{
  Bare bare;
  if (avio_open2(&bare.file, path, AVIO_FLAG_READ | AVIO_FLAG_DIRECT, nullptr, nullptr) < 0)
    return 0;
  const int64_t size = avio_size(bare.file);
  std::vector<int64_t> ends(opened->nb_streams);
  for (int64_t bytes = kTailBytes;; bytes *= 2) {
    std::fill(ends.begin(), ends.end(), AV_NOPTS_VALUE);
    bare.floor = 0;
    auto *buffer = static_cast<unsigned char *>(av_malloc(32768));
    AVIOContext *io = avio_alloc_context(buffer, 32768, 0, &bare, Bare::read, nullptr, Bare::seek);
    AVFormatContext *raw = avformat_alloc_context();
    raw->pb = io;
    raw->flags |= AVFMT_FLAG_NOPARSE | AVFMT_FLAG_NOFILLIN;
    if (avformat_open_input(&raw, path, opened->iformat, nullptr) >= 0) {
      Input tail(raw);
      bare.floor = std::max<int64_t>(0, size - bytes);
      avio_seek(io, bare.floor, SEEK_SET);
      // A packet without a length lasts as long as the one before it.
      std::vector<int64_t> lengths(ends.size(), 0), times(ends.size(), AV_NOPTS_VALUE);
      AVPacket *packet = av_packet_alloc();
      while (av_read_frame(tail.get(), packet) >= 0) {
        const int i = packet->stream_index;
        if (packet->pts != AV_NOPTS_VALUE) {
          if (packet->duration > 0)
            lengths[i] = packet->duration;
          else if (times[i] != AV_NOPTS_VALUE && packet->pts > times[i])
            lengths[i] = packet->pts - times[i];
          times[i] = packet->pts;
          ends[i] = std::max(ends[i], packet->pts + lengths[i]);
        }
        av_packet_unref(packet);
      }
      av_packet_free(&packet);
    }
    av_freep(&io->buffer);
    avio_context_free(&io);
    if (std::find(ends.begin(), ends.end(), AV_NOPTS_VALUE) == ends.end() || bytes >= size || bytes >= kTailMaxBytes)
      break;
  }
  avio_close(bare.file);
  int64_t last = AV_NOPTS_VALUE;
  for (unsigned i = 0; i < opened->nb_streams; ++i)
    if (ends[i] != AV_NOPTS_VALUE)
      last = std::max(last, av_rescale_q(ends[i], opened->streams[i]->time_base, AV_TIME_BASE_Q));
  return last == AV_NOPTS_VALUE ? 0 : double(last - opened->start_time) / AV_TIME_BASE;
}

// Plain FFmpeg's opening, with or without its end read; the length in seconds.
double plainOpen(const char *path, bool endRead)
{
  AVFormatContext *raw = nullptr;
  if (avformat_open_input(&raw, path, nullptr, nullptr) < 0)
    return -1;
  Input input(raw);
  if (avformat_find_stream_info(input.get(), nullptr) < 0)
    return -1;
  return endRead ? plainEndRead(input.get(), path) : 0;
}

double engineOpen(const char *path)
{
  AVReadBound bound;
  AVFormatContext *raw = nullptr;
  if (bound.open(&raw, path) != AVReadBound::kOpened)
    return -1;
  Input input(raw);
  return input->duration == AV_NOPTS_VALUE ? 0 : double(input->duration) / AV_TIME_BASE;
}

double storedLength(const char *path)
{
  AVFormatContext *raw = nullptr;
  if (avformat_open_input(&raw, path, nullptr, nullptr) < 0)
    return -1;
  Input input(raw);
  avformat_find_stream_info(input.get(), nullptr);
  return input->duration == AV_NOPTS_VALUE ? 0 : double(input->duration) / AV_TIME_BASE;
}

// The median time of each work in milliseconds, the works taking turns so that the machine's
// load weighs on each alike, and what each last answered.
std::vector<double> medianMs(const std::vector<std::function<double()>> &works, std::vector<double> *answers)
{
  std::vector<std::vector<double>> times(works.size());
  answers->assign(works.size(), 0);
  for (int run = 0; run < kRuns; ++run) {
    for (size_t i = 0; i < works.size(); ++i) {
      QElapsedTimer timer;
      timer.start();
      (*answers)[i] = works[i]();
      times[i].push_back(double(timer.nsecsElapsed()) / 1e6);
    }
  }
  std::vector<double> medians;
  for (std::vector<double> &each : times) {
    std::sort(each.begin(), each.end());
    medians.push_back(each[each.size() / 2]);
  }
  return medians;
}
} // namespace

int main()
{
  av_log_set_level(AV_LOG_QUIET);
  QTemporaryDir temporary;
  if (!temporary.isValid())
    return 1;
  const QDir folder(temporary.path());
  std::printf("%-40s %9s %9s %7s %9s %10s %10s %10s\n", "recording", "engine", "plain", "ratio", "open only",
              "found s", "plain s", "stored s");
  for (const Recording &recording : kRecordings) {
    if (!make(folder, recording)) {
      std::fprintf(stderr, "cannot make %s\n", recording.file);
      return 1;
    }
    const QString suffix = recording.sound ? ".webm" : ".mkv";
    const QByteArray path = QFile::encodeName(folder.filePath(QString(recording.file) + suffix));
    const QByteArray stored = QFile::encodeName(folder.filePath(QString(recording.file) + ".stored" + suffix));
    if (storedLength(path.constData()) != 0) {
      std::fprintf(stderr, "%s stores its length\n", recording.file);
      return 1;
    }
    std::vector<double> lengths;
    const std::vector<double> ms = medianMs({[&] { return engineOpen(path.constData()); },
                                             [&] { return plainOpen(path.constData(), true); },
                                             [&] { return plainOpen(path.constData(), false); }},
                                            &lengths);
    std::printf("%-40s %7.2fms %7.2fms %7.2f %7.2fms %10.3f %10.3f %10.3f\n", recording.name, ms[0], ms[1],
                ms[0] / std::max(ms[1], 0.001), ms[2], lengths[0], lengths[1], storedLength(stored.constData()));
    std::fflush(stdout);
    QFile::remove(QString::fromLocal8Bit(path));
    QFile::remove(QString::fromLocal8Bit(stored));
  }
  return 0;
}
