// The slider-and-colour popup base through a three-row test form: formats, press-and-hold
// stepping and its delayed report, snapping, dependent rows, the switch and the colour.

#include "animationswitch.h"
#include "colorbutton.h"
#include "colormatrixpalettewidget.h"
#include "commonslidercolorpopup.h"
#include "gestures.h"
#include "popupcolormatrixwidget.h"
#include "popuptestwindow.h"
#include "scripteddialogprovider.h"
#include "switchbutton.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>

namespace {

// Every optional widget of the base, in a grid.
class ThreeRowPopup : public CommonSliderColorPopup
{
public:
  explicit ThreeRowPopup(QWidget *parent) : CommonSliderColorPopup(parent)
  {
    auto *panel = new QWidget(this);
    panel->setObjectName("mainWidget");
    auto *grid = new QGridLayout(panel);
    auto *title = new QLabel(panel);
    grid->addWidget(title, 0, 0);
    for (int row = 0; row < 3; ++row) {
      SliderRow &r = _rows[row];
      if (row > 0) {
        r.rowLabel = new QLabel(panel);
        grid->addWidget(r.rowLabel, row + 1, 0);
      }
      r.downButton = new QPushButton("-", panel);
      r.slider = new QSlider(Qt::Horizontal, panel);
      r.upButton = new QPushButton("+", panel);
      r.valueLabel = new QLabel(panel);
      grid->addWidget(r.downButton, row + 1, 1);
      grid->addWidget(r.slider, row + 1, 2);
      grid->addWidget(r.upButton, row + 1, 3);
      grid->addWidget(r.valueLabel, row + 1, 4);
    }
    _colorButton = new ColorButton(panel);
    _switchLabel = new QLabel(panel);
    _switchButton = new SwitchButton(panel);
    _switchButton->setFixedSize(50, 26);
    grid->addWidget(_colorButton, 4, 0);
    grid->addWidget(_switchLabel, 4, 1);
    grid->addWidget(_switchButton, 4, 2);
    setForm(panel, title);
  }
  int popupHeight() override { return 300; }
  const SliderRow &row(int i) const { return _rows[i]; }
  ColorButton *colorButton() const { return _colorButton; }
  SwitchButton *switchButton() const { return _switchButton; }
  QLabel *switchLabel() const { return _switchLabel; }
};

using Window = PopupTestWindow;

// Records each value reported with the time since the recorder was made.
struct Recorder
{
  QElapsedTimer clock;
  QList<int> values; // thousandths, rounded
  QList<qint64> times;
  Recorder() { clock.start(); }
  void record(float v)
  {
    values << qRound(v * 1000);
    times << clock.elapsed();
  }
};

int thousandthsOf(const QVariant &v)
{
  return qRound(v.toFloat() * 1000);
}

void center(QWidget *w, bool press)
{
  if (press)
    Gestures::press(w, w->rect().center());
  else
    Gestures::release(w, w->rect().center());
}

} // namespace

class TestSliderPopup : public QObject
{
  Q_OBJECT
private slots:
  void init() { QSettings().remove("RecentColors"); }
  void labelFormats();
  void percentLabels_data();
  void percentLabels();
  void holdingUpStepsOnTheGrid();
  void holdingDownStepsOnTheGrid();
  void rangeEndStopsStepping();
  void clickBurstReportsOnce();
  void closingByHandReportsAtOnce_data();
  void closingByHandReportsAtOnce();
  void rowThreeButtonsReportThroughRowThree();
  void programmaticValuesAreNotReported();
  void silentValuesBeyondTheRangeShowItsEnd_data();
  void silentValuesBeyondTheRangeShowItsEnd();
  void speedSliderRestsOnWholeSteps();
  void snappingAndSteppingAcrossTheSnap();
  void dependentRowsFollowRowOneAndSwitch();
  void colourFromTheChooser();
  void colourFromTheSystemDialog();
  void embeddedColourChooserOnTheWindow();
  void rowWithoutAStepDoesNotStep();
  void keysLeaveTheSlidersAlone();

private:
  ThreeRowPopup *_show(Window &w, float min, float max, float step, float value);
};

