#include "videosurfacewidget.h"

#include <QPainter>

void VideoSurfaceWidget::onUpdateFrame(const QImage &frame)
{
  _frame = frame;
  update();
}

void VideoSurfaceWidget::paintEvent(QPaintEvent *)
{
  if (_frame.isNull())
    return;
  QPainter p(this);
  p.drawImage(rect(), _frame);
}
