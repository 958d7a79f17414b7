#include "mediapreviewwidget_standin.h"

#include "mediapreviewcontrolwidget_standin.h"

#include <QLabel>
#include <QVBoxLayout>

MediaPreviewWidget::MediaPreviewWidget(QWidget *parent) : QWidget(parent)
{
  _pictureLabel = new QLabel(this);
  _pictureLabel->setAlignment(Qt::AlignCenter);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(_pictureLabel);
  _controlWidget = new MediaPreviewControlWidget(this);
  _controlWidget->hide();
}

void MediaPreviewWidget::showMedia(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                                   const QString &metadata)
{
  Q_UNUSED(type)
  Q_UNUSED(filePath)
  Q_UNUSED(metadata)
  _mediaId = mediaId;
  _image = image;
  _showPicture();
}

void MediaPreviewWidget::closePreview()
{
  _mediaId.clear();
  _image = QPixmap();
  _pictureLabel->clear();
  emit hideMediaPreviewControlWidgetExternal(_controlWidget);
}

void MediaPreviewWidget::repositionControlWidget()
{
  if (_controlWidget->isVisible() && !_controlWidget->parentWidget())
    _controlWidget->move(mapToGlobal(QPoint((width() - _controlWidget->width()) / 2, height() - _controlWidget->height())));
}

void MediaPreviewWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _showPicture();
}

void MediaPreviewWidget::_showPicture()
{
  if (_image.isNull())
    return;
  _pictureLabel->setPixmap(_image.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
