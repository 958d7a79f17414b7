#pragma once

#include "commonpopup.h"

#include <QList>

class TooltipButton;

// The easing chooser of a transition: sixteen curve pictures in rows of families and
// columns In, Out, InOut. A click reports the button's easing number; the owner applies it
// and dismisses the popup.
class PopupEasingFunctionsWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupEasingFunctionsWidget(QWidget *parent);

  // inPanel: shown inside the editor's popup panel, so it keeps the panel's look.
  void showPopupWithEasing(QWidget *parent, const QPoint &anchor, int easing, bool inPanel);

  void initialize() override;
  int popupHeight() override;

  int easing() const { return _easing; }
  // The button of an easing number 1..16, else null.
  TooltipButton *easingButton(int easing) const;

signals:
  void easingFunctionSelected(PopupEasingFunctionsWidget *easingFunctionsWidget, int easing);

public slots:
  void onEasingFunctionButtonPressed();

private:
  void _buildForm();
  // The normal picture of an easing number 1..16; the selected one adds "2".
  static QString _picture(int easing);

  int _easing = 0;
  bool _inPanel = false;
  QWidget *_panelWidget = nullptr;
  QList<QLabel *> _labels;
  // Index i holds easing number i + 1.
  QList<TooltipButton *> _buttons;
};
