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
#include "timelinegeometry.h"
#include "trackwidget.h"
#include "usersettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <functional>
#include <memory>

#include <sys/inotify.h>
#include <unistd.h>

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
  return QStringLiteral("    <Segment Type=\"TEXT\" TrackId=\"2\" RangeStart=\"%1\" RangeDuration=\"2\" Text=\"Hi\"/>\n")
      .arg(start)
      .toUtf8();
}

QByteArray segmentLine(const char *type, const char *track, const char *start, const char *duration = "2")
{
  static const QHash<QByteArray, QByteArray> extras = {
      {"IMAGE", "File=\"still.png\""},
      {"TEXT", "Text=\"Hi\""},
      {"MUSIC", "File=\"tone.wav\""},
      {"MOVIE", "File=\"clip.mp4\""}};
  return QByteArray("    <Segment Type=\"") + type + "\" TrackId=\"" + track + "\" RangeStart=\"" + start
         + "\" RangeDuration=\"" + duration + "\" " + extras.value(type) + "/>\n";
}

// The media files of the projects, and their lengths in seconds.
constexpr double ToneSeconds = 4.0;
constexpr int ClipFrames = 90;
constexpr int ClipFps = 30;

// The length a new block of the kind gets; media take theirs from the file, to a frame.
float kindLength(const QString &type)
{
  const UserSettings *settings = UserSettings::instance();
  if (type == QLatin1String("IMAGE"))
    return settings->photoDuration();
  if (type == QLatin1String("TEXT"))
    return settings->textDuration();
  if (type == QLatin1String("MUSIC"))
    return float(ToneSeconds - 1.0 / ClipFps);
  return type == QLatin1String("MOVIE") ? float(ClipFrames - 1) / ClipFps : 0.0f;
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

// A text block holding elements this version passes over.
QByteArray textWith(double start, const QByteArray &inside)
{
  return QStringLiteral("    <Segment Type=\"TEXT\" TrackId=\"1\" RangeStart=\"%1\" RangeDuration=\"2\" Text=\"Hi\">")
             .arg(start)
             .toUtf8()
         + inside + "</Segment>\n";
}

// The openings of the files of a folder from now on, as the system reports them.
class Openings
{
public:
  explicit Openings(const QString &folder) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
  {
    if (m_fd >= 0)
      m_watch = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
  }
  ~Openings()
  {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  Openings(const Openings &) = delete;
  Openings &operator=(const Openings &) = delete;

  bool isValid() const { return m_fd >= 0 && m_watch >= 0; }

  // How often the file of that name was opened, until now.
  int count(const QString &name)
  {
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = read(m_fd, buffer, sizeof buffer)) > 0;) {
      for (char *at = buffer; at < buffer + length;) {
        const auto *event = reinterpret_cast<const inotify_event *>(at);
        if (event->len > 0)
          m_opened << QFile::decodeName(event->name);
        at += sizeof(inotify_event) + event->len;
      }
    }
    return m_opened.count(name);
  }

private:
  int m_fd;
  int m_watch = -1;
  QStringList m_opened;
};

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

  // Starts, lengths and track ids no block can show: once opened, every block lies in the
  // timeline at zoom 1, at least as wide as its kind's new blocks, alone where it lies and on a
  // row of its kind; the user is told once how many were moved, and the file stays as it was.
  void blocksComeIntoSight_data()
  {
    QTest::addColumn<QByteArray>("segments");
    QTest::addColumn<int>("moved");
    QTest::addColumn<int>("rows");
    QTest::newRow("starts no block can show")
        << segmentLine("TEXT", "1", "0") + segmentLine("TEXT", "1", "1e308") + segmentLine("TEXT", "1", "-1e308")
               + segmentLine("TEXT", "1", "nan") + segmentLine("TEXT", "1", "-inf")
        << 4 << 1;
    QTest::newRow("lengths no block can show")
        << segmentLine("IMAGE", "1", "0", "nan") + segmentLine("IMAGE", "1", "4", "-2")
               + segmentLine("TEXT", "2", "0", "-1e308") + segmentLine("TEXT", "2", "4", "inf")
        << 0 << 2;
    QTest::newRow("default length reaching the next block")
        << segmentLine("TEXT", "1", "0", "-2") + segmentLine("TEXT", "1", "1") << 1 << 2;
    QTest::newRow("track id beyond an int")
        << segmentLine("IMAGE", "0", "0") + segmentLine("TEXT", "99999999999", "0") << 1 << 2;
    QTest::newRow("negative track id")
        << segmentLine("MUSIC", "-1", "0", "4") + segmentLine("TEXT", "-1", "1") << 2 << 2;
    QTest::newRow("row of another kind") << segmentLine("IMAGE", "1", "0") + segmentLine("TEXT", "1", "3") << 1 << 2;
    QTest::newRow("overlap, room on a row of its kind")
        << segmentLine("TEXT", "1", "0") + segmentLine("TEXT", "2", "3") + segmentLine("TEXT", "1", "1") << 1 << 2;
    QTest::newRow("overlap, no room") << segmentLine("TEXT", "1", "0") + segmentLine("TEXT", "1", "1")
                                             + segmentLine("TEXT", "1", "1.5") + segmentLine("TEXT", "1", "2")
                                      << 2 << 3;
    // Their files' lengths are known only once they open.
    QTest::newRow("clip's file length reaching the next block")
        << segmentLine("MOVIE", "1", "0", "-2") + segmentLine("MOVIE", "1", "1", "3") << 1 << 2;
    QTest::newRow("sound's file length reaching the next block")
        << segmentLine("MUSIC", "1", "0", "nan") + segmentLine("MUSIC", "1", "2", "4") << 1 << 2;
    QTest::newRow("file length reaching the next block, room on a row of its kind")
        << segmentLine("MUSIC", "1", "0", "-1") + segmentLine("MUSIC", "2", "5", "4")
               + segmentLine("MUSIC", "1", "2", "4")
        << 1 << 2;
    QTest::newRow("moved, then its file length reaching the next block")
        << segmentLine("MUSIC", "1", "2", "4") + segmentLine("MUSIC", "-1", "0", "nan") << 1 << 2;
  }
  void blocksComeIntoSight()
  {
    QFETCH(QByteArray, segments);
    QFETCH(int, moved);
    QFETCH(int, rows);
    QVERIFY(MediaFixtures::writePicture(dir() + "/still.png", 32, 32));
    QVERIFY(MediaFixtures::writeTone(dir() + "/tone.wav", ToneSeconds));
    MediaFixtures::VideoParams clip;
    clip.width = 64;
    clip.height = 48;
    clip.fps = ClipFps;
    clip.frames = ClipFrames;
    QVERIFY(MediaFixtures::writeVideo(dir() + "/clip.mp4", clip, [](int) {
      QImage frame(64, 48, QImage::Format_RGB32);
      frame.fill(Qt::white);
      return frame;
    }));
    QVERIFY(writeProject(dir(), segments));
    const QByteArray stored = readBytes(dir() + "/project.xml");

    const QStringList asked = openAndClose([&](TestEditorWindow &window) {
      ProjectManager *model = window.projectManager();
      QWidget *content = window.editScrollArea()->widget();
      QCOMPARE(window.zoom(), 1.0f);
      QCOMPARE(model->segmentCount(), segments.count("<Segment"));
      QList<QPair<TrackWidget *, QRect>> placed;
      // Each block stands out of its row's background, probed past the project's end.
      const QImage shot = content->grab().toImage();
      for (int i = 0; i < model->segmentCount(); ++i) {
        Segment *segment = model->segmentAt(i);
        auto *block = static_cast<SegmentWidget *>(model->segmentWidgetOf(segment));
        auto *row = qobject_cast<TrackWidget *>(block ? block->parentWidget() : nullptr);
        QVERIFY(row && block->isVisible());
        const QRect rect(block->mapTo(content, QPoint(0, 0)), block->size());
        const QString where = QStringLiteral("%1 block %2 at x %3, %4 px wide, on a %5 row; content %6 px wide")
                                  .arg(segment->type())
                                  .arg(i)
                                  .arg(rect.left())
                                  .arg(rect.width())
                                  .arg(row->type())
                                  .arg(content->width());
        QVERIFY2(row->type() == segment->type() && row->tag() == segment->trackId(), qPrintable(where));
        QVERIFY2(rect.left() >= Timeline::leftMargin() && rect.right() < content->width(), qPrintable(where));
        QVERIFY2(rect.width() >= int(Timeline::widthForDuration(kindLength(segment->type()), 1.0f)),
                 qPrintable(where));
        const QRgb drawn = shot.pixel(rect.center());
        const QRgb background = shot.pixel(content->width() - 2, rect.center().y());
        QVERIFY2(qAbs(qGray(drawn) - qGray(background)) > 20 || qAbs(qRed(drawn) - qRed(background)) > 20,
                 qPrintable(where + QStringLiteral(": drawn %1, row %2").arg(drawn, 0, 16).arg(background, 0, 16)));
        for (const auto &other : qAsConst(placed))
          QVERIFY2(other.first != row || !other.second.intersects(rect), qPrintable(where));
        placed.append({row, rect});
      }
      QSet<TrackWidget *> rowsUsed;
      for (const auto &pair : qAsConst(placed))
        rowsUsed.insert(pair.first);
      QCOMPARE(rowsUsed.size(), rows);
      QCOMPARE(readBytes(dir() + "/project.xml"), stored);
    });

    QString message = "Values Reset / Some values of this movie could not be shown and were reset to ones that can.";
    if (moved > 0)
      message += QStringLiteral(" Blocks moved to where they can be seen: %1.").arg(moved);
    QCOMPARE(asked, QStringList{message});
    QCOMPARE(readBytes(dir() + "/project.xml"), stored);
  }

  // The clean-up at closing removes a file that came after the opening only when no segment
  // nor any value of the project file names it: of the file as it was read, or as the closing
  // saved it. What the file names is known without opening it again, however large it is.
  void closingNeedNotReadTheFile_data()
  {
    QTest::addColumn<QByteArray>("segments");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("gone");
    const QByteArray picture = pictureLine(0, "still.png");
    const QByteArray transition = QByteArray(picture).replace(
        "/>", "><Transitions><Transition TStart=\"0.5\" TDuration=\"0.5\" Mask=\"masks/wipe.png\">"
              "<TBegin Image=\"begin.png\"/></Transition></Transitions></Segment>");
    const QByteArray extra = textWith(2, "<Extra Source=\"media/kept.png\"/>");
    QTest::newRow("left as it was") << picture + textLine(2) << false << QStringList{"left over.png"}
                                    << QStringList{"left over.png"};
    QTest::newRow("value of an unknown element") << picture + extra << false
                                                 << QStringList{"kept.png", "left over.png"}
                                                 << QStringList{"left over.png"};
    QTest::newRow("text of an unknown element") << picture + textWith(2, "<Note>noted.png</Note>") << false
                                                << QStringList{"noted.png", "left over.png"}
                                                << QStringList{"left over.png"};
    QTest::newRow("element outside the segments") << picture + "    <Cover File=\"cover.png\"/>\n" + textLine(2)
                                                  << false << QStringList{"cover.png", "left over.png"}
                                                  << QStringList{"left over.png"};
    QTest::newRow("transition's values") << transition + textLine(2) << false
                                         << QStringList{"wipe.png", "begin.png", "left over.png"}
                                         << QStringList{"left over.png"};
    QTest::newRow("transition's values, saved") << transition + textLine(2) << true
                                                << QStringList{"wipe.png", "begin.png", "left over.png"}
                                                << QStringList{"left over.png"};
    QTest::newRow("unknown element, saved without it") << picture + extra + textLine(4) << true
                                                       << QStringList{"kept.png", "left over.png"}
                                                       << QStringList{"kept.png", "left over.png"};
    QTest::newRow("unread item") << picture + Hologram + textLine(4) << false << QStringList{"left over.png"}
                                 << QStringList();
  }
  void closingNeedNotReadTheFile()
  {
    QFETCH(QByteArray, segments);
    QFETCH(bool, edited);
    QFETCH(QStringList, added);
    QFETCH(QStringList, gone);
    QVERIFY(writeProject(dir(), segments));
    QVERIFY(MediaFixtures::writePicture(dir() + "/still.png", 32, 32));
    std::unique_ptr<Openings> openings;

    openAndClose([&](TestEditorWindow &w) {
      if (edited)
        deleteBlock(w, w.projectManager()->segmentCount() - 1);
      for (const QString &name : added)
        QVERIFY(writeBytes(dir() + "/" + name, "new"));
      openings = std::make_unique<Openings>(dir());
    });

    QVERIFY(openings && openings->isValid());
    QCOMPARE(openings->count("project.xml"), 0);
    QStringList missing;
    for (const QString &name : added + QStringList{"still.png"})
      if (!QFile::exists(dir() + "/" + name))
        missing << name;
    QCOMPARE(missing, gone);
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
