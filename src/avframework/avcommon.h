#pragma once
// Engine threads, locks, clock, logging and the resource unscrambler. The engine is plain
// records and free functions; every thread and lock goes through these handles.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class AVThread_QThread_Type;
using AVThreadFunction = int (*)(AVThread_QThread_Type *thread, void *argument);

// Runs one plain function with one argument; the thread ends when the function returns.
// Standard threads and locks underneath, not Qt's: the race checker sees their hand-overs
// (it cannot see into Qt, whose waits are bare futexes).
class AVThread_QThread_Type
{
public:
  AVThread_QThread_Type(AVThreadFunction function, void *argument);
  // Joins a thread that was started and not waited for.
  ~AVThread_QThread_Type();
  AVThread_QThread_Type(const AVThread_QThread_Type &) = delete;
  AVThread_QThread_Type &operator=(const AVThread_QThread_Type &) = delete;

  void start();
  // Returns at once when the thread never started or was already waited for.
  void wait();

private:
  void *_argument;
  AVThreadFunction _function;
  std::thread _thread;
};
using AVThread = AVThread_QThread_Type;

AVThread *avThreadCreate(AVThreadFunction function, void *argument);
void avThreadStart(AVThread *thread);
void avThreadWait(AVThread *thread);
void avThreadDestroy(AVThread *thread);
void avThreadSleep(double seconds);

// The engine's mutex and wait condition handles (non-recursive).
struct AVMutex : std::mutex
{
};
struct AVCondition : std::condition_variable
{
};

AVMutex *avMutexCreate();
void avMutexDestroy(AVMutex *mutex);
void avMutexLock(AVMutex *mutex);
void avMutexUnlock(AVMutex *mutex);

AVCondition *avCondCreate();
void avCondDestroy(AVCondition *condition);
void avCondWakeAll(AVCondition *condition);
void avCondWait(AVCondition *condition, AVMutex *mutex);

// Holds a mutex handle for a scope; a null handle holds nothing.
class AVMutexLocker
{
public:
  explicit AVMutexLocker(AVMutex *mutex) : _mutex(mutex) { relock(); }
  ~AVMutexLocker() { unlock(); }
  AVMutexLocker(const AVMutexLocker &) = delete;
  AVMutexLocker &operator=(const AVMutexLocker &) = delete;

  void unlock()
  {
    if (_locked)
      _mutex->unlock();
    _locked = false;
  }
  void relock()
  {
    if (_mutex && !_locked)
      _mutex->lock();
    _locked = _mutex != nullptr;
  }
  AVMutex *mutex() const { return _mutex; }

private:
  AVMutex *_mutex;
  bool _locked = false;
};

// Seconds on a monotonic millisecond clock; only differences are meaningful.
double avWallClock();

// Rows or columns of a 4:2:0 chroma plane: an odd luma count still has a chroma sample for its
// last row or column.
constexpr uint32_t chroma420(uint32_t lumaCount)
{
  return (lumaCount + 1) / 2;
}

// Media are read only from regular files (links followed): a FIFO, a device or a socket would
// hold the reader in its open for as long as nobody writes to it.
bool avIsRegularFile(const char *path);

// Process-wide settings, written on the GUI thread.
void setReleaseDecoderWhenIdle(bool release);
bool releaseDecoderWhenIdle();

// Engine diagnostics: avPrint writes printf-style lines to stderr; avLog and avTrace
// keep their messages in the code but write them nowhere.
void avPrint(const char *format, ...) __attribute__((format(printf, 1, 2)));
void avLog(const char *format, ...) __attribute__((format(printf, 1, 2)));
void avTrace(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The key the resource scrambler uses when none is given.
extern const unsigned char kAVResourceKey[4];

// Base64 decode with a rolling 4-byte XOR; a null output only measures. Returns the byte count.
int decodeBase64Xor(const char *input, int length, unsigned char *output, const unsigned char *key);
