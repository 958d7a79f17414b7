// The menu actions and their shortcuts, the timeline zoom controls and the enabled states of
// the actions. A refused action does nothing at all: no message, no state change.

#include "mainwindow.h"

#include "avengine.h"
#include "canvaswidget.h"
#include "commonpopuphelptipwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "progresshud.h"
#include "segmentwidget.h"
#include "tipmanager.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

namespace {

// How long entering transition editing waits for the edited block's gutter to go.
constexpr int GutterWaitMs = 2000;
constexpr float MinZoom = 0.2f;
constexpr float MaxZoom = 4.0f;

} // namespace

bool MainWindow::_isTipOnScreen() const
{
  return TipManager::hasInstance() && TipManager::instance()->isShowingTip();
}

// Edited block first, else the selected one.
static SegmentWidget *commandTarget(EditScrollArea *area)
{
  if (!area)
    return nullptr;
  return area->editingSegmentWidget() ? area->editingSegmentWidget() : area->selectedSegmentWidget();
}

void MainWindow::onActionMovieSettingsTriggered()
{
  if (_isPreviewFullscreen() || _copyingMedia || _isPopupShown() || _isTipOnScreen() || _isExporting())
    return;
  showProjectSettingsPopup();
}

void MainWindow::onActionPlayPauseTriggered()
{
  if (_copyingMedia || _isPopupShown() || _isTipOnScreen() || _isExporting())
    return;
  togglePlayPause();
}

void MainWindow::onActionUndoTriggered()
{
  if (_isPreviewFullscreen() || _isExporting())
    return;
  if (_textEditWidget || _cropWidget) {
    ProgressHUD::showTextMessage(tr("Unable to undo temporarily"), this, 2000);
    return;
  }
  if (_isTipOnScreen())
    return;
  if (_canvasWidget) {
    _canvasWidget->undo();
    return;
  }
  undoRedoOperation(true);
}

void MainWindow::onActionRedoTriggered()
{
  if (_isPreviewFullscreen() || _isExporting())
    return;
  if (_textEditWidget || _cropWidget) {
    ProgressHUD::showTextMessage(tr("Unable to redo temporarily"), this, 2000);
    return;
  }
  if (_isTipOnScreen() || _canvasWidget)
    return;
  undoRedoOperation(false);
}

void MainWindow::onActionEnterExitRangeSelect()
{
  if (_isPreviewFullscreen() || _isInPlaceEditing() || _copyingMedia || _isPopupShown() || _isTipOnScreen()
      || _isExporting() || !_editScrollArea)
    return;
  if (_editScrollArea->rangeSelectionMode)
    _exitRangeSelection();
  else
    _enterRangeSelection();
}

void MainWindow::onActionInsertOverwriteMode()
{
  if (_isPreviewFullscreen() || _isInPlaceEditing())
    return;
  _toggleSegmentOverwriteMode();
}

void MainWindow::onActionEnterExitEditingSegmentTriggered()
{
  if (!_editScrollArea || _isExporting())
    return;
  if (SegmentWidget *edited = _editScrollArea->editingSegmentWidget()) {
    if (_gutter && _gutter->isHidden())
      edited->setEditingState(false, true);
    return;
  }
  SegmentWidget *selected = _editScrollArea->selectedSegmentWidget();
  if (selected && !(_gutter && _gutter->graphicsEffect()))
    selected->setEditingState(!selected->isEditing(), true);
}

void MainWindow::onActionEnterExitEditingTransitionTriggered()
{
  if (_isPreviewFullscreen() || _isExporting() || !_editScrollArea)
    return;
  if (isEditingTransitions()) {
    endTransitionMode();
    return;
  }
  if (!_editScrollArea->isEditingSegment()) {
    SegmentWidget *selected = _editScrollArea->selectedSegmentWidget();
    if (!selected)
      return;
    selected->setEditingState(!selected->isEditing(), true);
    // Bounded: a block that never takes the editing state must not hang the window.
    QElapsedTimer waited;
    waited.start();
    while (_gutter && _gutter->isVisible() && waited.elapsed() < GutterWaitMs)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  _startTransitionMode();
}

void MainWindow::onActionDuplicateSegmentTriggered()
{
  if (_isPreviewFullscreen() || isEditingTransitions() || _isExporting())
    return;
  if (SegmentWidget *target = commandTarget(_editScrollArea))
    editScrollArea_copySegment(target->segment());
}

void MainWindow::onActionRemoveSegmentTriggered()
{
  if (_isPreviewFullscreen() || isEditingTransitions() || _isExporting() || !_editScrollArea)
    return;
  if (SegmentWidget *edited = _editScrollArea->editingSegmentWidget()) {
    edited->setEditingState(false, true);
    _removeSegmentWidgetWhenReady(edited);
  } else if (SegmentWidget *selected = _editScrollArea->selectedSegmentWidget()) {
    _removeSegmentWidgetWhenReady(selected);
  }
}

void MainWindow::onActionSplitSegmentTriggered()
{
  if (_isPreviewFullscreen() || isEditingTransitions() || _isExporting())
    return;
  QTimer::singleShot(10, this, [this] {
    if (_isExporting())
      return;
    if (SegmentWidget *target = commandTarget(_editScrollArea))
      editScrollArea_splitSegment(target->segment());
  });
}

void MainWindow::_chosenTransitionCommand(int cmdId)
{
  if (_isPreviewFullscreen() || !isEditingTransitions() || _isExporting() || !_editScrollArea)
    return;
  SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
  if (edited && edited->transitionId() > 0)
    _transitionCommand(cmdId);
}

void MainWindow::onActionDuplicateTransitionTriggered()
{
  _chosenTransitionCommand(10102);
}

void MainWindow::onActionDeleteTransitionTriggered()
{
  _chosenTransitionCommand(10103);
}

void MainWindow::onActionEditTextTriggered()
{
  if (!_isExporting())
    _editTextOrDrawing();
}

void MainWindow::onActionEditDrawingTriggered()
{
  onActionEditTextTriggered();
}

void MainWindow::onZoomIn()
{
  if (_zoomSlider && _zoom < MaxZoom)
    _zoomSlider->setValue(int(_zoom * 10 + 2));
}

void MainWindow::onZoomOut()
{
  if (_zoomSlider && _zoom > MinZoom)
    _zoomSlider->setValue(int(_zoom * 10 - 2));
}

void MainWindow::onZoomSliderValueChanged(int value)
{
  const float zoom = value / 10.0f;
  if (zoom == _zoom)
    return;
  if (_engine)
    _engine->pause();
  _setTimelineScale(zoom);
}

void MainWindow::onSegmentEditingStateChanged()
{
  // Nothing is added while a block is edited or the composition is being exported.
  const bool idle = !(_editScrollArea && _editScrollArea->isEditingSegment()) && !_isExporting();
  for (QAction *action : {_actions.addFile, _actions.addFromCamera, _actions.addFromMicrophone, _actions.addText,
                          _actions.addSelfDraw})
    action->setEnabled(idle);
  _updateRangeSelectionAction();
  _actions.rangeSelect->setEnabled(idle);
  _updateEditAction();
  _updateSegmentActions();
  _updateAddTransitionAction();
  _updateEditTransitionsAction();
}

void MainWindow::onTransitionEditingStateChanged()
{
  _updateSegmentActions();
  SegmentWidget *edited = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  const bool chosen = edited && edited->transitionId() > 0;
  _actions.duplicateTransition->setEnabled(chosen);
  _actions.deleteTransition->setEnabled(chosen);
  _updateAddTransitionAction();
  _updateEditTransitionsAction();
}
