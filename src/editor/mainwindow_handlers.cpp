// Slots and operations whose bodies come with the editing commands, playback, media intake and
// the overlays. They are wired now so the widgets reach the window; until their commands land
// they do nothing.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "projectmanager.h"

// The edit area asks these inside its own emission.
void MainWindow::editScrollArea_getSegmentOverwriteMode(bool &overwrite)
{
  overwrite = _projectManager && _projectManager->segmentMode() == 1;
}

void MainWindow::editScrollArea_getSafeAreaInsets(float *left, float *top, float *right, float *bottom)
{
  // The desktop window has no insets: the values stay as the caller set them.
  Q_UNUSED(left)
  Q_UNUSED(top)
  Q_UNUSED(right)
  Q_UNUSED(bottom)
}

void MainWindow::_exitRangeSelection()
{
  if (!_editScrollArea || !_editScrollArea->rangeSelectionMode)
    return;
  _editScrollArea->rangeSelectionMode = false;
  _editScrollArea->updateSelectionRange();
  _updateActions();
}


// Editing commands.
void MainWindow::_rangeSelectionCommand(int cmdId)
{
  Q_UNUSED(cmdId)
}

// Actions.
void MainWindow::onActionFullscreenTriggered() {}

// The edit area.
void MainWindow::editScrollArea_willEndDragging() {}
void MainWindow::editScrollArea_didScroll(QPoint) {}
void MainWindow::editScrollArea_scaleBegan() {}
void MainWindow::editScrollArea_scaleChanged(float) {}
void MainWindow::editScrollArea_beginDraggingSegment() {}
void MainWindow::editScrollArea_didEnterEditingSegment(Segment *)
{
  _hideTransformWidget();
  _updateTransformWidgetAtPlayhead();
}
void MainWindow::editScrollArea_didFinishEditingSegment(Segment *)
{
  _hideTransformWidget();
}
void MainWindow::editScrollArea_didFinishEditingSegmentImmediately(Segment *)
{
  _hideTransformWidget();
}
void MainWindow::editScrollArea_seekToTime(float) {}
void MainWindow::editScrollArea_reloadPreviewForSegment(Segment *, bool) {}
void MainWindow::editScrollArea_beginTrimSegment(Segment *) {}
void MainWindow::editScrollArea_didEnterEditingTransition(Segment *, int) {}
void MainWindow::editScrollArea_didFinishEditingTransition(Segment *) {}
void MainWindow::editScrollArea_tappedOnTransitionBar(int, bool) {}
void MainWindow::editScrollArea_reloadPreviewForTransition(int, bool) {}
void MainWindow::editScrollArea_didTransitionRangeChange(int) {}
void MainWindow::editScrollArea_beginMoveTransition(int, bool) {}
void MainWindow::editScrollArea_endMoveTransition(int, bool, bool) {}
void MainWindow::editScrollArea_beginTrimTransition(int, bool) {}
void MainWindow::editScrollArea_endTrimTransition(int, bool, bool) {}
void MainWindow::editScrollArea_copySegment(Segment *) {}
void MainWindow::editScrollArea_removeSegment(Segment *) {}
void MainWindow::editScrollArea_splitSegment(Segment *) {}
void MainWindow::editScrollArea_moveSegmentToTrack(Segment *, TrackWidget *, float) {}
void MainWindow::editScrollArea_removeTrack(TrackWidget *) {}
void MainWindow::editScrollArea_beginDraggingTrackWidget(TrackWidget *) {}
void MainWindow::editScrollArea_endDraggingTrackWidget(TrackWidget *, bool) {}
void MainWindow::editScrollArea_onSelectNextSegmentByDirectionKey(int) {}
void MainWindow::editScrollArea_onSelectedSegmentWidgetChanged(bool) {}
void MainWindow::editScrollArea_onDeleteKeyPressed() {}
void MainWindow::editScrollArea_onPopupContextMenuForSegmentWidget(SegmentWidget *, QPoint) {}
void MainWindow::editScrollArea_doubleClickedOnFailedSegment(SegmentWidget *, QPoint) {}

// Zoom, mode button, gutter.
