#pragma once

#include "popupeditingwidgetcontroller.h"

#include <QSize>

class PopupSliderColorWidget;
class Segment;
class TransformWidget;

// Font size (in pixels of the movie canvas) and colour of a text.
class TextSizeEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit TextSizeEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment, const QSize &canvasSize);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 30; }
  PopupSliderColorWidget *popup() const { return _popup; }

private:
  PopupSliderColorWidget *_popup = nullptr;
};
