#include "testenv.h"

#include "application.h"
#include "crashreport.h"
#include "multilanguage.h"
#include "singleinstance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

// A running copy of the program with a private runtime folder, so its channel meets only ours.
class ProgramRun
{
public:
  ProgramRun(const QString &runtimeDir, const QStringList &arguments, const QString &workingDir = QString())
  {
    process.setWorkingDirectory(workingDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(TAVOREN_EXECUTABLE, arguments);
  }
  ~ProgramRun()
  {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(30000);
    }
  }

  // Waits until the program has printed the line.
  bool waitForOutput(const QString &line, int timeoutMs = 60000)
  {
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(line)) {
      if (timer.elapsed() > timeoutMs)
        return false;
      process.waitForReadyRead(100);
      output += QString::fromUtf8(process.readAll());
    }
    return true;
  }

  // For failure messages: how the process stands and everything it printed so far.
  QString describe()
  {
    output += QString::fromUtf8(process.readAll());
    return QStringLiteral("%1, state %2, exit %3/%4, output:\n%5")
        .arg(process.errorString()).arg(process.state()).arg(process.exitStatus()).arg(process.exitCode())
        .arg(output.right(3000));
  }

  QProcess process;
  QString output;
};

bool waitForFile(const QString &path, const QProcess &program, int timeoutMs = 30000)
{
  QElapsedTimer timer;
  timer.start();
  while (!QFileInfo::exists(path) && timer.elapsed() < timeoutMs && program.state() != QProcess::NotRunning)
    QTest::qWait(50);
  return QFileInfo::exists(path);
}

// Whether a process listens on the socket file: a started program answers there only once its
// server runs, and a stale file left by a killed one has nobody behind it. Read from the kernel's
// table, so no probing connection reaches the program.
bool isListening(const QString &path)
{
  QFile table("/proc/net/unix");
  if (!table.open(QIODevice::ReadOnly))
    return false;
  const QByteArray name = QFile::encodeName(path);
  for (const QByteArray &line : table.readAll().split('\n')) {
    // Num RefCount Protocol Flags Type St Inode Path, where the path may hold spaces; flag
    // 00010000 marks a listening socket.
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() >= 8 && fields.at(3) == "00010000" && line.endsWith(" " + name))
      return true;
  }
  return false;
}

// Start-up of a child takes seconds on a loaded machine; whoever comes next must find it listening.
// A program that did not start or has ended will not listen: no use waiting for it.
bool waitForListener(const QString &path, const QProcess &program, int timeoutMs = 30000)
{
  QElapsedTimer timer;
  timer.start();
  while (!isListening(path) && timer.elapsed() < timeoutMs) {
    if (program.state() == QProcess::NotRunning)
      return false;
    QTest::qWait(50);
  }
  return isListening(path);
}

} // namespace

class TstAppStartup : public QObject
{
  Q_OBJECT

private slots:
  void startWindowGeometry_data()
  {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1920x1040") << QRect(0, 0, 1920, 1040) << QRect(405, 104, 1109, 832);
    QTest::newRow("taskbar on the left") << QRect(70, 0, 1850, 1040) << QRect(440, 104, 1109, 832);
    QTest::newRow("portrait fits the width") << QRect(0, 0, 1080, 1920) << QRect(192, 699, 696, 522);
    QTest::newRow("inset truncated") << QRect(0, 0, 1366, 728) << QRect(293, 72, 778, 584);
  }

  void startWindowGeometry()
  {
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(Application::startWindowGeometry(available), expected);
  }

