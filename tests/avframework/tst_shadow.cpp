// The layer shadow: the generated blur shaders on this GL, their tap counts and cache, and the
// shadow in composed frames (offset in layer space, blurred, masked by the layer).
#include "testenv.h"

#include "avcomposition.h"
#include "avglglue.h"
#include "avglrenderer.h"
#include "composefixture.h"
#include "avshadow.h"
#include "fakesegments.h"
#include "glprobe.h"

#include <QPainter>
#include <QRegularExpression>
#include <clocale>
#include <cmath>
#include <string>
#include <vector>

namespace {
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

// A transparent 32x18 picture with an opaque red middle: in a 160x90 frame the red covers
// x 40..120 and y 20..65, its edges filtered over 5 pixels.
QImage redMiddle()
{
  QImage picture(32, 18, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter(&picture).fillRect(8, 4, 16, 9, kRed);
  return picture;
}

int occurrences(const char *text, const char *what)
{
  int count = 0;
  for (const char *at = strstr(text, what); at; at = strstr(at + 1, what))
    ++count;
  return count;
}
} // namespace

class TestShadow : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void generatedBlurBuildsOnThisGL();
  void tapCounts();
  void largeRadiusIsClamped();
  void textStopsAtCapacity();
  void textKeepsDecimalPoint();
  void programsCachedPerRadius();
  void shadowOffsetAndMasked();
  void shadowBlurredAndFaded();
  void shadowTurnsWithLayer();
  void keyedLayerCastsSubjectShadow();
  void framedLayerCastsFrameShadow();
  void reducedBlurMatchesFullSize_data();
  void reducedBlurMatchesFullSize();
  void narrowedAreaMatchesWholeBox_data();
  void narrowedAreaMatchesWholeBox();

private:
  FakeLayer *addShadowedLayer(const QImage &picture, float offsetX, float offsetY);
  ComposeFixture _fixture;
};

void TestShadow::initTestCase()
{
  QVERIFY2(_fixture.startHost(), "no GL context: run under Xvfb");
}

void TestShadow::init()
{
  QVERIFY(_fixture.startComposition(makeVec4Opaque(1, 1, 1)));
}

void TestShadow::cleanup()
{
  if (!QTest::currentTestFailed())
    QCOMPARE(_fixture.glError(), 0u);
  _fixture.stopComposition();
}

FakeLayer *TestShadow::addShadowedLayer(const QImage &picture, float offsetX, float offsetY)
{
  auto *layer = new FakeLayer(0, 10, picture);
  layer->setId(1);
  layer->setShadowOpacity(1);
  layer->setShadowColor(makeVec4Opaque(0, 0, 0));
  layer->setShadowOffset(offsetX / 160, offsetY / 160); // fractions of the frame width
  _fixture.composition()->addSegment(layer, 1);
  return layer;
}

void TestShadow::generatedBlurBuildsOnThisGL()
{
  // GLSL ES 1.00 text inside the desktop core context: it must compile and link here.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    for (int radius : {1, 10, 62, 102, 500}) {
      uint32_t blur = 0, composite = 0;
      const int32_t *blurSlots = nullptr, *compositeSlots = nullptr;
      QVERIFY2(shadowBlurPrograms(renderer, radius, &blur, &blurSlots, &composite, &compositeSlots),
               qPrintable(QString("radius %1").arg(radius)));
      QVERIFY(blur && composite);
      QVERIFY(blurSlots[kSlotShadowSampler] >= 0 && blurSlots[kSlotTexelWidthOffset] >= 0);
      QVERIFY(compositeSlots[kSlotDepthSampler] >= 0 && compositeSlots[kSlotDrawShadowColor] >= 0);
      QVERIFY(compositeSlots[kSlotOpacity] >= 0 && compositeSlots[kSlotTexelHeightOffset] >= 0);
    }
  });
}

