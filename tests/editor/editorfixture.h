#pragma once
// The editor tests' ground: a working folder holding the project "Trip", and the desktop
// window with its geometry and state helpers opened up, the transform overlay scripted and
// the timeline's press delay off (test processes share one display).

#include "desktopmainwindow.h"
#include "scripteddialogprovider.h"

#include <QMap>
#include <QTemporaryDir>

// Writes the project's files into dir: the segments' lines inside <Project>, and properties of
// version 5.0 on a dark background.
bool writeEditorProject(const QString &dir, const QByteArray &segments);

class EditorProject
{
public:
  EditorProject();
  bool isValid() const { return _valid; }
  QString root() const { return _root.path(); }
  QString directory() const;
  // The project's layout file with these values.
  void writeLayout(const QMap<QString, int> &values) const;
  QByteArray readProperties() const;

private:
  QTemporaryDir _root;
  bool _valid = false;
};

// Installed before the window is built, so the opening's message boxes are recorded and
// answered from the script instead of blocking.
struct EditorDialogs
{
  ScriptedDialogProvider dialogs;
};

class TestEditorWindow : public EditorDialogs, public DesktopMainWindow
{
public:
  TestEditorWindow();
  ~TestEditorWindow() override;
  // Shown at 1200 x 800; true once the project is loaded with this many segments, each ready.
  bool showUntilReady(int segments);

  using MainWindow::_addSegmentToEngine;
  using MainWindow::_animationFrame;
  using MainWindow::_canvasWidget;
  using MainWindow::_commitSegmentRangeChange;
  using MainWindow::_composition;
  using MainWindow::_exporter;
  using MainWindow::_playheadX;
  using MainWindow::_reachedEnd;
  using MainWindow::_refreshSegment;
  using MainWindow::_removeTemporaryFiles;
  using MainWindow::_saveProject;
  using MainWindow::_saveRange;
  using MainWindow::_scrollAnimating;
  using MainWindow::_scrollTimelineToTime;
  using MainWindow::_setPlayheadTime;
  using MainWindow::_shiftSegmentsOnTrack;
  using MainWindow::_playheadTime;
  using MainWindow::_editedTransitionEnd;
  using MainWindow::_engine;
  using MainWindow::_layoutPointers;
  using MainWindow::_layoutPreview;
  using MainWindow::_playing;
  using MainWindow::_previewWidget;
  using MainWindow::_segmentToolBar;
  using MainWindow::_setPreviewQuality;
  using MainWindow::_setTimelineScale;
  using MainWindow::_textEditWidget;
  using MainWindow::_beginTextEditing;
  using MainWindow::_showMediaTypePopup;
  using MainWindow::_mediaTypePopup;
  using MainWindow::_transitionToolBar;
  using MainWindow::_updateActions;
  using MainWindow::_updateInsertOverwriteButton;
  using MainWindow::_transformWidget;
  using MainWindow::_updateTransformOverlayAt;
  using MainWindow::_previewFrameInOverlayParent;
  using MainWindow::_hideTransformWidget;
  using MainWindow::_rangeStartPointer;
  using MainWindow::_maintainAspectRatio;
  using MainWindow::_restoreDefault;
  using MainWindow::_setOriginalSize;
  using MainWindow::_fillScreen;
  using MainWindow::_cropWidget;
  using MainWindow::_textAlignmentTitle;
  using MainWindow::_layoutCropWidget;

  bool overlay = false;
  int backOuts = 0;
  bool backOut() override
  {
    ++backOuts;
    return DesktopMainWindow::backOut();
  }

  // Help tips cover the window and hold commands back; only the tips' own tests let them come.
  bool helpTips = false;

protected:
  bool _hasTransformOverlay() const override { return overlay || DesktopMainWindow::_hasTransformOverlay(); }
  void _offerHelpTipsAfterLoading() override
  {
    if (helpTips)
      DesktopMainWindow::_offerHelpTipsAfterLoading();
  }
};

// A window as the projects page opens it: shown at 1000 x 700, deleted once closed.
TestEditorWindow *showClosingWindow();
// True once the window has its preview and the opening's loader and HUD are gone.
bool waitUntilLoaded(TestEditorWindow &window);
// Every file below folder by path with the hash of its bytes; links are not followed, FIFOs
// and other special files stand with an empty hash, and the media explorer's own view state
// ("media.config") is left out. A file of hundreds of megabytes stands with its size and time.
QMap<QString, QByteArray> folderHashes(const QString &folder);
// "start-end" of every segment of the window's project, by start; of one track's when a tag is
// given.
QStringList segmentSpans(TestEditorWindow &window, int trackTag = -1);
// Where the engine's transition groups of a segment, for its picture and its sound, differ from
// the segment's transitions as fractions of its length; empty when they agree.
QString engineTransitionsDiffer(TestEditorWindow &window, Segment *segment);
