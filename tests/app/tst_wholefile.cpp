#include "filesizelimit.h"
#include "testenv.h"
#include "wholefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <thread>

namespace {

QByteArray readAll(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeOld(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("old") == 3;
}

WholeFile::Result writeNew(const QString &path, QString *error)
{
  return WholeFile::write(
      path, [](QFileDevice &file) { return file.write("new") == 3; }, true, error);
}

// Takes from the calling thread only what lets root pass the permission bits of files and
// folders, so a test run as root meets them as their owner would.
bool dropPermissionOverrides()
{
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (::syscall(SYS_capget, &header, data) != 0)
    return false;
  for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
    data[capability / 32].effective &= ~(1u << (capability % 32));
  return ::syscall(SYS_capset, &header, data) == 0;
}

// Mounts a device of 64 KiB at folder, seen by the calling thread only and gone with it.
bool mountSmallDevice(const QString &folder)
{
  return ::unshare(CLONE_FS | CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
         && ::mount("tavo-full", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=64k") == 0;
}

} // namespace

class TestWholeFile : public QObject
{
  Q_OBJECT
private slots:
  // project/project.xml is saved, or via/project.xml where "via" links to deep/project; "link"
  // is what stands there (empty: a plain file), "target" the file the bytes are meant for.
  // project/middle.xml and deep/project/middle.xml link to ../elsewhere/kept.xml. A relative
  // link is read from its folder as the system finds it, so ".." out of via leads into deep.
  void replacesWhatThePathNames_data()
  {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("relative link into another folder")
        << "project" << "../elsewhere/kept.xml" << "elsewhere/kept.xml" << true << false;
    QTest::newRow("link to a link") << "project" << "middle.xml" << "elsewhere/kept.xml" << true << false;
    QTest::newRow("link to a file not made yet")
        << "project" << "../elsewhere/new.xml" << "elsewhere/new.xml" << false << false;
    QTest::newRow("file its owner made read-only") << "project" << "" << "project/project.xml" << true << true;
    QTest::newRow("link to a read-only file") << "project" << "middle.xml" << "elsewhere/kept.xml" << true << true;
    QTest::newRow("relative link in a linked folder")
        << "via" << "../elsewhere/kept.xml" << "deep/elsewhere/kept.xml" << true << false;
    QTest::newRow("link to a link in a linked folder")
        << "via" << "middle.xml" << "deep/elsewhere/kept.xml" << true << false;
    QTest::newRow("file not made yet from a linked folder")
        << "via" << "../elsewhere/new.xml" << "deep/elsewhere/new.xml" << false << false;
    QTest::newRow("read-only file from a linked folder")
        << "via" << "../elsewhere/kept.xml" << "deep/elsewhere/kept.xml" << true << true;
  }

  // A link is written through and stays; a read-only file is refused and kept as it was.
  void replacesWhatThePathNames()
  {
    QFETCH(QString, folder);
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(bool, existing);
    QFETCH(bool, readOnly);
    QTemporaryDir temporary;
    const QDir root(QFileInfo(temporary.path()).canonicalFilePath());
    const QStringList others = {root.filePath("elsewhere/kept.xml"), root.filePath("deep/elsewhere/kept.xml")};
    for (const char *made : {"project", "elsewhere", "deep/project", "deep/elsewhere"})
      QVERIFY(root.mkpath(made));
    for (const char *middle : {"project/middle.xml", "deep/project/middle.xml"})
      QVERIFY(QFile::link("../elsewhere/kept.xml", root.filePath(middle)));
    QVERIFY(QFile::link("deep/project", root.filePath("via")));
    for (const QString &other : others)
      QVERIFY(writeOld(other));
    const QString path = root.filePath(folder + "/project.xml");
    target = root.filePath(target);
    if (!link.isEmpty())
      QVERIFY(QFile::link(link, path));
    QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
    if (!readOnly)
      mode |= QFileDevice::WriteOwner;
    if (existing)
      QVERIFY(writeOld(target) && QFile::setPermissions(target, mode));

    QString error;
    QCOMPARE(int(writeNew(path, &error)), int(readOnly ? WholeFile::CannotCreate : WholeFile::Written));

    QCOMPARE(error, readOnly ? QStringLiteral("Existing file %1 is not writable").arg(target) : QString());
    QCOMPARE(readAll(target), QByteArray(readOnly ? "old" : "new"));
    for (const QString &other : others)
      if (other != target)
        QCOMPARE(readAll(other), QByteArray("old"));
    QCOMPARE(QFile::symLinkTarget(path).isEmpty(), link.isEmpty());
    if (existing)
      QCOMPARE(QFile::permissions(target) & ~QFileDevice::Permissions(0x0f00), mode);
    QStringList parts;
    QDirIterator it(root.path(), {"*.part"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
      parts << it.next();
    QCOMPARE(parts, QStringList());
  }

  // A device that fills part-way through the write says so, as the system words it, whether
  // the bytes meet the end in buffered pieces or in one large write.
  void fullDeviceSaysSo_data()
  {
    QTest::addColumn<bool>("smallDevice");
    QTest::addColumn<int>("piece");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full during small writes") << true << 100 << "No space left on device";
    QTest::newRow("disk full during one large write") << true << 256 * 1024 << "No space left on device";
    QTest::newRow("file size limit reached part-way") << false << 100 << "File too large";
  }
  void fullDeviceSaysSo()
  {
    QFETCH(bool, smallDevice);
    QFETCH(int, piece);
    QFETCH(QString, reason);
    QTemporaryDir root;
    QString error;
    auto writeLong = [&] {
      return int(WholeFile::write(
          root.filePath("project.xml"),
          [piece](QFileDevice &file) {
            for (int total = 0; total < 256 * 1024; total += piece)
              if (file.write(QByteArray(piece, 'x')) != piece)
                return false;
            return true;
          },
          true, &error));
    };
    bool mounted = !smallDevice;
    int result = WholeFile::Written;
    // The device is seen by the writing thread only.
    std::thread writer([&] {
      if (!smallDevice)
        result = withFileSizeLimit(1000, writeLong);
      else if ((mounted = mountSmallDevice(root.path())))
        result = writeLong();
    });
    writer.join();
    if (!mounted)
      QSKIP("no small device can be mounted here");
    QCOMPARE(result, int(WholeFile::WriteFailed));
    QCOMPARE(error, reason);
  }

  // Once the new file is in place the save has succeeded, even where its folder cannot be
  // opened to be synced.
  void folderThatCannotBeSynced()
  {
    QTemporaryDir root;
    const QString path = root.filePath("project.xml");
    QVERIFY(writeOld(path));
    QVERIFY(QFile::setPermissions(root.path(), QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("project.xml, but its folder could not be synced"));
    bool dropped = false;
    WholeFile::Result result = WholeFile::CannotCreate;
    std::thread writer([&] {
      dropped = dropPermissionOverrides();
      result = writeNew(path, nullptr);
    });
    writer.join();
    QVERIFY(QFile::setPermissions(root.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(dropped);
    QCOMPARE(int(result), int(WholeFile::Written));
    QCOMPARE(readAll(path), QByteArray("new"));
  }
};

TAVO_TEST_CORE_MAIN(TestWholeFile)
#include "tst_wholefile.moc"