ThreeRowPopup *TestSliderPopup::_show(Window &w, float min, float max, float step, float value)
{
  auto *popup = new ThreeRowPopup(&w.top);
  popup->setRange(min, max, step);
  popup->setValue(value);
  popup->showPopup(&w.top, "Opacity", QPoint(600, 700));
  return popup;
}

void TestSliderPopup::labelFormats()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.01f, 0.5f);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("0.50"));
  QCOMPARE(popup->titleLabel()->text(), QString("Opacity"));
  popup->setRange(1, 960, 1);
  popup->setValue(12);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("12.0"));
  popup->setRange(0, 2, 0.05f);
  popup->setValue(1.5f);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("1.50"));
  popup->setPercentFormat(true);
  popup->setValue(0.25f);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("25%"));
  popup->setRange2(0, 1, 0.1f);
  popup->setValue2(0.5f);
  QCOMPARE(popup->row(1).valueLabel->text(), QString("0.5"));
  QCOMPARE(popup->value2(), 0.5f);
}

// 1 % to 400 % in steps of 1 %: each shown as itself, set by the owner or on the slider.
void TestSliderPopup::percentLabels_data()
{
  QTest::addColumn<int>("thousandths");
  QTest::addColumn<QString>("text");
  QTest::newRow("53") << 530 << "53%";
  QTest::newRow("210") << 2100 << "210%";
  QTest::newRow("most") << 4000 << "400%";
}

void TestSliderPopup::percentLabels()
{
  QFETCH(int, thousandths);
  QFETCH(QString, text);
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0.01f, 4, 0.01f, 1);
  popup->setPercentFormat(true);
  popup->setValue(thousandths / 1000.0f);
  QCOMPARE(popup->row(0).valueLabel->text(), text);
  popup->row(0).slider->setValue(1000);
  popup->row(0).slider->setValue(thousandths);
  QCOMPARE(popup->row(0).valueLabel->text(), text);
}

void TestSliderPopup::holdingUpStepsOnTheGrid()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.37f);
  Recorder changing;
  connect(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging, popup,
          [&changing](CommonSliderColorPopup *, float v) { changing.record(v); });
  center(popup->row(0).upButton, true);
  QCOMPARE(changing.values, QList<int>{450});
  QCOMPARE(popup->row(0).valueLabel->text(), QString("0.45"));
  QTRY_VERIFY(changing.values.size() >= 5);
  center(popup->row(0).upButton, false);
  for (int i = 0; i < changing.values.size(); ++i)
    QCOMPARE(changing.values[i], 450 + 50 * i);
  // The first step at the press, the second 500 ms later, then one per 50 ms (coarse
  // timers may fire 5 % early; a busy machine makes them late, so only the quickest of the
  // later steps is held to the short interval).
  QVERIFY(changing.times[0] < 100);
  const qint64 first = changing.times[1] - changing.times[0];
  QVERIFY2(first >= 450, qPrintable(QString::number(first)));
  qint64 quickest = first;
  for (int i = 2; i < changing.times.size(); ++i) {
    const qint64 step = changing.times[i] - changing.times[i - 1];
    QVERIFY2(step >= 40, qPrintable(QString::number(step)));
    quickest = qMin(quickest, step);
  }
  QVERIFY2(quickest < first / 2, qPrintable(QString("%1 after %2").arg(quickest).arg(first)));
  QVERIFY(!popup->isRepeatPending());
}

void TestSliderPopup::holdingDownStepsOnTheGrid()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.37f);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  center(popup->row(0).downButton, true);
  QTRY_VERIFY(changing.count() >= 2);
  center(popup->row(0).downButton, false);
  QCOMPARE(thousandthsOf(changing[0][1]), 350);
  QCOMPARE(thousandthsOf(changing[1][1]), 300);
}

void TestSliderPopup::rangeEndStopsStepping()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.95f);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  center(popup->row(0).upButton, true);
  QCOMPARE(changing.count(), 1);
  QCOMPARE(thousandthsOf(changing[0][1]), 1000);
  Gestures::hold(650);
  QCOMPARE(changing.count(), 1);
  QVERIFY(!popup->isRepeatPending());
  center(popup->row(0).upButton, false);

  // Already at the end: nothing at all.
  center(popup->row(0).upButton, true);
  QVERIFY(!popup->isRepeatPending());
  center(popup->row(0).upButton, false);
  QCOMPARE(changing.count(), 1);
}

