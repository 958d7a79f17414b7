// The facade's video entries on a composition without a renderer: adding video layers, their
// ranges, and the media queries with their neutral answers.
#include "testenv.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avimagesegment.h"
#include "avvideosegment.h"
#include "videofixtures.h"

#include <QElapsedTimer>
#include <memory>

using MediaFixtures::VideoCodec;
using namespace VideoFixtures;

namespace {
struct ThumbnailReports
{
  std::atomic<int> calls{0};
  std::atomic<uint32_t> id{0};
  AVEngine *engine = nullptr;
  std::atomic<int> countAtCall{-1};
};

void thumbnailsLoaded(uint32_t id, void *user)
{
  auto *reports = static_cast<ThumbnailReports *>(user);
  reports->id = id;
  reports->countAtCall = reports->engine->videoThumbnailCount(id);
  ++reports->calls;
}

int indexOf(const AVPixelBuffer *buffer)
{
  return buffer ? frameIndexOfBgra(buffer->data, int(buffer->width), int(buffer->height)) : -1;
}
} // namespace

class TestEngineVideo : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void addedVideoAnswersQueries();
  void neutralAnswersForOtherSegments();
  void framesAtTimesAreNewBuffers();
  void rangeSetters();
  void queriesWhileLoading();

private:
  AVVideoSegment *waitLoaded(uint32_t id);

  Library _files;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVEngine> _engine;
  ThumbnailReports _reports;
};

void TestEngineVideo::initTestCase()
{
  QVERIFY(_files.color("clip.mp4", params(25, 100, VideoCodec::H264)));
}

void TestEngineVideo::init()
{
  _composition = std::make_unique<AVComposition>(640, 360, 44100, 2, nullptr);
  _engine = std::make_unique<AVEngine>(_composition.get(), nullptr, nullptr);
  _reports.engine = _engine.get();
  _reports.calls = 0;
  _engine->setThumbnailsLoadedCallback(thumbnailsLoaded, &_reports);
}

void TestEngineVideo::cleanup()
{
  _engine.reset();
  _composition.reset();
}

AVVideoSegment *TestEngineVideo::waitLoaded(uint32_t id)
{
  auto *video = static_cast<AVVideoSegment *>(_composition->findSegment(id));
  QElapsedTimer timer;
  timer.start();
  while (video && video->loadError() == kAVLoadPending && timer.elapsed() < 10000)
    QThread::msleep(5);
  return video;
}

void TestEngineVideo::addedVideoAnswersQueries()
{
  QCOMPARE(_engine->addVideoSegment(7, _files.path("clip.mp4").toUtf8().constData(), 1.0f, 0, 0, 36, true), 7u);
  AVVideoSegment *video = waitLoaded(7);
  QVERIFY(video);
  QCOMPARE(video->loadError(), 0);
  QCOMPARE(video->startTime(), 1.0);
  QCOMPARE(video->duration(), 4.0);
  // The composition takes the new length when it hears of the load, just after.
  QTRY_COMPARE_WITH_TIMEOUT(_composition->duration(), 5.0, 10000);
  QCOMPARE(_engine->videoDuration(7), 4.0f);
  int32_t size[2] = {-1, -1};
  QCOMPARE(_engine->videoSize(7, size), 1);
  QCOMPARE(size[0], 320);
  QCOMPARE(size[1], 240);
  // The thumbnails hook reports the segment id once every thumbnail is there.
  QTRY_COMPARE_WITH_TIMEOUT(_reports.calls.load(), 1, 10000);
  QCOMPARE(_reports.id.load(), 7u);
  QCOMPARE(_reports.countAtCall.load(), 16);
  QCOMPARE(_engine->videoThumbnailCount(7), 16);
  QVERIFY(_engine->videoThumbnail(7, 0));
  QCOMPARE(_engine->videoThumbnail(7, 0)->height, 36u);
  QVERIFY(!_engine->videoThumbnail(7, 16));
  _engine->releaseVideoThumbnails(7);
  QCOMPARE(_engine->videoThumbnailCount(7), 0);
}

