// The window in the drawing state: the canvas over the preview and the tool widgets around it,
// the tools' settings the canvas takes when drawing starts, the canvas's reports back to the
// tuning panel, the window's mouse input handed to the canvas, and the inspector's questions.

#include "editorfixture.h"
#include "mediafixtures.h"
#include "pixelprobe.h"

#include "../drawing/canvastest.h"

#include "animationswitch.h"
#include "avglwidget.h"
#include "canvaswidget.h"
#include "desktopmainwindowform.h"
#include "donebuttoneditingwidget.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "drawingcolorwidget.h"
#include "drawingshapetoolswidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "exportframesize.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "rulerscrollarea.h"
#include "segment.h"
#include "segmentinspectorwidget.h"
#include "selfdraweditingwidgetcontroller.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using namespace CanvasProbe;

namespace {

const QColor StillColor(20, 40, 200);

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A 16:9 project whose blue still fills the preview for 4 s, under an empty drawing.
bool writeProject(const QString &dir)
{
  QImage still(320, 180, QImage::Format_RGB32);
  still.fill(StillColor);
  QImage drawing(384, 216, QImage::Format_ARGB32);
  drawing.fill(Qt::transparent);
  return still.save(dir + "/still.png") && drawing.save(dir + "/drawingImage-1.png")
         && writeText(dir + "/project.xml",
                      "<?xml version=\"1.0\"?>\n<Project>\n<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" "
                      "RangeDuration=\"4\" File=\"still.png\"/>\n<Segment Type=\"DRAWING\" TrackId=\"4\" "
                      "RangeStart=\"0\" RangeDuration=\"4\" File=\"drawingImage-1.png\"/>\n</Project>\n")
         && writeText(dir + "/properties.xml", "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" "
                                               "backgroundColor=\"#ff000000\" resolution=\"1\" direction=\"1\"/>\n");
}

class DrawingWindow : public TestEditorWindow
{
public:
  using MainWindow::_beginDrawing;
  using MainWindow::_commitInPlaceEditing;
  using MainWindow::_endDrawing;
  using MainWindow::_drawingColorWidget;
  using MainWindow::_drawingShapeToolsWidget;
  using MainWindow::_drawingTuningWidget;
  using MainWindow::_grabPreviewImage;
  using MainWindow::_layoutDrawingWidgets;
  using MainWindow::_ownedDrawingColorWidget;
  using MainWindow::_ownedDrawingToolsWidget;
  using MainWindow::_ownedDrawingTuningWidget;
  using MainWindow::_previewScale;

  // Whether the canvas was still open when the window heard that drawing ended.
  QList<bool> drawingEnds;
  void drawingDidEnd() override
  {
    drawingEnds << (_canvasWidget != nullptr);
    DesktopMainWindow::drawingDidEnd();
  }

  // The preview's rectangle in the central widget.
  QRect previewRect() const
  {
    return QRect(centralWidget()->mapFromGlobal(previewWidget()->mapToGlobal(QPoint(0, 0))), previewWidget()->size());
  }
};

// The desktop window on the project, its inspector showing the drawing.
struct Session
{
  AnimationsOff animationsOff;
  EditorProject project;
  std::unique_ptr<DrawingWindow> window;
  SegmentInspectorWidget *inspector = nullptr;
  CanvasWidget *canvas = nullptr;

  bool open()
  {
    if (!project.isValid() || !writeProject(project.directory()))
      return false;
    // The tools remember their choices; every session starts from the defaults.
    QSettings().clear();
    window = std::make_unique<DrawingWindow>();
    window->resize(1400, 900);
    window->show();
    if (!QTest::qWaitFor(
            [&] {
              return window->previewWidget() && !window->projectLoader() && !window->progressHUD()
                     && window->projectManager()->segmentCount() == 2
                     && window->projectManager()->segmentAt(0)->state() == SegmentReady
                     && window->projectManager()->segmentAt(1)->state() == SegmentReady;
            },
            30000))
      return false;
    window->showEditingToolsFor(static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(drawing())), 0);
    inspector = window->segmentInspectorWidget();
    return inspector && QTest::qWaitFor([this] { return inspector->isVisible(); });
  }

  Segment *drawing() const
  {
    ProjectManager *project = window->projectManager();
    return project->segmentAt(project->segmentAt(1)->type() == "DRAWING" ? 1 : 0);
  }
  // Edit Drawing's way: the canvas over the preview, the inspector's tools handed to the window.
  CanvasWidget *startDrawing()
  {
    window->_beginDrawing(drawing());
    canvas = window->_canvasWidget;
    return canvas;
  }
  // Drawing mode off and on again: the inspector hands its tools over once more.
  void restartDrawing()
  {
    window->drawingModeChanged(false);
    window->drawingModeChanged(true);
  }

  SelfDrawEditingWidgetController *selfDraw() const { return inspector->selfDrawController(); }
  DrawingColorWidget *swatch() const { return selfDraw()->colorWidget(); }
  DrawingTuningWidget *tuning() const { return selfDraw()->tuningWidget(); }
  DrawingToolsWidget *tools() const { return selfDraw()->toolsWidget(); }
  QImage image() const { return canvas->canvasImage().toImage().convertToFormat(QImage::Format_ARGB32); }
  // Canvas pixels per canvas widget pixel.
  qreal scale() const { return qreal(canvas->canvasSize().width()) / canvas->width(); }
  QPoint canvasPoint(const QPoint &widgetPoint) const
  {
    return QPoint(qRound(widgetPoint.x() * scale()), qRound(widgetPoint.y() * scale()));
  }

