// The gradient editor: dragging its handles, the handle menu, colour choices and what it paints.

#include "editablegradientwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupcolormatrixwidget.h"
#include "scripteddialogprovider.h"
#include "testenv.h"
#include "util.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using Values = QList<QVariant>;

// A gradient editor in a window of its own, 200 x 100 unless told.
struct GradientWindow
{
  QWidget top;
  EditableGradientWidget *gradient;
  GradientWindow(QColor start, QColor end, QPointF startLocation, QPointF endLocation, bool radial = false,
                 QSize size = QSize(200, 100))
  {
    top.resize(size + QSize(200, 200));
    gradient = new EditableGradientWidget(start, end, startLocation, endLocation, radial, &top);
    gradient->setGeometry(QRect(QPoint(100, 100), size));
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }
};

QPoint centreOf(QLabel *handle)
{
  return Util::widgetCenter(handle);
}

} // namespace

class TestGradient : public QObject
{
  Q_OBJECT
private slots:
  void handlesSitAtTheirLocations();
  void clickOpensTheMenuAndEmitsNothing();
  void dragEmitsOnceOnRelease();
  void dragStopsAtTheEdge_data();
  void dragStopsAtTheEdge();
  void noColorFadesToTheOtherHue();
  void chosenColorCarriesATransparentEnd();
  void pickerQuestionsGoToTheOwner();
  void radialRadiusReachesTheEndHandle();
};

void TestGradient::handlesSitAtTheirLocations()
{
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.25, 0.5), QPointF(1.0, 0.0));
  QCOMPARE(centreOf(w.gradient->startHandle()), QPoint(50, 50));
  QCOMPARE(centreOf(w.gradient->endHandle()), QPoint(200, 0));
}

void TestGradient::clickOpensTheMenuAndEmitsNothing()
{
  ScriptedDialogProvider dialogs;
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.25, 0.5), QPointF(0.75, 0.5));
  QSignalSpy changed(w.gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange);
  Gestures::click(w.gradient, QPoint(50, 50));
  QCOMPARE(dialogs.kinds(), QStringList{"menu"});
  QCOMPARE(dialogs.calls[0].buttons, (QStringList{"Choose Color", "No Color"}));
  QCOMPARE(changed.count(), 0);
  // A colour dialog cancelled from the menu's colour popup changes nothing either.
  dialogs.answers << "Choose Color" << QVariant();
  Gestures::click(w.gradient, QPoint(150, 50));
  QVERIFY(w.gradient->colorPopup());
  QTest::mouseClick(w.gradient->colorPopup()->moreColorButton(), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), (QStringList{"menu", "menu", "getColor"}));
  QCOMPARE(changed.count(), 0);
  QCOMPARE(w.gradient->startColor(), QColor(Qt::red));
  QCOMPARE(w.gradient->endColor(), QColor(Qt::blue));
}

void TestGradient::dragEmitsOnceOnRelease()
{
  ScriptedDialogProvider dialogs;
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.25, 0.5), QPointF(0.75, 0.5));
  QSignalSpy changed(w.gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange);
  Gestures::press(w.gradient, QPoint(150, 50));
  Gestures::moveInSteps(w.gradient, QPoint(150, 50), QPoint(180, 80), 3);
  QCOMPARE(changed.count(), 0);
  QCOMPARE(centreOf(w.gradient->endHandle()), QPoint(180, 80));
  Gestures::release(w.gradient, QPoint(180, 80));
  QCOMPARE(changed.count(), 1);
  QVERIFY(dialogs.calls.isEmpty());
  const Values values = changed[0];
  QCOMPARE(values[1].value<QColor>(), QColor(Qt::red));
  QCOMPARE(values[2].value<QColor>(), QColor(Qt::blue));
  QCOMPARE(values[3].toPointF(), QPointF(0.25, 0.5));
  QCOMPARE(values[4].toPointF(), QPointF(0.9, 0.8));
}

void TestGradient::dragStopsAtTheEdge_data()
{
  QTest::addColumn<QPoint>("press");
  QTest::addColumn<QPoint>("to");
  QTest::addColumn<QPointF>("location");
  QTest::newRow("left") << QPoint(100, 50) << QPoint(-80, 50) << QPointF(0, 0.5);
  QTest::newRow("right") << QPoint(100, 50) << QPoint(290, 50) << QPointF(1, 0.5);
  QTest::newRow("top left") << QPoint(100, 50) << QPoint(-20, -60) << QPointF(0, 0);
  QTest::newRow("bottom") << QPoint(100, 50) << QPoint(100, 170) << QPointF(0.5, 1);
  // The start handle's picture spans x 85 to 114; a press up to 8 px beside it still grabs it.
  QTest::newRow("on the picture edge") << QPoint(85, 50) << QPoint(85, 80) << QPointF(0.5, 0.8);
  QTest::newRow("8 px outside") << QPoint(77, 50) << QPoint(77, 80) << QPointF(0.5, 0.8);
  QTest::newRow("12 px outside") << QPoint(73, 50) << QPoint(73, 80) << QPointF(0.5, 0.5);
}

