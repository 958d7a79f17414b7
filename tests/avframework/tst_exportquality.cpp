// What the faster export must not change in the picture: a whole movie of clip, scaled picture,
// text and music against the composition composed frame by frame, and layer edges drawn with
// multisampling only where needed against the always-multisampled frame.
#include "testenv.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avexporter.h"
#include "avheadlessrenderer.h"
#include "avglresources.h"
#include "avimageloader.h"
#include "avlayersegment.h"
#include "mediafixtures.h"

#include <QTemporaryDir>
#include <cmath>
#include <memory>

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

using namespace MediaFixtures;

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 30;
constexpr float kDegrees = float(M_PI / 180);

// Peak signal-to-noise ratio in dB over the pixels where mask is set (all when it is empty).
double psnr(const QImage &a, const QImage &b, const QVector<bool> &mask = {})
{
  const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
  if (x.size() != y.size())
    return 0;
  double sum = 0;
  qint64 count = 0;
  for (int row = 0; row < x.height(); ++row) {
    const uchar *p = x.constScanLine(row), *q = y.constScanLine(row);
    for (int column = 0; column < x.width(); ++column) {
      if (!mask.isEmpty() && !mask[row * x.width() + column])
        continue;
      for (int i = column * 3; i < column * 3 + 3; ++i)
        sum += double(p[i] - q[i]) * (p[i] - q[i]);
      count += 3;
    }
  }
  if (count == 0)
    return 0;
  const double mse = sum / double(count);
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Pixels within two of a pixel of another colour in the image: the band along a layer's edges.
QVector<bool> edgeBand(const QImage &image)
{
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const int w = rgb.width(), h = rgb.height();
  QVector<bool> band(w * h, false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const QRgb centre = rgb.pixel(x, y);
      for (int dy = -2; dy <= 2 && !band[y * w + x]; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
          const int u = x + dx, v = y + dy;
          if (u >= 0 && v >= 0 && u < w && v < h && rgb.pixel(u, v) != centre) {
            band[y * w + x] = true;
            break;
          }
        }
    }
  return band;
}

// Band pixels of neither the background's nor the layer's colour: the antialiased ones.
int blendedPixels(const QImage &image, const QVector<bool> &band, QRgb background, QRgb layer)
{
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  int count = 0;
  for (int i = 0; i < band.size(); ++i) {
    const QRgb p = rgb.pixel(i % rgb.width(), i / rgb.width());
    count += band[i] && p != background && p != layer;
  }
  return count;
}

// The picture as it comes back from a 4:2:0 movie with no loss in the encoder: converted the
// way the exporter converts, back the way the decoding helper does.
QImage through420(const QImage &image)
{
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  const int w = rgb.width(), h = rgb.height();
  uint8_t *planes[4] = {};
  int strides[4] = {};
  if (av_image_alloc(planes, strides, w, h, AV_PIX_FMT_YUV420P, 32) < 0)
    return QImage();
  SwsContext *there = sws_getContext(w, h, AV_PIX_FMT_RGB24, w, h, AV_PIX_FMT_YUV420P, SWS_POINT, nullptr, nullptr,
                                     nullptr);
  SwsContext *back = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr,
                                    nullptr);
  const uint8_t *source[1] = {rgb.constBits()};
  const int sourceStride[1] = {int(rgb.bytesPerLine())};
  sws_scale(there, source, sourceStride, 0, h, planes, strides);
  QImage result(w, h, QImage::Format_RGB888);
  uint8_t *target[1] = {result.bits()};
  const int targetStride[1] = {int(result.bytesPerLine())};
  sws_scale(back, planes, strides, 0, h, target, targetStride);
  sws_freeContext(there);
  sws_freeContext(back);
  av_freep(&planes[0]);
  return result;
}

void collect(AVExporter *, int message, double value, void *user)
{
  if (message == kAVExportFinished)
    *static_cast<double *>(user) = value;
}
} // namespace

