// The image loader's order and failure codes, picture decoding bounds, the layer's lifetime
// against the worker, and the animated-frame request's time-out.
#include "testenv.h"

#include "avcommon.h"
#include "avimagefiles.h"
#include "avimageloader.h"
#include "avimagesegment.h"
#include "avpixelbuffer.h"

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

namespace {
// A counting semaphore on the standard library, whose hand-overs the race checker sees.
struct Semaphore
{
  AVMutex lock;
  AVCondition changed;
  int count = 0;

  void release()
  {
    AVMutexLocker locker(&lock);
    ++count;
    changed.notify_all();
  }
  bool tryAcquire(int milliseconds = -1)
  {
    std::unique_lock<std::mutex> locker(lock);
    const auto available = [this] { return count > 0; };
    if (milliseconds < 0)
      changed.wait(locker, available);
    else if (!changed.wait_for(locker, std::chrono::milliseconds(milliseconds), available))
      return false;
    --count;
    return true;
  }
  void acquire() { tryAcquire(); }
};

// Records deliveries in order; optionally blocks the worker inside a delivery.
struct DeliveryLog
{
  AVMutex lock;
  QList<QPair<AVSegment *, int>> deliveries;
  Semaphore entered;
  Semaphore release;
  std::atomic<AVSegment *> blockOn{nullptr};

  static void listener(AVSegment *segment, int code, void *user)
  {
    auto *log = static_cast<DeliveryLog *>(user);
    {
      AVMutexLocker locker(&log->lock);
      log->deliveries.append({segment, code});
    }
    if (log->blockOn == segment) {
      log->entered.release();
      log->release.acquire();
    }
  }
  int count()
  {
    AVMutexLocker locker(&lock);
    return deliveries.size();
  }
};

bool waitFor(const std::function<bool()> &condition, int milliseconds = 5000)
{
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > milliseconds)
      return false;
    QThread::msleep(5);
  }
  return true;
}
} // namespace

class TestImageLoader : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void decodeBounds_data();
  void decodeBounds();
  void scaleAfterReadKeepsAspect();
  void failureKinds();
  void loaderOrderAndCodes();
  void dequeueSkipsWaitingLayer();
  void layerDeletedWhileDelivering();
  void layersDeletedRightAfterQueueing();
  void stopWhileIdle();
  void sleepKeepsPixelsOfEnabledLayer();
  void animationFrameAnswered();
  void animationFrameTimesOut();

private:
  QString writeImage(const QString &name, int width, int height, QColor colour = Qt::red);
  AVImageSegment *makeLayer(AVImageLoader *loader, const QString &path, DeliveryLog *log);

  QTemporaryDir _dir;
};

void TestImageLoader::initTestCase()
{
  QVERIFY(_dir.isValid());
  setImageDecodeBound(1920, 1080);
}

QString TestImageLoader::writeImage(const QString &name, int width, int height, QColor colour)
{
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  const QString path = _dir.filePath(name);
  if (!image.save(path))
    qWarning() << "cannot write" << path;
  return path;
}

AVImageSegment *TestImageLoader::makeLayer(AVImageLoader *loader, const QString &path, DeliveryLog *log)
{
  auto *layer = new AVImageSegment(loader, 0, 5, path.toStdString(), 1920, 1080);
  layer->setListener(DeliveryLog::listener, log);
  return layer;
}

void TestImageLoader::decodeBounds_data()
{
  QTest::addColumn<QSize>("source");
  QTest::addColumn<QSize>("decoded");
  QTest::newRow("landscape photo") << QSize(4000, 3000) << QSize(1920, 1440);
  QTest::newRow("portrait photo") << QSize(3000, 4000) << QSize(1440, 1920);
  QTest::newRow("small stays") << QSize(800, 600) << QSize(800, 600);
}

