// Colour effects, the chroma key and the outline through the whole compose, and the effect
// program cache of the renderer.
#include "testenv.h"

#include "avcomposition.h"
#include "avglglue.h"
#include "avglrenderer.h"
#include "avglresources.h"
#include "composefixture.h"
#include "avlayerdraw.h"
#include "fakesegments.h"
#include "glprobe.h"

#include <QPainter>
#include <QSet>
#include <string>

namespace {
const QColor kSubject(200, 100, 50);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

QImage solid(int width, int height, QColor colour)
{
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}

// A green screen with a red subject in its middle third.
QImage greenScreen()
{
  QImage picture = solid(48, 27, kGreen);
  QPainter(&picture).fillRect(16, 9, 16, 9, kRed);
  return picture;
}

int spread(QColor c)
{
  return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
}

AVEffectFlags flagsOf(std::initializer_list<int> effects)
{
  AVEffectFlags flags{};
  for (int effect : effects)
    flags.on[effect] = 1;
  return flags;
}
} // namespace

class TestEffects : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void colourEffect_data();
  void colourEffect();
  void chromaKeyRemovesGreen();
  void chromaKeyOnPlanarYUV();
  void packedYUV422EffectsAndKey();
  void strokeWithEffectsAndKey();
  void blurAndInvert();
  void filterEffects();
  void effectProgramCache();
  void blurRadiusSharesAndFails();
  void radiusToken();

private:
  FakeLayer *addLayer(uint32_t id, const QImage &picture);
  QColor centreAfter(int effectIndex, int value);
  ComposeFixture _fixture;
};

void TestEffects::initTestCase()
{
  QVERIFY2(_fixture.startHost(), "no GL context: run under Xvfb");
}

void TestEffects::init()
{
  QVERIFY(_fixture.startComposition(makeVec4(0, 0, 0, 0)));
}

void TestEffects::cleanup()
{
  // Every uniform went to a location of its own type.
  if (!QTest::currentTestFailed())
    QCOMPARE(_fixture.glError(), 0u);
  _fixture.stopComposition();
}

FakeLayer *TestEffects::addLayer(uint32_t id, const QImage &picture)
{
  auto *layer = new FakeLayer(0, 10, picture);
  layer->setId(id);
  _fixture.composition()->addSegment(layer, id);
  return layer;
}

QColor TestEffects::centreAfter(int effectIndex, int value)
{
  FakeLayer *layer = addLayer(1, solid(16, 9, kSubject));
  layer->setColorEffect(effectIndex, value);
  const QColor centre = _fixture.compose(1.0).pixelColor(80, 45);
  _fixture.composition()->removeSegment(1);
  return centre;
}

void TestEffects::colourEffect_data()
{
  QTest::addColumn<int>("effect");
  // Value -100 and 100 on (200, 100, 50); 0 leaves the picture as it is.
  QTest::newRow("saturation") << 0;
  QTest::newRow("brightness") << 1;
  QTest::newRow("contrast") << 2;
  QTest::newRow("white balance") << 3;
  QTest::newRow("exposure") << 4;
  QTest::newRow("hue") << 5;
  QTest::newRow("red") << 6;
  QTest::newRow("green") << 7;
  QTest::newRow("blue") << 8;
}

