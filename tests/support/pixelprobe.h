#pragma once
// Pixel probes for widget tests: grab a widget and compare a few computed points with a
// tolerance, printing what was found when they differ.

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace PixelProbe {

inline QImage grab(QWidget *widget)
{
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool near(QRgb actual, const QColor &expected, int tolerance = 8)
{
  return qAbs(qRed(actual) - expected.red()) <= tolerance && qAbs(qGreen(actual) - expected.green()) <= tolerance &&
         qAbs(qBlue(actual) - expected.blue()) <= tolerance;
}

inline QString text(QRgb c)
{
  return QString("rgb(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

// Fills the widget's background with a plain colour, so probes can tell painted from not.
inline void plainBackground(QWidget *widget, const QColor &color)
{
  widget->setAutoFillBackground(true);
  QPalette pal = widget->palette();
  pal.setColor(widget->backgroundRole(), color);
  widget->setPalette(pal);
}

// Mean difference of the colour channels of two frames, 0..255; 255 when the sizes differ.
inline double meanDifference(const QImage &a, const QImage &b)
{
  if (a.size() != b.size() || a.isNull())
    return 255;
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * a.width() * a.height());
}

} // namespace PixelProbe

// QVERIFY that the pixel at (x, y) of image is within tolerance of color.
#define PROBE(image, x, y, color, tolerance) \
  QVERIFY2(PixelProbe::near((image).pixel((x), (y)), (color), (tolerance)), \
           qPrintable(QString("(%1, %2) is %3").arg(x).arg(y).arg(PixelProbe::text((image).pixel((x), (y))))))