void TestImageLoader::decodeBounds()
{
  QFETCH(QSize, source);
  QFETCH(QSize, decoded);
  const QString path = writeImage(QString("bound-%1x%2.jpg").arg(source.width()).arg(source.height()), source.width(),
                                  source.height());
  for (bool scaleAfterRead : {false, true}) {
    int rotation = -1, errorKind = -1;
    AVPixelBuffer *buffer = loadImagePixels(path.toStdString(), &rotation, &errorKind, scaleAfterRead);
    QVERIFY(buffer);
    QCOMPARE(QSize(int(buffer->width), int(buffer->height)), decoded);
    QCOMPARE(buffer->format, 1u);
    QCOMPARE(rotation, 0);
    QCOMPARE(errorKind, 0);
    freePixelBuffer(buffer);
  }
}

void TestImageLoader::scaleAfterReadKeepsAspect()
{
  // Non-ASCII names are read as UTF-8.
  const QString path = writeImage(QString::fromUtf8("wide-\xc3\xa9t\xc3\xa9.png"), 3840, 400, Qt::blue);
  int rotation = 0, errorKind = 0;
  AVPixelBuffer *buffer = loadImagePixels(path.toStdString(), &rotation, &errorKind, true);
  QVERIFY(buffer);
  QCOMPARE(int(buffer->width), 1920);
  QCOMPARE(int(buffer->height), 200);
  // Premultiplied ARGB32 in memory: B, G, R, A.
  QCOMPARE(buffer->data[0], uint8_t(255));
  QCOMPARE(buffer->data[2], uint8_t(0));
  QCOMPARE(buffer->data[3], uint8_t(255));
  freePixelBuffer(buffer);
}

void TestImageLoader::failureKinds()
{
  int rotation = 0, errorKind = 0;
  // Not an image, though named like one.
  QFile text(_dir.filePath("not-an-image.png"));
  QVERIFY(text.open(QIODevice::WriteOnly));
  text.write("plain words, no picture here\n");
  text.close();
  QVERIFY(!loadImagePixels(text.fileName().toStdString(), &rotation, &errorKind, false));
  QCOMPARE(errorKind, 2);
  QVERIFY(!loadImagePixels(_dir.filePath("missing.png").toStdString(), &rotation, &errorKind, false));
  QCOMPARE(errorKind, 2);

  // A PNG cut short: the header reads, the pixels do not.
  const QString whole = writeImage("whole.png", 300, 300, Qt::green);
  QFile file(whole);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  QFile cut(_dir.filePath("cut.png"));
  QVERIFY(cut.open(QIODevice::WriteOnly));
  cut.write(bytes.left(60));
  cut.close();
  QVERIFY(!loadImagePixels(cut.fileName().toStdString(), &rotation, &errorKind, false));
  QCOMPARE(errorKind, 1);
}

void TestImageLoader::loaderOrderAndCodes()
{
  AVImageLoader loader;
  DeliveryLog log;
  const QString good = writeImage("good.png", 64, 32);
  QFile junk(_dir.filePath("junk.jpg"));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("junk");
  junk.close();

  AVImageSegment *a = makeLayer(&loader, good, &log);
  AVImageSegment *b = makeLayer(&loader, junk.fileName(), &log);
  AVImageSegment *c = makeLayer(&loader, good, &log);
  for (AVImageSegment *layer : {a, b, c})
    layer->wake();
  QVERIFY(waitFor([&] { return log.count() == 3; }));
  QCOMPARE(log.deliveries[0].first, static_cast<AVSegment *>(a));
  QCOMPARE(log.deliveries[1].first, static_cast<AVSegment *>(b));
  QCOMPARE(log.deliveries[2].first, static_cast<AVSegment *>(c));
  QCOMPARE(log.deliveries[0].second, 0);
  QCOMPARE(log.deliveries[1].second, int(kAVLoadUnreadable));
  QCOMPARE(a->loadError(), 0);
  QCOMPARE(b->loadError(), int(kAVLoadUnreadable));
  QVERIFY(a->isReady() && b->isReady());
  QVERIFY(a->pixelBuffer());
  QVERIFY(!b->pixelBuffer());
  // A failed picture is not retried while awake.
  b->wake();
  QVERIFY(!b->isQueued());
  delete a;
  delete b;
  delete c;
  loader.stop(true);
}

