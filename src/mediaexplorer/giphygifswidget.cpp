#include "giphygifswidget.h"

#include "animatedlabel.h"
#include "dialogprovider.h"
#include "endpoints.h"
#include "explorerlists.h"
#include "explorerstyle.h"
#include "giphygifscache.h"
#include "giphygifslistwidget.h"
#include "giphygifswidgetitemdelegate.h"
#include "iconlineedit.h"
#include "tooltipbutton.h"
#include "util.h"

#include <QDebug>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {
const char kPreview[] = "fixed_width_small";
const char kOriginal[] = "original";

// The HTTP status of a reply, 0 when none arrived (the connection failed first).
int _status(QNetworkReply *reply)
{
  return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

bool _isSuccess(int status)
{
  return status >= 200 && status <= 299;
}

// The reply broke off in the network: before any status, or in the body of a good one. An
// error status is the service's own answer and not counted here.
bool _brokeOff(QNetworkReply *reply)
{
  const int status = _status(reply);
  return reply->error() != QNetworkReply::NoError && (status == 0 || _isSuccess(status));
}

// Qt may take a chunked body that the server closed early for a whole one: a GIF ends with its
// trailer byte.
bool _gifCutOff(const QByteArray &data)
{
  return (data.startsWith("GIF87a") || data.startsWith("GIF89a")) && !data.endsWith(';');
}
} // namespace

GiphyGifsWidget::GiphyGifsWidget(QSettings *settings, QWidget *parent) : QWidget(parent), _settings(settings)
{
  _buildForm();
  _network = new QNetworkAccessManager(this);
  _previewNetwork = new QNetworkAccessManager(this);
  _cache = new GiphyGifsCache(this);
  connect(_previewNetwork, &QNetworkAccessManager::finished, this, &GiphyGifsWidget::onGifDownloadFinished);

  _settings->beginGroup("Giphy");
  _gifType = _settings->value("Type", 0).toInt() == 1 ? 1 : 0;
  _settings->endGroup();
  _randomId = QSettings().value("GiphyRandomId").toString();
  _gifTypeButton->setSelected(_gifType == 0);
  _stickerTypeButton->setSelected(_gifType == 1);

  ExplorerLists::connectQueuedClicks(_list, &QListWidget::itemClicked, this,
                                     [this](QListWidgetItem *item) { onItemClicked(item); });
  ExplorerLists::connectQueuedClicks(_list, &QListWidget::itemDoubleClicked, this,
                                     [this](QListWidgetItem *item) { onItemDoubleClicked(item); });
  connect(_list, &QWidget::customContextMenuRequested, this, &GiphyGifsWidget::onCustomContextMenuRequested,
          Qt::QueuedConnection);
  connect(_list, &GiphyGifsListWidget::fetchGifPathForItem, this, &GiphyGifsWidget::onFetchGifPathForItem,
          Qt::DirectConnection);
  connect(_list->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &GiphyGifsWidget::onVerticalScrollBarValueChanged);
  connect(_lineEdit, &QLineEdit::returnPressed, this, &GiphyGifsWidget::onLineEditReturnPressed);
  connect(_lineEdit, &QLineEdit::textEdited, this, &GiphyGifsWidget::onLineEditTextEdited);
  connect(_gifTypeButton, &QPushButton::clicked, this, &GiphyGifsWidget::onGifTypeButtonClicked);
  connect(_stickerTypeButton, &QPushButton::clicked, this, &GiphyGifsWidget::onStickerTypeButtonClicked);
  connect(_cancelSearchButton, &QPushButton::clicked, this, &GiphyGifsWidget::onCancelSearchButtonClicked);

  QTimer::singleShot(30, this, [this]() {
    _limit = qMax(30, ((_list->width() - 20) / 80) * ((_list->height() - 20) / 80 + 1));
    if (!_randomId.isEmpty())
      _requestGifs();
    else
      _requestRandomId();
  });
}

