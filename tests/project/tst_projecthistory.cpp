// Undo history: record / undo / redo / discard traces against expected positions and
// files, and snapshots that cannot be written or read.
#include "filesizelimit.h"
#include "projecttestsupport.h"
#include "saveleftovers.h"
#include "segmentxml.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// The state a project is in: the "State" text of its one segment.
QString stateOf(ProjectManager &m)
{
  return m.segmentCount() ? m.segmentAt(0)->properties()->text("State") : QString();
}

QString stateOf(const PropertyMapList &maps)
{
  return maps.empty() ? QString() : maps.front()->text("State");
}

void setState(ProjectManager &m, const QString &label)
{
  if (m.segmentCount() == 0)
    m.appendSegment(new Segment(nullptr), nullptr);
  m.segmentAt(0)->properties()->setText("State", label);
}

// What the editor does with the maps undo and redo hand back: rebuild the segments.
void rebuild(ProjectManager &m, PropertyMapList &maps)
{
  QList<Segment *> old;
  for (int i = 0; i < m.segmentCount(); ++i)
    old.append(m.segmentAt(i));
  m.clearSegments();
  qDeleteAll(old);
  for (auto &map : maps)
    m.appendSegment(new Segment(map.release(), nullptr), nullptr);
}

// The Segment element a map is written as.
QByteArray writtenXml(const PropertyMap &map)
{
  QByteArray bytes;
  QXmlStreamWriter writer(&bytes);
  writeSegmentXml(map, writer);
  return bytes;
}

QMap<QString, QByteArray> filesIn(const QString &dir)
{
  QMap<QString, QByteArray> files;
  for (const QString &name : QDir(dir).entryList(QDir::Files)) {
    QFile file(dir + "/" + name);
    file.open(QIODevice::ReadOnly);
    files.insert(name, file.readAll());
  }
  return files;
}

} // namespace

class TestProjectHistory : public QObject
{
  Q_OBJECT
  QTemporaryDir m_root;
  int m_projectNumber = 0;

  // A new project named for the test, in state "0".
  void open(ProjectManager &m)
  {
    m.setProjectName(QStringLiteral("Trace%1").arg(++m_projectNumber));
    QCOMPARE(m.saveSegments(m.projectName(), QString()), 0);
    setState(m, "0");
  }
  QString historyDir(ProjectManager &m) { return ProjectManager::historyDirectory(m.projectName(), QString()); }

private slots:
  void initTestCase()
  {
    QVERIFY(m_root.isValid());
    ProjectManager::setWorkingDirectory(m_root.path());
  }

  void paths()
  {
    const QString projects = ProjectManager::projectsDirectory();
    QCOMPARE(projects, QDir(m_root.path()).absoluteFilePath("Projects"));
    QCOMPARE(ProjectManager::historyFilePath("Trip", QString(), 7), projects + "/Trip/history/project007.xml");
    QCOMPARE(ProjectManager::historyFilePath("Trip", "Summer", 1000),
             projects + "/Summer/Trip/history/project1000.xml");
    QCOMPARE(ProjectManager::projectPlistPath("Trip", QString()), projects + "/Trip/project.plist");
    QCOMPARE(ProjectManager::propertiesPlistPath("Trip", QString()), projects + "/Trip/properties.plist");
  }

