// ProjectManager in memory and its small files: segment order, lookups, sizes,
// properties and layout. Runs under a decimal-comma locale.
#include <memory>
#include "projecttestsupport.h"
#include "testenv.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

} // namespace

class TestProjectManager : public QObject
{
  Q_OBJECT
  QTemporaryDir m_root;

private slots:
  void initTestCase()
  {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(m_root.isValid());
    ProjectManager::setWorkingDirectory(m_root.path());
  }

  void defaults()
  {
    ProjectManager m;
    QCOMPARE(m.version(), 5.0f);
    QCOMPARE(m.resolution(), 1);
    QVERIFY(m.direction());
    QCOMPARE(m.frameRate(), 30.0f);
    QCOMPARE(m.duration(), 0.0f);
    QCOMPARE(m.timeScale(), 1.0f);
    QCOMPARE(m.imageScale(), 1.0f);
    QCOMPARE(m.backgroundColor(), 0xFF000000u);
    QCOMPARE(m.segmentMode(), 0);
    QVERIFY(!m.isModified() && !m.edit() && !m.fixCoverImage());
    QCOMPARE(m.history().position(), -1);
    QCOMPARE(m.inspectorAreaSize(), -1);
    QCOMPARE(m.previewQuality(), -1);
    QVERIFY(!m.isMediaAreaHidden());
    QCOMPARE(m.startTime(), 0.0f);
    QPoint counts(9, 9);
    QVERIFY(m.allSegmentsLoaded(&counts));
    QCOMPARE(counts, QPoint(0, 0));
  }

  // Segments learn the frame shape from the open project, and from nobody once it is gone.
  void isTheProjectContextWhileAlive()
  {
    QCOMPARE(ProjectContext::current(), nullptr);
    {
      auto m = std::make_unique<ProjectManager>();
      m->setResolution(2);
      m->setDirection(false);
      QCOMPARE(ProjectContext::current(), m.get());
      QCOMPARE(ProjectContext::current()->resolution(), 2);
      QVERIFY(!ProjectContext::current()->direction());
    }
    QCOMPARE(ProjectContext::current(), nullptr);
  }

  void insertOrder()
  {
    ProjectManager m;
    struct Entry
    {
      const char *name;
      int track;
      float start;
    };
    const Entry entries[] = {{"A", 1, 5}, {"B", 0, 3}, {"C", 1, 2}, {"D", 0, 3}};
    for (const Entry &e : entries) {
      auto *s = new ScriptedSegment(e.track, e.start, 1);
      s->properties()->setText("Name", e.name);
      m.insertSegment(s, new FakeSegmentView(s));
      CHECK_PROJECT(m, true);
    }
    QString order;
    for (int i = 0; i < m.segmentCount(); ++i)
      order += m.segmentAt(i)->properties()->text("Name");
    QCOMPARE(order, QStringLiteral("BDCA"));
    QVERIFY(m.isModified());
    for (int i = 0; i < m.segmentCount(); ++i)
      delete m.segmentWidgetAt(i);
  }

  void randomInsertsStaySorted()
  {
    ProjectManager m;
    QList<FakeSegmentView *> widgets;
    quint32 seed = 7;
    auto next = [&seed](int n) {
      seed = seed * 1664525u + 1013904223u;
      return int((seed >> 8) % quint32(n));
    };
    for (int step = 0; step < 200; ++step) {
      if (m.segmentCount() > 3 && next(4) == 0) {
        Segment *victim = m.segmentAt(next(m.segmentCount()));
        m.removeSegment(victim);
        delete victim;
      } else {
        auto *s = new ScriptedSegment(next(4), next(20) / 2.0f, 1);
        widgets.append(new FakeSegmentView(s));
        m.insertSegment(s, widgets.last());
      }
      CHECK_PROJECT(m, true);
    }
    qDeleteAll(widgets);
  }

  void idLookupFollowsTheList_data()
  {
    QTest::addColumn<int>("lookupEvery");
    QTest::newRow("after each change") << 1;
    // Many inserts before a lookup: kept places are far from where the segments are now.
    QTest::newRow("after many changes") << 40;
  }

