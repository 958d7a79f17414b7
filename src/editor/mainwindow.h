#pragma once
// The editing window of one project: the project model and thumbnail cache it owns, the engine
// objects of the preview, the window-wide actions, the bridge by which engine callbacks reach
// the GUI thread, the background file copy, the delivery of an exported movie and the closing
// step. Always built as DesktopMainWindow, which makes the panels and menus around it.
//
// Concerns live in files of their own: mainwindow.cpp (construction, actions, virtual base
// bodies), _bridge (engine callbacks), _delivery (copy task, exported movie, closing step),
// _layout (timeline and media area set-up), _geometry (preview, pointers, zoom, quality),
// _refresh (action and tool states), _hud (progress displays and help), _listener (the
// segment callbacks), _handlers (slots whose bodies come with the editing commands), _project
// (opening and loading), _saving (saving and closing), _engine (segments into the engine),
// _tracks (track placement and range commits), _playback (play head, seeking, playback).

#include "commonmainwindow.h"
#include "progresshud.h"
#include "projectloader.h"
#include "propertymap.h"
#include "segmentlistener.h"
#include "turnpacer.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QMutex>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariant>

#include <atomic>
#include <functional>

class AVComposition;
class AVEngine;
class AVExporter;
class AVGLWidget;
class AVImageLoader;
class AVRender;
class AVSegment;
struct AVPixelBuffer;
class CanvasWidget;
class CommonPopup;
class CropWidget;
class DrawingColorWidget;
class DrawingShapeToolsWidget;
class DrawingToolsWidget;
class DrawingTuningWidget;
class EditScrollArea;
class FullscreenControlWidget;
class GutterScrollArea;
class MediaExplorer;
class MediaPreviewWidget;
class PointerWidget;
class PopupChromaKeyWidget;
class PopupEasingFunctionsWidget;
class PopupMediaTypeSelectionWidget;
class PopupMicrophoneWidget;
class PopupMovieExportingWidget;
class PopupProjectSettingsWidget;
class PopupTransitionsListWidget;
class ProjectManager;
class QAction;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;
class QVBoxLayout;
class RulerScrollArea;
class ScrollableToolBar;
class SelectionOperationWidget;
class SegmentWidget;
class TextEditWidget;
class TooltipButton;
class TrackWidget;
class TransformWidget;
class VideoThumbnailsCache;

// The editing popups, the in-place text editor and the drawing tools the popup handlers meet.
class CommonSliderColorPopup;
class DrawingColorWidget;
class DrawingToolsWidget;
class DrawingTuningWidget;
class PopupColorsScrollWidget;
class PopupSliderColor1Switch2SlidersWidget;
class PopupSliderColor2SlidersWidget;
class PopupSliderColorShadowWidget;
class PopupSliderColorWidget;
class PopupSliderWidget;
class QTextEdit;
class TextSegment;

// The engine's callbacks, each with the window as user data. They run on engine threads, touch
// no widget and no model, and only log and emit signals of the window.
void mainWindowCompositionListener(AVComposition *composition, AVSegment *segment, void *userData);
void mainWindowThumbnailsLoadedCallback(uint32_t segmentId, void *userData);
void mainWindowRenderCallback(AVRender *render, int status, double time, void *userData);
void mainWindowExporterCallback(AVExporter *exporter, int message, double value, void *userData);

// What the background copy shares with the code that started it and polls it.
struct FileCopyState
{
  std::atomic<qint64> bytesCopied{0};
  std::atomic<bool> succeeded{false};
  std::atomic<bool> running{true};
};

// The window-wide actions, in the order they are made.
struct MainWindowActions
{
  QAction *maintainAspectRatio = nullptr;
  QAction *restoreDefault = nullptr;
  QAction *fillScreen = nullptr;
  QAction *editText = nullptr;
  QAction *originalSize = nullptr;
  QAction *editDrawing = nullptr;
  QAction *undo = nullptr;
  QAction *redo = nullptr;
  QAction *rangeSelect = nullptr;
  QAction *insertOverwriteMode = nullptr;
  QAction *fullscreen = nullptr;
  QAction *addFile = nullptr;
  QAction *addFromCamera = nullptr;
  QAction *addFromMicrophone = nullptr;
  QAction *addText = nullptr;
  QAction *addSelfDraw = nullptr;
  QAction *editSegment = nullptr;
  QAction *duplicateSegment = nullptr;
  QAction *removeSegment = nullptr;
  QAction *splitSegment = nullptr;
  QAction *addTransition = nullptr;
  QAction *duplicateTransition = nullptr;
  QAction *deleteTransition = nullptr;
  QAction *editTransition = nullptr;
  QAction *playPause = nullptr;
  QAction *nextPosition = nullptr;
  QAction *previousPosition = nullptr;
  QAction *exportMovie = nullptr;
  QAction *movieSettings = nullptr;
};

// How a finished export is delivered; set by the export commands.
struct ExportSettings
{
  int shareKind = 1;
  int qualityIndex = 2;
  QString codec = QStringLiteral("h264");
  QString outputFolder;
  QString baseName;
  QString workingFile;
};

class MainWindow : public CommonMainWindow, public SegmentListener
{
  Q_OBJECT
public:
  MainWindow(const QString &projectName, const QString &projectFolder, QWidget *parent = nullptr);
  ~MainWindow() override;

  QString projectName() const { return _projectName; }
  // The browser folder the project lies in ("" at the root), as the window was opened with.
  QString browserFolder() const { return _projectFolder; }
  // The segments resolve their files against it: the project's directory.
  QString projectFolder() override;
  ProjectManager *projectManager() override { return _projectManager; }
  VideoThumbnailsCache *thumbnailsCache() const { return _thumbnailsCache; }
  const MainWindowActions &actions() const { return _actions; }
  ExportSettings &exportSettings() { return _exportSettings; }
  QTimer *autoSaveTimer() const { return _autoSaveTimer; }
  AVGLWidget *previewWidget() const { return _previewWidget; }
  EditScrollArea *editScrollArea() const { return _editScrollArea; }
  PointerWidget *playheadPointer() const { return _playheadPointer; }
  GutterScrollArea *gutter() const { return _gutter; }
  MediaExplorer *mediaExplorer() const { return _mediaExplorer; }
  QSlider *zoomSlider() const { return _zoomSlider; }
  QPushButton *zoomInButton() const { return _zoomInButton; }
  QPushButton *zoomOutButton() const { return _zoomOutButton; }
  ProgressHUD *progressHUD() const { return _progressHUD; }
  float zoom() const { return _zoom; }
  ProjectLoader *projectLoader() const { return _loader; }
  // The opening failed (damaged project, no OpenGL): closing only tears the engine down.
  bool isLoadFailed() const { return _loadFailed; }
  bool isCancelRequested() const { return _cancelRequested; }
  float previewScale() const { return _previewScale; }
  int previewQuality() const { return _previewQuality; }
  bool isPlaying() const { return _playing; }
  // The zoom slider's position for a zoom: tenths, truncated.
  static int zoomSliderValue(float zoom) { return int(zoom * 10); }

  // The copy of a media file into the project, run on a worker thread. Stops without success
  // on a failed open, a short write or a read that returns nothing while bytes remain (the
  // source shrank or cannot be read); clears the running flag in every case.
  static void copyFileTask(const QString &source, const QString &target, FileCopyState *state);
  // Copies the export's working file to a free name in the output folder and shows the result
  // on the export popup.
  void deliverExportedMovie(PopupMovieExportingWidget *popup);
  // Saves the cover picture and the project, tears the engine down and closes for good. Runs
  // once: a second call neither saves nor tears down again.
  bool runClosingStep();

