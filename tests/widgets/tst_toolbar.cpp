// The scrolling tool bar: button metrics, clicks, the selection tab and its motions, with
// widget animations on and off.

#include "animationswitch.h"
#include "gestures.h"
#include "roundtabwidget.h"
#include "scrollabletoolbar.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QGraphicsOpacityEffect>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// A window with a button filling its lower part, under where the bar goes.
struct Window
{
  QWidget top;
  QPushButton *below;
  Window()
  {
    top.resize(800, 400);
    below = new QPushButton(&top);
    below->setGeometry(0, 200, 800, 200);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }
};

} // namespace

class TestToolBar : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase();
  void buttonsAdvanceTheRow();
  void clicksReportTheCommand();
  void removeAllButtons();
  void oneSelectionTab();
  void collapseAndExpand_data();
  void collapseAndExpand();
  void animationsOffTakeEffectAtOnce();
  void showAnimatedFadesBackIn();
  void slideInAndFadeIn();

private:
  ScrollableToolBar *_bar(Window &w, int placeholder = 0);
  QString _icon;      // 54 x 27
  QString _separator; // 10 x 20
  QTemporaryDir _dir;
};

void TestToolBar::initTestCase()
{
  QVERIFY(_dir.isValid());
  _icon = _dir.filePath("icon.png");
  _separator = _dir.filePath("separator.png");
  QImage icon(54, 27, QImage::Format_ARGB32);
  icon.fill(Qt::white);
  QVERIFY(icon.save(_icon));
  QImage separator(10, 20, QImage::Format_ARGB32);
  separator.fill(Qt::gray);
  QVERIFY(separator.save(_separator));
}

ScrollableToolBar *TestToolBar::_bar(Window &w, int placeholder)
{
  auto *bar = new ScrollableToolBar(placeholder, &w.top);
  bar->setGeometry(0, 250, 800, 50 + placeholder);
  for (int id = 1; id <= 3; ++id)
    bar->addButton(_icon, _icon, QString("Command %1").arg(id), id, true);
  bar->show();
  return bar;
}

void TestToolBar::buttonsAdvanceTheRow()
{
  Window w;
  ScrollableToolBar *bar = _bar(w);
  for (int id = 1; id <= 3; ++id)
    QCOMPARE(bar->button(id)->geometry(), QRect((id - 1) * 78, 0, 78, 50));
  QCOMPARE(bar->button(2)->iconSize(), QSize(54, 27));
  QCOMPARE(bar->button(2)->commandId(), 2);
  QCOMPARE(bar->rowWidth(), 234);
  QCOMPARE(bar->rowWidget()->width(), 234);
  TooltipButton *separator = bar->addSeparator(_separator, true);
  QCOMPARE(separator->geometry(), QRect(234, 0, 10 + 24, 50));
  QCOMPARE(separator->iconSize(), QSize(10, 20));
  // A later button with the same id takes its entry; the earlier one stays in the row.
  TooltipButton *again = bar->addButton(_icon, _icon, QString(), 2, 0, true);
  QCOMPARE(bar->button(2), again);
  QCOMPARE(again->x(), 268);
  // A missing picture gives a square icon rather than a division by zero.
  TooltipButton *missing = bar->addButton(_dir.filePath("none.png"), QString(), QString(), 9);
  QCOMPARE(missing->width(), 27 + 24);
  QVERIFY(missing->isHidden());
}

void TestToolBar::clicksReportTheCommand()
{
  Window w;
  ScrollableToolBar *bar = _bar(w);
  TooltipButton *separator = bar->addSeparator(_separator, true);
  QSignalSpy clicked(bar, &ScrollableToolBar::scrollableToolBarButtonClicked);
  QTest::mouseClick(bar->button(3), Qt::LeftButton);
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked[0][0].value<ScrollableToolBar *>(), bar);
  QCOMPARE(clicked[0][1].toInt(), 3);
  QTest::mouseClick(separator, Qt::LeftButton);
  QCOMPARE(clicked.count(), 1);
}

