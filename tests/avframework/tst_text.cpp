// The text layer: the rasteriser's boxes, bands, padding and alignment, when the layer renders
// again, its scale and anchor conversions, and its place in a composed frame.
#include "testenv.h"

#include "avcomposition.h"
#include "avheadlessrenderer.h"
#include "avtextsegment.h"
#include "avtransition.h"
#include "glprobe.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <atomic>
#include <functional>
#include <cmath>
#include <memory>
#include <thread>

namespace {
const char *kFamily = "DejaVu Sans";
const vec4 kWhiteText{1, 1, 1, 1};
const vec4 kBlack{0, 0, 0, 1};
const vec4 kBlueBand{0, 0, 1, 1};
const vec4 kNoBand{0, 0, 0, 0};

QImage imageOf(const AVPixelBuffer *buffer)
{
  if (!buffer)
    return QImage();
  return QImage(buffer->data, int(buffer->width), int(buffer->height), int(buffer->width) * 4,
                QImage::Format_ARGB32_Premultiplied)
    .copy();
}

// Renders and takes the picture; the buffer is freed here.
QImage render(uint32_t width, uint32_t height, const char *text, int pixelSize, int alignment, vec4 band,
              float padding, float corner = 0, vec4 colour = kWhiteText, float outline = 0,
              vec4 outlineColour = kBlack)
{
  AVPixelBuffer *buffer = renderTextImage(width, height, text, pixelSize, colour, kFamily, "", alignment, outline,
                                          outlineColour, band, padding, corner);
  const QImage image = imageOf(buffer);
  freePixelBuffer(buffer);
  return image;
}

bool isBlue(QRgb p)
{
  return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60 && qAlpha(p) > 200;
}

bool isInk(QRgb p)
{
  return qAlpha(p) > 0;
}

// Bounding box of the pixels that pass.
template <typename F> QRect boxOf(const QImage &image, F test)
{
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (test(image.pixel(x, y)))
        box |= QRect(x, y, 1, 1);
  return box;
}

QFont dejaVu(int pixelSize)
{
  QFont font = QFontDatabase().font(kFamily, QString(), 12);
  font.setPixelSize(pixelSize);
  return font;
}

QString rect(const QRect &r)
{
  return QString("(%1, %2) %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool near(double a, double b, double tolerance)
{
  return std::abs(a - b) <= tolerance;
}

// Evaluates the text layer's transitions directly, as its update does with a picture.
class ProbeText : public AVTextSegment
{
public:
  ProbeText(uint32_t boxWidth, uint32_t boxHeight, uint32_t renderWidth, uint32_t renderHeight)
    : AVTextSegment(0, 10, "Probe", boxWidth, boxHeight, renderWidth, renderHeight)
  {
  }
  void at(double t)
  {
    resetEffectiveValues();
    evaluateTransitions(t);
  }
};
} // namespace

class TestText : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase();
  void defaultSizesFollowTheRenderSize();
  void bandPaddingAndAlignment_data();
  void bandPaddingAndAlignment();
  void transparentBandDoesNotPad();
  void roundedBandEnds();
  void emptyParagraphIsKept();
  void textIsNotShrunkToFit();
  void textColourIsOpaque();
  void outlineSurroundsTheGlyphs();
  void wrapsInsideTheScaledBox();
  void rendersAgainOnlyWhenNeeded();
  void emptyTextAndEmptyBox();
  void fontSetterLimits();
  void scaleAndAnchorTransitionsConvert();
  void editsWhileRendering();
  void composedBandAndAlignment();
  void longTextShowsItsBeginning_data();
  void longTextShowsItsBeginning();
};

void TestText::initTestCase()
{
  QVERIFY2(QFontDatabase().families().contains(kFamily), "DejaVu Sans is not installed (./dev deps)");
}

void TestText::defaultSizesFollowTheRenderSize()
{
  // 1920 wide at the default size: a 180-pixel font in a 1920x540 box.
  AVTextSegment text(0, 5, "H", 1920, 540, 1920, 1080);
  QCOMPARE(text.loadError(), kAVLoadPending);
  // The font engine's first use of a face may draw a few edge pixels differently: warm it up.
  freePixelBuffer(renderTextImage(1920, 540, "H", 180, kWhiteText, "", "", 0, 0, kBlack, kNoBand, 0, 0));
  text.wake();
  QCOMPARE(text.loadError(), kAVLoadOk);
  QVERIFY(!text.isDirty());
  const QImage fromLayer = imageOf(text.pixelBuffer());
  QCOMPARE(fromLayer.size(), QSize(1920, 540));
  AVPixelBuffer *direct =
    renderTextImage(1920, 540, "H", 180, kWhiteText, "", "", 0, 0, kBlack, kNoBand, 0, 0);
  QVERIFY(imageOf(direct) == fromLayer);
  freePixelBuffer(direct);
}

void TestText::bandPaddingAndAlignment_data()
{
  QTest::addColumn<int>("alignment");
  QTest::addRow("left") << 0;
  QTest::addRow("centre") << 1;
  QTest::addRow("right") << 2;
  QTest::addRow("unknown is left") << 7;
}

void TestText::bandPaddingAndAlignment()
{
  QFETCH(int, alignment);
  const int width = 400, padding = 10, size = 40;
  const QImage image = render(width, 120, "Hello", size, alignment, kBlueBand, padding);
  const QFontMetricsF metrics(dejaVu(size));
  const double advance = metrics.horizontalAdvance("Hello");
  const QRect band = boxOf(image, isBlue);
  // The line sits at the padding and the band grows it by the padding on every side.
  double left = 0;
  if (alignment == 1)
    left = (width - advance) / 2 - padding;
  else if (alignment == 2)
    left = width - advance - 2 * padding;
  const QString message = QString("band %1, advance %2").arg(rect(band)).arg(advance);
  QVERIFY2(near(band.left(), left, 2), qPrintable(message));
  QVERIFY2(near(band.width(), advance + 2 * padding, 2), qPrintable(message));
  QVERIFY2(band.top() == 0, qPrintable(message));
  QVERIFY2(near(band.height(), metrics.height() + 2 * padding, 2), qPrintable(message));
  // The text lies inside the band, clear of its padding.
  const QRect ink = boxOf(image, [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200; });
  QVERIFY2(band.contains(ink), qPrintable(QString("ink %1 outside %2").arg(rect(ink), rect(band))));
  QVERIFY2(ink.left() >= band.left() + padding - 1 && ink.top() >= padding, qPrintable(rect(ink)));
}

void TestText::transparentBandDoesNotPad()
{
  const QImage padded = render(300, 100, "Hello", 40, 0, kBlueBand, 20);
  const QImage plain = render(300, 100, "Hello", 40, 0, kNoBand, 20);
  QVERIFY(boxOf(plain, isBlue).isNull());
  auto isText = [](QRgb p) { return qRed(p) > 200; };
  const QRect paddedInk = boxOf(padded, isText);
  const QRect plainInk = boxOf(plain, isText);
  QVERIFY2(plainInk.left() < 8 && plainInk.top() < 20, qPrintable(rect(plainInk)));
  QVERIFY2(near(paddedInk.left() - plainInk.left(), 20, 2) && near(paddedInk.top() - plainInk.top(), 20, 2),
           qPrintable(rect(paddedInk) + " vs " + rect(plainInk)));
}

void TestText::roundedBandEnds()
{
  const QImage square = render(300, 100, "Hello", 40, 0, kBlueBand, 6, 0);
  const QImage round = render(300, 100, "Hello", 40, 0, kBlueBand, 6, 1);
  const QRect band = boxOf(square, isBlue);
  QVERIFY(isBlue(square.pixel(band.left() + 1, band.top() + 1)));
  // Radius half the band height: the corner is gone, the middle of each end and the top edge stay.
  QVERIFY(!isBlue(round.pixel(band.left() + 1, band.top() + 1)));
  QVERIFY(!isBlue(round.pixel(band.right() - 1, band.bottom() - 1)));
  QVERIFY(isBlue(round.pixel(band.left() + 1, band.center().y())));
  QVERIFY(isBlue(round.pixel(band.right() - 1, band.center().y())));
  QVERIFY(isBlue(round.pixel(band.center().x(), band.top() + 1)));
  // With the radius at half the height the ends are half discs: a quarter of the way in from
  // the corner along the diagonal is still outside.
  const int r = band.height() / 2;
  QVERIFY(!isBlue(round.pixel(band.left() + r / 4, band.top() + r / 4)));
}

void TestText::emptyParagraphIsKept()
{
  const QImage two = render(300, 300, "A\nB", 40, 0, kNoBand, 0);
  const QImage three = render(300, 300, "A\n\nB", 40, 0, kNoBand, 0);
  const QFontMetricsF metrics(dejaVu(40));
  const int shift = boxOf(three, isInk).bottom() - boxOf(two, isInk).bottom();
  QVERIFY2(near(shift, metrics.height() + metrics.leading(), 2),
           qPrintable(QString("B moved %1, a line is %2").arg(shift).arg(metrics.height())));
}

void TestText::textIsNotShrunkToFit()
{
  // Three lines in a box that holds barely one: the first is drawn at full size, nothing shrinks.
  const QImage small = render(200, 50, "H\nH\nH", 40, 0, kNoBand, 0);
  const QImage large = render(200, 400, "H", 40, 0, kNoBand, 0);
  QCOMPARE(small.height(), 50);
  const QRect first = boxOf(small.copy(0, 0, 200, 40), isInk);
  QCOMPARE(first, boxOf(large, isInk));
}

void TestText::textColourIsOpaque()
{
  const QImage image = render(200, 100, "H", 60, 0, kNoBand, 0, 0, vec4{1, 0, 0, 0.2f});
  int opaqueRed = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      QVERIFY(qGreen(p) == 0 && qBlue(p) == 0);
      opaqueRed += qAlpha(p) == 255 && qRed(p) == 255;
    }
  QVERIFY2(opaqueRed > 100, qPrintable(QString("%1 opaque red pixels").arg(opaqueRed)));
}

