// The colour chooser: palette, recent colours in the isolated settings, placement and
// picking a colour from a still with the loupe.

#include "animationswitch.h"
#include "colormatrixpalettewidget.h"
#include "colorpickerwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupcolormatrixwidget.h"
#include "popuptestwindow.h"
#include "testenv.h"

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>

namespace {

using Window = PopupTestWindow;

// Answers the popup's questions about the preview like an owner.
struct PreviewOwner
{
  QImage still;
  QRect frame{100, 100, 400, 200};
  int imageRequests = 0;
  void attach(PopupColorMatrixWidget *popup)
  {
    QObject::connect(popup, &PopupColorMatrixWidget::colorMatrixPopupColorPickingImageNeeded,
                     [this](PopupColorMatrixWidget *, QImage *image) {
                       ++imageRequests;
                       *image = still;
                     });
    QObject::connect(popup, &PopupColorMatrixWidget::colorMatrixPopupGetPlaybackAreaFrame,
                     [this](PopupColorMatrixWidget *, QRect *rect) { *rect = frame; });
  }
};

QImage gradientStill()
{
  QImage image(200, 100, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgb(x, y * 2, 100));
  return image;
}

// A popup over a window whose owner offers a still (or none), picking switched on.
struct Picking
{
  AnimationsOff off;
  Window w;
  PreviewOwner owner;
  QPointer<PopupColorMatrixWidget> popup;
  explicit Picking(bool withStill = true)
  {
    popup = new PopupColorMatrixWidget(&w.top);
    if (withStill)
      owner.still = gradientStill();
    owner.attach(popup);
    popup->showPopupAt(&w.top, QPoint(1000, 400), true);
    QTest::mouseClick(popup->colorPickerButton(), Qt::LeftButton);
  }
  ~Picking() { delete popup; }
};

void storeRecent(const QList<QRgb> &colors)
{
  QSettings settings;
  settings.remove("RecentColors");
  settings.beginWriteArray("RecentColors");
  for (int i = 0; i < colors.size(); ++i) {
    settings.setArrayIndex(i);
    settings.setValue("color", uint(colors[i]));
  }
  settings.endArray();
}

int storedCount()
{
  QSettings settings;
  const int count = settings.beginReadArray("RecentColors");
  settings.endArray();
  return count;
}

} // namespace

class TestColorMatrix : public QObject
{
  Q_OBJECT
private slots:
  void init() { QSettings().remove("RecentColors"); }
  void paletteInItsOrder();
  void recentColorsMoveToTheFront();
  void recentColorsInTheSettings();
  void placement_data();
  void placement();
  void clickingAColourReportsIt();
  void moreColorsAsksTheOwner();
  void noStillNoLoupe();
  void loupeStaysOnThePicture();
  void pressNearTheLoupeDragsFurtherDismisses();
  void pickingOffAndOnReusesTheStill();
};

void TestColorMatrix::paletteInItsOrder()
{
  AnimationsOff off;
  Window w;
  auto *popup = new PopupColorMatrixWidget(&w.top);
  popup->showPopupAt(&w.top, QPoint(600, 400), false);
  QVERIFY(popup->colorPickerButton()->isHidden());
  QCOMPARE(popup->colorPickingMode(), 0);
  const QList<QColor> palette = PopupColorMatrixWidget::paletteColors();
  QCOMPARE(palette.size(), 80);
  QCOMPARE(palette[0], QColor("#000000"));
  QCOMPARE(palette[11], QColor("#FF0000"));
  QCOMPARE(palette[79], QColor("#4C1130"));

  ColorMatrixPaletteWidget *panel = popup->palettePanel();
  QCOMPARE(panel->cellRects().size(), 80);
  const QImage image = PixelProbe::grab(panel);
  const auto probeCell = [&](int index, const QColor &color) {
    const QPoint c = panel->cellRects()[index].center().toPoint();
    PROBE(image, c.x(), c.y(), color, 4);
  };
  probeCell(0, QColor("#000000"));
  probeCell(11, QColor("#FF0000"));
  probeCell(79, QColor("#4C1130"));
  // Ten to a row: cell 10 starts the second row under cell 0.
  QCOMPARE(panel->cellRects()[10].x(), panel->cellRects()[0].x());
  QVERIFY(panel->cellRects()[10].y() > panel->cellRects()[0].y());
  // No stored colours: the recent row is empty but one row high.
  QVERIFY(popup->recentlyUsedColorsPanel()->cellRects().isEmpty());
  const QMargins m = popup->mainWidget()->layout()->contentsMargins();
  QCOMPARE(popup->recentlyUsedColorsPanel()->height(),
           int(ColorMatrixPaletteWidget::cellSize(350 - m.left() - m.right(), 10, 5.0f)) + 1);
}

