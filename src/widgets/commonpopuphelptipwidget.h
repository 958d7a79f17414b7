#pragma once

#include "commonpopup.h"

#include <QPointer>
#include <QSize>

class AnimatedLabel;
class PopupMainWidget;
class QLabel;
class QPushButton;
class QVBoxLayout;

// A one-time help tip: a blue balloon with an animated picture, one sentence and "Got it",
// pointing at the widget it explains. Arrow side 0 puts the tip below the anchor's centre,
// 3 above the middle of its top edge. The balloon is a sibling of the tip over the parent
// and the tip itself lets the mouse through, so the window under it stays usable while its
// keys are swallowed.
class CommonPopupHelpTipWidget : public CommonPopup
{
  Q_OBJECT
public:
  ~CommonPopupHelpTipWidget() override;

  void setupTip(QWidget *parent, const QString &picturePath, int arrowSide, QWidget *anchor);

  void initialize() override;
  void showPopup(QWidget *parent, const QString &title, const QPoint &anchor) override;
  void layoutAt(const QPoint &anchor) override;
  void dismiss() override;
  // The balloon's size.
  virtual QSize tipSize() const = 0;

  PopupMainWidget *panel() const;
  AnimatedLabel *animatedLabel() const { return _animatedLabel; }
  QLabel *helpTextLabel() const { return _helpTextLabel; }
  QPushButton *okButton() const { return _okButton; }
  int arrowSide() const { return _arrowSide; }

signals:
  void clickedOnHelpTip();

protected:
  // Builds the balloon form (object name and text per tip) on the parent.
  CommonPopupHelpTipWidget(QWidget *parent, const char *className, const char *text, const QSize &pictureAspect);
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QPointer<QWidget> _anchor;
  int _arrowSide = 0;
  QString _picturePath;
  QSize _pictureAspect;
  QPointer<PopupMainWidget> _panel;
  AnimatedLabel *_animatedLabel = nullptr;
  QLabel *_helpTextLabel = nullptr;
  QPushButton *_okButton = nullptr;
  QVBoxLayout *_mainVerticalLayout = nullptr;
};

class SegmentOperationDoubleTapTipWidget : public CommonPopupHelpTipWidget
{
  Q_OBJECT
public:
  explicit SegmentOperationDoubleTapTipWidget(QWidget *parent);
  QSize tipSize() const override { return QSize(300, 260); }
};

class SegmentOperationPressAndDragTipWidget : public CommonPopupHelpTipWidget
{
  Q_OBJECT
public:
  explicit SegmentOperationPressAndDragTipWidget(QWidget *parent);
  QSize tipSize() const override { return QSize(300, 300); }
};

class MediaExplorerHelpTipWidget : public CommonPopupHelpTipWidget
{
  Q_OBJECT
public:
  explicit MediaExplorerHelpTipWidget(QWidget *parent);
  QSize tipSize() const override { return QSize(300, 340); }
};
