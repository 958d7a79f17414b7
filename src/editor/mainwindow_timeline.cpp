// The edit area's requests: entering and leaving segment editing, trims and transition moves
// as undo steps, copies, moves, removals and track reordering in insert or overwrite mode,
// frame grabs, direction and Delete keys, the segment context menu and the easing choice.

#include "mainwindow.h"

#include "animationswitch.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avpixelbuffer.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "mediapreviewwidget.h"
#include "pointerwidget.h"
#include "popupeasingfunctionswidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "segment.h"
#include "segmentwidget.h"
#include "commonpopuphelptipwidget.h"
#include "tipmanager.h"
#include "trackwidget.h"
#include "util.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPropertyAnimation>
#include <QSlider>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr float FrameTolerance = 1.0f / 30;
constexpr int RefreshDelayMs = 500;
constexpr int MessageMs = 2000;

} // namespace

// Helpers shared by the handlers.

void MainWindow::_updateDurationAndRescale()
{
  const float oldDuration = _projectManager->duration();
  _projectManager->updateDuration();
  if (_engine)
    _engine->updateDuration();
  const float duration = _projectManager->duration();
  if (duration == oldDuration)
    return;
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setScale(_zoom, duration);
  _editScrollArea->setScale(_zoom, duration);
}

void MainWindow::_refreshEngineAfterEdit()
{
  QTimer::singleShot(RefreshDelayMs, this, [this] {
    if (_engine)
      _engine->refresh();
  });
}

void MainWindow::_sendLayerOrder()
{
  if (!_engine)
    return;
  std::vector<quint32> ids(size_t(std::max(1, _projectManager->segmentCount())));
  const int count = _projectManager->layerSegmentIds(ids.data());
  _engine->setLayerOrder(ids.data(), count);
}

TrackWidget *MainWindow::_trackOf(Segment *segment) const
{
  return segment ? _editScrollArea->trackWidgetByTag(segment->trackId()) : nullptr;
}

void MainWindow::_removeTrackIfEmpty(TrackWidget *track)
{
  if (!track || _projectManager->segmentCountOnTrack(track->tag()) > 0)
    return;
  if (_gutter)
    _gutter->removeTrackButton(track->tag());
  if (_lastTrackWidget == track)
    _lastTrackWidget = nullptr;
  _editScrollArea->removeTrackWidget(track);
}

void MainWindow::_removeSegmentFromEngine(Segment *segment)
{
  if (!_engine)
    return;
  _engine->removeSegment(segment->id());
  if (segment->audioPartId())
    _engine->removeSegment(segment->audioPartId());
}

void MainWindow::_finishPendingGutterFade()
{
  ++_gutterFadeSerial;
  const std::function<void()> pending = std::move(_gutterFadeFinished);
  _gutterFadeFinished = nullptr;
  if (pending)
    pending();
}

void MainWindow::_fadeGutterOut(int durationMs)
{
  if (!_gutter)
    return;
  _finishPendingGutterFade();
  if (durationMs <= 0 || !isAnimationEnabled()) {
    _gutter->setGraphicsEffect(nullptr);
    _gutter->hide();
    return;
  }
  Util::fadeOutWidget(_gutter, durationMs, false);
}

