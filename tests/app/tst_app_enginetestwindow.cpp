#include "archiveexporter.h"
#include "avrender.h"
#include "mediafixtures.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "scripteddialogprovider.h"
#include "testenv.h"
#include "testmainwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>

namespace {

bool reportedReady(const QSignalSpy &reports)
{
  for (const QList<QVariant> &report : reports)
    if (report.at(1).toInt() == SegmentReady)
      return true;
  return false;
}

// The window re-seeks (and so pauses) when a segment is ready: playing starts after that.
void waitUntilReadyHandled(const QSignalSpy &reports)
{
  QTRY_VERIFY_WITH_TIMEOUT(reportedReady(reports), 10000);
  // The window's queued slot was posted before the spy recorded the report.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

QString lastBox(const ScriptedDialogProvider &dialogs)
{
  for (int i = dialogs.calls.size() - 1; i >= 0; --i)
    if (dialogs.calls[i].kind == QLatin1String("messageBox"))
      return dialogs.calls[i].title + " / " + dialogs.calls[i].text;
  return QString();
}

} // namespace

class TestEngineTestWindow : public QObject
{
  Q_OBJECT
  QTemporaryDir m_dir;
  QString m_clip;
  QString m_picture;

  // A shown, loaded window.
  std::unique_ptr<TestMainWindow> loadedWindow()
  {
    auto window = std::make_unique<TestMainWindow>();
    window->resize(640, 480);
    window->show();
    if (QTest::qWaitForWindowExposed(window.get()))
      window->form().loadUnloadButton->click();
    return window;
  }

  // Adds the clip through the scripted dialog and waits until the slider knows its length.
  void addClip(TestMainWindow &window, ScriptedDialogProvider &dialogs)
  {
    QVERIFY(window.isLoaded());
    QSignalSpy reports(&window, &TestMainWindow::segmentListener_segmentStateChanged);
    dialogs.answers << m_clip;
    window.form().addVideoButton->click();
    waitUntilReadyHandled(reports);
    if (QTest::currentTestFailed())
      return;
    QTRY_COMPARE(window.form().horizontalSlider->maximum(), 4000);
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_dir.isValid());
    m_clip = m_dir.filePath("clip.mp4");
    MediaFixtures::VideoParams params;
    params.frames = 120;
    params.withTone = true;
    QVERIFY2(MediaFixtures::writeColorVideo(m_clip, params), qPrintable(MediaFixtures::lastError()));
    m_picture = m_dir.filePath("picture.png");
    QVERIFY(MediaFixtures::writePicture(m_picture, 320, 240));
  }

  void loadTurnsIntoUnload()
  {
    ScriptedDialogProvider dialogs;
    TestMainWindow window;
    window.resize(640, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.form().loadUnloadButton->text(), QString("Load"));
    // Nothing to add to before the engine is loaded: no dialog.
    window.form().addVideoButton->click();
    window.form().addImageButton->click();
    window.form().addMusicButton->click();
    window.form().playButton->click();
    QVERIFY(dialogs.calls.isEmpty());

    window.form().loadUnloadButton->click();
    QCOMPARE(window.form().loadUnloadButton->text(), QString("Unload"));
    QVERIFY(window.isLoaded());
    QVERIFY(window.render());
    window.form().loadUnloadButton->click();
    QCOMPARE(window.form().loadUnloadButton->text(), QString("Load"));
    QVERIFY(!window.render());
    QVERIFY(!window.composition());
    // A second load after an unload builds the engine again.
    window.form().loadUnloadButton->click();
    QCOMPARE(window.form().loadUnloadButton->text(), QString("Unload"));
    QVERIFY(window.render());
  }

  void addedMediaPlayAndPause_data()
  {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<double>("duration");
    QTest::newRow("clip") << "addVideoButton" << "Open Video" << "Video (*.mp4 *.mov *.m4v *.avi *.mkv)" << 4.0;
    QTest::newRow("picture") << "addImageButton" << "Open Image" << "Images (*.png *.gif *.jpg)" << 5.0;
  }

