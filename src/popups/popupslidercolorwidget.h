#pragma once

#include "commonslidercolorpopup.h"

#include <memory>

class PopupSliderForm;

// One value on a slider with a colour: border size and colour, text size and colour.
class PopupSliderColorWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupSliderColorWidget(QWidget *parent);
  ~PopupSliderColorWidget() override;

  void embedWithValue(QWidget *container, const QString &title, float value, const QColor &color, float min,
                      float max, float step);
  void showPopupWithValue(QWidget *parent, const QString &title, const QPoint &anchor, float value,
                          const QColor &color, float min, float max, float step);

  int popupHeight() override { return 120; }

private:
  void _setValue(float value, const QColor &color, float min, float max, float step);

  std::unique_ptr<PopupSliderForm> _form;
};
