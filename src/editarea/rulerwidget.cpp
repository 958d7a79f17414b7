#include "rulerwidget.h"

#include "timelinegeometry.h"

#include <QPaintEvent>
#include <QPainter>

RulerWidget::RulerWidget(QWidget *parent) : QWidget(parent)
{
  Timeline::setPixelsPerSecond(24);
  Timeline::setLeftMargin(60);
}

void RulerWidget::setScale(float zoom)
{
  _zoom = zoom;
  update();
}

QString RulerWidget::labelText(int seconds)
{
  return QString::asprintf("%d:%02d", seconds / 60, seconds % 60);
}

void RulerWidget::paintEvent(QPaintEvent *event)
{
  const QRect r = event->rect();
  const float p = float(Timeline::pixelsPerSecond()) * _zoom;
  if (p <= 0)
    return;
  const float margin = float(Timeline::leftMargin());
  // Below 10 pixels a second only even seconds are drawn.
  const bool sparse = p < 10.0f;
  int s = int((float(r.x()) - margin) / p);
  if (sparse && s % 2 != 0)
    --s;
  QPainter painter(this);
  QPen pen(QColor(101, 101, 101));
  pen.setCapStyle(Qt::RoundCap);
  QFont font;
  font.setPixelSize(int(_fontPixelSize));
  painter.setFont(font);
  const float bottom = float(r.y() + r.height() - 5);
  float x;
  do {
    x = float(s) * p + margin;
    const bool major = s % 5 == 0;
    pen.setWidthF(major ? 2.0 : 1.0);
    painter.setPen(pen);
    const float top = major ? float(r.y() + 6) : float(r.y()) + float(r.height()) * 0.5f + 4.0f;
    painter.drawLine(QPointF(x, bottom), QPointF(x, top));
    if (s >= 0 && major)
      painter.drawText(QPointF(x + 4.0f, float(r.y()) + _labelTop + _fontPixelSize),
                       labelText(s));
    s += sparse ? 2 : 1;
  } while (float(r.x() + r.width()) > x);
}
