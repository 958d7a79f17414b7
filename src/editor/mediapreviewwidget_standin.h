#pragma once
// Stand-in for the media preview player until the media explorer's preview lands: it shows the
// picture it is given and reports the media id. Drop this file pair (and include the real
// mediapreviewwidget.h) when the real MediaPreviewWidget arrives.

#include <QPixmap>
#include <QString>
#include <QWidget>

class MediaPreviewControlWidget;
class QLabel;

class MediaPreviewWidget : public QWidget
{
  Q_OBJECT
public:
  explicit MediaPreviewWidget(QWidget *parent = nullptr);

  void showMedia(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                 const QString &metadata);
  // Stops and clears the preview and lets the window take its control strip away.
  void closePreview();
  QString mediaId() const { return _mediaId; }
  void repositionControlWidget();
  MediaPreviewControlWidget *controlWidget() const { return _controlWidget; }

signals:
  void displayMediaPreviewControlWidgetExternal(MediaPreviewControlWidget *controlWidget);
  void hideMediaPreviewControlWidgetExternal(MediaPreviewControlWidget *controlWidget);
  void didPressClose();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void _showPicture();

  QString _mediaId;
  QPixmap _image;
  QLabel *_pictureLabel = nullptr;
  MediaPreviewControlWidget *_controlWidget = nullptr;
};
