#pragma once

#include "commonslidercolorpopup.h"

#include <memory>

class PopupSliderForm;

// A value with a colour and two further rows that count only while the first is above 0:
// the text background (opacity, spacing, round corner).
class PopupSliderColor2SlidersWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupSliderColor2SlidersWidget(QWidget *parent);
  ~PopupSliderColor2SlidersWidget() override;

  void embedWithValues(QWidget *container, const QString &title, float value, const QColor &color, float min,
                       float max, float step, const QString &label2, float value2, float min2, float max2, float step2,
                       const QString &label3, float value3, float min3, float max3, float step3);
  void showPopupWithValues(QWidget *parent, const QString &title, const QPoint &anchor, float value,
                           const QColor &color, float min, float max, float step, const QString &label2, float value2,
                           float min2, float max2, float step2, const QString &label3, float value3, float min3,
                           float max3, float step3);

  int popupHeight() override { return 284; }

private:
  std::unique_ptr<PopupSliderForm> _form;
};
