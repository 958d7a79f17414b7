// The canvas's tools: which command picks which shape, and what each figure draws, probed
// in canvas pixels of a canvas shown at half its size.

#include "canvastest.h"
#include "lineshape.h"
#include "testenv.h"

using CanvasProbe::alpha;
using CanvasProbe::drawDrag;
using CanvasProbe::paintedBounds;

class TestShapes : public QObject
{
  Q_OBJECT
private slots:
  void commandTable_data();
  void commandTable();
  void reversedDragDrawsTheSameRectangle();
  void figures_data();
  void figures();
  void circleAtTheTopLeftOfTheDrag();
  void arrowHeadIsFivePenWidths();
  void lineStyles_data();
  void lineStyles();
  void clickWithoutDragDrawsNothing();
  void dragBackToItsStartLeavesTheBackup();
};

void TestShapes::commandTable_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<int>("shape");
  QTest::addColumn<int>("fillMode");
  QTest::addColumn<QString>("lineStyle");
  // Starting from the filled heart, so a command that changes nothing shows.
  for (int cmd : {10301, 10303, 10332, 10333})
    QTest::addRow("%d pencil", cmd) << cmd << 10301 << 1 << "";
  QTest::newRow("10309 line") << 10309 << 10309 << 1 << "plain";
  QTest::newRow("10335 dashed") << 10335 << 10309 << 1 << "dashed";
  QTest::newRow("10336 dotted") << 10336 << 10309 << 1 << "dotted";
  QTest::newRow("10337 arrow") << 10337 << 10309 << 1 << "arrow";
  const int figures[][2] = {{10310, 10310}, {10312, 10312}, {10314, 10314}, {10316, 10316}, {10318, 10318},
                            {10320, 10320}, {10322, 10322}, {10324, 10324}, {10326, 10326}};
  for (const auto &figure : figures) {
    QTest::addRow("%d outline", figure[0]) << figure[0] << figure[1] << 1 << "";
    QTest::addRow("%d filled", figure[0] + 1) << figure[0] + 1 << figure[1] << 2 << "";
  }
  QTest::newRow("10329 text") << 10329 << 10329 << 1 << "";
  QTest::newRow("10330 picture") << 10330 << 10330 << 1 << "";
  for (int cmd : {10305, 10306, 10328, 10334, 10338, 0, -1})
    QTest::addRow("%d unknown", cmd) << cmd << 10326 << 2 << "";
}

void TestShapes::commandTable()
{
  QFETCH(int, cmd);
  QFETCH(int, shape);
  QFETCH(int, fillMode);
  QFETCH(QString, lineStyle);
  CanvasWidget canvas(1920, 1080);
  canvas.setCommand(10327);
  canvas.setCommand(cmd);
  QCOMPARE(canvas.currentShape()->cmdId(), shape);
  QCOMPARE(canvas.settings().fillMode, fillMode);
  if (!lineStyle.isEmpty()) {
    auto *line = qobject_cast<LineShape *>(canvas.currentShape());
    QVERIFY(line);
    QCOMPARE(line->dashed(), lineStyle == "dashed");
    QCOMPARE(line->dotted(), lineStyle == "dotted");
    QCOMPARE(line->arrow(), lineStyle == "arrow");
  }
}

void TestShapes::reversedDragDrawsTheSameRectangle()
{
  CanvasWindow forward, backward;
  for (CanvasWindow *w : {&forward, &backward}) {
    w->canvas.setCommand(10310);
    w->canvas.setLineWidth(8);
  }
  QVERIFY(drawDrag(forward.canvas, QPoint(100, 100), QPoint(300, 200)));
  QVERIFY(drawDrag(backward.canvas, QPoint(300, 200), QPoint(100, 100)));
  const QImage image = forward.image();
  QVERIFY(image == backward.image());
  // The outline's centre line runs along the drag rectangle, in canvas pixels.
  COMPARE_RECT(paintedBounds(image), QRect(QPoint(196, 196), QPoint(603, 403)), 2);
  QCOMPARE(alpha(image, QPoint(400, 300)), 0);
}

