// The drawing tools' signals passed on to the canvas while a drawing is edited, and the
// drawing saved as a picture file.

#include "mainwindow.h"

#include "avglwidget.h"
#include "canvaswidget.h"
#include "drawingcolorwidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "dialogprovider.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

constexpr int SaveAsPictureCommand = 10328;
constexpr int ClearCommand = 10305;
constexpr int UndoCommand = 10306;
constexpr int RubberCommand = 10334;
const char SavePictureDirKey[] = "SavePictureDir";

} // namespace

void MainWindow::drawingToolsWidget_onCommand(DrawingToolsWidget *, int cmdId, float)
{
  if (!_canvasWidget)
    return;
  if (cmdId == RubberCommand) {
    _switchPencilAndRubber();
    return;
  }
  // A pending text or picture is placed before anything else happens to the canvas.
  _canvasWidget->commitText();
  _canvasWidget->commitPicture();
  switch (cmdId) {
  case SaveAsPictureCommand:
    _saveDrawingAsPicture();
    break;
  case ClearCommand:
    _canvasWidget->clear();
    break;
  case UndoCommand:
    _canvasWidget->undo();
    break;
  default:
    if (_drawingTuningWidget)
      _drawingTuningWidget->showTuningPanel(_drawingTuningKind(cmdId));
    _canvasWidget->setCommand(cmdId);
    break;
  }
}

void MainWindow::_switchPencilAndRubber()
{
  DrawingColorWidget *swatch = _drawingColorWidget;
  DrawingTuningWidget *tuning = _drawingTuningWidget;
  if (!swatch)
    return;
  const bool toRubber = swatch->mode() != DrawingColorModeEraser;
  if (toRubber)
    swatch->switchToRubber();
  else
    swatch->restoreNonHollowMode();
  _canvasWidget->setRubber(toRubber);
  if (tuning) {
    tuning->setRubber(toRubber);
    const float hardness = toRubber ? tuning->rubberHardness() : tuning->hardness();
    _canvasWidget->setLineWidth(toRubber ? tuning->rubberLineWidth() : tuning->lineWidth());
    _canvasWidget->setHardness(hardness);
    swatch->setHardness(hardness);
  }
  if (toRubber) {
    _canvasWidget->setColor(QColor(255, 255, 255, 255));
    return;
  }
  switch (swatch->mode()) {
  case DrawingColorModeColor:
    _canvasWidget->setPattern(QPixmap());
    _canvasWidget->setColor(swatch->color());
    break;
  case DrawingColorModePattern:
  case DrawingColorModeLinearGradient:
  case DrawingColorModeRadialGradient:
    _canvasWidget->setPattern(swatch->pattern());
    break;
  default:
    break;
  }
}

void MainWindow::_saveDrawingAsPicture()
{
  QSettings settings;
  QString folder = settings.value(SavePictureDirKey).toString();
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(folder);
  }
  const QString proposed = folder + QDir::separator() + QStringLiteral("Tavo REN Painting.png");
  const QString path = DialogProvider::instance()->getSaveFileName(
    this, tr("Save as Picture"), proposed, tr("Portable Network Graphics files (*.png)"), nullptr, {});
  if (path.isEmpty())
    return;
  settings.setValue(SavePictureDirKey, QFileInfo(path).path());
  const bool saved = _canvasWidget->canvasImage().save(path, "PNG");
  ProgressHUD::showTextMessage(saved ? tr("Saved OK") : tr("Save painting failed"), this, 2000);
}

void MainWindow::drawingColorWidget_onColorChanged(DrawingColorWidget *, QColor color)
{
  if (!_canvasWidget)
    return;
  _canvasWidget->setPattern(QPixmap());
  _canvasWidget->setColor(color);
}

void MainWindow::drawingColorWidget_onPatternChanged(DrawingColorWidget *, QPixmap image)
{
  if (_canvasWidget)
    _canvasWidget->setPattern(image);
}

// The width takes effect on release only.
void MainWindow::drawingTuningWidget_onLineWidthChanging(DrawingTuningWidget *, float) {}

void MainWindow::drawingTuningWidget_onLineWidthChanged(DrawingTuningWidget *, float lineWidth)
{
  if (_canvasWidget)
    _canvasWidget->setLineWidth(lineWidth);
}

void MainWindow::drawingTuningWidget_onTextDonePressed(DrawingTuningWidget *)
{
  if (_canvasWidget)
    _canvasWidget->commitText();
}

void MainWindow::drawingTuningWidget_onTextAlignChanged(DrawingTuningWidget *, int align)
{
  if (_canvasWidget)
    _canvasWidget->setTextAlign(align);
}

void MainWindow::drawingTuningWidget_onTextSizeChanged(DrawingTuningWidget *, int size)
{
  if (_canvasWidget)
    _canvasWidget->setTextSize(float(size));
}

