#include "moviesegment.h"

#include "segmentfile.h"
#include "segmentlistener.h"
#include "trimmededges.h"
#include "userstyleapply.h"
#include "videothumbnailscache.h"

#include <QDebug>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QtMath>

#include <cmath>
#include <memory>

namespace {

const QString kFile = QStringLiteral("File");
const QString kTrimStart = QStringLiteral("TrimStart");
const QString kTrimDuration = QStringLiteral("TrimDuration");

bool _isUsable(const QSizeF &size)
{
  return size.isValid() && !size.isEmpty();
}

// Scale that fits the natural frame inside the frame, in single precision.
float _fitScale(const QSizeF &frame, const QSizeF &natural)
{
  return qMin(float(frame.width() / natural.width()), float(frame.height() / natural.height()));
}

} // namespace

MovieSegment::MovieSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : LayerSegment(other, rangeStart, listener)
{
  m_audioPartId = takeRuntimeId();
  if (listener)
    _startLoading();
}

MovieSegment::MovieSegment(const QString &filePath, float rangeStart, SegmentListener *listener,
                           const UserStyleDefaults *defaults)
    : LayerSegment(listener)
{
  setType(QStringLiteral("MOVIE"));
  setRangeStart(rangeStart);
  setFile(filePath);
  setTimeStamp();
  m_audioPartId = takeRuntimeId();
  if (defaults)
    UserStyleApply::applyMovieStyle(*defaults, *this);
  m_freshImport = true;
  if (listener)
    _startLoading();
}

MovieSegment::MovieSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : LayerSegment(properties, listener)
{
  setIsNewlyCreated(isNew);
  timeStamp(); // fills a missing stamp from the file
  m_audioPartId = takeRuntimeId();
  if (listener)
    _startLoading();
}

MovieSegment::~MovieSegment()
{
  m_loader.shutdown();
}

void MovieSegment::_startLoading()
{
  m_loader.startLater([this] { m_loader.queue(new MovieLoadingTask(this)); });
}

void MovieSegment::loadStatusUpdated(quint32 segId, int status, int loadingThumbnailStatus, int)
{
  if (m_videoReported && m_audioReported)
    return;
  const bool isAudio = segId == m_audioPartId;
  const bool isVideo = !isAudio && segId == id();
  if (isAudio)
    m_hasAudio = status == 0;
  else if (isVideo)
    m_hasVideo = status == 0;
  if (status != 0 && !QFileInfo::exists(filePath()))
    setError(SegmentFileMissing);

  if (isVideo) {
    if (loadingThumbnailStatus == 0)
      m_videoReported = true;
    m_videoOpened = true;
    if (status == 0 && loadingThumbnailStatus == 1) {
      updateMediaLength();
      setState(SegmentOpened);
      return;
    }
  } else if (isAudio) {
    m_audioReported = true;
  }

  if (!(m_videoReported && m_audioReported))
    return;
  if (!m_hasVideo) {
    if (m_hasAudio)
      updateMediaLength();
    _refuseWithoutLength();
    setState(SegmentReady);
    return;
  }
  if (!m_thumbnailsQueued) {
    m_thumbnailsQueued = true;
    m_loader.queue(new MovieFetchingThumbnailsTask(this));
  }
}

void MovieFetchingThumbnailsTask::work()
{
  MovieSegment *segment = m_segment;
  post([segment] { segment->_fetchThumbnails(); });
}

void MovieSegment::_fetchThumbnails()
{
  SegmentListener *l = listener();
  if (l) {
    updateMediaLength();
    m_videoSize = l->videoSize(this);
    const int count = l->videoThumbnailCount(this);
    for (int i = 0; i < count; ++i) {
      const std::unique_ptr<QPixmap> pixmap(l->videoThumbnail(this, i));
      if (pixmap && !pixmap->isNull())
        l->setCachedVideoThumbnail(this, i, *pixmap);
    }
    l->releaseVideoThumbnails(this);
  }
  _refuseWithoutLength();
  setState(SegmentReady);
}

void MovieSegment::_refuseWithoutLength()
{
  // A file that opens but whose length cannot be found plays nothing, and a new block would have
  // no width: a load error, as a file that does not open.
  if (!(m_mediaLength > 0) && error() == SegmentNoError)
    setError(SegmentLoadError);
}

