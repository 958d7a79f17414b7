#pragma once

#include "commoneditingwidgetcontroller.h"

class Segment;
class TextFontEditingWidget;
class TransformWidget;

// The font of a text; choosing another goes through the editor's font chooser.
class TextFontEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit TextFontEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 40; }
  TextFontEditingWidget *form() const { return _form; }

signals:
  void fontButtonClicked();

private:
  TextFontEditingWidget *_form = nullptr;
};
