#pragma once

#include <QPointer>
#include <QWidget>

// Base of every overlay a window puts over its own content (popups, help tips, the
// progress display). While shown it takes the keyboard from the window under it, turns
// Escape and Return/Enter into virtual calls, swallows the wheel and follows the parent's
// size. A plain child widget, never a top-level window; it must have a parent.
class PopupWidget : public QWidget
{
  Q_OBJECT
public:
  explicit PopupWidget(QWidget *parent);
  ~PopupWidget() override;

  // Lets mouse and keyboard through to the window under the popup.
  void setInputTransparent(bool transparent);
  bool isInputTransparent() const { return _inputTransparent; }
  bool isEmbedded() const { return _embedded; }

  // Results are for derived callers; the base ignores them.
  virtual bool onEscapeKeyPressed();
  virtual bool onReturnKeyPressed();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

  // Shown inside a panel rather than over a window: no filtering, the wheel passes on.
  bool _embedded = false;

private:
  void _watchFocusWidget(QWidget *widget);
  void _onFocusChanged(QWidget *old, QWidget *now);

  QPointer<QWidget> _focusWidget;
  bool _inputTransparent = false;
  bool _filtering = false;
};
