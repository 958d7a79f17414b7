#pragma once

#include "loadedtransition.h"
#include "popupeditingwidgetcontroller.h"

class PopupSliderWidget;
class Segment;
class TransformWidget;

// Volume of a segment with sound, or of a transition set in transition mode; the slider
// snaps to 1.0.
class VolumeEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  VolumeEditingWidgetController(bool transitionMode, QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateFromTransition(const Segment *segment, int tId, int beginOrEnd);
  // A movie's sound follows its picture layer (the preview overlay); other sounds can be set
  // only before their first transition starts.
  void updateEnabledAtTime(const Segment *segment, TransformWidget *transformWidget, float time);

  void setVisible(bool visible) override;
  int orderKey() const override { return _transitionMode ? 210 : 80; }
  PopupSliderWidget *popup() const { return _popup; }

private:
  PopupSliderWidget *_popup = nullptr;
  const bool _transitionMode;
  LoadedTransition _loaded;
};
