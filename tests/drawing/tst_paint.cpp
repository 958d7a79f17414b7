// How the canvas paints: widths in canvas pixels at any widget size, hardness as alpha,
// textures at one texel per canvas pixel, and the rubber.

#include "canvastest.h"
#include "historydatacompressiontaskmanager.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QInputDialog>
#include <QPainterPath>
#include <QBackingStore>

using CanvasProbe::alpha;
using CanvasProbe::drawDrag;
using CanvasProbe::paintedBounds;

class TestPaint : public QObject
{
  Q_OBJECT
private slots:
  void lineWidthInCanvasPixels_data();
  void lineWidthInCanvasPixels();
  void selfCrossingStrokeKeepsOneAlpha();
  void limitedRedrawEqualsTheWholePath_data();
  void limitedRedrawEqualsTheWholePath();
  void textureKeepsOneTexelPerPixel();
  void rubberErases_data();
  void rubberErases();
  void thinLinesShowOnScreen_data();
  void thinLinesShowOnScreen();
  void screenKeepsUpWithStrokes();
};

void TestPaint::lineWidthInCanvasPixels_data()
{
  QTest::addColumn<QSize>("widgetSize");
  QTest::newRow("half") << QSize(960, 540);
  QTest::newRow("third") << QSize(640, 360);
  QTest::newRow("two thirds") << QSize(1280, 720);
}

void TestPaint::lineWidthInCanvasPixels()
{
  QFETCH(QSize, widgetSize);
  CanvasWindow w;
  w.canvas.setCommand(10309);
  QVERIFY(drawDrag(w.canvas, QPoint(100, 100), QPoint(400, 100)));
  w.canvas.resize(widgetSize);
  QTRY_COMPARE(w.canvas.size(), widgetSize);
  const qreal scale = 1920.0 / widgetSize.width();
  const int y = qRound(400 / scale);
  QVERIFY(drawDrag(w.canvas, QPoint(100, y), QPoint(qRound(800 / scale), y)));
  const QImage image = w.image();
  QCOMPARE(image.size(), QSize(1920, 1080));
  // The first line, drawn before the resize, is still there; both are 30 pixels wide.
  COMPARE_RECT(paintedBounds(image, QRect(500, 150, 10, 100)), QRect(500, 185, 10, 30), 1);
  COMPARE_RECT(paintedBounds(image, QRect(600, 350, 10, 100)), QRect(600, 385, 10, 30), 1);
}

void TestPaint::selfCrossingStrokeKeepsOneAlpha()
{
  CanvasWindow w;
  w.canvas.setHardness(0.5f);
  // Right along y 200, then up and back down through x 300: the stroke crosses itself at
  // (300, 200).
  QSignalSpy drawn(w.canvas.currentShape(), &Shape::shapeNeedDisplayInRect);
  Gestures::press(&w.canvas, QPoint(100, 200));
  Gestures::moveInSteps(&w.canvas, QPoint(100, 200), QPoint(400, 200), 15);
  Gestures::moveInSteps(&w.canvas, QPoint(400, 200), QPoint(300, 100), 5);
  Gestures::moveInSteps(&w.canvas, QPoint(300, 100), QPoint(300, 300), 10);
  Gestures::release(&w.canvas, QPoint(300, 300));
  QCOMPARE(drawn.count(), 31);
  const QImage image = w.image();
  QCOMPARE(alpha(image, QPoint(600, 400)), 127);
  QCOMPARE(alpha(image, QPoint(400, 400)), 127);
  QCOMPARE(alpha(image, QPoint(600, 520)), 127);
  // Hardness is the alpha of filled figures too.
  w.canvas.setCommand(10311);
  QVERIFY(drawDrag(w.canvas, QPoint(500, 300), QPoint(700, 400)));
  QCOMPARE(alpha(w.image(), QPoint(1200, 700)), 127);
}

