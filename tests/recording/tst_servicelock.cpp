// Qt Multimedia's service table has no lock of its own and the media preview makes its
// players on a thread: every media object our code makes or deletes must request and release
// its service under the process-wide media service lock. A plugin preferred over GStreamer's
// reports each request and release, and the test checks the lock was held at that moment.

#include "mediaitemtype.h"
#include "mediaplayerwidget.h"
#include "mediapreviewwidget.h"
#include "mediaservicelock.h"
#include "qtaudioinputbackend.h"
#include "qtcamerabackend.h"
#include "testenv.h"

#include <QAbstractEventDispatcher>
#include <QMutex>
#include <QSemaphore>
#include <QPixmap>

#include <atomic>
#include <memory>

class ServiceWatch : public QObject
{
  Q_OBJECT
public:
  std::atomic<int> requests{0};
  std::atomic<int> releases{0};
  std::atomic<int> unguarded{0};
  // While set, a request waits in the plugin until let go, its maker holding what it holds.
  std::atomic<bool> holdRequests{false};
  QSemaphore requestEntered;
  QSemaphore requestLetGo;

  // Called on the thread that requests or releases a service.
  Q_INVOKABLE void requested()
  {
    _check();
    ++requests;
    if (holdRequests) {
      requestEntered.release();
      requestLetGo.acquire();
    }
  }
  Q_INVOKABLE void released()
  {
    _check();
    ++releases;
  }

private:
  // Fails for the holder too: the lock is not recursive.
  void _check()
  {
    if (mediaServiceMutex().tryLock()) {
      ++unguarded;
      mediaServiceMutex().unlock();
    }
  }
};

enum MediaObjectKind { PreviewShown, PreviewDroppedWhileMade, PlayerPanel, AudioRecorder, Camera };
Q_DECLARE_METATYPE(MediaObjectKind)

class TestServiceLock : public QObject
{
  Q_OBJECT

private:
  ServiceWatch _watch;

private slots:
  void initTestCase()
  {
    // Before the first media object: the plugin list is read once.
    qputenv("QT_MULTIMEDIA_PREFERRED_PLUGINS", "servicewatch");
    QCoreApplication::addLibraryPath(SERVICEWATCH_PLUGINS);
    qApp->setProperty("serviceWatch", QVariant::fromValue<QObject *>(&_watch));
  }

  void cleanupTestCase() { qApp->setProperty("serviceWatch", QVariant()); }

  void madeAndDeletedUnderTheLock_data()
  {
    QTest::addColumn<MediaObjectKind>("kind");
    QTest::newRow("preview player, adopted then deleted with the preview") << PreviewShown;
    QTest::newRow("preview player, preview deleted while it is made") << PreviewDroppedWhileMade;
    QTest::newRow("player panel") << PlayerPanel;
    QTest::newRow("audio recorder") << AudioRecorder;
    QTest::newRow("camera") << Camera;
  }

  void madeAndDeletedUnderTheLock()
  {
    QFETCH(MediaObjectKind, kind);
    _watch.requests = 0;
    _watch.releases = 0;
    _watch.unguarded = 0;
    switch (kind) {
    case PreviewShown:
    case PreviewDroppedWhileMade: {
      auto preview = std::make_unique<MediaPreviewWidget>(nullptr);
      preview->resize(320, 240);
      preview->show();
      QVERIFY(QTest::qWaitForWindowExposed(preview.get()));
      QPixmap thumbnail(64, 48);
      thumbnail.fill(Qt::gray);
      const auto show = [&] {
        preview->showMedia("video", MediaItemTypeVideo, "/nonexistent/clip.mp4", thumbnail, "64;48;0");
      };
      if (kind == PreviewShown) {
        show();
        // Playing on a service without controls fails at once, which ends the waiting.
        QTRY_VERIFY_WITH_TIMEOUT(!preview->isBusy(), 30000);
      } else {
        // The preview's thread is held inside the making until the order is gone, so the
        // player it then delivers is discarded.
        if (!QAbstractEventDispatcher::instance()->inherits("QEventDispatcherGlib"))
          QSKIP("Without GLib the preview makes its player on the GUI thread");
        _watch.holdRequests = true;
        show();
        const bool entered = _watch.requestEntered.tryAcquire(1, 30000);
        _watch.holdRequests = false;
        preview.reset();
        _watch.requestLetGo.release();
        QVERIFY2(entered, "the preview's thread never requested a service");
      }
      break;
    }
    case PlayerPanel:
      MediaPlayerWidget();
      break;
    case AudioRecorder:
      QtAudioInputBackend();
      break;
    case Camera: {
      QtCameraBackend backend;
      backend.openCamera({"/dev/video-none", "none"});
      backend.closeCamera();
      backend.openCamera({"/dev/video-none", "none"});
      break;
    }
    }
    QTRY_VERIFY2_WITH_TIMEOUT(_watch.requests > 0 && _watch.releases == _watch.requests,
                              qPrintable(QString("%1 services requested, %2 released")
                                           .arg(_watch.requests.load())
                                           .arg(_watch.releases.load())),
                              30000);
    QVERIFY2(_watch.unguarded == 0, qPrintable(QString("%1 of %2 requests and releases made without the lock")
                                                 .arg(_watch.unguarded.load())
                                                 .arg(_watch.requests + _watch.releases)));
  }
};

TAVO_TEST_MAIN(TestServiceLock)
#include "tst_servicelock.moc"
