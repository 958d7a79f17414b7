#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

// An on/off switch: a pill with a round knob that slides in 200 ms. Horizontal when at
// least as wide as high, vertical otherwise.
class SwitchButton : public QWidget
{
  Q_OBJECT
public:
  explicit SwitchButton(QWidget *parent = nullptr);

  // At once, without animation or signal.
  void setValue(bool value);
  bool value() const { return _value; }
  int knobOffset() const { return _knobOffset; }

  void setOffColor(const QColor &color);
  void setOnColor(const QColor &color);
  void setKnobColor(const QColor &color);
  void setDisabledOffColor(const QColor &color);
  void setDisabledOnColor(const QColor &color);
  void setDisabledKnobColor(const QColor &color);

signals:
  void valueChanged(bool value);

public slots:
  void OnValueChanged(const QVariant &value);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  int _travel() const { return qAbs(width() - height()); }
  QColor _effective(const QColor &enabled, const QColor &disabled) const;

  bool _value = false;
  int _knobOffset = 0;
  QColor _offColor = Qt::gray;
  QColor _onColor = Qt::green;
  QColor _knobColor = Qt::white;
  QColor _disabledOnColor;
  QColor _disabledOffColor;
  QColor _disabledKnobColor;
  QVariantAnimation _animation;
};
