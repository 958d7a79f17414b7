#include "testenv.h"
#include "wholefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <linux/capability.h>
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

} // namespace

class TestWholeFile : public QObject
{
  Q_OBJECT
private slots:
  // project/project.xml is saved; "link" is what stands there (empty: a plain file), "target"
  // the file the bytes are meant for. project/middle.xml links to elsewhere/kept.xml.
  void replacesWhatThePathNames_data()
  {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("relative link into another folder")
        << "../elsewhere/kept.xml" << "elsewhere/kept.xml" << true << false;
    QTest::newRow("link to a link") << "middle.xml" << "elsewhere/kept.xml" << true << false;
    QTest::newRow("link to a file not made yet") << "../elsewhere/new.xml" << "elsewhere/new.xml" << false << false;
    QTest::newRow("file its owner made read-only") << "" << "project/project.xml" << true << true;
    QTest::newRow("link to a read-only file") << "middle.xml" << "elsewhere/kept.xml" << true << true;
  }

  // A link is written through and stays; a read-only file is refused and kept as it was.
  void replacesWhatThePathNames()
  {
    QFETCH(QString, link);
    QFETCH(QString, target);
    QFETCH(bool, existing);
    QFETCH(bool, readOnly);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("project") && QDir(root.path()).mkpath("elsewhere"));
    QVERIFY(QFile::link("../elsewhere/kept.xml", root.filePath("project/middle.xml")));
    const QString path = root.filePath("project/project.xml");
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
    QCOMPARE(QFile::symLinkTarget(path).isEmpty(), link.isEmpty());
    if (existing)
      QCOMPARE(QFile::permissions(target) & ~QFileDevice::Permissions(0x0f00), mode);
    QStringList parts;
    QDirIterator it(root.path(), {"*.part"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
      parts << it.next();
    QCOMPARE(parts, QStringList());
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

