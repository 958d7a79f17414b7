// Composing picture layers offscreen and probing the read-back frame.
#include "testenv.h"

#include "avcomposition.h"
#include "avglrenderer.h"
#include "avheadlessrenderer.h"
#include "avimagefiles.h"
#include "avimageloader.h"
#include "avimagesegment.h"
#include "fakesegments.h"
#include "glprobe.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_2_Core>
#include <QPainter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

namespace {
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);

QImage solid(int width, int height, QColor colour)
{
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}

// Left half one colour, right half another.
QImage halves(int width, int height, QColor left, QColor right)
{
  QImage image = solid(width, height, right);
  QPainter painter(&image);
  painter.fillRect(0, 0, width / 2, height, left);
  return image;
}
} // namespace

class TestCompose : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void contextIsCoreProfile();
  void backgroundColour();
  void fullFramePicture();
  void imageFitCentresPicture();
  void positionMovesRightAndDown();
  void scaleAndRotationZAboutAnchor();
  void rotationXYAboutCentre();
  void cropKeepsVisiblePartInPlace();
  void roundedCornersWithBorder();
  void transparencyBlends();
  void drawingOrder();
  void showsOnlyInsideSpan();
  void wakeAndSleepWindows();
  void disabledAndLoadingLayers();
  void removedLayerDeletedByNextCompose();
  void renderSizeChange();
  void releaseDrainsParkedLayers();
  void imageLayerLoadsThenShows();
  void animatedLayerShowsEditorFrame();
  void animatedLayerShowsLateAnswer();

private:
  FakeLayer *addLayer(uint32_t id, const QImage &picture, double start = 0, double duration = 10,
                      std::atomic<int> *deleted = nullptr);

  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVHeadlessRenderer> _renderer;
};

void TestCompose::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY2(_host->isValid(), "no GL context: run under Xvfb");
}

void TestCompose::init()
{
  _composition = std::make_unique<AVComposition>(160, 90, 44100, 2, nullptr);
  _renderer = std::make_unique<AVHeadlessRenderer>(_host.get(), _composition.get());
  QVERIFY2(_renderer->isValid(), "renderer creation failed (a fixed program did not build)");
}

void TestCompose::cleanup()
{
  _renderer.reset();
  _composition.reset();
}

FakeLayer *TestCompose::addLayer(uint32_t id, const QImage &picture, double start, double duration,
                                 std::atomic<int> *deleted)
{
  auto *layer = new FakeLayer(start, duration, picture, deleted);
  layer->setId(id);
  _composition->addSegment(layer, id);
  return layer;
}

void TestCompose::contextIsCoreProfile()
{
  QVERIFY(_host->makeRootCurrent());
  setGLFunctionsFromCurrent();
  QVERIFY(avGL());
  GLint mask = 0;
  avGL()->glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &mask);
  clearGLFunctions();
  _host->doneRootCurrent();
  QVERIFY2(mask & GL_CONTEXT_CORE_PROFILE_BIT, qPrintable(QString("profile mask %1").arg(mask)));
  QVERIFY(!(mask & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT));
}

void TestCompose::backgroundColour()
{
  _composition->setBackgroundColor(makeVec4Opaque(0.2f, 0.4f, 0.6f));
  const QImage frame = _renderer->compose(0);
  QCOMPARE(frame.size(), QSize(160, 90));
  QVERIFY_PIXEL(frame, 0, 0, QColor(51, 102, 153));
  QVERIFY_PIXEL(frame, 159, 89, QColor(51, 102, 153));
}

void TestCompose::fullFramePicture()
{
  // Top half green, bottom half red: the top row of the picture is the top of the frame.
  QImage picture = solid(16, 9, kRed);
  QPainter(&picture).fillRect(0, 0, 16, 4, kGreen);
  addLayer(1, picture);
  const QImage frame = _renderer->compose(1.0);
  QVERIFY_PIXEL(frame, 80, 10, kGreen);
  QVERIFY_PIXEL(frame, 80, 80, kRed);
  QVERIFY_PIXEL(frame, 2, 2, kGreen);
  QVERIFY_PIXEL(frame, 157, 87, kRed);
}