GiphyGifsWidget::~GiphyGifsWidget()
{
  _settings->beginGroup("Giphy");
  _settings->setValue("Type", _gifType);
  _settings->endGroup();
  _clearMovies();
  // No reply may reach this page once it is going.
  _network->disconnect(this);
  _previewNetwork->disconnect(this);
  for (QNetworkReply *reply : _network->findChildren<QNetworkReply *>())
    reply->disconnect(this);
  for (QNetworkReply *reply : _previewNetwork->findChildren<QNetworkReply *>())
    reply->disconnect(this);
  delete _listReply;
}

void GiphyGifsWidget::_buildForm()
{
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);

  auto *topPanel = new QWidget(this);
  topPanel->setObjectName("topPanel");
  topPanel->setFixedHeight(35);
  auto *top = new QHBoxLayout(topPanel);
  top->setObjectName("horizontalLayout");
  top->setSpacing(0);
  top->setContentsMargins(10, 5, 10, 0);
  _lineEdit = new IconLineEdit(topPanel);
  _lineEdit->setObjectName("lineEdit");
  _lineEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  _lineEdit->setClearButtonEnabled(false);
  _lineEdit->setPlaceholderText(tr("Search GIPHY"));
  _lineEdit->setIconPixmap(QPixmap(":/images/media-explorer/giphy_search_icon"));
  _lineEdit->setIconSize(QSize(20, 20));
  _lineEdit->setIconX(10);
  _lineEdit->setStyleSheet("QLineEdit{color: white; background-color: rgb(44,45,46); padding: 0px 5px 0px 40px; "
                           "border: none; border-radius: 5px;}");
  _lineEdit->setAttribute(Qt::WA_MacShowFocusRect, false);
  _cancelSearchButton = new QPushButton(topPanel);
  _cancelSearchButton->setObjectName("cancelSearchButton");
  _cancelSearchButton->setFlat(true);
  _cancelSearchButton->setFixedWidth(40);
  _cancelSearchButton->setIcon(QIcon(":/images/media-explorer/giphy_search_cancel_light"));
  _cancelSearchButton->setIconSize(QSize(20, 20));
  _cancelSearchButton->hide();
  top->addWidget(_lineEdit);
  top->addWidget(_cancelSearchButton);

  _list = new GiphyGifsListWidget(this);
  _list->setObjectName("listWidget");
  _list->setViewMode(QListView::IconMode);
  _list->setDragDropMode(QAbstractItemView::DragOnly);
  _list->setGridSize(itemSize());
  _list->setResizeMode(QListView::Adjust);
  _list->setContextMenuPolicy(Qt::CustomContextMenu);
  _delegate = new GiphyGifsWidgetItemDelegate(float(devicePixelRatioF()), _list);
  _list->setItemDelegate(_delegate);
  _list->setStyleSheet(
    "QListWidget{background: transparent; color: white; margin: 10px; border: none;}"
    "QToolTip{color: white; background-color: rgb(54,200,255); padding: 2px; border-radius: 3px;}");
  _list->verticalScrollBar()->setStyleSheet(ExplorerStyle::listScrollBarStyleSheet());

  _bottomPanel = new QWidget(this);
  _bottomPanel->setObjectName("bottomPanel");
  _bottomPanel->setFixedHeight(35);
  auto *bottom = new QHBoxLayout(_bottomPanel);
  bottom->setObjectName("horizontalLayout_2");
  bottom->setSpacing(0);
  bottom->setContentsMargins(0, 0, 0, 0);
  _gifTypeButton = new TooltipButton(":/images/media-explorer/giphy_gif_dark",
                                     ":/images/media-explorer/giphy_gif_dark_hl", _bottomPanel);
  _gifTypeButton->setObjectName("gifTypeButton");
  _stickerTypeButton = new TooltipButton(":/images/media-explorer/giphy_sticker_dark",
                                         ":/images/media-explorer/giphy_sticker_dark_hl", _bottomPanel);
  _stickerTypeButton->setObjectName("stickerTypeButton");
  for (TooltipButton *button : {_gifTypeButton, _stickerTypeButton}) {
    button->setFlat(true);
    button->setFixedWidth(40);
    button->setIconSize(QSize(20, 20));
  }
  bottom->addStretch();
  bottom->addWidget(_gifTypeButton);
  bottom->addStretch();
  bottom->addWidget(_stickerTypeButton);
  bottom->addStretch();

  layout->addWidget(topPanel);
  layout->addWidget(_list);
  layout->addWidget(_bottomPanel);
}

