#pragma once

#include "commoneditingwidgetcontroller.h"

class QPushButton;
class Segment;
class TransitionsEditingWidget;

// The transitions block of the inspector, for every segment type. In transition mode it
// also shows the easing of the chosen transition and which of its value sets is edited.
class TransitionsEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  explicit TransitionsEditingWidgetController(QWidget *parent);

  // tId 0 and beginOrEnd -1 in segment mode.
  void updateFromTransition(Segment *segment, int tId, int beginOrEnd);
  // Refills the table only: the current row, buttons, easing and switch stay.
  void refreshTransitionList(Segment *segment);

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  int orderKey() const override { return 180; }
  TransitionsEditingWidget *form() const { return _form; }

signals:
  // Questions the owner answers, through a direct connection, before the emit returns.
  void getEasingFunctionHintText(Segment *segment, int tId, QString &text);
  void getEasingFunctionIconImage(Segment *segment, int tId, QPixmap &pixmap);
  void transitionSelectionIndexChanged(int index);
  // 1 the transition's begin set ("Start"), 0 its end set ("End").
  void transitionBeginOrEndPositionChanged(int beginOrEnd);
  void popupEasingFunctionsWidgetOnButton(QPushButton *button);
  void addTransitionActionOnButton(QPushButton *button);
  void removeTransitionAtIndex(int index);
  void duplicateTransitionAtIndex(int index);

public slots:
  void onTransitionSegmentedWidgetIndexChanged(int index);

private:
  void _fillTable(const Segment *segment);

  TransitionsEditingWidget *_form = nullptr;
};
