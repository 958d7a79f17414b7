#pragma once

#include <QColor>
#include <QWidget>

// The outline on a track row where a dragged segment would land.
class SegmentDraggingFrameWidget : public QWidget
{
  Q_OBJECT
public:
  SegmentDraggingFrameWidget(const QColor &color, QWidget *parent);

  QColor color() const { return _color; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QColor _color;
};
