#include "textsizeeditingwidgetcontroller.h"

#include "popupslidercolorwidget.h"
#include "segmenttypes.h"
#include "textsegment.h"

TextSizeEditingWidgetController::TextSizeEditingWidgetController(QWidget *parent)
  : PopupEditingWidgetController(parent)
{
  _popup = new PopupSliderColorWidget(parent);
  _popup->embedWithValue(parent, tr("Text Size & Color"), 0, QColor(), 1, 960, 1);
  adoptPopup(_popup, true);
}

bool TextSizeEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT"});
}

void TextSizeEditingWidgetController::updateFromSegment(const Segment *segment, const QSize &canvasSize)
{
  auto *text = dynamic_cast<const TextSegment *>(segment);
  if (!text)
    return;
  _popup->setValueSilently(text->scaledFontSize(QSizeF(canvasSize)));
  // The text's own alpha belongs to its transparency, not to the colour choice.
  QColor color = QColor::fromRgba(text->color());
  color.setAlpha(255);
  _popup->setColor(color);
}

void TextSizeEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _popup->setPopupEnabled(inside);
}
