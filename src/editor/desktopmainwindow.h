#pragma once
// The editor window of the desktop: the media area, the preview with its control bar, the
// timeline and a side panel for the segment inspector, the menu bar, and splitter sizes that
// are remembered per project. Construction and layout in desktopmainwindow.cpp, the menus in
// _menus, the slots of its own widgets in _slots, the inspector in the side panel in
// _inspector, full screen and export progress in _fullscreen.

#include "mainwindow.h"

#include <QPointF>
#include <QPointer>

#include <memory>

class DesktopMainWindowForm;
class FullscreenControlWidget;
class PopupProjectSettingsWidget;
class QKeyEvent;
class QMenu;
class QPixmap;
class SegmentInspectorWidget;
class TaskbarProgress;

class DesktopMainWindow : public MainWindow
{
  Q_OBJECT
public:
  DesktopMainWindow(const QString &projectName, const QString &projectFolder, QWidget *parent = nullptr);
  ~DesktopMainWindow() override;

  const DesktopMainWindowForm &form() const { return *_form; }
  int inspectorAreaWidth() const { return _inspectorAreaWidth; }
  int mediaAreaWidth() const { return _mediaAreaWidth; }
  int previewAreaHeight() const { return _previewAreaHeight; }
  QAction *mediaExplorerAction() const { return _mediaExplorerAction; }
  QAction *segmentInspectorAction() const { return _segmentInspectorAction; }
  QMenu *transitionMenu() const { return _transitionMenu; }
  SegmentInspectorWidget *segmentInspectorWidget() const { return _segmentInspectorWidget; }
  FullscreenControlWidget *fullscreenControlWidget() const { return _fullscreenControlWidget; }
  TaskbarProgress *taskbarProgress() const { return _taskbarProgress; }
  bool isPreviewFullscreen() const { return _fullscreen; }

  // Overrides of MainWindow's virtual operations (the side panel in _inspector, full screen and
  // export progress in _fullscreen, the rest here).
  void updatePlayPauseIcon() override;
  void showProjectSettingsPopup() override;
  PopupProjectSettingsWidget *projectSettingsPopup() const;
  bool isEditingTransitions() override;
  bool isVolumeButtonEnabled() override;
  void showEditingToolsFor(SegmentWidget *segmentWidget, float time) override;
  void dismissToolPopups() override;
  void updateToolsAtTime(float time) override;
  void updateTransitionTools() override;
  void updateInspectorGeometry() override;
  void cropModeChanged(bool on) override;
  void textEditingModeChanged(bool on) override;
  void transitionsDidChange() override;
  QString _easingHint(Segment *segment, int transitionId) override;
  void drawingModeChanged(bool on) override;
  // The inspector carries the drawing tools here: none over the preview.
  void setUpDrawingToolWidgets(CanvasWidget *) override {}
  void _showTransitionToolsFor(float time, int transitionId) override;
  void saveToolBarOffsets(QHash<QString, QVariant> &offsets) override;
  void restoreToolBarOffsets(const QHash<QString, QVariant> &offsets) override;
  void _showTransitionTools() override;
  void updateInspectorTextStyle() override;
  void placeExternalControlWidget(QWidget *widget) override;
  void removeExternalControlWidget(QWidget *widget) override;
  void toggleFullscreen() override;
  void _startTransitionMode() override;
  void endTransitionMode() override;
  void updateFullscreenProgress(float time) override;
  void showFullscreenControls() override;
  bool backOut() override;
  void saveLayout() override;
  bool isMediaAreaHidden() override;
  void exportProgressBegan() override;
  void exportProgressChanged(float progress) override;
  void exportProgressEnded() override;

  // The name of an easing code as the inspector shows it; empty outside 1..16.
  static QString easingName(int easing);

  // The names of the preview qualities, by index.
  static QString previewQualityName(int quality);

public slots:
  void onTopAreaSplitterMoved(int pos, int index);
  void onRootAreaSplitterMoved(int pos, int index);
  void onMainSplitterMoved(int pos, int index);
  void onPlayPauseButtonClicked();
  void onNextPositionButtonClicked();
  void onPreviousPositionButtonClicked();
  void onUndoButtonClicked();
  void onProjectSettingsButtonClicked();
  void onShareButtonClicked();
  void onPreviewScaleButtonClicked();
  void onPreviewQualityButtonClicked();
  void onFullscreenButtonClicked();
  void onHideInspectorAreaButtonClicked();
  void onActionViewMediaExplorerTriggered();
  void onActionViewSegmentInspectorTriggered();
  void onViewMenuAboutToShow();
  void onTransitionMenuAboutToShow();