void TestText::outlineSurroundsTheGlyphs()
{
  const vec4 green{0, 1, 0, 0.1f};
  const QImage plain = render(200, 100, "H", 60, 0, kNoBand, 0);
  const QImage outlined = render(200, 100, "H", 60, 0, kNoBand, 0, 0, kWhiteText, 6, green);
  auto isGreen = [](QRgb p) { return qGreen(p) == 255 && qRed(p) < 30 && qAlpha(p) == 255; };
  QVERIFY(boxOf(plain, isGreen).isNull());
  const QRect stroke = boxOf(outlined, isGreen);
  const QRect glyph = boxOf(plain, isInk);
  // A 6-pixel pen reaches 3 pixels beyond the glyph's outline on every side.
  QVERIFY2(near(glyph.left() - stroke.left(), 3, 2) && near(stroke.right() - glyph.right(), 3, 2),
           qPrintable(rect(stroke) + " around " + rect(glyph)));
  // The text is drawn over its outline.
  QVERIFY(qRed(outlined.pixel(glyph.left() + 4, glyph.center().y())) == 255);
}

void TestText::wrapsInsideTheScaledBox()
{
  // 400 wide at 0.1 of it: 40-pixel letters; a 200-pixel box wraps where a 400 one does not.
  AVTextSegment text(0, 5, "one two three four", 200, 400, 400, 400);
  text.setFontSize(0.1f);
  text.setFont(kFamily, "");
  text.wake();
  const QRect narrow = boxOf(imageOf(text.pixelBuffer()), isInk);
  text.setScale(2, 0.5f);
  QVERIFY(text.isDirty());
  text.wake();
  QCOMPARE(text.pixelBuffer()->width, 400u);
  QCOMPARE(text.pixelBuffer()->height, 200u);
  const QRect wide = boxOf(imageOf(text.pixelBuffer()), isInk);
  QVERIFY2(narrow.height() > wide.height() + QFontMetricsF(dejaVu(40)).height() / 2,
           qPrintable(rect(narrow) + " vs " + rect(wide)));
}

