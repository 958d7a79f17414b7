// The read bound every media reader opens its file through: headers that send the demuxer
// walking gigabytes of zeros are given up after little work, a cancel stops the walk, and real
// files still open, seek and read to their end, long ones too.
#include "testenv.h"

#include "avreadbound.h"
#include "craftedheaders.h"
#include "ffmpegcli.h"
#include "processreads.h"
#include "wavfiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {
struct InputCloser
{
  void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct PacketFreer
{
  void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};

struct Reading
{
  int packets = 0;
  double first = -1; // seconds, of the first packet read
  double last = -1;  // and of the end of the latest
  int ended = 0;     // what the last read answered
};

// Reads the stream's packets until the reads end.
Reading readToEnd(AVReadBound &bound, AVStream *stream)
{
  Reading reading;
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  while ((reading.ended = bound.readFrame(packet.get())) >= 0) {
    if (packet->stream_index == stream->index && packet->pts != AV_NOPTS_VALUE) {
      const double time = double(packet->pts) * av_q2d(stream->time_base);
      if (reading.packets++ == 0)
        reading.first = time;
      reading.last = std::max(reading.last, time + double(packet->duration) * av_q2d(stream->time_base));
    }
    av_packet_unref(packet.get());
  }
  return reading;
}

// What a plain FFmpeg opening of the file reads, packet by packet, and where its packets end:
// the latest end of a packet less the earliest start, in seconds.
struct Packets
{
  QList<QByteArray> list; // stream, time and size of each
  double length = 0;
};

Packets readPackets(AVFormatContext *input, const std::function<int(AVPacket *)> &read)
{
  Packets packets;
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  int64_t end = AV_NOPTS_VALUE;
  while (read(packet.get()) >= 0) {
    packets.list << QByteArray::number(packet->stream_index) + ' ' + QByteArray::number(qint64(packet->pts)) + ' ' +
                      QByteArray::number(packet->size);
    if (packet->pts != AV_NOPTS_VALUE)
      end = std::max(end, av_rescale_q(packet->pts + packet->duration, input->streams[packet->stream_index]->time_base,
                                       AV_TIME_BASE_Q));
    av_packet_unref(packet.get());
  }
  if (end != AV_NOPTS_VALUE)
    packets.length = double(end - input->start_time) / AV_TIME_BASE;
  return packets;
}

// The lines FFmpeg's messages wrote while one opening ran.
QStringList ffmpegLines;
void captureFFmpegLines(QtMsgType, const QMessageLogContext &, const QString &message)
{
  if (message.contains("FFmpeg: "))
    ffmpegLines << message;
}

// The duration plain FFmpeg finds for the file, and the bytes its opening reads.
struct PlainOpening
{
  int64_t duration = AV_NOPTS_VALUE;
  qint64 bytes = -1;
};

PlainOpening openPlainly(const QByteArray &name)
{
  PlainOpening opening;
  const qint64 before = ProcessReads::bytesRead();
  AVFormatContext *raw = nullptr;
  if (avformat_open_input(&raw, name.constData(), nullptr, nullptr) < 0)
    return opening;
  Input input(raw);
  if (avformat_find_stream_info(input.get(), nullptr) < 0)
    return opening;
  opening.bytes = before < 0 ? -1 : ProcessReads::bytesRead() - before;
  opening.duration = input->duration;
  return opening;
}
} // namespace

class TestReadBound : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void spinningHeaderGivesUp_data();
  void spinningHeaderGivesUp();
  void cancelStopsTheWalk_data();
  void cancelStopsTheWalk();
  void realFileReadsThrough_data();
  void realFileReadsThrough();
  void longFileSeeksRight_data();
  void longFileSeeksRight();
  void lengthFromTheEnd_data();
  void lengthFromTheEnd();
  void endReadOnlyWhereProven_data();
  void endReadOnlyWhereProven();
  void endReadOncePerFile_data();
  void endReadOncePerFile();

private:
  QTemporaryDir _dir;
};

void TestReadBound::initTestCase()
{
  QVERIFY(_dir.isValid());
}

