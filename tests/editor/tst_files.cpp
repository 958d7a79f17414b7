// The window's bridge from engine threads, the media copy task, the delivery of an exported
// movie and the closing step.

#include "avcomposition.h"
#include "avglwidget.h"
#include "avrender.h"
#include "avsegment.h"
#include "desktopmainwindowform.h"
#include "editorfixture.h"
#include "filesizelimit.h"
#include "popupmovieexportingwidget.h"
#include "projectmanager.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <thread>

namespace {

// Above the project's own files, below a cover of the preview's size.
constexpr rlim_t kCoverDoesNotFit = 2048;

class StubSegment : public AVSegment
{
public:
  StubSegment(uint32_t id, int32_t status) : AVSegment(0.0)
  {
    setId(id);
    setLoadError(status);
  }
  void update(double, bool, bool) override {}
  bool isLayer() const override { return false; }
  void seek(double, bool) override {}
};

// What reached the GUI thread, in order, as "signal(values)".
struct Received
{
  QStringList events;
  bool allOnGuiThread = true;

  void note(const QString &event)
  {
    events << event;
    allOnGuiThread &= QThread::currentThread() == qApp->thread();
  }

  void watch(MainWindow *window)
  {
    QObject::connect(window, &MainWindow::avrenderStatusChanged, window,
                     [this](int s) { note(QStringLiteral("status(%1)").arg(s)); });
    QObject::connect(window, &MainWindow::avrenderProgressChanged, window,
                     [this](double t, double d) { note(QStringLiteral("progress(%1,%2)").arg(t).arg(d)); });
    QObject::connect(window, &MainWindow::offscreenReady, window, [this] { note(QStringLiteral("offscreen")); });
    QObject::connect(window, &MainWindow::avsegmentLoadStatusUpdated, window, [this](int id, int s, int t, int h) {
      note(QStringLiteral("load(%1,%2,%3,%4)").arg(id).arg(s).arg(t).arg(h));
    });
    QObject::connect(window, &MainWindow::avexporterProgressChanged, window,
                     [this](float p) { note(QStringLiteral("export(%1)").arg(p)); });
    QObject::connect(window, &MainWindow::avexporterFinished, window,
                     [this](int e) { note(QStringLiteral("finished(%1)").arg(e)); });
  }
};

QByteArray pattern(int size)
{
  QByteArray bytes(size, Qt::Uninitialized);
  for (int i = 0; i < size; ++i)
    bytes[i] = char(i * 7 + i / 251);
  return bytes;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFiles : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }
  void cleanup() { project.reset(); }

  void bridgeFromAnEngineThread_data()
  {
    QTest::addColumn<QString>("callback");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("paused") << "render" << 0 << 1.5 << QStringList{"status(0)"};
    QTest::newRow("playing") << "render" << 1 << 1.5 << QStringList{"status(1)"};
    QTest::newRow("time") << "render" << 2 << 1.5 << QStringList{"progress(1.5,0)", "offscreen"};
    QTest::newRow("time, unknown duration") << "render-no-composition" << 2 << 1.5 << QStringList();
    QTest::newRow("end") << "render" << 3 << 9.0 << QStringList{"status(3)"};
    QTest::newRow("other status") << "render" << 7 << 0.0 << QStringList();
    QTest::newRow("export progress") << "exporter" << 0 << 42.5 << QStringList{"export(42.5)"};
    QTest::newRow("export finished") << "exporter" << 1 << -1.0 << QStringList{"finished(-1)"};
    QTest::newRow("export other") << "exporter" << 5 << 1.0 << QStringList();
    QTest::newRow("load error") << "segment" << -3 << 7.0 << QStringList{"load(7,-3,0,0)"};
    QTest::newRow("loaded") << "segment" << 0 << 8.0 << QStringList{"load(8,0,0,0)"};
    QTest::newRow("thumbnails") << "thumbnails" << 0 << 9.0 << QStringList{"load(9,0,1,0)"};
  }
  void bridgeFromAnEngineThread()
  {
    QFETCH(QString, callback);
    QFETCH(int, code);
    QFETCH(double, value);
    QFETCH(QStringList, expected);
    MainWindow window(QStringLiteral("Trip"), QString());
    Received received;
    received.watch(&window);
    AVComposition composition(64, 36, 44100, 2, nullptr);
    AVRender render(nullptr, 64, 36);
    if (callback == QLatin1String("render"))
      render.setComposition(&composition);
    StubSegment segment(uint32_t(value), code);
    if (callback == QLatin1String("segment") && code != 0)
      QTest::ignoreMessage(QtDebugMsg, "Segment (id=7) load error = -3");
    if (callback == QLatin1String("render") && code == 3)
      QTest::ignoreMessage(QtDebugMsg, "reach end");

    std::thread engineThread([&] {
      if (callback.startsWith(QLatin1String("render")))
        mainWindowRenderCallback(&render, code, value, &window);
      else if (callback == QLatin1String("exporter"))
        mainWindowExporterCallback(nullptr, code, value, &window);
      else if (callback == QLatin1String("segment"))
        mainWindowCompositionListener(&composition, &segment, &window);
      else
        mainWindowThumbnailsLoadedCallback(uint32_t(value), &window);
    });
    engineThread.join();
    // Nothing is delivered until the GUI thread runs its events.
    QVERIFY(received.events.isEmpty());
    if (expected.isEmpty())
      QCoreApplication::processEvents();
    QTRY_COMPARE(received.events, expected);
    QVERIFY(received.allOnGuiThread);
    render.setComposition(nullptr);
  }

