#include "speededitingwidgetcontroller.h"

#include "popupsliderwidget.h"
#include "segmenttypes.h"

SpeedEditingWidgetController::SpeedEditingWidgetController(QWidget *parent) : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderWidget(parent);
  _popup->embedWithValue(parent, tr("Speed"), 0, 0, 15, true, 1);
  adoptPopup(_popup, false);
}

bool SpeedEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"MOVIE", "MUSIC", "VOICE"});
}

void SpeedEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setValueSilently((segment->speed() - 0.25f) * 4);
}

void SpeedEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
