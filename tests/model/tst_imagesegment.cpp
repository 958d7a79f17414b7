// Picture and drawing segments: reading the preview, natural sizes, animations and their
// frames, file paths, drawing files, layer rotations and geometry, and style defaults.
#include "drawingsegment.h"
#include "fakesegmentlistener.h"
#include "imagesegment.h"
#include "mediafixtures.h"
#include "tempprojectfolder.h"
#include "testenv.h"
#include "userstyleapply.h"
#include "userstyledefaults.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A JPEG of the given stored size whose orientation tag turns it a quarter clockwise.
bool writeRotatedJpeg(const QString &path, int width, int height)
{
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  if (!MediaFixtures::quadrantImage(width, height).save(&buffer, "JPG"))
    return false;
  // APP1 "Exif", big-endian TIFF, one IFD entry: Orientation (0x0112) = 6.
  static const char app1[] = "\xFF\xE1\x00\x22"
                             "Exif\0\0"
                             "MM\x00\x2A\x00\x00\x00\x08"
                             "\x00\x01"
                             "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                             "\x00\x00\x00\x00";
  jpeg.insert(2, QByteArray(app1, 36));
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size();
}

QRgb pixelOf(const uchar *bits, const int size[2], int x, int y)
{
  return reinterpret_cast<const QRgb *>(bits)[y * size[0] + x];
}

// A new 40 x 20 drawing in a project folder of its own.
struct DrawingProject
{
  TempProjectFolder project;
  FakeSegmentListener listener;
  std::unique_ptr<DrawingSegment> drawing;
  DrawingProject()
  {
    listener.folder = project.path();
    drawing = std::make_unique<DrawingSegment>(QSizeF(40, 20), 0, 5, &listener, nullptr);
  }
};

} // namespace

class TestImageSegment : public QObject
{
  Q_OBJECT
private:
  TempProjectFolder m_project;
  FakeSegmentListener m_listener;

  QString picture(const QString &name, int w, int h)
  {
    const QString path = m_project.filePath(name);
    if (!MediaFixtures::writePicture(path, w, h))
      qFatal("cannot write %s", qPrintable(path));
    return path;
  }

  QString gif(const QString &name, const QVector<int> &delays, int w = 16, int h = 16)
  {
    const QString path = m_project.filePath(name);
    if (!MediaFixtures::writeAnimatedGif(path, w, h, delays))
      qFatal("cannot write %s: %s", qPrintable(path), qPrintable(MediaFixtures::lastError()));
    return path;
  }

