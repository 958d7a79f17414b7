#pragma once
// The editor window of the desktop: the media area, the preview with its control bar, the
// timeline and a side panel for the segment inspector, the menu bar, and splitter sizes that
// are remembered per project. Construction and layout in desktopmainwindow.cpp, the menus in
// _menus, the slots of its own widgets in _slots.

#include "mainwindow.h"

#include <memory>

class DesktopMainWindowForm;
class QMenu;
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

  void saveLayout() override;
  bool isMediaAreaHidden() override;

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

  // Drawing state (desktopmainwindow_drawing.cpp): the window makes no drawing tools of its own and
  // routes to the inspector's while a drawing is edited.
  void segmentInspectorWidget_onGetCanvasSize(SegmentInspectorWidget *widget, QSize &size);
  void segmentInspectorWidget_onInitDrawingWidgets(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                                   DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);
  void segmentInspectorWidget_onStartDrawing(SegmentInspectorWidget *widget, DrawingColorWidget *colorWidget,
                                             DrawingTuningWidget *tuningWidget, DrawingToolsWidget *toolsWidget);
  void segmentInspectorWidget_onEndDrawing(SegmentInspectorWidget *widget);

public:
  void setUpDrawingToolWidgets(CanvasWidget *canvas) override;
  void drawingDidEnd() override;

protected:
  // The inspector's four drawing signals to the slots above; the canvas size is asked directly.
  void _connectInspectorDrawingSignals(SegmentInspectorWidget *inspector);

protected:
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void _styleWidgets();
  void _connectControlBar();
  void _restoreSplitterSizes();
  void _applyRootSplitterSizes();
  void _applySideSplitterSizes();
  // Shows or hides the control bar's buttons for a preview area of width w.
  void _adaptControlBar(int width);
  void _buildMenuBar();

  std::unique_ptr<DesktopMainWindowForm> _form;
  int _inspectorAreaWidth = 300;
  int _mediaAreaWidth = -1;
  int _previewAreaHeight = -1;
  // Made on first use by the inspector's own step; the side panel shows a label until then.
  SegmentInspectorWidget *_segmentInspectorWidget = nullptr;
  QAction *_mediaExplorerAction = nullptr;
  QAction *_segmentInspectorAction = nullptr;
  QMenu *_transitionMenu = nullptr;
  // The full-screen control strip comes with the edit area's overlays; null until then.
  QWidget *_fullscreenControlWidget = nullptr;
  TaskbarProgress *_taskbarProgress = nullptr;
};
