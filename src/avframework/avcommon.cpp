#include "avcommon.h"

#include "avresourcekey.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <sys/stat.h>

AVThread_QThread_Type::AVThread_QThread_Type(AVThreadFunction function, void *argument)
  : _argument(argument), _function(function)
{
}

AVThread_QThread_Type::~AVThread_QThread_Type()
{
  wait();
  // Destroyed by its own function: nothing is left to join.
  if (_thread.joinable())
    _thread.detach();
}

void AVThread_QThread_Type::start()
{
  if (!_thread.joinable())
    _thread = std::thread([this] { _function(this, _argument); });
}

void AVThread_QThread_Type::wait()
{
  if (_thread.joinable() && _thread.get_id() != std::this_thread::get_id())
    _thread.join();
}

bool avIsRegularFile(const char *path)
{
  struct stat info;
  return path && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

AVThread *avThreadCreate(AVThreadFunction function, void *argument)
{
  return new AVThread(function, argument);
}

void avThreadStart(AVThread *thread)
{
  thread->start();
}

void avThreadWait(AVThread *thread)
{
  thread->wait();
}

void avThreadDestroy(AVThread *thread)
{
  delete thread;
}

void avThreadSleep(double seconds)
{
  std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
}

AVMutex *avMutexCreate()
{
  return new AVMutex;
}

void avMutexDestroy(AVMutex *mutex)
{
  delete mutex;
}

void avMutexLock(AVMutex *mutex)
{
  mutex->lock();
}

void avMutexUnlock(AVMutex *mutex)
{
  mutex->unlock();
}

AVCondition *avCondCreate()
{
  return new AVCondition;
}

void avCondDestroy(AVCondition *condition)
{
  delete condition;
}

void avCondWakeAll(AVCondition *condition)
{
  condition->notify_all();
}

void avCondWait(AVCondition *condition, AVMutex *mutex)
{
  // The caller holds the mutex and keeps holding it afterwards.
  std::unique_lock<std::mutex> lock(*mutex, std::adopt_lock);
  condition->wait(lock);
  lock.release();
}

double avWallClock()
{
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<double>(ms) / 1000.0;
}

namespace {
std::atomic<bool> g_releaseDecoderWhenIdle{false};
}

void setReleaseDecoderWhenIdle(bool release)
{
  g_releaseDecoderWhenIdle = release;
}

bool releaseDecoderWhenIdle()
{
  return g_releaseDecoderWhenIdle;
}

void avPrint(const char *format, ...)
{
  va_list args;
  va_start(args, format);
  vfprintf(stderr, format, args);
  va_end(args);
}

void avLog(const char *, ...)
{
}

void avTrace(const char *, ...)
{
}

const unsigned char kAVResourceKey[4] = {kAVResourceKeyBytes[0], kAVResourceKeyBytes[1], kAVResourceKeyBytes[2], kAVResourceKeyBytes[3]};

namespace {
int _base64Value(unsigned char c)
{
  if (c >= 'A' && c <= 'Z')
    return c - 'A';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 26;
  if (c >= '0' && c <= '9')
    return c - '0' + 52;
  if (c == '+')
    return 62;
  if (c == '/')
    return 63;
  return 0;
}
} // namespace

int decodeBase64Xor(const char *input, int length, unsigned char *output, const unsigned char *key)
{
  if (!input || length <= 0)
    return 0;
  const auto *in = reinterpret_cast<const unsigned char *>(input);
  if (in[length - 1] == 0)
    --length;
  if (!output) {
    if (length < 3)
      return 0;
    int size = (length / 4) * 3;
    if (in[length - 2] == '=')
      size -= 2;
    else if (in[length - 1] == '=')
      size -= 1;
    return size;
  }
  if (length == 0 || in[0] == '=')
    return 0;
  if (!key)
    key = kAVResourceKey;

  int written = 0;
  auto put = [&](unsigned char byte) {
    output[written] = byte ^ key[written % 4];
    ++written;
  };
  unsigned value = 0;
  int count = 0;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = in[i];
    if (c >= 123 || c == '=')
      break;
    value = (value << 6) | static_cast<unsigned>(_base64Value(c));
    if (++count == 4) {
      put((value >> 16) & 0xff);
      put((value >> 8) & 0xff);
      put(value & 0xff);
      value = 0;
      count = 0;
    }
  }
  // A group cut short by "=" or the end of the input.
  if (count == 2) {
    put((value >> 4) & 0xff);
  } else if (count == 3) {
    put((value >> 10) & 0xff);
    put((value >> 2) & 0xff);
  }
  return written;
}
