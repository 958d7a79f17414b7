#include "transparencyeditingwidgetcontroller.h"

#include "popupsliderwidget.h"
#include "segmenttypes.h"

TransparencyEditingWidgetController::TransparencyEditingWidgetController(bool transitionMode, QWidget *parent)
  : PopupEditingWidgetController(parent), _transitionMode(transitionMode)
{
  _popup = new PopupSliderWidget(parent);
  _popup->embedWithValue(parent, tr("Transparency"), 0, 0, 1, false, 0.05f);
  adoptPopup(_popup, false);
}

bool TransparencyEditingWidgetController::isSupported(const Segment *segment)
{
  return isVisualSegment(segment);
}

void TransparencyEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setValueSilently(segment->userTransparency());
}

void TransparencyEditingWidgetController::updateFromTransition(const Segment *segment, int tId, int beginOrEnd)
{
  const bool changed = _loaded.take(tId, beginOrEnd);
  _popup->setPopupEnabled(LoadedTransition::names(tId, beginOrEnd));
  if (!LoadedTransition::names(tId, beginOrEnd) || !changed)
    return;
  _popup->setValueSilently(segment->transitionUserTransparency(tId, beginOrEnd != 0));
}

void TransparencyEditingWidgetController::updateEnabledAtTime(TransformWidget *transformWidget, bool)
{
  _popup->setPopupEnabled(transformWidget != nullptr);
}

void TransparencyEditingWidgetController::setVisible(bool visible)
{
  setVisibleWithWidget(visible);
  if (!visible)
    _loaded.forget();
}
