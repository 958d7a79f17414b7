// Undo and redo on the open window: a snapshot of every segment's properties replaces the
// project's segments, and the tracks, blocks, engine segments and selection follow it; what did
// not change is kept.

#include "mainwindow.h"

#include "animationswitch.h"
#include "avengine.h"
#include "beeper.h"
#include "commonpopup.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "scrollabletoolbar.h"
#include "segmentfactory.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "trackwidget.h"

#include <QSet>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int IdleRetryMs = 100;
constexpr float TransitionTolerance = 0.01f;

// What was edited before the rebuild, found again by the segment's persistent identity.
struct RememberedSelection
{
  bool transitionTools = false;
  QString editedUId;
  int transitionId = 0;
  float transitionStart = 0;
  float transitionDuration = 0;
  QHash<QString, QVariant> toolBarOffsets;
  int toolBarCommand = 0;
  QPoint scrollPosition;
  int trackTag = 0;
};

bool near(float a, float b)
{
  return std::abs(a - b) <= TransitionTolerance;
}

} // namespace

void MainWindow::undoRedoOperation(bool undo)
{
  // The rebuild's engine calls must not race the playback threads.
  if (_engine && !_engine->isIdle()) {
    QTimer::singleShot(IdleRetryMs, this, [this, undo] { undoRedoOperation(undo); });
    return;
  }
  std::unique_ptr<PropertyMapList> snapshot = undo ? _projectManager->undo() : _projectManager->redo();
  if (!snapshot) {
    ProgressHUD::showTextMessage(undo ? tr("No operation to undo") : tr("No operation to redo"), this, 2000);
    Beeper::beep();
    return;
  }
  _applySnapshot(*snapshot);
}

TrackWidget *MainWindow::_addTrackForType(const QString &type)
{
  _addTrack();
  TrackWidget *track = _lastTrackWidget;
  track->setType(type);
  if (_gutter)
    _gutter->setTrackType(track->tag(), type);
  return track;
}

