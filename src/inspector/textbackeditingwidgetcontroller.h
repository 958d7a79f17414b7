#pragma once

#include "popupeditingwidgetcontroller.h"

#include <QSize>

class PopupSliderColor2SlidersWidget;
class Segment;
class TransformWidget;

// The box behind a text: opacity and colour, the spacing around the text in pixels of the
// movie canvas, and the corner rounding in hundredths.
class TextBackEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit TextBackEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment, const QSize &canvasSize);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 120; }
  PopupSliderColor2SlidersWidget *popup() const { return _popup; }

private:
  PopupSliderColor2SlidersWidget *_popup = nullptr;
};
