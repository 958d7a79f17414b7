// The colour adjustment popup: nine collapsible rows, their signal pairs, snapping to zero,
// press-and-hold stepping and its delayed report, expanding and the fitted height.

#include "animationswitch.h"
#include "gestures.h"
#include "popupcolorsscrollwidget.h"
#include "popupcolorsscrollwidgetoneslideritemwidget.h"
#include "popuptestwindow.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>

using Values = PopupColorsScrollWidget::Values;
using Row = PopupColorsScrollWidgetOneSliderItemWidget;
Q_DECLARE_METATYPE(Values)

namespace {

const char *const signalNames[] = {"saturation", "brightness", "contrast", "whiteBalance", "exposure",
                                   "hue",        "red",        "green",    "blue"};

QByteArray signature(const QByteArray &name)
{
  return "2" + name + "(PopupColorsScrollWidget*,int)";
}

// Embedded in a container tall enough that no row is ever scrolled away.
PopupColorsScrollWidget *embed(PopupTestWindow &w, const Values &v)
{
  auto *container = new QWidget(&w.top);
  container->setGeometry(0, 0, 540, 780);
  container->show();
  auto *popup = new PopupColorsScrollWidget(container);
  popup->embedWithValues(container, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  return popup;
}

PopupColorsScrollWidget *overlay(PopupTestWindow &w, const Values &v)
{
  auto *popup = new PopupColorsScrollWidget(&w.top);
  popup->showPopupWithValues(&w.top, QPoint(600, 700), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  return popup;
}

Values only(int index, int value)
{
  Values v{};
  v[size_t(index)] = value;
  return v;
}

QPoint handleCenter(QSlider *slider)
{
  QStyleOptionSlider opt;
  opt.initFrom(slider);
  opt.orientation = slider->orientation();
  opt.minimum = slider->minimum();
  opt.maximum = slider->maximum();
  opt.sliderPosition = slider->sliderPosition();
  opt.sliderValue = slider->value();
  opt.subControls = QStyle::SC_All;
  return slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider).center();
}

void click(QWidget *w)
{
  Gestures::click(w, w->rect().center());
}

QList<int> ints(const QSignalSpy &spy)
{
  QList<int> list;
  for (const QList<QVariant> &args : spy)
    list << args.last().toInt();
  return list;
}

} // namespace

class TestColorAdjust : public QObject
{
  Q_OBJECT
private slots:
  void init() { setAnimationEnabled(false); }
  void rowsReportThroughTheirOwnSignals_data();
  void rowsReportThroughTheirOwnSignals();
  void dragLandsOnZeroNearIt_data();
  void dragLandsOnZeroNearIt();
  void buttonsReachSmallValues_data();
  void buttonsReachSmallValues();
  void holdingStepsAndStopsAtTheEnd_data();
  void holdingStepsAndStopsAtTheEnd();
  void noReportWhereLastReported();
  void escapeWithinTheDelayReportsAtOnce();
  void wheelOverSliderChangesNothing();
  void valuesExpandExactlyTheirRows_data();
  void valuesExpandExactlyTheirRows();
  void titleClickToggles_data();
  void titleClickToggles();
  void expandingLastRowScrollsItIntoView();
  void fitHeightIsReportedOnlyWhenEmbedded();
};

void TestColorAdjust::rowsReportThroughTheirOwnSignals_data()
{
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("title");
  const char *const titles[] = {"Saturation", "Brightness", "Contrast", "Temperature", "Exposure",
                                "Hue",        "Red",        "Green",    "Blue"};
  for (int i = 0; i < 9; ++i)
    QTest::newRow(titles[i]) << i << titles[i];
}

void TestColorAdjust::rowsReportThroughTheirOwnSignals()
{
  QFETCH(int, index);
  QFETCH(QString, title);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, only(index, 10));
  QList<QSignalSpy *> changing, changed;
  for (const char *name : signalNames) {
    changing << new QSignalSpy(popup, signature(QByteArray(name) + "Changing"));
    changed << new QSignalSpy(popup, signature(QByteArray(name) + "Changed"));
  }
  Row *row = popup->sliderItems()[index];
  QCOMPARE(row->titleLabel()->text(), title);
  click(row->valueUpButton());
  QTRY_COMPARE(changed[index]->count(), 1);
  QCOMPARE(ints(*changing[index]), QList<int>{11});
  QCOMPARE(ints(*changed[index]), QList<int>{11});
  QCOMPARE(popup->values()[size_t(index)], 11);
  for (int i = 0; i < 9; ++i)
    if (i != index)
      QVERIFY2(changing[i]->isEmpty() && changed[i]->isEmpty(), signalNames[i]);
  qDeleteAll(changing);
  qDeleteAll(changed);
}