// A header the demuxer believes, then zeros to sixteen gigabytes: the demuxer walks them chunk by
// chunk or byte by byte. Given up after a few megabytes of zeros: the file is a load error at
// once, not after many seconds.
void TestReadBound::spinningHeaderGivesUp_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("header");
  const QString scratch = _dir.filePath("made");
  QTest::newRow("WAV claiming four gigabytes") << "tone.mp3" << WavFiles::claimingHeader();
  QTest::newRow("WAV without sound") << "nodata.wav" << WavFiles::headerWithoutData();
  QTest::newRow("RF64 claiming four gigabytes") << "rf64.wav" << WavFiles::claimingHeader64("RF64");
  QTest::newRow("BW64 claiming four gigabytes") << "bw64.wav" << WavFiles::claimingHeader64("BW64");
  QTest::newRow("CAF, its description only") << "tone.mp3" << CraftedHeaders::caf(scratch);
  QTest::newRow("AVI claiming four gigabytes") << "clip.mp4" << CraftedHeaders::avi(scratch);
  QTest::newRow("Matroska cut before its clusters") << "clip.mp4" << CraftedHeaders::matroska(scratch);
}

void TestReadBound::spinningHeaderGivesUp()
{
  QFETCH(QString, name);
  QFETCH(QByteArray, header);
  QVERIFY(!header.isEmpty());
  const QString path = _dir.filePath(name);
  QVERIFY(WavFiles::writeEndless(path, header));
  const qint64 before = ProcessReads::bytesRead();
  if (before < 0)
    QSKIP("the system does not count this process's reads");
  AVReadBound bound;
  AVFormatContext *context = nullptr;
  const int opened = bound.open(&context, QFile::encodeName(path).constData());
  const qint64 read = ProcessReads::bytesRead() - before;
  QVERIFY2(opened == AVReadBound::kInputFailed || opened == AVReadBound::kNoStreamInfo,
           qPrintable(QString("expected a failed open, got %1").arg(opened)));
  QVERIFY(!context);
  QVERIFY(bound.stopped());
  QVERIFY2(read < 2 * AVReadBound::kEmptyBytes,
           qPrintable(QString("expected to give up within %1 MiB, read %2 MiB")
                        .arg(2 * AVReadBound::kEmptyBytes >> 20)
                        .arg(double(read) / (1 << 20), 0, 'f', 1)));
}

// The cancel is asked while the demuxer walks, and not again once it said stop.
void TestReadBound::cancelStopsTheWalk_data()
{
  QTest::addColumn<int>("stopAt");
  QTest::newRow("at once") << 1;
  QTest::newRow("on the way") << 1000;
}

void TestReadBound::cancelStopsTheWalk()
{
  QFETCH(int, stopAt);
  const QString path = _dir.filePath("cancelled.wav");
  QVERIFY(WavFiles::writeEndless(path, WavFiles::claimingHeader()));
  int asked = 0;
  AVReadBound bound([&] { return ++asked >= stopAt; });
  AVFormatContext *context = nullptr;
  const int opened = bound.open(&context, QFile::encodeName(path).constData());
  QVERIFY2(opened != AVReadBound::kOpened, "expected a failed open");
  QVERIFY(!context);
  QVERIFY(bound.stopped());
  QCOMPARE(asked, stopAt);
}

void TestReadBound::realFileReadsThrough_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("make"); // ffmpeg's arguments before the output, none for a WAV
  QTest::addColumn<double>("seconds");
  QTest::newRow("wav") << "tone.wav" << QStringList{} << 3.0;
  QTest::newRow("mp3") << "real.mp3"
                       << QStringList{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=3",
                                      "-c:a", "libmp3lame"}
                       << 3.0;
  QTest::newRow("mp4") << "clip.mp4"
                       << QStringList{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=3", "-f", "lavfi",
                                      "-i", "sine=frequency=440:sample_rate=44100:duration=3", "-c:v", "libx264",
                                      "-g", "10", "-c:a", "aac"}
                       << 3.0;
  // Zeros a packet is made of are data: black pictures stored as they are, each larger than the
  // zeros a scan may read, and silence.
  QTest::newRow("black uncompressed pictures")
      << "black.avi"
      << QStringList{"-f", "lavfi", "-i", "color=black:size=2560x1440:rate=4:duration=1", "-pix_fmt", "rgb24",
                     "-c:v", "rawvideo"}
      << 1.0;
  QTest::newRow("silent wav") << "silent.wav"
                              << QStringList{"-f", "lavfi", "-i", "anullsrc=sample_rate=44100:channel_layout=stereo",
                                             "-t", "3", "-c:a", "pcm_s16le"}
                              << 3.0;
}

