#pragma once
// Engine threads, locks, clock, logging and the resource unscrambler. The engine is plain
// records and free functions; every thread and lock goes through these handles.

#include <QThread>
#include <cstdint>

class QMutex;
class QWaitCondition;

class AVThread_QThread_Type;
using AVThreadFunction = int (*)(AVThread_QThread_Type *thread, void *argument);

// Runs one plain function with one argument; the thread ends when the function returns.
class AVThread_QThread_Type : public QThread
{
public:
  AVThread_QThread_Type(AVThreadFunction function, void *argument);

protected:
  void run() override;

private:
  void *_argument;
  AVThreadFunction _function;
};
using AVThread = AVThread_QThread_Type;

AVThread *avThreadCreate(AVThreadFunction function, void *argument);
void avThreadStart(AVThread *thread);
void avThreadWait(AVThread *thread);
void avThreadDestroy(AVThread *thread);
void avThreadSleep(double seconds);

QMutex *avMutexCreate();
void avMutexDestroy(QMutex *mutex);
void avMutexLock(QMutex *mutex);
void avMutexUnlock(QMutex *mutex);

QWaitCondition *avCondCreate();
void avCondDestroy(QWaitCondition *condition);
void avCondWakeAll(QWaitCondition *condition);
void avCondWait(QWaitCondition *condition, QMutex *mutex);

// Seconds on a monotonic millisecond clock; only differences are meaningful.
double avWallClock();

// Rows or columns of a 4:2:0 chroma plane: an odd luma count still has a chroma sample for its
// last row or column.
constexpr uint32_t chroma420(uint32_t lumaCount)
{
  return (lumaCount + 1) / 2;
}

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
