#pragma once
// Takes the composition's mixed sound to the sound device: a feeding thread writes one device
// period at a time from the mix window, and the slow device calls of pause, restart and stop run
// in order on a private one-thread pool so that they never block the caller.

#include <QObject>
#include <atomic>

class QThreadPool;
struct AVCondition;
struct AVMutex;
class AVAudioSink;
class AVComposition;
class AVThread_QThread_Type;

class AVSoundOutput : public QObject
{
public:
  // Plays to createAudioSink's choice.
  AVSoundOutput(AVComposition *composition, int sampleRate, int channels);
  ~AVSoundOutput() override;

  void pause();
  void restart();
  void stopAsync();
  // Stop and reset on the calling thread, at once.
  void stop();
  // After every queued task has run: resumes the device, or starts it anew.
  void start();

  AVAudioSink *sink() const { return _sink; }
  int readBufferSize() const { return _readBufferSize; }
  bool isFeeding() const { return _feedingRunning; }
  // How many times the feeding thread found no mixed sound within its waits.
  int starvations() const { return _starvations; }

private:
  static int _feedingThreadBody(AVThread_QThread_Type *thread, void *output);
  void _pushLoop();
  void _stopDevice();
  void _wakeFeeder();
  // Parks the feeding thread until woken; false when it must end.
  bool _park();

  AVComposition *_composition;
  AVAudioSink *_sink;
  AVCondition *_wake;
  AVMutex *_engineLock;
  AVThread_QThread_Type *_feedingThread = nullptr;
  std::atomic<bool> _stop{false};
  std::atomic<bool> _feedingRunning{false};
  std::atomic<bool> _wakeRequested{false};
  uint8_t *_readBuffer;
  int _readBufferSize;
  std::atomic<bool> _reset{false};
  std::atomic<int> _starvations{0};
  AVMutex *_deviceLock;
  QThreadPool *_pool;
};
