// The video stream on generated files: open codes, durations, frame delivery and seeking,
// the frame step, thumbnails, rotation and synchronous pictures.
#include "testenv.h"

#include "avaudiostream.h"
#include "avcommon.h"
#include "avpixelbuffer.h"
#include "avvideostream.h"
#include "videofixtures.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <memory>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
}

using MediaFixtures::VideoCodec;
using namespace VideoFixtures;

namespace {
struct SeekReport
{
  std::atomic<int> calls{0};
  std::atomic<uintptr_t> data{0};
  std::atomic<uint32_t> size{99};
};

void recordSeek(AVContent *, uint8_t *data, uint32_t size, double, void *user)
{
  auto *report = static_cast<SeekReport *>(user);
  report->data = reinterpret_cast<uintptr_t>(data);
  report->size = size;
  ++report->calls;
}

struct Thumbnails
{
  std::vector<AVPixelBuffer *> buffers;
  int nulls = 0;
  int begun = 0;
  ~Thumbnails()
  {
    for (AVPixelBuffer *b : buffers)
      freePixelBuffer(b);
  }
};

void keepThumbnail(AVContent *, int, AVPixelBuffer *buffer, void *user)
{
  auto *thumbnails = static_cast<Thumbnails *>(user);
  if (buffer)
    thumbnails->buffers.push_back(buffer);
  else
    ++thumbnails->nulls;
}

AVThumbnailRequest thumbnailRequest(int count, const float *positions, float width, float height, Thumbnails *made)
{
  AVThumbnailRequest request;
  request.count = count;
  request.positions = positions;
  request.boxWidth = width;
  request.boxHeight = height;
  request.thumbnail = keepThumbnail;
  request.userData = made;
  return request;
}

// Takes the next frame, waiting up to five seconds for it (the machine may be busy).
AVFrameRecord nextFrame(AVStreamBase *stream)
{
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 5000) {
    AVFrameRecord record = stream->takeFrame(false);
    if (record.data)
      return record;
    if (stream->isDecodeEnded())
      break;
    QThread::msleep(2);
  }
  return AVFrameRecord();
}

// Empty when the first frame after a seek is where it belongs: within a frame of an exact target,
// not past a non-exact one (the key frame before it will do).
QString landingFault(int index, int target, bool exact)
{
  if (exact ? qAbs(index - target) <= 1 : index <= target)
    return QString();
  return QString(exact ? "seek to %1 gave %2" : "seek back to %1 gave %2").arg(target).arg(index);
}

// Joined when it goes, also when a failed check leaves the test early.
struct JoinedThread
{
  std::thread thread;
  ~JoinedThread()
  {
    if (thread.joinable())
      thread.join();
  }
};

void recordResult(AVContent *, int result, void *user)
{
  static_cast<std::atomic<int> *>(user)->store(result);
}

QColor pixelAt(const AVPixelBuffer *b, int x, int y)
{
  const uint8_t *p = b->data + (size_t(y) * b->width + x) * 4;
  return QColor(p[2], p[1], p[0]);
}

bool near(const QColor &a, const QColor &b)
{
  return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}

struct Picture
{
  int index; // the colour code, where the file has one
  double time;
};

// The position of the newest picture at or before `time` (the first when none is): the one a
// consumer shows then. The margin is the stream's own for rounding; a consumer counting whole
// milliseconds takes a picture as due within the millisecond it falls in.
int dueAt(const QVector<Picture> &pictures, double time, bool milliseconds = false)
{
  const auto ms = [](double t) { return std::floor(t * 1000 + 1e-6); };
  int due = 0;
  for (int i = 1; i < pictures.size() && (milliseconds ? ms(pictures[i].time) <= ms(time)
                                                       : pictures[i].time <= time + 1e-6); ++i)
    due = i;
  return due;
}

// Colour-coded 25 fps pictures, moved or dropped, as phones and screen recorders write them.
bool writeRetimedClips(const Library &files)
{
  const QString source = files.path("h264_25.mp4");
  // 17 to 63 ms apart around 25 fps.
  const QString uneven = files.path("uneven.mp4");
  // Pictures 2.0 and 3.0 s with none between, as a recording of a still screen.
  const QString gap = files.path("gap.mp4");
  return (QFileInfo::exists(uneven) ||
          FfmpegCli::run({"-i", source, "-vf", "settb=1/90000,setpts=(N/25+0.015*sin(N*1.7))/TB", "-vsync",
                          "passthrough", "-enc_time_base", "1/90000", "-c:v", "libx264", "-qp", "0", uneven})) &&
         (QFileInfo::exists(gap) || FfmpegCli::run({"-i", source, "-vf", "select='not(between(n,51,74))'", "-vsync",
                                                    "passthrough", "-c:v", "libx264", "-qp", "0", gap}));
}

// Grey pictures at the times of an uneven source: a screen recording stating 60 fps whose
// pictures stay up to a second, a phone's near-60 fps clip, and a 30 fps one with jitter.
bool writeThinningClips(const Library &files)
{
  const auto write = [&](const QString &name, int rate, const QString &timing) {
    return QFileInfo::exists(files.path(name)) ||
           FfmpegCli::run({"-f", "lavfi", "-i", QString("color=gray:s=64x48:r=%1:d=6").arg(rate), "-vf", timing,
                           "-vsync", "passthrough", "-enc_time_base", "1/90000", "-c:v", "libx264", "-preset",
                           "ultrafast", files.path(name)});
  };
  const QString held = "select='lt(mod(n,120),20)+eq(mod(n,120),21)+eq(mod(n,120),24)+eq(mod(n,120),30)+"
                       "eq(mod(n,120),31)+eq(mod(n,120),90)+eq(mod(n,120),100)'";
  return write("screen60.mp4", 60, held) &&
         write("phone60.mp4", 60, "settb=1/90000,setpts=(N*1001/60000+0.004*sin(N*1.7))/TB") &&
         write("uneven30.mp4", 30, "settb=1/90000,setpts=(N/30+0.011*sin(N*1.7))/TB");
}
} // namespace

// A seek that lingers once the new generation is announced, as a caller preempted there would:
// meanwhile the read thread seeks and queues the new position's first packets.
class LingeringSeekStream : public AVVideoStream
{
public:
  using AVVideoStream::AVVideoStream;
  // As every subclass: the threads stop before this part goes, or they call into what is left.
  ~LingeringSeekStream() override { stopThreads(); }

protected:
  void seekAnnounced() override { QThread::msleep(40); }
};

// Tells which kinds of decoder threads are at work, and how many pictures were decoded.
class ThreadKindStream : public AVVideoStream
{
public:
  using AVVideoStream::AVVideoStream;
  ~ThreadKindStream() override { stopThreads(); }
  int threadKinds() const { return _decoder ? _decoder->active_thread_type : -1; }
  int picturesDecoded() const { return _picturesDecoded; }
};

