#include "mediapreviewwidget.h"

#include "animatedlabel.h"
#include "avpicturefile.h"
#include "mediaitemtype.h"
#include "mediapreviewcontrolwidget.h"
#include "mediapreviewplayerorder.h"
#include "mediaservicelock.h"
#include "util.h"

#include <QAbstractEventDispatcher>
#include <QAbstractVideoSurface>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QGraphicsView>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QMutex>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

QLabel *pageLabel(QWidget *page, const QString &name)
{
  auto *layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  auto *label = new QLabel(page);
  label->setObjectName(name);
  label->setScaledContents(false);
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  return label;
}

// Handed every frame right after the video item: the item then holds it and draws it with the
// next paint. Neither the player's position nor its media status tells this: a video with sound
// reports position 0 as it starts and the next position a second later.
class FrameWatch : public QAbstractVideoSurface
{
public:
  FrameWatch(QAbstractVideoSurface *item, std::function<void()> presented, QObject *parent)
    : QAbstractVideoSurface(parent), _item(item), _presented(std::move(presented))
  {
  }
  // The item's own: the player only picks formats both surfaces take.
  QList<QVideoFrame::PixelFormat> supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const override
  {
    return _item->supportedPixelFormats(type);
  }
  bool present(const QVideoFrame &frame) override
  {
    // Stopping hands an empty frame.
    if (frame.isValid())
      _presented();
    return true;
  }

private:
  QAbstractVideoSurface *_item;
  std::function<void()> _presented;
};

} // namespace

MediaPreviewWidget::MediaPreviewWidget(QWidget *parent) : QWidget(parent)
{
  qRegisterMetaType<MediaPreviewControlWidget *>("MediaPreviewControlWidget*");
  setWindowTitle(tr("Form"));
  auto *layout = new QVBoxLayout(this);
  layout->setObjectName("verticalLayout");
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);
  _stackedWidget = new QStackedWidget(this);
  _stackedWidget->setObjectName("stackedWidget");
  _videoPage = new QWidget(_stackedWidget);
  _videoPage->setObjectName("videoPage");
  _audioPage = new QWidget(_stackedWidget);
  _audioPage->setObjectName("audioPage");
  _artworkLabel = pageLabel(_audioPage, "artworkLabel");
  _imagePage = new QWidget(_stackedWidget);
  _imagePage->setObjectName("imagePage");
  _pictureLabel = pageLabel(_imagePage, "pictureLabel");
  // A page shown for the first time, or while the preview is hidden, lays its label out only
  // after the content was set: the scaling is decided again at the label's real size.
  _artworkLabel->installEventFilter(this);
  _pictureLabel->installEventFilter(this);
  _stackedWidget->addWidget(_videoPage);
  _stackedWidget->addWidget(_audioPage);
  _stackedWidget->addWidget(_imagePage);
  layout->addWidget(_stackedWidget);
}

MediaPreviewWidget::~MediaPreviewWidget()
{
  resetPreview();
  _playerOrder.reset();
  // Before the item it renders into.
  if (_player) {
    QMutexLocker serviceLock(&mediaServiceMutex());
    delete _player;
  }
  delete _videoItem;
  delete _view;
  delete _scene;
}

void MediaPreviewWidget::showMedia(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                                   const QString &metadata)
{
  resetPreview();
  _mediaId = mediaId;
  _type = type;
  _metadata = metadata;
  _mediaSize = image.size();
  if (type == MediaItemTypeVideo)
    _showVideo(filePath);
  else if (type == MediaItemTypePicture || type == MediaItemTypeGif)
    _showPicture(filePath, image);
  else if (type == MediaItemTypeAudio)
    _showAudio(filePath, image);
  _ensureControlWidget();
  emit displayMediaPreviewControlWidgetExternal(_controlBar);
  _layoutControlWidget();
  _controlBar->show();
  if (type == MediaItemTypePicture || type == MediaItemTypeGif) {
    _controlBar->updateTime(0, 0);
    _controlBar->setControlsEnabled(false);
  } else {
    _controlBar->setControlsEnabled(true);
  }
  _controlBar->setPlaying(_player && _player->state() == QMediaPlayer::PlayingState);
  _controlBar->updateTime(0, 0);
}

