// Picking a row up: held 500 ms it lifts into the editor's central widget, follows the
// cursor, and on release returns home, flies back or takes the drop row's place.
#include "trackwidget.h"

#include "animationswitch.h"
#include "segmentwidget.h"
#include "util.h"

#include <QGraphicsOpacityEffect>
#include <QMouseEvent>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QTimer>

bool TrackWidget::_canBePickedUp() const
{
  if (_segmentWidgets.isEmpty())
    return false;
  for (SegmentWidget *block : _segmentWidgets)
    if (block->isEditing() || !block->isActive())
      return false;
  return true;
}

void TrackWidget::mousePressEvent(QMouseEvent *event)
{
  if (!_canBePickedUp() || _locked || event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  _pressed = true;
  const int generation = ++_pressGeneration;
  _pressGlobalPos = event->globalPos();
  if (_dragging) {
    _dragging = false;
    emit trackWidgetDraggingStateChanged(this, false);
  }
  QTimer::singleShot(500, this, [this, generation] { _onHoldTimeout(generation); });
  QWidget::mousePressEvent(event);
}

void TrackWidget::_onHoldTimeout(int generation)
{
  if (!_pressed || generation != _pressGeneration || _dragging)
    return;
  _dragging = true;
  emit trackWidgetDraggingStateChanged(this, true);
  if (!_dragging) // the edit area may have ended it
    return;
  auto *highlight = new QWidget(this);
  highlight->setStyleSheet(QStringLiteral("background-color:rgb(255,255,0);"));
  highlight->setGeometry(rect());
  _highlight = highlight;
  if (isAnimationEnabled()) {
    Util::fadeInWidget(highlight, 200, 0.3f);
  } else {
    auto *effect = new QGraphicsOpacityEffect(highlight);
    effect->setOpacity(0.3);
    highlight->setGraphicsEffect(effect);
    highlight->show();
  }
}

void TrackWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_dragging) {
    _pressed = false;
    QWidget::mouseMoveEvent(event);
    return;
  }
  QWidget *central = Util::findMainWindowCentralWidget();
  if (!_lift.detached && central && parentWidget() != central) {
    auto *effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(0.4);
    setGraphicsEffect(effect);
    _lift.lift(this, central);
  }
  if (_lift.detached)
    move(_lift.followPosition(event->globalPos() - _pressGlobalPos));
  emit trackWidgetDraggingMoving(this, event->globalPos());
}

void TrackWidget::mouseReleaseEvent(QMouseEvent *event)
{
  _pressed = false;
  if (!_dragging) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  if (_lift.detached) {
    releaseMouse();
    _lift.detached = false;
    const bool goesHome = (!_dropTrack || _dropTrack == this) && !_overRemoveTarget;
    if (goesHome && isAnimationEnabled() && _lift.homeParent) {
      _putBack(true);
      return;
    }
    _putBack(false);
  }
  _endDrag();
}

void TrackWidget::_putBack(bool flyBack)
{
  if (flyBack) {
    QWidget *central = parentWidget();
    const QPoint home = _lift.homeParent->mapToGlobal(_lift.homeGeometry.topLeft());
    auto *group = new QParallelAnimationGroup(this);
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect())) {
      auto *fade = new QPropertyAnimation(effect, "opacity", group);
      fade->setDuration(200);
      fade->setEndValue(1.0);
      group->addAnimation(fade);
    }
    auto *flight = new QPropertyAnimation(this, "pos", group);
    flight->setDuration(200);
    flight->setEndValue(central ? central->mapFromGlobal(home) : _lift.homeGeometry.topLeft());
    group->addAnimation(flight);
    connect(group, &QParallelAnimationGroup::finished, this, [this] {
      _putBack(false);
      _endDrag();
    });
    group->start(QAbstractAnimation::DeleteWhenStopped);
    return;
  }
  _lift.putBack(this, _dropTrack && _dropTrack != this ? _dropTrack->geometry() : QRect());
  setGraphicsEffect(nullptr);
}

void TrackWidget::_endDrag()
{
  if (!_dragging)
    return;
  delete _highlight;
  _dragging = false;
  emit trackWidgetDraggingStateChanged(this, false);
  _dropTrack = nullptr;
  _overRemoveTarget = false;
}
