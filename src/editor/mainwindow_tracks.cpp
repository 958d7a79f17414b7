// Track placement and range commits: the model, the engine and the blocks kept in step when a
// track is added or a segment's range changes.

#include "mainwindow.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "segmentwidget.h"
#include "soundsegment.h"
#include "trackwidget.h"
#include "util.h"

#include <QTimer>

namespace {

constexpr float RangeTolerance = 0.001f;

} // namespace

void MainWindow::_addTrack()
{
  TrackWidget *track = _editScrollArea->addTrack(_zoom, _projectManager->duration());
  _lastTrackWidget = track;
  if (_gutter)
    track->setTag(_gutter->addTrackButton());
}

void MainWindow::_claimLastTrack(TrackWidget *track, const QString &type)
{
  if (_gutter)
    _gutter->setTrackType(track->tag(), type);
  track->setType(type);
  _addTrack();
}

void MainWindow::_moveBlock(Segment *segment, TrackWidget *source, TrackWidget *dest, float time)
{
  source->removeSegment(segment, false);
  segment->setTrackId(dest->tag());
  segment->setRangeStart(time);
  if (_engine) {
    _engine->setSegmentStartTime(segment->id(), time);
    if (segment->audioPartId())
      _engine->setSegmentStartTime(segment->audioPartId(), time);
  }
  SegmentWidget *block = dest->addSegment(segment);
  block->setScale(_zoom, false);
  _projectManager->removeSegment(segment);
  _projectManager->insertSegment(segment, block);
  _editScrollArea->connectSegmentWidget(block);
  _sendLayerOrder();
  _updateDurationAndRescale();
  if (source != dest)
    _removeTrackIfEmpty(source);
}

void MainWindow::_placeLengthsFromFiles()
{
  if (_lengthsFromFiles.isEmpty() || !_projectManager)
    return;
  // The rows as they are, the blocks whose length is still unknown included: those stay.
  TrackPlacement::Rows rows;
  for (int i = 0; i < _editScrollArea->trackCount(); ++i) {
    const TrackWidget *track = _editScrollArea->trackWidgetAt(i);
    if (track->type().isEmpty())
      rows.reserveKey(track->tag());
    else
      rows.addRow(track->tag(), track->type());
  }
  QList<Segment *> known;
  for (int i = 0; i < _projectManager->segmentCount(); ++i) {
    Segment *segment = _projectManager->segmentAt(i);
    const double start = segment->rangeStart();
    const double length = segment->duration();
    if (length > 0 && segment->error() == SegmentNoError && _lengthsFromFiles.contains(segment->id()))
      known << segment;
    else
      rows.addBlock(segment->trackId(), start, start + length);
  }
  // Moving a block marks the project modified; its file keeps what it holds until the user saves.
  const bool modified = _projectManager->isModified();
  for (Segment *segment : qAsConst(known)) {
    const bool counted = _lengthsFromFiles.take(segment->id());
    if (_placeLoadedBlock(segment, rows) && !counted)
      ++_segmentsMoved;
  }
  _projectManager->setModified(modified);
}

bool MainWindow::_placeLoadedBlock(Segment *segment, TrackPlacement::Rows &rows)
{
  TrackWidget *source = _trackOf(segment);
  const float start = segment->rangeStart();
  const float length = segment->duration();
  const TrackPlacement::Rows::Spot spot = rows.spotAt(segment->trackId(), segment->type(), start, length);
  TrackWidget *dest = nullptr;
  if (spot.newRow) {
    if (!_lastTrackWidget || !_lastTrackWidget->type().isEmpty())
      _addTrack();
    dest = _lastTrackWidget;
    _claimLastTrack(dest, segment->type());
    rows.addRow(dest->tag(), segment->type());
  } else {
    dest = _editScrollArea->trackWidgetByTag(spot.key);
  }
  const float time = spot.after ? float(spot.start) : start;
  rows.addBlock(dest ? dest->tag() : spot.key, time, time + length);
  if (!source || !dest || (dest == source && time == start))
    return false;
  _moveBlock(segment, source, dest, time);
  return true;
}

int MainWindow::_shiftSegmentsOnTrack(float delta, float fromTime, int trackId, bool animated)
{
  return _shiftSegmentsOnTracks(delta, fromTime, {trackId}, animated);
}

