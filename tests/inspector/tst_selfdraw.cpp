// The drawing state of the inspector: the drawing tools it makes once and hands to the
// editor at every start, their form's wrapping height, their popups, and a canvas whose
// shape changed between two drawings.

#include "animationswitch.h"
#include "donebuttoneditingwidget.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "drawingcolorwidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "gestures.h"
#include "popupdrawingmodewidget.h"
#include "popupsliderwidget.h"
#include "segmentinspectorwidget.h"
#include "segmentmaker.h"
#include "selfdraweditingwidget.h"
#include "selfdraweditingwidgetcontroller.h"
#include "testenv.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {

// An inspector on its own whose editor answers the canvas size directly.
struct DrawingPanel
{
  AnimationsOff animationsOff;
  SegmentInspectorWidget widget;
  QSize answer{1920, 1080};
  QSignalSpy asked{&widget, &SegmentInspectorWidget::segmentInspectorWidgetGetCanvasSize};
  QSignalSpy init{&widget, &SegmentInspectorWidget::segmentInspectorWidgetInitDrawingWidgets};
  QSignalSpy start{&widget, &SegmentInspectorWidget::segmentInspectorWidgetStartDrawing};
  std::unique_ptr<Segment> drawing = makeSegment("DRAWING");

  DrawingPanel()
  {
    QObject::connect(
      &widget, &SegmentInspectorWidget::segmentInspectorWidgetGetCanvasSize, &widget,
      [this](SegmentInspectorWidget *, QSize &size) { size = answer; }, Qt::DirectConnection);
    widget.resize(295, 900);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.showSegment(drawing.get(), nullptr, QSize(1920, 1080));
  }

  void startDrawing() { widget.setEditingState(true, "Drawing...", 2); }
  SelfDrawEditingWidgetController *selfDraw() const { return widget.selfDrawController(); }
  SelfDrawEditingWidget *form() const { return selfDraw()->form(); }

  int expectedContentHeight() const
  {
    int total = 0;
    for (CommonEditingWidgetController *c : widget.sortedControllers())
      if (c->isVisible())
        total += c->editingWidget()->height() + 1;
    return total;
  }

  // The form has wrapped its tools to its width and the panel has made room for it.
  void waitSettled() const
  {
    SelfDrawEditingWidget *f = form();
    QTRY_COMPARE(f->toolsWidget()->height(), f->toolsWidget()->sizeForWidth(f->width() - 24).height());
    QTRY_COMPARE(f->height(), f->tuningWidget()->height() + f->toolsWidget()->height() +
                                f->colorWidget()->height() + 44);
    QTRY_COMPARE(widget.scrollAreaWidget()->height(), expectedContentHeight());
  }
};

QList<QObject *> widgetsOf(const QList<QVariant> &arguments)
{
  return {arguments.at(1).value<QObject *>(), arguments.at(2).value<QObject *>(), arguments.at(3).value<QObject *>()};
}

PopupSliderWidget *openSizePopup(DrawingTuningWidget *tuning)
{
  tuning->showTuningPanel(1);
  auto *size = tuning->findChild<QPushButton *>("textSizeButton");
  if (!QTest::qWaitFor([size] { return size->isVisible(); }))
    return nullptr;
  QTest::mouseClick(size, Qt::LeftButton);
  (void)QTest::qWaitFor([tuning] { return tuning->openPopup() != nullptr; });
  return tuning->openPopup();
}

PopupDrawingModeWidget *openFillPopup(DrawingColorWidget *swatch)
{
  if (!QTest::qWaitFor([swatch] { return swatch->isVisible(); }))
    return nullptr;
  Gestures::click(swatch, QPoint(25, 25));
  return swatch->popup();
}

} // namespace

class TestSelfDraw : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase()
  {
    qRegisterMetaType<DrawingColorWidget *>();
    qRegisterMetaType<DrawingTuningWidget *>();
    qRegisterMetaType<DrawingToolsWidget *>();
  }
  void enteringMakesTheToolsOnce();
  void doneWhileDrawingEndsTheDrawing_data();
  void doneWhileDrawingEndsTheDrawing();
  void leavingClosesPopups_data();
  void leavingClosesPopups();
  void segmentShownWhileDrawing();
  void formParts();
  void widerInspectorRewrapsTools_data();
  void widerInspectorRewrapsTools();
  void windowResizeMovesFillPopup();
  void canvasOfAnotherShape_data();
  void canvasOfAnotherShape();
};

