// The playback controller on the null sound sink: status codes of play, pause, steps and seeks,
// the end reported once, the clock following wall time, the sound output's device order, and
// the facade's playback entries; on the real device, that it is driven only from the thread
// that owns it. Timing checks are loose: the machine is shared.
#include "testenv.h"

#include "avaudiosink.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avrender.h"
#include "avsoundoutput.h"
#include "fakesegments.h"
#include "testsounds.h"
#include "avvideosegment.h"
#include "avvideostream.h"
#include "mediafixtures.h"
#include "videofixtures.h"

#include <QTemporaryDir>

#include <QElapsedTimer>
#include <QMutex>
#include <QScopeGuard>
#include "avcommon.h"
#include <QVector>
#include <memory>

namespace {
constexpr int kRate = 44100;
std::atomic<AVNullAudioSink *> g_sink{nullptr};

AVAudioSink *nullSink(int rate, int channels)
{
  auto *sink = new AVNullAudioSink(rate, channels);
  g_sink = sink;
  return sink;
}

struct Codes
{
  AVMutex lock;
  QVector<int> codes;
  // A deep copy: the shared data of an implicit copy would be read outside the lock.
  QVector<int> all()
  {
    AVMutexLocker locker(&lock);
    QVector<int> copy(codes.size());
    std::copy(codes.cbegin(), codes.cend(), copy.begin());
    return copy;
  }
  int count(int code) { return all().count(code); }
  void clear()
  {
    AVMutexLocker locker(&lock);
    codes.clear();
  }
};

void record(AVRender *, int code, double, void *user)
{
  auto *codes = static_cast<Codes *>(user);
  AVMutexLocker locker(&codes->lock);
  codes->codes.append(code);
}
} // namespace

class TestPlayback : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void playThenPauseFollowsWallTime();
  void endIsReportedOnceAndClamped();
  void seekClampsAndStepComposesOneFrame();
  void workGivenIsNotIdle_data();
  void workGivenIsNotIdle();
  void layerLoadedWhilePausedIsComposed();
  void layersReadyTogetherShareOneFrame_data();
  void layersReadyTogetherShareOneFrame();
  void soundOutputFollowsPlayPauseAndSeek();
  void noMixedSoundParksTheFeeder();
  void lateMixWakesTheFeeder_data();
  void lateMixWakesTheFeeder();
  void withoutCompositionTheFlagStillFlips();
  void facadeSeekWhilePlayingLeavesItPaused();
  void stopEndsThreadsAndStartMakesNewOnes();
  void slowComposingRaisesTheDiscardFactor();
  void nullSinkDrainsInRealTimeAndReportsUnderrun();
  void deviceIsDrivenFromItsOwnThread();

private:
  void waitIdle();
  void add(AVSegment *segment, uint32_t id)
  {
    segment->setId(id);
    _composition->addSegment(segment, id);
  }

  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVRender> _render;
  Codes _codes;
};

void TestPlayback::initTestCase()
{
  setAudioSinkFactory(nullSink);
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY(_host->isValid());
}

void TestPlayback::init()
{
  _codes.clear();
  _composition = std::make_unique<AVComposition>(64, 36, kRate, 2, nullptr);
  add(new FakeLayer(0, 10), 1);
  add(new ConstantSound(0, 10, 1000), 2);
  _composition->updateDuration();
  _render = std::make_unique<AVRender>(nullptr, 64, 36);
  _render->setGLHost(_host.get());
  _host->setComposition(_composition.get());
  _host->setPlaybackOwner(_render->contextOwner());
  _render->setComposition(_composition.get());
  _render->setCallback(record, &_codes);
  _render->start();
  _render->step(1);
  QTRY_VERIFY_WITH_TIMEOUT(_render->renderer() != nullptr, 10000);
  waitIdle();
}

void TestPlayback::cleanup()
{
  _render->pause();
  QCOMPARE(_render->stop(), 0);
  _render->setComposition(nullptr);
  _render.reset();
  _host->setPlaybackOwner(nullptr);
  _composition.reset();
}

