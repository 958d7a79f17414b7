// Layer drawing beyond the compose: the plane programs, the outline stroke and the fill paths,
// drawn straight into a framebuffer, and a renderer living on its own thread.
#include "testenv.h"

#include "avcomposition.h"
#include "avglrenderer.h"
#include "avglresources.h"
#include "avheadlessrenderer.h"
#include "avlayerdraw.h"
#include "fakesegments.h"
#include "glprobe.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions_3_2_Core>
#include <QThread>
#include <memory>
#include <vector>

namespace {
const QColor kBlack(0, 0, 0);
} // namespace

class TestLayerDraw : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void init();
  void planarYUV();
  void nv12();
  void packedYUV422();
  void missingPlaneDrawsNothing();
  void pictureSmallerThanTexture();
  void strokeOutlinesOpaqueShape();
  void fillFlipsForScreen();
  void tiledBackgroundRepeats();
  void rgbToYUV();
  void renderThreadComposes();

private:
  std::unique_ptr<AVHeadlessGLHost> _host;
  AVGLRenderer *_renderer = nullptr;
  AVFrameBuffer *_target = nullptr;
};

void TestLayerDraw::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY(_host->isValid());
  QVERIFY(_host->makeRootCurrent());
  setGLFunctionsFromCurrent();
  _renderer = createRenderer(_host.get());
  QVERIFY(_renderer);
  _target = createFrameBuffer(64, 32, false);
}

void TestLayerDraw::cleanupTestCase()
{
  destroyFrameBuffer(_target);
  destroyRenderer(_renderer);
  clearGLFunctions();
  _host->doneRootCurrent();
}

void TestLayerDraw::init()
{
  QVERIFY(setRenderTarget(_renderer, _target) > 0);
  clearTarget(_renderer, 0, 0, 0, 1);
}

void TestLayerDraw::planarYUV()
{
  // Video-range white and a saturated blue-ish chroma: Y 235 gives white with neutral chroma.
  AVTexture *y = createRedTexture(8, 4, kAVTextureYUV420);
  AVTexture *u = createRedTexture(4, 2, kAVTextureYUV420);
  AVTexture *v = createRedTexture(4, 2, kAVTextureYUV420);
  std::vector<uint8_t> luma(32, 235), chroma(8, 128);
  uploadRedTexture(y, luma.data(), 8, 4, false);
  uploadRedTexture(u, chroma.data(), 4, 2, false);
  uploadRedTexture(v, chroma.data(), 4, 2, false);
  y->width = 8; // the picture size, not the plane's
  const AVLayerRenderInfo info = plainInfo();
  drawLayerPlanes(_renderer, y, u, v, 0, 0, &info, false);
  const QImage frame = readTarget(_target);
  QVERIFY_PIXEL(frame, 32, 16, QColor(255, 255, 255));
  for (AVTexture *t : {y, u, v})
    destroyTexture(t);
}

void TestLayerDraw::nv12()
{
  // Y 81, U 90, V 240 is video-range red.
  AVTexture *y = createRedTexture(8, 4, kAVTextureNV12);
  AVTexture *uv = createChromaTexture(8, 4);
  std::vector<uint8_t> luma(32, 81), chroma;
  for (int i = 0; i < 8; ++i)
    chroma.insert(chroma.end(), {90, 240});
  uploadRedTexture(y, luma.data(), 8, 4, false);
  uploadChromaTexture(uv, chroma.data(), 8, 4, false);
  const AVLayerRenderInfo info = plainInfo();
  drawLayerPlanes(_renderer, y, uv, nullptr, 0, 0, &info, false);
  const QImage frame = readTarget(_target);
  QString message;
  QVERIFY2(pixelNear(frame, 32, 16, QColor(255, 0, 0), 12, &message), qPrintable(message));
  destroyTexture(y);
  destroyTexture(uv);
}

