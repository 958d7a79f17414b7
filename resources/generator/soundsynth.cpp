#include "soundsynth.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace SoundSynth {

namespace {

using Mp3Encoder::kFrameSamples;
using Mp3Encoder::kRate;
constexpr double kPi = 3.14159265358979323846;
// Periodic signal the encoder must see on each side of the repeated frames (its delay,
// window overlap and look-ahead reach under three frames).
constexpr int kGuard = 4 * kFrameSamples;

uint32_t nameHash(const QString &text)
{
  uint32_t h = 2166136261u;
  for (const QChar c : text) {
    h ^= c.unicode();
    h *= 16777619u;
  }
  return h;
}

struct Rng
{
  explicit Rng(uint32_t seed) : s(seed ? seed : 0x9e3779b9u) {}
  uint32_t bits()
  {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  double uniform() { return bits() / 4294967296.0; }
  double range(double a, double b) { return a + (b - a) * uniform(); }
  int below(int n) { return int(bits() % uint32_t(n)); }
  float bipolar() { return float(uniform() * 2 - 1); }
  uint32_t s;
};

// A table sine: std::sin on every sample of every partial would cost most of the budget.
class Sine
{
public:
  Sine()
  {
    for (int i = 0; i <= kSize; ++i)
      _v[i] = float(std::sin(2 * kPi * i / kSize));
  }
  float operator()(double cycles) const
  {
    const double x = (cycles - std::floor(cycles)) * kSize;
    const int i = int(x);
    return _v[i] + (_v[i + 1] - _v[i]) * float(x - i);
  }

private:
  static constexpr int kSize = 4096;
  float _v[kSize + 1];
};
const Sine sine;

double hz(double midi) { return 440 * std::pow(2.0, (midi - 69) / 12); }

// Linear attack, a hold, then exponential decay; `swell` instead rises and falls as sin².
struct Env
{
  double attack = 0.005, hold = 0, decay = 1e6;
  bool swell = false;
};
Env env(double attack, double hold, double decay) { return {attack, hold, decay, false}; }
Env swell() { return {0, 0, 0, true}; }

class EnvRun
{
public:
  EnvRun(const Env &e, int length)
    : _e(e), _length(length), _attack(std::max(1.0, e.attack * kRate)), _hold(e.hold * kRate),
      _k(std::exp(-1 / (std::max(e.decay, 1e-4) * kRate)))
  {}
  float next()
  {
    const int i = _i++;
    if (_e.swell) {
      const float s = sine(0.5 * i / _length);
      return s * s;
    }
    if (i < _attack)
      return float(i / _attack);
    if (i < _attack + _hold)
      return 1;
    _g *= _k;
    return float(_g);
  }

private:
  Env _e;
  int _length;
  double _attack, _hold, _k, _g = 1;
  int _i = 0;
};

// Chamberlin state-variable filter; the band output is scaled to unity gain at its centre.
struct Svf
{
  void tune(double fc, double q)
  {
    f = 2 * std::sin(kPi * std::min(fc, kRate / 6.0) / kRate);
    damp = 1 / q;
  }
  float run(float in, int mode)
  {
    low += f * band;
    const double high = in - low - damp * band;
    band += f * high;
    return float(mode == 0 ? band * damp : mode == 1 ? low : high);
  }
  double f = 0.1, damp = 1, low = 0, band = 0;
};

using Voice = std::function<void(float *out, int length, uint32_t seed)>;

// A pitched tone gliding exponentially from f0 to f1, optionally buzzy (harmonics falling as
// 1/k^rolloff), with vibrato, tremolo, breath noise and a formant band.
struct Tone
{
  double f0 = 440, f1 = 0;
  int harmonics = 1;
  double rolloff = 1;
  double vibRate = 0, vibDepth = 0, tremRate = 0, tremDepth = 0;
  double formant = 0, q = 3, noise = 0;
  Env env;
};

// A gliding tone with vibrato.
Tone wavering(double f0, double f1, int harmonics, double vibRate, double vibDepth, const Env &e)
{
  return Tone{f0, f1, harmonics, 1.0, vibRate, vibDepth, 0, 0, 0, 3, 0, e};
}

Voice tone(const Tone &t)
{
  return [t](float *out, int length, uint32_t seed) {
    Rng rng(seed);
    EnvRun e(t.env, length);
    const double f1 = t.f1 > 0 ? t.f1 : t.f0;
    const double step = std::exp(std::log(f1 / t.f0) / length);
    const double top = std::max(t.f0, f1) * (1 + t.vibDepth);
    int harmonics = std::min(t.harmonics, 24);
    while (harmonics > 1 && harmonics * top > 15000)
      --harmonics;
    float amps[24];
    for (int k = 0; k < harmonics; ++k)
      amps[k] = float(1 / std::pow(k + 1, t.rolloff));
    Svf svf;
    svf.tune(t.formant, t.q);
    double f = t.f0, phase = 0;
    for (int i = 0; i < length; ++i, f *= step) {
      const double vib = t.vibDepth ? 1 + t.vibDepth * sine(t.vibRate * i / kRate) : 1;
      phase += f * vib / kRate;
      phase -= std::floor(phase);
      // Harmonic k + 1 as the k-th power of the fundamental's phasor.
      const float c1 = sine(phase + 0.25), s1 = sine(phase);
      float c = c1, sn = s1, s = amps[0] * s1;
      for (int k = 1; k < harmonics; ++k) {
        const float nc = c * c1 - sn * s1;
        sn = c * s1 + sn * c1;
        c = nc;
        s += amps[k] * sn;
      }
      if (t.noise)
        s += float(t.noise) * rng.bipolar();
      if (t.formant)
        s = svf.run(s, 0);
      float g = e.next();
      if (t.tremDepth)
        g *= float(1 - t.tremDepth * 0.5 * (1 + sine(t.tremRate * i / kRate)));
      out[i] += s * g;
    }
  };
}

struct Partial
{
  double ratio, amp, decay;
};

// Sines with their own decays: bells, plucked strings, bars. Each partial is a decaying
// phasor turned by one complex multiplication a sample.
Voice partials(double freq, std::vector<Partial> list, double attack, double tremRate = 0)
{
  return [=](float *out, int length, uint32_t) {
    const int rise = std::max(1, int(attack * kRate));
    for (const Partial &p : list) {
      const double w = 2 * kPi * freq * p.ratio / kRate;
      if (freq * p.ratio > 16000)
        continue;
      const double k = std::exp(-1 / (p.decay * kRate));
      const double rc = k * std::cos(w), rs = k * std::sin(w);
      // Until it falls under -80 dB.
      const int end = std::min(length, int(std::log(p.amp / 1e-4) * p.decay * kRate));
      double c = p.amp, s = 0;
      for (int i = 0; i < end; ++i) {
        out[i] += float(i < rise ? s * i / rise : s);
        const double nc = c * rc - s * rs;
        s = c * rs + s * rc;
        c = nc;
      }
    }
    if (tremRate)
      for (int i = 0; i < length; ++i)
        out[i] *= 0.8f + 0.2f * sine(tremRate * i / kRate);
  };
}

// Filtered noise whose centre glides from c0 to c1: mode 0 band, 1 low, 2 high pass.
Voice noise(double c0, double c1, double q, int mode, const Env &envelope)
{
  return [=](float *out, int length, uint32_t seed) {
    Rng rng(seed);
    EnvRun e(envelope, length);
    Svf svf;
    const double step = std::exp(std::log((c1 > 0 ? c1 : c0) / c0) / length);
    double c = c0;
    for (int i = 0; i < length; ++i, c *= step) {
      if (i % 32 == 0)
        svf.tune(c, q);
      out[i] += svf.run(rng.bipolar(), mode) * e.next();
    }
  };
}

struct Note
{
  int at;
  int length;
  float gain;
  Voice voice;
  uint32_t seed;
};

// The notes of a sound; with a period they repeat every period to the end.
class Score
{
public:
  explicit Score(uint32_t seed) : rng(seed) {}

