#include "textbackeditingwidgetcontroller.h"

#include "popupslidercolor2sliderswidget.h"
#include "segmenttypes.h"
#include "textsegment.h"

namespace {
constexpr float maxSpacing = 80;
}

TextBackEditingWidgetController::TextBackEditingWidgetController(QWidget *parent)
  : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderColor2SlidersWidget(parent);
  // Row 2 carries the inset and row 3 the corner, so each is captioned by what it holds.
  _popup->embedWithValues(parent, tr("Text Background"), 0, QColor(), 0, 1, 0.05f, tr("Spacing"), 0, 0, maxSpacing,
                          0.5f, tr("Round Corner"), 0, 0, 100, 0.5f);
  adoptPopup(_popup, true);
}

bool TextBackEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT"});
}

void TextBackEditingWidgetController::updateFromSegment(const Segment *segment, const QSize &canvasSize)
{
  auto *text = dynamic_cast<const TextSegment *>(segment);
  if (!text)
    return;
  const QColor rgb = QColor::fromRgb(text->backColorRgb());
  const float spacing = qMin(text->backInset() * float(canvasSize.width()), maxSpacing);
  _popup->setValueSilently(text->backColorAlpha());
  _popup->setValue2Silently(spacing);
  _popup->setValue3Silently(text->backCorner() * 100);
  _popup->setColor(rgb);
  _popup->updateDependentControls();
}

void TextBackEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
