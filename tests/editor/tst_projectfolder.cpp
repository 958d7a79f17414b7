// What opening and closing a project does to the files of its folder and around it, when the
// folder holds links, items this version cannot read, or paths relative to it; and what a
// failed save at closing says.

#include "editorfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "editscrollarea.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QByteArray Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// An element of a newer version, indented as the program writes project files.
const QByteArray Hologram = "    <Segment Type=\"HOLOGRAM\" TrackId=\"1\" RangeStart=\"2\" RangeDuration=\"2\" "
                            "File=\"holo.bin\">\n"
                            "        <Beam Colour=\"#ff00ff00\">light &amp; shade</Beam>\n"
                            "        <Focus/>\n"
                            "    </Segment>\n";

QByteArray pictureLine(double start, const char *file)
{
  return QStringLiteral("    <Segment Type=\"IMAGE\" TrackId=\"1\" RangeStart=\"%1\" RangeDuration=\"2\" File=\"%2\"/>\n")
      .arg(start)
      .arg(QLatin1String(file))
      .toUtf8();
}

QByteArray textLine(double start)
{
  return QStringLiteral("    <Segment Type=\"TEXT\" TrackId=\"1\" RangeStart=\"%1\" RangeDuration=\"2\" Text=\"Hi\"/>\n")
      .arg(start)
      .toUtf8();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeProject(const QString &dir, const QByteArray &segments, const char *version = "5.0")
{
  return writeBytes(dir + "/project.xml", Declaration + "<Project>\n" + segments + "</Project>\n")
         && writeBytes(dir + "/properties.xml", Declaration + "<Properties version=\"" + version
                                                    + "\" backgroundColor=\"#ff203040\"/>\n");
}

// The files of before that are gone or changed, leaving out those the program writes itself.
QStringList lost(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
{
  static const QStringList own = {"project.xml", "properties.xml", "layout.xml", "shot.jpg", "media.config"};
  QStringList result;
  for (auto it = before.cbegin(); it != before.cend(); ++it) {
    if (!after.contains(it.key()))
      result << it.key() + " deleted";
    else if (after.value(it.key()) != it.value() && !own.contains(QFileInfo(it.key()).fileName()))
      result << it.key() + " changed";
  }
  return result;
}

// The user deletes the block of the segment at index with the Delete key.
void deleteBlock(TestEditorWindow &window, int index)
{
  ProjectManager *model = window.projectManager();
  auto *block = static_cast<SegmentWidget *>(model->segmentWidgetOf(model->segmentAt(index)));
  QVERIFY(block);
  const int count = model->segmentCount();
  window.editScrollArea()->setSelectedSegmentWidget(block);
  window.editScrollArea()->setFocus();
  QTest::keyClick(window.editScrollArea(), Qt::Key_Delete);
  QTRY_COMPARE(model->segmentCount(), count - 1);
}

using Edit = std::function<void(TestEditorWindow &)>;

} // namespace

class TestProjectFolder : public QObject
{
  Q_OBJECT

  std::unique_ptr<EditorProject> project;

  QString dir() const { return project->directory(); }
  QString outside(const QString &name = QString()) const { return project->root() + "/outside/" + name; }

  // Opens the project, lets edit act, and closes the window as the user does, through the
  // closing step; returns the dialogs the window asked, as "title / text".
  QStringList openAndClose(const Edit &edit = nullptr, const QStringList &answers = {})
  {
    TestEditorWindow window;
    window.resize(1000, 700);
    window.show();
    [&] {
      QVERIFY(waitUntilLoaded(window));
      if (edit)
        edit(window);
    }();
    for (const QString &answer : answers)
      window.dialogs.answers << answer;
    window.close();
    // The closing step ends with the model gone and the window hidden.
    if (!QTest::qWaitFor([&] { return !window.projectManager() && !window.isVisible(); }, 15000))
      return {"<window stayed open>"};
    QStringList asked;
    for (const auto &call : window.dialogs.calls)
      asked << call.title + " / " + call.text;
    return asked;
  }

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }
  void cleanup() { project.reset(); }

  // A "history" entry that is a link: neither the closing clean-up nor the undo snapshots
  // reach what it points to.
  void historyLinkIsNeverFollowed_data()
  {
    QTest::addColumn<bool>("edited");
    QTest::newRow("left alone") << false;
    QTest::newRow("after an edit") << true;
  }
  void historyLinkIsNeverFollowed()
  {
    QFETCH(bool, edited);
    QVERIFY(writeProject(dir(), textLine(0) + textLine(2)));
    QVERIFY(writeBytes(outside("precious1.txt"), "one"));
    QVERIFY(writeBytes(outside("sub/precious2.txt"), "two"));
    QVERIFY(writeBytes(outside("project000.xml"), "not a snapshot"));
    QVERIFY(QFile::link(outside(), dir() + "/history"));
    const auto before = folderHashes(project->root());

    openAndClose(edited ? Edit([](TestEditorWindow &w) { deleteBlock(w, 0); }) : Edit());

    QCOMPARE(lost(before, folderHashes(project->root())), QStringList());
    QVERIFY(QFileInfo(outside()).isDir());
  }

  // Items this version cannot read stay in the file, and the clean-up takes no file that the
  // user did not remove: only one whose segment the user deleted goes.
  void closingKeepsWhatWasNotRead_data()
  {
    QTest::addColumn<QByteArray>("segments");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("removePicture");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("gone");
    const QString kept = "Open Project / 1 items of this movie could not be read and are kept unchanged.";
    QTest::newRow("unknown type") << pictureLine(0, "still.png") + Hologram + textLine(4) << QByteArray("5.0")
                                  << false << kept << QStringList();
    QTest::newRow("unknown type, upgraded") << pictureLine(0, "still.png") + Hologram + textLine(4)
                                            << QByteArray("4.0") << false << kept << QStringList();
    QTest::newRow("unknown type, picture removed") << pictureLine(0, "still.png") + Hologram + textLine(4)
                                                   << QByteArray("5.0") << true << kept << QStringList();
    QTest::newRow("element name damaged") << pictureLine(0, "still.png").replace("<Segment", "<Segmnt")
                                          << QByteArray("5.0") << false << QString() << QStringList();
    QTest::newRow("file name damaged") << pictureLine(0, "still.pn") + textLine(2) << QByteArray("4.0") << false
                                       << QString() << QStringList();
    QTest::newRow("picture removed") << pictureLine(0, "still.png") + textLine(2) << QByteArray("5.0") << true
                                     << QString() << QStringList{"still.png"};
  }
  void closingKeepsWhatWasNotRead()
  {
    QFETCH(QByteArray, segments);
    QFETCH(QByteArray, version);
    QFETCH(bool, removePicture);
    QFETCH(QString, message);
    QFETCH(QStringList, gone);
    QVERIFY(writeProject(dir(), segments, version.constData()));
    QVERIFY(MediaFixtures::writePicture(dir() + "/still.png", 32, 32));
    QVERIFY(writeBytes(dir() + "/holo.bin", "beam"));
    QVERIFY(writeBytes(dir() + "/notes.txt", "the user's"));
    QVERIFY(writeBytes(outside("near.png"), "outside"));
    const auto before = folderHashes(project->root());
    const QByteArray oldFile = readBytes(dir() + "/project.xml");

    const QStringList asked =
        openAndClose(removePicture ? Edit([](TestEditorWindow &w) { deleteBlock(w, 0); }) : Edit());

    QCOMPARE(asked, message.isEmpty() ? QStringList() : QStringList{message});
    QStringList expected;
    for (const QString &name : gone)
      expected << dir() + "/" + name + " deleted";
    QCOMPARE(lost(before, folderHashes(project->root())), expected);
    // Saved only when something was changed or the format brought up to date; an unread
    // element goes back as it was, in its place among the segments.
    const QByteArray saved = readBytes(dir() + "/project.xml");
    if (version == "5.0" && !removePicture)
      QCOMPARE(saved, oldFile);
    else
      QVERIFY2(saved != oldFile, saved.constData());
    if (segments.contains(Hologram)) {
      QVERIFY2(saved.contains(Hologram), saved.constData());
      const int hologram = saved.indexOf(Hologram);
      QVERIFY2(removePicture || saved.indexOf("Type=\"IMAGE\"") < hologram, saved.constData());
      QVERIFY2(removePicture || saved.indexOf("Type=\"TEXT\"") > hologram, saved.constData());
    }
  }

  // Relative media paths are taken from the project folder, not from where the program runs.
  void relativePathsFollowTheProject_data()
  {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("file");
    QTest::newRow("beside the projects") << "../../outside/x.png" << "outside/x.png";
    QTest::newRow("in a sub-folder") << "pictures/x.png" << "Projects/Trip/pictures/x.png";
  }
  void relativePathsFollowTheProject()
  {
    QFETCH(QString, stored);
    QFETCH(QString, file);
    QVERIFY(QDir().mkpath(QFileInfo(project->root() + "/" + file).path()));
    QVERIFY(MediaFixtures::writePicture(project->root() + "/" + file, 32, 32));
    QVERIFY(writeProject(dir(), pictureLine(0, stored.toUtf8().constData())));
    QTemporaryDir elsewhere;
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere.path()));

    TestEditorWindow window;
    const bool ready = window.showUntilReady(1);
    QDir::setCurrent(oldCurrent);
    QVERIFY(ready);
    Segment *picture = window.projectManager()->segmentAt(0);
    QCOMPARE(picture->error(), quint32(SegmentNoError));
    QCOMPARE(picture->properties()->text("File"), stored);
  }

  // A save at closing that fails says which file and why, and speaks of changes only when
  // the user made some.
  void failedSaveSaysWhatFailed_data()
  {
    QTest::addColumn<bool>("changed");
    QTest::newRow("only the format upgrade") << false;
    QTest::newRow("changed by the user") << true;
  }
  void failedSaveSaysWhatFailed()
  {
    QFETCH(bool, changed);
    QVERIFY(writeProject(dir(), textLine(0) + textLine(2), "4.0"));
    const QByteArray properties = project->readProperties();
    // A folder in the file's place: the tests may run with rights that ignore read-only.
    const Edit block = [this, changed](TestEditorWindow &w) {
      if (changed)
        deleteBlock(w, 0);
      QVERIFY(QFile::remove(dir() + "/project.xml"));
      QVERIFY(QDir(dir()).mkpath("project.xml/blocked"));
    };

    const QStringList asked = openAndClose(block, {"Close Without Saving"});

    QCOMPARE(asked.size(), 1);
    const QString path = QDir::toNativeSeparators(dir() + "/project.xml");
    QVERIFY2(asked[0].startsWith("Save Failed / "), qPrintable(asked[0]));
    QVERIFY2(asked[0].contains(path + " could not be written: "), qPrintable(asked[0]));
    QCOMPARE(asked[0].contains("Your changes are still open in this window."), changed);
    QCOMPARE(asked[0].contains("Nothing was changed in this window"), !changed);
    // The properties keep the old version: the project file was not brought up to date.
    QCOMPARE(project->readProperties(), properties);
  }
};

TAVO_TEST_MAIN(TestProjectFolder)
#include "tst_projectfolder.moc"
