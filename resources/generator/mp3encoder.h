#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// MP3 files of the built-in sounds, through FFmpeg's libmp3lame encoder.
namespace Mp3Encoder {

constexpr int kRate = 44100;
constexpr int kFrameSamples = 1152;

// Mono samples in [-1, 1]. When `period` is set, the samples are periodic from a little before
// `loopStart` to a little after one period later (both whole frames): the frames of that period
// are written `extraPeriods` more times, so a long loop costs the encoder a single period.
struct Clip
{
  std::vector<float> samples;
  int loopStart = 0;
  int period = 0;
  int extraPeriods = 0;
};

// One libmp3lame encoder for all clips (its set-up costs as much as a short sound): the clips
// follow one another in a single stream, each starting on a frame after silent frames, and
// each file takes the frames of its clip.
class Encoder
{
public:
  explicit Encoder(int bitRate);
  ~Encoder();
  Encoder(const Encoder &) = delete;
  Encoder &operator=(const Encoder &) = delete;

  // False once anything failed; see error().
  bool add(const Clip &clip);
  bool finish();
  // After finish(): clip `index` as a whole MP3 file (Xing and LAME header, no tags), or
  // empty on failure.
  QByteArray file(int index);
  QString error() const { return _error; }

private:
  struct Placed
  {
    int firstFrame, frames, samples, loopStart, period, extraPeriods;
  };
  bool _feed(const float *samples, int count);
  bool _drain();

  struct Private;
  Private *_d;
  std::vector<Placed> _placed;
  qint64 _fed = 0;
  QString _error;
};

} // namespace Mp3Encoder