  // Virtual operations, in slot order after CommonMainWindow's four.
  virtual void afterSegmentEditing() {}
  virtual void togglePlayPause();
  virtual void updatePlayPauseIcon();
  virtual void undoRedoOperation(bool undo);
  virtual bool closeEditor();
  virtual void showMovieExportingPopup();
  virtual void showProjectSettingsPopup() {}
  virtual void _commitInPlaceEditing();
  virtual bool isEditingTransitions();
  virtual bool isVolumeButtonEnabled();
  virtual void showEditingToolsFor(SegmentWidget *segmentWidget, float time);
  virtual void dismissToolPopups();
  virtual void updateToolsAtTime(float time);
  virtual void updateTransitionTools();
  virtual void updateInspectorGeometry() {}
  virtual void cropModeChanged(bool on);
  virtual void textEditingModeChanged(bool on);
  virtual void transitionsDidChange() {}
  virtual QString _easingHint(Segment *segment, int transitionId);
  virtual void drawingModeChanged(bool on);
  virtual void setUpDrawingToolWidgets(CanvasWidget *canvas);
  virtual void _showTransitionToolsFor(float time, int transitionId);
  virtual void saveToolBarOffsets(QHash<QString, QVariant> &offsets);
  virtual void restoreToolBarOffsets(const QHash<QString, QVariant> &offsets);
  virtual void _showTransitionTools();
  virtual void updateInspectorTextStyle() {}
  virtual void placeExternalControlWidget(QWidget *widget) { Q_UNUSED(widget) }
  virtual void removeExternalControlWidget(QWidget *widget) { Q_UNUSED(widget) }
  virtual void toggleFullscreen() {}
  virtual void _startTransitionMode();
  virtual void endTransitionMode();
  virtual void updateFullscreenProgress(float time) { Q_UNUSED(time) }
  virtual void showFullscreenControls() {}
  virtual bool backOut();
  virtual void drawingDidEnd() {}
  virtual void saveLayout() {}
  virtual bool isMediaAreaHidden() { return false; }
  virtual void exportProgressBegan() {}
  virtual void exportProgressChanged(float progress) { Q_UNUSED(progress) }
  virtual void exportProgressEnded() {}

  // SegmentListener (mainwindow_listener.cpp).
  void segmentStateChanged(Segment *segment, int state) override;
  void segmentRangeChanged(Segment *segment) override;
  void noOperation() override;
  QString loadErrorText() override;
  QString fileNotFoundText() override;
  float messageMargin() override;
  quint32 messageBackgroundColor() override;
  quint32 messageTextColor() override;
  float messageFontSize() override;
  float titleMargin() override;
  quint32 titleTextColor() override;
  quint32 titleShadowColor() override;
  float titleShadowOffset() override;
  float titleFontSize() override;
  QString musicPlaceholderTitle() override;
  QString textPlaceholder() override;
  quint32 accentColor() override;
  int videoThumbnailCount(Segment *segment) override;
  QPixmap *videoThumbnail(Segment *segment, int index) override;
  void releaseVideoThumbnails(Segment *segment) override;
  float videoDuration(Segment *segment) override;
  float audioDuration(Segment *segment) override;
  QSizeF videoSize(Segment *segment) override;
  QString audioTitle(Segment *segment) override;
  QString audioArtist(Segment *segment) override;
  void setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap) override;
  QPixmap *cachedVideoThumbnail(Segment *segment, int index) override;
  VideoThumbnails *cachedVideoThumbnails(Segment *segment) override;
  int cachedVideoThumbnailCount(Segment *segment) override;
  float devicePixelRatio() override;
  float pixelsForDuration(float seconds) override;
  void segmentAudioPlotDataDidReady(Segment *segment) override;

signals:
  void avrenderProgressChanged(double time, double total);
  void avrenderStatusChanged(int status);
  void avsegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo);
  void offscreenReady();
  // Re-posted segment reports name the segment by id: it may be gone when they arrive.
  void segmentListener_segmentStateChanged(quint32 segmentId, int newState);
  void segmentListener_segmentRangeChanged(quint32 segmentId, float newDuration);
  void segmentListener_segmentAudioPlotDataDidReady(quint32 segmentId);
  void avexporterProgressChanged(float percent);
  void avexporterFinished(int err);
  void segmentEditingStateChanged();
  void transitionEditingStateChanged();