void TestShadow::tapCounts()
{
  double sigma = 0;
  std::vector<char> vertex(8192), fragment(8192);

  // Radius 1: four taps, two pairs, all in the vertex stage.
  int taps = shadowBlurTaps(1, &sigma);
  QCOMPARE(taps, 4);
  QVERIFY(buildShadowBlurVertexShader(taps, sigma, vertex.data(), 8192) > 0);
  QVERIFY(buildShadowBlurFragmentShader(taps, sigma, false, fragment.data(), 8192) > 0);
  QVERIFY(strstr(vertex.data(), "varying vec2 blurCoordinates[5];"));
  QCOMPARE(occurrences(fragment.data(), "singleStepOffset"), 0);
  QVERIFY(strncmp(fragment.data(), "#version 100\nprecision highp float;", 35) == 0);

  // Radius 10: 22 taps, seven pairs interpolated and four more sampled in the fragment stage.
  taps = shadowBlurTaps(10, &sigma);
  QCOMPARE(taps, 22);
  QVERIFY(buildShadowBlurVertexShader(taps, sigma, vertex.data(), 8192) > 0);
  QVERIFY(buildShadowBlurFragmentShader(taps, sigma, true, fragment.data(), 8192) > 0);
  QVERIFY(strstr(vertex.data(), "blurCoordinates[15]"));
  QCOMPARE(occurrences(fragment.data(), "blurCoordinates[0] + singleStepOffset"), 4);
  QCOMPARE(occurrences(fragment.data(), "blurCoordinates[0] - singleStepOffset"), 4);
  QVERIFY(strstr(fragment.data(), "depthSampler"));

  // The weights of all taps add up to one.
  double sum = 0;
  for (const char *at = strstr(fragment.data(), ") * "); at; at = strstr(at + 1, ") * "))
    sum += atof(at + 4);
  QVERIFY2(std::fabs(sum - 1) < 0.01, qPrintable(QString::number(sum)));
}

void TestShadow::largeRadiusIsClamped()
{
  // Up to 102 the tap formula has a number; from 103 on the term under the root is negative and
  // the blur uses the sigma with the most taps instead of failing.
  double sigma = 0;
  const int at102 = shadowBlurTaps(102, &sigma);
  QCOMPARE(sigma, 102.0);
  QVERIFY(at102 >= 2 && at102 % 2 == 0);
  for (int radius : {103, 400, 100000}) {
    const int taps = shadowBlurTaps(radius, &sigma);
    QCOMPARE(taps, 62);
    QVERIFY2(std::fabs(sigma - 61.94) < 0.01, qPrintable(QString::number(sigma)));
  }
  QCOMPARE(shadowBlurTaps(62, &sigma), 62);
  std::vector<char> fragment(8192);
  QVERIFY(buildShadowBlurFragmentShader(62, sigma, true, fragment.data(), 8192) > 0);
  QVERIFY(!strstr(fragment.data(), "nan"));
}

void TestShadow::textStopsAtCapacity()
{
  std::vector<char> buffer(300, 'x');
  QCOMPARE(buildShadowBlurFragmentShader(22, 10, true, buffer.data(), 256), -1);
  QVERIFY(strlen(buffer.data()) < 256);
  for (size_t i = 256; i < buffer.size(); ++i)
    QCOMPARE(buffer[i], 'x');
  QCOMPARE(buildShadowBlurVertexShader(22, 10, buffer.data(), 0), -1);
}

void TestShadow::textKeepsDecimalPoint()
{
  // A user locale that writes "0,5" must not reach the GLSL text.
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const char *found = nullptr;
  for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
    if ((found = std::setlocale(LC_NUMERIC, name)))
      break;
  std::vector<char> vertex(8192), fragment(8192);
  double sigma = 0;
  const int taps = shadowBlurTaps(10, &sigma);
  buildShadowBlurVertexShader(taps, sigma, vertex.data(), 8192);
  buildShadowBlurFragmentShader(taps, sigma, true, fragment.data(), 8192);
  std::setlocale(LC_NUMERIC, previous.c_str());
  if (!found)
    QSKIP("no decimal-comma locale installed");
  const QRegularExpression comma("\\d,\\d");
  QVERIFY2(!QString(vertex.data()).contains(comma), vertex.data());
  QVERIFY2(!QString(fragment.data()).contains(comma), fragment.data());
}

void TestShadow::programsCachedPerRadius()
{
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    uint32_t first = 0, again = 0, composite = 0;
    QVERIFY(shadowBlurPrograms(renderer, 7, &first, nullptr, nullptr, nullptr));
    QVERIFY(shadowBlurPrograms(renderer, 7, &again, nullptr, nullptr, nullptr));
    QCOMPARE(again, first);
    QCOMPARE(renderer->shadowBlur.count, 1);

    // Radius 0 has no blur pass; its composite is the resource shader.
    const int32_t *table = nullptr;
    QVERIFY(shadowBlurPrograms(renderer, 0, &again, nullptr, &composite, &table));
    QCOMPARE(again, 0u);
    QVERIFY(composite);
    QCOMPARE(table[kSlotTexelHeightOffset], -1);

    for (int radius = 1; radius <= 10; ++radius)
      QVERIFY(shadowBlurPrograms(renderer, radius, nullptr, nullptr, nullptr, nullptr));
    QCOMPARE(renderer->shadowBlur.count, 11); // past the first eight
    QVERIFY(shadowBlurPrograms(renderer, 7, &again, nullptr, nullptr, nullptr));
    QCOMPARE(again, first);
  });
}

