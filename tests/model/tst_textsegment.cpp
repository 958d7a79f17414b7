// Text segments: font size scaling against the project, colours, style defaults, the
// loading states and the timeline block.
#include "fakesegmentlistener.h"
#include "projectcontext.h"
#include "testenv.h"
#include "textsegment.h"
#include "userstyledefaults.h"

#include <QPainter>

namespace {

struct FakeProject : ProjectContext
{
  int res = 1;
  bool landscape = true;
  int resolution() const override { return res; }
  bool direction() const override { return landscape; }
};

QImage paintedBlock(TextSegment &segment, const QSize &size)
{
  QImage block(size, QImage::Format_ARGB32);
  block.fill(Qt::darkBlue);
  QPainter painter(&block);
  segment.paintBlock(&painter, block.rect(), block.rect(), 10);
  return block;
}

// Rows that hold a pixel near the upper text colour.
QList<int> textRows(const QImage &image)
{
  QList<int> rows;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qRed(image.pixel(x, y)) > 180 && qGreen(image.pixel(x, y)) > 180) {
        rows.append(y);
        break;
      }
  return rows;
}

} // namespace

class TestTextSegment : public QObject
{
  Q_OBJECT
private:
  FakeProject m_project;
  FakeSegmentListener m_listener;

private slots:
  void init()
  {
    m_project = FakeProject();
    ProjectContext::setCurrent(&m_project);
  }
  void cleanup() { ProjectContext::setCurrent(nullptr); }

  void scaledFontSizeFollowsTheProject()
  {
    TextSegment text(QStringLiteral("Hi"), 0, 3, nullptr, nullptr);
    QCOMPARE(text.fontSize(), 80.0f);
    // 16:9 landscape: 1280 wide.
    QCOMPARE(text.scaledFontSize(QSizeF(1920, 1080)), 120.0f);
    text.setFontSize(80, QSizeF(640, 360));
    QCOMPARE(text.scaledFontSize(QSizeF(1920, 1080)), 240.0f);
    QCOMPARE(text.properties()->text("VideoSize"), QStringLiteral("{640,360}"));

    TextSegment portrait(QStringLiteral("Hi"), 0, 3, nullptr, nullptr);
    m_project.landscape = false;
    QCOMPARE(portrait.scaledFontSize(QSizeF(1080, 1920)), 120.0f); // 720 wide
    m_project.res = 2;
    QCOMPARE(portrait.scaledFontSize(QSizeF(1280, 1280)), 160.0f); // 640 x 640
    m_project.res = 0;
    QCOMPARE(portrait.scaledFontSize(QSizeF(960, 1280)), 160.0f); // 480 x 640
    m_project.landscape = true;
    m_project.res = 5;
    QCOMPARE(portrait.scaledFontSize(QSizeF(1280, 960)), 160.0f); // 640 x 480

    // A reference size with a zero side is no reference.
    portrait.properties()->setText("VideoSize", "{640,0}");
    QCOMPARE(portrait.scaledFontSize(QSizeF(1280, 960)), 160.0f);
    // Without a reference size only the size is written.
    portrait.properties()->remove("VideoSize");
    portrait.setFontSize(40);
    QVERIFY(!portrait.properties()->contains("VideoSize"));

    // No project installed: a new project's 16:9 landscape.
    ProjectContext::setCurrent(nullptr);
    QCOMPARE(text.scaledFontSize(QSizeF(1280, 720)), 160.0f);
    text.properties()->remove("VideoSize");
    QCOMPARE(text.scaledFontSize(QSizeF(1280, 720)), 80.0f);
  }

  void colourDefaultsAndForms()
  {
    TextSegment text(QString(), 0, 3, nullptr, nullptr);
    QCOMPARE(text.type(), QStringLiteral("TEXT"));
    QCOMPARE(text.color(), 0xFFFFFFFFu);
    QCOMPARE(text.borderColor(), 0xFFFFFF00u); // yellow while absent
    text.setBorderColor(0xFFFFFFFFu);
    QCOMPARE(text.borderColor(), 0xFFFFFFFFu);
    QCOMPARE(text.fontName(), QStringLiteral("Arial"));
    QCOMPARE(text.fontStyle(), QString());
    QCOMPARE(text.alignment(), 1);
    QCOMPARE(text.backCorner(), 0.0f);
    QCOMPARE(text.backInset(), 0.0f);

    QCOMPARE(text.backColorRgb(), 0xFFFF00FFu);
    QCOMPARE(text.backColorAlpha(), 0.0f);
    text.properties()->setText("BackColor", "");
    QCOMPARE(text.backColorRgb(), 0xFFFF00FFu);
    text.setBackColorAlpha(0.5f);
    QCOMPARE(text.properties()->text("BackColor"), QStringLiteral("#7fff00ff"));
    text.setBackColorRgb(0xFF102030u);
    QCOMPARE(text.properties()->text("BackColor"), QStringLiteral("#7f102030"));
    QCOMPARE(text.backColorRgb(), 0xFF102030u);
    text.setBackColorAlpha(1.0f);
    QCOMPARE(text.backColorAlpha(), 1.0f);

    // Converted projects give brace floats or names.
    text.properties()->setText("Color", "{1, 0, 0, 1}");
    QCOMPARE(text.color(), 0xFFFF0000u);
    text.properties()->setText("Color", "blue");
    QCOMPARE(text.color(), 0xFF0000FFu);
  }

