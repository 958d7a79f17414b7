// Full-screen preview with its floating control strip, and the export's launcher progress.

#include "desktopmainwindow.h"

#include "avengine.h"
#include "desktopmainwindowform.h"
#include "fullscreencontrolwidget.h"
#include "projectmanager.h"
#include "taskbarprogress.h"

#include <QApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int ControlBottomGap = 100;

} // namespace

void DesktopMainWindow::toggleFullscreen()
{
  DesktopMainWindowForm &f = *_form;
  if (_isInPlaceEditing())
    return;
  if (!_fullscreen) {
    _hideTransformWidget();
    hideMediaPreview();
    f.verticalLayout->addWidget(f.previewAreaWidget);
    f.mainSplitter->hide();
    showFullScreen();
    f.menubar->hide();
    _createFullscreenControl();
    _fullscreen = true;
    return;
  }
  delete _fullscreenControlWidget;
  _fullscreenControlWidget = nullptr;
  _fullscreen = false;
  f.rightAreaVerticalLayout->insertWidget(0, f.previewAreaWidget);
  f.mainSplitter->show();
  showMaximized();
  f.menubar->show();
  const QSize size = f.previewAreaWidget->size();
  QApplication::postEvent(f.previewAreaWidget, new QResizeEvent(size, size));
  if (!_playing)
    _updateTransformOverlayAt(_playheadTime());
}

void DesktopMainWindow::_createFullscreenControl()
{
  using F = FullscreenControlWidget;
  using D = DesktopMainWindow;
  auto *control = new FullscreenControlWidget(centralWidget());
  control->setObjectName(QStringLiteral("fullscreenControlWidget"));
  connect(control, &F::playPauseButtonClicked, this, &D::onPlayPauseButtonClicked);
  connect(control, &F::nextPositionButtonClicked, this, &D::onNextPositionButtonClicked);
  connect(control, &F::previousPositionButtonClicked, this, &D::onPreviousPositionButtonClicked);
  connect(control, &F::fullscreenButtonClicked, this, &D::onFullscreenButtonClicked);
  connect(control, &F::needToPlay, this, &D::fullscreenControlWidget_needToPlay);
  // Answered before the emit returns.
  connect(control, &F::pauseIfPlaying, this, &D::fullscreenControlWidget_pauseIfPlaying, Qt::DirectConnection);
  connect(control, &F::seekToPosition, this, &D::fullscreenControlWidget_seekToPosition);
  _fullscreenControlWidget = control;
  _placeFullscreenControl();
  control->setPlaying(_playing);
  control->setProgress(_playheadTime(), _projectManager->duration());
  control->show();
  control->raise();
  control->showControls();
}

void DesktopMainWindow::_placeFullscreenControl()
{
  FullscreenControlWidget *control = _fullscreenControlWidget;
  if (!control)
    return;
  const QWidget *central = centralWidget();
  control->setGeometry((central->width() - control->width()) / 2,
                       central->height() - control->height() - ControlBottomGap, control->width(), control->height());
}

void DesktopMainWindow::updateFullscreenProgress(float time)
{
  if (_fullscreenControlWidget)
    _fullscreenControlWidget->setProgress(time, _projectManager->duration());
}

void DesktopMainWindow::showFullscreenControls()
{
  if (_fullscreenControlWidget)
    _fullscreenControlWidget->showControls();
}

void DesktopMainWindow::fullscreenControlWidget_pauseIfPlaying(bool &playing)
{
  playing = _playing;
  editScrollArea_willBeginDragging();
}

void DesktopMainWindow::fullscreenControlWidget_needToPlay()
{
  if (!_playing)
    togglePlayPause();
}

void DesktopMainWindow::fullscreenControlWidget_seekToPosition(int value)
{
  const float time = _projectManager->duration() * float(value) / 100.0f;
  _scrollTimelineToTime(time, false);
  _seekToTime(time, true);
}

// --- Export progress ------------------------------------------------------------------------

void DesktopMainWindow::exportProgressBegan()
{
  if (!_taskbarProgress) {
    _taskbarProgress = new TaskbarProgress(this);
    _taskbarProgress->setRange(0, 100);
  }
  _taskbarProgress->reset();
  _taskbarProgress->show();
}

void DesktopMainWindow::exportProgressChanged(float progress)
{
  if (_taskbarProgress)
    _taskbarProgress->setValue(int(progress * 100));
}

void DesktopMainWindow::exportProgressEnded()
{
  if (!_taskbarProgress)
    return;
  _taskbarProgress->hide();
  delete _taskbarProgress;
  _taskbarProgress = nullptr;
}
