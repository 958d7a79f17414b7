// Splitting a segment at the play head into two segments on its track, either with its
// transitions shortened into both parts or with each part keeping only the transitions that lie
// inside it; and cutting a segment's transitions at a time.

#include "mainwindow.h"

#include "avengine.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "util.h"

#include <QLabel>
#include <QMenu>
#include <QMutexLocker>
#include <QTimer>
#include <QWidgetAction>

#include <memory>

namespace {

constexpr int CommitDelayMs = 200;
constexpr float SplitMargin = 0.05f;
constexpr float TimeTolerance = 0.001f;

} // namespace

void MainWindow::editScrollArea_splitSegment(Segment *segment)
{
  if (!segment || isEditingTransitions())
    return;
  const float t = _playheadTime();
  const float start = segment->rangeStart();
  const float end = start + segment->duration();
  if (start > t || t >= end || t - start <= SplitMargin || end - t <= SplitMargin) {
    ProgressHUD::showTextMessage(tr("Move timeline to the position to split"), this, 2000);
    return;
  }
  if (segment->transitionCount() == 0) {
    _splitSegmentWithTransitions(segment, t);
    return;
  }

  const QString title = tr("How to deal with the existing transition(s)?");
  QMenu menu(this);
  Util::applyPopupMenuStyleSheet(&menu);
  menu.setTitle(title);
  auto *heading = new QWidgetAction(&menu);
  auto *label = new QLabel(QStringLiteral("<font color=\"#36c8ff\"><i>%1</i></font>").arg(title.toHtmlEscaped()), &menu);
  label->setContentsMargins(10, 6, 10, 6);
  heading->setDefaultWidget(label);
  heading->setEnabled(false);
  menu.addAction(heading);
  QAction *shorten = menu.addAction(QIcon(QStringLiteral(":/images/split_behavior_0")),
                                    tr("Duplicate and shorten the transition(s)"));
  QAction *keep =
      menu.addAction(QIcon(QStringLiteral(":/images/split_behavior_1")), tr("Don't shorten the transition(s)"));
  QPoint at = QCursor::pos();
  if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
    at = block->mapToGlobal(QPoint(0, block->height()));
  const quint32 id = segment->id();
  QAction *chosen = DialogProvider::instance()->execMenu(&menu, at);
  // The segment may have gone while the menu ran.
  const int index = _projectManager->indexOfSegmentId(id);
  if (!chosen || index < 0)
    return;
  segment = _projectManager->segmentAt(index);
  if (chosen == shorten)
    _splitSegment(segment, _playheadTime());
  else if (chosen == keep)
    _splitSegmentWithTransitions(segment, _playheadTime());
}

void MainWindow::_splitSegment(Segment *segment, float time)
{
  _splitSegmentAt(segment, time, false);
}

void MainWindow::_splitSegmentWithTransitions(Segment *segment, float time)
{
  _splitSegmentAt(segment, time, true);
}

void MainWindow::_splitSegmentAt(Segment *segment, float time, bool keepTransitionTimes)
{
  if (!segment)
    return;
  const float s = segment->rangeStart();
  const float d = segment->duration();
  const float o = time - s;

  // The range commit afterwards pulls the new part and the later segments back by what the
  // tail lost; it must do so in overwrite mode too, or the split would move the rest of the track.
  _forcedInsertCommitId = segment->id();
  if (SegmentWidget *editing = _editScrollArea->editingSegmentWidget()) {
    editing->setEditingState(false, true);
  } else {
    _saveRange(segment);
    const quint32 id = segment->id();
    QTimer::singleShot(CommitDelayMs, this, [this, id] {
      const int index = _projectManager->indexOfSegmentId(id);
      if (index >= 0)
        _commitSegmentRangeChange(_projectManager->segmentAt(index), _forcedInsertCommitId == id);
      if (_forcedInsertCommitId == id)
        _forcedInsertCommitId = 0;
    });
  }

  TrackWidget *track = _editScrollArea->trackWidgetByTag(segment->trackId());
  if (!track)
    return;
  _recordOperation();

  std::unique_ptr<QMutexLocker> lock;
  if (keepTransitionTimes) {
    _splitting = true;
    lock = std::make_unique<QMutexLocker>(&_splitMutex);
  }
  Segment *copy = _cloneSegment(segment, s + d - o);
  if (!copy) {
    _lastSplitPieceId = 0;
    _splitting = false;
    return;
  }
  QList<QPair<float, float>> copyTransitions;
  if (keepTransitionTimes)
    copyTransitions = _removeTransitionsBefore(s + d, copy);
  float head = s + d;
  copy->moveLeftEdge(&head);
  if (keepTransitionTimes)
    _updateTransitionTimes(copyTransitions, copy);

  SegmentWidget *block = track->addSegment(copy);
  copy->setTrackId(track->tag());
  block->setScale(_zoom, false);
  _shiftSegmentsOnTrack(d - o, s, segment->trackId(), true);
  _projectManager->insertSegment(copy, block);
  _editScrollArea->connectSegmentWidget(block);
  if (_editScrollArea->isEditingSegment())
    block->setActive(false, true);
  _updateEngineSegmentRange(copy);

  QList<QPair<float, float>> ownTransitions;
  if (keepTransitionTimes)
    ownTransitions = _removeTransitionsAfter(time, segment);
  float tail = time;
  segment->moveRightEdge(&tail);
  if (auto *own = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
    own->setScale(_zoom, false);
  _updateEngineSegmentRange(segment);
  if (keepTransitionTimes) {
    _updateTransitionTimes(ownTransitions, segment);
    // The new part goes on from where the split segment's last transition ended.
    const int count = segment->transitionCount();
    if (count > 0) {
      copy->copyUserPropertiesFromTransition(segment->transitionIdAt(count - 1), segment, false);
      _applyLayerPropertiesToEngine(copy);
    }
  }
  _lastSplitPieceId = copy->id();
  _splitting = false;
}

// Transition ids are list positions: each removal renumbers the engine's later groups down by one.
QList<QPair<float, float>> MainWindow::_removeTransitionsMatching(Segment *segment,
                                                                  const std::function<bool(float, float)> &keep)
{
  QList<QPair<float, float>> kept;
  const float origin = segment->rangeStart();
  int id = 1;
  while (id <= segment->transitionCount()) {
    const float start = origin + segment->transitionStart(id);
    const float duration = segment->transitionDuration(id);
    if (keep(start, duration)) {
      kept << qMakePair(start, duration);
      ++id;
      continue;
    }
    const int count = segment->transitionCount();
    segment->removeTransition(id);
    if (_engine) {
      for (quint32 engineId : {segment->id(), segment->audioPartId()}) {
        if (!engineId)
          continue;
        _engine->removeTransition(engineId, uint32_t(id));
        for (int later = id; later < count; ++later)
          _engine->changeTransitionId(engineId, uint32_t(later + 1), uint32_t(later));
      }
    }
  }
  return kept;
}

QList<QPair<float, float>> MainWindow::_removeTransitionsBefore(float time, Segment *segment)
{
  return _removeTransitionsMatching(segment, [time](float start, float) {
    return Util::compareWithTolerance(start, time, TimeTolerance) >= 0;
  });
}

QList<QPair<float, float>> MainWindow::_removeTransitionsAfter(float time, Segment *segment)
{
  return _removeTransitionsMatching(segment, [time](float start, float duration) {
    return Util::compareWithTolerance(start + duration, time, TimeTolerance) <= 0;
  });
}