void TestEffects::colourEffect()
{
  QFETCH(int, effect);
  const QColor off = centreAfter(effect, 0);
  const QColor low = centreAfter(effect, -100);
  const QColor high = centreAfter(effect, 100);
  const QString seen = QString("off %1 low %2 high %3").arg(off.name(), low.name(), high.name());
  QVERIFY2(qAbs(off.red() - 200) <= 2 && qAbs(off.green() - 100) <= 2 && qAbs(off.blue() - 50) <= 2, qPrintable(seen));
  switch (effect) {
  case 0: // -100 is grey, 100 more colourful
    QVERIFY2(spread(low) <= 3, qPrintable(seen));
    QVERIFY2(spread(high) > spread(off) + 30, qPrintable(seen));
    break;
  case 1: // -1 black, +1 white
    QVERIFY2(low.red() <= 2 && low.green() <= 2 && low.blue() <= 2, qPrintable(seen));
    QVERIFY2(high.red() >= 253 && high.green() >= 253 && high.blue() >= 253, qPrintable(seen));
    break;
  case 2: // 0 flattens to mid grey, 4 pushes apart
    QVERIFY2(spread(low) <= 3 && qAbs(low.red() - 128) <= 3, qPrintable(seen));
    QVERIFY2(high.red() == 255 && high.blue() == 0, qPrintable(seen));
    break;
  case 3: // cooler below, warmer above
    QVERIFY2(low.blue() > off.blue() + 10 && low.red() < off.red() - 10, qPrintable(seen));
    QVERIFY2(high.red() > off.red() + 10 && high.blue() < off.blue() - 3, qPrintable(seen));
    break;
  case 4: // darker below, brighter above
    QVERIFY2(low.red() < off.red() / 4 && low.green() < off.green() / 4, qPrintable(seen));
    QVERIFY2(high.red() == 255 && high.green() == 255, qPrintable(seen));
    break;
  case 5: // half a turn either way: the same opposite hue
    QVERIFY2(qAbs(low.red() - high.red()) <= 3 && qAbs(low.blue() - high.blue()) <= 3, qPrintable(seen));
    QVERIFY2(high.blue() > high.red(), qPrintable(seen));
    break;
  default: { // a channel factor: 0 below, 2 above; the other channels stay
    auto channel = [effect](QColor c) { return effect == 6 ? c.red() : effect == 7 ? c.green() : c.blue(); };
    auto other = [effect](QColor c) { return effect == 6 ? c.green() : c.red(); };
    QVERIFY2(channel(low) <= 2, qPrintable(seen));
    QVERIFY2(qAbs(channel(high) - std::min(2 * channel(off), 255)) <= 3, qPrintable(seen));
    QVERIFY2(qAbs(other(low) - other(off)) <= 2 && qAbs(other(high) - other(off)) <= 2, qPrintable(seen));
    break;
  }
  }
}

void TestEffects::chromaKeyRemovesGreen()
{
  FakeLayer *layer = addLayer(1, greenScreen());
  layer->setKeyEnabled(true);
  layer->setKeySensitivity(40);
  layer->setKeySmoothing(10);
  layer->setKeyColor(makeVec4Opaque(0, 1, 0));
  QImage frame = _fixture.compose(1.0);
  QCOMPARE(qAlpha(frame.pixel(10, 10)), 0);  // the green screen is gone
  QCOMPARE(qAlpha(frame.pixel(150, 80)), 0);
  QVERIFY_PIXEL(frame, 80, 45, kRed);         // the subject stays
  QCOMPARE(qAlpha(frame.pixel(80, 45)), 255);

  // Sensitivity 0 is no key at all.
  layer->setKeySensitivity(0);
  frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 10, 10, kGreen);
}

void TestEffects::chromaKeyOnPlanarYUV()
{
  // Video-range green (Y 145, U 54, V 34) keyed from planes straight to the target.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    AVFrameBuffer *target = createFrameBuffer(64, 32, false);
    QVERIFY(setRenderTarget(renderer, target) > 0);
    clearTarget(renderer, 0, 0, 0, 0);
    AVTexture *y = createRedTexture(8, 4, kAVTextureYUV420);
    AVTexture *u = createRedTexture(4, 2, kAVTextureYUV420);
    AVTexture *v = createRedTexture(4, 2, kAVTextureYUV420);
    std::vector<uint8_t> luma(32, 145), cb(8, 54), cr(8, 34);
    uploadRedTexture(y, luma.data(), 8, 4, false);
    uploadRedTexture(u, cb.data(), 4, 2, false);
    uploadRedTexture(v, cr.data(), 4, 2, false);
    y->width = 8;
    AVLayerRenderInfo info = plainInfo();
    info.keySensitivity = 0.4f;
    info.keySmoothing = 0.1f;
    info.keyColor[1] = info.keyColor[3] = 1;
    drawLayerPlanes(renderer, y, u, v, 0, 0, &info, false);
    const QImage frame = readTarget(target);
    QCOMPARE(qAlpha(frame.pixel(32, 16)), 0);
    QCOMPARE(renderer->effectYUV.count, 1);
    for (AVTexture *t : {y, u, v})
      destroyTexture(t);
    destroyFrameBuffer(target);
  });
}

