#pragma once
// The editor tests' ground: a working folder holding the project "Trip", and the desktop
// window with its geometry and state helpers opened up, the transform overlay scripted and
// the timeline's press delay off (test processes share one display).

#include "desktopmainwindow.h"

#include <QMap>
#include <QTemporaryDir>

class EditorProject
{
public:
  EditorProject();
  bool isValid() const { return _valid; }
  QString root() const { return _root.path(); }
  QString directory() const;
  // The project's layout file with these values.
  void writeLayout(const QMap<QString, int> &values) const;

private:
  QTemporaryDir _root;
  bool _valid = false;
};

class TestEditorWindow : public DesktopMainWindow
{
public:
  TestEditorWindow();
  ~TestEditorWindow() override;

  using MainWindow::_canvasWidget;
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
  using MainWindow::_transitionToolBar;
  using MainWindow::_updateInsertOverwriteButton;

  bool overlay = false;

protected:
  bool _hasTransformOverlay() const override { return overlay; }
};