void TestPlayback::waitIdle()
{
  AVEngine engine(_composition.get(), nullptr, _render.get());
  // Generous: under the race checker a step of both threads takes many times longer.
  QTRY_VERIFY_WITH_TIMEOUT(engine.isIdle(), 30000);
}

void TestPlayback::playThenPauseFollowsWallTime()
{
  _render->seek(3.0, true);
  waitIdle();
  _codes.clear();
  QElapsedTimer wall;
  wall.start();
  _render->play();
  QTest::qWait(1000);
  _render->pause();
  const double played = _render->currentTime() - 3.0;
  const double elapsed = wall.elapsed() / 1000.0;
  QVERIFY2(played > 0.5 && played <= elapsed + 0.05, qPrintable(QString("%1 of %2").arg(played).arg(elapsed)));
  const QVector<int> codes = _codes.all();
  QCOMPARE(codes.first(), int(kAVRenderPlaying));
  QCOMPARE(codes.count(kAVRenderPaused), 1);
  QVERIFY(codes.count(kAVRenderTime) > 3);
  QCOMPARE(codes.count(kAVRenderEnd), 0);
  // Paused: the clock stands still.
  const double stopped = _render->currentTime();
  QTest::qWait(200);
  QCOMPARE(_render->currentTime(), stopped);
}

void TestPlayback::endIsReportedOnceAndClamped()
{
  _render->seek(9.7, true);
  waitIdle();
  _codes.clear();
  _render->play();
  QTRY_VERIFY_WITH_TIMEOUT(_codes.count(kAVRenderEnd) == 1, 10000);
  QTest::qWait(300);
  const QVector<int> codes = _codes.all();
  QCOMPARE(codes.count(kAVRenderEnd), 1);
  QCOMPARE(codes.count(kAVRenderPaused), 1);
  const int end = codes.indexOf(kAVRenderEnd);
  QCOMPARE(codes[end - 1], int(kAVRenderPaused));
  QCOMPARE(codes[end - 2], int(kAVRenderTime));
  QVERIFY(!_render->isPlaying());
  QCOMPARE(_render->currentTime(), 10.0);
}

void TestPlayback::seekClampsAndStepComposesOneFrame()
{
  _render->seek(-1, true);
  QCOMPARE(_render->currentTime(), 0.0);
  _render->seek(12, false);
  QCOMPARE(_render->currentTime(), 10.0);
  QTRY_VERIFY_WITH_TIMEOUT(_codes.count(kAVRenderTime) >= 2, 5000);
  waitIdle();
  QTest::qWait(50);
  const int before = _render->composedFrames();
  _codes.clear();
  _render->step(1);
  QTRY_COMPARE_WITH_TIMEOUT(_render->composedFrames(), before + 1, 5000);
  QTest::qWait(100);
  QCOMPARE(_render->composedFrames(), before + 1);
  QCOMPARE(_codes.all(), QVector<int>{kAVRenderTime});
  QCOMPARE(_render->currentTime(), 10.0);
}

// Undo waits for idle threads before it changes the composition: a thread woken for a step or
// for play is busy from that call on, not only once it has run again.
void TestPlayback::workGivenIsNotIdle_data()
{
  QTest::addColumn<QString>("call");
  QTest::newRow("step") << "step";
  QTest::newRow("seek") << "seek";
  QTest::newRow("play") << "play";
  QTest::newRow("play taken back") << "play, pause";
}

void TestPlayback::workGivenIsNotIdle()
{
  QFETCH(QString, call);
  AVEngine engine(_composition.get(), nullptr, _render.get());
  waitIdle();
  if (call == "step")
    _render->step(1);
  else if (call == "seek")
    _render->seek(2.0, true);
  else
    _render->play();
  // Woken for a play that is taken back before it runs, a thread parks again.
  if (call == "play, pause")
    _render->pause();
  else
    QVERIFY(!engine.isIdle());
  _render->pause();
  waitIdle();
}

