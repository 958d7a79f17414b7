#pragma once

#include <QColor>
#include <QWidget>

// The dark rounded tab behind a selected tool button: 1 hangs from the top edge, 2 stands
// on the right edge, anything else on the left edge; concave flares join it to the edge.
class RoundTabWidget : public QWidget
{
  Q_OBJECT
public:
  RoundTabWidget(int shape, const QColor &fill, QWidget *parent = nullptr);

  // Width of the flare on each side.
  static qreal cornerRadius() { return 10.0; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QColor _fill;
  int _shape;
};
