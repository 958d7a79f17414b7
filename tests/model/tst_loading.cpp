// The loading protocol: the pool, the states each segment kind passes through, where they
// are reported, construction order, and segments edited or deleted while they load.
#include "assetloadingthreadpool.h"
#include "drawingsegment.h"
#include "fakesegmentlistener.h"
#include "imagesegment.h"
#include "mediafixtures.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "tempprojectfolder.h"
#include "testenv.h"
#include "textsegment.h"
#include "voicesegment.h"

#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Records the thread of every state report, and can delete a segment when it reports.
class RecordingListener : public FakeSegmentListener
{
public:
  std::atomic<int> foreignThreadReports{0};
  Segment *deleteOnState = nullptr;
  int deleteState = -1;

  void segmentStateChanged(Segment *segment, int state) override
  {
    FakeSegmentListener::segmentStateChanged(segment, state);
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
      ++foreignThreadReports;
    if (segment == deleteOnState && state == deleteState) {
      deleteOnState = nullptr;
      delete segment;
    }
  }
};

// Its own constructor names the file after ImageSegment's constructor has run.
class LateFileImage : public ImageSegment
{
public:
  LateFileImage(const QString &first, const QString &second, SegmentListener *listener)
      : ImageSegment(first, 0, 3, listener, nullptr)
  {
    setFile(second);
  }
};

QtMessageHandler g_previousHandler = nullptr;
std::atomic<int> g_poolLines{0};

void countPoolLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
  if (message.startsWith(QLatin1String("Thread pool max thread count is ")))
    ++g_poolLines;
  g_previousHandler(type, context, message);
}

void settle()
{
  AssetLoadingThreadPool::instance()->waitForDone();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

} // namespace

class TestLoading : public QObject
{
  Q_OBJECT
private:
  TempProjectFolder m_project;
  QString m_picture;
  QString m_bigPicture;
  QString m_gif;
  QString m_tone;
  QString m_movie;

