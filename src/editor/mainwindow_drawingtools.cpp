// The drawing state of the window: the canvas laid exactly over the preview, the tool widgets
// along the bottom, the tools' settings given to the canvas when drawing starts, the canvas's
// reports passed back to the tuning panel, and the mouse input of the rest of the window handed
// to the canvas.

#include "mainwindow.h"

#include "avglwidget.h"
#include "canvaswidget.h"
#include "drawingcolorwidget.h"
#include "drawingshapetoolswidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace {

constexpr int PanelMargin = 30;
constexpr int PanelGap = 10;
constexpr int TuningHeight = 120;
// The desktop window has no colour panel of its own: the shape picker is measured from one of
// the inspector swatch's size in the usual corner.
constexpr int StandInColorSide = 50;
// The window's own swatch: square, as high as a row of the tool strip.
constexpr int OwnColorSide = 60;

constexpr int TextToolCommand = 10329;
constexpr int PictureToolCommand = 10330;

} // namespace

void MainWindow::setUpDrawingToolWidgets(CanvasWidget *canvas)
{
  QWidget *central = centralWidget();
  auto *color = new DrawingColorWidget(canvas ? canvas->canvasSize() : QSize(), central);
  color->resize(OwnColorSide, OwnColorSide);
  auto *tuning = new DrawingTuningWidget(central);
  auto *tools = new DrawingToolsWidget(false, central);
  _ownedDrawingColorWidget = color;
  _ownedDrawingTuningWidget = tuning;
  _ownedDrawingToolsWidget = tools;
  for (QWidget *widget : std::initializer_list<QWidget *>{color, tuning, tools})
    widget->show();
  _segmentEditingSetConnectionsForDrawingWidgets(color, tuning, tools);
  _segmentEditingSetDrawingWidgets(color, tuning);
}

void MainWindow::_segmentEditingSetDrawingWidgets(DrawingColorWidget *colorWidget, DrawingTuningWidget *tuningWidget)
{
  _drawingColorWidget = colorWidget;
  _drawingTuningWidget = tuningWidget;
}

void MainWindow::_layoutDrawingWidgets()
{
  QWidget *central = centralWidget();
  if (!_canvasWidget || !central)
    return;
  if (_previewWidget)
    _canvasWidget->setGeometry(
        QRect(central->mapFromGlobal(_previewWidget->mapToGlobal(QPoint(0, 0))), _previewWidget->size()));

  const QSize colorSize =
      _ownedDrawingColorWidget ? _ownedDrawingColorWidget->size() : QSize(StandInColorSide, StandInColorSide);
  const QRect color(QPoint(central->width() - PanelMargin - colorSize.width(),
                           central->height() - PanelMargin - colorSize.height()),
                    colorSize);
  const int tuningWidth = central->width() * 2 / 3;
  const QRect tuning(color.x() + color.width() - tuningWidth, color.y() - PanelGap - TuningHeight, tuningWidth,
                     TuningHeight);
  if (_ownedDrawingToolsWidget) {
    if (_ownedDrawingColorWidget)
      _ownedDrawingColorWidget->setGeometry(color);
    _ownedDrawingToolsWidget->setGeometry(tuning.x(), color.y(), color.x() - PanelGap - tuning.x(), color.height());
  }
  if (_ownedDrawingTuningWidget)
    _ownedDrawingTuningWidget->setGeometry(tuning);
  if (_drawingShapeToolsWidget)
    _drawingShapeToolsWidget->setGeometry(PanelMargin, color.y() - PanelGap - color.height(),
                                          central->width() - 2 * PanelMargin, color.height());
}

void MainWindow::_applyDrawingToolSettings(CanvasWidget *canvas, DrawingTuningWidget *tuningWidget,
                                           DrawingColorWidget *colorWidget, DrawingToolsWidget *toolsWidget)
{
  if (!tuningWidget && !colorWidget && !toolsWidget)
    return;
  if (!canvas)
    canvas = _canvasWidget;
  if (!canvas)
    return;
  const bool rubber = colorWidget && colorWidget->mode() == DrawingColorModeEraser;
  if (tuningWidget) {
    tuningWidget->setTextDoneEnabled(false);
    tuningWidget->setPictureDoneEnabled(false);
    tuningWidget->setRubber(rubber);
    const float hardness = rubber ? tuningWidget->rubberHardness() : tuningWidget->hardness();
    canvas->setLineWidth(rubber ? tuningWidget->rubberLineWidth() : tuningWidget->lineWidth());
    canvas->setHardness(hardness);
    if (colorWidget)
      colorWidget->setHardness(hardness);
    canvas->setTextAlign(tuningWidget->textAlign());
    canvas->setTextSize(tuningWidget->textSize());
    canvas->setTextFont(tuningWidget->fontName(), tuningWidget->fontStyle());
  }
  if (colorWidget) {
    switch (colorWidget->mode()) {
    case DrawingColorModeEraser:
      colorWidget->selectRubberMode();
      canvas->setRubber(true);
      break;
    case DrawingColorModeColor:
      colorWidget->selectColorMode();
      canvas->setColor(colorWidget->color());
      break;
    case DrawingColorModePattern:
      colorWidget->selectPatternMode();
      canvas->setPattern(colorWidget->pattern());
      break;
    case DrawingColorModeLinearGradient:
      colorWidget->selectLinearGradientMode();
      canvas->setPattern(colorWidget->pattern());
      break;
    case DrawingColorModeRadialGradient:
      colorWidget->selectRadialGradientMode();
      canvas->setPattern(colorWidget->pattern());
      break;
    default:
      break;
    }
  }
  if (toolsWidget) {
    const int command = toolsWidget->selectedCmdId();
    if (tuningWidget)
      tuningWidget->showTuningPanel(_drawingTuningKind(command));
    canvas->setCommand(command);
  }
}

