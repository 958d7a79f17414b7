// Opening unusual project folders in the editor window and closing them again: media that are
// no regular files or gigabytes of zeros, closing while the project opens, stored values no block could show, and
// a large project whose blocks are built while the window keeps answering.

#include "editorfixture.h"

#include "avglwidget.h"
#include "editscrollarea.h"
#include "mediafixtures.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "rulerwidget.h"
#include "segment.h"
#include "segmentwidget.h"
#include "testenv.h"
#include "timelinegeometry.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QGuiApplication>
#include <QScreen>
#include <QXmlStreamReader>
#include <QOpenGLWidget>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {

QByteArray segmentXml(const QString &type, int track, const QString &start, const QString &duration,
                      const QString &extra)
{
  return QStringLiteral("<Segment Type=\"%1\" TrackId=\"%2\" RangeStart=\"%3\" RangeDuration=\"%4\" %5/>\n")
      .arg(type, QString::number(track), start, duration, extra)
      .toUtf8();
}

// The paths whose bytes differ, came or went.
QStringList changed(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
{
  QStringList paths;
  for (auto it = before.cbegin(); it != before.cend(); ++it)
    if (after.value(it.key(), "gone") != it.value())
      paths << it.key();
  for (auto it = after.cbegin(); it != after.cend(); ++it)
    if (!before.contains(it.key()))
      paths << it.key();
  return paths;
}

QStringList dialogTitles(const TestEditorWindow &window)
{
  QStringList titles;
  for (const auto &call : window.dialogs.calls)
    titles << call.title;
  return titles;
}

} // namespace

class TestLoading : public QObject
{
  Q_OBJECT

