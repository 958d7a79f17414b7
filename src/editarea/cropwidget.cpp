#include "cropwidget.h"

#include "cropareawidget.h"
#include "util.h"

#include <QLabel>
#include <QMouseEvent>

namespace {
struct HandleLook
{
  const char *name;
  Qt::CursorShape cursor;
};
// In the order of CropWidget::Handle.
const HandleLook Handles[8] = {{"top_left", Qt::SizeFDiagCursor},    {"top", Qt::SizeVerCursor},
                               {"top_right", Qt::SizeBDiagCursor},   {"right", Qt::SizeHorCursor},
                               {"bottom_right", Qt::SizeFDiagCursor}, {"bottom", Qt::SizeVerCursor},
                               {"bottom_left", Qt::SizeBDiagCursor}, {"left", Qt::SizeHorCursor}};
} // namespace

CropWidget::CropWidget(const QRect &pictureRect, const QPixmap &picture, const QRectF &cropFraction, bool normal,
                       QWidget *parent)
  : QWidget(parent), _picture(picture), _cropFraction(cropFraction), _normal(normal)
{
  _pictureLabel = new QLabel(this);
  _pictureLabel->setScaledContents(true);
  _pictureLabel->setPixmap(_picture);
  _cropArea = new CropAreaWidget(normal ? QColor(236, 236, 236, 128) : QColor(12, 101, 131, 128), this);
  for (QWidget *&mask : _masks) {
    mask = new QWidget(this);
    mask->setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,128);"));
  }
  const QString look = normal ? QStringLiteral("normal") : QStringLiteral("transition");
  for (int i = 0; i < 8; ++i) {
    auto *handle = new QLabel(this);
    handle->setScaledContents(true);
    handle->setFixedSize(_handleSize, _handleSize);
    handle->setPixmap(QPixmap(QStringLiteral(":/images/crop_%1_%2").arg(QLatin1String(Handles[i].name), look)));
    handle->setCursor(Handles[i].cursor);
    _handles[i] = handle;
  }
  setPictureRect(pictureRect);
}

void CropWidget::setPictureRect(const QRect &pictureRect)
{
  const int half = _handleSize / 2;
  setGeometry(pictureRect.adjusted(-half, -half, half, half));
  _pictureLabel->setGeometry(QRect(QPoint(half, half), pictureRect.size()));
  _placeCropArea();
  _layout();
}

void CropWidget::_placeCropArea()
{
  const QRect p = _pictureLabel->geometry();
  _cropArea->setGeometry(qRound(p.x() + p.width() * _cropFraction.x()), qRound(p.y() + p.height() * _cropFraction.y()),
                         qRound(p.width() * _cropFraction.width()), qRound(p.height() * _cropFraction.height()));
}

void CropWidget::_layout()
{
  const QRect a = _cropArea->geometry();
  const QRect p = _pictureLabel->geometry();
  const QPoint centres[8] = {a.topLeft(),     {a.center().x(), a.top()},    a.topRight(),
                             {a.right(), a.center().y()}, a.bottomRight(), {a.center().x(), a.bottom()},
                             a.bottomLeft(),  {a.left(), a.center().y()}};
  for (int i = 0; i < 8; ++i)
    Util::moveWidgetCenterTo(_handles[i], centres[i]);
  _masks[0]->setGeometry(p.x(), p.y(), a.x() - p.x(), p.height());
  _masks[1]->setGeometry(a.x(), p.y(), a.width(), a.y() - p.y());
  _masks[2]->setGeometry(a.x() + a.width(), p.y(), p.right() - a.right(), p.height());
  _masks[3]->setGeometry(a.x(), a.y() + a.height(), a.width(), p.bottom() - a.bottom());

  // A small crop hides handles under each other; the one pointing into the picture stays on top.
  const bool narrow = a.width() < _handleSize;
  const bool low = a.height() < _handleSize;
  const bool atLeft = a.left() == p.left(), atRight = a.right() == p.right();
  const bool atTop = a.top() == p.top(), atBottom = a.bottom() == p.bottom();
  int raised = -1;
  if (narrow && low) {
    if (atLeft && atBottom)
      raised = TopRight;
    else if (atLeft && atTop)
      raised = BottomRight;
    else if (atRight && atTop)
      raised = BottomLeft;
    else if (atRight && atBottom)
      raised = TopLeft;
  } else if (narrow) {
    raised = atLeft ? Right : atRight ? Left : -1;
  } else if (low) {
    raised = atTop ? Bottom : atBottom ? Top : -1;
  }
  if (raised >= 0)
    _handles[raised]->raise();
}