  void add(double at, double seconds, double gain, Voice v)
  {
    notes.push_back({int(at * kRate), std::max(1, int(seconds * kRate)), float(gain), std::move(v), rng.bits()});
  }
  // Sets a period of about `seconds`, a whole number of MP3 frames; returns it in seconds.
  double loop(double seconds)
  {
    period = std::max(1, int(std::lround(seconds * kRate / kFrameSamples))) * kFrameSamples;
    return double(period) / kRate;
  }

  void tone(double at, double seconds, double gain, const Tone &t) { add(at, seconds, gain, SoundSynth::tone(t)); }
  void glide(double at, double seconds, double gain, double f0, double f1, int harmonics, const Env &e)
  {
    Tone t;
    t.f0 = f0;
    t.f1 = f1;
    t.harmonics = harmonics;
    t.rolloff = 1.3;
    t.env = e;
    tone(at, seconds, gain, t);
  }
  // A buzzy voice through a formant: calls, cries and laughs.
  void call(double at, double seconds, double gain, double f0, double f1, double formant, double vib = 0)
  {
    Tone t;
    t.f0 = f0;
    t.f1 = f1;
    t.harmonics = 18;
    t.rolloff = 0.9;
    t.formant = formant;
    t.q = 2.5;
    t.noise = 0.15;
    t.vibRate = 6;
    t.vibDepth = vib;
    t.env = env(0.03, seconds * 0.4, seconds * 0.25);
    tone(at, seconds, gain, t);
  }
  void bell(double at, double freq, double decay, double gain)
  {
    add(at, decay * 4, gain,
        partials(freq, {{1, 1, decay}, {2.0, 0.6, decay * 0.7}, {2.76, 0.45, decay * 0.5}, {4.07, 0.3, decay * 0.35},
                        {5.43, 0.2, decay * 0.25}, {6.8, 0.12, decay * 0.2}},
                 0.002));
  }
  void pluck(double at, double freq, double decay, double gain, double tremRate = 0)
  {
    std::vector<Partial> list;
    for (int k = 1; k <= 6; ++k)
      list.push_back({double(k), 1 / std::pow(k, 1.4), decay / std::pow(k, 0.7)});
    add(at, decay * 4, gain, partials(freq, list, 0.004, tremRate));
  }
  void bar(double at, double freq, double decay, double gain)
  {
    add(at, decay * 4, gain, partials(freq, {{1, 1, decay}, {3.93, 0.25, decay * 0.3}, {9.54, 0.08, decay * 0.15}}, 0.002,
                                      5));
  }
  void hiss(double at, double seconds, double gain, double c0, double c1, double q, int mode, const Env &e)
  {
    add(at, seconds, gain, noise(c0, c1, q, mode, e));
  }
  void whoosh(double at, double seconds, double gain, double c0, double c1)
  {
    hiss(at, seconds, gain, c0, c1, 1.5, 0, swell());
  }
  void click(double at, double gain, double centre, double decay = 0.012)
  {
    hiss(at, decay * 6, gain, centre, 0, 1.2, 0, env(0.0005, 0, decay));
  }
  void kick(double at, double gain)
  {
    glide(at, 0.35, gain, 120, 42, 1, env(0.002, 0.02, 0.12));
  }
  void snare(double at, double gain)
  {
    hiss(at, 0.25, gain, 2200, 0, 0.8, 0, env(0.001, 0, 0.06));
    glide(at, 0.15, gain * 0.5, 190, 160, 1, env(0.001, 0, 0.05));
  }
  void thump(double at, double gain, double freq = 90)
  {
    glide(at, 0.4, gain, freq * 1.6, freq * 0.6, 2, env(0.002, 0, 0.09));
    click(at, gain * 0.5, 700, 0.02);
  }