void TestSliderPopup::clickBurstReportsOnce()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.37f);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  Gestures::click(popup->row(0).upButton, popup->row(0).upButton->rect().center());
  // The second click 200 ms later, with no event in between: the first click's report cannot
  // come first, however busy the machine.
  QTest::qSleep(200);
  Gestures::click(popup->row(0).upButton, popup->row(0).upButton->rect().center());
  QElapsedTimer sinceLast;
  sinceLast.start();
  QCOMPARE(changing.count(), 2);
  QCOMPARE(changed.count(), 0);
  QTRY_COMPARE(changed.count(), 1);
  // 350 ms after the last click (timers may fire a little early).
  QVERIFY2(sinceLast.elapsed() >= 320, qPrintable(QString::number(sinceLast.elapsed())));
  QCOMPARE(thousandthsOf(changed[0][1]), 500);
  QTest::qWait(400);
  QCOMPARE(changed.count(), 1);
}

// The owner keeps only Changed values: closing the popup within the delay after a step
// must still report it, before the popup says it is gone.
void TestSliderPopup::closingByHandReportsAtOnce_data()
{
  QTest::addColumn<QString>("how");
  QTest::addColumn<bool>("held");
  QTest::newRow("escape") << "escape" << false;
  QTest::newRow("click outside") << "outside" << false;
  QTest::newRow("escape, button still held") << "escape" << true;
}

void TestSliderPopup::closingByHandReportsAtOnce()
{
  QFETCH(QString, how);
  QFETCH(bool, held);
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.5f);
  popup->setRange3(0, 10, 1);
  popup->setValue3(5);
  QStringList order;
  connect(popup, &CommonSliderColorPopup::sliderColorPopupValue3Changed, popup,
          [&order](CommonSliderColorPopup *, float v) { order << QString("changed %1").arg(v); });
  connect(popup, &CommonPopup::dismissed, popup, [&order] { order << "dismissed"; });
  Gestures::press(popup->row(2).downButton, popup->row(2).downButton->rect().center());
  if (!held)
    Gestures::release(popup->row(2).downButton, popup->row(2).downButton->rect().center());
  if (how == "escape")
    QTest::keyClick(&w.top, Qt::Key_Escape);
  else
    Gestures::click(&w.top, QPoint(5, 5));
  QCOMPARE(order, (QStringList{"changed 4", "dismissed"}));
  QTest::qWait(450);
  QCOMPARE(order.size(), 2);
  if (held)
    QTest::mouseRelease(&w.top, Qt::LeftButton);
}

void TestSliderPopup::rowThreeButtonsReportThroughRowThree()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.5f);
  popup->setRange3(0, 10, 1);
  popup->setValue3(5);
  popup->setSwitchValue(true);
  popup->updateDependentControls();
  QVERIFY(popup->row(2).upButton->isEnabled());
  QSignalSpy changed1(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  QSignalSpy changed3(popup, &CommonSliderColorPopup::sliderColorPopupValue3Changed);
  QSignalSpy changing3(popup, &CommonSliderColorPopup::sliderColorPopupValue3Changing);
  Gestures::click(popup->row(2).upButton, popup->row(2).upButton->rect().center());
  QTRY_COMPARE(changed3.count(), 1);
  QCOMPARE(thousandthsOf(changed3[0][1]), 6000);
  Gestures::click(popup->row(2).downButton, popup->row(2).downButton->rect().center());
  QTRY_COMPARE(changed3.count(), 2);
  QCOMPARE(thousandthsOf(changed3[1][1]), 5000);
  QCOMPARE(changing3.count(), 2);
  QCOMPARE(popup->row(2).valueLabel->text(), QString("5.0"));
  QCOMPARE(changed1.count(), 0);
}

void TestSliderPopup::programmaticValuesAreNotReported()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.37f);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  popup->setValue(0.6f);
  QCOMPARE(changing.count(), 1); // through the connected slider
  popup->onSliderReleased();
  QCOMPARE(changed.count(), 0);
  popup->setValueSilently(0.7f);
  QCOMPARE(changing.count(), 1);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("0.70"));
  // Out of range: neither slider nor label change.
  popup->setValue(1.5f);
  popup->setValue(-0.1f);
  QCOMPARE(popup->row(0).slider->value(), 700);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("0.70"));
  // A later change by the user is reported.
  popup->row(0).slider->setValue(800);
  popup->onSliderReleased();
  QCOMPARE(changed.count(), 1);
  QCOMPARE(thousandthsOf(changed[0][1]), 800);
}