class TestVideoStream : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void openCodesAndInformation_data();
  void openCodesAndInformation();
  void durationFromContainerWhenStreamStatesNone();
  void audioOpenCodes();
  void frameStepTable();
  void deliversEveryFrameInOrder_data();
  void deliversEveryFrameInOrder();
  void frameStepKeepsConstantRatePictures_data();
  void frameStepKeepsConstantRatePictures();
  void frameStepThinsByTime_data();
  void frameStepThinsByTime();
  void noStaleFrameAcrossManySeeks();
  void seekKeepsPacketsReadWhileItReturns();
  void exactSeekLandsWithinOneFrame();
  void exactSeekBetweenUnevenFrames_data();
  void exactSeekBetweenUnevenFrames();
  void seekEdges();
  void takeFrameWithoutPictures();
  void recordOutlivesItsStream_data();
  void recordOutlivesItsStream();
  void thumbnailsAtBoxSize();
  void thumbnailsWithoutFrameThreads_data();
  void thumbnailsWithoutFrameThreads();
  void thumbnailsDecodeEachKeyFrameOnce_data();
  void thumbnailsDecodeEachKeyFrameOnce();
  void picturesOpenFirst_data();
  void picturesOpenFirst();
  void destroyedWhileWaitingForItsTurn();
  void endlessFileGivesUp_data();
  void endlessFileGivesUp();
  void rotationTurnsSizeAndPictures();
  void frameAtWhileDecoding();
  void destroyedWhileLoading();
  void releasedDecoderComesBack();
  void truncatedFileDoesNotCrash();
  void damagedTailGivesEveryDecodedFrame_data();
  void damagedTailGivesEveryDecodedFrame();
  void recordingWithoutLength();

private:
  std::unique_ptr<AVVideoStream> load(const QString &name, int *result = nullptr,
                                      const AVThumbnailRequest &thumbnails = AVThumbnailRequest());
  // Every picture of the file in order, as the stream delivers it unthinned.
  QVector<Picture> pictures(const QString &name);

  Library _files;
};

void TestVideoStream::initTestCase()
{
  QVERIFY(_files.isValid());
  QVERIFY2(_files.color("h264_25.mp4", params(25, 100, VideoCodec::H264)), qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_50.mp4", params(50, 100, VideoCodec::H264)), qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_120.mp4", params(120, 24, VideoCodec::H264, 64, 48)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_60.mp4", params(60, 60, VideoCodec::H264, 64, 48)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("vp9.webm", params(25, 20, VideoCodec::VP9, 160, 120, 25)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("uyvy.nut", params(25, 12, VideoCodec::RawUYVY422, 160, 120)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("nv12.nut", params(25, 12, VideoCodec::RawNV12, 160, 120)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("yuv444.nut", params(25, 12, VideoCodec::RawYUV444P, 160, 120)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_25.mkv", params(25, 50, VideoCodec::H264, 160, 120)),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("narrow.mp4", params(25, 3, VideoCodec::H264, 100, 60)), qPrintable(MediaFixtures::lastError()));
  MediaFixtures::VideoParams rotated = params(25, 10, VideoCodec::H264, 320, 240, 25);
  rotated.rotation = 90;
  QVERIFY2(MediaFixtures::writeVideo(_files.path("rotated.mp4"), rotated,
                                     [](int) { return MediaFixtures::quadrantImage(320, 240); }),
           qPrintable(MediaFixtures::lastError()));
  QVERIFY(MediaFixtures::writeTone(_files.path("tone.wav"), 1.0));
  MediaFixtures::VideoParams movie = params(25, 25, VideoCodec::H264);
  movie.withTone = true;
  QVERIFY2(MediaFixtures::writeColorVideo(_files.path("movie.mp4"), movie), qPrintable(MediaFixtures::lastError()));
  QVERIFY(_files.truncated("truncated.mp4", "h264_25.mp4", 3000));
  QVERIFY(_files.truncated("truncated.mkv", "h264_25.mkv", QFileInfo(_files.path("h264_25.mkv")).size() / 2));
  QVERIFY(_files.garbage("garbage.mp4", 50000));
}

std::unique_ptr<AVVideoStream> TestVideoStream::load(const QString &name, int *result,
                                                     const AVThumbnailRequest &thumbnails)
{
  static std::atomic<int> code;
  code = 1;
  auto stream = std::make_unique<AVVideoStream>(_files.path(name).toStdString(), 1280, 1280);
  stream->startLoading([](AVContent *, int r, void *) { code = r; }, nullptr, thumbnails);
  stream->waitForLoading();
  if (result)
    *result = code;
  return stream;
}

QVector<Picture> TestVideoStream::pictures(const QString &name)
{
  auto stream = load(name);
  // Stretched out, the frame step keeps every picture.
  stream->setStretch(8);
  stream->awaken();
  QVector<Picture> all;
  for (AVFrameRecord record = nextFrame(stream.get()); record.data; record = nextFrame(stream.get())) {
    all << Picture{frameIndexOf(record), record.time};
    freeFrameRecord(record);
  }
  return all;
}

void TestVideoStream::openCodesAndInformation_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("code");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<double>("duration");
  QTest::addColumn<double>("rate");
  QTest::newRow("h264 25") << "h264_25.mp4" << 0 << 320 << 240 << 4.0 << 25.0;
  QTest::newRow("h264 50") << "h264_50.mp4" << 0 << 320 << 240 << 2.0 << 50.0;
  QTest::newRow("vp9") << "vp9.webm" << 0 << 160 << 120 << 0.8 << 25.0;
  QTest::newRow("uyvy") << "uyvy.nut" << 0 << 160 << 120 << 0.48 << 25.0;
  QTest::newRow("nv12") << "nv12.nut" << 0 << 160 << 120 << 0.48 << 25.0;
  QTest::newRow("no video") << "tone.wav" << -9 << 0 << 0 << 0.0 << 30.0;
  QTest::newRow("garbage") << "garbage.mp4" << -2 << 0 << 0 << 0.0 << 30.0;
  QTest::newRow("missing") << "missing.mp4" << -2 << 0 << 0 << 0.0 << 30.0;
  QTest::newRow("truncated header") << "truncated.mp4" << -2 << 0 << 0 << 0.0 << 30.0;
}

