#pragma once
// A drawing colour swatch for a 1920 x 1080 canvas at the bottom of a 1280 x 720 window,
// whose popup opens on the window (header only).

#include "animationswitch.h"
#include "drawingcolorwidget.h"
#include "gestures.h"
#include "popupdrawingmodewidget.h"
#include "tooltipbutton.h"

#include <QSignalSpy>
#include <QtTest>

struct SwatchWindow
{
  AnimationsOff animationsOff;
  QWidget top;
  DrawingColorWidget *swatch;
  QSignalSpy colors;
  QSignalSpy patterns;

  explicit SwatchWindow(QSize windowSize = QSize(1280, 720), QRect swatchRect = QRect(615, 650, 50, 50))
      : swatch(new DrawingColorWidget(QSize(1920, 1080), &top)),
        colors(swatch, &DrawingColorWidget::drawingColorWidgetColorChanged),
        patterns(swatch, &DrawingColorWidget::drawingColorWidgetPatternChanged)
  {
    top.resize(windowSize);
    swatch->setGeometry(swatchRect);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
  }

  // Clicks the swatch; the popup, or null when none opened.
  PopupDrawingModeWidget *open()
  {
    Gestures::click(swatch, QPoint(swatch->width() / 2, swatch->height() / 2));
    return swatch->popup();
  }

  void chooseTab(PopupDrawingModeWidget *popup, int mode) { QTest::mouseClick(popup->tabButton(mode), Qt::LeftButton); }

  QImage pattern() const { return swatch->pattern().toImage().convertToFormat(QImage::Format_ARGB32); }
};
