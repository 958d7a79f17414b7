#pragma once

#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QScroller>
#include <QSet>

class QLabel;
class QParallelAnimationGroup;
class QTimer;
class Segment;
class SegmentDraggingFrameWidget;
class SegmentDraggingOperationWidget;
class SegmentWidget;
class TrackWidget;

// The timeline: one TrackWidget row per track in the content widget, the rows' layout and
// animated moves, zoom and scrolling signals, keys and the selection of one block. It
// changes no project data; the editor answers its signals and calls back.
class EditScrollArea : public QScrollArea
{
  Q_OBJECT
public:
  explicit EditScrollArea(QWidget *parent = nullptr);
  ~EditScrollArea() override;

  // Range selection, written by the editor before updateSelectionRange.
  bool rangeSelectionMode = false;
  float selectionStart = 0;
  float selectionEnd = 0;

  float zoom() const { return _zoom; }

  // Rows.
  TrackWidget *addTrack(float zoom, float duration);
  void setScale(float zoom, float duration);
  void removeTrackWidget(TrackWidget *track);
  void removeTrackWidgets(const QList<TrackWidget *> &tracks);
  void removeTracks(const QList<TrackWidget *> &tracks) { removeTrackWidgets(tracks); }
  void removeAllTracks() { removeTracksFrom(0); }
  // Deletes the rows from index first on at once, without moving the others.
  void removeTracksFrom(int first);
  int trackCount() const { return _trackWidgets.size(); }
  TrackWidget *trackWidgetAt(int index) const;
  TrackWidget *trackWidgetByTag(int tag) const;
  TrackWidget *firstTrack() const;
  TrackWidget *firstMovieTrack() const;
  int lowerTrackTag(int tag) const;
  int upperTrackTag(int tag) const;
  int movieTrackCount() const;
  bool canTrackTakeSegmentType(const QString &type, TrackWidget *track) const;
  // Snaps a time to the nearest block end of every row but `skip`; *found tells whether
  // one did. Used while a block is dragged.
  float alignTimeAcrossTracks(float time, Segment *except = nullptr, TrackWidget *skip = nullptr,
                              bool *found = nullptr) const;

  void setTracksLocked(bool locked, SegmentWidget *except);
  void setSegmentsEditable(bool editable);
  void clearSelection();
  void updateSelectionRange();
  bool hasSelectionOnAnyTrack() const;
  SegmentWidget *selectedSegmentWidget() const { return _selectedSegmentWidget; }
  void setSelectedSegmentWidget(SegmentWidget *segmentWidget);
  bool isEditingSegment() const { return _editingSegmentWidget; }
  SegmentWidget *editingSegmentWidget() const { return _editingSegmentWidget; }
  // True while rows are moving; the editor waits before it removes blocks.
  bool isAnimating() const { return _busyAnimations > 0; }

  QPoint contentOffset() const;
  float horizontalOffset() const;
  QSize contentSize() const;
  void setContentOffset(const QPoint &offset, bool animated);
  void stopScrolling();
  void stopKineticScroll() { stopScrolling(); }
  void makeWidgetVisible(QWidget *widget);
  void setMouseEventsEnabled(bool enabled);
  bool isMouseTransparent() const;
  void connectSegmentWidget(SegmentWidget *segmentWidget);
  // Repaints the block's place when some of it is in view; one out of view paints when
  // scrolled to, so thousands of changes there cost no repaint.
  void updateBlockInView(SegmentWidget *segmentWidget);

  // The removal puff: four pictures once in 350 ms, 40 x 40 centred on a global point.
  void showRemoveAnimation(const QPoint &globalPos);

  // Trim bars of the edited block; the editor re-places them after it changes a range.
  void showTrimBars(SegmentWidget *block, int dy);
  void hideTrimBars();
  void reloadTrimBars() { showTrimBars(_editingSegmentWidget, 0); }
  void updateTrimBarPositions();
  QLabel *leftTrimBar() const;
  QLabel *rightTrimBar() const;
  QLabel *leftTransitionHandle() const;
  QLabel *rightTransitionHandle() const;
  SegmentDraggingOperationWidget *dropTargets() const;
  SegmentDraggingFrameWidget *trackDropFrame() const;