  void fitGeometryIsAHalfHeightBand()
  {
    TextSegment text(QString(), 0, 3, nullptr, nullptr);
    const LayerGeometry g = text.fitGeometry(QSizeF(1280, 720));
    QCOMPARE(g.scaleWidth, 1.0f);
    QCOMPARE(g.scaleHeight, 0.5f);
    QCOMPARE(g.centerX, 640.0);
    QCOMPARE(g.centerY, 360.0);
    QVERIFY(text.isLoaded());
    QVERIFY(text.isTimelineContentReady());
  }

  void loadingStates()
  {
    TextSegment quiet(QStringLiteral("a"), 0, 3, nullptr, nullptr);
    TextSegment text(QStringLiteral("a"), 0, 3, &m_listener, nullptr);
    TextSegment copy(&text, 4, &m_listener);
    auto *bag = new PropertyMap(*text.properties());
    TextSegment fromFile(bag, &m_listener, true);
    QVERIFY(fromFile.isNewlyCreated());
    QTRY_COMPARE(text.state(), quint32(SegmentReady));
    QTRY_COMPARE(copy.state(), quint32(SegmentReady));
    QTRY_COMPARE(fromFile.state(), quint32(SegmentReady));
    QCOMPARE(quiet.state(), quint32(SegmentCreated));
    QList<int> states;
    for (const auto &change : m_listener.stateChanges())
      if (change.first == &copy)
        states.append(change.second);
    QCOMPARE(states, (QList<int>{SegmentLoading, SegmentReady}));
    QCOMPARE(copy.rangeStart(), 4.0f);
    QCOMPARE(copy.text(), QStringLiteral("a"));
  }