void MainWindow::_applySnapshot(PropertyMapList &snapshot)
{
  AnimationsOff animationsOff;

  RememberedSelection kept;
  kept.transitionTools = isEditingTransitions();
  kept.toolBarCommand = _selectedToolBarCommand;
  kept.trackTag = _currentTrackTag;
  saveToolBarOffsets(kept.toolBarOffsets);
  SegmentWidget *editing = _editScrollArea->editingSegmentWidget();
  if (editing && editing->segment()) {
    Segment *segment = editing->segment();
    kept.editedUId = segment->uid();
    kept.transitionId = editing->transitionId();
    if (kept.transitionId > 0) {
      kept.transitionStart = segment->transitionStart(kept.transitionId);
      kept.transitionDuration = segment->transitionDuration(kept.transitionId);
    }
    editing->setEditingState(false, false);
  }
  _selectedToolBarCommand = 0;
  kept.scrollPosition = _editScrollArea->contentOffset();

  // Rows are taken again in order, and a segment that comes back on the same row keeps its
  // block: a step rebuilds only what changed. Each row still gets a fresh tag and gutter button.
  QList<TrackWidget *> rows;
  for (int i = 0; i < _editScrollArea->trackCount(); ++i)
    rows << _editScrollArea->trackWidgetAt(i);
  int rowsTaken = 0;
  if (_gutter)
    _gutter->removeAllTrackButtons();
  _lastTrackWidget = nullptr;
  _projectManager->resetTrackIds();
  SegmentWidget *selected = _editScrollArea->selectedSegmentWidget();
  QHash<QString, int> indexOfUId;
  for (int i = _projectManager->segmentCount() - 1; i >= 0; --i)
    indexOfUId.insert(_projectManager->segmentAt(i)->uid(), i);

  // Old track ids map to the tracks made for them, in the order the snapshot first uses them.
  QHash<int, TrackWidget *> tracks;
  QSet<SegmentWidget *> blocksInUse;
  QList<QPair<Segment *, SegmentWidget *>> created;
  for (std::unique_ptr<PropertyMap> &map : snapshot) {
    const QString uid = map->text(QStringLiteral("UId"));
    const QString type = map->text(QStringLiteral("Type"));
    const int oldTrack = map->text(QStringLiteral("TrackId")).toInt();
    const int index = uid.isEmpty() ? -1 : indexOfUId.value(uid, -1);
    Segment *segment = nullptr;
    bool unchanged = false;
    bool sameText = false;
    if (index < 0) {
      segment = makeSegment(type, map.get(), this);
      if (!segment)
        continue;
    } else {
      segment = _projectManager->segmentAt(index);
      // Rows are renumbered whatever the step: the track id is no change of the segment.
      map->setText(QStringLiteral("TrackId"), segment->properties()->text(QStringLiteral("TrackId")));
      unchanged = *map == *segment->properties();
      // A long text is laid out again by the engine only when it changed.
      sameText = map->text(QStringLiteral("Text")) == segment->properties()->text(QStringLiteral("Text"));
      segment->setProperties(map.get());
    }
    map.release();

    TrackWidget *track = tracks.value(oldTrack);
    if (!track) {
      if (rowsTaken < rows.size()) {
        track = rows.at(rowsTaken);
        if (_gutter)
          track->setTag(_gutter->addTrackButton());
        if (track->isLocked())
          track->setLocked(false, nullptr);
        _lastTrackWidget = track;
        track->setType(type);
        if (_gutter)
          _gutter->setTrackType(track->tag(), type);
      } else {
        track = _addTrackForType(type);
      }
      ++rowsTaken;
      tracks.insert(oldTrack, track);
    }
    auto *block = index < 0 ? nullptr : static_cast<SegmentWidget *>(_projectManager->segmentWidgetAt(index));
    // A block that carries a state of its own (selected, edited, loading) is made afresh.
    const bool keep = block && block->parentWidget() == track && block != selected && !block->isEditing()
                      && !block->loadingIndicator();
    if (!keep) {
      block = track->addSegment(segment);
      block->setSegment(segment);
      _editScrollArea->connectSegmentWidget(block);
    }
    blocksInUse.insert(block);
    segment->setTrackId(track->tag());
    block->setScale(_zoom, false);
    if (index < 0) {
      created.append({segment, block});
      continue;
    }
    _projectManager->setSegmentWidgetAt(block, index);
    // The engine already holds what did not change; an open popup may have shown other values.
    if (_engine && (!unchanged || _currentPopup)) {
      const quint32 audioId = segment->audioPartId();
      for (quint32 part : {segment->id(), audioId})
        if (part)
          _engine->setSegmentStartTime(part, segment->rangeStart());
      _updateEngineSegmentRange(segment);
      if (audioId)
        _engine->setSegmentDuration(audioId, segment->duration());
      if (segment->type() == QLatin1String("TEXT") && (!sameText || _currentPopup))
        _engine->setText(segment->id(), static_cast<TextSegment *>(segment)->text().toUtf8().constData());
      _refreshSegment(segment);
    }
  }
  // Inserted after the walk, so the indexes found above stay valid during it.
  for (const auto &pair : qAsConst(created))
    _projectManager->insertSegment(pair.first, pair.second);

  // Blocks of segments that go, moved or were made afresh, and rows no longer used.
  for (int i = 0; i < rowsTaken && i < rows.size(); ++i)
    rows.at(i)->removeSegmentWidgetsExcept(blocksInUse);
  _editScrollArea->removeTracksFrom(rowsTaken);

  // Segments the snapshot does not hold kept track id 0.
  for (int i = 0; i < _projectManager->segmentCount();) {
    Segment *segment = _projectManager->segmentAt(i);
    if (segment->trackId() >= 1) {
      ++i;
      continue;
    }
    if (_engine) {
      _engine->removeSegment(segment->id());
      if (segment->audioPartId())
        _engine->removeSegment(segment->audioPartId());
    }
    _projectManager->removeSegmentAt(i);
    delete segment;
  }
  QList<QPair<Segment *, SegmentView *>> pairs;
  for (int i = 0; i < _projectManager->segmentCount(); ++i)
    pairs.append({_projectManager->segmentAt(i), _projectManager->segmentWidgetAt(i)});
  _projectManager->clearSegments();
  for (const auto &pair : qAsConst(pairs))
    _projectManager->insertSegment(pair.first, pair.second);
  if (_engine) {
    std::vector<quint32> ids(size_t(std::max(1, _projectManager->segmentCount())));
    const int count = _projectManager->layerSegmentIds(ids.data());
    _engine->setLayerOrder(ids.data(), count);
  }

  _projectManager->updateDuration();
  const float duration = _projectManager->duration();
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setScale(_zoom, duration);
  _editScrollArea->setScale(_zoom, duration);
  if (_engine)
    _engine->updateDuration();

  // The play head keeps its place on screen: the scroll position comes back before the seek.
  _editScrollArea->setContentOffset(kept.scrollPosition, false);
  _seekToTime(_playheadTime(), true);
  if (_engine)
    _engine->refresh();

  _addTrack();
  const bool hasSegments = _projectManager->segmentCount() > 0;
  if (hasSegments && kept.trackTag != 0 && _editScrollArea->trackWidgetByTag(kept.trackTag))
    _currentTrackTag = kept.trackTag;
  else if (hasSegments || kept.trackTag != 0)
    _currentTrackTag = _lastTrackWidget ? _lastTrackWidget->tag() : 0;
  else
    _currentTrackTag = 0;

  const int editedIndex = kept.editedUId.isEmpty() ? -1 : _projectManager->indexOfSegmentUId(kept.editedUId);
  if (editedIndex >= 0) {
    Segment *segment = _projectManager->segmentAt(editedIndex);
    auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetAt(editedIndex));
    _restoringSelection = true;
    _editScrollArea->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    _restoringSelection = false;
    if (kept.toolBarCommand) {
      if (_segmentToolBar)
        _segmentToolBar->setButtonSelected(kept.toolBarCommand, true);
      _selectedToolBarCommand = kept.toolBarCommand;
    }
    if (kept.transitionTools) {
      _showTransitionTools();
      _editScrollArea->hideTrimBars();
      _hideTransformWidget();
      if (kept.transitionId > 0 && block->transitionId() <= 0) {
        for (int position = 0; position < segment->transitionCount(); ++position) {
          const int id = segment->transitionIdAt(position);
          if (near(segment->transitionStart(id), kept.transitionStart)
              && near(segment->transitionDuration(id), kept.transitionDuration)) {
            block->setTransitionId(id);
            updateTransitionTools();
            break;
          }
        }
      }
    }
    restoreToolBarOffsets(kept.toolBarOffsets);
  }

  _editScrollArea->setContentOffset(kept.scrollPosition, false);
  _projectManager->setModified(true);
  if (_currentPopup)
    _currentPopup->dismiss();
  if (_editScrollArea->rangeSelectionMode)
    _editScrollArea->updateSelectionRange();
}
