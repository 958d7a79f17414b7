#pragma once
// A sound file on the timeline (music, effect, voice-over, a movie's sound): maps timeline time
// to media time through the range start and stretch, caches one decoded chunk at a time, and
// hands it with its timeline position to the mixer.

#include "avmediastream.h"
#include "avsoundsegment.h"

#include <atomic>
#include <string>

class AVAudioStream;

class AVAudioSegment : public AVSoundSegment
{
public:
  static constexpr int kCacheBytes = 48 * 1024;

  AVAudioSegment(double start, const std::string &fileName, int baseRate, int channels);
  AVAudioSegment(double start, double rangeStart, double rangeDuration, const std::string &fileName, int baseRate,
                 int channels);
  ~AVAudioSegment() override;

  void setDuration(double seconds) override;
  void setListener(AVSegmentListener function, void *userData) override;
  bool isReady() override { return _ready; }
  void sleep(bool exporting) override;
  void wake() override;
  // Refills the cache when it is empty; wait: block until the stream delivers.
  void update(double time, bool wait, bool playing) override;
  void seek(double time, bool exact) override;
  int readAudio(uint8_t *destination, int capacity, double *position, double from, double to,
                bool *exhausted) override;

  void setRangeStart(double seconds);
  void setRangeDuration(double seconds);
  double rangeStart() const { return _rangeStart; }
  double rangeDuration() const { return _rangeDuration; }
  double stretch() const { return _stretch; }
  int effectiveRate() const { return _effectiveRate; }
  double mediaDuration() const;
  const char *artist() const;
  const char *title() const;
  AVAudioStream *stream() const { return _stream; }

private:
  static void _opened(AVContent *stream, int result, void *segment);
  static void _seekDone(AVContent *stream, uint8_t *data, uint32_t size, double position, void *segment);
  // Timeline sample span [first, end) at the base rate.
  void _span(double *first, double *end) const;
  void _freeCache();
  void _dropHeld();

  std::atomic<double> _rangeStart;
  std::atomic<double> _rangeDuration;
  std::atomic<int> _effectiveRate;
  const int _channels;
  const int _baseRate;
  AVAudioStream *_stream;
  // Guarded by the cache mutex.
  int _cacheFill = 0;
  double _cachePosition = 0;
  uint8_t *_cache = nullptr;
  // What did not fit into the cache: taken first by the next refill.
  AVFrameRecord _held;
  uint32_t _heldOffset = 0;
  AVMutex *_cacheMutex;
  std::atomic<bool> _ready{false};
  std::atomic<double> _stretch{1.0};
};
