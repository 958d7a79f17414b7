// The level of a microphone buffer and how the meter shows it.

#include "audiobuffers.h"
#include "audiolevelmeterwidget.h"
#include "audiolevels.h"
#include "testenv.h"

using namespace AudioBuffers;

class TestLevels : public QObject
{
  Q_OBJECT
private slots:
  void levels_data();
  void levels();
  void meterLightsFromTheLeft_data();
  void meterLightsFromTheLeft();
};

void TestLevels::levels_data()
{
  QTest::addColumn<QAudioBuffer>("buffer");
  QTest::addColumn<QVector<double>>("expected");

  const auto S = QAudioFormat::SignedInt;
  const auto U = QAudioFormat::UnSignedInt;
  QTest::newRow("s16 full scale") << s16({0, -1200, 32767, 5}) << QVector<double>{1.0};
  QTest::newRow("s16 negative peak") << s16({-16384, 100}) << QVector<double>{16384 / 32767.0};
  QTest::newRow("s16 stereo") << s16({100, -32767, -8192, 20}, 2) << QVector<double>{8192 / 32767.0, 1.0};
  QTest::newRow("s16 silence") << s16({0, 0, 0}) << QVector<double>{0.0};
  QTest::newRow("s8 lowest") << make<qint8>({-128, 3}, format(S, 8, 1)) << QVector<double>{128 / 127.0};
  QTest::newRow("s32") << make<qint32>({1073741824, -3}, format(S, 32, 1)) << QVector<double>{1073741824 / 2147483647.0};
  QTest::newRow("u8 constant 128") << make<quint8>({128, 128, 128}, format(U, 8, 1))
                                   << QVector<double>{qAbs(128 - 127.5) / 127.5};
  QTest::newRow("u16 top") << make<quint16>({65535, 0}, format(U, 16, 1)) << QVector<double>{1.0};
  QTest::newRow("float full scale") << make<float>({0.25f, -1.0f}, format(QAudioFormat::Float, 32, 1))
                                    << QVector<double>{1.0 / 1.00003};
  QTest::newRow("float stereo") << make<float>({0.5f, 0.1f, -0.2f, -0.3f}, format(QAudioFormat::Float, 32, 2))
                                << QVector<double>{0.5 / 1.00003, 0.3 / 1.00003};
  QTest::newRow("24-bit: no known peak") << QAudioBuffer(QByteArray(6, '\x7f'), format(S, 24, 2))
                                         << QVector<double>{0.0, 0.0};
  QTest::newRow("big-endian") << make<qint16>({qToBigEndian<qint16>(32767)}, format(S, 16, 1, QAudioFormat::BigEndian))
                              << QVector<double>();
  QTest::newRow("not pcm") << make<qint16>({32767}, format(S, 16, 1, QAudioFormat::LittleEndian, "audio/x-alaw"))
                           << QVector<double>();
  QTest::newRow("no format") << QAudioBuffer() << QVector<double>();
}

void TestLevels::levels()
{
  QFETCH(QAudioBuffer, buffer);
  QFETCH(QVector<double>, expected);
  const QVector<double> actual = AudioLevels::levels(buffer);
  QCOMPARE(actual.size(), expected.size());
  for (int i = 0; i < actual.size(); ++i)
    QVERIFY2(qAbs(actual[i] - expected[i]) < 1e-6,
             qPrintable(QString("channel %1: expected %2, got %3").arg(i).arg(expected[i]).arg(actual[i])));
}

void TestLevels::meterLightsFromTheLeft_data()
{
  QTest::addColumn<float>("level");
  QTest::addColumn<int>("litWidth");
  // 250 x level, truncated.
  QTest::newRow("off") << 0.0f << 0;
  QTest::newRow("just under half") << 0.499f << 124;
  QTest::newRow("half") << 0.5f << 125;
  QTest::newRow("full") << 1.0f << 250;
}

void TestLevels::meterLightsFromTheLeft()
{
  QFETCH(float, level);
  QFETCH(int, litWidth);
  AudioLevelMeterWidget meter;
  meter.setFixedSize(250, 50);
  meter.setLevel(level);
  const QImage image = meter.grab().toImage();
  // The lit picture is coloured, the gray one is not; the middle row crosses every bar.
  const auto lit = [&image](int x) { return image.pixelColor(x, 25).hsvSaturation() > 100; };
  // Bodies of the bars lie at x % 10 = 3..6; the edges are antialiased.
  for (int x = 0; x < 250; ++x) {
    if (x % 10 < 3 || x % 10 > 6)
      continue;
    QVERIFY2(lit(x) == (x < litWidth), qPrintable(QString("pixel %1 of a meter lit to %2").arg(x).arg(litWidth)));
  }
}

TAVO_TEST_MAIN(TestLevels)
#include "tst_levels.moc"
