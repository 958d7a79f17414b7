// The fill mode popup as the swatch opens it: tabs, lazily made pages that keep their
// state, panel placement, the relays to the swatch and colour picking over the popup.

#include "colorpickerwidget.h"
#include "editablegradientwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupcolormatrixwidget.h"
#include "scripteddialogprovider.h"
#include "swatchwindow.h"
#include "testenv.h"
#include "texturegridwidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>

namespace {

void storeMode(int mode)
{
  QSettings().setValue("DrawingColorView/Mode", mode);
}

// Answers the swatch's questions about the preview: a still and where it lies.
struct PreviewAnswers
{
  QImage still;
  QRect frame;
  QImage *askedImage = nullptr;
  QRect *askedRect = nullptr;
  QWidget *askedIn = nullptr;
  explicit PreviewAnswers(DrawingColorWidget *swatch, QWidget *top) : still(160, 90, QImage::Format_RGB32)
  {
    still.fill(QColor(200, 30, 40));
    QObject::connect(swatch, &DrawingColorWidget::drawingColorWidgetNeedColorPickingImage,
                     [this](DrawingColorWidget *, QImage *image) {
                       askedImage = image;
                       *image = still;
                     });
    QObject::connect(swatch, &DrawingColorWidget::drawingColorWidgetGetPlaybackAreaFrame,
                     [this, top](DrawingColorWidget *, QRect *rect, QWidget *inWidget) {
                       askedRect = rect;
                       askedIn = inWidget;
                       // The preview sits at (40, 40, 320, 180) of the window.
                       *rect = QRect(inWidget->mapFrom(top, QPoint(40, 40)), QSize(320, 180));
                       frame = *rect;
                     });
  }
};

} // namespace

class TestFillPopup : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void tabsShowTheirPictures();
  void pagesAreMadeOnTheirFirstVisit();
  void onlyAnotherTabReports();
  void panelPlacement_data();
  void panelPlacement();
  void pagesFitTheContentArea();
  void moreColorsGoThroughTheDialog();
  void customPictureFitsTheCanvas();
  void radialPageReportsToTheSwatch();
  void previewQuestionsReachTheSwatch();
  void gradientColorPopupOpensOnTheWindow();
  void leavingTheColorTabEndsAPick();
  void pressesDuringAPick();
};

void TestFillPopup::init()
{
  QSettings().clear();
}

void TestFillPopup::tabsShowTheirPictures()
{
  storeMode(2);
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup);
  for (int mode = 1; mode <= 4; ++mode) {
    TooltipButton *tab = popup->tabButton(mode);
    QCOMPARE(tab->commandId(), mode);
    QVERIFY(!QPixmap(tab->normalIcon()).isNull());
    QCOMPARE(tab->shownIcon(), mode == 2 ? tab->selectedIcon() : tab->normalIcon());
  }
  // The selected tab is black like the page under it; the others let the row show.
  const QImage image = popup->mainWidget()->grab().toImage();
  auto tabPixel = [&](int mode) {
    const QRect tab = popup->tabButton(mode)->geometry();
    return image.pixel(tab.left() + 10, tab.bottom() - 2);
  };
  QVERIFY(PixelProbe::near(tabPixel(2), Qt::black, 2));
  QVERIFY(PixelProbe::near(tabPixel(1), QColor(26, 26, 26), 2));
  QVERIFY(PixelProbe::near(tabPixel(4), QColor(26, 26, 26), 2));
  QVERIFY(PixelProbe::near(image.pixel(190, 300), Qt::black, 2));
}

void TestFillPopup::pagesAreMadeOnTheirFirstVisit()
{
  storeMode(3);
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  EditableGradientWidget *linear = popup->linearPage();
  QVERIFY(linear);
  QVERIFY(!linear->isRadial());
  QVERIFY(!popup->colorPage());
  QVERIFY(!popup->patternPage());
  QVERIFY(!popup->radialPage());
  const QPoint from = linear->endHandle()->geometry().center();
  Gestures::drag(linear, from, from + QPoint(-60, 80), 4);
  QTRY_COMPARE(w.patterns.count(), 1);
  const QRect moved = linear->endHandle()->geometry();
  QVERIFY(moved.center() != from);

  w.chooseTab(popup, 1);
  QVERIFY(popup->colorPage()->isVisible());
  QVERIFY(!linear->isVisible());
  QVERIFY(!popup->radialPage());
  w.chooseTab(popup, 4);
  QVERIFY(popup->radialPage()->isRadial());
  QVERIFY(!popup->colorPage()->isVisible());
  QVERIFY(!popup->patternPage());
  w.chooseTab(popup, 2);
  TextureGridWidget *pattern = popup->patternPage();
  // Visited again, the pages are the same ones, in the state they were left in.
  w.chooseTab(popup, 3);
  w.chooseTab(popup, 2);
  w.chooseTab(popup, 3);
  QCOMPARE(popup->linearPage(), linear);
  QCOMPARE(popup->patternPage(), pattern);
  QCOMPARE(popup->contentWidget()->findChildren<EditableGradientWidget *>().size(), 2);
  QCOMPARE(popup->contentWidget()->findChildren<TextureGridWidget *>().size(), 1);
  QVERIFY(linear->isVisible());
  QCOMPARE(linear->endHandle()->geometry(), moved);
}

