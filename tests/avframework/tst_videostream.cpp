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
} // namespace

// A seek that lingers once the new generation is announced, as a caller preempted there would:
// meanwhile the read thread seeks and queues the new position's first packets.
class LingeringSeekStream : public AVVideoStream
{
public:
  using AVVideoStream::AVVideoStream;

protected:
  void seekAnnounced() override { QThread::msleep(40); }
};

// Tells which kinds of decoder threads are at work, and how many pictures were decoded.
class ThreadKindStream : public AVVideoStream
{
public:
  using AVVideoStream::AVVideoStream;
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
  void fiftyFpsDeliversEverySecondFrame();
  void noStaleFrameAcrossManySeeks();
  void seekKeepsPacketsReadWhileItReturns();
  void exactSeekLandsWithinOneFrame();
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

  Library _files;
};

void TestVideoStream::initTestCase()
{
  QVERIFY(_files.isValid());
  QVERIFY2(_files.color("h264_25.mp4", params(25, 100, VideoCodec::H264)), qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_50.mp4", params(50, 100, VideoCodec::H264)), qPrintable(MediaFixtures::lastError()));
  QVERIFY2(_files.color("h264_120.mp4", params(120, 24, VideoCodec::H264, 64, 48)),
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

void TestVideoStream::fiftyFpsDeliversEverySecondFrame()
{
  auto stream = load("h264_50.mp4");
  stream->awaken();
  for (int i = 0; i < 20; ++i) {
    AVFrameRecord record = stream->takeFrame(true);
    QVERIFY(record.data);
    const int index = frameIndexOf(record);
    freeFrameRecord(record);
    QCOMPARE(index, 2 * i);
  }
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

// Pictures 17 to 63 ms apart around 25 fps, as phones write them: an exact seek into a gap lands
// on a picture shown by then and at most one mean frame old, never on the picture after the gap.
void TestVideoStream::exactSeekBetweenUnevenFrames()
{
  const auto due = [](int i) { return i / 25.0 + 0.015 * std::sin(i * 1.7); };
  if (!QFileInfo::exists(_files.path("uneven.mp4")))
    QVERIFY(FfmpegCli::run({"-i", _files.path("h264_25.mp4"), "-vf", "settb=1/90000,setpts=(N/25+0.015*sin(N*1.7))/TB",
                            "-vsync", "passthrough", "-enc_time_base", "1/90000", "-c:v", "libx264", "-qp", "0",
                            _files.path("uneven.mp4")}));
  auto stream = load("uneven.mp4");
  QVERIFY(stream->isOpen());
  stream->awaken();
  QStringList wrong;
  for (int i = 10; i < 90; i += 7) {
    const double target = (due(i) + due(i + 1)) / 2;
    stream->seek(target, nullptr, nullptr, true);
    AVFrameRecord landed = nextFrame(stream.get());
    QVERIFY(landed.data);
    const int index = frameIndexOf(landed);
    freeFrameRecord(landed);
    if (index < 0 || due(index) > target || target - due(index) > 0.04)
      wrong << QString("%1 s: picture %2 of %3 s").arg(target).arg(index).arg(index < 0 ? 0 : due(index));
  }
  QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
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
