// Editing over the preview instead of in a popup: the text editor laid on a text segment, the
// drawing canvas on a drawing segment, and the closing of the crop frame. While one is open the timeline and the media explorer take no
// mouse input and the segment tool bar is away.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "avpixelbuffer.h"
#include "imagesegment.h"
#include "canvaswidget.h"
#include "commonpopuphelptipwidget.h"
#include "cropwidget.h"
#include "drawingcolorwidget.h"
#include "drawingsegment.h"
#include "drawingshapetoolswidget.h"
#include "drawingtoolswidget.h"
#include "drawingtuningwidget.h"
#include "exportframesize.h"
#include "editscrollarea.h"
#include "mediaexplorer.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "tipmanager.h"
#include "transformwidget.h"
#include "util.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// The editor stays clear of the container's top edge by this much.
constexpr int TopMargin = 3;
constexpr int ToolsRefreshDelayMs = 500;
constexpr int DrawingRefreshDelayMs = 200;
// The canvas paints at the export size of this resolution, whatever the preview shows.
constexpr int CanvasResolutionIndex = 4;
const char EmptiedProperty[] = "emptied";

} // namespace

void MainWindow::_beginTextEditing(Segment *segment)
{
  if (_textEditWidget || !segment || segment->type() != QLatin1String("TEXT") || !_previewWidget
      || !_hooks.previewArea)
    return;
  auto *text = static_cast<TextSegment *>(segment);

  QRect rect;
  if (_transformWidget) {
    rect = _transformWidget->contentLayerFrame();
  } else {
    const QSizeF preview(_previewWidget->size());
    const LayerGeometry g = segment->layerGeometry(preview);
    QSizeF size = _overlayNaturalSize(segment, preview);
    size = QSizeF(size.width() * double(g.scaleWidth), size.height() * double(g.scaleHeight));
    QPointF centre = _previewFrameInOverlayParent().topLeft() + QPointF(g.centerX, g.centerY);
    if (centre.y() - size.height() / 2 < 0)
      centre.setY(size.height() / 2 + TopMargin);
    rect = QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size).toRect();
  }

  auto *editor = new TextEditWidget(_hooks.previewArea);
  editor->setAcceptRichText(false);
  editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  editor->setGeometry(rect);
  editor->document()->setIndentWidth(0);
  editor->setPlainText(text->text());
  _textEditWidget = editor;
  _applyTextEditorStyle(editor, text);
  if (!text->text().isEmpty()) {
    // Styled once more over the selection so every character carries the segment's style.
    editor->selectAll();
    _applyTextEditorStyle(editor, text);
    QTextCursor cursor = editor->textCursor();
    cursor.movePosition(QTextCursor::End);
    editor->setTextCursor(cursor);
  }
  editor->show();
  editor->raise();
  editor->document()->clearUndoRedoStacks();
  editor->setFocus(Qt::OtherFocusReason);

  // An emptied editor forgets its character format; the first new character gets it back.
  connect(editor, &QTextEdit::textChanged, this, [this, editor] {
    if (editor->document()->isEmpty()) {
      editor->setProperty(EmptiedProperty, true);
    } else if (editor->property(EmptiedProperty).toBool()) {
      editor->setProperty(EmptiedProperty, false);
      if (Segment *edited = _popupSegment())
        _refreshTextEditorStyle(editor, edited);
    }
  });

  _leaveWindowForInPlaceEditing();
  textEditingModeChanged(true);
}

void MainWindow::_endTextEditing(bool apply)
{
  if (!_textEditWidget)
    return;
  Segment *segment = _popupSegment();
  if (apply && segment && segment->type() == QLatin1String("TEXT")) {
    auto *text = static_cast<TextSegment *>(segment);
    const QString typed = _textEditWidget->toPlainText();
    // The same text is written again but is no undo step.
    if (typed != text->text()) {
      _recordOperation();
      _projectManager->setModified(true);
    }
    text->setText(typed);
    if (_engine)
      _engine->setText(text->id(), typed.toUtf8().constData());
    if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
      block->setScale(_zoom, false);
    if (_engine)
      _engine->refresh();
  }
  TextEditWidget *editor = _textEditWidget;
  _textEditWidget = nullptr;
  editor->hide();
  editor->deleteLater();
  _restoreAfterInPlaceEditing();
  textEditingModeChanged(false);
}

QPixmap MainWindow::_croppingPicture(Segment *segment)
{
  const QString type = segment->type();
  if (type == QLatin1String("IMAGE") || type == QLatin1String("DRAWING"))
    return static_cast<ImageSegment *>(segment)->thumbnail();
  if (!_engine)
    return {};
  AVPixelBuffer *buffer = nullptr;
  if (type == QLatin1String("TEXT")) {
    buffer = _engine->textImage(segment->id());
  } else {
    // The engine takes timeline time and finds the media time itself.
    const float start = segment->rangeStart();
    const float time = std::clamp(_playheadTime(), start, start + segment->duration());
    buffer = _engine->videoFrameAtTime(segment->id(), time);
  }
  if (!buffer)
    return {};
  // The image shares the buffer and frees it with its last copy.
  return QPixmap::fromImage(_imageFromPixelBuffer(buffer));
}

