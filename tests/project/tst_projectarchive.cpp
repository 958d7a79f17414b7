// Project archives: what the exporter writes (entries, names, the rewritten project.xml),
// its failures leaving no file, the round trip into a project that opens, the importer's
// codes, and a table of hostile archives that must never reach outside their target.
#include "archiveexporter.h"
#include "archiveimporter.h"
#include "filesizelimit.h"
#include "projectarchive.h"
#include "projectloader.h"
#include "projectmanager.h"
#include "segmentxml.h"
#include "testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <mutex>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <malloc.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Final codes: every run ends with exactly one of these.
const QList<int> kExportEnds = {3, 4, 5, 6, 7, 8, 100};
const QList<int> kImportEnds = {4, 5, 6, 7, 8, 9, 10, 11, 12, 100};

QByteArray le32(qint32 v)
{
  QByteArray b(4, '\0');
  qToLittleEndian(v, b.data());
  return b;
}

QByteArray le64(quint64 v)
{
  QByteArray b(8, '\0');
  qToLittleEndian(v, b.data());
  return b;
}

QByteArray header(const QByteArray &name, qint32 version = 3)
{
  return "tavoren " + le32(version) + le32(qint32(name.size())) + name;
}

QByteArray entry(const QByteArray &name, const QByteArray &data)
{
  return le32(qint32(name.size())) + name + le64(quint64(data.size())) + data;
}

QByteArray readAll(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A file of size bytes that takes no room on disk.
bool writeSparse(const QString &path, qint64 size)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
}

// Every entry below root, not following links: relative path -> size (-1 for folders).
QMap<QString, qint64> tree(const QString &root)
{
  QMap<QString, qint64> result;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    const QFileInfo info = it.fileInfo();
    result.insert(QDir(root).relativeFilePath(info.filePath()), info.isDir() && !info.isSymLink() ? -1 : info.size());
  }
  return result;
}

// An archive as the tests read it, trusting it (the exporter's output).
struct ParsedArchive
{
  bool valid = false;
  qint32 version = 0;
  QByteArray name;
  QList<QPair<QString, QByteArray>> entries;
  QByteArray entry(const QString &name) const
  {
    for (const auto &e : entries)
      if (e.first == name)
        return e.second;
    return QByteArray();
  }
  QStringList names() const
  {
    QStringList result;
    for (const auto &e : entries)
      result << e.first;
    return result;
  }
};

ParsedArchive parseArchive(const QByteArray &bytes)
{
  ParsedArchive archive;
  if (!bytes.startsWith("tavoren ") || bytes.size() < 16)
    return archive;
  archive.version = qFromLittleEndian<qint32>(bytes.constData() + 8);
  const qint32 nameLength = qFromLittleEndian<qint32>(bytes.constData() + 12);
  archive.name = bytes.mid(16, nameLength);
  qint64 pos = 16 + nameLength;
  while (pos + 4 <= bytes.size()) {
    const qint32 length = qFromLittleEndian<qint32>(bytes.constData() + pos);
    const QString name = QString::fromUtf8(bytes.mid(pos + 4, length));
    const qint64 size = qFromLittleEndian<qint64>(bytes.constData() + pos + 4 + length);
    archive.entries.append({name, bytes.mid(pos + 12 + length, size)});
    pos += 12 + length + size;
  }
  archive.valid = pos == bytes.size();
  return archive;
}

PropertyMapList readSegments(const QByteArray &xml)
{
  PropertyMapList list;
  QXmlStreamReader reader(xml);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == QLatin1String("Segment")) {
      list.push_back(std::make_unique<PropertyMap>());
      readSegmentXml(*list.back(), reader);
    }
  }
  return list;
}

// Runs a job, recording its messages on the job's thread; react may act on each.
template <typename Job> struct JobRun
{
  std::unique_ptr<Job> job;
  mutable std::mutex mutex;
  QList<QPair<int, QVariant>> messages;
  std::function<void(Job *, int)> react;

  explicit JobRun(Job *j) : job(j)
  {
    QObject::connect(
        job.get(), &Job::onMessage, job.get(),
        [this](Job *sender, int code, QVariant data) {
          {
            std::lock_guard<std::mutex> lock(mutex);
            messages.append({code, data});
          }
          if (react)
            react(sender, code);
        },
        Qt::DirectConnection);
  }
  void start() { job->start(); }
  bool wait(unsigned long ms = 30000) { return job->wait(ms); }
  QList<int> codes() const
  {
    std::lock_guard<std::mutex> lock(mutex);
    QList<int> result;
    for (const auto &m : messages)
      result << m.first;
    return result;
  }
  QList<int> withoutProgress() const
  {
    QList<int> result = codes();
    result.removeAll(2);
    return result;
  }
  QVariant last() const
  {
    std::lock_guard<std::mutex> lock(mutex);
    return messages.isEmpty() ? QVariant() : messages.last().second;
  }
  // The run ended with exactly one final code, this one, and progress never went back.
  bool endsWith(int code, const QList<int> &ends, QString *why) const
  {
    const QList<int> all = codes();
    int finals = 0;
    for (int c : all)
      finals += ends.contains(c) ? 1 : 0;
    if (all.isEmpty() || all.last() != code || finals != 1) {
      *why = QStringLiteral("expected to end with %1 alone, got").arg(code);
      for (int c : all)
        if (c != 2)
          *why += QStringLiteral(" %1").arg(c);
      return false;
    }
    int previous = 0;
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto &m : messages)
      if (m.first == 2) {
        if (m.second.toInt() < previous || m.second.toInt() > 100) {
          *why = QStringLiteral("progress %1 after %2").arg(m.second.toInt()).arg(previous);
          return false;
        }
        previous = m.second.toInt();
      }
    return true;
  }
};