void TestCompose::imageFitCentresPicture()
{
  // A square picture in a 160x90 frame fits as 90x90, centred: x from 35 to 125.
  addLayer(1, solid(40, 40, kRed));
  const QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 33, 45, kBlack);
  QVERIFY_PIXEL(frame, 37, 45, kRed);
  QVERIFY_PIXEL(frame, 122, 45, kRed);
  QVERIFY_PIXEL(frame, 127, 45, kBlack);
  QVERIFY_PIXEL(frame, 80, 1, kRed);
}

void TestCompose::positionMovesRightAndDown()
{
  FakeLayer *layer = addLayer(1, solid(16, 9, kRed));
  layer->setScale(0.5f, 0.5f);
  layer->setPosition(0.25f, 0.25f); // a quarter of 160 right, a quarter of 90 down
  const QImage frame = _renderer->compose(0);
  // Unmoved it would cover x 40..120, y 22.5..67.5; moved: x 80..160, y 45..90.
  QVERIFY_PIXEL(frame, 120, 67, kRed);
  QVERIFY_PIXEL(frame, 83, 48, kRed);
  QVERIFY_PIXEL(frame, 77, 67, kBlack);
  QVERIFY_PIXEL(frame, 120, 42, kBlack);
}

void TestCompose::scaleAndRotationZAboutAnchor()
{
  // Scale 0.5 about the top-left corner keeps that corner: the top-left quadrant.
  FakeLayer *layer = addLayer(1, solid(16, 9, kRed));
  layer->setAnchor(0, 0);
  layer->setScale(0.5f, 0.5f);
  QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 5, 5, kRed);
  QVERIFY_PIXEL(frame, 75, 40, kRed);
  QVERIFY_PIXEL(frame, 85, 40, kBlack);
  QVERIFY_PIXEL(frame, 75, 50, kBlack);

  // A square picture turned 90 degrees about its centre: positive turns clockwise on screen,
  // so its left half (red) ends up on top.
  _composition->removeSegment(1);
  FakeLayer *square = addLayer(2, halves(20, 20, kRed, kBlue));
  square->setRotation(90);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 20, kRed);
  QVERIFY_PIXEL(frame, 80, 70, kBlue);

  // About the top-left corner the turned picture hangs down-left of that corner:
  // x 35..125 and y 0..90 becomes x -55..35 and y 0..90, the red half on top.
  square->setAnchor(0, 0);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 20, 20, kRed);
  QVERIFY_PIXEL(frame, 20, 70, kBlue);
  QVERIFY_PIXEL(frame, 80, 45, kBlack);
}

void TestCompose::rotationXYAboutCentre()
{
  // Turning 60 degrees about Y halves the width about the centre: x 40..120.
  FakeLayer *layer = addLayer(1, solid(16, 9, kRed));
  layer->setAnchor(0, 0); // x and y turns ignore the anchor
  layer->setRotationY(60);
  QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 36, 45, kBlack);
  QVERIFY_PIXEL(frame, 44, 45, kRed);
  QVERIFY_PIXEL(frame, 116, 45, kRed);
  QVERIFY_PIXEL(frame, 124, 45, kBlack);

  // 60 degrees about X halves the height: y 22.5..67.5.
  layer->setRotationY(0);
  layer->setRotationX(60);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 19, kBlack);
  QVERIFY_PIXEL(frame, 80, 26, kRed);
  QVERIFY_PIXEL(frame, 80, 64, kRed);
  QVERIFY_PIXEL(frame, 80, 71, kBlack);
}

