// The drawing colour swatch: stored choices, the eraser, gradient pictures and what it
// does with the fill popup's results.

#include "colormatrixpalettewidget.h"
#include "editablegradientwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "swatchwindow.h"
#include "testenv.h"
#include "texturegridwidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <cmath>

namespace {

QVariant stored(const QString &key)
{
  return QSettings().value("DrawingColorView/" + key);
}

bool near(const QImage &image, int x, int y, const QColor &expected, int tolerance = 4)
{
  const QRgb found = image.pixel(x, y);
  if (PixelProbe::near(found, expected, tolerance))
    return true;
  qWarning("at (%d, %d): expected %s, found %s", x, y, qPrintable(PixelProbe::text(expected.rgb())),
           qPrintable(PixelProbe::text(found)));
  return false;
}

} // namespace

class TestColorSwatch : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void defaultsAndStoredChoices();
  void damagedStoreFallsBack();
  void eraserOpensNothing();
  void linearGradientPicture();
  void radialGradientPicture();
  void eraserReturnsToTheModeBefore_data();
  void eraserReturnsToTheModeBefore();
  void unloadablePatternIsKeptButNotReported();
  void modeChangesKeepThePopupOpen_data();
  void modeChangesKeepThePopupOpen();
  void choicesCloseThePopup();
  void gradientEditKeepsThePopupOpen();
  void popupParentTakesTheBottomCentre();
};

void TestColorSwatch::init()
{
  QSettings().clear();
}

void TestColorSwatch::defaultsAndStoredChoices()
{
  {
    DrawingColorWidget swatch(QSize(1920, 1080));
    QCOMPARE(swatch.mode(), 1);
    QCOMPARE(swatch.color(), QColor(0, 255, 0));
    QVERIFY(swatch.pattern().isNull());
    swatch.selectPatternMode();
    QCOMPARE(swatch.pattern().toImage(), QPixmap(":/images/texture/01").toImage());
    swatch.switchToRubber();
  }
  QCOMPARE(stored("Mode").toInt(), 0);
  QCOMPARE(stored("ModeNonHollow").toInt(), 2);
  QCOMPARE(stored("Pattern").toString(), QString(":/images/texture/01"));
  QCOMPARE(stored("Color").value<QColor>(), QColor(0, 255, 0));

  QSettings().setValue("DrawingColorView/Color", QColor(10, 20, 30));
  QSettings().setValue("DrawingColorView/Pattern", ":/images/texture/07");
  DrawingColorWidget swatch(QSize(1920, 1080));
  QCOMPARE(swatch.mode(), 0);
  QCOMPARE(swatch.color(), QColor(10, 20, 30));
  swatch.restoreNonHollowMode();
  QCOMPARE(swatch.mode(), 2);
  QCOMPARE(swatch.pattern().toImage(), QPixmap(":/images/texture/07").toImage());
}

void TestColorSwatch::damagedStoreFallsBack()
{
  QSettings settings;
  settings.setValue("DrawingColorView/Mode", 9);
  settings.setValue("DrawingColorView/Color", "no colour");
  settings.setValue("DrawingColorView/LinearEndColor", "#12");
  settings.sync();
  DrawingColorWidget swatch(QSize(200, 100));
  QCOMPARE(swatch.mode(), 1);
  QCOMPARE(swatch.color(), QColor(0, 255, 0));
  swatch.selectLinearGradientMode();
  QVERIFY(near(swatch.pattern().toImage(), 199, 50, QColor(255, 255, 0)));
}

void TestColorSwatch::eraserOpensNothing()
{
  SwatchWindow w;
  w.swatch->switchToRubber();
  QVERIFY(!w.open());
  w.swatch->restoreNonHollowMode();
  w.swatch->selectRubberMode();
  QVERIFY(!w.open());
  QCOMPARE(w.top.findChildren<PopupDrawingModeWidget *>().size(), 0);
  w.swatch->restoreNonHollowMode();
  QVERIFY(w.open());
}

void TestColorSwatch::linearGradientPicture()
{
  DrawingColorWidget swatch(QSize(1920, 1080));
  swatch.selectLinearGradientMode();
  const QImage image = swatch.pattern().toImage();
  QCOMPARE(image.size(), QSize(1920, 1080));
  const QColor start(0, 255, 0), end(255, 255, 0);
  QVERIFY(near(image, 288, 540, start));
  QVERIFY(near(image, 10, 100, start));
  QVERIFY(near(image, 960, 540, QColor(128, 255, 0)));
  QVERIFY(near(image, 1632, 540, end));
  QVERIFY(near(image, 1910, 1000, end));
}