void TestText::rendersAgainOnlyWhenNeeded()
{
  AVTextSegment text(0, 5, "Again", 200, 100, 400, 200);
  text.wake();
  AVPixelBuffer *first = text.pixelBuffer();
  QVERIFY(first);
  text.wake();
  QCOMPARE(text.pixelBuffer(), first); // clean: kept
  const struct
  {
    const char *what;
    std::function<void()> edit;
  } edits[] = {
    {"text", [&] { text.setText("Other"); }},
    {"font", [&] { text.setFont(kFamily, "Bold"); }},
    {"size", [&] { text.setFontSize(0.05f); }},
    {"colour", [&] { text.setColor(vec4{1, 0, 0, 1}); }},
    {"alignment", [&] { text.setAlignment(2); }},
    {"band", [&] { text.setBackColor(kBlueBand); }},
    {"inset", [&] { text.setBackInset(0.01f); }},
    {"corner", [&] { text.setBackCorner(0.5f); }},
    {"outline", [&] { text.setBorderWidth(2); }},
    {"outline colour", [&] { text.setBorderColor(vec4{0, 1, 0, 1}); }},
    {"scale", [&] { text.setScale(0.9f, 0.9f); }},
    {"box", [&] { text.setTextBoxSize(300, 100); }},
  };
  for (const auto &edit : edits) {
    edit.edit();
    QVERIFY2(text.isDirty(), edit.what);
    text.wake();
    QVERIFY2(!text.isDirty(), edit.what);
  }
  // Corner radius is a picture layer's; the text layer has its own band corner.
  text.setCornerRadius(0.3f);
  QVERIFY(!text.isDirty());
  QCOMPARE(text.cornerRadius(), 0.0f);
  QCOMPARE(text.borderWidth(), 0.0f); // the outline is not the layer's border
  // Asleep it lets its picture go and renders again on waking.
  text.sleep(false);
  QVERIFY(!text.pixelBuffer());
  text.wake();
  QVERIFY(text.pixelBuffer());
}

