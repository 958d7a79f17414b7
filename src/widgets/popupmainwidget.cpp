#include "popupmainwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int arrowDepth = 16;
constexpr int arrowHalfWidth = 12;
} // namespace

PopupMainWidget::PopupMainWidget(QWidget *parent) : QWidget(parent) {}

void PopupMainWidget::setArrowPoint(const QPoint &point)
{
  _arrowPoint = point;
  update();
}

void PopupMainWidget::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect r(0, 0, width(), height());
  if (_borderColor.isValid())
    p.setPen(QPen(_borderColor, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (_fillColor.isValid())
    p.setBrush(_fillColor);

  if (_arrowPoint.isNull()) {
    if (_radius > 0)
      p.drawRoundedRect(r, _radius, _radius);
    else
      p.drawRect(r);
    return;
  }

  const QPoint a = _arrowPoint;
  QRect body = r;
  QPolygonF triangle;
  switch (_arrowSide) {
  case 0:
    body.setTop(r.top() + arrowDepth);
    triangle << QPointF(a.x(), r.top()) << QPointF(a.x() - arrowHalfWidth, body.top() + 1)
             << QPointF(a.x() + arrowHalfWidth, body.top() + 1);
    break;
  case 1:
    body.setLeft(r.left() + arrowDepth);
    triangle << QPointF(r.left(), a.y()) << QPointF(body.left() + 1, a.y() - arrowHalfWidth)
             << QPointF(body.left() + 1, a.y() + arrowHalfWidth);
    break;
  case 2:
    body.setRight(r.right() - arrowDepth);
    triangle << QPointF(r.left() + r.width(), a.y()) << QPointF(body.right(), a.y() - arrowHalfWidth)
             << QPointF(body.right(), a.y() + arrowHalfWidth);
    break;
  case 3:
    body.setBottom(r.bottom() - arrowDepth);
    triangle << QPointF(a.x(), r.top() + r.height()) << QPointF(a.x() - arrowHalfWidth, body.bottom())
             << QPointF(a.x() + arrowHalfWidth, body.bottom());
    break;
  default:
    return;
  }
  QPainterPath rounded;
  rounded.addRoundedRect(body, 10, 10);
  QPainterPath path;
  path.addPolygon(rounded.toFillPolygon());
  QPainterPath arrow;
  arrow.addPolygon(triangle);
  arrow.closeSubpath();
  p.drawPath(path.united(arrow));
}

void PopupMainWidget::mouseReleaseEvent(QMouseEvent *event)
{
  QWidget::mouseReleaseEvent(event);
  if (rect().contains(event->pos()))
    emit mainWidgetClicked();
}