void MainWindow::drawingTuningWidget_onTextFontChanged(DrawingTuningWidget *, QString fontName, QString fontStyle)
{
  if (_canvasWidget)
    _canvasWidget->setTextFont(fontName, fontStyle);
}

void MainWindow::drawingTuningWidget_onPictureDonePressed(DrawingTuningWidget *)
{
  if (_canvasWidget)
    _canvasWidget->commitPicture();
}

void MainWindow::drawingTuningWidget_onPictureSizeChanged(DrawingTuningWidget *, float size)
{
  if (_canvasWidget)
    _canvasWidget->setPictureSize(size);
}

void MainWindow::drawingTuningWidget_onHardnessChanging(DrawingTuningWidget *tuningWidget, float hardness)
{
  drawingTuningWidget_onHardnessChanged(tuningWidget, hardness);
}

// The swatch shows the hardness too.
void MainWindow::drawingTuningWidget_onHardnessChanged(DrawingTuningWidget *, float hardness)
{
  if (_canvasWidget)
    _canvasWidget->setHardness(hardness);
  if (_drawingColorWidget)
    _drawingColorWidget->setHardness(hardness);
}

// The colour picker of the swatch answers like those of the slider popups.
void MainWindow::drawingColorWidget_onNeedColorPickingImage(DrawingColorWidget *, QImage *image)
{
  sliderColorPopup_onNeedColorPickingImage(nullptr, image);
}

void MainWindow::drawingColorWidget_onGetPlaybackAreaFrame(DrawingColorWidget *, QRect *rect, QWidget *inWidget)
{
  sliderColorPopup_onGetPlaybackAreaFrame(nullptr, rect, inWidget);
}

void MainWindow::_segmentEditingSetConnectionsForDrawingWidgets(DrawingColorWidget *colorWidget,
                                                                DrawingTuningWidget *tuningWidget,
                                                                DrawingToolsWidget *toolsWidget)
{
  using C = DrawingColorWidget;
  using T = DrawingTuningWidget;
  using M = MainWindow;
  connect(colorWidget, &C::drawingColorWidgetColorChanged, this, &M::drawingColorWidget_onColorChanged);
  connect(colorWidget, &C::drawingColorWidgetPatternChanged, this, &M::drawingColorWidget_onPatternChanged);
  connect(colorWidget, &C::drawingColorWidgetNeedColorPickingImage, this,
          &M::drawingColorWidget_onNeedColorPickingImage);
  connect(colorWidget, &C::drawingColorWidgetGetPlaybackAreaFrame, this,
          &M::drawingColorWidget_onGetPlaybackAreaFrame);
  connect(tuningWidget, &T::drawingTuningWidgetLineWidthChanging, this, &M::drawingTuningWidget_onLineWidthChanging);
  connect(tuningWidget, &T::drawingTuningWidgetLineWidthChanged, this, &M::drawingTuningWidget_onLineWidthChanged);
  connect(tuningWidget, &T::drawingTuningWidgetHardnessChanging, this, &M::drawingTuningWidget_onHardnessChanging);
  connect(tuningWidget, &T::drawingTuningWidgetHardnessChanged, this, &M::drawingTuningWidget_onHardnessChanged);
  connect(tuningWidget, &T::drawingTuningWidgetEditTextPressed, this, &M::drawingTuningWidget_onEditTextPressed);
  connect(tuningWidget, &T::drawingTuningWidgetTextDonePressed, this, &M::drawingTuningWidget_onTextDonePressed);
  connect(tuningWidget, &T::drawingTuningWidgetTextAlignChanged, this, &M::drawingTuningWidget_onTextAlignChanged);
  connect(tuningWidget, &T::drawingTuningWidgetTextSizeChanged, this, &M::drawingTuningWidget_onTextSizeChanged);
  connect(tuningWidget, &T::drawingTuningWidgetTextFontChanged, this, &M::drawingTuningWidget_onTextFontChanged);
  connect(tuningWidget, &T::drawingTuningWidgetOpenPicturePressed, this,
          &M::drawingTuningWidget_onOpenPicturePressed);
  connect(tuningWidget, &T::drawingTuningWidgetPictureDonePressed, this,
          &M::drawingTuningWidget_onPictureDonePressed);
  connect(tuningWidget, &T::drawingTuningWidgetPictureSizeChanged, this,
          &M::drawingTuningWidget_onPictureSizeChanged);
  connect(toolsWidget, &DrawingToolsWidget::drawingToolsWidgetOnCommand, this, &M::drawingToolsWidget_onCommand);
  connect(toolsWidget, &DrawingToolsWidget::drawingToolsWidgetOnPopup, this, &M::drawingToolsWidget_onPopup);
  connect(toolsWidget, &DrawingToolsWidget::drawingToolsWidgetDismissPopup, this,
          &M::drawingToolsWidget_dismissPopup);
}