class TestExportQuality : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();
  void layerEdgesMatchMultisampled_data();
  void layerEdgesMatchMultisampled();
  void wholeMovieMatchesCompose();
  void layersUnderFullFrameMatchPreview_data();
  void layersUnderFullFrameMatchPreview();
  void videoAsBGRAMatchesPlanes_data();
  void videoAsBGRAMatchesPlanes();
  void textMatchesPreview_data();
  void textMatchesPreview();

private:
  // PSNR of the exported frame at 0.5 s against the preview's; -1 when nothing could be composed.
  double exportAgainstPreview();

  std::unique_ptr<AVHeadlessGLHost> _host;
  std::unique_ptr<AVImageLoader> _loader;
  std::unique_ptr<AVComposition> _composition;
  std::unique_ptr<AVEngine> _engine;
  std::unique_ptr<QTemporaryDir> _dir;
};

void TestExportQuality::initTestCase()
{
  _host = std::make_unique<AVHeadlessGLHost>();
  QVERIFY2(_host->isValid(), "no GL context: run under Xvfb");
  _loader = std::make_unique<AVImageLoader>();
}

void TestExportQuality::init()
{
  _dir = std::make_unique<QTemporaryDir>();
  _composition = std::make_unique<AVComposition>(kWidth, kHeight, 44100, 2, nullptr);
  _composition->setRenderSize(kWidth, kHeight, true);
  _host->setComposition(_composition.get());
  _engine = std::make_unique<AVEngine>(_composition.get(), _loader.get(), nullptr);
}

void TestExportQuality::cleanup()
{
  _engine.reset();
  _composition.reset();
  _host->setComposition(nullptr);
  _dir.reset();
}

void TestExportQuality::layerEdgesMatchMultisampled_data()
{
  QTest::addColumn<float>("degrees");
  QTest::addColumn<float>("scale");
  QTest::addColumn<float>("x"); // position, fractions of the frame from its centre
  QTest::addColumn<float>("y");
  QTest::addColumn<bool>("blended"); // the edges have partly covered pixels
  QTest::newRow("rotated 17, scaled 0.37") << 17.0f << 0.37f << 0.0f << 0.0f << true;
  QTest::newRow("upright, scaled 0.37") << 0.0f << 0.37f << 0.0f << 0.0f << true;
  QTest::newRow("upright, moved by a fraction of a pixel") << 0.0f << 0.5f << 0.5f / kWidth << 0.0f << true;
  QTest::newRow("half size on whole pixels") << 0.0f << 0.5f << 0.25f << 0.25f << false;
}

void TestExportQuality::layerEdgesMatchMultisampled()
{
  QFETCH(float, degrees);
  QFETCH(float, scale);
  QFETCH(float, x);
  QFETCH(float, y);
  QFETCH(bool, blended);
  const QString path = _dir->filePath("plain.png");
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  const QRgb layerColour = qRgb(230, 200, 40), backgroundColour = qRgb(20, 30, 100);
  picture.fill(layerColour);
  QVERIFY(picture.save(path));
  _engine->setBackgroundColor(makeVec4Opaque(20 / 255.0f, 30 / 255.0f, 100 / 255.0f));
  _engine->addImageSegment(1, path.toUtf8().constData(), false, 0, 2);
  _engine->setSegmentProperty(1, kAVPropertyRotation, degrees * kDegrees);
  _engine->setSegmentProperty(1, kAVPropertyScale, scale, scale);
  _engine->setSegmentProperty(1, kAVPropertyPosition, x, y);

  AVHeadlessRenderer renderer(_host.get(), _composition.get());
  QVERIFY(renderer.isValid());
  QVERIFY(QTest::qWaitFor([&] {
    renderer.compose(1.0, true);
    return _composition->isReadyAt(1.0);
  }, 5000));
  const QImage exported = renderer.compose(1.0, true);
  _composition->setAlwaysMultisample(true);
  const QImage reference = renderer.compose(1.0, true);
  _composition->setAlwaysMultisample(false);

  const QVector<bool> band = edgeBand(reference);
  QVERIFY(band.count(true) > 100);
  const double db = psnr(exported, reference, band);
  QVERIFY2(db >= 40, qPrintable(QString("%1 dB over the edge band").arg(db)));
  const int mixed = blendedPixels(exported, band, backgroundColour, layerColour);
  QVERIFY2(blended ? mixed > 20 : mixed == 0, qPrintable(QString("%1 blended edge pixels").arg(mixed)));
  renderer.compose(-100);
}

