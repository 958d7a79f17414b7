// The play head, seeking and playback: times to pixels at 24 px per second and zoom, the play
// head that stays put while the timeline scrolls under it, and the rules of where playback
// starts. The engine's progress and status reports land here too.

#include "mainwindow.h"

#include "animationswitch.h"
#include "avengine.h"
#include "editscrollarea.h"
#include "mediapreviewwidget.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "util.h"
#include "avglwidget.h"

#include <QPropertyAnimation>
#include <QScrollBar>
#include <QSound>
#include <QTimer>

#include <cmath>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr float LeftMargin = 60;

} // namespace

void MainWindow::_movePlayheadPointer(float time)
{
  if (_playheadPointer)
    _playheadPointer->setCenterX(PixelsPerSecond * _zoom * time - _editScrollArea->horizontalOffset() + LeftMargin,
                                 false);
}

void MainWindow::_moveRangeStartPointer(float time)
{
  if (_rangeStartPointer)
    _rangeStartPointer->setCenterX(
        PixelsPerSecond * _zoom * time - _editScrollArea->horizontalOffset() + LeftMargin, false);
}

void MainWindow::_setPlayheadTime(float time, bool animated)
{
  const float offset = _editScrollArea->horizontalOffset();
  const float x = PixelsPerSecond * _zoom * time - offset;
  const int width = _editScrollArea->width();
  if (x < 0 || x > width - 2 * LeftMargin) {
    _scrollTimelineTo(int(std::ceil(x - _playheadX + offset)), animated);
    return;
  }
  _playheadX = x;
  if (_playheadPointer)
    _playheadPointer->setCenterX(LeftMargin + x, animated);
}

void MainWindow::_keepPlayheadInView()
{
  if (!_playheadPointer || !_playheadPointer->parentWidget())
    return;
  const int parentWidth = _playheadPointer->parentWidget()->width();
  if (_playheadPointer->centerX() < parentWidth)
    return;
  const float time = _playheadTime();
  const float x = parentWidth - _playheadPointer->width();
  _playheadPointer->setCenterX(x, false);
  _playheadX = x - LeftMargin - _editScrollArea->x();
  _playheadPointer->setCenterX(LeftMargin + _playheadX, false);
  _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * time - _playheadX)), false);
}

void MainWindow::_scrollTimelineTo(int x, bool animated)
{
  _scrollTimelineToXY(x, -1, animated);
}

void MainWindow::_scrollTimelineToXY(int x, int y, bool animated)
{
  const QPoint current = _editScrollArea->contentOffset();
  const int targetY = y < 0 ? current.y() : y;
  if (x == int(_editScrollArea->horizontalOffset()) && targetY == current.y())
    return;
  // The timeline cannot scroll before 0: the play head moves to the time instead.
  bool negative = false;
  float time = 0;
  if (x < 0) {
    negative = true;
    time = (x + _playheadX) / (PixelsPerSecond * _zoom);
    x = 0;
  }
  if (animated && isAnimationEnabled()) {
    _scrollAnimating = true;
    auto *animation = new QPropertyAnimation(_editScrollArea->horizontalScrollBar(), "value", this);
    animation->setDuration(200);
    animation->setEndValue(x);
    connect(animation, &QAbstractAnimation::finished, this, [this, negative, time] {
      _scrollAnimating = false;
      if (negative)
        _setPlayheadTime(time, true);
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    if (targetY != current.y()) {
      auto *vertical = new QPropertyAnimation(_editScrollArea->verticalScrollBar(), "value", this);
      vertical->setDuration(200);
      vertical->setEndValue(targetY);
      vertical->start(QAbstractAnimation::DeleteWhenStopped);
    }
    return;
  }
  _editScrollArea->setContentOffset(QPoint(x, targetY), false);
  if (negative)
    _setPlayheadTime(time, false);
}

void MainWindow::_scrollTimelineToTime(float time, bool animated)
{
  _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * time - _playheadX)), animated);
}

void MainWindow::_seekToTime(float time, bool exact)
{
  if (_engine)
    _engine->seek(time, exact);
  _updateTransformOverlayAt(time);
  if (_mediaPreviewWidget && _mediaPreviewWidget->isVisible()) {
    _mediaPreviewWidget->closePreview();
    _mediaPreviewWidget->hide();
    if (_previewWidget)
      _previewWidget->show();
  }
  updateFullscreenProgress(time);
}

