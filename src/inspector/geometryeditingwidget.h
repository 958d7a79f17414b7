#pragma once

#include <QPointF>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class ScrollableToolBar;
class TooltipButton;

// Where a visual layer sits on the picture: X, Y (translation) and W, H (scale) in percent,
// and the rotation in degrees, each in a line edit between a step-down and a step-up button
// that repeat while held; and two tool strips of geometry commands. Values travel as model
// units: fractions (1.0 is 100 %) and radians. A typed value is reported once committed
// (Return or leaving the field, only when the text was edited); a button gesture reports
// live values (…Changing) between before- and after-signals, then the final value (…Changed)
// 350 ms after the last release.
class GeometryEditingWidget : public QWidget
{
  Q_OBJECT
public:
  explicit GeometryEditingWidget(QWidget *parent);

  void setXValue(double value);
  void setYValue(double value);
  void setWidthValue(double value);
  void setHeightValue(double value);
  void setRotationValue(double value);
  void setHFlipSelected(bool selected);
  void setVFlipSelected(bool selected);
  void setEditingEnabled(bool enabled);

  QLabel *titleLabel() const { return _titleLabel; }
  ScrollableToolBar *toolbar() const { return _toolbar; }
  ScrollableToolBar *toolbar2() const { return _toolbar2; }
  TooltipButton *hFlipButton() const { return _hFlipButton; }
  TooltipButton *vFlipButton() const { return _vFlipButton; }

signals:
  void maintainAspectRatioButtonClicked();
  void restoreDefaultButtonClicked();
  void cropButtonClicked();
  void rotateClockwiseButtonClicked();
  void rotateCounterClockwiseButtonClicked();
  void flipHorizontalButtonClicked();
  void flipVerticalButtonClicked();
  void rotationValueChanged(double value);
  void xValueChanged(double value);
  void yValueChanged(double value);
  void widthValueChanged(double value);
  void heightValueChanged(double value);
  // The directly connected owner fills the three with the layer's values before the emit returns.
  void beforeGeometryValueChanging(QPointF &translation, QPointF &scale, qreal &rotation);
  void rotationValueChanging(double value);
  void xValueChanging(double value);
  void yValueChanging(double value);
  void widthValueChanging(double value);
  void heightValueChanging(double value);
  void afterGeometryValueChanging(QPointF translation, QPointF scale, double rotation);

public slots:
  void onToolBarButtonClicked(ScrollableToolBar *toolbar, int cmdId);
  void onValueUpButtonPressed();
  void onValueUpButtonReleased();
  void onValueDownButtonPressed();
  void onValueDownButtonReleased();
  void onEditingFinished();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  enum Field { X, Y, Width, Height, Rotation, FieldCount };
  struct Panel
  {
    QWidget *widget = nullptr;
    QLabel *label = nullptr;
    QPushButton *downButton = nullptr;
    QLineEdit *lineEdit = nullptr;
    QPushButton *upButton = nullptr;
    double last = 0; // shown units, as last set or reported
  };

  void _buildForm();
  QWidget *_buildPanel(Field field, QWidget *parent);
  void _buildToolBars();
  void _applyStyle();
  void _setShown(Field field, double shown);
  void _fitText(QLineEdit *edit);
  QString _text(Field field, double shown) const;
  double _read(Field field) const;
  void _commit(Field field);
  void _emitChanging(Field field, double shown);
  int _fieldOf(QObject *widget) const;
  void _press(QObject *button, double direction);
  void _step();
  void _release();
  void _endGesture();

  Panel _panels[FieldCount];
  QLabel *_titleLabel = nullptr;
  ScrollableToolBar *_toolbar = nullptr;
  ScrollableToolBar *_toolbar2 = nullptr;
  TooltipButton *_hFlipButton = nullptr;
  TooltipButton *_vFlipButton = nullptr;

  bool _pressing = false;
  bool _mouseHold = false; // else held by the keyboard
  QPushButton *_pressedButton = nullptr;
  int _repeatInterval = 0;
  double _stepDelta = 0;
  QTimer _repeatTimer;
  int _releaseCount = 0;
  bool _gestureOpen = false;
  int _steppedFields = 0; // bit per field stepped in the open gesture
  QPointF _gestureTranslation;
  QPointF _gestureScale{-1.0, 0};
  double _gestureRotation = 0;
};
