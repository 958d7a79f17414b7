#include "mainwindow.h"

#include "avcommon.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "mediaexplorer.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "videothumbnailscache.h"

#include <QAction>
#include <QEvent>
#include <QThread>
#include <QTimer>

MainWindow::MainWindow(const QString &projectName, const QString &projectFolder, QWidget *parent)
    : CommonMainWindow(parent)
{
  Segment::setTrackHeight(44);

  _projectName = projectName;
  _projectFolder = projectFolder;
  _projectDirectory = ProjectManager::projectDirectory(projectName, projectFolder);
  _projectManager = new ProjectManager;
  _projectManager->setProjectName(projectName);
  _projectManager->setProjectFolder(projectFolder);
  _thumbnailsCache = new VideoThumbnailsCache;
  _guiThreadId = QThread::currentThreadId();

  connect(this, &MainWindow::avrenderProgressChanged, this, &MainWindow::onAVRenderProgressChanged,
          Qt::QueuedConnection);
  connect(this, &MainWindow::avrenderStatusChanged, this, &MainWindow::onAVRenderStatusChanged, Qt::QueuedConnection);
  connect(this, &MainWindow::avsegmentLoadStatusUpdated, this, &MainWindow::onAVSegmentLoadStatusUpdated,
          Qt::QueuedConnection);
  connect(this, &MainWindow::avexporterProgressChanged, this, &MainWindow::onAVExporterUpdateProgressValue,
          Qt::QueuedConnection);
  connect(this, &MainWindow::avexporterFinished, this, &MainWindow::onAVExporterFinished, Qt::QueuedConnection);

  _autoSaveTimer = new QTimer(this);
  connect(_autoSaveTimer, &QTimer::timeout, this, &MainWindow::autoSave);
  _autoSaveTimer->start(30000);

  setAcceptDrops(true);
  setReleaseDecoderWhenIdle(true);
  _createActions();

  connect(this, &MainWindow::segmentEditingStateChanged, this, &MainWindow::onSegmentEditingStateChanged,
          Qt::QueuedConnection);
  connect(this, &MainWindow::transitionEditingStateChanged, this, &MainWindow::onTransitionEditingStateChanged,
          Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
  if (_editScrollArea)
    _editScrollArea->setSelectedSegmentWidget(nullptr);
  _autoSaveTimer->stop();
  // A window that goes without its closing step still stops its loader and engine threads
  // before the model they use.
  _stopLoader();
  if (_previewWidget)
    _tearDownEngine();
  _thumbnailsCache->saveAll();
  delete _thumbnailsCache;
  // The closing step frees the model; a window destroyed without it must not leak it. The
  // blocks read their segments, so they go first.
  if (_projectManager) {
    delete takeCentralWidget();
    delete _projectManager;
  }
}

QAction *MainWindow::_addAction(const QString &text, const QKeySequence &shortcut, bool enabled, bool toWindow,
                                void (MainWindow::*slot)())
{
  auto *action = new QAction(text, this);
  if (!shortcut.isEmpty())
    action->setShortcut(shortcut);
  action->setEnabled(enabled);
  if (toWindow)
    addAction(action);
  if (slot)
    connect(action, &QAction::triggered, this, slot);
  return action;
}

void MainWindow::_createActions()
{
  const QKeySequence none;
  MainWindowActions &a = _actions;
  a.maintainAspectRatio = _addAction(tr("Maintain aspect ratio"), none, true, false,
                                     &MainWindow::onActionMaintainAspectRatioTriggered);
  a.restoreDefault = _addAction(tr("Restore the default"), none, true, false, &MainWindow::onActionRestoreDefaultTriggered);
  a.fillScreen = _addAction(tr("Fill the screen"), none, true, false, &MainWindow::onActionFillScreenTriggered);
  a.editText = _addAction(tr("Edit Text"), none, true, false, &MainWindow::onActionEditTextTriggered);
  a.originalSize = _addAction(tr("Original Size"), none, true, false, &MainWindow::onActionOriginalSizeTriggered);
  a.editDrawing = _addAction(tr("Edit Drawing"), none, true, false, &MainWindow::onActionEditDrawingTriggered);
  a.undo = _addAction(tr("Undo"), QKeySequence::Undo, true, true, &MainWindow::onActionUndoTriggered);
  a.redo = _addAction(tr("Redo"), QKeySequence::Redo, true, true, &MainWindow::onActionRedoTriggered);
  a.rangeSelect = _addAction(tr("Enter Range Selection"), QKeySequence(tr("Ctrl+R")), true, true,
                             &MainWindow::onActionEnterExitRangeSelect);
  a.insertOverwriteMode = _addAction(tr("Toggle Insert/Overwite Mode"), QKeySequence(tr("Alt+I")), true, true,
                                     &MainWindow::onActionInsertOverwriteMode);
  a.fullscreen = _addAction(tr("Toggle Fullscreen"), QKeySequence(tr("Ctrl+Shift+H")), true, true,
                            &MainWindow::onActionFullscreenTriggered);
  a.addFile = _addAction(tr("Add File..."), QKeySequence(tr("Ctrl+Shift+F")), true, true,
                         &MainWindow::onActionAddFileTriggered);
  a.addFromCamera = _addAction(tr("Add from Camera..."), QKeySequence(tr("Ctrl+Shift+C")), true, true,
                               &MainWindow::onActionAddFromCameraTriggered);
  a.addFromMicrophone = _addAction(tr("Add from Microphone..."), QKeySequence(tr("Ctrl+Shift+M")), true, true,
                                   &MainWindow::onActionAddFromMicrophoneTriggered);
  a.addText = _addAction(tr("Add Text"), QKeySequence(tr("Ctrl+Shift+T")), true, true,
                         &MainWindow::onActionAddTextTriggered);
  a.addSelfDraw = _addAction(tr("Add Self-Draw"), QKeySequence(tr("Ctrl+Shift+S")), true, true,
                             &MainWindow::onActionAddSelfDrawTriggered);
  a.editSegment = _addAction(tr("Edit"), QKeySequence(tr("Ctrl+E")), false, true,
                             &MainWindow::onActionEnterExitEditingSegmentTriggered);
  a.duplicateSegment = _addAction(tr("Duplicate"), QKeySequence(tr("Ctrl+D")), false, true,
                                  &MainWindow::onActionDuplicateSegmentTriggered);
  a.removeSegment = _addAction(tr("Remove"), none, false, true, &MainWindow::onActionRemoveSegmentTriggered);
  a.splitSegment = _addAction(tr("Split"), QKeySequence(tr("Ctrl+L")), false, true,
                              &MainWindow::onActionSplitSegmentTriggered);
  a.addTransition = _addAction(tr("Add Transition"), none, false, false, nullptr);
  a.duplicateTransition = _addAction(tr("Duplicate"), QKeySequence(tr("Ctrl+Shift+D")), false, true,
                                     &MainWindow::onActionDuplicateTransitionTriggered);
  a.deleteTransition = _addAction(tr("Delete"), none, false, true, &MainWindow::onActionDeleteTransitionTriggered);
  a.editTransition = _addAction(tr("Edit Transition"), QKeySequence(tr("Ctrl+T")), false, true,
                                &MainWindow::onActionEnterExitEditingTransitionTriggered);
  a.playPause = _addAction(tr("Play/Pause"), QKeySequence(Qt::Key_Space), true, true,
                           &MainWindow::onActionPlayPauseTriggered);
  a.nextPosition = _addAction(tr("Next Position"), QKeySequence(tr("Ctrl+Right")), true, true,
                              &MainWindow::onActionNextPositionTriggered);
  a.previousPosition = _addAction(tr("Previous Position"), QKeySequence(tr("Ctrl+Left")), true, true,
                                  &MainWindow::onActionPreviousPositionTriggered);
  a.exportMovie = _addAction(tr("Export && Share"), none, true, true, &MainWindow::onActionExportTriggered);
  a.movieSettings = _addAction(tr("Configuration..."), none, true, true, &MainWindow::onActionMovieSettingsTriggered);
  a.movieSettings->setMenuRole(QAction::NoRole);
}

void MainWindow::_setLayoutHooks(const LayoutHooks &hooks)
{
  _hooks = hooks;
  _editScrollArea = hooks.editScrollArea;
}

// --- Base bodies of the virtual operations -----------------------------------------------

bool MainWindow::closeEditor()
{
  return close();
}

bool MainWindow::isEditingTransitions()
{
  return !_transitionToolBar.isNull();
}

void MainWindow::cropModeChanged(bool on)
{
  Q_UNUSED(on)
  _segmentEditingModeChanged();
}

void MainWindow::textEditingModeChanged(bool on)
{
  Q_UNUSED(on)
  _segmentEditingModeChanged();
}

void MainWindow::drawingModeChanged(bool on)
{
  Q_UNUSED(on)
  _segmentEditingModeChanged();
}

void MainWindow::_showTransitionTools()
{
  if (_segmentToolBar)
    _segmentToolBar->collapse();
  _buildTransitionToolBar();
}

void MainWindow::endTransitionMode()
{
  _transitionCommand(10101);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
  const bool previewPlaced = event->type() == QEvent::Resize || event->type() == QEvent::Move;
  if (_previewWidget && previewPlaced && (watched == _previewWidget || watched == _hooks.playbackWidget)) {
    _updateTransformWidgetGeometry(false);
    _updateTransformWidgetArea();
    _layoutCropWidget();
    _layoutTextEditWidget();
    _layoutDrawingWidgets();
  }
  if (event->type() == QEvent::Resize) {
    if (watched == _hooks.previewArea) {
      _layoutPreview();
      _layoutMediaPreview();
      _layoutDrawingWidgets();
    } else if (watched == _editScrollArea || watched == _hooks.editArea
               || (_editScrollArea && watched == _editScrollArea->viewport())) {
      _layoutPointers();
      _layoutTimelineControls();
      _placeToolBars();
    } else if (watched == _hooks.mediaArea && _mediaExplorer) {
      _mediaExplorer->setSize(_hooks.mediaArea->size());
    }
  }
  return CommonMainWindow::eventFilter(watched, event);
}
