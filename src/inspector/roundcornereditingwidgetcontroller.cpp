#include "roundcornereditingwidgetcontroller.h"

#include "popupsliderwidget.h"
#include "segmenttypes.h"
#include "util.h"

RoundCornerEditingWidgetController::RoundCornerEditingWidgetController(QWidget *parent)
  : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderWidget(parent);
  const float shortSide = Util::portraitScreenSize().width();
  _popup->embedWithValue(parent, tr("Round Corner"), 0, 0, shortSide, false, 1);
  adoptPopup(_popup, false);
}

bool RoundCornerEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"MOVIE", "IMAGE", "DRAWING"});
}

void RoundCornerEditingWidgetController::updateFromSegment(const Segment *segment, const QSize &canvasSize)
{
  const double width = canvasSize.width();
  const double radius = segment->cornerRadiusFraction() > 0 ? width * segment->cornerRadiusFraction()
                                                            : segment->cornerRadius() / 1280.0 * width;
  _popup->setValueSilently(float(radius));
}

void RoundCornerEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
