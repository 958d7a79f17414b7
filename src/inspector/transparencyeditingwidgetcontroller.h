#pragma once

#include "loadedtransition.h"
#include "popupeditingwidgetcontroller.h"

class PopupSliderWidget;
class Segment;
class TransformWidget;

// Transparency of a visual segment, or of a transition set in transition mode.
class TransparencyEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  TransparencyEditingWidgetController(bool transitionMode, QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateFromTransition(const Segment *segment, int tId, int beginOrEnd);
  // Transparency is edited on the preview's layer, so only while the overlay is there.
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  void setVisible(bool visible) override;
  int orderKey() const override { return _transitionMode ? 200 : 70; }
  PopupSliderWidget *popup() const { return _popup; }

private:
  PopupSliderWidget *_popup = nullptr;
  const bool _transitionMode;
  LoadedTransition _loaded;
};