  std::unique_ptr<EditorProject> project;

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }

  void cleanup() { project.reset(); }

  // A FIFO named as a media file would hold its reader in the open until someone writes to
  // it: it is a load error, the project finishes opening and the window closes.
  void mediaThatIsNoRegularFile_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("file");
    QTest::newRow("movie") << "MOVIE" << "clip.mp4";
    QTest::newRow("music") << "MUSIC" << "tune.wav";
    QTest::newRow("picture") << "IMAGE" << "still.png";
  }

  void mediaThatIsNoRegularFile()
  {
    QFETCH(QString, type);
    QFETCH(QString, file);
    const QString dir = project->directory();
    QCOMPARE(mkfifo(QFile::encodeName(dir + "/" + file).constData(), 0600), 0);
    QVERIFY(writeEditorProject(dir, segmentXml(type, 1, "0", "2", QStringLiteral("File=\"%1\"").arg(file))));
    const auto before = folderHashes(project->root());

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY2(waitUntilLoaded(*window), "the project never finished opening");
    QCOMPARE(window->projectManager()->segmentCount(), 1);
    Segment *segment = window->projectManager()->segmentAt(0);
    QTRY_COMPARE(segment->error(), quint32(SegmentLoadError));

    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
    auto after = folderHashes(project->root());
    after.remove(project->directory() + "/shot.jpg");
    after.remove(ProjectManager::layoutFilePath("Trip", QString()));
    const QStringList touched = changed(before, after);
    QVERIFY2(touched.isEmpty(), qPrintable(touched.join(", ")));
  }

  // A terabyte of zeros named as media, maybe behind a valid header, makes a demuxer or a
  // picture reader scan the whole file for a header, a marker or a frame: the window closes
  // while they open, each reading gives up with a load error after a bounded read, and the
  // files stay as they were.
  void mediaOfZerosThatNeverEnd_data()
  {
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("untilLoaded");
    const QByteArray jpeg = MediaFixtures::endlessJpegHeader();
    const QByteArray gif = MediaFixtures::endlessGifHeader();
    QTest::newRow("music, closed while it opens") << QStringList{"MUSIC"} << QStringList{"tone.mp3"} << QByteArray()
                                                  << false;
    QTest::newRow("music and a clip waiting behind it")
        << QStringList{"MUSIC", "MOVIE"} << QStringList{"tone.mp3", "clip.m4v"} << QByteArray() << false;
    QTest::newRow("picture, closed while it opens") << QStringList{"IMAGE"} << QStringList{"still.png"}
                                                    << QByteArray() << false;
    QTest::newRow("JPEG, closed while it opens") << QStringList{"IMAGE"} << QStringList{"still.jpg"} << jpeg << false;
    QTest::newRow("GIF, closed while it opens") << QStringList{"IMAGE"} << QStringList{"moving.gif"} << gif << false;
    QTest::newRow("music, closed after its load error") << QStringList{"MUSIC"} << QStringList{"tone.mp3"}
                                                        << QByteArray() << true;
    QTest::newRow("clip, closed after its load error") << QStringList{"MOVIE"} << QStringList{"clip.m4v"}
                                                       << QByteArray() << true;
    QTest::newRow("picture, closed after its load error") << QStringList{"IMAGE"} << QStringList{"still.png"}
                                                          << QByteArray() << true;
    QTest::newRow("JPEG, closed after its load error") << QStringList{"IMAGE"} << QStringList{"still.jpg"} << jpeg
                                                       << true;
    QTest::newRow("GIF, closed after its load error") << QStringList{"IMAGE"} << QStringList{"moving.gif"} << gif
                                                      << true;
  }

  void mediaOfZerosThatNeverEnd()
  {
    QFETCH(QStringList, types);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, header);
    QFETCH(bool, untilLoaded);
    const QString dir = project->directory();
    QByteArray segments;
    for (int i = 0; i < files.size(); ++i) {
      QVERIFY(MediaFixtures::writeEndlessFile(dir + "/" + files[i], header));
      segments += segmentXml(types[i], 1 + i, "0", "2", QStringLiteral("File=\"%1\"").arg(files[i]));
    }
    QVERIFY(writeEditorProject(dir, segments));
    const auto before = folderHashes(project->root());

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    if (untilLoaded) {
      QVERIFY2(waitUntilLoaded(*window), "the project never finished opening");
      for (int i = 0; i < files.size(); ++i)
        QTRY_COMPARE_WITH_TIMEOUT(window->projectManager()->segmentAt(i)->error(), quint32(SegmentLoadError), 60000);
    } else {
      // The media are being read: their segments exist and load.
      QTRY_VERIFY_WITH_TIMEOUT(window->projectManager() && window->projectManager()->segmentCount() == files.size(),
                               30000);
      for (int i = 0; i < files.size(); ++i)
        QTRY_VERIFY_WITH_TIMEOUT(window->projectManager()->segmentAt(i)->state() >= SegmentLoading, 30000);
    }

    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 20000);
    auto after = folderHashes(project->root());
    after.remove(dir + "/shot.jpg");
    after.remove(ProjectManager::layoutFilePath("Trip", QString()));
    const QStringList touched = changed(before, after);
    QVERIFY2(touched.isEmpty(), qPrintable(touched.join(", ")));
  }

  // Nothing can have been edited while the project opens: the window goes at once, before its
  // engine exists or while its loader waits for the segments, and the files stay as they were.
  void closingWhileOpening_data()
  {
    QTest::addColumn<bool>("loaderRunning");
    QTest::newRow("before the engine") << false;
    QTest::newRow("while the segments load") << true;
  }

  void closingWhileOpening()
  {
    QFETCH(bool, loaderRunning);
    const QString dir = project->directory();
    QByteArray segments;
    for (int i = 0; i < 6; ++i)
      segments += segmentXml("TEXT", 1 + i % 2, QString::number(2 * i), "2", "Text=\"Hi\"");
    QVERIFY(writeEditorProject(dir, segments));
    const auto before = folderHashes(project->root());

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(window->progressHUD());
    if (loaderRunning) {
      QTRY_VERIFY_WITH_TIMEOUT(window->projectLoader(), 15000);
      QVERIFY(window->progressHUD());
    } else {
      QVERIFY(!window->previewWidget());
    }
    QPointer<ProjectLoader> loader(window->projectLoader());
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
    QVERIFY(loader.isNull());
    const QStringList touched = changed(before, folderHashes(project->root()));
    QVERIFY2(touched.isEmpty(), qPrintable(touched.join(", ")));
  }

  // The preview's context comes with the window's first show: a window made but not shown
  // yet neither builds its engine nor waits for one, and opens the project once shown.
  void openingWaitsForTheShow()
  {
    QVERIFY(writeEditorProject(project->directory(), segmentXml("TEXT", 1, "0", "2", "Text=\"Hi\"")));
    TestEditorWindow window;
    window.resize(1000, 700);
    bool engineWhileHidden = true;
    // Armed after the window's own opening step, so it runs after that step.
    QTimer::singleShot(300, &window, [&] {
      engineWhileHidden = window.previewWidget();
      window.show();
    });
    QVERIFY2(waitUntilLoaded(window), "the project never finished opening");
    QVERIFY(!engineWhileHidden);
    QCOMPARE(window.projectManager()->segmentCount(), 1);
    QVERIFY(window.dialogs.calls.isEmpty());
  }

  // The window composes the preview once before the engine is built and the loader starts:
  // the driver builds its programs for that composition on a turn of its own. Composed that
  // early, the preview already shows the project's background.
  void previewComposedBeforeTheEngine_data()
  {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QColor>("background");
    QTest::newRow("opaque") << QByteArray("#ff203040") << QColor(0x20, 0x30, 0x40);
    QTest::newRow("half see-through") << QByteArray("#80ff8000") << QColor(0xff, 0x80, 0x00, 0x80);
    QTest::newRow("see-through") << QByteArray("#00000000") << QColor(0, 0, 0, 0);
  }

  void previewComposedBeforeTheEngine()
  {
    QFETCH(QByteArray, stored);
    QFETCH(QColor, background);
    const QString dir = project->directory();
    QVERIFY(writeEditorProject(dir, segmentXml("TEXT", 1, "0", "2", "Text=\"Hi\"")));
    QFile properties(dir + "/properties.xml");
    QVERIFY(properties.open(QIODevice::WriteOnly | QIODevice::Truncate));
    properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"" + stored + "\"/>\n");
    properties.close();

    struct FirstComposition
    {
      bool seen = false;
      bool engine = true;
      bool loader = true;
      QColor background;
    } first;
    TestEditorWindow window;
    // The preview is caught as it shows, before the window can compose it.
    struct ShowFilter : QObject
    {
      std::function<void(AVGLWidget *)> shown;
      bool eventFilter(QObject *watched, QEvent *event) override
      {
        auto *preview = event->type() == QEvent::Show ? qobject_cast<AVGLWidget *>(watched) : nullptr;
        if (preview)
          shown(preview);
        return false;
      }
    } filter;
    filter.shown = [&](AVGLWidget *preview) {
      connect(preview, &QOpenGLWidget::frameSwapped, preview, [&, preview] {
        if (!first.seen)
          first = {true, window.previewWidget() != nullptr, window.projectLoader() != nullptr,
                   preview->backgroundColor()};
      });
    };
    qApp->installEventFilter(&filter);
    window.resize(1000, 700);
    window.show();
    const bool loaded = waitUntilLoaded(window);
    qApp->removeEventFilter(&filter);
    QVERIFY2(loaded, "the project never finished opening");
    QVERIFY2(first.seen, "the preview was never composed");
    QVERIFY2(!first.engine, "the engine was built before the preview was first composed");
    QVERIFY2(!first.loader, "the loader ran before the preview was first composed");
    QCOMPARE(first.background, background);
    QCOMPARE(window.previewWidget()->backgroundColor(), background);
    QCOMPARE(window.projectManager()->segmentCount(), 1);
  }

  // A value no block or layer could show is reset when the project opens, the user is told
  // once, and the file keeps what it held until the user saves.
  void valuesNoBlockCanShow_data()
  {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<float>("expectedStart");
    QTest::addColumn<float>("expectedDuration");
    // A start no block can show goes after the last block of its row, here alone: to 0. A
    // length no block can show is a new text's.
    const float length = UserSettings::instance()->textDuration();
    QTest::newRow("start 1e308") << "1e308" << "2" << "" << 0.0f << 2.0f;
    QTest::newRow("start -1e308") << "-1e308" << "2" << "" << 0.0f << 2.0f;
    QTest::newRow("start nan") << "nan" << "2" << "" << 0.0f << 2.0f;
    QTest::newRow("start inf") << "inf" << "2" << "" << 0.0f << 2.0f;
    QTest::newRow("start negative") << "-3" << "2" << "" << 0.0f << 2.0f;
    QTest::newRow("duration 1e308") << "1" << "1e308" << "" << 1.0f << length;
    QTest::newRow("duration -1e308") << "1" << "-1e308" << "" << 1.0f << length;
    QTest::newRow("duration nan") << "1" << "nan" << "" << 1.0f << length;
    QTest::newRow("duration inf") << "1" << "inf" << "" << 1.0f << length;
    QTest::newRow("duration negative") << "1" << "-2" << "" << 1.0f << length;
    QTest::newRow("scale") << "1" << "2" << "UserScale=\"{nan,inf}\"" << 1.0f << 2.0f;
    QTest::newRow("translation") << "1" << "2" << "UserTranslation=\"{inf,0}\"" << 1.0f << 2.0f;
    QTest::newRow("rotation") << "1" << "2" << "UserRotation=\"nan\"" << 1.0f << 2.0f;
    QTest::newRow("volume") << "1" << "2" << "UserVolume=\"-inf\"" << 1.0f << 2.0f;
    QTest::newRow("speed") << "1" << "2" << "Speed=\"nan\"" << 1.0f << 2.0f;
    QTest::newRow("transparency") << "1" << "2" << "UserTransparency=\"1e300\"" << 1.0f << 2.0f;
    QTest::newRow("crop") << "1" << "2" << "CropTopLeft=\"{0,nan}\" CropBottomRight=\"{inf,1}\"" << 1.0f << 2.0f;
  }

  void valuesNoBlockCanShow()
  {
    QFETCH(QString, start);
    QFETCH(QString, duration);
    QFETCH(QString, extra);
    QFETCH(float, expectedStart);
    QFETCH(float, expectedDuration);
    const QString dir = project->directory();
    QVERIFY(writeEditorProject(dir, segmentXml("TEXT", 1, start, duration, "Text=\"nan\" " + extra)));
    const auto before = folderHashes(dir);

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(waitUntilLoaded(*window));
    QCOMPARE(dialogTitles(*window), QStringList{"Values Reset"});
    Segment *segment = window->projectManager()->segmentAt(0);
    QCOMPARE(segment->rangeStart(), expectedStart);
    QCOMPARE(segment->duration(), expectedDuration);
    // The layer is where its defaults put it; the text itself is no number.
    QCOMPARE(segment->userScale(), QSizeF(1, 1));
    QCOMPARE(segment->userTranslation(), QPointF(0, 0));
    QCOMPARE(segment->userRotation(), 0.0);
    QCOMPARE(segment->userVolume(), 1.0f);
    QCOMPARE(segment->speed(), 1.0f);
    QCOMPARE(segment->userTransparency(), 0.0f);
    QCOMPARE(segment->cropTopLeft(), QPointF(0, 0));
    QCOMPARE(segment->cropBottomRight(), QPointF(1, 1));
    QCOMPARE(segment->properties()->text("Text"), QString("nan"));

    // The block lies inside its row, at least a pixel wide, and the ruler spans the project.
    auto *block = static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segment));
    QVERIFY(block && block->isVisible());
    const QRect inRow = block->geometry();
    QVERIFY2(inRow.width() >= 1 && inRow.left() >= 0 && inRow.right() < block->parentWidget()->width(),
             qPrintable(QStringLiteral("block at %1 + %2 in a row %3 wide")
                            .arg(inRow.left())
                            .arg(inRow.width())
                            .arg(block->parentWidget()->width())));
    auto *ruler = window->findChild<RulerScrollArea *>();
    QVERIFY(ruler && ruler->rulerWidget());
    QVERIFY(ruler->rulerWidget()->width() >= window->editScrollArea()->widget()->width());
    QVERIFY(!window->projectManager()->isModified());

    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
    auto after = folderHashes(dir);
    after.remove(dir + "/shot.jpg");
    after.remove(ProjectManager::layoutFilePath("Trip", QString()));
    const QStringList touched = changed(before, after);
    QVERIFY2(touched.isEmpty(), qPrintable(touched.join(", ")));
  }

  // Pane sizes beyond the screen are brought into it: the preview keeps its room, the user is
  // told, and what is saved on closing fits the screen.
  void layoutSizesBeyondTheScreen()
  {
    QVERIFY(writeEditorProject(project->directory(), segmentXml("TEXT", 1, "0", "2", "Text=\"Hi\"")));
    project->writeLayout({{"L1_InspectorAreaSize", 100000},
                          {"L1_MediaAreaSize", 100000},
                          {"L1_PreviewAreaSize", 100000},
                          {"L1_MediaAreaHidden", 0}});
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    QVERIFY(waitUntilLoaded(*window));
    QCOMPARE(dialogTitles(*window), QStringList{"Values Reset"});
    QVERIFY(window->previewAreaHeight() <= screen.height() - 200);
    QVERIFY(window->mediaAreaWidth() <= screen.width() - 350);
    QVERIFY(window->inspectorAreaWidth() <= screen.width() - 300);
    QVERIFY2(window->previewWidget()->width() >= 100,
             qPrintable(QStringLiteral("preview %1 wide").arg(window->previewWidget()->width())));

    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 10000);
    QFile layout(ProjectManager::layoutFilePath("Trip", QString()));
    QVERIFY(layout.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&layout);
    QVERIFY(reader.readNextStartElement());
    const QXmlStreamAttributes sizes = reader.attributes();
    QVERIFY(sizes.value("L1_PreviewAreaSize").toInt() <= screen.height());
    QVERIFY(sizes.value("L1_MediaAreaSize").toInt() <= screen.width());
    QVERIFY(sizes.value("L1_InspectorAreaSize").toInt() <= screen.width());
  }

  // Thousands of segments stored out of order come out ordered by track and start, each block
  // on its row beside its segment; the window turns its event loop while the blocks are built.
  void manySegmentsInOrder()
  {
    constexpr int count = 3000;
    constexpr int tracks = 5;
    QByteArray segments;
    for (int i = 0; i < count; ++i) {
      // A permutation of the slots, so starts and tracks arrive shuffled.
      const int slot = int((qint64(i) * 7919) % count);
      segments += segmentXml("TEXT", slot % tracks + 1, QString::number(slot / tracks), "1",
                             QStringLiteral("Text=\"%1\"").arg(slot));
    }
    QVERIFY(writeEditorProject(project->directory(), segments));

    // The window builds for a share of each turn: a fast machine builds all the blocks within
    // one, and a turn that long is no freeze. Here every block put on a row costs a tenth of a
    // millisecond more, as on a slow machine, so the blocks take longer than a turn may last
    // wherever the test runs.
    struct SlowRows : QObject
    {
      bool eventFilter(QObject *watched, QEvent *event) override
      {
        if (event->type() == QEvent::ChildAdded && qobject_cast<TrackWidget *>(watched)) {
          QElapsedTimer spent;
          spent.start();
          while (spent.nsecsElapsed() < 100000) {
          }
        }
        return false;
      }
    } slowRows;
    qApp->installEventFilter(&slowRows);
    TestEditorWindow *window = showClosingWindow();
    QPointer<TestEditorWindow> guard(window);
    int turnsWhileBuilding = 0;
    QTimer turns;
    turns.setInterval(0);
    connect(&turns, &QTimer::timeout, [&] {
      ProjectManager *manager = window->projectManager();
      const int built = manager ? manager->segmentCount() : 0;
      if (built > 0 && built < count)
        ++turnsWhileBuilding;
    });
    turns.start();
    const bool loaded = waitUntilLoaded(*window);
    turns.stop();
    qApp->removeEventFilter(&slowRows);
    QVERIFY(loaded);
    QVERIFY2(turnsWhileBuilding > 0, "the event loop never turned while the blocks were built");

    ProjectManager *manager = window->projectManager();
    QCOMPARE(manager->segmentCount(), count);
    for (int i = 0; i < count; ++i) {
      Segment *segment = manager->segmentAt(i);
      auto *block = static_cast<SegmentWidget *>(manager->segmentWidgetAt(i));
      QVERIFY(block && block->segment() == segment);
      QCOMPARE(static_cast<TrackWidget *>(block->parentWidget())->tag(), segment->trackId());
      // Shown on its row, where its time puts it.
      QVERIFY(block->isVisible());
      QCOMPARE(block->geometry(), Timeline::spanRectInRow(segment->rangeStart(), segment->duration(),
                                                          window->editScrollArea()->zoom(), block->height()));
      if (i == 0)
        continue;
      const Segment *previous = manager->segmentAt(i - 1);
      QVERIFY2(previous->trackId() < segment->trackId()
                   || (previous->trackId() == segment->trackId() && previous->rangeStart() < segment->rangeStart()),
               qPrintable(QStringLiteral("segment %1 (track %2, %3 s) after track %4, %5 s")
                              .arg(i)
                              .arg(segment->trackId())
                              .arg(double(segment->rangeStart()))
                              .arg(previous->trackId())
                              .arg(double(previous->rangeStart()))));
    }
    QCOMPARE(window->editScrollArea()->trackCount(), tracks + 1);
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 30000);
  }
};

TAVO_TEST_MAIN(TestLoading)
#include "tst_loading.moc"
