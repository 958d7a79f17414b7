// Video layers in a composition composed offscreen: the colour-coded frame index read back from
// the composed picture says which frame each pass showed.
#include "testenv.h"

#include "avcomposition.h"
#include "avexporter.h"
#include "avheadlessrenderer.h"
#include "avvideosegment.h"
#include "avvideostream.h"
#include "ffmpegcli.h"
#include "videofixtures.h"

#include <QElapsedTimer>
#include <QOpenGLFunctions_3_2_Core>
#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

using MediaFixtures::VideoCodec;
using namespace VideoFixtures;

namespace {
constexpr int kWidth = 160;
constexpr int kHeight = 120;

struct ThumbnailsSeen
{
  std::atomic<int> calls{0};
  std::atomic<int> countAtCall{-1};
};

void thumbnailsReady(AVSegment *segment, void *user)
{
  auto *seen = static_cast<ThumbnailsSeen *>(user);
  seen->countAtCall = static_cast<AVVideoSegment *>(segment)->thumbnailCount();
  ++seen->calls;
}

// Pictures of `rate` a second, picture i painted frameColor(i), re-timed by the filter when one is
// given as phones and screen recorders write them (their stamps then count in 1/90000 s).
bool writeTimedClip(const QString &path, int rate, int seconds, const QString &timing, const QStringList &codec)
{
  const QString code = QString("color=black:s=160x120:r=%1:d=%2,format=gbrp,"
                               "geq=r='51*mod(floor(N/36),6)':g='51*mod(floor(N/6),6)':b='51*mod(N,6)'")
                         .arg(rate)
                         .arg(seconds);
  const QStringList retimed = timing.isEmpty() ? QStringList{}
                                               : QStringList{"-vf", timing, "-vsync", "passthrough",
                                                             "-enc_time_base", "1/90000"};
  return FfmpegCli::run(QStringList{"-f", "lavfi", "-i", code} + retimed + codec + QStringList{path});
}

// Each picture's time stamp in presentation order, in ticks of the stream's time base num/den.
struct Stamps
{
  QVector<qint64> ticks;
  qint64 num = 0, den = 0;
};

Stamps frameStamps(const QString &path)
{
  QProcess probe;
  probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=time_base:frame=best_effort_timestamp", "-of", "default=nw=1", path});
  Stamps stamps;
  if (!probe.waitForFinished(60000))
    return stamps;
  for (const QByteArray &line : probe.readAllStandardOutput().split('\n')) {
    if (line.startsWith("time_base=")) {
      const QList<QByteArray> parts = line.mid(10).split('/');
      if (parts.size() == 2) {
        stamps.num = parts[0].toLongLong();
        stamps.den = parts[1].toLongLong();
      }
    } else if (line.startsWith("best_effort_timestamp=")) {
      stamps.ticks << line.mid(22).toLongLong();
    }
  }
  std::sort(stamps.ticks.begin(), stamps.ticks.end());
  return stamps;
}

// The newest picture due at output k of `rate` per second, in exact arithmetic: a picture is due
// once the media time, rounded to the stream's clock, has reached its stamp. Times in
// microseconds; the timeline length and the range length give the stretch.
int dueIndex(const Stamps &stamps, qint64 k, qint64 rate, qint64 startUs, qint64 rangeStartUs, qint64 lengthUs,
             qint64 rangeLengthUs)
{
  // media ticks = ((k / rate - start) * rangeLength / length + rangeStart) * den / num; due when
  // stamp <= media ticks + 1/2, all multiplied out by 2 * 10^6 * rate * length * num.
  using Wide = __int128;
  const Wide scale = Wide(1000000) * rate * lengthUs;
  const Wide media =
    ((Wide(1000000) * k - Wide(startUs) * rate) * rangeLengthUs + Wide(rangeStartUs) * rate * lengthUs) * stamps.den;
  int due = -1;
  for (int i = 0; i < stamps.ticks.size(); ++i)
    if (2 * Wide(stamps.ticks[i]) * stamps.num * scale <= 2 * std::max<Wide>(0, media) + Wide(stamps.num) * scale)
      due = i;
  return due;
}
} // namespace

class TestVideoSegment : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void loadedMeansLengthKnown();
  void exportShowsEveryFrameInOrder_data();
  void exportShowsEveryFrameInOrder();
  void heldPictureDrawsOnlyItsOwnPlanes_data();
  void heldPictureDrawsOnlyItsOwnPlanes();
  void planesDrawToTheRightEdge_data();
  void planesDrawToTheRightEdge();
  void staleFramesSkippedWhileExporting();
  void futureFrameHeldBackInPreview();
  void firstFrameAfterSeekShownEvenIfLater();
  void discardFactorFollowsLateness();
  void seekAtEndStillMakesReady();
  void rangeStartAndStretch();
  void trimInsideGapShowsThePictureBefore();
  void thumbnailsReportedAfterTheLast();
  void failedLoadIsReadyWithoutPicture();
  void destroyedWhileLoading();
  void frameAtTimeAndExportRate();
  void rotatedClipStandsUpright();
  void exportedMovieKeepsEveryFrame_data();
  void exportedMovieKeepsEveryFrame();
  void newestFrameDueShown_data();
  void newestFrameDueShown();

