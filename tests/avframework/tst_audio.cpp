// Sound files on the timeline: whole and trimmed ranges, speed by resampling (pitch and length
// follow it), frames larger than the cache, the cut at the segment's end, metadata, and the
// facade's audio entries.
#include "testenv.h"

#include "avaudiosegment.h"
#include "avaudiostream.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avheadlessrenderer.h"
#include "fakesegments.h"
#include "ffmpegcli.h"
#include "wavfiles.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVector>
#include <memory>
#include <thread>

namespace {
constexpr int kRate = 44100;

struct Mixed
{
  QVector<int16_t> left;
  // First and last frame that is not silent; -1 when all is silence.
  int first = -1;
  int last = -1;
};

// Positive-going zero crossings per second over [from, to) frames.
double frequencyOf(const Mixed &mixed, int from, int to)
{
  int crossings = 0;
  for (int i = std::max(1, from); i < to; ++i)
    if (mixed.left[i - 1] < 0 && mixed.left[i] >= 0)
      ++crossings;
  return to > from ? crossings * double(kRate) / (to - from) : 0;
}

// The longest run of silent frames between the first and last sound.
int longestGap(const Mixed &mixed)
{
  int longest = 0, run = 0;
  for (int i = mixed.first; i <= mixed.last && i >= 0; ++i) {
    run = mixed.left[i] == 0 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}
} // namespace

class TestAudio : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void wholeFileTakesTheMediaDuration();
  void loadedMeansLengthKnown();
  void metadataAndNeutralAnswers();
  void tagsOfEveryContainer_data();
  void tagsOfEveryContainer();
  void speedResamplesPitchAndLength_data();
  void speedResamplesPitchAndLength();
  void framesLargerThanTheCacheAreSplitNotLost();
  void trimmedSegmentPlaysItsRange();
  void lastChunkIsCutAtTheSegmentEnd();
  void rangeStartClampsToTheRangeEnd();
  void unreadableFileReportsItsCode();
  void volumeTransitionFadesTheSound();

private:
  AVAudioSegment *addLoaded(AVAudioSegment *segment, uint32_t id);
  AVAudioSegment *waitLoaded(uint32_t id);
  // Mixes the timeline from 0 for seconds the way the audio thread does.
  Mixed mix(double seconds);
  QString tone(const QString &name, double seconds, double frequency, int rate = kRate, int channels = 2);

  QTemporaryDir _dir;
  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVHeadlessRenderer> _renderer;
};

void TestAudio::initTestCase()
{
  QVERIFY(_dir.isValid());
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY(_host->isValid());
}

void TestAudio::init()
{
  _composition = std::make_unique<AVComposition>(64, 36, kRate, 2, nullptr);
  _renderer = std::make_unique<AVHeadlessRenderer>(_host.get(), _composition.get());
  QVERIFY(_renderer->isValid());
}

void TestAudio::cleanup()
{
  _renderer.reset();
  _composition.reset();
}

QString TestAudio::tone(const QString &name, double seconds, double frequency, int rate, int channels)
{
  const QString path = _dir.filePath(name);
  if (!QFile::exists(path))
    WavFiles::writeToneWav(path, seconds, frequency, rate, channels);
  return path;
}

AVAudioSegment *TestAudio::addLoaded(AVAudioSegment *segment, uint32_t id)
{
  segment->setId(id);
  _composition->addSegment(segment, id);
  return waitLoaded(id);
}

AVAudioSegment *TestAudio::waitLoaded(uint32_t id)
{
  auto *segment = static_cast<AVAudioSegment *>(_composition->findSegment(id));
  QElapsedTimer timer;
  timer.start();
  // A trimmed segment is ready only after its first seek, which runs once the mix wakes it.
  while (segment->loadError() == kAVLoadPending && timer.elapsed() < 10000)
    QTest::qWait(5);
  _composition->updateDuration();
  return segment;
}