void TestGradient::dragStopsAtTheEdge()
{
  QFETCH(QPoint, press);
  QFETCH(QPoint, to);
  QFETCH(QPointF, location);
  ScriptedDialogProvider dialogs;
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.5, 0.5), QPointF(0.9, 0.9));
  QSignalSpy changed(w.gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange);
  Gestures::drag(w.gradient, press, to, press.x() == 100 ? 4 : 3);
  const bool grabbed = location != QPointF(0.5, 0.5);
  QCOMPARE(changed.count(), grabbed ? 1 : 0);
  QCOMPARE(w.gradient->startLocation(), location);
  if (grabbed)
    QCOMPARE(changed[0][3].toPointF(), location);
}

void TestGradient::noColorFadesToTheOtherHue()
{
  ScriptedDialogProvider dialogs;
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.25, 0.5), QPointF(0.75, 0.5));
  QSignalSpy changed(w.gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange);
  dialogs.answers << "No Color";
  Gestures::click(w.gradient, QPoint(50, 50));
  QCOMPARE(changed.count(), 1);
  QCOMPARE(w.gradient->startColor(), QColor(0, 0, 255, 0));
  QCOMPARE(w.gradient->endColor(), QColor(Qt::blue));
  QCOMPARE(changed[0][1].value<QColor>(), QColor(0, 0, 255, 0));
}

void TestGradient::chosenColorCarriesATransparentEnd()
{
  ScriptedDialogProvider dialogs;
  GradientWindow w(QColor(255, 0, 0, 0), Qt::blue, QPointF(0.25, 0.5), QPointF(0.75, 0.5));
  QWidget *popupParent = &w.top;
  connect(w.gradient, &EditableGradientWidget::editableGradientWidgetGetPopupParent,
          [&](EditableGradientWidget *, QWidget *&parent) { parent = popupParent; });
  QSignalSpy changed(w.gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange);
  dialogs.answers << "Choose Color" << QColor(Qt::green);
  Gestures::click(w.gradient, QPoint(150, 50));
  QPointer<PopupColorMatrixWidget> popup = w.gradient->colorPopup();
  QVERIFY(popup);
  QCOMPARE(popup->parentWidget(), popupParent);
  QTest::mouseClick(popup->moreColorButton(), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), (QStringList{"menu", "getColor"}));
  QCOMPARE(dialogs.calls[1].text, QColor(Qt::blue).name(QColor::HexArgb));
  QCOMPARE(changed.count(), 1);
  QCOMPARE(w.gradient->endColor(), QColor(Qt::green));
  QCOMPARE(w.gradient->startColor(), QColor(0, 255, 0, 0));
  QVERIFY(!w.gradient->colorPopup());
  QTRY_VERIFY(!popup);
}

void TestGradient::pickerQuestionsGoToTheOwner()
{
  ScriptedDialogProvider dialogs;
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.25, 0.5), QPointF(0.75, 0.5));
  QImage still(64, 36, QImage::Format_RGB32);
  still.fill(Qt::yellow);
  QWidget *askedIn = nullptr;
  connect(w.gradient, &EditableGradientWidget::editableGradientWidgetColorPickingImageNeeded,
          [&](EditableGradientWidget *, QImage *image) { *image = still; });
  connect(w.gradient, &EditableGradientWidget::editableGradientWidgetGetPlaybackAreaFrameInWidget,
          [&](EditableGradientWidget *, QRect *rect, QWidget *inWidget) {
            askedIn = inWidget;
            *rect = QRect(10, 10, 64, 36);
          });
  dialogs.answers << "Choose Color";
  Gestures::click(w.gradient, QPoint(50, 50));
  QVERIFY(w.gradient->colorPopup());
  QTest::mouseClick(w.gradient->colorPopup()->colorPickerButton(), Qt::LeftButton);
  QCOMPARE(askedIn, w.gradient);
  QVERIFY(w.gradient->colorPopup()->colorPickingActive());
}

void TestGradient::radialRadiusReachesTheEndHandle()
{
  GradientWindow w(Qt::red, Qt::blue, QPointF(0.5, 0.5), QPointF(1.0, 0.5), true);
  const QImage image = PixelProbe::grab(w.gradient);
  // Red at the centre, blue from 100 px on, and the mix in between by distance.
  PROBE(image, 100, 20, QColor(178, 0, 77), 8);
  PROBE(image, 30, 50, QColor(77, 0, 178), 8);
  PROBE(image, 170, 80, QColor(62, 0, 193), 10);
  PROBE(image, 2, 2, QColor(Qt::blue), 4);
}

TAVO_TEST_MAIN(TestGradient)
#include "tst_gradient.moc"
