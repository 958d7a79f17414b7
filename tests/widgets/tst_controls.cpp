// The window base, the colour controls, the segmented control and the switch.

#include "colorbutton.h"
#include "colormatrixpalettewidget.h"
#include "colorpickerwidget.h"
#include "commonmainwindow.h"
#include "gestures.h"
#include "navigationbar.h"
#include "segmentedcontrol.h"
#include "switchbutton.h"
#include "pixelprobe.h"
#include "testenv.h"

#include <QPushButton>

namespace {

class RecordingWindow : public CommonMainWindow
{
public:
  QStringList calls;
  void navigationCommand1() override { calls << "1"; }
  void navigationDone() override { calls << "done"; }
  void navigationCommand3() override { calls << "3"; }
  void navigationCommand(int cmdId) override { calls << QString("cmd %1").arg(cmdId); }
  void attachBar() { _navigationBar = new NavigationBar(this); }
};

} // namespace

class TestControls : public QObject
{
  Q_OBJECT
private slots:
  void navigationDispatch();
  void doneButton();

  void colorButtonFaces();
  void paletteLayout();
  void paletteClickNeedsReleaseInside();
  void pickerShowsColour();

  void segmentReleases();
  void segmentOutsideAndWithoutTitles();
  void segmentPaintsSelection();

  void switchKnob();
  void verticalSwitch();
};

void TestControls::navigationDispatch()
{
  RecordingWindow window;
  for (int id : {1, 2, 3, 7, 0})
    window.onNavigationButtonClicked(id);
  QCOMPARE(window.calls, QStringList({"1", "done", "3", "cmd 7", "cmd 0"}));
}

void TestControls::doneButton()
{
  RecordingWindow window;
  window.showDoneNavigationButton(); // no bar: nothing happens
  QVERIFY(!window.navigationBar());

  window.attachBar();
  NavigationBar *bar = window.navigationBar();
  bar->addButton(5, "Five");
  bar->addButton(6, "Six");
  window.showDoneNavigationButton();
  QCOMPARE(bar->buttons().size(), 1);
  QPushButton *done = bar->buttons().first();
  QCOMPARE(done->text(), QString("Done"));
  QCOMPARE(done->property("tag").toInt(), 2);
  QVERIFY(done->isFlat());
  connect(bar, &NavigationBar::buttonClicked, &window, &CommonMainWindow::onNavigationButtonClicked);
  done->click();
  QCOMPARE(window.calls, QStringList({"done"}));
}

void TestControls::colorButtonFaces()
{
  QWidget top;
  top.setStyleSheet("background-color: rgb(200,0,200);");
  ColorButton button(&top);
  button.setGeometry(0, 0, 40, 30);
  top.resize(60, 50);
  top.show();
  QVERIFY(QTest::qWaitForWindowExposed(&top));

  button.setColor(QColor(255, 0, 0, 0));
  QVERIFY(button.styleSheet().contains("background-color:transparent;"));
  QImage face = PixelProbe::grab(&button);
  // Inside: the checkerboard (white and light grey), never the magenta behind.
  for (const QPoint &p : {QPoint(10, 10), QPoint(20, 15), QPoint(30, 20)}) {
    const QRgb c = face.pixel(p);
    QVERIFY2(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) >= 190, qPrintable(PixelProbe::text(c)));
  }
  // Rounded corners: the very corner shows the window behind.
  const QImage window = PixelProbe::grab(&top);
  PROBE(window, 0, 0, QColor(200, 0, 200), 60);
  QVERIFY(PixelProbe::near(window.pixel(20, 15), QColor(face.pixel(20, 15)), 2));

  button.setColor(QColor(1, 1, 1));
  QVERIFY(button.styleSheet().contains("border: 1px solid rgb(31,32,35)"));
  QVERIFY(button.styleSheet().contains("background-color: rgb(1,1,1)"));
  button.setColor(QColor(2, 1, 1));
  QVERIFY(button.styleSheet().contains("border: 0px solid"));
  button.setColor(QColor(200, 100, 50));
  face = PixelProbe::grab(&button);
  PROBE(face, 20, 15, QColor(200, 100, 50), 8);
  const QColor pressed = QColor(200, 100, 50).darker(200);
  QVERIFY(button.styleSheet().contains(QString(":pressed { background-color: rgb(%1,%2,%3)")
                                         .arg(pressed.red())
                                         .arg(pressed.green())
                                         .arg(pressed.blue())));
}

