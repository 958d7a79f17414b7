#pragma once

#include "commoneditingwidgetcontroller.h"

class Segment;
class TextAlignmentEditingWidget;
class TransformWidget;

// Alignment of a text: 0 left, 1 centre, 2 right. Reports a choice only when it differs
// from the segment's alignment.
class TextAlignmentEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit TextAlignmentEditingWidgetController(QWidget *parent);

  static bool isSupported(const Segment *segment);
  void updateFromSegment(const Segment *segment);
  void updateEnabledAtTime(TransformWidget *transformWidget, bool inside);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 50; }
  TextAlignmentEditingWidget *form() const { return _form; }

signals:
  void textAlignmentChanged(int alignment);

public slots:
  void onAlignmentIndexChanged(int index);

private:
  TextAlignmentEditingWidget *_form = nullptr;
  int _currentAlignment = 1;
};
