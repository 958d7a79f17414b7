#pragma once

#include <QMediaPlayer>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include <memory>

class AnimatedLabel;
class MediaPreviewControlWidget;
class MediaPreviewPlayerOrder;
class QGraphicsScene;
class QGraphicsVideoItem;
class QGraphicsView;
class QLabel;
class QMovie;
class QStackedWidget;

// Shows an item clicked in the media explorer in place of the main preview: plays videos and
// sounds, shows pictures and animated GIFs. Its control bar is announced to the window, which
// may take it into its own layout.
class MediaPreviewWidget : public QWidget
{
  Q_OBJECT
public:
  explicit MediaPreviewWidget(QWidget *parent);
  ~MediaPreviewWidget() override;

  void showMedia(const QString &mediaId, int type, const QString &filePath, const QPixmap &image,
                 const QString &metadata);
  void closePreview();
  QString mediaId() const { return _mediaId; }
  // A video or sound shows a spinner from the click until its first picture or sound.
  bool isBusy() const;
  // Re-places the control bar while it floats over the preview.
  void repositionControlWidget();

signals:
  void displayMediaPreviewControlWidgetExternal(MediaPreviewControlWidget *controlWidget);
  void hideMediaPreviewControlWidgetExternal(MediaPreviewControlWidget *controlWidget);
  void didPressClose();

public slots:
  void onMediaPlayerVideoAvailableChanged(bool videoAvailable);
  void onMediaPlayerPositionChanged(qlonglong position);
  void onMediaPlayerStateChanged(QMediaPlayer::State state);
  void onMediaControlWidgetPlayPauseButtonClicked();
  void onMediaControlWidgetPauseIfPlaying(bool &playing);
  void onMediaControlWidgetNeedToPlay();
  void onMediaControlWidgetSeekToPosition(int value);
  void onMediaControlWidgetCloseButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void resetPreview();
  void _showVideo(const QString &filePath);
  void _showAudio(const QString &filePath, const QPixmap &image);
  void _showPicture(const QString &filePath, const QPixmap &image);
  void _ensureControlWidget();
  void _play(const QUrl &url, bool withVideo);
  void _makePlayer();
  void _adoptPlayer(QMediaPlayer *player);
  void _startPending();
  void _layoutVideo();
  void _layoutControlWidget();
  void _setBusy(bool busy);
  // Stretches the label's picture or movie over it when the content is at least as wide or
  // as tall as the label; else it shows at its size, centred.
  static void _scaleWhenLarger(QLabel *label);

  QStackedWidget *_stackedWidget = nullptr;
  QWidget *_videoPage = nullptr;
  QWidget *_audioPage = nullptr;
  QWidget *_imagePage = nullptr;
  QLabel *_artworkLabel = nullptr;
  QLabel *_pictureLabel = nullptr;

  // One player for every video and sound, made off the GUI thread.
  QMediaPlayer *_player = nullptr;
  std::unique_ptr<MediaPreviewPlayerOrder> _playerOrder;
  // What the next player start plays: set by a click, taken once the player exists.
  bool _pending = false;
  QUrl _pendingUrl;
  bool _pendingWithVideo = false;
  bool _videoOutputSet = false;
  QGraphicsScene *_scene = nullptr;
  QGraphicsView *_view = nullptr;
  QGraphicsVideoItem *_videoItem = nullptr;
  QString _mediaId;
  int _type = 0;
  QString _metadata;
  QSize _mediaSize;
  QSizeF _nativeSizeLaidOut;
  QMovie *_movie = nullptr;
  MediaPreviewControlWidget *_controlBar = nullptr;
  AnimatedLabel *_busy = nullptr;
};
