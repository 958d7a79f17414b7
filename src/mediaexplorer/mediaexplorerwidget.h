#pragma once

#include <QFileInfo>
#include <QMap>
#include <QPixmap>
#include <QVariant>
#include <QWidget>

class GiphyGifsWidget;
class LocalFilesWidget;
class MediaConfig;
class QSettings;
class QVBoxLayout;
class ResourceAssetsWidget;
struct ResourceAssetCatalogue;

// The base of the explorer variants: owns the project's explorer settings and the pages,
// builds each page the first time it is shown and turns the pages' clicks into one signal.
// A variant supplies the page container and its layout.
class MediaExplorerWidget : public QWidget
{
  Q_OBJECT
public:
  MediaExplorerWidget(const QString &projectDir, QWidget *parent);
  ~MediaExplorerWidget() override;

  void showPage(const QString &pageType, const QMap<QString, QVariant> &descriptor);
  void hideAllPages();
  void showMusicPage();
  void showSoundFxPage();
  void showStickersPage();
  void showGiphyPage();
  // Ignored until the GIF page exists: no downloadFinished follows then.
  void downloadGiphyGif(const QString &id, const QString &url);

  QSettings *settings() const;
  LocalFilesWidget *localFilesPage() const { return _localFilesPage; }
  ResourceAssetsWidget *musicPage() const { return _musicPage; }
  ResourceAssetsWidget *soundFxPage() const { return _soundFxPage; }
  ResourceAssetsWidget *stickersPage() const { return _stickersPage; }
  GiphyGifsWidget *giphyPage() const { return _giphyPage; }

signals:
  void showTextMessage(QString message);
  void showProgressHUD(QString text, float progress);
  void hideProgressHUD();
  void downloadFinished(int error, QString id, QString filePath);
  void mediaItemClicked(QString mediaId, int type, QString filePath, QPixmap image, QString metadata);

public slots:
  void onFileItemClicked(int type, QFileInfo fi, QPixmap image, QString metadata);
  void onAssetItemClicked(int type, QString resPath, QPixmap image, QString metadata);
  void onGiphyItemClicked(QString id, QString filePath, QPixmap image);

protected:
  // Makes the widget "containerWidget" with its layout "containerVerticalLayout" that every
  // page goes into.
  QWidget *createPageContainer();

private:
  // Shows an asset page, building it from its catalogue on first use.
  void _showAssetPage(ResourceAssetsWidget *&page, int mode, ResourceAssetCatalogue (*catalogue)());
  // Hides the other pages and shows this one; false when it is already on show.
  bool _bringUp(QWidget *page);

  QWidget *_pageContainer = nullptr;
  QVBoxLayout *_pageLayout = nullptr;
  LocalFilesWidget *_localFilesPage = nullptr;
  ResourceAssetsWidget *_musicPage = nullptr;
  ResourceAssetsWidget *_soundFxPage = nullptr;
  ResourceAssetsWidget *_stickersPage = nullptr;
  GiphyGifsWidget *_giphyPage = nullptr;
  MediaConfig *_config = nullptr;
};