#define VERIFY_ENDS(run, code, ends) \
  do { \
    QString why_; \
    QVERIFY2((run).endsWith(code, ends, &why_), qPrintable(why_)); \
  } while (0)

using ExportRun = JobRun<ArchiveExporter>;
using ImportRun = JobRun<ArchiveImporter>;

// What goes wrong in a row of the failure table.
enum Situation {
  ExportUnreadable, ExportNoRoom, ExportIntoFile, ExportIntoNothing, ExportMediaMissing, ExportXmlUnwritable,
  ExportStopped, ImportNoArchive, ImportNoRoom, ImportFromFolder, ImportWrongMagic, ImportVersion4, ImportNoName,
  ImportIntoFile, ImportIntoNothing, ImportStopped, ImportTruncated
};


} // namespace

class TestProjectArchive : public QObject
{
  Q_OBJECT
  QTemporaryDir m_root;
  QString m_media;
  QString m_out;
  int m_count = 0;

  QString projects() const { return ProjectManager::projectsDirectory(); }
  QString projectFile(const QString &name, const QString &file) const
  {
    return ProjectManager::projectDirectory(name, QString()) + '/' + file;
  }
  // A fresh output folder per test.
  QString freshFolder(const QString &what)
  {
    const QString path = m_root.path() + QStringLiteral("/%1-%2").arg(what).arg(++m_count);
    QDir().mkpath(path);
    return path;
  }
  void writeSegments(const QString &name, const QList<QMap<QString, QString>> &segments)
  {
    QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n";
    for (const auto &attributes : segments) {
      xml += "<Segment";
      for (auto it = attributes.cbegin(); it != attributes.cend(); ++it)
        xml += ' ' + it.key().toUtf8() + "=\"" + it.value().toHtmlEscaped().toUtf8() + '"';
      xml += "/>\n";
    }
    QVERIFY(writeAll(projectFile(name, "project.xml"), xml + "</Project>\n"));
  }
  QByteArray bytesOf(const QString &seed, int size) const
  {
    QByteArray bytes;
    while (bytes.size() < size)
      bytes += seed.toUtf8() + QByteArray::number(bytes.size());
    bytes.resize(size);
    return bytes;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(m_root.isValid());
    ProjectManager::setWorkingDirectory(m_root.path() + "/work");
    QVERIFY(QDir().mkpath(m_root.path() + "/work"));
    m_media = m_root.path() + "/media";
    QVERIFY(QDir().mkpath(m_media));
  }

