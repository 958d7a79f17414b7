#include "rulerscrollarea.h"

#include "rulerwidget.h"
#include "timelinegeometry.h"

#include <QScrollBar>

RulerScrollArea::RulerScrollArea(QWidget *parent) : QScrollArea(parent)
{
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::NoFocus);
}

RulerWidget *RulerScrollArea::rulerWidget()
{
  if (!_rulerWidget)
    _rulerWidget = qobject_cast<RulerWidget *>(widget());
  return _rulerWidget;
}

void RulerScrollArea::setOffset(float x)
{
  horizontalScrollBar()->setValue(int(x));
}

void RulerScrollArea::setScale(float zoom, float duration)
{
  if (suspended)
    return;
  float w = contentWidth(zoom, duration);
  if (float(width()) > w)
    w = float(width() + 1);
  RulerWidget *ruler = rulerWidget();
  if (!ruler)
    return;
  ruler->setFixedSize(int(w), height());
  ruler->setScale(zoom);
}
