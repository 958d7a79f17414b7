// The segment inspector's one-click requests on the edited segment: the tool strip's commands,
// turns, flips and the crop,
// which act on the edited transition state while one is edited; the requests bound to one
// segment type; and choosing, entering and leaving the transitions.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segment.h"
#include "segmentwidget.h"
#include "trackwidget.h"

#include <QTimer>

namespace {

constexpr int FirstTransitionDelayMs = 200;

bool hasType(const SegmentWidget *block, const char *type)
{
  return block && block->segment() && block->segment()->type() == QLatin1String(type);
}

} // namespace

void MainWindow::_segmentOrTransitionCommand(int segmentCmdId, int transitionCmdId)
{
  if (_isTransitionStateEdited())
    _transitionCommand(nullptr, transitionCmdId);
  else
    _segmentCommand(nullptr, segmentCmdId);
}

// The inspector's requests on the edited segment are the segment tool strip's commands, so
// they work in transition editing too, where the menu's commands refuse.
void MainWindow::_segmentEditingDidFinish()
{
  _segmentCommand(nullptr, 10001);
}

void MainWindow::_segmentEditingDuplicateSegment()
{
  _segmentCommand(nullptr, 10010);
}

void MainWindow::_segmentEditingRemoveSegment()
{
  _segmentCommand(nullptr, 10011);
}

void MainWindow::_segmentEditingSplitSegment()
{
  _segmentCommand(nullptr, 10020);
}

void MainWindow::_segmentEditingSelectFont()
{
  _segmentCommand(nullptr, 10016);
}

void MainWindow::_segmentEditingMaintainAspectRatio()
{
  _maintainAspectRatio();
}

void MainWindow::_segmentEditingRestoreDefault()
{
  _restoreDefault();
}

void MainWindow::_segmentEditingCrop()
{
  _segmentOrTransitionCommand(10024, 10114);
}

void MainWindow::_segmentEditingRotateClockwise()
{
  _segmentOrTransitionCommand(10006, 10107);
}

void MainWindow::_segmentEditingRotateCounterClockwise()
{
  _segmentOrTransitionCommand(10007, 10108);
}

void MainWindow::_segmentEditingFlipHorizontal()
{
  _segmentOrTransitionCommand(10008, 10109);
}

void MainWindow::_segmentEditingFlipVertical()
{
  _segmentOrTransitionCommand(10009, 10110);
}

void MainWindow::_changeEditedPicture()
{
  // No insertion target: the chosen picture replaces the edited one.
  _insertTrack = nullptr;
  _insertTrackTag = 0;
  _addMediaFileFromDialog(2);
}

void MainWindow::_segmentEditingEditPicture()
{
  if (hasType(_editedBlock(), "IMAGE"))
    _changeEditedPicture();
}

// The edited segment itself, whether or not the preview shows its overlay at the play head.
void MainWindow::_segmentEditingEditText()
{
  SegmentWidget *block = _editedBlock();
  if (hasType(block, "TEXT"))
    _beginTextEditing(block->segment());
}

void MainWindow::_segmentEditingEditDrawing()
{
  SegmentWidget *block = _editedBlock();
  if (hasType(block, "DRAWING"))
    _beginDrawing(block->segment());
}

void MainWindow::_segmentEditingVideoGrabImage()
{
  SegmentWidget *block = _editedBlock();
  if (hasType(block, "MOVIE"))
    editScrollArea_grabSegmentScreen(block->segment());
}

void MainWindow::_segmentEditingEnterEditTransition()
{
  if (_editScrollArea)
    _editScrollArea->hideTrimBars();
  _hideTransformWidget();
  // Not when transition editing ended meanwhile: that choice would start it again.
  QTimer::singleShot(FirstTransitionDelayMs, this, [this] {
    if (isEditingTransitions())
      _selectFirstTransition();
  });
  emit transitionEditingStateChanged();
}

void MainWindow::_segmentEditingExitEditTransition()
{
  SegmentWidget *block = _editedBlock();
  if (!block || !block->segment())
    return;
  block->setTransitionId(0);
  _editScrollArea->reloadTrimBars();
  Segment *segment = block->segment();
  if (segment->isBeforeFirstTransition(_playheadTime()))
    _reloadTransformWidget(segment);
  else
    _hideTransformWidget();
  emit transitionEditingStateChanged();
}

int MainWindow::_segmentEditingSetTransitionSide(int beginOrEnd)
{
  SegmentWidget *block = _editedBlock();
  const int id = block ? block->transitionId() : 0;
  if (id > 0)
    editScrollArea_seekToTransition(id, beginOrEnd != 0);
  return id;
}

void MainWindow::_segmentEditingSelectTransitionAtIndex(int index)
{
  SegmentWidget *block = _editedBlock();
  if (!block || !block->segment())
    return;
  Segment *segment = block->segment();
  const int id = index >= 0 && index < segment->transitionCount() ? segment->transitionIdAt(index) : 0;
  _segmentEditingSelectTransition(id);
}

void MainWindow::_segmentEditingSelectTransition(int id)
{
  SegmentWidget *block = _editedBlock();
  if (!block)
    return;
  block->setTransitionId(qMax(id, 0));
  if (id < 1) {
    updateTransitionTools();
    _hideTransformWidget();
  }
}
