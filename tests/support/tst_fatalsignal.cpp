// A test process that aborts, outside its test functions as a library's own thread can or
// inside one, leaves in its log where it died.
#include "testenv.h"

#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>

namespace {
[[noreturn]] void abortOutsideTests()
{
  std::abort();
}
} // namespace

// What the child process runs when it is to abort in a test function.
class AbortingTest : public QObject
{
  Q_OBJECT

private slots:
  void aborts_data()
  {
    QTest::addColumn<int>("unused");
    QTest::newRow("the row") << 0;
  }

  void aborts()
  {
    std::abort();
  }
};

class TestFatalSignal : public QObject
{
  Q_OBJECT

private slots:
  void abortLeavesBacktrace_data()
  {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("during");
    QTest::newRow("outside the test functions") << "outside" << "abortOutsideTests" << QString();
    QTest::newRow("in a test function") << "function" << "AbortingTest::aborts" << "=== during aborts(the row) ===";
  }

  void abortLeavesBacktrace()
  {
    QFETCH(QString, where);
    QFETCH(QString, frame);
    QFETCH(QString, during);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVO_TEST_ABORT"), where);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child.waitForFinished(120000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QString log = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(log.contains(QStringLiteral("fatal signal Aborted in the test process")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("libc.so.6(abort+")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("=== during ")) == !during.isEmpty(), qPrintable(log));
    QVERIFY2(log.contains(during), qPrintable(log));
    // With gdb, every thread's frames, down to the function that aborted.
    if (!QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
      QVERIFY2(log.contains(QStringLiteral("Thread 1")) && log.contains(frame), qPrintable(log));
  }
};

int main(int argc, char **argv)
{
  TestEnv::runProgram(false, [&] {
    QCoreApplication app(argc, argv);
    const QByteArray abort = qgetenv("TAVO_TEST_ABORT");
    if (abort == "outside")
      abortOutsideTests();
    if (abort == "function") {
      AbortingTest test;
      return TestEnv::execTests(&test, argc, argv);
    }
    TestFatalSignal test;
    return TestEnv::execTests(&test, argc, argv);
  });
}

#include "tst_fatalsignal.moc"
