#pragma once

#include "commonslidercolorpopup.h"

#include <memory>

class PopupSliderForm;

// One value on a slider: transparency, volume, speed, round corner, and the picture and
// text sizes of the drawing canvas.
class PopupSliderWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupSliderWidget(QWidget *parent);
  ~PopupSliderWidget() override;

  void embedWithValue(QWidget *container, const QString &title, float value, float min, float max, bool speedFormat,
                      float step);
  void showPopupWithValue(QWidget *parent, const QString &title, const QPoint &anchor, float value, float min,
                          float max, bool speedFormat, float step);

  void initialize() override;
  int popupHeight() override { return 120; }

private:
  void _setValue(float value, float min, float max, bool speedFormat, float step);

  std::unique_ptr<PopupSliderForm> _form;
};