void MediaPreviewWidget::resetPreview()
{
  _mediaId.clear();
  _type = 0;
  _setBusy(false);
  _pending = false;
  if (_player) {
    // Kept for the next item: only its media goes.
    _player->stop();
    _player->setMedia(QMediaContent());
  }
  if (_view)
    _view->hide();
  if (_movie) {
    _movie->stop();
    delete _movie;
    _movie = nullptr;
  }
  _pictureLabel->setPixmap(QPixmap());
  _artworkLabel->setPixmap(QPixmap());
}

void MediaPreviewWidget::closePreview()
{
  resetPreview();
  if (_controlBar) {
    emit hideMediaPreviewControlWidgetExternal(_controlBar);
    _controlBar->hide();
  }
}

void MediaPreviewWidget::_play(const QUrl &url, bool withVideo)
{
  // The click shows at once, however long the player still takes.
  _setBusy(true);
  _pending = true;
  _pendingUrl = url;
  _pendingWithVideo = withVideo;
  if (_player)
    _startPending();
  else
    _makePlayer();
}

void MediaPreviewWidget::_makePlayer()
{
  if (_playerOrder)
    return;
  // Without GLib the player's bus is polled by a timer, which starts only on a thread with an
  // event loop: the player is made here then, at the cost of the sink probing.
  QAbstractEventDispatcher *dispatcher = QCoreApplication::eventDispatcher();
  if (!dispatcher || !dispatcher->inherits("QEventDispatcherGlib")) {
    QMediaPlayer *player = nullptr;
    {
      QMutexLocker serviceLock(&mediaServiceMutex());
      player = new QMediaPlayer;
    }
    _adoptPlayer(player);
    return;
  }
  _playerOrder = std::make_unique<MediaPreviewPlayerOrder>(this, [this] {
    QMediaPlayer *player = _playerOrder->take();
    _playerOrder.reset();
    if (player)
      _adoptPlayer(player);
  });
}

void MediaPreviewWidget::_adoptPlayer(QMediaPlayer *player)
{
  _player = player;
  _player->setParent(this);
  connect(_player, &QMediaPlayer::stateChanged, this, &MediaPreviewWidget::onMediaPlayerStateChanged);
  connect(_player, &QMediaPlayer::positionChanged, this, &MediaPreviewWidget::onMediaPlayerPositionChanged);
  // A file that cannot be played ends the waiting as well.
  connect(_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
    if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::EndOfMedia)
      _setBusy(false);
  });
  connect(_player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, [this] { _setBusy(false); });
  _startPending();
}

void MediaPreviewWidget::_startPending()
{
  // Nothing when the preview was closed while the player was made.
  if (!_pending)
    return;
  _pending = false;
  // The output is set before the media: a new output while the pipeline starts makes
  // GStreamer's play sink reconfigure mid-start, which can abort the process under load.
  if (_pendingWithVideo && !_videoOutputSet) {
    auto *watch = new FrameWatch(_videoItem->videoSurface(), [this] {
      if (_type == MediaItemTypeVideo && isBusy())
        _setBusy(false);
    }, this);
    _player->setVideoOutput(QVector<QAbstractVideoSurface *>{_videoItem->videoSurface(), watch});
    _videoOutputSet = true;
  }
  _player->setMedia(_pendingUrl);
  _player->play();
}

bool MediaPreviewWidget::isBusy() const
{
  return _busy && _busy->isVisible();
}

void MediaPreviewWidget::_setBusy(bool busy)
{
  if (!busy) {
    if (_busy) {
      _busy->stop();
      _busy->hide();
    }
    return;
  }
  if (!_busy) {
    _busy = new AnimatedLabel(this, ":/images/loading_hud_dark-2");
    _busy->setObjectName("busyLabel");
    _busy->setFixedSize(80, 80);
  }
  _busy->move((width() - _busy->width()) / 2, (height() - _busy->height()) / 2);
  _busy->show();
  _busy->raise();
  _busy->start(0);
}

