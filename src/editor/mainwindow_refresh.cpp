// Brings the actions, the play button, the insert/overwrite button and the two tool bars into
// line with the editing situation. Every helper only reads the state, so calling it twice is
// harmless.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "tooltipbutton.h"

#include <QAction>
#include <QPushButton>

namespace {

void enableButtons(ScrollableToolBar *toolbar, std::initializer_list<int> ids, bool enabled)
{
  for (int id : ids)
    if (TooltipButton *button = toolbar->button(id))
      button->setEnabled(enabled);
}

void selectButton(ScrollableToolBar *toolbar, int id, bool selected)
{
  if (TooltipButton *button = toolbar->button(id))
    button->setSelected(selected);
}

} // namespace

bool MainWindow::_isInPlaceEditing() const
{
  return _textEditWidget || _canvasWidget || _cropWidget;
}

// (editing or selected) and not ranging and not in-place editing.
static bool canEditSelection(EditScrollArea *area, bool inPlaceEditing)
{
  if (!area)
    return false;
  return (area->isEditingSegment() || area->selectedSegmentWidget()) && !area->rangeSelectionMode && !inPlaceEditing;
}

void MainWindow::_updateAddTransitionAction()
{
  _actions.addTransition->setEnabled(canEditSelection(_editScrollArea, _isInPlaceEditing()));
}

void MainWindow::_updateSegmentActions()
{
  const bool enabled = canEditSelection(_editScrollArea, _isInPlaceEditing()) && !isEditingTransitions();
  _actions.duplicateSegment->setEnabled(enabled);
  _actions.removeSegment->setEnabled(enabled);
  _actions.splitSegment->setEnabled(enabled);
}

void MainWindow::_updateEditAction()
{
  _actions.editSegment->setEnabled(canEditSelection(_editScrollArea, _isInPlaceEditing()));
  const bool editing = _editScrollArea && _editScrollArea->isEditingSegment();
  _actions.editSegment->setText(editing ? tr("Finish Editing") : tr("Edit"));
}

void MainWindow::_updateEditTransitionsAction()
{
  _actions.editTransition->setEnabled(canEditSelection(_editScrollArea, _isInPlaceEditing()));
  _actions.editTransition->setText(isEditingTransitions() ? tr("Finish Editing Transitions") : tr("Edit Transitions"));
}

void MainWindow::_updateRangeSelectionAction()
{
  // Entering range selection takes a block out of its editing state itself.
  _actions.rangeSelect->setEnabled(!_isInPlaceEditing());
  const bool ranging = _editScrollArea && _editScrollArea->rangeSelectionMode;
  _actions.rangeSelect->setText(ranging ? tr("Cancel Range Selection") : tr("Enter Range Selection"));
}

void MainWindow::_updateActions()
{
  _updateAddTransitionAction();
  _updateSegmentActions();
  _updateEditAction();
  _updateEditTransitionsAction();
  _updateRangeSelectionAction();
}

void MainWindow::_segmentEditingModeChanged()
{
  _updateActions();
  _actions.insertOverwriteMode->setEnabled(!_isInPlaceEditing());
}

void MainWindow::updatePlayPauseIcon()
{
  if (_isInPlaceEditing() || !_hooks.playPauseButton)
    return;
  _hooks.playPauseButton->setIcon(
      QIcon(_playing ? QStringLiteral(":/images/navi_pause") : QStringLiteral(":/images/navi_play")));
}

void MainWindow::_updateInsertOverwriteButton()
{
  TooltipButton *button = _hooks.segmentModeButton;
  if (!button)
    return;
  const bool overwrite = _projectManager->segmentMode() == 1;
  const QString icon = overwrite ? QStringLiteral(":/images/segment_overwrite") : QStringLiteral(":/images/segment_insert");
  button->setNormalIcon(icon);
  button->setSelectedIcon(icon + QStringLiteral("_hl"));
  const QString tip = tr("Toggle Insert/Overwrite Mode") + QLatin1Char('\n')
                      + (overwrite ? tr("Current: Overwrite mode") : tr("Current: Insert mode"));
  button->setToolTip(tip);
  button->setCustomToolTip(tip);
}

void MainWindow::_notifyPlayheadTime()
{
  updateToolsAtTime(_playheadTime());
}

void MainWindow::updateToolsAtTime(float time)
{
  ScrollableToolBar *toolbar = _segmentToolBar;
  SegmentWidget *block = _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
  if (!toolbar || !block || !block->segment())
    return;
  Segment *segment = block->segment();
  const bool overlay = _hasTransformOverlay();
  const float start = segment->rangeStart();
  const bool inRange = start <= time && time < start + segment->duration();

  enableButtons(toolbar, {10003, 10004, 10005, 10006, 10007, 10008, 10009, 10024, 10025}, overlay);
  enableButtons(toolbar, {10012, 10013, 10014, 10015, 10016, 10017, 10019, 10021, 10022, 10023, 10026, 10027, 10028},
                inRange);
  const bool volume = segment->type() == QLatin1String("MOVIE") && segment->hasAudio()
                          ? overlay
                          : segment->isBeforeFirstTransition(time);
  enableButtons(toolbar, {10018}, volume);
  if (overlay) {
    selectButton(toolbar, 10008, segment->isFlippedHorizontally());
    selectButton(toolbar, 10009, segment->isFlippedVertically());
  }
}

QString MainWindow::_easingIconName(int easing)
{
  static const char *const Names[] = {"linear",       "in_default",     "out_default", "in_out_default",
                                      "in_circular",  "out_circular",   "in_out_circular", "in_back",
                                      "out_back",     "in_out_back",    "in_elastic",  "out_elastic",
                                      "in_out_elastic", "in_bounce",    "out_bounce",  "in_out_bounce"};
  if (easing < 1 || easing > 16)
    return QString();
  return QStringLiteral(":/images/easing/easing_") + QLatin1String(Names[easing - 1]);
}

void MainWindow::updateTransitionTools()
{
  ScrollableToolBar *toolbar = _transitionToolBar;
  if (!toolbar)
    return;
  SegmentWidget *block = _editScrollArea ? _editScrollArea->selectedSegmentWidget() : nullptr;
  const int id = block ? block->transitionId() : 0;
  const int edited = _editedTransitionEnd;
  const bool chosen = id >= 1;
  enableButtons(toolbar, {10102, 10103, 10113}, chosen);
  enableButtons(toolbar, {10104, 10105, 10106, 10107, 10108, 10109, 10110, 10112, 10114, 10115}, chosen && edited >= 0);
  if (!chosen || !block->segment())
    return;
  Segment *segment = block->segment();
  if (edited >= 0) {
    const bool begin = edited != 0; // side 1 is the begin state
    selectButton(toolbar, 10109, segment->isTransitionFlippedHorizontally(id, begin));
    selectButton(toolbar, 10110, segment->isTransitionFlippedVertically(id, begin));
  }
  if (TooltipButton *easing = toolbar->button(10113)) {
    easing->setToolTip(_easingHint(segment, id));
    const QString icon = _easingIconName(segment->transitionEasingFunction(id));
    easing->setNormalIcon(icon);
    easing->setSelectedIcon(icon.isEmpty() ? QString() : icon + QLatin1Char('2'));
  }
}
