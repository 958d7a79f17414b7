// The segment callbacks. Segments call them from the GUI thread and from their loading tasks:
// the engine work of a loading report runs on the reporting thread, everything for the widgets
// goes through the queued re-post signals.

#include "mainwindow.h"

#include "avengine.h"
#include "moviesegment.h"
#include "projectmanager.h"
#include "videothumbnailscache.h"

#include <QImage>
#include <QPixmap>
#include <QThread>

namespace {

bool isMovie(const Segment *segment)
{
  return segment->type() == QLatin1String("MOVIE");
}

QString moviePath(Segment *segment)
{
  return static_cast<MovieSegment *>(segment)->filePath();
}

QString engineText(const char *text)
{
  return text ? QString::fromUtf8(text) : QString();
}

} // namespace

void MainWindow::segmentStateChanged(Segment *segment, int state)
{
  emit segmentListener_segmentStateChanged(segment->id(), state);
  if (state != 1)
    return;
  // A segment that reloads on the GUI thread already has engine objects.
  if (QThread::currentThreadId() == _guiThreadId && _engine)
    _engine->removeSegment(segment->id());
  _addSegmentToEngine(segment);
  _refreshSegment(segment);
}

void MainWindow::segmentRangeChanged(Segment *segment)
{
  if (!_projectManager)
    return;
  const float end = segment->rangeStart() + segment->duration();
  if (end <= _projectManager->duration())
    return;
  _projectManager->setDuration(end);
  emit segmentListener_segmentRangeChanged(segment->id(), end);
}

void MainWindow::noOperation() {}
QString MainWindow::loadErrorText() { return tr("Load Error"); }
QString MainWindow::fileNotFoundText() { return tr("File Not Found"); }
float MainWindow::messageMargin() { return 5.0f; }
quint32 MainWindow::messageBackgroundColor() { return 0xFFFFFF00; }
quint32 MainWindow::messageTextColor() { return 0xFF000000; }
float MainWindow::messageFontSize() { return 12.0f; }
float MainWindow::titleMargin() { return 5.0f; }
quint32 MainWindow::titleTextColor() { return 0xFFE6E6E6; }
quint32 MainWindow::titleShadowColor() { return 0xFF000000; }
float MainWindow::titleShadowOffset() { return 0.5f; }
float MainWindow::titleFontSize() { return 12.0f; }
QString MainWindow::musicPlaceholderTitle() { return QStringLiteral("<Music>"); }
QString MainWindow::textPlaceholder() { return QStringLiteral("<No text>"); }
quint32 MainWindow::accentColor() { return 0xFF0000FF; }

int MainWindow::videoThumbnailCount(Segment *segment)
{
  return isMovie(segment) && _engine ? _engine->videoThumbnailCount(segment->id()) : 0;
}

QPixmap *MainWindow::videoThumbnail(Segment *segment, int index)
{
  if (!isMovie(segment) || !_engine)
    return nullptr;
  AVPixelBuffer *buffer = _engine->videoThumbnail(segment->id(), index);
  if (!buffer || !buffer->data)
    return nullptr;
  const QImage image(buffer->data, int(buffer->width), int(buffer->height),
                     buffer->format == 1 ? QImage::Format_ARGB32 : QImage::Format_RGB16);
  if (image.isNull())
    return nullptr;
  auto *pixmap = new QPixmap;
  if (!pixmap->convertFromImage(image)) {
    delete pixmap;
    return nullptr;
  }
  return pixmap;
}

void MainWindow::releaseVideoThumbnails(Segment *segment)
{
  if (isMovie(segment) && _engine)
    _engine->releaseVideoThumbnails(segment->id());
}

float MainWindow::videoDuration(Segment *segment)
{
  return isMovie(segment) && _engine ? _engine->videoDuration(segment->id()) : 0;
}

float MainWindow::audioDuration(Segment *segment)
{
  if (!_engine)
    return 0;
  const QString type = segment->type();
  if (type == QLatin1String("MOVIE"))
    return _engine->audioDuration(segment->audioPartId());
  if (type == QLatin1String("MUSIC") || type == QLatin1String("VOICE"))
    return _engine->audioDuration(segment->id());
  return 0;
}

QSizeF MainWindow::videoSize(Segment *segment)
{
  int32_t size[2] = {0, 0};
  if (!isMovie(segment) || !_engine || !_engine->videoSize(segment->id(), size))
    return QSizeF();
  return QSizeF(size[0], size[1]);
}

QString MainWindow::audioTitle(Segment *segment)
{
  if (segment->type() != QLatin1String("MUSIC") || !_engine)
    return QString();
  return engineText(_engine->audioTitle(segment->id()));
}

QString MainWindow::audioArtist(Segment *segment)
{
  if (segment->type() != QLatin1String("MUSIC") || !_engine)
    return QString();
  return engineText(_engine->audioArtist(segment->id()));
}

void MainWindow::setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap)
{
  if (isMovie(segment))
    _thumbnailsCache->setThumbnail(moviePath(segment), new QPixmap(pixmap), index);
}

QPixmap *MainWindow::cachedVideoThumbnail(Segment *segment, int index)
{
  return isMovie(segment) ? _thumbnailsCache->thumbnail(moviePath(segment), index) : nullptr;
}

VideoThumbnails *MainWindow::cachedVideoThumbnails(Segment *segment)
{
  return isMovie(segment) ? _thumbnailsCache->videoThumbnails(moviePath(segment)) : nullptr;
}

int MainWindow::cachedVideoThumbnailCount(Segment *segment)
{
  return isMovie(segment) ? _thumbnailsCache->thumbnailCount(moviePath(segment)) : 0;
}

float MainWindow::devicePixelRatio() { return float(devicePixelRatioF()); }
float MainWindow::pixelsForDuration(float seconds) { return 24 * 4.0f * seconds; }

void MainWindow::segmentAudioPlotDataDidReady(Segment *segment)
{
  emit segmentListener_segmentAudioPlotDataDidReady(segment->id());
}

QString MainWindow::projectFolder()
{
  return _projectDirectory;
}