// Points in widget units; the canvas is probed at twice them.
void TestShapes::figures_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<QPoint>("from");
  QTest::addColumn<QPoint>("to");
  QTest::addColumn<QList<QPointF>>("painted");
  QTest::addColumn<QList<QPointF>>("empty");
  const QPoint centre(480, 270);
  // The rhombus's corners are the mid-points of the drag rectangle's sides.
  QTest::newRow("rhombus filled") << 10321 << QPoint(100, 100) << QPoint(300, 200)
                                  << QList<QPointF>{{200, 103}, {297, 150}, {200, 197}, {103, 150}, {200, 150}}
                                  << QList<QPointF>{{200, 96}, {304, 150}, {200, 204}, {96, 150}, {110, 110}};
  // Tips 100 from the centre, inner corners about 38.2: straight down is an inner corner,
  // 18 degrees above the right is a tip.
  const qreal a = qDegreesToRadians(-18.0);
  QTest::newRow("pentagram filled")
      << 10323 << centre << QPoint(480, 170)
      << QList<QPointF>{{480, 173}, {480, 270 + 36}, centre + 96 * QPointF(qCos(a), qSin(a))}
      << QList<QPointF>{{480, 166}, {480, 270 + 41}, centre + 104 * QPointF(qCos(a), qSin(a))};
  QTest::newRow("rectangle outline") << 10310 << QPoint(100, 100) << QPoint(300, 200)
                                     << QList<QPointF>{{100, 150}, {300, 150}, {200, 100}}
                                     << QList<QPointF>{{200, 150}, {140, 140}};
  QTest::newRow("rectangle filled") << 10311 << QPoint(100, 100) << QPoint(300, 200)
                                    << QList<QPointF>{{200, 150}, {103, 103}, {297, 197}}
                                    << QList<QPointF>{{96, 150}, {304, 150}};
  QTest::newRow("rounded rectangle filled") << 10313 << QPoint(100, 100) << QPoint(300, 200)
                                            << QList<QPointF>{{200, 150}, {200, 102}}
                                            << QList<QPointF>{{101, 101}, {299, 199}};
  QTest::newRow("ellipse outline") << 10316 << QPoint(100, 100) << QPoint(300, 200)
                                   << QList<QPointF>{{100, 150}, {200, 100}, {300, 150}}
                                   << QList<QPointF>{{200, 150}, {105, 105}};
  QTest::newRow("ellipse filled") << 10317 << QPoint(100, 100) << QPoint(300, 200)
                                  << QList<QPointF>{{200, 150}, {104, 150}} << QList<QPointF>{{105, 105}};
  // A vertex at the pointer, the others 120 degrees on.
  QTest::newRow("triangle filled") << 10319 << centre << QPoint(580, 270)
                                   << QList<QPointF>{centre, {577, 270}, {432, 270 + 83}}
                                   << QList<QPointF>{{585, 270}, {380, 270}};
  QTest::newRow("pentagon outline") << 10324 << centre << QPoint(580, 270)
                                    << QList<QPointF>{{580, 270}} << QList<QPointF>{centre};
  // The tip at the press, the notch at the pointer.
  QTest::newRow("heart filled") << 10327 << QPoint(480, 400) << QPoint(480, 250)
                                << QList<QPointF>{{480, 390}, {480, 320}} << QList<QPointF>{{480, 410}, {480, 245}};
}

void TestShapes::figures()
{
  QFETCH(int, cmd);
  QFETCH(QPoint, from);
  QFETCH(QPoint, to);
  QFETCH(QList<QPointF>, painted);
  QFETCH(QList<QPointF>, empty);
  CanvasWindow w;
  w.canvas.setCommand(cmd);
  w.canvas.setLineWidth(6);
  QVERIFY(drawDrag(w.canvas, from, to));
  const QImage image = w.image();
  for (const QPointF &p : painted)
    QVERIFY2(alpha(image, (2 * p).toPoint()) >= 200,
             qPrintable(QString("(%1, %2) is not painted").arg(p.x()).arg(p.y())));
  for (const QPointF &p : empty)
    QVERIFY2(alpha(image, (2 * p).toPoint()) == 0, qPrintable(QString("(%1, %2) is painted").arg(p.x()).arg(p.y())));
}

