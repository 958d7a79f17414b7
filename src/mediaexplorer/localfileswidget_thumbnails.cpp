// The local files page: making thumbnails and metadata texts (pool threads) and applying
// them to the list (GUI thread).

#include "localfileswidget.h"

#include "avaudiostream.h"
#include "avpicturefile.h"
#include "avvideostream.h"
#include "localfileslistwidget.h"
#include "localthumbnailscache.h"
#include "mediaitemtype.h"
#include "util.h"

#include <QDebug>
#include <QImage>
#include <QImageReader>
#include <QListWidgetItem>

#include <cmath>
#include <cstdlib>

namespace {
const int kThumbnailBound = 320;
}

void LocalFilesWidget::_loadThumbnail(const QFileInfo &fi, int type, int row, const Cancel &cancelled)
{
  emit beginLoadingThumbnail();
  QPixmap pixmap;
  QString metadata;
  double duration = 0;
  int width = 0, height = 0, rotation = 0;
  const QString path = fi.absoluteFilePath();
  switch (type) {
  case MediaItemTypeVideo:
    pixmap = _videoThumbnail(path, kThumbnailBound, duration, width, height, rotation, cancelled);
    metadata = QString("%1;%2x%3;%4").arg(_durationText(int(duration))).arg(width).arg(height).arg(rotation);
    break;
  case MediaItemTypePicture:
    pixmap = _imageThumbnail(path, kThumbnailBound, width, height, cancelled);
    metadata = QString("%2x%3").arg(width).arg(height);
    break;
  case MediaItemTypeAudio:
    pixmap = _audioThumbnail(path, duration, cancelled);
    metadata = _durationText(int(duration));
    break;
  default:
    break;
  }
  // A broken-off read is no answer about the file.
  if (cancelled())
    return;
  emit finishLoadingThumbnail(pixmap, fi, row, metadata);
}

QPixmap LocalFilesWidget::_videoThumbnail(const QString &path, int bound, double &duration, int &width, int &height,
                                          int &rotation, const Cancel &cancelled)
{
  AVVideoStream stream(path.toUtf8().toStdString(), bound, bound);
  stream.setCancel(cancelled);
  if (stream.openForMetadata() != 0)
    return QPixmap();
  duration = stream.duration();
  stream.videoSize(&width, &height);
  rotation = stream.rotation();
  int frameWidth = 0, frameHeight = 0;
  stream.outputSize(&frameWidth, &frameHeight);
  if (frameWidth <= 0 || frameHeight <= 0)
    return QPixmap();
  const QRectF fitted = Util::fitRectWithAspectRatio(frameWidth, frameHeight, QRectF(0, 0, bound, bound));
  int w = 0, h = 0;
  double frameTime = 0;
  uint8_t *pixels = stream.decodeFrameAt(0, float(std::lround(fitted.width())), float(std::lround(fitted.height())),
                                         false, nullptr, &w, &h, &frameTime);
  if (!pixels)
    return QPixmap();
  // The stream turns the frame upright; held as 16-bit to keep hundreds of them cheap.
  const QImage frame = QImage(pixels, w, h, w * 4, QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB16);
  std::free(pixels);
  return QPixmap::fromImage(frame);
}

QPixmap LocalFilesWidget::_imageThumbnail(const QString &path, int bound, int &width, int &height,
                                          const Cancel &cancelled)
{
  AVPictureFile picture(path, cancelled);
  QImageReader reader(&picture);
  reader.setDecideFormatFromContent(true);
  if (!picture.openForReading() || !reader.canRead())
    return QPixmap();
  const QSize size = reader.size();
  width = size.width();
  height = std::abs(size.height());
  if (width > 0 && height > 0) {
    const QRectF fitted = Util::fitRectWithAspectRatio(width, height, QRectF(0, 0, bound, bound));
    // Pictures are never scaled up.
    if (width > fitted.width() || height > fitted.height())
      reader.setScaledSize(QSize(int(fitted.width()), int(fitted.height())));
  }
  const QImage image = reader.read();
  return image.isNull() || picture.stopped() ? QPixmap() : QPixmap::fromImage(image);
}

