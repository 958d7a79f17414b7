#include "testenv.h"

#include "crashhandler.h"
#include "crashreport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString programDumpFolder()
{
  return QFileInfo(TAVOREN_EXECUTABLE).absolutePath() + "/DumpCrashes";
}

QStringList dumps(const QString &folder)
{
  return QDir(folder).entryList({"*.dmp"}, QDir::Files, QDir::Name);
}

QString readText(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TstAppCrashReport : public QObject
{
  Q_OBJECT

private slots:
  void message()
  {
    CrashReport report;
    report.fileName = "20261207085707.dmp";
    report.folder = "/opt/tavoren/DumpCrashes/";
    report.code = SIGSEGV;
    report.address = 0x7ffd0010abcULL;
    QCOMPARE(report.message(), QStringLiteral("App crash catched!\n\nError code: 0xb\nError address: 0x7ffd0010abc\n\n"
                                              "Crash report '20261207085707.dmp' has been saved to /opt/tavoren/DumpCrashes/"));
    QCOMPARE(CrashReport::title(), QStringLiteral("Crash Occurs"));
  }

  // The real program, made to crash: a dump beside the executable, the helper window, and death by the signal.
  void programCrash_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("platform");
    QTest::newRow("null pointer") << "segv" << int(SIGSEGV) << "SIGSEGV" << QString();
    QTest::newRow("abort") << "abort" << int(SIGABRT) << "SIGABRT" << QString();
    QTest::newRow("worker thread") << "thread" << int(SIGSEGV) << "SIGSEGV" << QString();
    // Nobody could close a window there: the report goes to stderr only, and the process still ends.
    QTest::newRow("offscreen") << "segv" << int(SIGSEGV) << "SIGSEGV" << "offscreen";
  }

  void programCrash()
  {
    QFETCH(QString, kind);
    QFETCH(int, signal);
    QFETCH(QString, name);
    QFETCH(QString, platform);
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("TAVO_TEST_CRASH", kind);
    env.insert(CrashReport::closeAfterKey, "500");
    if (!platform.isEmpty())
      env.insert("QT_QPA_PLATFORM", platform);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(TAVOREN_EXECUTABLE, QStringList());
    const qint64 pid = program.waitForStarted(60000) ? program.processId() : 0;
    const bool finished = program.waitForFinished(60000);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(finished, qPrintable(QStringLiteral("%1, state %2, stderr:\n%3")
                                      .arg(program.errorString()).arg(program.state()).arg(errors.right(3000))));

    QCOMPARE(program.exitStatus(), QProcess::CrashExit);
    QCOMPARE(program.exitCode(), signal);
    // The dump is the one this crash names, written by this process: the folder beside the
    // executable is shared with any other copy of the program that crashes meanwhile.
    const QString file = QRegularExpression("Crash report '(\\d{14}\\.dmp)' has been saved to ").match(errors).captured(1);
    QVERIFY2(!file.isEmpty(), qPrintable(errors.right(1000)));
    const QString dump = programDumpFolder() + "/" + file;
    const QString content = readText(dump);
    QFile::remove(dump);

    QVERIFY2(content.contains(QString("Process: %1\n").arg(pid)), qPrintable(content.left(300)));
    QVERIFY2(content.contains(QString("Signal: %1 (%2)\n").arg(signal).arg(name)), qPrintable(content.left(300)));
    QVERIFY(content.contains("\nBacktrace:\n"));
    QVERIFY(content.contains("\nMemory map:\n"));
    QVERIFY(content.contains("tavoren")); // the map names the executable
    const QString process = QRegularExpression("Process: (\\d+)\n").match(content).captured(1);
    const QString thread = QRegularExpression("Thread: (\\d+)\n").match(content).captured(1);
    QVERIFY(!process.isEmpty() && !thread.isEmpty());
    QCOMPARE(thread != process, kind == "thread");

    QVERIFY(errors.contains("begin ApplicationCrashHandler"));
    QVERIFY(errors.contains(QString("Error code: 0x%1\n").arg(signal, 0, 16)));
    QVERIFY(errors.contains(QString("Crash report '%1' has been saved to %2/").arg(file, programDumpFolder())));
    QVERIFY(errors.contains("Crash Occurs\nApp crash catched!\n"));
    if (platform.isEmpty() && CrashReport::canShowWindow())
      QVERIFY2(errors.contains("Crash report window shown: Crash Occurs"), qPrintable(errors.right(500)));
    if (!platform.isEmpty())
      QVERIFY(!errors.contains("Crash report window"));
    QVERIFY(errors.contains("end ApplicationCrashHandler"));
  }

  // The helper process ends as the program does, with or without its window: the libraries'
  // exit handlers, where a sound connection can abort it, do not run.
  void reportHelperEnd_data()
  {
    QTest::addColumn<QString>("platform");
    QTest::newRow("window") << QString();
    QTest::newRow("no window") << "offscreen";
  }

  void reportHelperEnd()
  {
    QFETCH(QString, platform);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(CrashReport::fileKey, "20261207085707.dmp");
    env.insert(CrashReport::closeAfterKey, "100");
    env.insert("LD_PRELOAD", EXIT_WITNESS);
    // Under AddressSanitizer its runtime would refuse to come after the witness.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    if (!platform.isEmpty())
      env.insert("QT_QPA_PLATFORM", platform);
    QProcess helper;
    helper.setProcessEnvironment(env);
    helper.start(TAVOREN_EXECUTABLE, {CrashReport::modeArgument});
    QVERIFY(helper.waitForFinished(60000));
    const QString errors = QString::fromUtf8(helper.readAllStandardError());
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 0);
    QVERIFY2(errors.contains("Crash report '20261207085707.dmp'"), qPrintable(errors));
    QVERIFY2(!errors.contains("exit handlers ran"), qPrintable(errors));
  }

  // The handler in a forked child: the dump folder is made with its parents, or, when it
  // cannot be made, the process ends without a dump.
  void dumpFolder_data()
  {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("made");
    QTest::newRow("missing parents") << "nested/deeper/DumpCrashes" << true;
    QTest::newRow("a file in the way") << "blocker/DumpCrashes" << false;
  }

  void dumpFolder()
  {
    QFETCH(QString, folder);
    QFETCH(bool, made);
    QTemporaryDir root;
    QFile blocker(root.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString target = root.filePath(folder);
    const QByteArray errorsPath = QFile::encodeName(root.filePath("stderr.txt"));

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
      const int fd = ::open(errorsPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, STDERR_FILENO);
      CrashHandler::install(target + "/", QString());
      CrashHandler::crashForTesting("segv");
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGSEGV);

    const QString errors = readText(QFile::decodeName(errorsPath));
    QCOMPARE(dumps(target).size(), made ? 1 : 0);
    QCOMPARE(errors.contains("Create DumpCrashes failed"), !made);
    QCOMPARE(errors.contains("end ApplicationCrashHandler"), made);
  }
};

TAVO_TEST_CORE_MAIN(TstAppCrashReport)
#include "tst_app_crashreport.moc"