void TestVideoStream::openCodesAndInformation()
{
  QFETCH(QString, file);
  QFETCH(int, code);
  int result = 1;
  auto stream = load(file, &result);
  QCOMPARE(result, code);
  QCOMPARE(stream->isOpen(), code == 0);
  int w = -1, h = -1;
  stream->videoSize(&w, &h);
  QFETCH(int, width);
  QFETCH(int, height);
  QCOMPARE(w, width);
  QCOMPARE(h, height);
  QFETCH(double, duration);
  QVERIFY2(qAbs(stream->duration() - duration) < 0.05, qPrintable(QString::number(stream->duration())));
  QFETCH(double, rate);
  QCOMPARE(stream->frameRate(), rate);
  // A second open does not open again.
  if (code == 0)
    QCOMPARE(stream->openForMetadata(), 0);
}

void TestVideoStream::durationFromContainerWhenStreamStatesNone()
{
  // Matroska states the length for the file, not for the stream.
  auto stream = load("h264_25.mkv");
  QVERIFY(stream->isOpen());
  QVERIFY2(qAbs(stream->duration() - 2.0) < 0.05, qPrintable(QString::number(stream->duration())));
}

void TestVideoStream::audioOpenCodes()
{
  AVStreamBase tone(_files.path("tone.wav").toStdString());
  QCOMPARE(tone.open(kAVMediaAudio), 0);
  QCOMPARE(tone.mediaKind(), int(kAVMediaAudio));
  QVERIFY(qAbs(tone.duration() - 1.0) < 0.01);
  AVStreamBase silent(_files.path("h264_25.mp4").toStdString());
  QCOMPARE(silent.open(kAVMediaAudio), int(kAVOpenNoAudioStream));
  // A failed open leaves nothing open, so a later one starts again.
  QVERIFY(!silent.isOpen());
  QCOMPARE(silent.duration(), 0.0);
  QCOMPARE(silent.open(kAVMediaVideo), 0);
}

void TestVideoStream::frameStepTable()
{
  auto s25 = load("h264_25.mp4");
  auto s50 = load("h264_50.mp4");
  auto s120 = load("h264_120.mp4");
  QCOMPARE(s25->frameStep(), 1);
  QCOMPARE(s50->frameStep(), 2);
  QCOMPARE(s120->frameStep(), 4);
  s120->setMaxFrameRate(60);
  QCOMPARE(s120->frameStep(), 2);
  s120->setMaxFrameRate(10); // never below 30
  QCOMPARE(s120->frameStep(), 4);
  // A clip stretched to twice its length plays at half its rate.
  s50->setStretch(2.0);
  QCOMPARE(s50->frameStep(), 1);
  s50->setStretch(0); // no stretch rather than a division by zero
  QCOMPARE(s50->frameStep(), 2);
  s25->setDiscardFactor(3);
  QCOMPARE(s25->frameStep(), 3);
  s50->setDiscardFactor(2);
  QCOMPARE(s50->frameStep(), 4);
  // Nothing open: 30 a second.
  AVVideoStream closed("nothing", 0, 0);
  QCOMPARE(closed.frameRate(), 30.0);
}

void TestVideoStream::deliversEveryFrameInOrder_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("planesAsBGRA"); // as while exporting
  QTest::addColumn<int>("kind");
  QTest::addColumn<int>("frames");
  QTest::newRow("h264 planar") << "h264_25.mp4" << false << int(kAVFrameYUV420) << 100;
  QTest::newRow("vp9 planar") << "vp9.webm" << false << int(kAVFrameYUV420) << 20;
  QTest::newRow("uyvy packed") << "uyvy.nut" << false << int(kAVFrameUYVY422) << 12;
  QTest::newRow("nv12") << "nv12.nut" << false << int(kAVFrameNV12) << 12;
  QTest::newRow("yuv444 as bgra") << "yuv444.nut" << false << int(kAVFrameBGRA) << 12;
  QTest::newRow("h264 exported as bgra") << "h264_25.mp4" << true << int(kAVFrameBGRA) << 100;
  QTest::newRow("nv12 exported as planes") << "nv12.nut" << true << int(kAVFrameNV12) << 12;
  QTest::newRow("yuv444 exported as bgra") << "yuv444.nut" << true << int(kAVFrameBGRA) << 12;
}

void TestVideoStream::deliversEveryFrameInOrder()
{
  QFETCH(QString, file);
  QFETCH(bool, planesAsBGRA);
  QFETCH(int, kind);
  QFETCH(int, frames);
  auto stream = load(file);
  QVERIFY(stream->isOpen());
  stream->setPlanesAsBGRA(planesAsBGRA);
  QVERIFY(stream->awaken());
  QVERIFY(!stream->awaken());
  for (int i = 0; i < frames; ++i) {
    AVFrameRecord record = stream->takeFrame(true);
    QVERIFY2(record.data, qPrintable(QString("frame %1 missing").arg(i)));
    QCOMPARE(int(record.kind), kind);
    // None of these sources has alpha: their BGRA pictures hide what is under them.
    QCOMPARE(record.opaque, kind == kAVFrameBGRA);
    const int index = frameIndexOf(record);
    const double time = record.time;
    QCOMPARE(record.serial, stream->serial());
    freeFrameRecord(record);
    QCOMPARE(index, i);
    QVERIFY(qAbs(time - i / 25.0) < 1e-3);
  }
  // Then the end: waiting gives nothing once the decoder has drained.
  AVFrameRecord end = stream->takeFrame(true);
  QVERIFY(!end.data);
  QVERIFY(stream->isDecodeEnded());
  QVERIFY(stream->isReadEnded());
}

void TestVideoStream::frameStepKeepsConstantRatePictures_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("first"); // sought to exactly, or -1 for none
  QTest::addColumn<int>("step");
  QTest::addColumn<int>("frames");
  QTest::newRow("50 fps") << "h264_50.mp4" << -1 << 2 << 100;
  QTest::newRow("50 fps from picture 25") << "h264_50.mp4" << 25 << 2 << 100;
  QTest::newRow("60 fps") << "h264_60.mp4" << -1 << 2 << 60;
  QTest::newRow("120 fps") << "h264_120.mp4" << -1 << 4 << 24;
  QTest::newRow("120 fps from picture 5") << "h264_120.mp4" << 5 << 4 << 24;
}

// Every step-th picture from the first, to the end.
void TestVideoStream::frameStepKeepsConstantRatePictures()
{
  QFETCH(QString, file);
  QFETCH(int, first);
  QFETCH(int, step);
  QFETCH(int, frames);
  auto stream = load(file);
  QCOMPARE(stream->frameStep(), step);
  stream->awaken();
  if (first >= 0)
    stream->seek(first / stream->frameRate(), nullptr, nullptr, true);
  QList<int> indices, expected;
  for (int i = std::max(0, first); i < frames; i += step)
    expected << i;
  for (AVFrameRecord record = nextFrame(stream.get()); record.data; record = nextFrame(stream.get())) {
    indices << frameIndexOf(record);
    freeFrameRecord(record);
  }
  QCOMPARE(indices, expected);
}

