// One-time help tips over a real window: the delay, the balloon, finishing and closing,
// placement, and the "Tip" flags in the isolated settings.

#include "animatedlabel.h"
#include "commonpopuphelptipwidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "popupmainwidget.h"
#include "testenv.h"
#include "tipmanager.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>

namespace {

const QColor tipBlue(54, 200, 255);
const QColor windowGrey(30, 30, 30);

// A window with an anchor, a line edit that has the focus and a button far from the tips.
struct Window
{
  QWidget top;
  QLabel *anchor;
  QLineEdit *edit;
  QPushButton *button;
  explicit Window(int width = 1200, int height = 800, const QRect &anchorRect = QRect(100, 100, 300, 200))
  {
    top.resize(width, height);
    PixelProbe::plainBackground(&top, windowGrey);
    anchor = new QLabel(&top);
    anchor->setGeometry(anchorRect);
    edit = new QLineEdit(&top);
    edit->setGeometry(width - 210, 10, 200, 30);
    button = new QPushButton("Below", &top);
    button->setGeometry(width - 210, height - 60, 200, 50);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    QApplication::setActiveWindow(&top);
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit);
  }
};

bool finishedInSettings(const QString &name)
{
  return QSettings().value("Tip/" + name, false).toBool();
}

TipManager *tips()
{
  return TipManager::instance();
}

} // namespace

class TestHelpTips : public QObject
{
  Q_OBJECT
private slots:
  void dismissedDuringTheDelayShowsNothing();
  void balloonAfterTheDelay();
  void keysAndClicksWhileShown();
  void gotItFinishesTheTip();
  void pictureClickFinishesAndTipSitsAboveItsAnchor();
  void textClickFinishesTheTip();
  void tipsWithoutWidgetsShowNothing();
  void narrowAndShortWindows();
};

void TestHelpTips::dismissedDuringTheDelayShowsNothing()
{
  Window w;
  QVERIFY(tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 500));
  QTest::qWait(200);
  tips()->dismissTip();
  QTest::qWait(500);
  QVERIFY(!tips()->isShowingTip());
  QVERIFY(w.top.findChildren<CommonPopupHelpTipWidget *>().isEmpty());
  QVERIFY(!finishedInSettings("MediaExplorerHelpTip"));
}

void TestHelpTips::balloonAfterTheDelay()
{
  Window w;
  QElapsedTimer clock;
  clock.start();
  QVERIFY(tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 500));
  QTest::qWait(300);
  QVERIFY(!tips()->isShowingTip());
  QTRY_VERIFY(tips()->isShowingTip());
  QVERIFY(clock.elapsed() >= 490);
  CommonPopupHelpTipWidget *tip = tips()->currentTip();
  QVERIFY(qobject_cast<MediaExplorerHelpTipWidget *>(tip));
  QVERIFY(tip->isPersistent());
  QCOMPARE(tip->geometry(), w.top.rect());

  // Below the anchor's centre (250, 200), the arrow's tip on it.
  PopupMainWidget *panel = tip->panel();
  QCOMPARE(panel->geometry(), QRect(100, 200, 300, 340));
  QCOMPARE(panel->arrowSide(), 0);
  QCOMPARE(panel->arrowPoint(), QPoint(150, 0));
  QCOMPARE(tip->helpTextLabel()->text(),
           QString("You can drag a footage from the Media Explorer and drop it directly at the desired location on a "
                   "track."));
  QCOMPARE(tip->okButton()->text(), QString("Got it"));
  QCOMPARE(tip->animatedLabel()->movie()->fileName(), QString(":/images/help-tip/media_explorer_help"));

  QTest::qWait(300); // the fade-in
  const QImage image = PixelProbe::grab(&w.top);
  image.save(QDir::current().filePath("helptip_media_explorer.png"));
  PROBE(image, 250, 204, tipBlue, 40);   // inside the arrow near its tip
  PROBE(image, 250, 214, tipBlue, 8);    // the arrow's base
  PROBE(image, 120, 206, windowGrey, 8); // the strip beside the arrow
  PROBE(image, 380, 206, windowGrey, 8);
  PROBE(image, 104, 380, tipBlue, 8);    // the body's margin
  PROBE(image, 395, 530, tipBlue, 8);
  PROBE(image, 250, 560, windowGrey, 8); // below the balloon
}

void TestHelpTips::keysAndClicksWhileShown()
{
  Window w;
  QVERIFY(tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 0));
  QVERIFY(tips()->isShowingTip());
  QPointer<CommonPopupHelpTipWidget> tip = tips()->currentTip();
  QTest::keyClick(w.edit, Qt::Key_Escape);
  QTest::keyClicks(w.edit, "abc");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(tip);
  QVERIFY(tips()->isShowingTip());
  QCOMPARE(w.edit->text(), QString()); // the window's keys are swallowed

  // A click outside the balloon reaches the window under the tip.
  QSignalSpy clicked(w.button, &QPushButton::clicked);
  Gestures::click(w.button, QPoint(100, 25));
  QCOMPARE(clicked.count(), 1);
  QVERIFY(tips()->isShowingTip());

  // Closing without finishing writes nothing and the tip is offered again.
  tips()->dismissTip();
  QVERIFY(!tips()->isShowingTip());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!tip);
  QVERIFY(w.top.findChildren<PopupMainWidget *>().isEmpty());
  QVERIFY(!finishedInSettings("MediaExplorerHelpTip"));
  w.edit->setFocus(); // the click gave the focus to the button
  QVERIFY(tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 0));
  QTest::keyClicks(w.edit, "x");
  QCOMPARE(w.edit->text(), QString());
  tips()->dismissTip();
  QTest::keyClicks(w.edit, "ok");
  QCOMPARE(w.edit->text(), QString("ok"));
}

