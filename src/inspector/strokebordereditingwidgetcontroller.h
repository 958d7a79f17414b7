#pragma once

#include "popupeditingwidgetcontroller.h"

#include <QSize>

class PopupSliderColor1Switch2SlidersWidget;
class Segment;
class TransformWidget;

// Border of a picture layer in pixels of the movie canvas, its colour, and the stroke that\n// follows the picture's outline (tolerance and intensity).
class StrokeBorderEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit StrokeBorderEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment, const QSize &canvasSize);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 110; }
  PopupSliderColor1Switch2SlidersWidget *popup() const { return _popup; }

private:
  PopupSliderColor1Switch2SlidersWidget *_popup = nullptr;
};
