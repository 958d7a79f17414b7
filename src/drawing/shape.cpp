#include "shape.h"

#include "drawingtoolsettings.h"

#include <QPainter>

Shape::Shape(int cmdId, DrawingToolSettings *settings, QObject *parent)
    : QObject(parent), _cmdId(cmdId), _settings(settings)
{
}

bool Shape::limitsRestore(QRect &) const
{
  return false;
}

QRect Shape::deviceArea(const QRect &area) const
{
  return painter()->transform().mapRect(QRectF(area)).toAlignedRect();
}

void Shape::_clipTo(const QRect &area)
{
  // The clip is kept in canvas pixels, so it matches the restored area exactly.
  QPainter *p = painter();
  const QTransform transform = p->transform();
  const QRect device = deviceArea(area);
  p->resetTransform();
  p->setClipRect(device);
  p->setTransform(transform);
}

QPainter *Shape::painter() const
{
  return _settings->painter;
}

void Shape::_beginDraw()
{
  QPainter *p = painter();
  p->save();
  p->setCompositionMode(_settings->rubber ? QPainter::CompositionMode_DestinationOut
                                          : QPainter::CompositionMode_SourceOver);
}

void Shape::_endDraw()
{
  painter()->restore();
}

int Shape::_dirtyMargin() const
{
  return int(_settings->lineWidth) + 1;
}

qreal Shape::_strokeReach() const
{
  // Miter corners of outlines reach up to a pen width from their points.
  return qMax<qreal>(_settings->scaledLineWidth, _settings->lineWidth + 1) + 2;
}
