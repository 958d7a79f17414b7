// What the area does with its blocks' and rows' signals. The drag and editing gestures end
// here; the handles and drop targets they show hang off the seams below.
#include "editscrollarea.h"

#include "segment.h"
#include "segmentwidget.h"
#include "trackwidget.h"

void EditScrollArea::connectSegmentWidget(SegmentWidget *segmentWidget)
{
  if (!segmentWidget || _liveBlocks.contains(segmentWidget))
    return;
  _liveBlocks.insert(segmentWidget);
  connect(segmentWidget, &SegmentWidget::segmentWidgetEditingStateChanged, this,
          &EditScrollArea::onSegmentWidgetEditingStateChanged, Qt::DirectConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetTransitionIdChanged, this,
          &EditScrollArea::onSegmentWidgetTransitionIdChanged, Qt::DirectConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetDraggingTransitionChanged, this,
          &EditScrollArea::onSegmentWidgetDraggingTransitionChanged, Qt::DirectConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetDraggingStateChanged, this,
          &EditScrollArea::onSegmentWidgetDraggingStateChanged, Qt::DirectConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetDraggingMoving, this,
          &EditScrollArea::onSegmentWidgetDraggingMoving, Qt::DirectConnection);
  // Queued: the press finishes inside the block before the selection changes.
  connect(segmentWidget, &SegmentWidget::segmentWidgetMousePressed, this,
          &EditScrollArea::onSegmentWidgetMousePressed, Qt::QueuedConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetRightMousePressed, this,
          &EditScrollArea::onSegmentWidgetRightMousePressed, Qt::QueuedConnection);
  connect(segmentWidget, &SegmentWidget::segmentWidgetDoubleClickedOnFailedSegment, this,
          &EditScrollArea::editScrollAreaDoubleClickedOnFailedSegment, Qt::DirectConnection);
  connect(segmentWidget, &QObject::destroyed, this, &EditScrollArea::onSegmentWidgetDestroyed,
          Qt::DirectConnection);
}

bool EditScrollArea::_isHandleHit(const QPoint &) const
{
  return false;
}

void EditScrollArea::_updateHandlePositions() {}

void EditScrollArea::onSegmentWidgetMousePressed(SegmentWidget *segmentWidget, QPoint pos)
{
  if (!_liveBlocks.contains(segmentWidget))
    return;
  if (!segmentWidget->isActive() && _isHandleHit(pos))
    return;
  setSelectedSegmentWidget(segmentWidget);
}

void EditScrollArea::onSegmentWidgetRightMousePressed(SegmentWidget *segmentWidget, QPoint pos)
{
  if (!_liveBlocks.contains(segmentWidget))
    return;
  if (!segmentWidget->isActive() && _isHandleHit(pos))
    return;
  setSelectedSegmentWidget(segmentWidget);
  emit editScrollAreaPopupContextMenuForSegmentWidget(segmentWidget, pos);
}

void EditScrollArea::onSegmentWidgetEditingStateChanged(SegmentWidget *segmentWidget, bool editing)
{
  if (editing) {
    if (_editingSegmentWidget && _editingSegmentWidget != segmentWidget)
      _editingSegmentWidget->setEditingState(false, true);
    _editingSegmentWidget = segmentWidget;
    _editingIdentity = segmentWidget;
    setSelectedSegmentWidget(segmentWidget);
  } else if (_editingSegmentWidget == segmentWidget) {
    _editingSegmentWidget = nullptr;
    _editingIdentity = nullptr;
  }
  _updateHandlePositions();
}

void EditScrollArea::onSegmentWidgetTransitionIdChanged(SegmentWidget *, int) {}

void EditScrollArea::onSegmentWidgetDraggingTransitionChanged(SegmentWidget *, int draggingTransition)
{
  // The bar takes the moves; a flick starting under it would cancel the press.
  _handlePressed = draggingTransition > 0;
  if (_handlePressed && QScroller::scroller(viewport())->state() != QScroller::Inactive)
    stopScrolling();
  _updateHandlePositions();
}

void EditScrollArea::onSegmentWidgetDraggingStateChanged(SegmentWidget *segmentWidget, bool dragging)
{
  if (dragging) {
    stopScrolling();
    _draggedSegmentWidget = segmentWidget;
  }
  if (!dragging && _draggedSegmentWidget == segmentWidget)
    _draggedSegmentWidget = nullptr;
}

void EditScrollArea::onSegmentWidgetDraggingMoving(SegmentWidget *, QPoint) {}

void EditScrollArea::onTrackWidgetDraggingStateChanged(TrackWidget *, bool dragging)
{
  if (dragging)
    stopScrolling();
}

void EditScrollArea::onTrackWidgetDraggingMoving(TrackWidget *, QPoint) {}

void EditScrollArea::onSegmentWidgetDestroyed(QObject *object)
{
  _liveBlocks.remove(object);
  // The guarded pointers are already null; the state they stood for ends with the block, so
  // nothing later re-places handles from a block that is gone.
  if (object == _editingIdentity) {
    _editingIdentity = nullptr;
    _handlePressed = false;
    _updateHandlePositions();
  }
  if (object == _selectedIdentity) {
    _selectedIdentity = nullptr;
    if (!rangeSelectionMode)
      _unselect();
  }
}