void MainWindow::_fadeGutterIn(int durationMs, const std::function<void()> &finished)
{
  if (!_gutter) {
    if (finished)
      finished();
    return;
  }
  _finishPendingGutterFade();
  _gutter->show();
  if (!isAnimationEnabled()) {
    _gutter->setGraphicsEffect(nullptr);
    if (finished)
      finished();
    return;
  }
  _gutterFadeFinished = finished;
  const int serial = _gutterFadeSerial;
  auto *effect = new QGraphicsOpacityEffect(_gutter);
  effect->setOpacity(0.0);
  _gutter->setGraphicsEffect(effect);
  auto *fade = new QPropertyAnimation(effect, "opacity", _gutter);
  fade->setDuration(durationMs);
  fade->setStartValue(0.0);
  fade->setEndValue(1.0);
  QPointer<GutterScrollArea> gutter(_gutter);
  connect(fade, &QPropertyAnimation::finished, this, [this, gutter, effect, serial] {
    if (gutter && gutter->graphicsEffect() == effect)
      gutter->setGraphicsEffect(nullptr);
    if (serial == _gutterFadeSerial)
      _finishPendingGutterFade();
  });
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

// Gestures whose end may report no change: the snapshot is taken at the begin.
void MainWindow::_beginTimelineGesture()
{
  _recordOperation();
}

void MainWindow::editScrollArea_beginTrimSegment(Segment *segment)
{
  if (!segment)
    return;
  _saveRange(segment);
  _beginTimelineGesture();
}

void MainWindow::editScrollArea_beginMoveTransition(int, bool)
{
  _beginTimelineGesture();
}

void MainWindow::editScrollArea_beginTrimTransition(int, bool)
{
  _beginTimelineGesture();
}

void MainWindow::editScrollArea_endMoveTransition(int, bool, bool moved)
{
  if (!moved)
    _projectManager->discardLastOperation();
  else
    _projectManager->setModified(true);
}

void MainWindow::editScrollArea_endTrimTransition(int, bool, bool trimmed)
{
  if (!trimmed)
    _projectManager->discardLastOperation();
}

void MainWindow::editScrollArea_didTransitionRangeChange(int)
{
  _projectManager->setModified(true);
}

void MainWindow::editScrollArea_tappedOnTransitionBar(int, bool) {}

void MainWindow::editScrollArea_seekToTime(float time)
{
  if (_engine)
    _engine->seek(time, false);
}

void MainWindow::editScrollArea_beginDraggingSegment()
{
  if (_engine)
    _engine->pause();
  if (TipManager::hasInstance())
    TipManager::instance()->finishTip(QStringLiteral("SegmentOperationPressAndDragTip"));
}

void MainWindow::editScrollArea_beginDraggingTrackWidget(TrackWidget *)
{
  if (_engine)
    _engine->pause();
  _fadeGutterOut(0);
}

void MainWindow::editScrollArea_endDraggingTrackWidget(TrackWidget *trackWidget, bool tagsChanged)
{
  if (trackWidget && tagsChanged) {
    _recordOperation();
    // The list is rebuilt in row order so that layer order follows the rows.
    QList<QPair<Segment *, SegmentWidget *>> order;
    QList<int> tags;
    QStringList types;
    for (int i = 0; i < _editScrollArea->trackCount(); ++i) {
      TrackWidget *track = _editScrollArea->trackWidgetAt(i);
      QList<SegmentWidget *> blocks;
      for (int j = 0; j < track->segmentWidgetCount(); ++j)
        if (SegmentWidget *block = track->segmentWidgetAt(j); block && block->segment())
          blocks << block;
      std::stable_sort(blocks.begin(), blocks.end(), [](SegmentWidget *a, SegmentWidget *b) {
        return a->segment()->rangeStart() < b->segment()->rangeStart();
      });
      for (SegmentWidget *block : qAsConst(blocks)) {
        block->segment()->setTrackId(track->tag());
        order << qMakePair(block->segment(), block);
      }
      tags << track->tag();
      types << (blocks.isEmpty() ? QString() : blocks.first()->segment()->type());
    }
    _projectManager->clearSegments();
    for (const auto &entry : qAsConst(order))
      _projectManager->appendSegment(entry.first, entry.second);
    if (_gutter)
      _gutter->updateTrackButtons(tags, types);
    _sendLayerOrder();
    _refreshEngineAfterEdit();
    _projectManager->setModified(true);
  }
  _fadeGutterIn(300, {});
}

void MainWindow::editScrollArea_didEnterEditingSegment(Segment *segment)
{
  if (!segment)
    return;
  if (TipManager::hasInstance())
    TipManager::instance()->finishTip(QStringLiteral("SegmentOperationDoubleTapTip"));
  _saveRange(segment);
  const float start = segment->rangeStart();
  const float end = start + segment->duration();
  float t = _playheadTime();
  // Undo and redo put the selection back where it was: the play head stays.
  if (!_restoringSelection && !(start < t && t < end - 0.01f)) {
    _scrollTimelineToTime(start, true);
    _seekToTime(start, true);
    t = start;
  }
  _projectManager->setSegmentWidgetsActive(false, segment, true);
  if (segment->isBeforeFirstTransition(t))
    _reloadTransformWidget(segment);
  showEditingToolsFor(static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)), t);
  if (_playheadPointer)
    _playheadPointer->setPointerStyle(1);
  _fadeGutterOut(200);
  emit segmentEditingStateChanged();
}

