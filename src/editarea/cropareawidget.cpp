#include "cropareawidget.h"

#include <QPaintEvent>
#include <QPainter>

CropAreaWidget::CropAreaWidget(const QColor &gridColor, QWidget *parent) : QWidget(parent), _gridColor(gridColor) {}

void CropAreaWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  painter.setPen(_gridColor);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(event->rect().adjusted(0, 0, -1, -1));
  const int w = width(), h = height();
  for (int i = 1; i <= 2; ++i) {
    painter.drawLine(0, i * h / 3, w, i * h / 3);
    painter.drawLine(i * w / 3, 0, i * w / 3, h);
  }
}
