// The drawing tool strips: buttons, delayed commands, the tool bar's selection and its
// shape picker requests, and the strip and grid layouts.

#include "drawingcommand.h"
#include "drawingshapetoolswidget.h"
#include "drawingtoolswidget.h"
#include "gestures.h"
#include "pixelprobe.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>

namespace {

void storeSelected(int cmdId)
{
  QSettings settings;
  settings.setValue("DrawingToolsView/SelectedCmdId", cmdId);
}

int storedSelected()
{
  return QSettings().value("DrawingToolsView/SelectedCmdId", -1).toInt();
}

bool showForClicks(QWidget *widget)
{
  Gestures::takePressesAtOnce(widget);
  widget->show();
  return QTest::qWaitForWindowExposed(widget);
}

// A tool bar in a window of its own, shown so that clicks land.
struct ToolBarWindow
{
  QWidget top;
  DrawingToolsWidget *bar;
  explicit ToolBarWindow(bool allShapes = false)
  {
    const QSize size = allShapes ? QSize(300, 250) : QSize(600, 50);
    top.resize(size + QSize(40, 40));
    bar = new DrawingToolsWidget(allShapes, &top);
    bar->setGeometry(QRect(QPoint(20, 20), size));
    Gestures::takePressesAtOnce(&top);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }
  // Clicks the button and waits for its command.
  void run(TooltipButton *button, QSignalSpy &commands)
  {
    const int before = commands.count();
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(commands.count(), before + 1);
  }
};

} // namespace

class TestToolStrips : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void buttonsShowTheirCommand();
  void commandArrivesAfterTheClick();
  void selectionPersists_data();
  void selectionPersists();
  void oneOffActionsKeepTheSelection_data();
  void oneOffActionsKeepTheSelection();
  void shapeButtonAsksForThePicker();
  void pickerChoiceRunsOnTheShapeButton();
  void storedNonToolMeansThePencil_data();
  void storedNonToolMeansThePencil();
  void verticalStripKeepsTheFirstButtonInView();
  void gridFlowsInCells_data();
  void gridFlowsInCells();
  void cornerMarkFollowsTheStrip();
};

void TestToolStrips::init()
{
  QSettings().clear();
}

void TestToolStrips::buttonsShowTheirCommand()
{
  // Every button of every strip shows a picture that loads, in both states.
  DrawingShapeToolsWidget picker;
  DrawingToolsWidget bar(false), grid(true);
  for (DrawingCommonToolsWidget *strip : std::initializer_list<DrawingCommonToolsWidget *>{&picker, &bar, &grid})
    for (TooltipButton *button : strip->buttons()) {
      QVERIFY(!button->toolTip().isEmpty());
      QVERIFY2(!QPixmap(button->normalIcon()).isNull(), qPrintable(button->normalIcon()));
      QVERIFY2(!QPixmap(button->selectedIcon()).isNull(), qPrintable(button->selectedIcon()));
      QCOMPARE(button->iconSize().height(), 27);
    }
}

void TestToolStrips::commandArrivesAfterTheClick()
{
  DrawingShapeToolsWidget picker;
  picker.resize(800, 50);
  QVERIFY(showForClicks(&picker));
  QSignalSpy commands(&picker, &DrawingShapeToolsWidget::drawingShapeToolsWidgetOnCommand);
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(picker.findButton(10314), Qt::LeftButton);
  QCOMPARE(commands.count(), 0);
  QTRY_COMPARE(commands.count(), 1);
  QVERIFY2(clock.elapsed() >= 190, qPrintable(QString("after %1 ms").arg(clock.elapsed())));
  QCOMPARE(commands.first().at(1).toInt(), 10314);
  QCOMPARE(commands.first().at(2).toFloat(), 0.0f);
}

void TestToolStrips::selectionPersists_data()
{
  QTest::addColumn<bool>("allShapes");
  QTest::addColumn<int>("cmdId");
  QTest::newRow("text") << false << 10329;
  QTest::newRow("picture") << false << 10330;
  QTest::newRow("free pencil") << true << 10301;
  QTest::newRow("grid shape") << true << 10323;
}