void MovieSegment::updateMediaLength()
{
  SegmentListener *l = listener();
  if (!l)
    return;
  const float length = qMax(l->audioDuration(this), l->videoDuration(this));
  if (length == m_mediaLength)
    return;
  m_mediaLength = length;
  if (isNewlyCreated() && m_freshImport) {
    setDuration(length);
    setSpeedScaledTrimDuration(length);
    return;
  }
  // Set again even when unchanged: the listener hears of the range.
  setDuration(duration() == 0 ? speed() * length : duration());
  if (speedScaledTrimDuration() == 0)
    setSpeedScaledTrimDuration(speed() * length);
}

float MovieSegment::mediaDuration() const
{
  return m_mediaLength == 0 ? duration() : m_mediaLength / speed();
}

double MovieSegment::timeStamp() const
{
  return SegmentFile::timeStampFromFile(*properties(), filePath(), &m_timeStampFilled);
}

QString MovieSegment::fileName() const
{
  if (!properties()->contains(kFile))
    return QString();
  return SegmentFile::fileName(properties()->text(kFile));
}

QString MovieSegment::filePath() const
{
  if (!properties()->contains(kFile))
    return QString();
  return SegmentFile::absolutePath(listener(), properties()->text(kFile));
}

void MovieSegment::setFile(const QString &path)
{
  setStringValue(*properties(), kFile, SegmentFile::storedForm(listener(), path));
}

float MovieSegment::trimStart() const
{
  return floatValue(*properties(), kTrimStart, 0);
}

float MovieSegment::trimDuration() const
{
  return floatValue(*properties(), kTrimDuration, 0);
}

float MovieSegment::speedScaledTrimStart() const
{
  return trimStart() / speed();
}

float MovieSegment::speedScaledTrimDuration() const
{
  return trimDuration() / speed();
}

void MovieSegment::setSpeedScaledTrimDuration(float seconds)
{
  setFloatValue(*properties(), kTrimDuration, seconds * speed());
}

bool MovieSegment::moveLeftEdge(float *time)
{
  TrimmedEdges::Trim trim{speedScaledTrimStart(), speedScaledTrimDuration()};
  const bool taken = TrimmedEdges::moveLeft(*this, time, trim);
  setFloatValue(*properties(), kTrimDuration, trim.duration * speed());
  setFloatValue(*properties(), kTrimStart, trim.start * speed());
  if (taken)
    qDebug().noquote() << QString::asprintf("Range: (%f,%f), Trim: (%f,%f)", double(rangeStart()),
                                            double(duration()), double(speedScaledTrimStart()),
                                            double(speedScaledTrimDuration()));
  return taken;
}

bool MovieSegment::moveRightEdge(float *time)
{
  TrimmedEdges::Trim trim{speedScaledTrimStart(), speedScaledTrimDuration()};
  const bool taken = TrimmedEdges::moveRight(*this, time, trim, m_mediaLength / speed());
  setSpeedScaledTrimDuration(trim.duration);
  return taken;
}

QTransform MovieSegment::fitTransform(const QSizeF &frameSize, QRectF *placed) const
{
  const QSizeF n = m_videoSize;
  if (!_isUsable(n)) {
    if (placed)
      *placed = QRectF();
    return QTransform();
  }
  const float s = _fitScale(frameSize, n);
  const QTransform t = QTransform::fromScale(s, s) * QTransform::fromTranslate((frameSize.width() - n.width() * s) / 2,
                                                                               (frameSize.height() - n.height() * s) / 2);
  if (placed)
    *placed = t.mapRect(QRectF(QPointF(0, 0), n));
  return t;
}

QTransform MovieSegment::userTransform(const QSizeF &frameSize, QRectF *placed) const
{
  return _placement(frameSize, userScale(), userTranslation(), userRotation(), userFlip() != 0,
                    isFlippedHorizontally(), isFlippedVertically(), placed);
}

QTransform MovieSegment::transitionTransform(int id, bool begin, const QSizeF &frameSize, QRectF *placed) const
{
  return _placement(frameSize, transitionUserScale(id, begin), transitionUserTranslation(id, begin),
                    transitionUserRotation(id, begin), transitionUserFlip(id, begin) != 0,
                    isTransitionFlippedHorizontally(id, begin), isTransitionFlippedVertically(id, begin), placed);
}