void TestToolBar::removeAllButtons()
{
  Window w;
  ScrollableToolBar *bar = _bar(w);
  QPointer<TooltipButton> first = bar->button(1);
  bar->removeAllButtons();
  QVERIFY(!first);
  QVERIFY(!bar->button(1));
  QCOMPARE(bar->rowWidth(), 0);
  TooltipButton *fresh = bar->addButton(_icon, _icon, QString(), 1);
  QCOMPARE(bar->button(1), fresh);
  QCOMPARE(fresh->x(), 0);
}

void TestToolBar::oneSelectionTab()
{
  AnimationsOff off;
  Window w;
  ScrollableToolBar *bar = _bar(w);
  bar->setButtonSelected(1, true);
  bar->setButtonSelected(2, true);
  QCOMPARE(bar->rowWidget()->findChildren<RoundTabWidget *>().size(), 1);
  QVERIFY(bar->selectionTab());
  // Widened by the tab's flare on each side, one pixel short at the bottom.
  QCOMPARE(bar->selectionTab()->geometry(), QRect(78 - 10, 0, 78 + 20, 49));
  QVERIFY(bar->button(2)->isSelected());
  QCOMPARE(bar->button(2)->shownIcon(), _icon);

  bar->setButtonSelected(2, false);
  QVERIFY(!bar->selectionTab());
  QVERIFY(!bar->button(2)->isSelected());
  bar->setButtonSelected(3, true);
  QVERIFY(bar->selectionTab());
  bar->setButtonSelected(42, true);
  QVERIFY(!bar->selectionTab());
  QCOMPARE(bar->rowWidget()->findChildren<RoundTabWidget *>().size(), 0);

  // Slid in over a placeholder, the tab reaches the bottom.
  auto *inspectorBar = new ScrollableToolBar(20, &w.top);
  inspectorBar->addButton(_icon, _icon, QString(), 7, true);
  inspectorBar->resize(800, 70);
  inspectorBar->slideIn();
  inspectorBar->setButtonSelected(7, true);
  QCOMPARE(inspectorBar->selectionTab()->height(), 50);
}

void TestToolBar::collapseAndExpand_data()
{
  QTest::addColumn<bool>("animated");
  QTest::addColumn<int>("placeholder");
  QTest::addColumn<qreal>("opacity");
  QTest::newRow("animated, no placeholder") << true << 0 << 0.75;
  QTest::newRow("animated, placeholder 20") << true << 20 << 0.5;
  QTest::newRow("at once, no placeholder") << false << 0 << 0.75;
  QTest::newRow("at once, placeholder 20") << false << 20 << 0.5;
}

void TestToolBar::collapseAndExpand()
{
  QFETCH(bool, animated);
  QFETCH(int, placeholder);
  QFETCH(qreal, opacity);
  setAnimationEnabled(animated);
  Window w;
  ScrollableToolBar *bar = _bar(w, placeholder);
  QTest::qWait(50);
  const QPoint start = bar->pos();
  const int drop = bar->scrollArea()->height() / 2;
  QSignalSpy clicked(bar, &ScrollableToolBar::scrollableToolBarButtonClicked);
  QSignalSpy belowClicked(w.below, &QPushButton::clicked);

  bar->collapse();
  QVERIFY(bar->isCollapsed());
  if (animated)
    QVERIFY(bar->pos() != start + QPoint(0, drop));
  QTRY_COMPARE(bar->pos(), start + QPoint(0, drop));
  QTRY_VERIFY2(qAbs(bar->opacity() - opacity) < 0.01, qPrintable(QString::number(bar->opacity())));
  // Clicks pass through the collapsed bar to what lies under it.
  const QPoint onFirstButton = bar->button(1)->mapTo(&w.top, QPoint(30, 40));
  Gestures::click(&w.top, onFirstButton);
  QCOMPARE(clicked.count(), 0);
  QCOMPARE(belowClicked.count(), 1);

  bar->expand();
  QVERIFY(!bar->isCollapsed());
  if (animated)
    QVERIFY(bar->pos() != start);
  QTRY_COMPARE(bar->pos(), start);
  QTRY_COMPARE(bar->opacity(), 1.0);
  Gestures::click(&w.top, bar->button(1)->mapTo(&w.top, QPoint(30, 25)));
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(belowClicked.count(), 1);
  setAnimationEnabled(true);
}

