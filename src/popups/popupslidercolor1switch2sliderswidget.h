#pragma once

#include "commonslidercolorpopup.h"

#include <memory>

class PopupSliderForm;

// A value with a colour, an on/off switch and two further rows that count only while the
// value is above 0 and the switch is on: the stroke border of pictures, clips and drawings.
class PopupSliderColor1Switch2SlidersWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupSliderColor1Switch2SlidersWidget(QWidget *parent);
  ~PopupSliderColor1Switch2SlidersWidget() override;

  void embedWithValues(QWidget *container, const QString &title, float value, const QColor &color, float min,
                       float max, float step, const QString &label2, float value2, float min2, float max2, float step2,
                       const QString &label3, float value3, float min3, float max3, float step3,
                       const QString &switchLabel, bool switchValue);
  void showPopupWithValues(QWidget *parent, const QString &title, const QPoint &anchor, float value,
                           const QColor &color, float min, float max, float step, const QString &label2, float value2,
                           float min2, float max2, float step2, const QString &label3, float value3, float min3,
                           float max3, float step3, const QString &switchLabel, bool switchValue);

  int popupHeight() override { return 344; }

private:
  void _setSwitch(const QString &switchLabel, bool switchValue);

  std::unique_ptr<PopupSliderForm> _form;
};