void TestColorAdjust::dragLandsOnZeroNearIt_data()
{
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("target");
  QTest::addColumn<bool>("snaps");
  QTest::newRow("down to +3") << 30 << 3 << true;
  QTest::newRow("up to -3") << -40 << -3 << true;
  QTest::newRow("across to +4") << -20 << 4 << true;
  QTest::newRow("to 40") << -10 << 40 << false;
  QTest::newRow("to -25") << 10 << -25 << false;
}

void TestColorAdjust::dragLandsOnZeroNearIt()
{
  QFETCH(int, start);
  QFETCH(int, target);
  QFETCH(bool, snaps);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, only(1, start));
  Row *row = popup->sliderItems()[1];
  QSignalSpy changing(popup, &PopupColorsScrollWidget::brightnessChanging);
  QSignalSpy changed(popup, &PopupColorsScrollWidget::brightnessChanged);
  QSlider *slider = row->slider();
  const QPoint from = handleCenter(slider);
  const double perValue = (slider->width() - 18) / 200.0;
  const QPoint to = from + QPoint(qRound((target - start) * perValue), 0);
  Gestures::drag(slider, from, to, 8);
  const int landed = slider->value();
  if (snaps)
    QCOMPARE(landed, 0);
  else
    QVERIFY2(qAbs(landed - target) <= 3, qPrintable(QString::number(landed)));
  QCOMPARE(ints(changing).last(), landed);
  QCOMPARE(ints(changed), QList<int>{landed});
  QCOMPARE(row->valueLabel()->text(), QString::number(landed));
  QCOMPARE(row->valueLabelSmall()->text(), QString::number(landed));
}

void TestColorAdjust::buttonsReachSmallValues_data()
{
  QTest::addColumn<bool>("up");
  QTest::newRow("up") << true;
  QTest::newRow("down") << false;
}

void TestColorAdjust::buttonsReachSmallValues()
{
  QFETCH(bool, up);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, Values{});
  Row *row = popup->sliderItems()[4];
  click(row->titleLabel());
  QVERIFY(row->valueUpButton()->isVisible());
  QSignalSpy changing(popup, &PopupColorsScrollWidget::exposureChanging);
  QSignalSpy changed(popup, &PopupColorsScrollWidget::exposureChanged);
  for (int i = 0; i < 5; ++i)
    click(up ? row->valueUpButton() : row->valueDownButton());
  const int s = up ? 1 : -1;
  QCOMPARE(ints(changing), (QList<int>{s, 2 * s, 3 * s, 4 * s, 5 * s}));
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(ints(changed), QList<int>{5 * s});
  QCOMPARE(row->valueLabel()->text(), QString::number(5 * s));
}

void TestColorAdjust::holdingStepsAndStopsAtTheEnd_data()
{
  QTest::addColumn<int>("start");
  QTest::addColumn<bool>("up");
  QTest::newRow("up to 100") << 97 << true;
  QTest::newRow("down to -100") << -97 << false;
}

void TestColorAdjust::holdingStepsAndStopsAtTheEnd()
{
  QFETCH(int, start);
  QFETCH(bool, up);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, only(8, start));
  Row *row = popup->sliderItems()[8];
  QPushButton *button = up ? row->valueUpButton() : row->valueDownButton();
  QElapsedTimer clock;
  QList<int> values;
  QList<qint64> times;
  connect(popup, &PopupColorsScrollWidget::blueChanging, popup, [&](PopupColorsScrollWidget *, int v) {
    values << v;
    times << clock.elapsed();
  });
  QSignalSpy changed(popup, &PopupColorsScrollWidget::blueChanged);
  clock.start();
  Gestures::press(button, button->rect().center());
  QCOMPARE(values.size(), 1); // at once
  QTRY_COMPARE(values.size(), 3);
  Gestures::hold(300); // nothing beyond the end
  Gestures::release(button, button->rect().center());
  const int s = up ? 1 : -1;
  QCOMPARE(values, (QList<int>{start + s, start + 2 * s, start + 3 * s}));
  // The second step waits 500 ms, the third 50 ms (timers may fire a little early).
  QVERIFY2(times[1] - times[0] >= 450, qPrintable(QString::number(times[1] - times[0])));
  QVERIFY2(times[2] - times[1] >= 40 && times[2] - times[1] < times[1] - times[0],
           qPrintable(QString::number(times[2] - times[1])));
  QCOMPARE(changed.count(), 0);
  QTRY_COMPARE(changed.count(), 1);
  QCOMPARE(ints(changed), QList<int>{start + 3 * s});
  QTest::qWait(500);
  QCOMPARE(changed.count(), 1);
}

