#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QScrollArea;
class RoundTabWidget;
class TooltipButton;

// The horizontally scrolling strip of icon buttons at the foot of the editor and the
// inspector. A click reports the button's command id; the selected button gets a dark tab
// behind it. The bar slides in, floats, collapses and fades in 200 ms, or at once while
// widget animations are off.
class ScrollableToolBar : public QWidget
{
  Q_OBJECT
public:
  explicit ScrollableToolBar(QWidget *parent);
  ScrollableToolBar(int height, QWidget *parent);

  TooltipButton *addButton(const QString &iconPath, const QString &selectedIconPath, const QString &toolTip, int cmdId,
                           bool show = false);
  // The form with the unused further number some callers pass.
  TooltipButton *addButton(const QString &iconPath, const QString &selectedIconPath, const QString &toolTip, int cmdId,
                           int, bool show)
  {
    return addButton(iconPath, selectedIconPath, toolTip, cmdId, show);
  }
  TooltipButton *addSeparator(const QString &iconPath, bool show = false);
  TooltipButton *button(int cmdId) const { return _buttonsById.value(cmdId); }
  void removeAllButtons();
  void setButtonSelected(int cmdId, bool selected);
  void setButtonToolTip(int cmdId, const QString &text);
  void setBackgroundColor(const QColor &color);
  void hideScrollArrows();
  QPoint scrollPosition() const;
  void setScrollPosition(const QPoint &position);

  void slideIn();
  void fadeIn();
  void showFloating();
  void placeInParent(int barHeight, int placeholderHeight);
  void dismiss();
  void hideAnimated();
  void showAnimated();
  void collapse();
  void expand();

  bool isCollapsed() const { return _collapsed; }
  bool isSlidIn() const { return _slidIn; }
  int rowWidth() const { return _runningX; }
  float savedOpacity() const { return _savedOpacity; }
  // The tab behind the selected button, null when none is selected.
  RoundTabWidget *selectionTab() const { return _selectionTab; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QWidget *rowWidget() const { return _scrollAreaWidget; }
  QWidget *placeholder() const { return _bottomPlaceholderWidget; }
  // The bar's opacity: that of its effect while one is active, else 1.
  qreal opacity() const;

signals:
  void scrollableToolBarButtonClicked(ScrollableToolBar *toolbar, int cmdId);

public slots:
  void onButtonClicked();

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  TooltipButton *_addItem(const QString &iconPath, const QString &selectedIconPath, int iconHeight, bool show);
  // Shows the bar at target fading in from 0; with slide it also moves there.
  void _showFadingIn(const QPoint &target, bool slide);
  QGraphicsOpacityEffect *_effect(qreal initialOpacity, bool replace);
  QRect _parentRect() const;

  QWidget *_bottomPlaceholderWidget = nullptr;
  QLabel *_leftIndicator = nullptr;
  QLabel *_rightIndicator = nullptr;
  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidget = nullptr;

  bool _slidIn = false;
  int _runningX = 0;
  int _placeholderHeight = 0;
  QList<TooltipButton *> _items;
  QHash<int, TooltipButton *> _buttonsById;
  RoundTabWidget *_selectionTab = nullptr;
  bool _collapsed = false;
  int _savedY = 0;
  float _savedOpacity = 0.0f;
};