  void copyTask_data()
  {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("3 MiB") << 3 * 1048576 + 17 << true << true;
    QTest::newRow("empty") << 0 << true << true;
    QTest::newRow("missing source") << 10 << false << false;
  }
  void copyTask()
  {
    QFETCH(int, size);
    QFETCH(bool, sourceExists);
    QFETCH(bool, succeeds);
    const QString source = project->root() + "/source.bin";
    const QString target = project->root() + "/target.bin";
    const QByteArray bytes = pattern(size);
    if (sourceExists)
      QVERIFY(writeBytes(source, bytes));
    FileCopyState state;
    std::thread worker(MainWindow::copyFileTask, source, target, &state);
    worker.join();
    QCOMPARE(state.running.load(), false);
    QCOMPARE(state.succeeded.load(), succeeds);
    if (succeeds) {
      QCOMPARE(state.bytesCopied.load(), qint64(size));
      QCOMPARE(readBytes(target), bytes);
    }
  }

  void copyTaskStopsOnAFullDevice()
  {
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
      QSKIP("no full device");
    const QString source = project->root() + "/source.bin";
    QVERIFY(writeBytes(source, pattern(100000)));
    FileCopyState state;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^failed to write to full \\(error:.*\\)$"));
    MainWindow::copyFileTask(source, QStringLiteral("/dev/full"), &state);
    QVERIFY(!state.running);
    QVERIFY(!state.succeeded);
    QCOMPARE(state.bytesCopied.load(), qint64(0));
  }

  // The target is a pipe: the task's first chunk cannot be written until the test reads it, so
  // the source is cut short at a known point of the copy.
  void copyTaskStopsWhenTheSourceShrinks()
  {
    const QString source = project->root() + "/source.bin";
    const QString fifo = project->root() + "/pipe";
    QVERIFY(writeBytes(source, pattern(3 * 1048576)));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    FileCopyState state;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^failed to read from pipe"));
    std::thread worker(MainWindow::copyFileTask, source, fifo, &state);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
    QVERIFY(reader >= 0);
    QByteArray buffer(1048576, 0);
    qint64 got = 0;
    while (got < 512 * 1024) {
      const ssize_t n = ::read(reader, buffer.data() + got, size_t(512 * 1024 - got));
      QVERIFY(n > 0);
      got += n;
    }
    QVERIFY(QFile::resize(source, 0));
    while (::read(reader, buffer.data(), size_t(buffer.size())) > 0) {
    }
    ::close(reader);
    worker.join();
    QVERIFY(!state.running);
    QVERIFY(!state.succeeded);
    QCOMPARE(state.bytesCopied.load(), qint64(1048576));
  }

