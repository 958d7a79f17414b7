#include "popupsliderwidget.h"

#include "popupsliderform.h"

PopupSliderWidget::PopupSliderWidget(QWidget *parent) : CommonSliderColorPopup(parent), _form(new PopupSliderForm)
{
  _form->setupUi(this, "PopupSliderWidget");
  _form->addRow(0, false, 1);
  adoptForm(*_form);
}

PopupSliderWidget::~PopupSliderWidget() = default;

void PopupSliderWidget::_setValue(float value, float min, float max, bool speedFormat, float step)
{
  setRange(min, max, step);
  setSpeedFormat(speedFormat);
  setValue(value);
}

void PopupSliderWidget::embedWithValue(QWidget *container, const QString &title, float value, float min, float max,
                                       bool speedFormat, float step)
{
  _setValue(value, min, max, speedFormat, step);
  embedInWidget(container, title);
}

void PopupSliderWidget::showPopupWithValue(QWidget *parent, const QString &title, const QPoint &anchor, float value,
                                           float min, float max, bool speedFormat, float step)
{
  _setValue(value, min, max, speedFormat, step);
  showPopup(parent, title, anchor);
}

void PopupSliderWidget::initialize()
{
  CommonSliderColorPopup::initialize();
  _form->rows[0].panel->setStyleSheet("QWidget { background-color: transparent; }");
}
