#include "popupslidercolorwidget.h"

#include "popupsliderform.h"

PopupSliderColorWidget::PopupSliderColorWidget(QWidget *parent)
  : CommonSliderColorPopup(parent), _form(new PopupSliderForm)
{
  _form->setupUi(this, "PopupSliderColorWidget");
  _form->addRow(0, true, 1);
  adoptForm(*_form);
}

PopupSliderColorWidget::~PopupSliderColorWidget() = default;

void PopupSliderColorWidget::_setValue(float value, const QColor &color, float min, float max, float step)
{
  setRange(min, max, step);
  setValue(value);
  setColor(color);
}

void PopupSliderColorWidget::embedWithValue(QWidget *container, const QString &title, float value,
                                            const QColor &color, float min, float max, float step)
{
  _setValue(value, color, min, max, step);
  embedInWidget(container, title);
}

void PopupSliderColorWidget::showPopupWithValue(QWidget *parent, const QString &title, const QPoint &anchor,
                                                float value, const QColor &color, float min, float max, float step)
{
  _setValue(value, color, min, max, step);
  showPopup(parent, title, anchor);
}