  // Chooses a tool on the inspector's strip as the user does.
  bool chooseTool(int cmdId) const
  {
    TooltipButton *button = tools()->findButton(cmdId);
    if (!button || !QTest::qWaitFor([button] { return button->isVisible(); }))
      return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return QTest::qWaitFor([&] { return tools()->selectedCmdId() == cmdId; });
  }

  // A text placed with the text tool through the dialog.
  bool placeText(const QString &text)
  {
    window->dialogs.onDialog = [text](QDialog *dialog) {
      qobject_cast<QInputDialog *>(dialog)->setTextValue(text);
      return int(QDialog::Accepted);
    };
    Gestures::click(canvas, canvas->rect().center());
    return QTest::qWaitFor([&] { return canvas->settings().text == text; });
  }

  // The swatch's mode as the fill popup sets it: 0 the eraser, 1 colour, 2 pattern, 3 and 4
  // the gradients.
  void selectFill(int mode) const
  {
    switch (mode) {
    case 0: swatch()->switchToRubber(); break;
    case 2: swatch()->selectPatternMode(); break;
    case 3: swatch()->selectLinearGradientMode(); break;
    case 4: swatch()->selectRadialGradientMode(); break;
    default: swatch()->selectColorMode(); break;
    }
  }

  QPushButton *tuningButton(const char *name) const { return tuning()->findChild<QPushButton *>(name); }
  // The tuning row on show: text, picture or line width.
  QString shownPanel() const
  {
    for (const char *name : {"textTuningPanel", "pictureTuningPanel", "lineWidthPanel"})
      if (tuning()->findChild<QWidget *>(name)->isVisible())
        return name;
    return QString();
  }

  // Presses a button of a strip (the inspector's by default, 0 its shape button); true once
  // the window has heard the command.
  bool press(int cmdId, DrawingToolsWidget *strip = nullptr) const
  {
    strip = strip ? strip : tools();
    QSignalSpy heard(strip, &DrawingToolsWidget::drawingToolsWidgetOnCommand);
    TooltipButton *button = cmdId ? strip->findButton(cmdId) : strip->shapeButton();
    if (!button || !QTest::qWaitFor([button] { return button->isVisible(); }))
      return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return QTest::qWaitFor([&] { return heard.count() == 1; });
  }

  // A 200x100 picture on disk, or "" when it cannot be written.
  QString writeSticker() const
  {
    const QString path = project.root() + "/sticker.png";
    QImage sticker(200, 100, QImage::Format_ARGB32);
    sticker.fill(Qt::red);
    return sticker.save(path) ? path : QString();
  }

  // A picture placed with the picture tool through the file dialog.
  bool placePicture()
  {
    const QString path = writeSticker();
    if (path.isEmpty())
      return false;
    window->dialogs.answers << path;
    Gestures::click(canvas, canvas->rect().center());
    return QTest::qWaitFor([&] { return !canvas->settings().picture.isNull(); });
  }
};

} // namespace

class TestDrawingTools : public QObject
{
  Q_OBJECT
private slots:
  void toolWidgetsAlongTheBottom_data();
  void toolWidgetsAlongTheBottom();
  void canvasCoversThePreview_data();
  void canvasCoversThePreview();
  void settingsAtDrawingStart_data();
  void settingsAtDrawingStart();
  void toolChoosesTuningPanel_data();
  void toolChoosesTuningPanel();
  void relaysReachTheTuningPanel();
  void undoWhileHistoryWrites();
  void windowMouseReachesTheCanvas_data();
  void windowMouseReachesTheCanvas();
  void pendingTextDraggedFromOutside();
  void grabbedPreviewShowsStrokes();
  void drawingEndReleasesTheInspectorsTools();
  void hardnessReachesTheSwatch();
  void pencilRubberSwitch_data();
  void pencilRubberSwitch();
  void commandsCommitThePendingItem_data();
  void commandsCommitThePendingItem();
  void shapePickerFollowsTheStrip();
  void tuningPanelAsksForTextAndPicture_data();
  void tuningPanelAsksForTextAndPicture();
  void drawingEndsKeepTheInspectorsTools_data();
  void drawingEndsKeepTheInspectorsTools();
  void canvasSizeForTheInspector();
  void secondDrawingOnAnotherShape();
  void screenshot();
};

void TestDrawingTools::toolWidgetsAlongTheBottom_data()
{
  QTest::addColumn<bool>("ownTools");
  QTest::addColumn<QRect>("picker");
  QTest::newRow("window's own tools") << true << QRect(30, 560, 1220, 60);
  // No colour panel: the picker is measured from a 50 x 50 one in the corner.
  QTest::newRow("inspector's tools") << false << QRect(30, 580, 1220, 50);
}