void MainWindow::_leaveSegmentEditing(Segment *segment, bool animated)
{
  _projectManager->setSegmentWidgetsActive(true, nullptr, animated);
  _hideTransformWidget();
  dismissToolPopups();
  if (_playheadPointer)
    _playheadPointer->setPointerStyle(0);
  const quint32 id = segment ? segment->id() : 0;
  auto commit = [this, id] {
    const int index = id ? _projectManager->indexOfSegmentId(id) : -1;
    if (index < 0 || !_projectManager->segmentWidgetAt(index))
      return;
    const bool force = _forcedInsertCommitId == id;
    _commitSegmentRangeChange(_projectManager->segmentAt(index), force);
    if (force)
      _forcedInsertCommitId = 0;
  };
  if (animated && isAnimationEnabled()) {
    _fadeGutterIn(200, commit);
  } else {
    if (_gutter) {
      _finishPendingGutterFade();
      _gutter->setGraphicsEffect(nullptr);
      _gutter->show();
    }
    commit();
  }
  emit segmentEditingStateChanged();
}

void MainWindow::editScrollArea_didFinishEditingSegment(Segment *segment)
{
  _leaveSegmentEditing(segment, true);
}

void MainWindow::editScrollArea_didFinishEditingSegmentImmediately(Segment *segment)
{
  _leaveSegmentEditing(segment, false);
}

void MainWindow::editScrollArea_didEnterEditingTransition(Segment *segment, int tId)
{
  if (!segment)
    return;
  _showTransitionToolsFor(_playheadTime(), tId);
  emit transitionEditingStateChanged();
}

void MainWindow::editScrollArea_didFinishEditingTransition(Segment *)
{
  _editedTransitionEnd = -1;
  emit transitionEditingStateChanged();
}

void MainWindow::editScrollArea_reloadPreviewForTransition(int tId, bool beginOrEnd)
{
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  if (!segment || tId < 1 || tId > segment->transitionCount())
    return;
  const float relative = beginOrEnd ? segment->transitionStart(tId) + 1.0f / 600
                                    : segment->transitionStart(tId) + segment->transitionDuration(tId);
  const float time = segment->rangeStart() + relative;
  _setPlayheadTime(time, true);
  _seekToTime(time, true);
  _editedTransitionEnd = beginOrEnd ? 1 : 0;
  updateTransitionTools();
  _reloadTransformWidget(segment);
  _sendTransitionTimesToEngine(segment, tId);
  _refreshEngineAfterEdit();
}

void MainWindow::editScrollArea_reloadPreviewForSegment(Segment *segment, bool rangeStart)
{
  if (!segment)
    return;
  if (_commitSegmentRangeChange(segment, false))
    transitionsDidChange();
  else
    _projectManager->discardLastOperation();
  _editScrollArea->updateTrimBarPositions();
  const float time = rangeStart ? segment->rangeStart() : segment->rangeStart() + segment->duration();
  _setPlayheadTime(time, true);
  QTimer::singleShot(50, this, [this, time] { _seekToTime(time, true); });
}

void MainWindow::editScrollArea_didScroll(QPoint offset)
{
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setOffset(float(offset.x()));
  if (_gutter)
    _gutter->setVerticalOffset(offset.y());
  if (!_playing && !_scrollAnimating) {
    const bool ranging = _editScrollArea->rangeSelectionMode;
    if (!ranging || (!_draggingPlayhead && _draggingRangePointer)) {
      _seekToTime(_playheadTime(), false);
    } else if (!_draggingPlayhead && !_draggingRangePointer) {
      _movePlayheadPointer(_editScrollArea->selectionEnd);
      _moveRangeStartPointer(_editScrollArea->selectionStart);
    }
  }
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
}