void TestSliderPopup::silentValuesBeyondTheRangeShowItsEnd_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<float>("value");
  QTest::addColumn<int>("shown"); // thousandths
  QTest::addColumn<QString>("label");
  QTest::newRow("row 1 above") << 0 << 1200.0f << 1000000 << "1000.0";
  QTest::newRow("row 1 below") << 0 << -3.0f << 0 << "0.0";
  QTest::newRow("row 2 above") << 1 << 40.0f << 32000 << "32.0";
  QTest::newRow("row 3 below") << 2 << -1.0f << 0 << "0.0";
  QTest::newRow("row 2 inside") << 1 << 12.0f << 12000 << "12.0";
}

// Loading a segment goes through the silent setters: a value the row cannot hold must not
// leave the previous segment's value on show.
void TestSliderPopup::silentValuesBeyondTheRangeShowItsEnd()
{
  QFETCH(int, row);
  QFETCH(float, value);
  QFETCH(int, shown);
  QFETCH(QString, label);
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1000, 1, 500);
  popup->setRange2(0, 32, 1);
  popup->setRange3(0, 100, 1);
  popup->setValue2(20);
  popup->setValue3(50);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  QSignalSpy changing2(popup, &CommonSliderColorPopup::sliderColorPopupValue2Changing);
  QSignalSpy changing3(popup, &CommonSliderColorPopup::sliderColorPopupValue3Changing);
  void (CommonSliderColorPopup::*setters[])(float) = {&CommonSliderColorPopup::setValueSilently,
                                                      &CommonSliderColorPopup::setValue2Silently,
                                                      &CommonSliderColorPopup::setValue3Silently};
  (popup->*setters[row])(value);
  QCOMPARE(popup->row(row).slider->value(), shown);
  QCOMPARE(popup->row(row).valueLabel->text(), label);
  QCOMPARE(changing.count() + changing2.count() + changing3.count(), 0);
  // Nothing was changed by the user, so a release reports nothing either.
  QSignalSpy changed(popup, &CommonSliderColorPopup::sliderColorPopupValueChanged);
  popup->onSliderReleased();
  QCOMPARE(changed.count(), 0);
}

void TestSliderPopup::speedSliderRestsOnWholeSteps()
{
  AnimationsOff off;
  Window w;
  auto *popup = new ThreeRowPopup(&w.top);
  popup->setSpeedFormat(true);
  popup->setRange(0, 15, 1);
  popup->setValue(3);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("1.00X"));
  popup->showPopup(&w.top, "Speed", QPoint(600, 700));
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  popup->row(0).slider->setValue(2740);
  QCOMPARE(popup->row(0).slider->value(), 2000);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("0.75X"));
  popup->row(0).slider->setValue(2760);
  QCOMPARE(popup->row(0).slider->value(), 3000);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("1.00X"));
  QCOMPARE(changing.count(), 2);
  QCOMPARE(thousandthsOf(changing.last()[1]), 3000);
  popup->row(0).slider->setValue(15000);
  QCOMPARE(popup->row(0).valueLabel->text(), QString("4.00X"));
}

void TestSliderPopup::snappingAndSteppingAcrossTheSnap()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 2, 0.05f, 0.9f);
  popup->setSnapValue(1.0f, -0.05f);
  QVERIFY(popup->snapMarker());
  const QPoint c = popup->row(0).slider->geometry().center();
  QCOMPARE(popup->snapMarker()->geometry(), QRect(c.x() - 1, c.y() - 25, 3, 50));
  popup->row(0).slider->setValue(1040);
  QCOMPARE(popup->row(0).slider->value(), 1000);
  popup->row(0).slider->setValue(960);
  QCOMPARE(popup->row(0).slider->value(), 1000);
  popup->row(0).slider->setValue(1060);
  QCOMPARE(popup->row(0).slider->value(), 1060);

  popup->setValueSilently(0.9f);
  QSignalSpy changing(popup, &CommonSliderColorPopup::sliderColorPopupValueChanging);
  center(popup->row(0).upButton, true);
  // Held until the third step, however late the repeat timers fire.
  QTRY_VERIFY(changing.count() >= 3);
  center(popup->row(0).upButton, false);
  QList<int> values;
  for (const auto &args : changing)
    values << thousandthsOf(args[1]);
  QVERIFY2(values.size() >= 3 && values[0] == 950 && values[1] == 1000 && values[2] == 1050,
           qPrintable(QString("%1 values, first %2").arg(values.size()).arg(values.value(0))));
  // Snapping is back once the button is released.
  popup->row(0).slider->setValue(1030);
  QCOMPARE(popup->row(0).slider->value(), 1000);
}

