#pragma once

#include <QObject>
#include <QString>

// The placement record of a layer, shared by the editor and the engine bridge.
struct LayerGeometry
{
  double centerX = 0;
  double centerY = 0;
  float scaleWidth = 1;
  float scaleHeight = 1;
  float rotationX = 0;
  float rotationY = 0;
  float rotationZ = 0;
  float transparency = 0;
  double anchorX = 0.5;
  double anchorY = 0.5;
};

// Free operations of the program. A QObject only so its texts translate in the context "Util".
class Util : public QObject
{
  Q_OBJECT
public:
  Util() = delete;

  // 0 when |a - b| <= tolerance, else 1 when a > b and -1 otherwise (also for NaN).
  static int compareWithTolerance(float a, float b, float tolerance);

  static QString cacheLocation();
};
