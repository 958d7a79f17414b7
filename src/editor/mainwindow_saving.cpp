// Saving, auto-saving and closing. A save that fails never costs the user the edits: the
// project stays modified and closing asks before anything is thrown away.

#include "mainwindow.h"

#include "avengine.h"
#include "avexporter.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "projectmanager.h"
#include "popupmediatypeselectionwidget.h"
#include "segmentwidget.h"
#include "commonpopup.h"
#include "commonpopuphelptipwidget.h"
#include "tipmanager.h"
#include "util.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

bool MainWindow::_saveProject(bool closing)
{
  if (!_projectManager || _loadFailed)
    return true;
  // Half-converted old geometry is never written; the file keeps the old version until then.
  if (_legacyMovieAwaitsConversion())
    return true;
  if (!_projectManager->isModified() && _projectManager->version() >= 5.0f)
    return true;
  // Kept until both files are written, so that trying again writes them again.
  const float version = _projectManager->version();
  _projectManager->setVersion(5.0f);
  _removeTemporaryFiles();
  bool saved = true;
  _saveFailure.clear();
  auto note = [this, &saved](int result, const QString &path) {
    if (result == 0)
      return;
    ProgressHUD::showTextMessage(tr("Failed to save movie"), this, 2000);
    _saveFailure = tr("%1 could not be written: %2.").arg(QDir::toNativeSeparators(path), _projectManager->saveError());
    saved = false;
  };
  note(closing ? _saveSegmentsWhileTurning() : _projectManager->saveSegments(_projectName, _projectFolder),
       ProjectManager::projectFilePath(_projectName, _projectFolder));
  // The properties name the project file's format: they are not written over an old one.
  if (saved)
    note(_projectManager->saveProperties(_projectName, _projectFolder),
         ProjectManager::propertiesFilePath(_projectName, _projectFolder));
  // A failed save leaves the project modified, so the next save tries again.
  if (saved)
    _projectManager->setModified(false);
  else
    _projectManager->setVersion(version);
  return saved;
}

void MainWindow::autoSave()
{
  // Nothing is written while the project is still loading or could not be opened.
  if (!_projectManager || _loadFailed || _loader || !_projectManager->isModified() || _legacyMovieAwaitsConversion())
    return;
  _removeTemporaryFiles();
  if (_projectManager->saveSegments(_projectName, _projectFolder) == 0
      && _projectManager->saveProperties(_projectName, _projectFolder) == 0)
    _projectManager->setModified(false);
}

int MainWindow::_confirmClosingAfterFailedSave()
{
  for (;;) {
    // Nothing may have been changed: then the save only brought an older movie up to date.
    const QString text = _projectManager->isModified()
                             ? tr("The movie could not be saved. %1 Your changes are still open in this window.")
                             : tr("This movie of an older version could not be saved in the current format. %1 "
                                  "Nothing was changed in this window; the movie on disk stays as it was.");
    QMessageBox box(QMessageBox::Warning, tr("Save Failed"), text.arg(_saveFailure), QMessageBox::NoButton, this);
    QPushButton *retry = box.addButton(tr("Try Again"), QMessageBox::AcceptRole);
    QPushButton *keep = box.addButton(tr("Keep Window Open"), QMessageBox::RejectRole);
    box.addButton(tr("Close Without Saving"), QMessageBox::DestructiveRole);
    box.setDefaultButton(retry);
    Util::applyDialogStyleSheet(&box);
    QAbstractButton *clicked = DialogProvider::instance()->execMessageBox(&box);
    if (clicked == retry) {
      if (_saveProject())
        return 0;
      continue;
    }
    if (clicked == keep || !clicked) {
      hideWaitingHUD();
      _autoSaveTimer->start();
      return 1;
    }
    return 2;
  }
}

void MainWindow::_askToCancelExport()
{
  // Styled like the window's other boxes: a bare box takes the desktop's light look.
  QMessageBox box(QMessageBox::Question, tr("Export Interrupted"), tr("Do you want to cancel the exporting?"),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  Util::applyDialogStyleSheet(&box);
  // The shared sheet leaves the buttons in the desktop's light look. Set on the buttons
  // themselves: a second sheet on the box does not reach buttons already styled by the first.
  for (QAbstractButton *button : box.buttons())
    button->setStyleSheet(QStringLiteral("QPushButton { color: white; background-color: rgb(44,46,50);"
                                         " border: 1px solid rgb(128,128,128); border-radius: 5px;"
                                         " padding: 5px 15px; }"
                                         "QPushButton:pressed { background-color: rgb(31,32,35); }"
                                         "QPushButton:default { border-color: rgb(54,200,255); }"));
  // No narrower than the export page it covers: that page's text would peek out beside the
  // buttons, in the same colour as the box.
  auto *popup = qobject_cast<CommonPopup *>(_currentPopup.data());
  if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")); label && popup && popup->mainWidget())
    label->setMinimumWidth(popup->mainWidget()->width());
  QAbstractButton *clicked = DialogProvider::instance()->execMessageBox(&box);
  if (!clicked || box.standardButton(clicked) != QMessageBox::Yes || !_exporter)
    return;
  _exporter->cancel();
  _cancelRequested = true;
  showWaitingHUD(tr("Canceling..."));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
  // While the project opens nothing can have been edited: loading stops and the window goes,
  // the files as they were. A media file that never answers cannot hold the window.
  if (_opening) {
    _abandonOpening();
    event->accept();
    return;
  }
  // Without an engine the window closes; the closing step's own close comes with the name
  // cleared.
  if (!_previewWidget) {
    event->accept();
    return;
  }
  if (_loadFailed && !_progressHUD) {
    // The project on disk stays as it was: no layout, cover, save or removals.
    _projectName.clear();
    _tearDownEngine();
    event->accept();
    return;
  }
  event->ignore();
  if (_progressHUD || _copyingMedia) {
    ProgressHUD::showTextMessage(tr("Please wait a moment"), this, 2000);
    return;
  }
  if (_exporter) {
    QTimer::singleShot(50, this, [this] { _askToCancelExport(); });
    return;
  }
  if (_isPreviewFullscreen()) {
    toggleFullscreen();
    return;
  }
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
  hideMediaPreview();
  _autoSaveTimer->stop();
  if (_engine)
    _engine->pause();
  if (_mediaTypePopup)
    _mediaTypePopup->dismiss();
  // Unapplied edits are dropped; a drawing gives its layer back to the preview before the
  // cover is grabbed from it.
  _endTextEditing(false);
  if (_canvasWidget)
    drawingDidEnd();
  _endDrawing(false);
  _endCropping(false);
  dismissToolPopups();
  if (_editScrollArea && _editScrollArea->editingSegmentWidget())
    _editScrollArea->editingSegmentWidget()->setEditingState(false, true);
  _exitRangeSelection();
  showWaitingHUD(tr("Saving..."));
  saveLayout();
  if (_engine)
    _engine->refresh();
  QTimer::singleShot(1000, this, [this] { runClosingStep(); });
}

void MainWindow::changeEvent(QEvent *event)
{
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow())
      return;
    if (QDateTime::currentMSecsSinceEpoch() - _mediaPreviewShownAt < 100)
      QTimer::singleShot(200, this, [this] { QApplication::setActiveWindow(this); });
    else
      hideMediaPreview();
  } else if (event->type() == QEvent::WindowStateChange) {
    if (isMinimized())
      hideMediaPreview();
    else if (_isPreviewFullscreen())
      toggleFullscreen();
  }
}
