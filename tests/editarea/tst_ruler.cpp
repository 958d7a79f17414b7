// The time ruler, the play-head pointer and the track gutter.
#include "gestures.h"
#include "gutterscrollarea.h"
#include "pixelprobe.h"
#include "pointerwidget.h"
#include "rulerscrollarea.h"
#include "rulerwidget.h"
#include "testenv.h"
#include "timelinegeometry.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

bool sameIcon(QPushButton *button, const QString &path)
{
  return button->icon().pixmap(23, 23).toImage() == QIcon(path).pixmap(23, 23).toImage();
}

// Whether a grey tick crosses row y within a pixel of x.
bool tickAt(const QImage &image, double x, int y)
{
  for (int dx = -1; dx <= 1; ++dx) {
    const int px = int(std::lround(x)) + dx;
    if (px >= 0 && px < image.width() && qGray(image.pixel(px, y)) > 40)
      return true;
  }
  return false;
}

} // namespace

class TestRuler : public QObject
{
  Q_OBJECT
private slots:
  // First: tags count from the start of the process.
  void gutterButtons()
  {
    QWidget top;
    top.resize(60, 400);
    GutterScrollArea gutter(&top);
    gutter.setGeometry(0, 0, 60, 400);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    QCOMPARE(gutter.addTrackButton(), 1);
    QCOMPARE(gutter.addTrackButton(), 2);
    QCOMPARE(gutter.addTrackButton(), 3);
    const QList<QRect> expected{{10, 3, 37, 37}, {10, 47, 37, 37}, {10, 91, 37, 37}};
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(gutter.buttonAt(i)->geometry(), expected[i]);
      QCOMPARE(gutter.buttonAt(i)->iconSize(), QSize(23, 23));
      QVERIFY(sameIcon(gutter.buttonAt(i), ":/images/track_empty"));
    }
    QCOMPARE(gutter.widget()->height(), 50 + 132 + 20);
    QVERIFY(gutter.isLastTrackButton(3));
    QVERIFY(!gutter.isLastTrackButton(2));
    QCOMPARE(gutter.buttonByTag(2), gutter.buttonAt(1));
    QVERIFY(!gutter.buttonByTag(9));

    gutter.setTrackType(1, "DRAWING");
    QVERIFY(sameIcon(gutter.buttonAt(0), ":/images/track_draw"));
    gutter.setTrackType(1, "SOMETHING");
    QVERIFY(sameIcon(gutter.buttonAt(0), ":/images/track_draw"));

    // Renumbered after a reorder; the spare last button follows on.
    gutter.updateTrackButtons({1, 2}, {"MUSIC", "MOVIE"});
    QCOMPARE(gutter.buttonAt(0)->property("tag").toInt(), 1);
    QCOMPARE(gutter.buttonAt(1)->property("tag").toInt(), 2);
    QCOMPARE(gutter.buttonAt(2)->property("tag").toInt(), 3);
    QVERIFY(sameIcon(gutter.buttonAt(0), ":/images/track_music"));
    QVERIFY(sameIcon(gutter.buttonAt(1), ":/images/track_video"));
    QVERIFY(sameIcon(gutter.buttonAt(2), ":/images/track_empty"));

    gutter.buttonAt(1)->setProperty("tag", 5);
    QSignalSpy spy(&gutter, &GutterScrollArea::gutterAreaFunctionButtonPressed);
    QTest::mouseClick(gutter.buttonAt(1), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toInt(), 5);