void TestToolStrips::selectionPersists()
{
  QFETCH(bool, allShapes);
  QFETCH(int, cmdId);
  QCOMPARE(DrawingToolsWidget(allShapes).selectedCmdId(), 10301);
  {
    ToolBarWindow w(allShapes);
    QSignalSpy commands(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnCommand);
    w.run(w.bar->findButton(cmdId), commands);
    QCOMPARE(w.bar->selectedCmdId(), cmdId);
  }
  QCOMPARE(storedSelected(), cmdId);
  DrawingToolsWidget again(allShapes);
  QCOMPARE(again.selectedCmdId(), cmdId);
  QVERIFY(again.findButton(cmdId)->isSelected());
  QCOMPARE(again.findButton(cmdId)->shownIcon(), again.findButton(cmdId)->selectedIcon());
}

void TestToolStrips::oneOffActionsKeepTheSelection_data()
{
  QTest::addColumn<int>("cmdId");
  QTest::newRow("clear") << 10305;
  QTest::newRow("undo") << 10306;
  QTest::newRow("save") << 10328;
  QTest::newRow("switch") << 10334;
}

void TestToolStrips::oneOffActionsKeepTheSelection()
{
  QFETCH(int, cmdId);
  storeSelected(10329);
  {
    ToolBarWindow w;
    QSignalSpy commands(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnCommand);
    w.run(w.bar->findButton(cmdId), commands);
    QCOMPARE(commands.last().at(1).toInt(), cmdId);
    QCOMPARE(w.bar->selectedCmdId(), 10329);
    QVERIFY(w.bar->findButton(10329)->isSelected());
    QVERIFY(!w.bar->findButton(cmdId)->isSelected());
  }
  QCOMPARE(storedSelected(), 10329);
}

void TestToolStrips::shapeButtonAsksForThePicker()
{
  ToolBarWindow w;
  QSignalSpy commands(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnCommand);
  QSignalSpy popups(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnPopup);
  QSignalSpy dismissals(w.bar, &DrawingToolsWidget::drawingToolsWidgetDismissPopup);
  TooltipButton *shape = w.bar->shapeButton();

  w.run(shape, commands);
  QCOMPARE(commands.last().at(1).toInt(), 10310);
  QCOMPARE(popups.count(), 0);
  QVERIFY(shape->isSelected());

  w.run(shape, commands);
  QCOMPARE(popups.count(), 1);
  QCOMPARE(popups.last().at(1).toInt(), 10310);
  QCOMPARE(dismissals.count(), 0);

  // Undo keeps the shape selected, so the picker is still asked to go.
  w.run(w.bar->findButton(10306), commands);
  QCOMPARE(dismissals.count(), 1);
  w.run(w.bar->findButton(10329), commands);
  QCOMPARE(dismissals.count(), 2);
  QVERIFY(!shape->isSelected());
  // Nothing to dismiss once another tool is selected.
  w.run(w.bar->findButton(10330), commands);
  QCOMPARE(dismissals.count(), 2);
  QCOMPARE(popups.count(), 1);
}

void TestToolStrips::pickerChoiceRunsOnTheShapeButton()
{
  ToolBarWindow w;
  QSignalSpy commands(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnCommand);
  QSignalSpy popups(w.bar, &DrawingToolsWidget::drawingToolsWidgetOnPopup);
  w.run(w.bar->shapeButton(), commands);
  w.run(w.bar->shapeButton(), commands);
  QCOMPARE(popups.count(), 1);

  w.bar->selectShapeCommand(10326);
  QCOMPARE(commands.last().at(1).toInt(), 10326);
  QCOMPARE(popups.count(), 2);
  QCOMPARE(popups.last().at(1).toInt(), 10326);
  TooltipButton *shape = w.bar->shapeButton();
  QCOMPARE(shape->commandId(), 10326);
  QCOMPARE(shape->toolTip(), drawingCommandToolTip(10326));
  QCOMPARE(w.bar->selectedCmdId(), 10326);
  // The next click runs the heart.
  w.run(shape, commands);
  QCOMPARE(commands.last().at(1).toInt(), 10326);
}

void TestToolStrips::storedNonToolMeansThePencil_data()
{
  QTest::addColumn<int>("stored");
  QTest::addColumn<int>("selected");
  QTest::newRow("shape") << 10320 << 10320;
  QTest::newRow("undo") << 10306 << 10301;
  QTest::newRow("switch") << 10334 << 10301;
  QTest::newRow("unknown") << 4711 << 10301;
}

