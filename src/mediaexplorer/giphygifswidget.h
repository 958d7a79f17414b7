#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class AnimatedLabel;
class GiphyGifsCache;
class GiphyGifsListWidget;
class GiphyGifsWidgetItemDelegate;
class IconLineEdit;
class QJsonObject;
class QListWidgetItem;
class QMovie;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QSettings;
class TooltipButton;

// The GIF page of the media explorer: trending or searched GIFs and stickers of the web GIF
// service as animated tiles, paged as the user scrolls, with previews and full GIFs kept in
// a disk cache.
class GiphyGifsWidget : public QWidget
{
  Q_OBJECT
public:
  enum Roles { IdRole = Qt::UserRole + 1, FrameRole = Qt::UserRole + 2, UrlRole = Qt::UserRole + 3 };

  GiphyGifsWidget(QSettings *settings, QWidget *parent);
  ~GiphyGifsWidget() override;

  static QSize itemSize() { return QSize(80, 80); }

  void downloadOriginalGif(const QString &id, const QString &url);

  GiphyGifsListWidget *listWidget() const { return _list; }
  IconLineEdit *lineEdit() const { return _lineEdit; }
  QPushButton *cancelSearchButton() const { return _cancelSearchButton; }
  TooltipButton *gifTypeButton() const { return _gifTypeButton; }
  TooltipButton *stickerTypeButton() const { return _stickerTypeButton; }
  QWidget *bottomPanel() const { return _bottomPanel; }
  AnimatedLabel *loadingIndicator() const { return _loadingIndicator; }
  GiphyGifsCache *cache() const { return _cache; }
  int gifType() const { return _gifType; }
  int limit() const { return _limit; }
  int requestState() const { return _requestState; }
  bool isDownloading() const { return _downloading; }

signals:
  void showTextMessage(QString message);
  void showProgressHUD(QString text, float progress);
  void hideProgressHUD();
  void downloadFinished(int error, QString id, QString filePath);
  void giphyItemClicked(QString id, QString filePath, QPixmap image);

public slots:
  void onNetworkReplyFinished();
  void onDownloadReplyFinished();
  void onDownloadReplyProgress(qlonglong bytesReceived, qlonglong bytesTotal);
  void onGifDownloadFinished(QNetworkReply *reply);
  void onItemClicked(QListWidgetItem *item);
  void onItemDoubleClicked(QListWidgetItem *item);
  void onCustomContextMenuRequested(QPoint pos);
  void onMovieFrameChanged(int frameNumber);
  void onVerticalScrollBarValueChanged(int value);
  void onGifTypeButtonClicked();
  void onStickerTypeButtonClicked();
  void onLineEditReturnPressed();
  void onLineEditTextEdited(QString text);
  void onCancelSearchButtonClicked();
  void onFetchGifPathForItem(QListWidgetItem *item, QString &outId, QString &outPath, QString &outUrl,
                             float &outDuration, float &outScale);

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _requestGifs();
  void _requestRandomId();
  // Ends the list or random-id request; false (with a message shown) unless the reply is
  // a JSON object, then in root.
  bool _finishListReply(QNetworkReply *reply, bool withErrorText, QJsonObject &root);
  void _parseGifsReply(QNetworkReply *reply);
  void _parseRandomIdReply(QNetworkReply *reply);
  void _showRefreshMenu(const QPoint &globalPos);
  void _clearMovies();
  void _showLoadingIndicator();
  void _hideLoadingIndicator();
  void _layoutLoadingIndicator();
  void _reset();
  void _startMovie(const QString &path, int row);
  QNetworkReply *_get(QNetworkAccessManager *manager, const QUrl &url);
  void _setGifType(int type);
  // Reports a download that ended without a stored file.
  void _failDownload(const QString &id, int error);

  GiphyGifsListWidget *_list = nullptr;
  GiphyGifsWidgetItemDelegate *_delegate = nullptr;
  IconLineEdit *_lineEdit = nullptr;
  QPushButton *_cancelSearchButton = nullptr;
  QWidget *_bottomPanel = nullptr;
  TooltipButton *_gifTypeButton = nullptr;
  TooltipButton *_stickerTypeButton = nullptr;

  AnimatedLabel *_loadingIndicator = nullptr;
  QNetworkAccessManager *_network = nullptr;
  QNetworkReply *_listReply = nullptr;
  int _requestState = 0;
  QPointer<QNetworkReply> _downloadReply;
  bool _downloading = false;
  QListWidgetItem *_pendingItem = nullptr;
  int _gifType = 0;
  QString _randomId;
  int _totalCount = 0;
  int _offset = 0;
  int _limit = 30;
  QSettings *_settings = nullptr;
  QNetworkAccessManager *_previewNetwork = nullptr;
  GiphyGifsCache *_cache = nullptr;
  QList<QMovie *> _movies;
};