Mixed TestAudio::mix(double seconds)
{
  Mixed mixed;
  const int total = int(seconds * kRate);
  mixed.left.reserve(total);
  QByteArray bytes(kRate * 4, '\0');
  for (int pass = 0; pass < 2000 && mixed.left.size() < total; ++pass) {
    _composition->update(double(mixed.left.size()) / kRate, true, false, 1, true, false);
    const int n = _composition->readMixed(reinterpret_cast<uint8_t *>(bytes.data()), bytes.size(), nullptr);
    const auto *samples = reinterpret_cast<const int16_t *>(bytes.constData());
    for (int i = 0; i < n / 4 && mixed.left.size() < total; ++i)
      mixed.left.append(samples[i * 2]);
  }
  for (int i = 0; i < mixed.left.size(); ++i) {
    if (mixed.left[i] != 0) {
      if (mixed.first < 0)
        mixed.first = i;
      mixed.last = i;
    }
  }
  return mixed;
}

void TestAudio::wholeFileTakesTheMediaDuration()
{
  auto *segment = addLoaded(new AVAudioSegment(0.5, tone("a.wav", 1.5, 1000).toStdString(), kRate, 2), 1);
  QCOMPARE(segment->loadError(), 0);
  QVERIFY(segment->isReady());
  QVERIFY(qAbs(segment->rangeDuration() - 1.5) < 0.01);
  QVERIFY(qAbs(segment->duration() - 1.5) < 0.01);
  QCOMPARE(segment->stretch(), 1.0);
  const Mixed mixed = mix(2.5);
  // Silence until the start, then the whole file, nothing lost in between.
  QVERIFY2(qAbs(mixed.first - kRate / 2) <= 2, qPrintable(QString::number(mixed.first)));
  QVERIFY2(qAbs(mixed.last - 2 * kRate) <= 4, qPrintable(QString::number(mixed.last)));
  QVERIFY(longestGap(mixed) <= 2);
  QVERIFY(qAbs(frequencyOf(mixed, mixed.first, mixed.last) - 1000) < 15);
}

// A mix pass on another thread polls the status: once it reads "loaded" the segment has its
// length, and a whole file is ready. Polled without pause, as the mixer would meet it.
void TestAudio::loadedMeansLengthKnown()
{
  const std::string path = tone("a.wav", 1.5, 1000).toStdString();
  for (uint32_t id = 100; id < 110; ++id) {
    auto *segment = new AVAudioSegment(0.5, path, kRate, 2);
    segment->setId(id);
    _composition->addSegment(segment, id);
    QElapsedTimer timer;
    timer.start();
    while (segment->loadError() == kAVLoadPending && timer.elapsed() < 10000)
      std::this_thread::yield();
    const double length = segment->duration();
    const bool ready = segment->isReady();
    QCOMPARE(segment->loadError(), 0);
    QVERIFY2(length > 1.49 && ready, qPrintable(QString("segment %1: length %2, ready %3").arg(id).arg(length).arg(ready)));
  }
}

void TestAudio::metadataAndNeutralAnswers()
{
  const QString path = _dir.filePath("tagged.wav");
  QVERIFY(WavFiles::writeToneWav(path, 0.5, 440, kRate, 2, "Ada Quill", "Morning \xc3\xa9tude"));
  AVEngine engine(_composition.get(), nullptr, nullptr);
  engine.addAudioSegment(7, path.toUtf8().constData(), 0, 0, 0);
  engine.addAudioSegment(8, tone("plain.wav", 0.5, 440).toUtf8().constData(), 0, 0, 0);
  _composition->addSegment(new FakeLayer(0, 1), 9);
  auto *tagged = static_cast<AVAudioSegment *>(_composition->findSegment(7));
  auto *plain = static_cast<AVAudioSegment *>(_composition->findSegment(8));
  QTRY_VERIFY_WITH_TIMEOUT(tagged->isReady() && plain->isReady(), 10000);
  QVERIFY(tagged->loadError() == 0);
  QCOMPARE(QByteArray(engine.audioArtist(7)), QByteArray("Ada Quill"));
  QCOMPARE(QString::fromUtf8(engine.audioTitle(7)), QString::fromUtf8("Morning \xc3\xa9tude"));
  QVERIFY(qAbs(engine.audioDuration(7) - 0.5f) < 0.01f);
  QVERIFY(!engine.audioArtist(8));
  QVERIFY(!engine.audioTitle(8));
  for (uint32_t id : {9u, 99u}) {
    QCOMPARE(engine.audioDuration(id), 0.0f);
    QVERIFY(!engine.audioArtist(id));
    QVERIFY(!engine.audioTitle(id));
    engine.setSegmentRangeStart(id, 1); // no effect, no crash
  }
}

