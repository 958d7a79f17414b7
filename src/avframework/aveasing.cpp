#include "aveasing.h"

#include <cmath>

namespace {
constexpr double kPi = M_PI;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kElastic = 20.420352248333657; // 13 pi / 2

double _linear(double p)
{
  return p;
}

double _quadraticIn(double p)
{
  return p * p;
}

double _quadraticOut(double p)
{
  return -(p * (p - 2));
}

double _quadraticInOut(double p)
{
  return p < 0.5 ? 2 * p * p : -2 * p * p + 4 * p - 1;
}

double _cubicIn(double p)
{
  return p * p * p;
}

double _cubicOut(double p)
{
  const double f = p - 1;
  return f * f * f + 1;
}

double _smoothstep(double p)
{
  return (3 - 2 * p) * p * p;
}

double _quarticIn(double p)
{
  return p * p * p * p;
}

double _quarticOut(double p)
{
  const double f = p - 1;
  return f * f * f * (1 - p) + 1;
}

double _quarticInOut(double p)
{
  if (p < 0.5)
    return 8 * p * p * p * p;
  const double f = p - 1;
  return 1 - 8 * f * f * f * f;
}

double _quinticIn(double p)
{
  return p * p * p * p * p;
}

double _quinticOut(double p)
{
  const double f = p - 1;
  return f * f * f * f * f + 1;
}

double _quinticInOut(double p)
{
  if (p < 0.5)
    return 16 * p * p * p * p * p;
  const double f = 2 * p - 2;
  return 0.5 * f * f * f * f * f + 1;
}

double _sineIn(double p)
{
  return std::sin((p - 1) * kHalfPi) + 1;
}

double _sineOut(double p)
{
  return std::sin(p * kHalfPi);
}

double _sineInOut(double p)
{
  return 0.5 * (1 - std::cos(p * kPi));
}

double _circularIn(double p)
{
  return 1 - std::sqrt(1 - p * p);
}

double _circularOut(double p)
{
  return std::sqrt((2 - p) * p);
}

double _circularInOut(double p)
{
  if (p < 0.5)
    return 0.5 * (1 - std::sqrt(1 - 4 * p * p));
  return 0.5 * (std::sqrt(-(2 * p - 3) * (2 * p - 1)) + 1);
}

double _exponentialIn(double p)
{
  return p == 0.0 ? p : std::pow(2, 10 * (p - 1));
}

double _exponentialOut(double p)
{
  return p == 1.0 ? p : 1 - std::pow(2, -10 * p);
}

double _exponentialInOut(double p)
{
  if (p == 0.0 || p == 1.0)
    return p;
  if (p < 0.5)
    return 0.5 * std::pow(2, 20 * p - 10);
  return 1 - 0.5 * std::pow(2, -20 * p + 10);
}

double _elasticIn(double p)
{
  return std::sin(kElastic * p) * std::pow(2, 10 * (p - 1));
}

double _elasticOut(double p)
{
  return std::sin(-kElastic * (p + 1)) * std::pow(2, -10 * p) + 1;
}

double _elasticInOut(double p)
{
  if (p < 0.5)
    return 0.5 * std::sin(kElastic * (2 * p)) * std::pow(2, 10 * (2 * p - 1));
  const double f = 2 * p - 1;
  return 0.5 * (std::sin(-kElastic * (f + 1)) * std::pow(2, -10 * f) + 2);
}

// A gentler back curve: half the usual sine term, so the overshoot stays small.
double _back(double f)
{
  return f * f * f - 0.5 * f * std::sin(f * kPi);
}

double _backIn(double p)
{
  return _back(p);
}

double _backOut(double p)
{
  return 1 - _back(1 - p);
}

double _backInOut(double p)
{
  if (p < 0.5)
    return 0.5 * _back(2 * p);
  return 0.5 * (1 - _back(1 - (2 * p - 1))) + 0.5;
}

double _bounceIn(double p)
{
  return 1 - bounceOut(1 - p);
}

double _bounceInOut(double p)
{
  if (p < 0.5)
    return 0.5 * (1 - bounceOut(1 - 2 * p));
  return 0.5 * bounceOut(2 * p - 1) + 0.5;
}
} // namespace

// Four parabolic arcs that touch 1 at 4/11, 8/11, 0.9 and 1: a ball settling.
double bounceOut(double p)
{
  if (p < 0.36363636363636365)
    return p * 121 * p * 0.0625;
  if (p < 0.7272727272727273)
    return 9.075 * p * p - 9.9 * p + 3.4;
  if (p < 0.9)
    return 12.066481994459833 * p * p - 19.63545706371191 * p + 8.898060941828255;
  return 10.8 * p * p - 20.52 * p + 10.72;
}

AVEasingFunction easingFunction(AVEasingType type)
{
  switch (type) {
  case 1: return _quadraticIn;
  case 2: return _quadraticOut;
  case 3: return _quadraticInOut;
  case 4: return _cubicIn;
  case 5: return _cubicOut;
  case 6: return _smoothstep;
  case 7: return _quarticIn;
  case 8: return _quarticOut;
  case 9: return _quarticInOut;
  case 10: return _quinticIn;
  case 11: return _quinticOut;
  case 12: return _quinticInOut;
  case 13: return _sineIn;
  case 14: return _sineOut;
  case 15: return _sineInOut;
  case 16: return _circularIn;
  case 17: return _circularOut;
  case 18: return _circularInOut;
  case 19: return _exponentialIn;
  case 20: return _exponentialOut;
  case 21: return _exponentialInOut;
  case 22: return _elasticIn;
  case 23: return _elasticOut;
  case 24: return _elasticInOut;
  case 25: return _backIn;
  case 26: return _backOut;
  case 27: return _backInOut;
  case 28: return _bounceIn;
  case 29: return bounceOut;
  case 30: return _bounceInOut;
  default: return _linear;
  }
}