void CropWidget::mousePressEvent(QMouseEvent *event)
{
  _pressedHandle = nullptr;
  _movingArea = false;
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  for (QObject *child : children()) {
    auto *label = qobject_cast<QLabel *>(child);
    if (label && label != _pictureLabel && label->geometry().contains(event->pos())) {
      _pressedHandle = label;
      break;
    }
  }
  if (_pressedHandle) {
    _startRect = _cropArea->geometry();
  } else if (_cropArea->geometry().contains(event->pos())) {
    _movingArea = true;
    _startRect = QRect(Util::widgetCenter(_cropArea), QSize(0, 0));
  } else {
    QWidget::mousePressEvent(event);
    return;
  }
  _pressGlobalPos = event->globalPos();
  event->accept();
}

void CropWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_pressedHandle && !_movingArea) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const QPointF d(event->globalPos() - _pressGlobalPos);
  if (_pressedHandle)
    _dragHandle(d);
  else
    _dragArea(d);
  event->accept();
}

void CropWidget::_dragHandle(const QPointF &delta)
{
  int which = 0;
  while (which < 8 && _handles[which] != _pressedHandle)
    ++which;
  const bool left = which == TopLeft || which == BottomLeft || which == Left;
  const bool top = which == TopLeft || which == Top || which == TopRight;
  const bool right = which == TopRight || which == Right || which == BottomRight;
  const bool bottom = which == BottomRight || which == Bottom || which == BottomLeft;
  const QRectF p(_pictureLabel->geometry());
  const QRectF r0(_startRect);
  const float minW = float(_minimumSize.width()), minH = float(_minimumSize.height());
  float dx = float(delta.x()), dy = float(delta.y());
  float x = float(r0.x()), y = float(r0.y()), w = float(r0.width()), h = float(r0.height());
  if (left) {
    x = qMax(float(r0.x()) + dx, float(p.x()));
    dx = x - float(r0.x());
    w = float(r0.width()) - dx;
    if (w < minW) {
      w = minW;
      x = float(r0.x() + r0.width()) - minW;
    }
  }
  if (top) {
    y = qMax(float(r0.y()) + dy, float(p.y()));
    dy = y - float(r0.y());
    h = float(r0.height()) - dy;
    if (h < minH) {
      h = minH;
      y = float(r0.y() + r0.height()) - minH;
    }
  }
  if (right) {
    w = qMax(minW, float(r0.width()) + dx);
    if (x + w > float(p.x() + p.width()))
      w = float(p.x() + p.width()) - x;
  }
  if (bottom) {
    h = qMax(minH, float(r0.height()) + dy);
    if (y + h > float(p.y() + p.height()))
      h = float(p.y() + p.height()) - y;
  }
  _cropArea->setGeometry(int(x), int(y), int(w), int(h));
  _layout();
  _setFraction(x, y, w, h);
}

void CropWidget::_dragArea(const QPointF &d)
{
  const QRect p = _pictureLabel->geometry();
  const float w = float(_cropArea->width()), h = float(_cropArea->height());
  float cx = float(_startRect.x() + d.x()), cy = float(_startRect.y() + d.y());
  if (float(p.x()) > cx - w / 2)
    cx = float(p.x()) + w / 2;
  if (float(p.y()) > cy - h / 2)
    cy = float(p.y()) + h / 2;
  if (cx + w / 2 > float(p.x() + p.width()))
    cx = float(p.x() + p.width()) - w / 2;
  if (cy + h / 2 > float(p.y() + p.height()))
    cy = float(p.y() + p.height()) - h / 2;
  Util::moveWidgetCenterTo(_cropArea, int(cx), int(cy));
  _layout();
  const QRect a = _cropArea->geometry();
  _setFraction(float(a.x()), float(a.y()), float(a.width()), float(a.height()));
}

void CropWidget::_setFraction(float x, float y, float width, float height)
{
  const QRect p = _pictureLabel->geometry();
  _cropFraction = QRectF((x - float(p.x())) / float(p.width()), (y - float(p.y())) / float(p.height()),
                         width / float(p.width()), height / float(p.height()));
}

void CropWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_pressedHandle && !_movingArea) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  _pressedHandle = nullptr;
  _movingArea = false;
  event->accept();
}
