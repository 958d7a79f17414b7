#pragma once

#include <QWidget>

class Segment;

// The darkened strip of a media segment's whole source behind its block while the block is
// edited; the block is the used part of it.
class SegmentEditingStateBackgroundWidget : public QWidget
{
  Q_OBJECT
public:
  SegmentEditingStateBackgroundWidget(const QRect &geometry, Segment *segment, float zoom, QWidget *parent);

  // The block then sets the geometry and repaints.
  void setScale(float zoom) { _zoom = zoom; }
  float zoom() const { return _zoom; }
  Segment *segment() const { return _segment; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  Segment *_segment;
  float _zoom;
};
