// The geometry editor and its controller: shown formats, typed commits, press-and-hold
// gestures with their before/after reports, the tool strips, and loading a segment or a
// transition set.

#include "geometryeditingwidget.h"
#include "geometryeditingwidgetcontroller.h"
#include "animationswitch.h"
#include "gestures.h"
#include "inspectorhost.h"
#include "scrollabletoolbar.h"
#include "segmentmaker.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {

// Every value signal of the controller, in order, as "name value" with values rounded to
// four places; the before-signal is answered with a fixed layer state.
struct Log
{
  QStringList events;
  QList<qint64> times; // of each event
  QList<qint64> changingTimes;
  QElapsedTimer clock;

  void add(const QString &event)
  {
    events << event;
    times << clock.elapsed();
  }

  explicit Log(GeometryEditingWidgetController *c)
  {
    clock.start();
    using C = GeometryEditingWidgetController;
    const auto value = [this](const char *name) {
      return [this, name](double v) { add(QString("%1 %2").arg(name).arg(std::round(v * 10000) / 10000)); };
    };
    const auto changing = [this, value](const char *name) {
      return [this, name, value](double v) {
        changingTimes << clock.elapsed();
        value(name)(v);
      };
    };
    QObject::connect(c, &C::xValueChanged, value("xChanged"));
    QObject::connect(c, &C::yValueChanged, value("yChanged"));
    QObject::connect(c, &C::widthValueChanged, value("wChanged"));
    QObject::connect(c, &C::heightValueChanged, value("hChanged"));
    QObject::connect(c, &C::rotationValueChanged, value("rChanged"));
    QObject::connect(c, &C::xValueChanging, changing("xChanging"));
    QObject::connect(c, &C::yValueChanging, changing("yChanging"));
    QObject::connect(c, &C::widthValueChanging, changing("wChanging"));
    QObject::connect(c, &C::heightValueChanging, changing("hChanging"));
    QObject::connect(c, &C::rotationValueChanging, changing("rChanging"));
    QObject::connect(c, &C::beforeGeometryValueChanging, [this](QPointF &translation, QPointF &scale, qreal &rotation) {
      translation = QPointF(0.25, -0.5);
      scale = QPointF(1.5, 2);
      rotation = 0.75;
      add("before");
    });
    QObject::connect(c, &C::afterGeometryValueChanging, [this](QPointF translation, QPointF scale, double rotation) {
      add(QString("after %1 %2 %3 %4 %5")
            .arg(translation.x())
            .arg(translation.y())
            .arg(scale.x())
            .arg(scale.y())
            .arg(rotation));
    });
  }
  int count(const QString &prefix) const { return events.filter(QRegularExpression("^" + prefix)).size(); }
};

const QString afterLine = "after 0.25 -0.5 1.5 2 0.75";

struct Editor
{
  InspectorHost host{295}; // the inspector's width
  GeometryEditingWidgetController *controller;
  GeometryEditingWidget *form;
  Log log;

  Editor()
    : controller(host.add(new GeometryEditingWidgetController(false, host.content))), form(controller->form()),
      log(controller)
  {
    QApplication::setActiveWindow(&host.top);
    controller->updateEnabledAtTime(someTransformWidget(), true);
  }
  QLineEdit *edit(const char *name) const { return form->findChild<QLineEdit *>(QString(name) + "LineEdit"); }
  QPushButton *button(const char *name) const { return form->findChild<QPushButton *>(name); }
};

void type(QLineEdit *edit, const QString &text)
{
  Gestures::click(edit, edit->rect().center());
  QTRY_VERIFY(edit->hasFocus());
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

void clickOn(QPushButton *button, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  Gestures::press(button, button->rect().center(), Qt::LeftButton, modifiers);
  Gestures::release(button, button->rect().center(), Qt::LeftButton, modifiers);
}

} // namespace

class TestGeometry : public QObject
{
  Q_OBJECT
private slots:
  void init() { setAnimationEnabled(false); }
  void shownFormats_data();
  void shownFormats();
  void typedValues_data();
  void typedValues();
  void leavingWithoutTypingAppliesNothing();
  void holdingSteps();
  void controlStepsByATenth();
  void hidingEndsAHold();
  void spaceHoldsAButton();
  void scaleStopsAtZero();
  void pressesCloseTogetherMakeOneGesture();
  void toolStripCommands_data();
  void toolStripCommands();
  void loadsTheSegment();
  void loadsTransitionSets();
  void enabledWithTheOverlay();
};