void TestText::emptyTextAndEmptyBox()
{
  AVTextSegment text(0, 5, "Something", 200, 100, 400, 200);
  text.wake();
  QCOMPARE(text.loadError(), kAVLoadOk);
  text.setText("");
  text.wake();
  QVERIFY(!text.pixelBuffer());
  QCOMPARE(text.loadError(), kAVLoadOk); // left as it was
  text.setText(nullptr);
  text.wake();
  QVERIFY(!text.pixelBuffer());

  // A zero scale leaves no box: the rasteriser fails, nothing divides by the empty box.
  text.setText("Something");
  text.setScale(0, 1);
  text.wake();
  QVERIFY(!text.pixelBuffer());
  QCOMPARE(text.loadError(), -113);
  AVTextFit fit;
  QVERIFY(!text.fit(&fit));
  QVERIFY(!renderTextImage(0, 10, "x", 10, kWhiteText, "", "", 0, 0, kBlack, kNoBand, 0, 0));
}

void TestText::fontSetterLimits()
{
  AVTextSegment text(0, 5, "Font", 200, 100, 400, 200);
  text.setFont("Liberation Sans", "Bold");
  QCOMPARE(text.fontFamily(), std::string("Liberation Sans"));
  QCOMPARE(text.fontStyle(), std::string("Bold"));
  const std::string longFamily(128, 'f'), longStyle(32, 's');
  text.setFont(longFamily.c_str(), "Italic"); // ignored whole
  QCOMPARE(text.fontFamily(), std::string("Liberation Sans"));
  QCOMPARE(text.fontStyle(), std::string("Bold"));
  text.setFont(std::string(127, 'f').c_str(), longStyle.c_str()); // the style is kept
  QCOMPARE(text.fontFamily().size(), size_t(127));
  QCOMPARE(text.fontStyle(), std::string("Bold"));
  text.setFont("DejaVu Serif", std::string(31, 's').c_str());
  QCOMPARE(text.fontStyle().size(), size_t(31));
}

