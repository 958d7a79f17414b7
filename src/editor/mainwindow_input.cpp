// The window's own input: dragging the play head and the range-start pointer over the
// timeline, clicks into the ruler, Escape, and what goes to the transform overlay first.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "segmentwidget.h"
#include "mediapreviewwidget.h"
#include "pointerwidget.h"
#include "progresshud.h"
#include "rulerscrollarea.h"
#include "transformwidget.h"

#include <QAction>
#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int LeftOffset = 60;
constexpr int MoveThreshold = 4;
constexpr int LongPressMs = 500;
constexpr int EdgeScrollDelayMs = 500;
constexpr qint64 EscapeGuardMs = 100;

} // namespace

bool MainWindow::event(QEvent *event)
{
  if (event->type() == QEvent::NativeGesture && _transformWidget)
    _transformWidget->handleNativeGesture(static_cast<QNativeGestureEvent *>(event));
  return CommonMainWindow::event(event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (event->key() == Qt::Key_Escape && !event->isAutoRepeat() && now - _lastEscapeAt > EscapeGuardMs) {
    backOut();
    _lastEscapeAt = now;
    QWidget::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Escape)
    qDebug("Escape key press ignored");
  QWidget::keyPressEvent(event);
}

void MainWindow::_startPointerDrag(const QPoint &globalPos, PointerWidget *pointer)
{
  _pressGlobalPos = globalPos;
  _pointerXAtPress = int(pointer->centerX());
  if (_engine)
    _engine->pause();
}

float MainWindow::_snappedPointerX(float px) const
{
  const float pixels = 24 * _zoom;
  const float offset = _editScrollArea->horizontalOffset();
  const float t = (offset + px - LeftOffset) / pixels;
  const float s = _editScrollArea->alignTimeAcrossTracks(t);
  return s != t ? pixels * s - offset + LeftOffset : px;
}

// Holds px and tx against the area's ends; true when an edge was reached just now.
bool MainWindow::_applyDragEdges(float &px, float &tx, bool limitRight)
{
  const QRect area = _editScrollArea->geometry();
  const bool wasAtEdge = _atLeftEdge || _atRightEdge;
  if (px - LeftOffset < 0) {
    px = std::max(px, 0.0f);
    tx = LeftOffset;
    _atLeftEdge = true;
  } else {
    _atLeftEdge = false;
  }
  if (px > area.width() - LeftOffset) {
    if (limitRight)
      tx = area.width() - LeftOffset;
    _atRightEdge = true;
  } else {
    _atRightEdge = false;
  }
  const bool reached = !wasAtEdge && (_atLeftEdge || _atRightEdge);
  if (reached) {
    _autoScrollSpeed = 1.0f;
    // Only a pointer held at the edge scrolls; one passing over it does not.
    QTimer::singleShot(EdgeScrollDelayMs, this, &MainWindow::_autoScrollWhileSelecting);
  }
  return reached;
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
  const QPoint global = event->globalPos();
  const bool ranging = _editScrollArea && _editScrollArea->rangeSelectionMode;
  if (_playheadPointer && _playheadPointer->headRect().contains(_playheadPointer->mapFromGlobal(global))) {
    _draggingPlayhead = true;
    _startPointerDrag(global, _playheadPointer);
    if (!ranging) {
      _playheadMoved = false;
      QTimer::singleShot(LongPressMs, this, [this] {
        if (_draggingPlayhead && !_playheadMoved && !_progressHUD && _editScrollArea
            && !_editScrollArea->rangeSelectionMode)
          _actions.rangeSelect->trigger();
      });
    } else {
      _playheadX = _pointerXAtPress - LeftOffset;
      _seekToTime(_playheadTime(), false);
    }
    return;
  }
  if (_transformWidget && event->button() == Qt::LeftButton && _transformWidget->handleMousePress(event)) {
    if (_editScrollArea)
      _editScrollArea->stopKineticScroll();
    return;
  }
  if (ranging && _rangeStartPointer
      && _rangeStartPointer->headRect().contains(_rangeStartPointer->mapFromGlobal(global))) {
    _draggingRangePointer = true;
    _startPointerDrag(global, _rangeStartPointer);
    _playheadX = _pointerXAtPress - LeftOffset;
    _seekToTime(_playheadTime(), false);
    return;
  }
  const bool inPointerArea =
      _hooks.pointerArea && _hooks.pointerArea->rect().contains(_hooks.pointerArea->mapFromGlobal(global));
  const bool inRuler = _hooks.rulerScrollArea
                       && _hooks.rulerScrollArea->rect().contains(_hooks.rulerScrollArea->mapFromGlobal(global));
  if (!ranging && _playheadPointer && _hooks.pointerArea && (inPointerArea || inRuler)) {
    _playheadPointer->setCenterX(_hooks.pointerArea->mapFromGlobal(global).x(), false);
    _draggingPlayhead = true;
    _startPointerDrag(global, _playheadPointer);
    // The time follows the pointer now: a queued move would come after a quick release and
    // leave the pointer at the click with the time where it was.
    QMouseEvent move(QEvent::MouseMove, event->localPos(), event->windowPos(), event->screenPos(), event->button(),
                     event->buttons(), event->modifiers());
    mouseMoveEvent(&move);
    return;
  }
  if (_forwardMouseToCanvas(event))
    return;
  if (event->button() == Qt::LeftButton && _hooks.previewArea
      && _hooks.previewArea->rect().contains(_hooks.previewArea->mapFromGlobal(global)))
    showFullscreenControls();
  event->ignore();
  QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
  if (_transformWidget && _transformWidget->handleMouseMove(event))
    return;
  const QPoint global = event->globalPos();
  const bool ranging = _editScrollArea && _editScrollArea->rangeSelectionMode;
  if (_draggingPlayhead && _playheadPointer && _editScrollArea) {
    float px = float(global.x() - _pressGlobalPos.x() + _pointerXAtPress);
    float tx = px;
    _applyDragEdges(px, tx, true);
    if (ranging) {
      tx = px;
      if (!_atLeftEdge && !_atRightEdge)
        px = tx = _snappedPointerX(px);
    }
    _playheadPointer->setCenterX(px, false);
    _playheadX = tx - LeftOffset;
    if (std::abs(global.x() - _pressGlobalPos.x()) >= MoveThreshold
        || std::abs(global.y() - _pressGlobalPos.y()) >= MoveThreshold)
      _playheadMoved = true;
    if (ranging) {
      _editScrollArea->selectionEnd = _playheadTime();
      _editScrollArea->updateSelectionRange();
    }
    _seekToTime(_playheadTime(), false);
    return;
  }
  if (_draggingRangePointer && _rangeStartPointer && _editScrollArea) {
    float px = float(global.x() - _pressGlobalPos.x() + _pointerXAtPress);
    float tx = px;
    _applyDragEdges(px, tx, false);
    if (!_atLeftEdge && !_atRightEdge)
      px = _snappedPointerX(px);
    _rangeStartPointer->setCenterX(px, false);
    _playheadX = px - LeftOffset;
    _editScrollArea->selectionStart = _playheadTime();
    _editScrollArea->updateSelectionRange();
    _seekToTime(_playheadTime(), false);
    return;
  }
  if (_forwardMouseToCanvas(event))
    return;
  QWidget::mouseMoveEvent(event);
}

// The released pointer goes back inside the visible part of the timeline.
bool MainWindow::_clampReleasedPointer(PointerWidget *pointer)
{
  const QRect area = _editScrollArea->geometry();
  const float center = pointer->centerX();
  const float clamped = qBound(float(area.x() + LeftOffset), center, float(area.x() + area.width() - LeftOffset));
  if (clamped == center)
    return false;
  pointer->setCenterX(clamped, false);
  _playheadX = clamped - LeftOffset;
  return true;
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
  if (_transformWidget && _transformWidget->handleMouseRelease())
    return;
  const bool ranging = _editScrollArea && _editScrollArea->rangeSelectionMode;
  if (_draggingPlayhead && _playheadPointer && _editScrollArea) {
    _draggingPlayhead = false;
    _atLeftEdge = _atRightEdge = false;
    const float before = _playheadX;
    if (_clampReleasedPointer(_playheadPointer)) {
      if (ranging) {
        _editScrollArea->selectionEnd = _playheadTime();
        _editScrollArea->updateSelectionRange();
      } else {
        // Outside range selection the time stayed pinned at the visible end during the drag.
        _playheadX = before;
      }
    }
    _seekToTime(_playheadTime(), true);
    return;
  }
  if (_draggingRangePointer && _rangeStartPointer && _editScrollArea) {
    _draggingRangePointer = false;
    _atLeftEdge = _atRightEdge = false;
    if (_clampReleasedPointer(_rangeStartPointer)) {
      _editScrollArea->selectionStart = _playheadTime();
      _editScrollArea->updateSelectionRange();
    }
    return;
  }
  if (_forwardMouseToCanvas(event))
    return;
  QWidget::mouseReleaseEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
  if (_transformWidget && event->button() == Qt::LeftButton && _transformWidget->handleDoubleClick(event))
    return;
  if (event->button() == Qt::LeftButton && _previewWidget
      && _previewWidget->rect().contains(_previewWidget->mapFromGlobal(event->globalPos()))) {
    toggleFullscreen();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

void MainWindow::wheelEvent(QWheelEvent *event)
{
  if (_transformWidget && _transformWidget->handleWheel(event)) {
    event->accept();
    return;
  }
  QWidget::wheelEvent(event);
}

void MainWindow::hideEvent(QHideEvent *event)
{
  QWidget::hideEvent(event);
  if (_mediaPreviewWidget && _mediaPreviewWidget->isVisible()) {
    _mediaPreviewWidget->closePreview();
    _mediaPreviewWidget->hide();
    if (_previewWidget)
      _previewWidget->show();
  }
}