void MainWindow::editScrollArea_scaleBegan()
{
  if (_engine)
    _engine->pause();
  hideMediaPreview();
}

void MainWindow::editScrollArea_scaleChanged(float scale)
{
  if (_playing)
    return;
  _setTimelineScale(scale * _zoom);
  if (_zoomSlider)
    _zoomSlider->setValue(zoomSliderValue(_zoom));
}

void MainWindow::editScrollArea_willEndDragging()
{
  if (!_playing)
    _seekToTime(_playheadTime(), true);
}

void MainWindow::editScrollArea_onSelectedSegmentWidgetChanged(bool)
{
  _updateEditAction();
  _updateSegmentActions();
  _updateAddTransitionAction();
  _updateEditTransitionsAction();
}

// Copies, moves and removals.

void MainWindow::editScrollArea_copySegment(Segment *segment)
{
  TrackWidget *track = _trackOf(segment);
  if (!track)
    return;
  _recordOperation();
  const float end = segment->rangeStart() + segment->duration();
  _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * end - _playheadX)), true);
  Segment *copy = _cloneSegment(segment, end);
  if (!copy)
    return;
  SegmentWidget *block = track->addSegment(copy);
  copy->setTrackId(track->tag());
  block->setScale(_zoom, false);
  if (_projectManager->segmentMode() == 0)
    _shiftSegmentsOnTrack(segment->duration(), segment->rangeStart(), track->tag(), true);
  else
    _overwriteTrackRange(track, copy->rangeStart(), copy->duration(), copy);
  _projectManager->insertSegment(copy, block);
  _editScrollArea->connectSegmentWidget(block);
  if (_editScrollArea->isEditingSegment())
    block->setActive(false, true);
  _updateDurationAndRescale();
}

void MainWindow::editScrollArea_moveSegmentToTrack(Segment *segment, TrackWidget *dest, float time)
{
  if (!segment || !dest)
    return;
  TrackWidget *source = _editScrollArea->trackWidgetByTag(segment->trackId());
  if (!source)
    return;
  const bool destWasLast = dest == _lastTrackWidget && _projectManager->segmentCountOnTrack(dest->tag()) == 0;
  _recordOperation();
  const int sourceTag = segment->trackId();
  const float start = segment->rangeStart();
  const float duration = segment->duration();
  segment->setTrackId(0);

  if (_projectManager->segmentMode() == 0) {
    const bool otherTrack = source != dest;
    const int moved = _shiftSegmentsOnTrack(-duration, start, sourceTag, otherTrack);
    // On its own track the wanted time was measured before the gap closed.
    if (!otherTrack && moved > 0 && time - duration > start)
      time -= duration;
    if (auto *covering = static_cast<SegmentWidget *>(_projectManager->segmentWidgetAtTime(time, dest->tag()));
        covering && covering->segment()) {
      const float coveredStart = covering->segment()->rangeStart();
      _shiftSegmentsOnTrack(time - coveredStart + duration, coveredStart - FrameTolerance, dest->tag(), otherTrack);
    } else {
      _shiftSegmentsOnTrack(duration, time, dest->tag(), otherTrack);
    }
  } else {
    _overwriteTrackRange(dest, time, duration, segment);
  }

  _moveBlock(segment, source, dest, time);
  _seekToTime(_playheadTime(), false);
  _projectManager->setModified(true);
  if (destWasLast)
    _claimLastTrack(dest, segment->type());
}