void TestText::scaleAndAnchorTransitionsConvert()
{
  // A 480x540 box in 1920x1080 fits by height as 960x1080.
  ProbeText text(480, 540, 1920, 1080);
  auto *group = new TransitionGroup(1, 0, 0.5);
  group->setEasing(0);
  group->setBeginScale(1, 1);
  group->setEndScale(2, 3);
  group->setBeginAnchor(0.5f, 0.5f);
  group->setEndAnchor(0, 0);
  text.addGroup(group);
  text.at(5); // the end
  vec2 scale = text.effectiveScale();
  QVERIFY2(near(scale.x, 2 * 480.0 / 960, 1e-6) && near(scale.y, 3 * 540.0 / 1080, 1e-6),
           qPrintable(QString("%1, %2").arg(scale.x).arg(scale.y)));
  // Anchor (0, 0) moves the position by ((0.5 W - 0.5 fw) / W, (0.25 H - 0.5 fh) / H).
  vec2 position = text.effectivePosition();
  QVERIFY2(near(position.x, -(960 - 480) / 1920.0, 1e-6) && near(position.y, -(270 - 540) / 1080.0, 1e-6),
           qPrintable(QString("%1, %2").arg(position.x).arg(position.y)));
  QCOMPARE(text.effectiveAnchor().x, 0.0f);
  // After the window the end anchor holds without moving the position.
  text.at(8);
  QCOMPARE(text.effectivePosition().x, 0.0f);
  QCOMPARE(text.effectiveAnchor().y, 0.0f);
  QVERIFY(near(text.effectiveScale().y, 1.5, 1e-6));

  // The user scale widens the box the picture is fitted from: 960x540 fits by width as 1920x1080.
  text.setScale(2, 1);
  text.at(5);
  scale = text.effectiveScale();
  QVERIFY2(near(scale.x, 2 * 480.0 / 1920, 1e-6) && near(scale.y, 3 * 540.0 / 1080, 1e-6),
           qPrintable(QString("%1, %2").arg(scale.x).arg(scale.y)));

  // An empty box converts nothing and writes no NaN.
  text.setScale(0, 0);
  for (double t : {2.5, 8.0}) {
    text.at(t);
    QVERIFY(std::isfinite(text.effectiveScale().x) && std::isfinite(text.effectiveScale().y));
    QVERIFY(std::isfinite(text.effectivePosition().x) && std::isfinite(text.effectivePosition().y));
  }
  ProbeText emptyBox(0, 0, 1920, 1080);
  auto *grow = new TransitionGroup(1, 0, 1);
  grow->setEndScale(2, 2);
  grow->setEndAnchor(0, 0);
  emptyBox.addGroup(grow);
  emptyBox.at(5);
  QVERIFY(std::isfinite(emptyBox.effectiveScale().x) && std::isfinite(emptyBox.effectivePosition().y));
}

// Text and font change on the GUI thread while the rendering thread lays them out.
void TestText::editsWhileRendering()
{
  AVTextSegment text(0, 5, "start", 160, 60, 320, 120);
  std::atomic<bool> done{false};
  std::atomic<int> renders{0};
  std::thread renderer([&] {
    while (!done) {
      text.wake();
      ++renders;
    }
  });
  const std::string longText(300, 'w');
  for (int i = 0; i < 3000 || renders < 50; ++i) {
    text.setText(i % 2 ? longText.c_str() : "x");
    text.setFont(i % 2 ? "DejaVu Sans" : "Liberation Serif", i % 3 ? "Bold" : "");
  }
  done = true;
  renderer.join();
  text.setText("last");
  text.wake();
  QCOMPARE(text.text(), std::string("last"));
  QVERIFY(text.pixelBuffer());
}

void TestText::composedBandAndAlignment()
{
  AVHeadlessGLHost host;
  QVERIFY2(host.isValid(), "no GL context: run under Xvfb");
  AVComposition composition(160, 90, 44100, 2, nullptr);
  AVHeadlessRenderer renderer(&host, &composition);
  QVERIFY(renderer.isValid());
  // The box is the render width by half its height: 160x45, drawn at its pixel size in the middle.
  auto *text = new AVTextSegment(0, 10, "Hi", 160, 45, 160, 90);
  text->setFont(kFamily, "");
  text->setFontSize(0.15f);
  text->setBackColor(kBlueBand);
  text->setBackInset(0.05f); // 8 pixels
  text->setId(1);
  composition.addSegment(text, 1);
  QImage frame = renderer.compose(1);
  QVERIFY_PIXEL(frame, 2, 25, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 2, 20, QColor(0, 0, 0));
  QVERIFY_PIXEL(frame, 157, 25, QColor(0, 0, 0));
  QVERIFY_PIXEL(frame, 2, 70, QColor(0, 0, 0));
  QCOMPARE(text->effectiveScale().x, 1.0f);

  text->setAlignment(2);
  frame = renderer.compose(1);
  QVERIFY_PIXEL(frame, 157, 25, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 2, 25, QColor(0, 0, 0));

  // Half the scale: an 80x22 picture, still at its pixel size, in the middle.
  text->setAlignment(0);
  text->setScale(0.5f, 0.5f);
  frame = renderer.compose(1);
  QVERIFY_PIXEL(frame, 42, 36, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 37, 36, QColor(0, 0, 0));
  QVERIFY_PIXEL(frame, 42, 31, QColor(0, 0, 0));
  QVERIFY(near(text->effectiveScale().x, 0.5, 1e-6));

  // A 40x45 box fits by height as 80x90: drawn at half scale, and the user anchor shifts the
  // position by ((0.5 - ax)(W - fw) / W, ((0.5 - ay) H / 2 - (0.5 - ay) fh) / H).
  text->setScale(1, 1);
  text->setTextBoxSize(40, 45);
  text->setAnchor(0, 1);
  text->setPosition(0.1f, 0);
  renderer.compose(1);
  const vec2 scale = text->effectiveScale(), position = text->effectivePosition();
  QVERIFY2(near(scale.x, 0.5, 1e-6) && near(scale.y, 0.5, 1e-6), qPrintable(QString("%1, %2").arg(scale.x).arg(scale.y)));
  QVERIFY2(near(position.x, 0.1 - 0.25, 1e-6) && near(position.y, -0.25, 1e-6),
           qPrintable(QString("%1, %2").arg(position.x).arg(position.y)));
  QCOMPARE(text->effectiveAnchor().x, 0.0f);
  text->setAnchor(0.5f, 0.5f);
  text->setPosition(0, 0);

  // A new render size resets the box to (w, h / 2) and renders again.
  composition.setRenderSize(320, 180, false);
  QCOMPARE(text->boxWidth(), 320u);
  QCOMPARE(text->boxHeight(), 90u);
  QVERIFY(text->isDirty());
  frame = renderer.compose(1);
  QCOMPARE(frame.size(), QSize(320, 180));
  QVERIFY_PIXEL(frame, 4, 50, QColor(0, 0, 255));
  QVERIFY_PIXEL(frame, 4, 40, QColor(0, 0, 0));
}