void TestPlayback::layerLoadedWhilePausedIsComposed()
{
  QTest::qWait(50);
  const int before = _render->composedFrames();
  // The composition's listeners hear of a layer whose loading finished.
  auto *layer = new FakeLayer(0, 5);
  add(layer, 3);
  layer->setLoadError(kAVLoadOk);
  compositionSegmentListener(layer, 0, _composition.get());
  QTRY_VERIFY_WITH_TIMEOUT(_render->composedFrames() > before, 5000);
}

void TestPlayback::layersReadyTogetherShareOneFrame_data()
{
  QTest::addColumn<int>("layers");
  QTest::addColumn<int>("mostFrames");
  QTest::newRow("one layer") << 1 << 1;
  // One frame may already have started on the first report; the next shows all the others.
  QTest::newRow("a project's worth") << 12 << 2;
}

void TestPlayback::layersReadyTogetherShareOneFrame()
{
  QFETCH(int, layers);
  QFETCH(int, mostFrames);
  waitIdle();
  const int before = _render->composedFrames();
  {
    // Held, the video thread cannot finish a frame while the reports come in.
    _render->lockRenderer();
    auto release = qScopeGuard([this] { _render->unlockRenderer(); });
    for (int i = 0; i < layers; ++i) {
      auto *layer = new FakeLayer(0, 5);
      add(layer, uint32_t(10 + i));
      layer->setLoadError(kAVLoadOk);
      compositionSegmentListener(layer, 0, _composition.get());
    }
  }
  QTRY_VERIFY_WITH_TIMEOUT(_render->composedFrames() > before, 5000);
  waitIdle();
  QTest::qWait(100);
  waitIdle();
  const int frames = _render->composedFrames() - before;
  QVERIFY2(frames <= mostFrames, qPrintable(QString::number(frames)));
}

void TestPlayback::soundOutputFollowsPlayPauseAndSeek()
{
  _render->play();
  AVNullAudioSink *sink = g_sink;
  QVERIFY(sink);
  QCOMPARE(_render->soundOutput()->readBufferSize(), kRate * 2 * 2);
  QTRY_VERIFY_WITH_TIMEOUT(sink->bytesPlayed() > kRate, 5000);
  _render->pause();
  _render->play(); // waits for the queued pause before resuming
  QTest::qWait(100);
  _render->pause();
  AVEngine engine(_composition.get(), nullptr, _render.get());
  engine.seek(1.0, false); // stop and reset
  engine.seek(2.0, true);  // started again, suspended
  QTRY_VERIFY_WITH_TIMEOUT(sink->history().endsWith("Sis"), 5000);
  const QByteArray history = sink->history();
  // Created suspended; played; paused; resumed; paused; stopped; started and suspended.
  QVERIFY2(history.startsWith("is"), history.constData());
  QVERIFY2(history.contains("sa") && history.contains("as"), history.constData());
  const int64_t written = sink->bytesWritten();
  QTest::qWait(150);
  QCOMPARE(sink->bytesWritten(), written);
}

void TestPlayback::noMixedSoundParksTheFeeder()
{
  // Past the composition's end nothing more is mixed: the feeder logs it and parks.
  _render->seek(9.8, true);
  waitIdle();
  _render->play();
  QTRY_VERIFY_WITH_TIMEOUT(_codes.count(kAVRenderEnd) == 1, 5000);
  QTRY_VERIFY_WITH_TIMEOUT(_render->soundOutput()->starvations() >= 1, 5000);
  const int starved = _render->soundOutput()->starvations();
  const int64_t written = g_sink.load()->bytesWritten();
  QTest::qWait(200);
  QCOMPARE(_render->soundOutput()->starvations(), starved);
  QCOMPARE(g_sink.load()->bytesWritten(), written);
}

void TestPlayback::lateMixWakesTheFeeder_data()
{
  QTest::addColumn<int>("passesBefore");
  QTest::newRow("late from the start") << 0;
  QTest::newRow("late after a pass") << 1;
}

