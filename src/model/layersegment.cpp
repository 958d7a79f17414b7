#include "layersegment.h"

#include <cmath>

namespace {

constexpr float kHalfTurn = 3.1415927f;
constexpr double kPi = 3.14159265358979323846;

LayerGeometry _geometry(const QSizeF &frame, const QPointF &translation, const QSizeF &scale, float rotation,
                        float rotationX, float rotationY, float transparency, const QPointF &anchor)
{
  LayerGeometry g;
  g.centerX = frame.width() / 2 + frame.width() * translation.x();
  g.centerY = frame.height() / 2 + frame.height() * translation.y();
  g.scaleWidth = float(scale.width());
  g.scaleHeight = float(scale.height());
  g.rotationZ = rotation;
  g.rotationX = rotationX;
  g.rotationY = rotationY;
  g.transparency = transparency;
  g.anchorX = anchor.x();
  g.anchorY = anchor.y();
  return g;
}

} // namespace

LayerSegment::LayerSegment(const Segment *other, float rangeStart, SegmentListener *listener)
    : Segment(other, rangeStart, listener)
{
}

LayerSegment::LayerSegment(SegmentListener *listener) : Segment(listener) {}

LayerSegment::LayerSegment(PropertyMap *properties, SegmentListener *listener) : Segment(properties, listener) {}

void LayerSegment::_rotateQuarter(int quarter)
{
  // Halves round upward; the remainder keeps the sign of the dividend.
  const int degrees = int(std::floor(userRotation() * 180.0 / kPi + 0.5));
  const int turned = (degrees + quarter) % 360;
  setUserRotation(turned * kPi / 180.0);
}

void LayerSegment::rotateRight()
{
  _rotateQuarter(90);
}

void LayerSegment::rotateLeft()
{
  _rotateQuarter(-90);
}

void LayerSegment::setFlippedHorizontally(bool flipped)
{
  setUserRotationY(flipped ? kHalfTurn : 0);
}

bool LayerSegment::isFlippedHorizontally() const
{
  return userRotationY() != 0;
}

void LayerSegment::setFlippedVertically(bool flipped)
{
  setUserRotationX(flipped ? kHalfTurn : 0);
}

bool LayerSegment::isFlippedVertically() const
{
  return userRotationX() != 0;
}

void LayerSegment::rotateTransitionRight(int id, bool begin)
{
  setTransitionUserRotation(id, begin, transitionUserRotation(id, begin) + kHalfTurn / 2);
}

void LayerSegment::rotateTransitionLeft(int id, bool begin)
{
  setTransitionUserRotation(id, begin, transitionUserRotation(id, begin) - kHalfTurn / 2);
}

void LayerSegment::setTransitionFlippedHorizontally(int id, bool begin, bool flipped)
{
  setTransitionUserRotationY(id, begin, flipped ? kHalfTurn : 0);
}

bool LayerSegment::isTransitionFlippedHorizontally(int id, bool begin) const
{
  return transitionUserRotationY(id, begin) != 0;
}

void LayerSegment::setTransitionFlippedVertically(int id, bool begin, bool flipped)
{
  setTransitionUserRotationX(id, begin, flipped ? kHalfTurn : 0);
}

bool LayerSegment::isTransitionFlippedVertically(int id, bool begin) const
{
  return transitionUserRotationX(id, begin) != 0;
}

LayerGeometry LayerSegment::layerGeometry(const QSizeF &frameSize) const
{
  return _geometry(frameSize, userTranslation(), userScale(), float(userRotation()), userRotationX(),
                   userRotationY(), userTransparency(), userAnchorPoint());
}

LayerGeometry LayerSegment::transitionLayerGeometry(int id, bool begin, const QSizeF &frameSize) const
{
  return _geometry(frameSize, transitionUserTranslation(id, begin), transitionUserScale(id, begin),
                   transitionUserRotation(id, begin), transitionUserRotationX(id, begin),
                   transitionUserRotationY(id, begin), transitionUserTransparency(id, begin),
                   transitionUserAnchorPoint(id, begin));
}
