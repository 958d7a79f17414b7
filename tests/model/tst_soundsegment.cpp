// Music and voice segments: the engine's load report, titles from the file, trims and edge
// moves, meter values, and the waveform decoded from generated files (its size bounds, its
// values, and how it is drawn).
#include "assetloadingthreadpool.h"
#include "audioplotdata.h"
#include "fakesegmentlistener.h"
#include "mediafixtures.h"
#include "musicsegment.h"
#include "tempprojectfolder.h"
#include "testenv.h"
#include "voicesegment.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A RIFF WAVE file of 16-bit integer or 32-bit float samples; sample(frame, channel) in -1..1
// (integers also take the raw value when asked for -32768).
bool writeWav(const QString &path, int rate, int channels, int frames, bool floating,
              const std::function<double(int frame, int channel)> &sample)
{
  const int bytesPerSample = floating ? 4 : 2;
  const quint32 dataSize = quint32(frames) * quint32(channels) * quint32(bytesPerSample);
  QByteArray out;
  auto u32 = [&](quint32 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char *>(&v), 4); };
  auto u16 = [&](quint16 v) { v = qToLittleEndian(v); out.append(reinterpret_cast<const char *>(&v), 2); };
  out.append("RIFF");
  u32(36 + dataSize);
  out.append("WAVEfmt ");
  u32(16);
  u16(floating ? 3 : 1);
  u16(quint16(channels));
  u32(quint32(rate));
  u32(quint32(rate * channels * bytesPerSample));
  u16(quint16(channels * bytesPerSample));
  u16(quint16(bytesPerSample * 8));
  out.append("data");
  u32(dataSize);
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      const double v = sample(f, c);
      if (floating) {
        const float x = float(v);
        quint32 bits;
        std::memcpy(&bits, &x, 4);
        u32(bits);
      } else {
        u16(quint16(qint16(v <= -1.0 ? -32768 : qBound(-32767.0, std::round(v * 32767), 32767.0))));
      }
    }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

