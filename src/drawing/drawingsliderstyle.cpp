#include "drawingsliderstyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionSlider>

namespace {

const int kHandleWidth = 20;
const qreal kBarHeight = 10;

} // namespace

QRect DrawingSliderStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                         SubControl subControl, const QWidget *widget) const
{
  QRect rect = QProxyStyle::subControlRect(control, option, subControl, widget);
  if (control != CC_Slider)
    return rect;
  if (subControl == SC_SliderGroove)
    return rect.translated(0, 2);
  if (subControl == SC_SliderHandle) {
    const QRect groove = QProxyStyle::subControlRect(control, option, SC_SliderGroove, widget).translated(0, 2);
    QRect handle(0, rect.top() + 2, kHandleWidth, rect.height());
    handle.moveCenter(QPoint(rect.center().x(), rect.center().y() + 2));
    if (handle.left() < groove.left())
      handle.moveLeft(groove.left());
    if (handle.right() > groove.right())
      handle.moveRight(groove.right());
    return handle;
  }
  return rect;
}

int DrawingSliderStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                                  QStyleHintReturn *returnData) const
{
  if (hint == SH_Slider_AbsoluteSetButtons)
    return Qt::LeftButton;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void DrawingSliderStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                            QPainter *painter, const QWidget *widget) const
{
  const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option);
  if (control != CC_Slider || !slider || slider->orientation != Qt::Horizontal) {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    return;
  }
  const QRect groove = subControlRect(control, option, SC_SliderGroove, widget);
  const QRect handle = subControlRect(control, option, SC_SliderHandle, widget);
  const QRectF bar(groove.left(), groove.center().y() - kBarHeight / 2, groove.width(), kBarHeight);
  const qreal handleX = handle.center().x();

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  QPainterPath rounded;
  rounded.addRoundedRect(bar, kBarHeight / 2, kBarHeight / 2);
  painter->setClipPath(rounded);
  drawBar(painter, bar, handleX);
  painter->setClipping(false);
  // The knob stays inside the bar at both ends.
  const qreal radius = kHandleWidth / 2.0;
  const qreal knobX = qBound(bar.left() + radius, handleX, bar.right() - radius);
  painter->setPen(Qt::NoPen);
  painter->setBrush(Qt::white);
  painter->drawEllipse(QPointF(knobX, bar.center().y()), radius, radius);
  painter->restore();
}

void DrawingSliderStyle::fillToHandle(QPainter *painter, const QPainterPath &shape, const QRectF &bar, qreal handleX)
{
  painter->save();
  painter->setClipRect(QRectF(bar.left(), bar.top(), handleX - bar.left(), bar.height()), Qt::IntersectClip);
  painter->fillPath(shape, QColor(54, 200, 255));
  painter->restore();
}
