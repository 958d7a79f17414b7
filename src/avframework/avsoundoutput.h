#pragma once
// Takes the composition's mixed sound to the sound device: a feeding thread writes one device
// period at a time from the mix window. The device is made, called and deleted only on a private
// device thread with its own event loop, since the toolkit's device keeps timers that work only
// on the thread that owns it; pause, restart and stop are queued there in order so that they
// never block the caller.

#include <QObject>
#include <atomic>
#include <functional>

class QThread;
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
  // Stop and reset, returning when done.
  void stop();
  // After every queued task has run: resumes the device, or starts it anew.
  void start();

  AVAudioSink *sink() const { return _sink; }
  int readBufferSize() const { return _readBufferSize; }
  bool isFeeding() const { return _feedingRunning; }
  // The feeding thread waits to be woken.
  bool isParked() const { return _parked; }
  // How many times the feeding thread found no mixed sound within its waits; each time it parks
  // until the mixer has bytes again (or the next start).
  int starvations() const { return _starvations; }

private:
  static int _feedingThreadBody(AVThread_QThread_Type *thread, void *output);
  void _pushLoop();
  // On the device thread: after every queued task, waiting for it to run (_onDevice), or queued
  // behind the others (_queue).
  void _onDevice(const std::function<void()> &task);
  void _queue(const std::function<void()> &task);
  void _stopDevice();
  void _wakeFeeder();
  // Parks the feeding thread until woken; false when it must end.
  bool _park();

  AVComposition *_composition;
  QThread *_deviceThread;
  QObject *_deviceContext;
  AVAudioSink *_sink = nullptr;
  AVCondition *_wake;
  AVMutex *_engineLock;
  AVThread_QThread_Type *_feedingThread = nullptr;
  std::atomic<bool> _stop{false};
  std::atomic<bool> _feedingRunning{false};
  std::atomic<bool> _wakeRequested{false};
  std::atomic<bool> _parked{false};
  uint8_t *_readBuffer;
  int _readBufferSize;
  std::atomic<bool> _reset{false};
  std::atomic<int> _starvations{0};
};