  void textStyleDefaults()
  {
    UserStyleDefaults::reset();
    UserStyleDefaults *d = UserStyleDefaults::instance();
    d->setTextSize(60, QSizeF(1280, 720));
    d->setTextFont(QStringLiteral("DejaVu Sans"), QStringLiteral("Bold"));
    d->setTextColor(0xFF123456u);
    d->setTextBorderSize(3);
    d->setTextBorderColor(0xFF654321u);
    d->setTextShadowOpacity(0.75f);
    d->setTextShadowOffsetFraction(QSizeF());
    d->setTextShadowRadiusFraction(0.5f);
    d->setTextShadowColor(0xFF00FF00u);
    d->setTextAlignment(2);
    d->setTextBackColor(0xFFAABBCCu);
    d->setTextBackColorAlpha(0.5f);
    d->setTextBackInset(4);
    d->setTextBackCornerRadius(6);
    d->setChromaKeySensitivity(21);
    d->setBorderStrokeTolerance(77);

    TextSegment text(QStringLiteral("styled"), 2, 3, nullptr, d);
    const PropertyMap &p = *text.properties();
    QCOMPARE(text.fontSize(), 60.0f);
    QCOMPARE(text.videoSize(), QSizeF(1280, 720));
    QCOMPARE(text.fontName(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(text.fontStyle(), QStringLiteral("Bold"));
    QCOMPARE(text.color(), 0xFF123456u);
    QCOMPARE(text.borderWidth(), 3.0f);
    QCOMPARE(text.borderColor(), 0xFF654321u);
    QCOMPARE(text.shadowOpacity(), 0.75f);
    QVERIFY(p.contains("ShadowOffsetFraction"));
    QVERIFY(p.contains("ShadowPixelOffset")); // the fraction is empty
    QCOMPARE(text.shadowRadiusFraction(), 0.5f);
    QCOMPARE(text.shadowColor(), 0xFF00FF00u);
    QCOMPARE(text.alignment(), 2);
    QCOMPARE(p.text("BackColor"), QStringLiteral("#7faabbcc"));
    QCOMPARE(text.backInset(), 4.0f);
    QCOMPARE(text.backCorner(), 6.0f);
    QCOMPARE(text.keySensitivity(), 21);
    QVERIFY(p.contains("KeySmoothing"));
    QVERIFY(p.contains("KeyColor"));
    // Stroke values are not the text's.
    QVERIFY(!p.contains("BorderStrokeTolerance"));
    QCOMPARE(text.rangeStart(), 2.0f);
    QCOMPARE(text.duration(), 3.0f);

    // Without a remembered frame size only the size is written.
    d->setTextSize(50, QSizeF());
    d->setTextShadowOffsetFraction(QSizeF(0.1, 0.1));
    TextSegment plain(QStringLiteral("plain"), 0, 3, nullptr, d);
    QCOMPARE(plain.fontSize(), 50.0f);
    QVERIFY(!plain.properties()->contains("VideoSize"));
    QVERIFY(!plain.properties()->contains("ShadowPixelOffset"));
    UserStyleDefaults::reset();
  }

  void fontFromTheDatabase()
  {
    TextSegment text(QString(), 0, 3, nullptr, nullptr);
    text.setFontName(QStringLiteral("DejaVu Sans"));
    text.setFontStyle(QStringLiteral("Bold"));
    const QFont font = text.font();
    QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
    QVERIFY(font.bold());
    QCOMPARE(font.pointSize(), QFont().pointSize());
  }

  void blockShowsThePlaceholderWhenEmpty()
  {
    TextSegment empty(QString(), 0, 3, &m_listener, nullptr);
    TextSegment placeholder(QStringLiteral("<No text>"), 0, 3, &m_listener, nullptr);
    empty.setFontName(QStringLiteral("DejaVu Sans"));
    placeholder.setFontName(QStringLiteral("DejaVu Sans"));
    const QImage a = paintedBlock(empty, QSize(200, 40));
    QCOMPARE(a, paintedBlock(placeholder, QSize(200, 40)));
    QVERIFY(!textRows(a).isEmpty());
    // Nothing inside the margins.
    for (int y = 0; y < a.height(); ++y)
      QCOMPARE(a.pixel(2, y), QColor(Qt::darkBlue).rgba());
  }

  void blockShowsEachLineElided()
  {
    TextSegment text(QStringLiteral("first line that is far too long for the block\rsecond\nthird"), 0, 3,
                     &m_listener, nullptr);
    text.setFontName(QStringLiteral("DejaVu Sans"));
    const QImage image = paintedBlock(text, QSize(120, 80));
    const QList<int> rows = textRows(image);
    QVERIFY(!rows.isEmpty());
    // Three separate bands of text, centred vertically.
    int bands = 1;
    for (int i = 1; i < rows.size(); ++i)
      if (rows[i] != rows[i - 1] + 1)
        ++bands;
    QCOMPARE(bands, 3);
    const int top = rows.first();
    const int bottom = image.height() - 1 - rows.last();
    QVERIFY2(qAbs(top - bottom) <= 4, qPrintable(QStringLiteral("top %1, bottom %2").arg(top).arg(bottom)));

    // A block too narrow for the margins paints nothing.
    QCOMPARE(paintedBlock(text, QSize(10, 80)).pixel(5, 40), QColor(Qt::darkBlue).rgba());
  }

  void blockShowsTheBeginningOfALongText_data()
  {
    QTest::addColumn<QString>("beginning");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<bool>("fills");
    QString lines, moreLines;
    for (int i = 0; i < 30; ++i)
      lines += QStringLiteral("Line %1 of the text\n").arg(i);
    for (int i = 30; i < 20000; ++i)
      moreLines += QStringLiteral("Line %1 of the text\n").arg(i);
    QTest::newRow("many lines") << lines << moreLines << true;
    QTest::newRow("one line") << QStringLiteral("The beginning of one long line that goes on ").repeated(8)
                              << QStringLiteral("and on ").repeated(100000) << false;
    QTest::newRow("a long first line") << QStringLiteral("The beginning ").repeated(40) + QLatin1Char('\r') + lines
                                       << moreLines << true;
  }

  // However long the text, the block looks as it does with only the text's beginning; lines
  // beyond the block's height fill it to both edges.
  void blockShowsTheBeginningOfALongText()
  {
    QFETCH(QString, beginning);
    QFETCH(QString, rest);
    QFETCH(bool, fills);
    TextSegment start(beginning, 0, 3, &m_listener, nullptr);
    TextSegment whole(beginning + rest, 0, 3, &m_listener, nullptr);
    const QImage shown = paintedBlock(whole, QSize(400, 44));
    const QList<int> rows = textRows(shown);
    QVERIFY(!rows.isEmpty());
    if (fills)
      QVERIFY2(rows.first() <= 2 && rows.last() >= shown.height() - 3,
               qPrintable(QStringLiteral("text from row %1 to %2").arg(rows.first()).arg(rows.last())));
    QVERIFY2(shown == paintedBlock(start, QSize(400, 44)), "the block differs from its text's beginning");
  }
};

TAVO_TEST_GUI_MAIN(TestTextSegment)
#include "tst_textsegment.moc"