void TestCompose::cropKeepsVisiblePartInPlace()
{
  // Four vertical stripes; cropping to the middle half leaves the outer quarters empty.
  QImage picture = solid(16, 9, kWhite);
  QPainter painter(&picture);
  painter.fillRect(0, 0, 4, 9, kRed);
  painter.fillRect(4, 0, 4, 9, kGreen);
  painter.fillRect(8, 0, 4, 9, kBlue);
  painter.end();
  FakeLayer *layer = addLayer(1, picture);
  layer->setCropTopLeft(0.25f, 0);
  layer->setCropBottomRight(0.75f, 1);
  QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 20, 45, kBlack);
  QVERIFY_PIXEL(frame, 60, 45, kGreen);
  QVERIFY_PIXEL(frame, 100, 45, kBlue);
  QVERIFY_PIXEL(frame, 140, 45, kBlack);

  // Cropping the top third away keeps the rest where it was.
  layer->setCropTopLeft(0, 1.0f / 3);
  layer->setCropBottomRight(1, 1);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 20, 15, kBlack);
  QVERIFY_PIXEL(frame, 20, 60, kRed);

  // A zero-area crop draws nothing.
  layer->setCropTopLeft(0.5f, 0);
  layer->setCropBottomRight(0.5f, 1);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 45, kBlack);
}

void TestCompose::roundedCornersWithBorder()
{
  // A 90x90 picture area (x 35..125); border 9 px, radius 18 px.
  FakeLayer *layer = addLayer(1, solid(20, 20, kRed));
  layer->setBorderWidth(9.0f / 160);
  layer->setBorderColor(makeVec4Opaque(0, 0, 1));
  layer->setCornerRadius(18.0f / 160);
  const QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 36, 1, kBlack);   // outside the rounded corner
  QVERIFY_PIXEL(frame, 39, 45, kBlue);   // left frame
  QVERIFY_PIXEL(frame, 80, 3, kBlue);    // top frame
  QVERIFY_PIXEL(frame, 80, 86, kBlue);   // bottom frame
  QVERIFY_PIXEL(frame, 121, 45, kBlue);  // right frame
  QVERIFY_PIXEL(frame, 80, 45, kRed);    // the picture inside
  QVERIFY_PIXEL(frame, 48, 14, kRed);    // inside the inner corner
  QVERIFY_PIXEL(frame, 38, 88, kBlack);  // outside the bottom-left corner
}

void TestCompose::transparencyBlends()
{
  _composition->setBackgroundColor(makeVec4Opaque(0, 0, 1));
  FakeLayer *layer = addLayer(1, solid(16, 9, kRed));
  layer->setTransparency(0.5f);
  const QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 45, QColor(128, 0, 128));
}

void TestCompose::drawingOrder()
{
  // Added as 7, 3, 5: drawn 3, 5, 7, lower ids below.
  FakeLayer *small = addLayer(7, solid(16, 9, kRed));
  small->setScale(0.3f, 0.3f);
  addLayer(3, solid(16, 9, kGreen));
  FakeLayer *middle = addLayer(5, solid(16, 9, kBlue));
  middle->setScale(0.6f, 0.6f);
  QImage frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 45, kRed);
  QVERIFY_PIXEL(frame, 50, 45, kBlue);
  QVERIFY_PIXEL(frame, 10, 10, kGreen);

  // The editor's order, bottom first: the full-frame layer now covers the others.
  const uint32_t order[] = {7, 5, 3};
  _composition->setLayerOrder(order, 3);
  frame = _renderer->compose(0);
  QVERIFY_PIXEL(frame, 80, 45, kGreen);
  QVERIFY_PIXEL(frame, 50, 45, kGreen);
}

void TestCompose::showsOnlyInsideSpan()
{
  addLayer(1, solid(16, 9, kRed), 2.0, 3.0);
  QVERIFY_PIXEL(_renderer->compose(1.99), 80, 45, kBlack);
  QVERIFY_PIXEL(_renderer->compose(2.0), 80, 45, kRed);
  QVERIFY_PIXEL(_renderer->compose(4.999), 80, 45, kRed);
  QVERIFY_PIXEL(_renderer->compose(5.0), 80, 45, kBlack);
}

void TestCompose::wakeAndSleepWindows()
{
  FakeLayer *layer = addLayer(1, solid(16, 9, kRed), 2.0, 3.0);
  _renderer->compose(0.99);
  QVERIFY(layer->isAsleep());
  _renderer->compose(1.0);
  QVERIFY(!layer->isAsleep());
  QCOMPARE(layer->lastUpdate, -1.0); // awake, not yet shown, not updated
  _renderer->compose(5.25);
  QVERIFY(!layer->isAsleep());
  _renderer->compose(5.26);
  QVERIFY(layer->isAsleep());
}

