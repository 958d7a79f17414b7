#pragma once

#include "popupeditingwidgetcontroller.h"

#include <QSize>

class PopupSliderWidget;
class Segment;
class TransformWidget;

// Corner radius of a picture layer in pixels of the movie canvas, up to the screen's short side.
class RoundCornerEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit RoundCornerEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment, const QSize &canvasSize);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 130; }
  PopupSliderWidget *popup() const { return _popup; }

private:
  PopupSliderWidget *_popup = nullptr;
};