void TestDrawingTools::toolWidgetsAlongTheBottom()
{
  QFETCH(bool, ownTools);
  QFETCH(QRect, picker);
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  w.resize(1280, 720 + w.menuBar()->height());
  QTRY_COMPARE(w.centralWidget()->size(), QSize(1280, 720));
  s.startDrawing();
  if (ownTools)
    w.MainWindow::setUpDrawingToolWidgets(s.canvas);
  const QRect swatch = s.swatch()->geometry();
  const QRect tuning = s.tuning()->geometry();
  w._drawingShapeToolsWidget = new DrawingShapeToolsWidget(w.centralWidget());
  w._layoutDrawingWidgets();

  QCOMPARE(w._drawingShapeToolsWidget->geometry(), picker);
  if (ownTools) {
    QCOMPARE(w._ownedDrawingColorWidget->geometry(), QRect(1190, 630, 60, 60));
    QCOMPARE(w._ownedDrawingTuningWidget->geometry(), QRect(397, 500, 853, 120));
    QCOMPARE(w._ownedDrawingToolsWidget->geometry(), QRect(397, 630, 783, 60));
    // Its own widgets are the ones it routes to.
    QCOMPARE(w._drawingTuningWidget.data(), w._ownedDrawingTuningWidget.data());
  } else {
    QVERIFY(!w._ownedDrawingColorWidget && !w._ownedDrawingTuningWidget && !w._ownedDrawingToolsWidget);
  }
  // The inspector's widgets stay where its form put them.
  QCOMPARE(s.swatch()->geometry(), swatch);
  QCOMPARE(s.tuning()->geometry(), tuning);
}

void TestDrawingTools::canvasCoversThePreview_data()
{
  QTest::addColumn<int>("percent");
  QTest::newRow("100 %") << 100;
  QTest::newRow("50 %") << 50;
}

void TestDrawingTools::canvasCoversThePreview()
{
  QFETCH(int, percent);
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QCOMPARE(s.canvas->geometry(), w.previewRect());

  // The preview scale menu's way: a new scale, then the preview area hears a resize.
  const QRect before = w.previewRect();
  QWidget *area = w.form().previewAreaWidget;
  w._previewScale = percent / 100.0f;
  w._layoutPreview();
  QCoreApplication::postEvent(area, new QResizeEvent(area->size(), area->size()));
  QTRY_COMPARE(s.canvas->geometry(), w.previewRect());
  if (percent == 50)
    QVERIFY(w.previewRect().width() < before.width());

  // A smaller window shrinks the preview area; the canvas follows through the event filter.
  w.resize(w.width() - 200, w.height() - 100);
  QTRY_VERIFY(w.previewRect() != before);
  QTRY_COMPARE(s.canvas->geometry(), w.previewRect());
}

void TestDrawingTools::settingsAtDrawingStart_data()
{
  QTest::addColumn<int>("mode");
  QTest::newRow("colour") << 1;
  QTest::newRow("eraser") << 0;
  QTest::newRow("linear gradient") << 3;
  QTest::newRow("pattern") << 2;
}

void TestDrawingTools::settingsAtDrawingStart()
{
  QFETCH(int, mode);
  Session s;
  QVERIFY(s.open());
  s.startDrawing();
  // The user's choices of a previous drawing: a red swatch, hardness 0.5 for it, width 20.
  s.swatch()->onPopupDrawingModeWidgetColorSelected(nullptr, QColor(255, 0, 0));
  s.tuning()->hardnessSlider()->setValue(mode == 1 ? 50 : 100);
  s.tuning()->lineWidthSlider()->setValue(2000);
  s.selectFill(mode);
  // Paint for the eraser, and the Done buttons as a previous item left them.
  if (mode == 0) {
    QPixmap earlier(s.canvas->canvasSize());
    earlier.fill(QColor(0, 0, 255));
    s.canvas->drawImage(earlier);
  }
  s.tuning()->setTextDoneEnabled(true);
  s.tuning()->setPictureDoneEnabled(true);
  s.restartDrawing();

  QVERIFY(!s.tuningButton("textDoneButton")->isEnabled());
  QVERIFY(!s.tuningButton("pictureDoneButton")->isEnabled());
  QCOMPARE(s.tuning()->isRubber(), mode == 0);
  QCOMPARE(s.swatch()->mode(), mode);

  // A stroke across the canvas's middle row, from edge to edge.
  const int y = s.canvas->height() / 2;
  QVERIFY(drawDrag(*s.canvas, QPoint(1, y), QPoint(s.canvas->width() - 2, y), 20));
  const QImage image = s.image();
  const int row = s.canvasPoint(QPoint(0, y)).y();
  const int middle = image.width() / 2;
  const float width = mode == 0 ? s.tuning()->rubberLineWidth() : s.tuning()->lineWidth();
  // The stroke's thickness across the middle column: rows at least half changed.
  int band = 0;
  for (int dy = -200; dy < 200; ++dy) {
    const int a = alpha(image, QPoint(middle, row + dy));
    band += mode == 0 ? a < 128 : a >= 64;
  }
  QVERIFY2(qAbs(band - width) <= 2, qPrintable(QString("a band of %1 rows for a width of %2").arg(band).arg(width)));
  if (mode == 0) {
    QCOMPARE(alpha(image, QPoint(middle, row)), 0);
    QCOMPARE(alpha(image, QPoint(middle, row - 200)), 255);
  } else if (mode == 1) {
    const QRgb pixel = image.pixel(middle, row);
    QCOMPARE(qAlpha(pixel), 127);
    QCOMPARE(QColor(pixel).red(), 255);
    QCOMPARE(QColor(pixel).blue(), 0);
    // The swatch shows the tuning panel's hardness: half see-through now, opaque at 1.0.
    const QPoint centre = s.swatch()->rect().center();
    const QRgb half = PixelProbe::grab(s.swatch()).pixel(centre);
    s.tuning()->hardnessSlider()->setValue(100);
    s.restartDrawing();
    PROBE(PixelProbe::grab(s.swatch()), centre.x(), centre.y(), QColor(255, 0, 0), 4);
    QVERIFY2(!PixelProbe::near(half, QColor(255, 0, 0), 30), qPrintable(PixelProbe::text(half)));
  } else if (mode == 3) {
    // The default gradient runs from green at 15 % to yellow at 85 % of the width.
    PROBE(image, int(image.width() * 0.15) - 20, row, QColor(0, 255, 0), 8);
    PROBE(image, int(image.width() * 0.85) + 20, row, QColor(255, 255, 0), 8);
  } else {
    // One texel per canvas pixel of the texture, tiled from the canvas's corner.
    const QImage texels = s.canvas->settings().pattern.toImage();
    for (int x = middle; x < middle + 8; ++x)
      QCOMPARE(image.pixel(x, row) | 0xff000000u,
               texels.pixel(x % texels.width(), row % texels.height()) | 0xff000000u);
  }
}