void TestControls::paletteLayout()
{
  ColorMatrixPaletteWidget palette;
  palette.resize(101, 120);
  QList<QColor> colors;
  for (int i = 0; i < 10; ++i)
    colors << QColor::fromHsv(i * 36, 200, 200);
  palette.setColors(colors, 4, 2);
  QCOMPARE(ColorMatrixPaletteWidget::cellSize(101, 4, 2), 23.5f);
  const QList<QRectF> cells = palette.cellRects();
  QCOMPARE(cells.size(), 10);
  QCOMPARE(cells[0], QRectF(0, 0, 23.5, 23.5));
  QCOMPARE(cells[3], QRectF(76.5, 0, 23.5, 23.5));
  QCOMPARE(cells[4], QRectF(0, 25.5, 23.5, 23.5));
  QCOMPARE(cells[8], QRectF(0, 51, 23.5, 23.5));
  QCOMPARE(cells[9], QRectF(25.5, 51, 23.5, 23.5));
  // Resizing lays the cells out again; zero columns count as one.
  palette.show();
  QVERIFY(QTest::qWaitForWindowExposed(&palette));
  palette.resize(51, 120);
  QCOMPARE(palette.cellRects()[1], QRectF(13, 0, 11, 11));
  palette.setColors(colors, 0, 0);
  QCOMPARE(palette.cellRects()[1].top(), palette.cellRects()[0].height());
}

void TestControls::paletteClickNeedsReleaseInside()
{
  ColorMatrixPaletteWidget palette;
  palette.resize(101, 80);
  QList<QColor> colors;
  for (int i = 0; i < 10; ++i)
    colors << QColor(i * 20, 0, 0);
  palette.setColors(colors, 4, 2);
  palette.show();
  QVERIFY(QTest::qWaitForWindowExposed(&palette));
  QSignalSpy clicked(&palette, &ColorMatrixPaletteWidget::colorClicked);

  // Press on cell 5, drag out, release: nothing.
  Gestures::press(&palette, QPoint(35, 35));
  QCOMPARE(palette.pressedIndex(), 5);
  QCOMPARE(palette.highlightedIndex(), 5);
  Gestures::moveInSteps(&palette, QPoint(35, 35), QPoint(90, 70), 3);
  QCOMPARE(palette.highlightedIndex(), -1);
  Gestures::release(&palette, QPoint(90, 70));
  QCOMPARE(clicked.count(), 0);
  QCOMPARE(palette.pressedIndex(), -1);

  // Out and back in before the release: the colour.
  Gestures::press(&palette, QPoint(35, 35));
  Gestures::moveInSteps(&palette, QPoint(35, 35), QPoint(90, 70), 2);
  Gestures::moveInSteps(&palette, QPoint(90, 70), QPoint(36, 36), 2);
  QCOMPARE(palette.highlightedIndex(), 5);
  Gestures::release(&palette, QPoint(36, 36));
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked.first().first().value<QColor>(), QColor(100, 0, 0));

  // A press in the gap between cells or below them changes nothing.
  Gestures::press(&palette, QPoint(24, 10));
  QCOMPARE(palette.pressedIndex(), -1);
  Gestures::release(&palette, QPoint(24, 10));
  Gestures::click(&palette, QPoint(90, 78));
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(palette.highlightedIndex(), -1);
}

void TestControls::pickerShowsColour()
{
  ColorPickerWidget picker;
  picker.resize(60, 60);
  picker.setColor(QColor(0, 0, 255));
  QCOMPARE(picker.color(), QColor(0, 0, 255));
  const QImage img = PixelProbe::grab(&picker);
  // The ring (radius 28 outside, 21.75 inside around the centre 30,30) is blue; the inner
  // disc is left empty apart from the red cross hair.
  PROBE(img, 30, 5, QColor(0, 0, 255), 8);
  QVERIFY(!PixelProbe::near(img.pixel(22, 22), QColor(0, 0, 255), 40));
  const QRgb hair = img.pixel(38, 30);
  QVERIFY2(qRed(hair) > qGreen(hair) + 80 && qRed(hair) > qBlue(hair) + 80, qPrintable(PixelProbe::text(hair)));
}

void TestControls::segmentReleases()
{
  SegmentedControl control;
  control.setSegmentTitles({"A", "B", "C"});
  control.resize(100, 30);
  control.show();
  QVERIFY(QTest::qWaitForWindowExposed(&control));
  QSignalSpy changed(&control, &SegmentedControl::segmentIndexChanged);

  const struct
  {
    int x;
    int expected;
  } cases[] = {{34, 1}, {33, 0}, {66, 1}, {99, 2}, {67, 2}, {0, 0}};
  for (const auto &c : cases) {
    const int before = control.currentIndex();
    Gestures::click(&control, QPoint(c.x, 15));
    QVERIFY2(control.currentIndex() == c.expected,
             qPrintable(QString("x %1 gave %2").arg(c.x).arg(control.currentIndex())));
    if (before != c.expected) {
      QCOMPARE(changed.count(), 1);
      QCOMPARE(changed.first().at(1).toInt(), c.expected);
      QCOMPARE(changed.first().at(0).value<SegmentedControl *>(), &control);
    } else {
      QCOMPARE(changed.count(), 0);
    }
    changed.clear();
  }
  // A drag from one segment to another selects the one under the release.
  Gestures::drag(&control, QPoint(10, 15), QPoint(80, 15), 4);
  QCOMPARE(control.currentIndex(), 2);
  QCOMPARE(changed.count(), 1);
}