QNetworkReply *GiphyGifsWidget::_get(QNetworkAccessManager *manager, const QUrl &url)
{
  QNetworkRequest request(url);
  // A redirect could lead anywhere: it ends the request like any other status.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  return manager->get(request);
}

namespace {
// Every value is percent-encoded, so "&", "=", "#" and "+" in a search stay inside it.
void _addItem(QUrlQuery &query, const QString &key, const QString &value)
{
  query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
}
} // namespace

void GiphyGifsWidget::_requestRandomId()
{
  if (_requestState != 0)
    return;
  _requestState = 1;
  _showLoadingIndicator();
  QUrl url(Endpoints::giphyApiRoot() + "randomid");
  QUrlQuery query;
  _addItem(query, "api_key", Endpoints::giphyApiKey());
  url.setQuery(query);
  _listReply = _get(_network, url);
  connect(_listReply, &QNetworkReply::finished, this, &GiphyGifsWidget::onNetworkReplyFinished);
}

void GiphyGifsWidget::_requestGifs()
{
  if (_requestState != 0)
    return;
  _requestState = 2;
  _showLoadingIndicator();
  const QString text = _lineEdit->text().trimmed();
  const QString kind = _gifType == 1 ? "stickers/" : "gifs/";
  QUrl url(Endpoints::giphyApiRoot() + kind + (text.isEmpty() ? "trending" : "search"));
  QUrlQuery query;
  _addItem(query, "api_key", Endpoints::giphyApiKey());
  _addItem(query, "offset", QString::number(_offset));
  _addItem(query, "limit", QString::number(_limit));
  _addItem(query, "rating", "g");
  _addItem(query, "random_id", _randomId);
  if (!text.isEmpty())
    _addItem(query, "q", text);
  url.setQuery(query);
  _listReply = _get(_network, url);
  connect(_listReply, &QNetworkReply::finished, this, &GiphyGifsWidget::onNetworkReplyFinished);
}

void GiphyGifsWidget::onNetworkReplyFinished()
{
  auto *reply = qobject_cast<QNetworkReply *>(sender());
  if (!reply)
    return;
  if (reply == _listReply) {
    if (_requestState == 1)
      _parseRandomIdReply(reply);
    else if (_requestState == 2)
      _parseGifsReply(reply);
    _listReply = nullptr;
  }
  reply->deleteLater();
}

bool GiphyGifsWidget::_finishListReply(QNetworkReply *reply, bool withErrorText, QJsonObject &root)
{
  _hideLoadingIndicator();
  _requestState = 0;
  const int status = _status(reply);
  if (_brokeOff(reply)) {
    qDebug() << "Network error " << reply->error();
    emit showTextMessage(withErrorText ? tr("Network error (code=%1 %2)").arg(reply->error()).arg(reply->errorString())
                                       : tr("Network error (code=%1)").arg(reply->error()));
    return false;
  }
  if (!_isSuccess(status)) {
    qDebug() << "Network status code:" << status;
    emit showTextMessage(tr("Network failed (Status code=%1)").arg(status));
    return false;
  }
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(reply->readAll(), &parseError);
  if (parseError.error != QJsonParseError::NoError) {
    emit showTextMessage(tr("Parse data error (code=%1)").arg(parseError.error));
    return false;
  }
  root = document.object();
  return true;
}