void TestVideoStream::frameStepThinsByTime_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<double>("stretch");
  QTest::addColumn<double>("from"); // media seconds
  QTest::newRow("screen recording stating 60 fps") << "screen60.mp4" << 1.0 << 0.0;
  QTest::newRow("phone clip near 60 fps") << "phone60.mp4" << 1.0 << 0.0;
  QTest::newRow("phone clip near 60 fps from 0.37 s") << "phone60.mp4" << 1.0 << 0.37;
  QTest::newRow("uneven 30 fps clip at twice its speed") << "uneven30.mp4" << 0.5 << 0.0;
}

// Exported at 30 fps from an exact seek, each output shows the newest picture due by then,
// with the consumer's rule: the newest delivered picture whose time has come, to the exact time
// or in whole milliseconds.
void TestVideoStream::frameStepThinsByTime()
{
  QFETCH(QString, file);
  QFETCH(double, stretch);
  QFETCH(double, from);
  QVERIFY(writeThinningClips(_files));
  const QVector<Picture> source = pictures(file);
  QVERIFY(source.size() > 60);
  auto stream = load(file);
  stream->setStretch(stretch);
  QCOMPARE(stream->frameStep(), 2);
  stream->awaken();
  stream->seek(from, nullptr, nullptr, true);
  QVector<Picture> delivered;
  for (AVFrameRecord record = nextFrame(stream.get()); record.data; record = nextFrame(stream.get())) {
    delivered << Picture{0, record.time};
    freeFrameRecord(record);
  }
  QVERIFY(!delivered.isEmpty());
  int outputs = 0, stale = 0;
  QSet<int> due, shown;
  QStringList wrong;
  for (double m = from; m <= source.last().time; m = from + ++outputs / (30 * stretch)) {
    bool late = false;
    for (const bool milliseconds : {false, true}) {
      const int expected = dueAt(source, m, milliseconds);
      const double got = delivered[dueAt(delivered, m, milliseconds)].time;
      due << expected;
      if (std::fabs(got - source[expected].time) > 1e-6) {
        late = true;
        wrong << QString("%1 s%4: %2 for %3")
                   .arg(m, 0, 'f', 4)
                   .arg(got, 0, 'f', 4)
                   .arg(source[expected].time, 0, 'f', 4)
                   .arg(milliseconds ? " in ms" : "");
      } else {
        shown << expected;
      }
    }
    stale += late;
  }
  const int neverShown = int((due - shown).size());
  QVERIFY2(stale == 0 && neverShown == 0,
           qPrintable(QString("%1 of %2 outputs stale, %3 of %4 due pictures never shown (output: shown for due): %5")
                        .arg(stale)
                        .arg(outputs)
                        .arg(neverShown)
                        .arg(due.size())
                        .arg(wrong.mid(0, 8).join(", "))));
}

void TestVideoStream::noStaleFrameAcrossManySeeks()
{
  // Full queues, then a seek: no frame of the old position may come out afterwards, whether it
  // was queued, being decoded or being read when the seek came.
  auto stream = load("h264_25.mp4");
  stream->awaken();
  QRandomGenerator random(7);
  int position = 0;
  for (int round = 0; round < 60; ++round) {
    // Let the queues fill at the current position.
    QThread::msleep(round % 3 == 0 ? 30 : round % 3);
    const bool exact = round % 2 == 0;
    // Non-exact seeks go backwards, so an old picture would show as too late an index.
    const int target = exact ? int(random.bounded(95)) : int(random.bounded(position + 1));
    SeekReport report;
    stream->seek(target / 25.0 + 0.001, recordSeek, &report, exact);
    AVFrameRecord first = nextFrame(stream.get());
    QVERIFY2(first.data, qPrintable(QString("no frame after seek %1 to %2").arg(round).arg(target)));
    const int firstIndex = frameIndexOf(first);
    freeFrameRecord(first);
    const QString fault = landingFault(firstIndex, target, exact);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    int last = firstIndex;
    for (int i = 0; i < 3; ++i) {
      AVFrameRecord next = nextFrame(stream.get());
      if (!next.data)
        break;
      const int index = frameIndexOf(next);
      freeFrameRecord(next);
      QVERIFY2(index == last + 1, qPrintable(QString("after %1 came %2 (seek %3)").arg(last).arg(index).arg(round)));
      last = index;
    }
    position = last;
    QTRY_COMPARE_WITH_TIMEOUT(report.calls.load(), 1, 10000);
    QVERIFY(report.size > 0);
  }
}

void TestVideoStream::seekKeepsPacketsReadWhileItReturns()
{
  // Seeking back from the end, as after playing to the end: the read thread, idle at the end,
  // seeks at once and queues the first packets, which carry the key frame the rest decodes from.
  // Losing them to the seek's own clean-up left the stream without any picture.
  LingeringSeekStream stream(_files.path("h264_25.mp4").toStdString(), 1280, 1280);
  stream.startLoading(nullptr, nullptr, AVThumbnailRequest());
  stream.waitForLoading();
  QVERIFY(stream.isOpen());
  stream.awaken();
  const int targets[] = {60, 10, 85, 37, 3};
  for (int round = 0; round < 5; ++round) {
    const bool exact = round % 2 == 0;
    const int target = targets[round];
    stream.seek(97 / 25.0, nullptr, nullptr, true);
    for (AVFrameRecord tail = nextFrame(&stream); tail.data; tail = nextFrame(&stream))
      freeFrameRecord(tail);
    QVERIFY(stream.isDecodeEnded());
    stream.seek(target / 25.0 + 0.001, nullptr, nullptr, exact);
    AVFrameRecord first = nextFrame(&stream);
    QVERIFY2(first.data, qPrintable(QString("no frame after the seek to %1").arg(target)));
    const int index = frameIndexOf(first);
    freeFrameRecord(first);
    const QString fault = landingFault(index, target, exact);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
  }
}

void TestVideoStream::exactSeekLandsWithinOneFrame()
{
  // Into the middle of one long group of pictures, with and without a frame step.
  for (const char *name : {"h264_25.mp4", "h264_50.mp4"}) {
    auto stream = load(name);
    stream->awaken();
    const double rate = stream->frameRate();
    for (double target : {0.5, 1.37, 1.9}) {
      stream->seek(target, nullptr, nullptr, true);
      AVFrameRecord first = nextFrame(stream.get());
      QVERIFY(first.data);
      const int index = frameIndexOf(first);
      QVERIFY(first.time <= target + 1e-9);
      freeFrameRecord(first);
      QVERIFY2(qAbs(index - target * rate) <= 1.0, qPrintable(QString("%1 at %2: %3").arg(name).arg(target).arg(index)));
    }
  }
}