void TestCompose::disabledAndLoadingLayers()
{
  FakeLayer *disabled = addLayer(1, solid(16, 9, kRed));
  disabled->setEnabled(false);
  QImage frame = _renderer->compose(1.0);
  QVERIFY(disabled->isAsleep());
  QVERIFY_PIXEL(frame, 80, 45, kBlack);

  disabled->setEnabled(true);
  disabled->setLoadError(kAVLoadPending);
  frame = _renderer->compose(1.0);
  QVERIFY(!disabled->isAsleep()); // woken while loading, not drawn
  QCOMPARE(disabled->lastUpdate, -1.0);
  QVERIFY_PIXEL(frame, 80, 45, kBlack);
}

void TestCompose::removedLayerDeletedByNextCompose()
{
  std::atomic<int> deleted{0};
  addLayer(1, solid(16, 9, kRed), 0, 10, &deleted);
  QVERIFY_PIXEL(_renderer->compose(1.0), 80, 45, kRed);
  QCOMPARE(_composition->removeSegment(1), 1);
  QCOMPARE(deleted.load(), 0);
  QCOMPARE(_composition->parkedCount(), 1);
  const int leakedBefore = FakeLayer::texturesLeakedOffContext;
  QVERIFY_PIXEL(_renderer->compose(1.04), 80, 45, kBlack);
  QCOMPARE(deleted.load(), 1);
  QCOMPARE(_composition->parkedCount(), 0);
  QCOMPARE(FakeLayer::texturesLeakedOffContext.load(), leakedBefore);
}

void TestCompose::renderSizeChange()
{
  addLayer(1, solid(16, 9, kRed));
  QCOMPARE(_renderer->compose(0).size(), QSize(160, 90));
  _composition->setRenderSize(64, 36, false);
  QCOMPARE(_composition->width(), 160); // the last composed frame until the next compose
  const QImage frame = _renderer->compose(0);
  QCOMPARE(frame.size(), QSize(64, 36));
  QCOMPARE(_composition->width(), 64);
  QCOMPARE(_composition->height(), 36);
  QVERIFY_PIXEL(frame, 1, 1, kRed);
  QVERIFY_PIXEL(frame, 62, 34, kRed);
}

void TestCompose::releaseDrainsParkedLayers()
{
  // Closing right after a delete: the parked layer goes with the rendering thread's
  // resources, its texture freed while the context is still current.
  std::atomic<int> deleted{0};
  addLayer(1, solid(16, 9, kRed), 0, 10, &deleted);
  _renderer->compose(1.0);
  _composition->removeSegment(1);
  const int leakedBefore = FakeLayer::texturesLeakedOffContext;
  _renderer.reset(); // tears the renderer down on this thread
  QCOMPARE(deleted.load(), 1);
  QCOMPARE(_composition->parkedCount(), 0);
  QCOMPARE(FakeLayer::texturesLeakedOffContext.load(), leakedBefore);
  QVERIFY(!_composition->renderer());
  QVERIFY(!_composition->outputTexture());
}

void TestCompose::imageLayerLoadsThenShows()
{
  QTemporaryDir dir;
  const QString path = dir.filePath("picture.png");
  QVERIFY(halves(32, 18, kGreen, kBlue).save(path));
  AVImageLoader loader;
  auto *layer = new AVImageSegment(&loader, 0, 10, path.toStdString(), 160, 90);
  layer->setId(1);
  _composition->addSegment(layer, 1);
  // Composes while the loader works; the picture appears once delivered, uploaded here.
  QImage frame;
  QVERIFY(QTest::qWaitFor(
    [&] {
      frame = _renderer->compose(1.0);
      return frame.pixelColor(40, 45) != kBlack;
    },
    5000));
  QCOMPARE(layer->loadError(), 0);
  QVERIFY_PIXEL(frame, 40, 45, kGreen);
  QVERIFY_PIXEL(frame, 120, 45, kBlue);
  // Leaving its window releases the texture; the next visit shows it again.
  _renderer->compose(10.5);
  QVERIFY(layer->isAsleep());
  QVERIFY(!layer->texture());
  QVERIFY(QTest::qWaitFor([&] { return _renderer->compose(2.0).pixelColor(40, 45) == kGreen; }, 5000));
  _renderer.reset();
  _composition.reset(); // layers go before their loader
}

