// Scrolling the timeline by itself while a media drag or a range-pointer drag is held at one of
// its edges: one step every 50 ms until the handler that set the edge flag clears it.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segmentdraggingframewidget.h"
#include "segmentwidget.h"
#include "trackwidget.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr int StepMs = 50;
constexpr int VerticalStep = 10;
constexpr float SelectSpeedStep = 0.05f;

} // namespace

// Scrolls left or right by step pixels within the content; returns the new offset.
int MainWindow::_stepTimelineScroll(float step, bool left)
{
  const QPoint old = _editScrollArea->contentOffset();
  int x;
  if (left) {
    x = std::max(0, int(std::lround(float(old.x()) - step)));
  } else {
    const int limit = std::max(0, _editScrollArea->contentSize().width() - _editScrollArea->viewport()->width());
    x = std::min(limit, int(std::lround(float(old.x()) + step)));
  }
  _editScrollArea->setContentOffset(QPoint(x, old.y()), false);
  return x;
}

void MainWindow::_autoScrollWhileDragging()
{
  if ((!_dragAtLeftEdge && !_dragAtRightEdge) || !_editScrollArea)
    return;
  const QPoint old = _editScrollArea->contentOffset();
  const int x = _stepTimelineScroll(PixelsPerSecond * _zoom * 0.5f, _dragAtLeftEdge);
  if (_dropTrack) {
    _dropTime += float(x - old.x()) / (PixelsPerSecond * _zoom);
    if (_dragAtLeftEdge)
      _dropTime = std::max(0.0f, _dropTime);
    _dropTrack->showDraggingFrame(nullptr, &_dropTime, _dropLength);
  }
  QTimer::singleShot(StepMs, this, &MainWindow::_autoScrollWhileDragging);
}

void MainWindow::_autoScrollVerticallyWhileDragging()
{
  if ((!_dragAtTopEdge && !_dragAtBottomEdge) || !_editScrollArea)
    return;
  const QPoint old = _editScrollArea->contentOffset();
  int y = old.y();
  if (_dragAtTopEdge) {
    y = std::max(0, y - VerticalStep);
  } else {
    const int limit = _editScrollArea->contentSize().height() - _editScrollArea->viewport()->height();
    y = std::max(0, std::min(limit, y + VerticalStep));
  }
  _editScrollArea->setContentOffset(QPoint(old.x(), y), false);
  QTimer::singleShot(StepMs, this, &MainWindow::_autoScrollVerticallyWhileDragging);
}

void MainWindow::_autoScrollWhileSelecting()
{
  if ((!_atLeftEdge && !_atRightEdge) || !_editScrollArea)
    return;
  _stepTimelineScroll(PixelsPerSecond * _autoScrollSpeed, _atLeftEdge);
  if (_editScrollArea->rangeSelectionMode) {
    const float t = _playheadTime();
    if (_draggingRangePointer) {
      _editScrollArea->selectionStart = t;
      _editScrollArea->updateSelectionRange();
      _movePlayheadPointer(_editScrollArea->selectionEnd);
    } else {
      _editScrollArea->selectionEnd = t;
      _editScrollArea->updateSelectionRange();
      _moveRangeStartPointer(_editScrollArea->selectionStart);
    }
  }
  // The speed grows while the scroll lasts, up to the zoom factor (below 1 it drops to it).
  _autoScrollSpeed = std::min(_autoScrollSpeed + SelectSpeedStep, _zoom);
  QTimer::singleShot(StepMs, this, &MainWindow::_autoScrollWhileSelecting);
}