  // Lookups by run-time id stay right while the list grows, shrinks and learns sound parts.
  void idLookupFollowsTheList()
  {
    QFETCH(int, lookupEvery);
    ProjectManager m;
    QList<FakeSegmentView *> widgets;
    quint32 seed = 11;
    auto next = [&seed](int n) {
      seed = seed * 1664525u + 1013904223u;
      return int((seed >> 8) % quint32(n));
    };
    quint32 audioId = 50000;
    for (int step = 0; step < 300; ++step) {
      const int choice = next(6);
      if (m.segmentCount() > 3 && choice == 0) {
        Segment *victim = m.segmentAt(next(m.segmentCount()));
        m.removeSegment(victim);
        delete victim;
      } else if (m.segmentCount() > 0 && choice == 1) {
        // A movie's sound part gets its id once the segment is in the list.
        static_cast<ScriptedSegment *>(m.segmentAt(next(m.segmentCount())))->audioPart = ++audioId;
      } else {
        auto *s = new ScriptedSegment(next(4), next(20) / 2.0f, 1);
        widgets.append(new FakeSegmentView(s));
        choice == 2 ? m.appendSegment(s, widgets.last()) : m.insertSegment(s, widgets.last());
      }
      if (step % lookupEvery != 0)
        continue;
      for (int i = 0; i < m.segmentCount(); ++i) {
        const Segment *s = m.segmentAt(i);
        QCOMPARE(m.indexOfSegmentId(s->id()), i);
        if (s->audioPartId())
          QCOMPARE(m.indexOfSegmentId(s->audioPartId()), i);
      }
      QCOMPARE(m.indexOfSegmentId(0), -1);
      QCOMPARE(m.indexOfSegmentId(audioId + 1), -1);
    }
    qDeleteAll(widgets);
  }

  void listOperations()
  {
    ProjectManager m;
    auto *a = new ScriptedSegment(1, 0, 2);
    auto *b = new ScriptedSegment(2, 1, 2);
    auto *c = new ScriptedSegment(1, 4, 2);
    a->audioPart = 1000;
    a->layer = true;
    c->layer = true;
    a->file = "clip.mp4";
    c->file = "clip.mp4";
    FakeSegmentView wa(a), wb(b), wc(c);
    m.appendSegment(a, &wa);
    m.appendSegment(b, &wb);
    m.appendSegment(c, &wc);
    m.setModified(false);

    QCOMPARE(m.indexOfSegmentId(b->id()), 1);
    QCOMPARE(m.indexOfSegmentId(1000), 0);
    QCOMPARE(m.indexOfSegmentId(0), -1);
    QCOMPARE(m.indexOfSegmentUId(c->uid()), 2);
    QCOMPARE(m.indexOfSegmentUId("none"), -1);
    QCOMPARE(m.segmentCountOnTrack(1), 2);
    QCOMPARE(m.segmentWidgetOf(c), &wc);
    QCOMPARE(m.segmentAt(3), nullptr);
    QCOMPARE(m.segmentWidgetAt(-1), nullptr);
    QCOMPARE(m.firstSegment(), a);
    quint32 ids[3];
    QCOMPARE(m.layerSegmentIds(ids), 2);
    QCOMPARE(ids[0], a->id());
    QCOMPARE(ids[1], c->id());
    QVERIFY(m.isFileUsedByOtherSegment("clip.mp4", a));
    QVERIFY(!m.isFileUsedByOtherSegment("other.mp4", a));
    m.removeSegment(c);
    QVERIFY(!m.isFileUsedByOtherSegment("clip.mp4", a));
    QVERIFY(m.isModified());
    m.appendSegment(c, &wc);

    QCOMPARE(m.segmentWidgetAtTime(1.5f, 1), &wa);
    QCOMPARE(m.segmentWidgetAtTime(2.0f, 1), nullptr); // the end is outside
    QCOMPARE(m.segmentWidgetAtTime(1.5f, 0), nullptr); // exactly that track
    QCOMPARE(m.segmentWidgetAtTime(4.0f, 1), &wc);

    m.setSegmentWidgetsActive(false, b, true);
    QVERIFY(!wa.isActive && wb.isActive && !wc.isActive);
    QVERIFY(wa.wasAnimated);

    QPoint counts;
    QVERIFY(!m.allSegmentsLoaded(&counts));
    a->loaded = c->loaded = true;
    QVERIFY(!m.allSegmentsLoaded(&counts));
    QCOMPARE(counts, QPoint(2, 3));
    b->loaded = true;
    QVERIFY(m.allSegmentsLoaded(nullptr));

    m.updateDuration();
    QCOMPARE(m.duration(), 6.0f);

    m.resetTrackIds();
    QCOMPARE(m.segmentCountOnTrack(0), 3);

    m.setModified(false);
    auto *stranger = new ScriptedSegment(0, 0, 1);
    m.removeSegment(stranger);
    QVERIFY(!m.isModified());
    m.removeSegmentAt(7);
    QVERIFY(!m.isModified());
    m.setSegmentWidgetAt(&wb, 0);
    QVERIFY(!m.isModified());
    QCOMPARE(m.segmentWidgetAt(0), &wb);
    m.setSegmentWidgetAt(&wa, 0);
    m.removeSegmentAt(1);
    QVERIFY(m.isModified());
    QCOMPARE(m.segmentCount(), 2);
    CHECK_PROJECT(m, false);
    m.appendSegment(stranger, nullptr);
    m.appendSegment(b, &wb);
    // The destructor deletes the segments, never the blocks.
  }