  Rng rng;
  std::vector<Note> notes;
  int period = 0;
};

int frameCeil(int samples) { return (samples + kFrameSamples - 1) / kFrameSamples * kFrameSamples; }

// Where a sound repeats: the period from `start` on is written `extra` more times.
struct Layout
{
  int start = 0, period = 0, extra = 0;
};

// For a signal that repeats every `period` from `periodicFrom` to `fade` before its end.
Layout layout(int total, int periodicFrom, int period, int fade)
{
  Layout l;
  l.start = frameCeil(periodicFrom + kGuard);
  l.extra = period > 0 ? std::max(0, (total - fade - l.start - period - kGuard) / period) : 0;
  l.period = l.extra ? period : 0;
  return l;
}

// What is left between the last repeat's guard and the fade: encoded for nothing.
int leftOver(int total, const Layout &l, int fade)
{
  return total - fade - l.start - (l.extra + 1) * l.period - kGuard;
}

Mp3Encoder::Clip render(const Score &score, int seconds, double fadeSeconds)
{
  const int total = seconds * kRate;
  const int p = score.period;
  int longest = 0, end = 0;
  for (const Note &n : score.notes) {
    longest = std::max(longest, n.length);
    end = std::max(end, n.at + n.length);
  }
  // Once the first notes' repeats have all begun, the sum is periodic.
  int fade = std::min(int(fadeSeconds * kRate), total / 4);
  Layout l = layout(total, longest, p, fade);
  if (!l.extra) {
    fade = std::min(fade, int(0.05 * kRate));
    // The silence after a one-off sound is one silent frame, repeated.
    if (p <= 0)
      l = layout(total, end, kFrameSamples, 0);
  }
  const int length = total - l.extra * l.period;
  std::vector<float> z(size_t(length), 0.f), scratch;
  for (const Note &n : score.notes) {
    // Rendered once for all their repeats.
    scratch.assign(size_t(n.length), 0.f);
    n.voice(scratch.data(), n.length, n.seed);
    const int ramp = std::min(256, n.length);
    for (int i = 0; i < ramp; ++i)
      scratch[size_t(n.length - 1 - i)] *= float(i) / ramp;
    for (int at = n.at; at < length; at += p > 0 ? p : length) {
      for (int i = 0; i < n.length && at + i < length; ++i)
        z[size_t(at + i)] += n.gain * scratch[size_t(i)];
    }
  }
  float peak = 0;
  for (float v : z)
    peak = std::max(peak, std::fabs(v));
  // Headroom for the encoder's ringing: peaks stay under -1 dBFS once decoded.
  const float gain = peak > 0 ? 0.7f / peak : 0.f;
  for (int i = 0; i < length; ++i) {
    const int left = length - i;
    const float f = left < fade ? sine(0.25 * left / fade) : 1.f;
    z[size_t(i)] *= gain * f;
  }
  Mp3Encoder::Clip clip;
  clip.samples = std::move(z);
  clip.loopStart = l.start;
  clip.period = l.period;
  clip.extraPeriods = l.extra;
  return clip;
}

// The bass notes are the music's longest, 4 decays (see Score::pluck).
constexpr double kBassDecay = 0.5;
constexpr double kMusicFade = 1.5;
const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

} // namespace

Mp3Encoder::Clip music(const QString &title, int seconds)
{
  Score s(nameHash(title));
  Rng &r = s.rng;
  static const int progressions[][4] = {{0, 4, 5, 3}, {0, 5, 3, 4}, {0, 3, 4, 4}, {5, 3, 0, 4}, {0, 2, 3, 4}, {0, 3, 5, 4}};
  const int *prog = progressions[r.below(6)];
  const int *scale = r.below(3) ? kMajor : kMinor;
  const int root = 43 + r.below(9);
  const double bpm = r.range(84, 128);
  const bool drums = r.below(3) > 0;
  const bool bellArp = r.below(2);
  const int arpShape = r.below(3);
  // A loop length near the tempo's that leaves the least unrepeated time before the fade.
  const int total = seconds * kRate, fade = int(kMusicFade * kRate);
  const int target = int(std::lround(8 * 60 / bpm * kRate / kFrameSamples));
  int bestLeft = total;
  for (int frames = target * 94 / 100; frames <= target * 106 / 100; ++frames) {
    const Layout l = layout(total, int(4 * kBassDecay * kRate), frames * kFrameSamples, fade);
    if (l.extra && leftOver(total, l, fade) < bestLeft) {
      bestLeft = leftOver(total, l, fade);
      s.period = frames * kFrameSamples;
    }
  }
  const double beat = double(s.period) / kRate / 8;
  for (int c = 0; c < 4; ++c) {
    int chord[3];
    for (int k = 0; k < 3; ++k) {
      const int d = prog[c] + 2 * k;
      chord[k] = root + scale[d % 7] + 12 * (d / 7);
    }
    const double t = c * 2 * beat;
    s.pluck(t, hz(chord[0] - 12), kBassDecay, 0.55);
    s.pluck(t + beat * 1.5, hz(chord[0] - 12), 0.3, 0.35);
    for (int k = 0; k < 3; ++k) {
      Tone pad;
      pad.f0 = hz(chord[k] + 12);
      pad.harmonics = 4;
      pad.rolloff = 1.8;
      pad.env = swell();
      s.tone(t, 2 * beat * 1.1, 0.09, pad);
    }
    for (int i = 0; i < 4; ++i) {
      static const int shapes[3][4] = {{0, 1, 2, 3}, {0, 2, 1, 2}, {3, 2, 1, 0}};
      const int step = shapes[arpShape][i];
      const double f = hz(chord[step % 3] + 12 * (1 + step / 3));
      if (bellArp)
        s.bar(t + i * beat / 2, f * 2, 0.35, 0.22);
      else
        s.pluck(t + i * beat / 2, f, 0.3, 0.25);
    }
    if (drums)
      for (int b = 0; b < 2; ++b) {
        s.kick(t + b * beat, 0.5);
        s.click(t + (b + 0.5) * beat, 0.12, 8000, 0.02);
      }
  }
  return render(s, seconds, kMusicFade);
}

Mp3Encoder::Clip effect(const QString &folder, const QString &title, int seconds)
{
  Score s(nameHash(folder + "/" + title));
  Rng &r = s.rng;
  const double len = seconds;
  const double v = r.range(0.92, 1.08); // each name its own pitch
  const QString t = title.toLower();
  if (t == "disco") {
    const double p = s.loop(4 * 60 / 122.0), b = p / 4;
    for (int i = 0; i < 4; ++i) {
      s.kick(i * b, 0.6);
      s.click((i + 0.5) * b, 0.2, 9000, 0.03);
      s.pluck((i + 0.5) * b, hz(40 + (i == 3 ? 3 : 0)), 0.2, 0.4);
    }
  } else if (t == "ghost" || t == "laughing ghost") {
    const bool laugh = t.startsWith("laugh");
    const double p = laugh ? s.loop(2.6) : len;
    for (int i = 0; i < (laugh ? 6 : 3); ++i) {
      Tone g;
      g.f0 = (laugh ? 420 - i * 30 : 300 + 80 * i) * v;
      g.f1 = g.f0 * (laugh ? 0.85 : 1.3);
      g.harmonics = laugh ? 10 : 2;
      g.formant = laugh ? 900 : 0;
      g.vibRate = 5;
      g.vibDepth = 0.03;
      g.env = laugh ? env(0.02, 0.08, 0.06) : swell();
      s.tone(laugh ? i * 0.2 : i * p / 4, laugh ? 0.22 : p / 2, 0.5, g);
    }
    s.whoosh(0, laugh ? 2 : len, 0.15, 300, 900);
  } else if (t == "danger" || t == "horror") {
    for (int k = 0; k < 3; ++k)
      s.glide(0, len, 0.25, hz(33 + k * 1.0 + (t == "horror" ? 6 : 0)) * v, 0, 5, swell());
    for (double at = 0; t == "danger" && at < len - 0.5; at += 1.0)
      s.glide(at, 0.5, 0.35, 880 * v, 700 * v, 3, env(0.01, 0.3, 0.1));
    if (t == "horror")
      s.hiss(0, len, 0.3, 2500, 600, 6, 0, swell());
  } else if (t == "alarm" || t == "warning" || t == "beep") {
    const int n = t == "beep" ? 1 : 4;
    for (int i = 0; i < n; ++i)
      s.glide(i * 0.22, t == "beep" ? 0.35 : 0.18, 0.6, (t == "warning" ? 440 : 1000) * v * (i % 2 ? 0.8 : 1), 0,
              t == "beep" ? 1 : 5, env(0.005, 0.1, 0.05));
  } else if (t == "school bell" || t == "church bell" || t == "reception bell" || t == "door bell" ||
             t == "train bell" || t == "friend request") {
    if (t == "school bell") {
      const double p = s.loop(3.5);
      for (double at = 0; at < p - 1.2; at += 0.06)
        s.bell(at, 1400 * v, 0.12, 0.3);
    } else if (t == "church bell") {
      s.loop(3.0);
      s.bell(0, 196 * v, 1.0, 0.8);
    } else if (t == "door bell") {
      s.loop(4);
      s.bell(0, hz(76) * v, 0.9, 0.6);
      s.bell(0.6, hz(72) * v, 1.2, 0.6);
    } else if (t == "friend request") {
      s.bar(0, hz(84) * v, 0.2, 0.5);
      s.bar(0.12, hz(88) * v, 0.3, 0.5);
    } else {
      const int n = t == "train bell" ? 3 : 1;
      for (int i = 0; i < n; ++i)
        s.bell(i * 0.3, 1800 * v, 0.6, 0.6);
    }
  } else if (t == "busy office") {
    const double p = s.loop(4.0);
    s.hiss(0, p * 0.7, 0.3, 400, 0, 0.7, 0, swell());
    s.hiss(p / 2, p * 0.7, 0.3, 400, 0, 0.7, 0, swell());
    for (int i = 0; i < 14; ++i)
      s.click(r.range(0, p - 0.5), 0.25, 3000, 0.008);
    for (int i = 0; i < 5; ++i)
      s.call(r.range(0, p - 1), 0.4, 0.12, r.range(110, 220), r.range(110, 220), r.range(500, 900));
    s.bar(r.range(0, p - 1), hz(83), 0.2, 0.15);
  } else if (t == "big impact" || t == "punching" || t == "knock" || t == "slap face" || t == "gun shot") {
    if (t == "big impact") {
      s.glide(0, 1.8, 0.9, 90 * v, 28, 3, env(0.002, 0.05, 0.4));
      s.hiss(0, 1.5, 0.6, 400, 80, 0.8, 1, env(0.001, 0, 0.25));
    } else if (t == "gun shot") {
      s.hiss(0, 0.6, 0.8, 3000, 500, 0.6, 0, env(0.0005, 0, 0.08));
      s.thump(0, 0.7, 70);
      s.hiss(0.18, 1.2, 0.25, 1500, 300, 0.6, 0, env(0.001, 0, 0.3));
    } else if (t == "knock") {
      for (int i = 0; i < 3; ++i)
        s.thump(i * 0.22, 0.6, 160 * v);
    } else {
      s.thump(0, 0.7, t == "punching" ? 80 : 220);
      s.hiss(0, 0.2, 0.5, t == "punching" ? 900 : 1800, 0, 1, 0, env(0.001, 0, 0.04));
    }
  } else if (t == "applause" || t == "cheer" || t == "laughing crowd") {
    const double p = t == "applause" ? s.loop(2.0) : len;
    for (int i = 0; i < int(p * 25); ++i)
      s.hiss(r.range(0, p - 0.1), 0.08, r.range(0.2, 0.5), r.range(900, 2400), 0, 1.5, 0, env(0.001, 0, 0.018));
    for (int i = 0; t != "applause" && i < 8; ++i) {
      const double at = r.range(0, len - 1.2);
      if (t == "cheer")
        s.call(at, r.range(0.6, 1.0), 0.25, r.range(220, 420), r.range(260, 480), r.range(700, 1000), 0.03);
      else
        for (int k = 0; k < 4; ++k)
          s.call(at + k * 0.17, 0.14, 0.3, r.range(200, 330), 0, 850, 0.02);
    }
  } else if (t == "scream" || t == "panic screaming") {
    for (int k = 0; k < (t == "scream" ? 1 : 3); ++k)
      s.call(k * 0.12, 0.85 - k * 0.1, 0.5, r.range(650, 800), r.range(850, 1000), 1500 + 300 * k, 0.04);
  } else if (t == "ehhh" || t == "hmm" || t == "what") {
    if (t == "ehhh")
      s.call(0, 1.3, 0.7, 190 * v, 160 * v, 550);
    else if (t == "hmm")
      s.call(0, 0.7, 0.7, 150 * v, 120 * v, 300);
    else {
      s.call(0, 0.35, 0.7, 180 * v, 280 * v, 900);
      s.click(0.36, 0.3, 3500);
    }
  } else if (t == "finger snap" || t == "slide switch" || t == "stapler staple" || t.startsWith("camera shutter")) {
    const bool shutter = t.startsWith("camera");
    s.click(0, 0.8, shutter ? 4500 * v : t == "finger snap" ? 2600 : 3200, 0.012);
    if (shutter || t == "stapler staple")
      s.click(0.09 * v, 0.6, 2800, 0.02);
    if (t == "slide switch")
      s.glide(0.01, 0.12, 0.3, 500, 900, 3, env(0.005, 0.05, 0.03));
    if (t == "stapler staple")
      s.bell(0.09, 3200, 0.08, 0.2);
  } else if (t == "whistle") {
    Tone w = wavering(1500 * v, 2300 * v, 1, 7, 0.02, env(0.03, 0.3, 0.15));
    w.noise = 0.05;
    s.tone(0, 0.7, 0.6, w);
  } else if (t == "appears" || t == "success" || t == "surprise" || t.startsWith("harp") || t == "wind chimes") {
    const int *scale = kMajor;
    const int base = 67 + r.below(5);
    int n = t == "appears" ? 6 : t == "success" ? 4 : t == "surprise" ? 2 : t == "wind chimes" ? 12 : 10;
    for (int i = 0; i < n; ++i) {
      const int step = t == "harp 2" ? n - 1 - i : t == "wind chimes" ? r.below(10) : i;
      const int octave = 12 * (step / 7) - (t.startsWith("harp") ? 12 : 0);
      const double f = hz(base + octave + scale[step % 7] + (t == "surprise" ? 5 * i : 0));
      const double at = t == "wind chimes" ? r.range(0, len - 1.5) : i * (t == "appears" ? 0.06 : 0.11);
      if (t == "appears" || t == "wind chimes")
        s.bell(at, f * 2, 0.5, 0.35);
      else
        s.pluck(at, f, t == "success" && i == n - 1 ? 0.8 : 0.45, 0.45);
    }
  } else if (t == "clock ticking" || t == "timer tick") {
    const double step = t == "timer tick" ? 0.25 : 0.5;
    for (int i = 0; i * step < len - 0.1; ++i) {
      s.click(i * step, 0.7, i % 2 ? 2200 : 3000, 0.006);
      s.bar(i * step, i % 2 ? 1800 : 2400, 0.02, 0.2);
    }
  } else if (t == "pop-up") {
    s.glide(0, 0.15, 0.7, 300 * v, 1000 * v, 2, env(0.005, 0.05, 0.04));
    s.click(0, 0.3, 1500);
  } else if (t == "elastic") {
    s.tone(0, 0.9, 0.7, wavering(180 * v, 130 * v, 3, 14, 0.15, env(0.005, 0, 0.25)));
  } else if (t == "keyboard typing" || t == "iphone typing") {
    const bool phone = t.startsWith("iphone");
    const double p = s.loop(phone ? 1.8 : 2.2);
    for (double at = 0; at < p - 0.1; at += r.range(0.08, 0.22)) {
      s.click(at, r.range(0.4, 0.7), phone ? 5000 : r.range(2500, 3800), phone ? 0.004 : 0.01);
      if (!phone)
        s.glide(at, 0.06, 0.2, 220, 180, 2, env(0.001, 0, 0.015));
    }
  } else if (t == "smartphone vibrating" || t == "flys") {
    const bool fly = t == "flys";
    for (double at = 0; at < len - 0.5; at += fly ? len : 1.0) {
      Tone z;
      z.f0 = fly ? 190 : 160;
      z.f1 = fly ? 230 : 0;
      z.harmonics = 12;
      z.rolloff = 1.2;
      z.formant = fly ? 600 : 250;
      z.q = 1;
      z.vibRate = fly ? 2.3 : 0;
      z.vibDepth = fly ? 0.06 : 0;
      z.tremRate = fly ? 0.7 : 0;
      z.tremDepth = fly ? 0.6 : 0;
      z.env = fly ? swell() : env(0.01, 0.4, 0.05);
      s.tone(at, fly ? len : 0.5, 0.7, z);
    }
  } else if (t == "laser") {
    s.glide(0, 0.3, 0.6, 2200 * v, 250, 5, env(0.002, 0.15, 0.06));
  } else if (t == "phone ringing") {
    s.loop(3.0);
    for (int k = 0; k < 2; ++k) {
      Tone ring;
      ring.f0 = (k ? 1250 : 1000) * v;
      ring.harmonics = 3;
      ring.tremRate = 20;
      ring.tremDepth = 1;
      ring.env = env(0.01, 1.6, 0.08);
      s.tone(0, 1.9, 0.4, ring);
    }
  } else if (t == "monophonic beat" || t == "drum" || t == "breaking news") {
    const bool news = t == "breaking news";
    const double p = news ? s.loop(3.6) : len, b = p / 8;
    for (int i = 0; i < 8; ++i) {
      if (i % 4 == 0 || (news && i == 3))
        s.kick(i * b, 0.6);
      if (t == "drum" ? i % 4 == 2 : news && i % 4 == 2)
        s.snare(i * b, 0.5);
      if (t == "monophonic beat")
        s.glide(i * b, b * 0.8, 0.4, hz(60 + kMinor[(i * 3) % 7]), 0, 6, env(0.003, 0.03, 0.05));
      else
        s.click(i * b, 0.15, 9000, 0.02);
    }
    if (news)
      for (int k = 0; k < 3; ++k) {
        s.glide(0, b * 1.5, 0.25, hz(57 + kMinor[2 * k]), 0, 10, env(0.01, b, 0.2));
        s.glide(4 * b, b * 1.5, 0.25, hz(55 + kMajor[2 * k]), 0, 10, env(0.01, b, 0.2));
      }
  } else if (t == "accordion") {
    for (int k = 0; k < 3; ++k)
      for (double detune : {1.0, 1.004}) {
        Tone a;
        a.f0 = hz(60 + kMajor[2 * k]) * detune * v;
        a.harmonics = 8;
        a.rolloff = 1.1;
        a.tremRate = 5;
        a.tremDepth = 0.2;
        a.env = env(0.05, 0.6, 0.15);
        s.tone(0, 0.95, 0.2, a);
      }
  } else if (t == "vibraphone") {
    const double p = s.loop(3.6);
    static const int tune[8] = {0, 4, 7, 11, 9, 7, 4, 2};
    for (int i = 0; i < 8; ++i)
      s.bar(i * p / 8, hz(65 + tune[i]), 1.0, 0.4);
  } else if (t == "transition" || t == "swoosh" || t == "throwing knife" || t == "fast pass") {
    const double d = t == "swoosh" ? 0.5 : t == "throwing knife" ? 0.3 : 1.2;
    s.whoosh(0, d, 0.8, 300 * v, t == "throwing knife" ? 6000 : 3000);
    if (t == "throwing knife")
      s.thump(0.32, 0.6, 300);
    if (t == "transition")
      s.glide(0, d, 0.25, 200, 800, 4, swell());
    if (t == "fast pass")
      s.glide(0, d, 0.3, 520 * v, 400 * v, 4, swell());
  } else if (t.startsWith("police") || t == "ambulance") {
    if (t == "police 1") {
      const double p = s.loop(3.0);
      s.glide(0, p / 2 + 0.05, 0.6, 650, 1350, 4, env(0.02, p / 2, 1));
      s.glide(p / 2, p / 2 + 0.05, 0.6, 1350, 650, 4, env(0.02, p / 2, 1));
    } else {
      const double p = s.loop(t == "ambulance" ? 2.0 : 1.2);
      s.glide(0, p / 2 + 0.03, 0.6, t == "ambulance" ? 960 : 850, 0, 4, env(0.01, p / 2, 1));
      s.glide(p / 2, p / 2 + 0.03, 0.6, t == "ambulance" ? 770 : 650, 0, 4, env(0.01, p / 2, 1));
    }
  } else if (t == "car screeching") {
    s.call(0, 0.95, 0.4, 1700 * v, 1500 * v, 2500, 0.02);
    s.hiss(0, 0.95, 0.4, 2500, 1800, 2, 0, env(0.02, 0.6, 0.1));
  } else if (t.startsWith("jet")) {
    const bool landing = t.endsWith("landing");
    s.hiss(0, len, 0.8, landing ? 1200 : 300, landing ? 250 : 1500, 0.7, 1, swell());
    s.whoosh(0, len, 0.5, 600, 4000);
    s.glide(0, len, 0.12, landing ? 3200 : 2400, landing ? 1800 : 2900, 2, swell());
  } else if (t == "vehicle idle" || t == "helicopter") {
    const bool heli = t == "helicopter";
    const double p = heli ? s.loop(1.0) : len;
    if (heli) {
      for (int i = 0; i < 11; ++i)
        s.hiss(i * p / 11, 0.2, 0.8, 160, 0, 1.2, 0, env(0.002, 0, 0.035));
      s.glide(0, p * 0.6, 0.06, 1900, 0, 2, swell());
      s.glide(p / 2, p * 0.6, 0.06, 1900, 0, 2, swell());
    } else {
      Tone e;
      e.f0 = 38 * v;
      e.harmonics = 14;
      e.rolloff = 0.8;
      e.formant = 180;
      e.q = 1;
      e.noise = 0.3;
      e.tremRate = 13;
      e.tremDepth = 0.5;
      e.env = env(0.1, len, 1);
      s.tone(0, len, 0.8, e);
    }
  } else if (t == "thrush" || t == "mouse") {
    const bool bird = t == "thrush";
    for (double at = 0; at < len - 0.3; at += r.range(0.12, bird ? 0.35 : 0.3)) {
      Tone c;
      c.f0 = (bird ? r.range(2500, 4000) : 4200) * v;
      c.f1 = c.f0 * r.range(0.8, 1.4);
      c.vibRate = bird ? 30 : 0;
      c.vibDepth = bird ? 0.04 : 0;
      c.env = env(0.005, 0.02, 0.03);
      s.tone(at, 0.12, 0.6, c);
    }
  } else {
    // Animal calls: a few buzzy cries through a formant.
    double f0 = 300, f1 = 250, formant = 900, d = 0.3, gap = 0.45, vib = 0;
    int n = 2;
    if (t == "dog bark")
      f0 = 380, f1 = 260, formant = 800, d = 0.15, gap = 0.35;
    else if (t == "monkey")
      f0 = 320, f1 = 700, formant = 1000, d = 0.25, gap = 0.3, n = 8;
    else if (t == "sheep")
      f0 = 270, f1 = 250, formant = 900, d = 1.2, n = 1, vib = 0.05;
    else if (t == "rooster crowing")
      f0 = 500, f1 = 760, formant = 1300, d = 1.6, n = 1, vib = 0.01;
    else if (t == "hen")
      f0 = 420, f1 = 380, formant = 1100, d = 0.08, gap = 0.15, n = 4;
    else if (t == "crow")
      f0 = 520, f1 = 430, formant = 1400, d = 0.35, gap = 0.55, n = 3;
    for (int i = 0; i < n; ++i)
      s.call(i * gap, d, 0.7, f0 * v, f1 * v, formant, vib);
    if (t == "rooster crowing")
      s.call(1.6, 1.2, 0.6, 760 * v, 480 * v, 1200, 0.01);
  }
  return render(s, seconds, 1.0);
}

} // namespace SoundSynth