void TestShadow::shadowOffsetAndMasked()
{
  // A hard shadow 16 right and 8 down: x 56..136, y 28..73.
  addShadowedLayer(redMiddle(), 16, 8);
  const QImage frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 128, 60, kBlack);  // right of the layer
  QVERIFY_PIXEL(frame, 80, 45, kRed);     // the layer is not darkened by its own shadow
  QVERIFY_PIXEL(frame, 110, 60, kRed);
  QVERIFY_PIXEL(frame, 45, 25, kRed);
  QVERIFY_PIXEL(frame, 50, 72, kWhite);   // left of the shadow
  QVERIFY_PIXEL(frame, 140, 45, kWhite);  // right of it
  QVERIFY_PIXEL(frame, 80, 10, kWhite);   // above the layer
}

void TestShadow::shadowBlurredAndFaded()
{
  FakeLayer *layer = addShadowedLayer(redMiddle(), 16, 8);
  layer->setShadowRadius(8.0f / 160);
  QImage frame = _fixture.compose(1.0);
  // Across the shadow's right edge (x 136) at y 50 the grey rises steadily.
  const int inside = qGray(frame.pixel(126, 50)), edge = qGray(frame.pixel(136, 50)), outside = qGray(frame.pixel(146, 50));
  const QString seen = QString("%1 %2 %3").arg(inside).arg(edge).arg(outside);
  QVERIFY2(inside < 60, qPrintable(seen));
  QVERIFY2(edge > 80 && edge < 180, qPrintable(seen));
  QVERIFY2(outside > 200, qPrintable(seen));
  // The soft fringe reaches past the footprint on every side.
  QVERIFY2(qGray(frame.pixel(141, 50)) < 240, qPrintable(QString::number(qGray(frame.pixel(141, 50)))));
  QVERIFY2(qGray(frame.pixel(100, 78)) < 240, qPrintable(QString::number(qGray(frame.pixel(100, 78)))));
  QVERIFY_PIXEL(frame, 80, 45, kRed);

  // Half shadow opacity at half layer opacity: a quarter of the darkness.
  layer->setShadowRadius(0);
  layer->setShadowOpacity(0.5f);
  layer->setTransparency(0.5f);
  frame = _fixture.compose(1.0);
  QString message;
  QVERIFY2(pixelNear(frame, 128, 60, QColor(191, 191, 191), 8, &message), qPrintable(message));
}

void TestShadow::shadowTurnsWithLayer()
{
  // Turned 90 degrees the red covers x 60..105, y 5..85; the offset (20, 0) follows the
  // layer's own x axis, which now points down the screen.
  FakeLayer *layer = addShadowedLayer(redMiddle(), 20, 0);
  layer->setRotation(90);
  const QImage frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 80, 88, kBlack);   // below the turned layer
  QVERIFY_PIXEL(frame, 80, 45, kRed);
  QVERIFY_PIXEL(frame, 110, 45, kWhite);  // nothing to the right
  QVERIFY_PIXEL(frame, 80, 2, kWhite);
}

void TestShadow::keyedLayerCastsSubjectShadow()
{
  // A green screen with a red subject at x 53.3..106.7, y 30..60: keyed once before the
  // shadow, so only the subject casts one.
  QImage picture(48, 27, QImage::Format_ARGB32_Premultiplied);
  picture.fill(QColor(0, 255, 0));
  QPainter(&picture).fillRect(16, 9, 16, 9, kRed);
  FakeLayer *layer = addShadowedLayer(picture, 16, 8);
  layer->setKeyEnabled(true);
  layer->setKeySensitivity(40);
  layer->setKeySmoothing(10);
  layer->setKeyColor(makeVec4Opaque(0, 1, 0));
  const QImage frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 115, 64, kBlack);
  QVERIFY_PIXEL(frame, 80, 45, kRed);
  QVERIFY_PIXEL(frame, 20, 20, kWhite);
  QVERIFY_PIXEL(frame, 140, 80, kWhite);
}

