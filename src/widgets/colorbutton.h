#pragma once

#include <QBrush>
#include <QPushButton>

// A push button whose face is a colour; a transparent colour shows a checkerboard.
class ColorButton : public QPushButton
{
  Q_OBJECT
public:
  explicit ColorButton(QWidget *parent = nullptr);

  void setColor(const QColor &color);
  QColor color() const { return _color; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QColor _color;
  QBrush _checkerboard;
};
