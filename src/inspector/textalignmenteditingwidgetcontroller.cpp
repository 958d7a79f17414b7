#include "textalignmenteditingwidgetcontroller.h"

#include "segmenttypes.h"
#include "textalignmenteditingwidget.h"
#include "textsegment.h"

TextAlignmentEditingWidgetController::TextAlignmentEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new TextAlignmentEditingWidget(parent);
  _form->setFixedHeight(60);
  connect(_form, &TextAlignmentEditingWidget::alignmentIndexChanged, this,
          &TextAlignmentEditingWidgetController::onAlignmentIndexChanged);
}

bool TextAlignmentEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT"});
}

void TextAlignmentEditingWidgetController::updateFromSegment(const Segment *segment)
{
  auto *text = dynamic_cast<const TextSegment *>(segment);
  if (!text)
    return;
  const int alignment = text->alignment();
  // An unknown code leaves the control as it is; the next choice is still compared with it.
  if (alignment >= 0 && alignment <= 2)
    _form->setAlignmentIndex(alignment);
  _currentAlignment = alignment;
}

void TextAlignmentEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _form->setEditingEnabled(inside);
}

QWidget *TextAlignmentEditingWidgetController::editingWidget() const
{
  return _form;
}

void TextAlignmentEditingWidgetController::onAlignmentIndexChanged(int index)
{
  const int alignment = index >= 0 && index <= 2 ? index : 0;
  if (alignment == _currentAlignment)
    return;
  _currentAlignment = alignment;
  emit textAlignmentChanged(alignment);
}
