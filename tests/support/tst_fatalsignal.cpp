// A test process that aborts, outside its test functions as a library's own thread can or
// inside one, leaves in its log where it died; a test run leaves nothing in its temporary
// folder, not even the home of a child that died.
#include "testenv.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>

namespace {
// Starts this program again in one of the modes of main; TMPDIR as given, unless empty.
void startSelf(QProcess &child, const QString &mode, const QString &temp = QString())
{
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TAVO_TEST_ABORT"), mode);
  if (!temp.isEmpty())
    environment.insert(QStringLiteral("TMPDIR"), temp);
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(), QStringList());
}

[[noreturn]] void abortOutsideTests()
{
  std::abort();
}

// Leaves in the temporary folder what tests and the program leave there, and has a child
// that is killed before it can clean up; 0 when all was made.
int leaveThingsBehind()
{
  const QString temp = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
  QFile take(temp + "/1700000000000.wav");
  QTemporaryDir kept;
  kept.setAutoRemove(false);
  QProcess child;
  startSelf(child, QStringLiteral("killed"));
  const bool killed = child.waitForFinished(60000) && child.exitStatus() == QProcess::CrashExit;
  return take.open(QIODevice::WriteOnly) && take.write("RIFF") == 4 && kept.isValid() && killed ? 0 : 1;
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
  // A test run leaves nothing in the temporary folder it was given: neither what it wrote
  // there (a recorder's take, a scratch folder kept) nor the home of a child that died.
  void runLeavesNothingBehind()
  {
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    QProcess child;
    startSelf(child, QStringLiteral("leave"), temp.path());
    QVERIFY(child.waitForFinished(120000));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
    const QStringList left = QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(", ")));
  }

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
    startSelf(child, where);
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
    if (abort == "killed")
      ::raise(SIGKILL);
    if (abort == "leave")
      return leaveThingsBehind();
    if (abort == "function") {
      AbortingTest test;
      return TestEnv::execTests(&test, argc, argv);
    }
    TestFatalSignal test;
    return TestEnv::execTests(&test, argc, argv);
  });
}

#include "tst_fatalsignal.moc"