void TestDrawingTools::toolChoosesTuningPanel_data()
{
  QTest::addColumn<int>("tool");
  QTest::addColumn<QString>("panel");
  QTest::newRow("text") << 10329 << "textTuningPanel";
  QTest::newRow("picture") << 10330 << "pictureTuningPanel";
  QTest::newRow("line") << 10309 << "lineWidthPanel";
}

void TestDrawingTools::toolChoosesTuningPanel()
{
  QFETCH(int, tool);
  QFETCH(QString, panel);
  Session s;
  QVERIFY(s.open());
  s.startDrawing();
  QVERIFY(s.chooseTool(tool));
  s.restartDrawing();
  for (const char *name : {"textTuningPanel", "pictureTuningPanel", "lineWidthPanel"})
    QTRY_COMPARE(s.tuning()->findChild<QWidget *>(name)->isVisible(), panel == name);
  QCOMPARE(s.canvas->currentShape()->cmdId(), tool);
  if (tool == 10329) {
    // The canvas took the text tool: a click asks for the text.
    s.window->dialogs.onDialog = [](QDialog *) { return int(QDialog::Rejected); };
    Gestures::click(s.canvas, s.canvas->rect().center());
    QTRY_COMPARE(s.window->dialogs.calls.size(), 1);
    QCOMPARE(s.window->dialogs.calls.first().title, QString("Add Text"));
  }
}

void TestDrawingTools::relaysReachTheTuningPanel()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();

  // The first stroke closes the shape picker and brings the tuning panel back.
  QPointer<DrawingShapeToolsWidget> picker = new DrawingShapeToolsWidget(w.centralWidget());
  w._drawingShapeToolsWidget = picker;
  picker->show();
  s.tuning()->hide();
  QVERIFY(drawDrag(*s.canvas, QPoint(20, 20), QPoint(120, 40)));
  QTRY_VERIFY(!picker);
  QVERIFY(s.tuning()->isVisible());

  // A pending text: Done from its first character until it is emptied again.
  QVERIFY(s.chooseTool(10329));
  s.restartDrawing();
  QPushButton *textDone = s.tuningButton("textDoneButton");
  QVERIFY(s.placeText("A"));
  QVERIFY(textDone->isEnabled());
  // A wheel step resizes the text, and the size button follows.
  QVERIFY(Gestures::wheel(s.canvas, s.canvas->rect().center(), 120));
  QCOMPARE(s.tuningButton("textSizeButton")->text(), QString("%1 pt").arg(int(s.canvas->settings().textSize)));
  QVERIFY(s.canvas->settings().textSize != 100.0f);
  s.window->dialogs.onDialog = [](QDialog *dialog) {
    qobject_cast<QInputDialog *>(dialog)->setTextValue(QString());
    return int(QDialog::Accepted);
  };
  Gestures::doubleClick(s.canvas, s.canvas->rect().center());
  QTRY_VERIFY(!textDone->isEnabled());

  // A pending picture: its Done, and its size button on a wheel step.
  const QString path = s.project.root() + "/sticker.png";
  QImage sticker(200, 100, QImage::Format_ARGB32);
  sticker.fill(Qt::red);
  QVERIFY(sticker.save(path));
  QVERIFY(s.chooseTool(10330));
  s.restartDrawing();
  QPushButton *pictureDone = s.tuningButton("pictureDoneButton");
  QVERIFY(!pictureDone->isEnabled());
  w.dialogs.answers << path;
  Gestures::click(s.canvas, s.canvas->rect().center());
  QTRY_VERIFY(pictureDone->isEnabled());
  QVERIFY(Gestures::wheel(s.canvas, s.canvas->rect().center(), -120));
  QCOMPARE(s.tuningButton("pictureSizeButton")->text(),
           QString("%1%").arg(int(s.canvas->settings().pictureSize * 100)));
}

