#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;
class RotatableImageWidget;

// One collapsible row of the colour adjustment list: title and value when collapsed, a
// slider with step buttons below when expanded. A click on the title line asks the list to
// toggle it. Values go out while they change and once the gesture is over.
class PopupColorsScrollWidgetOneSliderItemWidget : public QWidget
{
  Q_OBJECT
public:
  PopupColorsScrollWidgetOneSliderItemWidget(const QPixmap &expandPixmap, const QPixmap &expandDisabledPixmap,
                                             QWidget *parent);

  void setTitle(const QString &title);
  // Neither snaps nor reports.
  void setValueAndRange(int value, int minimum, int maximum);
  void setValueSilently(int value);
  void setExpanded(bool expanded);
  void hideSeparator();
  // Sends at once a report still waiting for the delay after a step button's release.
  void reportPendingValue();

  int index = 0;

  QLabel *titleLabel() const { return _titleLabel; }
  QLabel *valueLabelSmall() const { return _valueLabelSmall; }
  QLabel *valueLabel() const { return _valueLabel; }
  QSlider *slider() const { return _slider; }
  QPushButton *valueDownButton() const { return _valueDownButton; }
  QPushButton *valueUpButton() const { return _valueUpButton; }
  QWidget *sliderAreaWidget() const { return _sliderAreaWidget; }
  RotatableImageWidget *expandIcon() const { return _expandIcon; }

signals:
  void valueDidChange(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget, int value);
  void valueChanging(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget, int value);
  void itemPressed(PopupColorsScrollWidgetOneSliderItemWidget *itemWidget);

public slots:
  void onSliderValueChanged(int value);
  void onSliderReleased();
  void onValueUpButtonPressed() { _startHolding(1); }
  void onValueDownButtonPressed() { _startHolding(2); }
  void onValueUpButtonReleased() { _stopHolding(); }
  void onValueDownButtonReleased() { _stopHolding(); }

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void _buildForm();
  void _showValue(int value);
  void _reportIfChanged();
  void _startHolding(int direction);
  void _stopHolding();
  void _step();

  QVBoxLayout *_verticalLayout = nullptr;
  RotatableImageWidget *_expandIcon = nullptr;
  QLabel *_titleLabel = nullptr;
  QLabel *_valueLabelSmall = nullptr;
  QWidget *_sliderAreaWidget = nullptr;
  QSlider *_slider = nullptr;
  QPushButton *_valueDownButton = nullptr;
  QLabel *_valueLabel = nullptr;
  QPushButton *_valueUpButton = nullptr;
  QWidget *_separator = nullptr;

  int _holdDirection = 0;
  int _holdInterval = 0;
  int _reportedValue = 0;
  bool _stepping = false;
  bool _pressed = false;
  bool _moved = false;
  QPoint _pressGlobalPos;
  bool _silent = false;
  QTimer _repeatTimer;
  // Restarted by every release: one report 350 ms after the last.
  QTimer _releaseTimer;
};