void TestColorMatrix::recentColorsMoveToTheFront()
{
  Window w;
  PopupColorMatrixWidget popup(&w.top);
  for (int i = 0; i < 10; ++i)
    popup.addRecentColor(QColor(i, 0, 0));
  QCOMPARE(popup.recentColors().first(), QColor(9, 0, 0));
  popup.addRecentColor(QColor(3, 0, 0));
  QCOMPARE(popup.recentColors().size(), 10);
  QCOMPARE(popup.recentColors().first(), QColor(3, 0, 0));
  QCOMPARE(popup.recentColors().count(QColor(3, 0, 0)), 1);
  popup.pushRecentColor(QColor(0, 0, 255));
  QCOMPARE(popup.recentColors().size(), 10);
  QCOMPARE(popup.recentColors().first(), QColor(0, 0, 255));
  QVERIFY(!popup.recentColors().contains(QColor(0, 0, 0))); // the oldest went out
}

void TestColorMatrix::recentColorsInTheSettings()
{
  AnimationsOff off;
  Window w;
  // Nothing chosen, nothing stored: the destructor leaves the settings alone.
  delete new PopupColorMatrixWidget(&w.top);
  QCOMPARE(storedCount(), 0);
  storeRecent({0xff112233});
  {
    auto *popup = new PopupColorMatrixWidget(&w.top);
    popup->showPopupAt(&w.top, QPoint(600, 400), true);
    QCOMPARE(popup->recentColors(), QList<QColor>{QColor(0x11, 0x22, 0x33)});
    QCOMPARE(popup->recentlyUsedColorsPanel()->cellRects().size(), 1);
    popup->addRecentColor(Qt::red);
    delete popup;
  }
  QCOMPARE(storedCount(), 2);
  // Most recent first (array keys count from 1).
  QCOMPARE(QSettings().value("RecentColors/1/color").toUInt(), 0xffff0000u);
  QCOMPARE(QSettings().value("RecentColors/2/color").toUInt(), 0xff112233u);

  // Alpha below 255 comes back opaque; a longer array is read whole and trimmed later.
  QList<QRgb> many{0x80ff0000};
  for (int i = 1; i < 12; ++i)
    many << qRgb(i, i, i);
  storeRecent(many);
  auto *popup = new PopupColorMatrixWidget(&w.top);
  popup->showPopupAt(&w.top, QPoint(600, 400), true);
  QCOMPARE(popup->recentColors().size(), 12);
  QCOMPARE(popup->recentColors().first(), QColor(255, 0, 0, 255));
  popup->addRecentColor(Qt::green);
  QCOMPARE(popup->recentColors().size(), 10);
  QCOMPARE(popup->recentColors()[1], QColor(255, 0, 0));
  delete popup;
  QCOMPARE(storedCount(), 10);
}

void TestColorMatrix::placement_data()
{
  QTest::addColumn<QPoint>("anchor");
  QTest::addColumn<QPoint>("expected");
  QTest::newRow("centred on the anchor") << QPoint(600, 400) << QPoint(425, 200);
  QTest::newRow("right edge") << QPoint(1190, 400) << QPoint(1200 - 350 - 9, 200);
  QTest::newRow("left edge") << QPoint(40, 400) << QPoint(10, 200);
  QTest::newRow("bottom edge") << QPoint(600, 780) << QPoint(425, 800 - 400 - 9);
  QTest::newRow("above the top") << QPoint(600, 100) << QPoint(425, 200);
}

void TestColorMatrix::placement()
{
  QFETCH(QPoint, anchor);
  QFETCH(QPoint, expected);
  AnimationsOff off;
  Window w;
  auto *popup = new PopupColorMatrixWidget(&w.top);
  popup->showPopupAt(&w.top, anchor, true);
  QCOMPARE(popup->mainWidget()->geometry(), QRect(expected, QSize(350, 400)));
  delete popup;
}

void TestColorMatrix::clickingAColourReportsIt()
{
  AnimationsOff off;
  Window w;
  QPointer<PopupColorMatrixWidget> popup = new PopupColorMatrixWidget(&w.top);
  popup->showPopupAt(&w.top, QPoint(600, 400), true);
  QSignalSpy selected(popup.data(), &PopupColorMatrixWidget::colorMatrixPopupColorSelected);
  ColorMatrixPaletteWidget *panel = popup->palettePanel();
  Gestures::click(panel, panel->cellRects()[11].center().toPoint());
  QCOMPARE(selected.count(), 1);
  QCOMPARE(selected[0][1].value<QColor>(), QColor("#FF0000"));
  QCOMPARE(popup->recentColors().first(), QColor("#FF0000"));
  QVERIFY(popup->isVisible()); // the owner dismisses it
  popup->dismiss();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!popup);
  QCOMPARE(storedCount(), 1);
}

void TestColorMatrix::moreColorsAsksTheOwner()
{
  AnimationsOff off;
  Window w;
  auto *popup = new PopupColorMatrixWidget(&w.top);
  popup->showPopupAt(&w.top, QPoint(600, 400), true);
  QSignalSpy more(popup, &PopupColorMatrixWidget::colorMatrixPopupMoreColorNeeded);
  QTest::mouseClick(popup->moreColorButton(), Qt::LeftButton);
  QCOMPARE(more.count(), 1);
  delete popup;
}

