// Range selection: marking a stretch of time across the tracks between the play head and a
// second pointer, and the command bar's delete and insert-blank over that stretch.

#include "mainwindow.h"

#include "animationswitch.h"
#include "avengine.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "selectionoperationwidget.h"
#include "trackwidget.h"
#include "util.h"

#include <QGraphicsOpacityEffect>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr float LeftMargin = 60;
constexpr int PointerWidth = 52;
constexpr int SeekDelayMs = 250;
constexpr float FrameTolerance = 1.0f / 30;

} // namespace

void MainWindow::selectionOperationWidget_onCommandClicked(SelectionOperationWidget *widget, int cmdId)
{
  Q_UNUSED(widget)
  if (cmdId == 0)
    _exitRangeSelection();
  else
    _rangeSelectionCommand(cmdId);
}

void MainWindow::_rangeSelectionCommand(int cmdId)
{
  if (cmdId == 1)
    _insertBlankInSelectedRange();
  else if (cmdId == 2)
    _deleteSelectedRange();
}

void MainWindow::_enterRangeSelection()
{
  if (!_editScrollArea || _editScrollArea->rangeSelectionMode || _isInPlaceEditing())
    return;
  if (SegmentWidget *block = _editScrollArea->editingSegmentWidget()) {
    block->setEditingState(false, true);
    if (_gutter)
      _gutter->hide();
  } else if (_gutter) {
    _fadeGutterOut(200);
  }
  if (_playheadPointer)
    _playheadPointer->setPointerStyle(2);

  const float t = _playheadTime();
  if (!_rangeStartPointer && _playheadPointer) {
    _rangeStartPointer = new PointerWidget(3, _playheadPointer->headRect().height(), _playheadPointer->parentWidget());
    _rangeStartPointer->setObjectName(QStringLiteral("rangeStartPointer"));
    _rangeStartPointer->setStyleSheet(QStringLiteral("background-color: transparent;"));
    _rangeStartPointer->setFixedWidth(PointerWidth);
    _rangeStartPointer->setCenterX(LeftMargin + _playheadX, false);
    _rangeStartPointer->show();
    _playheadPointer->raise();
    _layoutPointers();
  }

  _editScrollArea->setSelectedSegmentWidget(nullptr);
  _editScrollArea->rangeSelectionMode = true;
  _editScrollArea->selectionStart = t;
  _editScrollArea->selectionEnd = t;
  _editScrollArea->updateSelectionRange();
  _editScrollArea->setSegmentsEditable(false);

  // The range starts on a block edge when one lies within snapping distance; the play head stays.
  const float a = _editScrollArea->alignTimeAcrossTracks(t);
  if (a != t) {
    if (_rangeStartPointer)
      _rangeStartPointer->setCenterX(PixelsPerSecond * _zoom * a - _editScrollArea->horizontalOffset() + LeftMargin,
                                     false);
    _editScrollArea->selectionStart = a;
    _editScrollArea->updateSelectionRange();
  }

  if (auto *next = findChild<QPushButton *>(QStringLiteral("nextPosButton")))
    next->setEnabled(false);

  if (!_selectionOperationWidget && centralWidget()) {
    auto *bar = new SelectionOperationWidget(centralWidget());
    _selectionOperationWidget = bar;
    bar->updatePosition(centralWidget());
    bar->show();
    bar->raise();
    if (isAnimationEnabled())
      Util::fadeInWidget(bar, 200, 1.0f);
    connect(bar, &SelectionOperationWidget::selectionOperationWidgetCommandClicked, this,
            &MainWindow::selectionOperationWidget_onCommandClicked);
  }
  _updateActions();
}

