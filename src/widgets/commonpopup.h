#pragma once

#include "popupwidget.h"

#include <QColor>

class QLabel;

// Base of every editing popup and help tip. Overlay mode (`showPopup`): the popup covers its
// parent and places its panel, the form's "mainWidget", above an anchor; Escape or a click
// outside the panel dismisses it. Embedded mode (`embedInWidget`): it fills a container of
// the inspector and stays. A dismissed popup hides, says so and deletes itself later.
class CommonPopup : public PopupWidget
{
  Q_OBJECT
public:
  explicit CommonPopup(QWidget *parent);
  ~CommonPopup() override;

  void embedInWidget(QWidget *container, const QString &title);

  // Take effect at the next layoutAt.
  void setPersistent(bool persistent) { _persistent = persistent; }
  void setBackgroundColor(const QColor &color) { _backgroundColor = color; }
  void setAnchorSpacing(int spacing) { _anchorSpacing = spacing; }
  // 2 rounds only the top corners, anything else all four.
  void setCornerStyle(int style) { _cornerStyle = style; }
  void addDropShadow();

  // The owner's own mark (the editing commands number their slider popups).
  void setTag(int tag) { _tag = tag; }
  int tag() const { return _tag; }

  bool isPersistent() const { return _persistent; }
  QColor backgroundColor() const { return _backgroundColor; }
  int cornerStyle() const { return _cornerStyle; }
  QWidget *mainWidget() const { return _mainWidget; }
  QLabel *titleLabel() const { return _titleLabel; }

  static void applyLabelStyle(QLabel *label);
  // Writes the panel's style sheet: the background colour, rounded by 10 px on the top
  // corners (style 2) or on all four; radius < 1 rounds nothing.
  void applyPanelStyle(QWidget *panel, int radius, int cornerStyle);

  bool onEscapeKeyPressed() override;
  bool onReturnKeyPressed() override;
  virtual void dismiss();
  virtual void dismissSubPopup();
  virtual void moveToAnchor(const QPoint &anchor);
  virtual void setPopupEnabled(bool enabled);
  virtual bool isPopupEnabled();
  virtual void initialize();
  virtual void showPopup(QWidget *parent, const QString &title, const QPoint &anchor);
  virtual void layoutAt(const QPoint &anchor);
  virtual int popupHeight();

signals:
  void dismissed(CommonPopup *popup);

protected:
  // The subclass hands over its form's panel and (optional) title label.
  void setForm(QWidget *mainWidget, QLabel *titleLabel);
  void mousePressEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

  QWidget *_mainWidget = nullptr;
  QLabel *_titleLabel = nullptr;

private:
  bool _persistent = false;
  int _cornerStyle = 2;
  int _anchorSpacing = 0;
  QColor _backgroundColor{7, 8, 10, 244};
  int _tag = 0;
};