void TestColorSwatch::radialGradientPicture()
{
  DrawingColorWidget swatch(QSize(1920, 1080));
  swatch.selectRadialGradientMode();
  const QImage image = swatch.pattern().toImage();
  QVERIFY(near(image, 960, 540, QColor(0, 255, 0)));
  // Red grows with the distance from the centre and is full at the rim, ~771 px out.
  const double radius = std::hypot(0.35 * 1920, 0.35 * 1080);
  for (double d : {200.0, 400.0, 600.0, 740.0}) {
    const int red = qRound(255 * d / radius);
    QVERIFY(near(image, 960 + int(d), 540, QColor(red, 255, 0), 5));
    QVERIFY(near(image, 960, 540 - int(d * 0.5), QColor(qRound(255 * d * 0.5 / radius), 255, 0), 5));
  }
  QVERIFY(near(image, 960 + 780, 540, QColor(255, 255, 0)));
  QVERIFY(near(image, 0, 0, QColor(255, 255, 0)));
}

void TestColorSwatch::eraserReturnsToTheModeBefore_data()
{
  QTest::addColumn<int>("mode");
  QTest::newRow("colour") << 1;
  QTest::newRow("pattern") << 2;
  QTest::newRow("linear") << 3;
  QTest::newRow("radial") << 4;
}

void TestColorSwatch::eraserReturnsToTheModeBefore()
{
  QFETCH(int, mode);
  QImage before;
  {
    DrawingColorWidget swatch(QSize(320, 180));
    switch (mode) {
    case 2: swatch.selectPatternMode(); break;
    case 3: swatch.selectLinearGradientMode(); break;
    case 4: swatch.selectRadialGradientMode(); break;
    default: swatch.selectColorMode(); break;
    }
    before = swatch.pattern().toImage();
    swatch.switchToRubber();
    QCOMPARE(swatch.mode(), 0);
    swatch.restoreNonHollowMode();
    QCOMPARE(swatch.mode(), mode);
    QCOMPARE(swatch.pattern().toImage(), before);
    swatch.switchToRubber();
  }
  // A new session starts on the eraser and still finds its way back, picture rebuilt.
  DrawingColorWidget swatch(QSize(320, 180));
  QCOMPARE(swatch.mode(), 0);
  QVERIFY(swatch.pattern().isNull());
  swatch.restoreNonHollowMode();
  QCOMPARE(swatch.mode(), mode);
  QCOMPARE(swatch.pattern().toImage(), before);
}

void TestColorSwatch::unloadablePatternIsKeptButNotReported()
{
  SwatchWindow w;
  w.swatch->selectPatternMode();
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup);
  emit popup->drawingModePopupDidPatternChange(popup, "/no/such/picture.png");
  QCOMPARE(w.swatch->patternPath(), QString("/no/such/picture.png"));
  QCOMPARE(w.patterns.count(), 0);
  QVERIFY(!w.swatch->popup());
}

void TestColorSwatch::modeChangesKeepThePopupOpen_data()
{
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  QTest::newRow("to colour") << 3 << 1;
  QTest::newRow("to pattern") << 1 << 2;
  QTest::newRow("to linear") << 4 << 3;
  QTest::newRow("to radial") << 2 << 4;
}

void TestColorSwatch::modeChangesKeepThePopupOpen()
{
  QFETCH(int, from);
  QFETCH(int, to);
  QSettings().setValue("DrawingColorView/Mode", from);
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup);
  QCOMPARE(popup->mode(), from);
  w.chooseTab(popup, to);
  QCOMPARE(w.swatch->mode(), to);
  QCOMPARE(w.swatch->popup(), popup);
  QVERIFY(popup->isVisible());
  if (to == 1) {
    QCOMPARE(w.colors.count(), 1);
    QCOMPARE(w.colors.last().at(1).value<QColor>(), QColor(0, 255, 0));
    QCOMPARE(w.patterns.count(), 0);
  } else {
    QCOMPARE(w.colors.count(), 0);
    QCOMPARE(w.patterns.count(), 1);
    QCOMPARE(w.patterns.last().at(1).value<QPixmap>().toImage(), w.swatch->pattern().toImage());
    QVERIFY(!w.swatch->pattern().isNull());
  }
}