void MainWindow::editScrollArea_removeSegment(Segment *segment)
{
  TrackWidget *track = _trackOf(segment);
  if (!track)
    return;
  _recordOperation();
  // The block fades out after the segment is gone: it must not paint it any more.
  QPointer<SegmentWidget> block(track->segmentWidgetForSegment(segment));
  track->removeSegment(segment, true);
  if (block)
    block->setSegment(nullptr);
  if (_projectManager->segmentMode() == 0)
    _shiftSegmentsOnTrack(-segment->duration(), segment->rangeStart(), track->tag(), true);
  _projectManager->removeSegment(segment);
  _updateDurationAndRescale();
  _removeTrackIfEmpty(track);
  _removeSegmentFromEngine(segment);
  delete segment;
  _refreshEngineAfterEdit();
  _projectManager->setModified(true);
}

void MainWindow::editScrollArea_removeTrack(TrackWidget *trackWidget)
{
  if (!trackWidget)
    return;
  _recordOperation();
  for (int i = 0; i < trackWidget->segmentWidgetCount(); ++i) {
    SegmentWidget *block = trackWidget->segmentWidgetAt(i);
    Segment *segment = block ? block->segment() : nullptr;
    if (!segment)
      continue;
    _projectManager->removeSegment(segment);
    _removeSegmentFromEngine(segment);
    block->setSegment(nullptr);
    delete segment;
  }
  trackWidget->clear();
  _updateDurationAndRescale();
  _removeTrackIfEmpty(trackWidget);
  _refreshEngineAfterEdit();
}

// Frame grabs.

void MainWindow::editScrollArea_grabSegmentScreen(Segment *segment)
{
  if (segment)
    _grabSegmentFrame(segment);
}

void MainWindow::_grabSegmentFrame(Segment *segment)
{
  const float t = _playheadTime();
  const float start = segment->rangeStart();
  if (start > t || t > start + segment->duration()) {
    ProgressHUD::showTextMessage(tr("Move timeline to the position to grab image"), this, MessageMs);
    return;
  }
  if (segment->type() != QLatin1String("MOVIE"))
    return;
  AVPixelBuffer *buffer = _engine ? _engine->videoFrameAtTime(segment->id(), t) : nullptr;
  if (!buffer || !buffer->data || buffer->format != 1) {
    if (buffer)
      freePixelBuffer(buffer);
    ProgressHUD::showTextMessage(tr("Save image failed"), this, MessageMs);
    return;
  }
  const QImage image = _imageFromPixelBuffer(buffer);
  _playShutterSound();
  _showGrabPreview(image);

  const QString folder =
      QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)).filePath(QStringLiteral("Tavo REN Pictures"));
  if (!QDir().mkpath(folder)) {
    ProgressHUD::showTextMessage(tr("Save image failed"), this, MessageMs);
    return;
  }
  // Two grabs within one second must not overwrite each other.
  const QString base = QStringLiteral("IMG_") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
  QString path = QDir(folder).filePath(base + QStringLiteral(".png"));
  for (int n = 1; QFileInfo::exists(path); ++n)
    path = QDir(folder).filePath(QStringLiteral("%1 (%2).png").arg(base).arg(n));
  if (image.save(path, "PNG")) {
    ProgressHUD::showTextMessage(tr("Image saved to Pictures successfully"), this, MessageMs);
  } else {
    qDebug() << "Save grab image failed";
    ProgressHUD::showTextMessage(tr("Save image failed"), this, MessageMs);
  }
}

void MainWindow::_showGrabPreview(const QImage &image)
{
  QWidget *central = centralWidget();
  if (!central)
    return;
  auto *label = new QLabel(central);
  label->setObjectName(QStringLiteral("grabPreview"));
  const QPixmap picture = QPixmap::fromImage(image).scaled(300, 300, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  label->setPixmap(picture);
  label->resize(picture.size());
  label->move((central->width() - picture.width()) / 2, (central->height() - picture.height()) / 2);
  label->show();
  label->raise();
  if (!isAnimationEnabled()) {
    label->deleteLater();
    return;
  }
  Util::fadeInWidget(label, 200, 1.0f);
  QTimer::singleShot(500, label, [label] { Util::fadeOutWidget(label, 1000, true); });
}

// Keys.

void MainWindow::_selectSegmentByKey(Segment *segment)
{
  if (!segment || _scrollAnimating)
    return;
  auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment));
  if (!block)
    return;
  _editScrollArea->setSelectedSegmentWidget(block);
  _editScrollArea->makeWidgetVisible(block);
  _scrollTimelineToTime(segment->rangeStart(), true);
  _seekToTime(segment->rangeStart(), true);
}

