// Project folders and project.xml: paths, round trips, broken files, and saving that never
// loses the old file (unwritable folders, a full device, a process killed mid-save).
#include "filesizelimit.h"
#include "projecttestsupport.h"
#include "saveleftovers.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A project of n segments with transitions, its segments tagged with label.
void fill(ProjectManager &m, int n, const QString &label)
{
  for (int i = 0; i < n; ++i) {
    auto *s = new Segment(nullptr);
    s->setType(i % 2 ? "MOVIE" : "TEXT");
    s->setTrackId(i % 3);
    s->setRangeStart(i * 0.5f);
    s->setDuration(4);
    s->properties()->setText("Label", label);
    s->properties()->setText("Text", QStringLiteral("Segment %1 of \"%2\" <&>").arg(i).arg(label));
    s->insertTransition(1, s->rangeStart() + 1);
    m.appendSegment(s, nullptr);
  }
}

// Runs fn where the folder cannot be written: as the user nobody in a child process when
// this runs as root (root writes anywhere), else in place with the folder made read-only.
int withoutWriteAccess(const QString &folder, const std::function<int()> &fn)
{
  const QFile::Permissions old = QFile::permissions(folder);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::ExeOther);
  int result = 999;
  if (geteuid() != 0) {
    result = fn();
  } else {
    const pid_t pid = fork();
    if (pid == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0)
        _exit(100);
      _exit(fn() & 0xff);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 100)
      result = static_cast<signed char>(WEXITSTATUS(status));
  }
  QFile::setPermissions(folder, old);
  return result;
}

// The names the clean-up of a folder may remove, some of which the rows' values name.
const QSet<QString> kCandidates = {"clip.mp4", "wipe.png", "begin.png", "light.png", "a&b.png", "\uFFFDclip.mp4",
                                   "notes", "other.png"};

// The candidates that are the last path component of a value of the file on disk, as a reader
// of the file finds them: every attribute and every text that is not white space.
QStringList namedInFile(const QString &path)
{
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return {"<unreadable>"};
  QSet<QString> names;
  const auto add = [&names](const QString &value) {
    const QString name = value.section(QRegularExpression("[/\\\\]"), -1);
    if (kCandidates.contains(name))
      names.insert(name);
  };
  QXmlStreamReader reader(&file);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement())
      for (const QXmlStreamAttribute &attribute : reader.attributes())
        add(attribute.value().toString());
    else if (reader.isCharacters() && !reader.isWhitespace())
      add(reader.text().toString());
  }
  QStringList sorted = names.values();
  sorted.sort();
  return reader.hasError() ? QStringList{"<damaged>"} : sorted;
}

// What the manager says the file names, sorted; "<unknown>" when it cannot tell.
QStringList namedByManager(ProjectManager &m)
{
  QSet<QString> named;
  if (!m.namedFiles(kCandidates, &named))
    return {"<unknown>"};
  QStringList sorted = named.values();
  sorted.sort();
  return sorted;
}