void TestReadBound::realFileReadsThrough()
{
  QFETCH(QString, name);
  QFETCH(QStringList, make);
  QFETCH(double, seconds);
  const QString path = _dir.filePath(name);
  QVERIFY(make.isEmpty() ? WavFiles::writeToneWav(path, seconds, 440, 44100, 2)
                         : FfmpegCli::run(make + QStringList{path}));
  AVReadBound bound;
  AVFormatContext *raw = nullptr;
  QCOMPARE(bound.open(&raw, QFile::encodeName(path).constData()), int(AVReadBound::kOpened));
  Input input(raw);
  QVERIFY(!bound.stopped());
  QCOMPARE(avio_size(input->pb), QFileInfo(path).size());
  QVERIFY2(qAbs(double(input->duration) / AV_TIME_BASE - seconds) < 0.1,
           qPrintable(QString("expected %1 s, the container says %2 s").arg(seconds).arg(input->duration / 1e6)));
  int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0)
    index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  QVERIFY(index >= 0);
  AVStream *stream = input->streams[index];

  // Through to the end, which is an end and not an error.
  const Reading whole = readToEnd(bound, stream);
  QCOMPARE(whole.ended, AVERROR_EOF);
  QVERIFY(whole.packets > 0);
  QVERIFY2(qAbs(whole.last - seconds) < 0.1, qPrintable(QString("the packets end at %1 s").arg(whole.last)));

  // From the middle: reading starts there (at a key frame before it) and goes on to the end.
  const double middle = seconds / 2;
  QVERIFY(bound.seekFile(index, int64_t(middle / av_q2d(stream->time_base))) >= 0);
  const Reading rest = readToEnd(bound, stream);
  QCOMPARE(rest.ended, AVERROR_EOF);
  QVERIFY2(rest.first > middle - 0.5 && rest.first <= middle + 0.05,
           qPrintable(QString("expected to read on from %1 s, began at %2 s").arg(middle).arg(rest.first)));
  QCOMPARE(rest.last, whole.last);

  // Back to the start: every packet again.
  QVERIFY(bound.seekFile(index, 0) >= 0);
  const Reading again = readToEnd(bound, stream);
  QCOMPARE(again.packets, whole.packets);
  QCOMPARE(again.last, whole.last);
}

// Files longer than any fixed bound on a step's bytes, as FFmpeg reads them: it reads every
// fragment's header at opening, and reads forward to the target where there is no index. Each
// larger than 64 MiB, and read past that within one step; made by repeating a short clip.
void TestReadBound::longFileSeeksRight_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("clip");   // ffmpeg's arguments making the clip that is repeated
  QTest::addColumn<int>("repeats");
  QTest::addColumn<QStringList>("output"); // the long file's arguments before its name
  QTest::addColumn<int>("kind");           // the stream sought, an AVMediaType
  QTest::addColumn<double>("target");      // seconds
  const QStringList picture{"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=5:duration=2", "-f", "lavfi", "-i",
                            "sine=duration=2", "-c:v", "libx264", "-preset", "ultrafast", "-crf", "0", "-g", "5",
                            "-c:a", "aac"};
  QTest::newRow("fragmented MP4, a fragment a second")
      << "fragments.mp4" << picture << 1100 << QStringList{"-movflags", "frag_keyframe+empty_moov"}
      << int(AVMEDIA_TYPE_VIDEO) << 2100.5;
  QTest::newRow("Matroska without Cues") << "recording.mkv" << picture << 750 << QStringList{"-live", "1"}
                                         << int(AVMEDIA_TYPE_VIDEO) << 1450.5;
  QTest::newRow("Matroska whose Cues index the video: the sound")
      << "film.mkv" << picture << 750 << QStringList{} << int(AVMEDIA_TYPE_AUDIO) << 1450.5;
  QTest::newRow("MP3 without a seek table")
      << "long.mp3"
      << QStringList{"-f", "lavfi", "-i", "sine=duration=2", "-c:a", "libmp3lame", "-b:a", "320k", "-write_xing", "0"}
      << 900 << QStringList{"-write_xing", "0"} << int(AVMEDIA_TYPE_AUDIO) << 1750.5;
}