// The pencil redraws only near its newest piece; the picture must be the one the whole
// path drawn at once gives, also when the pen changes during the stroke.
void TestPaint::limitedRedrawEqualsTheWholePath_data()
{
  QTest::addColumn<float>("laterHardness");
  QTest::newRow("one pen") << 0.5f;
  QTest::newRow("harder halfway") << 0.8f;
}

void TestPaint::limitedRedrawEqualsTheWholePath()
{
  QFETCH(float, laterHardness);
  CanvasWindow w;
  w.canvas.setHardness(0.5f);
  // No two neighbours alike: the window system drops a move that goes nowhere.
  QVector<QPoint> points;
  for (int i = 0; i <= 120; ++i) {
    const QPoint point(480 + int(300 * qSin(i * 0.09)), 270 + int(200 * qSin(i * 0.06 + 0.5)));
    if (points.isEmpty() || points.last() != point)
      points << point;
  }
  Gestures::press(&w.canvas, points[0]);
  for (int i = 1; i < points.size(); ++i) {
    if (i == points.size() / 2)
      w.canvas.setHardness(laterHardness);
    Gestures::move(&w.canvas, points[i]);
  }
  Gestures::release(&w.canvas, points.last());

  QImage expected(1920, 1080, QImage::Format_ARGB32_Premultiplied);
  expected.fill(Qt::transparent);
  QPainter painter(&expected);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  painter.setTransform(QTransform::fromScale(2, 2));
  const QColor color(0, 255, 0, int(laterHardness * 255));
  painter.setPen(QPen(color, 15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  // The path of quadratic pieces through the midpoints; the release adds the last point again.
  QPainterPath path;
  QPoint p0 = points[0], p1 = points[0], p2 = points[0];
  points << points.last();
  for (int i = 1; i < points.size(); ++i) {
    p0 = p1;
    p1 = p2;
    p2 = points[i];
    path.moveTo(QPoint((p0.x() + p1.x()) / 2, (p0.y() + p1.y()) / 2));
    path.quadTo(p1, QPoint((p1.x() + p2.x()) / 2, (p1.y() + p2.y()) / 2));
  }
  painter.drawPath(path);
  painter.end();
  const QImage actual = w.canvas.canvasImage().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int differing = 0;
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x)
      differing += actual.pixel(x, y) != expected.pixel(x, y);
  QCOMPARE(differing, 0);
}

void TestPaint::textureKeepsOneTexelPerPixel()
{
  CanvasWindow w;
  // Stripes one pixel wide, already of the canvas's size.
  QImage stripes(1920, 1080, QImage::Format_ARGB32);
  for (int x = 0; x < stripes.width(); ++x)
    for (int y = 0; y < stripes.height(); ++y)
      stripes.setPixel(x, y, x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
  w.canvas.setPattern(QPixmap::fromImage(stripes));
  w.canvas.setCommand(10311);
  QVERIFY(drawDrag(w.canvas, QPoint(100, 100), QPoint(300, 200)));
  const QImage image = w.image();
  for (int x = 300; x < 320; ++x) {
    const QRgb expected = x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0);
    QVERIFY2(image.pixel(x, 300) == (expected | 0xff000000),
             qPrintable(QString("pixel %1 is %2").arg(x).arg(image.pixel(x, 300), 8, 16)));
  }
  // Lines paint the texture too.
  w.canvas.setCommand(10309);
  QVERIFY(drawDrag(w.canvas, QPoint(100, 400), QPoint(300, 400)));
  QCOMPARE(w.image().pixel(401, 800), qRgb(0, 0, 255));
}

void TestPaint::rubberErases_data()
{
  QTest::addColumn<int>("cmd");
  QTest::addColumn<QPoint>("from");
  QTest::addColumn<QPoint>("to");
  QTest::addColumn<QPoint>("erased");
  QTest::newRow("pencil") << 10301 << QPoint(100, 100) << QPoint(300, 100) << QPoint(200, 100);
  QTest::newRow("line") << 10309 << QPoint(100, 100) << QPoint(300, 100) << QPoint(200, 100);
  QTest::newRow("rectangle") << 10310 << QPoint(100, 100) << QPoint(300, 200) << QPoint(100, 150);
  QTest::newRow("filled rectangle") << 10311 << QPoint(100, 100) << QPoint(300, 200) << QPoint(200, 150);
  QTest::newRow("rounded rectangle") << 10313 << QPoint(100, 100) << QPoint(300, 200) << QPoint(200, 150);
  QTest::newRow("circle") << 10315 << QPoint(100, 100) << QPoint(300, 300) << QPoint(200, 200);
  QTest::newRow("ellipse") << 10317 << QPoint(100, 100) << QPoint(300, 200) << QPoint(200, 150);
  QTest::newRow("triangle") << 10319 << QPoint(200, 200) << QPoint(300, 200) << QPoint(200, 200);
  QTest::newRow("rhombus") << 10321 << QPoint(100, 100) << QPoint(300, 200) << QPoint(200, 150);
  QTest::newRow("pentagram") << 10323 << QPoint(200, 200) << QPoint(200, 100) << QPoint(200, 200);
  QTest::newRow("pentagon") << 10325 << QPoint(200, 200) << QPoint(300, 200) << QPoint(200, 200);
  QTest::newRow("heart") << 10327 << QPoint(200, 300) << QPoint(200, 150) << QPoint(200, 250);
  QTest::newRow("text") << 10329 << QPoint() << QPoint() << QPoint();
  QTest::newRow("picture") << 10330 << QPoint() << QPoint() << QPoint(480, 270);
}

void TestPaint::rubberErases()
{
  QFETCH(int, cmd);
  QFETCH(QPoint, from);
  QFETCH(QPoint, to);
  QFETCH(QPoint, erased);
  CanvasWindow w;
  QPixmap white(1920, 1080);
  white.fill(Qt::white);
  w.canvas.drawImage(white);
  w.canvas.setRubber(true);
  w.canvas.setCommand(cmd);
  if (cmd == 10329 || cmd == 10330) {
    ScriptedDialogProvider dialogs;
    QTemporaryDir dir;
    const QString path = dir.filePath("red.png");
    QImage red(200, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(path);
    dialogs.answers << path;
    dialogs.onDialog = [](QDialog *dialog) {
      qobject_cast<QInputDialog *>(dialog)->setTextValue("WWWW");
      return int(QDialog::Accepted);
    };
    QSignalSpy text(&w.canvas, &CanvasWidget::canvasWidgetTextChanged);
    QSignalSpy picture(&w.canvas, &CanvasWidget::canvasWidgetPictureChanged);
    Gestures::click(&w.canvas, QPoint(480, 270));
    QTRY_COMPARE(text.count() + picture.count(), 1);
    w.canvas.commitText();
    w.canvas.commitPicture();
  } else {
    QVERIFY(drawDrag(w.canvas, from, to));
  }
  const QImage image = w.image();
  if (cmd == 10329) {
    // Somewhere in the middle band the letters cut through.
    int cut = 0;
    for (int x = 0; x < 1920; ++x)
      cut += alpha(image, QPoint(x, 540)) == 0;
    QVERIFY2(cut > 20, qPrintable(QString("%1 pixels erased").arg(cut)));
  } else {
    QCOMPARE(alpha(image, 2 * erased), 0);
  }
  QCOMPARE(alpha(image, QPoint(5, 1075)), 255);
}

TAVO_TEST_MAIN(TestPaint)
#include "tst_paint.moc"

void TestPaint::thinLinesShowOnScreen_data()
{
  QTest::addColumn<QSize>("canvasSize");
  QTest::addColumn<QSize>("widgetSize");
  QTest::newRow("4K in the editor's preview") << QSize(3840, 2160) << QSize(594, 334);
  QTest::newRow("1080p at a third") << QSize(1920, 1080) << QSize(640, 360);
  QTest::newRow("1080p at half") << QSize(1920, 1080) << QSize(960, 540);
}

// A canvas much larger than its widget still shows every thin line (a pending item's frame
// is one), wherever it falls between the widget's pixels.
void TestPaint::thinLinesShowOnScreen()
{
  QFETCH(QSize, canvasSize);
  QFETCH(QSize, widgetSize);
  CanvasWindow w(canvasSize.width(), canvasSize.height(), widgetSize);
  const auto grab = [&] { return w.canvas.grab().toImage().convertToFormat(QImage::Format_ARGB32); };
  const QImage empty = grab();
  QPixmap lines(canvasSize);
  lines.fill(Qt::transparent);
  QList<int> rows;
  {
    QPainter p(&lines);
    for (int i = 0; i < 16; ++i) {
      rows << 100 + i * (canvasSize.height() - 200) / 16 + i;
      p.fillRect(0, rows.last(), canvasSize.width(), 3, Qt::red);
    }
  }
  w.canvas.drawImage(lines);
  const QImage shown = grab();
  // In the grab's own pixels, which are the screen's.
  const qreal scale = qreal(canvasSize.height()) / shown.height();
  const int x = shown.width() / 2;
  for (int y : qAsConst(rows)) {
    int strongest = 0;
    for (int row = int(y / scale) - 1; row <= int((y + 3) / scale) + 1; ++row)
      strongest = qMax(strongest, qGreen(empty.pixel(x, row)) - qGreen(shown.pixel(x, row)));
    // A 3-pixel line covers a fraction 3 / scale of a widget row, shared by two rows at
    // worst and softened by the smoothing.
    const int expected = int(qGreen(empty.pixel(x, 0)) * 3 / scale * 0.3);
    QVERIFY2(strongest >= expected,
             qPrintable(QString("line at canvas y %1 shows %2, expected at least %3").arg(y).arg(strongest).arg(expected)));
  }
}

// Strokes repaint only their own areas: what the window holds for the screen afterwards is
// what a repaint of the whole widget shows.
void TestPaint::screenKeepsUpWithStrokes()
{
  CanvasWindow w(3840, 2160, QSize(594, 334));
  w.canvas.setLineWidth(12);
  QVERIFY(drawDrag(w.canvas, QPoint(40, 40), QPoint(500, 290), 12));
  w.canvas.setCommand(10310);
  QVERIFY(drawDrag(w.canvas, QPoint(300, 50), QPoint(90, 250), 6));
  w.canvas.setCommand(10301);
  QVERIFY(drawDrag(w.canvas, QPoint(550, 30), QPoint(100, 300), 9));
  // The strokes' last repaints, into the window's backing store: what goes to the screen,
  // built from the partial repaints, which other windows on a shared display cannot cover.
  QCoreApplication::sendPostedEvents(&w.canvas, QEvent::UpdateRequest);
  QBackingStore *store = w.canvas.backingStore();
  QPaintDevice *device = store ? store->paintDevice() : nullptr;
  QVERIFY2(device && device->devType() == QInternal::Image, "the window paints into no image");
  const QImage shown =
      static_cast<QImage *>(device)->copy(w.canvas.rect()).convertToFormat(QImage::Format_RGB32);
  // Taken second: a whole repaint brings the reduced copy up to date everywhere.
  const QImage whole = w.canvas.grab().toImage().convertToFormat(QImage::Format_RGB32);
  QCOMPARE(shown.size(), whole.size());
  int worst = 0;
  for (int y = 0; y < whole.height(); ++y)
    for (int x = 0; x < whole.width(); ++x) {
      const QRgb a = whole.pixel(x, y), b = shown.pixel(x, y);
      worst = std::max({worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
    }
  QVERIFY2(worst <= 4, qPrintable(QString("the window shows up to %1 off a whole repaint").arg(worst)));
}