void TestCompose::animatedLayerShowsEditorFrame()
{
  const QImage sticker = halves(8, 8, kRed, kGreen).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  setAnimationFrameProvider(
    [&sticker](uint32_t, int64_t, int, int, int *width, int *height) -> uint8_t * {
      *width = sticker.width();
      *height = sticker.height();
      auto *bytes = static_cast<uint8_t *>(malloc(size_t(sticker.sizeInBytes())));
      memcpy(bytes, sticker.constBits(), size_t(sticker.sizeInBytes()));
      return bytes;
    },
    this);
  auto *layer = new AVAnimatableImageSegment(0, 5, "sticker.gif", 160, 90);
  layer->setId(1);
  _composition->addSegment(layer, 1);
  const QImage frame = _renderer->compose(0.5);
  setAnimationFrameProvider(nullptr, nullptr);
  QVERIFY_PIXEL(frame, 50, 45, kRed);
  QVERIFY_PIXEL(frame, 110, 45, kGreen);
  QVERIFY(layer->texture());
  QVERIFY(!layer->pixelBuffer()); // uploaded and let go
}

namespace {
void countNotification(AVComposition *, AVSegment *, void *count)
{
  ++*static_cast<std::atomic<int> *>(count);
}
} // namespace

// The editor's thread is held busy past the request's time-out: the layer is no load error, and
// the answer that comes later is shown on the next composing at that time without asking again.
void TestCompose::animatedLayerShowsLateAnswer()
{
  // The editor's thread starts only once the request has gone unanswered: a hand-over the race
  // checker sees, where a gate queued through Qt's queue is not.
  QThread editorThread;
  QObject editor;
  editor.moveToThread(&editorThread);
  const auto done = qScopeGuard([&] {
    setAnimationFrameTimeout(1000);
    setAnimationFrameProvider(nullptr, nullptr);
    editorThread.quit();
    editorThread.wait();
  });
  const QImage sticker = halves(8, 8, kRed, kGreen).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  std::atomic<int> asked{0};
  setAnimationFrameProvider(
    [&sticker, &asked](uint32_t, int64_t, int, int, int *width, int *height) -> uint8_t * {
      ++asked;
      *width = sticker.width();
      *height = sticker.height();
      auto *bytes = static_cast<uint8_t *>(malloc(size_t(sticker.sizeInBytes())));
      memcpy(bytes, sticker.constBits(), size_t(sticker.sizeInBytes()));
      return bytes;
    },
    &editor);
  setAnimationFrameTimeout(50);
  std::atomic<int> notified{0};
  _composition->addListener(countNotification, &notified);
  auto *layer = new AVAnimatableImageSegment(0, 5, "sticker.gif", 160, 90);
  layer->setId(1);
  _composition->addSegment(layer, 1);

  QImage frame = _renderer->compose(0.5);
  QCOMPARE(layer->loadError(), 0);
  QVERIFY_PIXEL(frame, 50, 45, kBlack);
  editorThread.start();
  QVERIFY(QTest::qWaitFor([&] { return notified > 0; },
                          10000 * std::max(1, qEnvironmentVariableIntValue("TAVO_TEST_TIMEOUT_SCALE"))));
  frame = _renderer->compose(0.5);
  QCOMPARE(layer->loadError(), 0);
  QVERIFY_PIXEL(frame, 50, 45, kRed);
  QVERIFY_PIXEL(frame, 110, 45, kGreen);
  QCOMPARE(asked.load(), 1);
}

TAVO_TEST_GUI_MAIN(TestCompose)
#include "tst_compose.moc"