  void updateDurationSkipsEmptySegments()
  {
    ProjectManager m;
    m.appendSegment(new ScriptedSegment(0, 1, 2), nullptr);
    m.appendSegment(new ScriptedSegment(0, 10, 0), nullptr);
    m.updateDuration();
    QCOMPARE(m.duration(), 3.0f);
  }

  void nearestStarts()
  {
    ProjectManager m;
    auto *s5 = new ScriptedSegment(1, 5.0f, 1);
    auto *s5b = new ScriptedSegment(2, 5.01f, 1);
    auto *s2 = new ScriptedSegment(1, 2.0f, 1);
    auto *s12 = new ScriptedSegment(1, 12.0f, 1);
    for (Segment *s : {static_cast<Segment *>(s2), static_cast<Segment *>(s5), static_cast<Segment *>(s5b),
                       static_cast<Segment *>(s12)})
      m.appendSegment(s, nullptr);
    m.setDuration(10);

    QCOMPARE(m.segmentStartingAtOrAfter(4.98f, 0), s5b); // equal within 1/30 s: the last
    QCOMPARE(m.segmentStartingAtOrAfter(4.98f, 1), s5);
    QCOMPARE(m.segmentStartingAfter(4.98f, 0), nullptr); // 12 lies beyond the duration
    QCOMPARE(m.segmentStartingAfter(3.0f, 0), s5); // the first of equals
    QCOMPARE(m.segmentStartingAfter(3.0f, 2), s5b);
    QCOMPARE(m.segmentStartingAtOrAfter(11.0f, 0), nullptr);
    QCOMPARE(m.segmentStartingAtOrBefore(5.02f, 0), s5b); // the last of equals
    QCOMPARE(m.segmentStartingAtOrBefore(4.97f, 0), s5); // 5.01 is after 4.97 + 1/30
    QCOMPARE(m.segmentStartingAtOrBefore(1.0f, 0), nullptr);
    QCOMPARE(m.segmentStartingBefore(4.98f, 0), s2);
    QCOMPARE(m.segmentStartingBefore(6.0f, 0), s5); // the first of equals
    QCOMPARE(m.segmentStartingBefore(2.02f, 0), nullptr);
    QCOMPARE(m.segmentStartingAtOrBefore(20.0f, 1), s12);
  }