  // The hosted segment inspector (desktopmainwindow_inspector.cpp).
  void segmentInspectorWidget_onDidFinish(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onDoneAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onDuplicateSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onSplitSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onRemoveSegment(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onEnterEditTransition(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onExitEditTransition(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onKeyPressed(SegmentInspectorWidget *widget, QKeyEvent *event);
  void segmentInspectorWidget_onSelectFont(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onSetTextAlignment(SegmentInspectorWidget *widget, int alignment);
  void segmentInspectorWidget_onEditText(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onEditDrawing(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onEditPicture(SegmentInspectorWidget *widget, QWidget *issueWidget);
  void segmentInspectorWidget_onVideoGrabImage(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onMaintainAspectRatioAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onRestoreDefaultAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onCropAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onRotateClockwiseAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onRotateCounterClockwiseAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onFlipHorizontalAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onFlipVerticalAction(SegmentInspectorWidget *widget);
  void segmentInspectorWidget_onSetGeometryX(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onSetGeometryY(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onSetGeometryWidth(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onSetGeometryHeight(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onSetGeometryRotation(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_beforeUpdateGeometryValue(SegmentInspectorWidget *widget, QPointF &translation,
                                                        QPointF &scale, qreal &rotation);
  void segmentInspectorWidget_onUpdateGeometryX(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onUpdateGeometryY(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onUpdateGeometryWidth(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onUpdateGeometryHeight(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_onUpdateGeometryRotation(SegmentInspectorWidget *widget, double value);
  void segmentInspectorWidget_afterUpdateGeometryValue(SegmentInspectorWidget *widget, QPointF translation,
                                                       QPointF scale, double rotation);
  void segmentInspectorWidget_onGetEasingFunctionHintText(SegmentInspectorWidget *widget, Segment *segment, int tId,
                                                          QString &text);
  void segmentInspectorWidget_onGetEasingFunctionIconImage(SegmentInspectorWidget *widget, Segment *segment, int tId,
                                                           QPixmap &pixmap);
  void segmentInspectorWidget_onTransitionSelectionIndexChanged(SegmentInspectorWidget *widget, int index);
  void segmentInspectorWidget_onTransitionBeginOrEndPositionChanged(SegmentInspectorWidget *widget, int beginOrEnd);
  void segmentInspectorWidget_onPopupEasingFunctionsWidgetOnButton(SegmentInspectorWidget *widget,
                                                                   QPushButton *button);
  void segmentInspectorWidget_onAddTransitionOnButton(SegmentInspectorWidget *widget, QPushButton *button);
  void segmentInspectorWidget_onRemoveTransitionAtIndex(SegmentInspectorWidget *widget, int index);
  void segmentInspectorWidget_onDuplicateTransitionAtIndex(SegmentInspectorWidget *widget, int index);

  // The full-screen control strip (desktopmainwindow_fullscreen.cpp).
  void fullscreenControlWidget_pauseIfPlaying(bool &playing);
  void fullscreenControlWidget_needToPlay();
  void fullscreenControlWidget_seekToPosition(int value);

  // Drawing state (desktopmainwindow_drawing.cpp): the window makes no drawing tools of its own and
  // routes to the inspector's while a drawing is edited.
  void segmentInspectorWidget_onGetCanvasSize(SegmentInspectorWidget *widget, QSize &size);
  void segmentInspectorWidget_onInitDrawingWidgets(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                                   DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);
  void segmentInspectorWidget_onStartDrawing(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                             DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);
  void segmentInspectorWidget_onEndDrawing(SegmentInspectorWidget *widget);

public:
  void drawingDidEnd() override;

protected:
  // The inspector's four drawing signals to the slots above; the canvas size is asked directly.
  void _connectInspectorDrawingSignals(SegmentInspectorWidget *inspector);

protected:
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  bool _isPreviewFullscreen() const override { return _fullscreen; }

private:
  void _styleWidgets();
  void _connectControlBar();
  void _restoreSplitterSizes();
  void _applyRootSplitterSizes();
  // A stored pane size into the screen: at least the pane's minimum, at most what leaves the
  // pane beside it its minimum too. A size beyond the screen counts as a reset value.
  int _fitLayoutSize(int size, int minimum, int screen);
  void _applySideSplitterSizes();
  // Shows or hides the control bar's buttons for a preview area of width w.
  void _adaptControlBar(int width);
  void _buildMenuBar();
  // A titled popup menu of choices at the cursor; the chosen index, -1 when none.
  int _execPreviewMenu(const QString &title, const QStringList &items);
  // The side panel and the hosted inspector.
  void _createSegmentInspector();
  void _connectSegmentInspector();
  void _setSidePanelWidth(int width);
  int _sidePanelWidth() const;
  void _setEditingMode(bool on, const QString &title, int mode);
  // The block whose segment the inspector shows: the edited one, else the selected one.
  SegmentWidget *_inspectedBlock() const;
  Segment *_inspectedSegment() const;
  void _createFullscreenControl();
  void _placeFullscreenControl();

  std::unique_ptr<DesktopMainWindowForm> _form;
  int _inspectorAreaWidth = 300;
  int _mediaAreaWidth = -1;
  int _previewAreaHeight = -1;
  // Made on first use and kept; the side panel shows a label until then.
  SegmentInspectorWidget *_segmentInspectorWidget = nullptr;
  QAction *_mediaExplorerAction = nullptr;
  QAction *_segmentInspectorAction = nullptr;
  QMenu *_transitionMenu = nullptr;
  // Only while the preview fills the screen.
  FullscreenControlWidget *_fullscreenControlWidget = nullptr;
  bool _fullscreen = false;
  QPointer<PopupProjectSettingsWidget> _projectSettingsPopup;
  // Only while a movie exports.
  TaskbarProgress *_taskbarProgress = nullptr;
};