void TestGeometry::shownFormats_data()
{
  QTest::addColumn<QString>("field");
  QTest::addColumn<double>("value");
  QTest::addColumn<QString>("text");
  QTest::newRow("x") << "x" << 0.1234 << "12.3%";
  QTest::newRow("y negative") << "y" << -0.5 << "-50.0%";
  QTest::newRow("w past 1000 %") << "w" << 15.0 << "1500.0%";
  QTest::newRow("h past 10000 %") << "h" << 123.456 << "12345.6%";
  QTest::newRow("rotation") << "r" << -M_PI / 2 << "-90.0\u00b0";
  QTest::newRow("rotation past a turn") << "r" << 4 * M_PI << "720.0\u00b0";
}

void TestGeometry::shownFormats()
{
  QFETCH(QString, field);
  QFETCH(double, value);
  QFETCH(QString, text);
  Editor e;
  QCOMPARE(e.edit("x")->text(), QString("0%"));
  QCOMPARE(e.edit("w")->text(), QString("100%"));
  QCOMPARE(e.edit("r")->text(), QString("0\u00b0"));
  void (GeometryEditingWidget::*setters[])(double) = {
    &GeometryEditingWidget::setXValue, &GeometryEditingWidget::setYValue, &GeometryEditingWidget::setWidthValue,
    &GeometryEditingWidget::setHeightValue, &GeometryEditingWidget::setRotationValue};
  const int index = QString("xywhr").indexOf(field);
  (e.form->*setters[index])(value);
  QLineEdit *edit = e.edit(qPrintable(field));
  QCOMPARE(edit->text(), text);
  // Whole on screen, too: no digit is cut off at the field's edges.
  QVERIFY2(QFontMetrics(edit->font()).horizontalAdvance(text) <= edit->contentsRect().width(),
           qPrintable(QString("%1 px of text in %2 px").arg(QFontMetrics(edit->font()).horizontalAdvance(text))
                        .arg(edit->contentsRect().width())));
  QCOMPARE(e.log.events, QStringList());
}

void TestGeometry::typedValues_data()
{
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("reported");
  QTest::addColumn<QString>("shown");
  QTest::newRow("width") << "w" << "50" << "wChanged 0.5" << "50.0%";
  QTest::newRow("width with the sign") << "w" << "75%" << "wChanged 0.75" << "75.0%";
  QTest::newRow("width of 1500 %") << "w" << "1500" << "wChanged 15" << "1500.0%";
  QTest::newRow("x negative") << "x" << "-250.5" << "xChanged -2.505" << "-250.5%";
  QTest::newRow("y") << "y" << "12.5" << "yChanged 0.125" << "12.5%";
  QTest::newRow("height emptied") << "h" << "" << "hChanged 0" << "0.0%";
  QTest::newRow("rotation unwrapped") << "r" << "-90" << QString("rChanged %1").arg(std::round(-M_PI / 2 * 10000) / 10000)
                                      << "-90.0\u00b0";
  QTest::newRow("rotation past a turn") << "r" << "450" << QString("rChanged %1").arg(std::round(2.5 * M_PI * 10000) / 10000)
                                        << "450.0\u00b0";
}

void TestGeometry::typedValues()
{
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, reported);
  QFETCH(QString, shown);
  Editor e;
  e.controller->updateFromSegment(makeSegment("IMAGE").get());
  QLineEdit *edit = e.edit(qPrintable(field));
  type(edit, typed);
  QTest::keyClick(edit, Qt::Key_Return);
  QCOMPARE(e.log.events, QStringList{reported});
  QCOMPARE(edit->text(), shown);
  QVERIFY(!edit->hasFocus());
  // Coming back and leaving again, or pressing Return again, applies nothing more.
  Gestures::click(edit, edit->rect().center());
  QTRY_VERIFY(edit->hasFocus());
  QTest::keyClick(edit, Qt::Key_Return);
  Gestures::click(edit, edit->rect().center());
  QTRY_VERIFY(edit->hasFocus());
  e.button("xValueUpButton")->setFocus();
  QTRY_VERIFY(!edit->hasFocus());
  QCOMPARE(e.log.events, QStringList{reported});
}