void TestReadBound::longFileSeeksRight()
{
  QFETCH(QString, name);
  QFETCH(QStringList, clip);
  QFETCH(int, repeats);
  QFETCH(QStringList, output);
  QFETCH(int, kind);
  QFETCH(double, target);
  QTemporaryDir dir;
  const QString clipPath = dir.filePath("clip." + QFileInfo(name).suffix());
  const QString path = dir.filePath(name);
  QVERIFY(FfmpegCli::run(clip + QStringList{clipPath}));
  QVERIFY(FfmpegCli::run(QStringList{"-stream_loop", QString::number(repeats - 1), "-i", clipPath, "-c", "copy"} +
                         output + QStringList{path}));
  QVERIFY2(QFileInfo(path).size() > (qint64(64) << 20),
           qPrintable(QString("the file is only %1 MiB").arg(QFileInfo(path).size() >> 20)));

  AVReadBound bound;
  AVFormatContext *raw = nullptr;
  QCOMPARE(bound.open(&raw, QFile::encodeName(path).constData()), int(AVReadBound::kOpened));
  Input input(raw);
  const int index = av_find_best_stream(input.get(), AVMediaType(kind), -1, -1, nullptr, 0);
  QVERIFY(index >= 0);
  AVStream *stream = input->streams[index];
  QVERIFY(bound.seekFile(index, int64_t(target / av_q2d(stream->time_base))) >= 0);
  QVERIFY(!bound.stopped());
  // The first packet of the stream: at a key frame (one a second) at or before the target.
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  double landed = -1;
  while (landed < 0 && bound.readFrame(packet.get()) >= 0) {
    if (packet->stream_index == index && packet->pts != AV_NOPTS_VALUE)
      landed = double(packet->pts) * av_q2d(stream->time_base);
    av_packet_unref(packet.get());
  }
  QVERIFY2(landed > target - 1.5 && landed <= target + 0.05,
           qPrintable(QString("expected to land within a second before %1 s, landed at %2 s").arg(target).arg(landed)));
}