void MainWindow::_exitRangeSelection()
{
  if (!_editScrollArea || !_editScrollArea->rangeSelectionMode)
    return;
  if (_gutter) {
    if (isAnimationEnabled()) {
      _fadeGutterIn(200, {});
    } else {
      _finishPendingGutterFade();
      _gutter->setGraphicsEffect(nullptr);
      _gutter->show();
    }
  }
  if (_playheadPointer)
    _playheadPointer->setPointerStyle(0);
  _setPlayheadTime(_playheadTime(), true);
  if (_rangeStartPointer) {
    _rangeStartPointer->hide();
    _rangeStartPointer->deleteLater();
    _rangeStartPointer = nullptr;
  }
  _editScrollArea->rangeSelectionMode = false;
  _editScrollArea->selectionStart = 0;
  _editScrollArea->selectionEnd = 0;
  _editScrollArea->clearSelection();
  _editScrollArea->setSegmentsEditable(true);
  if (auto *next = findChild<QPushButton *>(QStringLiteral("nextPosButton")))
    next->setEnabled(true);
  if (_selectionOperationWidget) {
    _selectionOperationWidget->hide();
    _selectionOperationWidget->deleteLater();
    _selectionOperationWidget = nullptr;
  }
  _updateActions();
}

void MainWindow::_deleteSelectedRange()
{
  if (!_editScrollArea)
    return;
  if (!_editScrollArea->hasSelectionOnAnyTrack()) {
    _exitRangeSelection();
    return;
  }
  const float start = std::min(_editScrollArea->selectionStart, _editScrollArea->selectionEnd);
  const float length = std::abs(_editScrollArea->selectionEnd - _editScrollArea->selectionStart);
  _recordOperation();

  // Rows are independent: every selected row is cleared, then all close up in one pass.
  QList<TrackWidget *> selected;
  QSet<int> selectedTags;
  for (int i = 0; i < _editScrollArea->trackCount(); ++i) {
    TrackWidget *track = _editScrollArea->trackWidgetAt(i);
    if (!track->hasSelection())
      continue;
    _overwriteTrackRange(track, start, length, nullptr);
    selected << track;
    selectedTags.insert(track->tag());
  }
  if (_projectManager->segmentMode() == 0)
    _shiftSegmentsOnTracks(-length, start, selectedTags, true);
  QSet<int> occupied;
  for (int i = 0; i < _projectManager->segmentCount(); ++i)
    occupied.insert(_projectManager->segmentAt(i)->trackId());
  QList<TrackWidget *> emptied;
  for (TrackWidget *track : qAsConst(selected))
    if (!occupied.contains(track->tag()))
      emptied << track;
  if (!emptied.isEmpty()) {
    QList<int> tags;
    for (TrackWidget *track : qAsConst(emptied))
      tags << track->tag();
    if (_gutter)
      _gutter->removeTrackButtons(tags);
    _editScrollArea->removeTracks(emptied);
  }
  _exitRangeSelection();
  _updateDurationAndRescale();
  // The seek waits until the rows have moved.
  QTimer::singleShot(SeekDelayMs, this, [this] { _seekToTime(_playheadTime(), false); });
  _projectManager->setModified(true);
}

void MainWindow::_insertBlankInSelectedRange()
{
  if (!_editScrollArea)
    return;
  if (_editScrollArea->hasSelectionOnAnyTrack()) {
    const float start = std::min(_editScrollArea->selectionStart, _editScrollArea->selectionEnd);
    const float length = std::abs(_editScrollArea->selectionEnd - _editScrollArea->selectionStart);
    _recordOperation();
    for (int i = 0; i < _editScrollArea->trackCount(); ++i) {
      TrackWidget *track = _editScrollArea->trackWidgetAt(i);
      if (!track->hasSelection())
        continue;
      // A segment under the start is pushed whole past the blank, never cut.
      auto *covering = static_cast<SegmentWidget *>(_projectManager->segmentWidgetAtTime(start, track->tag()));
      if (covering && covering->segment()) {
        const float s = covering->segment()->rangeStart();
        _shiftSegmentsOnTrack(start - s + length, s - FrameTolerance, track->tag(), true);
      } else {
        _shiftSegmentsOnTrack(length, start, track->tag(), true);
      }
    }
  }
  _exitRangeSelection();
  _updateDurationAndRescale();
  // The seek waits until the rows have moved.
  QTimer::singleShot(SeekDelayMs, this, [this] { _seekToTime(_playheadTime(), false); });
  _projectManager->setModified(true);
}
