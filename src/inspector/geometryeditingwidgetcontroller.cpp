#include "geometryeditingwidgetcontroller.h"

#include "geometryeditingwidget.h"
#include "segmenttypes.h"

GeometryEditingWidgetController::GeometryEditingWidgetController(bool transitionMode, QWidget *parent)
  : CommonEditingWidgetController(parent), _transitionMode(transitionMode)
{
  _form = new GeometryEditingWidget(parent);
  _form->setFixedHeight(235);
  using W = GeometryEditingWidget;
  using C = GeometryEditingWidgetController;
  connect(_form, &W::maintainAspectRatioButtonClicked, this, &C::maintainAspectRatioButtonClicked);
  connect(_form, &W::restoreDefaultButtonClicked, this, &C::restoreDefaultButtonClicked);
  connect(_form, &W::cropButtonClicked, this, &C::cropButtonClicked);
  connect(_form, &W::rotateClockwiseButtonClicked, this, &C::rotateClockwiseButtonClicked);
  connect(_form, &W::rotateCounterClockwiseButtonClicked, this, &C::rotateCounterClockwiseButtonClicked);
  connect(_form, &W::flipHorizontalButtonClicked, this, &C::flipHorizontalButtonClicked);
  connect(_form, &W::flipVerticalButtonClicked, this, &C::flipVerticalButtonClicked);
  connect(_form, &W::rotationValueChanged, this, &C::rotationValueChanged);
  connect(_form, &W::xValueChanged, this, &C::xValueChanged);
  connect(_form, &W::yValueChanged, this, &C::yValueChanged);
  connect(_form, &W::widthValueChanged, this, &C::widthValueChanged);
  connect(_form, &W::heightValueChanged, this, &C::heightValueChanged);
  connect(_form, &W::beforeGeometryValueChanging, this, &C::beforeGeometryValueChanging);
  connect(_form, &W::rotationValueChanging, this, &C::rotationValueChanging);
  connect(_form, &W::xValueChanging, this, &C::xValueChanging);
  connect(_form, &W::yValueChanging, this, &C::yValueChanging);
  connect(_form, &W::widthValueChanging, this, &C::widthValueChanging);
  connect(_form, &W::heightValueChanging, this, &C::heightValueChanging);
  connect(_form, &W::afterGeometryValueChanging, this, &C::afterGeometryValueChanging);
}

bool GeometryEditingWidgetController::isSupported(const Segment *segment)
{
  return isVisualSegment(segment);
}

void GeometryEditingWidgetController::_showValues(const QPointF &translation, const QSizeF &scale, float rotation)
{
  _form->setXValue(translation.x());
  _form->setYValue(translation.y());
  _form->setWidthValue(scale.width());
  _form->setHeightValue(scale.height());
  _form->setRotationValue(rotation);
}

void GeometryEditingWidgetController::updateFromSegment(const Segment *segment)
{
  _showValues(segment->userTranslation(), segment->userScale(), float(segment->userRotation()));
  _form->setHFlipSelected(segment->isFlippedHorizontally());
  _form->setVFlipSelected(segment->isFlippedVertically());
}

void GeometryEditingWidgetController::updateFromTransition(const Segment *segment, int tId, int beginOrEnd)
{
  const bool changed = _loaded.take(tId, beginOrEnd);
  _form->setEditingEnabled(LoadedTransition::names(tId, beginOrEnd));
  if (tId < 1 || beginOrEnd < 0)
    return;
  const bool begin = beginOrEnd != 0;
  _form->setHFlipSelected(segment->isTransitionFlippedHorizontally(tId, begin));
  _form->setVFlipSelected(segment->isTransitionFlippedVertically(tId, begin));
  if (changed)
    reloadTransitionValues(segment, tId, beginOrEnd);
}

void GeometryEditingWidgetController::reloadTransitionValues(const Segment *segment, int tId, int beginOrEnd)
{
  if (!LoadedTransition::names(tId, beginOrEnd))
    return;
  const bool begin = beginOrEnd != 0;
  _showValues(segment->transitionUserTranslation(tId, begin), segment->transitionUserScale(tId, begin),
              segment->transitionUserRotation(tId, begin));
}

void GeometryEditingWidgetController::updateEnabledAtTime(TransformWidget *transformWidget, bool)
{
  _form->setEditingEnabled(transformWidget != nullptr);
}

QWidget *GeometryEditingWidgetController::editingWidget() const
{
  return _form;
}

void GeometryEditingWidgetController::setVisible(bool visible)
{
  setVisibleWithWidget(visible);
  if (!visible)
    _loaded.forget();
}
