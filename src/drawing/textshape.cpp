#include "textshape.h"

#include "drawingtoolsettings.h"

#include <QPainter>

bool TextShape::_pending() const
{
  return !_settings->text.isEmpty();
}

void TextShape::_forgetLocation()
{
  _settings->textLocation = QPointF(0, 0);
}

QRect TextShape::_frameRect()
{
  QRect frame;
  emit textShapeGetFrameRect(this, frame);
  return frame;
}

void TextShape::_requestItem()
{
  emit textShapeRequestText(this);
}

void TextShape::draw()
{
  if (_settings->text.isEmpty()) {
    emit shapeNeedDisplay(this);
    return;
  }
  const QRect frame = _frameRect();
  QPainter *p = painter();
  _beginDraw();
  QFont font(_settings->fontName);
  font.setStyleName(_settings->fontStyle);
  font.setPixelSize(qMax(1, int(_settings->scaledTextSize)));
  p->setFont(font);
  const int flags = _settings->textAlign | Qt::TextWordWrap;
  const QRectF bounds = p->boundingRect(QRectF(0, 0, frame.width(), 99999), flags, _settings->text);
  const qreal x = frame.width() * _settings->textLocation.x() + (frame.width() - bounds.width()) * 0.5;
  const qreal y = frame.height() * _settings->textLocation.y() + (frame.height() - bounds.height()) * 0.5;
  p->drawText(QRectF(x, y, bounds.width(), 99999), flags, _settings->text);
  if (!_committed)
    _drawFrame(QRect(int(x), int(y), int(bounds.width() + 2), int(bounds.height())));
  _endDraw();
  emit shapeNeedDisplay(this);
}
