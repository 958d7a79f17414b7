#include "segmenteditingstatebackgroundwidget.h"

#include "segment.h"
#include "timelinegeometry.h"

#include <QPaintEvent>
#include <QPainter>

SegmentEditingStateBackgroundWidget::SegmentEditingStateBackgroundWidget(const QRect &geometry, Segment *segment,
                                                                         float zoom, QWidget *parent)
  : QWidget(parent), _segment(segment), _zoom(zoom)
{
  setGeometry(geometry);
}

void SegmentEditingStateBackgroundWidget::paintEvent(QPaintEvent *event)
{
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (_segment)
    _segment->paintOverlay(&painter, rect(), event->rect(), Timeline::widthForDuration(1.0f, _zoom));
  painter.fillRect(rect(), QColor(0, 0, 0, 128));
}
