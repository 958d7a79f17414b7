// The pending text and picture of the canvas: their dialogs, moving, wheel sizing and commit.

#include "canvaswidget.h"

#include "dialogprovider.h"
#include "pictureshape.h"
#include "textshape.h"
#include "util.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWheelEvent>

bool CanvasWidget::_textPending() const
{
  return _currentShape == _text && !_settings.text.isEmpty();
}

bool CanvasWidget::_picturePending() const
{
  return _currentShape == _picture && !_settings.picture.isNull();
}

void CanvasWidget::_redrawText()
{
  if (!_textPending())
    return;
  _restoreBackup();
  _text->draw();
}

void CanvasWidget::_redrawPicture()
{
  if (!_picturePending())
    return;
  _restoreBackup();
  _picture->draw();
}

void CanvasWidget::_redrawPendingItem()
{
  _redrawText();
  _redrawPicture();
}

void CanvasWidget::textShapeOnGetFrameRect(TextShape *, QRect &rect)
{
  rect = QRect(0, 0, width(), height());
}

void CanvasWidget::pictureShapeOnGetFrameRect(PictureShape *, QRect &rect)
{
  rect = QRect(0, 0, width(), height());
}

bool CanvasWidget::_beginItemRequest()
{
  // The second click of a double click (or a click while a dialog is on its way) must not
  // queue a second dialog behind the first.
  if (_itemRequested)
    return false;
  _itemRequested = true;
  return true;
}

void CanvasWidget::textShapeOnRequestText(TextShape *)
{
  if (_beginItemRequest())
    QTimer::singleShot(100, this, &CanvasWidget::_askForText);
}

void CanvasWidget::_askForText()
{
  // On the heap: a modal loop may outlive the canvas, and the dialog is its child.
  QPointer<QInputDialog> dialog = new QInputDialog(this);
  Util::applyDialogStyleSheet(dialog);
  dialog->setWindowTitle(_settings.text.isEmpty() ? tr("Add Text") : tr("Edit Text"));
  dialog->setOption(QInputDialog::UsePlainTextEditForTextInput);
  dialog->setLabelText(tr("Enter text here"));
  dialog->setTextValue(_settings.text);
  dialog->setInputMode(QInputDialog::TextInput);
  dialog->setTextEchoMode(QLineEdit::Normal);
  dialog->setCancelButtonText(tr("Cancel"));
  QPointer<CanvasWidget> guard(this);
  const int result = DialogProvider::instance()->execDialog(dialog);
  if (!guard)
    return;
  _itemRequested = false;
  if (!dialog)
    return;
  const QString text = dialog->textValue();
  delete dialog;
  if (result != QDialog::Accepted)
    return;
  if (_settings.text.isEmpty()) {
    // Nothing to place: no undo step either.
    if (text.isEmpty())
      return;
    _backupCanvas();
  }
  _restoreBackup();
  _settings.text = text;
  _text->draw();
  emit canvasWidgetTextChanged(this, text);
}

void CanvasWidget::pictureShapeOnRequestPicture(PictureShape *)
{
  if (_beginItemRequest())
    QTimer::singleShot(100, this, &CanvasWidget::_askForPicture);
}

void CanvasWidget::_askForPicture()
{
  const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  QDir().mkpath(pictures);
  const QString folder = QSettings().value("OpenPictureDir", pictures).toString();
  QPointer<CanvasWidget> guard(this);
  const QString path = DialogProvider::instance()->getOpenFileName(nullptr, tr("Insert a Picture"), folder,
                                                                   Util::pictureFileFilter());
  if (!guard)
    return;
  if (path.isEmpty()) {
    _itemRequested = false;
    return;
  }
  QSettings().setValue("OpenPictureDir", QFileInfo(path).absolutePath());
  QPixmap picture(path);
  const int most = qMax(_canvasSize.width(), _canvasSize.height());
  if (picture.width() > most || picture.height() > most)
    picture = _fitted(picture, QSize(most, most));
  QTimer::singleShot(200, this, [this, picture] { _setPendingPicture(picture); });
}

void CanvasWidget::_setPendingPicture(const QPixmap &picture)
{
  _itemRequested = false;
  if (_settings.picture.isNull())
    _backupCanvas();
  _restoreBackup();
  _settings.picture = picture;
  _picture->draw();
  emit canvasWidgetPictureChanged(this, picture);
}

void CanvasWidget::commitText()
{
  if (!_textPending())
    return;
  _restoreBackup();
  _text->commit();
  _settings.text.clear();
  emit canvasWidgetTextChanged(this, QString());
}

void CanvasWidget::commitPicture()
{
  if (!_picturePending())
    return;
  _restoreBackup();
  _picture->commit();
  _settings.picture = QPixmap();
  emit canvasWidgetPictureChanged(this, QPixmap());
}

void CanvasWidget::wheelEvent(QWheelEvent *event)
{
  if (_currentShape != _text && _currentShape != _picture) {
    event->ignore();
    return;
  }
  event->accept();
  if (_waiting)
    return;
  int delta = 0;
  if (!event->pixelDelta().isNull())
    delta = event->pixelDelta().y();
  else if (!event->angleDelta().isNull())
    delta = qRound(event->angleDelta().y() / 8.0);
  const float factor = 1.0f + delta / 640.0f;
  if (_textPending()) {
    _settings.textSize = qBound(1.0f, _settings.textSize * factor, 960.0f);
    _updateScaledSizes();
    _redrawText();
    emit canvasWidgetTextSizeChangedByGesture(this, _settings.textSize);
  } else if (_picturePending()) {
    _settings.pictureSize = qBound(0.01f, _settings.pictureSize * factor, 4.0f);
    _redrawPicture();
    emit canvasWidgetPictureSizeChangedByGesture(this, _settings.pictureSize);
  }
}
