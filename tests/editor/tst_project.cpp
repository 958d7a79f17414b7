// The project road of the editor window: opening a generated project into tracks and the
// engine, the opening failures, saving, closing, the segment callbacks, range commits and the
// play head.

#include "editorfixture.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "avexporter.h"
#include "avimagesegment.h"
#include "avlayersegment.h"
#include "avsoundsegment.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "popupmediatypeselectionwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "usersettings.h"
#include "videothumbnailscache.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "texteditwidget.h"
#include "trackwidget.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QMutex>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <thread>

namespace {

const char *const Properties = "<?xml version=\"1.0\"?>\n<Properties version=\"%1\" backgroundColor=\"#ff203040\"/>\n";

QString segmentXml(const QString &type, int track, float start, float duration, const QString &extra)
{
  return QStringLiteral("<Segment Type=\"%1\" TrackId=\"%2\" RangeStart=\"%3\" RangeDuration=\"%4\" %5/>\n")
      .arg(type)
      .arg(track)
      .arg(double(start))
      .arg(double(duration))
      .arg(extra);
}

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The window's engine on a 1280 x 720 composition of its own, with no preview. Declared after
// the window, so it goes first.
struct HeadlessEngine
{
  AVComposition composition{1280, 720, 44100, 2, nullptr};
  AVEngine engine{&composition, nullptr, nullptr};
  explicit HeadlessEngine(TestEditorWindow &window) { window._engine = &engine; }
};

// The engine facade's calls while it lives; loading threads call it too.
struct EngineCalls
{
  QMutex lock;
  QList<AVEngineCall> calls;
  EngineCalls() { AVEngine::setCallHook(&EngineCalls::record, this); }
  ~EngineCalls() { AVEngine::setCallHook(nullptr, nullptr); }
  static void record(const AVEngineCall &call, void *user)
  {
    auto *log = static_cast<EngineCalls *>(user);
    QMutexLocker locker(&log->lock);
    log->calls << call;
  }
  QList<AVEngineCall> named(const char *name, int propertyId = -1)
  {
    QMutexLocker locker(&lock);
    QList<AVEngineCall> found;
    for (const AVEngineCall &call : calls)
      if (QByteArray(call.name) == name && (propertyId < 0 || call.propertyId == propertyId))
        found << call;
    return found;
  }
  QStringList takeNames()
  {
    QMutexLocker locker(&lock);
    QStringList names;
    for (const AVEngineCall &call : calls)
      names << call.name;
    calls.clear();
    return names;
  }
};

// A two-second text "Hello" with the given extra properties.
Segment textSegment(const QMap<QString, QString> &extra = {})
{
  auto *map = new PropertyMap;
  map->setText("Type", "TEXT");
  map->setText("Text", "Hello");
  map->setText("RangeDuration", "2");
  for (auto it = extra.cbegin(); it != extra.cend(); ++it)
    map->setText(it.key(), it.value());
  return Segment(map, nullptr);
}

} // namespace

