#pragma once

#include "popupeditingwidgetcontroller.h"

#include <QSize>

class PopupSliderColorShadowWidget;
class Segment;
class TransformWidget;

// Drop shadow of a visual layer: opacity, blur radius and offset in pixels of the movie
// canvas, and colour.
class ShadowEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit ShadowEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment, const QSize &canvasSize);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 140; }
  PopupSliderColorShadowWidget *popup() const { return _popup; }

private:
  PopupSliderColorShadowWidget *_popup = nullptr;
};
