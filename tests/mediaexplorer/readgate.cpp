#include "readgate.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ReadFunction = ssize_t (*)(int, void *, size_t);

// A file is watched from hold() on; its reads wait while holding.
std::atomic<bool> g_watching{false};
std::mutex g_mutex;
bool g_holding = false;
std::condition_variable g_changed;
dev_t g_device = 0;
ino_t g_inode = 0;
off_t g_holdAt = 0;
int g_waiting = 0;
int g_steps = 0;
off_t g_furthest = 0;

ReadFunction realRead()
{
  static std::atomic<ReadFunction> real{nullptr};
  ReadFunction function = real.load(std::memory_order_acquire);
  if (!function) {
    function = reinterpret_cast<ReadFunction>(::dlsym(RTLD_NEXT, "read"));
    real.store(function, std::memory_order_release);
  }
  return function;
}

// The offset a read of the held file starts at, or -1 for any other descriptor.
off_t heldOffset(int fd)
{
  struct stat status;
  if (::fstat(fd, &status) != 0)
    return -1;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (status.st_dev != g_device || status.st_ino != g_inode)
    return -1;
  return ::lseek(fd, 0, SEEK_CUR);
}

} // namespace

extern "C" ssize_t read(int fd, void *buffer, size_t count)
{
  if (!g_watching.load(std::memory_order_acquire))
    return realRead()(fd, buffer, count);
  const off_t at = heldOffset(fd);
  if (at < 0)
    return realRead()(fd, buffer, count);
  {
    std::unique_lock<std::mutex> lock(g_mutex);
    if (g_holding && at >= g_holdAt) {
      ++g_waiting;
      g_changed.wait(lock, [] { return !g_holding || g_steps > 0; });
      --g_waiting;
      if (g_holding)
        --g_steps;
    }
  }
  const ssize_t result = realRead()(fd, buffer, count);
  if (result > 0) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_furthest = std::max(g_furthest, at + off_t(result));
  }
  return result;
}

namespace ReadGate {

bool hold(const QString &path, qint64 offset)
{
  struct stat status;
  if (::stat(QFile::encodeName(path).constData(), &status) != 0)
    return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  g_device = status.st_dev;
  g_inode = status.st_ino;
  g_holdAt = off_t(offset);
  g_steps = 0;
  g_furthest = 0;
  g_holding = true;
  g_watching = true;
  return true;
}

bool waiting()
{
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_waiting > 0;
}

void step()
{
  std::lock_guard<std::mutex> lock(g_mutex);
  g_steps = 1;
  g_changed.notify_all();
}

void open()
{
  std::lock_guard<std::mutex> lock(g_mutex);
  g_holding = false;
  g_changed.notify_all();
}

qint64 furthest()
{
  std::lock_guard<std::mutex> lock(g_mutex);
  return qint64(g_furthest);
}

} // namespace ReadGate