void GiphyGifsWidget::_parseGifsReply(QNetworkReply *reply)
{
  QJsonObject root;
  if (!_finishListReply(reply, false, root))
    return;
  for (const QJsonValue &value : root.value("data").toArray()) {
    const QJsonObject gif = value.toObject();
    if (gif.isEmpty())
      continue;
    const QString id = gif.value("id").toString();
    // The id names cache files: anything that is not a plain name is skipped.
    if (!GiphyGifsCache::isValidId(id))
      continue;
    const QString title = gif.value("title").toString();
    const QJsonObject images = gif.value("images").toObject();
    const QString previewUrl = images.value(kPreview).toObject().value("url").toString();
    const QJsonObject original = images.value(kOriginal).toObject();
    QString toolTip = title;
    if (!original.isEmpty()) {
      const int width = original.value("width").toString().toInt();
      const int height = original.value("height").toString().toInt();
      toolTip += QString("\n%1x%2").arg(width).arg(height);
    }
    auto *item = new QListWidgetItem(title, _list);
    item->setToolTip(toolTip);
    item->setData(IdRole, id);
    item->setData(UrlRole, original.value("url").toString());
    item->setSizeHint(itemSize());
    const int row = _list->count() - 1;
    const QString cached = _cache->cachedPath(id, kPreview);
    if (!cached.isEmpty()) {
      _startMovie(cached, row);
    } else if (Endpoints::isFetchableGiphyUrl(QUrl(previewUrl))) {
      qDebug() << "Giphy image url " << previewUrl;
      QNetworkReply *preview = _get(_previewNetwork, QUrl(previewUrl));
      preview->setProperty("id", id);
      preview->setProperty("rendition", kPreview);
      preview->setProperty("row", row);
    }
  }
  const QJsonObject pagination = root.value("pagination").toObject();
  if (!pagination.isEmpty()) {
    _offset = pagination.value("count").toInt() + pagination.value("offset").toInt();
    _totalCount = pagination.value("total_count").toInt();
  }
}

void GiphyGifsWidget::_parseRandomIdReply(QNetworkReply *reply)
{
  QJsonObject root;
  if (!_finishListReply(reply, true, root))
    return;
  _randomId = root.value("data").toObject().value("random_id").toString();
  qDebug() << "Random Id: " << _randomId;
  if (_randomId.isEmpty())
    return;
  QSettings().setValue("GiphyRandomId", _randomId);
  QTimer::singleShot(30, this, [this]() { _requestGifs(); });
}

void GiphyGifsWidget::_startMovie(const QString &path, int row)
{
  auto *movie = new QMovie(path, QByteArray(), this);
  movie->setProperty("row", row);
  connect(movie, &QMovie::frameChanged, this, &GiphyGifsWidget::onMovieFrameChanged);
  _movies << movie;
  // A hidden page starts its movies when it is shown again.
  if (isVisible())
    movie->start();
}

void GiphyGifsWidget::onGifDownloadFinished(QNetworkReply *reply)
{
  reply->deleteLater();
  const QString id = reply->property("id").toString();
  const QString rendition = reply->property("rendition").toString();
  const int row = reply->property("row").toInt();
  if (reply->error() != QNetworkReply::NoError || !_isSuccess(_status(reply))) {
    qDebug() << "Download gif error " << reply->error() << "Download gif status code:" << _status(reply);
    return;
  }
  const QString path = _cache->setCacheForId(reply->readAll(), id, rendition);
  if (path.isEmpty())
    return;
  if (row >= 0 && row < _list->count() && _list->item(row)->data(IdRole).toString() == id)
    _startMovie(path, row);
}

void GiphyGifsWidget::onMovieFrameChanged(int)
{
  auto *movie = qobject_cast<QMovie *>(sender());
  if (!movie)
    return;
  QListWidgetItem *item = _list->item(movie->property("row").toInt());
  if (item)
    item->setData(FrameRole, movie->currentPixmap());
}

void GiphyGifsWidget::onVerticalScrollBarValueChanged(int value)
{
  if (value > 0 && value >= _list->verticalScrollBar()->maximum() && _offset < _totalCount - 1) {
    qDebug() << "Giphy gifs reach bottom";
    _requestGifs();
  }
}

void GiphyGifsWidget::_clearMovies()
{
  qDeleteAll(_movies);
  _movies.clear();
}

