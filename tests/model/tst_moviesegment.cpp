// Movie segments: the two engine parts' load reports and the states, errors and flags they
// lead to, the media length, trims and edge moves, the placement of the natural frame, and
// the thumbnails strip of the timeline block.
#include "fakesegmentlistener.h"
#include "moviesegment.h"
#include "tempprojectfolder.h"
#include "testenv.h"
#include "videothumbnailscache.h"

#include <QFile>
#include <QPainter>

#include <cmath>

namespace {

// The fake listener with a real thumbnails cache behind the movie's cache queries.
class CachingListener : public FakeSegmentListener
{
public:
  VideoThumbnailsCache cache;

  void setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap) override
  {
    FakeSegmentListener::setCachedVideoThumbnail(segment, index, pixmap);
    if (auto *movie = dynamic_cast<MovieSegment *>(segment))
      cache.setThumbnail(movie->filePath(), new QPixmap(pixmap), index);
  }
  VideoThumbnails *cachedVideoThumbnails(Segment *segment) override
  {
    auto *movie = dynamic_cast<MovieSegment *>(segment);
    return movie ? cache.videoThumbnails(movie->filePath()) : nullptr;
  }
};

QColor indexColor(int index)
{
  return QColor::fromHsv((index * 22) % 360, 255, 255);
}

QList<QPixmap> colouredThumbnails(int count, int width, int height)
{
  QList<QPixmap> list;
  for (int i = 0; i < count; ++i) {
    QPixmap pixmap(width, height);
    pixmap.fill(indexColor(i));
    list.append(pixmap);
  }
  return list;
}

// The thumbnail index whose colour the pixel has, or -1.
int indexAt(const QImage &image, int x)
{
  const QColor c = image.pixelColor(x, image.height() / 2);
  for (int i = 0; i < 16; ++i)
    if (qAbs(c.hue() - indexColor(i).hue()) <= 2 && c.saturation() > 200)
      return i;
  return -1;
}

bool near(const QRectF &a, const QRectF &b)
{
  return qAbs(a.x() - b.x()) < 0.01 && qAbs(a.y() - b.y()) < 0.01 && qAbs(a.width() - b.width()) < 0.01 &&
         qAbs(a.height() - b.height()) < 0.01;
}

} // namespace

class TestMovieSegment : public QObject
{
  Q_OBJECT
private:
  TempProjectFolder m_project;
  QString m_video; // a stand-in file: the engine is scripted, the file only has to exist

