#pragma once

#include "commonpopup.h"

#include <QPointer>
#include <QTimer>

#include <functional>

class ColorButton;
class PopupColorMatrixWidget;
class PopupSliderForm;
class QLabel;
class QPushButton;
class QSlider;
class SwitchButton;

// Base of the slider popups and the chroma key popup: up to three values on sliders (held
// as thousandths), one colour and one switch. Each value is reported while it changes
// (…Changing) and once when the gesture is over (…Changed: slider release, or 350 ms after
// the last release of a stepping button). Rows 2 and 3 are usable only while row 1 is above
// 0 and the switch is on. The subclass builds its form and fills in the widgets it has;
// every one is optional but slider 1.
class CommonSliderColorPopup : public CommonPopup
{
  Q_OBJECT
public:
  explicit CommonSliderColorPopup(QWidget *parent);

  void setRange(float min, float max, float step);
  void setRange2(float min, float max, float step);
  void setRange3(float min, float max, float step);
  virtual void setValue(float value);
  virtual void setValue2(float value);
  void setValue3(float value);
  // Set without a report; a value beyond the row's range shows as the range's nearest end.
  void setValueSilently(float value);
  void setValue2Silently(float value);
  void setValue3Silently(float value);
  void setPercentFormat(bool percent) { _percentFormat = percent; }
  void setSpeedFormat(bool speed) { _speedFormat = speed; }
  void setColor(const QColor &color);
  QColor color() const;
  float value() const;
  float value2() const;
  float value3() const;
  void setLabelText2(const QString &text);
  void setLabelText3(const QString &text);
  void setSwitchLabelText(const QString &text);
  void setSwitchValue(bool value);
  void setMainValueActive(bool active);
  void setSwitchActive(bool active);
  void updateDependentControls();
  void setSnapValue(float value, float tolerance);

  bool onEscapeKeyPressed() override;
  void dismiss() override;
  void dismissSubPopup() override;
  void moveToAnchor(const QPoint &anchor) override;
  void setPopupEnabled(bool enabled) override;
  bool isPopupEnabled() override;
  void initialize() override;
  int popupHeight() override { return 120; }

  // Out of line, so that subclasses need not know the colour chooser.
  PopupColorMatrixWidget *colorSubPopup() const;
  QWidget *snapMarker() const { return _snapMarker; }
  // Whether a held stepping button will step again.
  bool isRepeatPending() const { return _repeatTimer.isActive(); }

signals:
  void sliderColorPopupValueChanged(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupValue2Changed(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupValue3Changed(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupValueChanging(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupValue2Changing(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupValue3Changing(CommonSliderColorPopup *popup, float value);
  void sliderColorPopupColorChanged(CommonSliderColorPopup *popup, QColor color);
  void sliderColorPopupNeedColorPickingImage(CommonSliderColorPopup *popup, QImage *image);
  void sliderColorPopupGetPlaybackAreaFrame(CommonSliderColorPopup *popup, QRect *rect, QWidget *inWidget);
  void sliderColorPopupSwitchValueChanged(CommonSliderColorPopup *popup, bool value);

public slots:
  void onSliderValueChanged(int value);
  void onSlider2ValueChanged(int value);
  void onSlider3ValueChanged(int value);
  void onSliderReleased();
  void onSlider2Released();
  void onSlider3Released();
  void onValueUpButtonPressed() { _stepPressed(0, 1); }
  void onValueUpButton2Pressed() { _stepPressed(1, 1); }
  void onValueUpButton3Pressed() { _stepPressed(2, 1); }
  void onValueUpButtonReleased() { _stepReleased(0); }
  void onValueUpButton2Released() { _stepReleased(1); }
  void onValueUpButton3Released() { _stepReleased(2); }
  void onValueDownButtonPressed() { _stepPressed(0, -1); }
  void onValueDownButton2Pressed() { _stepPressed(1, -1); }
  void onValueDownButton3Pressed() { _stepPressed(2, -1); }
  void onValueDownButtonReleased() { _stepReleased(0); }
  void onValueDownButton2Released() { _stepReleased(1); }
  void onValueDownButton3Released() { _stepReleased(2); }
  void onColorButtonClicked();
  void onPopupColorMatrixWidgetDismissed(CommonPopup *popup);
  void onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *popup, QColor color);
  void onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *popup);
  void onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *popup, QImage *image);
  void onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *popup, QRect *rect);
  void onSwitchValueChanged(bool value);

protected:
  // One value row of the form; row 1's caption is the popup title, so it has no row label.
  struct SliderRow
  {
    QSlider *slider = nullptr;
    QLabel *valueLabel = nullptr;
    QPushButton *downButton = nullptr;
    QPushButton *upButton = nullptr;
    QLabel *rowLabel = nullptr;
    int step = 0;          // thousandths
    int reportedValue = 0; // at the last report or programmatic set
  };

  void mousePressEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  // Sends the Changed reports still waiting for their delay, when the user closes the popup
  // before it ends. Not on every dismiss: the owner also dismisses after an undo.
  virtual void reportPendingValues();

  struct RowValues
  {
    float value, min, max, step;
  };
  struct CaptionedRowValues
  {
    QString caption;
    float value, min, max, step;
  };
  // What every multi-row popup sets before it shows: captions, ranges and values of the
  // rows, the colour, and whether the main value lets rows 2 and 3 be used.
  void setRowValues(const RowValues &main, const QColor &color, const CaptionedRowValues &row2,
                    const CaptionedRowValues &row3 = {});

  // Gives the button a grey icon for its disabled state.
  static void addDisabledIcon(QPushButton *button);
  // Takes the panel, the title and every row, colour and switch widget the form has.
  void adoptForm(const PopupSliderForm &form);
  bool isMainValueActive() const { return _mainValueActive; }
  bool isSwitchActive() const { return _switchActive; }

  // Filled in by the subclass constructor from its form.
  SliderRow _rows[3];
  ColorButton *_colorButton = nullptr;
  QLabel *_switchLabel = nullptr;
  SwitchButton *_switchButton = nullptr;

private:
  void _setRowRange(int row, float min, float max, float step);
  void _setRowValue(int row, float value);
  float _boundToRow(int row, float value) const;
  void _silently(const std::function<void()> &set);
  void _rowValueChanged(int row, int value);
  void _rowReleased(int row);
  void _stepPressed(int row, int direction);
  void _stepReleased(int row);
  void _stepSliderWhileHeld();
  QString _rowText(int row, float value) const;
  void _wireRow(int row);
  void _placeSnapMarker();
  void _placeSubPopup();
  void _closeSubPopup();

  bool _percentFormat = false;
  bool _speedFormat = false;
  int _heldButton = 0;
  int _repeatDelay = 0;
  int _stepRow = 0;
  int _stepDelta = 0;
  QTimer _repeatTimer;
  QTimer _releaseTimers[3];
  bool _snapEnabled = false;
  float _snapValue = 0;
  float _snapTolerance = 0;
  bool _snapSuspended = false;
  QWidget *_snapMarker = nullptr;
  QPointer<PopupColorMatrixWidget> _colorPopup;
  bool _mainValueActive = true;
  bool _switchActive = true;
  bool _silent = false;
};
