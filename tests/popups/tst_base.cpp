// The popup base over a real window: panel placement, corners, dismissal, the balloon panel.

#include "animationswitch.h"
#include "commonpopup.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupmainwidget.h"
#include "testenv.h"
#include "util.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <algorithm>

namespace {

// A popup with a bare panel of fixed height.
class PlainPopup : public CommonPopup
{
public:
  explicit PlainPopup(QWidget *parent) : CommonPopup(parent)
  {
    auto *panel = new QWidget(this);
    panel->setObjectName("mainWidget");
    setForm(panel, new QLabel(panel));
  }
  int popupHeight() override { return 120; }
};

// A window that counts the presses reaching it.
class Window : public QWidget
{
public:
  int presses = 0;
  explicit Window(int width = 1200, int height = 800)
  {
    resize(width, height);
    PixelProbe::plainBackground(this, QColor(0, 0, 255));
    show();
    QVERIFY(QTest::qWaitForWindowExposed(this));
    QApplication::setActiveWindow(this);
  }

protected:
  void mousePressEvent(QMouseEvent *) override { ++presses; }
};

int panelWidth()
{
  return Util::portraitScreenSize().width() / 2;
}

void flushDeletes()
{
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestPopupBase : public QObject
{
  Q_OBJECT
private slots:
  void placementNearTheEdges_data();
  void placementNearTheEdges();
  void cornerStyles();
  void escapeAndOutsideClickDismiss();
  void insideClickKeepsIt();
  void persistentAndEmbeddedSurvive();
  void fadesInOver200ms();

  void balloonWithoutArrow();
  void balloonArrowReachesItsPoint();
  void releaseInsideIsAClick();
};

void TestPopupBase::placementNearTheEdges_data()
{
  QTest::addColumn<int>("parentWidth");
  QTest::addColumn<QPoint>("anchor");
  QTest::addColumn<int>("spacing");
  QTest::addColumn<int>("expectedX"); // -1000: 9 px inside the right edge
  QTest::addColumn<int>("expectedY");
  const int w = panelWidth();
  QTest::newRow("middle") << 1200 << QPoint(600, 500) << 0 << 600 - w / 2 << 380;
  QTest::newRow("right edge") << 1200 << QPoint(1190, 500) << 0 << -1000 << 380;
  QTest::newRow("left edge") << 1200 << QPoint(30, 500) << 0 << 10 << 380;
  QTest::newRow("narrow parent") << w + 19 << QPoint(100, 500) << 0 << 9 << 380;
  QTest::newRow("much narrower parent") << w - 40 << QPoint(100, 500) << 0 << -20 << 380;
  QTest::newRow("high anchor") << 1200 << QPoint(600, 60) << 0 << 600 - w / 2 << 10;
  QTest::newRow("anchor spacing") << 1200 << QPoint(600, 500) << 30 << 600 - w / 2 << 350;
}

void TestPopupBase::placementNearTheEdges()
{
  QFETCH(int, parentWidth);
  QFETCH(QPoint, anchor);
  QFETCH(int, spacing);
  QFETCH(int, expectedX);
  QFETCH(int, expectedY);
  AnimationsOff off;
  Window window(parentWidth, 800);
  auto *popup = new PlainPopup(&window);
  popup->setAnchorSpacing(spacing);
  popup->showPopup(&window, "Title", anchor);
  QCOMPARE(popup->geometry(), window.rect());
  const QRect panel = popup->mainWidget()->geometry();
  QCOMPARE(panel.size(), QSize(panelWidth(), 120));
  if (expectedX == -1000)
    QCOMPARE(panel.x() + panel.width(), parentWidth - 9);
  else
    QCOMPARE(panel.x(), expectedX);
  QCOMPARE(panel.y(), expectedY);
  QCOMPARE(popup->titleLabel()->text(), QString("Title"));
}

void TestPopupBase::cornerStyles()
{
  AnimationsOff off;
  for (int style : {2, 4}) {
    Window window;
    auto *popup = new PlainPopup(&window);
    popup->setBackgroundColor(QColor(255, 0, 0, 255));
    popup->setCornerStyle(style);
    popup->showPopup(&window, QString(), QPoint(600, 500));
    const QRect r = popup->mainWidget()->geometry();
    const QImage image = PixelProbe::grab(&window);
    const QColor red(255, 0, 0), blue(0, 0, 255);
    // The very corner pixel: square shows the panel, rounded by 10 px shows the window.
    PROBE(image, r.left(), r.top(), blue, 40);
    PROBE(image, r.right(), r.top(), blue, 40);
    PROBE(image, r.center().x(), r.center().y(), red, 8);
    PROBE(image, r.left(), r.bottom(), style == 2 ? red : blue, 40);
    PROBE(image, r.right(), r.bottom(), style == 2 ? red : blue, 40);
  }
}

void TestPopupBase::escapeAndOutsideClickDismiss()
{
  AnimationsOff off;
  Window window;
  {
    QPointer<PlainPopup> popup = new PlainPopup(&window);
    popup->showPopup(&window, QString(), QPoint(600, 500));
    QSignalSpy dismissed(popup.data(), &CommonPopup::dismissed);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(dismissed.count(), 1);
    QVERIFY(popup); // still there until the event loop runs
    QVERIFY(popup->isHidden());
    flushDeletes();
    QVERIFY(!popup);
  }
  {
    QPointer<PlainPopup> popup = new PlainPopup(&window);
    popup->showPopup(&window, QString(), QPoint(600, 500));
    QSignalSpy dismissed(popup.data(), &CommonPopup::dismissed);
    Gestures::click(&window, QPoint(20, 780));
    QCOMPARE(dismissed.count(), 1);
    QCOMPARE(window.presses, 0); // the click stays with the popup
    flushDeletes();
    QVERIFY(!popup);
  }
}

void TestPopupBase::insideClickKeepsIt()
{
  AnimationsOff off;
  Window window;
  QPointer<PlainPopup> popup = new PlainPopup(&window);
  popup->showPopup(&window, QString(), QPoint(600, 500));
  QSignalSpy dismissed(popup.data(), &CommonPopup::dismissed);
  Gestures::click(&window, popup->mainWidget()->geometry().center());
  flushDeletes();
  QVERIFY(popup);
  QCOMPARE(dismissed.count(), 0);
  QCOMPARE(window.presses, 0);
}

void TestPopupBase::persistentAndEmbeddedSurvive()
{
  AnimationsOff off;
  Window window;
  QPointer<PlainPopup> persistent = new PlainPopup(&window);
  persistent->setPersistent(true);
  persistent->showPopup(&window, QString(), QPoint(600, 500));
  QTest::keyClick(&window, Qt::Key_Escape);
  Gestures::click(&window, QPoint(20, 780));
  flushDeletes();
  QVERIFY(persistent);
  QVERIFY(persistent->isVisible());
  QCOMPARE(window.presses, 0);
  delete persistent;

  QWidget container(&window);
  container.setGeometry(100, 100, 300, 200);
  container.show();
  QPointer<PlainPopup> embedded = new PlainPopup(&container);
  embedded->embedInWidget(&container, "Embedded");
  QVERIFY(embedded->isEmbedded());
  QCOMPARE(embedded->mainWidget()->geometry(), QRect(0, 0, 300, 200));
  QVERIFY(!embedded->onEscapeKeyPressed());
  QTest::keyClick(&window, Qt::Key_Escape);
  Gestures::click(&container, QPoint(5, 5));
  flushDeletes();
  QVERIFY(embedded);
  // The owner sizes an embedded popup; its panel follows.
  embedded->resize(320, 150);
  QCOMPARE(embedded->mainWidget()->geometry(), QRect(0, 0, 320, 150));
  QCOMPARE(embedded->tag(), 0);
}

void TestPopupBase::fadesInOver200ms()
{
  Window window;
  auto *popup = new PlainPopup(&window);
  QElapsedTimer clock;
  clock.start();
  popup->showPopup(&window, QString(), QPoint(600, 500));
  QPointer<QGraphicsOpacityEffect> effect = qobject_cast<QGraphicsOpacityEffect *>(popup->graphicsEffect());
  QVERIFY(effect);
  QCOMPARE(effect->opacity(), 0.0);
  QVector<qreal> steps;
  connect(effect, &QGraphicsOpacityEffect::opacityChanged, popup, [&steps](qreal value) { steps.append(value); });
  QTest::qWait(100);
  // A loaded machine can hold the event loop past the whole fade; a sample well inside it must
  // show it half done.
  if (clock.elapsed() < 150 && effect)
    QVERIFY2(effect->opacity() > 0.1 && effect->opacity() < 0.95, qPrintable(QString::number(effect->opacity())));
  QTRY_VERIFY_WITH_TIMEOUT(!popup->graphicsEffect(), 5000);
  QVERIFY(clock.elapsed() >= 190);
  // However few steps the fade got, it only ever rose, and it ended fully opaque.
  QVERIFY(!steps.isEmpty());
  QVERIFY(std::is_sorted(steps.begin(), steps.end()));
  QCOMPARE(steps.last(), 1.0);

  // With animations off the popup is there at once.
  AnimationsOff off;
  auto *quick = new PlainPopup(&window);
  quick->showPopup(&window, QString(), QPoint(600, 500));
  QVERIFY(quick->isVisible());
  QVERIFY(!quick->graphicsEffect());
}

void TestPopupBase::balloonWithoutArrow()
{
  const QColor fill(54, 200, 255), back(0, 0, 0);
  for (int side = 0; side < 4; ++side) {
    QWidget host;
    host.resize(200, 150);
    PixelProbe::plainBackground(&host, back);
    auto *balloon = new PopupMainWidget(&host);
    balloon->setGeometry(0, 0, 200, 150);
    balloon->setBackgroundColor(fill);
    balloon->setArrowSide(side);
    balloon->setArrowPoint(QPoint(0, 0));
    const QImage image = PixelProbe::grab(&host);
    // No 16-px strip is given to an arrow on any side: the whole rectangle is filled.
    PROBE(image, 100, 2, fill, 8);
    PROBE(image, 2, 75, fill, 8);
    PROBE(image, 197, 75, fill, 8);
    PROBE(image, 100, 147, fill, 8);
  }
}

void TestPopupBase::balloonArrowReachesItsPoint()
{
  const QColor fill(54, 200, 255), back(0, 0, 0);
  QWidget host;
  host.resize(200, 150);
  PixelProbe::plainBackground(&host, back);
  auto *balloon = new PopupMainWidget(&host);
  balloon->setGeometry(0, 0, 200, 150);
  balloon->setBackgroundColor(fill);
  balloon->setBorderColor(fill);
  balloon->setArrowSide(0);
  balloon->setArrowPoint(QPoint(60, 0));
  QImage image = PixelProbe::grab(&host);
  PROBE(image, 60, 2, fill, 60);    // near the tip
  PROBE(image, 60, 12, fill, 8);    // inside the triangle
  PROBE(image, 20, 8, back, 8);     // the strip beside the arrow stays empty
  PROBE(image, 150, 8, back, 8);
  PROBE(image, 100, 80, fill, 8);   // the body
  PROBE(image, 1, 17, back, 40);    // rounded body corner

  balloon->setArrowSide(3);
  balloon->setArrowPoint(QPoint(140, 150));
  image = PixelProbe::grab(&host);
  PROBE(image, 140, 146, fill, 60);
  PROBE(image, 60, 142, back, 8);
  PROBE(image, 100, 2, fill, 8); // no strip on top now
}

void TestPopupBase::releaseInsideIsAClick()
{
  QWidget host;
  host.resize(300, 200);
  auto *balloon = new PopupMainWidget(&host);
  balloon->setGeometry(50, 50, 100, 80);
  QSignalSpy clicked(balloon, &PopupMainWidget::mainWidgetClicked);
  Gestures::click(balloon, QPoint(50, 40));
  QCOMPARE(clicked.count(), 1);
  Gestures::press(balloon, QPoint(50, 40));
  Gestures::release(balloon, QPoint(150, 40));
  QCOMPARE(clicked.count(), 1);
}

TAVO_TEST_MAIN(TestPopupBase)
#include "tst_base.moc"