    // The counter never restarts.
    GutterScrollArea other;
    QCOMPARE(other.addTrackButton(), 4);
  }

  void removingGutterButtons_data()
  {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("removed"); // indexes
    QTest::addColumn<QList<int>>("ys");
    QTest::newRow("middle of three") << 3 << QList<int>{1} << QList<int>{3, 47};
    QTest::newRow("first two of four") << 4 << QList<int>{0, 1} << QList<int>{3, 47};
    QTest::newRow("first and third of four") << 4 << QList<int>{0, 2} << QList<int>{3, 47};
    QTest::newRow("the last") << 3 << QList<int>{2} << QList<int>{3, 47};
  }
  void removingGutterButtons()
  {
    QFETCH(int, count);
    QFETCH(QList<int>, removed);
    QFETCH(QList<int>, ys);
    GutterScrollArea gutter;
    gutter.resize(60, 400);
    gutter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gutter));
    for (int i = 0; i < count; ++i)
      gutter.addTrackButton();
    QList<int> tags;
    for (int i : removed)
      tags.append(gutter.buttonAt(i)->property("tag").toInt());
    QElapsedTimer clock;
    clock.start();
    if (tags.size() == 1)
      gutter.removeTrackButton(tags.first());
    else
      gutter.removeTrackButtons(tags);
    QCOMPARE(gutter.buttonCount(), ys.size());
    const bool moves = gutter.buttonAt(ys.size() - 1)->y() != ys.last();
    QTRY_COMPARE(gutter.buttonAt(ys.size() - 1)->y(), ys.last());
    if (moves)
      QVERIFY2(clock.elapsed() >= 190, qPrintable(QString("moved in %1 ms").arg(clock.elapsed())));
    for (int i = 0; i < ys.size(); ++i)
      QCOMPARE(gutter.buttonAt(i)->y(), ys[i]);
    gutter.removeTrackButton(999); // unknown: nothing
    QCOMPARE(gutter.buttonCount(), ys.size());
    gutter.removeAllTrackButtons();
    QCOMPARE(gutter.buttonCount(), 0);
  }

  void rulerTicksAndLabels_data()
  {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("step"); // seconds between drawn ticks; labels on the drawn multiples of 5
    QTest::newRow("zoom 1") << 1.0f << 1;
    QTest::newRow("zoom 0.4: even seconds, labels every 10") << 0.4f << 2;
    QTest::newRow("zoom 2") << 2.0f << 1;
  }
  void rulerTicksAndLabels()
  {
    QFETCH(float, zoom);
    QFETCH(int, step);
    RulerScrollArea area;
    auto *ruler = new RulerWidget;
    PixelProbe::plainBackground(ruler, Qt::black);
    area.setWidget(ruler);
    area.resize(600, 21);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    area.setScale(zoom, 70);
    QCOMPARE(ruler->zoom(), zoom);
    QCOMPARE(ruler->size(), QSize(int(contentWidth(zoom, 70)), 21));
    const QImage shot = PixelProbe::grab(ruler);
    const double p = 24.0 * zoom;
    for (int s = 0; s <= 70; ++s) {
      const double x = 60 + s * p;
      const bool drawn = s % step == 0;
      QVERIFY2(tickAt(shot, x, 14) == drawn, qPrintable(QString("second %1").arg(s)));
      // Long ticks reach above the short ones (from y 14.5), below the labels (baseline 11).
      const bool labelled = drawn && s % 5 == 0;
      QVERIFY2(tickAt(shot, x, 13) == labelled, qPrintable(QString("long tick at second %1").arg(s)));
      // Some ink of the label right of a long tick.
      bool ink = false;
      for (int lx = int(x) + 5; lx < int(x + 14); ++lx)
        for (int ly = 3; ly <= 11; ++ly)
          ink = ink || qGray(shot.pixel(lx, ly)) > 40;
      if (labelled)
        QVERIFY2(ink, qPrintable(QString("no label at second %1").arg(s)));
    }
  }

  void labelTexts_data()
  {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0:00";
    QTest::newRow("5") << 5 << "0:05";
    QTest::newRow("10") << 10 << "0:10";
    QTest::newRow("65") << 65 << "1:05";
    QTest::newRow("600") << 600 << "10:00";
  }
  void labelTexts()
  {
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(RulerWidget::labelText(seconds), text);
  }

  void rulerArea()
  {
    RulerScrollArea area;
    area.setWidget(new RulerWidget);
    area.resize(4000, 21);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    // Wider than the content: one pixel wider than the area.
    area.setScale(1.0f, 10);
    QCOMPARE(area.rulerWidget()->size(), QSize(4001, 21));
    // The loading mark holds the ruler still.
    area.suspended = true;
    area.setScale(2.0f, 100);
    QCOMPARE(area.rulerWidget()->zoom(), 1.0f);
    QCOMPARE(area.rulerWidget()->width(), 4001);
    area.suspended = false;
    area.setScale(2.0f, 100);
    QCOMPARE(area.rulerWidget()->width(), int(contentWidth(2.0f, 100)));
    area.setOffset(120.7f);
    QCOMPARE(area.horizontalScrollBar()->value(), 120);
  }

  void rulerInstallsTheScale()
  {
    Timeline::setPixelsPerSecond(10);
    Timeline::setLeftMargin(5);
    RulerWidget ruler;
    QCOMPARE(Timeline::pixelsPerSecond(), 24);
    QCOMPARE(Timeline::leftMargin(), 60);
  }

  void pointer()
  {
    QWidget top;
    top.resize(300, 200);
    auto *pointer = new PointerWidget(0, 41, &top);
    pointer->setGeometry(0, 0, 52, 200);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    QVERIFY(pointer->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(pointer->headRect(), QRect(0, 0, 52, 41));
    QCOMPARE(pointer->buttonPixmap().height(), 21);

    pointer->setCenterX(100.4f, false);
    QCOMPARE(pointer->pos(), QPoint(75, 0));
    QCOMPARE(pointer->centerX(), 101.0f);
    pointer->setCenterX(200, true);
    QCOMPARE(pointer->x(), 75);
    QTRY_COMPARE(pointer->x(), 174);

    // The same style keeps its images; an unknown one keeps the last images too.
    const qint64 button = pointer->buttonPixmap().cacheKey();
    pointer->setPointerStyle(0);
    QCOMPARE(pointer->buttonPixmap().cacheKey(), button);
    pointer->setPointerStyle(5);
    QCOMPARE(pointer->buttonPixmap().cacheKey(), button);
    pointer->setPointerStyle(2);
    QVERIFY(pointer->buttonPixmap().cacheKey() != button);
  }

  void pointerLines_data()
  {
    QTest::addColumn<int>("style");
    QTest::newRow("play head") << 0;
    QTest::newRow("editing") << 1;
    QTest::newRow("range") << 2;
    QTest::newRow("range start") << 3;
  }
  void pointerLines()
  {
    QFETCH(int, style);
    QWidget top;
    top.resize(100, 200);
    PixelProbe::plainBackground(&top, Qt::black);
    auto *pointer = new PointerWidget(style, 41, &top);
    pointer->setGeometry(0, 0, 52, 200);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    const QImage shot = PixelProbe::grab(&top);
    // Something is drawn on the line below the button, nothing beside it.
    bool line = false;
    for (int y = 100; y < 140; ++y)
      line = line || qGray(shot.pixel(26, y)) > 20;
    QVERIFY(line);
    PROBE(shot, 10, 120, QColor(0, 0, 0), 2);
    // The button is drawn at the top centre.
    bool button = false;
    for (int x = 13; x < 40; ++x)
      for (int y = 0; y < 21; ++y)
        button = button || qGray(shot.pixel(x, y)) > 20;
    QVERIFY(button);
  }
};

TAVO_TEST_MAIN(TestRuler)
#include "tst_ruler.moc"