void TestSelfDraw::enteringMakesTheToolsOnce()
{
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  p.startDrawing();
  QCOMPARE(p.asked.count(), 1);
  QVERIFY(p.selfDraw());
  QCOMPARE(p.init.count(), 1);
  QCOMPARE(p.start.count(), 1);
  const QList<QObject *> tools{p.selfDraw()->colorWidget(), p.selfDraw()->tuningWidget(),
                               p.selfDraw()->toolsWidget()};
  QCOMPARE(widgetsOf(p.init.first()), tools);
  QCOMPARE(widgetsOf(p.start.first()), tools);
  QCOMPARE(p.selfDraw()->colorWidget()->canvasSize(), QSize(1920, 1080));
  QVERIFY(w.doneController()->isVisible());
  QCOMPARE(w.doneController()->form()->titleLabel()->text(), QString("Drawing..."));
  QVERIFY(p.selfDraw()->isVisible());
  // The tools come last, under everything the segment keeps.
  QCOMPARE(w.sortedControllers().last(), p.selfDraw());
  QTRY_VERIFY(p.form()->isVisible());
  p.waitSettled();

  w.setEditingState(false, QString(), 2);
  QVERIFY(!p.selfDraw()->isVisible());
  QVERIFY(!p.form()->isVisible());
  QCOMPARE(w.scrollAreaWidget()->height(), p.expectedContentHeight());

  SelfDrawEditingWidgetController *made = p.selfDraw();
  w.setEditingState(true, "Drawing...", 2);
  QCOMPARE(p.selfDraw(), made);
  QCOMPARE(p.asked.count(), 2);
  QCOMPARE(p.init.count(), 1);
  QCOMPARE(p.start.count(), 2);
  QCOMPARE(widgetsOf(p.start.last()), tools);
  QVERIFY(p.selfDraw()->isVisible());
  p.waitSettled();

  // Straight on to cropping: the tools go, and nothing more is asked or started.
  w.setEditingState(true, "Cropping...", 0);
  QVERIFY(!p.selfDraw()->isVisible());
  QVERIFY(w.doneController()->isVisible());
  QCOMPARE(p.asked.count(), 2);
  QCOMPARE(p.start.count(), 2);
  QCOMPARE(w.scrollAreaWidget()->height(), p.expectedContentHeight());
}

void TestSelfDraw::doneWhileDrawingEndsTheDrawing_data()
{
  QTest::addColumn<int>("mode");
  QTest::addColumn<QStringList>("reports");
  QTest::addColumn<bool>("toolsMade");
  QTest::newRow("crop") << 0 << QStringList{"done"} << false;
  QTest::newRow("text") << 1 << QStringList{"done"} << false;
  QTest::newRow("drawing") << 2 << QStringList{"end drawing", "done"} << true;
}

void TestSelfDraw::doneWhileDrawingEndsTheDrawing()
{
  QFETCH(int, mode);
  QFETCH(QStringList, reports);
  QFETCH(bool, toolsMade);
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  QStringList heard;
  connect(&w, &SegmentInspectorWidget::segmentInspectorWidgetEndDrawing, this, [&heard] { heard << "end drawing"; });
  connect(&w, &SegmentInspectorWidget::segmentInspectorWidgetDoneAction, this, [&heard] { heard << "done"; });
  w.setEditingState(true, "Title", mode);
  QCOMPARE(w.selfDrawController() != nullptr, toolsMade);
  QCOMPARE(p.asked.count(), toolsMade ? 1 : 0);
  QPushButton *doneButton = w.doneController()->form()->doneButton();
  QTRY_VERIFY(doneButton->isVisible());
  QTest::mouseClick(doneButton, Qt::LeftButton);
  QCOMPARE(heard, reports);
}

void TestSelfDraw::leavingClosesPopups_data()
{
  QTest::addColumn<bool>("fill");
  QTest::newRow("fill popup of the swatch") << true;
  QTest::newRow("size popup of the tuning panel") << false;
}

void TestSelfDraw::leavingClosesPopups()
{
  QFETCH(bool, fill);
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  p.startDrawing();
  p.waitSettled();
  DrawingColorWidget *swatch = p.selfDraw()->colorWidget();
  swatch->selectColorMode();
  QPointer<CommonPopup> popup;
  if (fill)
    popup = openFillPopup(swatch);
  else
    popup = openSizePopup(p.selfDraw()->tuningWidget());
  QVERIFY(popup);
  QTRY_VERIFY(popup->isVisible());
  // The editor's own popup opened from the tools carries the inspector's lighter look.
  QCOMPARE(popup->backgroundColor(), QColor(44, 46, 50, 244));

  w.setEditingState(false, QString(), 2);
  QVERIFY(!p.selfDraw()->isVisible());
  QVERIFY(!swatch->popup());
  QVERIFY(!p.selfDraw()->tuningWidget()->openPopup());
  QTRY_VERIFY(!popup);
}

void TestSelfDraw::segmentShownWhileDrawing()
{
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  p.startDrawing();
  p.waitSettled();
  w.showSegment(p.drawing.get(), nullptr, QSize(1920, 1080));
  QVERIFY(p.selfDraw()->isVisible());
  QVERIFY(w.doneController()->isVisible());
  QCOMPARE(w.editingMode(), 2);
  // The tools keep their room: nothing is squeezed under them.
  QCOMPARE(w.scrollAreaWidget()->height(), p.expectedContentHeight());
  QCOMPARE(p.init.count(), 1);
  QCOMPARE(p.start.count(), 1);
}