// Clip, picture at a third of the frame with its corner at (20,20), text and music: every
// exported frame against the same time composed offscreen and put through the movie's 4:2:0.
void TestExportQuality::wholeMovieMatchesCompose()
{
  const double seconds = 2.0;
  const QString clip = _dir->filePath("clip.mp4"), picture = _dir->filePath("picture.png");
  const QString music = _dir->filePath("music.wav");
  QVERIFY(writeColorVideo(clip, kWidth, kHeight, kFps, int(seconds * kFps)));
  QVERIFY(writePicture(picture, kWidth, kHeight));
  QVERIFY(writeTone(music, seconds, 330, 44100));
  _engine->addVideoSegment(1, clip.toUtf8().constData(), 0, 0, float(seconds), 0, true);
  _engine->addImageSegment(2, picture.toUtf8().constData(), false, 0, float(seconds));
  _engine->setSegmentProperty(2, kAVPropertyScale, 1 / 3.0f, 1 / 3.0f);
  _engine->setSegmentProperty(2, kAVPropertyPosition, (20 + kWidth / 6.0f - kWidth / 2.0f) / kWidth,
                              (kHeight / 2.0f - 20 - kHeight / 6.0f) / kHeight);
  _engine->addTextSegment(3, "Hello", 0, float(seconds));
  _engine->addAudioSegment(4, music.toUtf8().constData(), 0, 0, float(seconds));

  const QString path = _dir->filePath("movie.mp4");
  double result = 1;
  {
    AVExporter exporter(kWidth, kHeight, 20000000, kFps, 0, false, 44100, 2, 128000, 0, path.toUtf8().constData(),
                        nullptr);
    exporter.setComposition(_composition.get());
    exporter.setImageLoader(_loader.get());
    exporter.setCallback(collect, &result);
    exporter.setGLHost(_host.get());
    _host->setExportOwner(exporter.contextOwner());
    exporter.start();
    exporter.wait();
    _host->setExportOwner(nullptr);
  }
  QCOMPARE(result, 0.0);
  const DecodedVideo video = decodeVideo(path);
  QVERIFY(video.ok);
  QCOMPARE(video.frames.size(), int(seconds * kFps));

  AVHeadlessRenderer renderer(_host.get(), _composition.get());
  QVERIFY(renderer.isValid());
  _composition->seek(0, true);
  for (int index = 0; index < video.frames.size(); ++index) {
    const double t = double(index) / kFps;
    QVERIFY(QTest::qWaitFor([&] {
      renderer.compose(t, true);
      return _composition->isReadyAt(t);
    }, 5000));
    const QImage composed = through420(renderer.compose(t, true));
    const double db = psnr(composed, video.frames[index]);
    QVERIFY2(db >= 40, qPrintable(QString("frame %1: %2 dB").arg(index).arg(db)));
  }
  renderer.compose(-100);
}