void TestToolBar::animationsOffTakeEffectAtOnce()
{
  AnimationsOff off;
  Window w;
  ScrollableToolBar *bar = _bar(w);
  bar->resize(800, 60);
  bar->slideIn();
  QCOMPARE(bar->pos(), QPoint(0, 399 - 60));
  QVERIFY(bar->isVisible());
  QVERIFY(!bar->graphicsEffect());
  bar->hideAnimated();
  QVERIFY(bar->isHidden());
  QCOMPARE(bar->savedOpacity(), 1.0f);
  bar->showAnimated();
  QVERIFY(bar->isVisible());
  QCOMPARE(bar->opacity(), 1.0);
  bar->showFloating();
  QCOMPARE(bar->pos(), QPoint(0, 399 - 90));
  QVERIFY(!bar->isSlidIn());
  bar->placeInParent(50, 10);
  QCOMPARE(bar->geometry(), QRect(0, 399 - 90, 800, 60));
  QPointer<ScrollableToolBar> guard = bar;
  bar->dismiss();
  QVERIFY(bar->isHidden());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!guard);
}

void TestToolBar::showAnimatedFadesBackIn()
{
  Window w;
  ScrollableToolBar *bar = _bar(w);
  // Visible: nothing happens.
  bar->showAnimated();
  QVERIFY(!bar->graphicsEffect());

  // Hidden without an earlier hideAnimated: it fades in to full opacity, not to 0. The effect
  // is switched off when the fade ends, keeping the opacity it reached.
  bar->hide();
  bar->showAnimated();
  QVERIFY(bar->isVisible());
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(bar->graphicsEffect());
  QVERIFY(effect && effect->isEnabled());
  QSignalSpy faded(effect, &QGraphicsOpacityEffect::opacityChanged);
  QTRY_VERIFY(!effect->isEnabled());
  QCOMPARE(effect->opacity(), 1.0);
  QCOMPARE(bar->opacity(), 1.0);
  QVERIFY(!faded.isEmpty());

  // hideAnimated remembers the opacity it faded from; showAnimated returns to it, rising.
  effect->setEnabled(true);
  effect->setOpacity(0.6);
  bar->hideAnimated();
  QCOMPARE(bar->savedOpacity(), 0.6f);
  QVERIFY(bar->isVisible());
  QTRY_VERIFY(bar->isHidden());
  faded.clear();
  bar->showAnimated();
  QVERIFY(bar->opacity() < 0.1);
  QTRY_VERIFY(!effect->isEnabled());
  QCOMPARE(float(effect->opacity()), 0.6f);
  QVERIFY(!faded.isEmpty());
  for (const QList<QVariant> &step : faded)
    QVERIFY2(step.at(0).toReal() <= 0.6 + 1e-6, qPrintable(QString::number(step.at(0).toReal())));
}

void TestToolBar::slideInAndFadeIn()
{
  Window w;
  ScrollableToolBar *bar = _bar(w);
  bar->resize(800, 60);
  bar->hide();
  bar->slideIn();
  QVERIFY(bar->isVisible());
  QTRY_COMPARE(bar->pos(), QPoint(0, 399 - 60));
  QTRY_COMPARE(bar->opacity(), 1.0);

  auto *other = _bar(w);
  other->resize(800, 60);
  other->hide();
  other->fadeIn();
  QCOMPARE(other->pos(), QPoint(0, 399 - 60));
  QVERIFY(other->opacity() < 0.5);
  QTRY_COMPARE(other->opacity(), 1.0);
}

TAVO_TEST_MAIN(TestToolBar)
#include "tst_toolbar.moc"
