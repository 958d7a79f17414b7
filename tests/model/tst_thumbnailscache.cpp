// The video thumbnails cache: one folder per video path named by its MD5, lazy loads after a
// restart, saves that never overwrite, a root that cannot be made, and use from the GUI
// thread and a loading thread at once (also run under the race checker: ./dev tsan).
#include "testenv.h"
#include "util.h"
#include "videothumbnailscache.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

namespace {

QPixmap *filled(const QColor &color, int width = 32, int height = 18)
{
  auto *pixmap = new QPixmap(width, height);
  pixmap->fill(color);
  return pixmap;
}

QColor colorOf(const QPixmap *pixmap)
{
  return pixmap ? pixmap->toImage().pixelColor(1, 1) : QColor();
}

} // namespace

class TestThumbnailsCache : public QObject
{
  Q_OBJECT
private:
  QString m_thumbnails;

private slots:
  void initTestCase()
  {
    VideoThumbnailsCache cache;
    QVERIFY(cache.isRootValid());
    m_thumbnails = QDir(Util::cacheLocation()).filePath("Thumbnails");
    QCOMPARE(cache.root().absolutePath(), QDir(m_thumbnails).absolutePath());
  }

  void foldersAreNamedByThePathsDigest()
  {
    VideoThumbnailsCache cache;
    VideoThumbnails *set = cache.videoThumbnails("/videos/holiday.mp4");
    QCOMPARE(set->name(), QStringLiteral("01605ccb5bbe2929d516b6373ea50f3b"));
    QVERIFY(QFileInfo(m_thumbnails + "/01605ccb5bbe2929d516b6373ea50f3b").isDir());
    QCOMPARE(set->thumbnailPath(7), m_thumbnails + "/01605ccb5bbe2929d516b6373ea50f3b/07.png");
    // The digest is of the UTF-8 path.
    QCOMPARE(cache.videoThumbnails(QStringLiteral("/vidéos/été.mp4"))->name(),
             QStringLiteral("8a3cba77fc03d2013f091664acc090f2"));
    // One set per path; another path to the same file is another set.
    QCOMPARE(cache.videoThumbnails("/videos/holiday.mp4"), set);
    QVERIFY(cache.videoThumbnails("/videos/../videos/holiday.mp4")->name() != set->name());
  }

  void slotsTakeOwnershipWithinRange()
  {
    VideoThumbnailsCache cache;
    const QString path = "/videos/slots.mp4";
    cache.setThumbnail(path, filled(Qt::red), 16);
    cache.setThumbnail(path, nullptr, 0);
    cache.setThumbnail(path, new QPixmap, 0);
    QCOMPARE(cache.thumbnailCount(path), 0);
    QVERIFY(!cache.thumbnail(path, 16));
    QVERIFY(!cache.thumbnail(path, -1));

    // Count follows slot 0 only.
    cache.setThumbnail(path, filled(Qt::green), 3);
    QCOMPARE(cache.thumbnailCount(path), 0);
    cache.setThumbnail(path, filled(Qt::blue), 0);
    QCOMPARE(cache.thumbnailCount(path), 16);
    QCOMPARE(colorOf(cache.thumbnail(path, 3)), QColor(Qt::green));
    QVERIFY(!cache.thumbnail(path, 4));

    // A replaced pixmap stays valid for whoever is still drawing it.
    const QPixmap *old = cache.thumbnail(path, 0);
    cache.setThumbnail(path, filled(Qt::yellow), 0);
    QCOMPARE(colorOf(old), QColor(Qt::blue));
    QCOMPARE(colorOf(cache.thumbnail(path, 0)), QColor(Qt::yellow));
  }

  void restartLoadsLazilyAndNeverOverwrites()
  {
    const QString path = "/videos/restart.mp4";
    QString folder;
    {
      VideoThumbnailsCache cache;
      for (int i = 0; i < 16; ++i)
        cache.setThumbnail(path, filled(QColor::fromHsv(i * 20, 255, 255)), i);
      folder = QFileInfo(cache.videoThumbnails(path)->thumbnailPath(0)).absolutePath();
      QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 0); // nothing written before saveAll
      cache.saveAll();
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 16);
    const QDateTime written = QFileInfo(folder + "/00.png").lastModified();