  void addedMediaPlayAndPause()
  {
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QString, filter);
    QFETCH(double, duration);
    ScriptedDialogProvider dialogs;
    auto window = loadedWindow();
    QVERIFY(window->isLoaded());
    window->mediaFolder = m_dir.path();
    QSignalSpy reports(window.get(), &TestMainWindow::segmentListener_segmentStateChanged);
    dialogs.answers << (button == "addVideoButton" ? m_clip : m_picture);
    window->findChild<QPushButton *>(button)->click();
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls[0].title, caption);
    QCOMPARE(dialogs.calls[0].text, m_dir.path());
    QCOMPARE(dialogs.calls[0].buttons, QStringList{filter});
    waitUntilReadyHandled(reports);
    if (QTest::currentTestFailed())
      return;
    QTRY_COMPARE(window->form().horizontalSlider->maximum(), int(duration * 1000));

    // Paused by the render's own clock: the label follows through queued reports, which a busy
    // machine holds back until the media may have played to its end.
    window->form().playButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(window->render()->currentTime() > 0.3, 10000);
    QVERIFY(window->render()->isPlaying());
    window->form().pauseButton->click();
    QVERIFY(!window->render()->isPlaying());
    const double pausedAt = window->render()->currentTime();
    QVERIFY(pausedAt < duration);
    // The label catches up with the time played and stays there.
    QTRY_COMPARE(window->form().timeLabel->text(), QString::asprintf("%.3f/%.3f", pausedAt, duration));
    QTest::qWait(300);
    QCOMPARE(window->render()->currentTime(), pausedAt);
  }

  void sliderSeeks_data()
  {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");
    QTest::newRow("end") << 4000 << "4.000/4.000";
    QTest::newRow("middle") << 2000 << "2.000/4.000";
    QTest::newRow("quarter") << 1000 << "1.000/4.000";
  }

  void sliderSeeks()
  {
    QFETCH(int, position);
    QFETCH(QString, label);
    ScriptedDialogProvider dialogs;
    auto window = loadedWindow();
    addClip(*window, dialogs);
    if (QTest::currentTestFailed())
      return;
    QSlider *slider = window->form().horizontalSlider;
    QCOMPARE(slider->maximum(), 4000);
    window->form().playButton->click();
    QTRY_VERIFY(window->render()->isPlaying());

    // Held: playback stops and progress reports leave the slider alone.
    slider->setSliderDown(true);
    QVERIFY(!window->render()->isPlaying());
    slider->setSliderPosition(position);
    QCOMPARE(window->form().timeLabel->text(), label);
    window->updateControlsByProgress(1.5);
    QCOMPARE(slider->value(), position);
    QCOMPARE(window->form().timeLabel->text(), label);

    slider->setSliderDown(false);
    QTRY_COMPARE(window->render()->currentTime(), position / 1000.0);
    QVERIFY(!window->render()->isPlaying());
    // Released: progress moves the slider again.
    window->updateControlsByProgress(1.5);
    QCOMPARE(slider->value(), 1500);
    QCOMPARE(window->form().timeLabel->text(), QString("1.500/4.000"));
  }

  void exportEndsWithSuccess()
  {
    ScriptedDialogProvider dialogs;
    auto window = loadedWindow();
    addClip(*window, dialogs);
    if (QTest::currentTestFailed())
      return;
    window->exportPath = m_dir.filePath("export.mp4");
    window->form().saveButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!lastBox(dialogs).isEmpty(), 60000);
    QCOMPARE(lastBox(dialogs), QString("Success / Export Finished"));
    QCOMPARE(window->form().progressBar->value(), window->form().progressBar->maximum());
    const MediaFixtures::DecodedVideo video = MediaFixtures::decodeVideo(window->exportPath);
    QVERIFY(video.ok);
    QCOMPARE(video.width, 1920);
    QCOMPARE(video.height, 1080);
    QVERIFY(video.frames.size() >= 115);
    // The composition is back in the preview, at the start.
    QCOMPARE(window->render()->composition(), window->composition());
    QTRY_COMPARE(window->render()->currentTime(), 0.0);
  }

  void exportFailureIsReported()
  {
    ScriptedDialogProvider dialogs;
    auto window = loadedWindow();
    addClip(*window, dialogs);
    if (QTest::currentTestFailed())
      return;
    window->exportPath = m_dir.filePath("missing/folder/export.mp4");
    window->form().saveButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!lastBox(dialogs).isEmpty(), 60000);
    QVERIFY2(QRegularExpression("^Fail / Export Failed \\(code=-?\\d+\\)$").match(lastBox(dialogs)).hasMatch(),
             qPrintable(lastBox(dialogs)));
    QVERIFY(!lastBox(dialogs).endsWith("(code=0)"));
    QCOMPARE(window->render()->composition(), window->composition());
  }

  void openProject_data()
  {
    QTest::addColumn<bool>("withProperties");
    QTest::addColumn<QString>("box");
    QTest::newRow("project") << true << "Open Completed / Open Completed";
    QTest::newRow("no properties") << false << "Open Project Failed / Open properties error occurs (12)";
  }

  void openProject()
  {
    QFETCH(bool, withProperties);
    QFETCH(QString, box);
    const QString project = ProjectManager::projectDirectory("Holiday", QString());
    QDir(project).removeRecursively();
    QVERIFY(QDir().mkpath(project));
    if (withProperties) {
      QFile properties(project + "/properties.xml");
      QVERIFY(properties.open(QIODevice::WriteOnly));
      properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n");
    }
    QFile segments(project + "/project.xml");
    QVERIFY(segments.open(QIODevice::WriteOnly));
    segments.write(QString("<?xml version=\"1.0\"?>\n<Project>\n<Segment Type=\"IMAGE\" File=\"%1\" "
                           "RangeStart=\"0\" RangeDuration=\"3\" TrackId=\"1\"/>\n</Project>\n")
                       .arg(m_picture)
                       .toUtf8());
    segments.close();

    ScriptedDialogProvider dialogs;
    auto window = loadedWindow();
    QVERIFY(window->isLoaded());
    dialogs.answers << project;
    window->form().openButton->click();
    QCOMPARE(dialogs.calls[0].title, QString("Open Project"));
    QTRY_VERIFY_WITH_TIMEOUT(!lastBox(dialogs).isEmpty(), 20000);
    QCOMPARE(lastBox(dialogs), box);
    // A loaded project's segments reach the model and the engine.
    QCOMPARE(window->projectManager()->segmentCount(), withProperties ? 1 : 0);
    if (withProperties)
      QTRY_COMPARE_WITH_TIMEOUT(window->form().horizontalSlider->maximum(), 3000, 10000);
    QDir(project).removeRecursively();
  }

  void archiveImport_data()
  {
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("box");
    QTest::newRow("archive") << true << "Import Completed / Import Completed";
    QTest::newRow("missing") << false << "Import Failed / Import project error occurs (4)";
  }

  void archiveImport()
  {
    QFETCH(bool, exists);
    QFETCH(QString, box);
    // A project of its own, archived, then removed so that the import makes it again.
    const QString project = ProjectManager::projectDirectory("Trip", QString());
    QVERIFY(QDir().mkpath(project));
    QFile properties(project + "/properties.xml");
    QVERIFY(properties.open(QIODevice::WriteOnly));
    properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n");
    properties.close();
    QFile segments(project + "/project.xml");
    QVERIFY(segments.open(QIODevice::WriteOnly));
    segments.write("<?xml version=\"1.0\"?>\n<Project>\n</Project>\n");
    segments.close();
    QTemporaryDir out;
    ArchiveExporter exporter("Trip", QString(), out.path());
    exporter.start();
    QVERIFY(exporter.wait(20000));
    const QString archive = out.filePath("Trip.tavorenproject");
    QVERIFY(QFile::exists(archive));
    QVERIFY(QDir(project).removeRecursively());
    if (!exists)
      QVERIFY(QFile::remove(archive));

    ScriptedDialogProvider dialogs;
    TestMainWindow window;
    window.downloadFolder = out.path();
    dialogs.answers << archive;
    window.form().importButton->click();
    QCOMPARE(dialogs.calls[0].title, QString("Open Archive"));
    QCOMPARE(dialogs.calls[0].text, out.path());
    QCOMPARE(dialogs.calls[0].buttons, QStringList{"Tavo REN Project File (*.tavorenproject)"});
    QTRY_VERIFY_WITH_TIMEOUT(!lastBox(dialogs).isEmpty(), 20000);
    QCOMPARE(lastBox(dialogs), box);
    QCOMPARE(QFile::exists(project + "/project.xml"), exists);
    QDir(project).removeRecursively();
  }
};

TAVO_TEST_MAIN(TestEngineTestWindow)
#include "tst_app_enginetestwindow.moc"
