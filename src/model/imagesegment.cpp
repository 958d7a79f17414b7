#include "imagesegment.h"

#include "avpicturefile.h"
#include "segmentfile.h"
#include "segmentlistener.h"
#include "userstyleapply.h"

#include <QDebug>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QMovie>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const QString kFile = QStringLiteral("File");

uchar *_copyBits(const QImage &image, int outSize[2])
{
  const size_t bytes = size_t(image.sizeInBytes());
  auto *bits = static_cast<uchar *>(std::malloc(bytes));
  if (!bits)
    return nullptr;
  std::memcpy(bits, image.constBits(), bytes);
  outSize[0] = image.width();
  outSize[1] = image.height();
  return bits;
}

} // namespace

ImageSegment::ImageSegment(const Segment *other, const QString &filePath, float rangeStart,
                           SegmentListener *listener)
    : LayerSegment(other, rangeStart, listener)
{
  setFile(filePath);
  setType(QStringLiteral("IMAGE"));
  if (listener)
    startLoading();
}

ImageSegment::ImageSegment(const QString &filePath, float rangeStart, float duration, SegmentListener *listener,
                           const UserStyleDefaults *defaults)
    : LayerSegment(listener)
{
  setFile(filePath);
  setType(QStringLiteral("IMAGE"));
  setRangeStart(rangeStart);
  setDuration(duration);
  setTimeStamp();
  if (defaults)
    UserStyleApply::applyImageStyle(*defaults, *this);
  if (listener)
    startLoading();
}

ImageSegment::ImageSegment(SegmentListener *listener) : LayerSegment(listener)
{
  setType(QStringLiteral("IMAGE"));
}

ImageSegment::ImageSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : LayerSegment(properties, listener)
{
  setIsNewlyCreated(isNew);
  timeStamp(); // fills a missing stamp from the file
  if (listener)
    startLoading();
}

ImageSegment::~ImageSegment()
{
  // First: a read still running must not post into a half-destroyed segment.
  m_loader.shutdown();
}

void ImageSegment::startLoading(bool newDrawing)
{
  m_loader.startLater([this, newDrawing] { _beginLoading(newDrawing); });
}

void ImageSegment::_beginLoading(bool newDrawing)
{
  // A read that ran directly in the meantime (replaceFile) already reported.
  if (m_loadGeneration != 0)
    return;
  const quint64 generation = ++m_loadGeneration;
  const PreviewRequest request = _previewRequest();
  if (newDrawing)
    m_loader.queue(new DrawingLoadingTask(this, generation, request));
  else
    m_loader.queue(new ImageLoadingTask(this, generation, request));
  // Last: the listener may delete the segment when it hears of it. The result cannot
  // overtake it, as results arrive through the event loop.
  setState(SegmentLoading);
}

void ImageLoadingTask::work()
{
  // The segment's destructor waits for this read: it breaks off as soon as the segment goes.
  ImageSegment::PreviewResult result = ImageSegment::readPreview(m_request, [this] { return isCancelled(); });
  ImageSegment *segment = m_segment;
  const quint64 generation = m_generation;
  post([segment, generation, result] { segment->_applyPreview(generation, result); });
}

ImageSegment::PreviewRequest ImageSegment::_previewRequest() const
{
  PreviewRequest request;
  request.path = filePath();
  request.trackHeight = int(trackHeight());
  request.devicePixelRatio = listener() ? listener()->devicePixelRatio() : 1.0f;
  return request;
}