private:
  AVVideoSegment *addVideo(const QString &file, double start = 0, double rangeStart = 0, double rangeDuration = 0);
  // As the exporter does: seek exactly, then compose until the layers are ready.
  bool seekAndWait(double time);
  int indexAt(double time);
  int previewIndexAt(double time, bool adaptive = true);

  Library _files;
  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVHeadlessRenderer> _renderer;
  uint32_t _nextId = 1;
};

void TestVideoSegment::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY2(_host->isValid(), "no GL context: run under Xvfb");
  QVERIFY(_files.isValid());
  QVERIFY(_files.color("h264_25.mp4", params(25, 100, VideoCodec::H264)));
  QVERIFY(_files.color("h264_50.mp4", params(50, 100, VideoCodec::H264)));
  QVERIFY(_files.color("h264_120.mp4", params(120, 24, VideoCodec::H264, 64, 48)));
  QVERIFY(_files.color("vp9.webm", params(25, 20, VideoCodec::VP9, 160, 120, 25)));
  QVERIFY(_files.color("uyvy.nut", params(25, 12, VideoCodec::RawUYVY422, 160, 120)));
  QVERIFY(_files.color("nv12.nut", params(25, 12, VideoCodec::RawNV12, 160, 120)));
  QVERIFY(_files.color("yuv444.nut", params(25, 12, VideoCodec::RawYUV444P, 160, 120)));
  QVERIFY(_files.garbage("garbage.mov", 20000));
  // Red with a white right half, in sizes whose rows the decoders pad or whose chroma is a column
  // wider than half the picture.
  // Drawn at full chroma: the converter's odd last chroma column from RGB is off colour.
  const QString halves =
      "color=red:s=%1,format=yuv444p[a];color=white:s=%2,format=yuv444p[b];[a][b]overlay=x=%3:format=yuv444";
  const struct { const char *name, *size, *half, *x; QStringList codec; } edges[] = {
      {"edge_h264.mp4", "100x60", "50x60", "50", {"-c:v", "libx264", "-pix_fmt", "yuv420p"}},
      {"edge_420.nut", "101x61", "51x61", "50", {"-c:v", "rawvideo", "-pix_fmt", "yuv420p"}},
      {"edge_nv12.nut", "101x61", "51x61", "50", {"-c:v", "rawvideo", "-pix_fmt", "nv12"}},
      {"edge_j420.avi", "101x61", "51x61", "50", {"-c:v", "mjpeg", "-pix_fmt", "yuvj420p", "-q:v", "2"}}};
  for (const auto &edge : edges)
    QVERIFY2(FfmpegCli::run(QStringList{"-f", "lavfi", "-i", halves.arg(edge.size, edge.half, edge.x), "-frames:v",
                                        "3", "-r", "25"} +
                            edge.codec + QStringList{_files.path(edge.name)}),
             edge.name);
  MediaFixtures::VideoParams rotated = params(25, 10, VideoCodec::H264, 320, 240, 25);
  rotated.rotation = 90;
  QVERIFY(MediaFixtures::writeVideo(_files.path("rotated.mp4"), rotated,
                                    [](int) { return MediaFixtures::quadrantImage(320, 240); }));
  const QStringList h264{"-c:v", "libx264", "-pix_fmt", "yuv420p"};
  const QString jitter30 = "settb=1/90000,setpts=(N/30+0.011*sin(N*1.7))/TB";
  QVERIFY(writeTimedClip(_files.path("uneven.mp4"), 30, 6, jitter30, h264));
  QVERIFY(writeTimedClip(_files.path("uneven.mkv"), 30, 6, jitter30, h264));
  QVERIFY(writeTimedClip(_files.path("even.mp4"), 30, 6, {}, h264));
  QVERIFY(writeTimedClip(_files.path("even.mkv"), 30, 6, {}, h264));
  // Fast clips: a phone's near 60 fps with jitter, a screen recording stating 60 fps whose
  // pictures stay up to a quarter second, constant 60 fps, and ~24 fps with drops and jitter.
  QVERIFY(writeTimedClip(_files.path("phone60.mp4"), 60, 2, "settb=1/90000,setpts=(N*1001/60000+0.005*sin(N*1.7))/TB",
                         h264));
  QVERIFY(writeTimedClip(_files.path("screen60.mp4"), 60, 3,
                         "select='lt(mod(n,60),12)+eq(mod(n,60),13)+eq(mod(n,60),17)+eq(mod(n,60),30)+"
                         "eq(mod(n,60),31)+eq(mod(n,60),45)'",
                         h264));
  QVERIFY(writeTimedClip(_files.path("even60.mp4"), 60, 2, {}, h264));
  QVERIFY(writeTimedClip(_files.path("uneven24.mp4"), 28, 4,
                         "settb=1/90000,select='not(eq(mod(n,7),3))',setpts=PTS+0.008*sin(N*1.3)/TB", h264));
}