void TestControls::segmentOutsideAndWithoutTitles()
{
  QWidget top;
  top.resize(300, 100);
  SegmentedControl control(&top);
  control.setSegmentTitles({"A", "B", "C"});
  control.setGeometry(50, 20, 100, 30);
  top.show();
  QVERIFY(QTest::qWaitForWindowExposed(&top));
  QSignalSpy changed(&control, &SegmentedControl::segmentIndexChanged);

  for (int x : {150, -5, 100}) {
    Gestures::press(&control, QPoint(50, 15));
    Gestures::moveInSteps(&control, QPoint(50, 15), QPoint(x, 15), 3);
    Gestures::release(&control, QPoint(x, 15));
    QVERIFY2(changed.isEmpty(), qPrintable(QString("release at x %1 emitted").arg(x)));
    QCOMPARE(control.currentIndex(), 0);
  }
  // A width the count does not divide: the spare pixels belong to the last segment, and no
  // index at or past the count ever comes out.
  control.resize(101, 30);
  QCOMPARE(control.segmentAt(QPoint(100, 10)), 2);
  QCOMPARE(control.segmentAt(QPoint(101, 10)), -1);

  SegmentedControl empty;
  empty.resize(100, 30);
  empty.show();
  QVERIFY(QTest::qWaitForWindowExposed(&empty));
  QSignalSpy emptyChanged(&empty, &SegmentedControl::segmentIndexChanged);
  Gestures::click(&empty, QPoint(80, 15));
  QCOMPARE(emptyChanged.count(), 0);
  QCOMPARE(empty.currentIndex(), 0);
  QCOMPARE(empty.segmentTitle(0), QString());
  // Nothing of its own is painted: the window background shows everywhere.
  const QImage img = PixelProbe::grab(&empty);
  const QRgb background = empty.palette().color(QPalette::Window).rgb();
  QCOMPARE(PixelProbe::text(img.pixel(50, 15)), PixelProbe::text(background));
  QCOMPARE(PixelProbe::text(img.pixel(2, 2)), PixelProbe::text(background));
}

void TestControls::segmentPaintsSelection()
{
  SegmentedControl control;
  control.setSegmentTitles({"", "", ""});
  control.setBackgroundColor(QColor(10, 20, 30));
  control.setSelectedSegmentColor(QColor(200, 50, 50));
  control.setCurrentIndex(1);
  control.resize(99, 30);
  const QImage img = PixelProbe::grab(&control);
  PROBE(img, 49, 15, QColor(200, 50, 50), 8);
  PROBE(img, 16, 15, QColor(10, 20, 30), 8);
  PROBE(img, 82, 15, QColor(10, 20, 30), 8);
}

void TestControls::switchKnob()
{
  SwitchButton button;
  button.resize(60, 30);
  button.setOnColor(QColor(0, 200, 0));
  button.setOffColor(QColor(100, 100, 100));
  button.setKnobColor(QColor(255, 255, 255));
  button.show();
  QVERIFY(QTest::qWaitForWindowExposed(&button));
  QSignalSpy changed(&button, &SwitchButton::valueChanged);

  Gestures::press(&button, QPoint(10, 15));
  // The signal comes with the press, before the knob arrives.
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.first().first().toBool(), true);
  QVERIFY(button.value());
  QVERIFY(button.knobOffset() < 30);
  Gestures::release(&button, QPoint(10, 15));
  QTRY_COMPARE(button.knobOffset(), 30);
  QImage img = PixelProbe::grab(&button);
  PROBE(img, 45, 15, Qt::white, 8);
  PROBE(img, 8, 15, QColor(0, 200, 0), 8);

  // Right button: nothing.
  Gestures::click(&button, QPoint(10, 15), Qt::RightButton);
  QCOMPARE(changed.count(), 1);

  // setValue: at once and silent.
  button.setValue(false);
  QCOMPARE(button.knobOffset(), 0);
  button.setValue(true);
  QCOMPARE(button.knobOffset(), 30);
  QCOMPARE(changed.count(), 1);
  // Resizing recomputes the knob from the value.
  button.resize(80, 30);
  QCOMPARE(button.knobOffset(), 50);

  // Disabled without disabled colours: the enabled ones darker by 200.
  button.setValue(false);
  button.setEnabled(false);
  img = PixelProbe::grab(&button);
  PROBE(img, 70, 15, QColor(100, 100, 100).darker(200), 8);
}

void TestControls::verticalSwitch()
{
  SwitchButton button;
  button.resize(20, 40);
  button.setOnColor(QColor(0, 200, 0));
  button.setValue(true);
  QCOMPARE(button.knobOffset(), 20);
  const QImage img = PixelProbe::grab(&button);
  PROBE(img, 10, 30, Qt::white, 8);
  PROBE(img, 10, 6, QColor(0, 200, 0), 8);
}

TAVO_TEST_MAIN(TestControls)
#include "tst_controls.moc"