void TestDrawingTools::undoWhileHistoryWrites()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QVERIFY(drawDrag(*s.canvas, QPoint(20, 20), QPoint(200, 60)));
  // The clear's snapshot is still being written when the undo comes.
  s.canvas->clear();
  s.canvas->undo();
  QVERIFY(s.canvas->isWaiting());
  QVERIFY(w.progressHUD());
  QVERIFY(!w.close());
  QVERIFY(w.isVisible());
  // The snapshot is written on the history's own thread: slow on a busy machine.
  QTRY_VERIFY_WITH_TIMEOUT(!s.canvas->isWaiting(), 30000);
  QTRY_VERIFY(!w.progressHUD());
}

void TestDrawingTools::windowMouseReachesTheCanvas_data()
{
  QTest::addColumn<QString>("start");
  QTest::addColumn<bool>("draws");
  QTest::newRow("beside the preview") << "preview area" << true;
  QTest::newRow("ruler") << "ruler" << false;
  QTest::newRow("play head") << "play head" << false;
}

void TestDrawingTools::windowMouseReachesTheCanvas()
{
  QFETCH(QString, start);
  QFETCH(bool, draws);
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QVERIFY(s.chooseTool(10301));
  s.restartDrawing();
  const DesktopMainWindowForm &form = w.form();

  // From left of the canvas (or the ruler, or the play head) to a third of the way into the
  // canvas, along its middle row; in window coordinates, as the play head moves on the way.
  const int y = s.canvas->height() / 2;
  const QPoint inside(s.canvas->width() / 3, y);
  QPoint from = s.canvas->mapTo(&w, QPoint(-20, y));
  if (start == "ruler")
    from = form.rulerScrollArea->mapTo(&w, form.rulerScrollArea->rect().center());
  else if (start == "play head")
    from = w.playheadPointer()->mapTo(&w, QPoint(w.playheadPointer()->width() / 2, 5));
  else
    QVERIFY2(form.previewAreaWidget->rect().contains(form.previewAreaWidget->mapFrom(&w, from)),
             "no room beside the preview");
  const QPoint to = s.canvas->mapTo(&w, inside);
  const float playheadBefore = w._playheadX;
  QSignalSpy began(s.canvas, &CanvasWidget::canvasWidgetDrawBegan);
  Gestures::press(&w, from);
  Gestures::moveInSteps(&w, from, to, 10);
  Gestures::release(&w, to);

  const QImage image = s.image();
  const int row = s.canvasPoint(QPoint(0, y)).y();
  if (!draws) {
    QCOMPARE(began.count(), 0);
    QCOMPARE(paintedBounds(image), QRect());
    QVERIFY(w._playheadX != playheadBefore);
    return;
  }
  QCOMPARE(began.count(), 1);
  // The line starts at the canvas's edge and ends where the pointer was let go.
  const QRect line = paintedBounds(image, QRect(0, row - 60, image.width(), 120));
  QVERIFY2(line.left() <= 2, qPrintable(text(line)));
  QVERIFY2(qAbs(line.right() - s.canvasPoint(inside).x()) <= 20, qPrintable(text(line)));
}

void TestDrawingTools::pendingTextDraggedFromOutside()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QVERIFY(s.chooseTool(10329));
  s.restartDrawing();
  QVERIFY(s.placeText("Trip"));
  const QPointF before = s.canvas->settings().textLocation;
  QWidget *area = w.form().previewAreaWidget;
  const QPoint from = area->mapFromGlobal(s.canvas->mapToGlobal(QPoint(-10, 10)));
  QVERIFY(from.x() >= 0);
  Gestures::drag(area, from, from + QPoint(60, 30), 6);
  const QPointF moved = s.canvas->settings().textLocation - before;
  QVERIFY2(qAbs(moved.x() - 60.0 / s.canvas->width()) < 1e-3, qPrintable(QString::number(moved.x())));
  QVERIFY2(qAbs(moved.y() - 30.0 / s.canvas->height()) < 1e-3, qPrintable(QString::number(moved.y())));
}

void TestDrawingTools::grabbedPreviewShowsStrokes()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  QTRY_VERIFY_WITH_TIMEOUT(PixelProbe::near(w._grabPreviewImage().pixel(50, 50), StillColor, 12), 15000);
  s.startDrawing();
  s.swatch()->onPopupDrawingModeWidgetColorSelected(nullptr, QColor(255, 0, 0));
  s.swatch()->selectColorMode();
  s.tuning()->hardnessSlider()->setValue(100);
  s.tuning()->lineWidthSlider()->setValue(8000);
  s.restartDrawing();
  const QPoint from(s.canvas->width() / 4, s.canvas->height() / 2);
  const QPoint to(s.canvas->width() * 3 / 4, s.canvas->height() / 2);
  QVERIFY(drawDrag(*s.canvas, from, to, 10));

  const QImage frame = w._grabPreviewImage().convertToFormat(QImage::Format_RGB32);
  // Frame pixels per canvas widget pixel, whatever the screen's scale.
  const qreal ratio = qreal(frame.width()) / s.canvas->width();
  const int row = int(from.y() * ratio);
  PROBE(frame, int(s.canvas->width() / 2 * ratio), row, QColor(255, 0, 0), 12);
  PROBE(frame, int(s.canvas->width() / 8 * ratio), row, StillColor, 12);
  PROBE(frame, int(s.canvas->width() / 2 * ratio), int(s.canvas->height() / 8 * ratio), StillColor, 12);
}

