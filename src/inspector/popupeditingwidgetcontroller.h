#pragma once

#include "commoneditingwidgetcontroller.h"

#include <QPointer>

class CommonPopup;

// A controller whose widget is an editing popup embedded in the inspector, at the popup's
// own height. A popup with a colour button opens its colour chooser on the top-level window;
// such a popup is laid out again whenever that window is resized, so the chooser follows.
class PopupEditingWidgetController : public CommonEditingWidgetController
{
  Q_OBJECT
public:
  ~PopupEditingWidgetController() override;

  QWidget *editingWidget() const override;
  void setVisible(bool visible) override { setVisibleWithWidget(visible); }
  void dismissChildPopup() override;

protected:
  explicit PopupEditingWidgetController(QWidget *parent);
  // Takes the embedded popup; a colour-button popup gets the window watch and closes its
  // chooser with the controller's dismissChildPopup.
  void adoptPopup(CommonPopup *popup, bool hasColorButton);
  // Has the popup lay itself out again at its present size.
  void postRelayout();
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  CommonPopup *_popup = nullptr;
  bool _hasColorButton = false;
  QPointer<QWidget> _watchedWindow;
};