void TestEffects::packedYUV422EffectsAndKey()
{
  // Video-range red as U Y0 V Y1 texels. Read as RGBA these would be far from red: effects and
  // the key have packed programs of their own.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    AVFrameBuffer *target = createFrameBuffer(64, 32, false);
    QVERIFY(setRenderTarget(renderer, target) > 0);
    AVTexture *packed = createPackedYUV422Texture(8, 4);
    std::vector<uint8_t> texels;
    for (int i = 0; i < 16; ++i)
      texels.insert(texels.end(), {90, 81, 240, 81});
    uploadPackedYUV422Texture(packed, texels.data(), 8, 4, false);
    AVLayerRenderInfo info = plainInfo();

    // Brightness +0.2 keeps it red, only lighter.
    clearTarget(renderer, 0, 0, 0, 0);
    info.effectFlags.on[kEffectBrightness] = 1;
    info.effectParameters[kEffectBrightness][0] = 0.2f;
    drawLayerTextureInTarget(renderer, packed, 0, 0, &info, false);
    QString message;
    QVERIFY2(pixelNear(readTarget(target), 32, 16, QColor(255, 51, 51), 14, &message), qPrintable(message));

    // Keyed red, through the effect program and through the pre-pass that a shadow needs.
    info.effectFlags.on[kEffectBrightness] = 0;
    info.keySensitivity = 0.4f;
    info.keySmoothing = 0.1f;
    info.keyColor[0] = info.keyColor[3] = 1;
    for (float shadow : {0.0f, 1.0f}) {
      clearTarget(renderer, 0, 0, 0, 0);
      info.shadowOpacity = shadow;
      drawLayerTextureInTarget(renderer, packed, 0, 0, &info, false);
      QCOMPARE(qAlpha(readTarget(target).pixel(32, 16)), 0);
    }
    destroyTexture(packed);
    destroyFrameBuffer(target);
  });
}

void TestEffects::strokeWithEffectsAndKey()
{
  // An opaque square on a transparent 48x27 picture: the outline lies outside the square,
  // also when an effect program draws it.
  QImage picture = solid(48, 27, Qt::transparent);
  QPainter(&picture).fillRect(16, 9, 16, 9, QColor(255, 255, 255));
  FakeLayer *layer = addLayer(1, picture);
  layer->setBorderWidth(0.05f); // 8 frame pixels: an outline of 2
  layer->setBorderStroke(true);
  layer->setBorderStrokeStrength(100);
  layer->setBorderColor(makeVec4Opaque(0, 0, 1));
  layer->setColorEffect(1, -100); // brightness: the square goes black, the outline stays blue
  QImage frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 80, 45, QColor(0, 0, 0));
  QCOMPARE(qAlpha(frame.pixel(80, 45)), 255);
  QVERIFY_PIXEL(frame, 50, 45, QColor(0, 0, 255)); // picture x 15, just left of the square
  QCOMPARE(qAlpha(frame.pixel(20, 45)), 0);         // far outside: nothing

  // With a key the outline follows the keyed subject, not the picture's rectangle.
  _fixture.composition()->removeSegment(1);
  layer = addLayer(2, greenScreen());
  layer->setBorderWidth(0.05f);
  layer->setBorderStroke(true);
  layer->setBorderStrokeStrength(100);
  layer->setBorderColor(makeVec4Opaque(0, 0, 1));
  layer->setKeyEnabled(true);
  layer->setKeySensitivity(40);
  layer->setKeySmoothing(10);
  layer->setKeyColor(makeVec4Opaque(0, 1, 0));
  frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 80, 45, kRed);
  QVERIFY_PIXEL(frame, 50, 45, QColor(0, 0, 255));
  QCOMPARE(qAlpha(frame.pixel(10, 10)), 0);
}

void TestEffects::blurAndInvert()
{
  // Drawn straight: top half white, bottom half black, 64x32 into 64x32.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    AVFrameBuffer *target = createFrameBuffer(64, 32, false);
    QVERIFY(setRenderTarget(renderer, target) > 0);
    QImage picture = solid(64, 32, Qt::black);
    QPainter(&picture).fillRect(0, 0, 64, 16, Qt::white);
    AVTexture *texture = createRGBATexture(64, 32);
    uploadBGRATexture(texture, picture.constBits(), 64, 32, false);
    AVLayerRenderInfo info = plainInfo();
    auto draw = [&] {
      clearTarget(renderer, 0, 0, 0, 1);
      drawLayerTextureInTarget(renderer, texture, 0, 0, &info, false);
      return readTarget(target);
    };

    info.effectFlags.on[kEffectInvert] = 1;
    QImage frame = draw();
    QVERIFY_PIXEL(frame, 32, 4, QColor(0, 0, 0));
    QVERIFY_PIXEL(frame, 32, 28, QColor(255, 255, 255));

    // The blur runs along the picture's height: the edge softens, far rows keep their colour.
    info.effectFlags.on[kEffectInvert] = 0;
    info.effectFlags.on[kEffectGaussianBlur] = 1;
    info.effectParameters[kEffectGaussianBlur][0] = 6;
    frame = draw();
    const int nearEdge = qGray(frame.pixel(32, 14));
    QVERIFY2(nearEdge > 60 && nearEdge < 250, qPrintable(QString::number(nearEdge)));
    QVERIFY2(qGray(frame.pixel(32, 17)) > 5, "the black side gains light near the edge");
    QVERIFY_PIXEL(frame, 32, 1, QColor(255, 255, 255));
    QVERIFY_PIXEL(frame, 32, 30, QColor(0, 0, 0));
    destroyTexture(texture);
    destroyFrameBuffer(target);
  });
}