void TestVideoSegment::init()
{
  _composition = std::make_unique<AVComposition>(kWidth, kHeight, 44100, 2, nullptr);
  _renderer = std::make_unique<AVHeadlessRenderer>(_host.get(), _composition.get());
  QVERIFY(_renderer->isValid());
}

void TestVideoSegment::cleanup()
{
  if (_renderer) {
    // The layers' textures go on the thread and context that made them.
    _renderer->compose(-100);
    _renderer.reset();
  }
  _host->setComposition(nullptr);
  _composition.reset();
}

AVVideoSegment *TestVideoSegment::addVideo(const QString &file, double start, double rangeStart, double rangeDuration)
{
  auto *segment = new AVVideoSegment(start, rangeStart, rangeDuration, _files.path(file).toStdString(), kWidth, kHeight,
                                     kWidth, 36);
  segment->setId(_nextId);
  _composition->addSegment(segment, _nextId++);
  QElapsedTimer timer;
  timer.start();
  while (segment->loadError() == kAVLoadPending && timer.elapsed() < 10000)
    QThread::msleep(5);
  return segment;
}

// A render pass polls the status: once it reads "loaded" the whole file's segment has its length.
// Polled without pause, as a pass would meet it.
void TestVideoSegment::loadedMeansLengthKnown()
{
  for (int round = 0; round < 10; ++round) {
    auto *segment = new AVVideoSegment(0, _files.path("h264_25.mp4").toStdString(), kWidth, kHeight, kWidth, 36);
    segment->setId(_nextId);
    _composition->addSegment(segment, _nextId++);
    QElapsedTimer timer;
    timer.start();
    while (segment->loadError() == kAVLoadPending && timer.elapsed() < 10000)
      std::this_thread::yield();
    const double length = segment->duration();
    QCOMPARE(segment->loadError(), 0);
    QVERIFY2(qAbs(length - 4.0) < 0.05, qPrintable(QString("round %1: length %2").arg(round).arg(length)));
  }
}

bool TestVideoSegment::seekAndWait(double time)
{
  _composition->seek(time, true);
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 20000) {
    _renderer->compose(time);
    if (_composition->isReadyAt(time))
      return true;
    QThread::msleep(10);
  }
  return false;
}

int TestVideoSegment::indexAt(double time)
{
  return MediaFixtures::frameIndexOf(_renderer->compose(time, true));
}

int TestVideoSegment::previewIndexAt(double time, bool adaptive)
{
  _composition->update(time, true, false, 2, adaptive, false);
  return MediaFixtures::frameIndexOf(_renderer->readBack());
}

void TestVideoSegment::exportShowsEveryFrameInOrder_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("frames");
  QTest::addColumn<int>("step");
  QTest::newRow("h264 yuv420") << "h264_25.mp4" << 100 << 1;
  QTest::newRow("h264 50 fps") << "h264_50.mp4" << 50 << 2;
  QTest::newRow("vp9") << "vp9.webm" << 20 << 1;
  QTest::newRow("uyvy422") << "uyvy.nut" << 12 << 1;
  QTest::newRow("nv12") << "nv12.nut" << 12 << 1;
  QTest::newRow("yuv444 as bgra") << "yuv444.nut" << 12 << 1;
}

void TestVideoSegment::exportShowsEveryFrameInOrder()
{
  QFETCH(QString, file);
  QFETCH(int, frames);
  QFETCH(int, step);
  // Composed at 25 fps, as an export at that rate.
  _composition->setVideoFrameRate(25);
  AVVideoSegment *video = addVideo(file);
  QCOMPARE(video->loadError(), 0);
  QVERIFY(seekAndWait(0));
  // Some containers state one frame less than they hold; the layer ends with its duration.
  for (int k = 0; k < frames && k / 25.0 + 0.001 < video->duration(); ++k) {
    const int index = indexAt(k / 25.0 + 0.001);
    QVERIFY2(index == k * step, qPrintable(QString("at frame %1 the picture shows %2").arg(k).arg(index)));
  }
}

void TestVideoSegment::heldPictureDrawsOnlyItsOwnPlanes_data()
{
  QTest::addColumn<QString>("file");
  QTest::newRow("yuv420") << "h264_25.mp4";
  QTest::newRow("uyvy422") << "uyvy.nut";
  QTest::newRow("nv12") << "nv12.nut";
}