void TestPlayback::lateMixWakesTheFeeder()
{
  QFETCH(int, passesBefore);
  // The test is the mixer: nothing is mixed unless it mixes a pass. Only sound is mixed, never
  // a frame composed: the playback's renderer just marks rendering as begun.
  AVComposition composition(64, 36, kRate, 2, _render->renderer());
  composition.addSegment(new ConstantSound(0, 10, 1000), 1);
  composition.updateDuration();
  AVSoundOutput output(&composition, kRate, 2);
  AVNullAudioSink *sink = g_sink;
  auto mixPass = [&composition] {
    composition.update(composition.mixWindowStart() / double(kRate), true, false, 1, true, false);
  };
  int64_t mixed = 0;
  for (int i = 0; i < passesBefore; ++i) {
    mixPass();
    mixed += composition.mixedLength(); // the device is suspended: nothing is read yet
  }
  output.start();
  // Held: the feeder has played all there was and waits.
  QTRY_VERIFY_WITH_TIMEOUT(output.starvations() >= 1 && output.isParked(), 5000);
  QCOMPARE(sink->bytesWritten(), mixed);
  // Released: the next pass reaches the device without another play.
  mixPass();
  QTRY_VERIFY_WITH_TIMEOUT(sink->bytesWritten() > mixed, 5000);
}

void TestPlayback::withoutCompositionTheFlagStillFlips()
{
  AVRender render(nullptr, 16, 16);
  Codes codes;
  render.setCallback(record, &codes);
  render.start();
  render.play();
  QTRY_VERIFY_WITH_TIMEOUT(codes.count(kAVRenderEnd) == 1, 5000);
  QTest::qWait(100);
  QCOMPARE(codes.count(kAVRenderEnd), 1);
  QCOMPARE(codes.all().first(), int(kAVRenderPlaying));
  QVERIFY(!render.isPlaying());
  // Played again, the empty movie may reach its end on the video thread before pause() runs,
  // so only the order of the two codes is fixed, not what comes between them.
  const int before = codes.all().size();
  render.play();
  render.pause();
  const QVector<int> after = codes.all().mid(before);
  const int playing = after.indexOf(kAVRenderPlaying);
  QVERIFY2(playing >= 0 && after.indexOf(kAVRenderPaused, playing) > playing, qPrintable(QString::number(after.size())));
  QVERIFY(!render.isPlaying());
  QCOMPARE(render.stop(), 0);
}

void TestPlayback::facadeSeekWhilePlayingLeavesItPaused()
{
  AVEngine none(_composition.get(), nullptr, nullptr);
  QCOMPARE(none.currentTime(), 0.0f);
  QVERIFY(none.isIdle());
  none.togglePlayPause(); // nothing to do, no crash
  AVEngine engine(_composition.get(), nullptr, _render.get());
  engine.togglePlayPause();
  QVERIFY(_render->isPlaying());
  QTest::qWait(100);
  engine.seek(4.0f, true);
  QVERIFY(!_render->isPlaying());
  QTest::qWait(100);
  QCOMPARE(engine.currentTime(), 4.0f);
  engine.refresh();
  waitIdle();
  QCOMPARE(engine.currentTime(), 4.0f);
}

void TestPlayback::stopEndsThreadsAndStartMakesNewOnes()
{
  _render->start(); // running threads are kept
  QCOMPARE(_render->stop(), 0);
  QVERIFY(!_render->renderer());
  QVERIFY(!_render->soundOutput());
  _render->start();
  _render->step(1);
  QTRY_VERIFY_WITH_TIMEOUT(_render->renderer() != nullptr, 10000);
  waitIdle();
  _render->play();
  QTRY_VERIFY_WITH_TIMEOUT(_render->currentTime() > 0.1, 5000);
}

namespace {
// A layer that takes its time on every frame, as a heavy effect would.
class SlowLayer : public FakeLayer
{
public:
  using FakeLayer::FakeLayer;
  void update(double time, bool pass, bool playing) override
  {
    QThread::msleep(120);
    FakeLayer::update(time, pass, playing);
  }
};
} // namespace