  void sizes_data()
  {
    QTest::addColumn<int>("resolution");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<float>("ratio");
    QTest::newRow("4:3") << 0 << true << QSizeF(4, 3) << 1.3333334f;
    QTest::newRow("16:9") << 1 << true << QSizeF(16, 9) << 1.7777778f;
    QTest::newRow("1:1") << 2 << true << QSizeF(1, 1) << 1.0f;
    QTest::newRow("5:4") << 3 << true << QSizeF(5, 4) << 1.25f;
    QTest::newRow("19.5:9") << 4 << true << QSizeF(19.5, 9) << 2.1666667f;
    QTest::newRow("21:9") << 5 << true << QSizeF(21, 9) << 2.3333333f;
    QTest::newRow("9 is 4:3") << 9 << true << QSizeF(4, 3) << 1.3333334f;
    QTest::newRow("-1 is 4:3") << -1 << true << QSizeF(4, 3) << 1.3333334f;
    QTest::newRow("portrait 16:9") << 1 << false << QSizeF(9, 16) << 0.5625f;
    QTest::newRow("portrait 19.5:9") << 4 << false << QSizeF(9, 19.5) << 0.46153846f;
    QTest::newRow("portrait 21:9") << 5 << false << QSizeF(9, 21) << 0.42857143f;
    QTest::newRow("portrait 4:3") << 0 << false << QSizeF(3, 4) << 0.75f;
  }
  void sizes()
  {
    QFETCH(int, resolution);
    QFETCH(bool, landscape);
    ProjectManager m;
    m.setResolution(resolution);
    m.setDirection(landscape);
    QTEST(m.aspectSize(), "size");
    QTEST(m.aspectRatio(), "ratio");
  }

  void frameSizes()
  {
    ProjectManager m;
    QCOMPARE(m.previewVideoSize(7), m.previewVideoSize(1));
    QCOMPARE(m.previewVideoSize(-1), m.previewVideoSize(1));
    QCOMPARE(m.previewVideoSize(1), QSize(960, 540));
    QCOMPARE(m.previewVideoSize(4), QSize(960, 540)); // preview stops at 3
    QCOMPARE(m.outputVideoSize(4), QSize(3840, 2160));
    QCOMPARE(m.outputVideoSize(5), QSize(0, 0));
    m.setDirection(false);
    QCOMPARE(m.outputVideoSize(3), QSize(1080, 1920));
  }