TAVO_TEST_GUI_MAIN(TestText)
#include "tst_text.moc"

void TestText::longTextShowsItsBeginning_data()
{
  QTest::addColumn<QByteArray>("beginning");
  QTest::addColumn<QByteArray>("rest");
  QTest::addColumn<int>("pixelSize");
  QTest::addColumn<int>("alignment");
  QTest::addColumn<int>("beginningAlignment");
  QTest::addColumn<float>("padding");
  QByteArray lines, moreLines, words, moreWords;
  for (int i = 0; i < 60; ++i)
    lines += QByteArray("Line ") + QByteArray::number(i) + " of the caption\n";
  for (int i = 60; i < 20000; ++i)
    moreLines += QByteArray("Line ") + QByteArray::number(i) + " of the caption\n";
  QByteArray wordsAbroad, moreWordsAbroad;
  for (int i = 0; words.size() < 30000; ++i) {
    words += QByteArray("word") + QByteArray::number(i) + ' ';
    wordsAbroad += QByteArray("w\xc3\xb6rter") + QByteArray::number(i) + " \xe2\x82\xac ";
  }
  for (int i = 0; moreWords.size() < 400000; ++i) {
    moreWords += QByteArray("more") + QByteArray::number(i) + ' ';
    moreWordsAbroad += QByteArray("gr\xc3\xb6\xc3\x9f" "er") + QByteArray::number(i) + ' ';
  }
  // The 800 x 600 box holds about 50 lines of 10-pixel letters: thousands of characters.
  QTest::newRow("paragraphs") << lines << moreLines << 20 << 1 << 1 << 0.0f;
  QTest::newRow("one paragraph") << words << moreWords << 10 << 0 << 0 << 0.0f;
  QTest::newRow("banded and padded, two- and three-byte letters") << wordsAbroad << moreWordsAbroad << 10 << 2 << 2 << 12.0f;
  // A run that no line can break, centred: its beginning shows, from the left edge.
  QTest::newRow("an unbreakable run") << QByteArray("Begin") + QByteArray(1500, 'x') << QByteArray(100000, 'x') << 20
                                      << 1 << 0 << 0.0f;
}

void TestText::longTextShowsItsBeginning()
{
  QFETCH(QByteArray, beginning);
  QFETCH(QByteArray, rest);
  QFETCH(int, pixelSize);
  QFETCH(int, alignment);
  QFETCH(int, beginningAlignment);
  QFETCH(float, padding);
  const vec4 band = padding > 0 ? kBlueBand : kNoBand;
  const QImage whole = render(800, 600, (beginning + rest).constData(), pixelSize, alignment, band, padding);
  const QImage start = render(800, 600, beginning.constData(), pixelSize, beginningAlignment, band, padding);
  QVERIFY(!boxOf(whole, isInk).isNull());
  QVERIFY2(whole == start, qPrintable("ink at " + rect(boxOf(whole, isInk)) + ", the beginning's at "
                                      + rect(boxOf(start, isInk))));
}
