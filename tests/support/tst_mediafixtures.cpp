#include "mediafixtures.h"
#include "tempprojectfolder.h"
#include "testenv.h"

#include <QImageReader>

using namespace MediaFixtures;

class TestMediaFixtures : public QObject
{
  Q_OBJECT
  QTemporaryDir m_dir;

  QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
  void colourCode()
  {
    for (int i = 0; i < 216; ++i) {
      const QColor c = frameColor(i);
      QCOMPARE(frameIndexFromColor(c), i);
      // Lossy coding moves colours a little; they must still decode.
      QCOMPARE(frameIndexFromColor(QColor(qBound(0, c.red() + 18, 255), qBound(0, c.green() - 18, 255),
                                          qBound(0, c.blue() + 7, 255))),
               i);
    }
    QCOMPARE(frameColor(216), frameColor(0));
    QCOMPARE(frameIndexFromColor(QColor(25, 0, 0)), -1); // half-way between two codes
    QCOMPARE(frameIndexOf(QImage()), -1);
  }

  void colourVideo_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("codec");
    QTest::addColumn<QString>("decoder");
    QTest::newRow("h264 mp4") << "c.mp4" << int(VideoCodec::H264) << "h264";
    QTest::newRow("hevc mp4") << "c-hevc.mp4" << int(VideoCodec::HEVC) << "hevc";
    QTest::newRow("mpeg4 avi") << "c.avi" << int(VideoCodec::Mpeg4) << "mpeg4";
    QTest::newRow("vp9 webm") << "c.webm" << int(VideoCodec::VP9) << "vp9";
    QTest::newRow("prores 422 mov") << "c422.mov" << int(VideoCodec::ProRes422) << "prores";
    QTest::newRow("prores 4444 mov") << "c4444.mov" << int(VideoCodec::ProRes4444) << "prores";
  }
  void colourVideo()
  {
    QFETCH(QString, file);
    QFETCH(int, codec);
    QFETCH(QString, decoder);
    QVERIFY2(writeColorVideo(path(file), 96, 64, 24, 36, VideoCodec(codec)), qPrintable(lastError()));
    const DecodedVideo video = decodeVideo(path(file));
    QVERIFY2(video.ok, qPrintable(lastError()));
    QCOMPARE(video.codecName, decoder);
    QCOMPARE(QSize(video.width, video.height), QSize(96, 64));
    QCOMPARE(video.frames.size(), 36);
    for (int i = 0; i < video.frames.size(); ++i) {
      QCOMPARE(frameIndexOf(video.frames.at(i)), i);
      QVERIFY2(qAbs(video.times.at(i) - i / 24.0) < 0.002,
               qPrintable(QString("frame %1 at %2 s").arg(i).arg(video.times.at(i))));
    }
    QVERIFY2(qAbs(video.durationSeconds - 1.5) < 0.05, qPrintable(QString::number(video.durationSeconds)));
    QCOMPARE(video.frameRate, 24.0);
  }

  void videoWithTone()
  {
    VideoSpec spec;
    spec.width = 64;
    spec.height = 48;
    spec.frames = 60;
    spec.withTone = true;
    QVERIFY2(writeColorVideo(path("tone.mp4"), spec), qPrintable(lastError()));
    const DecodedAudio audio = decodeAudio(path("tone.mp4"));
    QVERIFY2(audio.ok, qPrintable(lastError()));
    QCOMPARE(audio.codecName, QString("aac"));
    QCOMPARE(audio.channels, 2);
    QVERIFY2(qAbs(audio.seconds() - 2.0) < 0.05, qPrintable(QString::number(audio.seconds())));
    QCOMPARE(decodeVideo(path("tone.mp4"), 10).frames.size(), 10);
  }

  void tone_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("decoder");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("wav") << "t.wav" << "pcm_s16le" << 0.0;
    QTest::newRow("m4a") << "t.m4a" << "aac" << 0.05;
  }
  void tone()
  {
    QFETCH(QString, file);
    QFETCH(QString, decoder);
    QFETCH(double, tolerance);
    QVERIFY2(writeTone(path(file), 1.0, 440, 48000, 2), qPrintable(lastError()));
    const DecodedAudio audio = decodeAudio(path(file));
    QVERIFY2(audio.ok, qPrintable(lastError()));
    QCOMPARE(audio.codecName, decoder);
    QCOMPARE(audio.sampleRate, 48000);
    QCOMPARE(audio.channels, 2);
    QVERIFY2(qAbs(audio.seconds() - 1.0) <= tolerance, qPrintable(QString::number(audio.seconds())));
    // Frequency from the rising zero crossings of the left channel, away from the edges.
    int crossings = 0;
    float peak = 0;
    const int from = 4800, to = 43200;
    for (int i = from; i < to; ++i) {
      const float a = audio.samples.at(2 * i), b = audio.samples.at(2 * i + 2);
      crossings += a < 0 && b >= 0;
      peak = qMax(peak, qAbs(a));
    }
    const double frequency = crossings / (double(to - from) / 48000);
    QVERIFY2(qAbs(frequency - 440) < 5, qPrintable(QString::number(frequency)));
    QVERIFY2(qAbs(peak - 0.5f) < 0.02f, qPrintable(QString::number(peak)));
  }

  void animatedGif()
  {
    const QVector<int> delays{100, 200, 50, 300};
    QVERIFY2(writeAnimatedGif(path("a.gif"), 40, 30, delays), qPrintable(lastError()));
    QImageReader reader(path("a.gif"));
    QCOMPARE(reader.imageCount(), delays.size());
    QCOMPARE(reader.loopCount(), -1);
    for (int i = 0; i < delays.size(); ++i) {
      const QImage frame = reader.read();
      QVERIFY2(!frame.isNull(), qPrintable(reader.errorString()));
      QCOMPARE(frame.size(), QSize(40, 30));
      QCOMPARE(frameIndexOf(frame), i);
      QCOMPARE(reader.nextImageDelay(), delays.at(i));
    }
    const DecodedVideo video = decodeVideo(path("a.gif"));
    QCOMPARE(video.frames.size(), delays.size());
    QCOMPARE(frameIndexOf(video.frames.last()), 3);
  }

  void pictures_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("png") << "p.png" << 0;
    QTest::newRow("jpeg") << "p.jpg" << 12;
  }
  void pictures()
  {
    QFETCH(QString, file);
    QFETCH(int, tolerance);
    QVERIFY2(writePicture(path(file), 64, 48), qPrintable(lastError()));
    const QImage image(path(file));
    QCOMPARE(image.size(), QSize(64, 48));
    const struct { QPoint at; QColor expected; } probes[] = {
      {{8, 8}, Qt::red}, {{56, 8}, Qt::green}, {{8, 40}, Qt::blue}, {{56, 40}, Qt::white}};
    for (const auto &probe : probes) {
      const QColor c = image.pixelColor(probe.at);
      QVERIFY2(qAbs(c.red() - probe.expected.red()) <= tolerance &&
                 qAbs(c.green() - probe.expected.green()) <= tolerance &&
                 qAbs(c.blue() - probe.expected.blue()) <= tolerance,
               qPrintable(QString("%1 at (%2,%3), expected %4").arg(c.name()).arg(probe.at.x()).arg(probe.at.y())
                            .arg(probe.expected.name())));
    }
  }

  void writeFailuresReportWhy()
  {
    QVERIFY(!writeColorVideo(path("missing-folder/x.mp4"), 32, 32, 30, 3));
    QVERIFY(!lastError().isEmpty());
    QVERIFY(!decodeVideo(path("nothing.mp4")).ok);
    QVERIFY(!decodeAudio(path("c.mp4")).ok); // no audio stream
  }

  void tempProjectFolder()
  {
    QString root;
    {
      TempProjectFolder project("My Film");
      QVERIFY(project.isValid());
      root = project.root();
      QCOMPARE(project.path(), root + "/My Film");
      QVERIFY(project.writeFile("b.xml", "<b/>"));
      QVERIFY(project.writeFile("history/1.xml", "one"));
      QCOMPARE(project.files(), QStringList({"b.xml", "history/1.xml"}));
      QCOMPARE(project.readFile("history/1.xml"), QByteArray("one"));
    }
    QVERIFY(!QFileInfo::exists(root));
  }
};

TAVO_TEST_CORE_MAIN(TestMediaFixtures)
#include "tst_mediafixtures.moc"