void GiphyGifsWidget::_reset()
{
  // A list reply still on its way answers the old query: it must not fill the new list.
  if (_requestState == 2 && _listReply) {
    QNetworkReply *stale = _listReply;
    _listReply = nullptr;
    stale->disconnect(this);
    stale->abort();
    stale->deleteLater();
    _requestState = 0;
    _hideLoadingIndicator();
  }
  _clearMovies();
  _pendingItem = nullptr;
  _list->clear();
  _offset = 0;
  _totalCount = 0;
  // While the random id is fetched this does nothing; the fetch asks for the list itself.
  _requestGifs();
}

void GiphyGifsWidget::_setGifType(int type)
{
  if (type == _gifType || _requestState != 0)
    return;
  _gifType = type;
  _gifTypeButton->setSelected(type == 0);
  _stickerTypeButton->setSelected(type == 1);
  _reset();
}

void GiphyGifsWidget::onGifTypeButtonClicked()
{
  _setGifType(0);
}

void GiphyGifsWidget::onStickerTypeButtonClicked()
{
  _setGifType(1);
}

void GiphyGifsWidget::onLineEditReturnPressed()
{
  if (_lineEdit->text().trimmed().isEmpty())
    return;
  _list->setFocus();
  _reset();
}

void GiphyGifsWidget::onLineEditTextEdited(QString)
{
  if (_cancelSearchButton->isHidden())
    _cancelSearchButton->show();
}

void GiphyGifsWidget::onCancelSearchButtonClicked()
{
  _list->setFocus();
  _lineEdit->clear();
  _reset();
  _cancelSearchButton->hide();
}

void GiphyGifsWidget::onCustomContextMenuRequested(QPoint pos)
{
  if (_list->itemAt(pos))
    return;
  _showRefreshMenu(_list->mapToGlobal(pos));
}

void GiphyGifsWidget::_showRefreshMenu(const QPoint &globalPos)
{
  auto *menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(menu);
  QAction *refresh = menu->addAction(tr("Refresh"));
  // The menu runs modally: the page (and the menu with it) may be gone when it returns.
  QPointer<QMenu> guard(menu);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, globalPos);
  if (!guard)
    return;
  menu->deleteLater();
  if (chosen == refresh)
    _reset();
}

void GiphyGifsWidget::onItemClicked(QListWidgetItem *item)
{
  if (!ExplorerLists::containsItem(_list, item))
    return;
  const QString id = item->data(IdRole).toString();
  QString path = _cache->cachedPath(id, kOriginal);
  const bool missing = path.isEmpty();
  if (missing)
    path = _cache->cachedPath(id, kPreview);
  const QString name = path.isEmpty() ? id : QFileInfo(path).baseName();
  emit giphyItemClicked(name, path, _delegate->placeholderPixmap());
  if (missing) {
    const bool started = !_downloading;
    downloadOriginalGif(id, item->data(UrlRole).toString());
    if (started)
      _pendingItem = item;
  }
}

void GiphyGifsWidget::onItemDoubleClicked(QListWidgetItem *) {}

void GiphyGifsWidget::downloadOriginalGif(const QString &id, const QString &url)
{
  if (_downloading)
    return;
  _downloading = true;
  emit showProgressHUD(tr("Downloading file..."), 0.0f);
  const QUrl address(url);
  if (!GiphyGifsCache::isValidId(id) || !Endpoints::isFetchableGiphyUrl(address)) {
    // Ends like a failed download, after the caller has returned.
    QTimer::singleShot(0, this, [this, id]() { _failDownload(id, QNetworkReply::ProtocolUnknownError); });
    return;
  }
  _downloadReply = _get(_network, address);
  _downloadReply->setProperty("id", id);
  connect(_downloadReply, &QNetworkReply::finished, this, &GiphyGifsWidget::onDownloadReplyFinished);
  connect(_downloadReply, &QNetworkReply::downloadProgress, this, &GiphyGifsWidget::onDownloadReplyProgress);
}

void GiphyGifsWidget::onDownloadReplyProgress(qlonglong bytesReceived, qlonglong bytesTotal)
{
  qDebug() << "Download gif progress " << bytesReceived << bytesTotal;
  // An unknown size (0 or -1) shows no progress until it is known.
  const float progress = bytesTotal > 0 ? float(double(bytesReceived) / double(bytesTotal)) : 0.0f;
  emit showProgressHUD(tr("Downloading file..."), progress);
}