void TestExportQuality::layersUnderFullFrameMatchPreview_data()
{
  QTest::addColumn<QString>("top"); // "video", "picture", or "picture with a hole"
  QTest::addColumn<int>("property"); // 0: none
  QTest::addColumn<float>("value");
  QTest::addColumn<float>("value2");
  const float narrower = 1 - 1.0f / kWidth, lower = 1 - 1.0f / kHeight;
  QTest::newRow("video filling the frame") << "video" << 0 << 0.0f << 0.0f;
  QTest::newRow("video enlarged") << "video" << int(kAVPropertyScale) << 1.2f << 1.2f;
  QTest::newRow("video shrunk by a pixel") << "video" << int(kAVPropertyScale) << narrower << lower;
  QTest::newRow("video moved by a pixel") << "video" << int(kAVPropertyPosition) << 1.0f / kWidth << 0.0f;
  QTest::newRow("video moved by a fraction of a pixel") << "video" << int(kAVPropertyPosition) << 0.0f << 0.3f / kHeight;
  QTest::newRow("video slightly transparent") << "video" << int(kAVPropertyTransparency) << 0.02f << 0.0f;
  QTest::newRow("video rotated") << "video" << int(kAVPropertyRotation) << kDegrees << 0.0f;
  QTest::newRow("video cropped") << "video" << int(kAVPropertyCropTopLeft) << 0.1f << 0.1f;
  QTest::newRow("video with rounded corners") << "video" << int(kAVPropertyCornerRadius) << 0.05f << 0.0f;
  QTest::newRow("video shadowed") << "video" << int(kAVPropertyShadowOpacity) << 1.0f << 0.0f;
  QTest::newRow("picture filling the frame") << "picture" << 0 << 0.0f << 0.0f;
  QTest::newRow("picture shrunk by a pixel") << "picture" << int(kAVPropertyScale) << narrower << lower;
  QTest::newRow("picture slightly transparent") << "picture" << int(kAVPropertyTransparency) << 0.02f << 0.0f;
  QTest::newRow("picture with a hole") << "picture with a hole" << 0 << 0.0f << 0.0f;
}

// A picture under a layer as large as the frame: the exported frame, which leaves out what a
// full-frame opaque layer hides, against the preview's frame, which draws everything.
void TestExportQuality::layersUnderFullFrameMatchPreview()
{
  QFETCH(QString, top);
  QFETCH(int, property);
  QFETCH(float, value);
  QFETCH(float, value2);
  const QString clip = _dir->filePath("clip.mp4"), picture = _dir->filePath("picture.png");
  const QString over = _dir->filePath("over.png");
  QVERIFY(writePicture(picture, kWidth, kHeight));
  _engine->setBackgroundColor(makeVec4Opaque(0.1f, 0.9f, 0.2f));
  _engine->addImageSegment(1, picture.toUtf8().constData(), false, 0, 1);
  if (top == "video") {
    QVERIFY(writeColorVideo(clip, kWidth, kHeight, kFps, kFps));
    _engine->addVideoSegment(2, clip.toUtf8().constData(), 0, 0, 1, 0, true);
  } else {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(qRgb(200, 60, 160));
    // A clear square, large enough to count in the whole frame's figure.
    if (top != "picture")
      for (int y = 100; y < 140; ++y)
        for (int x = 100; x < 140; ++x)
          image.setPixel(x, y, qRgba(0, 0, 0, 0));
    QVERIFY(image.save(over));
    _engine->addImageSegment(2, over.toUtf8().constData(), false, 0, 1);
  }
  if (property)
    _engine->setSegmentProperty(2, property, value, value2);

  const double db = exportAgainstPreview();
  QVERIFY2(db >= 40, qPrintable(QString("%1 dB").arg(db)));
}

double TestExportQuality::exportAgainstPreview()
{
  AVHeadlessRenderer renderer(_host.get(), _composition.get());
  const double t = 0.5;
  if (!renderer.isValid() || !QTest::qWaitFor([&] {
        renderer.compose(t, true);
        return _composition->isReadyAt(t);
      }, 5000))
    return -1;
  const QImage exported = renderer.compose(t, true);
  const double db = psnr(exported, renderer.compose(t, false));
  renderer.compose(-100);
  return db;
}

void TestExportQuality::videoAsBGRAMatchesPlanes_data()
{
  QTest::addColumn<int>("width"); // of the video
  QTest::addColumn<int>("property"); // 0: none
  QTest::addColumn<float>("value");
  QTest::newRow("filling the frame") << kWidth << 0 << 0.0f;
  QTest::newRow("a narrower picture, its right edge inside the frame") << 250 << 0 << 0.0f;
  QTest::newRow("shrunk by a pixel") << kWidth << int(kAVPropertyScale) << 1 - 1.0f / kWidth;
  QTest::newRow("half size") << kWidth << int(kAVPropertyScale) << 0.5f;
  QTest::newRow("rotated") << kWidth << int(kAVPropertyRotation) << 17 * kDegrees;
}

