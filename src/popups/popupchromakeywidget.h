#pragma once

#include "commonslidercolorpopup.h"
// The base's inline sub-popup getter needs the complete type.
#include "popupcolormatrixwidget.h"

class QPushButton;

// The chroma key of a visual segment: an on/off switch, "Sensitivity" and "Smoothing"
// (rows 2 and 3 of the base, 0 to 100), the key colour, and an options menu that restores
// the defaults. Changes reach the owner through the base's signals; only a restore reports
// all values at once, by `valuesChanged`.
class PopupChromaKeyWidget : public CommonSliderColorPopup
{
  Q_OBJECT
public:
  explicit PopupChromaKeyWidget(QWidget *parent);

  void embedWithValues(QWidget *container, bool enabled, int sensitivity, int smoothing, const QColor &color);
  void showPopupWithValues(QWidget *parent, const QPoint &anchor, bool enabled, int sensitivity, int smoothing,
                           const QColor &color);

  void initialize() override;
  void setPopupEnabled(bool enabled) override;
  bool isPopupEnabled() override;
  int popupHeight() override { return 330; }

  QPushButton *optionsButton() const { return _optionsButton; }
  QLabel *keyColorLabel() const { return _titleLabel4; }
  SwitchButton *switchButton() const { return _switchButton; }
  QLabel *switchLabel() const { return _switchLabel; }
  ColorButton *colorButton() const { return _colorButton; }
  const SliderRow &row(int index) const { return _rows[index]; }

signals:
  void valuesChanged(PopupChromaKeyWidget *chromaKeyWidget, int sensitivity, int smoothing, QColor color);

public slots:
  void onOptionsButtonPressed();

private:
  void _buildForm();
  void _setValues(bool enabled, int sensitivity, int smoothing, const QColor &color);
  void _restoreDefaults();

  QPushButton *_optionsButton = nullptr;
  QLabel *_titleLabel4 = nullptr;
};
