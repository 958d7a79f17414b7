// Leaving modes and tidying up after edits: the back-out order of Escape, the tool bars'
// remembered offsets, renumbering the engine's transition groups, the preview grab and the
// delayed removal of a block.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "canvaswidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "mediapreviewwidget.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "selectionoperationwidget.h"
#include "transformwidget.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int AreaBusyRetryMs = 50;
constexpr int NotReadyRetryMs = 100;
// Set on a block once its removal ran, so that a second request for it is dropped.
const char *const RemovedProperty = "removalDone";

} // namespace

// Escape: the first active mode is left. False when nothing was there to leave.
bool MainWindow::backOut()
{
  if (_isPreviewFullscreen()) {
    toggleFullscreen();
    return true;
  }
  if (_textEditWidget) {
    _endTextEditing(false);
    return true;
  }
  if (_canvasWidget) {
    drawingDidEnd();
    _endDrawing(false);
    return true;
  }
  if (_cropWidget) {
    _endCropping(false);
    return true;
  }
  if (_mediaPreviewWidget && _mediaPreviewWidget->isVisible()) {
    hideMediaPreview();
    return true;
  }
  if (_editScrollArea && _editScrollArea->rangeSelectionMode) {
    _exitRangeSelection();
    return true;
  }
  SegmentWidget *block = _editedBlock();
  if (!block)
    return false;
  if (isEditingTransitions()) {
    endTransitionMode();
    return true;
  }
  // The gutter shows only while no block is edited: the key is taken, nothing to leave.
  if (_gutter && _gutter->isVisible())
    return true;
  block->setEditingState(false, true);
  return true;
}

void MainWindow::saveToolBarOffsets(QHash<QString, QVariant> &offsets)
{
  if (!_segmentToolBar)
    return;
  offsets.insert(QStringLiteral("tb"), _segmentToolBar->scrollPosition());
  offsets.insert(QStringLiteral("tb2"), _transitionToolBar ? _transitionToolBar->scrollPosition() : QPoint());
}

void MainWindow::restoreToolBarOffsets(const QHash<QString, QVariant> &offsets)
{
  if (_segmentToolBar)
    _segmentToolBar->setScrollPosition(offsets.value(QStringLiteral("tb")).toPoint());
  if (_transitionToolBar)
    _transitionToolBar->setScrollPosition(offsets.value(QStringLiteral("tb2")).toPoint());
}

void MainWindow::_placeToolBars()
{
  for (ScrollableToolBar *bar : {_segmentToolBar.data(), _transitionToolBar.data()})
    if (bar)
      bar->placeInParent(50, 0);
  // The range selection's command bar keeps to its place above the bottom.
  if (_selectionOperationWidget && centralWidget())
    _selectionOperationWidget->updatePosition(centralWidget());
}

// The groups above the removed one move down by one. Lowest first: renaming k + 1 to k while
// group k + 1 still exists would leave two groups of one id.
void MainWindow::_renumberTransitions(Segment *segment, int removedId)
{
  if (!_engine || !segment)
    return;
  const int lastOld = segment->transitionCount() + 1;
  for (int k = removedId + 1; k <= lastOld; ++k) {
    _engine->changeTransitionId(segment->id(), quint32(k), quint32(k - 1));
    if (segment->audioPartId())
      _engine->changeTransitionId(segment->audioPartId(), quint32(k), quint32(k - 1));
  }
}

QImage MainWindow::_grabPreviewImage()
{
  if (!_previewWidget)
    return QImage();
  QImage frame = _previewWidget->grabFramebuffer();
  if (_canvasWidget && !frame.isNull()) {
    const qreal ratio = frame.devicePixelRatio();
    QPainter painter(&frame);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(0, 0, frame.width() / ratio, frame.height() / ratio), _canvasWidget->canvasImage(),
                       QRectF(_canvasWidget->canvasImage().rect()));
  }
  return frame;
}

// A block whose segment is still loading, or that is being dragged, is not yet free to go.
bool MainWindow::_isBlockIdle(SegmentWidget *block) const
{
  const Segment *segment = block->segment();
  if (!segment || block->isDragging())
    return false;
  return segment->state() == SegmentReady || segment->error() != SegmentNoError;
}

void MainWindow::_removeSegmentWidgetWhenReady(SegmentWidget *segmentWidget)
{
  if (!segmentWidget || segmentWidget->property(RemovedProperty).toBool())
    return;
  QPointer<SegmentWidget> block(segmentWidget);
  auto retry = [this, block](int ms) {
    QTimer::singleShot(ms, this, [this, block] {
      if (block)
        _removeSegmentWidgetWhenReady(block);
    });
  };
  if (_editScrollArea && _editScrollArea->isAnimating()) {
    retry(AreaBusyRetryMs);
    return;
  }
  if (!_isBlockIdle(block) || (_engine && !_engine->isIdle())) {
    retry(NotReadyRetryMs);
    return;
  }
  block->setProperty(RemovedProperty, true);
  const QPoint puff = block->mapToGlobal(QPoint(0, 0)) + QPoint(40, int(Segment::trackHeight() / 2));
  editScrollArea_removeSegment(block->segment());
  if (_editScrollArea)
    _editScrollArea->showRemoveAnimation(puff);
}

// "Edit Text" and "Edit Drawing" open the in-place editor of the overlay's layer.
void MainWindow::_editTextOrDrawing()
{
  Segment *segment = _transformWidget ? _transformWidget->segment() : nullptr;
  if (!segment)
    return;
  if (segment->type() == QLatin1String("TEXT"))
    _beginTextEditing(segment);
  else if (segment->type() == QLatin1String("DRAWING"))
    _beginDrawing(segment);
}