ImageSegment::PreviewResult ImageSegment::readPreview(const PreviewRequest &request,
                                                     const std::function<bool()> &cancelled)
{
  PreviewResult result;
  const QFileInfo file(request.path);
  if (request.path.isEmpty() || !file.exists()) {
    result.error = SegmentFileMissing;
    return result;
  }
  // Only a regular file: reading a FIFO or a device would wait for a writer for ever.
  AVPictureFile picture(request.path, cancelled);
  if (!picture.openForReading()) {
    result.error = SegmentLoadError;
    return result;
  }
  QImageReader reader(&picture);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(true);
  if (!reader.canRead()) {
    result.error = SegmentLoadError;
    return result;
  }
  const QSize size = reader.size();
  const int w = size.width();
  const int h = qAbs(size.height());
  const bool rotated = reader.transformation() & QImageIOHandler::TransformationRotate90;
  // A reader that reports no size reads at full size rather than dividing by nothing.
  if (w > 0 && h > 0) {
    const int k = request.trackHeight;
    const double d = request.devicePixelRatio;
    const int targetHeight = qMax(1, int(k * d));
    const int targetWidth = qMax(1, int(w * d * k / h));
    if (!(targetWidth >= w && targetHeight >= h))
      reader.setScaledSize(QSize(targetWidth, targetHeight));
  }
  result.preview = reader.read();
  if (result.preview.isNull() || picture.stopped()) {
    result.preview = QImage();
    result.error = SegmentLoadError;
    return result;
  }
  if (w > 0 && h > 0)
    result.naturalSize = rotated ? QSizeF(h, w) : QSizeF(w, h);
  else
    result.naturalSize = result.preview.size(); // already turned upright
  result.error = SegmentNoError;
  return result;
}

void ImageSegment::loadPreview()
{
  const quint64 generation = ++m_loadGeneration;
  setState(SegmentLoading);
  _applyPreview(generation, readPreview(_previewRequest()));
}

void ImageSegment::_applyPreview(quint64 generation, const PreviewResult &result)
{
  if (generation != m_loadGeneration)
    return; // a newer read replaced this one
  setPreview(result.preview.isNull() ? QPixmap() : QPixmap::fromImage(result.preview));
  if (result.error == SegmentNoError)
    m_naturalSize = result.naturalSize;
  setError(result.error);
  m_fitDuration = false;
  setState(SegmentReady);
}

void ImageSegment::setProperties(PropertyMap *properties)
{
  const QString oldPath = filePath();
  LayerSegment::setProperties(properties);
  if (filePath() == oldPath)
    return;
  dropAnimation();
  loadPreview();
}

double ImageSegment::timeStamp() const
{
  return SegmentFile::timeStampFromFile(*properties(), filePath(), &m_timeStampFilled);
}

void ImageSegment::setPreview(const QPixmap &preview)
{
  m_preview = preview;
  m_hasPreview.store(!preview.isNull());
}

bool ImageSegment::isTimelineContentReady() const
{
  return m_hasPreview.load() || error() != SegmentNoError || isPaintingSuppressed();
}

void ImageSegment::paintBlock(QPainter *painter, const QRect &rect, const QRect &, float)
{
  if (error() != SegmentNoError) {
    if (listener())
      paintMessage(painter, rect,
                   error() == SegmentFileMissing ? listener()->fileNotFoundText() : listener()->loadErrorText());
    return;
  }
  if (isPaintingSuppressed() || m_preview.isNull() || m_preview.height() <= 0)
    return;
  const int tileWidth = int(double(m_preview.width()) * rect.height() / m_preview.height());
  if (tileWidth <= 0)
    return;
  for (int x = rect.left(); x <= rect.right(); x += tileWidth)
    painter->drawPixmap(QRect(x, rect.top(), tileWidth, rect.height()), m_preview);
}

LayerGeometry ImageSegment::fitGeometry(const QSizeF &frameSize) const
{
  LayerGeometry geometry;
  const QSizeF n = m_naturalSize;
  if (!n.isValid() || n.isNull() || n.isEmpty())
    return geometry;
  const float scale = qMin(float(frameSize.width() / n.width()), float(frameSize.height() / n.height()));
  geometry.scaleWidth = scale;
  geometry.scaleHeight = scale;
  geometry.centerX = frameSize.width() / 2;
  geometry.centerY = frameSize.height() / 2;
  return geometry;
}

QString ImageSegment::fileName() const
{
  if (!properties()->contains(kFile))
    return QString();
  return SegmentFile::fileName(properties()->text(kFile));
}

void ImageSegment::setFile(const QString &path)
{
  setStringValue(*properties(), kFile, SegmentFile::storedForm(listener(), path));
}

QString ImageSegment::filePath() const
{
  if (!properties()->contains(kFile))
    return QString();
  return SegmentFile::absolutePath(listener(), properties()->text(kFile));
}

void ImageSegment::replaceFile(const QString &path)
{
  setFile(path);
  dropAnimation();
  loadPreview();
}

