// The media explorer's, the media type chooser's and the gutter's signals: each becomes a call
// of the media intake, of the media preview or of the progress display.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "segmentwidget.h"
#include "mediapreviewcontrolwidget.h"
#include "mediapreviewwidget.h"
#include "popupmediatypeselectionwidget.h"
#include "trackwidget.h"

#include <QDateTime>
#include <QPushButton>

void MainWindow::mediaExplorer_onShowTextMessage(const QString &text)
{
  ProgressHUD::showTextMessage(text, this, 2000);
}

void MainWindow::mediaExplorer_onShowProgressHUD(const QString &text, float progress)
{
  showProgressHUD(text, progress);
}

void MainWindow::mediaExplorer_onDownloadFinished(int error, const QString &id, const QString &filePath)
{
  if (error != 0 || id.isEmpty() || id != _pendingDownloadId)
    return;
  _pendingDownloadId.clear();
  _pendingDownloadFile = filePath;
  _dropPath = filePath;
  dropEvent(nullptr);
}

void MainWindow::mediaExplorer_onMediaItemClicked(const QString &mediaId, int type, const QString &filePath,
                                                  const QPixmap &image, const QString &metadata)
{
  if (_mediaPreviewWidget && _mediaPreviewWidget->isVisible() && _mediaPreviewWidget->mediaId() == mediaId) {
    hideMediaPreview();
    return;
  }
  if (!_hooks.previewArea)
    return;
  if (!_mediaPreviewWidget) {
    _mediaPreviewWidget = new MediaPreviewWidget(_hooks.previewArea);
    connect(_mediaPreviewWidget, &MediaPreviewWidget::displayMediaPreviewControlWidgetExternal, this,
            [this](MediaPreviewControlWidget *control) { placeExternalControlWidget(control); });
    connect(_mediaPreviewWidget, &MediaPreviewWidget::hideMediaPreviewControlWidgetExternal, this,
            [this](MediaPreviewControlWidget *control) { removeExternalControlWidget(control); });
    connect(_mediaPreviewWidget, &MediaPreviewWidget::didPressClose, this, &MainWindow::mediaPreviewWidget_onPressClose);
  }
  // The preview takes the place of the edited layer's picture and its overlay.
  if (SegmentWidget *editing = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr)
    editing->setEditingState(false, true);
  if (_engine)
    _engine->pause();
  _layoutMediaPreview();
  _mediaPreviewShownAt = QDateTime::currentMSecsSinceEpoch();
  _mediaPreviewWidget->showMedia(mediaId, type, filePath, image, metadata);
  _mediaPreviewWidget->show();
  _mediaPreviewWidget->raise();
  if (_previewWidget)
    _previewWidget->hide();
}

void MainWindow::mediaTypeSelectionPopup_onClickSelectFile(PopupMediaTypeSelectionWidget *popup)
{
  static const int kinds[] = {7, 1, 2, 4};
  const int mediaType = popup->restriction();
  popup->dismiss();
  if (mediaType >= 0 && mediaType <= 3)
    _addMediaFileFromDialog(kinds[mediaType]);
}

void MainWindow::mediaTypeSelectionPopup_onClickCamera(PopupMediaTypeSelectionWidget *popup)
{
  const int mediaType = popup->restriction();
  popup->dismiss();
  _showCameraDialog(mediaType);
}

void MainWindow::mediaTypeSelectionPopup_onClickMicrophone(PopupMediaTypeSelectionWidget *popup)
{
  popup->dismiss();
  _showMicrophonePopup();
}

void MainWindow::mediaTypeSelectionPopup_onClickText(PopupMediaTypeSelectionWidget *popup)
{
  popup->dismiss();
  _addNewTextSegment();
}

void MainWindow::mediaTypeSelectionPopup_onClickSelfDraw(PopupMediaTypeSelectionWidget *popup)
{
  popup->dismiss();
  _addNewDrawingSegment();
}

void MainWindow::gutterArea_onFunctionButtonPressed(int tag)
{
  _functionTrackTag = tag;
  _functionTrack = _editScrollArea->trackWidgetByTag(tag);
  if (!_functionTrack)
    return;
  // The track's own button adds to that track.
  _insertTrackTag = tag;
  _insertTrack = _functionTrack;
  if (_engine)
    _engine->pause();
  QPushButton *button = _gutter ? _gutter->buttonByTag(tag) : nullptr;
  if (_gutter && _gutter->isLastTrackButton(tag)) {
    _showMediaTypePopup(0, button);
    return;
  }
  const QString type = _functionTrack->type();
  if (type == QLatin1String("MOVIE"))
    _showMediaTypePopup(1, button);
  else if (type == QLatin1String("IMAGE"))
    _showMediaTypePopup(2, button);
  else if (type == QLatin1String("TEXT"))
    _addNewTextSegment();
  else if (type == QLatin1String("MUSIC"))
    _addMediaFileFromDialog(4);
  else if (type == QLatin1String("DRAWING"))
    _addNewDrawingSegment();
  else if (type == QLatin1String("VOICE"))
    _showMicrophonePopup();
}
