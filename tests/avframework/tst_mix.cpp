// The composition's audio mix: gain and clamping, the window that slides as bytes are read,
// its reset at an exact seek, and its cut at the composition's end.
#include "testenv.h"

#include "avcomposition.h"
#include "avheadlessrenderer.h"
#include "fakesegments.h"
#include "testsounds.h"

#include <QVector>
#include <memory>

namespace {
constexpr int kRate = 44100;
constexpr int kFrameBytes = 4;
constexpr int kWindowBytes = kRate / 2 * kFrameBytes;

QVector<int16_t> samplesOf(const QByteArray &bytes)
{
  QVector<int16_t> samples(bytes.size() / 2);
  memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 2);
  return samples;
}
} // namespace

class TestMix : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void nothingMixedBeforeRenderer();
  void noSoundsGiveSilentWindows();
  void gainAndClamping_data();
  void gainAndClamping();
  void samplesLandAtTheirTimelinePlace();
  void stalledSoundLimitsWhatIsFinal();
  void unloadedAndDisabledSoundsAreNotAsked();
  void exactSeekResetsWindow();
  void windowIsCutAtTheEnd();
  void smallReaderTakesWholeFrames();
  void soundsBeyondTheTableAreNotAsked();

private:
  // Mixes at time until the window is complete (at most passes times).
  void mixUntilComplete(double time, int passes = 10);
  QByteArray read(double *startFrame = nullptr, int capacity = kWindowBytes);

  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVHeadlessRenderer> _renderer;
};

void TestMix::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY(_host->isValid());
}

void TestMix::init()
{
  _composition = std::make_unique<AVComposition>(64, 36, kRate, 2, nullptr);
  _renderer = std::make_unique<AVHeadlessRenderer>(_host.get(), _composition.get());
  QVERIFY(_renderer->isValid());
}

void TestMix::cleanup()
{
  _renderer.reset();
  _composition.reset();
}

void TestMix::mixUntilComplete(double time, int passes)
{
  for (int i = 0; i < passes && !_composition->mixWindowComplete(); ++i)
    _composition->update(time, true, false, 1, false, false);
}

QByteArray TestMix::read(double *startFrame, int capacity)
{
  QByteArray bytes(capacity, '\0');
  const int n = _composition->readMixed(reinterpret_cast<uint8_t *>(bytes.data()), capacity, startFrame);
  bytes.resize(n);
  return bytes;
}

void TestMix::nothingMixedBeforeRenderer()
{
  AVComposition composition(64, 36, kRate, 2, nullptr);
  composition.addSegment(new ConstantSound(0, 2, 1000), 1);
  composition.update(0, true, false, 1, false, false);
  QCOMPARE(composition.mixedLength(), 0);
  QVERIFY(!composition.mixWindowComplete());
}

void TestMix::noSoundsGiveSilentWindows()
{
  _composition->addSegment(new FakeLayer(0, 2), 1);
  _composition->update(0, true, false, 1, false, false);
  QVERIFY(_composition->mixWindowComplete());
  QCOMPARE(_composition->mixedLength(), kWindowBytes);
  double start = -1;
  const QByteArray first = read(&start);
  QCOMPARE(first.size(), kWindowBytes);
  QCOMPARE(start, 0.0);
  QCOMPARE(first.count('\0'), kWindowBytes);
  // Reading slides the window by what was taken and opens it again.
  QCOMPARE(_composition->mixWindowStart(), kRate / 2);
  QVERIFY(!_composition->mixWindowComplete());
  QCOMPARE(_composition->mixedLength(), 0);
  QCOMPARE(read().size(), 0);
}