void TestEffects::filterEffects()
{
  // 64x32 drawn 1:1: left half grey 0.6, right half grey 0.3.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    AVFrameBuffer *target = createFrameBuffer(64, 32, false);
    QVERIFY(setRenderTarget(renderer, target) > 0);
    QImage picture = solid(64, 32, QColor(77, 77, 77));
    QPainter(&picture).fillRect(0, 0, 32, 32, QColor(153, 153, 153));
    AVTexture *texture = createRGBATexture(64, 32);
    uploadBGRATexture(texture, picture.constBits(), 64, 32, false);
    auto draw = [&](int effect, std::initializer_list<float> parameters) {
      AVLayerRenderInfo info = plainInfo();
      info.effectFlags.on[effect] = 1;
      std::copy(parameters.begin(), parameters.end(), info.effectParameters[effect]);
      clearTarget(renderer, 0, 0, 0, 1);
      drawLayerTextureInTarget(renderer, texture, 0, 0, &info, false);
      return readTarget(target);
    };

    // Cells a quarter of the width: every pixel of a cell takes the cell centre's colour.
    QImage frame = draw(kEffectPixellate, {0.25f, 2.0f});
    QCOMPARE(frame.pixel(14, 10), frame.pixel(2, 10));
    QCOMPARE(frame.pixel(46, 10), frame.pixel(34, 10));
    QCOMPARE(qGray(frame.pixel(2, 10)), 153);
    QCOMPARE(qGray(frame.pixel(34, 10)), 77);

    // The vignette colours the corners and leaves the middle.
    frame = draw(kEffectVignette, {0.5f, 0.5f, 0, 0, 1, 0.2f, 0.4f});
    QVERIFY_PIXEL(frame, 0, 0, QColor(0, 0, 255));
    QVERIFY_PIXEL(frame, 30, 16, QColor(153, 153, 153));

    // Red from a tenth to the left, green and blue from a tenth to the right.
    frame = draw(kEffectRedBlueStereo, {0.1f, 0});
    QVERIFY_PIXEL(frame, 30, 16, QColor(153, 77, 77));
    QVERIFY_PIXEL(frame, 10, 16, QColor(153, 153, 153));

    // Sharpening lifts the lighter side of the edge.
    frame = draw(kEffectSharpen, {1.0f});
    QVERIFY2(qGray(frame.pixel(31, 16)) > 200, qPrintable(QString::number(qGray(frame.pixel(31, 16)))));
    QCOMPARE(qGray(frame.pixel(10, 16)), 153);

    // Shadows lift the dark side, highlights at 1 leave the light side.
    frame = draw(kEffectHighlightShadow, {1.0f, 1.0f});
    QVERIFY(qGray(frame.pixel(50, 16)) > 90);
    QCOMPARE(qGray(frame.pixel(10, 16)), 153);

    // Noise varies along a row of one grey.
    frame = draw(kEffectNoise, {0.5f});
    QSet<int> greys;
    for (int x = 0; x < 32; ++x)
      greys.insert(qGray(frame.pixel(x, 16)));
    QVERIFY(greys.size() > 8);

    // The wave moves the edge: up to 5 pixels left lower down the picture, none at its top.
    frame = draw(kEffectWave, {0, 6, 0, 1.0f / 64});
    QCOMPARE(qGray(frame.pixel(28, 0)), 153);
    QCOMPARE(qGray(frame.pixel(28, 31)), 77);
    destroyTexture(texture);
    destroyFrameBuffer(target);
  });
}

