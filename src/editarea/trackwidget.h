#pragma once

#include "draglift.h"

#include <QPointer>
#include <QSet>
#include <QWidget>

#include <functional>

class QPixmap;
class QPushButton;
class Segment;
class SegmentDraggingFrameWidget;
class SegmentWidget;

// One row of the timeline. It makes and owns the blocks of its segments and places them by
// time, snaps dragged segments to its blocks' ends, shows the drop frame and a range
// selection, and can itself be held 500 ms and dragged to another row position.
class TrackWidget : public QWidget
{
  Q_OBJECT
public:
  // (time, dragged segment, row asked for) -> snapped time; the edit area's snapping across rows.
  using OtherRowsAlign = std::function<float(float, Segment *, TrackWidget *)>;

  TrackWidget(const QRect &geometry, float zoom, QWidget *parent);
  ~TrackWidget() override;

  int tag() const { return _tag; }
  void setTag(int tag) { _tag = tag; }
  QString type() const { return _type; }
  void setType(const QString &type) { _type = type; }
  bool isLocked() const { return _locked; }
  float zoom() const { return _zoom; }

  SegmentWidget *addSegment(Segment *segment);
  void removeSegment(Segment *segment, bool animated);
  void clear();
  // Deletes at once every block not in keep.
  void removeSegmentWidgetsExcept(const QSet<SegmentWidget *> &keep);
  int segmentWidgetCount() const { return _segmentWidgets.size(); }
  SegmentWidget *segmentWidgetAt(int index) const;
  SegmentWidget *segmentWidgetForSegment(Segment *segment) const;

  void setScale(float zoom, bool animated);
  void setLocked(bool locked, SegmentWidget *except);
  // The latest end over the row's segments; 0 when empty.
  float contentDuration() const;

  // The nearest block start or end within 0.25 / zoom seconds, starts first; off unless the
  // user lets drops align.
  float alignTime(float time, Segment *except) const;
  // Shows where a dragged segment of `duration` seconds would land; *time is the wanted
  // start in, the snapped start out.
  void showDraggingFrame(Segment *segment, float *time, float duration, const OtherRowsAlign &otherRowsAlign = {});
  void hideDraggingFrame();
  SegmentDraggingFrameWidget *draggingFrame() const { return _draggingFrame; }

  void setSelectionRange(float start, float duration);
  bool hasSelection() const;
  void removeSelection();
  QPushButton *selectionButton() const { return _selectionButton; }

  bool isDragging() const { return _dragging; }
  QRect homeGeometry() const { return _lift.homeGeometry; }
  QWidget *highlight() const { return _highlight; }
  void setDropTarget(TrackWidget *track) { _dropTrack = track; }
  void setOverRemoveTarget(bool over) { _overRemoveTarget = over; }
  void setBackgroundPixmap(QPixmap *pixmap);

signals:
  void trackWidgetDraggingStateChanged(TrackWidget *trackWidget, bool dragging);
  void trackWidgetDraggingMoving(TrackWidget *trackWidget, QPoint pt);

private slots:
  void onSelectionWidgetClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void _onHoldTimeout(int generation);
  bool _canBePickedUp() const;
  void _putBack(bool flyBack);
  void _endDrag();

  int _tag = 0;
  QString _type;
  bool _locked = false;
  float _zoom;
  QPixmap *_backgroundPixmap = nullptr;
  QList<SegmentWidget *> _segmentWidgets;
  SegmentDraggingFrameWidget *_draggingFrame = nullptr;
  bool _dragging = false;
  bool _pressed = false;
  int _pressGeneration = 0;
  QPoint _pressGlobalPos;
  DragLift _lift;
  QPointer<TrackWidget> _dropTrack;
  bool _overRemoveTarget = false;
  QPointer<QWidget> _highlight;
  QPushButton *_selectionButton = nullptr;
};