int MainWindow::_shiftSegmentsOnTracks(float delta, float fromTime, const QSet<int> &trackIds, bool animated)
{
  // One pass for all rows: a segment's row is parsed from its properties on every read.
  int moved = 0;
  for (int i = 0; i < _projectManager->segmentCount(); ++i) {
    Segment *segment = _projectManager->segmentAt(i);
    if (!trackIds.contains(segment->trackId()) || segment->rangeStart() <= fromTime)
      continue;
    segment->setRangeStart(segment->rangeStart() + delta);
    if (_engine) {
      _engine->setSegmentStartTime(segment->id(), segment->rangeStart());
      if (segment->audioPartId())
        _engine->setSegmentStartTime(segment->audioPartId(), segment->rangeStart());
    }
    if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetAt(i)))
      block->setScale(_zoom, animated);
    ++moved;
  }
  return moved;
}

void MainWindow::_saveRange(Segment *segment)
{
  _savedRanges.insert(segment->id(), {segment->rangeStart(), segment->rangeStart() + segment->duration()});
}

bool MainWindow::_commitSegmentRangeChange(Segment *segment, bool forceInsert)
{
  const float start = segment->rangeStart();
  const float end = start + segment->duration();
  // A segment never saved has nothing to commit against.
  const QPair<float, float> saved = _savedRanges.value(segment->id(), {start, end});
  if (start == saved.first && end == saved.second) {
    _saveRange(segment);
    return false;
  }
  const quint32 id = segment->id();
  const quint32 audioId = segment->audioPartId();
  if (_projectManager->segmentMode() == 0 || forceInsert) {
    if (Util::compareWithTolerance(start, saved.first, RangeTolerance) != 0) {
      // The left edge moved: the segment keeps its place, what follows closes up.
      const float back = saved.first - start;
      segment->setRangeStart(start + back);
      if (_engine) {
        _engine->setSegmentStartTime(id, segment->rangeStart());
        if (audioId)
          _engine->setSegmentStartTime(audioId, segment->rangeStart());
      }
      if (_editScrollArea->trackWidgetByTag(segment->trackId()))
        if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
          block->setScale(_zoom, true);
      _shiftSegmentsOnTrack(back, segment->rangeStart(), segment->trackId(), true);
    }
    if (Util::compareWithTolerance(end, saved.second, RangeTolerance) != 0)
      _shiftSegmentsOnTrack(end - saved.second, segment->rangeStart(), segment->trackId(), true);
  } else {
    _overwriteTrackRange(_editScrollArea->trackWidgetByTag(segment->trackId()), start, end - start, segment);
  }

  if (_engine) {
    const QString type = segment->type();
    if (type == QLatin1String("MOVIE")) {
      auto *movie = static_cast<MovieSegment *>(segment);
      for (quint32 part : {id, audioId}) {
        _engine->setSegmentRangeStart(part, movie->trimStart());
        _engine->setSegmentRangeDuration(part, movie->trimDuration());
      }
    } else if (type == QLatin1String("MUSIC") || type == QLatin1String("VOICE")) {
      auto *sound = static_cast<SoundSegment *>(segment);
      _engine->setSegmentRangeStart(id, sound->trimStart());
      _engine->setSegmentRangeDuration(id, sound->trimDuration());
    }
    for (quint32 part : {id, audioId}) {
      if (!part)
        continue;
      _engine->setSegmentStartTime(part, segment->rangeStart());
      _engine->setSegmentDuration(part, segment->duration());
    }
    _engine->updateDuration();
  }

  const float oldDuration = _projectManager->duration();
  _projectManager->updateDuration();
  const float duration = _projectManager->duration();
  if (duration != oldDuration) {
    if (_hooks.rulerScrollArea)
      _hooks.rulerScrollArea->setScale(_zoom, duration);
    _editScrollArea->setScale(_zoom, duration);
  }
  QTimer::singleShot(500, this, [this] {
    if (_engine)
      _engine->refresh();
  });
  _projectManager->setModified(true);
  _saveRange(segment);
  return true;
}

void MainWindow::_recordOperation()
{
  if (_projectManager->recordOperation(_projectName, _projectFolder) != 0)
    ProgressHUD::showTextMessage(tr("Failed to record operation"), this, 2000);
}