// A Sun audio file of 16-bit samples whose header declares only declaredFrames frames.
bool writeLyingAu(const QString &path, int rate, int declaredFrames, int frames)
{
  QByteArray out(".snd");
  auto u32 = [&](quint32 v) { v = qToBigEndian(v); out.append(reinterpret_cast<const char *>(&v), 4); };
  u32(24);
  u32(quint32(declaredFrames * 2));
  u32(3); // 16-bit linear
  u32(quint32(rate));
  u32(1);
  for (int f = 0; f < frames; ++f) {
    const quint16 v = qToBigEndian(quint16(qint16(std::lround(16000 * std::sin(2 * kPi * 440 * f / rate)))));
    out.append(reinterpret_cast<const char *>(&v), 2);
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

double sine(int frame, int rate, double amplitude)
{
  return amplitude * std::sin(2 * kPi * 440 * frame / rate);
}

// The rows of a column that the paint touched.
int paintedRows(const QImage &image, int x)
{
  int rows = 0;
  for (int y = 0; y < image.height(); ++y)
    rows += image.pixelColor(x, y) != QColor(Qt::black) ? 1 : 0;
  return rows;
}

} // namespace

class TestSoundSegment : public QObject
{
  Q_OBJECT
private:
  TempProjectFolder m_project;
  QString m_stereo10;

  // A music segment of file moved to state 1 with the engine's duration scripted.
  std::unique_ptr<MusicSegment> loadingMusic(FakeSegmentListener &listener, const QString &file, float seconds,
                                             const QString &title = QString())
  {
    auto music = std::make_unique<MusicSegment>(file, 1, title, QString(), &listener);
    listener.audioDurations[music->id()] = seconds;
    if (!QTest::qWaitFor([&] { return music->state() == SegmentLoading; }))
      return nullptr;
    return music;
  }

  static AudioPlotData decoded(const QString &path, int desired)
  {
    AudioPlotData data(desired);
    data.generate(path);
    return data;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_project.isValid());
    m_stereo10 = m_project.filePath("stereo10.wav");
    QVERIFY(writeWav(m_stereo10, 44100, 2, 441000, false,
                     [](int f, int c) { return sine(f, 44100, c == 0 ? 0.5 : 0.25); }));
  }

  void musicLoadsFromTheEngineReport()
  {
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    listener.zoom = 1; // 4 pixels a second: 40 points for 10 s
    auto music = loadingMusic(listener, m_stereo10, 10);
    QVERIFY(music);
    QCOMPARE(music->properties()->text("File"), QStringLiteral("stereo10.wav"));
    QCOMPARE(music->type(), QStringLiteral("MUSIC"));
    QVERIFY(music->hasAudio());
    // No title from the importer: not loaded until the engine has reported on the file.
    QVERIFY(!music->isLoaded());
    const int rangeReports = listener.rangeChanges.count(music.get());
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QCOMPARE(music->state(), quint32(SegmentReady));
    QCOMPARE(listener.statesOf(music.get()), (QList<int>{SegmentLoading, SegmentReady}));
    QCOMPARE(music->mediaLength(), 10.0f);
    QCOMPARE(music->duration(), 10.0f);
    QCOMPARE(music->trimDuration(), 10.0f);
    QCOMPARE(listener.rangeChanges.count(music.get()), rangeReports + 1);
    // A file without a title tag must not hold a project's opening for ever.
    QVERIFY(music->isLoaded());

    // The waveform arrives later, on the segment's thread.
    QTRY_COMPARE(listener.plotReady.size(), 1);
    QCOMPARE(listener.plotReady.first(), music.get());
    QVERIFY(music->plotData() && music->plotData()->isReady());
    QCOMPARE(music->plotData()->desiredCount(), 40);
    QCOMPARE(music->plotData()->pointCount(), 40);
    QCOMPARE(music->plotData()->channels(), 2);

    // Later reports change nothing.
    music->loadStatusUpdated(music->id(), -1, 0, 0);
    QCOMPARE(music->error(), quint32(SegmentNoError));
  }

  void titleFromTheFileReplacesTheFileName()
  {
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    auto music = loadingMusic(listener, m_stereo10, 10, QStringLiteral("stereo10"));
    QVERIFY(music);
    QVERIFY(music->isLoaded()); // any title counts
    music->setTitleIsFileName(true);
    listener.titles[music->id()] = QStringLiteral("Ten Seconds");
    listener.artists[music->id()] = QString();
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QCOMPARE(music->title(), QStringLiteral("Ten Seconds"));
    QVERIFY(!music->properties()->contains("Artist"));

    // An imported title stays when the flag is not set; an empty one still counts as present.
    auto bag = new PropertyMap;
    bag->setText("Type", "MUSIC");
    bag->setText("File", m_stereo10);
    bag->setText("Title", "");
    MusicSegment fromFile(bag, &listener, false);
    QVERIFY(fromFile.isLoaded());
    QCOMPARE(fromFile.fileName(), QStringLiteral("stereo10.wav"));
    // Old projects name the file by "URL".
    auto old = new PropertyMap;
    old->setText("Type", "MUSIC");
    old->setText("URL", "C:\\Music\\old.mp3");
    MusicSegment oldMusic(old, &listener, false);
    QCOMPARE(oldMusic.fileName(), QStringLiteral("old.mp3"));
    QCOMPARE(oldMusic.filePath(), QStringLiteral("C:\\Music\\old.mp3"));
    QVERIFY(!oldMusic.isLoaded());
  }

  void failedLoadsStillEndReady()
  {
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    auto missing = loadingMusic(listener, m_project.filePath("gone.mp3"), 0);
    QVERIFY(missing);
    missing->loadStatusUpdated(missing->id(), -2, 0, 0);
    QCOMPARE(missing->state(), quint32(SegmentReady));
    QCOMPARE(missing->error(), quint32(SegmentFileMissing));
    QCOMPARE(missing->duration(), 0.0f);

    VoiceSegment voice(m_stereo10, 0, {0.5f}, &listener);
    QTRY_COMPARE(voice.state(), quint32(SegmentLoading));
    voice.loadStatusUpdated(voice.id(), -3, 0, 0);
    QCOMPARE(voice.state(), quint32(SegmentReady));
    QCOMPARE(voice.error(), quint32(SegmentLoadError));

    // The waveform task still ran and found nothing to draw.
    AssetLoadingThreadPool::instance()->waitForDone();
    QTest::qWait(20);
    QVERIFY(missing->plotData());
    QVERIFY(!missing->plotData()->isReady());
    QVERIFY(listener.plotReady.isEmpty());

    QImage block(160, 30, QImage::Format_ARGB32);
    block.fill(Qt::black);
    QPainter painter(&block);
    missing->paintBlock(&painter, block.rect(), block.rect(), 10);
    painter.end();
    QCOMPARE(block.pixelColor(2, 2), QColor(255, 255, 0));
  }

  // A sound that opens but whose length the engine cannot find is a load error; a project's
  // sound keeps the length it was saved with.
  void openedWithoutLength_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("storedDuration");
    QTest::newRow("new music") << "MUSIC" << "";
    QTest::newRow("new voice") << "VOICE" << "";
    QTest::newRow("project music of 2 s") << "MUSIC" << "2";
  }

  void openedWithoutLength()
  {
    QFETCH(QString, type);
    QFETCH(QString, storedDuration);
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    std::unique_ptr<FileSoundSegment> sound;
    if (!storedDuration.isEmpty()) {
      auto *bag = new PropertyMap;
      bag->setText("Type", type);
      bag->setText("File", m_stereo10);
      bag->setText("RangeDuration", storedDuration);
      sound = std::make_unique<MusicSegment>(bag, &listener, false);
    } else if (type == "MUSIC") {
      sound = std::make_unique<MusicSegment>(m_stereo10, 1, QString(), QString(), &listener);
    } else {
      sound = std::make_unique<VoiceSegment>(m_stereo10, 1, QList<float>{0.5f}, &listener);
    }
    QTRY_COMPARE(sound->state(), quint32(SegmentLoading));
    sound->loadStatusUpdated(sound->id(), 0, 0, 0);
    QCOMPARE(sound->state(), quint32(SegmentReady));
    QCOMPARE(sound->error(), quint32(SegmentLoadError));
    QCOMPARE(sound->duration(), storedDuration.toFloat());
    QVERIFY(sound->isLoaded());
  }

  void deletedWhileItsWaveformDecodes()
  {
    const QString longTone = m_project.filePath("long.wav");
    QVERIFY(writeWav(longTone, 44100, 2, 44100 * 120, false, [](int f, int) { return sine(f, 44100, 0.5); }));
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    for (int i = 0; i < 5; ++i) {
      auto music = loadingMusic(listener, longTone, 120);
      QVERIFY(music);
      music->loadStatusUpdated(music->id(), 0, 0, 0);
      QTest::qWait(i * 3);
      music.reset(); // waits for a running decode, which stops early
    }
    AssetLoadingThreadPool::instance()->waitForDone();
    QTest::qWait(20);
    QVERIFY(listener.plotReady.isEmpty());
  }

  void withoutListenerOnlyLoadingIsReported()
  {
    MusicSegment music(m_stereo10, 0, QString(), QString(), nullptr);
    VoiceSegment voice(m_stereo10, 0, {}, nullptr);
    QTRY_COMPARE(music.state(), quint32(SegmentLoading));
    QTRY_COMPARE(voice.state(), quint32(SegmentLoading));
    QTest::qWait(20);
    QCOMPARE(music.state(), quint32(SegmentLoading));
    QVERIFY(voice.isLoaded());
    QVERIFY(!voice.isTimelineContentReady());
  }

  void edgesClampToTheMedia()
  {
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    auto music = loadingMusic(listener, m_stereo10, 10);
    QVERIFY(music);
    // Before the length is known the right edge goes where it is dragged.
    float time = 4;
    QVERIFY(music->moveRightEdge(&time));
    QCOMPARE(music->duration(), 3.0f);
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QCOMPARE(music->trimDuration(), 3.0f); // kept: it was not empty

    time = 3;
    QVERIFY(music->moveLeftEdge(&time));
    QCOMPARE(music->trimStart(), 2.0f);
    QCOMPARE(music->trimDuration(), 1.0f);
    QCOMPARE(music->duration(), 1.0f);
    time = 0;
    QVERIFY(!music->moveLeftEdge(&time));
    QCOMPARE(time, 1.0f);
    QCOMPARE(music->trimStart(), 0.0f);
    QCOMPARE(music->trimDuration(), 3.0f);
    time = 40;
    QVERIFY(!music->moveRightEdge(&time));
    QCOMPARE(time, 11.0f);
    QCOMPARE(music->duration(), 10.0f);
    QCOMPARE(music->trimDuration(), 10.0f);
    // Sound trims ignore the speed.
    music->setSpeed(2);
    QCOMPARE(music->trimStart(), 0.0f);
    QCOMPARE(music->mediaDuration(), 5.0f);
  }

  void meterValues()
  {
    auto bag = new PropertyMap;
    bag->setText("Type", "VOICE");
    bag->setText("MeterValues", "0.5,,1,x");
    VoiceSegment voice(bag, nullptr, false);
    QCOMPARE(voice.meterValues(), (QList<float>{0.5f, 0.0f, 1.0f, 0.0f}));
    voice.setMeterValues({0.25f, 1.0f / 3});
    QCOMPARE(voice.properties()->text("MeterValues"), QStringLiteral("0.25,0.333333"));
    voice.setMeterValues({});
    QCOMPARE(voice.properties()->text("MeterValues"), QString());
    QVERIFY(voice.meterValues().isEmpty());
    // A bag put back by undo brings its own values.
    auto undone = new PropertyMap(*bag);
    undone->setText("MeterValues", "0.75");
    voice.setProperties(undone);
    QCOMPARE(voice.meterValues(), QList<float>{0.75f});
    QVERIFY(voice.isTimelineContentReady());
  }

  void voiceShapeOfOneValueIsABand()
  {
    VoiceSegment voice(m_stereo10, 0, {0.5f}, nullptr);
    QImage block(100, 40, QImage::Format_ARGB32);
    block.fill(Qt::black);
    QPainter painter(&block);
    voice.paintOverlay(&painter, block.rect(), block.rect(), 10);
    painter.end();
    for (int x : {1, 50, 98})
      QVERIFY2(qAbs(paintedRows(block, x) - 20) <= 1, qPrintable(QString::number(paintedRows(block, x))));
    QCOMPARE(block.pixelColor(50, 20), QColor(17, 95, 131));

    // Values 0, 1, 0: a peak in the middle.
    voice.setMeterValues({0, 1, 0});
    block.fill(Qt::black);
    painter.begin(&block);
    voice.paintOverlay(&painter, block.rect(), block.rect(), 10);
    painter.end();
    QVERIFY(paintedRows(block, 50) >= 38);
    QVERIFY(paintedRows(block, 5) <= 5);
  }

  void plotSizeFollowsTheDesiredCount()
  {
    // 10 s of stereo at 44100 Hz in 100 points: 4410 samples a point, 200 values.
    const AudioPlotData data = decoded(m_stereo10, 100);
    QVERIFY(data.isReady());
    QCOMPARE(data.channels(), 2);
    QCOMPARE(data.data().size(), 400);
    // Mean magnitude of a sine is 2/pi of its amplitude.
    const double left = 0.5 * 32767 * 2 / kPi;
    for (int i = 0; i < data.pointCount(); i += 17) {
      QVERIFY2(qAbs(data.value(i, false) - left) < left * 0.03, qPrintable(QString::number(data.value(i, false))));
      QVERIFY(qAbs(data.value(i, true) - left / 2) < left * 0.03);
    }
    QVERIFY(qAbs(data.maximum() - left) < left * 0.03);

    // A count of 0 (no media length yet) still makes one point; the cap is 2048.
    QCOMPARE(AudioPlotData(0).desiredCount(), 1);
    QCOMPARE(AudioPlotData(100000).desiredCount(), 2048);
    const AudioPlotData one = decoded(m_stereo10, 0);
    QVERIFY(one.isReady());
    QCOMPARE(one.pointCount(), 1);
    // Runs of 216 samples: 2041 full points and a partial one, never more than asked for.
    const AudioPlotData many = decoded(m_stereo10, 100000);
    QCOMPARE(many.pointCount(), 2042);
  }

  void plotOfFloatMonoAndShortFiles()
  {
    const QString mono = m_project.filePath("mono-float.wav");
    QVERIFY(writeWav(mono, 48000, 1, 48000, true, [](int f, int) { return sine(f, 48000, 0.8); }));
    const AudioPlotData data = decoded(mono, 50);
    QVERIFY(data.isReady());
    QCOMPARE(data.channels(), 1);
    QCOMPARE(data.pointCount(), 50);
    const double expected = 0.8 * 32767 * 2 / kPi;
    QVERIFY2(qAbs(data.value(10, false) - expected) < expected * 0.03, qPrintable(QString::number(data.value(10, false))));
    QCOMPARE(data.value(10, true), data.value(10, false)); // mono mirrors its one channel

    // A 0.1 s clip at the default zoom (96 px/s): 9 points.
    const QString clip = m_project.filePath("clip.wav");
    QVERIFY(writeWav(clip, 44100, 2, 4410, false, [](int f, int) { return sine(f, 44100, 0.5); }));
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    auto music = loadingMusic(listener, clip, 0.1f);
    QVERIFY(music);
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QTRY_VERIFY(music->plotData() && music->plotData()->isReady());
    QCOMPARE(music->plotData()->pointCount(), 9);

    // Encoded audio goes through the resampler.
    const QString m4a = m_project.filePath("tone.m4a");
    QVERIFY(MediaFixtures::writeTone(m4a, 2.0, 440, 48000, 2));
    const AudioPlotData coded = decoded(m4a, 64);
    QVERIFY(coded.isReady());
    QVERIFY(coded.pointCount() >= 63 && coded.pointCount() <= 64);
    QVERIFY(coded.maximum() > 8000);
  }

  void fullScaleSquareWaveStaysPositive()
  {
    const QString square = m_project.filePath("square.wav");
    QVERIFY(writeWav(square, 8000, 2, 8000, false, [](int f, int) { return (f / 20) % 2 ? -1.0 : 1.0; }));
    const AudioPlotData data = decoded(square, 40);
    QVERIFY(data.isReady());
    for (int i = 0; i < data.pointCount(); ++i) {
      QVERIFY2(data.value(i, false) >= 32760, qPrintable(QStringLiteral("point %1: %2").arg(i).arg(data.value(i, false))));
      QVERIFY(data.value(i, true) >= 32760);
    }
    QCOMPARE(data.maximum(), qint16(32767));
  }

  void lyingDurationStopsAtTheDesiredCount()
  {
    // Declares 10 ms, holds 10 s: without a stop, 1 sample a point and 441,000 points.
    const QString liar = m_project.filePath("liar.au");
    QVERIFY(writeLyingAu(liar, 44100, 441, 441000));
    const AudioPlotData data = decoded(liar, 100);
    QVERIFY(data.isReady());
    QCOMPARE(data.pointCount(), 100);
    QVERIFY(data.maximum() > 8000);
  }

  void silenceAndUnreadableFiles()
  {
    const QString silent = m_project.filePath("silent.wav");
    QVERIFY(writeWav(silent, 8000, 1, 8000, false, [](int, int) { return 0.0; }));
    const AudioPlotData data = decoded(silent, 30);
    QVERIFY(data.isReady());
    QCOMPARE(data.maximum(), qint16(0));
    QImage image(90, 41, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    data.draw(&painter, 90, 41);
    painter.end();
    // A flat line through the middle.
    QVERIFY(image.pixelColor(45, 20) != QColor(Qt::black));
    QCOMPARE(paintedRows(image, 45), 1);

    QVERIFY(m_project.writeFile("noise.mp3", QByteArray(4000, 'x')));
    QVERIFY(!decoded(m_project.filePath("noise.mp3"), 10).isReady());
    QVERIFY(!decoded(m_project.filePath("nothing.wav"), 10).isReady());
    QVERIFY(!decoded(QString(), 10).isReady());

    // A decode cancelled on the way keeps nothing.
    AudioPlotData cancelled(100);
    int polls = 0;
    cancelled.generate(m_stereo10, [&polls] { return ++polls > 3; });
    QVERIFY(!cancelled.isReady());
    QCOMPARE(cancelled.pointCount(), 0);
    QCOMPARE(polls, 4);

    // A terabyte of zeros, which a demuxer scans through for a frame: the reading gives up after
    // a bounded read, and a cancel stops it even while FFmpeg reads on its own.
    QFile zeros(m_project.filePath("zeros.mp3"));
    QVERIFY(zeros.open(QIODevice::WriteOnly) && zeros.resize(qint64(1) << 40)); // sparse
    zeros.close();
    QVERIFY(!decoded(zeros.fileName(), 10).isReady());
    AudioPlotData cancelledScan(100);
    polls = 0;
    cancelledScan.generate(zeros.fileName(), [&polls] { return ++polls > 3; });
    QVERIFY(!cancelledScan.isReady());
    QCOMPARE(polls, 4);
  }

  void musicBlockDrawsWaveformAndTitle()
  {
    FakeSegmentListener listener;
    listener.folder = m_project.path();
    listener.zoom = 5; // 20 px/s
    auto music = loadingMusic(listener, m_stereo10, 10, QStringLiteral("A title far too long for a block this narrow"));
    QVERIFY(music);
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QTRY_VERIFY(music->plotData() && music->plotData()->isReady());
    QImage block(200, 44, QImage::Format_ARGB32);
    block.fill(Qt::black);
    QPainter painter(&block);
    music->paintBlock(&painter, block.rect(), block.rect(), 20);
    painter.end();
    // The waveform: white at alpha 64 about the middle, reaching 0.9 of the half height.
    const QColor middle = block.pixelColor(150, 22);
    QVERIFY2(qAbs(middle.red() - 64) <= 2, qPrintable(middle.name()));
    QCOMPARE(block.pixelColor(150, 1), QColor(Qt::black));
    // The title is drawn (light text), elided to the block.
    int light = 0;
    for (int x = 0; x < 200; ++x)
      for (int y = 0; y < 22; ++y)
        light += block.pixelColor(x, y).red() > 150 ? 1 : 0;
    QVERIFY(light > 20);
    // Painting off, or an invalid rectangle: nothing.
    music->setPaintingSuppressed(true);
    block.fill(Qt::black);
    painter.begin(&block);
    music->paintBlock(&painter, block.rect(), block.rect(), 20);
    painter.end();
    QCOMPARE(block.pixelColor(150, 22), QColor(Qt::black));
  }
};

TAVO_TEST_GUI_MAIN(TestSoundSegment)
#include "tst_soundsegment.moc"
