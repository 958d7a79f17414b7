#include "moviesizegridbutton.h"

#include <QPainter>

MovieSizeGridButton::MovieSizeGridButton(const QString &text, float aspectRatio, QWidget *parent)
  : QPushButton(text, parent), _aspectRatio(aspectRatio)
{
}

void MovieSizeGridButton::setSelected(bool selected)
{
  if (selected == _selected)
    return;
  _selected = selected;
  update();
}

QRectF MovieSizeGridButton::frameRect() const
{
  const QRectF inner = QRectF(rect()).adjusted(10, 10, -10, -10);
  QRectF frame(inner.left(), inner.top(), inner.width(), inner.width());
  if (_aspectRatio >= 1) {
    const qreal h = frame.width() / _aspectRatio;
    frame.moveTop(frame.top() + (frame.height() - h) / 2);
    frame.setHeight(h);
  } else {
    const qreal w = _aspectRatio * frame.height();
    frame.moveLeft(frame.left() + (frame.width() - w) / 2);
    frame.setWidth(w);
  }
  return frame;
}

void MovieSizeGridButton::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF whole(rect());
  const QRectF inner = whole.adjusted(10, 10, -10, -10);
  if (_selected) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(44, 46, 50));
    p.drawRoundedRect(whole, 5, 5);
  }
  p.setPen(QPen(_selected ? QColor(54, 200, 255) : QColor(216, 216, 216), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(frameRect(), 5, 5);
  // Light text like every label of the kit: the panels behind these buttons are dark.
  p.setPen(Qt::white);
  p.drawText(QRectF(inner.left(), inner.bottom() - 20, inner.width(), 20), Qt::AlignCenter, text());
}
