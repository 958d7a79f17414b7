// The editing state of one block: trim bars at its ends, handles at the chosen transition's
// ends, and the press-move-release gestures that drag them. Each step is reported; the
// segment's own trims decide how far an edge may go.
#include "editscrollarea.h"

#include "animationswitch.h"
#include "segment.h"
#include "segmentwidget.h"
#include "timelinegeometry.h"
#include "trackwidget.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <cmath>

namespace {
constexpr int FadeMs = 200;
constexpr int FirstRowDrop = Timeline::TopBand;
constexpr int TrimBarWidth = 26;
constexpr int HandleWidth = 34;
constexpr int GrabMargin = 40;
constexpr double TransitionGap = 0.04;
constexpr float HandleGap = 4.0f;

enum Zone { NoZone, LeftTrimBar, RightTrimBar, EndHandle, BeginHandle };

// Process-wide: set while editing passes from one block to the next.
bool s_switchingEditedBlock = false;
bool s_nextEditedInFirstRow = false;
bool s_transitionBarMoved = false;

float xOf(double t, float zoom)
{
  return Timeline::xForTime(float(t), zoom);
}
} // namespace

QLabel *EditScrollArea::leftTrimBar() const
{
  return _leftTrimBar;
}

QLabel *EditScrollArea::rightTrimBar() const
{
  return _rightTrimBar;
}

QLabel *EditScrollArea::leftTransitionHandle() const
{
  return _leftTransitionHandle;
}

QLabel *EditScrollArea::rightTransitionHandle() const
{
  return _rightTransitionHandle;
}

QRect EditScrollArea::_contentRectOf(QWidget *w) const
{
  QWidget *content = widget();
  return QRect(content->mapFromGlobal(w->mapToGlobal(QPoint(0, 0))), w->size());
}

QLabel *EditScrollArea::_makeEditingLabel(const QPixmap &pixmap, const QSize &size)
{
  auto *label = new QLabel(widget());
  label->setPixmap(pixmap);
  label->setScaledContents(true);
  label->setStyleSheet(QStringLiteral("background-color: transparent;"));
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->resize(size);
  return label;
}