void TestColorAdjust::noReportWhereLastReported()
{
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, only(2, 20));
  Row *row = popup->sliderItems()[2];
  QSignalSpy changing(popup, &PopupColorsScrollWidget::contrastChanging);
  QSignalSpy changed(popup, &PopupColorsScrollWidget::contrastChanged);
  click(row->valueUpButton());
  click(row->valueDownButton());
  // The slider let go where it was.
  const QPoint handle = handleCenter(row->slider());
  Gestures::click(row->slider(), handle);
  QTest::qWait(800);
  QCOMPARE(ints(changing), (QList<int>{21, 20}));
  QCOMPARE(changed.count(), 0);
}

void TestColorAdjust::escapeWithinTheDelayReportsAtOnce()
{
  AnimationsOff off;
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, only(2, 20));
  QSignalSpy changed(popup, &PopupColorsScrollWidget::contrastChanged);
  connect(popup, &CommonPopup::dismissed, popup, [&changed] { QCOMPARE(changed.count(), 1); });
  click(popup->sliderItems()[2]->valueUpButton());
  QTest::keyClick(&w.top, Qt::Key_Escape);
  QCOMPARE(ints(changed), QList<int>{21});
}

void TestColorAdjust::wheelOverSliderChangesNothing()
{
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, only(0, 10));
  Row *row = popup->sliderItems()[0];
  QSignalSpy changing(popup, &PopupColorsScrollWidget::saturationChanging);
  Gestures::wheel(row->slider(), row->slider()->rect().center(), 120);
  Gestures::wheel(row->slider(), row->slider()->rect().center(), -240);
  QCOMPARE(row->slider()->value(), 10);
  QCOMPARE(changing.count(), 0);
  // Nor do keys after a click on it: they would bring no Changed report.
  QApplication::setActiveWindow(&w.top);
  Gestures::click(row->slider(), handleCenter(row->slider()));
  QTest::keyClick(w.top.windowHandle(), Qt::Key_Right);
  QCOMPARE(row->slider()->value(), 10);
  QCOMPARE(changing.count(), 0);
}

void TestColorAdjust::valuesExpandExactlyTheirRows_data()
{
  QTest::addColumn<bool>("embedded");
  QTest::addColumn<Values>("values");
  QTest::newRow("embedded, two") << true << Values{0, 5, 0, 0, 0, 0, 0, 0, -3};
  QTest::newRow("overlay, first and last") << false << Values{-100, 0, 0, 0, 0, 0, 0, 0, 100};
  QTest::newRow("embedded, none") << true << Values{};
}

void TestColorAdjust::valuesExpandExactlyTheirRows()
{
  QFETCH(bool, embedded);
  QFETCH(Values, values);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embedded ? embed(w, values) : overlay(w, values);
  QSignalSpy changing(popup, &PopupColorsScrollWidget::saturationChanging);
  const auto check = [popup](const Values &v) {
    int y = 0;
    for (int i = 0; i < 9; ++i) {
      Row *row = popup->sliderItems()[i];
      const bool expanded = v[size_t(i)] != 0;
      if (popup->isExpanded(i) != expanded || row->sliderAreaWidget()->isVisible() != expanded ||
          row->valueLabelSmall()->isVisible() == expanded)
        return QString("row %1 expanded %2").arg(i).arg(!expanded);
      if (row->geometry() != QRect(0, y, row->width(), expanded ? 95 : 45))
        return QString("row %1 at y %2 height %3").arg(i).arg(row->y()).arg(row->height());
      if (row->valueLabelSmall()->text() != QString::number(v[size_t(i)]))
        return QString("row %1 shows %2").arg(i).arg(row->valueLabelSmall()->text());
      y += row->height();
    }
    return popup->scrollAreaWidget()->height() == y ? QString() : QString("list height %1").arg(y);
  };
  QCOMPARE(check(values), QString());
  QCOMPARE(popup->values(), values);
  // The owner's values later (after an undo): the same rule, silently.
  popup->setValues(7, 0, 0, 0, 0, 0, 0, 0, 0);
  QCOMPARE(check(Values{7, 0, 0, 0, 0, 0, 0, 0, 0}), QString());
  QCOMPARE(changing.count(), 0);
}