QPixmap LocalFilesWidget::_audioThumbnail(const QString &path, double &duration, const Cancel &cancelled)
{
  AVAudioStream stream(path.toUtf8().toStdString(), 44100, 2);
  stream.setCancel(cancelled);
  if (stream.openForMetadata() != 0)
    return QPixmap();
  duration = stream.duration();
  int length = 0;
  // The cover bytes belong to the stream: decode them before it closes.
  const uint8_t *cover = stream.coverImage(&length);
  QImage image;
  if (cover && length > 0)
    image.loadFromData(cover, length);
  if (image.isNull())
    image.load(":/images/media-explorer/audio_placeholder_dark");
  return QPixmap::fromImage(image);
}

QString LocalFilesWidget::_durationText(int seconds)
{
  if (seconds >= 3600)
    return QString::asprintf("%d:%02d:%02d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return QString::asprintf("%d:%02d", seconds / 60, seconds % 60);
}

void LocalFilesWidget::onBeginLoadingThumbnail() {}

void LocalFilesWidget::onFinishLoadingThumbnail(QPixmap pixmap, QFileInfo fi, int index, QString metadata)
{
  QListWidgetItem *item = _list->item(index);
  if (!item)
    return;
  const int recordIndex = item->data(IndexRole).toInt();
  if (recordIndex < 0 || recordIndex >= _fileItems.size())
    return;
  LocalFileItem &record = _fileItems[recordIndex];
  // The list was rebuilt in between: the row now shows another file.
  if (record.fileInfo.absoluteFilePath() != fi.absoluteFilePath())
    return;
  if (pixmap.isNull()) {
    _setItemMetadata(item, record.type, QString());
  } else {
    item->setIcon(QIcon(pixmap));
    _setItemMetadata(item, record.type, metadata);
    _thumbnailsCache->setThumbnail(record.fileInfo, pixmap, metadata);
  }
  record.thumbnailLoaded = true;
  qDebug().noquote() << "Finish loading thumbnail (" << index << ") " << fi.absoluteFilePath();
}

void LocalFilesWidget::_loadVisibleThumbnails()
{
  if (_list->count() == 0)
    return;
  QListWidgetItem *firstItem = _list->itemAt(20, 0);
  QListWidgetItem *lastItem = _list->itemAt(20, _list->height() + 100);
  const int first = firstItem ? _list->row(firstItem) : 0;
  const int last = lastItem ? _list->row(lastItem) : _list->count() - 1;
  qDebug().noquote() << "Start row: " << first << "End row: " << last;
  if (first > last)
    return;
  for (int row = first; row <= last; ++row) {
    QListWidgetItem *item = _list->item(row);
    const int recordIndex = item->data(IndexRole).toInt();
    if (recordIndex < 0 || recordIndex >= _fileItems.size())
      continue;
    LocalFileItem &record = _fileItems[recordIndex];
    if (record.thumbnailLoaded)
      continue;
    QPixmap pixmap;
    QString metadata;
    _thumbnailsCache->thumbnail(pixmap, record.fileInfo, metadata);
    if (!pixmap.isNull()) {
      item->setIcon(QIcon(pixmap));
      _setItemMetadata(item, record.type, metadata);
      record.thumbnailLoaded = true;
    } else {
      _startThumbnailTask(record, row);
    }
  }
}

void LocalFilesWidget::_setItemMetadata(QListWidgetItem *item, int type, const QString &metadata)
{
  QString toolTip = item->text();
  QString duration;
  if (type == MediaItemTypeVideo) {
    const QStringList parts = metadata.split(';');
    if (!parts.isEmpty()) {
      duration = parts.at(0);
      if (!duration.isEmpty())
        toolTip += "\n" + duration;
    }
    if (parts.size() > 1)
      toolTip += "\n" + parts.at(1);
  } else if (type == MediaItemTypePicture) {
    if (!metadata.isEmpty())
      toolTip += "\n" + metadata;
  } else if (type == MediaItemTypeAudio) {
    if (!metadata.isEmpty()) {
      duration = metadata;
      toolTip += "\n" + duration;
    }
  }
  if (!duration.isEmpty())
    item->setData(DurationRole, duration);
  item->setToolTip(toolTip);
}