void TestVideoStream::exactSeekBetweenUnevenFrames_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("road");
  for (const char *road : {"seek", "frameAt", "decodeFrameAt"}) {
    QTest::addRow("uneven, %s", road) << "uneven.mp4" << road;
    // A trim inside the gap: the picture before it shows until the one after it is due.
    QTest::addRow("inside a second's gap, %s", road) << "gap.mp4" << road;
    QTest::addRow("25 fps, %s", road) << "h264_25.mp4" << road;
  }
}

// Exact seeks and grabs just after a picture, between two, and a rounding error before the
// next give the newest picture at or before the target; a seek shows it at once, and the next
// picture at its own time.
void TestVideoStream::exactSeekBetweenUnevenFrames()
{
  QFETCH(QString, file);
  QFETCH(QString, road);
  QVERIFY(writeRetimedClips(_files));
  const QVector<Picture> source = pictures(file);
  QVERIFY(source.size() > 60);
  auto stream = load(file);
  QVERIFY(stream->isOpen());
  stream->awaken();
  int outW = 0, outH = 0;
  stream->outputSize(&outW, &outH);
  QStringList wrong;
  int landings = 0;
  for (int i = 3; i + 1 < source.size(); ++i) {
    const double a = source[i].time, b = source[i + 1].time;
    if (i % 6 != 3 && b - a < 0.1)
      continue;
    for (const double target : {a + 0.002, (a + b) / 2, b - 1e-9}) {
      ++landings;
      const int due = dueAt(source, target);
      int index = -1;
      double time = -1;
      QString fault;
      if (road == "seek") {
        stream->seek(target, nullptr, nullptr, true);
        AVFrameRecord landed = nextFrame(stream.get());
        index = frameIndexOf(landed);
        time = landed.time;
        freeFrameRecord(landed);
        AVFrameRecord next = nextFrame(stream.get());
        const int nextIndex = frameIndexOf(next);
        const double nextTime = next.time;
        freeFrameRecord(next);
        if (time > target)
          fault = QString(", shown from %1 s").arg(time);
        else if (due + 1 < source.size() &&
                 (nextIndex != source[due + 1].index || std::fabs(nextTime - source[due + 1].time) > 1e-6))
          fault = QString(", then %1 at %2 s").arg(nextIndex).arg(nextTime);
      } else if (road == "frameAt") {
        uint32_t size = 0;
        uint8_t *picture = stream->frameAt(target, &size);
        index = picture ? frameIndexOfBgra(picture, outW, outH) : -1;
        free(picture);
      } else {
        uint32_t size = 0;
        int w = 0, h = 0;
        uint8_t *picture = stream->decodeFrameAt(target, 160, 120, true, &size, &w, &h, &time);
        index = picture ? frameIndexOfBgra(picture, w, h) : -1;
        free(picture);
        if (index >= 0 && std::fabs(time - source[due].time) > 1e-6)
          fault = QString(", told %1 s").arg(time);
      }
      if (index != source[due].index || !fault.isEmpty())
        wrong << QString("%1 s: %2 for %3%4").arg(target, 0, 'f', 9).arg(index).arg(source[due].index).arg(fault);
    }
  }
  QVERIFY2(wrong.isEmpty(), qPrintable(QString("%1 of %2 landings wrong (target: picture for due): %3")
                                           .arg(wrong.size())
                                           .arg(landings)
                                           .arg(wrong.mid(0, 8).join(", "))));
}

void TestVideoStream::seekEdges()
{
  auto stream = load("h264_25.mp4");
  // Not woken yet the threads exist: a seek is taken.
  SeekReport report;
  stream->awaken();
  stream->seek(-3, recordSeek, &report, true);
  QCOMPARE(stream->seekTarget(), 0.0);
  QVERIFY(!stream->isSeekPastEnd());
  AVFrameRecord first = nextFrame(stream.get());
  QCOMPARE(frameIndexOf(first), 0);
  freeFrameRecord(first);

  // Past the end: the seek goes to the duration and ends with the marker.
  SeekReport end;
  stream->seek(60, recordSeek, &end, true);
  QCOMPARE(stream->seekTarget(), stream->duration());
  QVERIFY(stream->isSeekPastEnd());
  QTRY_COMPARE_WITH_TIMEOUT(end.calls.load(), 1, 10000);
  AVFrameRecord last = stream->takeFrame(true);
  if (last.data) {
    // The last picture may stand in for the end; nothing of the old position does.
    QVERIFY(frameIndexOf(last) >= 98);
    freeFrameRecord(last);
  } else {
    QCOMPARE(end.data.load(), uintptr_t(1));
    QCOMPARE(end.size.load(), 0u);
  }

  // Back from the end, again and again: the end of the old generation never ends the new one.
  for (int round = 0; round < 10; ++round) {
    SeekReport atEnd;
    stream->seek(60, recordSeek, &atEnd, true);
    QTRY_COMPARE_WITH_TIMEOUT(atEnd.calls.load(), 1, 10000);
    if (round % 2)
      QThread::msleep(5);
    stream->seek(1.0, nullptr, nullptr, true);
    AVFrameRecord back = stream->takeFrame(true);
    QVERIFY2(back.data, qPrintable(QString("round %1").arg(round)));
    QCOMPARE(frameIndexOf(back), 25);
    freeFrameRecord(back);
  }

  // A stream that never loaded ignores seeks.
  AVVideoStream unopened(_files.path("h264_25.mp4").toStdString(), 0, 0);
  unopened.seek(1.0, recordSeek, &report, true);
  QCOMPARE(unopened.seekTarget(), 0.0);
}

void TestVideoStream::recordOutlivesItsStream_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("kind");
  QTest::newRow("h264 planar, padded rows") << "narrow.mp4" << int(kAVFrameYUV420);
  QTest::newRow("uyvy packed") << "uyvy.nut" << int(kAVFrameUYVY422);
  QTest::newRow("nv12") << "nv12.nut" << int(kAVFrameNV12);
}

// A record reads its planes where the decoder keeps them: taken records hold those pictures after
// the stream, its decoder and its buffer pools are gone, and later pictures do not overwrite them.
void TestVideoStream::recordOutlivesItsStream()
{
  QFETCH(QString, file);
  QFETCH(int, kind);
  auto stream = load(file);
  QVERIFY(stream->awaken());
  AVFrameRecord records[3];
  for (AVFrameRecord &record : records) {
    record = nextFrame(stream.get());
    QVERIFY(record.data);
  }
  stream.reset();
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(int(records[i].kind), kind);
    QVERIFY(records[i].width >= records[i].visibleWidth);
    QCOMPARE(frameIndexOf(records[i]), i);
  }
  for (AVFrameRecord &record : records)
    freeFrameRecord(record);
}

