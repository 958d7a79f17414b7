#include "scrollabletoolbar.h"

#include "animationswitch.h"
#include "roundtabwidget.h"
#include "tooltipbutton.h"
#include "util.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QStyleOption>
#include <QVBoxLayout>

namespace {
constexpr int buttonHeight = 50;
constexpr int buttonIconHeight = 27;
constexpr int separatorIconHeight = 20;
constexpr int iconMargin = 12;
constexpr int animationMs = 200;

QPropertyAnimation *animation(QObject *target, const QByteArray &property, const QVariant &end, QObject *parent)
{
  auto *a = new QPropertyAnimation(target, property, parent);
  a->setDuration(animationMs);
  a->setEndValue(end);
  return a;
}

QLabel *indicator(const QString &path, QWidget *parent)
{
  auto *label = new QLabel(parent);
  label->setPixmap(QPixmap(path));
  label->setScaledContents(true);
  label->setFixedSize(10, 10);
  return label;
}
} // namespace

ScrollableToolBar::ScrollableToolBar(QWidget *parent) : ScrollableToolBar(0, parent) {}

ScrollableToolBar::ScrollableToolBar(int height, QWidget *parent) : QWidget(parent), _placeholderHeight(height)
{
  setObjectName("ScrollableToolBar");
  setWindowTitle("Form");
  resize(599, 83);
  auto *verticalLayout = new QVBoxLayout(this);
  verticalLayout->setSpacing(0);
  verticalLayout->setContentsMargins(0, 0, 0, 0);
  auto *horizontalLayout = new QHBoxLayout;
  horizontalLayout->setSpacing(0);
  _leftIndicator = indicator(":/images/toolbar/tb_left_indicator", this);
  _scrollArea = new QScrollArea(this);
  _scrollArea->setWidgetResizable(true);
  _scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setFrameShape(QFrame::NoFrame);
  _scrollAreaWidget = new QWidget;
  _scrollArea->setWidget(_scrollAreaWidget);
  _rightIndicator = indicator(":/images/toolbar/tb_right_indicator", this);
  horizontalLayout->addWidget(_leftIndicator);
  horizontalLayout->addWidget(_scrollArea);
  horizontalLayout->addWidget(_rightIndicator);
  _bottomPlaceholderWidget = new QWidget(this);
  _bottomPlaceholderWidget->setMinimumSize(0, 0);
  _bottomPlaceholderWidget->setFixedHeight(_placeholderHeight);
  verticalLayout->addLayout(horizontalLayout);
  verticalLayout->addWidget(_bottomPlaceholderWidget);

  setStyleSheet("QWidget {background-color: rgb(44,46,50); border:none;}");
  _scrollArea->setStyleSheet("QScrollArea {background-color: transparent;}");
  _scrollAreaWidget->setStyleSheet("background-color: transparent;");

  QScroller::grabGesture(_scrollArea->viewport(), QScroller::LeftMouseButtonGesture);
  QScrollerProperties properties = QScroller::scroller(_scrollArea->viewport())->scrollerProperties();
  properties.setScrollMetric(QScrollerProperties::OvershootDragDistanceFactor, 0.05);
  properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0.05);
  QScroller::scroller(_scrollArea->viewport())->setScrollerProperties(properties);
}