bool writeProjectXml(const QString &name, const QByteArray &body)
{
  QDir().mkpath(ProjectManager::projectDirectory(name, QString()));
  QFile file(ProjectManager::projectFilePath(name, QString()));
  const QByteArray bytes = "<?xml version=\"1.0\"?>\n<Project>\n" + body + "</Project>\n";
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestProjectFiles : public QObject
{
  Q_OBJECT
  QTemporaryDir m_root;

private slots:
  void initTestCase()
  {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(m_root.isValid());
    // Traversable by the user the read-only cases run as.
    QFile::setPermissions(m_root.path(), QFile::permissions(m_root.path()) | QFile::ExeOther | QFile::ReadOther);
  }

  void init() { ProjectManager::setWorkingDirectory(m_root.path()); }

  void defaultWorkingDirectory()
  {
    // A home without a Videos folder gets one.
    QVERIFY(QDir(TestEnv::homePath() + "/Videos").removeRecursively());
    ProjectManager::setWorkingDirectory(QString());
    const QString expected = TestEnv::homePath() + "/Videos/Tavo REN";
    QCOMPARE(ProjectManager::workingDirectory(), expected);
    QVERIFY(QDir(expected).exists());
    QCOMPARE(ProjectManager::projectDirectory("Trip", "Summer"), expected + "/Projects/Summer/Trip");
    QVERIFY(QDir(expected + "/Projects").exists());
  }

  void unknownWorkingDirectoryCreatesNothing()
  {
    // No Movies folder can hold the product folder: it is a plain file.
    const QString videos = TestEnv::homePath() + "/Videos";
    QVERIFY(QDir(videos).removeRecursively());
    QFile blocker(videos);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ProjectManager::setWorkingDirectory(QString());

    QTemporaryDir cwd;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(cwd.path()));
    QVERIFY(QDir().mkdir("history"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create product directory: Tavo REN in "));
    QCOMPARE(ProjectManager::workingDirectory(), QString());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create product directory"));
    QCOMPARE(ProjectManager::projectDirectory("Trip", QString()), QString());

    ProjectManager m;
    m.setProjectName("Trip");
    fill(m, 2, "x");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create product directory"));
    QCOMPARE(m.saveSegments("Trip", QString()), -1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create product directory"));
    QCOMPARE(m.recordOperation("Trip", QString()), -1);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create product directory"));
    QTest::ignoreMessage(QtWarningMsg, "Remove history directory failed");
    m.removeHistory("Trip", QString());
    QVERIFY(QDir("history").exists()); // the current folder was not taken for the project
    QVERIFY(!QDir("/Trip").exists());

    QDir::setCurrent(oldCwd);
    QVERIFY(QFile::remove(videos));
    QVERIFY(QDir().mkpath(videos));
  }

  void segmentsRoundTrip()
  {
    ProjectManager m;
    fill(m, 5, "one");
    m.segmentAt(2)->properties()->setText("FromALaterVersion", "kept");
    QCOMPARE(m.saveSegments("Round", QString()), 0);
    const QByteArray bytes = readFile(ProjectManager::projectFilePath("Round", QString()));
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Project>\n    <Segment "));

    PropertyMapList maps;
    QCOMPARE(m.loadSegments(maps, "Round", QString()), 0);
    QCOMPARE(int(maps.size()), 5);
    for (int i = 0; i < 5; ++i)
      QVERIFY2(*maps[i] == *m.segmentAt(i)->properties(), qPrintable(QString::number(i)));
    QCOMPARE(m.segmentCount(), 5); // loading does not touch the manager's own list

    // Saved again, the file is byte-identical.
    QCOMPARE(m.saveSegments("Round", QString()), 0);
    QCOMPARE(readFile(ProjectManager::projectFilePath("Round", QString())), bytes);
    QCOMPARE(QDir(ProjectManager::projectDirectory("Round", QString())).entryList(QDir::Files | QDir::Hidden),
             QStringList{"project.xml"}); // no temporary left behind
  }

  void groupFolders()
  {
    ProjectManager m;
    fill(m, 1, "g");
    QCOMPARE(m.saveSegments("Inside", "NoSuchGroup"), -1);
    QVERIFY(!QDir(ProjectManager::projectsDirectory() + "/NoSuchGroup").exists());
    QVERIFY(QDir(ProjectManager::projectsDirectory()).mkdir("Group"));
    QCOMPARE(m.saveSegments("Inside", "Group"), 0);
    QVERIFY(QFile::exists(ProjectManager::projectsDirectory() + "/Group/Inside/project.xml"));
  }

  void brokenProjectFile()
  {
    ProjectManager m;
    fill(m, 4, "b");
    QCOMPARE(m.saveSegments("Cut", QString()), 0);
    const QString path = ProjectManager::projectFilePath("Cut", QString());
    QByteArray bytes = readFile(path);
    int third = -1;
    for (int i = 0; i < 3; ++i)
      third = bytes.indexOf("<Segment ", third + 1);
    bytes.truncate(bytes.indexOf("<Transition ", third) + 5);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    PropertyMapList maps;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Load segment from xml error"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Project segments load error: "));
    QCOMPARE(m.loadSegments(maps, "Cut", QString()), int(QXmlStreamReader::PrematureEndOfDocumentError));
    QCOMPARE(int(maps.size()), 3);
    QVERIFY(*maps[1] == *m.segmentAt(1)->properties());
    QVERIFY(maps[2]->hasTransitions());
    QCOMPARE(int(maps[2]->transitions()->size()), 0); // partial

    PropertyMapList untouched;
    untouched.push_back(std::make_unique<PropertyMap>());
    QCOMPARE(m.loadSegments(untouched, "Missing", QString()), -1);
    QCOMPARE(int(untouched.size()), 1);
  }

  void unwritableFolderKeepsOldFiles()
  {
    ProjectManager m;
    fill(m, 3, "old");
    m.setProjectName("Locked");
    QCOMPARE(m.saveSegments("Locked", QString()), 0);
    QCOMPARE(m.saveProperties("Locked", QString()), 0);
    m.setPreviewQuality(2);
    QCOMPARE(m.saveLayout(), 0);
    const QString dir = ProjectManager::projectDirectory("Locked", QString());
    const QByteArray project = readFile(dir + "/project.xml");
    const QByteArray properties = readFile(dir + "/properties.xml");
    const QByteArray layout = readFile(dir + "/layout.xml");

    ProjectManager changed;
    fill(changed, 5, "new");
    changed.setProjectName("Locked");
    changed.setFrameRate(60);
    changed.setPreviewQuality(3);
    QCOMPARE(withoutWriteAccess(dir, [&] { return changed.saveSegments("Locked", QString()); }), -1);
    QCOMPARE(withoutWriteAccess(dir, [&] { return changed.saveProperties("Locked", QString()); }), -1);
    QCOMPARE(withoutWriteAccess(dir, [&] { return changed.saveLayout(); }), -1);
    QCOMPARE(withoutWriteAccess(dir, [&] { return changed.recordOperation("Locked", QString()); }), -1);
    QCOMPARE(readFile(dir + "/project.xml"), project);
    QCOMPARE(readFile(dir + "/properties.xml"), properties);
    QCOMPARE(readFile(dir + "/layout.xml"), layout);
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3);
  }

  void fullDeviceKeepsOldFiles_data()
  {
    QTest::addColumn<int>("segments");
    QTest::addColumn<int>("limit");
    QTest::newRow("small file, nothing fits") << 1 << 0;
    QTest::newRow("small file, part fits") << 1 << 100;
    QTest::newRow("large file") << 400 << 64 * 1024;
  }
  void fullDeviceKeepsOldFiles()
  {
    QFETCH(int, segments);
    QFETCH(int, limit);
    const QString name = QStringLiteral("Full%1-%2").arg(segments).arg(limit);
    ProjectManager m;
    fill(m, 2, "old");
    m.setProjectName(name);
    QCOMPARE(m.saveSegments(name, QString()), 0);
    QCOMPARE(m.saveProperties(name, QString()), 0);
    QCOMPARE(m.recordOperation(name, QString()), 0);
    const QString dir = ProjectManager::projectDirectory(name, QString());
    const QByteArray project = readFile(dir + "/project.xml");
    const QByteArray properties = readFile(dir + "/properties.xml");
    const QByteArray snapshot = readFile(dir + "/history/project000.xml");

    ProjectManager bigger;
    fill(bigger, segments, "new but longer than before");
    bigger.setProjectName(name);
    bigger.setFrameRate(23.976f);
    QTest::ignoreMessage(QtWarningMsg, "Project segments save error");
    QCOMPARE(withFileSizeLimit(rlim_t(limit), [&] { return bigger.saveSegments(name, QString()); }), -2);
    if (limit == 0) {
      QTest::ignoreMessage(QtWarningMsg, "Project properties save error");
      QCOMPARE(withFileSizeLimit(0, [&] { return bigger.saveProperties(name, QString()); }), -2);
    }
    QTest::ignoreMessage(QtWarningMsg, "Undo project segments save error");
    QCOMPARE(withFileSizeLimit(rlim_t(limit), [&] { return bigger.recordOperation(name, QString()); }), -2);
    QCOMPARE(bigger.history().count(), 0);
    QCOMPARE(readFile(dir + "/project.xml"), project);
    QCOMPARE(readFile(dir + "/properties.xml"), properties);
    QCOMPARE(readFile(dir + "/history/project000.xml"), snapshot);
    QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 2); // no temporary left behind

    // With room again the save goes through.
    QCOMPARE(bigger.saveSegments(name, QString()), 0);
    PropertyMapList maps;
    QCOMPARE(m.loadSegments(maps, name, QString()), 0);
    QCOMPARE(int(maps.size()), segments);
  }

  // What a saved file names is told from what was written, as a reader of the file finds it:
  // the texts XML cannot carry are dropped there, a lone surrogate replaced.
  void namedFilesOfAWrittenFile_data()
  {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("named");
    const QString prose = QString("a long way from the coast. ").repeated(4000);
    QTest::newRow("bare name") << "segment" << "clip.mp4" << QStringList{"clip.mp4"};
    QTest::newRow("path") << "segment" << "/home/me/Movies/clip.mp4" << QStringList{"clip.mp4"};
    QTest::newRow("path with back slashes") << "segment" << "C:\\Movies\\clip.mp4" << QStringList{"clip.mp4"};
    QTest::newRow("folder") << "segment" << "notes/" << QStringList();
    QTest::newRow("name of a folder") << "segment" << "/home/me/notes" << QStringList{"notes"};
    QTest::newRow("long text ending in a name") << "segment" << prose + "see and/or clip.mp4" << QStringList();
    QTest::newRow("long text ending in a path") << "segment" << prose + "see ./clip.mp4" << QStringList{"clip.mp4"};
    QTest::newRow("control character") << "segment" << "notes/cl\x01ip.mp4" << QStringList{"clip.mp4"};
    QTest::newRow("lone surrogate") << "segment" << QString("x/") + QChar(0xD800) + "clip.mp4"
                                    << QStringList{"\uFFFDclip.mp4"};
    QTest::newRow("transition") << "transition" << "masks/wipe.png" << QStringList{"wipe.png"};
    QTest::newRow("transition's begin") << "begin" << "begin.png" << QStringList{"begin.png"};
    QTest::newRow("unread element's text") << "unread" << "beams/light.png" << QStringList{"light.png"};
  }

  void namedFilesOfAWrittenFile()
  {
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(QStringList, named);
    const QString name = QStringLiteral("Named");
    ProjectManager m;
    m.setProjectName(name);
    fill(m, 2, "n");
    PropertyMap *transition = m.segmentAt(1)->properties()->transitions()->at(0).get();
    if (where == "segment")
      m.segmentAt(1)->properties()->setText("Note", value);
    else if (where == "transition")
      transition->setText("Mask", value);
    else if (where == "begin")
      transition->values(true)->setText("Image", value);
    QVERIFY(writeProjectXml(name, "<Segment Type=\"HOLOGRAM\"><Beam>" + value.toHtmlEscaped().toUtf8()
                                      + "</Beam></Segment>\n"));
    QCOMPARE(m.keepUnreadSegments(where == "unread" ? QList<int>{0} : QList<int>()), where == "unread" ? 1 : 0);

    QCOMPARE(m.saveSegments(name, QString()), 0);
    QCOMPARE(namedByManager(m), named);
    QCOMPARE(namedInFile(ProjectManager::projectFilePath(name, QString())), named);
  }

  // The answer follows the file: what was read, in every element, until a save replaces it;
  // then what was written, also when the segments change afterwards and are not saved. A read
  // that was cancelled or found the file damaged tells nothing, and a read after a save does not
  // speak for the saved file.
  void namedFilesFollowTheFile()
  {
    const QString name = QStringLiteral("Follow");
    ProjectManager m;
    fill(m, 1, "f");
    m.segmentAt(0)->properties()->setText("File", "clip.mp4");
    QVERIFY(writeProjectXml(name, "<Segment Type=\"TEXT\" File=\"clip.mp4\">"));
    std::atomic<bool> cancelled{false};
    QVERIFY(!m.readNamedFiles(name, QString(), cancelled));
    QCOMPARE(namedByManager(m), QStringList{"<unknown>"});
    QVERIFY(writeProjectXml(name, "<Segment Type=\"TEXT\"><Extra Source=\"wipe.png\">a&amp;b.png</Extra></Segment>"));
    cancelled = true;
    QVERIFY(!m.readNamedFiles(name, QString(), cancelled));
    QCOMPARE(namedByManager(m), QStringList{"<unknown>"});
    cancelled = false;
    QVERIFY(m.readNamedFiles(name, QString(), cancelled));
    QCOMPARE(namedByManager(m), (QStringList{"a&b.png", "wipe.png"}));

    QCOMPARE(m.saveSegments(name, QString()), 0);
    QCOMPARE(namedByManager(m), QStringList{"clip.mp4"});
    m.segmentAt(0)->properties()->setText("File", "other.png");
    QCOMPARE(namedByManager(m), QStringList{"clip.mp4"});
    QVERIFY(writeProjectXml(name, "<Segment Type=\"TEXT\" File=\"begin.png\"/>"));
    QVERIFY(m.readNamedFiles(name, QString(), cancelled));
    QCOMPARE(namedByManager(m), QStringList{"clip.mp4"});
  }

  void killedWhileSavingLeavesOldOrNew()
  {
    const QString name = QStringLiteral("Killed");
    ProjectManager a, b;
    fill(a, 1500, "A");
    fill(b, 1200, "B");
    QCOMPARE(b.saveSegments(name, QString()), 0);
    const QByteArray bytesB = readFile(ProjectManager::projectFilePath(name, QString()));
    QCOMPARE(a.saveSegments(name, QString()), 0);
    const QByteArray bytesA = readFile(ProjectManager::projectFilePath(name, QString()));
    QVERIFY(bytesA.size() > 500 * 1024);

    const QString dir = ProjectManager::projectDirectory(name, QString());
    int sawA = 0, sawB = 0, leftovers = 0;
    for (int round = 0; round < 25; ++round) {
      const pid_t pid = fork();
      QVERIFY(pid >= 0);
      if (pid == 0) {
        for (;;) {
          b.saveSegments(name, QString());
          a.saveSegments(name, QString());
        }
      }
      usleep(useconds_t(QRandomGenerator::global()->bounded(5000, 60000)));
      kill(pid, SIGKILL);
      int status = 0;
      waitpid(pid, &status, 0);
      const QByteArray bytes = readFile(ProjectManager::projectFilePath(name, QString()));
      QVERIFY2(bytes == bytesA || bytes == bytesB,
               qPrintable(QStringLiteral("round %1: %2 bytes that are neither save").arg(round).arg(bytes.size())));
      (bytes == bytesA ? sawA : sawB)++;
      PropertyMapList maps;
      QCOMPARE(a.loadSegments(maps, name, QString()), 0);
      // Whatever else the kill left is known for the save's temporary, and the opening's
      // clean-up takes it away.
      const QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
      for (const QString &file : left)
        QVERIFY2(file == "project.xml" || SaveLeftovers::isProjectLeftover(file),
                 qPrintable(QStringLiteral("round %1: %2 is not known for a leftover").arg(round).arg(file)));
      leftovers += SaveLeftovers::removeProjectLeftovers(dir);
      QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"project.xml"});
    }
    qInfo("old/new seen: %d/%d, leftovers removed: %d", sawA, sawB, leftovers);
  }
};

TAVO_TEST_CORE_MAIN(TestProjectFiles)
#include "tst_projectfiles.moc"
