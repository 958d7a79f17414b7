// Camera captures and microphone takes: the recorders' files are moved into the project under
// fresh numbered names and inserted where the user asked for them.

#include "mainwindow.h"

#include "cameradialog.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "popupmicrophonewidget.h"
#include "projectmanager.h"
#include "segmentwidget.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

#include <cmath>

namespace {

// The first "pattern" name with n = 1, 2, ... that the folder does not hold yet.
QString firstFreeName(const QString &directory, const QString &pattern)
{
  QString target;
  for (int n = 1;; ++n) {
    target = directory + QDir::separator() + pattern.arg(n);
    if (!QFile::exists(target))
      return target;
  }
}

} // namespace

void MainWindow::_showCameraDialog(int mode)
{
  // The chooser's picture entry passes 2: that asks for a still picture, not a clip.
  CameraDialog dialog(mode >= 2 ? 1 : 0, this);
  dialog.setWindowFlags((dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::WindowFlags(7));
  dialog.setWindowTitle(tr("Camera"));
  dialog.setCaptureTypeLocked(mode != 0);
  connect(&dialog, &CameraDialog::cameraDialogShouldCapturePhoto, this, [this] { _playShutterSound(); });
  if (DialogProvider::instance()->execDialog(&dialog) != QDialog::Accepted)
    return;
  if (dialog.captureType() == 1)
    _addCapturedPhoto(dialog.capturedFilePath());
  else
    _addCapturedMovie(dialog.capturedFilePath());
}

void MainWindow::_addCapturedPhoto(const QString &path)
{
  _addCapturedFile(path, QStringLiteral("cameraPhoto-%1.jpg"), 2, tr("Cannot move the captured photo file"));
}

void MainWindow::_addCapturedMovie(const QString &path)
{
  _addCapturedFile(path, QStringLiteral("cameraMovie-%1.mp4"), 1, tr("Cannot move the captured video file"));
}

void MainWindow::_addCapturedFile(const QString &path, const QString &pattern, int kind, const QString &failure)
{
  const QString target = firstFreeName(ProjectManager::projectDirectory(_projectName, _projectFolder), pattern);
  if (!QFile::rename(path, target)) {
    _showMessageBox(tr("Error Occurs"), failure, QMessageBox::Warning);
    return;
  }
  _insertMediaFile(target, kind, {}, _playheadTime(), true, true);
}

void MainWindow::_showMicrophonePopup()
{
  _voiceStartTime = _prepareInsertTime();
  QWidget *parent = centralWidget() ? centralWidget() : this;
  auto *popup = new PopupMicrophoneWidget(parent);
  popup->setPersistent(true);
  _microphonePopup = popup;
  connect(popup, &CommonPopup::dismissed, this, [this](CommonPopup *closed) {
    if (_microphonePopup == closed)
      _microphonePopup = nullptr;
  });
  connect(popup, &PopupMicrophoneWidget::popupMicrophoneWidgetGetStartTime, this,
          &MainWindow::microphonePopup_onGetStartTime, Qt::DirectConnection);
  connect(popup, &PopupMicrophoneWidget::popupMicrophoneWidgetRequestScrollToTime, this,
          &MainWindow::microphonePopup_onRequestScrollToTime, Qt::QueuedConnection);
  connect(popup, &PopupMicrophoneWidget::popupMicrophoneWidgetSoundCaptured, this,
          &MainWindow::microphonePopup_onSoundCaptured, Qt::QueuedConnection);
  popup->showWithStartTime(parent, _voiceStartTime, 1);
}

void MainWindow::microphonePopup_onGetStartTime(PopupMicrophoneWidget *, float *startTime)
{
  _voiceStartTime = _prepareInsertTime();
  const float playhead = _playheadTime();
  if (playhead > _voiceStartTime)
    _voiceStartTime = playhead;
  *startTime = _voiceStartTime;
}

void MainWindow::microphonePopup_onRequestScrollToTime(PopupMicrophoneWidget *, float t)
{
  _scrollTimelineTo(int(std::ceil(24 * _zoom * t - _playheadX)), false);
}

void MainWindow::microphonePopup_onSoundCaptured(PopupMicrophoneWidget *popup, const QString &fileName,
                                                 const QList<float> &meterValues)
{
  if (popup)
    popup->dismiss();
  // A selected block must not cost the user the take: it is deselected and the take goes in.
  if (_editScrollArea->selectedSegmentWidget())
    _editScrollArea->setSelectedSegmentWidget(nullptr);
  const QString target =
      firstFreeName(ProjectManager::projectDirectory(_projectName, _projectFolder), QStringLiteral("sound-%1.wav"));
  if (!QFile::rename(fileName, target)) {
    _showMessageBox(tr("Error Occurs"), tr("Cannot move the recorded sound file"), QMessageBox::Warning);
    return;
  }
  _addNewVoiceSegment(target, _voiceStartTime, meterValues);
}
