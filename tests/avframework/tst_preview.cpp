// The preview widget under Xvfb: it shows the composed frame over its background, the
// checkerboard when the background is transparent, follows the device pixel ratio, and
// releases the renderer lock it takes for each composition of the window.
#include "testenv.h"

#include "avaudiosink.h"
#include "avcomposition.h"
#include "avglwidget.h"
#include "avrender.h"
#include "fakesegments.h"
#include "glprobe.h"

#include <QPainter>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <memory>

namespace {
// Everything in this test runs at a device pixel ratio of 1.5.
const bool g_scaled = qputenv("QT_SCALE_FACTOR", "1.5");

const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kMagenta(255, 0, 255);

bool near(const QColor &a, const QColor &b, int tolerance = 8)
{
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor at(const QImage &image, double x, double y)
{
  return image.pixelColor(int(x * (image.width() - 1)), int(y * (image.height() - 1)));
}
} // namespace

class TestPreview : public QObject
{
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void showsTheComposedFrame();
  void transparentBackgroundShowsTheCheckerboard();
  void withoutControllerOnlyTheBackground();
  void sizeFollowsTheDevicePixelRatio();
  void composeLockIsReleasedAfterEverySwap();
  void busyRendererLeavesThePicture_data();
  void busyRendererLeavesThePicture();

private:
  // Starts playback into the widget with a picture layer (top half green, bottom half red).
  void startPlayback(vec4 background);
  QImage grab();