void TestEngineVideo::neutralAnswersForOtherSegments()
{
  _engine->addImageSegment(3, "/nonexistent.png", false, 0, 2);
  for (uint32_t id : {3u, 99u}) {
    QCOMPARE(_engine->videoDuration(id), 0.0f);
    int32_t size[2] = {-5, -6};
    QCOMPARE(_engine->videoSize(id, size), 0);
    QCOMPARE(size[0], -5);
    QCOMPARE(size[1], -6);
    QCOMPARE(_engine->videoThumbnailCount(id), 0);
    QVERIFY(!_engine->videoThumbnail(id, 0));
    QVERIFY(!_engine->videoFrameAtTime(id, 1));
    _engine->releaseVideoThumbnails(id);
    _engine->setSegmentRangeStart(id, 1);
    _engine->setSegmentRangeDuration(id, 1);
  }
  QCOMPARE(_composition->findSegment(3)->duration(), 2.0);
}

void TestEngineVideo::framesAtTimesAreNewBuffers()
{
  _engine->addVideoSegment(1, _files.path("clip.mp4").toUtf8().constData(), 0, 0, 0, 36, false);
  QVERIFY(waitLoaded(1));
  AVPixelBuffer *a = _engine->videoFrameAtTime(1, 1.0f);
  AVPixelBuffer *b = _engine->videoFrameAtTime(1, 1.0f);
  QVERIFY(a && b && a != b);
  QCOMPARE(a->format, 1u);
  QCOMPARE(QSize(int(a->width), int(a->height)), QSize(320, 240));
  QCOMPARE(indexOf(a), 25);
  QCOMPARE(indexOf(b), 25);
  freePixelBuffer(a);
  freePixelBuffer(b);
  AVPixelBuffer *late = _engine->videoFrameAtTime(1, 3.0f);
  QCOMPARE(indexOf(late), 75);
  freePixelBuffer(late);
}

void TestEngineVideo::rangeSetters()
{
  _engine->addVideoSegment(2, _files.path("clip.mp4").toUtf8().constData(), 0, 1.0f, 2.0f, 36, false);
  AVVideoSegment *video = waitLoaded(2);
  QVERIFY(video);
  QCOMPARE(video->duration(), 2.0);
  QCOMPARE(video->rangeStart(), 1.0);
  AVPixelBuffer *first = _engine->videoFrameAtTime(2, 0);
  QCOMPARE(indexOf(first), 25);
  freePixelBuffer(first);
  _engine->setSegmentRangeStart(2, 1.5f);
  QCOMPARE(video->rangeStart(), 1.5);
  AVPixelBuffer *moved = _engine->videoFrameAtTime(2, 0);
  QCOMPARE(indexOf(moved), 37);
  freePixelBuffer(moved);
  _engine->setSegmentRangeDuration(2, -1.0f);
  QCOMPARE(video->rangeDuration(), 0.0);
  _engine->setSegmentRangeDuration(2, 1.0f);
  QCOMPARE(video->rangeDuration(), 1.0);
  // The segment keeps its timeline length; only a segment without one takes the range's.
  QCOMPARE(video->duration(), 2.0);
}

void TestEngineVideo::queriesWhileLoading()
{
  // The editor may ask before the file is open: neutral answers or real ones, never a crash.
  for (uint32_t id = 10; id < 16; ++id) {
    _engine->addVideoSegment(id, _files.path("clip.mp4").toUtf8().constData(), 0, 0, 0, 36, false);
    int32_t size[2];
    for (int i = 0; i < 20; ++i) {
      const float duration = _engine->videoDuration(id);
      QVERIFY(duration == 0.0f || duration == 4.0f);
      _engine->videoSize(id, size);
      freePixelBuffer(_engine->videoFrameAtTime(id, 1.0f));
      _engine->videoThumbnailCount(id);
    }
    QVERIFY(waitLoaded(id));
  }
  QTRY_COMPARE_WITH_TIMEOUT(_reports.calls.load(), 6, 20000);
}

TAVO_TEST_CORE_MAIN(TestEngineVideo)
#include "tst_enginevideo.moc"
