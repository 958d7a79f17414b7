#pragma once

#include "loadedtransition.h"
#include "popupeditingwidgetcontroller.h"

class PopupColorsScrollWidget;
class Segment;
class TransformWidget;

// The nine colour corrections of a visual segment, or of a transition set in transition
// mode. The list grows and shrinks as rows open and close; the controller takes its whole
// height and reports it.
class ColorsEditingWidgetController : public PopupEditingWidgetController
{
  Q_OBJECT
public:
  ColorsEditingWidgetController(bool transitionMode, QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateFromTransition(const Segment *segment, int tId, int beginOrEnd);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  void setVisible(bool visible) override;
  int orderKey() const override { return _transitionMode ? 220 : 150; }
  PopupColorsScrollWidget *popup() const { return _popup; }

public slots:
  void onColorsWidgetFitHeightChanged(PopupColorsScrollWidget *colorsWidget);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  bool _fitHeight();

  PopupColorsScrollWidget *_popup = nullptr;
  const bool _transitionMode;
  LoadedTransition _loaded;
};