// The shown text is rounded; leaving the field must not apply the rounded value, and a scale
// the old masks could not hold must not be cut by the next focus change.
void TestGeometry::leavingWithoutTypingAppliesNothing()
{
  Editor e;
  e.form->setXValue(0.1234);
  e.form->setWidthValue(15.0);
  for (const char *name : {"x", "w"}) {
    QLineEdit *edit = e.edit(name);
    Gestures::click(edit, edit->rect().center());
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_End);
    e.button("yValueUpButton")->setFocus();
    QTRY_VERIFY(!edit->hasFocus());
  }
  QCOMPARE(e.edit("x")->text(), QString("12.3%"));
  QCOMPARE(e.edit("w")->text(), QString("1500.0%"));
  QCOMPARE(e.log.events, QStringList());
}

void TestGeometry::holdingSteps()
{
  Editor e;
  e.form->setXValue(0.995);
  QPushButton *up = e.button("xValueUpButton");
  Gestures::press(up, up->rect().center());
  QCOMPARE(e.log.events, (QStringList{"before", "xChanging 1.005"}));
  QTRY_VERIFY_WITH_TIMEOUT(e.log.count("xChanging") >= 5, 5000);
  Gestures::release(up, up->rect().center());
  const qint64 released = e.log.clock.elapsed();
  const int steps = e.log.count("xChanging");
  QTRY_VERIFY(e.log.count("xChanged") == 1);
  QStringList expected{"before"};
  for (int i = 0; i < steps; ++i)
    expected << QString("xChanging %1").arg((100.5 + i) / 100);
  expected << afterLine << QString("xChanged %1").arg((100.5 + steps - 1) / 100);
  QCOMPARE(e.log.events, expected);
  // The gesture ends 350 ms after the release.
  QVERIFY2(e.log.times[steps + 1] - released >= 330, qPrintable(QString::number(e.log.times[steps + 1] - released)));
  // The first repeat waits 500 ms, the later ones 50 ms (timers never fire much early; a
  // busy machine may make them late, so only the lower bounds are checked).
  const QList<qint64> &t = e.log.changingTimes;
  QVERIFY2(t[1] - t[0] >= 450, qPrintable(QString::number(t[1] - t[0])));
  for (int i = 2; i < t.size(); ++i)
    QVERIFY2(t[i] - t[i - 1] >= 45, qPrintable(QString::number(t[i] - t[i - 1])));
  QCOMPARE(e.edit("x")->text(), QString("%1%").arg(100.5 + steps - 1, 0, 'f', 1));
}

void TestGeometry::controlStepsByATenth()
{
  Editor e;
  e.form->setRotationValue(0);
  QPushButton *down = e.button("rValueDownButton");
  // Control counts at the press only; the repeats keep its step.
  Gestures::press(down, down->rect().center(), Qt::LeftButton, Qt::ControlModifier);
  QTRY_VERIFY(e.log.count("rChanging") >= 2);
  Gestures::release(down, down->rect().center());
  QTRY_VERIFY(e.log.count("rChanged") == 1);
  const int steps = e.log.count("rChanging");
  const auto radians = [](double degrees) { return QString::number(std::round(degrees / 180 * M_PI * 10000) / 10000); };
  QStringList expected{"before"};
  for (int i = 1; i <= steps; ++i)
    expected << "rChanging " + radians(-0.1 * i);
  expected << afterLine << "rChanged " + radians(-0.1 * steps);
  QCOMPARE(e.log.events, expected);
  QCOMPARE(e.edit("r")->text(), QString("%1\u00b0").arg(-0.1 * steps, 0, 'f', 1));
}

void TestGeometry::hidingEndsAHold()
{
  Editor e;
  e.form->setYValue(0);
  QPushButton *up = e.button("yValueUpButton");
  Gestures::press(up, up->rect().center());
  QCOMPARE(e.log.count("yChanging"), 1);
  // The editor hides the inspector; the release goes nowhere near the button.
  e.controller->setVisible(false);
  QTRY_VERIFY(e.log.count("yChanged") == 1);
  QCOMPARE(e.log.events, (QStringList{"before", "yChanging 0.01", afterLine, "yChanged 0.01"}));
  Gestures::release(&e.host.top, QPoint(5, 5));
}

