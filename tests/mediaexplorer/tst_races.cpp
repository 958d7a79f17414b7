// The local files page against its pool threads: a 500-file folder relisted again and again
// while scrolling and clicking, then the page destroyed in the middle of a listing and of
// thumbnail tasks, and a picture whose thumbnail read would never end. Meant for ./dev tsan
// and an AddressSanitizer build; it checks that the page stays consistent and that nothing
// runs on after it is gone.

#include "avpicturefile.h"
#include "explorerfixtures.h"
#include "gestures.h"
#include "localthumbnailscache.h"
#include "readgate.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <thread>

#include <unistd.h>

using namespace ExplorerFixtures;

class TestRaces : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir _root;
  QString _media;

  // Whether the main thread sleeps in the kernel, waiting for a lock or a condition.
  static bool mainThreadWaits()
  {
    QFile stat(QString("/proc/self/task/%1/stat").arg(::getpid()));
    if (!stat.open(QIODevice::ReadOnly))
      return false;
    const QByteArray fields = stat.readAll();
    const int nameEnd = fields.lastIndexOf(')');
    return nameEnd > 0 && fields.size() > nameEnd + 2 && fields.at(nameEnd + 2) == 'S';
  }

  // Rows point at records of the same file (none was dropped or mixed up).
  static bool consistent(Page &page)
  {
    for (int row = 0; row < page.list()->count(); ++row) {
      QString path;
      emit page.list()->fetchFilePathForItem(page.list()->item(row), path);
      if (QFileInfo(path).fileName() != page.list()->item(row)->text())
        return false;
    }
    return true;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(_root.isValid());
    _media = _root.filePath("media");
    QVERIFY(QDir().mkpath(_media));
    for (int i = 0; i < 500; ++i) {
      const QString base = _media + QString("/f%1").arg(i, 3, 10, QChar('0'));
      if (i % 25 == 0)
        QVERIFY(MediaFixtures::writeColorVideo(base + ".mp4", 64, 48, 30, 3));
      else if (i % 25 == 1)
        QVERIFY(MediaFixtures::writeTone(base + ".wav", 0.2));
      else
        QVERIFY(writePlainPicture(base + ".png", 48, 32, QColor::fromHsv(i % 360, 200, 200)));
    }
  }

  void relistWhileScrollingAndClicking()
  {
    Page page(_media, _root.filePath("relist.config"), QSize(500, 400));
    QVERIFY(page.waitListed());
    QCOMPARE(page.list()->count(), 500);
    for (int round = 0; round < 12; ++round) {
      // A change in the folder relists it 100 ms later, keeping the old rows meanwhile.
      const QString extra = _media + QString("/extra%1.png").arg(round);
      QVERIFY(writePlainPicture(extra, 8, 8, Qt::white));
      for (int step = 0; step < 6; ++step) {
        Gestures::wheel(page.list()->viewport(), QPoint(100, 100), round % 2 ? 240 : -240);
        Gestures::click(page.list()->viewport(), QPoint(40 + step * 60, 60));
        QTest::qWait(15);
        QVERIFY(consistent(page));
      }
      QVERIFY(QFile::remove(extra));
      QTest::qWait(60);
    }
    // The folder's changes relisted it at least once: the old rows may stand until then.
    QVERIFY(page.waitListed(2, 20000));
    QTRY_COMPARE_WITH_TIMEOUT(page.list()->count(), 500, 20000);
    QVERIFY(consistent(page));
  }

  void destroyedDuringListing()
  {
    for (int round = 0; round < 5; ++round) {
      std::atomic<bool> listing{false};
      auto page = std::make_unique<Page>(_media, _root.filePath("destroy.config"));
      connect(page->page.get(), &LocalFilesWidget::beginLoadingFiles, page->page.get(), [&listing]() { listing = true; },
              Qt::DirectConnection);
      QVERIFY(QTest::qWaitFor([&]() { return listing.load(); }, 10000));
      page.reset();
    }
    QVERIFY(QThreadPool::globalInstance()->waitForDone(20000));
  }

  void destroyedDuringThumbnails()
  {
    for (int round = 0; round < 5; ++round) {
      QDir(LocalThumbnailsCache::cacheRoot()).removeRecursively();
      auto page = std::make_unique<Page>(_media, _root.filePath("thumbs.config"), QSize(900, 900));
      QVERIFY(page->waitListed());
      page->list()->verticalScrollBar()->setValue(page->list()->verticalScrollBar()->maximum() / 2);
      QTest::qWait(110 + round * 20);
      page.reset();
    }
    QVERIFY(QThreadPool::globalInstance()->waitForDone(20000));
  }

  // A picture's valid header followed by a terabyte of zeros keeps Qt's JPEG and GIF readers
  // scanning for the next marker or block: the page still shows the folder, and destroying it
  // or browsing another folder breaks the thumbnail's read off, which then reports nothing.
  // The read is held a mebibyte into the zeros, so it is still running when the page goes or
  // the folder changes, however fast the machine reads up to the read's bound.
  void endlessPictureGivesWay_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("leaveFolder");
    const QByteArray jpeg = MediaFixtures::endlessJpegHeader();
    const QByteArray gif = MediaFixtures::endlessGifHeader();
    QTest::newRow("JPEG, page destroyed") << "endless.jpg" << jpeg << false;
    QTest::newRow("GIF, page destroyed") << "endless.gif" << gif << false;
    QTest::newRow("JPEG, folder left") << "endless.jpg" << jpeg << true;
    QTest::newRow("GIF, folder left") << "endless.gif" << gif << true;
  }

  void endlessPictureGivesWay()
  {
    QFETCH(QString, file);
    QFETCH(QByteArray, header);
    QFETCH(bool, leaveFolder);
    const QString folder = _root.filePath(QString("endless-%1").arg(QTest::currentDataTag()));
    const QString other = folder + "-other";
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(other));
    const QString path = folder + "/" + file;
    QVERIFY(MediaFixtures::writeEndlessFile(path, header));
    QVERIFY(ReadGate::hold(path, qint64(1) << 20));

    auto page = std::make_unique<Page>(folder, folder + ".config");
    // Whatever fails, the reader goes on before the page goes: its end waits for the reader.
    const auto release = qScopeGuard(ReadGate::open);
    QVERIFY(page->waitListed());
    QCOMPARE(page->names(), QStringList{file});
    QTRY_VERIFY_WITH_TIMEOUT(ReadGate::waiting(), 20000);
    if (leaveFolder) {
      ScriptedDialogProvider dialogs;
      dialogs.answers << QString("Select Directory...") << other;
      QTest::mouseClick(page->page->findChild<QPushButton *>("dirTriangleButton"), Qt::LeftButton);
      QVERIFY(page->waitListed(2));
      QVERIFY(page->names().isEmpty());
      // The other folder is shown and the read has not ended: now it may go on.
      QVERIFY(ReadGate::waiting());
      ReadGate::open();
      QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 30000);
      QCoreApplication::processEvents();
      QCOMPARE(page->thumbnails.size(), 0);
      page.reset();
    } else {
      // The page's end waits for the reader. It goes on one read at a time, and only while the
      // main thread sleeps, as it does in that wait: it cannot run on to its bound before the
      // page asked it to stop.
      std::atomic<bool> gone{false};
      std::thread stepper([&gone] {
        while (!gone) {
          if (ReadGate::waiting() && mainThreadWaits())
            ReadGate::step();
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      });
      page.reset();
      gone = true;
      stepper.join();
    }
    QVERIFY(QThreadPool::globalInstance()->waitForDone(30000));
    // Broken off, not ended by the bound on reads.
    QVERIFY2(ReadGate::furthest() < AVPictureFile::kReadBound,
             qPrintable(QString("the read reached %1 bytes").arg(ReadGate::furthest())));
  }
};

TAVO_TEST_MAIN(TestRaces)
#include "tst_races.moc"