void TestLayerDraw::packedYUV422()
{
  // U Y0 V Y1 texels: left pixel of each pair black (Y 16), right white (Y 235).
  AVTexture *packed = createPackedYUV422Texture(8, 4);
  std::vector<uint8_t> texels;
  for (int i = 0; i < 16; ++i)
    texels.insert(texels.end(), {128, 16, 128, 235});
  uploadPackedYUV422Texture(packed, texels.data(), 8, 4, false);
  const AVLayerRenderInfo info = plainInfo();
  drawLayerTextureInTarget(_renderer, packed, 0, 0, &info, false);
  const QImage frame = readTarget(_target);
  // The 8-pixel picture fits 64 wide: 8 frame pixels per picture pixel.
  QVERIFY_PIXEL(frame, 20, 16, kBlack);                  // picture x 2
  QVERIFY_PIXEL(frame, 28, 16, QColor(255, 255, 255));   // picture x 3
  destroyTexture(packed);
}

void TestLayerDraw::missingPlaneDrawsNothing()
{
  AVTexture *y = createRedTexture(8, 4, kAVTextureYUV420);
  std::vector<uint8_t> luma(32, 235);
  uploadRedTexture(y, luma.data(), 8, 4, false);
  const AVLayerRenderInfo info = plainInfo();
  drawLayerPlanes(_renderer, y, y, nullptr, 0, 0, &info, false);
  QVERIFY_PIXEL(readTarget(_target), 32, 16, kBlack);
  destroyTexture(y);
}

void TestLayerDraw::pictureSmallerThanTexture()
{
  // The picture is the texture's first 16 of 20 columns: the fitted frame ends at its last column.
  QImage padded(20, 8, QImage::Format_ARGB32_Premultiplied);
  padded.fill(QColor(255, 0, 0));
  for (int y = 0; y < 8; ++y)
    for (int x = 16; x < 20; ++x)
      padded.setPixelColor(x, y, QColor(0, 0, 255));
  AVTexture *texture = createRGBATexture(20, 8);
  uploadBGRATexture(texture, padded.constBits(), 20, 8, false);
  const AVLayerRenderInfo info = plainInfo();
  drawLayerTextureInTarget(_renderer, texture, 16, 8, &info, false);
  const QImage frame = readTarget(_target);
  QVERIFY_PIXEL(frame, 60, 16, QColor(255, 0, 0)); // the last picture column, short of filtering into the padding
  QVERIFY_PIXEL(frame, 2, 16, QColor(255, 0, 0));
  destroyTexture(texture);
}