void MediaPreviewWidget::_showVideo(const QString &filePath)
{
  _stackedWidget->setCurrentWidget(_videoPage);
  if (!_scene) {
    _scene = new QGraphicsScene(this);
    _view = new QGraphicsView(_scene, _videoPage);
    _view->setBackgroundBrush(Qt::black);
    _view->setFrameShape(QFrame::NoFrame);
    _view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    _view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    _videoItem = new QGraphicsVideoItem;
    _scene->addItem(_videoItem);
  }
  _layoutVideo();
  // A video clicked before its metadata was made plays too.
  _play(QUrl::fromLocalFile(filePath), true);
  _view->show();
}

void MediaPreviewWidget::_showAudio(const QString &filePath, const QPixmap &image)
{
  _stackedWidget->setCurrentWidget(_audioPage);
  _layoutVideo();
  _play(filePath.isEmpty() || !filePath.startsWith(':') ? QUrl::fromLocalFile(filePath) : QUrl("qrc" + filePath),
        false);
  QPixmap artwork = image;
  if (image.size() == QSize(192, 192))
    artwork = QPixmap(":/images/media-explorer/music_preview_artwork_preview");
  _artworkLabel->setPixmap(artwork);
  _scaleWhenLarger(_artworkLabel);
}

void MediaPreviewWidget::_showPicture(const QString &filePath, const QPixmap &image)
{
  _stackedWidget->setCurrentWidget(_imagePage);
  _layoutVideo();
  if (QFileInfo(filePath).suffix().toLower() == "gif" || _type == MediaItemTypeGif) {
    if (_movie) {
      _movie->stop();
      delete _movie;
    }
    // On the GUI thread: the file's bound keeps a GIF header followed by endless zeros short.
    auto *file = new AVPictureFile(filePath);
    file->openForReading();
    _movie = new QMovie(file, QByteArray(), this);
    file->setParent(_movie);
    // Loops from its cache: a movie on a device cannot go back to the start by itself.
    _movie->setCacheMode(QMovie::CacheAll);
    if (_movie->isValid() && _movie->frameCount() > 1 && _movie->lastError() == QImageReader::UnknownError) {
      _pictureLabel->setMovie(_movie);
      _movie->start();
      _mediaSize = _movie->currentPixmap().size();
      _layoutVideo();
      _scaleWhenLarger(_pictureLabel);
      return;
    }
  }
  _pictureLabel->setPixmap(image);
  _scaleWhenLarger(_pictureLabel);
}

void MediaPreviewWidget::_scaleWhenLarger(QLabel *label)
{
  const QSize content = label->movie() ? label->movie()->currentPixmap().size()
                                       : label->pixmap(Qt::ReturnByValue).size();
  label->setScaledContents(!content.isEmpty() &&
                           (content.width() >= label->width() || content.height() >= label->height()));
}

bool MediaPreviewWidget::eventFilter(QObject *watched, QEvent *event)
{
  if (event->type() == QEvent::Resize && (watched == _artworkLabel || watched == _pictureLabel))
    _scaleWhenLarger(static_cast<QLabel *>(watched));
  return QWidget::eventFilter(watched, event);
}

void MediaPreviewWidget::_layoutVideo()
{
  if (_stackedWidget->currentWidget() != _videoPage || !_view)
    return;
  QSizeF source = _mediaSize;
  _nativeSizeLaidOut = _videoItem->nativeSize();
  if (_metadata.isEmpty() && !_nativeSizeLaidOut.isEmpty())
    source = _nativeSizeLaidOut;
  if (source.isEmpty())
    return;
  const QRectF fitted = Util::fitRectWithAspectRatio(source.width(), source.height(), QRectF(0, 0, width(), height()));
  const QRect r(int(std::lround(fitted.x())), int(std::lround(fitted.y())), int(std::lround(fitted.width())),
                int(std::lround(fitted.height())));
  const qreal w = r.width(), h = r.height();
  const QStringList fields = _metadata.split(';');
  const int rotation = fields.size() > 2 ? fields.at(2).toInt() : 0;
  _view->setGeometry(r);
  QTransform transform;
  if (rotation == 270) {
    _videoItem->setSize(QSizeF(h, w));
    transform.translate(h / 2, h / 2).rotate(270).translate(-h / 2, -h / 2);
  } else if (rotation == 90) {
    _videoItem->setSize(QSizeF(h, w));
    transform.translate(w / 2, w / 2).rotate(90).translate(-w / 2, -w / 2);
  } else if (rotation == 180) {
    _videoItem->setSize(QSizeF(w, h));
    transform.translate(w / 2, h / 2).rotate(180).translate(-w / 2, -h / 2);
  } else {
    _videoItem->setSize(QSizeF(w, h));
  }
  _videoItem->setTransform(transform);
  // The view shows exactly the turned item.
  _scene->setSceneRect(0, 0, w, h);
}