void MainWindow::editScrollArea_onSelectNextSegmentByDirectionKey(int key)
{
  if (_engine)
    _engine->pause();
  SegmentWidget *selected = _editScrollArea->selectedSegmentWidget();
  TrackWidget *track = nullptr;
  float time = 0;
  if (selected && selected->segment()) {
    track = _editScrollArea->trackWidgetByTag(selected->segment()->trackId());
    time = selected->segment()->rangeStart();
  } else {
    SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
    if (edited && edited->segment())
      track = _editScrollArea->trackWidgetByTag(edited->segment()->trackId());
    time = _playheadTime();
  }

  switch (key) {
  case Qt::Key_Home:
  case Qt::Key_End: {
    const float target = key == Qt::Key_Home ? 0.0f : _projectManager->duration();
    _editScrollArea->setSelectedSegmentWidget(nullptr);
    _scrollTimelineToTime(target, true);
    _seekToTime(target, true);
    return;
  }
  case Qt::Key_Left:
  case Qt::Key_Right: {
    SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
    if (edited && edited->segment() && edited->transitionId() > 0) {
      Segment *segment = edited->segment();
      const int id = key == Qt::Key_Left ? segment->previousTransition(edited->transitionId())
                                         : segment->nextTransition(edited->transitionId());
      if (id > 0)
        edited->setTransitionId(id);
      return;
    }
    if (time == 0.0f && !track) {
      _selectSegmentByKey(_projectManager->firstSegment());
      return;
    }
    const int tag = track ? track->tag() : 0;
    _selectSegmentByKey(key == Qt::Key_Left ? _projectManager->segmentStartingBefore(time, tag)
                                            : _projectManager->segmentStartingAfter(time, tag));
    return;
  }
  case Qt::Key_Up:
  case Qt::Key_Down: {
    if (!track)
      return;
    const int index = [&] {
      for (int i = 0; i < _editScrollArea->trackCount(); ++i)
        if (_editScrollArea->trackWidgetAt(i) == track)
          return i;
      return -1;
    }();
    TrackWidget *other = _editScrollArea->trackWidgetAt(key == Qt::Key_Up ? index - 1 : index + 1);
    if (index < 0 || !other)
      return;
    const int tag = other->tag();
    Segment *found = key == Qt::Key_Up ? _projectManager->segmentStartingAtOrBefore(time, tag)
                                       : _projectManager->segmentStartingAtOrAfter(time, tag);
    if (!found)
      found = key == Qt::Key_Up ? _projectManager->segmentStartingAfter(time, tag)
                                : _projectManager->segmentStartingBefore(time, tag);
    _selectSegmentByKey(found);
    return;
  }
  default:
    return;
  }
}