void TestToolStrips::storedNonToolMeansThePencil()
{
  QFETCH(int, stored);
  QFETCH(int, selected);
  storeSelected(stored);
  for (bool allShapes : {false, true}) {
    DrawingToolsWidget bar(allShapes);
    QCOMPARE(bar.selectedCmdId(), selected);
    TooltipButton *button = allShapes ? bar.findButton(selected) : selected == 10301 ? bar.findButton(10301) : bar.shapeButton();
    QVERIFY(button->isSelected());
    QCOMPARE(button->shownIcon(), button->selectedIcon());
    if (!allShapes) {
      QCOMPARE(bar.shapeButton()->commandId(), selected == 10301 ? 10310 : selected);
      QCOMPARE(bar.shapeButton()->toolTip(), drawingCommandToolTip(bar.shapeButton()->commandId()));
    }
  }
}

void TestToolStrips::verticalStripKeepsTheFirstButtonInView()
{
  DrawingShapeToolsWidget picker;
  picker.resize(50, 300);
  QVERIFY(showForClicks(&picker));
  TooltipButton *first = picker.findButton(10309);
  TooltipButton *last = picker.findButton(10327);
  QVERIFY(first->y() > last->y());
  QCOMPARE(picker.scrollArea()->geometry(), QRect(0, 10, 50, 280));
  for (const QSize &size : {QSize(50, 300), QSize(60, 450), QSize(50, 200)}) {
    picker.resize(size);
    QTRY_COMPARE(picker.scrollArea()->height(), size.height() - 20);
    // Bottom of the first button at the bottom of the visible area.
    const QRect inView = first->geometry().translated(0, -picker.scrollArea()->verticalScrollBar()->value());
    QCOMPARE(inView.bottom(), picker.scrollArea()->viewport()->height() - 1);
    QCOMPARE(first->width(), size.width());
  }
}

void TestToolStrips::gridFlowsInCells_data()
{
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("rows");
  // 29 buttons: switch, pencil, 22 shapes, text, picture, undo, clear, save.
  QTest::newRow("six columns") << 300 << 5;
  QTest::newRow("not a whole cell more") << 349 << 5;
  QTest::newRow("seven columns") << 350 << 5;
  QTest::newRow("ten columns") << 520 << 3;
  QTest::newRow("one column") << 50 << 29;
}

void TestToolStrips::gridFlowsInCells()
{
  QFETCH(int, width);
  QFETCH(int, rows);
  DrawingToolsWidget bar(true);
  QCOMPARE(bar.buttons().size(), 29);
  const QSize size = bar.sizeForWidth(width);
  QCOMPARE(size, QSize(width, rows * 50));
  bar.resize(size);
  QVERIFY(showForClicks(&bar));
  QVERIFY(!bar.startIndicator()->isVisible());
  const int columns = width / 50;
  for (int i = 0; i < bar.buttons().size(); ++i)
    QCOMPARE(bar.buttons().at(i)->geometry(), QRect(i % columns * 50, i / columns * 50, 50, 50));
  // All rows in view without scrolling.
  QVERIFY(bar.buttons().last()->geometry().bottom() < bar.scrollArea()->viewport()->height());
  QCOMPARE(DrawingShapeToolsWidget().sizeForWidth(width), QSize(width, 50));
}

void TestToolStrips::cornerMarkFollowsTheStrip()
{
  DrawingToolsWidget bar(false);
  bar.resize(500, 50);
  QVERIFY(showForClicks(&bar));
  QCOMPARE(bar.shapeButton()->cornerMark(), 1);
  QCOMPARE(bar.scrollArea()->geometry(), QRect(10, 0, 480, 50));
  // The strip's own dark background shows between the flat buttons.
  const QRgb background = bar.grab().toImage().pixel(480, 3);
  QVERIFY2(PixelProbe::near(background, QColor(7, 8, 10), 12), qPrintable(PixelProbe::text(background)));
  QCOMPARE(bar.buttons().first()->geometry().topLeft(), QPoint(0, 0));
  bar.resize(50, 500);
  QTRY_COMPARE(bar.shapeButton()->cornerMark(), 4);
  bar.resize(500, 50);
  QTRY_COMPARE(bar.shapeButton()->cornerMark(), 1);
}

TAVO_TEST_MAIN(TestToolStrips)
#include "tst_toolstrips.moc"
