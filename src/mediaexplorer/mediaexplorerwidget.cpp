#include "mediaexplorerwidget.h"

#include "giphygifswidget.h"
#include "localfileswidget.h"
#include "mediaconfig.h"
#include "mediaitemtype.h"
#include "resourceassetcatalogue.h"
#include "resourceassetswidget.h"

#include <QDir>
#include <QVBoxLayout>

MediaExplorerWidget::MediaExplorerWidget(const QString &projectDir, QWidget *parent) : QWidget(parent)
{
  _config = new MediaConfig(projectDir + QDir::separator() + "media.config", this);
}

QSettings *MediaExplorerWidget::settings() const
{
  return _config->settings();
}

MediaExplorerWidget::~MediaExplorerWidget()
{
  // The pages write their state into the settings as they go, so they go first.
  delete _localFilesPage;
  delete _musicPage;
  delete _soundFxPage;
  delete _stickersPage;
  delete _giphyPage;
}

QWidget *MediaExplorerWidget::createPageContainer()
{
  _pageContainer = new QWidget(this);
  _pageContainer->setObjectName("containerWidget");
  _pageLayout = new QVBoxLayout(_pageContainer);
  _pageLayout->setObjectName("containerVerticalLayout");
  _pageLayout->setSpacing(0);
  _pageLayout->setContentsMargins(0, 0, 0, 0);
  return _pageContainer;
}

void MediaExplorerWidget::hideAllPages()
{
  for (QWidget *page : std::initializer_list<QWidget *>{_localFilesPage, _musicPage, _soundFxPage, _stickersPage,
                                                        _giphyPage})
    if (page)
      page->hide();
}

bool MediaExplorerWidget::_bringUp(QWidget *page)
{
  if (page && page->isVisible())
    return false;
  hideAllPages();
  return true;
}

void MediaExplorerWidget::showPage(const QString &pageType, const QMap<QString, QVariant> &descriptor)
{
  if (pageType == "local_files") {
    const QString path = descriptor.value("path").toString();
    if (!_bringUp(_localFilesPage))
      return;
    if (!_localFilesPage) {
      _localFilesPage = new LocalFilesWidget(path, settings(), _pageContainer);
      connect(_localFilesPage, &LocalFilesWidget::fileItemClicked, this, &MediaExplorerWidget::onFileItemClicked);
      _pageLayout->addWidget(_localFilesPage);
    }
    _localFilesPage->show();
  } else if (pageType == "in_app_music") {
    showMusicPage();
  } else if (pageType == "in_app_sound_fx") {
    showSoundFxPage();
  } else if (pageType == "in_app_stickers") {
    showStickersPage();
  } else if (pageType == "giphy") {
    showGiphyPage();
  }
}

void MediaExplorerWidget::_showAssetPage(ResourceAssetsWidget *&page, int mode, ResourceAssetCatalogue (*catalogue)())
{
  if (!_bringUp(page))
    return;
  if (!page) {
    const ResourceAssetCatalogue assets = catalogue();
    page = new ResourceAssetsWidget(mode, assets.tags, assets.assets, _pageContainer);
    connect(page, &ResourceAssetsWidget::assetItemClicked, this, &MediaExplorerWidget::onAssetItemClicked);
    _pageLayout->addWidget(page);
  }
  page->show();
}

void MediaExplorerWidget::showMusicPage()
{
  _showAssetPage(_musicPage, 1, &ResourceAssetCatalogue::music);
}

void MediaExplorerWidget::showSoundFxPage()
{
  _showAssetPage(_soundFxPage, 1, &ResourceAssetCatalogue::soundFx);
}

void MediaExplorerWidget::showStickersPage()
{
  _showAssetPage(_stickersPage, 0, &ResourceAssetCatalogue::stickers);
}

void MediaExplorerWidget::showGiphyPage()
{
  if (!_bringUp(_giphyPage))
    return;
  if (!_giphyPage) {
    _giphyPage = new GiphyGifsWidget(settings(), _pageContainer);
    connect(_giphyPage, &GiphyGifsWidget::showTextMessage, this, &MediaExplorerWidget::showTextMessage);
    connect(_giphyPage, &GiphyGifsWidget::showProgressHUD, this, &MediaExplorerWidget::showProgressHUD);
    connect(_giphyPage, &GiphyGifsWidget::hideProgressHUD, this, &MediaExplorerWidget::hideProgressHUD);
    connect(_giphyPage, &GiphyGifsWidget::downloadFinished, this, &MediaExplorerWidget::downloadFinished);
    connect(_giphyPage, &GiphyGifsWidget::giphyItemClicked, this, &MediaExplorerWidget::onGiphyItemClicked);
    _pageLayout->addWidget(_giphyPage);
  }
  _giphyPage->show();
}

void MediaExplorerWidget::downloadGiphyGif(const QString &id, const QString &url)
{
  if (_giphyPage)
    _giphyPage->downloadOriginalGif(id, url);
}

void MediaExplorerWidget::onFileItemClicked(int type, QFileInfo fi, QPixmap image, QString metadata)
{
  const QString path = fi.absoluteFilePath();
  emit mediaItemClicked(QString::number(qHash(path, 0)), type, path, image, metadata);
}

void MediaExplorerWidget::onAssetItemClicked(int type, QString resPath, QPixmap image, QString metadata)
{
  emit mediaItemClicked(QString::number(qHash(resPath, 0)), type, resPath, image, metadata);
}

void MediaExplorerWidget::onGiphyItemClicked(QString id, QString filePath, QPixmap image)
{
  emit mediaItemClicked(id, MediaItemTypeGif, filePath, image, QString());
}