void TestVideoSegment::heldPictureDrawsOnlyItsOwnPlanes()
{
  // A picture uploaded by one compose and drawn again by the next must not depend on what the
  // upload left bound: other layers and passes rebind the texture units in between.
  QFETCH(QString, file);
  addVideo(file);
  QVERIFY(seekAndWait(0));
  QCOMPARE(indexAt(0.001), 0);
  makeRendererCurrent(_renderer->renderer());
  QOpenGLFunctions_3_2_Core *gl = avGL();
  QVERIFY(gl);
  for (GLenum unit = GL_TEXTURE0; unit <= GL_TEXTURE3; ++unit) {
    gl->glActiveTexture(unit);
    gl->glBindTexture(GL_TEXTURE_2D, 0);
  }
  doneRendererCurrent(_renderer->renderer());
  QCOMPARE(indexAt(0.001), 0);
}

void TestVideoSegment::planesDrawToTheRightEdge_data()
{
  QTest::addColumn<QString>("file");
  QTest::newRow("h264 yuv420p, rows padded") << "edge_h264.mp4";
  QTest::newRow("yuv420p of odd width") << "edge_420.nut";
  QTest::newRow("nv12 of odd width") << "edge_nv12.nut";
  QTest::newRow("mjpeg yuvj420p of odd width, rows padded") << "edge_j420.avi";
}

