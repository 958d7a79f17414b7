#include "colorbutton.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent)
{
  _checkerboard = QBrush(QPixmap(":/images/drawing/hollow_back"));
  _checkerboard.setTransform(QTransform::fromScale(0.5, 0.5));
}

void ColorButton::setColor(const QColor &color)
{
  _color = color;
  if (color.alpha() == 0) {
    // Without "border: none" the Fusion style keeps its native bevel and fills it from the
    // transparent colour as opaque black, hiding the checkerboard.
    setStyleSheet("QPushButton { background-color:transparent; border: none; }");
  } else {
    // A near-black face would vanish on the dark panels: it gets a border.
    const int border = color.red() < 2 && color.green() < 2 && color.blue() < 2 ? 1 : 0;
    const QColor pressed = color.darker(200), disabled = color.darker(300);
    setStyleSheet(QString("QPushButton { background-color: rgb(%1,%2,%3); border-radius: 5px; border: %4px solid rgb(31,32,35); }"
                          "QPushButton:pressed { background-color: rgb(%5,%6,%7); }"
                          "QPushButton:disabled { background-color: rgb(%8,%9,%10); }")
                    .arg(color.red())
                    .arg(color.green())
                    .arg(color.blue())
                    .arg(border)
                    .arg(pressed.red())
                    .arg(pressed.green())
                    .arg(pressed.blue())
                    .arg(disabled.red())
                    .arg(disabled.green())
                    .arg(disabled.blue()));
  }
  update();
}

void ColorButton::paintEvent(QPaintEvent *event)
{
  {
    QPainter p(this);
    if (_color.isValid() && _color.alpha() == 0) {
      p.save();
      p.setRenderHint(QPainter::Antialiasing);
      QPainterPath rounded;
      rounded.addRoundedRect(QRectF(rect()), 5, 5);
      p.setClipPath(rounded);
      p.fillPath(rounded, _checkerboard);
      p.restore();
    }
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
  }
  QPushButton::paintEvent(event);
}