void TestAudio::tagsOfEveryContainer_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("codec");
  QTest::newRow("ogg vorbis") << "tagged.ogg" << QStringList{"-c:a", "libvorbis"};
  QTest::newRow("opus") << "tagged.opus" << QStringList{"-c:a", "libopus"};
  QTest::newRow("flac") << "tagged.flac" << QStringList{};
  QTest::newRow("m4a") << "tagged.m4a" << QStringList{"-c:a", "aac"};
  QTest::newRow("mp3") << "tagged.mp3" << QStringList{"-c:a", "libmp3lame"};
}

// Some containers keep the tags on the audio stream (Ogg), others on the container.
void TestAudio::tagsOfEveryContainer()
{
  QFETCH(QString, name);
  QFETCH(QStringList, codec);
  const QString path = _dir.filePath(name);
  QVERIFY(FfmpegCli::tone(path, 0.3, codec + QStringList{"-metadata", "artist=Ada Quill", "-metadata",
                                                         "title=Morning \xc3\xa9tude"}));
  AVAudioStream stream(path.toStdString(), kRate, 2);
  QCOMPARE(stream.openForMetadata(), 0);
  QCOMPARE(QByteArray(stream.artist()), QByteArray("Ada Quill"));
  QCOMPARE(QString::fromUtf8(stream.title()), QString::fromUtf8("Morning \xc3\xa9tude"));
}

void TestAudio::speedResamplesPitchAndLength_data()
{
  QTest::addColumn<double>("speed");
  // The file is already in the mix format: only the resampler can apply the speed.
  QTest::newRow("normal") << 1.0;
  QTest::newRow("double speed, octave up") << 2.0;
  QTest::newRow("half speed, octave down") << 0.5;
}

void TestAudio::speedResamplesPitchAndLength()
{
  QFETCH(double, speed);
  AVEngine engine(_composition.get(), nullptr, nullptr);
  engine.addAudioSegment(1, tone("k.wav", 1.0, 1000).toUtf8().constData(), 0, 0, 1.0f);
  engine.setSegmentDuration(1, float(1.0 / speed));
  auto *segment = waitLoaded(1);
  QCOMPARE(segment->stretch(), 1.0 / speed);
  const Mixed mixed = mix(1.0 / speed + 0.5);
  const double length = double(mixed.last - mixed.first + 1) / kRate;
  QVERIFY2(qAbs(length - 1.0 / speed) < 0.01, qPrintable(QString::number(length)));
  QVERIFY(longestGap(mixed) <= 2);
  const double frequency = frequencyOf(mixed, mixed.first, mixed.last);
  QVERIFY2(qAbs(frequency - 1000 * speed) < 15 * speed, qPrintable(QString::number(frequency)));
}

void TestAudio::framesLargerThanTheCacheAreSplitNotLost()
{
  // 8 kHz mono at a quarter speed: one decoded frame gives far more than the 48 KiB cache.
  AVEngine engine(_composition.get(), nullptr, nullptr);
  engine.addAudioSegment(1, tone("slow.wav", 0.5, 500, 8000, 1).toUtf8().constData(), 0, 0, 0.5f);
  engine.setSegmentDuration(1, 2.0f);
  waitLoaded(1);
  const Mixed mixed = mix(2.5);
  const double length = double(mixed.last - mixed.first + 1) / kRate;
  QVERIFY2(qAbs(length - 2.0) < 0.01, qPrintable(QString::number(length)));
  QVERIFY(longestGap(mixed) <= 2);
  QVERIFY(qAbs(frequencyOf(mixed, mixed.first, mixed.last) - 125) < 5);
}

