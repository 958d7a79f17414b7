// Slots and operations whose bodies come with the editing commands, playback, media intake and
// the overlays. They are wired now so the widgets reach the window; until their commands land
// they do nothing.

#include "mainwindow.h"

#include "editscrollarea.h"
#include "segmentwidget.h"
#include "trackwidget.h"
#include "projectmanager.h"

// The edit area asks these inside its own emission.
void MainWindow::editScrollArea_getSegmentOverwriteMode(bool &overwrite)
{
  overwrite = _projectManager && _projectManager->segmentMode() == 1;
}

void MainWindow::editScrollArea_getSafeAreaInsets(float *left, float *top, float *right, float *bottom)
{
  // The desktop window has no insets: the values stay as the caller set them.
  Q_UNUSED(left)
  Q_UNUSED(top)
  Q_UNUSED(right)
  Q_UNUSED(bottom)
}

// Actions.
void MainWindow::onActionFullscreenTriggered()
{
  toggleFullscreen();
}

// Zoom, mode button, gutter.