void MainWindow::editScrollArea_onDeleteKeyPressed()
{
  if (_editScrollArea->isMouseTransparent())
    return;
  SegmentWidget *selected = _editScrollArea->selectedSegmentWidget();
  if (isEditingTransitions() && selected && selected->transitionId() > 0) {
    _transitionCommand(10103);
    return;
  }
  if (!selected)
    return;
  QPointer<SegmentWidget> guarded(selected);
  if (SegmentWidget *edited = _editScrollArea->editingSegmentWidget()) {
    edited->setEditingState(false, true);
    // Bounded: a block that never leaves editing must not hold the window.
    QElapsedTimer waited;
    waited.start();
    while ((_editScrollArea->isEditingSegment() || (_gutter && _gutter->graphicsEffect())) && waited.elapsed() < 2000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  if (guarded)
    _removeSegmentWidgetWhenReady(guarded);
}

// The segment context menu.

void MainWindow::editScrollArea_onPopupContextMenuForSegmentWidget(SegmentWidget *segmentWidget, QPoint pos)
{
  _runSegmentContextMenu(segmentWidget, pos);
}

void MainWindow::editScrollArea_doubleClickedOnFailedSegment(SegmentWidget *segmentWidget, QPoint pos)
{
  _runSegmentContextMenu(segmentWidget, pos);
}

void MainWindow::_runSegmentContextMenu(SegmentWidget *segmentWidget, QPoint pos)
{
  if (!segmentWidget || !segmentWidget->segment())
    return;
  QPointer<MainWindow> self(this);
  QPointer<SegmentWidget> block(segmentWidget);
  auto *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  menu->setStyleSheet(QStringLiteral("QMenu{background-color: rgba(64,64,64,230); color: white; padding: 10px; "
                                     "border-radius: 10px;}"));

  // The window's actions are offered through stand-ins so each runs once, however the menu ran.
  QHash<QAction *, QAction *> targets;
  auto offer = [&](QAction *action) {
    QAction *proxy = menu->addAction(action->icon(), action->text());
    proxy->setEnabled(action->isEnabled());
    proxy->setShortcut(action->shortcut());
    targets.insert(proxy, action);
  };

  QAction *remove = nullptr;
  QAction *edit = nullptr;
  QList<QAction *> presets;
  if (segmentWidget->segment()->error() != SegmentNoError) {
    remove = menu->addAction(tr("Remove"));
  } else {
    SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
    if (edited != segmentWidget)
      edit = menu->addAction(tr("Edit"));
    else
      offer(_actions.editSegment);
    if ((segmentWidget->isEditing() || !edited) && !isEditingTransitions()) {
      menu->addSeparator();
      offer(_actions.duplicateSegment);
      offer(_actions.removeSegment);
      menu->addSeparator();
      offer(_actions.splitSegment);
    }
    menu->addSeparator();
    if (QMenu *presetMenu = _showTransitionMenu(menu)) {
      presetMenu->setStyleSheet(QStringLiteral("QMenu{background-color: rgba(64,64,64,255); border-radius: 0px;}"));
      QAction *add = menu->addAction(_actions.addTransition->icon(), _actions.addTransition->text());
      add->setEnabled(_actions.addTransition->isEnabled());
      add->setMenu(presetMenu);
      // Held back like the window's actions: the choice is applied once the menu has gone.
      presets = presetMenu->actions();
      for (QAction *preset : qAsConst(presets))
        preset->blockSignals(true);
    }
    offer(_actions.editTransition);
  }

  QAction *chosen = DialogProvider::instance()->execMenu(menu, pos);
  if (!self)
    return;
  const bool failedRemove = chosen && chosen == remove;
  const bool toggle = chosen && chosen == edit;
  QAction *target = chosen ? targets.value(chosen) : nullptr;
  const int presetCmdId = chosen && presets.contains(chosen) ? chosen->data().toInt() : 0;
  delete menu;
  if (failedRemove && block) {
    if (SegmentWidget *edited = _editScrollArea->editingSegmentWidget())
      edited->setEditingState(false, false);
    _removeSegmentWidgetWhenReady(block);
  } else if (toggle && block) {
    block->toggleEditing();
  } else if (target) {
    target->trigger();
  } else if (presetCmdId) {
    _applyTransitionPreset(presetCmdId);
  }
}

// The easing popup.

void MainWindow::easingFunctionPopup_onEasingFunctionSelected(PopupEasingFunctionsWidget *popup, int easing)
{
  _recordOperation();
  _projectManager->setModified(true);
  SegmentWidget *block = _editedBlock();
  Segment *segment = block ? block->segment() : nullptr;
  const int id = block ? block->transitionId() : 0;
  if (!segment || id < 1)
    return;
  segment->setTransitionEasingFunction(id, easing);
  if (_engine) {
    const int stored = segment->transitionEasingFunction(id);
    for (quint32 engineId : {segment->id(), segment->audioPartId()})
      if (engineId)
        _engine->setTransitionEasing(engineId, uint32_t(id), stored);
  }
  updateTransitionTools();
  if (_engine)
    _engine->refresh();
  if (popup)
    popup->dismiss();
}