  // The full project: own files, media from elsewhere, files the archive leaves out.
  void exportProject()
  {
    const QString trip = QStringLiteral("Trip");
    const QString m = m_media;
    QVERIFY(writeAll(projectFile(trip, "properties.xml"), "<?xml version=\"1.0\"?>\n<Properties version=\"5\"/>\n"));
    QVERIFY(writeAll(projectFile(trip, "layout.xml"), "<Layout PreviewQuality=\"1\"/>"));
    QVERIFY(writeAll(projectFile(trip, "Local.png"), bytesOf("local", 3000)));
    QVERIFY(writeAll(projectFile(trip, "sharingImage-1.png"), bytesOf("already", 10)));
    QVERIFY(writeAll(projectFile(trip, "empty.txt"), QByteArray()));
    QVERIFY(writeAll(projectFile(trip, "project.plist"), "old"));
    QVERIFY(writeAll(projectFile(trip, "properties.plist"), "old"));
    QVERIFY(writeAll(projectFile(trip, ".hidden"), "hidden"));
    QVERIFY(writeAll(projectFile(trip, "history/project000.xml"), "<Project/>"));
    QVERIFY(writeAll(m + "/a.JPG", bytesOf("a", 5000)));
    QVERIFY(writeAll(m + "/b.png", bytesOf("b", 7000)));
    QVERIFY(writeAll(m + "/clip.MP4", bytesOf("clip", 12 * 1024 * 1024 + 5)));
    QVERIFY(writeAll(m + "/song.mp3", bytesOf("song", 900)));
    QVERIFY(writeAll(m + "/tune.m4a", bytesOf("tune", 800)));
    writeSegments(trip, {{{"Type", "IMAGE"}, {"File", m + "/a.JPG"}},
                         {{"Type", "IMAGE"}, {"File", m + "/a.JPG"}},
                         {{"Type", "IMAGE"}, {"File", "Local.png"}},
                         {{"Type", "IMAGE"}, {"File", m + "/b.png"}},
                         {{"Type", "MOVIE"}, {"File", m + "/clip.MP4"}},
                         {{"Type", "MUSIC"}, {"URL", m + "/song.mp3"}},
                         {{"Type", "MUSIC"}, {"File", m + "/tune.m4a"}, {"URL", "/elsewhere/old.m4a"}},
                         {{"Type", "TEXT"}, {"Text", "Hello <world>"}}});
    const QByteArray originalXml = readAll(projectFile(trip, "project.xml"));

    m_out = freshFolder("out");
    // The project open in the editor stays the one its segments ask for the frame shape.
    ProjectManager open;
    ExportRun run(new ArchiveExporter(trip, QString(), m_out));
    run.start();
    QVERIFY(run.wait());
    VERIFY_ENDS(run, ExportFinished, kExportEnds);
    QCOMPARE(ProjectContext::current(), static_cast<ProjectContext *>(&open));
    QCOMPARE(run.codes().first(), int(ExportStarted));
    const QString path = m_out + "/Trip.tavorenproject";
    QCOMPARE(run.last().toString(), path);
    // Progress at the end of every file and every 10 MiB of the movie.
    QCOMPARE(run.codes().count(ExportProgress), 4 + 5 + 1);
    QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden), QStringList({"Trip.tavorenproject"}));

    const ParsedArchive archive = parseArchive(readAll(path));
    QVERIFY(archive.valid);
    QCOMPARE(archive.version, 3);
    QCOMPARE(archive.name, QByteArray("Trip"));
    QCOMPARE(archive.names(), QStringList({"layout.xml", "Local.png", "properties.xml", "sharingImage-1.png",
                                           "sharingImage-1.jpg", "sharingImage-2.png", "sharingMovie-1.mp4",
                                           "sharingMusic-1.mp3", "sharingMusic-1.m4a", "project.xml"}));
    for (const char *own : {"layout.xml", "Local.png", "properties.xml", "sharingImage-1.png"})
      QCOMPARE(archive.entry(own), readAll(projectFile(trip, own)));
    QCOMPARE(archive.entry("sharingImage-1.jpg"), readAll(m + "/a.JPG"));
    QCOMPARE(archive.entry("sharingImage-2.png"), readAll(m + "/b.png"));
    QVERIFY(archive.entry("sharingMovie-1.mp4") == readAll(m + "/clip.MP4"));
    QCOMPARE(archive.entry("sharingMusic-1.mp3"), readAll(m + "/song.mp3"));
    QCOMPARE(archive.entry("sharingMusic-1.m4a"), readAll(m + "/tune.m4a"));

    const PropertyMapList maps = readSegments(archive.entry("project.xml"));
    QCOMPARE(int(maps.size()), 8);
    const QStringList files = {"sharingImage-1.jpg", "sharingImage-1.jpg", "Local.png", "sharingImage-2.png",
                               "sharingMovie-1.mp4", "sharingMusic-1.mp3", "sharingMusic-1.m4a", ""};
    for (int i = 0; i < 8; ++i)
      QCOMPARE(maps[size_t(i)]->text("File"), files[i]);
    QCOMPARE(maps[5]->text("URL"), m + "/song.mp3");
    QCOMPARE(maps[7]->text("Text"), QStringLiteral("Hello <world>"));
    // The project's own file is not touched.
    QCOMPARE(readAll(projectFile(trip, "project.xml")), originalXml);

    // A second export takes the next free name.
    ExportRun again(new ArchiveExporter(trip, QString(), m_out));
    again.start();
    QVERIFY(again.wait());
    VERIFY_ENDS(again, ExportFinished, kExportEnds);
    QCOMPARE(again.last().toString(), m_out + "/Trip (1).tavorenproject");
  }

  // Import of that archive next to the original: a new folder, every file byte-equal, and
  // the project opens with the media under their new names.
  void roundTrip()
  {
    const QString archivePath = m_out + "/Trip.tavorenproject";
    const ParsedArchive archive = parseArchive(readAll(archivePath));
    QVERIFY(archive.valid);
    QVERIFY(QDir().mkpath(projects() + "/Trip (1)"));
    ImportRun run(new ArchiveImporter(archivePath, projects()));
    run.start();
    QVERIFY(run.wait());
    VERIFY_ENDS(run, ImportFinished, kImportEnds);
    QCOMPARE(run.codes().first(), int(ImportStarted));
    QCOMPARE(run.codes().count(ImportProgress), 10 + 12);
    const QString name = QStringLiteral("Trip (2)");
    QStringList names = archive.names();
    names.sort();
    QCOMPARE(tree(projects() + '/' + name).keys(), names);
    QCOMPARE(QFileInfo(projects() + '/' + name).permissions(), QFileInfo(projects() + "/Trip (1)").permissions());
    for (const auto &e : archive.entries)
      QVERIFY2(readAll(projectFile(name, e.first)) == e.second, qPrintable(e.first));

    ProjectManager manager;
    QCOMPARE(ProjectLoader::loadProperties(name, QString(), &manager, nullptr), 0);
    ProjectLoader loader(name, QString(), &manager);
    // Written on the loader's thread: its end is invisible to the race checker, this lock is not.
    std::mutex lock;
    QStringList adopted;
    QList<int> codes;
    connect(
        &loader, &ProjectLoader::onMessage, &loader,
        [&](ProjectLoader *sender, int code, QVariant) {
          std::lock_guard<std::mutex> locker(lock);
          codes << code;
          if (code == LoaderSegmentsRead) {
            for (const auto &map : sender->takeSegments())
              adopted << map->text("File");
            sender->setLayoutEditAreaCompleted();
          }
        },
        Qt::DirectConnection);
    loader.start();
    QVERIFY(loader.wait(5000));
    std::lock_guard<std::mutex> locker(lock);
    QCOMPARE(codes, QList<int>({LoaderBackgroundColor, LoaderSegmentsRead, LoaderFinished}));
    QCOMPARE(adopted.at(0), QStringLiteral("sharingImage-1.jpg"));
    for (const QString &file : adopted)
      QVERIFY2(file.isEmpty() || QFile::exists(projectFile(name, file)), qPrintable(file));
  }

  // What a kill between a save's writing and its renaming leaves beside the file, or a kill
  // during an export in the folder ("<project>" stands for the project's name): the opening
  // removes it and the archive never takes it. Only the writer's own temporary of one of the
  // folder's own files counts; a user's file of a like name stays in both.
  void leftoversOfSaves_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("project file") << "project.xml.part" << true;
    QTest::newRow("properties") << "properties.xml.part" << true;
    QTest::newRow("layout") << "layout.xml.part" << true;
    QTest::newRow("explorer settings") << "media.config.part" << true;
    QTest::newRow("drawing") << "drawingImage-3.png.part" << true;
    QTest::newRow("cover") << "shot.jpg.part" << true;
    QTest::newRow("cut-off export") << "<project>_720p_h264_30fps.partial.mp4" << true;
    QTest::newRow("cut-off export of no known size") << "<project>_Unknown_Resolution_vp9_25fps.partial.webm" << true;
    QTest::newRow("user's copy") << "project.xml.MyCopy" << false;
    QTest::newRow("user's device name") << "project.xml.iPhone" << false;
    QTest::newRow("user's layout") << "layout.xml.OldSet" << false;
    QTest::newRow("user's explorer settings") << "media.config.MyConf" << false;
    QTest::newRow("six letters of either case") << "project.xml.AdNTen" << false;
    QTest::newRow("user's word") << "project.xml.backup" << false;
    QTest::newRow("user's capitalised word") << "project.xml.Before" << false;
    QTest::newRow("five letters") << "project.xml.AdNTe" << false;
    QTest::newRow("seven letters") << "project.xml.AdNTenX" << false;
    QTest::newRow("a digit") << "project.xml.AdN1en" << false;
    QTest::newRow("another file's temporary") << "notes.xml.part" << false;
    QTest::newRow("another case") << "Project.xml.part" << false;
    QTest::newRow("suffix not last") << "project.xml.part.old" << false;
    QTest::newRow("drawing without a number") << "drawingImage-.png.part" << false;
  }

  void leftoversOfSaves()
  {
    QFETCH(QString, file);
    QFETCH(bool, leftover);
    const QString name = QStringLiteral("Killed %1").arg(QTest::currentDataTag());
    file.replace("<project>", name);
    QVERIFY(writeAll(projectFile(name, "properties.xml"), "<?xml version=\"1.0\"?>\n<Properties version=\"5\"/>\n"));
    QVERIFY(writeAll(projectFile(name, "Local.png"), bytesOf("local", 300)));
    writeSegments(name, {{{"Type", "IMAGE"}, {"File", "Local.png"}}});
    QVERIFY(writeAll(projectFile(name, file), readAll(projectFile(name, "project.xml")) + "<!-- stale -->"));

    ExportRun run(new ArchiveExporter(name, QString(), freshFolder("leftovers")));
    run.start();
    QVERIFY(run.wait());
    VERIFY_ENDS(run, ExportFinished, kExportEnds);
    const ParsedArchive archive = parseArchive(readAll(run.last().toString()));
    QVERIFY(archive.valid);
    QStringList expected = {"Local.png", "properties.xml", "project.xml"};
    if (!leftover)
      expected.insert(1, file);
    QStringList names = archive.names();
    std::sort(expected.begin(), expected.end() - 1, [](const QString &a, const QString &b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(names, expected);

    ProjectManager manager;
    QCOMPARE(ProjectLoader::loadProperties(name, QString(), &manager, nullptr), 0);
    ProjectLoader loader(name, QString(), &manager);
    connect(
        &loader, &ProjectLoader::onMessage, &loader,
        [](ProjectLoader *sender, int code, QVariant) {
          if (code == LoaderSegmentsRead)
            sender->setLayoutEditAreaCompleted();
        },
        Qt::DirectConnection);
    loader.start();
    QVERIFY(loader.wait(5000));
    QCOMPARE(QFileInfo::exists(projectFile(name, file)), !leftover);
    QVERIFY(QFileInfo::exists(projectFile(name, "project.xml")));
  }

  void exportFailures()
  {
    const QString name = QStringLiteral("Broken");
    const QString out = freshFolder("out");
    auto exportOnce = [&](const QString &destination) {
      auto run = std::make_unique<ExportRun>(new ArchiveExporter(name, QString(), destination));
      run->start();
      run->wait();
      return run;
    };

    // No project.xml: nothing can be estimated.
    QVERIFY(QDir().mkpath(ProjectManager::projectDirectory(name, QString())));
    QCOMPARE(exportOnce(out)->codes(), QList<int>({ExportProjectUnreadable}));

    // A segment's media is gone: the half-written archive goes too.
    QVERIFY(writeAll(projectFile(name, "notes.txt"), "notes"));
    writeSegments(name, {{{"Type", "MOVIE"}, {"File", m_media + "/missing.mov"}}});
    VERIFY_ENDS(*exportOnce(out), ExportFileFailed, kExportEnds);
    QVERIFY(tree(out).isEmpty());

    // Not enough room for what the archive would carry.
    const QString huge = m_media + "/huge.mov";
    const qint64 available = ProjectArchive::availableSpace(out);
    QVERIFY(writeSparse(huge, available + (qint64(1) << 30)));
    writeSegments(name, {{{"Type", "MOVIE"}, {"File", huge}}});
    auto noSpace = exportOnce(out);
    QCOMPARE(noSpace->codes(), QList<int>({ExportNoSpace}));
    QVERIFY(qAbs(noSpace->last().toLongLong() - (qint64(1) << 30)) < (qint64(256) << 20));
    QFile::remove(huge);
    QVERIFY(tree(out).isEmpty());

    // The destination is not a folder.
    const QString big = m_media + "/big.mov";
    QVERIFY(writeAll(big, bytesOf("big", 3 * 1024 * 1024)));
    writeSegments(name, {{{"Type", "MOVIE"}, {"File", big}}});
    QVERIFY(writeAll(out + "/file", "x"));
    VERIFY_ENDS(*exportOnce(out + "/file"), ExportCreateFailed, kExportEnds);
    QFile::remove(out + "/file");

    // A full device while copying.
    std::unique_ptr<ExportRun> full;
    withFileSizeLimit(1024 * 1024, [&] {
      full = exportOnce(out);
      return 0;
    });
    VERIFY_ENDS(*full, ExportFileFailed, kExportEnds);
    QVERIFY(tree(out).isEmpty());

    // Cancelled at the first progress, in the middle of the archive.
    ExportRun cancelled(new ArchiveExporter(name, QString(), out));
    cancelled.react = [](ArchiveExporter *exporter, int code) {
      if (code == ExportProgress)
        exporter->cancel();
    };
    cancelled.start();
    QVERIFY(cancelled.wait());
    VERIFY_ENDS(cancelled, ExportCancelled, kExportEnds);
    QCOMPARE(cancelled.codes().count(ExportProgress), 1);
    QVERIFY(tree(out).isEmpty());
  }

  void importBasics()
  {
    const QString archives = freshFolder("archives");
    auto importOnce = [&](const QByteArray &bytes, const QString &destination, const QString &file = "a") {
      const QString path = archives + '/' + file + ".tavorenproject";
      writeAll(path, bytes);
      auto run = std::make_unique<ImportRun>(new ArchiveImporter(path, destination));
      run->start();
      run->wait();
      return run;
    };
    const QByteArray trip = header("Trip") + entry("x.txt", "x");

    // Trip and Trip (1) are taken.
    QString dest = freshFolder("dest");
    QVERIFY(QDir().mkpath(dest + "/Trip") && QDir().mkpath(dest + "/Trip (1)"));
    VERIFY_ENDS(*importOnce(trip, dest), ImportFinished, kImportEnds);
    QCOMPARE(readAll(dest + "/Trip (2)/x.txt"), QByteArray("x"));

    // Versions 2 and 3 are read, 4 is refused.
    dest = freshFolder("dest");
    VERIFY_ENDS(*importOnce(header("V2", 2), dest), ImportFinished, kImportEnds);
    VERIFY_ENDS(*importOnce(header("V4", 4), dest), ImportHigherVersion, kImportEnds);
    QCOMPARE(tree(dest).keys(), QStringList({"V2"}));

    // A name of 200 bytes; an archive that ends right after its name gives an empty project.
    dest = freshFolder("dest");
    const QByteArray longName(200, 'n');
    QVERIFY(header(longName).mid(12, 4) == QByteArray("\xC8\x00\x00\x00", 4));
    VERIFY_ENDS(*importOnce(header(longName), dest), ImportFinished, kImportEnds);
    QCOMPARE(tree(dest).value(QString::fromLatin1(longName)), qint64(-1));
    QCOMPARE(tree(dest).size(), 1);

    // An archive larger than the free space.
    const QString huge = archives + "/huge.tavorenproject";
    QVERIFY(writeSparse(huge, ProjectArchive::availableSpace(dest) + (qint64(1) << 30)));
    ImportRun noSpace(new ArchiveImporter(huge, dest));
    noSpace.start();
    noSpace.wait();
    QFile::remove(huge);
    QCOMPARE(noSpace.codes(), QList<int>({ImportNoSpace}));

    // A quick import still shows its progress for a second.
    dest = freshFolder("dest");
    QElapsedTimer timer;
    timer.start();
    VERIFY_ENDS(*importOnce(trip, dest), ImportFinished, kImportEnds);
    QVERIFY2(timer.elapsed() >= 1000, qPrintable(QString::number(timer.elapsed())));
  }

  // A job refused before it starts sends only why; once it has started (1) every failure
  // comes after the start, so whoever listens has its progress up when the failure arrives.
  void failureSequences_data()
  {
    QTest::addColumn<int>("situation");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("export 4: project.xml unreadable") << int(ExportUnreadable) << QList<int>{4};
    QTest::newRow("export 5: no room") << int(ExportNoRoom) << QList<int>{5};
    QTest::newRow("export 3: destination is a file") << int(ExportIntoFile) << QList<int>{1, 3};
    QTest::newRow("export 3: destination missing") << int(ExportIntoNothing) << QList<int>{1, 3};
    QTest::newRow("export 6: media missing") << int(ExportMediaMissing) << QList<int>{1, 6};
    QTest::newRow("export 7: project.xml cannot be written") << int(ExportXmlUnwritable) << QList<int>{1, 7};
    QTest::newRow("export 8: cancelled") << int(ExportStopped) << QList<int>{1, 8};
    QTest::newRow("import 4: no archive") << int(ImportNoArchive) << QList<int>{4};
    QTest::newRow("import 5: no room") << int(ImportNoRoom) << QList<int>{5};
    QTest::newRow("import 6: archive is a folder") << int(ImportFromFolder) << QList<int>{1, 6};
    QTest::newRow("import 7: wrong magic") << int(ImportWrongMagic) << QList<int>{1, 7};
    QTest::newRow("import 8: version 4") << int(ImportVersion4) << QList<int>{1, 8};
    QTest::newRow("import 9: no name") << int(ImportNoName) << QList<int>{1, 9};
    QTest::newRow("import 10: destination is a file") << int(ImportIntoFile) << QList<int>{1, 10};
    QTest::newRow("import 10: destination missing") << int(ImportIntoNothing) << QList<int>{1, 10};
    QTest::newRow("import 11: cancelled") << int(ImportStopped) << QList<int>{1, 11};
    QTest::newRow("import 12: truncated entry") << int(ImportTruncated) << QList<int>{1, 12};
  }

  void failureSequences()
  {
    QFETCH(int, situation);
    QFETCH(QList<int>, expected);
    const QString base = freshFolder("sequence");
    const QString aFile = base + "/file";
    QVERIFY(writeAll(aFile, "x"));
    const QString into = freshFolder("sequence-into");
    const QString destination = situation == ExportIntoFile || situation == ImportIntoFile ? aFile
                                : situation == ExportIntoNothing || situation == ImportIntoNothing ? into + "/none"
                                                                                                   : into;
    const bool noRoom = situation == ExportNoRoom || situation == ImportNoRoom;
    ProjectArchive::setSpaceQuery([noRoom](const QString &) { return noRoom ? qint64(10) : qint64(-1); });
    auto restore = qScopeGuard([] { ProjectArchive::setSpaceQuery({}); });
    const QByteArray notes = bytesOf("notes", 5000);

    QList<int> codes;
    if (situation < ImportNoArchive) {
      const QString name = QStringLiteral("Sequence%1").arg(m_count);
      QVERIFY(writeAll(projectFile(name, "notes.txt"), notes));
      if (situation == ExportMediaMissing)
        writeSegments(name, {{{"Type", "MOVIE"}, {"File", m_media + "/missing.mov"}}});
      else if (situation != ExportUnreadable)
        writeSegments(name, {});
      ExportRun run(new ArchiveExporter(name, QString(), destination));
      if (situation == ExportStopped)
        run.react = [](ArchiveExporter *exporter, int code) {
          if (code == ExportStarted)
            exporter->cancel();
        };
      // Room for the header and the notes, none for the project.xml entry.
      const rlim_t limit = rlim_t(16 + name.size() + 4 + 9 + 8 + notes.size());
      QCOMPARE(withFileSizeLimit(situation == ExportXmlUnwritable ? limit : RLIM_INFINITY, [&] {
                 run.start();
                 return run.wait() ? 0 : -1;
               }),
               0);
      codes = run.withoutProgress();
    } else {
      QByteArray bytes = header("Sequence") + entry("notes.txt", notes);
      if (situation == ImportWrongMagic)
        bytes[7] = '_';
      else if (situation == ImportVersion4)
        bytes = header("Sequence", 4);
      else if (situation == ImportNoName)
        bytes = "tavoren " + le32(3) + le32(0);
      else if (situation == ImportTruncated)
        bytes.chop(100);
      const QString archive = situation == ImportFromFolder ? base : base + "/a.tavorenproject";
      if (situation != ImportNoArchive && situation != ImportFromFolder)
        QVERIFY(writeAll(archive, bytes));
      ImportRun run(new ArchiveImporter(archive, destination));
      if (situation == ImportStopped)
        run.react = [](ArchiveImporter *importer, int code) {
          if (code == ImportStarted)
            importer->cancel();
        };
      run.start();
      QVERIFY(run.wait());
      codes = run.withoutProgress();
    }
    QCOMPARE(codes, expected);
    QVERIFY(tree(into).isEmpty());
  }

  // Where the volume cannot be measured (a chroot whose root no mount lists) both jobs go
  // on; too little room still refuses, and a missing destination keeps its codes.
  void spaceQuery_data()
  {
    QTest::addColumn<qint64>("available");
    QTest::addColumn<bool>("destinationExists");
    QTest::addColumn<int>("exportCode");
    QTest::addColumn<int>("importCode");
    QTest::newRow("unknown") << qint64(-1) << true << int(ExportFinished) << int(ImportFinished);
    QTest::newRow("too little") << qint64(10) << true << int(ExportNoSpace) << int(ImportNoSpace);
    QTest::newRow("plenty") << (qint64(1) << 40) << true << int(ExportFinished) << int(ImportFinished);
    QTest::newRow("unknown, no destination") << qint64(-1) << false << int(ExportCreateFailed) << int(ImportFolderFailed);
  }

  void spaceQuery()
  {
    QFETCH(qint64, available);
    QFETCH(bool, destinationExists);
    QFETCH(int, exportCode);
    QFETCH(int, importCode);
    const QString name = QStringLiteral("Measured");
    QVERIFY(writeAll(projectFile(name, "notes.txt"), bytesOf("notes", 5000)));
    writeSegments(name, {});
    QString dest = freshFolder("measured");
    if (!destinationExists)
      dest += "/none";
    QStringList asked;
    ProjectArchive::setSpaceQuery([&](const QString &folder) {
      asked << folder;
      return available;
    });
    auto restore = qScopeGuard([] { ProjectArchive::setSpaceQuery({}); });

    ExportRun exported(new ArchiveExporter(name, QString(), dest));
    exported.start();
    QVERIFY(exported.wait());
    VERIFY_ENDS(exported, exportCode, kExportEnds);
    QCOMPARE(asked, destinationExists ? QStringList({dest}) : QStringList());
    if (exportCode == ExportNoSpace)
      QVERIFY(exported.last().toLongLong() > 5000 - available);
    if (exportCode != ExportFinished)
      QVERIFY(tree(dest).isEmpty());

    const QString archive = m_root.path() + "/measured.tavorenproject";
    const QByteArray bytes = header("Measured") + entry("notes.txt", bytesOf("notes", 5000));
    QVERIFY(writeAll(archive, bytes));
    const QString into = freshFolder("measured-into") + (destinationExists ? "" : "/none");
    ImportRun imported(new ArchiveImporter(archive, into));
    imported.start();
    QVERIFY(imported.wait());
    VERIFY_ENDS(imported, importCode, kImportEnds);
    if (importCode == ImportNoSpace)
      QCOMPARE(imported.last().toLongLong(), bytes.size() - available);
    if (importCode == ImportFinished)
      QCOMPARE(readAll(into + "/Measured/notes.txt"), bytesOf("notes", 5000));
    else
      QVERIFY(tree(into).isEmpty());
  }

  void importInterrupted()
  {
    const QString archives = freshFolder("archives");
    const QString path = archives + "/big.tavorenproject";
    const QByteArray big = QByteArray(5 * 1024 * 1024 + 3, 'b');
    QVERIFY(writeAll(path, header("Big") + entry("small", "s") + entry("big.mov", big) + entry("after", "a")));

    // Cancelled in the middle of the large entry: stops after the current chunk.
    QString dest = freshFolder("dest");
    ImportRun cancelled(new ArchiveImporter(path, dest));
    int progress = 0;
    QStringList listed;
    cancelled.react = [&](ArchiveImporter *importer, int code) {
      // Mid-import the projects browser sees no half-made project.
      if (code == ImportProgress && ++progress == 1)
        listed = QDir(dest).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
      if (code == ImportProgress && progress == 2)
        importer->cancel();
    };
    cancelled.start();
    QVERIFY(cancelled.wait());
    VERIFY_ENDS(cancelled, ImportCancelled, kImportEnds);
    QCOMPARE(cancelled.codes().count(ImportProgress), 2);
    QCOMPARE(listed, QStringList());
    QVERIFY(tree(dest).isEmpty());

    // A full device: the short write fails the import and the folder goes.
    dest = freshFolder("dest");
    ImportRun full(new ArchiveImporter(path, dest));
    withFileSizeLimit(1024 * 1024, [&] {
      full.start();
      return full.wait() ? 0 : -1;
    });
    VERIFY_ENDS(full, ImportDamaged, kImportEnds);
    QVERIFY(tree(dest).isEmpty());
  }

  // Archives from elsewhere: every damaged or malicious one ends without 100, leaves nothing
  // in or outside its destination, and allocates nothing by its size fields.
  void hostileArchives()
  {
    const QString base = freshFolder("hostile");
    const QString outside = base + "/outside";
    QVERIFY(writeAll(outside + "/victim", "untouched"));
    const QByteArray p = header("P");
    const QByteArray good = entry("ok.txt", "fine");
    const QByteArray planted = (outside + "/planted").toUtf8();
    struct Case
    {
      const char *name;
      QByteArray bytes;
      int code;
    };
    const QList<Case> cases = {
        {"empty file", "", ImportBadMagic},
        {"short magic", "tavo", ImportBadMagic},
        {"bad magic", "tavoren_" + le32(3) + le32(1) + "P", ImportBadMagic},
        {"version 4", header("P", 4), ImportHigherVersion},
        {"version max", header("P", 0x7fffffff), ImportHigherVersion},
        {"no name", "tavoren " + le32(3), ImportBadName},
        {"name length 0", "tavoren " + le32(3) + le32(0), ImportBadName},
        {"name length negative", "tavoren " + le32(3) + le32(-1) + "PPPP", ImportBadName},
        {"name length huge", "tavoren " + le32(3) + le32(0x7fffffff) + "PPPP", ImportBadName},
        {"name past the end", "tavoren " + le32(3) + le32(50) + "PPP", ImportBadName},
        {"name ..", header(".."), ImportBadName},
        {"name .", header("."), ImportBadName},
        {"name ../evil", header("../evil"), ImportBadName},
        {"name absolute", header(planted), ImportBadName},
        {"name a/b", header("a/b"), ImportBadName},
        {"name backslash", header("a\\b"), ImportBadName},
        {"name tab", header("a\tb"), ImportBadName},
        {"name NUL first", header(QByteArray("\0abc", 4)), ImportBadName},
        {"name 256 bytes", header(QByteArray(256, 'n')), ImportBadName},
        {"entry length 0", p + good + le32(0), ImportDamaged},
        {"entry length negative", p + good + le32(-5) + "xxxx", ImportDamaged},
        {"entry length huge", p + good + le32(0x7fffffff) + "xxxx", ImportDamaged},
        {"entry ../", p + good + entry("../escaped", "x"), ImportDamaged},
        {"entry ../../outside", p + entry("../../outside/victim", "overwritten"), ImportDamaged},
        {"entry absolute", p + entry(planted, "x"), ImportDamaged},
        {"entry a/b", p + entry("a/b", "x"), ImportDamaged},
        {"entry ..", p + entry("..", "x"), ImportDamaged},
        {"entry .", p + entry(".", "x"), ImportDamaged},
        {"entry backslash", p + entry("..\\x", "x"), ImportDamaged},
        {"entry control", p + entry("a\x01", "x"), ImportDamaged},
        {"entry NUL only", p + entry(QByteArray("\0", 1), "x"), ImportDamaged},
        {"entry 256 bytes", p + entry(QByteArray(256, 'e'), "x"), ImportDamaged},
        {"size 2^63", p + le32(1) + "x" + le64(quint64(1) << 63) + "data", ImportDamaged},
        {"size 2^64-1", p + le32(1) + "x" + le64(~quint64(0)) + "data", ImportDamaged},
        {"truncated in data", p + good + entry("cut", QByteArray(100, 'c')).left(60), ImportDamaged},
        {"truncated in size", p + good + le32(1) + "x" + QByteArray("\x05\x00", 2), ImportDamaged},
        {"truncated in length", p + good + QByteArray("\x05\x00", 2), ImportDamaged},
        {"truncated in name", p + le32(10) + "abc", ImportDamaged},
    };
    const QMap<QString, QByteArray> accepted = {
        {"duplicate", p + entry("a", "first") + entry("a", "second")},
        {"zero size", p + entry("zero", "")},
        {"carriage return", header("P\rQ") + entry("x\ry", "cr")},
        {"nul padded", p + entry(QByteArray("abc\0\0\0", 6), "padded")},
    };

    const QString archives = m_root.path() + QStringLiteral("/hostile-archives-%1").arg(m_count);
    std::vector<std::unique_ptr<ImportRun>> runs;
    QStringList labels;
    auto add = [&](const QString &label, const QByteArray &bytes) {
      const QString file = archives + '/' + QString::number(labels.size()) + ".tavorenproject";
      QVERIFY(writeAll(file, bytes));
      QVERIFY(QDir().mkpath(base + "/dest/" + QString::number(labels.size())));
      runs.push_back(std::make_unique<ImportRun>(
          new ArchiveImporter(file, base + "/dest/" + QString::number(labels.size()))));
      labels << label;
    };
    for (const Case &c : cases)
      add(QString::fromLatin1(c.name), c.bytes);
    for (auto it = accepted.cbegin(); it != accepted.cend(); ++it)
      add(it.key(), it.value());
    const QMap<QString, qint64> before = tree(base);

    // One malloc arena keeps the address-space limit about allocations, not thread arenas.
    mallopt(M_ARENA_MAX, 1);
    rlimit oldLimit;
    getrlimit(RLIMIT_AS, &oldLimit);
#if !defined(__SANITIZE_ADDRESS__)
    QFile statm("/proc/self/statm");
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const rlim_t used = rlim_t(statm.readAll().split(' ').first().toLongLong() * sysconf(_SC_PAGESIZE));
    rlimit tight = oldLimit;
    tight.rlim_cur = used + (rlim_t(768) << 20);
    setrlimit(RLIMIT_AS, &tight);
#endif
    for (auto &run : runs)
      run->start();
    bool allEnded = true;
    for (auto &run : runs)
      allEnded = run->wait(30000) && allEnded;
    setrlimit(RLIMIT_AS, &oldLimit);
    QVERIFY(allEnded);

    for (int i = 0; i < cases.size(); ++i) {
      QString why;
      QVERIFY2(runs[size_t(i)]->endsWith(cases[i].code, kImportEnds, &why), qPrintable(labels[i] + ": " + why));
    }
    QMap<QString, qint64> after = tree(base);
    const int first = cases.size();
    auto made = [&](int index) { return QStringLiteral("dest/%1/").arg(first + index); };
    for (int i = 0; i < accepted.size(); ++i) {
      QString why;
      QVERIFY2(runs[size_t(first + i)]->endsWith(ImportFinished, kImportEnds, &why), qPrintable(labels[first + i] + ": " + why));
    }
    // Nothing outside the accepted archives' new folders has changed.
    QCOMPARE(readAll(base + '/' + made(0) + "P_Q/x_y"), QByteArray("cr"));
    QCOMPARE(readAll(base + '/' + made(1) + "P/a"), QByteArray("second"));
    QCOMPARE(readAll(base + '/' + made(2) + "P/abc"), QByteArray("padded"));
    QVERIFY(QFileInfo(base + '/' + made(3) + "P/zero").size() == 0 && QFile::exists(base + '/' + made(3) + "P/zero"));
    for (auto it = after.begin(); it != after.end();) {
      bool ours = false;
      for (int i = 0; i < accepted.size(); ++i)
        ours = ours || (it.key().startsWith(made(i)) && it.key() != made(i).chopped(1));
      it = ours ? after.erase(it) : std::next(it);
    }
    QCOMPARE(after, before);
    QDir(archives).removeRecursively();
  }
};

TAVO_TEST_CORE_MAIN(TestProjectArchive)
#include "tst_projectarchive.moc"
