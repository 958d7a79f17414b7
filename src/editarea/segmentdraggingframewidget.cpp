#include "segmentdraggingframewidget.h"

#include <QPainter>
#include <QPainterPath>

SegmentDraggingFrameWidget::SegmentDraggingFrameWidget(const QColor &color, QWidget *parent)
  : QWidget(parent), _color(color)
{
}

void SegmentDraggingFrameWidget::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // A 6-pixel pen clipped to the rounded rectangle leaves a 3-pixel frame inside the widget.
  QPainterPath path;
  path.addRoundedRect(QRectF(rect()), 3.0, 3.0);
  painter.setClipPath(path);
  painter.setPen(QPen(_color, 6));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(rect()), 3.0, 3.0);
}