void TestVideoStream::takeFrameWithoutPictures()
{
  auto stream = load("h264_25.mp4");
  // Asleep: nothing comes, also when waiting.
  QVERIFY(!stream->isAwake());
  QElapsedTimer timer;
  timer.start();
  QVERIFY(!stream->takeFrame(true).data);
  QVERIFY(timer.elapsed() < 500);
  stream->awaken();
  QTRY_VERIFY_WITH_TIMEOUT(stream->frameCount() == 2, 10000);
  // Awake and full: the queue keeps its bounds.
  QThread::msleep(50);
  QVERIFY(stream->frameCount() <= 2);
  QVERIFY(stream->packetCount() <= 4);
  // Asleep again: queues empty, no waiting.
  QVERIFY(stream->sleep());
  QVERIFY(!stream->sleep());
  QCOMPARE(stream->frameCount(), 0);
  QCOMPARE(stream->packetCount(), 0);
  QVERIFY(!stream->takeFrame(true).data);
  // Woken again, frames flow on.
  stream->awaken();
  AVFrameRecord again = nextFrame(stream.get());
  QVERIFY(again.data);
  freeFrameRecord(again);
}

void TestVideoStream::thumbnailsAtBoxSize()
{
  const float positions[16] = {0, 1 / 16.f, 2 / 16.f, 3 / 16.f, 4 / 16.f, 5 / 16.f, 6 / 16.f, 7 / 16.f,
                               8 / 16.f, 9 / 16.f, 10 / 16.f, 11 / 16.f, 12 / 16.f, 13 / 16.f, 14 / 16.f, 15 / 16.f};
  Thumbnails made;
  AVThumbnailRequest request = thumbnailRequest(16, positions, 16 * 45 / 9, 45, &made); // 80 x 45
  request.begin = [](AVContent *, void *user) {
    auto *thumbnails = static_cast<Thumbnails *>(user);
    QVERIFY(thumbnails->buffers.empty());
    ++thumbnails->begun;
  };
  auto stream = load("h264_25.mp4", nullptr, request);
  QCOMPARE(made.begun, 1);
  QCOMPARE(int(made.buffers.size()), 16);
  QCOMPARE(made.nulls, 0);
  int previous = -1;
  for (AVPixelBuffer *b : made.buffers) {
    // 320 x 240 in 80 x 45: 60 x 45.
    QCOMPARE(b->width, 60u);
    QCOMPARE(b->height, 45u);
    QCOMPARE(b->format, 1u);
    const int index = frameIndexOfBgra(b->data, int(b->width), int(b->height));
    QVERIFY(index >= previous);
    previous = index;
  }
  // After the thumbnails the stream starts from the beginning.
  stream->awaken();
  AVFrameRecord first = stream->takeFrame(true);
  QCOMPARE(frameIndexOf(first), 0);
  freeFrameRecord(first);
}

void TestVideoStream::thumbnailsWithoutFrameThreads_data()
{
  QTest::addColumn<int>("count");
  QTest::newRow("with thumbnails") << 4;
  QTest::newRow("without thumbnails") << 0;
}

// Frame threads would hold each thumbnail back until as many packets as threads were decoded;
// playback afterwards decodes with them.
void TestVideoStream::thumbnailsWithoutFrameThreads()
{
  QFETCH(int, count);
  if (QThread::idealThreadCount() < 2)
    QSKIP("one processor: no frame threads either way");
  const float positions[4] = {0, 0.25f, 0.5f, 0.75f};
  struct Seen
  {
    Thumbnails made;
    QList<int> kinds;
  } seen;
  AVThumbnailRequest request = thumbnailRequest(count, positions, 80, 45, &seen.made);
  request.userData = &seen;
  request.thumbnail = [](AVContent *stream, int, AVPixelBuffer *buffer, void *user) {
    auto *s = static_cast<Seen *>(user);
    s->kinds << static_cast<ThreadKindStream *>(stream)->threadKinds();
    keepThumbnail(stream, 0, buffer, &s->made);
  };
  static std::atomic<int> code;
  code = 1;
  auto stream = std::make_unique<ThreadKindStream>(_files.path("h264_25.mp4").toStdString(), 1280, 1280);
  stream->startLoading([](AVContent *, int r, void *) { code = r; }, nullptr, request);
  stream->waitForLoading();
  QCOMPARE(code.load(), 0);
  QCOMPARE(seen.kinds.size(), count);
  for (const int kinds : seen.kinds)
    QVERIFY2(!(kinds & FF_THREAD_FRAME), qPrintable(QString::number(kinds)));
  stream->awaken();
  AVFrameRecord first = stream->takeFrame(true);
  QCOMPARE(frameIndexOf(first), 0);
  freeFrameRecord(first);
  QVERIFY2(stream->threadKinds() & FF_THREAD_FRAME, qPrintable(QString::number(stream->threadKinds())));
}

void TestVideoStream::thumbnailsDecodeEachKeyFrameOnce_data()
{
  QTest::addColumn<int>("gop");
  QTest::addColumn<int>("decoded");
  // 16 thumbnails of 50 frames land on these key frames.
  QTest::newRow("every frame a key frame") << 1 << 16;
  QTest::newRow("a key frame a second") << 25 << 2;
  QTest::newRow("one key frame") << 1000 << 1;
}

// Thumbnails take the first picture after the seek: those that land on the same key frame are
// the same picture, decoded once.
void TestVideoStream::thumbnailsDecodeEachKeyFrameOnce()
{
  QFETCH(int, gop);
  QFETCH(int, decoded);
  const QString name = QString("gop%1.mp4").arg(gop);
  QVERIFY(_files.color(name, params(25, 50, VideoCodec::H264, 320, 240, gop)));
  float positions[16];
  for (int i = 0; i < 16; ++i)
    positions[i] = i / 16.f;
  Thumbnails made;
  const AVThumbnailRequest request = thumbnailRequest(16, positions, 80, 45, &made);
  ThreadKindStream stream(_files.path(name).toStdString(), 1280, 1280);
  stream.startLoading(nullptr, nullptr, request);
  stream.waitForLoading();
  QCOMPARE(int(made.buffers.size()), 16);
  QCOMPARE(stream.picturesDecoded(), decoded);
  // Each is the picture a still at its time gives.
  for (int i = 0; i < 16; ++i) {
    const AVPixelBuffer *thumbnail = made.buffers[size_t(i)];
    uint32_t size = 0;
    int w = 0, h = 0;
    double when = -1;
    uint8_t *still = stream.decodeFrameAt(float(stream.duration() * double(positions[i])), 60, 45, false, &size, &w,
                                          &h, &when);
    QVERIFY(still);
    QCOMPARE(QSize(w, h), QSize(int(thumbnail->width), int(thumbnail->height)));
    QVERIFY2(memcmp(still, thumbnail->data, size) == 0, qPrintable(QString("thumbnail %1").arg(i)));
    free(still);
  }
}

