#include "volumeeditingwidgetcontroller.h"

#include "popupsliderwidget.h"
#include "segmenttypes.h"

#include <QTimer>

VolumeEditingWidgetController::VolumeEditingWidgetController(bool transitionMode, QWidget *parent)
  : PopupEditingWidgetController(parent), _transitionMode(transitionMode)
{
  _popup = new PopupSliderWidget(parent);
  _popup->embedWithValue(parent, tr("Volume"), 0, 0, 2, false, 0.05f);
  adoptPopup(_popup, false);
  // The snap mark goes where the slider ends up once the inspector has laid it out.
  QTimer::singleShot(10, this, [this] { _popup->setSnapValue(1.0f, 0.05f); });
}

bool VolumeEditingWidgetController::isSupported(const Segment *segment)
{
  return segment && segment->hasAudio();
}

void VolumeEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setValueSilently(segment->userVolume());
}

void VolumeEditingWidgetController::updateFromTransition(const Segment *segment, int tId, int beginOrEnd)
{
  const bool changed = _loaded.take(tId, beginOrEnd);
  _popup->setPopupEnabled(LoadedTransition::names(tId, beginOrEnd));
  if (!LoadedTransition::names(tId, beginOrEnd) || !changed)
    return;
  _popup->setValueSilently(segment->transitionUserVolume(tId, beginOrEnd != 0));
}

void VolumeEditingWidgetController::updateEnabledAtTime(const Segment *segment, TransformWidget *transformWidget,
                                                        float time)
{
  if (isSegmentOfType(segment, {"MOVIE"}) && segment->hasAudio())
    _popup->setPopupEnabled(transformWidget != nullptr);
  else
    _popup->setPopupEnabled(segment && segment->isBeforeFirstTransition(time));
}

void VolumeEditingWidgetController::setVisible(bool visible)
{
  setVisibleWithWidget(visible);
  if (!visible)
    _loaded.forget();
}
