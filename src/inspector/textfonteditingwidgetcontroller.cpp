#include "textfonteditingwidgetcontroller.h"

#include "segmenttypes.h"
#include "textfonteditingwidget.h"
#include "textsegment.h"

TextFontEditingWidgetController::TextFontEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new TextFontEditingWidget(parent);
  _form->setFixedHeight(65);
  connect(_form, &TextFontEditingWidget::fontButtonClicked, this, &TextFontEditingWidgetController::fontButtonClicked);
}

bool TextFontEditingWidgetController::isSupported(const Segment *segment)
{
  return isSegmentOfType(segment, {"TEXT"});
}

void TextFontEditingWidgetController::updateFromSegment(const Segment *segment)
{
  auto *text = dynamic_cast<const TextSegment *>(segment);
  if (!text)
    return;
  // The font database names the style it matched ("Regular"); the text's own choice is shown.
  QFont font = text->font();
  font.setStyleName(text->fontStyle());
  _form->setCurrentFont(font);
}

void TextFontEditingWidgetController::updateEnabledAtTime(TransformWidget *, bool inside)
{
  _form->setEditingEnabled(inside);
}

QWidget *TextFontEditingWidgetController::editingWidget() const
{
  return _form;
}
