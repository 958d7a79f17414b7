#pragma once

#include "draglift.h"
#include "segment.h"
#include "segmentview.h"

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class AnimatedLabel;
class QVariantAnimation;
class SegmentEditingStateBackgroundWidget;

// One segment's block on a track row: its picture strip or audio plot, transition bars, speed
// label, selection outline and the inactive and dragging tints. A press held 300 ms lifts it
// for dragging, a double click enters or leaves editing, and while editing a press on a
// transition bar grabs the bar. Every gesture is reported by signal; the edit area ends it.
class SegmentWidget : public QWidget, public SegmentView
{
  Q_OBJECT
public:
  SegmentWidget(const QRect &geometry, QWidget *parent);
  ~SegmentWidget() override;

  Segment *segment() const override { return _segment; }
  void setSegment(Segment *segment) { _segment = segment; }
  void setActive(bool active, bool animated) override;
  bool isActive() const { return _active; }

  int transitionId() const { return _transitionId; }
  void setTransitionId(int transitionId);
  bool isEditing() const { return _editing; }
  bool isDragging() const { return _dragging; }
  // Lifted out of the row into the editor's central widget during this drag.
  bool isDetached() const { return _lift.detached; }
  bool isLocked() const { return _locked; }
  void setLocked(bool locked) { _locked = locked; }
  bool isSelected() const { return _selected; }
  void setSelected(bool selected);
  QColor backgroundColor() const { return _backgroundColor; }
  void setBackgroundColor(const QColor &color);
  void setDropAccepted(bool accepted) { _dropAccepted = accepted; }
  void setReturnOffset(const QPoint &offset) { _returnOffset = offset; }
  float zoom() const { return _zoom; }
  int paintWidth() const { return _paintWidth; }
  QString speedLabel() const { return _speedLabel; }
  QColor inactiveTint() const { return QColor::fromRgba(_inactiveTint); }
  QColor dragTint() const { return QColor::fromRgba(_dragTint); }
  QRect homeGeometry() const { return _lift.homeGeometry; }
  QWidget *homeParent() const { return _lift.homeParent; }

  // Enters or leaves the editing state as a double click does (animated); nothing when locked.
  void toggleEditing();
  void showLoadingIndicator();
  void hideLoadingIndicator();
  AnimatedLabel *loadingIndicator() const { return _loadingIndicator; }

  // A transition's bar in block pixels at the block's current width.
  QRect transitionRect(int transitionId) const;
  static float widthForDuration(float seconds, float zoom);

  virtual void setScale(float zoom, bool animated);
  // Lays the block out as setScale does, without animation and without asking for a repaint:
  // the caller repaints the rows.
  void setScaleQuietly(float zoom);
  virtual void setEditingState(bool editing, bool animated);
  // False while an editing background still stands (it may be fading out).
  virtual bool hasNoEditingBackground() { return true; }

signals:
  void segmentWidgetEditingStateChanged(SegmentWidget *segmentWidget, bool editing);
  void segmentWidgetTransitionIdChanged(SegmentWidget *segmentWidget, int transitionId);
  void segmentWidgetDraggingTransitionChanged(SegmentWidget *segmentWidget, int dt);
  void segmentWidgetDraggingStateChanged(SegmentWidget *segmentWidget, bool dragging);
  void segmentWidgetDraggingMoving(SegmentWidget *segmentWidget, QPoint pt);
  // Escape during a drag: the block goes back and the drop lands nowhere.
  void segmentWidgetDraggingCancelled(SegmentWidget *segmentWidget);
  void segmentWidgetMousePressed(SegmentWidget *segmentWidget, QPoint pos);
  void segmentWidgetRightMousePressed(SegmentWidget *segmentWidget, QPoint pos);
  void segmentWidgetDoubleClickedOnFailedSegment(SegmentWidget *segmentWidget, QPoint pos);

protected:
  bool event(QEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

  // The editing background of the media blocks: made in the row behind the block, kept at
  // mediaRect while the zoom changes, faded out and deleted on leaving.
  void _showEditingBackground(const QRect &mediaRect, bool animated);
  void _hideEditingBackground(bool animated);
  void _updateEditingBackground(const QRect &mediaRect);
  SegmentEditingStateBackgroundWidget *_editingBackground() const;

private:
  QRect _rowRectInView() const;
  void _onHoldTimeout();
  void _doubleClick(QMouseEvent *event);
  void _flyBack();
  void _putBack();
  void _endDrag();
  void _cancelDrag();
  void _moveTransitionBar(const QPoint &globalPos);
  void _paintTransitionBars(QPainter &painter, const QRect &r);
  void _paintSpeedLabel(QPainter &painter);
  void _animateTint(quint32 *tint, QRgb rgb, QPointer<QVariantAnimation> &animation, int from, int to, int ms);
  QString _speedText() const;

  bool _locked = false;
  Segment *_segment = nullptr;
  int _transitionId = 0;
  float _zoom = 1.0f;
  QColor _backgroundColor{51, 51, 51};
  int _paintWidth = 0;
  AnimatedLabel *_loadingIndicator = nullptr;
  bool _active = true;
  bool _repaintOnScale = true;
  bool _editing = false;
  bool _dragging = false;
  int _transitionDragCount = 0;
  int _draggedTransitionId = 0;
  QPoint _pressGlobalPos;
  float _barStartAtPress = 0;
  bool _pressed = false;
  DragLift _lift;
  quint32 _inactiveTint = 0;
  quint32 _dragTint = 0;
  bool _dropAccepted = false;
  QPoint _returnOffset;
  QString _speedLabel;
  bool _selected = false;

  QTimer _holdTimer;
  QPointer<QVariantAnimation> _inactiveAnimation;
  QPointer<QVariantAnimation> _dragTintAnimation;
  QPointer<SegmentEditingStateBackgroundWidget> _background;
};

// Both travel through queued connections of the timeline.
Q_DECLARE_METATYPE(Segment *)
Q_DECLARE_METATYPE(SegmentWidget *)