void TestShadow::framedLayerCastsFrameShadow()
{
  // An 8-pixel blue frame around the whole fitted picture casts a shadow too: the left side's
  // lands on x 16..24 over the picture's transparent margin; the frame itself stays blue.
  FakeLayer *layer = addShadowedLayer(redMiddle(), 16, 8);
  layer->setBorderWidth(8.0f / 160);
  layer->setBorderColor(makeVec4Opaque(0, 0, 1));
  const QImage frame = _fixture.compose(1.0);
  QVERIFY_PIXEL(frame, 20, 45, kBlack);
  QVERIFY_PIXEL(frame, 4, 45, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 30, 45, kWhite);
  QVERIFY_PIXEL(frame, 128, 60, kBlack); // the red middle's shadow as before
  QVERIFY_PIXEL(frame, 80, 45, kRed);
}

TAVO_TEST_GUI_MAIN(TestShadow)
void TestShadow::reducedBlurMatchesFullSize_data()
{
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<int>("radius"); // pixels
  QTest::newRow("small, full size") << 320 << 180 << 3;
  QTest::newRow("at half size") << 320 << 180 << 8;
  QTest::newRow("least at half size") << 320 << 180 << 6;
  QTest::newRow("odd, at a quarter size") << 320 << 180 << 13;
  QTest::newRow("least at a quarter size") << 320 << 180 << 12;
  QTest::newRow("at a quarter size") << 320 << 180 << 16;
  QTest::newRow("wide, at a quarter size") << 320 << 180 << 41;
  QTest::newRow("widest") << 320 << 180 << 120;
  QTest::newRow("height not divisible by 4") << 160 << 90 << 20;
}

// Shadows blurred at a fraction of the frame's size against the blur at its size, over the
// pixels the shadow darkens.
void TestShadow::reducedBlurMatchesFullSize()
{
  QFETCH(int, width);
  QFETCH(int, height);
  QFETCH(int, radius);
  _fixture.stopComposition();
  QVERIFY(_fixture.startComposition(makeVec4Opaque(1, 1, 1), width, height));
  auto *layer = new FakeLayer(0, 10, redMiddle());
  layer->setId(1);
  layer->setShadowOpacity(0.8f);
  layer->setShadowColor(makeVec4Opaque(0, 0, 0.2f));
  layer->setShadowOffset(0.1f, 0.05f);
  layer->setShadowRadius(float(radius) / width);
  _fixture.composition()->addSegment(layer, 1);

  const auto fullSize = [this](bool full) {
    _fixture.withRenderer([full](AVGLRenderer *renderer) { renderer->fullSizeShadowBlur = full; });
  };
  fullSize(true);
  const QImage reference = _fixture.compose(1.0).convertToFormat(QImage::Format_RGB32);
  fullSize(false);
  const QImage reduced = _fixture.compose(1.0).convertToFormat(QImage::Format_RGB32);
  layer->setShadowOpacity(0);
  const QImage plain = _fixture.compose(1.0).convertToFormat(QImage::Format_RGB32);

  double sum = 0;
  int count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (reference.pixel(x, y) == plain.pixel(x, y))
        continue;
      const QRgb a = reference.pixel(x, y), b = reduced.pixel(x, y);
      for (int shift : {0, 8, 16}) {
        const int d = int((a >> shift) & 0xff) - int((b >> shift) & 0xff);
        sum += d * d;
      }
      count += 3;
    }
  QVERIFY(count > 300);
  const double mse = sum / count;
  const double db = mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
  QVERIFY2(db >= 40, qPrintable(QString("%1 dB over %2 shadow pixels").arg(db).arg(count / 3)));
}

