#include "crashhandler.h"

#include "crashreport.h"

#include <QDateTime>
#include <QFile>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxEnvironment = 1024;

// Filled by install(); the handler only reads them.
char g_folder[PATH_MAX];
char g_helper[PATH_MAX];
long g_utcOffset = 0;
alignas(16) char g_altStack[128 * 1024];

// The handler's scratch space: static, because the stack may be nearly gone.
char g_path[PATH_MAX + 32];
char g_fileName[32];
char g_text[1024];
char g_envFile[64];
char g_envFolder[PATH_MAX + 32];
char g_envCode[64];
char g_envAddress[64];
char *g_environment[kMaxEnvironment];
void *g_frames[64];
char g_copy[4096];

// The thread that is writing the report; 0 while none.
std::atomic<long> g_reportingThread{0};

#define CRASH_STRINGIFY2(x) #x
#define CRASH_STRINGIFY(x) CRASH_STRINGIFY2(x)

// Appends to a fixed buffer without allocating; anything beyond the end is dropped.
class Text
{
public:
  Text(char *buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) { m_buffer[0] = 0; }

  Text &add(const char *text)
  {
    while (*text && m_length + 1 < m_capacity)
      m_buffer[m_length++] = *text++;
    m_buffer[m_length] = 0;
    return *this;
  }

  Text &number(unsigned long long value, unsigned base = 10, int width = 1)
  {
    char digits[32];
    int count = 0;
    do {
      digits[count++] = "0123456789abcdef"[value % base];
      value /= base;
    } while (value && count < 32);
    while (count < width && count < 32)
      digits[count++] = '0';
    char reversed[33];
    for (int i = 0; i < count; ++i)
      reversed[i] = digits[count - 1 - i];
    reversed[count] = 0;
    return add(reversed);
  }

  Text &signedNumber(long long value)
  {
    if (value < 0)
      add("-");
    return number(value < 0 ? 0ull - (unsigned long long)value : (unsigned long long)value);
  }

  const char *data() const { return m_buffer; }
  size_t length() const { return m_length; }

private:
  char *m_buffer;
  size_t m_capacity;
  size_t m_length = 0;
};

void writeAll(int fd, const char *data, size_t length)
{
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return;
    data += written;
    length -= size_t(written);
  }
}

void say(const char *text)
{
  size_t length = 0;
  while (text[length])
    ++length;
  writeAll(STDERR_FILENO, text, length);
}

bool startsWith(const char *text, const char *prefix)
{
  while (*prefix)
    if (*text++ != *prefix++)
      return false;
  return true;
}

const char *signalName(int signal)
{
  switch (signal) {
  case SIGSEGV: return "SIGSEGV";
  case SIGBUS: return "SIGBUS";
  case SIGFPE: return "SIGFPE";
  case SIGILL: return "SIGILL";
  case SIGABRT: return "SIGABRT";
  default: return "signal";
  }
}

// Creates the dump folder with its parents; true when it is a folder afterwards.
bool makeDumpFolder()
{
  if (!g_folder[0])
    return false;
  for (size_t i = 1; g_folder[i]; ++i) {
    if (g_folder[i] != '/')
      continue;
    for (size_t j = 0; j < i; ++j)
      g_path[j] = g_folder[j];
    g_path[i] = 0;
    ::mkdir(g_path, 0755);
  }
  ::mkdir(g_folder, 0755);
  struct stat info;
  return ::stat(g_folder, &info) == 0 && S_ISDIR(info.st_mode);
}

// Local date and time as "yyyyMMddhhmmss", from the offset taken at install time.
void formatLocalTime(Text &text, bool readable)
{
  const long long seconds = (long long)::time(nullptr) + g_utcOffset;
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  // Civil date from days since 1970-01-01.
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthIndex = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
  const long long month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

  const char *dateSeparator = readable ? "-" : "";
  text.number(year, 10, 4).add(dateSeparator).number(month, 10, 2).add(dateSeparator).number(day, 10, 2);
  text.add(readable ? " " : "").number(rest / 3600, 10, 2).add(readable ? ":" : "");
  text.number(rest / 60 % 60, 10, 2).add(readable ? ":" : "").number(rest % 60, 10, 2);
}

// si_addr means something only for a fault the kernel raised (si_code > 0), not for abort() or kill.
unsigned long long faultAddress(int signal, const siginfo_t *info)
{
  return signal != SIGABRT && info->si_code > 0 ? (unsigned long long)(uintptr_t)info->si_addr : 0;
}