  // What the engine would report for a segment that has reached state 1.
  static void reportOpened(RecordingListener &listener, Segment *segment)
  {
    if (segment->state() != SegmentLoading)
      return;
    if (segment->type() == QLatin1String("MOVIE")) {
      listener.videoDurations[segment->id()] = 2;
      listener.audioDurations[segment->audioPartId()] = 2;
      segment->loadStatusUpdated(segment->id(), 0, 1, 0);
      segment->loadStatusUpdated(segment->audioPartId(), 0, 0, 0);
      segment->loadStatusUpdated(segment->id(), 0, 0, 0);
    } else if (segment->type() == QLatin1String("MUSIC") || segment->type() == QLatin1String("VOICE")) {
      listener.audioDurations[segment->id()] = 2;
      segment->loadStatusUpdated(segment->id(), 0, 0, 0);
    }
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_project.isValid());
    m_picture = m_project.filePath("picture.png");
    // PNG: read whole before scaling, so reads take a while.
    m_bigPicture = m_project.filePath("big.png");
    m_gif = m_project.filePath("anim.gif");
    QVERIFY(MediaFixtures::writePicture(m_picture, 64, 48));
    QVERIFY(MediaFixtures::writePicture(m_bigPicture, 2400, 1800));
    QVERIFY(MediaFixtures::writeAnimatedGif(m_gif, 24, 24, {40, 40, 40, 40}));
    m_tone = m_project.filePath("tone.wav");
    QVERIFY(MediaFixtures::writeTone(m_tone, 2.0));
    // The engine is scripted: the movie file only has to exist.
    m_movie = m_project.filePath("movie.mp4");
    QVERIFY(m_project.writeFile("movie.mp4", "x"));
  }

  // Must stay the first test: the pool does not exist yet.
  void poolIsCreatedOnceAndSaysSo()
  {
    g_previousHandler = qInstallMessageHandler(countPoolLines);
    AssetLoadingThreadPool *seen[4] = {};
    std::vector<std::thread> threads;
    for (auto &slot : seen)
      threads.emplace_back([&slot] { slot = AssetLoadingThreadPool::instance(); });
    for (auto &thread : threads)
      thread.join();
    AssetLoadingThreadPool *pool = AssetLoadingThreadPool::instance();
    qInstallMessageHandler(g_previousHandler);
    for (auto *p : seen)
      QCOMPARE(p, pool);
    QCOMPARE(g_poolLines.load(), 1);
    QCOMPARE(pool->maxThreadCount(), QThread::idealThreadCount());
  }

  void withoutListenerNothingLoads()
  {
    ImageSegment image(m_picture, 0, 3, nullptr, nullptr);
    DrawingSegment drawing(QSizeF(10, 10), 0, 3, nullptr, nullptr);
    TextSegment text(QStringLiteral("t"), 0, 3, nullptr, nullptr);
    ImageSegment bare(nullptr);
    settle();
    QTest::qWait(20);
    for (Segment *s : std::initializer_list<Segment *>{&image, &drawing, &text, &bare})
      QCOMPARE(s->state(), quint32(SegmentCreated));
  }

  void eachKindReportsLoadingThenReadyOnItsThread()
  {
    RecordingListener listener;
    listener.folder = m_project.path();
    ImageSegment image(m_picture, 0, 3, &listener, nullptr);
    ImageSegment missing(m_project.filePath("missing.png"), 0, 3, &listener, nullptr);
    DrawingSegment drawing(QSizeF(30, 20), 0, 3, &listener, nullptr);
    DrawingSegment drawingCopy(&drawing, drawing.filePath(), 4, &listener);
    TextSegment text(QStringLiteral("t"), 0, 3, &listener, nullptr);
    auto *bag = new PropertyMap(*image.properties());
    ImageSegment fromFile(bag, &listener, false);
    // Nothing is reported before the constructors have all returned to the event loop.
    QVERIFY(listener.stateChanges().isEmpty());

    const std::vector<Segment *> all{&image, &missing, &drawing, &drawingCopy, &text, &fromFile};
    for (Segment *s : all)
      QTRY_COMPARE(s->state(), quint32(SegmentReady));
    for (Segment *s : all)
      QCOMPARE(listener.statesOf(s), (QList<int>{SegmentLoading, SegmentReady}));
    QCOMPARE(listener.foreignThreadReports.load(), 0);
    QCOMPARE(image.error(), quint32(SegmentNoError));
    QCOMPARE(missing.error(), quint32(SegmentFileMissing));
    QCOMPARE(drawing.error(), quint32(SegmentNoError));
    QCOMPARE(drawingCopy.error(), quint32(SegmentNoError));
    QCOMPARE(fromFile.error(), quint32(SegmentNoError));
    QCOMPARE(text.error(), quint32(SegmentNoError));
    QCOMPARE(drawingCopy.type(), QStringLiteral("DRAWING"));
  }

  void loadingStartsAfterTheMostDerivedConstructor()
  {
    RecordingListener listener;
    listener.folder = m_project.path();
    LateFileImage image(m_project.filePath("not there.png"), m_picture, &listener);
    QTRY_COMPARE(image.state(), quint32(SegmentReady));
    QCOMPARE(image.error(), quint32(SegmentNoError));
    QCOMPARE(image.naturalSize(), QSizeF(64, 48));
  }

  void deletedBeforeOrWhileLoading()
  {
    RecordingListener listener;
    listener.folder = m_project.path();
    // Deleted before the event loop ran: nothing is ever queued or reported.
    for (int i = 0; i < 20; ++i) {
      delete new ImageSegment(m_bigPicture, 0, 3, &listener, nullptr);
      delete new TextSegment(QStringLiteral("x"), 0, 3, &listener, nullptr);
    }
    settle();
    QVERIFY(listener.stateChanges().isEmpty());

    // Deleted with reads queued and running: the destructor waits for a running read and
    // its result is dropped.
    std::vector<ImageSegment *> images;
    for (int i = 0; i < 40; ++i)
      images.push_back(new ImageSegment(m_bigPicture, 0, 3, &listener, nullptr));
    QCoreApplication::processEvents(); // starts every read
    QTRY_VERIFY(AssetLoadingThreadPool::instance()->activeThreadCount() > 0);
    for (ImageSegment *image : images)
      delete image;
    const int reportsAtDeletion = listener.stateChanges().size();
    settle();
    QCOMPARE(listener.stateChanges().size(), reportsAtDeletion);
    for (const auto &change : listener.stateChanges())
      QCOMPARE(change.second, int(SegmentLoading));
  }

  void deletedByTheListenerWhileReporting()
  {
    RecordingListener listener;
    listener.folder = m_project.path();
    auto *loading = new ImageSegment(m_picture, 0, 3, &listener, nullptr);
    auto *ready = new TextSegment(QStringLiteral("x"), 0, 3, &listener, nullptr);
    listener.deleteOnState = loading;
    listener.deleteState = SegmentLoading;
    QTRY_COMPARE(listener.stateChanges().size(), 3); // the image's 1, the text's 1 and 4
    listener.deleteOnState = ready;
    listener.deleteState = SegmentReady;
    auto *second = new TextSegment(QStringLiteral("y"), 0, 3, &listener, nullptr);
    QTRY_COMPARE(second->state(), quint32(SegmentReady));
    settle();
    delete second;
    settle();
    QCOMPARE(listener.statesOf(loading), (QList<int>{SegmentLoading}));
  }

  // Many segments loading while the segments' thread edits them, some deleted mid-load,
  // and the engine's thread asking an animation for frames while its file is replaced.
  // Meant to run under the race checker too (./dev tsan).
  void manySegmentsEditedAndDeletedWhileLoading()
  {
    RecordingListener listener;
    listener.folder = m_project.path();
    std::vector<std::unique_ptr<Segment>> segments;
    for (int i = 0; i < 40; ++i) {
      segments.emplace_back(new ImageSegment(i % 2 ? m_picture : m_bigPicture, i, 3, &listener, nullptr));
      segments.emplace_back(new DrawingSegment(QSizeF(16 + i, 16), i, 3, &listener, nullptr));
      segments.emplace_back(new TextSegment(QStringLiteral("text %1").arg(i), i, 3, &listener, nullptr));
      if (i % 4 == 0) {
        segments.emplace_back(new MovieSegment(m_movie, i, &listener, nullptr));
        segments.emplace_back(new MusicSegment(m_tone, i, QStringLiteral("tone"), QString(), &listener));
        segments.emplace_back(new VoiceSegment(m_tone, i, {0.5f, 1.0f}, &listener));
      }
    }
    ImageSegment animated(m_gif, 0, 3, &listener, nullptr);
    QVERIFY(animated.loadAnimation());
    int deletedWhileLoading = 0;
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
    // The project loader's thread counts loaded segments meanwhile, under the list's lock.
    std::mutex listLock;
    std::thread loader([&] {
      while (!stop.load()) {
        {
          std::lock_guard<std::mutex> lock(listLock);
          for (const auto &segment : segments)
            if (segment)
              segment->isLoaded();
        }
        std::this_thread::yield();
      }
    });
    std::thread engine([&] {
      int size[2];
      for (float t = 0; !stop.load(); t += 13) {
        if (uchar *bits = animated.animationFrameBits(t, size)) {
          std::free(bits);
          ++frames;
        }
      }
    });

    for (int round = 0; round < 30; ++round) {
      // Every tenth segment goes away, before, during or after its loading.
      if (round % 3 == 1)
        for (size_t i = size_t(round / 3); i < segments.size(); i += 10) {
          if (segments[i] && segments[i]->state() == SegmentLoading)
            ++deletedWhileLoading;
          std::lock_guard<std::mutex> lock(listLock);
          segments[i].reset();
        }
      if (round == 0)
        for (size_t i = 9; i < segments.size(); i += 10) {
          std::lock_guard<std::mutex> lock(listLock);
          segments[i].reset();
        }
      for (auto &segment : segments) {
        if (!segment)
          continue;
        segment->setUserScale(QSizeF(1 + round * 0.01, 1));
        segment->setRangeStart(round * 0.5f);
        segment->properties()->setText(QStringLiteral("Note"), QString::number(round));
        if (auto *text = dynamic_cast<TextSegment *>(segment.get()))
          text->setText(QStringLiteral("round %1").arg(round));
        // Undo puts back a bag naming the other picture while the first read may still run.
        auto *image = dynamic_cast<ImageSegment *>(segment.get());
        if (image && round == 1 && segment->type() == QLatin1String("IMAGE")) {
          auto *undone = new PropertyMap(*image->properties());
          undone->setText(QStringLiteral("File"), image->fileName() == QLatin1String("big.png") ? "picture.png" : "big.png");
          image->setProperties(undone);
        }
      }
      // The engine reports media segments open on the segments' thread, some late.
      for (size_t i = size_t(round % 3); i < segments.size(); i += 3)
        if (segments[i])
          reportOpened(listener, segments[i].get());
      if (round % 10 == 5) {
        animated.replaceFile(round % 20 == 5 ? m_picture : m_gif);
        animated.loadAnimation();
      }
      QTest::qWait(5);
    }
    QVERIFY(deletedWhileLoading > 0);
    for (auto &segment : segments)
      if (segment) {
        QTRY_VERIFY(segment->state() != SegmentCreated);
        reportOpened(listener, segment.get());
        QTRY_COMPARE(segment->state(), quint32(SegmentReady));
      }
    stop = true;
    engine.join();
    loader.join();
    QVERIFY(frames.load() > 0);
    for (auto &segment : segments) {
      if (!segment)
        continue;
      QCOMPARE(segment->error(), quint32(SegmentNoError));
      if (auto *music = dynamic_cast<MusicSegment *>(segment.get()))
        QTRY_VERIFY(music->plotData() && music->plotData()->isReady());
      // The picture shown is the one the bag names, not a late result of the first read.
      if (segment->type() == QLatin1String("IMAGE")) {
        auto *image = static_cast<ImageSegment *>(segment.get());
        QCOMPARE(image->naturalSize(), image->fileName() == QLatin1String("big.png") ? QSizeF(2400, 1800) : QSizeF(64, 48));
      }
    }
    segments.clear();
    settle();
    QCOMPARE(listener.foreignThreadReports.load(), 0);
  }
};

TAVO_TEST_GUI_MAIN(TestLoading)
#include "tst_loading.moc"
