#include "popupslidercolor2sliderswidget.h"

#include "popupsliderform.h"

PopupSliderColor2SlidersWidget::PopupSliderColor2SlidersWidget(QWidget *parent)
  : CommonSliderColorPopup(parent), _form(new PopupSliderForm)
{
  _form->setupUi(this, "PopupSliderColor2SlidersWidget");
  _form->addRow(0, true, 1);
  _form->addRow(1, false, 0);
  _form->addRow(2, false, 0);
  adoptForm(*_form);
}

PopupSliderColor2SlidersWidget::~PopupSliderColor2SlidersWidget() = default;

void PopupSliderColor2SlidersWidget::embedWithValues(QWidget *container, const QString &title, float value,
                                                     const QColor &color, float min, float max, float step,
                                                     const QString &label2, float value2, float min2, float max2,
                                                     float step2, const QString &label3, float value3, float min3,
                                                     float max3, float step3)
{
  setRowValues({value, min, max, step}, color, {label2, value2, min2, max2, step2},
               {label3, value3, min3, max3, step3});
  setSwitchActive(true);
  embedInWidget(container, title);
}

void PopupSliderColor2SlidersWidget::showPopupWithValues(QWidget *parent, const QString &title, const QPoint &anchor,
                                                         float value, const QColor &color, float min, float max,
                                                         float step, const QString &label2, float value2, float min2,
                                                         float max2, float step2, const QString &label3, float value3,
                                                         float min3, float max3, float step3)
{
  setRowValues({value, min, max, step}, color, {label2, value2, min2, max2, step2},
               {label3, value3, min3, max3, step3});
  setSwitchActive(true);
  showPopup(parent, title, anchor);
}