void TestFillPopup::onlyAnotherTabReports()
{
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  QSignalSpy modes(popup, &PopupDrawingModeWidget::drawingModePopupModeChanged);
  w.chooseTab(popup, 1);
  QCOMPARE(modes.count(), 0);
  QCOMPARE(w.colors.count(), 0);
  w.chooseTab(popup, 3);
  QCOMPARE(modes.count(), 1);
  QCOMPARE(modes.last().at(1).toInt(), 3);
  QVERIFY(popup->tabButton(3)->isSelected());
  QVERIFY(!popup->tabButton(1)->isSelected());
  w.chooseTab(popup, 3);
  QCOMPARE(modes.count(), 1);
}

void TestFillPopup::panelPlacement_data()
{
  QTest::addColumn<QSize>("window");
  QTest::addColumn<QPoint>("anchor");
  QTest::addColumn<QRect>("panel");
  QTest::newRow("above the anchor") << QSize(1280, 720) << QPoint(640, 700) << QRect(449, 220, 383, 470);
  QTest::newRow("inside the right edge") << QSize(1280, 720) << QPoint(1200, 700) << QRect(888, 220, 383, 470);
  QTest::newRow("inside the left edge") << QSize(1280, 720) << QPoint(100, 700) << QRect(10, 220, 383, 470);
  QTest::newRow("inside the bottom edge") << QSize(1280, 720) << QPoint(640, 715) << QRect(449, 235, 383, 470);
  QTest::newRow("too low a window") << QSize(1280, 400) << QPoint(640, 380) << QRect(449, -35, 383, 470);
}

void TestFillPopup::panelPlacement()
{
  QFETCH(QSize, window);
  QFETCH(QPoint, anchor);
  QFETCH(QRect, panel);
  // The anchor is the swatch's top centre.
  SwatchWindow w(window, QRect(anchor.x() - 25, anchor.y(), 50, 5));
  PopupDrawingModeWidget *popup = w.open();
  QVERIFY(popup);
  QCOMPARE(popup->geometry(), QRect(QPoint(0, 0), window));
  QCOMPARE(popup->mainWidget()->geometry(), panel);
}

void TestFillPopup::pagesFitTheContentArea()
{
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  for (int mode : {2, 3, 4})
    w.chooseTab(popup, mode);
  const QRect content = popup->contentWidget()->rect();
  QCOMPARE(popup->contentWidget()->geometry(), QRect(0, 38, 383, 432));
  QCOMPARE(popup->colorPage()->geometry(), content);
  QCOMPARE(popup->patternPage()->geometry(), content);
  QCOMPARE(popup->linearPage()->geometry(), content.adjusted(12, 12, -12, -12));
  QCOMPARE(popup->radialPage()->geometry(), content.adjusted(12, 12, -12, -12));
}

void TestFillPopup::moreColorsGoThroughTheDialog()
{
  ScriptedDialogProvider dialogs;
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  PopupColorMatrixWidget *page = popup->colorPage();
  dialogs.answers << QVariant() << QColor(12, 34, 56);
  QTest::mouseClick(page->moreColorButton(), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), QStringList{"getColor"});
  QCOMPARE(dialogs.calls.last().text, QColor(0, 255, 0).name(QColor::HexArgb));
  QCOMPARE(w.colors.count(), 0);
  QVERIFY(!page->recentColors().contains(QColor(12, 34, 56)));

  // When the swatch hears of it the page is still there and already lists it.
  bool listedWhenReported = false;
  QPointer<PopupColorMatrixWidget> livePage = page;
  connect(w.swatch, &DrawingColorWidget::drawingColorWidgetColorChanged, [&](DrawingColorWidget *, QColor color) {
    listedWhenReported = livePage && livePage->recentColors().contains(color);
  });
  QTest::mouseClick(page->moreColorButton(), Qt::LeftButton);
  QVERIFY(listedWhenReported);
  QCOMPARE(w.colors.count(), 1);
  QCOMPARE(w.colors.last().at(1).value<QColor>(), QColor(12, 34, 56));
  QCOMPARE(w.swatch->color(), QColor(12, 34, 56));
}