void TestImageLoader::dequeueSkipsWaitingLayer()
{
  AVImageLoader loader;
  DeliveryLog log;
  const QString good = writeImage("queue.png", 16, 16);
  AVImageSegment *first = makeLayer(&loader, good, &log);
  AVImageSegment *second = makeLayer(&loader, good, &log);
  AVImageSegment *third = makeLayer(&loader, good, &log);
  log.blockOn = first;
  first->wake();
  QVERIFY(log.entered.tryAcquire(5000)); // the worker is inside the first delivery
  second->wake();
  third->wake();
  QVERIFY(!second->isReady()); // not ready while it waits in the queue
  QVERIFY(second->isQueued());
  second->sleep(false); // still queued: taken out
  QVERIFY(!second->isQueued());
  QVERIFY(second->isReady());
  log.release.release();
  QVERIFY(waitFor([&] { return log.count() == 2; }));
  QTest::qWait(50);
  QCOMPARE(log.count(), 2);
  QCOMPARE(log.deliveries[1].first, static_cast<AVSegment *>(third));
  QCOMPARE(second->loadError(), int(kAVLoadPending));
  delete first;
  delete second;
  delete third;
}

void TestImageLoader::layerDeletedWhileDelivering()
{
  // The worker is inside the layer's delivery; its deletion must wait, not free it under the worker.
  AVImageLoader loader;
  DeliveryLog log;
  AVImageSegment *layer = makeLayer(&loader, writeImage("busy.png", 16, 16), &log);
  log.blockOn = layer;
  layer->wake();
  QVERIFY(log.entered.tryAcquire(5000));
  QCOMPARE(loader.current(), layer);
  std::atomic<bool> deleted{false};
  std::thread deleter([&] {
    delete layer;
    deleted = true;
  });
  QTest::qWait(100);
  QVERIFY2(!deleted, "the layer was freed while the loader was still delivering to it");
  log.release.release();
  deleter.join();
  QVERIFY(deleted);
  QVERIFY(!loader.current());
}

void TestImageLoader::layersDeletedRightAfterQueueing()
{
  // Deleting races the worker taking the layer off the queue; no delivery may reach a freed layer.
  AVImageLoader loader;
  DeliveryLog log;
  const QString path = writeImage("race.png", 64, 64);
  for (int i = 0; i < 200; ++i) {
    AVImageSegment *layer = makeLayer(&loader, path, &log);
    layer->wake();
    if (i % 3)
      QThread::usleep(unsigned(i % 50));
    delete layer;
  }
  loader.stop(true);
  QVERIFY(!loader.current());
}

void TestImageLoader::stopWhileIdle()
{
  AVImageLoader loader;
  QTest::qWait(20); // let the worker go to sleep on the empty queue
  QElapsedTimer timer;
  timer.start();
  loader.stop(true);
  QVERIFY(timer.elapsed() < 1000);
}

void TestImageLoader::sleepKeepsPixelsOfEnabledLayer()
{
  AVImageLoader loader;
  DeliveryLog log;
  AVImageSegment *layer = makeLayer(&loader, writeImage("keep.png", 40, 20), &log);
  layer->wake();
  QVERIFY(waitFor([&] { return log.count() == 1; }));
  layer->sleep(false); // enabled and not exporting: the pixels stay
  QVERIFY(layer->pixelBuffer());
  QCOMPARE(layer->loadError(), int(kAVLoadPending));
  layer->wake(); // adopted without the loader
  QVERIFY(!layer->isQueued());
  QCOMPARE(layer->loadError(), 0);
  QCOMPARE(layer->textureWidth(), 40u);
  layer->sleep(true); // exporting: freed
  QVERIFY(!layer->pixelBuffer());
  QCOMPARE(log.count(), 1);
  delete layer;
}

namespace {
void countNotification(AVSegment *, int, void *count)
{
  ++*static_cast<std::atomic<int> *>(count);
}
} // namespace

