#include "settingsvalue.h"

#include <QString>

QVariant floatSettingValue(float value)
{
  for (int precision = 1; precision <= 9; ++precision) {
    const double candidate = QString::number(double(value), 'g', precision).toDouble();
    if (float(candidate) == value)
      return candidate;
  }
  return double(value); // NaN
}