  void channelName()
  {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QCOMPARE(SingleInstance::serverName("tavoren"), runtime.path() + "/tavoren.instance");
    QCOMPARE(SingleInstance::serverOptions(SingleInstance::serverName("tavoren")), QLocalServer::NoOptions);

    // Without a runtime folder (or one too long for a socket path) the name carries the user.
    const QString perUser = "tavoren-" + QString::number(::getuid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path() + "/missing"));
    QCOMPARE(SingleInstance::serverName("tavoren"), perUser);
    const QString deep = runtime.path() + "/" + QString(120, 'd');
    QVERIFY(QDir().mkpath(deep));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
    QCOMPARE(SingleInstance::serverName("tavoren"), perUser);
    QCOMPARE(SingleInstance::serverOptions(perUser), QLocalServer::UserAccessOption);
    qputenv("XDG_RUNTIME_DIR", saved);
  }

  void fileOpenEvent()
  {
    auto *application = qobject_cast<Application *>(qApp);
    QSignalSpy opened(application, &Application::openExternalFile);
    QFileOpenEvent event(QStringLiteral("/tmp/Übung.tavorenproject"));
    QCoreApplication::sendEvent(application, &event);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), QStringLiteral("/tmp/Übung.tavorenproject"));
  }

  // The first instance's side, with a peer that sends one path in pieces, cut inside a character.
  void connectionRaisesWindowAndOpensWholeText()
  {
    auto *application = qobject_cast<Application *>(qApp);
    QVERIFY(!application->isRunning());
    // Without a window manager a shown window's minimise round-trips through X and can land
    // after the handler ran, so the state is set on a window that is not mapped.
    QWidget window;
    window.setWindowState(Qt::WindowMinimized);
    application->setMainWindow(&window);
    QSignalSpy opened(application, &Application::openExternalFile);

    const QString path = "/home/ü/" + QString(3000, QChar(0x6587)) + ".tavorenproject";
    const QByteArray bytes = path.toUtf8();
    const QString channel = application->channelName();
    std::thread peer([&] {
      QLocalSocket socket;
      socket.connectToServer(channel);
      if (!socket.waitForConnected(30000))
        return;
      const int cut = 7; // inside the two bytes of "ü"
      socket.write(bytes.left(cut));
      socket.waitForBytesWritten(30000);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      socket.write(bytes.mid(cut));
      socket.waitForBytesWritten(30000);
      socket.disconnectFromServer();
    });
    const bool arrived = opened.wait(10000);
    peer.join();
    QVERIFY(arrived);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), path);
    QVERIFY(!(window.windowState() & Qt::WindowMinimized));

    // A peer that sends nothing still brings the window back, and opens nothing.
    window.setWindowState(Qt::WindowMinimized);
    std::thread silent([&] {
      QLocalSocket socket;
      socket.connectToServer(channel);
      socket.waitForConnected(30000);
      socket.disconnectFromServer();
    });
    silent.join();
    QTRY_VERIFY_WITH_TIMEOUT(!(window.windowState() & Qt::WindowMinimized), 5000);
    QTest::qWait(200);
    QCOMPARE(opened.count(), 1);
    application->setMainWindow(nullptr);
  }

  // Two real processes: the second hands over its last argument and ends; a killed first
  // instance leaves its socket behind, which must not stop the next start.
  void secondInstanceForwardsAndStaleSocketIsReplaced()
  {
    QTemporaryDir runtime;
    const QString socketPath = runtime.path() + "/tavoren.instance";
    const QString archive = "/tmp/Фильм ü " + QString(20000, QChar(0x00fc)) + ".tavorenproject";

    auto first = std::make_unique<ProgramRun>(runtime.path(), QStringList());
    QVERIFY2(waitForListener(socketPath, first->process), qPrintable(first->describe()));

    ProgramRun second(runtime.path(), {"/tmp/ignored.tavorenproject", archive});
    QVERIFY2(second.process.waitForFinished(35000), qPrintable(second.describe()));
    QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process.exitCode(), 0);
    QVERIFY2(first->waitForOutput("StartWindow import project archive " + archive + "\n"),
             qPrintable(first->output.left(500)));

    ProgramRun bare(runtime.path(), {});
    QVERIFY2(bare.process.waitForFinished(35000), qPrintable(bare.describe()));
    QCOMPARE(bare.process.exitCode(), 0);
    QVERIFY(first->waitForOutput("Another instance started with \n"));

    first->process.kill();
    QVERIFY(first->process.waitForFinished(30000));
    QVERIFY(QFileInfo::exists(socketPath));
    first.reset();

    ProgramRun next(runtime.path(), {});
    QVERIFY2(next.process.waitForStarted(30000), qPrintable(next.describe()));
    QVERIFY2(waitForListener(socketPath, next.process), qPrintable(next.describe()));
    QVERIFY2(!next.process.waitForFinished(3000), qPrintable(next.describe())); // it stays: the first instance now
    // A relative path is resolved where it was typed, not in the first instance's folder.
    ProgramRun caller(runtime.path(), {"b.tavorenproject"}, runtime.path());
    QVERIFY2(caller.process.waitForFinished(35000), qPrintable(caller.describe()));
    QVERIFY(next.waitForOutput("StartWindow import project archive " + runtime.path() + "/b.tavorenproject\n"));
  }

  // Without a runtime folder the socket lies in the shared temp folder: only its user may use it.
  void channelInTempFolderIsPrivate()
  {
    QTemporaryDir temp;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("XDG_RUNTIME_DIR");
    env.insert("TMPDIR", temp.path());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(TAVOREN_EXECUTABLE, QStringList());
    const QString socketPath = temp.path() + "/tavoren-" + QString::number(::getuid());
    // A private socket is made listening elsewhere and moved here: its file means it listens.
    QVERIFY2(waitForFile(socketPath, first), qPrintable(first.errorString() + "\n" + first.readAllStandardError()));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(socketPath).permissions() & others, QFile::Permissions());

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(TAVOREN_EXECUTABLE, QStringList());
    QVERIFY2(second.waitForFinished(35000), qPrintable(second.errorString() + "\n" + second.readAllStandardError()));
    QCOMPARE(second.exitCode(), 0);
    first.kill();
    first.waitForFinished(5000);
  }

  // Under the user's file-size limit (ulimit -f) a write fails with "File too large" instead of
  // ending the program with its unsaved edits: the application object ignores SIGXFSZ.
  void fileSizeLimitDoesNotEndTheProgram()
  {
    struct sigaction action = {};
    QCOMPARE(::sigaction(SIGXFSZ, nullptr, &action), 0);
    QVERIFY(action.sa_handler == SIG_IGN);
  }

  void interfaceTranslation()
  {
    MultiLanguage language;
    QCOMPARE(CrashReport::title(), QStringLiteral("Crash Occurs"));
    language.load("zh_CN");
    QCOMPARE(language.currentLanguage(), QStringLiteral("zh_CN"));
    QCOMPARE(CrashReport::title(), QStringLiteral("程序崩溃"));
    CrashReport report;
    report.fileName = "a.dmp";
    report.folder = "/d/";
    QVERIFY2(report.message().startsWith(QStringLiteral("程序发生崩溃！\n\n错误代码: 0x0\n错误地址: 0x0\n\n崩溃报告“a.dmp”")),
             qPrintable(report.message()));
    // A language without a translation keeps the one installed.
    language.load("fr_FR");
    QCOMPARE(language.currentLanguage(), QStringLiteral("zh_CN"));
    QCOMPARE(CrashReport::title(), QStringLiteral("程序崩溃"));
  }

  void interfaceTranslationEndsWithItsOwner()
  {
    QCOMPARE(CrashReport::title(), QStringLiteral("Crash Occurs"));
  }
};

// The test program is itself the application object, so its channel and events are the real ones.
int main(int argc, char **argv)
{
  TestEnv::runProgram(true, [&] {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Whatever the parent ignored: the application object must be what ignores it.
    std::signal(SIGXFSZ, SIG_DFL);
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TstAppStartup tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return TestEnv::execTests(&tc, argc, argv);
  });
}

#include "tst_app_startup.moc"
