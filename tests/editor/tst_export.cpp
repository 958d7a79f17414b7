// The road from the Export action to a movie file in the user's folder, with real encodes of
// a short generated project: cached exports, reuse, names, progress, cancel, errors, and what
// the window refuses while it exports.

#include "editingfixture.h"
#include "editorfixture.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "assetloadingthreadpool.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avexporter.h"
#include "avglwidget.h"
#include "avrender.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "popupmediatypeselectionwidget.h"
#include "popupmovieexportingwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "taskbarprogress.h"
#include "commonpopuphelptipwidget.h"
#include "tipmanager.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRunnable>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QScreen>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

constexpr int EncodeWaitMs = 120000;

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

struct ProjectShape
{
  float seconds = 2;
  int resolution = 1; // 16:9
  int direction = 1;  // landscape
  QString background = QStringLiteral("#ff203040");
  float frameRate = 30;
  bool empty = false;
};

// A picture, a text and a tone on three tracks, all over the whole length.
bool writeProject(const QString &dir, const ProjectShape &shape)
{
  const QString length = QString::number(double(shape.seconds));
  QString xml = "<?xml version=\"1.0\"?>\n<Project>\n";
  if (!shape.empty) {
    if (!MediaFixtures::writePicture(dir + "/still.png", 320, 240)
        || !MediaFixtures::writeTone(dir + "/tune.wav", double(shape.seconds)))
      return false;
    xml += QStringLiteral("<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"%1\" "
                          "File=\"still.png\"/>\n"
                          "<Segment Type=\"TEXT\" TrackId=\"5\" RangeStart=\"0\" RangeDuration=\"%1\" Text=\"Hi\"/>\n"
                          "<Segment Type=\"MUSIC\" TrackId=\"9\" RangeStart=\"0\" RangeDuration=\"%1\" "
                          "File=\"tune.wav\" Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"%1\"/>\n")
               .arg(length);
  }
  xml += "</Project>\n";
  const QString properties = QStringLiteral("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" resolution=\"%1\" "
                                            "direction=\"%2\" frameRate=\"%3\" backgroundColor=\"%4\"/>\n")
                                 .arg(shape.resolution)
                                 .arg(shape.direction)
                                 .arg(double(shape.frameRate))
                                 .arg(shape.background);
  return writeText(dir + "/project.xml", xml.toUtf8()) && writeText(dir + "/properties.xml", properties.toUtf8());
}

class ExportWindow : public TestEditorWindow
{
public:
  using MainWindow::_currentPopup;
  using MainWindow::_exportFrameRate;
  using MainWindow::_lastTrackWidget;
  using MainWindow::_render;

  int began = 0;
  int ended = 0;
  QVector<float> taskbar;
  int undoCalls = 0;

  // What the taskbar button showed after each report.
  QVector<int> taskbarShown;

  void exportProgressBegan() override
  {
    TestEditorWindow::exportProgressBegan();
    ++began;
  }
  void exportProgressChanged(float progress) override
  {
    TestEditorWindow::exportProgressChanged(progress);
    taskbar << progress;
    taskbarShown << (taskbarProgress() ? taskbarProgress()->value() : -1);
  }
  void exportProgressEnded() override
  {
    TestEditorWindow::exportProgressEnded();
    ++ended;
  }
  void undoRedoOperation(bool) override { ++undoCalls; }

  PopupMovieExportingWidget *popup() const
  {
    return qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data());
  }
};

struct ExportProject
{
  HudTextLog huds;
  EditorProject project;
  std::unique_ptr<ExportWindow> window;

  bool open(const ProjectShape &shape = ProjectShape())
  {
    if (!project.isValid() || !writeProject(project.directory(), shape))
      return false;
    window = std::make_unique<ExportWindow>();
    window->resize(1100, 750);
    window->show();
    const int segments = shape.empty ? 0 : 3;
    return QTest::qWaitFor(
        [&] {
          ProjectManager *model = window->projectManager();
          if (!window->previewWidget() || window->projectLoader() || window->progressHUD()
              || model->segmentCount() != segments)
            return false;
          for (int i = 0; i < segments; ++i)
            if (model->segmentAt(i)->state() != SegmentReady)
              return false;
          return AssetLoadingThreadPool::instance()->activeThreadCount() == 0;
        },
        30000);
  }

