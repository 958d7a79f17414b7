#include "editscrollarea.h"

#include "animationswitch.h"
#include "segment.h"
#include "segmentwidget.h"
#include "timelinegeometry.h"
#include "trackwidget.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QScrollerProperties>

#include <algorithm>

namespace {

const char ScrollBarStyle[] = R"(
QScrollBar:horizontal { background: black; height: 15px; margin: 0px 10px 0px 10px; }
QScrollBar:vertical { background: black; width: 15px; margin: 10px 0px 10px 0px; }
QScrollBar::handle { background: #6b6b6b; margin: 3px; border-radius: 4px; }
QScrollBar::handle:horizontal { min-width: 15px; }
QScrollBar::handle:vertical { min-height: 15px; }
QScrollBar::handle:hover, QScrollBar::handle:on { background: #a4a5a7; }
QScrollBar::sub-line { width: 10px; height: 10px; subcontrol-origin: margin; border-image: url(:/icons/res/icons/png/up_arrow_disabled.png); }
QScrollBar::add-line { width: 10px; height: 10px; subcontrol-origin: margin; border-image: url(:/icons/res/icons/png/down_arrow_disabled.png); }
QScrollBar::sub-line:horizontal { subcontrol-position: left; }
QScrollBar::add-line:horizontal { subcontrol-position: right; }
QScrollBar::sub-line:vertical { subcontrol-position: top; }
QScrollBar::add-line:vertical { subcontrol-position: bottom; }
QScrollBar::sub-line:hover, QScrollBar::sub-line:on { border-image: url(:/icons/res/icons/png/up_arrow.png); }
QScrollBar::add-line:hover, QScrollBar::add-line:on { border-image: url(:/icons/res/icons/png/down_arrow.png); }
QScrollBar::up-arrow, QScrollBar::down-arrow, QScrollBar::left-arrow, QScrollBar::right-arrow { background: none; }
QScrollBar::add-page, QScrollBar::sub-page { background: none; }
)";

constexpr int RowMoveMs = 200;

} // namespace

EditScrollArea::EditScrollArea(QWidget *parent) : QScrollArea(parent)
{
  const int rowHeight = int(Timeline::rowHeight());
  _trackBackPixmap = QPixmap(QStringLiteral(":/images/segment_back")).scaledToHeight(rowHeight, Qt::FastTransformation);
  _trackBackColorPixmap =
    QPixmap(QStringLiteral(":/images/segment_back_color")).scaledToHeight(rowHeight, Qt::FastTransformation);
  _applyScrollBarStyle();
  auto *corner = new QWidget(this);
  corner->setStyleSheet(QStringLiteral("background-color: black;"));
  setCornerWidget(corner);

  QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
  QScroller *scroller = QScroller::scroller(viewport());
  QScrollerProperties properties = scroller->scrollerProperties();
  properties.setScrollMetric(QScrollerProperties::MousePressEventDelay, 0.1);
  properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                             QVariant::fromValue(QScrollerProperties::OvershootAlwaysOff));
  scroller->setScrollerProperties(properties);
  connect(scroller, &QScroller::stateChanged, this, &EditScrollArea::onScrollerStateChanged);
  connect(horizontalScrollBar(), &QScrollBar::sliderPressed, this, &EditScrollArea::onScrollBarPressedDown);
  connect(horizontalScrollBar(), &QScrollBar::sliderReleased, this, &EditScrollArea::onScrollBarPressReleased);
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, &EditScrollArea::onScrollBarActionTriggered);
}

EditScrollArea::~EditScrollArea()
{
  // Rows go first, while the area can still answer their blocks' last signals.
  removeAllTracks();
  // Row moves still running stop when the base class deletes them, after this body: their
  // last report must not reach this half-destroyed area.
  for (QAbstractAnimation *animation : findChildren<QAbstractAnimation *>())
    disconnect(animation, nullptr, this, nullptr);
}

void EditScrollArea::_applyScrollBarStyle()
{
  horizontalScrollBar()->setStyleSheet(QString::fromLatin1(ScrollBarStyle));
  verticalScrollBar()->setStyleSheet(QString::fromLatin1(ScrollBarStyle));
}

QRect EditScrollArea::_trackRect(int index, float zoom, float duration) const
{
  const int s = Timeline::screenShortSide();
  const float height = Timeline::rowHeight();
  return QRect(-s, int(height * float(index)), int(contentWidth(zoom, duration) + 2.0f * float(s)), int(height));
}

void EditScrollArea::_setContentSize(float zoom, float duration, int rows)
{
  QWidget *content = widget();
  if (!content)
    return;
  // The rows paint all of it: a longer or taller content repaints only what it gained, not
  // every block in view.
  content->setAttribute(Qt::WA_StaticContents);
  const float pps = float(Timeline::pixelsPerSecond()) * zoom;
  content->setFixedSize(int(contentWidth(zoom, duration) - pps),
                        int(float(Timeline::TopBand) + Timeline::rowHeight() * float(rows) +
                            float(Timeline::BottomMargin)));
}

