#include "strokebordereditingwidgetcontroller.h"

#include "popupslidercolor1switch2sliderswidget.h"
#include "segmenttypes.h"

namespace {
constexpr float maxWidth = 64;
}

StrokeBorderEditingWidgetController::StrokeBorderEditingWidgetController(QWidget *parent)
  : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderColor1Switch2SlidersWidget(parent);
  _popup->embedWithValues(parent, tr("Border Size & Color"), 0, QColor(), 0, maxWidth, 0.5f, tr("Tolerance"), 0, 0,
                          100, 1, tr("Intensity"), 0, 0, 100, 1, tr("Stroke"), false);
  adoptPopup(_popup, true);
}

bool StrokeBorderEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"MOVIE", "IMAGE", "DRAWING"});
}

void StrokeBorderEditingWidgetController::updateFromSegment(const Segment *segment, const QSize &canvasSize)
{
  const double width = canvasSize.width();
  const double border = segment->borderWidthFraction() > 0
                          ? qMin(width * segment->borderWidthFraction(), double(maxWidth))
                          : segment->borderWidth() / 1280.0 * width;
  _popup->setValueSilently(float(border));
  _popup->setValue2Silently(float(segment->borderStrokeTolerance()));
  _popup->setValue3Silently(float(segment->borderStrokeStrength()));
  _popup->setSwitchValue(segment->borderStroke());
  _popup->setColor(QColor::fromRgba(segment->borderColor()));
  _popup->updateDependentControls();
}

void StrokeBorderEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
