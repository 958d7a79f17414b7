#include "transitionseditingwidgetcontroller.h"

#include "segment.h"
#include "transitionseditingwidget.h"

#include <QPixmap>
#include <QPushButton>

TransitionsEditingWidgetController::TransitionsEditingWidgetController(QWidget *parent)
  : CommonEditingWidgetController(parent)
{
  _form = new TransitionsEditingWidget(parent);
  _form->setTransitionControlsHidden(true);
  using W = TransitionsEditingWidget;
  using C = TransitionsEditingWidgetController;
  connect(_form, &W::transitionSelectionIndexChanged, this, &C::transitionSelectionIndexChanged);
  connect(_form, &W::transitionSegmentedWidgetIndexChanged, this, &C::onTransitionSegmentedWidgetIndexChanged);
  connect(_form, &W::popupEasingFunctionsWidgetOnButton, this, &C::popupEasingFunctionsWidgetOnButton);
  connect(_form, &W::addTransitionActionOnButton, this, &C::addTransitionActionOnButton);
  connect(_form, &W::removeTransitionAtIndex, this, &C::removeTransitionAtIndex);
  connect(_form, &W::duplicateTransitionAtIndex, this, &C::duplicateTransitionAtIndex);
}

QWidget *TransitionsEditingWidgetController::editingWidget() const
{
  return _form;
}

void TransitionsEditingWidgetController::_fillTable(const Segment *segment)
{
  _form->clearItems();
  for (int i = 0; segment && i < segment->transitionCount(); ++i) {
    const int id = segment->transitionIdAt(i);
    _form->addTransitionItem(id, segment->transitionStart(id), segment->transitionDuration(id));
  }
}

void TransitionsEditingWidgetController::updateFromTransition(Segment *segment, int tId, int beginOrEnd)
{
  _form->setDuplicateButtonEnabled(tId > 0);
  _form->setRemoveButtonEnabled(tId > 0);
  _form->setTransitionControlsHidden(tId < 1);
  _fillTable(segment);
  const int count = segment ? segment->transitionCount() : 0;
  _form->showEmptyHint(count < 1);

  int row = -1;
  for (int i = 0; tId >= 1 && i < count && row < 0; ++i)
    if (segment->transitionIdAt(i) == tId)
      row = i;
  if (row >= 0)
    _form->selectItemAt(row);
  else
    _form->clearCurrentItem();

  if (tId < 1) {
    _form->updateEasingType(QPixmap(), QString());
  } else {
    QPixmap pixmap;
    QString text;
    emit getEasingFunctionIconImage(segment, tId, pixmap);
    emit getEasingFunctionHintText(segment, tId, text);
    _form->updateEasingType(pixmap, text);
  }
  if (beginOrEnd >= 0)
    _form->setSegmentedIndex(1 - beginOrEnd);
}

void TransitionsEditingWidgetController::refreshTransitionList(Segment *segment)
{
  // Refilling drops the current row; the transition being edited stays chosen.
  const int row = _form->currentRow();
  _fillTable(segment);
  _form->selectItemAt(row);
  _form->showEmptyHint(!segment || segment->transitionCount() < 1);
}

void TransitionsEditingWidgetController::onTransitionSegmentedWidgetIndexChanged(int index)
{
  emit transitionBeginOrEndPositionChanged(1 - index);
}