void EditScrollArea::_giveBackgrounds(int from)
{
  for (int i = qMax(0, from); i < _trackWidgets.size(); ++i)
    _trackWidgets[i]->setBackgroundPixmap(i % 2 == 0 ? &_trackBackColorPixmap : &_trackBackPixmap);
}

TrackWidget *EditScrollArea::addTrack(float zoom, float duration)
{
  const int n = _trackWidgets.size();
  auto *track = new TrackWidget(_trackRect(n, zoom, duration), zoom, widget());
  _trackWidgets.append(track);
  connect(track, &TrackWidget::trackWidgetDraggingStateChanged, this,
          &EditScrollArea::onTrackWidgetDraggingStateChanged, Qt::DirectConnection);
  connect(track, &TrackWidget::trackWidgetDraggingMoving, this, &EditScrollArea::onTrackWidgetDraggingMoving,
          Qt::DirectConnection);
  _setContentSize(zoom, duration, n + 1);
  _zoom = zoom;
  _duration = duration;
  _giveBackgrounds(n);
  track->show();
  return track;
}

void EditScrollArea::setScale(float zoom, float duration)
{
  const bool zoomChanged = zoom != _zoom;
  for (TrackWidget *track : qAsConst(_trackWidgets)) {
    QRect r = _trackRect(0, zoom, duration);
    r.moveTop(track->y());
    track->setGeometry(r);
    if (zoomChanged)
      track->setScale(zoom, false);
  }
  _updateHandlePositions();
  _setContentSize(zoom, duration, _trackWidgets.size());
  _zoom = zoom;
  _duration = duration;
}