void TestAudio::trimmedSegmentPlaysItsRange()
{
  // 400 Hz for a second, then 1200 Hz: the range [1.2, 1.7) holds only the second tone.
  const QString path = _dir.filePath("two.wav");
  QVERIFY(WavFiles::writeToneWav(path, 2.0, 400, kRate, 2, {}, {}, 1.0, 1200));
  auto *segment = addLoaded(new AVAudioSegment(0.25, 1.2, 0.5, path.toStdString(), kRate, 2), 1);
  QCOMPARE(segment->loadError(), 0);
  QCOMPARE(segment->duration(), 0.5);
  const Mixed mixed = mix(1.0);
  QVERIFY2(qAbs(mixed.first - kRate / 4) <= 2, qPrintable(QString::number(mixed.first)));
  const double length = double(mixed.last - mixed.first + 1) / kRate;
  QVERIFY2(qAbs(length - 0.5) < 0.01, qPrintable(QString::number(length)));
  QVERIFY(qAbs(frequencyOf(mixed, mixed.first, mixed.last) - 1200) < 20);
}

void TestAudio::lastChunkIsCutAtTheSegmentEnd()
{
  // The end falls inside a decoded chunk: nothing of the chunk past it is heard.
  auto *segment = addLoaded(new AVAudioSegment(0, 0, 0.3, tone("a.wav", 1.5, 1000).toStdString(), kRate, 2), 1);
  QCOMPARE(segment->loadError(), 0);
  const Mixed mixed = mix(1.0);
  QCOMPARE(mixed.first, 1);
  QVERIFY2(mixed.last < int(0.3 * kRate) && mixed.last >= int(0.3 * kRate) - 3,
           qPrintable(QString::number(mixed.last)));
  double position = 0;
  bool exhausted = false;
  uint8_t scratch[16];
  // Past the end the segment is done for any window.
  QCOMPARE(segment->readAudio(scratch, sizeof scratch, &position, 0.4 * kRate, 0.9 * kRate, &exhausted), 0);
  QVERIFY(exhausted);
}

void TestAudio::rangeStartClampsToTheRangeEnd()
{
  auto *segment = addLoaded(new AVAudioSegment(0, 0.2, 0.5, tone("a.wav", 1.5, 1000).toStdString(), kRate, 2), 1);
  QCOMPARE(segment->loadError(), 0);
  segment->setRangeStart(5.0);
  QCOMPARE(segment->rangeStart(), 0.7);
  segment->setRangeStart(-1.0);
  QCOMPARE(segment->rangeStart(), 0.0);
  // Before the file is open nothing bounds it.
  AVAudioSegment unopened(0, 0, 1.0, _dir.filePath("none.wav").toStdString(), kRate, 2);
  unopened.setRangeStart(5.0);
  QCOMPARE(unopened.rangeStart(), 5.0);
}

void TestAudio::unreadableFileReportsItsCode()
{
  const QString path = _dir.filePath("text.wav");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("not a sound");
  file.close();
  auto *segment = addLoaded(new AVAudioSegment(0, path.toStdString(), kRate, 2), 1);
  QVERIFY(segment->loadError() < 0);
  QVERIFY(!segment->isReady());
  const Mixed mixed = mix(0.5);
  QCOMPARE(mixed.first, -1);
}

void TestAudio::volumeTransitionFadesTheSound()
{
  // Full volume for the first half, then a linear fade to silence over the second.
  AVEngine engine(_composition.get(), nullptr, nullptr);
  engine.addAudioSegment(1, tone("fade.wav", 2.0, 1000).toUtf8().constData(), 0, 0, 0);
  waitLoaded(1);
  engine.addTransition(1, 1, 0.5f, 0.5f, 1);
  engine.setTransitionValue(1, 1, false, kAVPropertyVolume, 1.0f, 0);
  engine.setTransitionValue(1, 1, true, kAVPropertyVolume, 0.0f, 0);
  const Mixed mixed = mix(2.2);
  const auto peak = [&](double from, double to) {
    int16_t most = 0;
    for (int i = int(from * kRate); i < int(to * kRate); ++i)
      most = std::max<int16_t>(most, qAbs(mixed.left[i]));
    return int(most);
  };
  QVERIFY(qAbs(peak(0.1, 0.9) - 16000) < 200);
  QVERIFY2(peak(1.4, 1.6) < 0.75 * 16000 && peak(1.4, 1.6) > 0.35 * 16000, qPrintable(QString::number(peak(1.4, 1.6))));
  QVERIFY(peak(1.9, 2.0) < 0.15 * 16000);
}

TAVO_TEST_GUI_MAIN(TestAudio)
#include "tst_audio.moc"
