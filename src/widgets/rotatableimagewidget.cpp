#include "rotatableimagewidget.h"

#include <QPainter>

RotatableImageWidget::RotatableImageWidget(QWidget *parent) : QWidget(parent) {}

void RotatableImageWidget::setPixmap(const QPixmap &pixmap)
{
  _pixmap = pixmap;
  update();
}

void RotatableImageWidget::setDisabledPixmap(const QPixmap &pixmap)
{
  _disabledPixmap = pixmap;
  update();
}

void RotatableImageWidget::setRotation(float degrees)
{
  _rotation = degrees;
  update();
}

void RotatableImageWidget::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  const int cx = width() / 2, cy = height() / 2;
  p.translate(cx, cy);
  p.rotate(_rotation);
  p.translate(-cx, -cy);
  const QPixmap &picture = !isEnabled() && !_disabledPixmap.isNull() ? _disabledPixmap : _pixmap;
  p.drawPixmap(rect(), picture);
}