void TestColorSwatch::choicesCloseThePopup()
{
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup->colorPage());
  const QColor chosen = PopupColorMatrixWidget::paletteColors().at(11);
  ColorMatrixPaletteWidget *palette = popup->colorPage()->palettePanel();
  Gestures::click(palette, palette->cellRects().at(11).center().toPoint());
  QCOMPARE(w.colors.count(), 1);
  QCOMPARE(w.colors.last().at(1).value<QColor>(), chosen);
  QCOMPARE(w.swatch->color(), chosen);
  QVERIFY(!w.swatch->popup());
  QTRY_VERIFY(w.top.findChildren<PopupDrawingModeWidget *>().isEmpty());

  // A texture, reported by the grid 200 ms after its click.
  popup = w.open();
  w.chooseTab(popup, 2);
  const int before = w.patterns.count();
  QTest::mouseClick(popup->patternPage()->gridButtons().at(4), Qt::LeftButton);
  QTRY_COMPARE(w.patterns.count(), before + 1);
  QCOMPARE(w.swatch->patternPath(), QString(":/images/texture/05"));
  QCOMPARE(w.patterns.last().at(1).value<QPixmap>().toImage(), QPixmap(":/images/texture/05").toImage());
  QVERIFY(!w.swatch->popup());
}

void TestColorSwatch::gradientEditKeepsThePopupOpen()
{
  QSettings().setValue("DrawingColorView/Mode", 4);
  SwatchWindow w;
  w.swatch->selectRadialGradientMode();
  PopupDrawingModeWidget *popup = w.open();
  EditableGradientWidget *page = popup->radialPage();
  QVERIFY(page);
  QSignalSpy reports(popup, &PopupDrawingModeWidget::drawingModePopupGradientValueDidChange);
  // The rim handle to the page's top right corner.
  const QPoint rim = page->endHandle()->geometry().center();
  Gestures::drag(page, rim, QPoint(page->width() - 1, 0), 6);
  QTRY_COMPARE(reports.count(), 1);
  QCOMPARE(reports.last().at(1).toBool(), true);
  const QPointF rimLocation = reports.last().at(5).toPointF();
  QVERIFY2(rimLocation.x() > 0.99 && rimLocation.y() < 0.01, qPrintable(QString("rim at %1, %2").arg(rimLocation.x()).arg(rimLocation.y())));
  QCOMPARE(w.patterns.count(), 1);
  QCOMPARE(w.swatch->popup(), popup);
  // The rebuilt picture: centre still green, the rim now near (1920, 0), so (1500, 540)
  // is well inside the circle.
  const QImage image = w.pattern();
  QVERIFY(near(image, 960, 540, QColor(0, 255, 0)));
  const double radius = std::hypot(1920 * rimLocation.x() - 960, 1080 * rimLocation.y() - 540);
  const int red = qRound(255 * 540 / radius);
  QVERIFY(near(image, 1500, 540, QColor(red, 255, 0), 5));
  QCOMPARE(w.patterns.last().at(1).value<QPixmap>().toImage().pixel(1500, 540), image.pixel(1500, 540));
}

void TestColorSwatch::popupParentTakesTheBottomCentre()
{
  SwatchWindow w;
  auto *holder = new QWidget(&w.top);
  holder->setGeometry(100, 100, 400, 100);
  holder->show();
  w.swatch->setParent(holder);
  w.swatch->setGeometry(200, 20, 50, 50);
  w.swatch->show();
  w.swatch->setPopupParentWidget(&w.top);
  w.swatch->setPopupShadowEnabled(true);
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup);
  QCOMPARE(popup->parentWidget(), &w.top);
  QCOMPARE(popup->backgroundColor(), QColor(44, 46, 50, 244));
  QVERIFY(popup->mainWidget()->graphicsEffect());
  // The swatch's bottom centre in the window is (325, 170): too high for the panel above
  // it, so the panel is centred from top to bottom.
  QCOMPARE(popup->mainWidget()->geometry().topLeft(), QPoint(325 - 191, (720 - 470) / 2));
  w.swatch->move(250, 20);
  QCOMPARE(popup->mainWidget()->geometry().topLeft(), QPoint(375 - 191, (720 - 470) / 2));
  w.swatch->dismissPopup();
  QVERIFY(!w.swatch->popup());
}

TAVO_TEST_MAIN(TestColorSwatch)
#include "tst_colorswatch.moc"