  void deliveryFindsAFreeName()
  {
    MainWindow window(QStringLiteral("Trip"), QString());
    auto *popup = new PopupMovieExportingWidget(&window);
    ExportSettings &e = window.exportSettings();
    e.outputFolder = project->root() + "/Movies";
    QVERIFY(QDir().mkpath(e.outputFolder));
    e.baseName = QStringLiteral("Trip");
    e.workingFile = project->directory() + "/Trip_540p_h264_30fps.mp4";
    QVERIFY(writeBytes(e.workingFile, "movie"));
    for (int i = 0; i < 3; ++i)
      window.deliverExportedMovie(popup);
    QCOMPARE(QDir(e.outputFolder).entryList(QDir::Files, QDir::Name),
             (QStringList{"Trip 1.mp4", "Trip 2.mp4", "Trip.mp4"}));
    QCOMPARE(readBytes(e.outputFolder + "/Trip 2.mp4"), QByteArray("movie"));

    QVERIFY(QFile::remove(e.workingFile));
    window.deliverExportedMovie(popup);
    QLabel *error = nullptr;
    for (QLabel *label : popup->findChildren<QLabel *>())
      if (label->text() == QLatin1String("Create video failed"))
        error = label;
    QVERIFY(error);
    QVERIFY(error->isVisibleTo(popup));
  }

  void closingStep_data()
  {
    QTest::addColumn<bool>("fixCover");
    QTest::addColumn<bool>("coverExists");
    QTest::addColumn<bool>("withPreview");
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("new cover") << false << false << true << false;
    QTest::newRow("cover replaced") << false << true << true << false;
    QTest::newRow("fixed cover kept") << true << true << true << false;
    QTest::newRow("fixed, none yet") << true << false << true << false;
    QTest::newRow("no preview") << false << true << false << false;
    QTest::newRow("disk full keeps the old cover") << false << true << true << true;
    QTest::newRow("disk full makes no cover") << false << false << true << true;
  }
  void closingStep()
  {
    QFETCH(bool, fixCover);
    QFETCH(bool, coverExists);
    QFETCH(bool, withPreview);
    QFETCH(bool, diskFull);
    const QString cover = project->directory() + "/shot.jpg";
    const QString projectFile = ProjectManager::projectFilePath(QStringLiteral("Trip"), QString());
    QImage old(100, 100, QImage::Format_RGB32);
    old.fill(Qt::red);
    if (coverExists)
      QVERIFY(old.save(cover));
    const QByteArray oldBytes = readBytes(cover);

    TestEditorWindow window;
    window.projectManager()->setFixCoverImage(fixCover);
    window.projectManager()->setModified(true);
    window.resize(1600, 1000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (withPreview) {
      auto *preview = new AVGLWidget(window.form().playbackWidget);
      preview->setBackgroundColor(Qt::blue);
      window.form().playbackWidget->layout()->addWidget(preview);
      window._previewWidget = preview;
      QTRY_VERIFY(preview->width() > 640 && preview->isValid());
    }

    // The project's own files fit; the cover does not.
    const rlim_t limit = diskFull ? kCoverDoesNotFit : RLIM_INFINITY;
    if (diskFull)
      QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot save the cover picture"));
    QVERIFY(withFileSizeLimit(limit, [&] { return int(window.runClosingStep()); }));
    QVERIFY(!window.projectManager());
    QVERIFY(!window.previewWidget());
    QVERIFY(QFileInfo::exists(projectFile));
    QCOMPARE(QDir(project->directory()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
    if (diskFull && !coverExists) {
      QVERIFY(!QFileInfo::exists(cover));
    } else if ((fixCover && coverExists) || !withPreview || diskFull) {
      QCOMPARE(readBytes(cover), oldBytes);
    } else {
      const QImage shot(cover);
      QVERIFY(!shot.isNull());
      QVERIFY(shot.width() <= 640 && shot.height() <= 640);
      QVERIFY(shot.width() == 640 || shot.height() == 640);
      const QRgb centre = shot.pixel(shot.width() / 2, shot.height() / 2);
      QVERIFY2(qBlue(centre) > 200 && qRed(centre) < 60, "the cover shows the preview");
    }

    // A second run neither saves nor tears down again.
    QVERIFY(QFile::remove(projectFile));
    window.runClosingStep();
    QVERIFY(!QFileInfo::exists(projectFile));
  }

private:
  std::unique_ptr<EditorProject> project;
};

TAVO_TEST_MAIN(TestFiles)
#include "tst_files.moc"