// The exporter's video pictures, converted to BGRA while decoding, against the planes the
// preview converts in its shader: colours, edges and the choice to fill or blend.
void TestExportQuality::videoAsBGRAMatchesPlanes()
{
  QFETCH(int, width);
  QFETCH(int, property);
  QFETCH(float, value);
  const QString clip = _dir->filePath("clip.mp4");
  QVERIFY(writeColorVideo(clip, width, kHeight, kFps, kFps));
  _engine->setBackgroundColor(makeVec4Opaque(0.1f, 0.9f, 0.2f));
  _engine->addVideoSegment(1, clip.toUtf8().constData(), 0, 0, 1, 0, true);
  if (property)
    _engine->setSegmentProperty(1, property, value, property == kAVPropertyScale ? value : 0);
  auto *layer = static_cast<AVLayerSegment *>(_composition->findSegment(1));
  QVERIFY(layer);

  AVHeadlessRenderer renderer(_host.get(), _composition.get());
  QVERIFY(renderer.isValid());
  const double t = 0.5;
  const auto composeWhenShown = [&](uint32_t kind, bool exporting) {
    const bool shown = QTest::qWaitFor([&] {
      renderer.compose(t, exporting);
      return _composition->isReadyAt(t) && layer->texture() && textureKind(layer->texture()) == kind;
    }, 5000);
    return shown ? renderer.compose(t, exporting) : QImage();
  };
  const QImage planes = composeWhenShown(kAVTextureYUV420, false);
  QVERIFY(!planes.isNull());
  _composition->setVideoPlanesAsBGRA(true);
  _composition->seek(t, true);
  const QImage exported = composeWhenShown(kAVTextureRGBA, true);
  _composition->setVideoPlanesAsBGRA(false);
  QVERIFY(!exported.isNull());
  const double db = psnr(exported, planes);
  QVERIFY2(db >= 40, qPrintable(QString("%1 dB").arg(db)));
  renderer.compose(-100);
}

void TestExportQuality::textMatchesPreview_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<float>("degrees");
  QTest::addColumn<float>("scale");
  QTest::addColumn<QPointF>("position");
  QTest::addColumn<float>("shadow");
  QTest::newRow("centred") << "Hello" << 0.0f << 1.0f << QPointF() << 0.0f;
  QTest::newRow("in the top left corner") << "Hello" << 0.0f << 1.0f << QPointF(-0.3, 0.35) << 0.0f;
  QTest::newRow("rotated 17, scaled 0.37") << "Hello" << 17.0f << 0.37f << QPointF(0.1, -0.1) << 0.0f;
  QTest::newRow("two lines") << "Hello\nworld, and more" << 0.0f << 1.0f << QPointF(0, -0.2) << 0.0f;
  QTest::newRow("shadowed") << "Hello" << 0.0f << 1.0f << QPointF() << 1.0f;
  QTest::newRow("blank") << " " << 0.0f << 1.0f << QPointF() << 0.0f;
}

// A text over a picture: the exported frame, which draws only the painted part of the text's
// picture, against the preview's frame, which draws all of it.
void TestExportQuality::textMatchesPreview()
{
  QFETCH(QString, text);
  QFETCH(float, degrees);
  QFETCH(float, scale);
  QFETCH(QPointF, position);
  QFETCH(float, shadow);
  const QString picture = _dir->filePath("picture.png");
  QVERIFY(writePicture(picture, kWidth, kHeight));
  _engine->addImageSegment(1, picture.toUtf8().constData(), false, 0, 1);
  _engine->addTextSegment(2, text.toUtf8().constData(), 0, 1);
  _engine->setSegmentProperty(2, kAVPropertyRotation, degrees * kDegrees);
  _engine->setSegmentProperty(2, kAVPropertyScale, scale, scale);
  _engine->setSegmentProperty(2, kAVPropertyPosition, float(position.x()), float(position.y()));
  if (shadow > 0)
    _engine->setSegmentProperty(2, kAVPropertyShadowOpacity, shadow);

  const double db = exportAgainstPreview();
  QVERIFY2(db >= 40, qPrintable(QString("%1 dB").arg(db)));
}

TAVO_TEST_GUI_MAIN(TestExportQuality)
#include "tst_exportquality.moc"
