#pragma once

#include "popupeditingwidgetcontroller.h"

class PopupSliderWidget;
class Segment;
class TransformWidget;

// Playback speed of a clip or sound: slider positions 0 to 15 stand for 0.25x to 4.0x.
class SpeedEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit SpeedEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 90; }
  PopupSliderWidget *popup() const { return _popup; }

private:
  PopupSliderWidget *_popup = nullptr;
};
