// The block's gestures: hold-to-drag with lifting and fly-back, double click, and dragging a
// transition bar while editing.
#include "segmentwidget.h"

#include "animationswitch.h"
#include "segment.h"
#include "timelinegeometry.h"
#include "util.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QVariantAnimation>

void SegmentWidget::mousePressEvent(QMouseEvent *event)
{
  if (event->button() == Qt::LeftButton)
    emit segmentWidgetMousePressed(this, event->globalPos());
  else if (event->button() == Qt::RightButton)
    emit segmentWidgetRightMousePressed(this, event->globalPos());
  if (!_active || event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  if (_editing) {
    if (!_segment || _segment->duration() <= 0 || width() <= 0) {
      QWidget::mousePressEvent(event);
      return;
    }
    const float scale = float(width()) / _segment->duration();
    const float x = float(event->pos().x());
    for (int i = 0; i < _segment->transitionCount(); ++i) {
      const int id = _segment->transitionIdAt(i);
      const float start = _segment->transitionStart(id) * scale;
      if (start <= x && x < start + _segment->transitionDuration(id) * scale) {
        setTransitionId(id);
        _draggedTransitionId = id;
        _pressGlobalPos = event->globalPos();
        _barStartAtPress = start;
        _transitionDragCount = 1;
        emit segmentWidgetDraggingTransitionChanged(this, 1);
        return;
      }
    }
    QWidget::mousePressEvent(event);
    return;
  }
  if (_locked) {
    QWidget::mousePressEvent(event);
    return;
  }
  _pressed = true;
  _pressGlobalPos = event->globalPos();
  if (_dragging) {
    _dragging = false;
    emit segmentWidgetDraggingStateChanged(this, false);
  }
  _lift.detached = false;
  _holdTimer.start();
}

void SegmentWidget::_onHoldTimeout()
{
  if (!_pressed || _editing || _dragging)
    return;
  _dragging = true;
  // Escape reaches the block wherever the focus is.
  grabKeyboard();
  emit segmentWidgetDraggingStateChanged(this, true);
  const QRgb yellow = qRgb(255, 255, 0);
  if (isAnimationEnabled()) {
    _animateTint(&_dragTint, yellow, _dragTintAnimation, 0, 77, 150);
  } else {
    _dragTint = (77u << 24) | (yellow & 0x00FFFFFFu);
    update();
  }
}

void SegmentWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (_dragging && !_pressed)
    return; // cancelled: the block is on its way home
  if (_dragging) {
    QWidget *central = Util::findMainWindowCentralWidget();
    if (!_lift.detached && central && parentWidget() != central)
      _lift.lift(this, central);
    if (_lift.detached)
      move(_lift.followPosition(event->globalPos() - _pressGlobalPos));
    emit segmentWidgetDraggingMoving(this, event->globalPos());
    return;
  }
  if (_transitionDragCount > 0) {
    _moveTransitionBar(event->globalPos());
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void SegmentWidget::_moveTransitionBar(const QPoint &globalPos)
{
  if (!_segment || _segment->duration() <= 0 || width() <= 0)
    return;
  const float duration = _segment->duration();
  const float scale = float(width()) / duration;
  const int id = _draggedTransitionId;
  const float len = _segment->transitionDuration(id) * scale;
  const float gap = Timeline::widthForDuration(0.04f, _zoom);
  const float wanted = _barStartAtPress + float(globalPos.x() - _pressGlobalPos.x());
  float lower = 0;
  if (id > 1)
    lower = (_segment->transitionStart(id - 1) + _segment->transitionDuration(id - 1)) * scale + gap;
  float start = qMax(lower, wanted);
  float upper = float(width());
  if (const int next = _segment->nextTransitionId(id))
    upper = _segment->transitionStart(next) * scale - gap;
  if (start + len > upper)
    start = upper - len;
  _segment->setTransitionStart(id, start * duration / float(width()));
  update();
  ++_transitionDragCount;
  emit segmentWidgetDraggingTransitionChanged(this, _transitionDragCount);
}

void SegmentWidget::mouseReleaseEvent(QMouseEvent *event)
{
  const bool wasPressed = _pressed;
  _pressed = false;
  if (_dragging && !wasPressed)
    return; // cancelled: the block is on its way home
  _holdTimer.stop();
  if (!_dragging) {
    if (_transitionDragCount > 0) {
      _transitionDragCount = 0;
      _draggedTransitionId = 0;
      emit segmentWidgetDraggingTransitionChanged(this, 0);
    } else {
      QWidget::mouseReleaseEvent(event);
    }
    return;
  }
  if (_lift.detached) {
    releaseMouse();
    if (!_dropAccepted && isAnimationEnabled() && _lift.homeParent) {
      _flyBack();
      return;
    }
    _putBack();
  }
  _endDrag();
}

void SegmentWidget::keyPressEvent(QKeyEvent *event)
{
  if (_dragging && _pressed && event->key() == Qt::Key_Escape) {
    _cancelDrag();
    return;
  }
  QWidget::keyPressEvent(event);
}

void SegmentWidget::_cancelDrag()
{
  _pressed = false;
  _holdTimer.stop();
  emit segmentWidgetDraggingCancelled(this);
  _dropAccepted = false;
  if (_lift.detached) {
    releaseMouse();
    if (isAnimationEnabled() && _lift.homeParent) {
      _flyBack();
      return;
    }
    _putBack();
  }
  _endDrag();
}

void SegmentWidget::_flyBack()
{
  const QRect target = _lift.detachedGeometry.translated(-_returnOffset);
  auto *flight = new QPropertyAnimation(this, "pos", this);
  flight->setDuration(200);
  flight->setEndValue(target.topLeft());
  connect(flight, &QPropertyAnimation::finished, this, [this] {
    _putBack();
    _endDrag();
  });
  flight->start(QAbstractAnimation::DeleteWhenStopped);
}

void SegmentWidget::_putBack()
{
  _lift.putBack(this);
}

void SegmentWidget::_endDrag()
{
  if (!_dragging)
    return;
  _dropAccepted = false;
  _returnOffset = QPoint();
  if (_dragTintAnimation)
    _dragTintAnimation->stop();
  update();
  _dragging = false;
  _lift.detached = false;
  if (keyboardGrabber() == this)
    releaseKeyboard();
  emit segmentWidgetDraggingStateChanged(this, false);
}

void SegmentWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
  _doubleClick(event);
}

void SegmentWidget::_doubleClick(QMouseEvent *event)
{
  if (_dragging)
    return;
  if (event && event->button() == Qt::LeftButton && _segment && _segment->error() != 0) {
    emit segmentWidgetDoubleClickedOnFailedSegment(this, event->globalPos());
    event->accept();
    return;
  }
  if (_locked) {
    if (event)
      QWidget::mouseDoubleClickEvent(event);
    return;
  }
  if (event && event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  setEditingState(!_editing, true);
  if (event)
    event->accept();
}