    VideoThumbnailsCache cache; // a later run
    QCOMPARE(cache.thumbnailCount(path), 0);
    QVERIFY(cache.hasThumbnails(path));
    QCOMPARE(cache.thumbnailCount(path), 16);
    QCOMPARE(colorOf(cache.thumbnail(path, 5)), QColor::fromHsv(100, 255, 255).toRgb());

    // New pixmaps for slots whose files exist are not written over.
    cache.setThumbnail(path, filled(Qt::black), 0);
    QTest::qWait(1100); // a rewrite would show in the modification time
    cache.saveAll();
    QCOMPARE(QFileInfo(folder + "/00.png").lastModified(), written);
    VideoThumbnailsCache third;
    QCOMPARE(colorOf(third.thumbnail(path, 0)), QColor::fromHsv(0, 255, 255).toRgb());

    // A file removed from disk is written again from memory; slots never loaded are not.
    QVERIFY(cache.thumbnail(path, 9));
    QVERIFY(QFile::remove(folder + "/09.png"));
    QVERIFY(QFile::remove(folder + "/10.png"));
    cache.saveAll();
    QVERIFY(QFileInfo::exists(folder + "/09.png"));
    QVERIFY(!QFileInfo::exists(folder + "/10.png"));
  }

  void rootThatCannotBeMade()
  {
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QFile blocker(scratch.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray previous = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath("file/cache")));
    VideoThumbnailsCache cache;
    qputenv("XDG_CACHE_HOME", previous);
    QVERIFY(!cache.isRootValid());
    const QString path = "/videos/nowhere.mp4";
    cache.setThumbnail(path, filled(Qt::red), 0);
    QCOMPARE(cache.thumbnailCount(path), 16);
    QVERIFY(!cache.thumbnail(path, 1)); // nothing to load from
    cache.saveAll();                    // goes nowhere, not even into the working directory
    QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"file"});
    QVERIFY(!QDir::current().exists(cache.videoThumbnails(path)->name()));
    QVERIFY(!QFileInfo::exists("00.png"));
  }

  // A loading thread fills sets while the GUI thread paints from them and saves.
  void guiAndLoaderAtOnce()
  {
    VideoThumbnailsCache cache;
    std::atomic<bool> done{false};
    std::thread loader([&] {
      for (int video = 0; video < 12; ++video) {
        const QString path = QStringLiteral("/videos/concurrent-%1.mp4").arg(video);
        for (int i = 15; i >= 0; --i)
          cache.setThumbnail(path, filled(QColor::fromHsv(i * 20, 255, 255), 16, 9), i);
      }
      done = true;
    });
    int reads = 0;
    while (!done.load()) {
      for (int video = 0; video < 12; ++video) {
        const QString path = QStringLiteral("/videos/concurrent-%1.mp4").arg(video);
        VideoThumbnails *set = cache.videoThumbnails(path);
        if (set->count() > 0 && set->thumbnail(0))
          ++reads;
        cache.thumbnailCount(path);
      }
      cache.saveAll();
    }
    loader.join();
    cache.saveAll();
    for (int video = 0; video < 12; ++video) {
      const QString path = QStringLiteral("/videos/concurrent-%1.mp4").arg(video);
      QCOMPARE(cache.thumbnailCount(path), 16);
      QCOMPARE(colorOf(cache.thumbnail(path, 7)), QColor::fromHsv(140, 255, 255).toRgb());
      QVERIFY(QFileInfo::exists(cache.videoThumbnails(path)->thumbnailPath(15)));
    }
    Q_UNUSED(reads)
  }
};

TAVO_TEST_GUI_MAIN(TestThumbnailsCache)
#include "tst_thumbnailscache.moc"
