#pragma once
// The sound device as the sound output sees it: a push-mode sink of 16-bit PCM. One sink plays
// on the default device through Qt Multimedia; the null sink plays nothing but takes the bytes
// in real time, one period per period duration, so that feeding and pausing behave as with a
// device where there is none (headless machines, tests).

#include <QAudio>
#include <atomic>
#include <memory>

class AVAudioSink
{
public:
  virtual ~AVAudioSink() = default;
  // Starts (again) in push mode; false when the device cannot play.
  virtual bool start() = 0;
  virtual void suspend() = 0;
  virtual void resume() = 0;
  virtual void stop() = 0;
  virtual void reset() = 0;
  virtual QAudio::State state() = 0;
  virtual QAudio::Error error() = 0;
  virtual int periodSize() = 0;
  virtual int bytesFree() = 0;
  virtual int write(const char *data, int size) = 0;
};

class AVNullAudioSink : public AVAudioSink
{
public:
  AVNullAudioSink(int sampleRate, int channels, int periodMs = 20, int periods = 4);
  ~AVNullAudioSink() override;

  bool start() override;
  void suspend() override;
  void resume() override;
  void stop() override;
  void reset() override;
  QAudio::State state() override;
  QAudio::Error error() override;
  int periodSize() override;
  int bytesFree() override;
  int write(const char *data, int size) override;

  // For tests and benchmarks.
  int64_t bytesWritten() const { return _written; }
  int64_t bytesPlayed();
  int underruns() const { return _underruns; }
  // Every state change in order, one letter each: a(ctive) s(uspended) S(topped) i(dle).
  QByteArray history();

private:
  // Takes the periods that have played since the last look; call with the lock held.
  void _drain();
  void _setState(QAudio::State state);

  struct Private;
  std::unique_ptr<Private> d;
  std::atomic<int64_t> _written{0};
  std::atomic<int> _underruns{0};
};

// The sink the sound output plays to: by default the device when it takes 16-bit PCM at the
// given rate and channels, else (with a log line) the null sink.
using AVAudioSinkFactory = AVAudioSink *(*)(int sampleRate, int channels);
AVAudioSink *createAudioSink(int sampleRate, int channels);
// Replaces the default choice process-wide (null restores it).
void setAudioSinkFactory(AVAudioSinkFactory factory);
