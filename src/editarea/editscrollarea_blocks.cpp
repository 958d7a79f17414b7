// Joining blocks to the area, their presses and their end. Drags and the editing state are
// handled in editscrollarea_drag.cpp and editscrollarea_editing.cpp.
#include "editscrollarea.h"

#include "queuedwhilealive.h"
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
  connect(
      segmentWidget, &SegmentWidget::segmentWidgetDraggingCancelled, this,
      [this] {
        _dropTargetHit = 0;
        _dropTrack = nullptr;
      },
      Qt::DirectConnection);
  // Later: the press finishes inside the block before the selection changes.
  connectQueuedWhileAlive(segmentWidget, &SegmentWidget::segmentWidgetMousePressed, this,
                          &EditScrollArea::onSegmentWidgetMousePressed);
  connectQueuedWhileAlive(segmentWidget, &SegmentWidget::segmentWidgetRightMousePressed, this,
                          &EditScrollArea::onSegmentWidgetRightMousePressed);
  connect(segmentWidget, &SegmentWidget::segmentWidgetDoubleClickedOnFailedSegment, this,
          &EditScrollArea::editScrollAreaDoubleClickedOnFailedSegment, Qt::DirectConnection);
  connect(segmentWidget, &QObject::destroyed, this, &EditScrollArea::onSegmentWidgetDestroyed,
          Qt::DirectConnection);
}

void EditScrollArea::updateBlockInView(SegmentWidget *segmentWidget)
{
  QWidget *rows = widget();
  QWidget *row = segmentWidget ? segmentWidget->parentWidget() : nullptr;
  if (!rows || !row || row->parentWidget() != rows || !segmentWidget->isVisible())
    return;
  // The rows' part in view, in the rows' coordinates; the block's place there.
  const QRect seen = viewport()->rect().translated(-rows->pos());
  const QRect place = segmentWidget->geometry().translated(row->pos()) & seen;
  if (!place.isEmpty())
    rows->update(place);
}

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

void EditScrollArea::onSegmentWidgetDestroyed(QObject *object)
{
  _liveBlocks.remove(object);
  // A widget reports its end from ~QWidget, before the guarded pointers clear: drop them here,
  // so nothing reaches into the half-destroyed block or its segment.
  if (object == _editingIdentity) {
    _editingSegmentWidget = nullptr;
    _editingIdentity = nullptr;
    _handlePressed = false;
    _updateHandlePositions();
  }
  if (object == _selectedIdentity) {
    _selectedSegmentWidget = nullptr;
    _selectedIdentity = nullptr;
    if (!rangeSelectionMode)
      _unselect();
  }
}