void MainWindow::_beginCropping(Segment *segment)
{
  if (_cropWidget || !segment || !_previewWidget || !centralWidget())
    return;
  const QPixmap picture = _croppingPicture(segment);
  if (picture.isNull())
    return;

  // The preview is dimmed to the project's background behind the frame.
  if (QWidget *area = _previewWidget->parentWidget()) {
    auto *background = new QWidget(area);
    background->setGeometry(_previewWidget->geometry());
    const quint32 c = _projectManager->backgroundColor();
    background->setStyleSheet(QStringLiteral("background-color: rgb(%1,%2,%3);")
                                  .arg((c >> 16) & 255)
                                  .arg((c >> 8) & 255)
                                  .arg(c & 255));
    background->show();
    background->raise();
    Util::fadeInWidget(background, 200, 1.0f);
    _cropBackground = background;
  }

  int t = 0;
  bool begin = false;
  const bool side = _editedTransitionSide(t, begin);
  const QPointF topLeft = side ? segment->transitionCropTopLeft(t, begin) : segment->cropTopLeft();
  const QPointF bottomRight = side ? segment->transitionCropBottomRight(t, begin) : segment->cropBottomRight();
  _cropWidget = new CropWidget(QRect(), picture, QRectF(topLeft, bottomRight), !side, centralWidget());
  _layoutCropWidget();
  _cropWidget->show();
  _cropWidget->raise();
  Util::fadeInWidget(_cropWidget, 200, 1.0f);

  _leaveWindowForInPlaceEditing();
  if (_transitionToolBar)
    _transitionToolBar->hideAnimated();
  showDoneNavigationButton();
  cropModeChanged(true);
}

void MainWindow::_endCropping(bool apply)
{
  if (!_cropWidget)
    return;
  Segment *segment = _popupSegment();
  if (apply && segment) {
    const QRectF crop = _cropWidget->cropRect();
    const QPointF topLeft = crop.topLeft();
    const QPointF bottomRight = crop.bottomRight();
    int t = 0;
    bool begin = false;
    const bool side = _editedTransitionSide(t, begin);
    const QPointF oldTopLeft = side ? segment->transitionCropTopLeft(t, begin) : segment->cropTopLeft();
    const QPointF oldBottomRight = side ? segment->transitionCropBottomRight(t, begin) : segment->cropBottomRight();
    if (topLeft != oldTopLeft || bottomRight != oldBottomRight) {
      _recordOperation();
      _projectManager->setModified(true);
      if (side) {
        segment->setTransitionCropTopLeft(t, begin, topLeft);
        segment->setTransitionCropBottomRight(t, begin, bottomRight);
        _sendTransitionValue(segment->id(), t, begin, kAVPropertyCropTopLeft, float(topLeft.x()),
                             float(topLeft.y()));
        _sendTransitionValue(segment->id(), t, begin, kAVPropertyCropBottomRight, float(bottomRight.x()),
                             float(bottomRight.y()));
      } else {
        segment->setCropTopLeft(topLeft);
        segment->setCropBottomRight(bottomRight);
        if (_engine) {
          _engine->setSegmentProperty(segment->id(), kAVPropertyCropTopLeft, float(topLeft.x()),
                                      float(topLeft.y()));
          _engine->setSegmentProperty(segment->id(), kAVPropertyCropBottomRight, float(bottomRight.x()),
                                      float(bottomRight.y()));
        }
      }
    }
    if (_engine)
      _engine->refresh();
  }
  CropWidget *crop = _cropWidget;
  _cropWidget = nullptr;
  crop->hide();
  crop->deleteLater();
  if (_cropBackground)
    _cropBackground->deleteLater();
  _restoreAfterInPlaceEditing();
  if (_transitionToolBar)
    _transitionToolBar->showAnimated();
  if (isEditingTransitions())
    updateTransitionTools();
  cropModeChanged(false);
  _seekToPlayhead(true);
}

