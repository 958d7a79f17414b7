// Keys, wheel and zoom gestures, scrolling signals, and the selection of one block.
#include "editscrollarea.h"

#include "segmentwidget.h"
#include "util.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {
// Wheel steps of every area; a burst ends when 100 ms pass without another.
int s_wheelCounter = 0;
} // namespace

bool EditScrollArea::event(QEvent *event)
{
  if (event->type() == QEvent::NativeGesture) {
    auto *gesture = static_cast<QNativeGestureEvent *>(event);
    switch (gesture->gestureType()) {
    case Qt::BeginNativeGesture:
      emit editScrollAreaScaleBegan();
      break;
    case Qt::EndNativeGesture:
      emit editScrollAreaScaleEnd();
      break;
    case Qt::ZoomNativeGesture:
      emit editScrollAreaScaleChanged(float(1.0 + gesture->value()));
      break;
    default:
      break;
    }
    event->accept();
    return true;
  }
  if (event->type() == QEvent::Wheel) {
    const auto phase = static_cast<QWheelEvent *>(event)->phase();
    if (phase == Qt::ScrollBegin)
      emit editScrollAreaWillBeginDragging();
    else if (phase == Qt::ScrollEnd)
      emit editScrollAreaWillEndDragging();
  }
  return QScrollArea::event(event);
}

bool EditScrollArea::viewportEvent(QEvent *event)
{
  if (event->type() == QEvent::Wheel) {
    auto *wheel = static_cast<QWheelEvent *>(event);
    switch (wheel->phase()) {
    case Qt::ScrollBegin:
      emit editScrollAreaWillBeginDragging();
      break;
    case Qt::ScrollEnd:
      emit editScrollAreaWillEndDragging();
      break;
    case Qt::NoScrollPhase:
      if (wheel->modifiers() & Qt::ControlModifier) {
        // Not reciprocal: zooming in is quicker than out.
        emit editScrollAreaScaleChanged(wheel->angleDelta().y() > 0 ? 1.1f : 0.98f);
      } else {
        const int counter = ++s_wheelCounter;
        QTimer::singleShot(100, this, [this, counter] {
          if (counter == s_wheelCounter)
            emit editScrollAreaWillEndDragging();
        });
      }
      break;
    default:
      break;
    }
  }
  return QScrollArea::viewportEvent(event);
}

void EditScrollArea::keyPressEvent(QKeyEvent *event)
{
  if (!Util::hasKeyboardModifier(event->modifiers())) {
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      emit editScrollAreaDeleteKeyPressed();
      return;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
      emit editScrollAreaSelectNextSegmentByDirectionKey(event->key());
      return;
    default:
      break;
    }
  }
  QScrollArea::keyPressEvent(event);
}

void EditScrollArea::scrollContentsBy(int dx, int dy)
{
  QScrollArea::scrollContentsBy(dx, dy);
  emit editScrollAreaDidScroll(contentOffset());
}

void EditScrollArea::onScrollerStateChanged(QScroller::State state)
{
  if (state == QScroller::Pressed)
    emit editScrollAreaWillBeginDragging();
  else if (state == QScroller::Inactive && !_handlePressed)
    emit editScrollAreaWillEndDragging();
}

void EditScrollArea::onScrollBarPressedDown()
{
  emit editScrollAreaWillBeginDragging();
}

void EditScrollArea::onScrollBarPressReleased()
{
  emit editScrollAreaWillEndDragging();
}

void EditScrollArea::onScrollBarActionTriggered(int)
{
  emit editScrollAreaWillBeginDragging();
}

void EditScrollArea::setSelectedSegmentWidget(SegmentWidget *segmentWidget)
{
  if (rangeSelectionMode)
    return;
  if (_selectedSegmentWidget)
    _selectedSegmentWidget->setSelected(false);
  _selectedSegmentWidget = segmentWidget;
  _selectedIdentity = segmentWidget;
  if (segmentWidget)
    segmentWidget->setSelected(true);
  emit editScrollAreaSelectedSegmentWidgetChanged(segmentWidget != nullptr);
}

void EditScrollArea::_unselect()
{
  if (_selectedSegmentWidget)
    _selectedSegmentWidget->setSelected(false);
  _selectedSegmentWidget = nullptr;
  _selectedIdentity = nullptr;
  emit editScrollAreaSelectedSegmentWidgetChanged(false);
}