void TestSliderPopup::dependentRowsFollowRowOneAndSwitch()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.0f);
  popup->setRange2(0, 10, 1);
  popup->setSwitchValue(true);
  popup->updateDependentControls();
  const auto rowsUsable = [popup](bool usable) {
    for (int row = 1; row < 3; ++row)
      for (QWidget *widget : {static_cast<QWidget *>(popup->row(row).slider),
                              static_cast<QWidget *>(popup->row(row).rowLabel),
                              static_cast<QWidget *>(popup->row(row).valueLabel),
                              static_cast<QWidget *>(popup->row(row).upButton),
                              static_cast<QWidget *>(popup->row(row).downButton)})
        if (widget->isEnabled() != usable)
          return false;
    return true;
  };
  QVERIFY(rowsUsable(false));
  QVERIFY(!popup->switchButton()->isEnabled());
  QVERIFY(popup->colorButton()->isEnabled());
  QVERIFY(popup->isPopupEnabled());

  // The user moves row 1 above 0 and lets go.
  popup->row(0).slider->setValue(500);
  QVERIFY(rowsUsable(false));
  QMetaObject::invokeMethod(popup->row(0).slider, "sliderReleased");
  QVERIFY(rowsUsable(true));
  QVERIFY(popup->switchButton()->isEnabled());

  // The user switches off: rows 2 and 3 go, the switch stays.
  QSignalSpy switched(popup, &CommonSliderColorPopup::sliderColorPopupSwitchValueChanged);
  Gestures::click(popup->switchButton(), popup->switchButton()->rect().center());
  QCOMPARE(switched.count(), 1);
  QCOMPARE(switched[0][1].toBool(), false);
  QVERIFY(rowsUsable(false));
  QVERIFY(popup->switchButton()->isEnabled());

  popup->setPopupEnabled(false);
  QVERIFY(!popup->isPopupEnabled());
  QVERIFY(!popup->colorButton()->isEnabled());
  QVERIFY(!popup->row(0).upButton->isEnabled());
}

void TestSliderPopup::colourFromTheChooser()
{
  AnimationsOff off;
  Window w;
  QPointer<ThreeRowPopup> popup = _show(w, 0, 1, 0.05f, 0.5f);
  popup->setColor(Qt::white);
  QSignalSpy colour(popup.data(), &CommonSliderColorPopup::sliderColorPopupColorChanged);
  QTest::mouseClick(popup->colorButton(), Qt::LeftButton);
  QPointer<PopupColorMatrixWidget> chooser = popup->colorSubPopup();
  QVERIFY(chooser);
  QCOMPARE(chooser->parentWidget(), &w.top);
  QCOMPARE(chooser->colorPickingMode(), 1);
  // Centred on the popup's panel.
  QCOMPARE(chooser->mainWidget()->geometry().topLeft() + QPoint(175, 200), popup->mainWidget()->geometry().center());
  // A second click while it is open opens nothing more.
  QTest::mouseClick(popup->colorButton(), Qt::LeftButton);
  QCOMPARE(w.top.findChildren<PopupColorMatrixWidget *>().size(), 1);

  ColorMatrixPaletteWidget *palette = chooser->palettePanel();
  Gestures::click(palette, palette->cellRects()[11].center().toPoint());
  QCOMPARE(colour.count(), 1);
  QCOMPARE(colour[0][1].value<QColor>(), QColor("#FF0000"));
  QCOMPARE(popup->color(), QColor("#FF0000"));
  QVERIFY(!popup->colorSubPopup());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!chooser);

  // Dismissing the popup dismisses its open chooser first.
  QTest::mouseClick(popup->colorButton(), Qt::LeftButton);
  chooser = popup->colorSubPopup();
  popup->dismiss();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(!chooser);
  QVERIFY(!popup);
}

