// Dragging blocks and rows: the drop targets, which row takes a block and where, edge
// scrolling, and the one outcome signal at the end. The project is changed by the editor.
#include "editscrollarea.h"

#include "animationswitch.h"
#include "segment.h"
#include "segmentdraggingframewidget.h"
#include "segmentdraggingoperationwidget.h"
#include "segmentwidget.h"
#include "slideshowlabel.h"
#include "timelinegeometry.h"
#include "trackwidget.h"
#include "util.h"

#include <QScrollBar>
#include <QTimer>
#include <cmath>

namespace {
constexpr int AutoScrollZone = 60;
constexpr int FirstStepMs = 500;
constexpr int NextStepMs = 50;
constexpr float VerticalStep = 10.0f;
} // namespace

SegmentDraggingOperationWidget *EditScrollArea::dropTargets() const
{
  return _dropTargets;
}

SegmentDraggingFrameWidget *EditScrollArea::trackDropFrame() const
{
  return _trackDropFrame;
}

void EditScrollArea::showRemoveAnimation(const QPoint &globalPos)
{
  const QStringList images{QStringLiteral(":/images/animation/eliminate_ani1"),
                           QStringLiteral(":/images/animation/eliminate_ani2"),
                           QStringLiteral(":/images/animation/eliminate_ani3"),
                           QStringLiteral(":/images/animation/eliminate_ani4")};
  auto *puff = new SlideshowLabel(images, 350, this);
  puff->setObjectName(QStringLiteral("removeAnimation"));
  puff->setGeometry(QRect(mapFromGlobal(globalPos) - QPoint(20, 20), QSize(40, 40)));
  puff->setStyleSheet(QStringLiteral("background-color: transparent;"));
  connect(puff, &SlideshowLabel::slideshowCompleted, puff, [puff] {
    puff->hide();
    puff->deleteLater();
  });
  puff->show();
  puff->start();
}

void EditScrollArea::_addDropTargets(bool hideDuplicate)
{
  _removeDropTargets();
  QWidget *central = Util::findMainWindowCentralWidget();
  if (!central)
    return;
  _dropTargets = new SegmentDraggingOperationWidget(central);
  _dropTargets->showAt(QRect(mapTo(central, QPoint(0, 0)), size()), hideDuplicate);
}

void EditScrollArea::_removeDropTargets()
{
  if (!_dropTargets)
    return;
  _dropTargets->hide();
  delete _dropTargets;
}

int EditScrollArea::_dropTargetHitAt(const QPoint &globalPos) const
{
  return _dropTargets ? _dropTargets->hitTest(_dropTargets->mapFromGlobal(globalPos)) + 1 : 0;
}

void EditScrollArea::onSegmentWidgetDraggingStateChanged(SegmentWidget *segmentWidget, bool dragging)
{
  if (dragging) {
    emit editScrollAreaBeginDraggingSegment();
    _addDropTargets(false);
    stopScrolling();
    setTracksLocked(true, nullptr);
    _draggedSegmentWidget = segmentWidget;
    _scrollAtDragStart = contentOffset();
    return;
  }
  setTracksLocked(false, nullptr);
  emit editScrollAreaEndDraggingSegment();
  const QPoint removeCenter = _dropTargets ? _dropTargets->removeButtonCenter() : QPoint();
  _removeDropTargets();
  for (TrackWidget *track : qAsConst(_trackWidgets))
    track->hideDraggingFrame();
  _clearAutoScroll();
  Segment *segment = segmentWidget ? segmentWidget->segment() : nullptr;
  if (segment) {
    if (_dropTargetHit == 1) {
      emit editScrollAreaCopySegment(segment);
    } else if (_dropTargetHit == 2) {
      emit editScrollAreaRemoveSegment(segment);
      showRemoveAnimation(QPoint(removeCenter.x(), int(float(removeCenter.y()) - 40.0f)));
    } else if (_dropTrack) {
      emit editScrollAreaMoveSegmentToTrack(segment, _dropTrack, _dropTime);
    }
  }
  _dropTargetHit = 0;
  _dropTrack = nullptr;
  _dropTime = 0;
  _draggedSegmentWidget = nullptr;
  _scrollAtDragStart = QPoint();
}

