#pragma once

#include "popupeditingwidgetcontroller.h"

class PopupSliderColorWidget;
class Segment;
class TransformWidget;

// Outline width and colour of a text.
class BorderEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit BorderEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 100; }
  PopupSliderColorWidget *popup() const { return _popup; }

private:
  PopupSliderColorWidget *_popup = nullptr;
};