void ScrollableToolBar::paintEvent(QPaintEvent *event)
{
  QStyleOption option;
  option.initFrom(this);
  QPainter p(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
  QWidget::paintEvent(event);
}

TooltipButton *ScrollableToolBar::_addItem(const QString &iconPath, const QString &selectedIconPath, int iconHeight,
                                           bool show)
{
  auto *button = new TooltipButton(iconPath, selectedIconPath, _scrollAreaWidget);
  const QPixmap pixmap(iconPath);
  // A missing picture has no height to scale by: take a square icon.
  const int iconWidth = pixmap.height() > 0 ? pixmap.width() * iconHeight / pixmap.height() : iconHeight;
  button->setGeometry(_runningX, 0, iconWidth + 2 * iconMargin, buttonHeight);
  button->setIcon(QIcon(pixmap));
  button->setIconSize(QSize(iconWidth, iconHeight));
  button->setFlat(true);
  _items.append(button);
  _runningX += button->width();
  _scrollAreaWidget->setFixedWidth(_runningX);
  if (show)
    button->show();
  return button;
}

TooltipButton *ScrollableToolBar::addButton(const QString &iconPath, const QString &selectedIconPath,
                                            const QString &toolTip, int cmdId, bool show)
{
  TooltipButton *button = _addItem(iconPath, selectedIconPath, buttonIconHeight, show);
  button->setCommandId(cmdId);
  button->setToolTip(toolTip);
  connect(button, &QPushButton::clicked, this, &ScrollableToolBar::onButtonClicked);
  _buttonsById.insert(cmdId, button);
  return button;
}

TooltipButton *ScrollableToolBar::addSeparator(const QString &iconPath, bool show)
{
  return _addItem(iconPath, QString(), separatorIconHeight, show);
}

void ScrollableToolBar::onButtonClicked()
{
  if (auto *button = qobject_cast<TooltipButton *>(sender()))
    emit scrollableToolBarButtonClicked(this, button->commandId());
}

void ScrollableToolBar::removeAllButtons()
{
  qDeleteAll(_items);
  _items.clear();
  _buttonsById.clear();
  _runningX = 0;
}

void ScrollableToolBar::setButtonSelected(int cmdId, bool selected)
{
  TooltipButton *button = _buttonsById.value(cmdId);
  if (button)
    button->setSelected(selected);
  if (!button || !selected) {
    delete _selectionTab;
    _selectionTab = nullptr;
    return;
  }
  if (!_selectionTab)
    _selectionTab = new RoundTabWidget(1, QColor(7, 8, 10, 243), _scrollAreaWidget);
  const int flare = int(RoundTabWidget::cornerRadius());
  QRect tab = button->geometry().adjusted(-flare, 0, flare, 0);
  if (!(_placeholderHeight > 0 && _slidIn))
    tab.setBottom(tab.bottom() - 1);
  _selectionTab->setGeometry(tab);
  _selectionTab->lower();
  if (isAnimationEnabled())
    Util::fadeInWidget(_selectionTab, animationMs, 1.0f);
  else
    _selectionTab->show();
}

void ScrollableToolBar::setButtonToolTip(int cmdId, const QString &text)
{
  if (TooltipButton *button = _buttonsById.value(cmdId))
    button->setToolTip(text);
}

void ScrollableToolBar::setBackgroundColor(const QColor &color)
{
  _scrollArea->setStyleSheet(
    QString("QScrollArea {background-color: rgb(%1,%2,%3);}").arg(color.red()).arg(color.green()).arg(color.blue()));
}

void ScrollableToolBar::hideScrollArrows()
{
  _leftIndicator->hide();
  _rightIndicator->hide();
}

QPoint ScrollableToolBar::scrollPosition() const
{
  return QPoint(_scrollArea->horizontalScrollBar()->value(), _scrollArea->verticalScrollBar()->value());
}

void ScrollableToolBar::setScrollPosition(const QPoint &position)
{
  _scrollArea->horizontalScrollBar()->setValue(position.x());
  _scrollArea->verticalScrollBar()->setValue(position.y());
}

QRect ScrollableToolBar::_parentRect() const
{
  const QWidget *parent = parentWidget();
  return parent ? QRect(0, 0, parent->width(), parent->height()) : QRect();
}

qreal ScrollableToolBar::opacity() const
{
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
  return effect && effect->isEnabled() ? effect->opacity() : 1.0;
}

QGraphicsOpacityEffect *ScrollableToolBar::_effect(qreal initialOpacity, bool replace)
{
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
  if (!effect || replace) {
    effect = new QGraphicsOpacityEffect(this);
    effect->setOpacity(initialOpacity);
    setGraphicsEffect(effect);
  }
  effect->setEnabled(true);
  return effect;
}

void ScrollableToolBar::_showFadingIn(const QPoint &target, bool slide)
{
  if (!isAnimationEnabled()) {
    move(target);
    show();
    return;
  }
  if (!slide)
    move(target);
  QGraphicsOpacityEffect *effect = _effect(0.0, true);
  show();
  auto *group = new QParallelAnimationGroup(this);
  group->addAnimation(animation(effect, "opacity", 1.0, group));
  if (slide)
    group->addAnimation(animation(this, "pos", target, group));
  connect(group, &QAbstractAnimation::finished, effect, [effect] { effect->setEnabled(false); });
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollableToolBar::slideIn()
{
  _slidIn = true;
  _showFadingIn(QPoint(0, _parentRect().bottom() - height()), true);
}

void ScrollableToolBar::fadeIn()
{
  _slidIn = true;
  _showFadingIn(QPoint(0, _parentRect().bottom() - height()), false);
}

void ScrollableToolBar::showFloating()
{
  _slidIn = false;
  hideScrollArrows();
  _showFadingIn(QPoint(0, _parentRect().bottom() - int(height() * 1.5)), false);
}

void ScrollableToolBar::placeInParent(int barHeight, int placeholderHeight)
{
  _placeholderHeight = placeholderHeight;
  _bottomPlaceholderWidget->setFixedHeight(placeholderHeight);
  const QRect r = _parentRect();
  const int total = barHeight + placeholderHeight;
  int y;
  if (_slidIn)
    y = r.bottom() - total + (_collapsed ? _scrollArea->height() / 2 : 0);
  else
    y = r.bottom() - int(total * 1.5);
  setGeometry(0, y, r.width(), total);
}

void ScrollableToolBar::dismiss()
{
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
  if (!isAnimationEnabled() || !effect) {
    hide();
    deleteLater();
    return;
  }
  effect->setEnabled(true);
  auto *group = new QParallelAnimationGroup(this);
  group->addAnimation(animation(effect, "opacity", 0.0, group));
  if (_slidIn)
    group->addAnimation(animation(this, "pos", QPoint(0, _parentRect().bottom()), group));
  connect(group, &QAbstractAnimation::finished, this, [this] {
    hide();
    deleteLater();
  });
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollableToolBar::hideAnimated()
{
  if (!isAnimationEnabled()) {
    _savedOpacity = 1.0f;
    hide();
    return;
  }
  QGraphicsOpacityEffect *effect = _effect(1.0, false);
  _savedOpacity = float(effect->opacity());
  auto *fade = animation(effect, "opacity", 0.0, this);
  connect(fade, &QAbstractAnimation::finished, this, &QWidget::hide);
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollableToolBar::showAnimated()
{
  if (!isHidden())
    return;
  show();
  if (!isAnimationEnabled())
    return;
  // Without an earlier hideAnimated nothing was saved: fading to 0 would leave the bar
  // shown but invisible.
  const qreal target = _savedOpacity > 0.0f ? _savedOpacity : 1.0;
  QGraphicsOpacityEffect *effect = _effect(0.0, false);
  auto *fade = animation(effect, "opacity", target, this);
  connect(fade, &QAbstractAnimation::finished, effect, [effect] { effect->setEnabled(false); });
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void ScrollableToolBar::collapse()
{
  _savedY = y();
  const QPoint target(x(), y() + _scrollArea->height() / 2);
  const qreal opacity = _placeholderHeight < 1 ? 0.75 : 0.5;
  QGraphicsOpacityEffect *effect = _effect(1.0, false);
  if (isAnimationEnabled()) {
    auto *group = new QParallelAnimationGroup(this);
    group->addAnimation(animation(this, "pos", target, group));
    group->addAnimation(animation(effect, "opacity", opacity, group));
    group->start(QAbstractAnimation::DeleteWhenStopped);
  } else {
    move(target);
    effect->setOpacity(opacity);
  }
  setAttribute(Qt::WA_TransparentForMouseEvents, true);
  _collapsed = true;
}

void ScrollableToolBar::expand()
{
  const QPoint target(x(), _savedY);
  auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
  if (isAnimationEnabled()) {
    auto *group = new QParallelAnimationGroup(this);
    group->addAnimation(animation(this, "pos", target, group));
    if (effect) {
      effect->setEnabled(true);
      group->addAnimation(animation(effect, "opacity", 1.0, group));
      connect(group, &QAbstractAnimation::finished, effect, [effect] { effect->setEnabled(false); });
    }
    group->start(QAbstractAnimation::DeleteWhenStopped);
  } else {
    move(target);
    if (effect) {
      effect->setOpacity(1.0);
      effect->setEnabled(false);
    }
  }
  setAttribute(Qt::WA_TransparentForMouseEvents, false);
  _collapsed = false;
}