void TestVideoStream::picturesOpenFirst_data()
{
  QTest::addColumn<bool>("picture");
  QTest::addColumn<bool>("sound");
  QTest::newRow("a movie's picture") << true << false;
  QTest::newRow("a movie's sound") << false << true;
  QTest::newRow("a whole movie") << true << true;
}

// Opens that a picture waits for go ahead of one that came before them; the sound of a file
// counts as such while a video stream of the file exists.
void TestVideoStream::picturesOpenFirst()
{
  QFETCH(bool, picture);
  QFETCH(bool, sound);
  const std::string movie = _files.path("movie.mp4").toStdString();
  AVVideoStream pictures(movie, 1280, 1280);
  AVAudioStream sounds(movie, 44100, 2);
  std::atomic<int> openAtItsTurn{-1};
  JoinedThread music;
  {
    // An open in progress: the others wait.
    AVStreamBase::OpenTurn current(pictures, true);
    music.thread = std::thread([&] {
      AVStreamBase::OpenTurn turn(sounds, false);
      openAtItsTurn = (pictures.isOpen() ? 1 : 0) + (sounds.isOpen() ? 2 : 0);
    });
    int waiting = 1;
    QVERIFY(QTest::qWaitFor([&] { return AVStreamBase::waitingOpens() == waiting; }, 5000));
    if (picture) {
      pictures.startLoading(nullptr, nullptr, AVThumbnailRequest());
      QVERIFY(QTest::qWaitFor([&] { return AVStreamBase::waitingOpens() == waiting + 1; }, 5000));
      ++waiting;
    }
    if (sound) {
      sounds.startLoading(nullptr, nullptr);
      QVERIFY(QTest::qWaitFor([&] { return AVStreamBase::waitingOpens() == waiting + 1; }, 5000));
    }
  }
  music.thread.join();
  QCOMPARE(openAtItsTurn.load(), (picture ? 1 : 0) + (sound ? 2 : 0));
}

// A stream destroyed while its open waits for the turn leaves at once, not after the files
// opened ahead of it; the open queued behind it still gets its turn.
void TestVideoStream::destroyedWhileWaitingForItsTurn()
{
  const std::string tone = _files.path("tone.wav").toStdString();
  std::atomic<int> queuedResult{1};
  AVAudioStream holder(tone, 44100, 2);
  AVAudioStream queued(tone, 44100, 2);
  auto *leaving = new AVAudioStream(tone, 44100, 2);
  std::atomic<bool> destroyed{false};
  JoinedThread destroyer;
  {
    AVStreamBase::OpenTurn current(holder, true);
    leaving->startLoading(nullptr, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(AVStreamBase::waitingOpens(), 1, 5000);
    queued.startLoading(recordResult, &queuedResult);
    QTRY_COMPARE_WITH_TIMEOUT(AVStreamBase::waitingOpens(), 2, 5000);
    destroyer.thread = std::thread([&] {
      delete leaving;
      destroyed = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(destroyed.load(), 20000);
    QCOMPARE(AVStreamBase::waitingOpens(), 1);
  }
  QTRY_COMPARE_WITH_TIMEOUT(queuedResult.load(), int(kAVOpenOk), 20000);
}

// A terabyte of zeros makes a demuxer scan the whole file for a header or a frame: the open gives
// up with an error after a bounded read, where reading the file through would take hours.
void TestVideoStream::endlessFileGivesUp_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("video");
  QTest::newRow("sound") << "zeros.mp3" << false;
  QTest::newRow("picture") << "zeros.m4v" << true;
}

void TestVideoStream::endlessFileGivesUp()
{
  QFETCH(QString, name);
  QFETCH(bool, video);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QFile file(dir.filePath(name));
  QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(1) << 40)); // sparse
  file.close();
  const std::string path = file.fileName().toStdString();
  std::atomic<int> result{1};
  std::unique_ptr<AVStreamBase> stream;
  if (video) {
    auto *pictures = new AVVideoStream(path, 1280, 1280);
    stream.reset(pictures);
    pictures->startLoading(recordResult, &result, AVThumbnailRequest());
  } else {
    auto *sound = new AVAudioStream(path, 44100, 2);
    stream.reset(sound);
    sound->startLoading(recordResult, &result);
  }
  QTRY_VERIFY_WITH_TIMEOUT(result.load() != 1, 60000);
  QVERIFY2(result.load() < 0, qPrintable(QString("opened with %1").arg(result.load())));
}

void TestVideoStream::rotationTurnsSizeAndPictures()
{
  const float positions[1] = {0.5f};
  Thumbnails made;
  auto stream = load("rotated.mp4", nullptr, thumbnailRequest(1, positions, 160, 90, &made));
  QCOMPARE(stream->rotation(), 90);
  int w = 0, h = 0;
  stream->videoSize(&w, &h);
  QCOMPARE(QSize(w, h), QSize(240, 320));
  QCOMPARE(int(made.buffers.size()), 1);
  // 320 x 240 fitted to 120 x 90, then turned a quarter clockwise: 90 x 120, the top-left red
  // quadrant now top right, blue top left.
  const AVPixelBuffer *t = made.buffers[0];
  QCOMPARE(QSize(int(t->width), int(t->height)), QSize(90, 120));
  QVERIFY(near(pixelAt(t, 80, 10), Qt::red));
  QVERIFY(near(pixelAt(t, 10, 10), Qt::blue));
  QVERIFY(near(pixelAt(t, 80, 110), Qt::green));
  QVERIFY(near(pixelAt(t, 10, 110), Qt::white));

  // Odd box widths come out even.
  uint32_t size = 0;
  int fw = 0, fh = 0;
  double when = -1;
  uint8_t *picture = stream->decodeFrameAt(0.1, 33, 40, true, &size, &fw, &fh, &when);
  QVERIFY(picture);
  QCOMPARE(QSize(fw, fh), QSize(40, 34));
  QCOMPARE(size, 34u * 40u * 4u);
  free(picture);
}