  void propertiesRoundTrip()
  {
    ProjectManager m;
    m.setVersion(5);
    m.setDirection(false);
    m.setResolution(4);
    m.setFrameRate(29.97f);
    m.setDuration(6.000150f);
    m.setFixCoverImage(true);
    m.setImageScale(0.5f);
    m.setEdit(true);
    m.setBackgroundColor(0x80FF0000u);
    m.setSegmentMode(1);
    QCOMPARE(m.saveSegments("Props", QString()), 0); // makes the folder
    QCOMPARE(m.saveProperties("Props", QString()), 0);
    const QByteArray bytes = readFile(ProjectManager::propertiesFilePath("Props", QString()));
    QVERIFY2(bytes.contains(R"(<Properties version="5" direction="0" resolution="4" frameRate="29.97" )"
                            R"(duration="6.00015" fixCoverImage="1" imageScale="0.5" edit="1" )"
                            R"(backgroundColor="#80ff0000" segmentMode="1"/>)"),
             bytes.constData());
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    ProjectManager back;
    QCOMPARE(back.loadProperties("Props", QString()), 0);
    QCOMPARE(back.version(), 5.0f);
    QVERIFY(!back.direction());
    QCOMPARE(back.resolution(), 4);
    QCOMPARE(back.frameRate(), 29.97f);
    QCOMPARE(back.duration(), 6.00015f);
    QVERIFY(back.fixCoverImage());
    QCOMPARE(back.imageScale(), 0.5f);
    QVERIFY(back.edit());
    QCOMPARE(back.backgroundColor(), 0x80FF0000u);
    QCOMPARE(back.segmentMode(), 1);
    QVERIFY(!back.isModified());
  }

  void propertiesReading_data()
  {
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("imageScale 4") << QByteArray("imageScale=\"4\"") << "imageScale" << QVariant(1.0f);
    QTest::newRow("imageScale 0.01") << QByteArray("imageScale=\"0.01\"") << "imageScale" << QVariant(0.125f);
    QTest::newRow("segmentMode 7") << QByteArray("segmentMode=\"7\"") << "segmentMode" << QVariant(0);
    QTest::newRow("direction 2") << QByteArray("direction=\"2\"") << "direction" << QVariant(false);
    QTest::newRow("resolution kept") << QByteArray("resolution=\"12\"") << "resolution" << QVariant(12);
    QTest::newRow("comma is not a number") << QByteArray("frameRate=\"29,97\"") << "frameRate" << QVariant(0.0f);
    QTest::newRow("red braces") << QByteArray("backgroundColor=\"{1, 0, 0, 1}\"") << "backgroundColor"
                                << QVariant(0xFFFF0000u);
    QTest::newRow("white braces") << QByteArray("backgroundColor=\"{1, 1, 1, 1}\"") << "backgroundColor"
                                  << QVariant(0xFFFFFFFFu);
    QTest::newRow("name") << QByteArray("backgroundColor=\"#80ff0000\"") << "backgroundColor"
                          << QVariant(0x80FF0000u);
    QTest::newRow("short hex") << QByteArray("backgroundColor=\"#f00\"") << "backgroundColor"
                               << QVariant(0xFFFF0000u);
    QTest::newRow("empty colour keeps") << QByteArray("backgroundColor=\"\"") << "backgroundColor"
                                        << QVariant(0xFF000000u);
    QTest::newRow("bad colour") << QByteArray("backgroundColor=\"nope\"") << "backgroundColor"
                                << QVariant(QColor().rgba());
    QTest::newRow("missing keeps default") << QByteArray("other=\"1\"") << "frameRate" << QVariant(30.0f);
  }
  void propertiesReading()
  {
    QFETCH(QByteArray, attributes);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    ProjectManager m;
    QCOMPARE(m.saveSegments("Read", QString()), 0);
    writeFile(ProjectManager::propertiesFilePath("Read", QString()),
              "<?xml version=\"1.0\"?>\n<Properties " + attributes + "/>\n");
    QCOMPARE(m.loadProperties("Read", QString()), 0);
    QVariant actual;
    if (field == "imageScale")
      actual = m.imageScale();
    else if (field == "segmentMode")
      actual = m.segmentMode();
    else if (field == "direction")
      actual = m.direction();
    else if (field == "resolution")
      actual = m.resolution();
    else if (field == "frameRate")
      actual = m.frameRate();
    else
      actual = m.backgroundColor();
    QCOMPARE(actual, expected);
  }

  void propertiesErrors()
  {
    ProjectManager m;
    QCOMPARE(m.loadProperties("NoSuchProject", QString()), -1);
    QCOMPARE(m.saveProperties("NoSuchProject", QString()), -1); // no folder is made
    QCOMPARE(m.saveSegments("Broken", QString()), 0);
    writeFile(ProjectManager::propertiesFilePath("Broken", QString()), "<Properties version=\"4\" frameRate=");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Project properties load error: "));
    QCOMPARE(m.loadProperties("Broken", QString()), int(QXmlStreamReader::PrematureEndOfDocumentError));
  }

  void layoutRoundTrip()
  {
    ProjectManager m;
    m.setProjectName("Layout");
    QCOMPARE(m.saveSegments("Layout", QString()), 0);
    writeFile(ProjectManager::layoutFilePath("Layout", QString()),
              "<?xml version=\"1.0\"?><Layout L1_InspectorAreaSize=\"300\" L1_MediaAreaHidden=\"1\" "
              "Extra=\"17\" PreviewQuality=\"x\"/>");
    m.setMediaAreaSize(120);
    QCOMPARE(m.loadLayout(), 0);
    QCOMPARE(m.inspectorAreaSize(), 300);
    QVERIFY(m.isMediaAreaHidden());
    QCOMPARE(m.previewQuality(), 0);
    QCOMPARE(m.mediaAreaSize(), 120); // absent from the file: kept
    QCOMPARE(m.previewAreaSize(), -1);
    QCOMPARE(m.saveLayout(), 0);

    ProjectManager back;
    back.setProjectName("Layout");
    QCOMPARE(back.loadLayout(), 0);
    QCOMPARE(back.layout(), m.layout());
    QCOMPARE(back.layout().value("Extra"), 17);

    ProjectManager none;
    none.setProjectName("Absent");
    QCOMPARE(none.loadLayout(), -1);
  }
};

TAVO_TEST_CORE_MAIN(TestProjectManager)
#include "tst_projectmanager.moc"