void TestDrawingTools::drawingEndReleasesTheInspectorsTools()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QCOMPARE(w._drawingTuningWidget.data(), s.tuning());
  QCOMPARE(w._drawingColorWidget.data(), s.swatch());
  QPushButton *done = s.inspector->doneController()->form()->doneButton();
  QTRY_VERIFY(done->isVisible());
  QTest::mouseClick(done, Qt::LeftButton);
  QVERIFY(!w._drawingTuningWidget && !w._drawingColorWidget);
  // The inspector keeps its tools, and the window's relays leave them alone.
  QVERIFY(s.selfDraw()->tuningWidget());
  QPushButton *textDone = s.tuningButton("textDoneButton");
  textDone->setEnabled(false);
  w.canvasWidget_onTextChanged(nullptr, "late");
  QVERIFY(!textDone->isEnabled());
}

// The tuning panel's hardness shows in the swatch as well as in the strokes, while the slider
// moves and when it is let go.
void TestDrawingTools::hardnessReachesTheSwatch()
{
  Session s;
  QVERIFY(s.open());
  s.startDrawing();
  s.swatch()->onPopupDrawingModeWidgetColorSelected(nullptr, QColor(255, 0, 0));
  s.selectFill(1);
  s.restartDrawing();
  const QPoint centre = s.swatch()->rect().center();
  emit s.tuning()->drawingTuningWidgetHardnessChanged(s.tuning(), 1.0f);
  PROBE(PixelProbe::grab(s.swatch()), centre.x(), centre.y(), QColor(255, 0, 0), 4);
  emit s.tuning()->drawingTuningWidgetHardnessChanging(s.tuning(), 0.3f);
  const QRgb faint = PixelProbe::grab(s.swatch()).pixel(centre);
  QVERIFY2(!PixelProbe::near(faint, QColor(255, 0, 0), 30), qPrintable(PixelProbe::text(faint)));
  QCOMPARE(s.canvas->settings().color.alpha(), 76);
}

void TestDrawingTools::pencilRubberSwitch_data()
{
  QTest::addColumn<int>("mode");
  QTest::newRow("colour") << 1;
  QTest::newRow("pattern") << 2;
  QTest::newRow("linear gradient") << 3;
  QTest::newRow("radial gradient") << 4;
}

// The switch pressed twice: the eraser in between, then the very fill chosen before it.
void TestDrawingTools::pencilRubberSwitch()
{
  QFETCH(int, mode);
  Session s;
  QVERIFY(s.open());
  s.startDrawing();
  s.swatch()->onPopupDrawingModeWidgetColorSelected(nullptr, QColor(255, 0, 0));
  s.selectFill(mode);
  // A half-hard pencil 20 wide; the eraser keeps its own 15 and full hardness.
  s.tuning()->hardnessSlider()->setValue(50);
  s.tuning()->lineWidthSlider()->setValue(2000);
  s.restartDrawing();
  const DrawingToolSettings before = s.canvas->settings();

  QVERIFY(s.press(10334));
  QCOMPARE(s.swatch()->mode(), int(DrawingColorModeEraser));
  QVERIFY(s.tuning()->isRubber());
  QCOMPARE(s.tuning()->hardnessSlider()->value(), 100);
  QVERIFY(s.canvas->settings().rubber);
  QCOMPARE(s.canvas->settings().color, QColor(255, 255, 255, 255));
  QCOMPARE(s.canvas->settings().lineWidth, 15.0f);

  QVERIFY(s.press(10334));
  QCOMPARE(s.swatch()->mode(), mode);
  QVERIFY(!s.tuning()->isRubber());
  QCOMPARE(s.tuning()->hardnessSlider()->value(), 50);
  const DrawingToolSettings after = s.canvas->settings();
  QVERIFY(!after.rubber);
  QCOMPARE(after.lineWidth, 20.0f);
  QCOMPARE(after.pattern.isNull(), mode == 1);
  // A pattern paints with its own texels and only the colour's alpha.
  QCOMPARE(after.color.alpha(), before.color.alpha());
  QCOMPARE(after.pattern.toImage(), before.pattern.toImage());
  if (mode == 1)
    QCOMPARE(after.color, before.color);
}

void TestDrawingTools::commandsCommitThePendingItem_data()
{
  QTest::addColumn<QString>("pending");
  QTest::addColumn<int>("command");
  QTest::addColumn<QString>("panel"); // the tuning row shown afterwards
  QTest::addColumn<bool>("commits");
  QTest::newRow("text, text tool") << "text" << 10329 << "textTuningPanel" << true;
  QTest::newRow("text, picture tool") << "text" << 10330 << "pictureTuningPanel" << true;
  QTest::newRow("text, rectangle") << "text" << 10310 << "lineWidthPanel" << true;
  QTest::newRow("text, clear") << "text" << 10305 << "textTuningPanel" << true;
  QTest::newRow("text, undo") << "text" << 10306 << "textTuningPanel" << true;
  QTest::newRow("text, save cancelled") << "text" << 10328 << "textTuningPanel" << true;
  QTest::newRow("text, switch") << "text" << 10334 << "textTuningPanel" << false;
  QTest::newRow("picture, line") << "picture" << 10309 << "lineWidthPanel" << true;
  QTest::newRow("picture, switch") << "picture" << 10334 << "pictureTuningPanel" << false;
}

