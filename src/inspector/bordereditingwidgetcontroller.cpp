#include "bordereditingwidgetcontroller.h"

#include "popupslidercolorwidget.h"
#include "segmenttypes.h"

BorderEditingWidgetController::BorderEditingWidgetController(QWidget *parent) : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderColorWidget(parent);
  _popup->embedWithValue(parent, tr("Border Size & Color"), 0, QColor(), 0, 32, 0.5f);
  adoptPopup(_popup, true);
}

bool BorderEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT"});
}

void BorderEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setValueSilently(segment->borderWidth());
  _popup->setColor(QColor::fromRgba(segment->borderColor()));
}

void BorderEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
