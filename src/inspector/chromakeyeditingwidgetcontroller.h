#pragma once

#include "popupeditingwidgetcontroller.h"

class PopupChromaKeyWidget;
class Segment;
class TransformWidget;

// Chroma key of a visual layer: on/off, sensitivity, smoothing and key colour.
class ChromaKeyEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  explicit ChromaKeyEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  int orderKey() const override { return 160; }
  PopupChromaKeyWidget *popup() const { return _popup; }

private:
  PopupChromaKeyWidget *_popup = nullptr;
};