// Every command but the switch first places the pending text or picture; tools choose their row.
void TestDrawingTools::commandsCommitThePendingItem()
{
  QFETCH(QString, pending);
  QFETCH(int, command);
  QFETCH(QString, panel);
  QFETCH(bool, commits);
  Session s;
  QVERIFY(s.open());
  s.startDrawing();
  const bool text = pending == "text";
  QVERIFY(s.chooseTool(text ? 10329 : 10330));
  QVERIFY(text ? s.placeText("Ab") : s.placePicture());
  QPushButton *done = s.tuningButton(text ? "textDoneButton" : "pictureDoneButton");
  QVERIFY(done->isEnabled());

  QVERIFY(s.press(command));
  QCOMPARE(s.shownPanel(), panel);
  QCOMPARE(done->isEnabled(), !commits);
  if (text)
    QCOMPARE(s.canvas->settings().text.isEmpty(), commits);
  else
    QCOMPARE(s.canvas->settings().picture.isNull(), commits);
  if (command == 10328)
    QCOMPARE(s.window->dialogs.kinds().count("getSaveFileName"), 1);
}

// The window's own strip with its single shape button: a second click opens the picker in the
// tuning panel's place, a choice there runs on the strip and closes it, another tool dismisses it.
void TestDrawingTools::shapePickerFollowsTheStrip()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  w.MainWindow::setUpDrawingToolWidgets(s.canvas);
  w._layoutDrawingWidgets();
  DrawingToolsWidget *strip = w._ownedDrawingToolsWidget;
  DrawingTuningWidget *tuning = w._ownedDrawingTuningWidget;
  QVERIFY(strip && tuning);

  QVERIFY(s.press(0, strip));
  QVERIFY(!w._drawingShapeToolsWidget);
  QVERIFY(s.press(0, strip));
  QPointer<DrawingShapeToolsWidget> picker = w._drawingShapeToolsWidget.data();
  QVERIFY(picker && picker->isVisible());
  QVERIFY(!tuning->isVisible());
  QCOMPARE(picker->parentWidget(), w.centralWidget());

  QTest::mouseClick(picker->findButton(10326), Qt::LeftButton);
  QTRY_VERIFY(!picker);
  QVERIFY(tuning->isVisible());
  QCOMPARE(strip->selectedCmdId(), 10326);
  QCOMPARE(strip->shapeButton()->commandId(), 10326);
  QCOMPARE(s.canvas->currentShape()->cmdId(), 10326);

  QVERIFY(s.press(0, strip));
  picker = w._drawingShapeToolsWidget.data();
  QVERIFY(picker);
  QVERIFY(s.press(10329, strip));
  QTRY_VERIFY(!picker);
  QVERIFY(tuning->isVisible());
  QVERIFY(tuning->findChild<QWidget *>("textTuningPanel")->isVisible());
  // With nothing open, a dismissal changes nothing.
  emit strip->drawingToolsWidgetDismissPopup(strip);
  QVERIFY(tuning->isVisible());
}

void TestDrawingTools::tuningPanelAsksForTextAndPicture_data()
{
  QTest::addColumn<int>("tool");
  QTest::addColumn<QString>("before"); // a text already pending, "" for none
  QTest::addColumn<QString>("answer"); // typed, or the chosen picture's name; "" cancels
  QTest::addColumn<QString>("dialog");
  QTest::newRow("new text") << 10329 << "" << "Hi" << "Add Text";
  QTest::newRow("pending text") << 10329 << "Ab" << "Abc" << "Edit Text";
  QTest::newRow("picture") << 10330 << "" << "sticker.png" << "Insert a Picture";
  QTest::newRow("picture cancelled") << 10330 << "" << "" << "Insert a Picture";
}

// Edit Text and Open Picture of the tuning panel ask for the canvas's text or picture.
void TestDrawingTools::tuningPanelAsksForTextAndPicture()
{
  QFETCH(int, tool);
  QFETCH(QString, before);
  QFETCH(QString, answer);
  QFETCH(QString, dialog);
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QVERIFY(s.chooseTool(tool));
  if (!before.isEmpty())
    QVERIFY(s.placeText(before));
  w.dialogs.calls.clear();
  const bool text = tool == 10329;
  if (text) {
    w.dialogs.onDialog = [answer](QDialog *d) {
      qobject_cast<QInputDialog *>(d)->setTextValue(answer);
      return int(QDialog::Accepted);
    };
  } else {
    const QString path = s.writeSticker();
    QVERIFY(!path.isEmpty());
    w.dialogs.answers << (answer.isEmpty() ? QString() : path);
  }
  QPushButton *button = s.tuningButton(text ? "editTextButton" : "openPictureButton");
  QVERIFY(button->isVisible());
  QTest::mouseClick(button, Qt::LeftButton);
  QTRY_COMPARE(w.dialogs.calls.size(), 1);
  QCOMPARE(w.dialogs.calls.first().title, dialog);
  if (text)
    QTRY_COMPARE(s.canvas->settings().text, answer);
  else if (answer.isEmpty())
    // Nothing comes later either: the window has had time to place a picture.
    QVERIFY(!QTest::qWaitFor([&] { return !s.canvas->settings().picture.isNull(); }, 1000));
  else
    QTRY_COMPARE(s.canvas->settings().picture.size(), QSize(200, 100));
}