  // A movie imported by the user and moved to state 1, with scripted engine answers.
  std::unique_ptr<MovieSegment> importMovie(CachingListener &listener, const QString &path, float video = 8,
                                            float audio = 7.5f)
  {
    auto movie = std::make_unique<MovieSegment>(path, 2, &listener, nullptr);
    listener.videoDurations[movie->id()] = video;
    listener.audioDurations[movie->audioPartId()] = audio;
    listener.videoSizes[movie->id()] = QSizeF(320, 180);
    listener.engineThumbnails[movie->id()] = colouredThumbnails(16, 32, 18);
    if (!QTest::qWaitFor([&] { return movie->state() == SegmentLoading; }))
      return nullptr;
    return movie;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_project.isValid());
    QVERIFY(m_project.writeFile("clip.mp4", "not really a movie"));
    m_video = m_project.filePath("clip.mp4");
  }

  void partsReportInEitherOrder_data()
  {
    QTest::addColumn<QString>("order");
    QTest::addColumn<QList<int>>("states");
    // The engine decodes thumbnails before it reports the video part open.
    QTest::newRow("thumbnails, video, audio") << "tva" << QList<int>{1, 2, 4};
    QTest::newRow("audio, thumbnails, video") << "atv" << QList<int>{1, 2, 4};
    QTest::newRow("video, audio") << "va" << QList<int>{1, 4};
    QTest::newRow("audio, video") << "av" << QList<int>{1, 4};
  }
  void partsReportInEitherOrder()
  {
    QFETCH(QString, order);
    QFETCH(QList<int>, states);
    CachingListener listener;
    listener.folder = m_project.path();
    auto movie = importMovie(listener, m_video);
    QVERIFY(movie);
    QCOMPARE(movie->audioPartId(), movie->id() + 1);
    QVERIFY(!movie->isLoaded());
    for (QChar step : order) {
      if (step == 't')
        movie->loadStatusUpdated(movie->id(), 0, 1, 0);
      else if (step == 'v')
        movie->loadStatusUpdated(movie->id(), 0, 0, 0);
      else
        movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    }
    QVERIFY(movie->isLoaded());
    QVERIFY(movie->isTimelineContentReady());
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    QCOMPARE(listener.statesOf(movie.get()), states);
    QCOMPARE(movie->error(), quint32(SegmentNoError));
    QVERIFY(movie->hasVideo());
    QVERIFY(movie->hasAudio());
    QCOMPARE(movie->mediaLength(), 8.0f);
    QCOMPARE(movie->videoSize(), QSizeF(320, 180));
    // Copied into the cache and the engine's copies released.
    QCOMPARE(listener.cache.thumbnailCount(m_video), 16);
    QCOMPARE(listener.releasedThumbnails, QList<Segment *>{movie.get()});
    // A fresh import takes the media length as its duration and trim.
    QCOMPARE(movie->duration(), 8.0f);
    QCOMPARE(movie->trimDuration(), 8.0f);

    // Later reports change nothing.
    const int reports = listener.stateChanges().size();
    movie->loadStatusUpdated(movie->id(), -5, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), -5, 0, 0);
    QVERIFY(movie->hasVideo() && movie->hasAudio());
    QCOMPARE(movie->error(), quint32(SegmentNoError));
    QCOMPARE(listener.stateChanges().size(), reports);
  }

  void failingParts()
  {
    CachingListener listener;
    listener.folder = m_project.path();

    // No audio stream: the video alone carries the movie.
    auto silent = importMovie(listener, m_video);
    QVERIFY(silent);
    silent->loadStatusUpdated(silent->audioPartId(), -3, 0, 0);
    silent->loadStatusUpdated(silent->id(), 0, 0, 0);
    QTRY_COMPARE(silent->state(), quint32(SegmentReady));
    QVERIFY(!silent->hasAudio());
    QVERIFY(silent->hasVideo());
    QCOMPARE(silent->error(), quint32(SegmentNoError));

    // Sound only: ready at once with the length taken.
    auto soundOnly = importMovie(listener, m_video, 0, 6);
    QVERIFY(soundOnly);
    soundOnly->loadStatusUpdated(soundOnly->id(), -3, 0, 0);
    soundOnly->loadStatusUpdated(soundOnly->audioPartId(), 0, 0, 0);
    QCOMPARE(soundOnly->state(), quint32(SegmentReady));
    QCOMPARE(soundOnly->mediaLength(), 6.0f);
    QCOMPARE(soundOnly->error(), quint32(SegmentNoError));

    // Both fail on an existing file: a load error.
    auto broken = importMovie(listener, m_video);
    QVERIFY(broken);
    broken->loadStatusUpdated(broken->id(), -3, 0, 0);
    broken->loadStatusUpdated(broken->audioPartId(), -3, 0, 0);
    QCOMPARE(broken->state(), quint32(SegmentReady));
    QCOMPARE(broken->error(), quint32(SegmentLoadError));

    // Both fail on a missing file: file missing, and the block says so.
    auto missing = importMovie(listener, m_project.filePath("gone.mp4"));
    QVERIFY(missing);
    missing->loadStatusUpdated(missing->audioPartId(), -2, 0, 0);
    QCOMPARE(missing->error(), quint32(SegmentFileMissing));
    missing->loadStatusUpdated(missing->id(), -2, 0, 0);
    QCOMPARE(missing->state(), quint32(SegmentReady));
    QCOMPARE(missing->error(), quint32(SegmentFileMissing));
    QImage block(120, 30, QImage::Format_ARGB32);
    block.fill(Qt::black);
    QPainter painter(&block);
    missing->paintBlock(&painter, block.rect(), block.rect(), 10);
    painter.end();
    QCOMPARE(block.pixelColor(2, 2), QColor(255, 255, 0));
  }

  // A file that opens but whose length the engine cannot find is a load error, whether it was
  // just added or a project holds it with a length; its parts that did not open change nothing.
  void openedWithoutLength_data()
  {
    QTest::addColumn<int>("videoStatus");
    QTest::addColumn<int>("audioStatus");
    QTest::addColumn<QString>("storedDuration");
    QTest::newRow("video with sound") << 0 << 0 << "";
    QTest::newRow("video alone") << 0 << -3 << "";
    QTest::newRow("sound alone") << -3 << 0 << "";
    QTest::newRow("project clip of 3 s") << 0 << 0 << "3";
  }
  void openedWithoutLength()
  {
    QFETCH(int, videoStatus);
    QFETCH(int, audioStatus);
    QFETCH(QString, storedDuration);
    CachingListener listener;
    listener.folder = m_project.path();
    std::unique_ptr<MovieSegment> movie;
    if (storedDuration.isEmpty()) {
      movie = importMovie(listener, m_video, 0, 0);
    } else {
      auto *bag = new PropertyMap;
      bag->setText("Type", "MOVIE");
      bag->setText("File", m_video);
      bag->setText("RangeDuration", storedDuration);
      movie = std::make_unique<MovieSegment>(bag, &listener, false);
      listener.videoSizes[movie->id()] = QSizeF(320, 180);
      QTRY_COMPARE(movie->state(), quint32(SegmentLoading));
    }
    QVERIFY(movie);
    movie->loadStatusUpdated(movie->id(), videoStatus, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), audioStatus, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    QCOMPARE(movie->error(), quint32(SegmentLoadError));
    QCOMPARE(movie->hasVideo(), videoStatus == 0);
    QCOMPARE(movie->hasAudio(), audioStatus == 0);
    QCOMPARE(movie->duration(), storedDuration.toFloat());
  }

  void withoutListenerNothingLoads()
  {
    MovieSegment movie(m_video, 0, nullptr, nullptr);
    MovieSegment copy(&movie, 3, nullptr);
    QTest::qWait(30);
    QCOMPARE(movie.state(), quint32(SegmentCreated));
    QCOMPARE(copy.state(), quint32(SegmentCreated));
    QVERIFY(copy.audioPartId() != movie.audioPartId());
    QVERIFY(copy.audioPartId() != copy.id());
  }

  void copiesLearnAgain()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    auto movie = importMovie(listener, m_video);
    QVERIFY(movie);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    MovieSegment copy(movie.get(), 20, &listener);
    QVERIFY(!copy.isFreshImport());
    QVERIFY(!copy.isLoaded());
    QCOMPARE(copy.mediaLength(), 0.0f);
    QVERIFY(!copy.videoSize().isValid());
    QCOMPARE(copy.rangeStart(), 20.0f);
    QCOMPARE(copy.filePath(), m_video);
    QCOMPARE(copy.properties()->text("File"), QStringLiteral("clip.mp4"));
    QTRY_COMPARE(copy.state(), quint32(SegmentLoading));
  }

  void mediaLengthForProjectSegments()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    PropertyMap *bag = new PropertyMap;
    bag->setText("Type", "MOVIE");
    bag->setText("File", m_video);
    bag->setText("RangeDuration", "3");
    bag->setText("TrimStart", "1");
    MovieSegment movie(bag, &listener, false);
    QVERIFY(movie.hasTimeStamp()); // filled from the file
    QVERIFY(movie.timeStamp() > 0);
    listener.videoDurations[movie.id()] = 9;
    movie.updateMediaLength();
    // A project segment keeps its duration but the listener hears of the range again.
    QCOMPARE(movie.duration(), 3.0f);
    QCOMPARE(listener.rangeChanges.count(&movie), 1);
    QCOMPARE(movie.trimDuration(), 9.0f);
    QCOMPARE(movie.mediaDuration(), 9.0f);
    movie.updateMediaLength(); // unchanged: nothing happens
    QCOMPARE(listener.rangeChanges.count(&movie), 1);
  }

  void edgesFollowAndClampTheTrim()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    auto movie = importMovie(listener, m_video, 10, 10);
    QVERIFY(movie);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    QCOMPARE(movie->rangeStart(), 2.0f);

    // Inside the media: the trim start moves with the edge, the trim shortens by as much.
    float time = 3.5f;
    QVERIFY(movie->moveLeftEdge(&time));
    QCOMPARE(movie->rangeStart(), 3.5f);
    QCOMPARE(movie->duration(), 8.5f);
    QCOMPARE(movie->trimStart(), 1.5f);
    QCOMPARE(movie->trimDuration(), 8.5f);

    // Before the media start: the edge stops where the trim start is 0.
    time = 0;
    QVERIFY(!movie->moveLeftEdge(&time));
    QCOMPARE(time, 2.0f);
    QCOMPARE(movie->rangeStart(), 2.0f);
    QCOMPARE(movie->trimStart(), 0.0f);
    QCOMPARE(movie->trimDuration(), 10.0f);

    // Past the media end: clamped to the length less the trim start.
    time = 1.0f;
    QVERIFY(movie->moveLeftEdge(&time) == false);
    time = 4.0f;
    QVERIFY(movie->moveLeftEdge(&time));
    time = 30;
    QVERIFY(!movie->moveRightEdge(&time));
    QCOMPARE(movie->trimStart(), 2.0f);
    QCOMPARE(time, 12.0f);
    QCOMPARE(movie->duration(), 8.0f);
    QCOMPARE(movie->trimDuration(), 8.0f);
    time = 9;
    QVERIFY(movie->moveRightEdge(&time));
    QCOMPARE(movie->duration(), 5.0f);

    // At double speed the stored trim is in media seconds.
    movie->setSpeed(2);
    QCOMPARE(movie->speedScaledTrimStart(), 1.0f);
    time = movie->rangeStart() + 0.5f;
    QVERIFY(movie->moveLeftEdge(&time));
    QCOMPARE(movie->trimStart(), 3.0f);
    time = movie->rangeStart() + 100;
    QVERIFY(!movie->moveRightEdge(&time));
    QCOMPARE(movie->duration(), 3.5f); // 10 / 2 - 1.5
    QCOMPARE(movie->trimDuration(), 7.0f);
  }

  void rightEdgeIsFreeWhileTheLengthIsUnknown()
  {
    MovieSegment movie(m_video, 1, nullptr, nullptr);
    float time = 6;
    QVERIFY(movie.moveRightEdge(&time));
    QCOMPARE(movie.duration(), 5.0f);
    QCOMPARE(movie.trimDuration(), 5.0f);
  }

  void naturalFramePlacement()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    auto movie = importMovie(listener, m_video);
    QVERIFY(movie);
    QRectF placed(1, 2, 3, 4);
    // Unknown natural size: identity and no rectangle.
    QVERIFY(movie->fitTransform(QSizeF(640, 640), &placed).isIdentity());
    QVERIFY(placed.isNull());
    listener.videoSizes[movie->id()] = QSizeF(1920, 1080);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    MovieSegment &wide = *movie;

    const QSizeF square(640, 640);
    wide.fitTransform(square, &placed);
    QVERIFY2(near(placed, QRectF(0, 140, 640, 360)), qPrintable(QStringLiteral("fit %1,%2 %3x%4")
                                                                    .arg(placed.x()).arg(placed.y())
                                                                    .arg(placed.width()).arg(placed.height())));
    const LayerGeometry geometry = wide.fitGeometry(square);
    QCOMPARE(geometry.scaleWidth, float(640.0 / 1920.0));
    QCOMPARE(geometry.centerX, 320.0);

    // User scale, then centring by the fitted size, then the move in frame fractions.
    wide.setUserScale(QSizeF(0.5, 0.5));
    wide.setUserTranslation(QPointF(0.25, 0));
    wide.userTransform(square, &placed);
    QVERIFY(near(placed, QRectF(160, 140, 320, 180)));

    // A half turn and a horizontal mirror keep the rectangle; the mirror swaps left and right.
    wide.setUserRotation(M_PI);
    QTransform turned = wide.userTransform(square, &placed);
    QVERIFY(near(placed, QRectF(160, 140, 320, 180)));
    QPointF corner = turned.map(QPointF(0, 0));
    QVERIFY2(qAbs(corner.x() - 480) < 0.01 && qAbs(corner.y() - 320) < 0.01,
             qPrintable(QStringLiteral("corner at %1,%2").arg(corner.x()).arg(corner.y())));
    wide.setUserRotation(0);
    // Layers flip by half turns, which the handles do not mirror; an old flip value does.
    wide.setFlippedHorizontally(true);
    wide.userTransform(square, &placed);
    QVERIFY(near(wide.userTransform(square).mapRect(QRectF(0, 0, 1, 1)), QRectF(160 + 0.0, 140, 1.0 / 6, 1.0 / 6)));
    wide.setUserFlip(1);
    const QTransform mirrored = wide.userTransform(square, &placed);
    QVERIFY(near(placed, QRectF(160, 140, 320, 180)));
    corner = mirrored.map(QPointF(0, 0));
    QVERIFY2(qAbs(corner.x() - 480) < 0.01 && qAbs(corner.y() - 140) < 0.01,
             qPrintable(QStringLiteral("corner at %1,%2").arg(corner.x()).arg(corner.y())));

    // A transition's values place it the same way.
    const int id = wide.insertTransition(1, wide.rangeStart() + 1);
    QVERIFY(id > 0);
    wide.setTransitionUserScale(id, true, QSizeF(0.25, 0.25));
    wide.setTransitionUserTranslation(id, true, QPointF(0, 0.1));
    wide.transitionTransform(id, true, square, &placed);
    QVERIFY(near(placed, QRectF(0, 204, 160, 90)));
  }

  void thumbnailStripFollowsTheMedia()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    const QString path = m_project.filePath("strip.mp4");
    QVERIFY(m_project.writeFile("strip.mp4", "x"));
    auto movie = importMovie(listener, path, 16, 16);
    QVERIFY(movie);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));

    // 32 x 18 thumbnails at 18 pixels high: 32-pixel tiles; 16 s at 32 px/s: one per tile.
    QImage strip(200, 18, QImage::Format_ARGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    movie->paintBlock(&painter, strip.rect(), strip.rect(), 32);
    painter.end();
    for (int tile = 0; tile < 6; ++tile)
      QCOMPARE(indexAt(strip, 16 + 32 * tile), tile);
    QCOMPARE(indexAt(strip, 199), 6);

    // A trim start of 1.5 s is 48 pixels: the first tile starts 16 pixels left of the block.
    float time = movie->rangeStart() + 1.5f;
    QVERIFY(movie->moveLeftEdge(&time));
    strip.fill(Qt::black);
    painter.begin(&strip);
    movie->paintBlock(&painter, strip.rect(), strip.rect(), 32);
    painter.end();
    QCOMPARE(indexAt(strip, 0), 1);
    QCOMPARE(indexAt(strip, 15), 1);
    QCOMPARE(indexAt(strip, 16), 2);
    QCOMPARE(indexAt(strip, 48), 3);

    // The overlay always starts at the media start.
    strip.fill(Qt::black);
    painter.begin(&strip);
    movie->paintOverlay(&painter, strip.rect(), strip.rect(), 32);
    painter.end();
    QCOMPARE(indexAt(strip, 0), 0);
    QCOMPARE(indexAt(strip, 40), 1);

    // Too little zoom for one pixel per thumbnail, or tiles of no width: nothing, no crash.
    strip.fill(Qt::black);
    painter.begin(&strip);
    movie->paintBlock(&painter, strip.rect(), strip.rect(), 0.5f);
    movie->paintOverlay(&painter, strip.rect(), strip.rect(), 0.5f);
    movie->paintBlock(&painter, QRect(0, 0, 200, 0), strip.rect(), 32);
    painter.end();
    QCOMPARE(strip.pixelColor(100, 9), QColor(Qt::black));
  }

  void thinThumbnailsPaintNothing()
  {
    CachingListener listener;
    listener.folder = m_project.path();
    QVERIFY(m_project.writeFile("thin.mp4", "x"));
    auto movie = importMovie(listener, m_project.filePath("thin.mp4"), 16, 16);
    QVERIFY(movie);
    listener.engineThumbnails[movie->id()] = colouredThumbnails(16, 1, 100);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QTRY_COMPARE(movie->state(), quint32(SegmentReady));
    QImage strip(100, 18, QImage::Format_ARGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    movie->paintBlock(&painter, strip.rect(), strip.rect(), 100); // tiles of width 0
    movie->paintOverlay(&painter, strip.rect(), strip.rect(), 100);
    painter.end();
    QCOMPARE(strip.pixelColor(0, 9), QColor(Qt::black));
  }
};

TAVO_TEST_GUI_MAIN(TestMovieSegment)
#include "tst_moviesegment.moc"