void TestColorAdjust::titleClickToggles_data()
{
  QTest::addColumn<int>("moveBy");
  QTest::addColumn<bool>("toggles");
  QTest::newRow("still") << 0 << true;
  QTest::newRow("4 px") << 4 << true;
  QTest::newRow("5 px") << 5 << false;
  QTest::newRow("12 px") << 12 << false;
}

void TestColorAdjust::titleClickToggles()
{
  QFETCH(int, moveBy);
  QFETCH(bool, toggles);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, Values{});
  Row *row = popup->sliderItems()[5];
  QLabel *title = row->titleLabel();
  const QPoint at = title->rect().center();
  Gestures::press(title, at);
  Gestures::move(title, at + QPoint(0, moveBy));
  Gestures::release(title, at + QPoint(0, moveBy));
  QCOMPARE(popup->isExpanded(5), toggles);
  QCOMPARE(row->height(), toggles ? 95 : 45);
  QCOMPARE(popup->sliderItems()[6]->y(), row->y() + row->height());
  if (toggles) {
    // Not from the slider line: its value label lets presses through to the row.
    Gestures::click(row->valueLabel(), row->valueLabel()->rect().center());
    QVERIFY(popup->isExpanded(5));
    Gestures::click(title, at);
    QVERIFY(!popup->isExpanded(5));
    QCOMPARE(row->height(), 45);
  }
}

void TestColorAdjust::expandingLastRowScrollsItIntoView()
{
  setAnimationEnabled(true);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, Values{});
  QScrollBar *bar = popup->scrollArea()->verticalScrollBar();
  QVERIFY2(bar->maximum() > 0, "the list should scroll");
  bar->setValue(bar->maximum());
  Row *last = popup->sliderItems().last();
  QElapsedTimer clock;
  clock.start();
  click(last->titleLabel());
  QCOMPARE(last->height(), 95);
  const int viewport = popup->scrollArea()->viewport()->height();
  QTRY_VERIFY(last->geometry().bottom() < bar->value() + viewport);
  QVERIFY2(clock.elapsed() >= 150, "scrolled at once instead of over 200 ms");
  QCOMPARE(bar->value(), bar->maximum());
}

void TestColorAdjust::fitHeightIsReportedOnlyWhenEmbedded()
{
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = embed(w, Values{});
  QSignalSpy fit(popup, &PopupColorsScrollWidget::widgetFitHeightChanged);
  click(popup->sliderItems()[3]->titleLabel());
  QCOMPARE(fit.count(), 1);
  QCOMPARE(popup->scrollAreaWidget()->height(), 8 * 45 + 95);
  QCOMPARE(popup->widgetFitHeight(), 8 * 45 + 95 + popup->titleLabel()->height() + 34);
  // A new width keeps the height: nothing to report.
  popup->parentWidget()->resize(500, 780);
  QCOMPARE(fit.count(), 1);
  click(popup->sliderItems()[3]->titleLabel());
  QCOMPARE(fit.count(), 2);
  QCOMPARE(popup->widgetFitHeight(), 9 * 45 + popup->titleLabel()->height() + 34);

  PopupColorsScrollWidget *shown = overlay(w, Values{});
  QSignalSpy none(shown, &PopupColorsScrollWidget::widgetFitHeightChanged);
  click(shown->sliderItems()[0]->titleLabel());
  QVERIFY(shown->isExpanded(0));
  QCOMPARE(none.count(), 0);
}

TAVO_TEST_MAIN(TestColorAdjust)
#include "tst_coloradjust.moc"