void TestHelpTips::gotItFinishesTheTip()
{
  Window w;
  QVERIFY(tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 0));
  QTest::mouseClick(tips()->currentTip()->okButton(), Qt::LeftButton);
  QVERIFY(!tips()->isShowingTip());
  QVERIFY(tips()->currentName().isEmpty());
  QVERIFY(finishedInSettings("MediaExplorerHelpTip"));
  QVERIFY(!tips()->showTip("MediaExplorerHelpTip", w.anchor, &w.top, 0));
  QVERIFY(!tips()->isShowingTip());
}

void TestHelpTips::pictureClickFinishesAndTipSitsAboveItsAnchor()
{
  Window w(1200, 800, QRect(500, 600, 200, 44));
  QVERIFY(tips()->showTip("SegmentOperationDoubleTapTip", w.anchor, &w.top, 0));
  CommonPopupHelpTipWidget *tip = tips()->currentTip();
  QVERIFY(qobject_cast<SegmentOperationDoubleTapTipWidget *>(tip));
  // Above the middle of the anchor's top edge (600, 600), the arrow at the bottom.
  QCOMPARE(tip->panel()->geometry(), QRect(450, 340, 300, 260));
  QCOMPARE(tip->panel()->arrowSide(), 3);
  QCOMPARE(tip->panel()->arrowPoint(), QPoint(150, 260));
  // The picture keeps its aspect inside its label.
  const QSize scaled = tip->animatedLabel()->movie()->scaledSize();
  QVERIFY(scaled.width() <= tip->animatedLabel()->width() && scaled.height() <= tip->animatedLabel()->height());
  QVERIFY(qAbs(scaled.width() * 391.0 / 795.0 - scaled.height()) <= 1.5);

  Gestures::click(tip->animatedLabel(), tip->animatedLabel()->rect().center());
  QVERIFY(!tips()->isShowingTip());
  QVERIFY(finishedInSettings("SegmentOperationDoubleTapTip"));
  // The editor then offers the next tip for a segment.
  QVERIFY(!tips()->showTip("SegmentOperationDoubleTapTip", w.anchor, &w.top, 0));
  QVERIFY(tips()->showTip("SegmentOperationPressAndDragTip", w.anchor, &w.top, 0));
  QCOMPARE(tips()->currentTip()->panel()->geometry(), QRect(450, 300, 300, 300));
  tips()->dismissTip();
}

void TestHelpTips::textClickFinishesTheTip()
{
  Window w;
  QVERIFY(tips()->showTip("SegmentOperationPressAndDragTip", w.anchor, &w.top, 0));
  QLabel *text = tips()->currentTip()->helpTextLabel();
  Gestures::click(text, QPoint(5, text->height() / 2));
  QVERIFY(!tips()->isShowingTip());
  QVERIFY(finishedInSettings("SegmentOperationPressAndDragTip"));
  QVERIFY(tips()->isTipFinished("SegmentOperationPressAndDragTip"));
  // Finishing a finished tip again changes nothing.
  tips()->finishTip("SegmentOperationPressAndDragTip");
  QVERIFY(!finishedInSettings("ToolButtonHelpTip"));
}

void TestHelpTips::tipsWithoutWidgetsShowNothing()
{
  Window w;
  QVERIFY(tips()->showTip("ToolButtonHelpTip", w.anchor, &w.top, 100));
  QCOMPARE(tips()->currentName(), QString("ToolButtonHelpTip"));
  QTest::qWait(250);
  QVERIFY(!tips()->isShowingTip());
  QVERIFY(w.top.findChildren<CommonPopupHelpTipWidget *>().isEmpty());
  tips()->finishTip("ToolButtonHelpTip");
  QVERIFY(finishedInSettings("ToolButtonHelpTip"));
  QVERIFY(!tips()->showTip("ToolButtonHelpTip", w.anchor, &w.top, 0));

  // An anchor gone during the delay: nothing is created.
  auto *anchor = new QLabel(&w.top);
  QVERIFY(tips()->showTip("MediaExplorerActivationTip", anchor, &w.top, 50));
  delete anchor;
  QTest::qWait(150);
  QVERIFY(!tips()->isShowingTip());
  tips()->dismissTip();
}

void TestHelpTips::narrowAndShortWindows()
{
  {
    // Narrower than the tip + 20: centred, even off the left edge.
    Window w(250, 800, QRect(10, 10, 100, 40));
    auto *tip = new MediaExplorerHelpTipWidget(&w.top);
    tip->setupTip(&w.top, ":/images/help-tip/media_explorer_help", 0, w.anchor);
    QCOMPARE(tip->panel()->geometry(), QRect(-25, 30, 300, 340));
    QCOMPARE(tip->panel()->arrowPoint(), QPoint(60 + 25, 0));
    tip->dismiss();
  }
  {
    // A tip that would cross the bottom edge sits 9 px above it; one off the right edge
    // 9 px inside it.
    Window w(1200, 600, QRect(1100, 480, 100, 40));
    auto *tip = new MediaExplorerHelpTipWidget(&w.top);
    tip->setupTip(&w.top, ":/images/help-tip/media_explorer_help", 0, w.anchor);
    QCOMPARE(tip->panel()->geometry(), QRect(1200 - 9 - 300, 600 - 9 - 340, 300, 340));
    // The window grows: the tip follows its anchor again.
    w.top.resize(1400, 900);
    tip->moveToAnchor(QPoint(0, 0));
    QCOMPARE(tip->panel()->geometry(), QRect(1150 - 150, 500, 300, 340));
    tip->dismiss();
  }
}

TAVO_TEST_MAIN(TestHelpTips)
#include "tst_helptips.moc"