void TestImageLoader::animationFrameAnswered()
{
  std::atomic<int64_t> asked{-1};
  setAnimationFrameProvider(
    [&asked](uint32_t id, int64_t ms, int, int, int *width, int *height) -> uint8_t * {
      asked = ms;
      if (id == 2) { // bytes of an empty size
        *width = 0;
        *height = 0;
        return static_cast<uint8_t *>(malloc(4));
      }
      if (id == 3)
        return nullptr;
      *width = 2;
      *height = 1;
      return static_cast<uint8_t *>(calloc(8, 1));
    },
    this);
  int errorKind = -1;
  // From another thread while this one runs its event loop.
  AVPixelBuffer *buffer = nullptr;
  std::thread renderThread([&] { buffer = loadAnimationFrame(1, 1234, &errorKind); });
  QVERIFY(QTest::qWaitFor([&] { return asked == 1234; }, 5000));
  renderThread.join();
  QVERIFY(buffer);
  QCOMPARE(errorKind, 0);
  QCOMPARE(buffer->width, 2u);
  freePixelBuffer(buffer);

  QVERIFY(!loadAnimationFrame(2, 0, &errorKind)); // same thread: asked directly
  QCOMPARE(errorKind, 1);
  QVERIFY(!loadAnimationFrame(3, 0, &errorKind));
  QCOMPARE(errorKind, 2);

  // An animated layer asks for the truncated millisecond of its own time line.
  AVAnimatableImageSegment layer(10.0, 5.0, "sticker.gif", 640, 360);
  QCOMPARE(layer.loadError(), 0);
  layer.setId(1);
  std::atomic<int> notified{0};
  layer.setListener(countNotification, &notified);
  setAnimationFrameProvider(
    [&asked](uint32_t, int64_t ms, int, int, int *, int *) -> uint8_t * {
      asked = ms;
      return nullptr;
    },
    this);
  layer.update(11.2345, true, false);
  QCOMPARE(asked.load(), int64_t(1234));
  QCOMPARE(layer.loadError(), 2);
  // An answer of nothing is final: composing again would ask again for ever.
  QCOMPARE(notified.load(), 0);
  setAnimationFrameProvider(nullptr, nullptr);
}

void TestImageLoader::animationFrameTimesOut()
{
  // The editor's thread is busy (this one, blocked in join): the request gives up.
  std::atomic<int> answered{0};
  setAnimationFrameProvider(
    [&answered](uint32_t, int64_t, int, int, int *width, int *height) -> uint8_t * {
      ++answered;
      *width = *height = 1;
      return static_cast<uint8_t *>(calloc(4, 1));
    },
    this);
  setAnimationFrameTimeout(100);
  int errorKind = -1;
  AVPixelBuffer *buffer = reinterpret_cast<AVPixelBuffer *>(1);
  std::thread renderThread([&] { buffer = loadAnimationFrame(1, 0, &errorKind); });
  renderThread.join();
  QVERIFY(!buffer);
  QCOMPARE(errorKind, kAnimationFrameUnanswered);
  // The late answer arrives and is dropped without harm.
  QVERIFY(QTest::qWaitFor([&] { return answered == 1; }, 5000));

  // Or handed to whoever asked for it, on the editor's thread.
  std::atomic<int> lateKind{-1};
  std::atomic<bool> lateHere{false};
  renderThread = std::thread([&] {
    buffer = loadAnimationFrame(1, 0, &errorKind, [&](AVPixelBuffer *late, int kind) {
      lateHere = QThread::currentThread() == thread() && late && late->width == 1;
      freePixelBuffer(late);
      lateKind = kind;
    });
  });
  renderThread.join();
  QVERIFY(!buffer);
  QVERIFY(QTest::qWaitFor([&] { return lateKind >= 0; }, 5000));
  QCOMPARE(lateKind.load(), 0);
  QVERIFY(lateHere);

  // A layer left unanswered is no load error; the late answer has it composed again.
  AVAnimatableImageSegment layer(0.0, 5.0, "sticker.gif", 640, 360);
  layer.setId(1);
  std::atomic<int> notified{0};
  layer.setListener(countNotification, &notified);
  std::thread layerThread([&] { layer.update(1.0, true, false); });
  layerThread.join();
  QCOMPARE(layer.loadError(), 0);
  QCOMPARE(notified.load(), 0);
  QVERIFY(QTest::qWaitFor([&] { return notified == 1; }, 5000));
  QCOMPARE(answered.load(), 3);
  setAnimationFrameTimeout(1000);
  setAnimationFrameProvider(nullptr, nullptr);
}

TAVO_TEST_GUI_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