// Each step applies after the ones before it: fit, user scale, centring, user move, then a
// turn and mirrors about the placed rectangle's centre.
QTransform MovieSegment::_placement(const QSizeF &frameSize, QSizeF scale, QPointF translation, double rotation,
                                    bool flip, bool flipH, bool flipV, QRectF *placed) const
{
  const QSizeF n = m_videoSize;
  if (!_isUsable(n)) {
    if (placed)
      *placed = QRectF();
    return QTransform();
  }
  const QRectF natural(QPointF(0, 0), n);
  const float s = _fitScale(frameSize, n);
  QTransform t = QTransform::fromScale(s, s) * QTransform::fromScale(scale.width(), scale.height()) *
                 QTransform::fromTranslate((frameSize.width() - n.width() * s) / 2,
                                           (frameSize.height() - n.height() * s) / 2) *
                 QTransform::fromTranslate(translation.x() * frameSize.width(), translation.y() * frameSize.height());
  const QRectF r = t.mapRect(natural);
  if (rotation != 0) {
    QTransform turn;
    turn.rotate(qRadiansToDegrees(rotation), Qt::ZAxis);
    t = t * QTransform::fromTranslate(-r.center().x(), -r.center().y()) * turn *
        QTransform::fromTranslate(r.center().x(), r.center().y());
  }
  if (flip) {
    if (flipH)
      t = t * QTransform(-1, 0, 0, 1, 2 * r.x() + r.width(), 0);
    if (flipV)
      t = t * QTransform(1, 0, 0, -1, 0, 2 * r.y() + r.height());
  }
  if (placed)
    *placed = t.mapRect(natural);
  return t;
}

LayerGeometry MovieSegment::fitGeometry(const QSizeF &frameSize) const
{
  LayerGeometry geometry;
  const QSizeF n = m_videoSize;
  if (!_isUsable(n))
    return geometry;
  const float s = _fitScale(frameSize, n);
  geometry.scaleWidth = s;
  geometry.scaleHeight = s;
  geometry.centerX = frameSize.width() / 2;
  geometry.centerY = frameSize.height() / 2;
  return geometry;
}

void MovieSegment::paintBlock(QPainter *painter, const QRect &rect, const QRect &, float pixelsPerSecond)
{
  if (error() != SegmentNoError) {
    if (listener())
      paintMessage(painter, rect,
                   error() == SegmentFileMissing ? listener()->fileNotFoundText() : listener()->loadErrorText());
    return;
  }
  if (isPaintingSuppressed() || !rect.isValid())
    return;
  _paintStrip(painter, rect, pixelsPerSecond, false);
}

void MovieSegment::paintOverlay(QPainter *painter, const QRect &rect, const QRect &, float pixelsPerSecond)
{
  if (error() != SegmentNoError || isPaintingSuppressed() || !rect.isValid())
    return;
  _paintStrip(painter, rect, pixelsPerSecond, true);
}

// Tiles of the block's height, each showing the thumbnail of the media time under it. The
// block strip keeps tile edges fixed to the media, so the first tile may start left of it.
void MovieSegment::_paintStrip(QPainter *painter, const QRect &rect, float pixelsPerSecond, bool fromMediaStart)
{
  VideoThumbnails *set = listener() ? listener()->cachedVideoThumbnails(this) : nullptr;
  if (!set)
    return;
  const int n = set->count();
  const QPixmap *first = n > 0 ? set->thumbnail(0) : nullptr;
  if (!first || first->isNull() || first->height() <= 0)
    return;
  const int w = first->width() * rect.height() / first->height();
  const int q = int(std::trunc(double(pixelsPerSecond) * m_mediaLength)) / n;
  // No tile width, or no pixels per thumbnail (a length not known yet): nothing to place.
  if (w <= 0 || q <= 0)
    return;
  const double r = double(q) / w;
  int x = 0;
  QRect tile(rect.left(), rect.top(), w, rect.height());
  if (!fromMediaStart) {
    const int o = qMax(0, int(std::trunc(double(speedScaledTrimStart()) * pixelsPerSecond)));
    const int m = o % w;
    x = o - m;
    tile.moveLeft(rect.left() - m);
  }
  const int end = rect.left() + rect.width();
  do {
    const double at = qBound(0.0, double(speed()) * (x / w) / r, double(n - 1));
    const QPixmap *pixmap = set->thumbnail(int(at));
    if (pixmap && !pixmap->isNull())
      painter->drawPixmap(tile, *pixmap);
    x += w;
    tile.translate(w, 0);
  } while (tile.left() < end);
}
