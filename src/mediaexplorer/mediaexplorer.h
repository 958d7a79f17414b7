#pragma once

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

class MediaExplorerWidget;
class QWidget;

// The editor window's media explorer: builds one explorer widget inside a container the
// window hands it, passes its signals on and offers resizing, enabling and GIF downloads.
class MediaExplorer : public QObject
{
  Q_OBJECT
public:
  MediaExplorer(const QString &projectDirectory, QObject *parent = nullptr);

  QString projectDirectory() const { return _projectDirectory; }
  // The first call builds the explorer filling container (tabs: the tab strip variant, else
  // the horizontal one); later calls change nothing.
  void showInWidget(QWidget *container, bool tabs);
  void setSize(const QSize &size);
  // A disabled explorer keeps its look and ignores the mouse.
  void setEnabled(bool enabled);
  // Answered by downloadFinished, unless the GIF page was never shown.
  void downloadGiphyGif(const QString &id, const QString &url);

  MediaExplorerWidget *widget() const;

signals:
  void showTextMessage(const QString &text);
  void showProgressHUD(const QString &text, float progress);
  void hideProgressHUD();
  void downloadFinished(int error, const QString &id, const QString &filePath);
  void mediaItemClicked(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                        const QString &metadata);

private:
  // Owned by its container.
  QPointer<MediaExplorerWidget> _widget;
  QString _projectDirectory;
};
