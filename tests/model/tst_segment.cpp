// The Segment class: typed accessors and their defaults, identity, copies, edges,
// rotation and flips, listener reports and the status painter.
#include "fakesegmentlistener.h"
#include "segment.h"
#include "testenv.h"

#include <QImage>
#include <QLocale>
#include <QPainter>

class TestSegment : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void defaultsOfANewBag()
  {
    Segment s(nullptr);
    QCOMPARE(s.speed(), 1.0f);
    QCOMPARE(s.duration(), 0.0f);
    QCOMPARE(s.rangeStart(), 0.0f);
    QCOMPARE(s.trackId(), 0);
    QCOMPARE(s.timeStamp(), 0.0);
    QCOMPARE(s.userScale(), QSizeF(1, 1));
    QCOMPARE(s.userTranslation(), QPointF(0, 0));
    QCOMPARE(s.userAnchorPoint(), QPointF(0.5, 0.5));
    QCOMPARE(s.userRotation(), 0.0);
    QCOMPARE(s.userVolume(), 1.0f);
    QCOMPARE(s.cropTopLeft(), QPointF(0, 0));
    QCOMPARE(s.cropBottomRight(), QPointF(1, 1));
    QCOMPARE(s.rangeDuration(), 0.0f);
    QCOMPARE(s.userRotationX(), 0.0f);
    QCOMPARE(s.userRotationY(), 0.0f);
    QCOMPARE(s.userFlip(), 0);
    QCOMPARE(s.userTransparency(), 0.0f);
    const int colourEffects[] = {s.clrSaturation(), s.clrBrightness(), s.clrContrast(), s.clrWhiteBalance(),
                                 s.clrExposure(), s.clrHue(), s.clrRed(), s.clrGreen(), s.clrBlue()};
    for (int value : colourEffects)
      QCOMPARE(value, 0);
    QCOMPARE(s.borderWidth(), 0.0f);
    QCOMPARE(s.borderWidthFraction(), 0.0f);
    QCOMPARE(s.cornerRadius(), 0.0f);
    QCOMPARE(s.cornerRadiusFraction(), 0.0f);
    QVERIFY(s.type().isEmpty());
    QCOMPARE(s.borderColor(), 0xFFFFFFFFu);
    QCOMPARE(s.borderStroke(), false);
    QCOMPARE(s.borderStrokeStrength(), 50);
    QCOMPARE(s.borderStrokeTolerance(), 100);
    QCOMPARE(s.keyColor(), 0xFF00FF00u);
    QCOMPARE(s.keyEnabled(), false);
    QCOMPARE(s.keySensitivity(), 40);
    QCOMPARE(s.keySmoothing(), 10);
    QCOMPARE(s.shadowColor(), 0xFF000000u);
    QCOMPARE(s.shadowOpacity(), 0.0f);
    QCOMPARE(s.shadowRadiusFraction(), 0.003125f);
    QCOMPARE(s.shadowOffsetFraction(), QSizeF(-1, -1));
    QVERIFY(!s.hasShadowOffsetFraction());
    QCOMPARE(s.shadowPixelOffset(), QSizeF(0, 0));
    QCOMPARE(s.shadowOffset(), QSizeF(0, 0));
    QCOMPARE(s.transitionCount(), 0);
    QVERIFY(!s.properties()->hasTransitions());
  }

  void storedValueRules()
  {
    Segment s(nullptr);
    PropertyMap &p = *s.properties();
    p.setText("Speed", "8");
    QCOMPARE(s.speed(), 1.0f);
    p.setText("Speed", "0.1");
    QCOMPARE(s.speed(), 1.0f);
    p.setText("Speed", "nan");
    QCOMPARE(s.speed(), 1.0f);
    s.setSpeed(8);
    QCOMPARE(p.text("Speed"), QStringLiteral("4"));
    s.setSpeed(0.1f);
    QCOMPARE(p.text("Speed"), QStringLiteral("0.25"));
    p.setText("RangeStart", "-2");
    QCOMPARE(s.rangeStart(), 0.0f);
    p.setText("UserScale", "{-1,2}");
    QCOMPARE(s.userScale(), QSizeF(1, 2));
    p.setText("CropTopLeft", "0.2");
    QCOMPARE(s.cropTopLeft(), QPointF(0, 0));
    p.setText("KeyColor", "{{0, 1}, {0, 1}}");
    QCOMPARE(s.keyColor(), 0xFF00FF00u);
    p.setText("KeyColor", "{0, 1.5, 0, 1}");
    QCOMPARE(s.keyColor(), 0xFF000000u);
    s.setKeyColor(0x80102030u);
    QCOMPARE(p.text("KeyColor"), QStringLiteral("#80102030"));
    p.setText("KeyEnabled", "2");
    QVERIFY(!s.keyEnabled());
    p.setText("KeyEnabled", "1");
    QVERIFY(s.keyEnabled());
    s.setUserTranslation(QPointF(0.25, -0.5));
    QCOMPARE(p.text("UserTranslation"), QStringLiteral("{0.25,-0.5}"));
    s.setUserRotation(1.0 / 3.0);
    QCOMPARE(p.text("UserRotation"), QStringLiteral("0.3333333333333333"));
    s.setShadowOffsetFraction(QSizeF(0.01, 0.02));
    QVERIFY(s.hasShadowOffsetFraction());
    s.setShadowRadiusFraction(8, 1600);
    QCOMPARE(s.shadowRadiusFraction(), 0.005f);
    QCOMPARE(s.shadowRadius(800), 4.0f);
    s.setTimeStamp();
    QVERIFY(qAbs(s.timeStamp() - double(QDateTime::currentMSecsSinceEpoch())) < 1e7);
  }

  void durationAndSpeed()
  {
    FakeSegmentListener listener;
    Segment s(&listener);
    s.properties()->setText("RangeDuration", "6");
    s.properties()->setText("Speed", "2");
    QCOMPARE(s.duration(), 3.0f);
    s.setDuration(5);
    QCOMPARE(s.properties()->text("RangeDuration"), QStringLiteral("10"));
    QCOMPARE(listener.rangeChanges.size(), 1);
    s.setRangeStart(-1); // stored as given, read as 0
    QCOMPARE(s.properties()->text("RangeStart"), QStringLiteral("-1"));
    QCOMPARE(listener.rangeChanges.size(), 2);
    s.setSpeed(4); // does not rescale RangeDuration
    QCOMPARE(s.duration(), 2.5f);
    QCOMPARE(s.mediaDuration(), 2.5f);
  }

  void identity()
  {
    Segment a(nullptr), b(nullptr), c(nullptr);
    QCOMPARE(b.id(), a.id() + 1);
    QCOMPARE(c.id(), b.id() + 1);
    QVERIFY(a.uid().startsWith('{') && a.uid().endsWith('}'));
    QVERIFY(a.uid() != b.uid());
    QVERIFY(a.isUIdGenerated());
    QVERIFY(a.isNewlyCreated());

    auto *withUid = new PropertyMap;
    withUid->setText("UId", "ABC");
    Segment fromFile(withUid, nullptr);
    QCOMPARE(fromFile.uid(), QStringLiteral("ABC"));
    QVERIFY(!fromFile.isUIdGenerated());
    QVERIFY(!fromFile.isNewlyCreated());
    QVERIFY(!fromFile.ensureUId());

    auto *emptyUid = new PropertyMap;
    emptyUid->setText("UId", "");
    Segment generated(emptyUid, nullptr);
    QVERIFY(!generated.uid().isEmpty());
    QVERIFY(generated.isUIdGenerated());
  }

  void copyIsIndependent()
  {
    FakeSegmentListener listener;
    Segment source(nullptr);
    source.setType("MOVIE");
    source.setTrackId(2);
    source.setSpeed(2);
    source.setRangeDuration(8);
    source.setRangeStart(1);
    source.properties()->setText("Future", "kept");
    QCOMPARE(source.insertTransition(1, 1), 1);

    Segment copy(&source, 7.5f, &listener);
    QVERIFY(copy.id() > source.id());
    QVERIFY(copy.uid() != source.uid());
    QVERIFY(copy.isNewlyCreated());
    QCOMPARE(copy.type(), QStringLiteral("MOVIE"));
    QCOMPARE(copy.trackId(), 2);
    QCOMPARE(copy.speed(), 2.0f);
    QCOMPARE(copy.rangeDuration(), 8.0f);
    QCOMPARE(copy.rangeStart(), 7.5f);
    QCOMPARE(copy.properties()->text("Future"), QStringLiteral("kept"));
    QVERIFY(copy.timeStamp() > 0);
    QCOMPARE(copy.transitionCount(), 1);
    QVERIFY(listener.rangeChanges.isEmpty()); // the listener is set after the copy

    copy.setTransitionUserFlip(1, true, 3);
    copy.setTransitionDuration(1, 0.5f);
    QCOMPARE(source.transitionUserFlip(1, true), 0);
    QCOMPARE(source.transitionDuration(1), 1.0f);
  }

  void setPropertiesAdopts()
  {
    Segment s(nullptr);
    auto *bag = new PropertyMap;
    bag->setText("Type", "TEXT");
    s.setProperties(bag);
    QCOMPARE(s.properties(), bag);
    QCOMPARE(s.type(), QStringLiteral("TEXT"));
  }

  void stateReports()
  {
    FakeSegmentListener listener;
    Segment s(&listener);
    QCOMPARE(s.state(), quint32(SegmentCreated));
    s.setState(SegmentLoading);
    s.setState(SegmentReady);
    QCOMPARE(s.state(), quint32(SegmentReady));
    const auto changes = listener.stateChanges();
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.at(0).first, &s);
    QCOMPARE(changes.at(0).second, 1);
    QCOMPARE(changes.at(1).second, 4);

    Segment lonely(nullptr); // nobody is told, the state is kept
    lonely.setState(SegmentLoading);
    lonely.setDuration(3);
    QCOMPARE(lonely.state(), quint32(SegmentLoading));
    QCOMPARE(lonely.duration(), 3.0f);
  }

  void edges()
  {
    Segment s(nullptr);
    s.setRangeStart(1.0f);
    s.setDuration(4.0f);
    float t = 1.5f;
    QVERIFY(s.moveLeftEdge(&t));
    QCOMPARE(t, 1.5f);
    QCOMPARE(s.rangeStart(), 1.5f);
    QCOMPARE(s.duration(), 3.5f);

    Segment r(nullptr);
    r.setSpeed(2);
    r.setRangeStart(1.0f);
    r.setDuration(4.0f);
    t = 6.0f;
    QVERIFY(r.moveRightEdge(&t));
    QCOMPARE(r.rangeStart(), 1.0f);
    QCOMPARE(r.duration(), 5.0f);
    QCOMPARE(r.rangeDuration(), 10.0f);
  }

  void baseVirtuals()
  {
    Segment s(nullptr);
    QCOMPARE(s.audioPartId(), 0u);
    QVERIFY(!s.isLoaded() && !s.isLayer() && !s.hasAudio() && !s.hasTimeStamp());
    QVERIFY(s.fileName().isEmpty());
    QVERIFY(s.userTransform(QSizeF(100, 100)).isIdentity());
    const LayerGeometry g = s.layerGeometry(QSizeF(100, 100));
    QCOMPARE(g.scaleWidth, 1.0f);
    QCOMPARE(g.anchorX, 0.5);
    QCOMPARE(g.centerX, 0.0);
  }

  void rotation_data()
  {
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("right");
    QTest::addColumn<double>("expected");
    QTest::newRow("0 right") << "0" << true << 90.0;
    QTest::newRow("90 right") << "90" << true << 180.0;
    QTest::newRow("180 right") << "180" << true << 270.0;
    QTest::newRow("270 right") << "270" << true << 0.0;
    QTest::newRow("0 left") << "0" << false << -90.0;
    QTest::newRow("-90 left") << "-90" << false << -180.0;
    QTest::newRow("-270 right") << "-270" << true << -180.0;
    QTest::newRow("-180 left") << "-180" << false << -270.0;
    QTest::newRow("-270 left") << "-270" << false << 0.0;
    QTest::newRow("fraction dropped") << "45.7" << true << 135.0;
    QTest::newRow("450 wraps") << "360" << true << 90.0;
    QTest::newRow("-450 wraps") << "-360" << false << -90.0;
    QTest::newRow("absent") << "" << true << 90.0;
  }
  void rotation()
  {
    QFETCH(QString, start);
    QFETCH(bool, right);
    QFETCH(double, expected);
    Segment s(nullptr);
    if (!start.isEmpty())
      s.properties()->setText("UserRotation", start);
    right ? s.rotateRight() : s.rotateLeft();
    QCOMPARE(s.userRotation(), expected);

    // The same on a transition's value set.
    s.setRangeDuration(5);
    const int id = s.insertTransition(1, 0);
    QVERIFY(id);
    if (!start.isEmpty())
      s.transitionValues(id, false)->setText("UserRotation", start);
    else
      s.transitionValues(id, false)->remove("UserRotation");
    right ? s.rotateTransitionRight(id, false) : s.rotateTransitionLeft(id, false);
    QCOMPARE(double(s.transitionUserRotation(id, false)), expected);
  }

  void flips()
  {
    Segment s(nullptr);
    s.properties()->setText("UserFlip", "6");
    s.setFlippedHorizontally(true);
    QCOMPARE(s.userFlip(), 7);
    s.setFlippedVertically(false);
    QCOMPARE(s.userFlip(), 5);
    QVERIFY(s.isFlippedHorizontally());
    QVERIFY(!s.isFlippedVertically());
    s.setFlippedHorizontally(false);
    QCOMPARE(s.userFlip(), 4);

    s.setRangeDuration(5);
    const int id = s.insertTransition(1, 0);
    s.transitionValues(id, true)->remove("UserFlip");
    QVERIFY(!s.isTransitionFlippedVertically(id, true));
    s.setTransitionFlippedVertically(id, true, true);
    QCOMPARE(s.transitionValues(id, true)->text("UserFlip"), QStringLiteral("2"));
    s.setTransitionFlippedHorizontally(id, true, true);
    QVERIFY(s.isTransitionFlippedHorizontally(id, true));
    QCOMPARE(s.transitionUserFlip(id, true), 3);
    QCOMPARE(s.transitionUserFlip(id, false), 4); // the end set is untouched
  }

  void paintMessageShrinksThenElides()
  {
    FakeSegmentListener listener;
    Segment s(&listener);
    QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::blue);
    {
      QPainter painter(&image);
      s.paintMessage(&painter, QRect(10, 0, 100, 40), QString(200, QLatin1Char('W')));
    }
    QCOMPARE(image.pixel(12, 2), 0xFFFFFF00u);     // background inside the block
    QCOMPARE(image.pixel(150, 20), 0xFF0000FFu);   // nothing outside it
    bool inked = false;
    for (int x = 15; x < 105 && !inked; ++x)
      inked = qGray(image.pixel(x, 20)) < 128;
    QVERIFY(inked);

    QImage untouched(50, 20, QImage::Format_ARGB32_Premultiplied);
    untouched.fill(Qt::blue);
    QPainter painter(&untouched);
    s.paintMessage(&painter, QRect(), "x");
    s.paintMessage(&painter, QRect(0, 0, 8, 20), "x"); // narrower than both margins
    painter.end();
    QCOMPARE(untouched.pixel(1, 1), 0xFFFFFF00u); // the fill happens before the margin check
  }

  // A message too wide for a short block: pieces that fit whole go on lines of their own, so no
  // cut text ("Loa...", or Chinese "Load Error" cut to the characters of "loading") is left to
  // read as a load still running; a block too low for that keeps the single elided line.
  void paintMessageWrapsWords_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("block");
    QTest::addColumn<bool>("twoLines");
    QTest::newRow("two seconds of a row") << "Load Error" << QSize(48, 44) << true;
    QTest::newRow("wide enough for one line") << "Load Error" << QSize(200, 44) << false;
    QTest::newRow("too low for two lines") << "Load Error" << QSize(48, 16) << false;
    // Chinese has no spaces: it breaks between characters.
    QTest::newRow("Chinese in a short block") << QString::fromUtf8("加载错误") << QSize(48, 44) << true;
    QTest::newRow("Chinese wide enough") << QString::fromUtf8("加载错误") << QSize(200, 44) << false;
  }
  void paintMessageWrapsWords()
  {
    QFETCH(QString, text);
    QFETCH(QSize, block);
    QFETCH(bool, twoLines);
    FakeSegmentListener listener;
    Segment s(&listener);
    QImage image(block, QImage::Format_ARGB32_Premultiplied);
    {
      QPainter painter(&image);
      s.paintMessage(&painter, QRect(QPoint(0, 0), block), text);
    }
    // Rows with ink: one band around the middle for a line, two bands for two lines.
    QList<int> inked;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) {
          inked << y;
          break;
        }
    QVERIFY(!inked.isEmpty());
    int gaps = 0;
    for (int i = 1; i < inked.size(); ++i)
      gaps += inked[i] > inked[i - 1] + 1;
    QCOMPARE(gaps > 0, twoLines);
  }
};

TAVO_TEST_GUI_MAIN(TestSegment)
#include "tst_segment.moc"