  static QList<int> statesOf(const FakeSegmentListener &listener, const Segment *segment)
  {
    QList<int> states;
    for (const auto &change : listener.stateChanges())
      if (change.first == segment)
        states.append(change.second);
    return states;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_project.isValid());
    m_listener.folder = m_project.path();
    Segment::setTrackHeight(44);
  }

  void init() { m_listener.pixelRatio = 1; }

  void smallPictureIsReadAtFullSize()
  {
    ImageSegment image(picture("small.png", 30, 20), 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(statesOf(m_listener, &image), (QList<int>{SegmentLoading, SegmentReady}));
    QCOMPARE(image.error(), quint32(SegmentNoError));
    QCOMPARE(image.preview().size(), QSize(30, 20));
    QCOMPARE(image.naturalSize(), QSizeF(30, 20));
    QVERIFY(image.isLoaded());
  }

  void largePictureIsScaledToTheTrackHeight()
  {
    m_listener.pixelRatio = 2;
    ImageSegment image(picture("large.png", 800, 400), 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    // 44 pixels at ratio 2, the width in proportion.
    QCOMPARE(image.preview().size(), QSize(176, 88));
    QCOMPARE(image.naturalSize(), QSizeF(800, 400));
  }

  void quarterTurnedJpegSwapsItsNaturalSize()
  {
    const QString path = m_project.filePath("turned.jpg");
    QVERIFY(writeRotatedJpeg(path, 120, 40));
    ImageSegment image(path, 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.error(), quint32(SegmentNoError));
    QCOMPARE(image.naturalSize(), QSizeF(40, 120));
    // The preview is shown upright too.
    QVERIFY(image.preview().height() > image.preview().width());
  }

  void unreadableAndMissingPictures()
  {
    QVERIFY(m_project.writeFile("broken.png", QByteArray("not a picture at all")));
    ImageSegment broken(m_project.filePath("broken.png"), 0, 3, &m_listener, nullptr);
    ImageSegment missing(m_project.filePath("gone.png"), 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(broken.state(), quint32(SegmentReady));
    QTRY_COMPARE(missing.state(), quint32(SegmentReady));
    QCOMPARE(broken.error(), quint32(SegmentLoadError));
    QCOMPARE(missing.error(), quint32(SegmentFileMissing));
    QVERIFY(broken.preview().isNull());
    QVERIFY(!broken.naturalSize().isValid());
    // Still counted as loaded, so a project with a lost file finishes opening.
    QVERIFY(broken.isLoaded());
    QVERIFY(missing.isTimelineContentReady());

    // The block shows the message on the message colour.
    QImage block(200, 40, QImage::Format_ARGB32);
    block.fill(Qt::transparent);
    QPainter painter(&block);
    missing.paintBlock(&painter, block.rect(), block.rect(), 10);
    painter.end();
    QCOMPARE(block.pixel(1, 1), 0xFFFFFF00u);
  }

  void pictureWithoutASizeIsALoadError()
  {
    // The reader says 0 x 0: no scale can be computed from it.
    QVERIFY(m_project.writeFile("empty.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0\" height=\"0\"></svg>"));
    ImageSegment image(m_project.filePath("empty.svg"), 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.error(), quint32(SegmentLoadError));
    QVERIFY(image.preview().isNull());
  }

  void animationWithoutDelaysShowsItsFirstFrame()
  {
    const QString path = m_project.filePath("nodelay.gif");
    if (!MediaFixtures::writeAnimatedGif(path, 16, 16, {0, 0, 0}))
      QSKIP("the GIF writer takes no zero delays");
    ImageSegment image(path, 0, 2, &m_listener, nullptr);
    image.setFitDurationToAnimation(true);
    if (!image.loadAnimation())
      QSKIP("the GIF reader merged the frames");
    // Qt's reader may stand in a default delay for 0; either way every time has a frame.
    for (float t : {0.0f, 40.0f, 1000.0f}) {
      int size[2];
      uchar *bits = image.animationFrameBits(t, size);
      QVERIFY(bits);
      std::free(bits);
    }
  }

  void pictureWithoutListenerNeverLoads()
  {
    ImageSegment image(picture("quiet.png", 10, 10), 0, 3, nullptr, nullptr);
    QTest::qWait(50);
    QCOMPARE(image.state(), quint32(SegmentCreated));
    QVERIFY(image.preview().isNull());
    QVERIFY(!image.isLoaded());
  }

  void replacingTheFileReadsAgainDirectly()
  {
    ImageSegment image(picture("first.png", 20, 10), 0, 3, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    image.replaceFile(picture("second.png", 10, 30));
    QCOMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.naturalSize(), QSizeF(10, 30));
    QCOMPARE(image.properties()->text("File"), QStringLiteral("second.png"));

    // Undo brings the old bag back: the picture is read again.
    PropertyMap *old = new PropertyMap(*image.properties());
    old->setText("File", "first.png");
    image.setProperties(old);
    QCOMPARE(image.naturalSize(), QSizeF(20, 10));
  }

  void replacingBeforeTheQueuedReadKeepsTheNewPicture()
  {
    ImageSegment image(picture("early.png", 20, 10), 0, 3, &m_listener, nullptr);
    image.replaceFile(picture("late.png", 12, 34));
    QTest::qWait(100);
    QCOMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.naturalSize(), QSizeF(12, 34));
  }

  void filePathRules()
  {
    ImageSegment inside(m_project.filePath("pic.png"), 0, 1, &m_listener, nullptr);
    QCOMPARE(inside.properties()->text("File"), QStringLiteral("pic.png"));
    QCOMPARE(inside.filePath(), m_project.filePath("pic.png"));
    QCOMPARE(inside.fileName(), QStringLiteral("pic.png"));

    ImageSegment outside(QStringLiteral("/elsewhere/dir/out.png"), 0, 1, &m_listener, nullptr);
    QCOMPARE(outside.properties()->text("File"), QStringLiteral("/elsewhere/dir/out.png"));
    QCOMPARE(outside.filePath(), QStringLiteral("/elsewhere/dir/out.png"));
    QCOMPARE(outside.fileName(), QStringLiteral("out.png"));
    outside.properties()->setText("File", "C:\\pics\\a.JPG");
    QCOMPARE(outside.fileName(), QStringLiteral("a.JPG"));

    // Only files directly in the folder lose it: a sibling folder sharing the name's start,
    // or a sub-folder, keep the whole path (a cut one would resolve nowhere).
    for (const QString &path : {m_project.path() + QStringLiteral(" 2/near.png"), m_project.filePath("sub/deep.png")}) {
      ImageSegment kept(path, 0, 1, &m_listener, nullptr);
      QCOMPARE(kept.properties()->text("File"), path);
      QCOMPARE(kept.filePath(), path);
    }

    // Without a listener there is no project folder, and nothing is cut off.
    ImageSegment orphan(QStringLiteral("/tmp/x.png"), 0, 1, nullptr, nullptr);
    QCOMPARE(orphan.properties()->text("File"), QStringLiteral("/tmp/x.png"));
  }

  void projectFileFillsAMissingTimeStamp()
  {
    const QString path = picture("stamped.png", 8, 8);
    auto *bag = new PropertyMap;
    bag->setText("Type", "IMAGE");
    bag->setText("File", "stamped.png");
    ImageSegment image(bag, &m_listener, false);
    QVERIFY(image.hasTimeStamp());
    QVERIFY(std::abs(image.timeStamp() - double(QFileInfo(path).lastModified().toMSecsSinceEpoch())) < 1e7);
    QVERIFY(!image.isNewlyCreated());
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
  }

  void frameIndexForATime_data()
  {
    QTest::addColumn<float>("time");
    QTest::addColumn<int>("frame");
    QTest::newRow("0") << 0.0f << 0;
    QTest::newRow("99") << 99.0f << 0;
    QTest::newRow("100") << 100.0f << 1;
    QTest::newRow("150") << 150.0f << 1;
    QTest::newRow("299") << 299.0f << 2;
    QTest::newRow("300 wraps") << 300.0f << 0;
    QTest::newRow("1250 wraps") << 1250.0f << 0;
  }

  void frameIndexForATime()
  {
    QFETCH(float, time);
    QFETCH(int, frame);
    QCOMPARE(ImageSegment::animationFrameIndex({100, 100, 100}, time), frame);
  }

  void frameIndexWithoutLength()
  {
    QCOMPARE(ImageSegment::animationFrameIndex({}, 10), -1);
    // All delays 0: no endless wrapping, the first frame.
    QCOMPARE(ImageSegment::animationFrameIndex({0, 0, 0}, 0), 0);
    QCOMPARE(ImageSegment::animationFrameIndex({0, 0, 0}, 500), 0);
  }

  void animatedGifFramesByTime()
  {
    ImageSegment image(gif("anim.gif", {100, 200, 100}), 0, 1, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    image.setFitDurationToAnimation(true); // set after the read, so it still holds
    QVERIFY(image.loadAnimation());
    QVERIFY(image.loadAnimation()); // already open
    QCOMPARE(image.duration(), 0.4f);

    // From the last frame back to earlier ones not decoded yet, then forward and from the cache.
    const QList<QPair<float, int>> expected{{320, 2}, {150, 1}, {0, 0}, {50, 0}, {450, 0}, {250, 1}};
    for (const auto &step : expected) {
      int size[2] = {0, 0};
      uchar *bits = image.animationFrameBits(step.first, size);
      QVERIFY2(bits, qPrintable(QStringLiteral("no frame at %1 ms").arg(step.first)));
      QCOMPARE(size[0], 16);
      QCOMPARE(size[1], 16);
      const int index = MediaFixtures::frameIndexFromColor(QColor::fromRgba(pixelOf(bits, size, 8, 8)));
      std::free(bits);
      QVERIFY2(index == step.second, qPrintable(QStringLiteral("at %1 ms: frame %2, expected %3")
                                                    .arg(step.first).arg(index).arg(step.second)));
    }
  }

  void readFinishingAfterTheAnimationClearsNoDuration()
  {
    ImageSegment image(gif("fit.gif", {100, 100}), 0, 1, &m_listener, nullptr);
    image.setFitDurationToAnimation(true);
    QTRY_COMPARE(image.state(), quint32(SegmentReady)); // the read clears the flag
    QVERIFY(image.loadAnimation());
    QCOMPARE(image.duration(), 1.0f);
  }

  void stillAndMixedCaseGifsAreNoAnimation()
  {
    ImageSegment single(gif("one.gif", {100}), 0, 1, &m_listener, nullptr);
    QVERIFY(!single.loadAnimation());
    int size[2];
    QVERIFY(!single.animationFrameBits(0, size));

    const QString mixed = m_project.filePath("anim2.Gif");
    QVERIFY(QFile::copy(gif("anim3.gif", {100, 100}), mixed));
    ImageSegment image(mixed, 0, 1, &m_listener, nullptr);
    QVERIFY(!image.loadAnimation());
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.error(), quint32(SegmentNoError));

    ImageSegment png(picture("still.png", 8, 8), 0, 1, &m_listener, nullptr);
    QVERIFY(!png.loadAnimation());
  }

  void previewTilesTheBlock()
  {
    ImageSegment image(picture("tile.png", 88, 44), 0, 1, &m_listener, nullptr);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QImage block(200, 22, QImage::Format_ARGB32);
    block.fill(Qt::black);
    QPainter painter(&block);
    image.paintBlock(&painter, block.rect(), block.rect(), 10);
    painter.end();
    // Tiles of 44 x 22: the red top-left quadrant starts each tile.
    for (int x : {1, 45, 89, 133, 177})
      QVERIFY2(qRed(block.pixel(x, 2)) > 200 && qGreen(block.pixel(x, 2)) < 60, qPrintable(QString::number(x)));
    QVERIFY(qGreen(block.pixel(30, 2)) > 200);

    image.setPaintingSuppressed(true);
    block.fill(Qt::black);
    painter.begin(&block);
    image.paintBlock(&painter, block.rect(), block.rect(), 10);
    painter.end();
    QCOMPARE(block.pixel(1, 2), 0xFF000000u);
  }

  void thumbnailFitsIn600()
  {
    ImageSegment image(picture("thumb.png", 1200, 300), 0, 1, nullptr, nullptr);
    image.setFile(m_project.filePath("thumb.png"));
    // Without a listener the bare name has no folder; an absolute path is kept as it is.
    QCOMPARE(image.thumbnail().size(), QSize(600, 150));
    image.setFile(m_project.filePath("missing.png"));
    QVERIFY(image.thumbnail().isNull());
  }

  void fitGeometryPlacesTheNaturalSize()
  {
    ImageSegment image(picture("fit.png", 400, 100), 0, 1, &m_listener, nullptr);
    QCOMPARE(image.fitGeometry(QSizeF(1280, 720)).scaleWidth, 1.0f); // not read yet: default
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    const LayerGeometry g = image.fitGeometry(QSizeF(1280, 720));
    QCOMPARE(g.scaleWidth, 3.2f);
    QCOMPARE(g.scaleHeight, 3.2f);
    QCOMPARE(g.centerX, 640.0);
    QCOMPARE(g.centerY, 360.0);
  }

  void layerRotationsAndFlips()
  {
    ImageSegment s(nullptr);
    auto degrees = [&] { return std::round(s.userRotation() * 180 / kPi); };
    s.setUserRotation(350 * kPi / 180);
    s.rotateRight();
    QCOMPARE(degrees(), 80.0);
    s.setUserRotation(-350 * kPi / 180);
    s.rotateLeft();
    QCOMPARE(degrees(), -80.0);
    s.setUserRotation(-90 * kPi / 180);
    s.rotateLeft();
    QCOMPARE(degrees(), -180.0);
    s.setUserRotation(0);
    for (int expected : {90, 180, 270, 0}) {
      s.rotateRight();
      QCOMPARE(degrees(), double(expected));
    }

    QVERIFY(!s.isFlippedHorizontally());
    s.setFlippedHorizontally(true);
    QCOMPARE(s.userRotationY(), 3.1415927f);
    QVERIFY(s.isFlippedHorizontally());
    s.setFlippedVertically(true);
    QVERIFY(s.isFlippedVertically());
    s.setFlippedHorizontally(false);
    QCOMPARE(s.properties()->text("UserRotationY"), QStringLiteral("0"));

    s.setDuration(4);
    const int id = s.insertTransition(1, 0);
    QVERIFY(id > 0);
    s.setTransitionUserRotation(id, true, 3.0f);
    s.rotateTransitionRight(id, true);
    s.rotateTransitionRight(id, true);
    QVERIFY(std::abs(s.transitionUserRotation(id, true) - float(3.0 + kPi)) < 1e-5f); // no wrap
    s.rotateTransitionLeft(id, false);
    QVERIFY(std::abs(s.transitionUserRotation(id, false) + float(kPi / 2)) < 1e-5f);
    s.setTransitionFlippedVertically(id, false, true);
    QVERIFY(s.isTransitionFlippedVertically(id, false));
    QVERIFY(!s.isTransitionFlippedHorizontally(id, false));
  }

  void layerGeometryFromUserValues()
  {
    ImageSegment s(nullptr);
    s.setUserTranslation(QPointF(0.25, -0.5));
    s.setUserScale(QSizeF(2, 0.5));
    s.setUserRotation(1.5);
    s.setUserTransparency(0.25f);
    s.setUserAnchorPoint(QPointF(0, 1));
    const LayerGeometry g = s.layerGeometry(QSizeF(200, 100));
    QCOMPARE(g.centerX, 150.0);
    QCOMPARE(g.centerY, 0.0);
    QCOMPARE(g.scaleWidth, 2.0f);
    QCOMPARE(g.scaleHeight, 0.5f);
    QCOMPARE(g.rotationZ, 1.5f);
    QCOMPARE(g.transparency, 0.25f);
    QCOMPARE(g.anchorY, 1.0);

    s.setDuration(4);
    const int id = s.insertTransition(1, 0);
    s.setTransitionUserTranslation(id, false, QPointF(-0.5, 0));
    const LayerGeometry t = s.transitionLayerGeometry(id, false, QSizeF(200, 100));
    QCOMPARE(t.centerX, 0.0);
    QCOMPARE(t.centerY, 50.0);
    QCOMPARE(t.scaleWidth, 2.0f); // a new transition starts from the user values
  }

  void newDrawingsTakeTheFirstFreeNumber()
  {
    TempProjectFolder project;
    QVERIFY(project.writeFile("drawingImage-1.png", "x"));
    QVERIFY(project.writeFile("drawingImage-3.png", "x"));
    QCOMPARE(DrawingSegment::newDrawingImagePath(project.path()), project.filePath("drawingImage-2.png"));

    FakeSegmentListener listener;
    listener.folder = project.path();
    DrawingSegment drawing(QSizeF(64.7, 32.2), 1, 5, &listener, nullptr);
    QCOMPARE(drawing.type(), QStringLiteral("DRAWING"));
    QCOMPARE(drawing.properties()->text("File"), QStringLiteral("drawingImage-2.png"));
    QCOMPARE(drawing.properties()->text("DrawSize"), QStringLiteral("{64,32}"));
    QCOMPARE(drawing.rangeStart(), 1.0f);
    QCOMPARE(drawing.duration(), 5.0f);
    QTRY_COMPARE(drawing.state(), quint32(SegmentReady));
    QCOMPARE(drawing.error(), quint32(SegmentNoError));
    QCOMPARE(drawing.pixmap().size(), QSize(64, 32));
    QVERIFY(!drawing.loadAnimation());
  }

  void redrawingKeepsTheOldFile()
  {
    DrawingProject fixture;
    TempProjectFolder &project = fixture.project;
    DrawingSegment &drawing = *fixture.drawing;
    QTRY_COMPARE(drawing.state(), quint32(SegmentReady));
    const QByteArray first = project.readFile("drawingImage-1.png");
    QVERIFY(!first.isEmpty());

    QPixmap red(80, 40);
    red.fill(Qt::red);
    QVERIFY(drawing.setDrawingImage(red));
    QCOMPARE(drawing.properties()->text("File"), QStringLiteral("drawingImage-2.png"));
    QCOMPARE(drawing.properties()->text("DrawSize"), QStringLiteral("{80,40}"));
    QCOMPARE(drawing.naturalSize(), QSizeF(80, 40));
    // Undo snapshots still name the first file.
    QCOMPARE(project.readFile("drawingImage-1.png"), first);
    QCOMPARE(qRed(drawing.pixmap().toImage().pixel(5, 5)), 255);
    // The preview was replaced at its own size (the first drawing was under the track height).
    QCOMPARE(drawing.preview().size(), QSize(40, 20));
    QCOMPARE(qRed(drawing.preview().toImage().pixel(5, 5)), 255);
  }

  void failedDrawingSaveChangesNothing()
  {
    DrawingProject fixture;
    TempProjectFolder &project = fixture.project;
    FakeSegmentListener &listener = fixture.listener;
    DrawingSegment &drawing = *fixture.drawing;
    QTRY_COMPARE(drawing.state(), quint32(SegmentReady));
    const PropertyMap before = *drawing.properties();
    const QByteArray first = project.readFile("drawingImage-1.png");

    // The folder is gone: the save cannot work.
    listener.folder = project.filePath("no such folder");
    QPixmap red(80, 40);
    red.fill(Qt::red);
    QTest::ignoreMessage(QtDebugMsg, "Save drawing image failed");
    QVERIFY(!drawing.setDrawingImage(red));
    listener.folder = project.path();
    QCOMPARE(*drawing.properties(), before);
    QCOMPARE(drawing.naturalSize(), QSizeF(40, 20));
    QCOMPARE(project.readFile("drawingImage-1.png"), first);

    // No project folder at all: nothing is written anywhere.
    DrawingSegment orphan(QSizeF(10, 10), 0, 1, nullptr, nullptr);
    QVERIFY(!orphan.properties()->contains("File"));
  }

  void copiedDrawingIsADrawing()
  {
    TempProjectFolder project;
    FakeSegmentListener listener;
    listener.folder = project.path();
    DrawingSegment source(QSizeF(20, 20), 0, 5, &listener, nullptr);
    DrawingSegment copy(&source, source.filePath(), 7, &listener);
    QCOMPARE(copy.type(), QStringLiteral("DRAWING"));
    QCOMPARE(copy.rangeStart(), 7.0f);
    QVERIFY(copy.uid() != source.uid());
    QTRY_COMPARE(copy.state(), quint32(SegmentReady));
    QCOMPARE(copy.error(), quint32(SegmentNoError));
  }

  void pictureStyleDefaults()
  {
    UserStyleDefaults::reset();
    UserStyleDefaults *d = UserStyleDefaults::instance();
    d->setImageBorderSizeFraction(0.02f);
    d->setImageBorderColor(0xFF112233u);
    d->setImageBorderStroke(true);
    d->setImageShadowOpacity(0.5f);
    d->setImageShadowOffsetFraction(QSizeF(0.01, 0.02));
    d->setImageShadowRadiusFraction(0.25f);
    d->setImageShadowColor(0xFF445566u);
    d->setImageCornerRadiusFraction(0);
    d->setChromaKeySensitivity(33);
    d->setChromaKeySmoothing(7);
    d->setChromaKeyColor(0xFF0000FFu);
    d->setBorderStrokeTolerance(90);
    d->setBorderStrokeStrength(60);
    d->setDrawingBorderSizeFraction(0);
    d->setDrawingShadowOffsetFraction(QSizeF());

    ImageSegment image(QStringLiteral("/nowhere.png"), 0, 1, nullptr, d);
    const PropertyMap &p = *image.properties();
    QCOMPARE(image.borderWidthFraction(), 0.02f);
    QVERIFY(!p.contains("BorderWidth")); // the fraction wins
    QCOMPARE(image.borderColor(), 0xFF112233u);
    QVERIFY(image.borderStroke());
    QCOMPARE(image.shadowOpacity(), 0.5f);
    QCOMPARE(p.text("ShadowOffsetFraction"), QStringLiteral("{0.01,0.02}"));
    QVERIFY(!p.contains("ShadowPixelOffset"));
    QCOMPARE(image.shadowRadiusFraction(), 0.25f);
    QCOMPARE(image.shadowColor(), 0xFF445566u);
    QCOMPARE(image.cornerRadiusFraction(), 0.0f);
    QVERIFY(p.contains("CornerRadius")); // the fraction is 0
    QCOMPARE(image.keySensitivity(), 33);
    QCOMPARE(image.keySmoothing(), 7);
    QCOMPARE(image.keyColor(), 0xFF0000FFu);
    QCOMPARE(image.borderStrokeTolerance(), 90);
    QCOMPARE(image.borderStrokeStrength(), 60);
    QVERIFY(image.properties()->contains("TimeStamp"));

    // Drawings keep their own values: pixel width and pixel offset apply here.
    Segment drawing(nullptr);
    UserStyleApply::applyDrawingStyle(*d, drawing);
    QVERIFY(drawing.properties()->contains("BorderWidth"));
    QVERIFY(drawing.properties()->contains("ShadowPixelOffset"));
    QCOMPARE(drawing.keySensitivity(), 33);

    // Movies take fractions only.
    Segment movie(nullptr);
    UserStyleApply::applyMovieStyle(*d, movie);
    for (const char *key : {"BorderWidth", "ShadowPixelOffset", "CornerRadius"})
      QVERIFY2(!movie.properties()->contains(key), key);
    for (const char *key : {"BorderWidthFraction", "BorderColor", "BorderStroke", "ShadowOpacity",
                            "ShadowOffsetFraction", "ShadowRadiusFraction", "ShadowColor", "CornerRadiusFraction",
                            "KeySensitivity", "KeySmoothing", "KeyColor", "BorderStrokeTolerance",
                            "BorderStrokeStrength"})
      QVERIFY2(movie.properties()->contains(key), key);
    UserStyleDefaults::reset();
  }
};

TAVO_TEST_GUI_MAIN(TestImageSegment)
#include "tst_imagesegment.moc"