void writeDump(int fd, int signal, const siginfo_t *info, long thread)
{
  Text header(g_text, sizeof g_text);
  header.add("Tavo REN crash report\nSignal: ").number(signal).add(" (").add(signalName(signal)).add(")\n");
  header.add("Code: ").signedNumber(info->si_code).add("\n");
  header.add("Address: 0x").number(faultAddress(signal, info), 16).add("\n");
  header.add("Process: ").number((unsigned long long)::getpid()).add("\n");
  header.add("Thread: ").number((unsigned long long)thread).add("\n");
  header.add("Time: ");
  formatLocalTime(header, true);
  header.add("\n\nBacktrace:\n");
  writeAll(fd, header.data(), header.length());

  const int frames = ::backtrace(g_frames, int(sizeof g_frames / sizeof g_frames[0]));
  ::backtrace_symbols_fd(g_frames, frames, fd);

  const char mapHeader[] = "\nMemory map:\n";
  writeAll(fd, mapHeader, sizeof mapHeader - 1);
  const int maps = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (maps >= 0) {
    ssize_t count;
    while ((count = ::read(maps, g_copy, sizeof g_copy)) > 0 || (count < 0 && errno == EINTR))
      if (count > 0)
        writeAll(fd, g_copy, size_t(count));
    ::close(maps);
  }
}

// Runs the helper executable in its report mode and waits until the user has closed its window.
void showReport(int signal, const siginfo_t *info)
{
  if (!g_helper[0])
    return;
  Text(g_envFile, sizeof g_envFile).add(CrashReport::fileKey).add("=").add(g_fileName);
  Text(g_envFolder, sizeof g_envFolder).add(CrashReport::folderKey).add("=").add(g_folder);
  Text(g_envCode, sizeof g_envCode).add(CrashReport::codeKey).add("=").number((unsigned)signal, 16);
  Text(g_envAddress, sizeof g_envAddress)
      .add(CrashReport::addressKey).add("=").number(faultAddress(signal, info), 16);
  int count = 0;
  for (char **entry = environ; entry && *entry && count < kMaxEnvironment - 5; ++entry)
    if (!startsWith(*entry, "TAVO_CRASH_"))
      g_environment[count++] = *entry;
  g_environment[count++] = g_envFile;
  g_environment[count++] = g_envFolder;
  g_environment[count++] = g_envCode;
  g_environment[count++] = g_envAddress;
  g_environment[count] = nullptr;

  const pid_t child = ::_Fork();
  if (child == 0) {
    // The handled signal is blocked here, and a blocked mask survives exec.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    char *arguments[] = {g_helper, const_cast<char *>(CrashReport::modeArgument), nullptr};
    ::execve(g_helper, arguments, g_environment);
    ::_exit(127);
  }
  if (child > 0) {
    int status;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
}

// Default action again, then the signal ends the process once the handler returns.
void endBySignal(int signal)
{
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
  ::raise(signal);
}

void applicationCrashHandler(int signal, siginfo_t *info, void *)
{
  const long thread = ::syscall(SYS_gettid);
  long reporting = 0;
  if (!g_reportingThread.compare_exchange_strong(reporting, thread)) {
    if (reporting == thread) { // the handler itself crashed
      endBySignal(signal);
      return;
    }
    for (;;) // another thread's report ends the process
      ::pause();
  }

  say("begin ApplicationCrashHandler\n");
  if (!makeDumpFolder()) {
    say("Create DumpCrashes failed (" __FILE__ ":" CRASH_STRINGIFY(__LINE__) ")\n");
    endBySignal(signal);
    return;
  }

  Text name(g_fileName, sizeof g_fileName);
  formatLocalTime(name, false);
  name.add(".dmp");
  Text(g_path, sizeof g_path).add(g_folder).add(g_fileName);
  const int fd = ::open(g_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd >= 0) {
    writeDump(fd, signal, info, thread);
    ::close(fd);
  }

  showReport(signal, info);
  say("end ApplicationCrashHandler\n");
  endBySignal(signal);
}

void copyPath(char *target, size_t capacity, const QString &path)
{
  const QByteArray bytes = QFile::encodeName(path);
  if (size_t(bytes.size()) + 1 > capacity) {
    target[0] = 0; // too long: behaves like a folder that cannot be made
    return;
  }
  Text(target, capacity).add(bytes.constData());
}

} // namespace

namespace CrashHandler {

void install(const QString &dumpFolder, const QString &helperExecutable)
{
  copyPath(g_folder, sizeof g_folder, dumpFolder);
  copyPath(g_helper, sizeof g_helper, helperExecutable);
  g_utcOffset = QDateTime::currentDateTime().offsetFromUtc();
  // The first backtrace() loads the unwinder, which allocates: do it now, not in the handler.
  void *warmUp[2];
  ::backtrace(warmUp, 2);

  stack_t stack = {};
  stack.ss_sp = g_altStack;
  stack.ss_size = sizeof g_altStack;
  ::sigaltstack(&stack, nullptr);

  struct sigaction action = {};
  action.sa_sigaction = applicationCrashHandler;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals)
    ::sigaction(signal, &action, nullptr);
}

// A real fault through a null pointer; UBSan would end the process before it.
__attribute__((no_sanitize("null"))) void crashForTesting(const QString &kind)
{
  if (kind == QLatin1String("abort"))
    std::abort();
  if (kind == QLatin1String("thread"))
    std::thread([] { crashForTesting("segv"); }).join();
  volatile int *volatile target = nullptr;
  *target = 1;
  std::abort();
}

} // namespace CrashHandler