// The value buttons are in the tab order: Space on one holds it as the mouse does.
void TestGeometry::spaceHoldsAButton()
{
  Editor e;
  e.form->setHeightValue(0.5);
  QPushButton *up = e.button("hValueUpButton");
  up->setFocus();
  QTRY_VERIFY(up->hasFocus());
  QTest::keyPress(up, Qt::Key_Space);
  QCOMPARE(e.log.events, (QStringList{"before", "hChanging 0.51"}));
  QTRY_VERIFY(e.log.count("hChanging") >= 2);
  QTest::keyRelease(up, Qt::Key_Space);
  QTRY_VERIFY(e.log.count("hChanged") == 1);
  const int steps = e.log.count("hChanging");
  QCOMPARE(e.log.events.mid(steps + 1), (QStringList{afterLine, QString("hChanged %1").arg((50.0 + steps) / 100)}));
}

void TestGeometry::scaleStopsAtZero()
{
  Editor e;
  e.form->setWidthValue(0);
  QPushButton *down = e.button("wValueDownButton");
  clickOn(down);
  QTRY_VERIFY(e.log.count("after") == 1);
  QTest::qWait(100);
  QCOMPARE(e.log.events, (QStringList{"before", afterLine}));
  QCOMPARE(e.edit("w")->text(), QString("0.0%"));
  // The gesture is over: the next press opens a new one.
  clickOn(e.button("wValueUpButton"));
  QTRY_VERIFY(e.log.count("wChanged") == 1);
  QCOMPARE(e.log.events, (QStringList{"before", afterLine, "before", "wChanging 0.01", afterLine, "wChanged 0.01"}));
}

// Clicks less than 350 ms apart are one gesture; every field stepped in it is applied.
void TestGeometry::pressesCloseTogetherMakeOneGesture()
{
  Editor e;
  e.form->setXValue(0);
  e.form->setHeightValue(1);
  QElapsedTimer clicks;
  clicks.start();
  clickOn(e.button("xValueUpButton"));
  clickOn(e.button("xValueUpButton"));
  clickOn(e.button("hValueDownButton"));
  if (clicks.elapsed() >= 300)
    QSKIP("The clicks took too long to make one burst on this machine");
  QTRY_VERIFY(e.log.count("after") == 1);
  QTRY_COMPARE(e.log.events.size(), 7);
  QCOMPARE(e.log.events.mid(0, 5),
           (QStringList{"before", "xChanging 0.01", "xChanging 0.02", "hChanging 0.99", afterLine}));
  const QStringList last = e.log.events.mid(5);
  QCOMPARE(QSet<QString>(last.begin(), last.end()), (QSet<QString>{"xChanged 0.02", "hChanged 0.99"}));
}

void TestGeometry::toolStripCommands_data()
{
  QTest::addColumn<int>("command");
  QTest::addColumn<QString>("signal");
  QTest::newRow("crop") << 10024 << "cropButtonClicked";
  QTest::newRow("flip h") << 10008 << "flipHorizontalButtonClicked";
  QTest::newRow("flip v") << 10009 << "flipVerticalButtonClicked";
  QTest::newRow("aspect") << 10003 << "maintainAspectRatioButtonClicked";
  QTest::newRow("default") << 10004 << "restoreDefaultButtonClicked";
  QTest::newRow("clockwise") << 10006 << "rotateClockwiseButtonClicked";
  QTest::newRow("counterclockwise") << 10007 << "rotateCounterClockwiseButtonClicked";
}

void TestGeometry::toolStripCommands()
{
  QFETCH(int, command);
  QFETCH(QString, signal);
  Editor e;
  const bool second = command == 10006 || command == 10007;
  ScrollableToolBar *bar = second ? e.form->toolbar2() : e.form->toolbar();
  QVERIFY(!(second ? e.form->toolbar() : e.form->toolbar2())->button(command));
  TooltipButton *button = bar->button(command);
  QVERIFY(button);
  QList<std::shared_ptr<QSignalSpy>> spies;
  const char *names[] = {"cropButtonClicked()",
                         "flipHorizontalButtonClicked()",
                         "flipVerticalButtonClicked()",
                         "maintainAspectRatioButtonClicked()",
                         "restoreDefaultButtonClicked()",
                         "rotateClockwiseButtonClicked()",
                         "rotateCounterClockwiseButtonClicked()"};
  for (const char *name : names)
    spies << std::make_shared<QSignalSpy>(e.controller, qPrintable(QString("2") + name));
  QTRY_VERIFY(button->isVisible());
  QTest::mouseClick(button, Qt::LeftButton);
  for (int i = 0; i < 7; ++i)
    QCOMPARE(spies[i]->count(), QString(names[i]).startsWith(signal + "(") ? 1 : 0);
}

