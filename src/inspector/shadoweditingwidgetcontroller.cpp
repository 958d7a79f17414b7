#include "shadoweditingwidgetcontroller.h"

#include "popupslidercolorshadowwidget.h"
#include "segmenttypes.h"

#include <QTimer>

ShadowEditingWidgetController::ShadowEditingWidgetController(QWidget *parent) : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderColorShadowWidget(parent);
  _popup->embedWithValues(parent, tr("Shadow"), 0, QColor(), QSizeF(), 0, 1, 0.05f, tr("Radius"), 0, 0, 32, 1);
  adoptPopup(_popup, true);
  // The offset pad is placed from the popup's size, known once the inspector has laid it out.
  QTimer::singleShot(10, this, [this] { postRelayout(); });
}

bool ShadowEditingWidgetController::isSupported(const Segment *segment)
{
  return isVisualSegment(segment);
}

void ShadowEditingWidgetController::updateFromSegment(const Segment *segment, const QSize &canvasSize)
{
  const double width = canvasSize.width();
  QSizeF offset;
  if (segment->hasShadowOffsetFraction()) {
    offset = segment->shadowOffsetFraction() * width;
  } else {
    QSizeF pixels = segment->shadowPixelOffset();
    // Projects from before pixel offsets kept a fraction of a 100 x 80 reference.
    if (pixels.isNull())
      pixels = QSizeF(segment->shadowOffset().width() * 100, segment->shadowOffset().height() * 80);
    offset = pixels / 1280.0 * width;
  }
  _popup->setShadowOffset(offset);
  _popup->setValueSilently(segment->shadowOpacity());
  _popup->setValue2Silently(segment->shadowRadius(float(width)));
  _popup->setColor(QColor::fromRgba(segment->shadowColor()));
  _popup->updateDependentControls();
}

void ShadowEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