  QString cached(const QString &name) const { return project.directory() + "/" + name; }
  // Opened with the smallest frames, which the encodes of most cases need.
  bool openAt360p(const ProjectShape &shape)
  {
    if (!open(shape))
      return false;
    window->exportSettings().qualityIndex = 0;
    return true;
  }
  static bool delivered(const QString &name, int waitMs = EncodeWaitMs)
  {
    return QTest::qWaitFor([&] { return QFile::exists(movies() + "/" + name); }, waitMs);
  }
  static QString movies() { return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation); }

  // Opens the popup with the window's remembered settings and presses its Export button.
  bool exportNow(const QString &movieName = QString())
  {
    window->actions().exportMovie->trigger();
    PopupMovieExportingWidget *popup = window->popup();
    if (!popup)
      return false;
    if (!movieName.isNull())
      popup->findChild<QLineEdit *>("nameLineEdit")->setText(movieName);
    auto *button = popup->findChild<QPushButton *>("exportButton");
    if (!button || !QTest::qWaitFor([&] { return button->isVisible(); }, 5000))
      return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
  }

  // The exporter's thread waits at its first progress report until held is released.
  void holdAtFirstProgress(QObject *context, QSemaphore *held, std::atomic<bool> *reached)
  {
    QObject::connect(
        window.get(), &MainWindow::avexporterProgressChanged, context,
        [held, reached](float) {
          if (!reached->exchange(true))
            held->acquire();
        },
        Qt::DirectConnection);
  }

  bool waitUntilIdle() const
  {
    return QTest::qWaitFor([&] { return !window->_exporter && window->ended >= window->began; }, EncodeWaitMs);
  }

  QString popupError() const
  {
    PopupMovieExportingWidget *popup = window->popup();
    auto *label = popup ? popup->findChild<QLabel *>("errorDetailLabel") : nullptr;
    return label && label->isVisibleTo(popup) ? label->text() : QString();
  }

  void dismissPopup()
  {
    if (PopupMovieExportingWidget *popup = window->popup())
      popup->dismiss();
  }
};

// Stream facts by ffprobe: codec, size, duration, and the stream's tags.
QJsonObject probeVideo(const QString &path)
{
  QProcess probe;
  probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=codec_name,width,height:stream_tags:format=duration", "-of", "json", path});
  if (!probe.waitForFinished(30000))
    return {};
  const QJsonObject root = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
  QJsonObject stream = root.value("streams").toArray().at(0).toObject();
  stream.insert("duration", root.value("format").toObject().value("duration").toString().toDouble());
  return stream;
}

QImage previewFrame(ExportWindow &window)
{
  return window.previewWidget()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

// Keeps one loading-pool thread busy until released.
class BlockingTask : public QRunnable
{
public:
  explicit BlockingTask(QSemaphore *release) : _release(release) {}
  void run() override { _release->acquire(); }

private:
  QSemaphore *_release;
};

} // namespace

using PixelProbe::meanDifference;