void TestSliderPopup::colourFromTheSystemDialog()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.5f);
  popup->setColor(QColor(10, 20, 30));
  QSignalSpy colour(popup, &CommonSliderColorPopup::sliderColorPopupColorChanged);
  ScriptedDialogProvider dialogs;
  QTest::mouseClick(popup->colorButton(), Qt::LeftButton);
  PopupColorMatrixWidget *chooser = popup->colorSubPopup();
  // Cancelled: nothing changes, the chooser stays.
  QTest::mouseClick(chooser->moreColorButton(), Qt::LeftButton);
  QCOMPARE(dialogs.kinds(), QStringList{"getColor"});
  QCOMPARE(dialogs.calls[0].text, QColor(10, 20, 30).name(QColor::HexArgb));
  QCOMPARE(colour.count(), 0);
  QCOMPARE(popup->colorSubPopup(), chooser);
  QVERIFY(chooser->isVisible());
  // Chosen: the colour is used, remembered and the chooser closes.
  dialogs.answers << QColor(1, 2, 3);
  QTest::mouseClick(chooser->moreColorButton(), Qt::LeftButton);
  QCOMPARE(colour.count(), 1);
  QCOMPARE(popup->color(), QColor(1, 2, 3));
  QVERIFY(!popup->colorSubPopup());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCOMPARE(QSettings().value("RecentColors/1/color").toUInt(), QColor(1, 2, 3).rgba());
}

void TestSliderPopup::embeddedColourChooserOnTheWindow()
{
  AnimationsOff off;
  Window w;
  QWidget container(&w.top);
  container.setGeometry(800, 100, 380, 300);
  container.show();
  auto *popup = new ThreeRowPopup(&container);
  popup->setRange(0, 1, 0.05f);
  popup->setValue(0.5f);
  popup->embedInWidget(&container, "Embedded");
  QTest::mouseClick(popup->colorButton(), Qt::LeftButton);
  PopupColorMatrixWidget *chooser = popup->colorSubPopup();
  QVERIFY(chooser);
  QCOMPARE(chooser->parentWidget(), &w.top);
  // The wheel over an embedded slider leaves its value alone.
  const int before = popup->row(0).slider->value();
  Gestures::wheel(popup->row(0).slider, popup->row(0).slider->rect().center(), 120);
  QCOMPARE(popup->row(0).slider->value(), before);
  delete popup;
}

void TestSliderPopup::rowWithoutAStepDoesNotStep()
{
  AnimationsOff off;
  Window w;
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.5f);
  popup->setSwitchValue(true);
  popup->updateDependentControls();
  QVERIFY(popup->row(1).upButton->isEnabled());
  QSignalSpy changing2(popup, &CommonSliderColorPopup::sliderColorPopupValue2Changing);
  QSignalSpy changed2(popup, &CommonSliderColorPopup::sliderColorPopupValue2Changed);
  QElapsedTimer clock;
  clock.start();
  center(popup->row(1).upButton, true);
  QVERIFY(clock.elapsed() < 200);
  QVERIFY(!popup->isRepeatPending());
  Gestures::hold(100);
  center(popup->row(1).upButton, false);
  center(popup->row(1).downButton, true);
  center(popup->row(1).downButton, false);
  QTest::qWait(450);
  QCOMPARE(changing2.count(), 0);
  QCOMPARE(changed2.count(), 0);
}

// A key moves a slider without any gesture to end, so it would never be reported as Changed.
void TestSliderPopup::keysLeaveTheSlidersAlone()
{
  AnimationsOff off;
  Window w;
  QApplication::setActiveWindow(&w.top);
  ThreeRowPopup *popup = _show(w, 0, 1, 0.05f, 0.5f);
  QSlider *slider = popup->row(0).slider;
  Gestures::click(slider, slider->rect().center());
  const int value = slider->value();
  QTest::keyClick(w.top.windowHandle(), Qt::Key_Right);
  QCOMPARE(slider->value(), value);
}

TAVO_TEST_MAIN(TestSliderPopup)
#include "tst_slider.moc"
