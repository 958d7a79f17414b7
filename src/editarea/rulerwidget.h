#pragma once

#include <QWidget>

// Second ticks and minute:second labels on the timeline's scale. Constructing one installs
// the timeline's pixels per second and left margin.
class RulerWidget : public QWidget
{
  Q_OBJECT
public:
  explicit RulerWidget(QWidget *parent = nullptr);

  void setScale(float zoom);
  float zoom() const { return _zoom; }
  // The label of a whole second: minutes and two-digit seconds.
  static QString labelText(int seconds);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  float _zoom = 1.0f;
  float _fontPixelSize = 9.0f;
  float _labelTop = 2.0f;
};