void TestMix::gainAndClamping_data()
{
  QTest::addColumn<int>("sample");
  QTest::addColumn<float>("volume");
  QTest::addColumn<int>("sounds");
  QTest::addColumn<int>("expected");
  QTest::newRow("two loud sounds clamp up") << 20000 << 1.0f << 2 << 32767;
  QTest::newRow("two loud sounds clamp down") << -20000 << 1.0f << 2 << -32768;
  QTest::newRow("half volume rounds toward zero") << -3 << 0.5f << 1 << -1;
  QTest::newRow("double volume clamps") << 20000 << 2.0f << 1 << 32767;
  QTest::newRow("double volume in range") << -1000 << 2.0f << 1 << -2000;
  QTest::newRow("volume in 1/128 steps") << 1000 << 0.999f << 1 << 992;
  QTest::newRow("silent") << 20000 << 0.0f << 2 << 0;
  QTest::newRow("huge volume clamps, no overflow") << -30000 << 1.0e7f << 1 << -32768;
}

void TestMix::gainAndClamping()
{
  QFETCH(int, sample);
  QFETCH(float, volume);
  QFETCH(int, sounds);
  QFETCH(int, expected);
  for (int i = 0; i < sounds; ++i) {
    auto *sound = new ConstantSound(0, 2, int16_t(sample));
    sound->setVolume(volume);
    _composition->addSegment(sound, uint32_t(i + 1));
  }
  mixUntilComplete(0);
  QVERIFY(_composition->mixWindowComplete());
  const QVector<int16_t> samples = samplesOf(read());
  QCOMPARE(samples.size(), kWindowBytes / 2);
  QCOMPARE(int(samples.first()), expected);
  QCOMPARE(int(samples.last()), expected);
  QCOMPARE(samples.count(int16_t(expected)), samples.size());
}

void TestMix::samplesLandAtTheirTimelinePlace()
{
  // Starts 0.1 s in, delivered in chunks smaller than the scratch buffer.
  auto *sine = new SineSound(0.1, 2, 440);
  sine->setChunkFrames(5000);
  _composition->addSegment(sine, 1);
  _composition->addSegment(new FakeLayer(0, 3), 2);
  QVector<int16_t> all;
  for (int window = 0; window < 3; ++window) {
    mixUntilComplete(window * 0.5);
    QVERIFY(_composition->mixWindowComplete());
    double start = -1;
    all += samplesOf(read(&start));
    QCOMPARE(start, double(window * kRate / 2));
  }
  QCOMPARE(all.size(), 3 * kRate / 2 * 2);
  const int lead = kRate / 10;
  for (int frame = 0; frame < lead; ++frame)
    QCOMPARE(int(all[frame * 2]), 0);
  for (int frame = lead; frame < all.size() / 2; frame += 97) {
    const int expected = int(std::lround(0.5 * 32767 * std::sin(2 * M_PI * 440 * (frame - lead) / kRate)));
    QCOMPARE(int(all[frame * 2]), expected);
    QCOMPARE(int(all[frame * 2 + 1]), expected);
  }
  QVERIFY(sine->updates > 0);
}

void TestMix::stalledSoundLimitsWhatIsFinal()
{
  auto *stalled = new ConstantSound(0, 2, 100);
  stalled->setAvailableUntil(int64_t(0.2 * kRate));
  _composition->addSegment(stalled, 1);
  _composition->addSegment(new ConstantSound(0, 2, 7), 2);
  _composition->update(0, true, false, 1, false, false);
  // Only what every sound delivered in the pass is final; the window is not complete.
  QVERIFY(!_composition->mixWindowComplete());
  QCOMPARE(_composition->mixedLength(), int(0.2 * kRate) * kFrameBytes);
  const QVector<int16_t> first = samplesOf(read());
  QCOMPARE(first.size(), int(0.2 * kRate) * 2);
  QCOMPARE(int(first.last()), 107);
  // The window now starts where the delivered bytes ended; the other sound's bytes past that
  // point were kept.
  QCOMPARE(_composition->mixWindowStart(), int(0.2 * kRate));
  stalled->setAvailableUntil(kRate * 10);
  mixUntilComplete(0.2);
  QVERIFY(_composition->mixWindowComplete());
  const QVector<int16_t> second = samplesOf(read());
  QCOMPARE(second.size(), kRate / 2 * 2);
  QCOMPARE(int(second.first()), 107);
  QCOMPARE(int(second.last()), 107);
}

