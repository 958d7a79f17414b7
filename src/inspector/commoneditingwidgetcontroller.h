#pragma once

#include <QObject>

class QWidget;

// One editable property group of the segment inspector: it owns one widget (an embedded
// popup or a small form) created in the inspector's content widget, a one-pixel separator
// under it, an active flag (the group belongs to the shown segment) and a constant order key.
// Controllers load values without reporting them and never write a segment.
class CommonEditingWidgetController : public QObject
{
  Q_OBJECT
public:
  explicit CommonEditingWidgetController(QWidget *parent);
  ~CommonEditingWidgetController() override;

  virtual QWidget *editingWidget() const = 0;
  // Shows or hides the separator only; subclasses add their widget.
  virtual void setVisible(bool visible);
  // Whether the inspector shows the controller, whether or not the inspector itself is on screen.
  virtual bool isVisible() const;
  virtual void dismissChildPopup() {}
  virtual int orderKey() const { return 0; }

  // The widget's height and the separator's pixel.
  int height() const;
  void setActive(bool active) { _active = active; }
  bool isActive() const { return _active; }
  QWidget *separator() const { return _separator; }

signals:
  void editingWidgetControllerSizeChanged(CommonEditingWidgetController *editingController);

protected:
  // What most controllers do: separator and widget together.
  void setVisibleWithWidget(bool visible);

private:
  QWidget *_separator = nullptr;
  bool _active = true;
};
