#include "chromakeyeditingwidgetcontroller.h"

#include "popupchromakeywidget.h"
#include "segmenttypes.h"

ChromaKeyEditingWidgetController::ChromaKeyEditingWidgetController(QWidget *parent)
  : PopupEditingWidgetController(parent)
{
  _popup = new PopupChromaKeyWidget(parent);
  _popup->embedWithValues(parent, false, 0, 0, QColor());
  adoptPopup(_popup, true);
}

bool ChromaKeyEditingWidgetController::isSupported(const Segment *segment)
{
  return isVisualSegment(segment);
}

void ChromaKeyEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setSwitchValue(segment->keyEnabled());
  _popup->setValue2Silently(float(segment->keySensitivity()));
  _popup->setValue3Silently(float(segment->keySmoothing()));
  _popup->setColor(QColor::fromRgba(segment->keyColor()));
  _popup->updateDependentControls();
}

void ChromaKeyEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