QPixmap ImageSegment::thumbnail() const
{
  const QImage image = Util::readImageScaledToFit(filePath(), 600);
  return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

void ImageSegment::dropAnimation()
{
  std::lock_guard<std::mutex> lock(m_animationMutex);
  m_animation.reset();
  m_animationFile.reset();
  m_frameDelays.reset();
  m_totalDelay = 0;
  m_frameCache.clear();
}

bool ImageSegment::loadAnimation()
{
  float fitSeconds = 0;
  {
    std::lock_guard<std::mutex> lock(m_animationMutex);
    if (m_animation)
      return true;
    const QString path = filePath();
    const QString suffix = QFileInfo(path).suffix();
    if ((suffix != QLatin1String("gif") && suffix != QLatin1String("GIF")) || !QFileInfo(path).isFile())
      return false;
    // On the GUI thread: nothing to cancel by, the files' bound keeps a file of zeros short.
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (!_openAnimation(absolutePath) || m_animation->frameCount() <= 1) {
      m_animation.reset();
      m_animationFile.reset();
      return false;
    }
    auto delays = std::make_unique<QVector<float>>();
    float total = 0;
    const int frames = m_animation->frameCount();
    // The file's own delays: the movie's are shortened by the time each frame took to decode,
    // which would make the length depend on the machine's load.
    AVPictureFile delaysFile(absolutePath);
    delaysFile.openForReading();
    QImageReader reader(&delaysFile);
    for (int i = 0; i < frames; ++i) {
      const float delay = reader.read().isNull() ? 0.0f : float(qMax(0, reader.nextImageDelay()));
      delays->append(delay);
      total += delay;
    }
    qDebug().noquote() << QString::asprintf("It is GIF picture. %lu frames. (%f)", (unsigned long)delays->size(),
                                            double(total));
    m_frameDelays = std::move(delays);
    m_totalDelay = total;
    if (m_fitDuration && total > 0)
      fitSeconds = total / 1000;
  }
  // Outside the lock: the listener hears of the new length.
  if (fitSeconds > 0)
    setDuration(fitSeconds);
  return true;
}

bool ImageSegment::_openAnimation(const QString &absolutePath)
{
  m_animation.reset(); // before the file it reads
  m_animationFile = std::make_unique<AVPictureFile>(absolutePath);
  if (m_animationFile->openForReading())
    m_animation = std::make_unique<QMovie>(m_animationFile.get(), QByteArray());
  return m_animation && m_animation->isValid();
}

int ImageSegment::animationFrameIndex(const QVector<float> &delays, float timeMs)
{
  if (delays.isEmpty())
    return -1;
  float total = 0;
  for (float delay : delays)
    total += delay;
  if (!(total > 0))
    return 0; // nothing to wrap by
  float t = timeMs;
  if (t >= total)
    t = std::fmod(t, total);
  float sum = 0;
  int count = 0;
  for (float delay : delays) {
    if (sum > t)
      break;
    sum += delay;
    ++count;
  }
  return count - 1;
}

uchar *ImageSegment::animationFrameBits(float timeMs, int outSize[2])
{
  std::lock_guard<std::mutex> lock(m_animationMutex);
  if (!m_animation || !m_frameDelays)
    return nullptr;
  const int index = animationFrameIndex(*m_frameDelays, timeMs);
  if (index < 0)
    return nullptr;
  const auto cached = m_frameCache.constFind(index);
  if (cached != m_frameCache.constEnd() && !cached->isNull())
    return _copyBits(*cached, outSize);

  if (m_animation->state() != QMovie::NotRunning)
    m_animation->stop();
  // Step forward from where the movie stands; from a new movie at the start when it is past:
  // a movie on a device cannot go back to the start by itself.
  if (m_animation->currentFrameNumber() > index && !_openAnimation(m_animationFile->fileName()))
    return nullptr;
  QMovie *movie = m_animation.get();
  while (movie->currentFrameNumber() < index) {
    if (!movie->jumpToNextFrame())
      return nullptr;
  }
  if (!movie->jumpToFrame(index))
    return nullptr;
  QImage image = movie->currentImage();
  if (image.isNull())
    return nullptr;
  if (image.format() != QImage::Format_ARGB32_Premultiplied)
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  m_frameCache.insert(index, image);
  return _copyBits(image, outSize);
}