  // Each row: an operation, the state it leaves the project in ("-" when undo/redo gave
  // nothing), the position and the number of entries afterwards.
  void trace_data()
  {
    QTest::addColumn<QStringList>("steps");
    // edit X: record, then change the state to X; fail X: the same with a record that cannot
    // be written; discard: record, then discard instead of editing.
    QTest::newRow("worked sequence")
        << QStringList{"edit A 0 1", "edit B 1 2", "undo A 0 3", "undo 0 -1 3", "redo A 1 3", "redo B 2 3",
                       "redo - 2 3", "edit C 2 3", "undo B 1 4", "redo C 3 4", "undo B 1 4", "undo A 0 4",
                       "undo 0 -1 4", "undo - -1 4", "redo A 1 4", "redo B 2 4", "redo C 3 4", "redo - 3 4"};
    QTest::newRow("edit after undo drops redo entries")
        << QStringList{"edit A 0 1", "edit B 1 2", "undo A 0 3", "undo 0 -1 3", "edit D 0 1", "redo - 0 1",
                       "undo 0 -1 2", "redo D 1 2"};
    QTest::newRow("undo after redo steps over the current state")
        << QStringList{"edit A 0 1", "edit B 1 2", "edit C 2 3", "undo B 1 4", "undo A 0 4", "redo B 2 4",
                       "undo A 0 4", "undo 0 -1 4", "redo A 1 4"};
    QTest::newRow("discard")
        << QStringList{"edit A 0 1", "edit B 1 2", "discard B 1 2", "redo - 1 2", "undo A 0 3", "redo B 2 3",
                       "undo A 0 3", "discard A 0 1", "edit E 1 2", "undo A 0 3", "redo E 2 3"};
    QTest::newRow("discard the only entry")
        << QStringList{"discard 0 -1 0", "undo - -1 0", "edit A 0 1", "undo 0 -1 2", "redo A 1 2"};
    QTest::newRow("discard after redo to the newest")
        << QStringList{"edit A 0 1", "edit B 1 2", "undo A 0 3", "redo B 2 3", "discard B 1 2", "undo A 0 3",
                       "redo B 2 3"};
    // The state on screen after failed records is never lost: undo writes it, redo returns to it.
    QTest::newRow("failed records after redo")
        << QStringList{"edit A 0 1", "undo 0 -1 2", "redo A 1 2", "fail B 1 2", "fail C 1 2", "undo A 0 3",
                       "redo C 2 3", "redo - 2 3", "undo A 0 3", "undo 0 -1 3"};
    QTest::newRow("failed records after undo")
        << QStringList{"edit A 0 1", "undo 0 -1 2", "fail B 0 1", "fail C 0 1", "undo 0 -1 2", "redo C 1 2",
                       "redo - 1 2"};
    QTest::newRow("failed record after undo in the middle")
        << QStringList{"edit A 0 1", "edit B 1 2", "undo A 0 3", "fail C 1 2", "undo A 0 3", "redo C 2 3",
                       "undo A 0 3", "undo 0 -1 3"};
    QTest::newRow("failed records only")
        << QStringList{"fail A -1 0", "undo - -1 0", "edit B 0 1", "fail C 0 1", "undo A -1 2", "redo C 1 2"};
  }
  void trace()
  {
    QFETCH(QStringList, steps);
    ProjectManager m;
    open(m);
    for (const QString &step : steps) {
      const QStringList f = step.split(' ');
      const QString op = f[0];
      const QString before = stateOf(m);
      if (op == "fail") {
        QTest::ignoreMessage(QtWarningMsg, "Undo project segments save error");
        // No file may grow: every write fails as on a full disk.
        const int result = withFileSizeLimit(0, [&] { return m.recordOperation(m.projectName(), QString()); });
        QVERIFY2(result == -2, qPrintable(step + ": record gave " + QString::number(result)));
        setState(m, f[1]);
      } else if (op == "edit" || op == "discard") {
        QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
        const int number = m.history().position();
        const QString newest = m.history().paths().value(number);
        if (op == "edit") {
          setState(m, f[1]);
        } else {
          m.discardLastOperation();
          QVERIFY2(newest.isEmpty() || !QFile::exists(newest) || m.history().paths().contains(newest),
                   qPrintable(step + ": discarded file still there"));
        }
      } else {
        bool failed = true;
        auto maps = op == "undo" ? m.undo(&failed) : m.redo(&failed);
        QVERIFY2(!failed, qPrintable(step));
        if (f[1] == "-") {
          QVERIFY2(!maps, qPrintable(step + ": expected nothing"));
          QCOMPARE(stateOf(m), before);
        } else {
          QVERIFY2(maps, qPrintable(step + ": expected a snapshot"));
          rebuild(m, *maps);
        }
      }
      if (f[1] != "-")
        QVERIFY2(stateOf(m) == f[1], qPrintable(step + ": state is " + stateOf(m)));
      QVERIFY2(m.history().position() == f[2].toInt() && m.history().count() == f[3].toInt(),
               qPrintable(QStringLiteral("%1: position %2, count %3").arg(step).arg(m.history().position())
                              .arg(m.history().count())));
      // Every listed snapshot is on disk under its number.
      for (int i = 0; i < m.history().count(); ++i)
        QVERIFY2(m.history().paths().at(i).endsWith(QString::asprintf("project%03d.xml", i)) &&
                     QFile::exists(m.history().paths().at(i)),
                 qPrintable(step + ": entry " + QString::number(i)));
      CHECK_PROJECT(m, false);
    }
  }