void EditScrollArea::onSegmentWidgetDraggingMoving(SegmentWidget *segmentWidget, QPoint pt)
{
  Segment *segment = segmentWidget->segment();
  QWidget *content = widget();
  if (!segment || !content)
    return;
  _dropTargetHit = _dropTargetHitAt(pt);
  segmentWidget->setDropAccepted(_dropTargetHit != 0);

  const QPoint blockPos = content->mapFromGlobal(segmentWidget->mapToGlobal(QPoint(0, 0)));
  const QPoint p = content->mapFromGlobal(pt);
  const float wanted = qMax(0.0f, Timeline::timeForX(float(blockPos.x()), _zoom));
  const float duration = segment->duration();
  _dropTrack = nullptr;
  _dropTime = 0;
  const TrackWidget *ownRow = trackWidgetByTag(segment->trackId());
  const bool sharesOwnRow = ownRow && ownRow->segmentWidgetCount() > 1;
  const auto otherRows = [this](float time, Segment *except, TrackWidget *row) {
    return alignTimeAcrossTracks(time, except, row, nullptr);
  };
  for (TrackWidget *track : qAsConst(_trackWidgets)) {
    const bool empty = track->segmentWidgetCount() == 0;
    // At most four movie rows: a movie opens an empty row only when it leaves its own empty.
    const bool takes = (segment->type() == track->type() || empty) &&
                       !(segment->type() == QLatin1String("MOVIE") && empty && movieTrackCount() >= 4 && sharesOwnRow);
    if (!_dropTrack && takes && track->geometry().contains(p)) {
      float t = wanted;
      track->showDraggingFrame(segment, &t, duration, otherRows);
      _dropTrack = track;
      _dropTime = t;
      if (_dropTargetHit == 0)
        segmentWidget->setDropAccepted(true);
    } else {
      track->hideDraggingFrame();
    }
  }

  const QRect r(mapToGlobal(QPoint(0, 0)), size());
  const bool left = pt.x() - AutoScrollZone - r.x() < 0;
  const bool right = pt.x() > r.x() - AutoScrollZone + r.width();
  if (!_horizontalScrollTimer) {
    _horizontalScrollTimer = new QTimer(this);
    _horizontalScrollTimer->setSingleShot(true);
    _horizontalScrollTimer->setTimerType(Qt::PreciseTimer);
    connect(_horizontalScrollTimer, &QTimer::timeout, this, &EditScrollArea::_autoScrollHorizontally);
  }
  if ((left && !_autoScrollLeft) || (right && !_autoScrollRight)) {
    _autoScrollSpeed = 1.0f;
    _horizontalScrollTimer->start(FirstStepMs);
  }
  _autoScrollLeft = left;
  _autoScrollRight = right;
  _updateVerticalAutoScroll(pt, int(Timeline::rowHeight()));
}

void EditScrollArea::_updateVerticalAutoScroll(const QPoint &pt, int rowHeight)
{
  const QRect r(mapToGlobal(QPoint(0, 0)), size());
  float bottomInset = 0;
  emit editScrollAreaGetSafeAreaInsets(nullptr, nullptr, nullptr, &bottomInset);
  const bool up = pt.y() < r.y() + rowHeight && _dropTargetHit == 0;
  const bool down = float(pt.y()) > float(r.y() + r.height()) - bottomInset - float(rowHeight) && _dropTargetHit == 0;
  if (!_verticalScrollTimer) {
    _verticalScrollTimer = new QTimer(this);
    _verticalScrollTimer->setSingleShot(true);
    _verticalScrollTimer->setTimerType(Qt::PreciseTimer);
    connect(_verticalScrollTimer, &QTimer::timeout, this, &EditScrollArea::_autoScrollVertically);
  }
  if ((up && !_autoScrollUp) || (down && !_autoScrollDown))
    _verticalScrollTimer->start(FirstStepMs);
  _autoScrollUp = up;
  _autoScrollDown = down;
}

void EditScrollArea::_autoScrollHorizontally()
{
  const float step = float(Timeline::pixelsPerSecond()) * _autoScrollSpeed * 0.5f;
  const float value = float(horizontalScrollBar()->value());
  int next;
  if (_autoScrollLeft)
    next = qMax(int(std::trunc(value - step)), 0);
  else if (_autoScrollRight)
    next = qMin(int(std::trunc(value + step)), contentSize().width() - width());
  else
    return;
  _scrollTo(next, verticalScrollBar()->value());
  _autoScrollSpeed = qMin(_autoScrollSpeed + 0.05f, _zoom);
  _horizontalScrollTimer->start(NextStepMs);
}

void EditScrollArea::_autoScrollVertically()
{
  const float value = float(verticalScrollBar()->value());
  int next;
  if (_autoScrollUp)
    next = qMax(int(std::trunc(value - VerticalStep)), 0);
  else if (_autoScrollDown)
    next = qMax(qMin(int(std::trunc(value + VerticalStep)), contentSize().height() - height()), 0);
  else
    return;
  _scrollTo(horizontalScrollBar()->value(), next);
  _verticalScrollTimer->start(NextStepMs);
}