  const QPixmap &trackBackPixmap() const { return _trackBackPixmap; }
  const QPixmap &trackBackColorPixmap() const { return _trackBackColorPixmap; }

signals:
  void editScrollAreaWillBeginDragging();
  void editScrollAreaDidScroll(QPoint offset);
  void editScrollAreaWillEndDragging();
  void editScrollAreaScaleBegan();
  void editScrollAreaScaleChanged(float scale);
  void editScrollAreaScaleEnd();
  void editScrollAreaBeginDraggingSegment();
  void editScrollAreaEndDraggingSegment();
  void editScrollAreaCopySegment(Segment *segment);
  void editScrollAreaRemoveSegment(Segment *segment);
  void editScrollAreaMoveSegmentToTrack(Segment *segment, TrackWidget *trackWidget, float time);
  void editScrollAreaBeginDraggingTrackWidget(TrackWidget *trackWidget);
  void editScrollAreaEndDraggingTrackWidget(TrackWidget *trackWidget, bool tagsChanged);
  void editScrollAreaRemoveTrack(TrackWidget *trackWidget);
  void editScrollAreaGetSafeAreaInsets(float *left, float *top, float *right, float *bottom);
  void editScrollAreaDidEnterEditingSegment(Segment *segment);
  void editScrollAreaDidFinishEditingSegment(Segment *segment);
  void editScrollAreaDidFinishEditingSegmentImmediately(Segment *segment);
  void editScrollAreaSeekToTime(float time);
  void editScrollAreaReloadPreviewForSegment(Segment *segment, bool rangeStart);
  void editScrollAreaBeginTrimSegment(Segment *segment);
  void editScrollAreaGetSegmentOverwriteMode(bool &ret);
  void editScrollAreaDidEnterEditingTransition(Segment *segment, int tId);
  void editScrollAreaDidFinishEditingTransition(Segment *segment);
  void editScrollAreaSeekToTransition(int tId, bool beginOrEnd);
  void editScrollAreaTappedOnTransitionBar(int tId, bool beginOrEnd);
  void editScrollAreaReloadPreviewForTransition(int tId, bool beginOrEnd);
  void editScrollAreaDidTransitionRangeChange(int tId);
  void editScrollAreaBeginMoveTransition(int tId, bool beginOrEnd);
  void editScrollAreaEndMoveTransition(int tId, bool beginOrEnd, bool moved);
  void editScrollAreaBeginTrimTransition(int tId, bool beginOrEnd);
  void editScrollAreaEndTrimTransition(int tId, bool beginOrEnd, bool trimmed);
  void editScrollAreaSelectNextSegmentByDirectionKey(int key);
  void editScrollAreaDeleteKeyPressed();
  void editScrollAreaSelectedSegmentWidgetChanged(bool hasSelect);
  void editScrollAreaPopupContextMenuForSegmentWidget(SegmentWidget *segmentWidget, QPoint pos);
  void editScrollAreaDoubleClickedOnFailedSegment(SegmentWidget *segmentWidget, QPoint pos);
  void editScrollAreaSplitSegment(Segment *segment);

protected:
  bool event(QEvent *event) override;
  bool viewportEvent(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void scrollContentsBy(int dx, int dy) override;

  // The press belongs to a trim bar or transition handle of the edited block.
  virtual bool _isHandleHit(const QPoint &globalPos) const;
  // Re-places the editing handles after the edited block moved or resized.
  virtual void _updateHandlePositions();
  // Moves every row by dy (animated when animations are on).
  void _moveTracksBy(int dy);

private slots:
  void onScrollerStateChanged(QScroller::State state);
  void onScrollBarPressedDown();
  void onScrollBarPressReleased();
  void onScrollBarActionTriggered(int action);
  void onTrackWidgetDraggingStateChanged(TrackWidget *trackWidget, bool dragging);
  void onTrackWidgetDraggingMoving(TrackWidget *trackWidget, QPoint pt);
  void onSegmentWidgetEditingStateChanged(SegmentWidget *segmentWidget, bool editing);
  void onSegmentWidgetTransitionIdChanged(SegmentWidget *segmentWidget, int transitionId);
  void onSegmentWidgetDraggingTransitionChanged(SegmentWidget *segmentWidget, int draggingTransition);
  void onSegmentWidgetDraggingStateChanged(SegmentWidget *segmentWidget, bool dragging);
  void onSegmentWidgetDraggingMoving(SegmentWidget *segmentWidget, QPoint pt);
  void onSegmentWidgetMousePressed(SegmentWidget *segmentWidget, QPoint pos);
  void onSegmentWidgetRightMousePressed(SegmentWidget *segmentWidget, QPoint pos);
  void onSegmentWidgetDestroyed(QObject *object);

private:
  void _applyScrollBarStyle();
  QRect _trackRect(int index, float zoom, float duration) const;
  void _setContentSize(float zoom, float duration, int rows);
  void _giveBackgrounds(int from);
  void _unselect();
  // Runs a group of row moves; busy until the last running group ends.
  void _runTrackAnimations(QParallelAnimationGroup *group);
  void _animateTracksTo(const QHash<TrackWidget *, QPoint> &targets);
  QPoint _takePendingTarget(TrackWidget *track);

  // Dragging blocks and rows.
  void _addDropTargets(bool hideDuplicate);
  void _removeDropTargets();
  int _dropTargetHitAt(const QPoint &globalPos) const;
  void _updateVerticalAutoScroll(const QPoint &globalPos, int rowHeight);
  void _autoScrollHorizontally();
  void _autoScrollVertically();
  void _scrollTo(int horizontal, int vertical);
  void _clearAutoScroll();
  bool _reorderTrack(TrackWidget *track, TrackWidget *target);
  void _hideTrackDropFrame();

  // Editing state.
  QLabel *_makeEditingLabel(const QPixmap &pixmap, const QSize &size);
  void _fadeIn(QLabel *label);
  void _placeTrimBars(SegmentWidget *block);
  void _showTransitionHandles(int transitionId);
  void _deleteTransitionHandles();
  void _updateTransitionHandlePositions();
  QRect _contentRectOf(QWidget *widget) const;
  int _hitZone(const QPoint &globalPos) const;
  void _moveLeftTrimBar(float x);
  void _moveRightTrimBar(float x);
  void _moveBeginHandle(float x);
  void _moveEndHandle(float x);

  QPointer<SegmentWidget> _editingSegmentWidget;
  float _zoom = 1.0f;
  float _duration = 0;
  QList<TrackWidget *> _trackWidgets;
  QPixmap _trackBackPixmap;
  QPixmap _trackBackColorPixmap;
  bool _handlePressed = false;
  int _busyAnimations = 0;
  QPointer<SegmentWidget> _draggedSegmentWidget;
  QPointer<SegmentWidget> _selectedSegmentWidget;
  // Identities only, never dereferenced: which block a destroyed() came from.
  const QObject *_editingIdentity = nullptr;
  const QObject *_selectedIdentity = nullptr;
  // Blocks joined by connectSegmentWidget and not yet destroyed: a queued press may arrive
  // after its block is gone.
  QSet<const QObject *> _liveBlocks;

  QPointer<SegmentDraggingOperationWidget> _dropTargets;
  QPoint _scrollAtDragStart;
  int _dropTargetHit = 0;
  QPointer<TrackWidget> _dropTrack;
  float _dropTime = 0;
  float _autoScrollSpeed = 1.0f;
  bool _autoScrollLeft = false;
  bool _autoScrollRight = false;
  bool _autoScrollUp = false;
  bool _autoScrollDown = false;
  QTimer *_horizontalScrollTimer = nullptr;
  QTimer *_verticalScrollTimer = nullptr;
  QPointer<SegmentDraggingFrameWidget> _trackDropFrame;

  bool _trimmingLeft = false;
  bool _trimmingRight = false;
  bool _draggingTransitionBegin = false;
  bool _draggingTransitionEnd = false;
  bool _transitionHandleMoved = false;
  QPoint _pressAnchor;
  QPoint _pressGlobalPos;
  QPointer<QLabel> _leftTrimBar;
  QPointer<QLabel> _rightTrimBar;
  QPointer<QLabel> _leftTransitionHandle;
  QPointer<QLabel> _rightTransitionHandle;
};