void MainWindow::_beginDrawing(Segment *segment)
{
  if (_canvasWidget || !segment || segment->type() != QLatin1String("DRAWING") || !_previewWidget)
    return;
  auto *drawing = static_cast<DrawingSegment *>(segment);
  const QRect rect(_previewWidget->mapTo(centralWidget(), QPoint(0, 0)), _previewWidget->size());
  const QSizeF aspect = _projectManager->aspectSize();
  const QSize size = exportFrameSize(float(aspect.width()), float(aspect.height()), CanvasResolutionIndex);
  auto *canvas = new CanvasWidget(size.width(), size.height(), centralWidget());
  canvas->drawImage(drawing->pixmap());
  canvas->setGeometry(rect);
  _canvasWidget = canvas;
  connect(canvas, &CanvasWidget::canvasWidgetDrawBegan, this, &MainWindow::canvasWidget_onDrawBegan);
  connect(canvas, &CanvasWidget::canvasWidgetTextChanged, this, &MainWindow::canvasWidget_onTextChanged);
  connect(canvas, &CanvasWidget::canvasWidgetPictureChanged, this, &MainWindow::canvasWidget_onPictureChanged);
  connect(canvas, &CanvasWidget::canvasWidgetTextSizeChangedByGesture, this,
          &MainWindow::canvasWidget_onTextSizeChangedByGesture);
  connect(canvas, &CanvasWidget::canvasWidgetPictureSizeChangedByGesture, this,
          &MainWindow::canvasWidget_onPictureSizeChangedByGesture);
  connect(canvas, &CanvasWidget::canvasWidgetShowWaiting, this, &MainWindow::canvasWidget_onShowWaiting);
  connect(canvas, &CanvasWidget::canvasWidgetHideWaiting, this, &MainWindow::hideWaitingHUD);
  // The preview shows the frame without the drawing while the canvas paints it.
  if (_engine)
    _engine->setSegmentEnabled(segment->id(), false);
  canvas->show();
  canvas->raise();
  setUpDrawingToolWidgets(canvas);
  // The window's own tools when it made them; the desktop window's inspector applies its own.
  _applyDrawingToolSettings(canvas, _drawingTuningWidget, _drawingColorWidget, _ownedDrawingToolsWidget);
  _layoutDrawingWidgets();
  _leaveWindowForInPlaceEditing();
  QTimer::singleShot(DrawingRefreshDelayMs, this, [this] {
    if (_engine)
      _engine->refresh();
  });
  drawingModeChanged(true);
}

void MainWindow::_endDrawing(bool apply)
{
  if (!_canvasWidget)
    return;
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
  Segment *segment = _popupSegment();
  if (apply) {
    _canvasWidget->commitText();
    _canvasWidget->commitPicture();
  }
  if (apply && segment && segment->type() == QLatin1String("DRAWING")) {
    _recordOperation();
    _projectManager->setModified(true);
    // A new file each time: the snapshot just taken still names the old one. The picture is
    // read again, which hands the new file to the engine (a read under way rereads by itself).
    auto *drawing = static_cast<DrawingSegment *>(segment);
    const bool loading = drawing->state() == SegmentLoading;
    if (drawing->setDrawingImage(_canvasWidget->canvasImage()) && !loading)
      drawing->loadPreview();
    if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
      block->setScale(_zoom, false);
  }
  if (segment && _engine) {
    _engine->setSegmentEnabled(segment->id(), true);
    _engine->refresh();
  }
  CanvasWidget *canvas = _canvasWidget;
  _canvasWidget = nullptr;
  canvas->hide();
  canvas->deleteLater();
  // Only the tools the window made itself go; the inspector keeps and reuses its own, and no
  // longer hears from the window.
  _closeShapePicker();
  const QList<QWidget *> owned{_ownedDrawingColorWidget.data(), _ownedDrawingTuningWidget.data(),
                               _ownedDrawingToolsWidget.data()};
  for (QWidget *own : owned)
    if (own) {
      own->hide();
      own->deleteLater();
    }
  _segmentEditingSetDrawingWidgets(nullptr, nullptr);
  _restoreAfterInPlaceEditing();
  drawingModeChanged(false);
}

void MainWindow::_leaveWindowForInPlaceEditing()
{
  _hideTransformWidget();
  if (_segmentToolBar)
    _segmentToolBar->hideAnimated();
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
  if (_editScrollArea)
    _editScrollArea->setMouseEventsEnabled(false);
  if (_mediaExplorer)
    _mediaExplorer->setEnabled(false);
}

void MainWindow::_restoreAfterInPlaceEditing()
{
  afterSegmentEditing();
  updatePlayPauseIcon();
  QTimer::singleShot(ToolsRefreshDelayMs, this, [this] { updateToolsAtTime(_playheadTime()); });
  if (_segmentToolBar)
    _segmentToolBar->showAnimated();
  if (_editScrollArea)
    _editScrollArea->setMouseEventsEnabled(true);
  if (_mediaExplorer)
    _mediaExplorer->setEnabled(true);
}

// Only one editing is ever open.
void MainWindow::_commitInPlaceEditing()
{
  if (_textEditWidget)
    _endTextEditing(true);
  else if (_canvasWidget)
    _endDrawing(true);
  else if (_cropWidget)
    _endCropping(true);
}
