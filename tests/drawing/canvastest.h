#pragma once
// A 1920 x 1080 canvas shown at 960 x 540 (scale 2) for the drawing tests, and probes of
// its picture in canvas pixels (header only).

#include "canvaswidget.h"
#include "gestures.h"
#include "shape.h"

#include <QSignalSpy>
#include <QtTest>

struct CanvasWindow
{
  CanvasWidget canvas;
  explicit CanvasWindow(int canvasWidth = 1920, int canvasHeight = 1080, QSize widgetSize = QSize(960, 540))
      : canvas(canvasWidth, canvasHeight)
  {
    canvas.resize(widgetSize);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
  }
  QImage image() const { return canvas.canvasImage().toImage().convertToFormat(QImage::Format_ARGB32); }
};

namespace CanvasProbe {

// Drags with the current shape and waits until every move has been drawn (frame shapes
// draw 10 ms after each move; the pencil at once, and once more on release).
inline bool drawDrag(CanvasWidget &canvas, const QPoint &from, const QPoint &to, int steps = 5)
{
  Shape *shape = canvas.currentShape();
  QSignalSpy drawn(shape, &Shape::shapeNeedDisplayInRect);
  Gestures::drag(&canvas, from, to, steps);
  const int expected = shape->cmdId() == 10301 ? steps + 1 : steps;
  return QTest::qWaitFor([&] { return drawn.count() >= expected; }, 5000);
}

inline int alpha(const QImage &image, const QPoint &canvasPoint)
{
  return qAlpha(image.pixel(canvasPoint));
}

// The box of the pixels at least half opaque inside an area (the whole picture by default).
inline QRect paintedBounds(const QImage &image, QRect area = QRect())
{
  if (area.isNull())
    area = image.rect();
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x)
      if (qAlpha(line[x]) >= 128) {
        left = qMin(left, x);
        right = qMax(right, x);
        top = qMin(top, y);
        bottom = qMax(bottom, y);
      }
  }
  return left == INT_MAX ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

inline bool nearRect(const QRect &actual, const QRect &expected, int tolerance)
{
  return qAbs(actual.left() - expected.left()) <= tolerance && qAbs(actual.top() - expected.top()) <= tolerance &&
         qAbs(actual.right() - expected.right()) <= tolerance &&
         qAbs(actual.bottom() - expected.bottom()) <= tolerance;
}

inline QString text(const QRect &r)
{
  return QString("(%1, %2) to (%3, %4)").arg(r.left()).arg(r.top()).arg(r.right()).arg(r.bottom());
}

} // namespace CanvasProbe

// QVERIFY that a box found is within tolerance of the box expected.
#define COMPARE_RECT(actual, expected, tolerance) \
  QVERIFY2(CanvasProbe::nearRect((actual), (expected), (tolerance)), \
           qPrintable("found " + CanvasProbe::text(actual) + ", expected " + CanvasProbe::text(expected)))