void TestVideoStream::frameAtWhileDecoding()
{
  // Synchronous pictures while the threads run: they wait for the threads, and afterwards the
  // stream goes on where its consumer was.
  auto stream = load("h264_25.mp4");
  stream->awaken();
  stream->seek(1.0, nullptr, nullptr, true);
  AVFrameRecord first = nextFrame(stream.get());
  QCOMPARE(frameIndexOf(first), 25);
  freeFrameRecord(first);
  for (double t : {0.4, 2.2, 3.0, 0.0}) {
    uint32_t size = 0;
    uint8_t *picture = stream->frameAt(t, &size);
    QVERIFY(picture);
    QCOMPARE(size, 320u * 240u * 4u);
    QCOMPARE(frameIndexOfBgra(picture, 320, 240), int(t * 25 + 0.5));
    free(picture);
    AVFrameRecord next = nextFrame(stream.get());
    QVERIFY(next.data);
    const int index = frameIndexOf(next);
    freeFrameRecord(next);
    QVERIFY2(index >= 25 && index <= 28, qPrintable(QString("resumed at %1").arg(index)));
  }
  // Past the end the last picture stands in.
  uint32_t size = 0;
  uint8_t *end = stream->frameAt(99, &size);
  QVERIFY(end);
  QCOMPARE(frameIndexOfBgra(end, 320, 240), 99);
  free(end);
}

void TestVideoStream::destroyedWhileLoading()
{
  // Destroying a stream whose loading thread is still opening or making thumbnails waits for it
  // (and its callback) instead of destroying a running thread.
  static std::atomic<int> callbacks{0};
  const float positions[4] = {0, 0.25f, 0.5f, 0.75f};
  Thumbnails made;
  for (int i = 0; i < 8; ++i) {
    const AVThumbnailRequest request = thumbnailRequest(4, positions, 64, 36, &made);
    auto *stream = new AVVideoStream(_files.path("h264_25.mp4").toStdString(), 0, 0);
    stream->startLoading([](AVContent *, int, void *) { ++callbacks; }, nullptr, request);
    QThread::msleep(unsigned(i * 3));
    delete stream;
  }
  QCOMPARE(callbacks.load(), 8);
}

void TestVideoStream::releasedDecoderComesBack()
{
  // With the release flag a sleeping stream gives its decoder up; waking or a still brings it back.
  setReleaseDecoderWhenIdle(true);
  auto stream = load("h264_25.mp4");
  stream->awaken();
  stream->seek(1.0, nullptr, nullptr, true);
  AVFrameRecord first = nextFrame(stream.get());
  QCOMPARE(frameIndexOf(first), 25);
  freeFrameRecord(first);
  QVERIFY(stream->sleep());
  uint32_t size = 0;
  uint8_t *still = stream->frameAt(2.0, &size);
  QVERIFY(still);
  QCOMPARE(frameIndexOfBgra(still, 320, 240), 50);
  free(still);
  stream->sleep();
  int w = 0, h = 0;
  stream->setOutputSize(640, 480);
  stream->outputSize(&w, &h);
  QCOMPARE(QSize(w, h), QSize(320, 240));
  stream->awaken();
  stream->seek(3.0, nullptr, nullptr, true);
  AVFrameRecord again = nextFrame(stream.get());
  QCOMPARE(frameIndexOf(again), 75);
  freeFrameRecord(again);
  setReleaseDecoderWhenIdle(false);
}

void TestVideoStream::truncatedFileDoesNotCrash()
{
  int result = 1;
  auto stream = load("truncated.mkv", &result);
  if (result != 0) {
    QVERIFY(result < 0);
    return;
  }
  stream->awaken();
  int frames = 0;
  for (AVFrameRecord r = stream->takeFrame(true); r.data; r = stream->takeFrame(true)) {
    freeFrameRecord(r);
    ++frames;
  }
  QVERIFY(frames > 0 && frames < 50);
  QVERIFY(stream->isDecodeEnded());
}

void TestVideoStream::damagedTailGivesEveryDecodedFrame_data()
{
  QTest::addColumn<qint64>("cut"); // bytes missing at the end
  QTest::addColumn<bool>("planesAsBGRA");
  QTest::newRow("part of the last picture") << qint64(2000) << false;
  QTest::newRow("a few pictures") << qint64(40000) << false;
  QTest::newRow("a few pictures, exported as bgra") << qint64(40000) << true;
}

// A file cut off inside its last packets: the stream gives every picture FFmpeg decodes from it,
// the pictures still inside the decoder when the damage shows included.
void TestVideoStream::damagedTailGivesEveryDecodedFrame()
{
  QFETCH(qint64, cut);
  QFETCH(bool, planesAsBGRA);
  const QString name = QString("damaged_%1.mp4").arg(cut);
  QVERIFY(QFileInfo::exists(_files.path(name)) || damagedTailClip(_files.path(name), 50, cut));
  const QList<int> expected = frameIndicesAsFfmpegDecodes(_files.path(name));
  QVERIFY2(expected.size() > 10 && expected.size() < 50, qPrintable(QString::number(expected.size())));
  auto stream = load(name);
  QVERIFY(stream->isOpen());
  stream->setPlanesAsBGRA(planesAsBGRA);
  stream->awaken();
  QList<int> delivered;
  for (AVFrameRecord r = stream->takeFrame(true); r.data; r = stream->takeFrame(true)) {
    delivered << frameIndexOf(r);
    freeFrameRecord(r);
  }
  QCOMPARE(delivered, expected);
  QVERIFY(stream->isDecodeEnded());
}

// A recording that stores no length has that of the same content written with it, and a seek
// into it lands where it was sent instead of on the first picture.
void TestVideoStream::recordingWithoutLength()
{
  // Three pictures a second, so that a minute of them is colour-coded without repeating.
  const double frame = 1.0 / 3;
  if (!QFileInfo::exists(_files.path("recorded.mkv"))) {
    QVERIFY(_files.color("coded.mkv", params(3, 180, VideoCodec::H264, 160, 120, 3)));
    QVERIFY(FfmpegCli::run({"-i", _files.path("coded.mkv"), "-c", "copy", "-map_metadata", "-1", "-f", "matroska",
                            "-live", "1", _files.path("recorded.mkv")}));
  }
  AVStreamBase stored(_files.path("coded.mkv").toStdString());
  QCOMPARE(stored.open(kAVMediaVideo), 0);
  QVERIFY(stored.duration() > 59);
  auto stream = load("recorded.mkv");
  QVERIFY(stream->isOpen());
  QVERIFY2(qAbs(stream->duration() - stored.duration()) <= frame,
           qPrintable(QString("%1 s, stored %2 s").arg(stream->duration()).arg(stored.duration())));
  stream->awaken();
  const double middle = 30;
  stream->seek(middle + 0.001, nullptr, nullptr, true);
  AVFrameRecord landed = nextFrame(stream.get());
  QVERIFY(landed.data);
  const int index = frameIndexOf(landed);
  freeFrameRecord(landed);
  QVERIFY2(qAbs(index - middle / frame) <= 1, qPrintable(QString("the seek to %1 s showed frame %2").arg(middle).arg(index)));
}

TAVO_TEST_CORE_MAIN(TestVideoStream)
#include "tst_videostream.moc"
