#include "testenv.h"

#include "avffmpeglog.h"
#include "processexit.h"

#include <QDir>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
QTemporaryDir *g_home = nullptr;

// A test process that dies by a signal outside the test functions (QtTest reports those
// itself), such as in a library's teardown at exit, says where: the faulting thread's frames,
// then every thread's through gdb when it is installed. Only async-signal-safe calls here.
char g_gdb[512];
char g_pid[16];
char g_altStack[64 * 1024];
std::atomic<bool> g_reporting{false};

void _say(const char *text)
{
  for (size_t length = std::strlen(text); length > 0;) {
    const ssize_t written = ::write(STDERR_FILENO, text, length);
    if (written <= 0)
      return;
    text += written;
    length -= size_t(written);
  }
}

void _reportFatalSignal(int signal)
{
  if (g_reporting.exchange(true)) {
    for (;;) // another thread reports, then ends the process
      ::pause();
  }
  _say("\n=== fatal signal ");
  _say(strsignal(signal));
  _say(" in the test process: backtrace of the thread ===\n");
  // Qt Test leaves this handler in place of its own, which would name the function.
  if (const char *function = QTest::currentTestFunction()) {
    _say("=== during ");
    _say(function);
    if (const char *tag = QTest::currentDataTag()) {
      _say("(");
      _say(tag);
      _say(")");
    }
    _say(" ===\n");
  }
  void *frames[64];
  ::backtrace_symbols_fd(frames, ::backtrace(frames, 64), STDERR_FILENO);
  if (g_gdb[0]) {
    _say("=== every thread (gdb) ===\n");
    const pid_t child = ::_Fork();
    if (child == 0) {
      ::dup2(STDERR_FILENO, STDOUT_FILENO);
      const char *arguments[] = {g_gdb, "-batch", "-nx", "-iex", "set debuginfod enabled off", "-p", g_pid,
                                 "-ex", "thread apply all bt", nullptr};
      ::execv(g_gdb, const_cast<char **>(arguments));
      ::_exit(127);
    }
    int status;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  _say("=== end of the fatal signal's report ===\n");
  std::signal(signal, SIG_DFL);
  ::raise(signal);
}

void _installFatalSignalReport()
{
  const QByteArray gdb = QFile::encodeName(QStandardPaths::findExecutable(QStringLiteral("gdb")));
  if (size_t(gdb.size()) < sizeof g_gdb)
    std::strcpy(g_gdb, gdb.constData());
  std::strcpy(g_pid, QByteArray::number(qint64(::getpid())).constData());
  // gdb attaches to this process from a child of it.
  ::prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
  // The first backtrace() loads the unwinder, which allocates: not in the handler.
  void *warmUp[2];
  ::backtrace(warmUp, 2);
  stack_t stack = {};
  stack.ss_sp = g_altStack;
  stack.ss_size = sizeof g_altStack;
  ::sigaltstack(&stack, nullptr);
  struct sigaction action = {};
  action.sa_handler = _reportFatalSignal;
  action.sa_flags = SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
    ::sigaction(signal, &action, nullptr);
}

void setEnv(const char *name, const QString &value)
{
  qputenv(name, QFile::encodeName(value));
}
} // namespace

namespace TestEnv {

void isolateUserState(bool gui)
{
  _installFatalSignalReport();
  // FFmpeg's messages as the program logs them.
  avInstallFFmpegLog();
  if (!g_home) {
    g_home = new QTemporaryDir(QDir::tempPath() + "/tavo-test-home-XXXXXX");
    // For a benchmark, whose main returns.
    std::atexit([] { delete g_home; g_home = nullptr; });
  }
  const QString home = g_home->path();
  for (const char *sub : {"config", "cache", "data", "Videos", "Pictures", "Downloads", "tmp"})
    QDir(home).mkpath(sub);
  setEnv("HOME", home);
  // The temporary folder too, for this process and the ones it starts: what a test, the
  // program or a child that dies leaves there (takes, scratch folders, the child's own home)
  // goes with this home.
  setEnv("TMPDIR", home + "/tmp");
  setEnv("XDG_CONFIG_HOME", home + "/config");
  setEnv("XDG_CACHE_HOME", home + "/cache");
  setEnv("XDG_DATA_HOME", home + "/data");
  // Without user-dirs.dirs Qt falls back to $HOME/Videos etc.
  qunsetenv("XDG_VIDEOS_DIR");

  QCoreApplication::setOrganizationName("Tarnholm");
  QCoreApplication::setOrganizationDomain("tarnholm.com");
  QCoreApplication::setApplicationName("Tavo REN");

  if (gui) {
    QSurfaceFormat format;
    format.setVersion(3, 2);
    format.setProfile(QSurfaceFormat::CoreProfile);
    QSurfaceFormat::setDefaultFormat(format);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  }
}

int execTests(QObject *testObject, int argc, char **argv)
{
  const int code = QTest::qExec(testObject, argc, argv);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return code;
}

void endProcess(int code)
{
  delete g_home;
  g_home = nullptr;
  ProcessExit::end(code);
}

QString homePath()
{
  return g_home ? g_home->path() : QString();
}

QString dataPath(const QString &name)
{
  QString root = qEnvironmentVariable("TAVO_TEST_DATA");
  if (root.isEmpty())
    root = QStringLiteral(TAVO_SOURCE_DIR "/tests/data");
  return name.isEmpty() ? root : root + "/" + name;
}

QString shotPath(const QString &name)
{
  const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/shots");
  QDir().mkpath(folder);
  return folder + "/" + name;
}

} // namespace TestEnv
