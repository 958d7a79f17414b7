// A test process that aborts after its test functions, as a library's teardown can at exit,
// leaves in its log where it died.
#include "testenv.h"

#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>

class TestFatalSignal : public QObject
{
  Q_OBJECT

private slots:
  void abortAtExitLeavesBacktrace()
  {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVO_TEST_ABORT_AT_EXIT"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QString log = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(log.contains(QStringLiteral("fatal signal Aborted in the test process")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("libc.so.6(abort+")), qPrintable(log));
    // With gdb, every thread's frames, down to the function that aborted.
    if (!QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
      QVERIFY2(log.contains(QStringLiteral("Thread 1")) && log.contains(QStringLiteral("abortAtExit")), qPrintable(log));
  }
};

namespace {
void abortAtExit()
{
  std::abort();
}
} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsSet("TAVO_TEST_ABORT_AT_EXIT")) {
    TestEnv::isolateUserState(false);
    std::atexit(abortAtExit);
    return 0;
  }
  TestEnv::isolateUserState(false);
  int code;
  {
    QCoreApplication app(argc, argv);
    TestFatalSignal test;
    code = QTest::qExec(&test, argc, argv);
  }
  TestEnv::endProcess(code);
}

#include "tst_fatalsignal.moc"
