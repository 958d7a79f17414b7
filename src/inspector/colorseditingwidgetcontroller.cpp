#include "colorseditingwidgetcontroller.h"

#include "popupcolorsscrollwidget.h"
#include "segmenttypes.h"

#include <QEvent>

ColorsEditingWidgetController::ColorsEditingWidgetController(bool transitionMode, QWidget *parent)
  : PopupEditingWidgetController(parent), _transitionMode(transitionMode)
{
  _popup = new PopupColorsScrollWidget(parent);
  _popup->embedWithValues(parent, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  adoptPopup(_popup, false);
  connect(_popup, &PopupColorsScrollWidget::widgetFitHeightChanged, this,
          &ColorsEditingWidgetController::onColorsWidgetFitHeightChanged);
  _popup->installEventFilter(this);
}

bool ColorsEditingWidgetController::isSupported(const Segment *segment)
{
  return isVisualSegment(segment);
}

void ColorsEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _popup->setValues(segment->clrSaturation(), segment->clrBrightness(), segment->clrContrast(),
                    segment->clrWhiteBalance(), segment->clrExposure(), segment->clrHue(), segment->clrRed(),
                    segment->clrGreen(), segment->clrBlue());
  _fitHeight();
}

void ColorsEditingWidgetController::updateFromTransition(const Segment *segment, int tId, int beginOrEnd)
{
  const bool changed = _loaded.take(tId, beginOrEnd);
  _popup->setPopupEnabled(LoadedTransition::names(tId, beginOrEnd));
  if (!LoadedTransition::names(tId, beginOrEnd) || !changed)
    return;
  const bool begin = beginOrEnd != 0;
  _popup->setValues(segment->transitionClrSaturation(tId, begin), segment->transitionClrBrightness(tId, begin),
                    segment->transitionClrContrast(tId, begin), segment->transitionClrWhiteBalance(tId, begin),
                    segment->transitionClrExposure(tId, begin), segment->transitionClrHue(tId, begin),
                    segment->transitionClrRed(tId, begin), segment->transitionClrGreen(tId, begin),
                    segment->transitionClrBlue(tId, begin));
  _fitHeight();
}

// The list reports its height only when it changes; a list that came out at its final height
// while the popup was being embedded, before anyone listened, would stay boxed in with a
// scroll bar over its values.
bool ColorsEditingWidgetController::_fitHeight()
{
  if (_popup->height() == _popup->widgetFitHeight())
    return false;
  _popup->setFixedHeight(_popup->widgetFitHeight());
  return true;
}

// Loaded while the panel was off screen, the title had no height of its own yet: the fit is
// taken again once the popup is laid out on screen.
bool ColorsEditingWidgetController::eventFilter(QObject *watched, QEvent *event)
{
  if (watched == _popup && event->type() == QEvent::Show && _fitHeight())
    emit editingWidgetControllerSizeChanged(this);
  return PopupEditingWidgetController::eventFilter(watched, event);
}

void ColorsEditingWidgetController::updateEnabledAtTime(TransformWidget *transformWidget, bool)
{
  _popup->setPopupEnabled(transformWidget != nullptr);
}

void ColorsEditingWidgetController::setVisible(bool visible)
{
  setVisibleWithWidget(visible);
  if (!visible)
    _loaded.forget();
}

void ColorsEditingWidgetController::onColorsWidgetFitHeightChanged(PopupColorsScrollWidget *)
{
  _popup->setFixedHeight(_popup->widgetFitHeight());
  emit editingWidgetControllerSizeChanged(this);
}