void GiphyGifsWidget::_failDownload(const QString &id, int error)
{
  emit hideProgressHUD();
  emit showTextMessage(tr("Download error (code=%1)").arg(error));
  _pendingItem = nullptr;
  _downloading = false;
  emit downloadFinished(error, id, QString());
}

void GiphyGifsWidget::onDownloadReplyFinished()
{
  auto *reply = qobject_cast<QNetworkReply *>(sender());
  if (!reply)
    return;
  reply->deleteLater();
  const QString id = reply->property("id").toString();
  const int status = _status(reply);
  const QByteArray data = reply->readAll();
  // A body cut off after a good status is no GIF either.
  if (_brokeOff(reply) || (_isSuccess(status) && _gifCutOff(data))) {
    const int error = reply->error() != QNetworkReply::NoError ? reply->error() : QNetworkReply::RemoteHostClosedError;
    qDebug() << "Download error " << error << "after" << data.size() << "bytes";
    // A broken download must not leave an earlier copy that looks complete.
    const QString stale = _cache->cachedPath(id, kOriginal);
    if (!stale.isEmpty())
      QFile::remove(stale);
    _failDownload(id, error);
    return;
  }
  if (!_isSuccess(status)) {
    qDebug() << "Download status code:" << status;
    _failDownload(id, status);
    return;
  }
  int fileError = 0;
  const QString path = _cache->setCacheForId(data, id, kOriginal, &fileError);
  if (path.isEmpty()) {
    _failDownload(id, fileError);
    return;
  }
  emit hideProgressHUD();
  QListWidgetItem *pending = _pendingItem;
  _pendingItem = nullptr;
  _downloading = false;
  emit downloadFinished(0, id, path);
  if (pending && ExplorerLists::containsItem(_list, pending) && pending->data(IdRole).toString() == id)
    emit _list->itemClicked(pending);
}

void GiphyGifsWidget::onFetchGifPathForItem(QListWidgetItem *item, QString &outId, QString &outPath, QString &outUrl,
                                            float &outDuration, float &outScale)
{
  outId = item->data(IdRole).toString();
  outUrl = item->data(UrlRole).toString();
  outPath = _cache->cachedPath(outId, kOriginal);
  const int row = _list->row(item);
  for (QMovie *movie : qAsConst(_movies)) {
    if (movie->property("row").toInt() != row)
      continue;
    outDuration = float(Util::gifDuration(movie->fileName()));
    if (outDuration == 0)
      outDuration = movie->frameCount() * movie->nextFrameDelay() / 1000.0f;
    break;
  }
  outScale = 0.5f;
}

void GiphyGifsWidget::_showLoadingIndicator()
{
  if (!_loadingIndicator)
    _loadingIndicator = new AnimatedLabel(this, ":/images/loading_hud_dark-2");
  const int side = _list->count() == 0 ? 80 : 30;
  _loadingIndicator->resize(side, side);
  _layoutLoadingIndicator();
  _loadingIndicator->show();
  _loadingIndicator->raise();
  _loadingIndicator->start(0);
}

void GiphyGifsWidget::_hideLoadingIndicator()
{
  delete _loadingIndicator;
  _loadingIndicator = nullptr;
}

void GiphyGifsWidget::_layoutLoadingIndicator()
{
  if (!_loadingIndicator)
    return;
  const int x = (width() - _loadingIndicator->width()) / 2;
  const int y = _list->count() == 0 ? (height() - _loadingIndicator->height()) / 2
                                    : height() - _bottomPanel->height() - 15;
  _loadingIndicator->move(x, y);
}

void GiphyGifsWidget::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  for (QMovie *movie : qAsConst(_movies))
    movie->start();
}

void GiphyGifsWidget::hideEvent(QHideEvent *event)
{
  QWidget::hideEvent(event);
  for (QMovie *movie : qAsConst(_movies))
    movie->stop();
}

void GiphyGifsWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _layoutLoadingIndicator();
}