void TestShapes::circleAtTheTopLeftOfTheDrag()
{
  CanvasWindow w;
  w.canvas.setCommand(10315);
  QVERIFY(drawDrag(w.canvas, QPoint(300, 200), QPoint(200, 160)));
  // A 40 x 40 circle at (200, 160) in widget units.
  COMPARE_RECT(paintedBounds(w.image()), QRect(400, 320, 80, 80), 2);
}

void TestShapes::arrowHeadIsFivePenWidths()
{
  CanvasWindow w;
  w.canvas.setCommand(10337);
  w.canvas.setLineWidth(4);
  QVERIFY(drawDrag(w.canvas, QPoint(100, 270), QPoint(400, 270)));
  const QImage image = w.image();
  // The head: from its base 20 canvas pixels before the tip at x 800, 20 wide across.
  COMPARE_RECT(paintedBounds(image, QRect(779, 500, 60, 80)), QRect(780, 530, 20, 20), 2);
  // The shaft keeps the pen's 4 pixels.
  COMPARE_RECT(paintedBounds(image, QRect(400, 500, 100, 80)), QRect(400, 538, 100, 4), 1);
}

void TestShapes::lineStyles_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<int>("minGaps");
  QTest::addColumn<int>("maxGaps");
  // Along 600 canvas pixels of a 4 px line: dashes repeat every 24 pixels, dots every 12.
  QTest::newRow("plain") << 10309 << 0 << 0;
  QTest::newRow("dashed") << 10335 << 20 << 30;
  QTest::newRow("dotted") << 10336 << 40 << 60;
}

void TestShapes::lineStyles()
{
  QFETCH(int, cmd);
  QFETCH(int, minGaps);
  QFETCH(int, maxGaps);
  CanvasWindow w;
  w.canvas.setCommand(cmd);
  w.canvas.setLineWidth(4);
  QVERIFY(drawDrag(w.canvas, QPoint(100, 270), QPoint(450, 270)));
  const QImage image = w.image();
  int gaps = 0;
  bool inGap = false;
  for (int x = 250; x < 850; ++x) {
    const bool empty = alpha(image, QPoint(x, 540)) < 128;
    if (empty && !inGap)
      ++gaps;
    inGap = empty;
  }
  QVERIFY2(gaps >= minGaps && gaps <= maxGaps, qPrintable(QString("%1 gaps").arg(gaps)));
}

void TestShapes::clickWithoutDragDrawsNothing()
{
  CanvasWindow w;
  const QImage before = w.image();
  for (int cmd : {10309, 10310, 10313, 10314, 10316, 10319, 10320, 10323, 10324, 10327}) {
    w.canvas.setCommand(cmd);
    Gestures::click(&w.canvas, QPoint(300, 200));
  }
  // Long enough for any 10 ms redraw to have come.
  QSignalSpy later(w.canvas.currentShape(), &Shape::shapeNeedDisplayInRect);
  QVERIFY(!later.wait(200));
  QVERIFY(w.image() == before);
}

void TestShapes::dragBackToItsStartLeavesTheBackup()
{
  CanvasWindow w;
  QPixmap start(1920, 1080);
  start.fill(QColor(0, 0, 255, 128));
  w.canvas.drawImage(start);
  const QImage before = w.image();
  for (int cmd : {10309, 10311, 10316, 10319, 10321, 10322, 10327}) {
    w.canvas.setCommand(cmd);
    QSignalSpy drawn(w.canvas.currentShape(), &Shape::shapeNeedDisplayInRect);
    Gestures::press(&w.canvas, QPoint(300, 200));
    Gestures::moveInSteps(&w.canvas, QPoint(300, 200), QPoint(420, 300), 3);
    QTRY_VERIFY(drawn.count() >= 1);
    QVERIFY2(w.image() != before, "the figure was not drawn on the way out");
    Gestures::moveInSteps(&w.canvas, QPoint(420, 300), QPoint(300, 200), 3);
    Gestures::release(&w.canvas, QPoint(300, 200));
    QTRY_COMPARE(drawn.count(), 6);
    QVERIFY2(w.image() == before, qPrintable(QString("command %1").arg(cmd)));
  }
}

TAVO_TEST_MAIN(TestShapes)
#include "tst_shapes.moc"