void TestLayerDraw::strokeOutlinesOpaqueShape()
{
  // An opaque square in the middle of a transparent 32x16 picture (fitted 2:1 into 64x32).
  QImage picture(32, 16, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  for (int y = 4; y < 12; ++y)
    for (int x = 12; x < 20; ++x)
      picture.setPixelColor(x, y, QColor(255, 0, 0));
  AVTexture *texture = createRGBATexture(32, 16);
  uploadBGRATexture(texture, picture.constBits(), 32, 16, false);

  AVLayerRenderInfo info = plainInfo();
  info.borderWidth = 8; // stroke of 2 picture pixels, no frame
  info.borderStroke = 1;
  info.strokeStrength = 1;
  info.borderColor[1] = info.borderColor[3] = 1; // green
  drawLayerTextureInTarget(_renderer, texture, 0, 0, &info, false);
  QImage frame = readTarget(_target);
  QVERIFY_PIXEL(frame, 32, 16, QColor(255, 0, 0)); // the shape itself
  QVERIFY_PIXEL(frame, 21, 16, QColor(0, 255, 0)); // just left of it: picture x 10.5
  QVERIFY_PIXEL(frame, 2, 16, kBlack);             // far away: nothing, and no frame at the edge
  QVERIFY_PIXEL(frame, 32, 1, kBlack);

  // The same picture as a YUV kind gets no outline: stroke is for RGBA pictures only.
  init();
  texture->kind = kAVTextureYUV422;
  info.borderStroke = 1;
  drawLayerTextureInTarget(_renderer, texture, 0, 0, &info, false);
  frame = readTarget(_target);
  QVERIFY(frame.pixelColor(21, 16) != QColor(0, 255, 0));
  destroyTexture(texture);
}

void TestLayerDraw::fillFlipsForScreen()
{
  // The presenter's fill shows the picture's top row at the bottom of the framebuffer, where
  // a window's default framebuffer keeps its top.
  QImage picture(2, 2, QImage::Format_ARGB32_Premultiplied);
  picture.setPixelColor(0, 0, QColor(255, 0, 0));
  picture.setPixelColor(1, 0, QColor(255, 0, 0));
  picture.setPixelColor(0, 1, QColor(0, 0, 255));
  picture.setPixelColor(1, 1, QColor(0, 0, 255));
  AVTexture *texture = createRGBATexture(2, 2);
  uploadBGRATexture(texture, picture.constBits(), 2, 2, false);
  drawFill(_renderer, 64, 32, texture);
  const QImage frame = readTarget(_target);
  QVERIFY_PIXEL(frame, 32, 2, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 32, 29, QColor(255, 0, 0));
  destroyTexture(texture);
}

void TestLayerDraw::tiledBackgroundRepeats()
{
  // A 2x2 checker repeated so one texel covers one pixel.
  QImage checker(2, 2, QImage::Format_ARGB32_Premultiplied);
  checker.setPixelColor(0, 0, Qt::white);
  checker.setPixelColor(1, 1, Qt::white);
  checker.setPixelColor(1, 0, Qt::black);
  checker.setPixelColor(0, 1, Qt::black);
  AVTexture *texture = createRGBATexture(2, 2);
  uploadBGRATexture(texture, checker.constBits(), 2, 2, false);
  avGL()->glBindTexture(GL_TEXTURE_2D, texture->texture);
  avGL()->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  avGL()->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  setTextureRepeat(texture);
  drawBackgroundTexture(_renderer, texture, 64, 32, false);
  const QImage frame = readTarget(_target);
  for (int x = 40; x < 44; ++x)
    QCOMPARE(frame.pixelColor(x, 10), frame.pixelColor(x + 2, 10));
  QVERIFY(frame.pixelColor(40, 10) != frame.pixelColor(41, 10));
  destroyTexture(texture);
}

void TestLayerDraw::rgbToYUV()
{
  AVTexture *texture = createRGBATexture(2, 2);
  QImage white(2, 2, QImage::Format_ARGB32_Premultiplied);
  white.fill(Qt::white);
  uploadBGRATexture(texture, white.constBits(), 2, 2, false);
  drawTextureRGBToYUV(_renderer, texture, false);
  const QColor yuva = readTarget(_target).pixelColor(10, 10);
  QVERIFY2(qAbs(yuva.red() - 235) <= 2, qPrintable(QString::number(yuva.red()))); // video-range white luma
  QVERIFY(qAbs(yuva.green() - 128) <= 2);
  QVERIFY(qAbs(yuva.blue() - 128) <= 2);
  destroyTexture(texture);
}

void TestLayerDraw::renderThreadComposes()
{
  // A rendering thread of its own: the context moves there, the function table is its own.
  clearGLFunctions();
  _host->doneRootCurrent();
  AVComposition composition(64, 32, 44100, 2, nullptr);
  auto *layer = new FakeLayer(0, 5, [] {
    QImage image(16, 8, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 255, 0));
    return image;
  }());
  layer->setId(1);
  composition.addSegment(layer, 1);
  AVHeadlessGLHost host;
  host.setComposition(&composition);
  AVGLContextOwner owner;
  host.setPlaybackOwner(&owner);
  QThread thread;
  QVERIFY(createSharedOffscreenContext(&owner, &host, &thread));
  QImage frame;
  bool setUp = false;
  bool tableSeenOnGui = true;
  QObject::connect(&thread, &QThread::started, [&] {
    setUp = setUpRendererOnThread(&owner);
    composition.update(1.0, false, true, 2, true, false);
    makeRendererCurrent(owner.renderer);
    avGL()->glBindFramebuffer(GL_FRAMEBUFFER, composition.outputFrameBuffer()->framebuffer);
    frame = readTarget(composition.outputFrameBuffer());
    doneRendererCurrent(owner.renderer);
    tearDownRendererOnThread(&owner);
    thread.quit();
  });
  thread.start();
  // The GUI thread's table stays its own while the other thread renders.
  tableSeenOnGui = avGL() != nullptr;
  QVERIFY(thread.wait(10000));
  destroySharedOffscreenContext(&owner);
  QVERIFY(setUp);
  QVERIFY(!tableSeenOnGui);
  QVERIFY_PIXEL(frame, 32, 16, QColor(0, 255, 0));
  QVERIFY(!composition.renderer());

  QVERIFY(_host->makeRootCurrent());
  setGLFunctionsFromCurrent();
}

TAVO_TEST_GUI_MAIN(TestLayerDraw)
#include "tst_layerdraw.moc"
