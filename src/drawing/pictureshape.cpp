#include "pictureshape.h"

#include "drawingtoolsettings.h"
#include "util.h"

#include <QPainter>

bool PictureShape::_pending() const
{
  return !_settings->picture.isNull();
}

void PictureShape::_forgetLocation()
{
  _settings->pictureLocation = QPointF(0, 0);
}

QRect PictureShape::_frameRect()
{
  QRect frame;
  emit pictureShapeGetFrameRect(this, frame);
  return frame;
}

void PictureShape::_requestItem()
{
  emit pictureShapeRequestPicture(this);
}

void PictureShape::draw()
{
  const QPixmap &picture = _settings->picture;
  if (picture.isNull()) {
    emit shapeNeedDisplay(this);
    _dirty = QRect(0, 0, 0, 0);
    return;
  }
  const QRect frame = _frameRect();
  const QRectF fitted =
      Util::fitRectWithAspectRatio(picture.width(), picture.height(), QRectF(0, 0, frame.width(), frame.height()));
  const QSize size(int(fitted.width() * _settings->pictureSize), int(fitted.height() * _settings->pictureSize));
  const int x = int(frame.width() * _settings->pictureLocation.x()) + (frame.width() - size.width()) / 2;
  const int y = int(frame.height() * _settings->pictureLocation.y()) + (frame.height() - size.height()) / 2;
  const QRect target(QPoint(x, y), size);
  QPainter *p = painter();
  _beginDraw();
  p->setOpacity(_settings->color.alphaF());
  p->drawPixmap(target, _source(p->transform().mapRect(QRectF(target)).toAlignedRect().size()));
  if (!_committed)
    _drawFrame(target.adjusted(-1, -1, 1, 1));
  _endDraw();
  const QRect repaint = target.adjusted(-3, -3, 3, 3);
  emit shapeNeedDisplayInRect(this, repaint.united(_dirty));
  _dirty = repaint;
}

QPixmap PictureShape::_source(const QSize &canvasSize)
{
  const QPixmap &picture = _settings->picture;
  // Under half the size a painter samples the picture and its fine detail turns into noise.
  if (canvasSize.width() * 2 > picture.width() && canvasSize.height() * 2 > picture.height())
    return picture;
  if (_shrunkFrom != picture.cacheKey() || _shrunk.size() != canvasSize) {
    _shrunk = picture.scaled(canvasSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    _shrunkFrom = picture.cacheKey();
  }
  return _shrunk;
}
