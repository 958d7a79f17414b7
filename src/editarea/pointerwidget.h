#pragma once

#include <QPixmap>
#include <QWidget>

// A vertical marker over the ruler and the rows: a button on top and a line below.
// Styles: 0 play head, 1 play head while a segment is edited, 2 play head while a range is
// selected, 3 range start.
class PointerWidget : public QWidget
{
  Q_OBJECT
public:
  PointerWidget(int style, int headHeight, QWidget *parent = nullptr);

  int pointerStyle() const { return _style; }
  void setPointerStyle(int style);
  void setButtonPixmap(const QString &path);
  float centerX() const;
  void setCenterX(float x, bool animated);
  // Where a press counts as one on the pointer's head.
  QRect headRect() const { return QRect(0, 0, width(), _headHeight); }
  float buttonScale() const { return _buttonScale; }
  const QPixmap &buttonPixmap() const { return _buttonPixmap; }
  const QPixmap &linePixmap() const { return _linePixmap; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QPixmap _buttonPixmap;
  QPixmap _linePixmap;
  int _headHeight;
  int _style = -1;
  float _buttonScale = 1.0f;
};
