#pragma once
// Stand-in for the media explorer until its subsystem lands: the constructor, signals and
// operations the editor window uses, over an empty panel. Drop this file pair when the real
// MediaExplorer arrives.

#include <QPixmap>
#include <QString>
#include <QWidget>

class MediaExplorer : public QWidget
{
  Q_OBJECT
public:
  MediaExplorer(const QString &projectDirectory, QWidget *parent = nullptr);

  QString projectDirectory() const { return _projectDirectory; }
  // Shows the explorer filling container.
  void showInWidget(QWidget *container, bool tabs);
  void setSize(const QSize &size);
  // Nothing can be downloaded: the answer is always a failure, delivered later like a real one.
  void downloadGiphyGif(const QString &id, const QString &url);

signals:
  void showTextMessage(const QString &text);
  void showProgressHUD(const QString &text, float progress);
  void hideProgressHUD();
  void downloadFinished(int error, const QString &id, const QString &filePath);
  void mediaItemClicked(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                        const QString &metadata);

private:
  QString _projectDirectory;
};