void TestEffects::effectProgramCache()
{
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    float parameters[kAVEffectCount][8] = {};
    const int32_t *table = nullptr;
    const AVEffectFlags both = flagsOf({kEffectSaturation, kEffectWhiteBalance});
    const uint32_t rgb = effectProgram(renderer, &both, false, parameters, &table, kAVTextureRGBA);
    QVERIFY(rgb);
    QVERIFY(table[kSlotSaturation] >= 0);
    QVERIFY(table[kSlotTemperature] >= 0);
    QCOMPARE(table[kSlotBrightness], -1); // not looked up: never another uniform's location 0
    QCOMPARE(effectProgram(renderer, &both, false, parameters, &table, kAVTextureRGBA), rgb);
    const uint32_t keyed = effectProgram(renderer, &both, true, parameters, &table, kAVTextureRGBA);
    QVERIFY(keyed && keyed != rgb);
    QVERIFY(table[kSlotColorToReplace] >= 0);
    QCOMPARE(renderer->effectRGB.count, 2);

    // The same effects on a planar YUV picture come from the YUV list, and so on by kind.
    const uint32_t yuv = effectProgram(renderer, &both, false, parameters, &table, kAVTextureYUV420);
    QVERIFY(yuv && yuv != rgb);
    QVERIFY(table[kSlotSamplerV] >= 0);
    QVERIFY(effectProgram(renderer, &both, true, parameters, &table, kAVTextureYUV420));
    QCOMPARE(renderer->effectYUV.count, 2);
    QVERIFY(effectProgram(renderer, &both, false, parameters, &table, kAVTextureNV12));
    QVERIFY(table[kSlotSamplerU] >= 0); // SamplerUV
    QCOMPARE(renderer->effectNV12.count, 1);
    const uint32_t packed = effectProgram(renderer, &both, false, parameters, &table, kAVTextureYUV422);
    QVERIFY(packed && packed != rgb);
    QVERIFY(table[kSlotPictureWidth] >= 0);
    QCOMPARE(renderer->effectUYVY422.count, 1);

    // Every effect switch exists: all of them at once still build, past the first eight lists entries.
    AVEffectFlags all{};
    for (int effect = 0; effect < kAVEffectCount; ++effect) {
      all.on[effect] = 1;
      QVERIFY2(effectProgram(renderer, &all, false, parameters, &table, kAVTextureRGBA), qPrintable(QString::number(effect)));
    }
    QVERIFY(renderer->effectRGB.count > 8);
    QCOMPARE(effectProgram(renderer, &both, false, parameters, &table, kAVTextureRGBA), rgb);
  });
}

void TestEffects::blurRadiusSharesAndFails()
{
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    float parameters[kAVEffectCount][8] = {};
    const int32_t *table = nullptr;
    const AVEffectFlags blur = flagsOf({kEffectGaussianBlur});
    parameters[kEffectGaussianBlur][0] = 7.9f;
    const uint32_t seven = effectProgram(renderer, &blur, false, parameters, &table, kAVTextureRGBA);
    QVERIFY(seven);
    parameters[kEffectGaussianBlur][0] = 7.2f;
    QCOMPARE(effectProgram(renderer, &blur, false, parameters, &table, kAVTextureRGBA), seven);
    parameters[kEffectGaussianBlur][0] = 42;
    QVERIFY(effectProgram(renderer, &blur, false, parameters, &table, kAVTextureRGBA) != seven);
    const int count = renderer->effectRGB.count;
    parameters[kEffectGaussianBlur][0] = 100;
    QCOMPARE(effectProgram(renderer, &blur, false, parameters, &table, kAVTextureRGBA), 0u);
    QCOMPARE(effectProgram(renderer, &blur, false, parameters, &table, kAVTextureRGBA), 0u);
    QCOMPARE(renderer->effectRGB.count, count + 1); // the failure is remembered, not rebuilt
  });
}

void TestEffects::radiusToken()
{
  std::string text = "x GAUSSIAN_BLUR_RADIUS  0 y";
  QVERIFY(replaceRadiusToken(&text[0], 7));
  QCOMPARE(text, std::string("x GAUSSIAN_BLUR_RADIUS  7 y"));
  QVERIFY(replaceRadiusToken(&text[0], 42));
  QCOMPARE(text, std::string("x GAUSSIAN_BLUR_RADIUS 42 y"));
  for (int radius : {100, -3}) {
    std::string unchanged = "x GAUSSIAN_BLUR_RADIUS  0 y";
    QVERIFY(!replaceRadiusToken(&unchanged[0], radius));
    QCOMPARE(unchanged, std::string("x GAUSSIAN_BLUR_RADIUS  0 y"));
  }
  std::string missing = "GAUSSIAN_BLUR_RADIUS0";
  QVERIFY(!replaceRadiusToken(&missing[0], 5));
  std::string tooShort = "GAUSSIAN_BLUR_RADIUS 0";
  QVERIFY(!replaceRadiusToken(&tooShort[0], 5));
}

TAVO_TEST_GUI_MAIN(TestEffects)
#include "tst_effects.moc"