// Recordings that store no length, as live recorders and pipes leave them: the length comes from
// the packets at the file's end, within a frame of the same content written with its length, and
// the packets read after opening are those plain FFmpeg reads. A file whose end cannot be read
// keeps its length unknown, after a bounded read.
void TestReadBound::lengthFromTheEnd_data()
{
  QTest::addColumn<QStringList>("make");   // ffmpeg's arguments making the file with its length
  QTest::addColumn<QString>("suffix");
  QTest::addColumn<QStringList>("copy");   // the recording's arguments copying it, before its name
  QTest::addColumn<bool>("piped");         // the recording written to a pipe
  QTest::addColumn<qint64>("cut");         // bytes missing at the recording's end
  QTest::addColumn<qint64>("zeros");       // bytes of zeros after it
  QTest::addColumn<double>("frame");       // seconds: the accuracy asked for
  // Some megabytes of pictures, and Opus, which packs a minute of sound alone into half of one.
  const QStringList picture{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=30", "-f", "lavfi", "-i",
                            "sine=frequency=440:sample_rate=48000:duration=30", "-map", "0"};
  const QStringList withSound{"-map", "1", "-c:a", "libopus"};
  const QStringList sound{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=60", "-c:a", "libopus"};
  const QStringList h264{"-c:v", "libx264", "-preset", "ultrafast", "-g", "25"};
  // VP8 encodes slowly: ten pictures a second.
  const QStringList vp8{"-r", "10", "-c:v", "libvpx", "-deadline", "realtime", "-cpu-used", "16", "-b:v", "300k", "-g", "10"};
  const QStringList live{"-f", "matroska", "-live", "1"};
  // Without the length the copy would otherwise carry over as a tag.
  const QStringList webm{"-map_metadata", "-1", "-f", "webm"};
  QTest::newRow("Matroska live, video and sound")
      << picture + withSound + h264 << "mkv" << live << false << qint64(0) << qint64(0) << 0.04;
  QTest::newRow("Matroska live, video alone") << picture + h264 << "mkv" << live << false << qint64(0) << qint64(0)
                                              << 0.04;
  QTest::newRow("WebM to a pipe, video and sound")
      << picture + withSound + vp8 << "webm" << webm << true << qint64(0) << qint64(0) << 0.1;
  QTest::newRow("WebM to a pipe, sound alone") << sound << "webm" << webm << true << qint64(0) << qint64(0) << 0.02;
  // A recorder killed while writing: up to the last whole packet.
  QTest::newRow("Matroska live, cut inside its last cluster")
      << picture + withSound + h264 << "mkv" << live << false << qint64(100000) << qint64(0) << 0.04;
  // Space a recorder took and never wrote: the end read walks zeros and gives up.
  QTest::newRow("Matroska live, zeros after it")
      << picture + withSound + h264 << "mkv" << live << false << qint64(0) << (qint64(64) << 20) << 0.04;
  // Sound alone whose stream states a bit rate: FFmpeg guesses a length from the file's size,
  // off by the rate's changes (VBR) or by the container's share of the file.
  const auto tone = [](int seconds, const QStringList &codec) {
    return QStringList{"-f", "lavfi", "-i", QString("sine=frequency=440:sample_rate=48000:duration=%1").arg(seconds)} +
           codec;
  };
  QTest::newRow("Matroska live, three minutes of VBR MP3 alone")
      << tone(180, {"-c:a", "libmp3lame", "-q:a", "4"}) << "mkv" << live << false << qint64(0) << qint64(0) << 0.03;
  QTest::newRow("Matroska live, PCM alone")
      << tone(30, {"-c:a", "pcm_s16le"}) << "mkv" << live << false << qint64(0) << qint64(0) << 0.03;
  QTest::newRow("Matroska live, MP2 alone")
      << tone(30, {"-c:a", "mp2"}) << "mkv" << live << false << qint64(0) << qint64(0) << 0.03;
  QTest::newRow("Matroska live, ten minutes of AC3 alone")
      << tone(600, {"-c:a", "ac3"}) << "mkv" << live << false << qint64(0) << qint64(0) << 0.04;
}

void TestReadBound::lengthFromTheEnd()
{
  QFETCH(QStringList, make);
  QFETCH(QString, suffix);
  QFETCH(QStringList, copy);
  QFETCH(bool, piped);
  QFETCH(qint64, cut);
  QFETCH(qint64, zeros);
  QFETCH(double, frame);
  QTemporaryDir dir;
  // Made once for the rows sharing it.
  const QString stored =
      _dir.filePath(QCryptographicHash::hash(make.join(' ').toUtf8(), QCryptographicHash::Md5).toHex() + '.' + suffix);
  const QString path = dir.filePath("recording." + suffix);
  QVERIFY(QFileInfo::exists(stored) || FfmpegCli::run(make + QStringList{stored}, {}, 300000));
  QVERIFY(FfmpegCli::run(QStringList{"-i", stored, "-c", "copy"} + copy + QStringList{piped ? "pipe:1" : path},
                         piped ? path : QString()));
  QFile file(path);
  // Longer than the end first read.
  QVERIFY(file.size() > 2 * AVReadBound::kTailBytes);
  if (cut > 0)
    QVERIFY(file.resize(file.size() - cut));
  const QByteArray name = QFile::encodeName(path);

  // Plain FFmpeg: no length, and the packets it reads.
  AVFormatContext *raw = nullptr;
  QCOMPARE(avformat_open_input(&raw, name.constData(), nullptr, nullptr), 0);
  Input plain(raw);
  QVERIFY(avformat_find_stream_info(plain.get(), nullptr) >= 0);
  QVERIFY2(plain->duration == AV_NOPTS_VALUE || plain->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE,
           qPrintable(QString("plain FFmpeg found a length of %1 s").arg(double(plain->duration) / AV_TIME_BASE)));
  const Packets expected = readPackets(plain.get(), [&](AVPacket *packet) { return av_read_frame(plain.get(), packet); });
  QVERIFY(expected.length > 20);
  plain.reset();
  if (zeros > 0)
    QVERIFY(file.resize(file.size() + zeros));

  const qint64 before = ProcessReads::bytesRead();
  AVReadBound bound;
  raw = nullptr;
  QCOMPARE(bound.open(&raw, name.constData()), int(AVReadBound::kOpened));
  const qint64 read = ProcessReads::bytesRead() - before;
  Input input(raw);
  QVERIFY(!bound.stopped());
  if (zeros > 0) {
    QCOMPARE(input->duration, AV_NOPTS_VALUE);
    if (before >= 0)
      QVERIFY2(read < 2 * AVReadBound::kTailMaxBytes,
               qPrintable(QString("read %1 MiB to give up").arg(double(read) / (1 << 20), 0, 'f', 1)));
  } else {
    QVERIFY(input->duration != AV_NOPTS_VALUE);
    const double length = double(input->duration) / AV_TIME_BASE;
    QVERIFY2(qAbs(length - expected.length) <= frame,
             qPrintable(QString("found %1 s, the packets end at %2 s").arg(length).arg(expected.length)));
    if (cut == 0) {
      raw = nullptr;
      QCOMPARE(avformat_open_input(&raw, QFile::encodeName(stored).constData(), nullptr, nullptr), 0);
      Input original(raw);
      QVERIFY(avformat_find_stream_info(original.get(), nullptr) >= 0);
      const double written = double(original->duration) / AV_TIME_BASE;
      QVERIFY2(qAbs(length - written) <= frame,
               qPrintable(QString("found %1 s, the file with its length says %2 s").arg(length).arg(written)));
    }
    // Every picture and sound stream knows its length too.
    for (unsigned i = 0; i < input->nb_streams; ++i)
      QVERIFY(input->streams[i]->duration > 0);
  }
  // Reading on from the opening: the packets plain FFmpeg reads, from the first.
  const Packets packets = readPackets(input.get(), [&](AVPacket *packet) { return bound.readFrame(packet); });
  QCOMPARE(packets.list.size(), expected.list.size());
  QCOMPARE(packets.list, expected.list);
}

// Containers whose end read is not proven keep what FFmpeg finds: an ASF written to a pipe has
// no length, and a demuxer set down in its middle hunts for packets, complaining at every step.
void TestReadBound::endReadOnlyWhereProven_data()
{
  QTest::addColumn<QStringList>("make"); // ffmpeg's arguments writing the file to a pipe
  const QStringList picture{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=20"};
  const QStringList sound{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=20"};
  QTest::newRow("ASF to a pipe, video and sound")
      << picture + sound + QStringList{"-c:v", "wmv2", "-b:v", "1M", "-c:a", "wmav2", "-f", "asf"};
  QTest::newRow("ASF to a pipe, video alone") << picture + QStringList{"-c:v", "wmv2", "-b:v", "1M", "-f", "asf"};
}

void TestReadBound::endReadOnlyWhereProven()
{
  QFETCH(QStringList, make);
  QTemporaryDir dir;
  const QString path = dir.filePath("streamed.asf");
  QVERIFY(FfmpegCli::run(make + QStringList{"pipe:1"}, path));
  QVERIFY(QFileInfo(path).size() > 2 * AVReadBound::kTailBytes);
  const QByteArray name = QFile::encodeName(path);
  const PlainOpening plain = openPlainly(name);

  ffmpegLines.clear();
  const QtMessageHandler previous = qInstallMessageHandler(captureFFmpegLines);
  AVReadBound bound;
  AVFormatContext *raw = nullptr;
  const int opened = bound.open(&raw, name.constData());
  qInstallMessageHandler(previous);
  Input input(raw);
  QCOMPARE(opened, int(AVReadBound::kOpened));
  QVERIFY2(ffmpegLines.isEmpty(), qPrintable(QString("%1 lines from FFmpeg, the first: %2")
                                               .arg(ffmpegLines.size())
                                               .arg(ffmpegLines.value(0))));
  QCOMPARE(input->duration, plain.duration);
}

// One drop opens a file several times (its length while dragging, its picture, its sound): the
// end is read at the first only, and again once the file has changed. A stream that ends long
// before the others widens the window to its limit; the wider windows read no byte twice.
void TestReadBound::endReadOncePerFile_data()
{
  QTest::addColumn<QStringList>("make");  // ffmpeg's arguments making the recording, before its name
  QTest::addColumn<qint64>("zeros");      // bytes of zeros after it
  // Uncompressed pictures: 30 MiB in 40 s, written fast.
  const QStringList recording{"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=40", "-f", "lavfi",
                              "-i", "sine=frequency=440:sample_rate=48000:duration=2", "-c:v", "rawvideo",
                              "-pix_fmt", "yuv420p", "-c:a", "libopus", "-f", "matroska", "-live", "1"};
  QTest::newRow("Matroska live, sound ending early") << recording << qint64(0);
  QTest::newRow("Matroska live, zeros after it") << recording << (qint64(64) << 20);
}

void TestReadBound::endReadOncePerFile()
{
  QFETCH(QStringList, make);
  QFETCH(qint64, zeros);
  if (ProcessReads::bytesRead() < 0)
    QSKIP("the system does not count this process's reads");
  QTemporaryDir dir;
  const QString path = dir.filePath("recording.mkv");
  QVERIFY(FfmpegCli::run(make + QStringList{path}));
  QFile file(path);
  QVERIFY(file.size() > AVReadBound::kTailMaxBytes);
  if (zeros > 0)
    QVERIFY(file.resize(file.size() + zeros));
  const QByteArray name = QFile::encodeName(path);
  const PlainOpening plain = openPlainly(name);
  QVERIFY(plain.bytes > 0);

  // The bytes one opening through the bound reads, and the length it found.
  const auto openOnce = [&](qint64 *bytes) {
    const qint64 before = ProcessReads::bytesRead();
    AVReadBound bound;
    AVFormatContext *raw = nullptr;
    const int opened = bound.open(&raw, name.constData());
    *bytes = ProcessReads::bytesRead() - before;
    Input input(raw);
    return opened == AVReadBound::kOpened ? input->duration : int64_t(-1);
  };
  const auto mib = [](qint64 bytes) { return QString::number(double(bytes) / (1 << 20), 'f', 1); };
  qint64 bytes = 0;
  const int64_t length = openOnce(&bytes);
  QVERIFY(length != -1);
  QCOMPARE(length == AV_NOPTS_VALUE, zeros > 0);
  // Zeros are walked as far as the bound lets a step walk them.
  const qint64 first = zeros > 0 ? 2 * AVReadBound::kTailMaxBytes : AVReadBound::kTailMaxBytes + (qint64(1) << 20);
  QVERIFY2(bytes < plain.bytes + first,
           qPrintable(QString("the first opening read %1 MiB, a plain one %2 MiB").arg(mib(bytes), mib(plain.bytes))));
  for (int again = 0; again < 2; ++again) {
    QCOMPARE(openOnce(&bytes), length);
    QVERIFY2(bytes < plain.bytes + (qint64(1) << 20),
             qPrintable(QString("opening again read %1 MiB, a plain one %2 MiB").arg(mib(bytes), mib(plain.bytes))));
  }
  if (zeros > 0)
    return;
  // Cut by a recorder still writing it: the shorter length.
  QVERIFY(file.resize(file.size() - (qint64(2) << 20)));
  const int64_t shorter = openOnce(&bytes);
  QVERIFY2(shorter != AV_NOPTS_VALUE && shorter < length - AV_TIME_BASE,
           qPrintable(QString("%1 s after the cut, %2 s before").arg(shorter / 1e6).arg(length / 1e6)));
}

TAVO_TEST_CORE_MAIN(TestReadBound)
#include "tst_readbound.moc"