  void undoWritesCurrentState()
  {
    ProjectManager m;
    open(m);
    QVERIFY(!m.undo()); // empty: nothing, and nothing written
    QVERIFY(!QDir(historyDir(m)).exists());
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "A");
    QVERIFY(QFile::exists(historyDir(m) + "/project000.xml"));
    auto maps = m.undo();
    QVERIFY(maps);
    QCOMPARE(maps->front()->text("State"), QStringLiteral("0"));
    QVERIFY(QFile::exists(historyDir(m) + "/project001.xml"));
    maps = m.redo();
    QCOMPARE(maps->front()->text("State"), QStringLiteral("A"));
    QFile snapshot(historyDir(m) + "/project001.xml");
    QVERIFY(snapshot.open(QIODevice::ReadOnly));
    const QByteArray bytes = snapshot.readAll();
    QVERIFY(!bytes.contains("\n ")); // snapshots are not indented
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  }

  void unreadableSnapshotFailsCleanly()
  {
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "A");
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "B");
    QVERIFY(m.undo()); // back to A, B written as the current state
    QCOMPARE(m.history().position(), 0);

    // Cut the oldest snapshot short after its segment.
    const QString oldest = m.history().paths().at(0);
    QFile file(oldest);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    const int cut = bytes.indexOf('>', bytes.indexOf("<Segment ")) + 1;
    QVERIFY(cut > 0);
    QVERIFY(file.resize(cut));
    file.close();
    const QMap<QString, QByteArray> files = filesIn(historyDir(m));
    const ProjectHistory before = m.history();

    bool failed = false;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Undo project segments load error: "));
    QVERIFY(!m.undo(&failed));
    QVERIFY(failed);
    QCOMPARE(m.history().position(), before.position());
    QCOMPARE(m.history().paths(), before.paths());
    QCOMPARE(m.history().lastStepWasUndo(), before.lastStepWasUndo());
    QCOMPARE(m.history().pending(), before.pending());
    QCOMPARE(filesIn(historyDir(m)), files);
    CHECK_PROJECT(m, false);

    // Nothing to undo is not a failure.
    ProjectManager empty;
    open(empty);
    QVERIFY(!empty.undo(&failed));
    QVERIFY(!failed);

    // Redo back to the newest state still works.
    auto maps = m.redo(&failed);
    QVERIFY(maps && !failed);
    QCOMPARE(maps->front()->text("State"), QStringLiteral("B"));
  }

  void unreadableSnapshotAtTheNewestEntry()
  {
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "A");
    QFile::remove(m.history().paths().at(0));
    bool failed = false;
    QVERIFY(!m.undo(&failed));
    QVERIFY(failed);
    QCOMPARE(m.history().count(), 1);
    QCOMPARE(m.history().position(), 0);
    QVERIFY(!QFile::exists(historyDir(m) + "/project001.xml")); // the current state was not written
  }

  void currentStateThatCannotBeWritten()
  {
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "A");
    // The file the current state would go to cannot be created.
    QVERIFY(QDir().mkpath(historyDir(m) + "/project001.xml"));
    bool failed = false;
    QVERIFY(!m.undo(&failed));
    QVERIFY(failed);
    QCOMPARE(m.history().count(), 1);
    QCOMPARE(m.history().position(), 0);
    QVERIFY(m.history().pending().isEmpty());
    QCOMPARE(stateOf(m), QStringLiteral("A"));
    QVERIFY(QDir().rmdir(historyDir(m) + "/project001.xml"));
    auto maps = m.undo(&failed);
    QVERIFY(maps && !failed);
    QCOMPARE(maps->front()->text("State"), QStringLiteral("0"));
  }

  // A snapshot replaces its file whole or leaves it as it was, writes through no link and
  // leaves nothing else behind.
  void snapshotReplacesItsFileWhole_data()
  {
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<bool>("linkInTheWay");
    QTest::newRow("written") << false << false;
    QTest::newRow("disk full") << true << false;
    QTest::newRow("link where the partial file goes") << false << true;
  }

  void snapshotReplacesItsFileWhole()
  {
    QFETCH(bool, diskFull);
    QFETCH(bool, linkInTheWay);
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    const QString next = ProjectManager::historyFilePath(m.projectName(), QString(), 1);
    QFile old(next);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QString outside = m_root.path() + QStringLiteral("/outside%1.txt").arg(m_projectNumber);
    QFile target(outside);
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write("precious");
    target.close();
    if (linkInTheWay)
      QVERIFY(QFile::link(outside, next + ".part"));
    const QMap<QString, QByteArray> before = filesIn(historyDir(m));

    int result = 0;
    if (diskFull) {
      QTest::ignoreMessage(QtWarningMsg, "Undo project segments save error");
      result = withFileSizeLimit(0, [&] { return m.recordOperation(m.projectName(), QString()); });
    } else {
      result = m.recordOperation(m.projectName(), QString());
    }
    QCOMPARE(result, diskFull ? -2 : 0);
    const QMap<QString, QByteArray> after = filesIn(historyDir(m));
    QCOMPARE(after.keys(), (QStringList{"project000.xml", "project001.xml"}));
    if (diskFull)
      QCOMPARE(after, before);
    else
      QVERIFY(after.value("project001.xml").contains("<Project>"));
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), QByteArray("precious"));
  }

  // Undo and redo hand back what the snapshot files hold: a long pasted text exactly, and a
  // file replaced since it was written (here by one of the same length) is read again.
  void snapshotsReadBackAsTheirFiles()
  {
    ProjectManager m;
    open(m);
    QString pasted;
    while (pasted.size() < 100000)
      pasted += QString::fromUtf8("line <%1> & \"quoted\"\t\xe4\xb8\xad \xf0\x9f\x98\x80\r\n").arg(pasted.size());
    setState(m, pasted);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    setState(m, "A");
    auto maps = m.undo();
    QVERIFY(maps);
    QVERIFY(stateOf(*maps) == pasted);
    rebuild(m, *maps);
    maps = m.redo();
    QVERIFY(maps);
    QCOMPARE(stateOf(*maps), QStringLiteral("A"));
    rebuild(m, *maps);

    const QString oldest = m.history().paths().at(0);
    QFile file(oldest);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    bytes.replace("line &lt;0&gt;", "LINE &lt;0&gt;");
    QSaveFile replacement(oldest);
    QVERIFY(replacement.open(QIODevice::WriteOnly));
    replacement.write(bytes);
    QVERIFY(replacement.commit());
    maps = m.undo();
    QVERIFY(maps);
    QVERIFY(stateOf(*maps) == QString(pasted).replace(0, 4, "LINE"));
  }

  // Every undo and redo gives back the segments as they were at that step, in their order,
  // whichever of them the edits in between changed, moved, added or removed.
  void snapshotsHoldEachStep_data()
  {
    QTest::addColumn<QStringList>("edits");
    QTest::newRow("texts") << QStringList{"text 2", "text 2", "same 3", "text 0", "text 5"};
    QTest::newRow("transitions") << QStringList{"record 1", "begin 1", "transition 4", "record 4", "drop 1"};
    QTest::newRow("order") << QStringList{"last 0", "text 5", "last 2", "new", "text 0", "last 5"};
    QTest::newRow("added and removed") << QStringList{"new", "remove 3", "new", "text 0", "remove 0", "new"};
    QTest::newRow("replaced") << QStringList{"replace 2", "text 2", "replace 2", "replace 4"};
    // Past the length whose element is kept as bytes.
    QTest::newRow("long text") << QStringList{"long 1", "text 3", "record 1", "long 1", "text 1", "text 0"};
  }
  void snapshotsHoldEachStep()
  {
    QFETCH(QStringList, edits);
    ProjectManager m;
    open(m);
    delete m.segmentAt(0);
    m.clearSegments();
    int made = 0;
    const auto add = [&](float start) {
      auto *segment = new Segment(nullptr);
      segment->setTrackId(1);
      segment->setRangeStart(start);
      segment->properties()->setText("Text", QString::number(++made));
      auto record = std::make_unique<PropertyMap>();
      record->setText("Duration", "0.5");
      record->setValues(true, std::make_unique<PropertyMap>());
      segment->properties()->ensureTransitions().push_back(std::move(record));
      m.insertSegment(segment, nullptr);
    };
    for (int i = 0; i < 6; ++i)
      add(float(i));
    const auto state = [&m] {
      QStringList lines;
      for (int i = 0; i < m.segmentCount(); ++i) {
        PropertyMap written;
        writtenSegmentProperties(*m.segmentAt(i)->properties(), &written);
        lines << QString::fromUtf8(writtenXml(written));
      }
      return lines;
    };
    const auto stateOfMaps = [](const PropertyMapList &maps) {
      QStringList lines;
      for (const auto &map : maps)
        lines << QString::fromUtf8(writtenXml(*map));
      return lines;
    };

    QList<QStringList> states{state()};
    int serial = 0;
    for (const QString &edit : edits) {
      QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
      const QStringList words = edit.split(' ');
      const int at = words.value(1).toInt();
      PropertyMap *map = at < m.segmentCount() ? m.segmentAt(at)->properties() : nullptr;
      PropertyMap *first = map && map->transitions() && !map->transitions()->empty() ? map->transitions()->front().get() : nullptr;
      const QString value = QString("v%1").arg(++serial);
      if (words[0] == "text")
        map->setText("Text", value);
      else if (words[0] == "long")
        map->setText("Text", value + QString(70000, QChar(0x4e2d)) + "<&>");
      else if (words[0] == "same")
        map->setText("Text", map->text("Text"));
      else if (words[0] == "record")
        first->setText("Duration", value);
      else if (words[0] == "begin")
        first->values(true)->setText("Alpha", value);
      else if (words[0] == "transition")
        map->transitions()->push_back(std::make_unique<PropertyMap>());
      else if (words[0] == "drop")
        map->setTransitions(nullptr);
      else if (words[0] == "replace") {
        PropertyMap other;
        other.setText("Text", value);
        *map = std::move(other);
      } else if (words[0] == "last") {
        Segment *segment = m.segmentAt(at);
        m.removeSegmentAt(at);
        m.appendSegment(segment, nullptr);
      } else if (words[0] == "new")
        add(-1);
      else if (words[0] == "remove") {
        Segment *segment = m.segmentAt(at);
        m.removeSegmentAt(at);
        delete segment;
      }
      states << state();
    }
    // The files hold the steps too, each a document of its own.
    for (int step = 0; step < edits.size(); ++step) {
      const QByteArray bytes = readFile(m.history().paths().at(step));
      QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Project>"));
      QXmlStreamReader reader(bytes);
      PropertyMapList maps;
      while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Project"))
          continue;
        maps.push_back(std::make_unique<PropertyMap>());
        QCOMPARE(readSegmentXml(*maps.back(), reader), 0);
      }
      QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
      QCOMPARE(stateOfMaps(maps), states.at(step));
    }
    for (int step = edits.size() - 1; step >= 0; --step) {
      auto maps = m.undo();
      QVERIFY(maps);
      QCOMPARE(stateOfMaps(*maps), states.at(step));
      rebuild(m, *maps);
    }
    for (int step = 1; step <= edits.size(); ++step) {
      auto maps = m.redo();
      QVERIFY(maps);
      QCOMPARE(stateOfMaps(*maps), states.at(step));
      rebuild(m, *maps);
    }
  }

  void historyReplacedByAFile()
  {
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    QVERIFY(QDir(historyDir(m)).removeRecursively());
    QFile plain(historyDir(m));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("not a folder");
    plain.close();
    const ProjectHistory before = m.history();
    QCOMPARE(m.recordOperation(m.projectName(), QString()), -1);
    QCOMPARE(m.history().paths(), before.paths());
    QCOMPARE(m.history().position(), before.position());
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), QByteArray("not a folder"));
  }

  void removeHistory()
  {
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    m.removeHistory(m.projectName(), QString());
    QVERIFY(!QDir(historyDir(m)).exists());
    QCOMPARE(m.history().count(), 0);
    QCOMPARE(m.history().position(), -1);
    QVERIFY(!m.undo());
    QVERIFY(QFile::exists(ProjectManager::projectFilePath(m.projectName(), QString())));

    // A current state still pending from an undo does not swallow the next record.
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    QVERIFY(m.undo());
    QVERIFY(!m.history().pending().isEmpty());
    m.removeHistory(m.projectName(), QString());
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    QCOMPARE(m.history().count(), 1);
    QVERIFY(m.undo());
  }

  // What a snapshot or the explorer's settings killed while written leave goes, at the next
  // opening or at the close, so the history folder goes too; a file of the user's stays.
  void leftovers_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("reopened");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("killed snapshot, closed") << "history/project001.xml.part" << false << true;
    QTest::newRow("killed snapshot, reopened") << "history/project001.xml.part" << true << true;
    QTest::newRow("user's file in the history") << "history/notes.xml.part" << true << false;
    QTest::newRow("explorer's scratch folder") << "media.config.part-Ab12Cd/media.config" << true << true;
    QTest::newRow("user's folder of a like name") << "media.config.part-Ab12C/media.config" << true << false;
  }
  void leftovers()
  {
    QFETCH(QString, file);
    QFETCH(bool, reopened);
    QFETCH(bool, leftover);
    ProjectManager m;
    open(m);
    QCOMPARE(m.recordOperation(m.projectName(), QString()), 0);
    const QString dir = ProjectManager::projectDirectory(m.projectName(), QString());
    const QString path = dir + "/" + file;
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile left(path);
    QVERIFY(left.open(QIODevice::WriteOnly) && left.write("<?xml") == 5);
    left.close();
    if (reopened)
      QCOMPARE(SaveLeftovers::removeProjectLeftovers(dir), leftover ? 1 : 0);
    const bool keepsHistory = file.startsWith("history/") && !leftover;
    if (keepsHistory)
      QTest::ignoreMessage(QtWarningMsg, "Remove history directory failed");
    m.removeHistory(m.projectName(), QString());
    QCOMPARE(QFile::exists(path), !leftover);
    QCOMPARE(QDir(historyDir(m)).exists(), keepsHistory);
  }
};

TAVO_TEST_CORE_MAIN(TestProjectHistory)
#include "tst_projecthistory.moc"