void TestPlayback::slowComposingRaisesTheDiscardFactor()
{
  QTemporaryDir dir;
  const QString path = dir.filePath("clip.mp4");
  QVERIFY(MediaFixtures::writeColorVideo(path, VideoFixtures::params(30, 150, MediaFixtures::VideoCodec::H264, 160,
                                                                      90, 30)));
  AVEngine engine(_composition.get(), nullptr, _render.get());
  engine.addVideoSegment(5, path.toUtf8().constData(), 0, 0, 0, 36, true);
  auto *video = static_cast<AVVideoSegment *>(_composition->findSegment(5));
  QTRY_VERIFY_WITH_TIMEOUT(video->loadError() == 0 && video->isReady(), 10000);
  add(new SlowLayer(0, 10), 6);
  engine.seek(0, true);
  waitIdle();
  QCOMPARE(video->stream()->discardFactor(), 1);
  _render->play();
  // Frames a tenth of a second apart against 30 a second: the decoder is told to thin.
  QTRY_VERIFY_WITH_TIMEOUT(video->stream()->discardFactor() > 1, 8000);
  _render->pause();
}

void TestPlayback::nullSinkDrainsInRealTimeAndReportsUnderrun()
{
  AVNullAudioSink sink(kRate, 2, 20, 4);
  const int period = sink.periodSize();
  QCOMPARE(period, kRate * 4 / 50);
  QCOMPARE(sink.bytesFree(), 0); // stopped
  QVERIFY(sink.start());
  const QByteArray bytes(period * 3, '\0');
  QCOMPARE(sink.write(bytes.constData(), bytes.size()), 3 * period);
  QCOMPARE(sink.state(), QAudio::ActiveState);
  // Full: only one more period fits.
  QCOMPARE(sink.write(bytes.constData(), bytes.size()), period);
  sink.suspend();
  const int64_t before = sink.bytesPlayed();
  QTest::qWait(120);
  QCOMPARE(sink.bytesPlayed(), before); // nothing plays while suspended
  sink.resume();
  QTRY_COMPARE_WITH_TIMEOUT(sink.state(), QAudio::IdleState, 2000);
  QCOMPARE(sink.error(), QAudio::UnderrunError);
  QCOMPARE(sink.underruns(), 1);
  QCOMPARE(sink.bytesPlayed(), int64_t(4 * period));
  QCOMPARE(sink.bytesFree(), 4 * period);
}

namespace {
QMutex g_threadWarningsLock;
QStringList g_threadWarnings;
QtMessageHandler g_previousHandler = nullptr;

void catchThreadWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
  if (message.contains(QLatin1String("from another thread"))) {
    QMutexLocker locker(&g_threadWarningsLock);
    g_threadWarnings << message;
  }
  g_previousHandler(type, context, message);
}
} // namespace

void TestPlayback::deviceIsDrivenFromItsOwnThread()
{
  // The toolkit's device keeps timers that only the thread owning it may start and stop.
  QCOMPARE(_render->stop(), 0);
  setAudioSinkFactory(nullptr);
  _render->start();
  setAudioSinkFactory(nullSink);
  if (dynamic_cast<AVNullAudioSink *>(_render->soundOutput()->sink()))
    QSKIP("No sound device here");
  _render->step(1);
  QTRY_VERIFY_WITH_TIMEOUT(_render->renderer() != nullptr, 10000);
  waitIdle();

  g_threadWarnings.clear();
  g_previousHandler = qInstallMessageHandler(catchThreadWarnings);
  auto restore = qScopeGuard([] { qInstallMessageHandler(g_previousHandler); });
  AVEngine engine(_composition.get(), nullptr, _render.get());
  for (int round = 0; round < 8; ++round) {
    const double from = _render->currentTime();
    _render->play();
    QTRY_VERIFY_WITH_TIMEOUT(_render->currentTime() > from + 0.05, 5000);
    engine.seek(1.0f + 0.5f * float(round), false);
    engine.seek(1.2f + 0.5f * float(round), true);
    _render->pause();
    engine.seek(0.5f, false);
    engine.seek(0.7f, true);
  }
  // Returns once every queued device call has run.
  _render->soundOutput()->stop();
  QMutexLocker locker(&g_threadWarningsLock);
  QVERIFY2(g_threadWarnings.isEmpty(), qPrintable(g_threadWarnings.join('\n')));
}

TAVO_TEST_GUI_MAIN(TestPlayback)
#include "tst_playback.moc"