void EditScrollArea::_fadeIn(QLabel *label)
{
  if (!isAnimationEnabled()) {
    label->show();
    return;
  }
  auto *effect = new QGraphicsOpacityEffect(label);
  effect->setOpacity(0.0);
  label->setGraphicsEffect(effect);
  label->show();
  auto *fade = new QPropertyAnimation(effect, "opacity", label);
  fade->setDuration(FadeMs);
  fade->setEndValue(1.0);
  connect(fade, &QPropertyAnimation::finished, effect, [effect] { effect->setEnabled(false); });
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void EditScrollArea::showTrimBars(SegmentWidget *block, int dy)
{
  hideTrimBars();
  if (!block || !widget())
    return;
  const qreal ratio = devicePixelRatioF();
  const QPixmap pixmap = QPixmap(QStringLiteral(":/images/trim_bar"))
                           .scaledToWidth(int(TrimBarWidth * ratio), Qt::SmoothTransformation);
  const QSize size(qRound(pixmap.width() / ratio), qRound(pixmap.height() / ratio));
  _leftTrimBar = _makeEditingLabel(pixmap, size);
  _leftTrimBar->setObjectName(QStringLiteral("leftTrimBar"));
  _rightTrimBar = _makeEditingLabel(pixmap, size);
  _rightTrimBar->setObjectName(QStringLiteral("rightTrimBar"));
  _placeTrimBars(block);
  for (QLabel *bar : {_leftTrimBar.data(), _rightTrimBar.data()}) {
    _fadeIn(bar);
    if (dy == 0)
      continue;
    const QPoint target = bar->pos() + QPoint(0, dy);
    if (isAnimationEnabled()) {
      auto *move = new QPropertyAnimation(bar, "pos", bar);
      move->setDuration(FadeMs);
      move->setEndValue(target);
      move->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
      bar->move(target);
    }
  }
}

void EditScrollArea::_placeTrimBars(SegmentWidget *block)
{
  if (!_leftTrimBar || !_rightTrimBar)
    return;
  const QRect r = _contentRectOf(block);
  const int w = _leftTrimBar->width();
  const int y = r.y() + r.height() - _leftTrimBar->height();
  _leftTrimBar->move(r.x() - w / 2, y);
  _rightTrimBar->move(r.x() + r.width() - w / 2, y);
}

void EditScrollArea::hideTrimBars()
{
  if (!_leftTrimBar && !_rightTrimBar)
    return;
  QPointer<QLabel> left = _leftTrimBar;
  QPointer<QLabel> right = _rightTrimBar;
  _leftTrimBar = nullptr;
  _rightTrimBar = nullptr;
  auto *leftEffect = left ? qobject_cast<QGraphicsOpacityEffect *>(left->graphicsEffect()) : nullptr;
  auto *rightEffect = right ? qobject_cast<QGraphicsOpacityEffect *>(right->graphicsEffect()) : nullptr;
  if (!isAnimationEnabled() || !leftEffect || !rightEffect) {
    delete left;
    delete right;
    return;
  }
  auto *group = new QParallelAnimationGroup(this);
  for (QGraphicsOpacityEffect *effect : {leftEffect, rightEffect}) {
    effect->setEnabled(true);
    auto *fade = new QPropertyAnimation(effect, "opacity", group);
    fade->setDuration(FadeMs);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    group->addAnimation(fade);
  }
  connect(group, &QParallelAnimationGroup::finished, this, [left, right] {
    delete left;
    delete right;
  });
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

void EditScrollArea::updateTrimBarPositions()
{
  if (!_editingSegmentWidget || !_leftTrimBar || !_rightTrimBar)
    return;
  const Segment *segment = _editingSegmentWidget->segment();
  if (!segment)
    return;
  const float lw = float(_leftTrimBar->width() / 2);
  const float rw = float(_rightTrimBar->width() / 2);
  _leftTrimBar->move(int(std::trunc(xOf(segment->rangeStart(), _zoom) - lw)), _leftTrimBar->y());
  _rightTrimBar->move(int(std::trunc(xOf(segment->rangeStart() + segment->duration(), _zoom) - rw)),
                      _rightTrimBar->y());
}

void EditScrollArea::_updateHandlePositions()
{
  if (!_editingSegmentWidget) {
    hideTrimBars();
    _deleteTransitionHandles();
    return;
  }
  if (_leftTrimBar && _rightTrimBar) {
    const int y = _leftTrimBar->y();
    _placeTrimBars(_editingSegmentWidget);
    _leftTrimBar->move(_leftTrimBar->x(), y);
    _rightTrimBar->move(_rightTrimBar->x(), y);
  }
  _updateTransitionHandlePositions();
}

void EditScrollArea::onSegmentWidgetEditingStateChanged(SegmentWidget *segmentWidget, bool editing)
{
  TrackWidget *first = firstTrack();
  if (!editing) {
    if (segmentWidget != _editingSegmentWidget)
      return;
    if (s_switchingEditedBlock)
      emit editScrollAreaDidFinishEditingSegmentImmediately(segmentWidget->segment());
    else
      emit editScrollAreaDidFinishEditingSegment(segmentWidget->segment());
    const bool staysLowered = s_switchingEditedBlock && s_nextEditedInFirstRow;
    s_switchingEditedBlock = false;
    if (first && segmentWidget->parentWidget() == first && !staysLowered)
      _moveTracksBy(-FirstRowDrop);
    hideTrimBars();
    if (segmentWidget->transitionId() > 0)
      segmentWidget->setTransitionId(0);
    _editingSegmentWidget = nullptr;
    _editingIdentity = nullptr;
    return;
  }
  if (segmentWidget == _editingSegmentWidget)
    return;
  const bool inFirst = first && segmentWidget->parentWidget() == first;
  bool wasFirst = false;
  if (SegmentWidget *previous = _editingSegmentWidget) {
    wasFirst = first && previous->parentWidget() == first;
    s_switchingEditedBlock = true;
    s_nextEditedInFirstRow = inFirst;
    previous->setEditingState(false, true);
    s_switchingEditedBlock = false;
  }
  emit editScrollAreaDidEnterEditingSegment(segmentWidget->segment());
  int dy = 0;
  if (inFirst) {
    dy = wasFirst ? 0 : FirstRowDrop;
    if (dy != 0)
      _moveTracksBy(dy);
  } else if (wasFirst) {
    dy = -FirstRowDrop; // the rows are already on their way up
  }
  showTrimBars(segmentWidget, isAnimationEnabled() ? dy : 0);
  _editingSegmentWidget = segmentWidget;
  _editingIdentity = segmentWidget;
  if (!rangeSelectionMode)
    setSelectedSegmentWidget(segmentWidget);
  segmentWidget->raise();
}

void EditScrollArea::_deleteTransitionHandles()
{
  delete _leftTransitionHandle;
  delete _rightTransitionHandle;
}

void EditScrollArea::_showTransitionHandles(int transitionId)
{
  _deleteTransitionHandles();
  SegmentWidget *block = _editingSegmentWidget;
  if (!block || !widget())
    return;
  const QPixmap begin(QStringLiteral(":/images/transition_left_trim_bar"));
  const QPixmap end(QStringLiteral(":/images/transition_right_trim_bar"));
  const auto heightOf = [](const QPixmap &p) { return p.width() > 0 ? p.height() * HandleWidth / p.width() : 0; };
  _leftTransitionHandle = _makeEditingLabel(begin, QSize(HandleWidth, heightOf(begin)));
  _leftTransitionHandle->setObjectName(QStringLiteral("beginTransitionHandle"));
  _rightTransitionHandle = _makeEditingLabel(end, QSize(HandleWidth, heightOf(end)));
  _rightTransitionHandle->setObjectName(QStringLiteral("endTransitionHandle"));
  QRect r = block->transitionRect(transitionId);
  r.moveTopLeft(widget()->mapFromGlobal(block->mapToGlobal(r.topLeft())));
  _leftTransitionHandle->move(r.x() - HandleWidth / 2, r.y() - _leftTransitionHandle->height());
  _rightTransitionHandle->move(r.x() - HandleWidth / 2 + r.width(), r.y() + r.height());
  _fadeIn(_leftTransitionHandle);
  _fadeIn(_rightTransitionHandle);
}

void EditScrollArea::_updateTransitionHandlePositions()
{
  SegmentWidget *block = _editingSegmentWidget;
  if (!block || !_leftTransitionHandle || !_rightTransitionHandle || !widget())
    return;
  QRect r = block->transitionRect(block->transitionId());
  r.moveTopLeft(widget()->mapFromGlobal(block->mapToGlobal(r.topLeft())));
  _leftTransitionHandle->move(r.x() - _leftTransitionHandle->width() / 2, _leftTransitionHandle->y());
  _rightTransitionHandle->move(r.x() + r.width() - _rightTransitionHandle->width() / 2, _rightTransitionHandle->y());
}

void EditScrollArea::onSegmentWidgetTransitionIdChanged(SegmentWidget *segmentWidget, int transitionId)
{
  if (transitionId < 1) {
    emit editScrollAreaDidFinishEditingTransition(segmentWidget->segment());
    _deleteTransitionHandles();
    return;
  }
  emit editScrollAreaDidEnterEditingTransition(segmentWidget->segment(), transitionId);
  _showTransitionHandles(transitionId);
}

void EditScrollArea::onSegmentWidgetDraggingTransitionChanged(SegmentWidget *segmentWidget, int draggingTransition)
{
  _handlePressed = draggingTransition > 0;
  const int tId = segmentWidget->transitionId();
  if (draggingTransition >= 1) {
    // The bar takes the moves; a flick starting under it would cancel the press.
    if (QScroller::scroller(viewport())->state() != QScroller::Inactive)
      stopScrolling();
    _updateTransitionHandlePositions();
    s_transitionBarMoved = draggingTransition > 1;
    if (draggingTransition == 1)
      emit editScrollAreaBeginMoveTransition(tId, false);
    return;
  }
  if (_editingSegmentWidget) {
    if (s_transitionBarMoved)
      emit editScrollAreaReloadPreviewForTransition(tId, false);
    emit editScrollAreaEndMoveTransition(tId, false, s_transitionBarMoved);
  }
  s_transitionBarMoved = false;
}

int EditScrollArea::_hitZone(const QPoint &globalPos) const
{
  const auto hits = [&globalPos](QLabel *label, const QMargins &grow) {
    return label && label->isVisible() && label->rect().marginsAdded(grow).contains(label->mapFromGlobal(globalPos));
  };
  if (hits(_leftTrimBar, QMargins(GrabMargin, GrabMargin, 0, 0)))
    return LeftTrimBar;
  if (hits(_rightTrimBar, QMargins(0, GrabMargin, GrabMargin, 0)))
    return RightTrimBar;
  if (hits(_rightTransitionHandle, QMargins()))
    return EndHandle;
  if (hits(_leftTransitionHandle, QMargins()))
    return BeginHandle;
  return NoZone;
}

bool EditScrollArea::_isHandleHit(const QPoint &globalPos) const
{
  return _hitZone(globalPos) != NoZone;
}

void EditScrollArea::mousePressEvent(QMouseEvent *event)
{
  const int zone = event->button() == Qt::LeftButton && _editingSegmentWidget ? _hitZone(event->globalPos()) : NoZone;
  if (zone == NoZone) {
    if (!_editingSegmentWidget && !rangeSelectionMode)
      _unselect();
    QScrollArea::mousePressEvent(event);
    return;
  }
  _handlePressed = true;
  stopScrolling();
  _pressGlobalPos = event->globalPos();
  Segment *segment = _editingSegmentWidget->segment();
  const int tId = _editingSegmentWidget->transitionId();
  const auto anchorOf = [](QLabel *label) { return QPoint(label->x() + label->width() / 2, label->y()); };
  switch (zone) {
  case LeftTrimBar:
  case RightTrimBar:
    (zone == LeftTrimBar ? _trimmingLeft : _trimmingRight) = true;
    _pressAnchor = anchorOf(zone == LeftTrimBar ? _leftTrimBar : _rightTrimBar);
    emit editScrollAreaBeginTrimSegment(segment);
    break;
  case EndHandle:
  case BeginHandle:
    (zone == EndHandle ? _draggingTransitionEnd : _draggingTransitionBegin) = true;
    _pressAnchor = anchorOf(zone == EndHandle ? _rightTransitionHandle : _leftTransitionHandle);
    _transitionHandleMoved = false;
    emit editScrollAreaBeginTrimTransition(tId, zone == BeginHandle);
    break;
  default:
    break;
  }
  event->accept();
}

void EditScrollArea::mouseMoveEvent(QMouseEvent *event)
{
  SegmentWidget *block = _editingSegmentWidget;
  const bool gesture = _trimmingLeft || _trimmingRight || _draggingTransitionBegin || _draggingTransitionEnd;
  if (!gesture || !block || !block->segment()) {
    QScrollArea::mouseMoveEvent(event);
    return;
  }
  const float x = float(_pressAnchor.x() + (event->globalPos().x() - _pressGlobalPos.x()));
  if (_trimmingLeft && _leftTrimBar && _rightTrimBar)
    _moveLeftTrimBar(x);
  else if (_trimmingRight && _leftTrimBar && _rightTrimBar)
    _moveRightTrimBar(x);
  else if (_draggingTransitionBegin && _leftTransitionHandle && _rightTransitionHandle)
    _moveBeginHandle(x);
  else if (_draggingTransitionEnd && _leftTransitionHandle && _rightTransitionHandle)
    _moveEndHandle(x);
  event->accept();
}

void EditScrollArea::_moveLeftTrimBar(float x)
{
  SegmentWidget *block = _editingSegmentWidget;
  Segment *segment = block->segment();
  const int half = _leftTrimBar->width() / 2;
  if (float(_rightTrimBar->x()) < x + float(half))
    x = float(_rightTrimBar->x() - half);
  const float oldDuration = segment->duration();
  float t = Timeline::timeForX(x, _zoom);
  bool overwrite = false;
  emit editScrollAreaGetSegmentOverwriteMode(overwrite);
  if (overwrite) {
    t = alignTimeAcrossTracks(t, segment, nullptr, nullptr);
    x = xOf(t, _zoom);
  }
  // The plain trims take any time; a start before 0 would be saved.
  if (t < 0) {
    t = 0;
    x = xOf(0, _zoom);
  }
  if (!segment->moveLeftEdge(&t))
    x = xOf(t, _zoom);
  _leftTrimBar->move(int(std::trunc(x - float(half))), _pressAnchor.y());
  block->setScale(_zoom, false);
  emit editScrollAreaSeekToTime(t);
  if (segment->duration() > oldDuration) {
    const float end = xOf(double(segment->rangeStart()) + double(segment->duration()), _zoom);
    _rightTrimBar->move(int(std::trunc(end - float(_rightTrimBar->width() / 2))), _rightTrimBar->y());
  }
}

void EditScrollArea::_moveRightTrimBar(float x)
{
  SegmentWidget *block = _editingSegmentWidget;
  Segment *segment = block->segment();
  const int half = _rightTrimBar->width() / 2;
  const int leftEnd = _leftTrimBar->x() + _leftTrimBar->width();
  if (float(leftEnd) > x - float(half))
    x = float(leftEnd + half);
  float t = alignTimeAcrossTracks(Timeline::timeForX(x, _zoom), segment, nullptr, nullptr);
  x = xOf(t, _zoom);
  if (!segment->moveRightEdge(&t))
    x = xOf(t, _zoom);
  _rightTrimBar->move(int(std::trunc(x - float(half))), _pressAnchor.y());
  block->setScale(_zoom, false);
  emit editScrollAreaSeekToTime(t);
}

void EditScrollArea::_moveBeginHandle(float x)
{
  SegmentWidget *block = _editingSegmentWidget;
  Segment *segment = block->segment();
  const int tId = block->transitionId();
  const float endCenter = float(_rightTransitionHandle->x() + _rightTransitionHandle->width() / 2);
  if (x > endCenter - HandleGap)
    x = endCenter - HandleGap;
  double t = Timeline::timeForX(x, _zoom);
  const double start = segment->rangeStart();
  double lower = start;
  if (tId > 1)
    lower = start + segment->transitionDuration(tId - 1) + segment->transitionStart(tId - 1) + TransitionGap;
  if (t < lower) {
    t = lower;
    x = xOf(lower, _zoom);
  }
  const double end = start + segment->transitionDuration(tId) + segment->transitionStart(tId);
  segment->setTransitionStart(tId, float(t - start));
  segment->setTransitionDuration(tId, float(end - t));
  _leftTransitionHandle->move(int(std::trunc(x - float(_leftTransitionHandle->width() / 2))), _pressAnchor.y());
  block->setScale(_zoom, false);
  emit editScrollAreaDidTransitionRangeChange(tId);
  emit editScrollAreaSeekToTime(float(t));
  _transitionHandleMoved = true;
}

void EditScrollArea::_moveEndHandle(float x)
{
  SegmentWidget *block = _editingSegmentWidget;
  Segment *segment = block->segment();
  const int tId = block->transitionId();
  const float beginCenter = float(_leftTransitionHandle->x() + _leftTransitionHandle->width() / 2);
  if (x < beginCenter + HandleGap)
    x = beginCenter + HandleGap;
  double t = Timeline::timeForX(x, _zoom);
  const double start = segment->rangeStart();
  double upper = start + segment->duration() - TransitionGap;
  if (const int next = segment->nextTransitionId(tId); next > 0)
    upper = start + segment->transitionStart(next) - TransitionGap;
  if (t > upper) {
    t = upper;
    x = xOf(upper, _zoom);
  }
  segment->setTransitionDuration(tId, float(t - (start + segment->transitionStart(tId))));
  _rightTransitionHandle->move(int(std::trunc(x - float(_rightTransitionHandle->width() / 2))), _pressAnchor.y());
  block->setScale(_zoom, false);
  emit editScrollAreaDidTransitionRangeChange(tId);
  emit editScrollAreaSeekToTime(float(t));
  _transitionHandleMoved = true;
}

void EditScrollArea::mouseReleaseEvent(QMouseEvent *event)
{
  _handlePressed = false;
  Segment *segment = _editingSegmentWidget ? _editingSegmentWidget->segment() : nullptr;
  const int tId = _editingSegmentWidget ? _editingSegmentWidget->transitionId() : 0;
  if (_trimmingLeft || _trimmingRight) {
    const bool left = _trimmingLeft;
    _trimmingLeft = _trimmingRight = false;
    if (segment)
      emit editScrollAreaReloadPreviewForSegment(segment, left);
  } else if (_draggingTransitionBegin || _draggingTransitionEnd) {
    const bool begin = _draggingTransitionBegin;
    _draggingTransitionBegin = _draggingTransitionEnd = false;
    if (!_transitionHandleMoved) {
      emit editScrollAreaSeekToTransition(tId, begin);
      emit editScrollAreaTappedOnTransitionBar(tId, begin);
    } else {
      emit editScrollAreaReloadPreviewForTransition(tId, begin);
    }
    emit editScrollAreaEndTrimTransition(tId, begin, _transitionHandleMoved);
  } else {
    QScrollArea::mouseReleaseEvent(event);
    return;
  }
  event->accept();
}