void MediaPreviewWidget::_layoutControlWidget()
{
  if (_controlBar && _controlBar->parentWidget() == this)
    _controlBar->setGeometry(20, height() - 20 - _controlBar->height(), width() - 40, _controlBar->height());
}

void MediaPreviewWidget::repositionControlWidget()
{
  if (_controlBar && _controlBar->isVisible())
    _layoutControlWidget();
}

void MediaPreviewWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _layoutVideo();
  _layoutControlWidget();
  if (isBusy())
    _setBusy(true);
}

void MediaPreviewWidget::_ensureControlWidget()
{
  if (_controlBar)
    return;
  _controlBar = new MediaPreviewControlWidget(this);
  connect(_controlBar, &MediaPreviewControlWidget::playPauseButtonClicked, this,
          &MediaPreviewWidget::onMediaControlWidgetPlayPauseButtonClicked);
  connect(_controlBar, &MediaPreviewControlWidget::pauseIfPlaying, this,
          &MediaPreviewWidget::onMediaControlWidgetPauseIfPlaying);
  connect(_controlBar, &MediaPreviewControlWidget::seekToPosition, this,
          &MediaPreviewWidget::onMediaControlWidgetSeekToPosition);
  connect(_controlBar, &MediaPreviewControlWidget::needToPlay, this,
          &MediaPreviewWidget::onMediaControlWidgetNeedToPlay);
  connect(_controlBar, &MediaPreviewControlWidget::closeButtonClicked, this,
          &MediaPreviewWidget::onMediaControlWidgetCloseButtonClicked);
  _controlBar->show();
}

void MediaPreviewWidget::onMediaPlayerVideoAvailableChanged(bool videoAvailable)
{
  Q_UNUSED(videoAvailable)
}

void MediaPreviewWidget::onMediaPlayerPositionChanged(qlonglong position)
{
  // A sound has no picture: its playing shows in its position. So does a video whose pictures
  // cannot be drawn.
  if (position > 0)
    _setBusy(false);
  // Without metadata the shape comes from the stream itself once frames arrive (the item's
  // own size signal is not sent reliably by the GStreamer backend).
  if (_metadata.isEmpty() && _videoItem && _videoItem->nativeSize() != _nativeSizeLaidOut)
    _layoutVideo();
  if (_player && _player->duration() > 0 && _controlBar)
    _controlBar->updateTime(position / 1000.0f, _player->duration() / 1000.0f);
}

void MediaPreviewWidget::onMediaPlayerStateChanged(QMediaPlayer::State state)
{
  if (!_controlBar)
    return;
  _controlBar->setPlaying(state == QMediaPlayer::PlayingState);
}

void MediaPreviewWidget::onMediaControlWidgetPlayPauseButtonClicked()
{
  if (!_player)
    return;
  if (_player->state() == QMediaPlayer::PlayingState)
    _player->pause();
  else
    _player->play();
}

void MediaPreviewWidget::onMediaControlWidgetPauseIfPlaying(bool &playing)
{
  if (!_player)
    return;
  playing = _player->state() == QMediaPlayer::PlayingState;
  if (playing)
    _player->pause();
}

void MediaPreviewWidget::onMediaControlWidgetNeedToPlay()
{
  if (_player)
    _player->play();
}

void MediaPreviewWidget::onMediaControlWidgetSeekToPosition(int value)
{
  if (_player)
    _player->setPosition(qint64(_player->duration()) * value / 100);
}

void MediaPreviewWidget::onMediaControlWidgetCloseButtonClicked()
{
  emit didPressClose();
}
