#include "avimagefiles.h"

#include "avcommon.h"

#include "avpicturefile.h"
#include "avpixelbuffer.h"

#include <QDebug>
#include <QImage>
#include <QImageReader>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
std::atomic<int> g_boundWidth{0};
std::atomic<int> g_boundHeight{0};
std::atomic<int> g_frameTimeout{1000};

AVMutex g_providerLock;
// Passed by every queued request on its way to the editor's thread: Qt's event queue orders
// the hand-over, but the race checker cannot see into Qt.
AVMutex g_handOverLock;
AVAnimationFrameProvider g_provider;
QPointer<QObject> g_providerContext;

// One frame request; shared so a late answer after the time-out has somewhere to go.
struct FrameRequest
{
  AVMutex lock;
  AVCondition answered;
  bool done = false;
  uint8_t *bytes = nullptr;
  int width = 0;
  int height = 0;
  // Set by an asker that gave up waiting.
  AVLateAnimationFrame late;
};

// The provider's answer as a buffer, taking over bytes.
AVPixelBuffer *_answerBuffer(uint8_t *bytes, int width, int height, int *errorKind)
{
  if (!bytes) {
    *errorKind = 2;
    return nullptr;
  }
  if (width <= 0 || height <= 0) {
    free(bytes);
    *errorKind = 1;
    return nullptr;
  }
  *errorKind = 0;
  return wrapPixelBuffer(bytes, uint32_t(width), uint32_t(height), 1);
}
} // namespace

void setImageDecodeBound(int width, int height)
{
  g_boundWidth = width;
  g_boundHeight = height;
}

int imageDecodeBound()
{
  return std::max(g_boundWidth.load(), g_boundHeight.load());
}

AVPixelBuffer *loadImagePixels(const std::string &path, int *pictureRotation, int *errorKind, bool scaleAfterRead,
                               const std::function<bool()> &cancelled)
{
  *errorKind = 0;
  const int bound = imageDecodeBound();
  AVPictureFile picture(QString::fromStdString(path), cancelled);
  QImageReader reader(&picture);
  reader.setDecideFormatFromContent(true);
  if (!picture.openForReading() || !reader.canRead()) {
    *errorKind = 2;
    return nullptr;
  }
  const QSize size = reader.size();
  const int w = size.width(), h = std::abs(size.height());
  QSize target;
  if (bound > 0 && w > 0 && h > 0) {
    const vec4 fit = aspectFitRect(float(w), float(h), vec4{0, 0, float(bound), float(bound)});
    if (float(w) > fit.z || float(h) > fit.w)
      target = QSize(int(fit.z), int(fit.w));
  }
  if (target.isValid() && !scaleAfterRead)
    reader.setScaledSize(target);
  QImage image = reader.read();
  if (image.isNull() || picture.stopped()) {
    *errorKind = 1;
    qDebug().noquote() << "Read image error: (" + QString::number(int(reader.error())) + ") " + reader.errorString();
    return nullptr;
  }
  if (target.isValid() && scaleAfterRead)
    image = image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (image.format() != QImage::Format_ARGB32_Premultiplied)
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);

  AVPixelBuffer *buffer = createPixelBuffer(uint32_t(image.width()), uint32_t(image.height()), 1);
  if (!buffer) {
    *errorKind = 1;
    return nullptr;
  }
  const size_t row = size_t(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y)
    memcpy(buffer->data + row * size_t(y), image.constScanLine(y), row);
  *pictureRotation = 0;
  return buffer;
}

void setAnimationFrameProvider(AVAnimationFrameProvider provider, QObject *context)
{
  AVMutexLocker locker(&g_providerLock);
  g_provider = std::move(provider);
  g_providerContext = context;
}

void setAnimationFrameTimeout(int milliseconds)
{
  g_frameTimeout = milliseconds;
}

AVPixelBuffer *loadAnimationFrame(uint32_t segmentId, int64_t milliseconds, int *errorKind,
                                  AVLateAnimationFrame late)
{
  AVAnimationFrameProvider provider;
  QObject *context = nullptr;
  {
    AVMutexLocker locker(&g_providerLock);
    provider = g_provider;
    context = g_providerContext.data();
  }
  const int maxWidth = g_boundWidth, maxHeight = g_boundHeight;
  auto request = std::make_shared<FrameRequest>();
  auto ask = [request, provider, segmentId, milliseconds, maxWidth, maxHeight]() {
    { AVMutexLocker handedOver(&g_handOverLock); }
    int width = 0, height = 0;
    uint8_t *bytes = provider ? provider(segmentId, milliseconds, maxWidth, maxHeight, &width, &height) : nullptr;
    AVLateAnimationFrame late;
    {
      AVMutexLocker locker(&request->lock);
      if (!request->done) {
        request->bytes = bytes;
        request->width = width;
        request->height = height;
        request->done = true;
        request->answered.notify_all();
        return;
      }
      late = std::move(request->late); // the asker gave up waiting
    }
    int kind = 0;
    AVPixelBuffer *buffer = _answerBuffer(bytes, width, height, &kind);
    if (late)
      late(buffer, kind);
    else
      freePixelBuffer(buffer);
  };
  if (!provider) {
    *errorKind = 2;
    return nullptr;
  }
  if (!context || context->thread() == QThread::currentThread()) {
    ask();
  } else {
    // Held while Qt copies the request into its event.
    AVMutexLocker handingOver(&g_handOverLock);
    QMetaObject::invokeMethod(context, ask, Qt::QueuedConnection);
  }

  uint8_t *bytes = nullptr;
  int width = 0, height = 0;
  {
    std::unique_lock<std::mutex> locker(request->lock);
    // A blocked or busy editor must not stall the rendering thread for ever.
    request->answered.wait_for(locker, std::chrono::milliseconds(g_frameTimeout.load()),
                               [&request] { return request->done; });
    if (!request->done) {
      // A late answer finds the request done and goes to late, or is freed.
      request->done = true;
      request->late = std::move(late);
      *errorKind = kAnimationFrameUnanswered;
      return nullptr;
    }
    bytes = request->bytes;
    width = request->width;
    height = request->height;
    request->bytes = nullptr;
  }
  return _answerBuffer(bytes, width, height, errorKind);
}