void TestShadow::narrowedAreaMatchesWholeBox_data()
{
  QTest::addColumn<bool>("opaque");
  QTest::addColumn<float>("rotation"); // degrees
  QTest::addColumn<float>("scale");
  QTest::addColumn<float>("corner"); // fraction of the frame width
  QTest::addColumn<float>("tilt");   // degrees about x
  QTest::addColumn<QPointF>("offset"); // pixels
  QTest::addColumn<int>("radius");     // pixels
  QTest::addColumn<float>("transparency");
  QTest::addColumn<int>("width"); // of the frame, 16:9
  QTest::newRow("opaque, hard") << true << 0.0f << 0.7f << 0.0f << 0.0f << QPointF(16, 8) << 0 << 0.0f << 320;
  QTest::newRow("opaque, turned, blurred at a quarter size")
    << true << 30.0f << 0.6f << 0.0f << 0.0f << QPointF(6, 4) << 16 << 0.0f << 320;
  QTest::newRow("opaque, rounded, turned past a right angle")
    << true << 100.0f << 0.5f << 0.05f << 0.0f << QPointF(4, 6) << 8 << 0.0f << 320;
  QTest::newRow("opaque, rounded, blurred at a quarter size")
    << true << 7.5f << 0.6f << 0.03f << 0.0f << QPointF(3, 3) << 20 << 0.0f << 320;
  QTest::newRow("opaque, much rounded") << true << 15.0f << 0.8f << 0.1f << 0.0f << QPointF(-6, 5) << 8 << 0.0f << 320;
  QTest::newRow("opaque, blurred at full size")
    << true << 12.0f << 0.8f << 0.02f << 0.0f << QPointF(3, 3) << 3 << 0.0f << 320;
  QTest::newRow("opaque, offset past the blur")
    << true << 20.0f << 0.5f << 0.0f << 0.0f << QPointF(40, 30) << 4 << 0.0f << 320;
  QTest::newRow("opaque, tilted") << true << 10.0f << 0.7f << 0.0f << 40.0f << QPointF(6, 6) << 8 << 0.0f << 320;
  QTest::newRow("opaque, nearly edge-on")
    << true << 10.0f << 0.7f << 0.0f << 89.5f << QPointF(6, 6) << 8 << 0.0f << 320;
  QTest::newRow("opaque, half transparent")
    << true << 25.0f << 0.6f << 0.03f << 0.0f << QPointF(6, 4) << 12 << 0.5f << 320;
  // Room for the footprint's own hole at a quarter size.
  QTest::newRow("opaque, rounded, large frame")
    << true << 7.5f << 0.6f << 0.02f << 0.0f << QPointF(13, 13) << 19 << 0.0f << 1280;
  QTest::newRow("opaque, large frame, far offset")
    << true << -15.0f << 0.5f << 0.0f << 0.0f << QPointF(120, -50) << 16 << 0.0f << 1280;
  QTest::newRow("transparent picture, turned")
    << false << 30.0f << 0.6f << 0.0f << 0.0f << QPointF(6, 4) << 16 << 0.0f << 320;
}

// A shadow drawn only where it can show (around a turned footprint, not inside an opaque layer)
// against the same shadow drawn over the whole box around it.
void TestShadow::narrowedAreaMatchesWholeBox()
{
  QFETCH(bool, opaque);
  QFETCH(float, rotation);
  QFETCH(float, scale);
  QFETCH(float, corner);
  QFETCH(float, tilt);
  QFETCH(QPointF, offset);
  QFETCH(int, radius);
  QFETCH(float, transparency);
  QFETCH(int, width);
  _fixture.stopComposition();
  QVERIFY(_fixture.startComposition(makeVec4Opaque(1, 1, 1), width, width * 9 / 16));
  QImage picture(64, 36, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, qRgb(200, x * 4, y * 7));
  auto *layer = new FakeLayer(0, 10, opaque ? picture : redMiddle());
  layer->setId(1);
  layer->setOpaque(opaque);
  layer->setRotation(rotation);
  layer->setRotationX(tilt);
  layer->setScale(scale, scale);
  layer->setCornerRadius(corner);
  layer->setTransparency(transparency);
  layer->setShadowOpacity(0.8f);
  layer->setShadowColor(makeVec4Opaque(0, 0, 0.2f));
  layer->setShadowOffset(float(offset.x()) / float(width), float(offset.y()) / float(width));
  layer->setShadowRadius(float(radius) / float(width));
  _fixture.composition()->addSegment(layer, 1);

  const auto wholeBox = [this](bool whole) {
    _fixture.withRenderer([whole](AVGLRenderer *renderer) { renderer->wholeShadowBox = whole; });
  };
  wholeBox(true);
  const QImage reference = _fixture.compose(1.0);
  wholeBox(false);
  // What a pass leaves undrawn keeps what the last frame left there. Full shadow and no layer
  // there: a pass that reads such a texel shows it.
  _fixture.withRenderer([](AVGLRenderer *renderer) {
    for (const AVOffscreenTarget &target : renderer->offscreen) {
      if (!target.framebuffer)
        continue;
      avGL()->glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
      avGL()->glClearColor(1, 1, 1, 1);
      avGL()->glClear(GL_COLOR_BUFFER_BIT);
    }
  });
  const QImage narrowed = _fixture.compose(1.0);
  layer->setShadowOpacity(0);
  const QImage plain = _fixture.compose(1.0);

  int shadowed = 0, differing = 0;
  for (int y = 0; y < reference.height(); ++y)
    for (int x = 0; x < reference.width(); ++x) {
      shadowed += reference.pixel(x, y) != plain.pixel(x, y);
      differing += reference.pixel(x, y) != narrowed.pixel(x, y);
    }
  QVERIFY2(shadowed > 200, qPrintable(QString("%1 shadowed pixels").arg(shadowed)));
  QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ").arg(differing)));
}

#include "tst_shadow.moc"
