#pragma once

#include <QProxyStyle>

// What the tuning panel's two slider looks share: the groove and a 20 px handle moved
// 2 px down, a left click that jumps to its place, and a 10 px bar with a round white
// handle. Subclasses fill the bar.
class DrawingSliderStyle : public QProxyStyle
{
  Q_OBJECT
public:
  using QProxyStyle::QProxyStyle;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                       const QWidget *widget = nullptr) const override;
  int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                QStyleHintReturn *returnData = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                          const QWidget *widget = nullptr) const override;

protected:
  // Paints inside the bar, already clipped to its rounding; `handleX` is the handle's centre.
  virtual void drawBar(QPainter *painter, const QRectF &bar, qreal handleX) const = 0;
  // The part of the bar left of the handle, in the accent colour.
  static void fillToHandle(QPainter *painter, const QPainterPath &shape, const QRectF &bar, qreal handleX);
};