void MainWindow::_seekToPlayhead(bool exact)
{
  _seekToTime(_playheadTime(), exact);
}

void MainWindow::hideMediaPreview()
{
  if (!_mediaPreviewWidget || !_mediaPreviewWidget->isVisible())
    return;
  _mediaPreviewWidget->closePreview();
  _mediaPreviewWidget->hide();
  if (_previewWidget)
    _previewWidget->show();
}

void MainWindow::_playShutterSound()
{
  QSound::play(QStringLiteral(":/assets/shutter.wav"));
}

void MainWindow::onActionNextPositionTriggered()
{
  const int track = _editedTrack();
  Segment *found = _projectManager->segmentStartingAfter(_playheadTime(), track);
  // Nothing later on the edited track: the next start on any track.
  if (!found && track != 0)
    found = _projectManager->segmentStartingAfter(_playheadTime(), 0);
  _jumpTo(found, 400);
}

void MainWindow::onActionPreviousPositionTriggered()
{
  _jumpTo(_projectManager->segmentStartingBefore(_playheadTime(), _editedTrack()), 1000);
}

int MainWindow::_editedTrack() const
{
  SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
  return edited && edited->segment() ? edited->segment()->trackId() : 0;
}

void MainWindow::_jumpTo(Segment *segment, int resumeAfterMs)
{
  if (!segment || _scrollAnimating)
    return;
  const float start = segment->rangeStart();
  const bool resume = _playing && _engine;
  if (resume)
    _engine->pause();
  _scrollTimelineToTime(start, true);
  _seekToTime(start, true);
  if (resume)
    QTimer::singleShot(resumeAfterMs, this, [this] { togglePlayPause(); });
}

void MainWindow::togglePlayPause()
{
  if (_playing) {
    if (_engine)
      _engine->togglePlayPause();
    return;
  }
  SegmentWidget *edited = _editScrollArea->editingSegmentWidget();
  Segment *segment = edited ? edited->segment() : nullptr;
  if (segment && _engine
      && Util::compareWithTolerance(segment->rangeStart() + segment->duration(), _engine->currentTime(), 0.01f) == 0) {
    // At the end of the edited segment: replay that segment.
    const float start = segment->rangeStart();
    _engine->seek(start, true);
    _scrollTimelineToTime(start, true);
    QTimer::singleShot(200, this, [this] {
      if (_engine)
        _engine->togglePlayPause();
    });
    return;
  }
  const bool restart = _reachedEnd;
  if (restart) {
    _scrollTimelineTo(int(std::ceil(0 - _playheadX)), true);
    if (_engine)
      _engine->seek(0, true);
  }
  QTimer::singleShot(200, this, [this, restart] {
    if (!_engine)
      return;
    if (restart)
      _engine->seek(0, true);
    QTimer::singleShot(200, this, [this] {
      if (_engine)
        _engine->togglePlayPause();
    });
  });
}

void MainWindow::editScrollArea_willBeginDragging()
{
  if (_engine && _playing)
    _engine->pause();
}

void MainWindow::onAVRenderProgressChanged(double time, double total)
{
  Q_UNUSED(total)
  _reachedEnd = false;
  if (!_playing)
    return;
  _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * float(time) - _playheadX)), false);
  // No overlay over a moving picture: dragging it would edit a frame already gone.
  if (_transformWidget) {
    _hideTransformWidget();
    _notifyPlayheadTime();
  }
  updateFullscreenProgress(float(time));
}

void MainWindow::onAVRenderStatusChanged(int status)
{
  if (status == 0 || status == 1) {
    const bool wasPlaying = _playing;
    _playing = status == 1;
    _reachedEnd = false;
    if (wasPlaying != _playing) {
      updatePlayPauseIcon();
      if (_playing)
        hideMediaPreview();
    }
  } else if (status == 3) {
    _reachedEnd = true;
  }
}

void MainWindow::onAVSegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo)
{
  if (!_projectManager)
    return;
  const int index = _projectManager->indexOfSegmentId(quint32(segId));
  if (index < 0)
    return;
  Segment *segment = _projectManager->segmentAt(index);
  if (segment->state() == 1 || segment->state() == 2)
    segment->loadStatusUpdated(quint32(segId), status, loadingThumbnailStatus, hardOrSoftVideo);
}
