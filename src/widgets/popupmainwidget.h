#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

// The painted balloon panel of help tips and several popups: a filled, outlined rounded
// rectangle, optionally with a 24-px wide, 16-px deep arrow on one side pointing at a point.
class PopupMainWidget : public QWidget
{
  Q_OBJECT
public:
  explicit PopupMainWidget(QWidget *parent = nullptr);

  // Radius when there is no arrow; the arrow shapes always round by 10.
  void setRadius(float radius) { _radius = radius; }
  void setCornerRadius(float radius) { setRadius(radius); }
  void setBorderColor(const QColor &color) { _borderColor = color; }
  void setBackgroundColor(const QColor &color) { _fillColor = color; }
  // 0 top, 1 left, 2 right, 3 bottom.
  void setArrowSide(int side) { _arrowSide = side; }
  // Tip of the arrow in own coordinates; (0, 0) draws no arrow.
  void setArrowPoint(const QPoint &point);

  float radius() const { return _radius; }
  QColor borderColor() const { return _borderColor; }
  QColor backgroundColor() const { return _fillColor; }
  QPoint arrowPoint() const { return _arrowPoint; }
  int arrowSide() const { return _arrowSide; }

signals:
  void mainWidgetClicked();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  float _radius = 0;
  QColor _borderColor;
  QColor _fillColor;
  QPoint _arrowPoint;
  int _arrowSide = 0;
};