class TestProject : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }

  void cleanup()
  {
    project.reset();
  }

  void openingBuildsTracksInOrderOfFirstAppearance()
  {
    const QString dir = project->directory();
    MediaFixtures::VideoParams clip;
    clip.width = 320;
    clip.height = 240;
    clip.fps = 25;
    clip.frames = 50;
    clip.withTone = true;
    QVERIFY(MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip));
    QVERIFY(MediaFixtures::writePicture(dir + "/still.png", 320, 240));
    QVERIFY(MediaFixtures::writeAnimatedGif(dir + "/wave.gif", 64, 64, {100, 100, 100}));
    QVERIFY(MediaFixtures::writeTone(dir + "/tune.wav", 3));
    QString xml = "<?xml version=\"1.0\"?>\n<Project>\n";
    xml += segmentXml("MOVIE", 3, 0, 2, "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"2\"");
    xml += segmentXml("SPARKLE", 5, 0, 2, "");
    xml += segmentXml("IMAGE", 7, 0, 2, "File=\"still.png\"");
    xml += segmentXml("IMAGE", 7, 2, 2, "File=\"wave.gif\"");
    xml += segmentXml("TEXT", 8, 2, 2, "Text=\"Hello\"");
    xml += segmentXml("MUSIC", 9, 0, 3, "File=\"tune.wav\" Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"3\"");
    xml += "</Project>\n";
    QVERIFY(writeText(dir + "/project.xml", xml.toUtf8()));
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));

    TestEditorWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(window.progressHUD());
    QVERIFY(waitUntilLoaded(window));
    // The unknown type is kept in the file, and said once.
    QCOMPARE(window.dialogs.calls.size(), 1);
    QCOMPARE(window.dialogs.calls[0].text, QString("1 items of this movie could not be read and are kept unchanged."));

    ProjectManager *manager = window.projectManager();
    QCOMPARE(manager->segmentCount(), 5);
    // Tags are handed out by the gutter in order; the unknown type made no track.
    QList<int> tags;
    for (int i = 0; i < manager->segmentCount(); ++i)
      if (!tags.contains(manager->segmentAt(i)->trackId()))
        tags << manager->segmentAt(i)->trackId();
    QCOMPARE(tags, (QList<int>{tags[0], tags[0] + 1, tags[0] + 2, tags[0] + 3}));
    QCOMPARE(manager->segmentAt(0)->trackId(), tags[0]);
    QCOMPARE(manager->segmentAt(4)->type(), QString("MUSIC"));
    QCOMPARE(manager->segmentAt(4)->trackId(), tags[3]);
    // One empty track follows the loaded ones.
    TrackWidget *last = window.editScrollArea()->trackWidgetByTag(tags[3] + 1);
    QVERIFY(last);
    QCOMPARE(manager->segmentCountOnTrack(tags[3] + 1), 0);

    // Every segment reached the engine; the movie under two ids.
    AVEngine *engine = window._engine;
    QVERIFY(engine);
    Segment *movie = manager->segmentAt(0);
    QTRY_VERIFY(engine->videoDuration(movie->id()) > 1.9f);
    QVERIFY(engine->audioDuration(movie->audioPartId()) >= 0);
    // The movie's picture and sound sit at the same place; the GIF alone animates.
    AVSegment *video = window._composition->findSegment(movie->id());
    AVSegment *sound = window._composition->findSegment(movie->audioPartId());
    QVERIFY(video && sound);
    QCOMPARE(video->startTime(), sound->startTime());
    QCOMPARE(video->duration(), sound->duration());
    QVERIFY(!dynamic_cast<AVAnimatableImageSegment *>(window._composition->findSegment(manager->segmentAt(1)->id())));
    QVERIFY(dynamic_cast<AVAnimatableImageSegment *>(window._composition->findSegment(manager->segmentAt(2)->id())));
    // A frame for a segment that is gone is refused, never waited for.
    int width = 0, height = 0;
    QVERIFY(!window._animationFrame(987654, 0, 64, 64, &width, &height));
    const QSize size = manager->previewVideoSize(window.previewQuality());
    QCOMPARE(QSize(window._composition->width(), window._composition->height()), size);

    QTest::qWait(300);
    window.grab().save(TestEnv::shotPath("editor-project-opened.png"));
  }

  // Once loaded, the preview shows time 0: the clip's first frame in the middle, the
  // project's background beside the 4:3 picture.
  void firstFrameShowsTimeZero()
  {
    const QString dir = project->directory();
    MediaFixtures::VideoParams clip;
    clip.width = 320;
    clip.height = 240;
    clip.fps = 25;
    clip.frames = 50;
    QVERIFY(MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" +
                       segmentXml("MOVIE", 1, 0, 2, "File=\"clip.mp4\" TrimStart=\"0.4\" TrimDuration=\"1.6\"") +
                       "</Project>\n")
                          .toUtf8()));
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    TestEditorWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(waitUntilLoaded(window));

    AVGLWidget *preview = window.previewWidget();
    QImage frame;
    // The first frame after the 0.4 s trim is frame 10.
    QTRY_VERIFY_WITH_TIMEOUT(
        (frame = preview->grabFramebuffer(),
         MediaFixtures::frameIndexFromColor(frame.pixelColor(frame.width() / 2, frame.height() / 2)) == 10),
        10000);
    const QColor side = frame.pixelColor(frame.width() / 20, frame.height() / 2);
    QVERIFY2(PixelProbe::near(side.rgb(), QColor(0x20, 0x30, 0x40)), qPrintable(PixelProbe::text(side.rgb())));
  }

  void openingFailures_data()
  {
    QTest::addColumn<QByteArray>("properties");
    QTest::addColumn<QByteArray>("projectXml");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("engine");

    const QByteArray good = "<?xml version=\"1.0\"?>\n<Project>\n</Project>\n";
    QTest::newRow("newer version") << QString(Properties).arg("5.1").toUtf8() << good
                                   << "Higher Version Project"
                                   << "Tavo REN can not open the higher version movie project. Please update Tavo "
                                      "REN to the latest version."
                                   << false;
    QTest::newRow("no properties") << QByteArray() << good << "Open Project Failed"
                                   << "Current movie project is damaged." << false;
    QTest::newRow("damaged project") << QString(Properties).arg("5.0").toUtf8()
                                     << QByteArray("<Project><Segment Type=\"MOVIE\"/><Segment")
                                     << "Open Project Failed"
                                     << "Current movie project is damaged." << true;
  }

  void openingFailures()
  {
    QFETCH(QByteArray, properties);
    QFETCH(QByteArray, projectXml);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, engine);
    const QString dir = project->directory();
    QVERIFY(QDir(dir).mkpath("history"));
    QVERIFY(writeText(dir + "/history/1.xml", "<Project/>"));
    QVERIFY(MediaFixtures::writePicture(dir + "/still.png", 32, 32));
    if (!properties.isEmpty())
      QVERIFY(writeText(dir + "/properties.xml", properties));
    QVERIFY(writeText(dir + "/project.xml", projectXml));
    const auto before = folderHashes(dir);

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->dialogs.calls.size(), 1, 20000);
    QCOMPARE(window->dialogs.calls[0].title, title);
    QCOMPARE(window->dialogs.calls[0].text, text);
    QTRY_VERIFY(!window->progressHUD());
    QCOMPARE(bool(window->previewWidget()), engine);
    QCOMPARE(window->projectManager()->segmentCount(), 0);

    // The damaged project is closed at once and left exactly as it was.
    window->close();
    QTRY_VERIFY(guard.isNull());
    QCOMPARE(folderHashes(dir), before);
  }

  // Display settings apply to a whole process: a child opens the project under each.
  void openingUnderDisplaySettings_data()
  {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("printed");

    QTest::newRow("no OpenGL") << "QT_XCB_GL_INTEGRATION" << "none" << "failed"
                               << "box: Open Project Failed / The preview needs OpenGL 3.2";
    QTest::newRow("scale factor 2") << "QT_SCALE_FACTOR" << "2" << "loaded" << " pixel ratio=2";
  }

  void openingUnderDisplaySettings()
  {
    QFETCH(QString, variable);
    QFETCH(QString, value);
    QFETCH(QString, result);
    QFETCH(QString, printed);
    const QString dir = project->directory();
    QVERIFY(MediaFixtures::writePicture(dir + "/still.png", 320, 240));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" + segmentXml("IMAGE", 1, 0, 2, "File=\"still.png\"") +
                       "</Project>\n")
                          .toUtf8()));
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(variable, value);
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(EDITOR_OPENCHILD, {project->root()});
    QVERIFY(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    const QString err = QString::fromUtf8(child.readAllStandardError());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(out.trimmed().endsWith(result), qPrintable(out));
    QVERIFY2((out + err).contains(printed), qPrintable(out + err.right(2000)));
  }

  void savingAndClosing()
  {
    const QString dir = project->directory();
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("4.0").toUtf8()));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" + segmentXml("TEXT", 1, 0, 2, "Text=\"Hi\"")
                       + "</Project>\n")
                          .toUtf8()));
    const QString temporary = dir + "/Trip_720p_h264_30fps.mp4";
    QVERIFY(writeText(temporary, "x"));

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(waitUntilLoaded(*window));
    QVERIFY(!QFile::exists(temporary));
    ProjectManager *manager = window->projectManager();

    // Auto-save leaves an unmodified project alone, even below version 5.0.
    const QByteArray oldProperties = project->readProperties();
    window->autoSave();
    QCOMPARE(project->readProperties(), oldProperties);
    QVERIFY(window->_saveProject());
    QCOMPARE(manager->version(), 5.0f);
    QVERIFY(project->readProperties().contains("version=\"5\""));

    // A project file that cannot be written keeps the edits: still modified, the window
    // stays. (A folder in its place: the tests may run with rights that ignore read-only.)
    manager->setModified(true);
    QVERIFY(QFile::remove(dir + "/project.xml"));
    QVERIFY(QDir(dir).mkpath("project.xml/blocked"));
    const auto before = folderHashes(dir);
    QVERIFY(!window->_saveProject());
    QVERIFY(manager->isModified());
    window->autoSave();
    QVERIFY(manager->isModified());

    window->dialogs.answers << QString("Keep Window Open");
    window->close();
    QTRY_COMPARE_WITH_TIMEOUT(window->dialogs.calls.size(), 1, 5000);
    QCOMPARE(window->dialogs.calls[0].title, QString("Save Failed"));
    QVERIFY(!guard.isNull());
    QTRY_VERIFY(!window->progressHUD());
    QVERIFY(window->projectManager() && window->projectManager()->isModified());
    QVERIFY(window->autoSaveTimer()->isActive());
    QVERIFY(window->previewWidget());

    window->dialogs.answers << QString("Close Without Saving");
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
    // The cover and the window layout are written before the save; nothing else changed.
    auto after = folderHashes(dir);
    after.remove(dir + "/shot.jpg");
    after.remove(ProjectManager::layoutFilePath("Trip", QString()));
    auto expected = before;
    expected.remove(ProjectManager::layoutFilePath("Trip", QString()));
    QCOMPARE(after, expected);
  }

  void closingWritesTheCover()
  {
    const QString dir = project->directory();
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    QVERIFY(writeText(dir + "/project.xml", "<?xml version=\"1.0\"?>\n<Project>\n</Project>\n"));
    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(waitUntilLoaded(*window));
    const QByteArray properties = project->readProperties();

    window->close();
    QVERIFY(window->progressHUD());
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
    QVERIFY(QFile::exists(dir + "/shot.jpg"));
    // Not modified and already 5.0: left as it was.
    QCOMPARE(project->readProperties(), properties);
  }

  // Closing drops an open text editor unapplied and takes the media-type popup away before
  // "Saving..." shows; the saved text is the one from before.
  void closingDropsWhatIsOpen()
  {
    const QString dir = project->directory();
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" + segmentXml("TEXT", 1, 0, 2, "Text=\"Kept\"") +
                       "</Project>\n")
                          .toUtf8()));
    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(waitUntilLoaded(*window));
    Segment *text = window->projectManager()->segmentAt(0);
    auto *block = static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(text));
    window->editScrollArea()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    window->_beginTextEditing(text);
    QVERIFY(window->_textEditWidget);
    window->_textEditWidget->setPlainText("Dropped");
    window->_showMediaTypePopup(0, nullptr);
    QPointer<PopupMediaTypeSelectionWidget> popup = window->_mediaTypePopup.data();
    QVERIFY(popup);

    window->close();
    QVERIFY(!window->_textEditWidget);
    QTRY_VERIFY(!popup || !popup->isVisible());
    QVERIFY(window->progressHUD());
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
    QFile saved(dir + "/project.xml");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(!saved.readAll().contains("Dropped"));
  }

  void closingDuringAnExportAsks()
  {
    const QString dir = project->directory();
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    QVERIFY(writeText(dir + "/project.xml", "<?xml version=\"1.0\"?>\n<Project>\n</Project>\n"));
    TestEditorWindow window;
    window.resize(1000, 700);
    window.show();
    QVERIFY(waitUntilLoaded(window));
    AVExporter exporter(320, 180, 1000000, 30, 0, false, 44100, 2, 128000, 0,
                        (dir + "/out.mp4").toUtf8().constData(), nullptr);
    window._exporter = &exporter;

    // The question looks like the window's other boxes: dark, not the desktop's light grey.
    QImage question;
    window.dialogs.onMessageBox = [&](QMessageBox *box) {
      box->show();
      question = PixelProbe::grab(box);
      box->hide();
    };
    window.dialogs.answers << QMessageBox::No << QMessageBox::Yes;
    window.close();
    QTRY_COMPARE(window.dialogs.calls.size(), 1);
    QCOMPARE(window.dialogs.calls[0].title, QString("Export Interrupted"));
    QCOMPARE(window.dialogs.calls[0].text, QString("Do you want to cancel the exporting?"));
    QVERIFY(!question.isNull());
    PROBE(question, 2, 2, QColor(31, 32, 35), 8);
    QVERIFY(!window.isCancelRequested());
    QVERIFY(!window.progressHUD());
    QVERIFY(window.isVisible());

    window.close();
    QTRY_COMPARE(window.dialogs.calls.size(), 2);
    QVERIFY(window.isCancelRequested());
    QVERIFY(window.progressHUD());
    QVERIFY(window.progressHUD()->textLabel()->text().contains("Canceling..."));
    QVERIFY(window.isVisible());
    window._exporter = nullptr;
    window.hideWaitingHUD();
  }

  void playbackAndPositions()
  {
    const QString dir = project->directory();
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" + segmentXml("TEXT", 1, 0, 2, "Text=\"A\"")
                       + segmentXml("TEXT", 2, 5, 2, "Text=\"B\"") + "</Project>\n")
                          .toUtf8()));
    TestEditorWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(waitUntilLoaded(window));
    QSignalSpy progress(&window, &MainWindow::avrenderProgressChanged);
    window.onAVRenderStatusChanged(3);
    QVERIFY(window._reachedEnd);

    // Next position: the next start on any track; a second press while the timeline still
    // scrolls is ignored.
    window._playheadX = 24;
    window.onActionNextPositionTriggered();
    window.onActionNextPositionTriggered();
    QTRY_VERIFY(!window._scrollAnimating);
    QTRY_VERIFY(qAbs(window._playheadTime() - 5) < 1.0f / 24);
    window.onActionPreviousPositionTriggered();
    QTRY_VERIFY(!window._scrollAnimating);
    QTRY_VERIFY(qAbs(window._playheadTime()) < 1.0f / 24);

    // Play at the end starts again from 0; the status report sets the playing flag.
    window.onAVRenderStatusChanged(3);
    window.togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(window.isPlaying(), 5000);
    QVERIFY(!window._reachedEnd);
    QVERIFY(window._engine->currentTime() < 1.5f);
    window.togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPlaying(), 5000);
    // Paused, progress moves nothing.
    const int offset = window.editScrollArea()->contentOffset().x();
    window.onAVRenderProgressChanged(4, 7);
    QCOMPARE(window.editScrollArea()->contentOffset().x(), offset);

    // At the end of the edited segment, play replays that segment from its start.
    auto *block = static_cast<SegmentWidget *>(window.projectManager()->segmentWidgetAt(1));
    window.editScrollArea()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    window._engine->seek(7, true);
    QTRY_VERIFY(qAbs(window._engine->currentTime() - 7) < 0.01f);
    window.togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(window.isPlaying(), 5000);
    QVERIFY2(window._engine->currentTime() >= 5 && window._engine->currentTime() < 6.5f,
             qPrintable(QString::number(window._engine->currentTime())));
    window.togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPlaying(), 5000);
  }

  // An animated picture removed while it plays: rendering goes on without it and the window
  // still closes.
  void animatedPictureRemovedWhilePlaying()
  {
    const QString dir = project->directory();
    QVERIFY(MediaFixtures::writeAnimatedGif(dir + "/wave.gif", 64, 64, {40, 40, 40, 40}));
    QVERIFY(writeText(dir + "/project.xml",
                      ("<?xml version=\"1.0\"?>\n<Project>\n" + segmentXml("IMAGE", 1, 0, 6, "File=\"wave.gif\"") +
                       segmentXml("TEXT", 2, 0, 6, "Text=\"Under\"") + "</Project>\n")
                          .toUtf8()));
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    auto *window = new TestEditorWindow;
    window->resize(1200, 800);
    window->show();
    QVERIFY(waitUntilLoaded(*window));
    Segment *gif = window->projectManager()->segmentAt(0);
    QVERIFY(dynamic_cast<AVAnimatableImageSegment *>(window->_composition->findSegment(gif->id())));

    QSignalSpy progress(window, &MainWindow::avrenderProgressChanged);
    window->togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(window->isPlaying(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(progress.count() >= 2, 5000);
    window->_engine->removeSegment(gif->id());
    QVERIFY(!window->_composition->findSegment(gif->id()));
    // Rendering goes on: more frames are reported after the removal.
    const int before = progress.count();
    QTRY_VERIFY_WITH_TIMEOUT(progress.count() >= before + 3, 5000);
    window->togglePlayPause();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isPlaying(), 5000);
    QVERIFY(window->runClosingStep());
    delete window;
  }

  void loadingShowsTheCountAndStopsWithTheWindow()
  {
    const QString dir = project->directory();
    QVERIFY(MediaFixtures::writeTone(dir + "/tune.wav", 2));
    QVERIFY(writeText(dir + "/properties.xml", QString(Properties).arg("5.0").toUtf8()));
    QString xml = "<?xml version=\"1.0\"?>\n<Project>\n";
    for (int i = 0; i < 8; ++i)
      xml += segmentXml("MUSIC", 1, 3 * i, 2, "File=\"tune.wav\" Title=\"Tune\"");
    QVERIFY(writeText(dir + "/project.xml", (xml + "</Project>\n").toUtf8()));

    auto *window = new TestEditorWindow;
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(window->projectLoader(), 15000);
    window->onProjectLoaderMessage(window->projectLoader(), 2, QPoint(3, 20));
    QVERIFY(window->progressHUD());
    QCOMPARE(window->progressHUD()->textLabel()->text(),
             QString("<html>Opening...<br><font color=gray><i>3/20</i></font></html>"));
    // Destroyed while its loader runs: the loader is cancelled and waited for first.
    QPointer<ProjectLoader> loader(window->projectLoader());
    delete window;
    QVERIFY(loader.isNull());
  }

  void listenerAnswers()
  {
    TestEditorWindow window;
    QCOMPARE(window.pixelsForDuration(2), 192.0f);
    QCOMPARE(window.textPlaceholder(), QString("<No text>"));
    QCOMPARE(window.musicPlaceholderTitle(), QString("<Music>"));
    // The painting values in slot order, the accent colour after the placeholders.
    const QList<double> paint = {window.messageMargin(),          double(window.messageBackgroundColor()),
                                 double(window.messageTextColor()), window.messageFontSize(),
                                 window.titleMargin(),            double(window.titleTextColor()),
                                 double(window.titleShadowColor()), window.titleShadowOffset(),
                                 window.titleFontSize(),          double(window.accentColor())};
    QCOMPARE(paint, (QList<double>{5, 0xFFFFFF00, 0xFF000000, 12, 5, 0xFFE6E6E6, 0xFF000000, 0.5, 12, 0xFF0000FF}));
    window.noOperation();

    // A range that ends inside the project emits nothing and never shrinks it.
    QSignalSpy ranges(&window, &MainWindow::segmentListener_segmentRangeChanged);
    window.projectManager()->setDuration(10);
    auto *map = new PropertyMap;
    map->setText("Type", "TEXT");
    map->setText("RangeStart", "2");
    map->setText("RangeDuration", "3");
    TextSegment inside(map, nullptr, false);
    window.segmentRangeChanged(&inside);
    QCOMPARE(ranges.count(), 0);
    QCOMPARE(window.projectManager()->duration(), 10.0f);
    inside.setRangeStart(9);
    window.segmentRangeChanged(&inside);
    QCOMPARE(ranges.count(), 1);
    QCOMPARE(window.projectManager()->duration(), 12.0f);

    // Pictures never ask the engine for video thumbnails.
    ImageSegment picture(nullptr);
    QVERIFY(!window.videoThumbnail(&picture, 0));
    QCOMPARE(window.videoThumbnailCount(&picture), 0);
  }

  void pushingLayerProperties_data()
  {
    QTest::addColumn<float>("borderWidth");
    QTest::addColumn<float>("borderFraction");
    QTest::addColumn<float>("sentWidth");
    QTest::addColumn<bool>("colourSent");

    QTest::newRow("picture legacy pixels") << 4.0f << 0.0f << 0.003125f << true;
    QTest::newRow("picture fraction") << 0.0f << 0.01f << 0.01f << true;
    QTest::newRow("picture without border") << 0.0f << 0.0f << 0.0f << false;
  }

  void pushingLayerProperties()
  {
    QFETCH(float, borderWidth);
    QFETCH(float, borderFraction);
    QFETCH(float, sentWidth);
    QFETCH(bool, colourSent);
    TestEditorWindow window;
    HeadlessEngine headless(window);
    AVComposition &composition = headless.composition;

    // The text layer keeps its border in a style the engine does not read back: pictures only.
    std::unique_ptr<Segment> segment = std::make_unique<ImageSegment>(nullptr);
    segment->setDuration(2);
    segment->setBorderWidth(borderWidth);
    segment->setBorderWidthFraction(borderFraction);
    segment->setBorderColor(0xFFFF0000);
    segment->setShadowPixelOffset(QSizeF(12.8, 0));
    segment->setKeyColor(0xFF00FF00);
    window._addSegmentToEngine(segment.get());
    window._refreshSegment(segment.get());

    auto *layer = dynamic_cast<AVLayerSegment *>(composition.findSegment(segment->id()));
    QVERIFY(layer);
    QVERIFY(qAbs(layer->borderWidth() - sentWidth) < 1e-6f);
    const vec4 border = layer->borderColor();
    QCOMPARE(border.x == 1 && border.y == 0 && border.z == 0 && border.w == 1, colourSent);
    const vec4 key = layer->keyColor();
    QVERIFY(key.x == 0 && key.y == 1 && key.z == 0 && key.w == 1);
    const vec2 shadow = layer->shadowOffset();
    QVERIFY(qAbs(shadow.x - 0.01f) < 1e-6f && shadow.y == 0);
  }

  // Sound goes to the engine id that plays it, and every transition becomes one group on each
  // of a movie's two ids.
  void pushingSoundAndTransitions()
  {
    const QString dir = project->directory();
    MediaFixtures::VideoParams clip;
    clip.width = 160;
    clip.height = 120;
    clip.frames = 100;
    clip.withTone = true;
    QVERIFY(MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip));
    QVERIFY(MediaFixtures::writeTone(dir + "/tune.wav", 4));
    TestEditorWindow window;
    HeadlessEngine headless(window);
    AVComposition &composition = headless.composition;
    AVEngine &engine = headless.engine;

    for (const QString type : {"MOVIE", "MUSIC"}) {
      auto *map = new PropertyMap;
      map->setText("Type", type);
      map->setText("File", type == "MOVIE" ? "clip.mp4" : "tune.wav");
      map->setText("RangeStart", "0");
      map->setText("RangeDuration", "4");
      map->setText("TrimStart", "0");
      map->setText("TrimDuration", "4");
      std::unique_ptr<Segment> segment;
      if (type == "MOVIE")
        segment = std::make_unique<MovieSegment>(map, &window, false);
      else
        segment = std::make_unique<MusicSegment>(map, &window, false);
      segment->setUserVolume(0.5f);
      for (float at : {0.0f, 1.5f, 3.0f})
        QVERIFY(segment->insertTransition(0.5f, at) > 0);
      QCOMPARE(segment->transitionCount(), 3);
      window._addSegmentToEngine(segment.get());
      window._refreshSegment(segment.get());

      const quint32 soundId = type == "MOVIE" ? segment->audioPartId() : segment->id();
      auto *sound = dynamic_cast<AVSoundSegment *>(composition.findSegment(soundId));
      QVERIFY2(sound, qPrintable(type));
      QCOMPARE(sound->volume(), 0.5f);
      QCOMPARE(int(sound->groups().size()), 3);
      if (type == "MOVIE")
        QCOMPARE(int(composition.findSegment(segment->id())->groups().size()), 3);
      // Rebuilding the transitions replaces the groups instead of adding to them.
      window._refreshSegment(segment.get());
      QCOMPARE(int(sound->groups().size()), 3);
      engine.removeSegment(segment->id());
      if (type == "MOVIE")
        engine.removeSegment(soundId);
    }
  }

  // A movie asks the engine for thumbnails only when the cache has none, and decodes in
  // software when hardware decoding is switched off.
  void transferringAMovie_data()
  {
    QTest::addColumn<bool>("cached");
    QTest::addColumn<bool>("hardware");
    QTest::newRow("thumbnails wanted") << false << true;
    QTest::newRow("thumbnails cached") << true << true;
    QTest::newRow("software only") << false << false;
  }

  void transferringAMovie()
  {
    QFETCH(bool, cached);
    QFETCH(bool, hardware);
    const QString dir = project->directory();
    MediaFixtures::VideoParams clip;
    clip.width = 160;
    clip.height = 120;
    clip.frames = 25;
    QVERIFY(MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip));
    TestEditorWindow window;
    HeadlessEngine headless(window);
    AVEngine &engine = headless.engine;
    UserSettings::instance()->setHardwareCodec(hardware);
    auto *map = new PropertyMap;
    map->setText("Type", "MOVIE");
    map->setText("File", "clip.mp4");
    map->setText("RangeDuration", "1");
    MovieSegment movie(map, &window, false);
    if (cached)
      window.thumbnailsCache()->setThumbnail(movie.filePath(), new QPixmap(16, 9), 0);

    QList<AVEngineCall> added;
    {
      EngineCalls log;
      window._addSegmentToEngine(&movie);
      added = log.named("addVideoSegment");
    }
    UserSettings::instance()->setHardwareCodec(true);

    QCOMPARE(added.size(), 1);
    QCOMPARE(added[0].propertyId, cached ? 0 : int(Segment::trackHeight() * window.devicePixelRatio()));
    QCOMPARE(added[0].flag, !hardware);
    engine.removeSegment(movie.id());
    engine.removeSegment(movie.audioPartId());
  }

  // A segment reporting it loaded builds its engine objects where it reports: from a loading
  // thread nothing is removed first; on the GUI thread the old objects go first.
  void loadedReportBuildsEngineObjects()
  {
    TestEditorWindow window;
    HeadlessEngine headless(window);
    AVComposition &composition = headless.composition;
    AVEngine &engine = headless.engine;
    Segment text = textSegment();
    QStringList fromPool, fromGui;
    {
      EngineCalls log;
      std::thread([&] { window.segmentStateChanged(&text, 1); }).join();
      fromPool = log.takeNames();
      window.segmentStateChanged(&text, 1);
      fromGui = log.takeNames();
    }

    QVERIFY(fromPool.contains("addTextSegment"));
    QVERIFY(!fromPool.contains("removeSegment"));
    QVERIFY(fromPool.contains("setSegmentProperty"));
    QCOMPARE(fromGui.first(), QString("removeSegment"));
    QVERIFY(fromGui.contains("addTextSegment"));
    QVERIFY(composition.findSegment(text.id()));
    engine.removeSegment(text.id());
  }

  // A text keeps its border width in pixels of the reference frame and sends it unconverted.
  void pushingTextBorder()
  {
    TestEditorWindow window;
    HeadlessEngine headless(window);
    AVEngine &engine = headless.engine;
    Segment text = textSegment({{"BorderWidth", "4"}});
    QList<AVEngineCall> borders;
    {
      EngineCalls log;
      window._addSegmentToEngine(&text);
      window._refreshSegment(&text);
      borders = log.named("setSegmentProperty", 10);
    }
    QVERIFY(!borders.isEmpty());
    QCOMPARE(borders.last().id, text.id());
    QCOMPARE(borders.last().a, 4.0f);
    engine.removeSegment(text.id());
  }

  void rangeCommitsInInsertMode_data()
  {
    QTest::addColumn<float>("startDelta");
    QTest::addColumn<float>("endDelta");
    QTest::addColumn<float>("laterShift");
    QTest::addColumn<bool>("committed");

    QTest::newRow("right edge +2") << 0.0f << 2.0f << 2.0f << true;
    QTest::newRow("left edge +1") << 1.0f << 0.0f << -1.0f << true;
    QTest::newRow("below tolerance") << 0.0f << 0.0005f << 0.0f << true;
    QTest::newRow("unchanged") << 0.0f << 0.0f << 0.0f << false;
  }

  void rangeCommitsInInsertMode()
  {
    QFETCH(float, startDelta);
    QFETCH(float, endDelta);
    QFETCH(float, laterShift);
    QFETCH(bool, committed);
    TestEditorWindow window;
    ProjectManager *manager = window.projectManager();
    // Three texts on track 1 at 0, 2 and 4 s, one on track 2 at 2 s.
    QList<Segment *> segments;
    for (auto [track, start] : QList<QPair<int, float>>{{1, 0}, {1, 2}, {1, 4}, {2, 2}}) {
      auto *map = new PropertyMap;
      map->setText("Type", "TEXT");
      map->setText("TrackId", QString::number(track));
      map->setText("RangeStart", QString::number(double(start)));
      map->setText("RangeDuration", "2");
      auto *segment = new Segment(map, nullptr);
      manager->appendSegment(segment, nullptr);
      segments << segment;
    }
    manager->setModified(false);
    Segment *edited = segments[0];
    window._saveRange(edited);
    edited->setRangeStart(edited->rangeStart() + startDelta);
    edited->setDuration(edited->duration() - startDelta + endDelta);

    QCOMPARE(window._commitSegmentRangeChange(edited, false), committed);
    QCOMPARE(edited->rangeStart(), 0.0f);
    QCOMPARE(segments[1]->rangeStart(), 2 + laterShift);
    QCOMPARE(segments[2]->rangeStart(), 4 + laterShift);
    QCOMPARE(segments[3]->rangeStart(), 2.0f);
    QCOMPARE(manager->isModified(), committed);
    // A segment starting exactly at the shift point stays.
    QCOMPARE(window._shiftSegmentsOnTrack(1, 2 + laterShift, 1, false), 1);
  }

  void playheadTimeAndScrolling()
  {
    TestEditorWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window._setTimelineScale(1);
    window.projectManager()->setDuration(600);
    window.editScrollArea()->setScale(1, 600);
    window._playheadX = 300;
    window.editScrollArea()->setContentOffset(QPoint(0, 0), false);
    QCOMPARE(window._playheadTime(), 12.5f);

    // A time before the view would need a negative scroll: the play head moves instead.
    window.editScrollArea()->setContentOffset(QPoint(100, 0), false);
    window._setPlayheadTime(1, false);
    QCOMPARE(window.editScrollArea()->contentOffset().x(), 0);
    QCOMPARE(window._playheadTime(), 1.0f);
  }

private:
  std::unique_ptr<EditorProject> project;
};

TAVO_TEST_MAIN(TestProject)
#include "tst_project.moc"
