#include "desktopservices.h"
#include "testenv.h"
#include "util.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

// Stands in for the desktop's file manager on a private session bus.
class FakeFileManager : public QObject
{
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
  QStringList lastUris;
  QString lastStartupId;
  int calls = 0;

public slots:
  void ShowItems(const QStringList &uris, const QString &startupId)
  {
    lastUris = uris;
    lastStartupId = startupId;
    ++calls;
  }
};

class TestDesktopServices : public QObject
{
  Q_OBJECT
  QTemporaryDir m_dir{QDir::tempPath() + "/tavo-bus-XXXXXX"};
  QProcess m_bus;
  QThread m_managerThread;
  FakeFileManager *m_manager = nullptr;

private slots:
  void initTestCase()
  {
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
      QSKIP("dbus-daemon is not installed (./dev deps installs it)");
    // A bus of our own with no services to start on demand, so no real file manager answers. Its
    // socket is abstract: a path in a deep temporary folder outgrows a socket address.
    const QString config = m_dir.filePath("bus.conf");
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:abstract=" +
               (QFileInfo(m_dir.path()).fileName() + '-' + QString::number(QCoreApplication::applicationPid())).toUtf8() +
               "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
               "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
               "<allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    m_bus.start(daemon, {"--config-file=" + config, "--nofork", "--print-address=1"});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY2(m_bus.canReadLine(), m_bus.readAllStandardError().constData());
    const QByteArray address = m_bus.readLine().trimmed();
    QVERIFY2(!address.isEmpty(), m_bus.readAllStandardError().constData());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             qPrintable(QDBusConnection::sessionBus().lastError().message()));
  }

  void cleanupTestCase()
  {
    m_managerThread.quit();
    m_managerThread.wait();
    delete m_manager;
    m_bus.kill();
    m_bus.waitForFinished();
  }

  void noFileManagerOnTheBus()
  {
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!DesktopServices::instance()->showItems({QUrl::fromLocalFile(m_dir.filePath("bus.conf"))}));
    QVERIFY2(timer.elapsed() < 2000, "an absent file manager must not stall the caller");
  }

  void fileManagerShowsTheItem()
  {
    // The file manager answers from its own thread and connection, as another process would.
    m_manager = new FakeFileManager;
    m_manager->moveToThread(&m_managerThread);
    m_managerThread.start();
    QDBusConnection connection =
      QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), "file-manager");
    QVERIFY(connection.registerObject("/org/freedesktop/FileManager1", m_manager, QDBusConnection::ExportAllSlots));
    QVERIFY(connection.registerService("org.freedesktop.FileManager1"));

    const QString file = m_dir.filePath("clip #1 (final).mp4");
    QFile touch(file);
    QVERIFY(touch.open(QIODevice::WriteOnly));
    touch.close();
    Util::showFileInExplorer(file);
    QCOMPARE(m_manager->calls, 1);
    QCOMPARE(m_manager->lastUris, QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    QCOMPARE(QUrl(m_manager->lastUris.value(0)).toLocalFile(), file);
    QCOMPARE(m_manager->lastStartupId, QString());
  }
};

TAVO_TEST_CORE_MAIN(TestDesktopServices)
#include "tst_desktopservices.moc"