// The planes are read at the decoder's strides, whatever they are; the picture, stretched to the
// frame's width, shows its right edge up to the last column: nothing of the rows' padding or of a
// missing column.
void TestVideoSegment::planesDrawToTheRightEdge()
{
  QFETCH(QString, file);
  AVVideoSegment *video = addVideo(file);
  QCOMPARE(video->loadError(), 0);
  QVERIFY(seekAndWait(0));
  const QImage frame = _renderer->compose(0.01);
  QVERIFY(frame.pixelColor(kWidth / 2 - 8, kHeight / 2).red() > 200);
  const QColor inside = frame.pixelColor(kWidth - 12, kHeight / 2);
  QVERIFY(inside.red() > 200 && inside.green() > 200 && inside.blue() > 200);
  // Rows of the picture: 60 high at 100 or 101 wide fills about 96 rows in the middle.
  QString fault;
  for (int y = kHeight / 2 - 40; y < kHeight / 2 + 40 && fault.isEmpty(); ++y)
    for (int x = kWidth - 10; x < kWidth; ++x) {
      const QColor c = frame.pixelColor(x, y);
      if (qAbs(c.red() - inside.red()) > 6 || qAbs(c.green() - inside.green()) > 6 ||
          qAbs(c.blue() - inside.blue()) > 6)
        fault = QString("(%1, %2) is %3, inside %4").arg(x).arg(y).arg(c.name(), inside.name());
    }
  QVERIFY2(fault.isEmpty(), qPrintable(fault));
  // Chroma lines up with luma: between red and white every blend keeps full red, while a
  // chroma plane stretched a column past the luma gives a dark fringe where they meet.
  for (int x = 0; x < kWidth && fault.isEmpty(); ++x)
    if (frame.pixelColor(x, kHeight / 2).red() < 215)
      fault = QString("(%1, %2) is %3").arg(x).arg(kHeight / 2).arg(frame.pixelColor(x, kHeight / 2).name());
  QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestVideoSegment::staleFramesSkippedWhileExporting()
{
  // 50 fps, step 2: pictures more than 40 ms behind the export time are dropped one by one
  // until the right one comes.
  AVVideoSegment *video = addVideo("h264_50.mp4");
  QCOMPARE(video->stream()->frameStep(), 2);
  QVERIFY(seekAndWait(0));
  QCOMPARE(indexAt(0), 0);
  // Milliseconds are whole: at 1.005 frame 48 (0.96) is 45 ms old, at 1.001 only 40.
  QCOMPARE(indexAt(1.005), 50);
  QCOMPARE(indexAt(1.205), 60);
}

void TestVideoSegment::futureFrameHeldBackInPreview()
{
  AVVideoSegment *video = addVideo("h264_25.mp4");
  QVERIFY(seekAndWait(0));
  QCOMPARE(previewIndexAt(0.001), 0);
  QTRY_VERIFY_WITH_TIMEOUT(video->stream()->frameCount() > 0, 10000);
  // Frame 1 belongs to 40 ms: at 20 ms it waits, at 41 ms it shows without another decode.
  QCOMPARE(previewIndexAt(0.02), 0);
  QCOMPARE(video->stream()->frameCount() <= 2, true);
  QCOMPARE(previewIndexAt(0.041), 1);
  QCOMPARE(video->shownFrameTime(), 40u);
}

void TestVideoSegment::firstFrameAfterSeekShownEvenIfLater()
{
  AVVideoSegment *video = addVideo("h264_25.mp4");
  QVERIFY(seekAndWait(0));
  previewIndexAt(0.001);
  // Awake: the seek is a just-sought one, whose first picture shows whatever the clock says.
  video->seek(2.0, true);
  QTRY_VERIFY_WITH_TIMEOUT(video->isReady(), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(video->stream()->frameCount() > 0, 10000);
  QCOMPARE(previewIndexAt(0.5), 50);
  // A non-exact seek while the first is still waiting for its picture is ignored.
  video->seek(3.0, true);
  video->seek(1.0, false);
  QTRY_VERIFY_WITH_TIMEOUT(video->isReady(), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(video->stream()->frameCount() > 0, 10000);
  QCOMPARE(previewIndexAt(0.5), 75);
}

void TestVideoSegment::discardFactorFollowsLateness()
{
  AVVideoSegment *video = addVideo("h264_25.mp4");
  AVVideoStream *stream = video->stream();
  QVERIFY(seekAndWait(0));
  QCOMPARE(previewIndexAt(0.001), 0);
  // Pictures 2 and 3 shown 1.3 times later than their time (the next not yet due: a later one
  // would be shown instead), then on time: ten measured with a worst of 1.3 give factor 3. The
  // first may be the one held since 0.001 s (when the seek already showed picture 0), and a held
  // picture is not measured: one more. When none was held the factor rises at the tenth, and a
  // decoder not yet past the eleventh skips it: picture 10 stays.
  for (int k = 1; k <= 11; ++k) {
    QTRY_VERIFY_WITH_TIMEOUT(stream->frameCount() > 0, 10000);
    const int shown = previewIndexAt(k <= 3 ? 1.3 * k / 25.0 : k / 25.0 + 0.001);
    if (k < 11)
      QCOMPARE(shown, k);
    else
      QVERIFY2(shown == k || shown == k - 1, qPrintable(QString("picture %1 shown for %2").arg(shown).arg(k)));
  }
  QCOMPARE(stream->discardFactor(), 3);
  QCOMPARE(stream->frameStep(), 3);
  // Pictures on time again (once the queued step-1 ones are through): back to 1.
  for (int shown = 0; shown < 25 && stream->discardFactor() != 1; ++shown) {
    QTRY_VERIFY_WITH_TIMEOUT(stream->frameCount() > 0, 10000);
    const double next = video->shownFrameTime() / 1000.0 + 3 / 25.0;
    previewIndexAt(next * 1.02);
  }
  QCOMPARE(stream->discardFactor(), 1);
  // A seek resets a raised factor at its first picture.
  stream->setDiscardFactor(4);
  video->seek(1.0, true);
  QTRY_VERIFY_WITH_TIMEOUT(video->isReady(), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(stream->frameCount() > 0, 10000);
  QCOMPARE(previewIndexAt(1.001), 25);
  QCOMPARE(stream->discardFactor(), 1);
}

void TestVideoSegment::seekAtEndStillMakesReady()
{
  AVVideoSegment *video = addVideo("h264_25.mp4");
  QVERIFY(seekAndWait(0));
  video->seek(30.0, true);
  QVERIFY(!video->isReady());
  QTRY_VERIFY_WITH_TIMEOUT(video->isReady(), 5000);
}

void TestVideoSegment::rangeStartAndStretch()
{
  AVVideoSegment *video = addVideo("h264_25.mp4", 0, 1.0, 2.0);
  QCOMPARE(video->duration(), 2.0);
  QVERIFY(seekAndWait(0));
  QCOMPARE(indexAt(0.001), 25);
  QCOMPARE(indexAt(0.501), 37);
  // Twice as long on the timeline: half speed.
  video->setDuration(4.0);
  QCOMPARE(video->stretch(), 2.0);
  _composition->updateDuration();
  QVERIFY(seekAndWait(0));
  QCOMPARE(indexAt(0.001), 25);
  QCOMPARE(indexAt(1.001), 37);
  QCOMPARE(indexAt(2.011), 50);
  // The range start is kept inside the range.
  video->setRangeStart(2.0);
  QCOMPARE(video->rangeStart(), 2.0);
  QVERIFY(seekAndWait(0));
  QCOMPARE(indexAt(0.001), 50);
  video->setRangeStart(9.0);
  QCOMPARE(video->rangeStart(), 4.0);
  video->setRangeStart(-1.0);
  QCOMPARE(video->rangeStart(), 0.0);
}

// A screen recording's pictures 2.0 and 3.0 s with none between, trimmed at 2.6 s: the 2.0 s
// picture shows until the 3.0 s one is due.
void TestVideoSegment::trimInsideGapShowsThePictureBefore()
{
  const QString gap = _files.path("gap.mp4");
  QVERIFY(FfmpegCli::run({"-i", _files.path("h264_25.mp4"), "-vf", "select='not(between(n,51,74))'", "-vsync",
                          "passthrough", "-c:v", "libx264", "-qp", "0", gap}));
  addVideo("gap.mp4", 0, 2.6, 1.0);
  QVERIFY(seekAndWait(0));
  QStringList wrong;
  for (const auto &[time, index] : {std::pair{0.0, 50}, {0.2, 50}, {0.36, 50}, {0.4, 75}, {0.44, 76}}) {
    const int shown = indexAt(time);
    if (shown != index)
      wrong << QString("%1 s: %2 for %3").arg(2.6 + time).arg(shown).arg(index);
  }
  QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
}

void TestVideoSegment::thumbnailsReportedAfterTheLast()
{
  ThumbnailsSeen seen;
  auto *video = new AVVideoSegment(0, _files.path("h264_25.mp4").toStdString(), kWidth, kHeight, kWidth, 36);
  video->setThumbnailsCallback(thumbnailsReady, &seen);
  _composition->addSegment(video, 1);
  // The list is read here while the loading thread fills it.
  QElapsedTimer timer;
  timer.start();
  while (seen.calls == 0 && timer.elapsed() < 10000) {
    for (int i = 0; i < video->thumbnailCount(); ++i)
      QVERIFY(video->thumbnail(i));
  }
  QCOMPARE(seen.calls.load(), 1);
  QCOMPARE(seen.countAtCall.load(), AVVideoSegment::kThumbnailCount);
  // 320 x 240 fitted into 64 x 36.
  QCOMPARE(video->thumbnail(15)->width, 48u);
  QCOMPARE(video->thumbnail(15)->height, 36u);
  QVERIFY(!video->thumbnail(16));
  QVERIFY(!video->thumbnail(-1));
  video->releaseThumbnails();
  QCOMPARE(video->thumbnailCount(), 0);
}

void TestVideoSegment::failedLoadIsReadyWithoutPicture()
{
  AVVideoSegment *video = addVideo("garbage.mov");
  QCOMPARE(video->loadError(), int(kAVOpenInputFailed));
  QVERIFY(video->isReady());
  _composition->setBackgroundColor(makeVec4Opaque(0, 0, 1));
  const QImage frame = _renderer->compose(0.5, true);
  QCOMPARE(frame.pixelColor(kWidth / 2, kHeight / 2), QColor(0, 0, 255));
  int w = -1, h = -1;
  video->videoSize(&w, &h);
  QCOMPARE(w, 0);
  QCOMPARE(video->mediaDuration(), 0.0);
}

void TestVideoSegment::destroyedWhileLoading()
{
  // The loading thread calls back into the segment (thumbnails, the opened report); destroying
  // the segment meanwhile waits for it.
  static std::atomic<int> reports{0};
  for (int i = 0; i < 6; ++i) {
    auto *video = new AVVideoSegment(0, _files.path("h264_25.mp4").toStdString(), kWidth, kHeight, kWidth, 36);
    video->setListener([](AVSegment *, int, void *) { ++reports; }, nullptr);
    QThread::msleep(unsigned(i * 4));
    delete video;
  }
  QCOMPARE(reports.load(), 6);
}

void TestVideoSegment::frameAtTimeAndExportRate()
{
  AVVideoSegment *video = addVideo("h264_25.mp4", 0, 1.0, 2.0);
  uint32_t size = 0;
  int w = 0, h = 0;
  double when = -1;
  uint8_t *picture = video->frameAtTime(0.5, true, &size, &w, &h, &when);
  QVERIFY(picture);
  QCOMPARE(QSize(w, h), QSize(320, 240));
  QCOMPARE(frameIndexOfBgra(picture, w, h), 37);
  QVERIFY(qAbs(when - 1.48) < 1e-6);
  free(picture);

  // The exporter hands its frame rate to the video layers as their delivered maximum.
  AVVideoSegment *fast = addVideo("h264_120.mp4");
  QCOMPARE(fast->stream()->frameStep(), 4);
  _composition->setVideoFrameRate(60);
  QCOMPARE(fast->stream()->frameStep(), 2);
  _composition->setVideoFrameRate(30);
  QCOMPARE(fast->stream()->frameStep(), 4);
}

void TestVideoSegment::rotatedClipStandsUpright()
{
  // A 320 x 240 clip to be shown a quarter turn clockwise: 240 x 320 upright, fitted into the
  // 160 x 120 frame as 90 x 120 in the middle, its red top-left quadrant now top right.
  AVVideoSegment *video = addVideo("rotated.mp4");
  QCOMPARE(video->pictureRotation(), 90);
  QVERIFY(seekAndWait(0));
  const QImage frame = _renderer->compose(0.1, true);
  auto near = [&](int x, int y, QColor expected) {
    const QColor c = frame.pixelColor(x, y);
    return qAbs(c.red() - expected.red()) < 40 && qAbs(c.green() - expected.green()) < 40 &&
           qAbs(c.blue() - expected.blue()) < 40;
  };
  QVERIFY(near(103, 30, Qt::red));
  QVERIFY(near(57, 30, Qt::blue));
  QVERIFY(near(103, 90, Qt::green));
  QVERIFY(near(57, 90, Qt::white));
  QVERIFY(near(20, 60, Qt::black));
  QVERIFY(near(140, 60, Qt::black));
}

void TestVideoSegment::exportedMovieKeepsEveryFrame_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("step");
  QTest::newRow("25 fps") << "h264_25.mp4" << 1;
  QTest::newRow("50 fps at 25") << "h264_50.mp4" << 2;
  QTest::newRow("nv12") << "nv12.nut" << 1;
}

void TestVideoSegment::exportedMovieKeepsEveryFrame()
{
  QFETCH(QString, file);
  QFETCH(int, step);
  // The export draws on a context of its own.
  _renderer.reset();
  _host->setComposition(_composition.get());
  AVVideoSegment *video = addVideo(file);
  QCOMPARE(video->loadError(), 0);
  const int frames = int(video->duration() * 25 + 0.5);
  const QString path = _files.path("export.mp4");
  AVExporter exporter(kWidth, kHeight, 4000000, 25, 0, false, 44100, 2, 128000, 0, path.toUtf8().constData(),
                      nullptr);
  exporter.setComposition(_composition.get());
  exporter.setGLHost(_host.get());
  _host->setExportOwner(exporter.contextOwner());
  exporter.start();
  exporter.wait();
  _host->setExportOwner(nullptr);
  const MediaFixtures::DecodedVideo movie = MediaFixtures::decodeVideo(path);
  QVERIFY2(movie.ok, qPrintable(MediaFixtures::lastError()));
  // Every frame, the last one too (an edit list that ends where it starts would hide it).
  QCOMPARE(movie.frames.size(), frames);
  for (int k = 0; k < movie.frames.size(); ++k) {
    const int index = MediaFixtures::frameIndexOf(movie.frames[k]);
    QVERIFY2(index == k * step, qPrintable(QString("exported frame %1 shows %2").arg(k).arg(index)));
  }
}

void TestVideoSegment::newestFrameDueShown_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<double>("start");
  QTest::addColumn<double>("rangeStart");
  QTest::addColumn<double>("rangeLength");
  // On the timeline; with the range's length it gives the stretch. 0: the range's own.
  QTest::addColumn<double>("length");
  QTest::addColumn<int>("rate");
  QTest::addColumn<bool>("exporting");
  // Starts spread evenly over one output frame from `start`, each placed and played in turn.
  QTest::addColumn<int>("starts");
  QTest::newRow("uneven mp4, export") << "uneven.mp4" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << true << 1;
  QTest::newRow("uneven mkv, export") << "uneven.mkv" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << true << 1;
  QTest::newRow("uneven mp4 starting at 0.729 s, export")
      << "uneven.mp4" << 0.729 << 0.0 << 0.0 << 0.0 << 30 << true << 1;
  QTest::newRow("even mp4, export") << "even.mp4" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << true << 1;
  QTest::newRow("uneven mp4, playback") << "uneven.mp4" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << false << 1;
  QTest::newRow("uneven mkv starting at 0.729 s, playback")
      << "uneven.mkv" << 0.729 << 0.0 << 0.0 << 0.0 << 30 << false << 1;
  QTest::newRow("even mp4, playback") << "even.mp4" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << false << 1;
  // Constant rates at their own rate or a whole part of it: each picture once, on its output.
  QTest::newRow("25 fps at 25 from 1 s, export") << "h264_25.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 25 << true << 1;
  QTest::newRow("25 fps at 25 from 2 s, export") << "h264_25.mp4" << 2.0 << 0.0 << 0.0 << 0.0 << 25 << true << 1;
  QTest::newRow("25 fps at 25 from 1 s, range from 0.52 s, export")
      << "h264_25.mp4" << 1.0 << 0.52 << 2.0 << 0.0 << 25 << true << 1;
  QTest::newRow("25 fps at half speed from 1 s, export")
      << "h264_25.mp4" << 1.0 << 0.0 << 2.0 << 4.0 << 25 << true << 1;
  QTest::newRow("25 fps at double speed from 1 s, export")
      << "h264_25.mp4" << 1.0 << 0.0 << 4.0 << 2.0 << 25 << true << 1;
  QTest::newRow("50 fps at 25 from 2 s, export") << "h264_50.mp4" << 2.0 << 0.0 << 0.0 << 0.0 << 25 << true << 1;
  QTest::newRow("30 fps at 15 from 1 s, export") << "even.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 15 << true << 1;
  // A millisecond clock stamps the pictures up to half a millisecond off their time.
  QTest::newRow("30 fps mkv at 30, export") << "even.mkv" << 0.0 << 0.0 << 0.0 << 0.0 << 30 << true << 1;
  QTest::newRow("25 fps at 25 from 1 s, playback") << "h264_25.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 25 << false << 1;
  // Fast clips are thinned to the outputs, wherever the clip starts between them.
  QTest::newRow("phone 60 fps at 30, export") << "phone60.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 30 << true << 8;
  QTest::newRow("phone 60 fps at double speed at 25, export")
      << "phone60.mp4" << 1.0 << 0.0 << 2.0 << 1.0 << 25 << true << 8;
  QTest::newRow("60 fps at 30, export") << "even60.mp4" << 2.0 << 0.0 << 0.0 << 0.0 << 30 << true << 8;
  QTest::newRow("screen recording at 30, export") << "screen60.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 30 << true << 8;
  QTest::newRow("uneven 24 fps at double speed at 30, export")
      << "uneven24.mp4" << 1.0 << 0.0 << 4.0 << 2.0 << 30 << true << 8;
  QTest::newRow("50 fps at 60, export") << "h264_50.mp4" << 1.0 << 0.0 << 0.0 << 0.0 << 60 << true << 8;
  QTest::newRow("phone 60 fps from 0.725 s, playback")
      << "phone60.mp4" << 0.725 << 0.0 << 0.0 << 0.0 << 30 << false << 1;
}

// At each output time the picture is the newest one whose time has come: with uneven times two
// may have come since the last output, and the older one must give way; at a constant rate each
// comes on its own output. Playback takes only what is queued, so each of its passes runs once
// the queue is full.
void TestVideoSegment::newestFrameDueShown()
{
  QFETCH(QString, file);
  QFETCH(double, start);
  QFETCH(double, rangeStart);
  QFETCH(double, rangeLength);
  QFETCH(double, length);
  QFETCH(int, rate);
  QFETCH(bool, exporting);
  QFETCH(int, starts);
  const Stamps stamps = frameStamps(_files.path(file));
  QVERIFY(stamps.ticks.size() >= 50 && stamps.num > 0 && stamps.den > 0);
  // The colour code of each picture in turn: clips with dropped pictures skip codes.
  const MediaFixtures::DecodedVideo pictures = MediaFixtures::decodeVideo(_files.path(file));
  QCOMPARE(pictures.frames.size(), stamps.ticks.size());
  QVector<int> codes;
  for (const QImage &picture : pictures.frames)
    codes << MediaFixtures::frameIndexOf(picture);
  // A background no picture's code reads as.
  _composition->setBackgroundColor(makeVec4Opaque(0.1f, 0.1f, 0.1f));
  // As the exporter or the preview composes.
  _composition->setVideoFrameRate(rate);
  const auto us = [](double seconds) { return qint64(std::llround(seconds * 1e6)); };
  QStringList wrong;
  int outputs = 0;
  for (int p = 0; p < starts; ++p) {
    const qint64 startUs = us(start + p / (8.0 * rate));
    AVVideoSegment *video = addVideo(file, startUs / 1e6, rangeStart, rangeLength);
    QCOMPARE(video->loadError(), 0);
    if (length > 0) {
      video->setDuration(length);
      _composition->updateDuration();
    }
    AVVideoStream *stream = video->stream();
    // Pictures converted as the exporter has them.
    _composition->setVideoPlanesAsBGRA(exporting);
    // As the export starts: the layer is sought to its beginning before its time comes.
    QVERIFY(seekAndWait(0));
    const qint64 timelineUs = us(video->duration()), rangeUs = us(video->duration() / video->stretch());
    const int first = int(std::ceil(startUs * 1e-6 * rate - 1e-9)), before = outputs;
    for (int k = first; k / double(rate) < startUs * 1e-6 + video->duration(); ++k, ++outputs) {
      // As the exporter reckons an output's time.
      const double t = k / double(rate);
      const int due = codes.value(dueIndex(stamps, k, rate, startUs, us(rangeStart), timelineUs, rangeUs), -1);
      // As the exporter, each output waits until the layer is ready (a pass wakes it at its start).
      const auto ready = [&] {
        return _composition->isReadyAt(t) || (_composition->update(t, false, exporting, 2, false, exporting), false);
      };
      QTRY_VERIFY_WITH_TIMEOUT(ready(), 10000);
      if (!exporting)
        QTRY_VERIFY_WITH_TIMEOUT(stream->frameCount() >= 2 || stream->isDecodeEnded(), 10000);
      // The discard factor's thinning answers a slow decoder, which this one is not.
      const int shown = exporting ? indexAt(t) : previewIndexAt(t, false);
      if (shown != due)
        wrong << QString("%1 from %2 s: %3 for %4").arg(k).arg(startUs * 1e-6).arg(shown).arg(due);
    }
    QVERIFY(outputs - before >= int(video->duration() * rate) - 1);
    _composition->removeSegment(video->id());
  }
  QVERIFY2(wrong.isEmpty(), qPrintable(QString("%1 of %2 outputs (output: shown for due): %3")
                                           .arg(wrong.size())
                                           .arg(outputs)
                                           .arg(wrong.mid(0, 12).join(", "))));
}

TAVO_TEST_GUI_MAIN(TestVideoSegment)
#include "tst_videosegment.moc"