public slots:
  // Progress displays and help (mainwindow_hud.cpp).
  void showProgressHUD(const QString &text, float progress);
  void showWaitingHUD(const QString &text);
  void hideWaitingHUD();
  void hideProgressHUD() { hideWaitingHUD(); }
  void showUserHelp();
  void getMobileApp();
  void showAbout();
  void selectionOperationWidget_onCommandClicked(SelectionOperationWidget *widget, int cmdId);

  void autoSave();

  // Opening (mainwindow_project.cpp); the loader and segment handlers run on the GUI thread.
  void onProjectLoaderMessage(ProjectLoader *loader, int message, QVariant data);
  void onOpenGLFrameSwapped() {}
  void onSegmentStateChanged(quint32 segmentId, int newState);
  void onSegmentRangeChanged(quint32 segmentId, float newDuration);
  void onSegmentAudioPlotDataDidReady(quint32 segmentId);

  // Engine bridge receivers.
  void onAVRenderProgressChanged(double time, double total);
  void onAVRenderStatusChanged(int status);
  void onAVSegmentLoadStatusUpdated(int segId, int status, int loadingThumbnailStatus, int hardOrSoftVideo);
  void onAVExporterUpdateProgressValue(float percent);
  void onAVExporterFinished(int err);
  void onSegmentEditingStateChanged();
  void onTransitionEditingStateChanged();

  // Actions.
  void onActionMaintainAspectRatioTriggered();
  void onActionRestoreDefaultTriggered();
  void onActionFillScreenTriggered();
  void onActionEditTextTriggered();
  void onActionOriginalSizeTriggered();
  void onActionEditDrawingTriggered();
  void onActionUndoTriggered();
  void onActionRedoTriggered();
  void onActionEnterExitRangeSelect();
  void onActionInsertOverwriteMode();
  void onActionFullscreenTriggered();
  void onActionAddFileTriggered();
  void onActionAddFromCameraTriggered();
  void onActionAddFromMicrophoneTriggered();
  void onActionAddTextTriggered();
  void onActionAddSelfDrawTriggered();
  void onActionEnterExitEditingSegmentTriggered();
  void onActionDuplicateSegmentTriggered();
  void onActionRemoveSegmentTriggered();
  void onActionSplitSegmentTriggered();
  void onActionDuplicateTransitionTriggered();
  void onActionDeleteTransitionTriggered();
  void onActionEnterExitEditingTransitionTriggered();
  void onActionPlayPauseTriggered();
  void onActionNextPositionTriggered();
  void onActionPreviousPositionTriggered();
  void onActionExportTriggered();
  void onActionMovieSettingsTriggered();

  // The edit area's signals.
  void editScrollArea_willBeginDragging();
  void editScrollArea_willEndDragging();
  void editScrollArea_didScroll(QPoint offset);
  void editScrollArea_scaleBegan();
  void editScrollArea_scaleChanged(float scale);
  void editScrollArea_beginDraggingSegment();
  void editScrollArea_didEnterEditingSegment(Segment *segment);
  void editScrollArea_didFinishEditingSegment(Segment *segment);
  void editScrollArea_didFinishEditingSegmentImmediately(Segment *segment);
  void editScrollArea_seekToTime(float time);
  void editScrollArea_reloadPreviewForSegment(Segment *segment, bool rangeStart);
  void editScrollArea_beginTrimSegment(Segment *segment);
  void editScrollArea_getSegmentOverwriteMode(bool &overwrite);
  void editScrollArea_didEnterEditingTransition(Segment *segment, int tId);
  void editScrollArea_didFinishEditingTransition(Segment *segment);
  void editScrollArea_seekToTransition(int tId, bool beginOrEnd);
  void editScrollArea_tappedOnTransitionBar(int tId, bool beginOrEnd);
  void editScrollArea_reloadPreviewForTransition(int tId, bool beginOrEnd);
  void editScrollArea_didTransitionRangeChange(int tId);
  void editScrollArea_beginMoveTransition(int tId, bool beginOrEnd);
  void editScrollArea_endMoveTransition(int tId, bool beginOrEnd, bool moved);
  void editScrollArea_beginTrimTransition(int tId, bool beginOrEnd);
  void editScrollArea_endTrimTransition(int tId, bool beginOrEnd, bool trimmed);
  void editScrollArea_copySegment(Segment *segment);
  void editScrollArea_removeSegment(Segment *segment);
  void editScrollArea_splitSegment(Segment *segment);
  void editScrollArea_moveSegmentToTrack(Segment *segment, TrackWidget *trackWidget, float time);
  void editScrollArea_removeTrack(TrackWidget *trackWidget);
  void editScrollArea_beginDraggingTrackWidget(TrackWidget *trackWidget);
  void editScrollArea_endDraggingTrackWidget(TrackWidget *trackWidget, bool tagsChanged);
  void editScrollArea_getSafeAreaInsets(float *left, float *top, float *right, float *bottom);
  void editScrollArea_onSelectNextSegmentByDirectionKey(int key);
  void editScrollArea_onSelectedSegmentWidgetChanged(bool hasSelect);
  void editScrollArea_onDeleteKeyPressed();
  void editScrollArea_onPopupContextMenuForSegmentWidget(SegmentWidget *segmentWidget, QPoint pos);
  void editScrollArea_doubleClickedOnFailedSegment(SegmentWidget *segmentWidget, QPoint pos);

  // Zoom controls, mode button, gutter and tool bars.
  void onZoomSliderValueChanged(int value);
  void onZoomIn();
  void onZoomOut();
  void onSegmentModeButtonClicked();
  void gutterArea_onFunctionButtonPressed(int tag);
  void scrollableToolBar_onCommand(ScrollableToolBar *toolbar, int cmdId);

  // The media explorer's signals.
  void mediaExplorer_onShowTextMessage(const QString &text);
  void mediaExplorer_onShowProgressHUD(const QString &text, float progress);
  void mediaExplorer_onDownloadFinished(int error, const QString &id, const QString &filePath);
  void mediaExplorer_onMediaItemClicked(const QString &mediaId, int type, const QString &filePath,
                                        const QPixmap &image, const QString &metadata);

  // The chroma-key popup's values for the selected block (mainwindow_relays.cpp).
  void chromaKeyPopup_onValuesChanged(PopupChromaKeyWidget *popup, int sensitivity, int smoothing, QColor color);

  // The transform overlay's signals.
  void transformWidget_contentLayerGeometryDidChange(TransformWidget *transformWidget);
  void transformWidget_requestContextMenu(TransformWidget *transformWidget, QPoint pos);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void changeEvent(QEvent *event) override;
  // Window input (mainwindow_input.cpp).
  bool event(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void _startPointerDrag(const QPoint &globalPos, PointerWidget *pointer);
  float _snappedPointerX(float px) const;
  bool _applyDragEdges(float &px, float &tx, bool limitRight);
  bool _clampReleasedPointer(PointerWidget *pointer);

  // Opening (mainwindow_project.cpp).
  void _openProject();
  void _continueOpening();
  bool _loadProjectProperties();
  // Puts the preview widget in its place and shows it, once: the engine adopts it.
  AVGLWidget *_showPreviewWidget();
  // False when the display offers no OpenGL 3.2 or the window closed meanwhile.
  bool _setupPreviewEngine();
  bool _loadProjectInBackground();
  // Builds the maps the loader read a batch at a time, then finishes the timeline and lets the
  // loader go on.
  void _buildLoadedSegmentsInBatches();
  // Segments and blocks for maps [from, to), tracks by their saved ids in _loadedTracks.
  void _buildLoadedSegments(PropertyMapList &maps, size_t from, size_t to);
  void _finishLoadedSegments();
  // Ends the opening after a failure: the display goes and closing only tears down.
  void _failLoading(const QString &title, const QString &text);
  // Closing while the project opens: the loader stops, the engine goes, nothing is written.
  void _abandonOpening();
  // What the loader's placement of the maps moved and reset, for the message once loaded.
  void _notePlacement(const TrackPlacement::Result &placed);
  // Once loaded: a message when stored values (of segments or the layout) had to be reset.
  void _tellOfResetValues();
  // A frame for a segment that finished loading; while opening, one for many.
  void _refreshOnceAfterLoading();
  void _sendLearntMovieRange(Segment *segment);
  // Cancels a running loader and waits for its thread; before the model goes.
  void _stopLoader();
  int _showMessageBox(const QString &title, const QString &text, int icon);
  void _installAnimationFrameProvider();
  // The animated-picture frame the engine asks for; null at once when the id is gone.
  uchar *_animationFrame(quint32 segmentId, qint64 milliseconds, int maxWidth, int maxHeight, int *width,
                         int *height);

  // Segments into the engine (mainwindow_engine.cpp).
  void _addSegmentToEngine(Segment *segment);
  void _refreshSegment(Segment *segment);
  void _applyLayerPropertiesToEngine(Segment *segment);
  void _updateEngineSegmentRange(Segment *segment);
  void _applyTransitionToEngine(Segment *segment, int transitionId);

  // Tracks and range commits (mainwindow_tracks.cpp).
  void _addTrack();
  // The empty row at the bottom takes the kind of the block it is given; a new empty row goes
  // below it.
  void _claimLastTrack(TrackWidget *track, const QString &type);
  // Takes the segment's block from source to dest at time: model, engine and rows; source goes
  // when left empty.
  void _moveBlock(Segment *segment, TrackWidget *source, TrackWidget *dest, float time);
  // Movies and sounds of the opened project whose length was reset, once their files gave
  // them one: each that now reaches into another block goes where it fits, as the placement of
  // the opened project would have put it. The project stays as modified as it was.
  void _placeLengthsFromFiles();
  bool _placeLoadedBlock(Segment *segment, TrackPlacement::Rows &rows);
  int _shiftSegmentsOnTrack(float delta, float fromTime, int trackId, bool animated);
  int _shiftSegmentsOnTracks(float delta, float fromTime, const QSet<int> &trackIds, bool animated);
  bool _commitSegmentRangeChange(Segment *segment, bool forceInsert);
  void _recordOperation();
  void _saveRange(Segment *segment);

  // Play head and playback (mainwindow_playback.cpp).
  void _movePlayheadPointer(float time);
  void _moveRangeStartPointer(float time);
  void _setPlayheadTime(float time, bool animated);
  void _keepPlayheadInView();
  void _scrollTimelineTo(int x, bool animated);
  void _scrollTimelineToXY(int x, int y, bool animated);
  void _scrollTimelineToTime(float time, bool animated);
  void _seekToPlayhead(bool exact);
  void _seekToPlayheadTime(bool exact) { _seekToPlayhead(exact); }
  void _playShutterSound();
  // The edited block's track, 0 (every track) when none is edited.
  int _editedTrack() const;
  // Scrolls and seeks to the segment's start; a playback that ran resumes after the delay.
  void _jumpTo(Segment *segment, int resumeAfterMs);
  // Shows, hides or re-places the transform overlay for the edited block at time t
  // (mainwindow_overlays.cpp).
  virtual void _updateTransformOverlayAt(float time);
  void _updateTransformWidgetAtPlayhead();
  void hideMediaPreview();

  // Layer fitting and the old video geometry (mainwindow_fitting.cpp).
  // Insert/overwrite toggle and the text alignment tool's title (mainwindow_relays.cpp).
  void _toggleSegmentOverwriteMode();
  QString _textAlignmentTitle(Segment *segment) const;

  // The four act on the overlay's segment and do nothing without an overlay.
  void _maintainAspectRatio();
  void _restoreDefault();
  void _setOriginalSize();
  void _fillScreen();
  // The picture's own size; empty when there is none (no picture stream, unreadable file).
  QSizeF _layerSourceSize(Segment *segment) const;
  void _noteLegacyMovie(Segment *segment);
  void _convertLegacyMovieOnce(Segment *segment);
  // True while a video of an old project waits in it for its conversion.
  bool _legacyMovieAwaitsConversion();
  void _convertLegacyMovieTransform(Segment *segment);

  // Saving and closing (mainwindow_saving.cpp).
  void _askToCancelExport();
  // The save of the closing step failed: retry, keep the window or close without saving.
  // 0: saved on a retry, 1: keep the window, 2: close without saving.
  int _confirmClosingAfterFailedSave();

  // Layout hooks the concrete window hands over.
  struct LayoutHooks
  {
    QWidget *previewArea = nullptr;
    QWidget *playbackWidget = nullptr;
    QVBoxLayout *playbackLayout = nullptr;
    QWidget *mediaArea = nullptr;
    QWidget *pointerArea = nullptr;
    QWidget *editArea = nullptr;
    EditScrollArea *editScrollArea = nullptr;
    RulerScrollArea *rulerScrollArea = nullptr;
    QPushButton *playPauseButton = nullptr;
    TooltipButton *segmentModeButton = nullptr;
  };
  void _setLayoutHooks(const LayoutHooks &hooks);

  // Set-up steps of the timeline and the media area (mainwindow_layout.cpp).
  void _setUpEditArea();
  void _setUpGutter();
  void _setUpMediaExplorer(bool tabs);
  void _setUpPointers();
  void _setUpPreviewArea();
  void _setUpRuler();
  // Places the zoom controls and the gutter over the edit panel.
  void _layoutTimelineControls();

  // Geometry (mainwindow_geometry.cpp).
  void _layoutPreview();
  void _layoutMediaPreview();
  void _layoutPointers();
  void _setPreviewQuality(int quality);
  void _setTimelineScale(float zoom);
  void _updateTransformWidgetArea();
  void _updateTransformWidgetGeometry(bool animated);
  void _layoutTransformWidget(Segment *segment, bool animated);
  float _playheadTime() const;
  void _seekToTime(float time, bool exact);

  // The transform overlay (mainwindow_overlays.cpp).
  void _showTransformWidget(Segment *segment);
  void _hideTransformWidget();
  void _reloadTransformWidget(Segment *segment);
  void _layoutCropWidget();
  SegmentWidget *_editedBlock() const;
  // A transition of the selected block is chosen and one of its ends is edited.
  bool _isTransitionStateEdited() const;
  QRectF _previewFrameInOverlayParent() const;
  QSizeF _overlayNaturalSize(Segment *segment, const QSizeF &preview) const;
  // Whether the preview fills the screen; the desktop window answers it.
  virtual bool _isPreviewFullscreen() const { return false; }

  // State refresh (mainwindow_refresh.cpp).
  void _updateAddTransitionAction();
  void _updateSegmentActions();
  void _updateEditAction();
  void _updateEditTransitionsAction();
  void _updateRangeSelectionAction();
  void _updateActions();
  void _updateInsertOverwriteButton();
  void _notifyPlayheadTime();
  void _segmentEditingModeChanged();
  bool _isInPlaceEditing() const;
  // Whether the transform overlay is on show over the preview.
  virtual bool _hasTransformOverlay() const;
  static QString _easingIconName(int easing);

  // Project files. False when a file could not be written. The closing saves with the segments
  // written away from the window's thread.
  bool _saveProject(bool closing = false);
  int _saveSegmentsWhileTurning();
  // Runs work on a thread of its own while the window's events turn, clicks and keys held back
  // so that nothing is edited meanwhile; returns when it is done.
  void _runWhileTurning(const std::function<void()> &work);
  void _removeUnusedFiles();
  // After the segments were built: keeps the ones that could not be read in the file, and notes
  // what the folder holds that no segment names, which the clean-up then leaves alone.
  void _noteLoadedProject(const QList<int> &unreadPositions);
  // Tells once that items of the file were kept unread.
  void _reportUnreadSegments();
  QSet<QString> _segmentFileNames();
  void _removeTemporaryFiles();
  void _exitRangeSelection();
  void _rangeSelectionCommand(int cmdId);
  void _buildTransitionToolBar();
  void _transitionCommand(int cmdId);

  // Operations shared by the editing concerns, each defined in its concern's file.
  // Media intake.
  Segment *_cloneSegment(Segment *segment, float start);
  QList<QPair<float, float>> _absoluteTransitionTimes(Segment *segment);
  void _updateTransitionTimes(const QList<QPair<float, float>> &times, Segment *segment);
  // The engine takes a transition's start and length as fractions of the segment's length.
  void _sendTransitionTimesToEngine(Segment *segment, int transitionId);
  // Overlays and tool widgets.
  QImage _grabPreviewImage();
  void _removeSegmentWidgetWhenReady(SegmentWidget *segmentWidget);
  void _editTextOrDrawing();
  // Range selection.
  void _enterRangeSelection();
  // Transition presets; the editing commands' names for the same two operations.
  void _addTransitionFromToolBar(QWidget *button, int cmdId, ScrollableToolBar *toolbar);
  void _applyTransitionPreset(int cmdId);
  void _addTransition(QWidget *button, int cmdId, ScrollableToolBar *toolbar)
  {
    _addTransitionFromToolBar(button, cmdId, toolbar);
  }
  void _addTransitionPreset(int cmdId) { _applyTransitionPreset(cmdId); }

  // Timeline requests, splitting, range selection and edge auto-scroll (mainwindow_timeline.cpp,
  // mainwindow_split.cpp, mainwindow_range.cpp, mainwindow_autoscroll.cpp).
  void easingFunctionPopup_onEasingFunctionSelected(PopupEasingFunctionsWidget *popup, int easing);
  void _splitSegment(Segment *segment, float time);
  void _splitSegmentWithTransitions(Segment *segment, float time);
  void _splitSegmentAt(Segment *segment, float time, bool keepTransitionTimes);
  // Both return the kept transitions as absolute (start, duration) pairs in list order.
  QList<QPair<float, float>> _removeTransitionsBefore(float time, Segment *segment);
  QList<QPair<float, float>> _removeTransitionsAfter(float time, Segment *segment);
  QList<QPair<float, float>> _removeTransitionsMatching(Segment *segment,
                                                        const std::function<bool(float, float)> &keep);
  void _autoScrollWhileDragging();
  void _autoScrollVerticallyWhileDragging();
  void _autoScrollWhileSelecting();
  int _stepTimelineScroll(float step, bool left);
  void _insertBlankInSelectedRange();
  void _deleteSelectedRange();
  void _beginTimelineGesture();
  void _leaveSegmentEditing(Segment *segment, bool animated);
  void _fadeGutterIn(int durationMs, const std::function<void()> &finished);
  void _fadeGutterOut(int durationMs);
  // Runs what waits for the gutter's fade-in now: a new fade replaces the effect and stops the
  // old animation without its finished signal.
  void _finishPendingGutterFade();
  // Project duration from the model into the engine; ruler and rows follow when it changed.
  void _updateDurationAndRescale();
  void _refreshEngineAfterEdit();
  void _sendLayerOrder();
  void _removeTrackIfEmpty(TrackWidget *track);
  TrackWidget *_trackOf(Segment *segment) const;
  void _removeSegmentFromEngine(Segment *segment);
  bool _refuseUnreadableImport(Segment *segment);
  void _selectSegmentByKey(Segment *segment);
  void _grabSegmentFrame(Segment *segment);
  void _showGrabPreview(const QImage &image);
  void _runSegmentContextMenu(SegmentWidget *segmentWidget, QPoint pos);
  // Menu actions and movie export (mainwindow_actions.cpp, mainwindow_export.cpp).
  bool _isPopupShown() const { return !_currentPopup.isNull(); }
  bool _isTipOnScreen() const;
  // The menu commands that change the composition are refused while it is being exported.
  bool _isExporting() const { return _exporter != nullptr; }
  // A transition command on the edited block's chosen transition, while transitions are edited.
  void _chosenTransitionCommand(int cmdId);
  // action: a MovieExportingAction.
  void movieExportingPopup_onShareAction(PopupMovieExportingWidget *exportingWidget, int action);
  void movieExportingPopup_onCheckCanShareToEmail(PopupMovieExportingWidget *exportingWidget, bool *canShareToEmail);
  void movieExportingPopup_onCheckCanShareToFacebook(PopupMovieExportingWidget *exportingWidget,
                                                     bool *canShareToFacebook);
  void movieExportingPopup_onExportCancelAction(PopupMovieExportingWidget *exportingWidget);
  void _exportMovie(int action, int resolutionIndex, float frameRate, const QString &codec, const QString &movieName,
                    const QString &saveLocation);
  QString _exportedMovieFilePath(int resolutionIndex, float frameRate, const QString &codec) const;
  void _startMovieExporter(const QString &path);
  // Pauses and stops the preview's render; false when its threads did not end within a bounded
  // wait (the preview then restarts by itself once they have).
  bool _stopPreviewForExport();
  void _restorePreviewAfterExport();
  // The user's Movies folder, made when missing; a symbolic link stands for its target.
  static QString _moviesLocation();
  // Overlays, help tips and tool widgets (mainwindow_tips.cpp, mainwindow_tools.cpp,
  // mainwindow_overlays.cpp).
  // After the loader's last message: the explorer tip for an empty project, else the segment tips.
  virtual void _offerHelpTipsAfterLoading();
  void _showMediaExplorerTipWhenIdle();
  void _showSegmentOperationTips(Segment *segment);
  void finishMediaExplorerTip();
  // The popup points at its anchor button and follows it.
  void _showMediaTypePopup(int restriction, QWidget *anchorButton);
  // The easing chooser of the edited block's chosen transition, at the button's top middle.
  void _showEasingPopup(QWidget *button, int cmdId);
  // Remembers the popup as the open one with what it hangs on, until it is dismissed.
  void _adoptOpenPopup(CommonPopup *popup, int cmdId, QWidget *anchorButton);
  void _layoutTextEditWidget();
  // The engine's transition groups after transition removedId of the segment was removed.
  void _renumberTransitions(Segment *segment, int removedId);
  // The tool bars keep to the foot of the edit area when it changes size.
  void _placeToolBars();
  bool _isBlockIdle(SegmentWidget *block) const;
  void resizeEvent(QResizeEvent *event) override;
  void moveEvent(QMoveEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;
  // The in-place editors' ends (mainwindow_inplace.cpp): each does nothing when its editing is
  // not open; without apply nothing is written.
  virtual void _endTextEditing(bool apply);
  virtual void _endDrawing(bool apply);
  virtual void _endCropping(bool apply);
  // Media intake (mainwindow_intake.cpp, _drop, _captures, _explorerslots, _clone).
public slots:
  void mediaExplorer_onHideProgressHUD() { hideWaitingHUD(); }
  void mediaPreviewWidget_onPressClose() { hideMediaPreview(); }
  void mediaTypeSelectionPopup_onClickSelectFile(PopupMediaTypeSelectionWidget *popup);
  void mediaTypeSelectionPopup_onClickCamera(PopupMediaTypeSelectionWidget *popup);
  void mediaTypeSelectionPopup_onClickMicrophone(PopupMediaTypeSelectionWidget *popup);
  void mediaTypeSelectionPopup_onClickText(PopupMediaTypeSelectionWidget *popup);
  void mediaTypeSelectionPopup_onClickSelfDraw(PopupMediaTypeSelectionWidget *popup);
  void microphonePopup_onGetStartTime(PopupMicrophoneWidget *popup, float *startTime);
  void microphonePopup_onRequestScrollToTime(PopupMicrophoneWidget *popup, float t);
  void microphonePopup_onSoundCaptured(PopupMicrophoneWidget *popup, const QString &fileName,
                                       const QList<float> &meterValues);

protected:
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dragMoveEvent(QDragMoveEvent *event) override;
  void dragLeaveEvent(QDragLeaveEvent *event) override;
  void dropEvent(QDropEvent *event) override;
  // Kinds: 1 video, 2 picture, 4 music, 7 by MIME type.
  void _addMediaFileFromDialog(int kind);
  bool _insertMediaFile(const QString &path, int kind, const QVariantHash &properties, float time, bool atPlayhead,
                        bool recordUndo);
  // The copy's path, or a null string when the copy failed or the window went meanwhile.
  QString _copyMediaIntoProject(const QString &source, const QString &projectDirectory);
  void _replaceEditedPicture(const QString &path, int kind);
  void _addNewDrawingSegment();
  void _addNewTextSegment();
  void _addNewVoiceSegment(const QString &recordedFile, float startTime, const QList<float> &meterValues);
  float _prepareInsertTime();
  void _showCameraDialog(int mode);
  void _showMicrophonePopup();
  void _addCapturedPhoto(const QString &path);
  void _addCapturedMovie(const QString &path);
  // Clears [start, start + duration) of a track, all but keep: trims, splits or removes.
  void _overwriteTrackRange(TrackWidget *track, float start, float duration, Segment *keep);
  // Opens the text editor or the drawing canvas on a new block.
  virtual void _editNewSegment(SegmentWidget *block);
  // The edge zones of a media drag: the auto-scroll steps run while a flag stays set.
  virtual void _startDragEdgeScroll(bool horizontal);
  bool _isIntakeRefused() const;
  // False when a wanted copy failed; path then names the copy.
  bool _copyIntoProjectWhenAsked(QString &path);
  // Records and finds the start of a new text or drawing block; false without a target.
  bool _beginNewSegmentAtPlayhead(float &t);
  void _setInsertionTargetToLastTrack();
  SegmentWidget *_placeNewSegment(Segment *segment, TrackWidget *track, const QString &type, bool animated);
  void _insertNewSegmentAtPlayhead(Segment *segment, const QString &type);
  float _timeAfterTrackContent(TrackWidget *track, float time);
  void _addCapturedFile(const QString &path, const QString &pattern, int kind, const QString &failure);
  void _showNewSegmentTips(SegmentWidget *block);
  void _finishDrop();
  void _resetDragEdges();
  // Editing commands: tool bars and easing hints (mainwindow_toolbars.cpp), segment commands
  // (_commands), popup dismissal and project settings (_settings), undo and redo (_undo).
  void _buildSegmentToolBar(Segment *segment, float time);
  void _dismissToolBars();
  void _dismissTransitionToolBar();
  QString _easingIconPath(Segment *segment, int transitionId, bool selected);
  // The text alignment tool's icon name for alignment 0 left, 1 centre, 2 right.
  static QString _alignmentIcon(int alignment);
  void _segmentCommand(ScrollableToolBar *toolbar, int cmdId);
  // The centre of the command's button top edge in the central widget; (0, 0) without a bar.
  QPoint _popupAnchor(ScrollableToolBar *toolbar, int cmdId) const;
  void _showSegmentPopup(ScrollableToolBar *toolbar, int cmdId, Segment *segment, const QPoint &anchor);
  void _adoptPopup(CommonPopup *popup, ScrollableToolBar *toolbar, int cmdId);
  void _rotateOrFlipSegment(Segment *segment, int cmdId);
  void _selectTextFont(Segment *segment);
  void _cycleTextAlignment(ScrollableToolBar *toolbar, Segment *segment);
  void popup_onDismissed(CommonPopup *popup);
  void projectSettingsPopup_onParametersDidChange(PopupProjectSettingsWidget *settingsWidget);
  void projectSettingsPopup_onDidFinish(PopupProjectSettingsWidget *settingsWidget);
  void _applySnapshot(PropertyMapList &snapshot);
  TrackWidget *_addTrackForType(const QString &type);
  // Operations of the other editing concerns that the commands hand over to: in-place editing,
  // the text editor's style, the popups' value handlers, the first transition's choice and the
  // frame grab.
  virtual void _beginTextEditing(Segment *segment);
  virtual void _beginDrawing(Segment *segment);
  void _beginCropping(Segment *segment);
  // The still the crop frame shows for the segment at the play head; null when there is none.
  QPixmap _croppingPicture(Segment *segment);
  void _refreshTextEditorStyle(QWidget *editor, Segment *segment);
  void _connectPopupValueHandlers(CommonPopup *popup);
  void _selectFirstTransition();
  void editScrollArea_grabSegmentScreen(Segment *segment);

  // Inspector geometry (mainwindow_inspectorgeometry.cpp). The transform overlay's handlers,
  // declared with its signals, live in mainwindow_transform.cpp.
  struct EditedGeometry
  {
    QPointF translation;
    QSizeF scale;
    double rotation = 0;
  };
  // The edited segment when it is a visual one, else null.
  Segment *_geometryEditedSegment() const;
  // The segment's own values, or the edited transition state's.
  EditedGeometry _editedGeometry(Segment *segment) const;
  void _applyGeometryValues(Segment *segment, const QHash<QString, qreal> &values, bool toEngine);
  void _segmentEditingSetGeometry(const QHash<QString, qreal> &dictValue);
  void _segmentEditingSetGeometryX(double value);
  void _segmentEditingSetGeometryY(double value);
  void _segmentEditingSetGeometryWidth(double value);
  void _segmentEditingSetGeometryHeight(double value);
  void _segmentEditingSetGeometryRotation(double value);
  void _segmentEditingBeforeUpdateGeometry(QPointF &translation, QPointF &scale, qreal &rotation);
  void _segmentEditingUpdateGeometry(const QHash<QString, qreal> &dictValue);
  void _segmentEditingUpdateGeometryX(double value);
  void _segmentEditingUpdateGeometryY(double value);
  void _segmentEditingUpdateGeometryWidth(double value);
  void _segmentEditingUpdateGeometryHeight(double value);
  void _segmentEditingUpdateGeometryRotation(double value);
  void _segmentEditingAfterUpdateGeometry(QPointF translation, QPointF scale, double rotation);
  // The inspector's one-click requests (mainwindow_inspectorrequests.cpp).
  void _segmentEditingDidFinish();
  void _segmentEditingDuplicateSegment();
  void _segmentEditingRemoveSegment();
  void _segmentEditingSplitSegment();
  void _segmentEditingSelectFont();
  void _segmentEditingMaintainAspectRatio();
  void _segmentEditingRestoreDefault();
  void _segmentEditingCrop();
  void _segmentEditingRotateClockwise();
  void _segmentEditingRotateCounterClockwise();
  void _segmentEditingFlipHorizontal();
  void _segmentEditingFlipVertical();
  void _segmentEditingEditPicture();
  void _segmentEditingEditText();
  void _segmentEditingEditDrawing();
  void _segmentEditingVideoGrabImage();
  void _segmentEditingEnterEditTransition();
  void _segmentEditingExitEditTransition();
  // Seeks to the begin (non-zero) or end (0) of the chosen transition; returns its id.
  int _segmentEditingSetTransitionSide(int beginOrEnd);
  void _segmentEditingSelectTransitionAtIndex(int index);
  void _segmentEditingSelectTransition(int id);
  // The edited state of the chosen transition when one is edited, else the segment itself.
  void _segmentOrTransitionCommand(int segmentCmdId, int transitionCmdId);
  // The open-file dialog for pictures, replacing the edited picture.
  void _changeEditedPicture();
  // Popup value handlers, the inspector's popup wiring, text alignment and the in-place text
  // editor's style (mainwindow_popups.cpp).
public slots:
  void sliderColorPopup_onValueChanged(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValueChanging(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValue2Changed(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValue2Changing(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValue3Changed(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onValue3Changing(CommonSliderColorPopup *popup, float value);
  void sliderColorPopup_onColorChanged(CommonSliderColorPopup *popup, QColor color);
  void sliderColorPopup_onSwitchValueChanged(CommonSliderColorPopup *popup, bool value);
  void sliderColorPopup_onNeedColorPickingImage(CommonSliderColorPopup *popup, QImage *image);
  void sliderColorPopup_onGetPlaybackAreaFrame(CommonSliderColorPopup *popup, QRect *rect, QWidget *inWidget);
  void sliderColorShadowPopup_onShadowOffsetChanged(PopupSliderColorShadowWidget *shadowWidget, QSizeF offset);
  void sliderColorShadowPopup_onShadowOffsetChanging(PopupSliderColorShadowWidget *shadowWidget, QSizeF offset);
  void scrollColorsPopup_onSaturationChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onBrightnessChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onContrastChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onWhiteBalanceChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onExposureChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onHueChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onRedChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onGreenChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onBlueChanging(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onSaturationChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onBrightnessChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onContrastChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onWhiteBalanceChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onExposureChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onHueChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onRedChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onGreenChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onBlueChanged(PopupColorsScrollWidget *colorsWidget, int value);
  void scrollColorsPopup_onSchemeChanged(PopupColorsScrollWidget *colorsWidget, int saturation, int brightness,
                                         int contrast, int whiteBalance, int exposure, int hue, int red, int green,
                                         int blue);
  void scrollColorsPopup_onNeedToDisplayMessage(PopupColorsScrollWidget *colorsWidget, QString message);
  void _segmentEditingSetConnectionsForTransparencyPopupSliderWidget(PopupSliderWidget *popup, bool transition);
  void _segmentEditingSetConnectionsForVolumePopupSliderWidget(PopupSliderWidget *popup, bool transition);
  void _segmentEditingSetConnectionsForSpeedPopupSliderWidget(PopupSliderWidget *popup);
  void _segmentEditingSetConnectionsForRoundCornerPopupSliderWidget(PopupSliderWidget *popup);
  void _segmentEditingSetConnectionsForBorderPopupSliderColorWidget(PopupSliderColorWidget *popup);
  void _segmentEditingSetConnectionsForTextSizePopupSliderColorWidget(PopupSliderColorWidget *popup);
  void _segmentEditingSetConnectionsForTextBackPopupSliderColor2SlidersWidget(PopupSliderColor2SlidersWidget *popup);
  void _segmentEditingSetConnectionsForStrokeBorderPopupSliderColorSwitchWidget(
    PopupSliderColor1Switch2SlidersWidget *popup);
  void _segmentEditingSetConnectionsForChromaKeyPopupChromaKeyWidget(PopupChromaKeyWidget *popup);
  void _segmentEditingSetConnectionsForShadowPopupSliderColorShadowWidget(PopupSliderColorShadowWidget *popup);
  void _segmentEditingSetConnectionsForColorsPopupColorsScrollWidget(PopupColorsScrollWidget *popup, bool transition);
  void _segmentEditingSetTextAlignment(int alignment);

protected:
  void _applyTextEditorStyle(QTextEdit *editor, TextSegment *segment);
  // Connects the signals a popup of that tag carries; the colours popup has no tag.
  void _connectSliderPopup(CommonSliderColorPopup *popup);
  void _connectColorsPopup(PopupColorsScrollWidget *popup);
  // Every transition value sent from the editing commands goes through here: the facade's
  // flag means "is end".
  void _sendTransitionValue(quint32 id, int transitionId, bool begin, int property, float a, float b = 0,
                            float c = 0, float d = 0);
  // The edited block's segment; the selected transition and side when a side is edited.
  Segment *_popupSegment() const;
  Segment *_recordPopupEdit();
  bool _editedTransitionSide(int &transitionId, bool &begin) const;
  float _frameWidth() const;
  float _frameHeight() const;
  void _sendColour(quint32 id, int property, quint32 argb, float alpha = 1.0f);
  // The colour adjustments: live, final and the scheme's nine at once.
  void _previewColourAdjustment(int property, int value);
  void _storeColourAdjustment(int property, int value);
  void _writeColourAdjustment(Segment *segment, int transitionId, bool side, bool begin, int property, int value);
  int _readColourAdjustment(Segment *segment, int transitionId, bool side, bool begin, int property) const;
  void _changeSpeed(Segment *segment, float position);
  // After a text edit: the open editor is restyled and keeps the keys, else one frame.
  void _afterTextStyleChange(Segment *segment);
  // The window around an in-place editing: overlay, tool bar and mouse input away, then back.
  void _leaveWindowForInPlaceEditing();
  void _restoreAfterInPlaceEditing();
  // Drawing tool signals routed to the canvas (mainwindow_drawing.cpp).
  void _saveDrawingAsPicture();
public slots:
  void drawingToolsWidget_onCommand(DrawingToolsWidget *toolsWidget, int cmdId, float para);
  void drawingColorWidget_onColorChanged(DrawingColorWidget *colorWidget, QColor color);
  void drawingColorWidget_onPatternChanged(DrawingColorWidget *colorWidget, QPixmap image);
  void drawingTuningWidget_onLineWidthChanging(DrawingTuningWidget *tuningWidget, float lineWidth);
  void drawingTuningWidget_onLineWidthChanged(DrawingTuningWidget *tuningWidget, float lineWidth);
  void drawingTuningWidget_onTextDonePressed(DrawingTuningWidget *tuningWidget);
  void drawingTuningWidget_onTextAlignChanged(DrawingTuningWidget *tuningWidget, int align);
  void drawingTuningWidget_onTextSizeChanged(DrawingTuningWidget *tuningWidget, int size);
  void drawingTuningWidget_onTextFontChanged(DrawingTuningWidget *tuningWidget, QString fontName, QString fontStyle);
  void drawingTuningWidget_onPictureDonePressed(DrawingTuningWidget *tuningWidget);
  void drawingTuningWidget_onPictureSizeChanged(DrawingTuningWidget *tuningWidget, float size);
  void drawingTuningWidget_onHardnessChanging(DrawingTuningWidget *tuningWidget, float hardness);
  void drawingTuningWidget_onHardnessChanged(DrawingTuningWidget *tuningWidget, float hardness);
  void drawingColorWidget_onNeedColorPickingImage(DrawingColorWidget *colorWidget, QImage *image);
  void drawingColorWidget_onGetPlaybackAreaFrame(DrawingColorWidget *colorWidget, QRect *rect, QWidget *inWidget);
  void _segmentEditingSetConnectionsForDrawingWidgets(DrawingColorWidget *colorWidget,
                                                      DrawingTuningWidget *tuningWidget,
                                                      DrawingToolsWidget *toolsWidget);

protected:

  // Transition presets (mainwindow_presets.cpp) and transition commands
  // (mainwindow_transitions.cpp).
  struct TransitionPreset
  {
    QString text;
    int cmdId = 0;
    bool bold = false;
    bool separatorBefore = false;
  };
  // The presets for the selected block as a menu the caller shows and owns; null without one.
  QMenu *_showTransitionMenu(QWidget *parent);
  QList<TransitionPreset> _transitionPresetItems(Segment *segment, bool startOccupied, bool endOccupied);
  // The block a preset goes to: the selected one, else the one the list or menu was opened for.
  SegmentWidget *_presetBlock() const;
  // A transition at the play head, with one undo step; the message when none fits.
  void _addCustomTransition(SegmentWidget *block);
  // Inserts the preset's transition at the segment's start (or end) and fills its values;
  // 0 when none fits there.
  int _insertPresetTransition(Segment *segment, int cmdId, bool atEnd);
  void _setPresetValue(Segment *segment, int transitionId, int cmdId, bool in);
  // Moves the engine groups above transitionId up by one, for the segment and its sound part.
  void _renumberEngineTransitionsAfterInsert(Segment *segment, int transitionId);
  void _addTransitionGroupToEngine(Segment *segment, int transitionId);
  // No room for a new transition: the message, and the snapshot taken for it goes.
  void _dropTransitionWithoutRoom();
  void _refreshEngineLater();
  // Transition commands (mainwindow_transitions.cpp) on the editing block's chosen transition.
  void _transitionCommand(ScrollableToolBar *toolbar, int cmdId);
  SegmentWidget *_editingBlock() const;
  void _leaveTransitionTools(SegmentWidget *block);
  void _duplicateTransition(SegmentWidget *block);
  void _removeTransition(SegmentWidget *block);
  void _turnTransitionState(SegmentWidget *block, int cmdId);
  void _showTransitionPopup(SegmentWidget *block, ScrollableToolBar *toolbar, int cmdId);
  // An image over an engine picture buffer without a copy; the last copy of the image frees it.
  static QImage _imageFromPixelBuffer(AVPixelBuffer *buffer);
  static void pixelBufferImageCleanup(void *info);
  // The release the cleanup calls; tests count through it.
  static void (*_releasePixelBuffer)(AVPixelBuffer *buffer);

public slots:
  void transitionsListPopup_onTransitionItemSelected(PopupTransitionsListWidget *transitionsWidget, int cmdId);
  void _duplicateSelectedTransition();
  // The editing block's segment; null without one.
  Segment *_editingSegment();

protected:

  // Drawing state (mainwindow_drawingtools.cpp): the canvas over the preview, the tool widgets
  // the window made itself and the ones it routes to (its own, or the inspector's in the desktop
  // window), and the mouse input the canvas takes from the rest of the window.
public slots:
  void canvasWidget_onDrawBegan(CanvasWidget *canvas);
  void canvasWidget_onTextChanged(CanvasWidget *canvas, QString text);
  void canvasWidget_onPictureChanged(CanvasWidget *canvas, QPixmap pixmap);
  void canvasWidget_onTextSizeChangedByGesture(CanvasWidget *canvas, float size);
  void canvasWidget_onPictureSizeChangedByGesture(CanvasWidget *canvas, float size);
  void canvasWidget_onShowWaiting(CanvasWidget *canvas);
  // The tuning panel's requests for the pending text and picture, and the shape picker the
  // tool strip opens and closes.
  void drawingTuningWidget_onEditTextPressed(DrawingTuningWidget *tuningWidget);
  void drawingTuningWidget_onOpenPicturePressed(DrawingTuningWidget *tuningWidget, QRect buttonRect);
  void drawingToolsWidget_onPopup(DrawingToolsWidget *toolsWidget, int cmdId);
  void drawingToolsWidget_dismissPopup(DrawingToolsWidget *toolsWidget);
  void drawingShapeToolsWidget_onCommand(DrawingShapeToolsWidget *toolsWidget, int cmdId, float para);

protected:
  // Places the canvas over the preview, the tool widgets the window made and the shape picker.
  void _layoutDrawingWidgets();
  // Gives the canvas (the window's by default) the tools' current settings; absent widgets are
  // skipped, and nothing happens without any.
  void _applyDrawingToolSettings(CanvasWidget *canvas, DrawingTuningWidget *tuningWidget,
                                 DrawingColorWidget *colorWidget, DrawingToolsWidget *toolsWidget);
  // The swatch and tuning panel the canvas's reports and the routing go to; nulls when drawing ends.
  void _segmentEditingSetDrawingWidgets(DrawingColorWidget *colorWidget, DrawingTuningWidget *tuningWidget);
  // A press, move or release no pointer took goes to the open canvas; false without one.
  bool _forwardMouseToCanvas(QMouseEvent *event);
  // Closes an open shape picker and brings the tuning panel back; false when none was open.
  bool _closeShapePicker();
  // The tuning panel a drawing command needs: 1 text, 2 picture, 0 line width.
  static int _drawingTuningKind(int cmdId);
  // The pencil/eraser switch: into the eraser, or back to the fill chosen before it.
  void _switchPencilAndRubber();

  QString _projectName;
  QString _projectFolder;
  QString _projectDirectory;
  ProjectManager *_projectManager = nullptr;
  VideoThumbnailsCache *_thumbnailsCache = nullptr;
  AVGLWidget *_previewWidget = nullptr;
  AVComposition *_composition = nullptr;
  AVRender *_render = nullptr;
  AVImageLoader *_imageLoader = nullptr;
  AVExporter *_exporter = nullptr;
  AVEngine *_engine = nullptr;
  EditScrollArea *_editScrollArea = nullptr;
  float _zoom = 1.0f;
  bool _playing = false;
  bool _reachedEnd = false;
  int _editedTransitionEnd = -1;
  bool _playheadInsideEditedSegment = false;
  // The opened project predates 3.0; the runtime ids of its videos still to convert. Nothing is
  // saved until the set is empty.
  // Pointer drags over the timeline.
  bool _draggingPlayhead = false;
  bool _playheadMoved = false;
  bool _draggingRangePointer = false;
  bool _atLeftEdge = false;
  bool _atRightEdge = false;
  float _autoScrollSpeed = 1.0f;
  QPoint _pressGlobalPos;
  int _pointerXAtPress = 0;
  qint64 _lastEscapeAt = 0;
  bool _legacyGeometryOnLoad = false;
  // By UId: an undo that brings back a movie deleted before it was ready brings it back under it.
  QSet<QString> _legacyMoviesPending;
  // Kept by the overlay layout for the fitting commands: the layer's centre in the overlay's
  // parent and its natural size on the preview.
  QPointF _overlayLayerCenter;
  QSizeF _overlayNaturalSizeKept;

  // Widgets of the concrete window and the panels; the edit area's own overlays (transform,
  // crop, full-screen control) and the drawing tools come with their subsystems.
  TransformWidget *_transformWidget = nullptr;
  CanvasWidget *_canvasWidget = nullptr;
  CropWidget *_cropWidget = nullptr;
  TextEditWidget *_textEditWidget = nullptr;
  MediaExplorer *_mediaExplorer = nullptr;
  MediaPreviewWidget *_mediaPreviewWidget = nullptr;
  TrackWidget *_lastTrackWidget = nullptr;
  GutterScrollArea *_gutter = nullptr;
  PointerWidget *_playheadPointer = nullptr;
  PointerWidget *_rangeStartPointer = nullptr;
  QPointer<ScrollableToolBar> _segmentToolBar;
  QPointer<ScrollableToolBar> _transitionToolBar;
  QSlider *_zoomSlider = nullptr;
  QPushButton *_zoomInButton = nullptr;
  QPushButton *_zoomOutButton = nullptr;
  LayoutHooks _hooks;

  QPointer<ProjectLoader> _loader;
  bool _loadFailed = false;
  // From "Opening..." until the project has loaded or failed to.
  bool _opening = false;
  bool _openingWaitsForShow = false;
  // The preview shown ahead of the engine, so that the window composes it first on a turn of
  // its own.
  QPointer<AVGLWidget> _shownPreview;
  // A stored layout size lay beyond the screen and was brought into it.
  bool _valuesReset = false;
  // Segments of the opened project put on another row or at another start.
  int _segmentsMoved = 0;
  // The bags of the loaded maps whose length comes from their file, and then the ids of their
  // segments until the length is known; true for those already counted in _segmentsMoved.
  QHash<const PropertyMap *, bool> _mapsTakingFileLengths;
  QHash<quint32, bool> _lengthsFromFiles;
  bool _refreshPending = false;
  // The loaded maps still being built into segments, and the tracks made for their saved ids.
  PropertyMapList _mapsToBuild;
  size_t _mapsBuilt = 0;
  TurnPacer _buildPacer;
  QHash<int, TrackWidget *> _loadedTracks;
  // Positions of the maps no segment could be made of, kept in the file as they are.
  QList<int> _unreadMaps;
  bool _cancelRequested = false;
  bool _closeWithoutSaving = false;
  // Set when every segment of the file was read; the clean-up of the folder needs it.
  bool _projectReadWhole = false;
  bool _unreadReported = false;
  // Files of the folder at opening that no segment named: not the program's to remove.
  QSet<QString> _unnamedFilesAtOpen;
  // What the last failed save said, for the closing question.
  QString _saveFailure;
  bool _scrollAnimating = false;
  qint64 _mediaPreviewShownAt = 0;
  // Each segment's range as last committed: deferred commits of different segments interleave.
  QHash<quint32, QPair<float, float>> _savedRanges;
  std::function<void()> _gutterFadeFinished;
  int _gutterFadeSerial = 0;
  quint32 _lastSplitPieceId = 0;
  // Set and held while a segment with transitions is split; a transition rebuild waits.
  std::atomic<bool> _splitting{false};
  QMutex _splitMutex;

  float _previewScale = 1.0f;
  int _previewQuality = 1;
  float _playheadX = 0;
  ExportSettings _exportSettings;
  QTimer *_autoSaveTimer = nullptr;
  Qt::HANDLE _guiThreadId = nullptr;
  MainWindowActions _actions;
  QPointer<ProgressHUD> _progressHUD;

  // Menu actions and movie export (mainwindow_actions.cpp, mainwindow_export.cpp).
  float _exportFrameRate = 0;
  // Overlays and tool widgets: the plain button the current popup hangs on, when no tool-bar
  // command opened it.
  QPointer<QWidget> _openPopupAnchorButton;
  // The dimmed preview area behind the crop frame while cropping.
  QPointer<QWidget> _cropBackground;
  // Media intake: the insertion target, the pending drop and the intake popups.
  QPointer<TrackWidget> _insertTrack;
  int _insertTrackTag = 0;
  float _dropInsertionTime = 0;
  float _voiceStartTime = 0;
  // Set while a media copy runs: the window refuses to close.
  bool _copyingMedia = false;
  // What a media copy runs on its worker thread (tests hold the copy here).
  std::function<void(const QString &, const QString &, FileCopyState *)> _copyTask = &MainWindow::copyFileTask;
  QString _dropPath;
  QString _dropType;
  QString _webItemId;
  float _dropScale = 1.0f;
  float _dropLength = 0;
  QPointer<TrackWidget> _dropTrack;
  float _dropTime = 0;
  QPoint _dropPoint;
  bool _dropInside = false;
  // Numbers each drag, so a duration worker of an earlier drag is told apart.
  quint64 _dragSerial = 0;
  // The dragged file was probed and has no length: its drop is refused with a word.
  bool _dropUnreadable = false;
  bool _dragAtLeftEdge = false;
  bool _dragAtRightEdge = false;
  bool _dragAtTopEdge = false;
  bool _dragAtBottomEdge = false;
  // Timeline requests, splitting, range selection and edge auto-scroll.
  QPointer<SelectionOperationWidget> _selectionOperationWidget;
  // The split segment whose range commit closes up the track even in overwrite mode.
  quint32 _forcedInsertCommitId = 0;
  QString _pendingDownloadId;
  QString _pendingDownloadFile;
  int _functionTrackTag = 0;
  QPointer<TrackWidget> _functionTrack;
  QPointer<PopupMediaTypeSelectionWidget> _mediaTypePopup;
  QPointer<PopupMicrophoneWidget> _microphonePopup;
  // Editing commands: the open property popup and the command that opened it, the current
  // track, and the flag that keeps a re-entered block from moving the play head after undo.
  QPointer<CommonPopup> _currentPopup;
  int _selectedToolBarCommand = 0;
  int _currentTrackTag = 0;
  bool _restoringSelection = false;

  // Transition presets (mainwindow_presets.cpp): the block the list or menu was opened for.
  QPointer<SegmentWidget> _presetOpenedFor;

  // Drawing state (mainwindow_drawingtools.cpp). The window owns the tool widgets it made; the
  // routed ones may be the inspector's, which it never deletes.
  QPointer<DrawingColorWidget> _ownedDrawingColorWidget;
  QPointer<DrawingTuningWidget> _ownedDrawingTuningWidget;
  QPointer<DrawingToolsWidget> _ownedDrawingToolsWidget;
  QPointer<DrawingColorWidget> _drawingColorWidget;
  QPointer<DrawingTuningWidget> _drawingTuningWidget;
  QPointer<DrawingShapeToolsWidget> _drawingShapeToolsWidget;
  // The strip that opened the picker: it takes the shape chosen there.
  QPointer<DrawingToolsWidget> _shapePickerToolsWidget;

private:
  void _createActions();
  QAction *_addAction(const QString &text, const QKeySequence &shortcut, bool enabled, bool toWindow,
                      void (MainWindow::*slot)());
  // Grabs the preview and writes the cover picture unless it is fixed.
  void _saveCoverPicture();
  void _tearDownEngine();
};