class TestExport : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    QDir(ExportProject::movies()).removeRecursively();
  }

  void refusals_data()
  {
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("poolBusy");
    QTest::addColumn<QString>("message");
    QTest::newRow("assets loading") << false << true << "Please wait a moment";
    QTest::newRow("nothing to export") << true << false << "No content to export";
  }

  void refusals()
  {
    QFETCH(bool, empty);
    QFETCH(bool, poolBusy);
    QFETCH(QString, message);
    ExportProject p;
    ProjectShape shape;
    shape.empty = empty;
    QVERIFY(p.open(shape));
    QSemaphore release;
    if (poolBusy) {
      AssetLoadingThreadPool::instance()->start(new BlockingTask(&release));
      QTRY_VERIFY(AssetLoadingThreadPool::instance()->activeThreadCount() > 0);
    }
    p.huds.clear();
    p.window->actions().exportMovie->trigger();
    release.release();
    QVERIFY(!p.window->popup());
    QCOMPARE(p.huds.texts(), QStringList{message});
    QTRY_VERIFY_WITH_TIMEOUT(p.huds.entries().first().shownMs >= 0, 20000);
    const qint64 shown = p.huds.entries().first().shownMs;
    QVERIFY2(shown >= 1800, qPrintable(QString::number(shown)));
  }

  // Before any export the popup offers the project's rate as it is now.
  void offeredRateFollowsTheProject()
  {
    ExportProject p;
    QVERIFY(p.open(ProjectShape()));
    ExportWindow &w = *p.window;
    w.actions().exportMovie->trigger();
    QVERIFY(w.popup());
    QCOMPARE(w.popup()->frameRate(), 30.0f);
    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    w.projectManager()->setFrameRate(25);
    w.actions().exportMovie->trigger();
    QVERIFY(w.popup());
    QCOMPARE(w.popup()->frameRate(), 25.0f);
  }

  // An export, a reuse of the cached file, and a name with unsafe characters.
  void exportAndReuse()
  {
    ExportProject p;
    QVERIFY(p.open());
    ExportWindow &w = *p.window;
    // The exporter's 1.0 shows 99 on the popup and the taskbar: the rest waits for the copy.
    w.actions().exportMovie->trigger();
    QVERIFY(w.popup());
    w.DesktopMainWindow::exportProgressBegan();
    emit w.avexporterProgressChanged(1.0f);
    QTRY_COMPARE(w.taskbarShown, QVector<int>{99});
    QCOMPARE(w.popup()->findChild<QProgressBar *>("exportProgressBar")->value(), 99);
    w.DesktopMainWindow::exportProgressEnded();
    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    w.taskbar.clear();
    w.taskbarShown.clear();

    // The frame under the play head: the picture inside the background.
    QImage before;
    QTRY_VERIFY((before = previewFrame(w), before.pixel(before.width() / 2 - 5, before.height() / 2 - 5)
                                               != before.pixel(1, 1)));

    w.projectManager()->setModified(true);
    QVERIFY(p.exportNow());
    QVERIFY(!w.projectManager()->isModified());
    QProgressBar *bar = w.popup()->findChild<QProgressBar *>("exportProgressBar");
    QList<int> shown;
    connect(bar, &QProgressBar::valueChanged, this, [&](int v) { shown << v; });

    QVERIFY(ExportProject::delivered("Trip.mp4"));
    QVERIFY(p.waitUntilIdle());
    QVERIFY(QFile::exists(p.cached("Trip_720p_h264_30fps.mp4")));
    QCOMPARE(w.began, 1);
    QCOMPARE(w.ended, 1);
    QVERIFY(!shown.isEmpty());
    QVERIFY2(std::is_sorted(shown.begin(), shown.end()), "the bar never goes back");
    QVERIFY(shown.last() <= 99);
    QVERIFY(!w.taskbar.isEmpty());
    QVERIFY(std::is_sorted(w.taskbar.begin(), w.taskbar.end()));
    QVERIFY(w.taskbar.last() <= 0.99f);
    for (int i = 0; i < w.taskbar.size(); ++i)
      QCOMPARE(w.taskbarShown[i], int(w.taskbar[i] * 100));
    QVERIFY(!w.taskbarProgress());

    const QJsonObject stream = probeVideo(ExportProject::movies() + "/Trip.mp4");
    QCOMPARE(stream.value("codec_name").toString(), QString("h264"));
    QCOMPARE(stream.value("width").toInt(), 1280);
    QCOMPARE(stream.value("height").toInt(), 720);
    QVERIFY2(qAbs(stream.value("duration").toDouble() - 2.0) <= 1.0 / 30 + 1e-3,
             qPrintable(QString::number(stream.value("duration").toDouble())));

    // The preview is back at its own size, paused, with the composition.
    const QSize preview = w.projectManager()->previewVideoSize(w.previewQuality());
    QCOMPARE(w._composition->width(), preview.width());
    QCOMPARE(w._render->composition(), w._composition);
    QVERIFY(!w.isPlaying());
    QTRY_VERIFY2(meanDifference(previewFrame(w), before) < 2,
                 qPrintable(QString::number(meanDifference(previewFrame(w), before))));

    // Same settings, no edit: the cached file is copied without encoding.
    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    QVERIFY(p.exportNow());
    bar = w.popup()->findChild<QProgressBar *>("exportProgressBar");
    QCOMPARE(bar->value(), 99);
    QVERIFY(!QFile::exists(ExportProject::movies() + "/Trip 1.mp4"));
    QVERIFY(ExportProject::delivered("Trip 1.mp4", 5000));
    QCOMPARE(w.began, 1);

    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    QVERIFY(p.exportNow("a/b:c"));
    QVERIFY(ExportProject::delivered("a b c.mp4", 5000));
  }

  // An animated GIF added through the add-media popup shows its own frames in the preview, and
  // its length, not the photo length, is the block's, the engine's and the movie's.
  void addedGifPlaysAndExportsAtItsLength()
  {
    UserSettings *settings = UserSettings::instance();
    const float photo = settings->photoDuration();
    settings->setPhotoDuration(5);
    const auto restore = qScopeGuard([&] { settings->setPhotoDuration(photo); });
    ExportProject p;
    ProjectShape shape;
    shape.empty = true;
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    QTemporaryDir media;
    const QString gif = media.filePath("wave.gif");
    // 2 s at 10 frames a second: frame i from 0.1 i s.
    QVERIFY(MediaFixtures::writeAnimatedGif(gif, 160, 120, QVector<int>(20, 100)));
    if (TipManager::hasInstance())
      TipManager::instance()->dismissTip();

    QTest::mouseClick(w.gutter()->buttonByTag(w._lastTrackWidget->tag()), Qt::LeftButton);
    auto *popup = qobject_cast<PopupMediaTypeSelectionWidget *>(w._currentPopup.data());
    QVERIFY(popup);
    w.dialogs.answers << gif;
    QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);
    ProjectManager *model = w.projectManager();
    QTRY_VERIFY_WITH_TIMEOUT(model->segmentCount() == 1 && model->segmentAt(0)->state() == SegmentReady, 10000);
    Segment *segment = model->segmentAt(0);
    QTRY_COMPARE(segment->duration(), 2.0f);
    QCOMPARE(model->duration(), 2.0f);
    const QWidget *block = static_cast<SegmentWidget *>(model->segmentWidgetOf(segment));
    QTRY_VERIFY2(qAbs(block->width() - 2 * 24 * w.zoom()) <= 2, qPrintable(QString::number(block->width())));

    for (const double t : {0.55, 1.55}) {
      w._engine->seek(float(t), true);
      const int expected = int(t * 10);
      QImage frame;
      QVERIFY2(QTest::qWaitFor(
                   [&] {
                     frame = previewFrame(w);
                     return MediaFixtures::frameIndexOf(frame) == expected;
                   },
                   10000),
               qPrintable(QString("at %1 s the preview shows frame %2 (%3)")
                              .arg(t)
                              .arg(MediaFixtures::frameIndexOf(frame))
                              .arg(frame.save(TestEnv::shotPath("editor-gif-preview.png")) ? TestEnv::shotPath("editor-gif-preview.png") : QString())));
    }

    QVERIFY(p.exportNow());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
    const double seconds = probeVideo(ExportProject::movies() + "/Trip.mp4").value("duration").toDouble();
    QVERIFY2(qAbs(seconds - 2.0) <= 1.0 / 30 + 1e-3, qPrintable(QString::number(seconds)));
  }

  // 29.97 fps names the file by its integer part; an edit and an auto-save drop it.
  void cachedFileGoesWithAnEdit()
  {
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 1;
    shape.frameRate = 29.97f;
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    QVERIFY(p.exportNow());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
    QVERIFY(p.waitUntilIdle());
    QVERIFY(QFile::exists(p.cached("Trip_360p_h264_29fps.mp4")));

    w.projectManager()->setModified(true);
    w.autoSave();
    QVERIFY(!QFile::exists(p.cached("Trip_360p_h264_29fps.mp4")));
    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    QVERIFY(p.exportNow());
    QTRY_COMPARE(w.began, 2);
    QVERIFY(ExportProject::delivered("Trip 1.mp4"));
  }

  // While the exporter runs, edits and the auto-save leave the project and the file alone.
  void editsWaitForTheExport()
  {
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 3;
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    SegmentWidget *text = static_cast<SegmentWidget *>(w.projectManager()->segmentWidgetOf(w.projectManager()->segmentAt(1)));
    w.editScrollArea()->setSelectedSegmentWidget(text);
    QVERIFY(p.exportNow());
    QVERIFY(w._exporter);
    const int segments = w.projectManager()->segmentCount();
    QApplication::setActiveWindow(&w);
    for (const QKeySequence &keys : {QKeySequence(QKeySequence::Undo), QKeySequence("Ctrl+D"), QKeySequence("Ctrl+L")})
      QTest::keySequence(&w, keys);
    w.editScrollArea()->setFocus();
    QTest::keyClick(w.editScrollArea(), Qt::Key_Delete);
    w.projectManager()->setModified(true);
    w.autoSave();
    QVERIFY(w._exporter);
    QCOMPARE(w.undoCalls, 0);
    QCOMPARE(w.projectManager()->segmentCount(), segments);
    QVERIFY(!w.actions().addText->isEnabled());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
    QVERIFY(p.waitUntilIdle());
    QCOMPARE(w.projectManager()->segmentCount(), segments);
    QVERIFY(w.actions().addText->isEnabled());
  }

  void transparentBackgroundGivesVp9WithAlpha()
  {
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 1;
    shape.background = QStringLiteral("#00000000");
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    QVERIFY(p.exportNow());
    QCOMPARE(w.popup()->videoCodec(), QString("vp9"));
    QVERIFY(ExportProject::delivered("Trip.webm"));
    QVERIFY(QFile::exists(p.cached("Trip_360p_vp9_30fps.webm")));
    const QJsonObject stream = probeVideo(ExportProject::movies() + "/Trip.webm");
    QCOMPARE(stream.value("codec_name").toString(), QString("vp9"));
    QCOMPARE(stream.value("tags").toObject().value("alpha_mode").toString(), QString("1"));
  }

  void cancelRemovesTheCachedFile()
  {
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 4;
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    // The exporter's thread reports 30 % and waits there until Cancel has been clicked, so the
    // encode cannot finish first however fast it runs.
    std::atomic<bool> reached{false};
    bool cancelled = false;
    connect(
        &w, &MainWindow::avexporterProgressChanged, this,
        [&](float progress) {
          if (progress < 0.3f || reached.exchange(true))
            return;
          QMetaObject::invokeMethod(
              this,
              [&] {
                if (PopupMovieExportingWidget *popup = w.popup()) {
                  cancelled = true;
                  QTest::mouseClick(popup->findChild<QPushButton *>("exportCancelButton"), Qt::LeftButton);
                }
              },
              Qt::BlockingQueuedConnection);
        },
        Qt::DirectConnection);
    QVERIFY(p.exportNow());
    QVERIFY(p.waitUntilIdle());
    QVERIFY(cancelled);
    QVERIFY(p.huds.texts().contains("Export canceled"));
    QVERIFY(!w.popup());
    const QString cached = p.cached("Trip_360p_h264_30fps.mp4");
    QVERIFY(!QFile::exists(cached));
    QVERIFY(!QFile::exists(p.cached("Trip_360p_h264_30fps.partial.mp4")));
    QVERIFY(!QFile::exists(ExportProject::movies() + "/Trip.mp4"));
    QCOMPARE(w._render->composition(), w._composition);

    // Nothing cached is left to reuse: the next export encodes again.
    QVERIFY(p.exportNow());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
    QCOMPARE(w.began, 2);
  }

  void failures_data()
  {
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("cacheKept");
    QTest::addColumn<bool>("engineEmpty");
    QTest::newRow("no encoder") << "prores" << QString() << "An error occurs when exporting the movie. (error code = -3)"
                                << false << false;
    QTest::newRow("folder refuses the copy") << "h264" << "/proc" << "Create video failed" << true << false;
    // The timeline has length but the engine holds nothing (its media not opened).
    QTest::newRow("engine without length") << "h264" << QString() << "No content to export" << false << true;
  }

  void failures()
  {
    QFETCH(QString, codec);
    QFETCH(QString, folder);
    QFETCH(QString, error);
    QFETCH(bool, cacheKept);
    QFETCH(bool, engineEmpty);
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 1;
    QVERIFY(p.openAt360p(shape));
    ExportWindow &w = *p.window;
    w.exportSettings().codec = codec;
    w.exportSettings().outputFolder = folder;
    if (engineEmpty) {
      for (int i = 0; i < w.projectManager()->segmentCount(); ++i)
        w._composition->removeSegment(w.projectManager()->segmentAt(i)->id());
      QCOMPARE(w._composition->duration(), 0.0);
    }
    // An older cached export of another rate goes with an engine error too.
    QVERIFY(writeText(p.cached("Trip_360p_h264_24fps.mp4"), "old"));
    QVERIFY(p.exportNow());
    QTRY_COMPARE_WITH_TIMEOUT(p.popupError(), error, EncodeWaitMs);
    QVERIFY(p.waitUntilIdle());
    const QString extension = codec == "prores" ? "mov" : "mp4";
    QCOMPARE(QFile::exists(p.cached("Trip_360p_" + codec + "_30fps." + extension)), cacheKept);
    QCOMPARE(QFile::exists(p.cached("Trip_360p_h264_24fps.mp4")), cacheKept);
    QCOMPARE(w._render->composition(), w._composition);
  }

  // A preview thread that never ends cannot hold the window: the export is refused with a
  // message, and once the thread has ended the preview runs again and exports go through.
  void renderThatNeverEndsRefusesTheExport()
  {
    // Declared before the window, which the render thread reports to until it is gone.
    QSemaphore release;
    std::atomic<bool> armed{true}, held{false};
    ExportProject p;
    QVERIFY(p.openAt360p(ProjectShape{1}));
    ExportWindow &w = *p.window;
    const auto unblock = qScopeGuard([&] {
      if (armed.exchange(false))
        release.release();
    });
    // The render's video thread reports each frame through the window: hold it there.
    connect(
        &w, &MainWindow::avrenderProgressChanged, this,
        [&](double, double) {
          if (armed && QThread::currentThread() != qApp->thread() && !held.exchange(true))
            release.acquire();
        },
        Qt::DirectConnection);
    w._render->step(1);
    QTRY_VERIFY(held);

    QVERIFY(p.exportNow());
    QTRY_COMPARE(p.popupError(),
                 QString("The preview is still busy, so the export could not start. Please try again."));
    QVERIFY(!w._exporter);
    QCOMPARE(w.began, 0);
    QCOMPARE(w._render->composition(), w._composition);

    armed = false;
    release.release();
    QTRY_VERIFY_WITH_TIMEOUT(!w._render->hasStopped() && w._render->isVideoParked(), 20000);
    p.dismissPopup();
    QTRY_VERIFY(!w.popup());
    QVERIFY(p.exportNow());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
  }

  void frameSizeIsEven_data()
  {
    QTest::addColumn<int>("direction");
    QTest::addColumn<QSize>("size");
    QTest::newRow("5:4") << 1 << QSize(674, 540);
    QTest::newRow("4:5") << 0 << QSize(540, 674);
  }

  void frameSizeIsEven()
  {
    QFETCH(int, direction);
    QFETCH(QSize, size);
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 1;
    shape.resolution = 3;
    shape.direction = direction;
    QVERIFY(p.open(shape));
    p.window->exportSettings().qualityIndex = 1;
    QVERIFY(p.exportNow());
    QVERIFY(ExportProject::delivered("Trip.mp4"));
    const QJsonObject stream = probeVideo(ExportProject::movies() + "/Trip.mp4");
    QCOMPARE(QSize(stream.value("width").toInt(), stream.value("height").toInt()), size);
  }

  // A Movies folder that is a symbolic link is offered as the folder it points to.
  void moviesLinkIsFollowed()
  {
    const QString films = QDir::homePath() + "/Films";
    QVERIFY(QDir().mkpath(films));
    QVERIFY(QFile::link(films, ExportProject::movies()));
    ExportProject p;
    ProjectShape shape;
    shape.seconds = 1;
    QVERIFY(p.open(shape));
    p.window->actions().exportMovie->trigger();
    QVERIFY(p.window->popup());
    QCOMPARE(p.window->popup()->saveLocation(), films);
    p.dismissPopup();
    QVERIFY(QFile::remove(ExportProject::movies()));
  }

  // The question on closing during an export: its buttons dark like the box, and nothing of
  // the export page behind it shows beside them.
  void cancelQuestionIsDarkThroughout()
  {
    QSemaphore held;
    std::atomic<bool> reached{false};
    ExportProject p;
    QVERIFY(p.openAt360p(ProjectShape{4}));
    ExportWindow &w = *p.window;
    const auto release = qScopeGuard([&] { held.release(); });
    p.holdAtFirstProgress(this, &held, &reached);
    QVERIFY(p.exportNow());
    QTRY_VERIFY_WITH_TIMEOUT(reached, EncodeWaitMs);
    const QWidget *panel = w.popup()->mainWidget();
    const int panelRight = panel->mapToGlobal(QPoint(panel->width(), 0)).x();

    QImage box, beside;
    QList<QRect> buttons;
    w.dialogs.onMessageBox = [&](QMessageBox *question) {
      question->show();
      if (!QTest::qWaitForWindowExposed(question))
        return;
      box = PixelProbe::grab(question);
      for (QAbstractButton *button : question->buttons())
        buttons << button->geometry().translated(button->parentWidget()->mapTo(question, QPoint()));
      // On screen, from the right-hand button to the panel's right edge, over the buttons' height.
      QAbstractButton *last = question->buttons().first();
      for (QAbstractButton *button : question->buttons())
        if (button->mapToGlobal(QPoint()).x() > last->mapToGlobal(QPoint()).x())
          last = button;
      const QPoint from = last->mapToGlobal(QPoint(last->width() + 2, 0));
      beside = QGuiApplication::primaryScreen()
                   ->grabWindow(0, from.x(), from.y(), qMax(1, panelRight - from.x()), last->height())
                   .toImage();
      question->hide();
    };
    w.dialogs.answers << QMessageBox::No;
    w.close();
    QTRY_VERIFY(!box.isNull());
    QCOMPARE(buttons.size(), 2);
    for (const QRect &button : buttons)
      PROBE(box, button.left() + 4, button.center().y(), QColor(44, 46, 50), 16);
    int bright = 0;
    for (int y = 0; y < beside.height(); ++y)
      for (int x = 0; x < beside.width(); ++x)
        bright += qGray(beside.pixel(x, y)) > 128;
    QVERIFY2(bright == 0, qPrintable(QString("%1 light pixels beside the buttons").arg(bright)));

    held.release();
    QVERIFY(p.waitUntilIdle());
  }

  // The cancel chosen on closing stands, also when the encoder finished before the answer.
  void closingDuringAnExportCancelsAndCloses_data()
  {
    QTest::addColumn<bool>("encoderDone");
    QTest::newRow("still encoding") << false;
    QTest::newRow("encoder done before the answer") << true;
  }

  void closingDuringAnExportCancelsAndCloses()
  {
    QFETCH(bool, encoderDone);
    ExportProject p;
    ProjectShape shape;
    shape.seconds = encoderDone ? 1 : 4;
    QVERIFY(p.openAt360p(shape));
    // Still encoding: the exporter's thread waits at its first report until the close has
    // cancelled the export. Done: the finished export waits until the question is answered.
    QSemaphore held, finished, answered;
    std::atomic<bool> reached{false};
    const auto release = qScopeGuard([&] {
      held.release();
      answered.release();
      setExporterFinishHoldForTesting(nullptr);
    });
    if (encoderDone) {
      setExporterFinishHoldForTesting([&](int result) {
        if (result == 0)
          finished.release();
        answered.acquire();
      });
    } else {
      p.holdAtFirstProgress(this, &held, &reached);
    }
    QVERIFY(p.exportNow());
    ExportWindow *w = p.window.release();
    QPointer<ExportWindow> guard(w);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->dialogs.answers << QMessageBox::Yes;
    if (encoderDone)
      QVERIFY(finished.tryAcquire(1, EncodeWaitMs));
    else
      QTRY_VERIFY_WITH_TIMEOUT(reached, EncodeWaitMs);
    w->close();
    QTRY_VERIFY(guard && w->progressHUD() && w->progressHUD()->textLabel()->text() == "Canceling...");
    QCOMPARE(w->dialogs.calls.size(), 1);
    QCOMPARE(w->dialogs.calls.first().text, QString("Do you want to cancel the exporting?"));
    QVERIFY(w->isCancelRequested());
    if (encoderDone)
      answered.release();
    else
      held.release();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), EncodeWaitMs);
    QVERIFY(p.huds.texts().contains("Export canceled"));
    QVERIFY(!QFile::exists(p.cached("Trip_360p_h264_30fps.mp4")));
    QVERIFY(!QFile::exists(p.cached("Trip_360p_h264_30fps.partial.mp4")));
    QVERIFY(!QFile::exists(ExportProject::movies() + "/Trip.mp4"));
  }
};

TAVO_TEST_MAIN(TestExport)
#include "tst_export.moc"