void TestMix::unloadedAndDisabledSoundsAreNotAsked()
{
  auto *pending = new ConstantSound(0, 2, 500);
  pending->setLoadError(kAVLoadPending);
  auto *disabled = new ConstantSound(0, 2, 600);
  disabled->setEnabled(false);
  _composition->addSegment(pending, 1);
  _composition->addSegment(disabled, 2);
  _composition->addSegment(new ConstantSound(0, 2, 9), 3);
  mixUntilComplete(0);
  QVERIFY(_composition->mixWindowComplete());
  QCOMPARE(pending->reads, 0);
  QCOMPARE(disabled->reads, 0);
  QVERIFY(disabled->isAsleep());
  const QVector<int16_t> samples = samplesOf(read());
  QCOMPARE(samples.count(int16_t(9)), samples.size());
}

void TestMix::exactSeekResetsWindow()
{
  _composition->addSegment(new SineSound(0, 20, 1000), 1);
  mixUntilComplete(0);
  QCOMPARE(_composition->mixedLength(), kWindowBytes);
  // A seek that is not exact leaves the window alone.
  _composition->seek(5.0, false);
  QCOMPARE(_composition->mixWindowStart(), 0);
  QCOMPARE(_composition->mixedLength(), kWindowBytes);
  _composition->seek(10.0, true);
  QCOMPARE(_composition->mixWindowStart(), 10 * kRate);
  QCOMPARE(_composition->mixWindowEnd(), 10 * kRate + kRate / 2);
  QCOMPARE(_composition->mixedLength(), 0);
  QVERIFY(!_composition->mixWindowComplete());
  mixUntilComplete(10.0);
  double start = -1;
  const QVector<int16_t> samples = samplesOf(read(&start));
  QCOMPARE(start, double(10 * kRate));
  QCOMPARE(samples.size(), kRate);
  // The sound picks up at the sought place, not where it left off.
  const int expected = int(std::lround(0.5 * 32767 * std::sin(2 * M_PI * 1000 * (10.0 * kRate + 3) / kRate)));
  QCOMPARE(int(samples[6]), expected);
}

void TestMix::windowIsCutAtTheEnd()
{
  _composition->addSegment(new ConstantSound(0, 0.8, 50), 1);
  mixUntilComplete(0);
  QCOMPARE(read().size(), kWindowBytes);
  QCOMPARE(_composition->mixWindowEnd(), int(0.8 * kRate));
  mixUntilComplete(0.5);
  QCOMPARE(read().size(), int(0.3 * kRate) * kFrameBytes);
  // At the end the window is empty and nothing more comes.
  mixUntilComplete(0.8);
  QVERIFY(_composition->mixWindowComplete());
  QCOMPARE(read().size(), 0);
}

void TestMix::smallReaderTakesWholeFrames()
{
  _composition->addSegment(new ConstantSound(0, 2, 3), 1);
  mixUntilComplete(0);
  const QByteArray part = read(nullptr, 1003);
  QCOMPARE(part.size(), 1000);
  QCOMPARE(_composition->mixWindowStart(), 250);
  QCOMPARE(read(nullptr, 0).size(), 0);
  QCOMPARE(_composition->mixWindowStart(), 250);
}

void TestMix::soundsBeyondTheTableAreNotAsked()
{
  for (uint32_t id = 1; id <= 1030; ++id)
    _composition->addSegment(new ConstantSound(0, 0.05, 1), id);
  mixUntilComplete(0);
  QVERIFY(_composition->mixWindowComplete());
  const QVector<int16_t> samples = samplesOf(read());
  QCOMPARE(samples.size(), int(0.05 * kRate) * 2);
  QCOMPARE(int(samples.first()), 1024);
  QCOMPARE(int(samples.last()), 1024);
}

TAVO_TEST_GUI_MAIN(TestMix)
#include "tst_mix.moc"