void TestFillPopup::customPictureFitsTheCanvas()
{
  const QString file = TestEnv::homePath() + "/wide.png";
  QImage wide(3840, 1080, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  QVERIFY(wide.save(file));
  ScriptedDialogProvider dialogs;
  dialogs.answers << file;
  storeMode(2);
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  QTest::mouseClick(popup->patternPage()->customButton(), Qt::LeftButton);
  QTRY_COMPARE(w.patterns.count(), 1);
  QCOMPARE(w.swatch->patternPath(), TextureGridWidget::customPatternPath());
  // Fitted into 1920 x 1080, keeping its shape.
  QCOMPARE(w.swatch->pattern().size(), QSize(1920, 540));
}

void TestFillPopup::radialPageReportsToTheSwatch()
{
  storeMode(4);
  SwatchWindow w;
  w.swatch->selectRadialGradientMode();
  const QImage before = w.pattern();
  PopupDrawingModeWidget *popup = w.open();
  QSignalSpy reports(popup, &PopupDrawingModeWidget::drawingModePopupGradientValueDidChange);
  EditableGradientWidget *page = popup->radialPage();
  const QPoint centre = page->startHandle()->geometry().center();
  Gestures::drag(page, centre, centre - QPoint(100, 50), 4);
  QTRY_COMPARE(reports.count(), 1);
  QCOMPARE(reports.last().at(1).toBool(), true);
  QCOMPARE(reports.last().at(2).value<QColor>(), QColor(0, 255, 0));
  QCOMPARE(reports.last().at(3).value<QColor>(), QColor(255, 255, 0));
  const QPointF start = reports.last().at(4).toPointF();
  QVERIFY(start.x() < 0.5 && start.y() < 0.5);
  QCOMPARE(reports.last().at(5).toPointF(), QPointF(0.85, 0.85));
  const QImage after = w.pattern();
  QVERIFY(after != before);
  // The new centre is the picture's green spot.
  QVERIFY(PixelProbe::near(after.pixel(int(1920 * start.x()), int(1080 * start.y())), QColor(0, 255, 0), 4));
}

void TestFillPopup::previewQuestionsReachTheSwatch()
{
  storeMode(3);
  SwatchWindow w;
  PreviewAnswers answers(w.swatch, &w.top);
  PopupDrawingModeWidget *popup = w.open();
  QImage image;
  QRect rect;
  emit popup->linearPage()->editableGradientWidgetColorPickingImageNeeded(popup->linearPage(), &image);
  QCOMPARE(answers.askedImage, &image);
  QCOMPARE(image, answers.still);
  emit popup->linearPage()->editableGradientWidgetGetPlaybackAreaFrameInWidget(popup->linearPage(), &rect, &w.top);
  QCOMPARE(answers.askedRect, &rect);
  QCOMPARE(answers.askedIn, &w.top);
  QCOMPARE(rect, QRect(40, 40, 320, 180));
}

void TestFillPopup::gradientColorPopupOpensOnTheWindow()
{
  ScriptedDialogProvider dialogs;
  storeMode(3);
  SwatchWindow w;
  PopupDrawingModeWidget *popup = w.open();
  EditableGradientWidget *page = popup->linearPage();
  dialogs.answers << "Choose Color";
  Gestures::click(page, page->startHandle()->geometry().center());
  QVERIFY(page->colorPopup());
  QCOMPARE(page->colorPopup()->parentWidget(), &w.top);
}

void TestFillPopup::leavingTheColorTabEndsAPick()
{
  SwatchWindow w;
  PreviewAnswers answers(w.swatch, &w.top);
  PopupDrawingModeWidget *popup = w.open();
  PopupColorMatrixWidget *page = popup->colorPage();
  QTest::mouseClick(page->colorPickerButton(), Qt::LeftButton);
  QVERIFY(page->colorPickingActive());
  // The still covers the preview, inside the popup.
  QCOMPARE(page->pickingLabel()->parentWidget(), popup);
  QCOMPARE(page->pickingLabel()->geometry(), QRect(40, 40, 320, 180));
  QCOMPARE(answers.askedIn, popup);
  w.chooseTab(popup, 2);
  QVERIFY(!page->colorPickingActive());
  QVERIFY(!page->pickingLabel()->isVisible());
}

void TestFillPopup::pressesDuringAPick()
{
  SwatchWindow w;
  PreviewAnswers answers(w.swatch, &w.top);
  PopupDrawingModeWidget *popup = w.open();
  PopupColorMatrixWidget *page = popup->colorPage();
  QTest::mouseClick(page->colorPickerButton(), Qt::LeftButton);
  QVERIFY(page->colorPickingActive());
  const QPoint loupe = page->colorPicker()->geometry().center();
  QCOMPARE(loupe, QRect(40, 40, 320, 180).center());

  // Dragging the loupe hides the panel and picks the still's colour on release.
  // The popup covers the window from its corner: the same coordinates.
  Gestures::press(&w.top, loupe);
  QVERIFY(page->isDraggingColorPicker());
  QVERIFY(!popup->mainWidget()->isVisible());
  Gestures::moveInSteps(&w.top, loupe, loupe + QPoint(30, 20), 3);
  Gestures::release(&w.top, loupe + QPoint(30, 20));
  QCOMPARE(w.colors.count(), 1);
  QCOMPARE(w.colors.last().at(1).value<QColor>(), QColor(200, 30, 40));
  QVERIFY(!w.swatch->popup());

  // A press away from the panel and the loupe dismisses the popup.
  popup = w.open();
  page = popup->colorPage();
  QTest::mouseClick(page->colorPickerButton(), Qt::LeftButton);
  QVERIFY(page->colorPickingActive());
  Gestures::click(&w.top, QPoint(1000, 100));
  QVERIFY(!w.swatch->popup());
  QCOMPARE(w.colors.count(), 1);
}

TAVO_TEST_MAIN(TestFillPopup)
#include "tst_fillpopup.moc"