void TestDrawingTools::drawingEndsKeepTheInspectorsTools_data()
{
  QTest::addColumn<QString>("end");
  QTest::newRow("Done") << "Done";
  QTest::newRow("Escape") << "Escape";
  QTest::newRow("commit") << "commit";
}

// However a drawing ends, the next one gets the inspector's same tools, still wired to the
// window; the window deletes none of them (the test runs under AddressSanitizer too).
void TestDrawingTools::drawingEndsKeepTheInspectorsTools()
{
  QFETCH(QString, end);
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  auto finish = [&] {
    if (end == "Done") {
      QPushButton *done = s.inspector->doneController()->form()->doneButton();
      if (!QTest::qWaitFor([done] { return done->isVisible(); }))
        return false;
      QTest::mouseClick(done, Qt::LeftButton);
    } else if (end == "Escape") {
      // The window takes one Escape in a short while; pressed again until it does.
      return QTest::qWaitFor([&] {
        if (w._canvasWidget)
          QTest::keyClick(&w, Qt::Key_Escape);
        return !w._canvasWidget;
      });
    } else {
      w._commitInPlaceEditing();
    }
    return QTest::qWaitFor([&] { return !w._canvasWidget; });
  };

  s.startDrawing();
  QPointer<DrawingColorWidget> swatch = s.swatch();
  QPointer<DrawingTuningWidget> tuning = s.tuning();
  QPointer<DrawingToolsWidget> tools = s.tools();
  QVERIFY(swatch && tuning && tools);
  for (int round = 0; round < 2; ++round) {
    QVERIFY2(finish(), qPrintable(QString("round %1").arg(round)));
    // Deferred deletions run now: anything deleted twice would show here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(swatch && tuning && tools);

    QVERIFY(s.startDrawing());
    QCOMPARE(s.swatch(), swatch.data());
    QCOMPARE(s.tuning(), tuning.data());
    QCOMPARE(s.tools(), tools.data());
    QCOMPARE(w._drawingTuningWidget.data(), tuning.data());
    // Still wired: the swatch and the strip reach the new canvas.
    emit swatch->drawingColorWidgetColorChanged(swatch, QColor(10, 20, 30));
    QCOMPARE(s.canvas->settings().color.rgb(), QColor(10, 20, 30).rgb());
    QVERIFY(s.chooseTool(10309));
    QCOMPARE(s.canvas->currentShape()->cmdId(), 10309);
  }
  QVERIFY(finish());
}

void TestDrawingTools::canvasSizeForTheInspector()
{
  Session s;
  QVERIFY(s.open());
  QSize asked;
  emit s.inspector->segmentInspectorWidgetGetCanvasSize(s.inspector, asked);
  QVERIFY(!asked.isValid());
  s.startDrawing();
  emit s.inspector->segmentInspectorWidgetGetCanvasSize(s.inspector, asked);
  QCOMPARE(asked, QSize(3840, 2160));
}

void TestDrawingTools::secondDrawingOnAnotherShape()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  QCOMPARE(s.canvas->canvasSize(), QSize(3840, 2160));
  s.swatch()->selectRadialGradientMode();
  w._endDrawing(false);

  // The project turns to 9:16; the next canvas has the new shape.
  w.projectManager()->setDirection(false);
  s.startDrawing();
  QCOMPARE(s.canvas->canvasSize(), QSize(2160, 3840));
  QCOMPARE(s.swatch()->canvasSize(), QSize(2160, 3840));
  // A filled rectangle over the whole canvas shows the gradient as the swatch's handles put it.
  QVERIFY(s.chooseTool(10311));
  s.restartDrawing();
  QVERIFY(drawDrag(*s.canvas, QPoint(0, 0), QPoint(s.canvas->width() - 1, s.canvas->height() - 1)));
  QImage image = s.image();
  PROBE(image, 1080, 1920, QColor(0, 255, 0), 8);

  s.swatch()->selectLinearGradientMode();
  s.restartDrawing();
  QVERIFY(drawDrag(*s.canvas, QPoint(0, 0), QPoint(s.canvas->width() - 1, s.canvas->height() - 1)));
  image = s.image();
  PROBE(image, 324 - 20, 1920, QColor(0, 255, 0), 8);
  PROBE(image, 1836 + 20, 1920, QColor(255, 255, 0), 8);
  QSize asked;
  s.swatch()->onPopupDrawingModeWidgetGetCanvasSize(nullptr, &asked);
  QCOMPARE(asked, QSize(2160, 3840));
}

void TestDrawingTools::screenshot()
{
  Session s;
  QVERIFY(s.open());
  DrawingWindow &w = *s.window;
  s.startDrawing();
  s.swatch()->onPopupDrawingModeWidgetColorSelected(nullptr, QColor(255, 200, 0));
  s.swatch()->selectColorMode();
  s.restartDrawing();
  QVERIFY(drawDrag(*s.canvas, QPoint(40, 40), QPoint(s.canvas->width() / 2, s.canvas->height() / 2), 10));
  QTRY_VERIFY(s.selfDraw()->isVisible());
  QVERIFY(w.grab().save(TestEnv::shotPath("editor-drawing.png")));
}

TAVO_TEST_MAIN(TestDrawingTools)
#include "tst_drawingtools.moc"