void TestGeometry::loadsTheSegment()
{
  Editor e;
  for (const char *typeName : {"MOVIE", "IMAGE", "TEXT", "DRAWING"}) {
    auto segment = makeSegment(typeName);
    QVERIFY(GeometryEditingWidgetController::isSupported(segment.get()));
    segment->setUserTranslation(QPointF(0.1, -0.2));
    segment->setUserScale(QSizeF(1.5, 0.5));
    segment->setUserRotation(M_PI / 4);
    segment->setFlippedHorizontally(true);
    e.controller->updateFromSegment(segment.get());
    const QStringList texts{e.edit("x")->text(), e.edit("y")->text(), e.edit("w")->text(), e.edit("h")->text(),
                            e.edit("r")->text()};
    QCOMPARE(texts, (QStringList{"10.0%", "-20.0%", "150.0%", "50.0%", "45.0\u00b0"}));
    QVERIFY(e.form->hFlipButton()->isSelected());
    QVERIFY(!e.form->vFlipButton()->isSelected());
    e.controller->updateFromSegment(makeSegment(typeName).get());
    QVERIFY(!e.form->hFlipButton()->isSelected());
  }
  for (const char *typeName : {"MUSIC", "VOICE"})
    QVERIFY(!GeometryEditingWidgetController::isSupported(makeSegment(typeName).get()));
  QCOMPARE(e.log.events, QStringList());
}

void TestGeometry::loadsTransitionSets()
{
  InspectorHost host;
  auto *controller = host.add(new GeometryEditingWidgetController(true, host.content));
  GeometryEditingWidget *form = controller->form();
  auto *x = form->findChild<QLineEdit *>("xLineEdit");
  auto segment = makeSegment("IMAGE");
  segment->setRangeDuration(10);
  QCOMPARE(segment->insertTransition(2, 3), 1);
  segment->setTransitionUserTranslation(1, true, QPointF(0.3, 0));
  segment->setTransitionUserTranslation(1, false, QPointF(0.6, 0));
  segment->setTransitionFlippedVertically(1, false, true);

  controller->updateFromTransition(segment.get(), 0, 1);
  QVERIFY(!form->isEnabled());
  QCOMPARE(x->text(), QString("0%"));
  controller->updateFromTransition(segment.get(), 1, 1);
  QVERIFY(form->isEnabled());
  QCOMPARE(x->text(), QString("30.0%"));
  QVERIFY(!form->vFlipButton()->isSelected());
  controller->updateFromTransition(segment.get(), 1, 0);
  QCOMPARE(x->text(), QString("60.0%"));
  QVERIFY(form->vFlipButton()->isSelected());
  // No set: disabled, the values stay.
  controller->updateFromTransition(segment.get(), 1, -1);
  QVERIFY(!form->isEnabled());
  QCOMPARE(x->text(), QString("60.0%"));

  // The same pair twice: only the flip marks are read again.
  controller->updateFromTransition(segment.get(), 1, 0);
  segment->setTransitionUserTranslation(1, false, QPointF(0.7, 0));
  segment->setTransitionFlippedVertically(1, false, false);
  controller->updateFromTransition(segment.get(), 1, 0);
  QCOMPARE(x->text(), QString("60.0%"));
  QVERIFY(!form->vFlipButton()->isSelected());
  // A reload reads the values and leaves the marks.
  segment->setTransitionFlippedVertically(1, false, true);
  controller->reloadTransitionValues(segment.get(), 1, 0);
  QCOMPARE(x->text(), QString("70.0%"));
  QVERIFY(!form->vFlipButton()->isSelected());
  // Hidden, it forgets the set and reads the same pair again.
  segment->setTransitionUserTranslation(1, false, QPointF(0.8, 0));
  controller->setVisible(false);
  controller->setVisible(true);
  controller->updateFromTransition(segment.get(), 1, 0);
  QCOMPARE(x->text(), QString("80.0%"));
}

void TestGeometry::enabledWithTheOverlay()
{
  Editor e;
  QVERIFY(e.form->isEnabled());
  e.controller->updateEnabledAtTime(nullptr, true);
  QVERIFY(!e.form->isEnabled());
  QVERIFY(!e.button("xValueUpButton")->isEnabled());
  e.controller->updateEnabledAtTime(someTransformWidget(), false);
  QVERIFY(e.form->isEnabled());
}

TAVO_TEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