int MainWindow::_drawingTuningKind(int cmdId)
{
  return cmdId == TextToolCommand ? 1 : cmdId == PictureToolCommand ? 2 : 0;
}

bool MainWindow::_forwardMouseToCanvas(QMouseEvent *event)
{
  if (!_canvasWidget)
    return false;
  // The canvas's handlers are protected, and it drags a pending text or picture by the global
  // movement: a new event at the canvas's own position, everything else kept.
  const QPointF local = QPointF(_canvasWidget->mapFrom(this, QPoint(0, 0))) + event->localPos();
  QMouseEvent forwarded(event->type(), local, event->windowPos(), event->screenPos(), event->button(),
                        event->buttons(), event->modifiers());
  QCoreApplication::sendEvent(_canvasWidget, &forwarded);
  event->accept();
  return true;
}

void MainWindow::canvasWidget_onDrawBegan(CanvasWidget *)
{
  _closeShapePicker();
  if (_drawingTuningWidget)
    _drawingTuningWidget->show();
}

void MainWindow::canvasWidget_onTextChanged(CanvasWidget *, QString text)
{
  if (_drawingTuningWidget)
    _drawingTuningWidget->setTextDoneEnabled(!text.isEmpty());
}

void MainWindow::canvasWidget_onPictureChanged(CanvasWidget *, QPixmap pixmap)
{
  if (_drawingTuningWidget)
    _drawingTuningWidget->setPictureDoneEnabled(!pixmap.isNull());
}

void MainWindow::canvasWidget_onTextSizeChangedByGesture(CanvasWidget *, float size)
{
  if (_drawingTuningWidget)
    _drawingTuningWidget->setTextSize(size);
}

void MainWindow::canvasWidget_onPictureSizeChangedByGesture(CanvasWidget *, float size)
{
  if (_drawingTuningWidget)
    _drawingTuningWidget->setPictureSize(size);
}

void MainWindow::canvasWidget_onShowWaiting(CanvasWidget *)
{
  showWaitingHUD(QString());
}

void MainWindow::drawingTuningWidget_onEditTextPressed(DrawingTuningWidget *)
{
  if (_canvasWidget)
    _canvasWidget->textShapeOnRequestText(_canvasWidget->textShape());
}

// The canvas asks through the dialog seam and places the picture itself; the button's place
// is of no use to a file dialog.
void MainWindow::drawingTuningWidget_onOpenPicturePressed(DrawingTuningWidget *, QRect)
{
  if (_canvasWidget)
    _canvasWidget->pictureShapeOnRequestPicture(_canvasWidget->pictureShape());
}

bool MainWindow::_closeShapePicker()
{
  DrawingShapeToolsWidget *picker = _drawingShapeToolsWidget;
  if (!picker)
    return false;
  _drawingShapeToolsWidget = nullptr;
  _shapePickerToolsWidget = nullptr;
  picker->hide();
  // Later: the picker may be the sender of the signal that closes it.
  picker->deleteLater();
  if (_drawingTuningWidget)
    _drawingTuningWidget->show();
  return true;
}

// A second click on the selected shape button, and a choice in the picker, both ask here: the
// open picker closes, a closed one opens in place of the tuning panel.
void MainWindow::drawingToolsWidget_onPopup(DrawingToolsWidget *toolsWidget, int)
{
  if (_closeShapePicker())
    return;
  auto *picker = new DrawingShapeToolsWidget(centralWidget());
  _drawingShapeToolsWidget = picker;
  _shapePickerToolsWidget = toolsWidget;
  _layoutDrawingWidgets();
  if (_drawingTuningWidget)
    _drawingTuningWidget->hide();
  picker->show();
  picker->raise();
  connect(picker, &DrawingShapeToolsWidget::drawingShapeToolsWidgetOnCommand, this,
          &MainWindow::drawingShapeToolsWidget_onCommand);
}

void MainWindow::drawingToolsWidget_dismissPopup(DrawingToolsWidget *)
{
  _closeShapePicker();
}

void MainWindow::drawingShapeToolsWidget_onCommand(DrawingShapeToolsWidget *, int cmdId, float)
{
  if (_shapePickerToolsWidget)
    _shapePickerToolsWidget->selectShapeCommand(cmdId);
}