void TestColorMatrix::noStillNoLoupe()
{
  Picking p(false);
  PreviewOwner &owner = p.owner;
  PopupColorMatrixWidget *popup = p.popup;
  QCOMPARE(owner.imageRequests, 1);
  QCOMPARE(popup->colorPickingMode(), 2);
  QVERIFY(popup->colorPickerButton()->isChecked());
  QVERIFY(!popup->pickingLabel());
  QVERIFY(!popup->colorPicker());
  QVERIFY(!popup->colorPickingActive());
}

void TestColorMatrix::loupeStaysOnThePicture()
{
  Picking p;
  Window &w = p.w;
  PreviewOwner &owner = p.owner;
  PopupColorMatrixWidget *popup = p.popup;
  QVERIFY(popup->colorPickingActive());
  QCOMPARE(popup->pickingLabel()->geometry(), owner.frame);
  ColorPickerWidget *loupe = popup->colorPicker();
  QCOMPARE(loupe->geometry(), QRect(240, 140, 120, 120));
  QCOMPARE(loupe->color(), owner.still.pixelColor(99, 49));

  QSignalSpy selected(popup, &PopupColorMatrixWidget::colorMatrixPopupColorSelected);
  const QRect r = owner.frame;
  const auto centre = [loupe] { return loupe->geometry().center() + QPoint(1, 1); };
  // Far to the right and down: held on the picture's right and bottom edges.
  Gestures::press(&w.top, QPoint(300, 200));
  QVERIFY(popup->isDraggingColorPicker());
  QVERIFY(popup->mainWidget()->isHidden());
  Gestures::moveInSteps(&w.top, QPoint(300, 200), QPoint(1150, 780), 4);
  QCOMPARE(centre(), QPoint(r.left() + r.width(), r.top() + r.height()));
  QCOMPARE(loupe->color(), owner.still.pixelColor(199, 99));
  // Far to the left and up: held one pixel inside.
  Gestures::moveInSteps(&w.top, QPoint(1150, 780), QPoint(5, 5), 4);
  QCOMPARE(centre(), QPoint(r.left() + 1, r.top() + 1));
  // Somewhere inside; the release reports the colour under the loupe.
  Gestures::move(&w.top, QPoint(300 + 100, 200 + 50));
  const QPoint c = centre();
  const float fx = float(c.x() - r.left()) / r.width(), fy = float(c.y() - r.top()) / r.height();
  const QColor expected = owner.still.pixelColor(int(199 * fx), int(99 * fy));
  Gestures::release(&w.top, QPoint(400, 250));
  QVERIFY(!popup->isDraggingColorPicker());
  QCOMPARE(selected.count(), 1);
  QCOMPARE(selected[0][1].value<QColor>(), expected);
  QCOMPARE(popup->recentColors().first(), expected);
}

void TestColorMatrix::pressNearTheLoupeDragsFurtherDismisses()
{
  Picking p;
  Window &w = p.w;
  PopupColorMatrixWidget *popup = p.popup;
  // The loupe spans x 240..359: 15 px left of it still grips it.
  Gestures::press(&w.top, QPoint(225, 200));
  QVERIFY(popup->isDraggingColorPicker());
  Gestures::release(&w.top, QPoint(225, 200));
  QVERIFY(!popup->isDraggingColorPicker());
  QSignalSpy dismissed(popup, &CommonPopup::dismissed);
  // 30 px away, outside the panel: the popup goes.
  Gestures::click(&w.top, QPoint(210, 200));
  QCOMPARE(dismissed.count(), 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!p.popup);
}

void TestColorMatrix::pickingOffAndOnReusesTheStill()
{
  Picking p;
  Window &w = p.w;
  PreviewOwner &owner = p.owner;
  PopupColorMatrixWidget *popup = p.popup;
  QWidget *label = popup->pickingLabel();
  Gestures::drag(&w.top, QPoint(300, 200), QPoint(250, 170), 3);
  const QRect loupeAt = popup->colorPicker()->geometry();
  QTest::mouseClick(popup->colorPickerButton(), Qt::LeftButton);
  QCOMPARE(popup->colorPickingMode(), 1);
  QVERIFY(!popup->colorPickingActive());
  QVERIFY(label->isHidden());
  QTest::mouseClick(popup->colorPickerButton(), Qt::LeftButton);
  QCOMPARE(owner.imageRequests, 1);
  QCOMPARE(popup->pickingLabel(), label);
  QVERIFY(label->isVisible());
  QCOMPARE(popup->colorPicker()->geometry(), loupeAt);
  // The preview moves: picture and loupe follow, the loupe at the same fractions.
  owner.frame = QRect(0, 0, 800, 400);
  popup->refreshColorPickingGeometry();
  QCOMPARE(label->geometry(), owner.frame);
  const QPoint c = popup->colorPicker()->geometry().center() + QPoint(1, 1);
  QVERIFY(qAbs(c.x() - (loupeAt.center().x() + 1 - 100) * 2) <= 2);
  // Hiding the popup's owner switches picking off.
  popup->didChangeVisibility(false);
  QCOMPARE(popup->colorPickingMode(), 1);
  QVERIFY(!popup->colorPickerButton()->isChecked());
}

TAVO_TEST_MAIN(TestColorMatrix)
#include "tst_colormatrix.moc"
