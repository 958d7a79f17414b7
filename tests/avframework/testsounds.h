#pragma once
// Sound segments for mix and export tests (audio files come later): samples made by a
// function of the frame, delivered the way a real audio segment does, a window at a time.

#include "avsoundsegment.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>

class GeneratedSound : public AVSoundSegment
{
public:
  // generator(frame since the segment's start, channel) gives one sample.
  using Generator = std::function<int16_t(int64_t frame, int channel)>;

  GeneratedSound(double start, double duration, int sampleRate, int channels, Generator generator)
    : AVSoundSegment(start, duration), _rate(sampleRate), _channels(channels), _generator(std::move(generator))
  {
    setLoadError(kAVLoadOk);
  }

  // Timeline frames from this one on are withheld without saying done: a stalled source.
  void setAvailableUntil(int64_t frame) { _availableUntil = frame; }
  // At most this many frames per read.
  void setChunkFrames(int frames) { _chunk = frames; }

  void update(double, bool, bool) override { ++updates; }
  void seek(double time, bool exact) override
  {
    if (exact)
      _cursor = int64_t(time * _rate);
  }
  int readAudio(uint8_t *destination, int capacity, double *position, double from, double to,
                bool *exhausted) override
  {
    ++reads;
    const int64_t first = std::llround(startTime() * _rate);
    const int64_t last = std::llround((startTime() + duration()) * _rate);
    const int64_t windowEnd = std::min(int64_t(to), last);
    const int64_t begin = std::max({_cursor.load(), int64_t(from), first});
    if (begin >= windowEnd) {
      *exhausted = true;
      return 0;
    }
    const int frameBytes = _channels * 2;
    int64_t end = std::min({windowEnd, _availableUntil, begin + capacity / frameBytes});
    if (_chunk > 0)
      end = std::min(end, begin + _chunk);
    if (end <= begin)
      return 0;
    auto *out = reinterpret_cast<int16_t *>(destination);
    for (int64_t frame = begin; frame < end; ++frame)
      for (int c = 0; c < _channels; ++c)
        *out++ = _generator(frame - first, c);
    *position = double(begin);
    _cursor = end;
    evaluateVolume(double(begin) / _rate);
    return int((end - begin) * frameBytes);
  }

  int updates = 0;
  int reads = 0;

private:
  const int _rate;
  const int _channels;
  const Generator _generator;
  // Sought on the GUI thread while the audio thread reads.
  std::atomic<int64_t> _cursor{0};
  int64_t _availableUntil = std::numeric_limits<int64_t>::max();
  int _chunk = 0;
};

// The same value on every channel of every frame.
class ConstantSound : public GeneratedSound
{
public:
  ConstantSound(double start, double duration, int16_t value, int sampleRate = 44100, int channels = 2)
    : GeneratedSound(start, duration, sampleRate, channels, [value](int64_t, int) { return value; })
  {
  }
};

// A sine on every channel, in phase from the segment's start.
class SineSound : public GeneratedSound
{
public:
  SineSound(double start, double duration, double frequency, double amplitude = 0.5, int sampleRate = 44100,
            int channels = 2)
    : GeneratedSound(start, duration, sampleRate, channels, [=](int64_t frame, int) {
        return int16_t(std::lround(amplitude * 32767 * std::sin(2 * M_PI * frequency * double(frame) / sampleRate)));
      })
  {
  }
};
