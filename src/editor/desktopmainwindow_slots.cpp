// Slots of the desktop window's own widgets. Their bodies come with the desktop editor's
// slots; until then the buttons, splitters and view actions are wired and do nothing.

#include "desktopmainwindow.h"

void DesktopMainWindow::onTopAreaSplitterMoved(int, int) {}
void DesktopMainWindow::onRootAreaSplitterMoved(int, int) {}
void DesktopMainWindow::onMainSplitterMoved(int, int) {}
void DesktopMainWindow::onPlayPauseButtonClicked() {}
void DesktopMainWindow::onNextPositionButtonClicked() {}
void DesktopMainWindow::onPreviousPositionButtonClicked() {}
void DesktopMainWindow::onUndoButtonClicked() {}
void DesktopMainWindow::onProjectSettingsButtonClicked() {}
void DesktopMainWindow::onShareButtonClicked() {}
void DesktopMainWindow::onPreviewScaleButtonClicked() {}
void DesktopMainWindow::onPreviewQualityButtonClicked() {}
void DesktopMainWindow::onFullscreenButtonClicked() {}
void DesktopMainWindow::onHideInspectorAreaButtonClicked() {}
void DesktopMainWindow::onActionViewMediaExplorerTriggered() {}
void DesktopMainWindow::onActionViewSegmentInspectorTriggered() {}
void DesktopMainWindow::onViewMenuAboutToShow() {}
void DesktopMainWindow::onTransitionMenuAboutToShow() {}
