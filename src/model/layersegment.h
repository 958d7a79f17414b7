#pragma once

#include "segment.h"

// Base of every visual timeline item: rotations in radians, flips as half turns about the
// X and Y axes, and the LayerGeometry the editor places the layer with.
class LayerSegment : public Segment
{
public:
  LayerSegment(const Segment *other, float rangeStart, SegmentListener *listener);
  explicit LayerSegment(SegmentListener *listener);
  LayerSegment(PropertyMap *properties, SegmentListener *listener);

  bool isLayer() const override { return true; }
  // Whole degrees, rounded, turned a quarter and kept inside (-360, 360).
  void rotateRight() override;
  void rotateLeft() override;
  void setFlippedHorizontally(bool flipped) override;
  bool isFlippedHorizontally() const override;
  void setFlippedVertically(bool flipped) override;
  bool isFlippedVertically() const override;
  // A transition's rotation turns by a quarter with neither rounding nor wrap.
  void rotateTransitionRight(int id, bool begin) override;
  void rotateTransitionLeft(int id, bool begin) override;
  void setTransitionFlippedHorizontally(int id, bool begin, bool flipped) override;
  bool isTransitionFlippedHorizontally(int id, bool begin) const override;
  void setTransitionFlippedVertically(int id, bool begin, bool flipped) override;
  bool isTransitionFlippedVertically(int id, bool begin) const override;
  LayerGeometry layerGeometry(const QSizeF &frameSize) const override;
  LayerGeometry transitionLayerGeometry(int id, bool begin, const QSizeF &frameSize) const override;

private:
  void _rotateQuarter(int quarter);
};