void EditScrollArea::_scrollTo(int horizontal, int vertical)
{
  horizontalScrollBar()->setValue(horizontal);
  verticalScrollBar()->setValue(vertical);
  // The lifted block does not scroll with the rows; its fly-back must.
  if (_draggedSegmentWidget)
    _draggedSegmentWidget->setReturnOffset(contentOffset() - _scrollAtDragStart);
}

void EditScrollArea::_clearAutoScroll()
{
  _autoScrollLeft = _autoScrollRight = _autoScrollUp = _autoScrollDown = false;
}

void EditScrollArea::onTrackWidgetDraggingStateChanged(TrackWidget *trackWidget, bool dragging)
{
  if (dragging) {
    emit editScrollAreaBeginDraggingTrackWidget(trackWidget);
    _addDropTargets(true);
    stopScrolling();
    setTracksLocked(true, nullptr);
    return;
  }
  setTracksLocked(false, nullptr);
  const QPoint removeCenter = _dropTargets ? _dropTargets->removeButtonCenter() : QPoint();
  _removeDropTargets();
  _hideTrackDropFrame();
  _clearAutoScroll();
  bool tagsChanged = false;
  if (_dropTargetHit == 2) {
    emit editScrollAreaRemoveTrack(trackWidget);
    showRemoveAnimation(QPoint(removeCenter.x(), int(float(removeCenter.y()) - 40.0f)));
  } else {
    tagsChanged = _reorderTrack(trackWidget, _dropTrack);
  }
  emit editScrollAreaEndDraggingTrackWidget(trackWidget, tagsChanged);
  _dropTargetHit = 0;
  _dropTrack = nullptr;
}

void EditScrollArea::onTrackWidgetDraggingMoving(TrackWidget *trackWidget, QPoint pt)
{
  QWidget *content = widget();
  if (!content)
    return;
  _dropTargetHit = _dropTargetHitAt(pt);
  trackWidget->setOverRemoveTarget(_dropTargetHit != 0);
  const QPoint p = content->mapFromGlobal(pt);
  TrackWidget *target = nullptr;
  for (TrackWidget *track : qAsConst(_trackWidgets)) {
    const QRect r = track == trackWidget ? track->homeGeometry() : track->geometry();
    if (r.contains(p)) {
      target = track;
      break;
    }
  }
  if (!target) {
    _hideTrackDropFrame();
  } else if (target != _dropTrack) {
    QRect r = target->isDragging() ? target->homeGeometry() : target->geometry();
    r.setLeft(horizontalScrollBar()->value());
    r.setWidth(width());
    if (!_trackDropFrame) {
      _trackDropFrame = new SegmentDraggingFrameWidget(QColor(255, 255, 0, 204), content);
      _trackDropFrame->setStyleSheet(QStringLiteral("QWidget{ background-color: transparent; }"));
      _trackDropFrame->show();
    }
    _trackDropFrame->setGeometry(r);
  }
  _dropTrack = target;
  trackWidget->setDropTarget(target);
  _updateVerticalAutoScroll(pt, trackWidget->height());
}

void EditScrollArea::_hideTrackDropFrame()
{
  if (!_trackDropFrame)
    return;
  _trackDropFrame->hide();
  delete _trackDropFrame;
}

bool EditScrollArea::_reorderTrack(TrackWidget *track, TrackWidget *target)
{
  if (!target || target == track || !_trackWidgets.contains(target))
    return false;
  const int h = track->height();
  // The rows stand one under the other from the first row's place; the target has not moved.
  const int top = _takePendingTarget(target).y() - _trackWidgets.indexOf(target) * h;
  // The released row already stands in the target's place and goes just above it. A row
  // without blocks is taken as the spare row at the bottom: the dragged row goes just before
  // the last row.
  const bool targetHoldsBlocks = target->segmentWidgetCount() > 0;
  _trackWidgets.removeOne(track);
  _trackWidgets.insert(targetHoldsBlocks ? _trackWidgets.indexOf(target) : _trackWidgets.size() - 1, track);
  // Every row goes to the place of its index, so the screen shows the order the tags give
  // (an empty row in the middle would otherwise leave two rows on one place).
  QHash<TrackWidget *, QPoint> targets;
  for (int i = 0; i < _trackWidgets.size(); ++i) {
    TrackWidget *row = _trackWidgets[i];
    const QPoint place(row->x(), top + i * h);
    if (_takePendingTarget(row) != place || row->pos() != place)
      targets[row] = place;
  }
  if (isAnimationEnabled()) {
    _animateTracksTo(targets);
  } else {
    for (auto it = targets.cbegin(); it != targets.cend(); ++it)
      it.key()->move(it.value());
  }
  for (int i = 0; i < _trackWidgets.size(); ++i)
    _trackWidgets[i]->setTag(i + 1);
  _giveBackgrounds(0);
  return true;
}
