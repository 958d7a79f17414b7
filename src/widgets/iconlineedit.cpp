#include "iconlineedit.h"

#include <QPainter>

IconLineEdit::IconLineEdit(QWidget *parent) : QLineEdit(parent) {}

void IconLineEdit::setIcon(const QPixmap &pixmap)
{
  _icon = pixmap;
  update();
}

void IconLineEdit::setIconSize(const QSize &size)
{
  _iconSize = size;
  update();
}

void IconLineEdit::paintEvent(QPaintEvent *event)
{
  QLineEdit::paintEvent(event);
  if (_icon.isNull())
    return;
  const qreal dpr = devicePixelRatioF();
  QPixmap scaled = _icon.scaled(qRound(_iconSize.width() * dpr), qRound(_iconSize.height() * dpr), Qt::KeepAspectRatio,
                                Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(dpr);
  QPainter p(this);
  p.drawPixmap(QRect(_iconX, (height() - _iconSize.height()) / 2, _iconSize.width(), _iconSize.height()), scaled);
}
