// Time from process start to the start window's first paint: the first run in a fresh home
// (the example projects are copied) and later runs in the same home. Each run is a new process
// (this program started again with --child), timed by the parent from start to the child's
// "painted" line. Aim: later runs under 1.5 s on a developer machine.
#include "startwindow.h"
#include "usersettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kLaterRuns = 5;

// Reports the window's first paint on stdout and ends the process.
class FirstPaint : public QObject
{
public:
  bool eventFilter(QObject *, QEvent *event) override
  {
    if (event->type() == QEvent::Paint) {
      std::fputs("painted\n", stdout);
      std::fflush(stdout);
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return false;
  }
};

int runChild(int argc, char **argv)
{
  QCoreApplication::setOrganizationName("Tarnholm");
  QCoreApplication::setApplicationName("Tavo REN");
  QApplication app(argc, argv);
  StartWindow window;
  FirstPaint firstPaint;
  window.installEventFilter(&firstPaint);
  window.show();
  return app.exec();
}

// Milliseconds from starting the child to its "painted" line; -1 on failure.
qint64 timeOneRun(const QString &program, const QString &home)
{
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", home);
  env.insert("XDG_CONFIG_HOME", home + "/config");
  env.insert("XDG_CACHE_HOME", home + "/cache");
  env.insert("XDG_DATA_HOME", home + "/data");
  // The version check must not leave the machine.
  env.insert("TAVO_UPDATE_CHECK_URL", "http://127.0.0.1:9/");
  child.setProcessEnvironment(env);
  QElapsedTimer timer;
  timer.start();
  child.start(program, {"--child"});
  while (child.waitForReadyRead(30000))
    if (child.readAllStandardOutput().contains("painted"))
      break;
  const qint64 elapsed = timer.elapsed();
  if (!child.waitForFinished(10000))
    child.kill();
  return child.exitCode() == 0 && child.exitStatus() == QProcess::NormalExit ? elapsed : -1;
}

} // namespace

int main(int argc, char **argv)
{
  if (argc >= 2 && qstrcmp(argv[1], "--child") == 0)
    return runChild(argc, argv);

  QCoreApplication app(argc, argv);
  QTemporaryDir home;
  const QString program = QCoreApplication::applicationFilePath();
  const qint64 first = timeOneRun(program, home.path());
  std::printf("start window, first run (examples copied): %lld ms\n", static_cast<long long>(first));
  qint64 best = -1;
  qint64 sum = 0;
  for (int i = 0; i < kLaterRuns; ++i) {
    const qint64 ms = timeOneRun(program, home.path());
    if (ms < 0) {
      std::printf("start window, later run failed\n");
      return 1;
    }
    sum += ms;
    best = best < 0 ? ms : qMin(best, ms);
  }
  std::printf("start window, later runs: best %lld ms, mean %lld ms (aim: under 1500 ms)\n",
              static_cast<long long>(best), static_cast<long long>(sum / kLaterRuns));
  return first < 0 ? 1 : 0;
}