  std::unique_ptr<AVGLWidget> _widget;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVRender> _render;
};

void TestPreview::init()
{
  QVERIFY(g_scaled);
  setAudioSinkFactory([](int rate, int channels) -> AVAudioSink * { return new AVNullAudioSink(rate, channels); });
  _widget = std::make_unique<AVGLWidget>();
  _widget->resize(160, 90);
  _widget->show();
  QVERIFY(QTest::qWaitForWindowExposed(_widget.get()));
}

void TestPreview::cleanup()
{
  if (_render) {
    _render->pause();
    QCOMPARE(_render->stop(), 0);
    _render->setComposition(nullptr);
  }
  _widget.reset();
  _render.reset();
  _composition.reset();
}

void TestPreview::startPlayback(vec4 background)
{
  _composition = std::make_unique<AVComposition>(160, 90, 44100, 2, nullptr);
  _composition->setBackgroundColor(background);
  QImage picture(16, 9, QImage::Format_ARGB32);
  picture.fill(kRed);
  QPainter(&picture).fillRect(0, 0, 16, 4, kGreen);
  auto *layer = new FakeLayer(0, 10, picture);
  layer->setId(1);
  _composition->addSegment(layer, 1);
  _composition->updateDuration();
  _render = std::make_unique<AVRender>(nullptr, 0, 0);
  _render->setGLHost(_widget.get());
  _render->setComposition(_composition.get());
  _widget->setRender(_render.get());
  _widget->connectFrameSignals();
  _render->start();
  _widget->resize(161, 90); // the resize hands the size over and asks for a frame
  _widget->resize(160, 90);
  QTRY_VERIFY_WITH_TIMEOUT(_render->renderer() && _render->composedFrames() > 0, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(_render->isVideoParked(), 5000);
}

QImage TestPreview::grab()
{
  _widget->update();
  QTest::qWait(50);
  return _widget->grabFramebuffer();
}

void TestPreview::showsTheComposedFrame()
{
  startPlayback(vec4{0, 0, 0, 1});
  const QImage frame = grab();
  QVERIFY(near(at(frame, 0.5, 0.2), kGreen));
  QVERIFY(near(at(frame, 0.5, 0.8), kRed));
  QVERIFY(near(at(frame, 0.02, 0.02), kGreen));
  QVERIFY(near(at(frame, 0.98, 0.98), kRed));
}

void TestPreview::transparentBackgroundShowsTheCheckerboard()
{
  // A small opaque layer in the middle of a transparent frame.
  startPlayback(vec4{0, 0, 0, 0});
  static_cast<FakeLayer *>(_composition->findSegment(1))->setScale(0.5f, 0.5f);
  const int before = _render->composedFrames();
  _render->step(1);
  QTRY_VERIFY_WITH_TIMEOUT(_render->composedFrames() > before, 10000);
  _widget->setBackgroundColor(QColor(0, 0, 0, 0));
  const QImage frame = grab();
  // Around the layer the checkerboard's two shades alternate; the layer covers it.
  QSet<QRgb> shades;
  for (int x = 0; x < 24; ++x)
    shades.insert(frame.pixel(x, 2));
  QVERIFY2(shades.size() >= 2, "no checkerboard");
  QVERIFY(near(at(frame, 0.5, 0.6), kRed));
  _widget->setBackgroundColor(kMagenta);
  const QImage filled = grab();
  QVERIFY(near(filled.pixelColor(2, 2), kMagenta));
  QVERIFY(near(at(filled, 0.5, 0.6), kRed));
}

void TestPreview::withoutControllerOnlyTheBackground()
{
  _widget->setBackgroundColor(kMagenta);
  const QImage frame = grab();
  QVERIFY(!frame.isNull());
  QVERIFY(near(at(frame, 0.5, 0.5), kMagenta));
  QVERIFY(near(at(frame, 0.0, 1.0), kMagenta));
}

void TestPreview::sizeFollowsTheDevicePixelRatio()
{
  startPlayback(vec4{0, 0, 0, 1});
  QCOMPARE(_widget->devicePixelRatioF(), 1.5);
  const int before = _render->composedFrames();
  _widget->resize(800, 450);
  QTRY_COMPARE_WITH_TIMEOUT(_render->composedFrames(), before + 1, 5000);
  uint32_t width = 0, height = 0;
  _render->size(&width, &height);
  QCOMPARE(width, 1200u);
  QCOMPARE(height, 675u);
}

void TestPreview::composeLockIsReleasedAfterEverySwap()
{
  startPlayback(vec4{0, 0, 0, 1});
  for (int i = 0; i < 5; ++i) {
    const int before = _render->composedFrames();
    grab();
    // A lock left taken by the window's composition would block the video thread here.
    _render->step(1);
    QTRY_VERIFY_WITH_TIMEOUT(_render->composedFrames() > before, 5000);
  }
}

void TestPreview::busyRendererLeavesThePicture_data()
{
  QTest::addColumn<bool>("resized");
  QTest::addColumn<QColor>("top");
  QTest::addColumn<QColor>("bottom");
  QTest::newRow("picture kept") << false << kGreen << kRed;
  // A new framebuffer holds no picture: the background shows until the frame is done.
  QTest::newRow("after a resize") << true << kMagenta << kMagenta;
}

void TestPreview::busyRendererLeavesThePicture()
{
  QFETCH(bool, resized);
  QFETCH(QColor, top);
  QFETCH(QColor, bottom);
  startPlayback(vec4{0, 0, 0, 1});
  _widget->setBackgroundColor(kMagenta);
  grab();
  _widget->setWaitsForFrames(false);
  // Another thread holds the renderer as the video thread does while it composes. It lets go
  // when told, or after a long while should a paint wait for it.
  std::mutex held;
  std::condition_variable changed;
  bool taken = false, release = false, timedOut = false;
  std::thread holder([&] {
    _render->lockRenderer();
    std::unique_lock<std::mutex> lock(held);
    taken = true;
    changed.notify_all();
    timedOut = !changed.wait_for(lock, std::chrono::seconds(20), [&] { return release; });
    lock.unlock();
    _render->unlockRenderer();
  });
  {
    std::unique_lock<std::mutex> lock(held);
    changed.wait(lock, [&] { return taken; });
  }
  if (resized)
    _widget->resize(120, 90);
  const QImage frame = _widget->grabFramebuffer();
  {
    std::lock_guard<std::mutex> lock(held);
    release = true;
  }
  changed.notify_all();
  holder.join();
  QVERIFY(!timedOut);
  QVERIFY(near(at(frame, 0.5, 0.2), top));
  QVERIFY(near(at(frame, 0.5, 0.8), bottom));
}

TAVO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
