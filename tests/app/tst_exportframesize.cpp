#include "exportframesize.h"
#include "testenv.h"

class TestExportFrameSize : public QObject
{
  Q_OBJECT
private slots:
  void sizes_data()
  {
    QTest::addColumn<float>("w");
    QTest::addColumn<float>("h");
    QTest::addColumn<int>("index");
    QTest::addColumn<QSize>("expected");
    // 16:9 keeps the short side fixed
    QTest::newRow("16:9 i0") << 1920.f << 1080.f << 0 << QSize(640, 360);
    QTest::newRow("16:9 i1") << 1920.f << 1080.f << 1 << QSize(960, 540);
    QTest::newRow("16:9 i2") << 1920.f << 1080.f << 2 << QSize(1280, 720);
    QTest::newRow("16:9 i3") << 1920.f << 1080.f << 3 << QSize(1920, 1080);
    QTest::newRow("16:9 i4") << 1920.f << 1080.f << 4 << QSize(3840, 2160);
    QTest::newRow("9:16 i1") << 1080.f << 1920.f << 1 << QSize(540, 960);
    QTest::newRow("9:16 i4") << 1080.f << 1920.f << 4 << QSize(2160, 3840);
    QTest::newRow("square i0") << 1.f << 1.f << 0 << QSize(360, 360);
    QTest::newRow("square i2") << 1.f << 1.f << 2 << QSize(720, 720);
    QTest::newRow("square i4") << 500.f << 500.f << 4 << QSize(2160, 2160);
    QTest::newRow("4:3 i0") << 1440.f << 1080.f << 0 << QSize(480, 360);
    QTest::newRow("4:3 i3") << 4.f << 3.f << 3 << QSize(1440, 1080);
    QTest::newRow("3:2 i0") << 1500.f << 1000.f << 0 << QSize(540, 360);
    QTest::newRow("3:4 i2") << 3.f << 4.f << 2 << QSize(720, 960);
    // wide frames keep the long side fixed; the short side is made even
    QTest::newRow("2.39:1 i3") << 2390.f << 1000.f << 3 << QSize(1920, 802);
    QTest::newRow("2.39:1 i0") << 2390.f << 1000.f << 0 << QSize(640, 266);
    QTest::newRow("1:2.39 i3") << 1000.f << 2390.f << 3 << QSize(802, 1920);
    // 17/9 in single precision falls just below the threshold
    QTest::newRow("17:9 i2") << 17.f << 9.f << 2 << QSize(1360, 720);
    QTest::newRow("17.1:9 i2") << 17.1f << 9.f << 2 << QSize(1280, 672);
    QTest::newRow("2:1 i4") << 2.f << 1.f << 4 << QSize(3840, 1920);
    QTest::newRow("2:1 i1 odd") << 1001.f << 500.f << 1 << QSize(960, 478);
    // the computed long side of a non-wide shape is made even too
    QTest::newRow("361:360 i0") << 361.f << 360.f << 0 << QSize(360, 360);
    QTest::newRow("7:5 i1") << 7.f << 5.f << 1 << QSize(756, 540);
    QTest::newRow("5:4 i1") << 5.f << 4.f << 1 << QSize(674, 540);
    QTest::newRow("4:5 i1") << 4.f << 5.f << 1 << QSize(540, 674);
    QTest::newRow("index 5") << 1920.f << 1080.f << 5 << QSize(0, 0);
    QTest::newRow("index -1") << 1920.f << 1080.f << -1 << QSize(0, 0);
    QTest::newRow("zero shape") << 0.f << 1080.f << 2 << QSize(0, 0);
  }
  void sizes()
  {
    QFETCH(float, w);
    QFETCH(float, h);
    QFETCH(int, index);
    QFETCH(QSize, expected);
    QCOMPARE(exportFrameSize(w, h, index), expected);
  }
};

TAVO_TEST_CORE_MAIN(TestExportFrameSize)
#include "tst_exportframesize.moc"