void EditScrollArea::_runTrackAnimations(QParallelAnimationGroup *group)
{
  ++_busyAnimations;
  // Stopped, not finished: a group cut short emits no finished().
  connect(group, &QAbstractAnimation::stateChanged, this, [this](QAbstractAnimation::State state) {
    if (state == QAbstractAnimation::Stopped)
      _busyAnimations = qMax(0, _busyAnimations - 1);
  });
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

QPoint EditScrollArea::_takePendingTarget(TrackWidget *track)
{
  // A row still moving from an earlier removal starts from where that move was going, and
  // only the newest move drives it.
  QPoint target = track->pos();
  for (auto *group : findChildren<QParallelAnimationGroup *>()) {
    for (int i = group->animationCount() - 1; i >= 0; --i) {
      auto *move = qobject_cast<QPropertyAnimation *>(group->animationAt(i));
      if (move && move->targetObject() == track && move->propertyName() == "pos") {
        target = move->endValue().toPoint();
        group->removeAnimation(move);
        delete move;
      }
    }
  }
  return target;
}

void EditScrollArea::_animateTracksTo(const QHash<TrackWidget *, QPoint> &targets)
{
  if (targets.isEmpty())
    return;
  auto *group = new QParallelAnimationGroup(this);
  for (auto it = targets.cbegin(); it != targets.cend(); ++it) {
    auto *move = new QPropertyAnimation(it.key(), "pos", group);
    move->setDuration(RowMoveMs);
    move->setEndValue(it.value());
    group->addAnimation(move);
  }
  _runTrackAnimations(group);
}

void EditScrollArea::removeTrackWidget(TrackWidget *track)
{
  if (_trackWidgets.contains(track))
    removeTrackWidgets(QList<TrackWidget *>{track});
}

void EditScrollArea::removeTrackWidgets(const QList<TrackWidget *> &tracks)
{
  // Always animated: the editor's layout waits on isAnimating, not on the switch.
  QHash<TrackWidget *, QPoint> targets;
  int firstRemoved = _trackWidgets.size();
  for (TrackWidget *track : tracks) {
    const int index = _trackWidgets.indexOf(track);
    if (index < 0)
      continue;
    const int dy = track->height();
    _takePendingTarget(track);
    targets.remove(track);
    _trackWidgets.removeAt(index);
    track->hide();
    delete track;
    firstRemoved = qMin(firstRemoved, index);
    for (int i = index; i < _trackWidgets.size(); ++i) {
      TrackWidget *row = _trackWidgets[i];
      if (!targets.contains(row))
        targets[row] = _takePendingTarget(row);
      targets[row] -= QPoint(0, dy);
    }
  }
  _animateTracksTo(targets);
  _giveBackgrounds(firstRemoved);
}

void EditScrollArea::removeTracksFrom(int first)
{
  const int from = std::clamp(first, 0, int(_trackWidgets.size()));
  const QList<TrackWidget *> tracks = _trackWidgets.mid(from);
  _trackWidgets.erase(_trackWidgets.begin() + from, _trackWidgets.end());
  for (TrackWidget *track : tracks) {
    track->clear();
    delete track;
  }
}

void EditScrollArea::_moveTracksBy(int dy)
{
  if (!isAnimationEnabled()) {
    for (TrackWidget *track : qAsConst(_trackWidgets))
      track->move(track->pos() + QPoint(0, dy));
    return;
  }
  QHash<TrackWidget *, QPoint> targets;
  for (TrackWidget *track : qAsConst(_trackWidgets))
    targets[track] = _takePendingTarget(track) + QPoint(0, dy);
  _animateTracksTo(targets);
}

TrackWidget *EditScrollArea::trackWidgetAt(int index) const
{
  return _trackWidgets.value(index, nullptr);
}

TrackWidget *EditScrollArea::trackWidgetByTag(int tag) const
{
  for (TrackWidget *track : _trackWidgets)
    if (track->tag() == tag)
      return track;
  return nullptr;
}

TrackWidget *EditScrollArea::firstTrack() const
{
  return trackWidgetAt(0);
}

TrackWidget *EditScrollArea::firstMovieTrack() const
{
  for (TrackWidget *track : _trackWidgets)
    if (track->type() == QLatin1String("MOVIE"))
      return track;
  return nullptr;
}

int EditScrollArea::lowerTrackTag(int tag) const
{
  const TrackWidget *track = trackWidgetByTag(tag);
  if (!track)
    return 0;
  const TrackWidget *best = nullptr;
  for (const TrackWidget *other : _trackWidgets)
    if (other->y() > track->y() && (!best || other->y() < best->y()))
      best = other;
  return best ? best->tag() : 0;
}

int EditScrollArea::upperTrackTag(int tag) const
{
  const TrackWidget *track = trackWidgetByTag(tag);
  if (!track)
    return 0;
  const TrackWidget *best = nullptr;
  for (const TrackWidget *other : _trackWidgets)
    if (other->y() < track->y() && (!best || other->y() > best->y()))
      best = other;
  return best ? best->tag() : 0;
}

int EditScrollArea::movieTrackCount() const
{
  int count = 0;
  for (const TrackWidget *track : _trackWidgets)
    if (track->type() == QLatin1String("MOVIE"))
      ++count;
  return count;
}

bool EditScrollArea::canTrackTakeSegmentType(const QString &type, TrackWidget *track) const
{
  if (type != QLatin1String("MOVIE") || (track && track->segmentWidgetCount() > 0))
    return true;
  return movieTrackCount() < 4;
}

float EditScrollArea::alignTimeAcrossTracks(float time, Segment *except, TrackWidget *skip, bool *found) const
{
  float best = time;
  bool snapped = false;
  for (const TrackWidget *track : _trackWidgets) {
    if (track == skip)
      continue;
    const float aligned = track->alignTime(time, except);
    // The nearest snap wins; on equal distance the upper row.
    if (aligned != time && (!snapped || qAbs(best - time) > qAbs(aligned - time))) {
      best = aligned;
      snapped = true;
    }
  }
  if (found)
    *found = snapped;
  return best;
}

void EditScrollArea::setTracksLocked(bool locked, SegmentWidget *except)
{
  for (TrackWidget *track : qAsConst(_trackWidgets))
    track->setLocked(locked, except);
}

void EditScrollArea::setSegmentsEditable(bool editable)
{
  setTracksLocked(!editable, nullptr);
}

void EditScrollArea::clearSelection()
{
  for (TrackWidget *track : qAsConst(_trackWidgets))
    track->removeSelection();
}

void EditScrollArea::updateSelectionRange()
{
  const float start = qMin(selectionStart, selectionEnd);
  const float length = qAbs(selectionEnd - selectionStart);
  for (TrackWidget *track : qAsConst(_trackWidgets))
    track->setSelectionRange(start, length);
}

bool EditScrollArea::hasSelectionOnAnyTrack() const
{
  for (const TrackWidget *track : _trackWidgets)
    if (track->hasSelection())
      return true;
  return false;
}

QPoint EditScrollArea::contentOffset() const
{
  return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

float EditScrollArea::horizontalOffset() const
{
  return float(horizontalScrollBar()->value());
}

QSize EditScrollArea::contentSize() const
{
  return widget() ? widget()->size() : QSize();
}

void EditScrollArea::setContentOffset(const QPoint &offset, bool animated)
{
  if (!animated || !isAnimationEnabled()) {
    horizontalScrollBar()->setValue(offset.x());
    verticalScrollBar()->setValue(offset.y());
    return;
  }
  const QList<QPair<QScrollBar *, int>> bars{{horizontalScrollBar(), offset.x()}, {verticalScrollBar(), offset.y()}};
  for (const auto &bar : bars) {
    auto *animation = new QPropertyAnimation(bar.first, "value", this);
    animation->setDuration(200);
    animation->setEndValue(bar.second);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
  }
}

void EditScrollArea::stopScrolling()
{
  QScroller::scroller(viewport())->stop();
}

void EditScrollArea::makeWidgetVisible(QWidget *widget)
{
  ensureWidgetVisible(widget, 50, 50);
}

void EditScrollArea::setMouseEventsEnabled(bool enabled)
{
  setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

bool EditScrollArea::isMouseTransparent() const
{
  return testAttribute(Qt::WA_TransparentForMouseEvents);
}