void TestSelfDraw::formParts()
{
  DrawingPanel p;
  p.startDrawing();
  SelfDrawEditingWidget *form = p.form();
  p.waitSettled();
  // The swatch stands at the left, the panels span the column, one under the other.
  QCOMPARE(form->colorWidget()->size(), QSize(50, 50));
  QCOMPARE(form->tuningWidget()->width(), form->width() - 24);
  QCOMPARE(form->toolsWidget()->width(), form->width() - 24);
  QVERIFY(form->tuningWidget()->y() > form->colorWidget()->y() + 50);
  QVERIFY(form->toolsWidget()->y() > form->tuningWidget()->y() + 120);
}

void TestSelfDraw::widerInspectorRewrapsTools_data()
{
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("reports");
  QTest::newRow("more columns") << 400 << 1;
  QTest::newRow("as many columns") << 320 << 0;
}

void TestSelfDraw::widerInspectorRewrapsTools()
{
  QFETCH(int, width);
  QFETCH(int, reports);
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  p.startDrawing();
  p.waitSettled();
  const int before = p.form()->height();
  QSignalSpy sized(p.selfDraw(), &CommonEditingWidgetController::editingWidgetControllerSizeChanged);

  w.resize(width, 900);
  QTRY_COMPARE(p.form()->width(), width);
  p.waitSettled();
  QCOMPARE(sized.count(), reports);
  QCOMPARE(p.form()->height() != before, reports > 0);
  if (reports)
    QCOMPARE(sized.first().at(0).value<CommonEditingWidgetController *>(),
             static_cast<CommonEditingWidgetController *>(p.selfDraw()));
}

void TestSelfDraw::windowResizeMovesFillPopup()
{
  AnimationsOff animationsOff;
  QWidget window;
  auto *row = new QHBoxLayout(&window);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch(1);
  auto *w = new SegmentInspectorWidget(&window);
  w->setFixedWidth(295);
  row->addWidget(w);
  connect(
    w, &SegmentInspectorWidget::segmentInspectorWidgetGetCanvasSize, w,
    [](SegmentInspectorWidget *, QSize &size) { size = QSize(1920, 1080); }, Qt::DirectConnection);
  window.resize(900, 900);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto drawing = makeSegment("DRAWING");
  w->showSegment(drawing.get(), nullptr, QSize(1920, 1080));
  w->setEditingState(true, "Drawing...", 2);
  DrawingColorWidget *swatch = w->selfDrawController()->colorWidget();
  // The editor opens the tools' popups on its window.
  swatch->setPopupParentWidget(&window);
  swatch->selectColorMode();
  PopupDrawingModeWidget *popup = openFillPopup(swatch);
  QVERIFY(popup);
  auto popupToSwatch = [&] {
    return swatch->mapToGlobal(QPoint(25, 50)).x() - popup->mainWidget()->mapToGlobal(QPoint()).x();
  };
  const int offset = popupToSwatch();
  const QPoint swatchBefore = swatch->mapTo(&window, QPoint());

  window.resize(1100, 900);
  QTRY_COMPARE(swatch->mapTo(&window, QPoint()).x(), swatchBefore.x() + 200);
  QTRY_COMPARE(popupToSwatch(), offset);
  QVERIFY(swatch->popup());
}

void TestSelfDraw::canvasOfAnotherShape_data()
{
  QTest::addColumn<QSize>("second");
  QTest::addColumn<QSize>("used");
  QTest::newRow("portrait") << QSize(1080, 1920) << QSize(1080, 1920);
  QTest::newRow("unchanged") << QSize(1920, 1080) << QSize(1920, 1080);
  // No canvas to ask: the last size known stays.
  QTest::newRow("no answer") << QSize() << QSize(1920, 1080);
}

void TestSelfDraw::canvasOfAnotherShape()
{
  QFETCH(QSize, second);
  QFETCH(QSize, used);
  DrawingPanel p;
  SegmentInspectorWidget &w = p.widget;
  p.startDrawing();
  DrawingColorWidget *swatch = p.selfDraw()->colorWidget();
  swatch->selectLinearGradientMode();
  QCOMPARE(swatch->pattern().size(), QSize(1920, 1080));
  w.setEditingState(false, QString(), 2);

  p.answer = second;
  QSignalSpy patterns(swatch, &DrawingColorWidget::drawingColorWidgetPatternChanged);
  w.setEditingState(true, "Drawing...", 2);
  QCOMPARE(p.asked.count(), 2);
  QCOMPARE(swatch->canvasSize(), used);
  // The gradient is ready before the editor hears that drawing starts.
  QCOMPARE(swatch->pattern().size(), used);
  const QImage picture = swatch->pattern().toImage();
  const int middle = used.height() / 2;
  QCOMPARE(QColor(picture.pixel(int(0.15 * used.width()) - 10, middle)), QColor(0, 255, 0));
  QCOMPARE(QColor(picture.pixel(int(0.85 * used.width()) + 10, middle)), QColor(255, 255, 0));
  // The fill popup fits custom pictures to the new canvas.
  QSize asked;
  swatch->onPopupDrawingModeWidgetGetCanvasSize(nullptr, &asked);
  QCOMPARE(asked, used);
  QCOMPARE(patterns.count(), 0);
}

TAVO_TEST_MAIN(TestSelfDraw)
#include "tst_selfdraw.moc"
