#include "drawingcommontoolswidget.h"

#include "drawingcommand.h"
#include "tooltipbutton.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QScroller>
#include <QStyleOption>
#include <QTimer>

namespace {

const int kIconHeight = 27;
const int kIconMargin = 12;
const int kCell = 50;
const int kIndicator = 10;

} // namespace

DrawingCommonToolsWidget::DrawingCommonToolsWidget(QWidget *parent) : QWidget(parent)
{
  _scrollArea = new QScrollArea(this);
  _scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  _scrollArea->setFrameShape(QFrame::NoFrame);
  _scrollArea->setWidgetResizable(false);
  _content = new QWidget;
  _content->setStyleSheet("background-color: transparent;");
  _scrollArea->setWidget(_content);
  for (QLabel **label : {&_startIndicator, &_endIndicator}) {
    *label = new QLabel(this);
    (*label)->setScaledContents(true);
    (*label)->setFixedSize(kIndicator, kIndicator);
  }
  setStyleSheet("DrawingCommonToolsWidget {background-color: rgba(7,8,10,244); border: none; border-radius: 10px;}"
                "QLabel {background-color: transparent;} QScrollArea {background-color: transparent;}");
  _scrollArea->viewport()->setStyleSheet("background-color: transparent;");

  QScroller::grabGesture(_scrollArea->viewport(), QScroller::LeftMouseButtonGesture);
  QScrollerProperties properties = QScroller::scroller(_scrollArea->viewport())->scrollerProperties();
  properties.setScrollMetric(QScrollerProperties::OvershootDragDistanceFactor, 0.05);
  properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0.05);
  QScroller::scroller(_scrollArea->viewport())->setScrollerProperties(properties);
}

TooltipButton *DrawingCommonToolsWidget::addButton(const QString &normalIcon, const QString &selectedIcon, int cmdId)
{
  auto *button = new TooltipButton(normalIcon, selectedIcon, _content);
  const QPixmap picture(normalIcon);
  // A missing picture has no height to scale by: take a square icon.
  const int iconWidth = picture.height() > 0 ? picture.width() * kIconHeight / picture.height() : kIconHeight;
  button->setIconSize(QSize(iconWidth, kIconHeight));
  button->setFlat(true);
  button->setCommandId(cmdId);
  button->setToolTip(drawingCommandToolTip(cmdId));
  connect(button, &QPushButton::clicked, this, &DrawingCommonToolsWidget::onButtonClicked);
  _buttons.append(button);
  button->show();
  _layoutButtons();
  return button;
}

TooltipButton *DrawingCommonToolsWidget::addCommandButton(int cmdId)
{
  return addButton(drawingCommandIconPath(cmdId, false), drawingCommandIconPath(cmdId, true), cmdId);
}

void DrawingCommonToolsWidget::onButtonClicked()
{
  QPointer<TooltipButton> button = qobject_cast<TooltipButton *>(sender());
  if (!button)
    return;
  QTimer::singleShot(200, this, [this, button]() {
    if (button)
      onCommand(button->commandId(), button);
  });
}

TooltipButton *DrawingCommonToolsWidget::findButton(int cmdId) const
{
  for (TooltipButton *button : _buttons)
    if (button->commandId() == cmdId)
      return button;
  return nullptr;
}

void DrawingCommonToolsWidget::deselectAll()
{
  for (TooltipButton *button : _buttons)
    if (button->isSelected())
      button->setSelected(false);
}

QSize DrawingCommonToolsWidget::sizeForWidth(int width) const
{
  if (!_gridLayout)
    return QSize(width, kCell);
  const int columns = qMax(1, width / kCell);
  const int rows = (_buttons.size() + columns - 1) / columns;
  return QSize(width, rows * kCell);
}

void DrawingCommonToolsWidget::setGridLayout(bool grid)
{
  _gridLayout = grid;
  _layoutButtons();
}

void DrawingCommonToolsWidget::paintEvent(QPaintEvent *event)
{
  QStyleOption option;
  option.initFrom(this);
  QPainter p(this);
  style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
  QWidget::paintEvent(event);
}

void DrawingCommonToolsWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _layoutButtons();
}

void DrawingCommonToolsWidget::showEvent(QShowEvent *event)
{
  QWidget::showEvent(event);
  // Scroll ranges of a hidden strip are set only once it shows.
  _layoutButtons();
}

void DrawingCommonToolsWidget::_layoutButtons()
{
  if (_gridLayout)
    _layoutGrid();
  else
    _layoutStrip();
}

void DrawingCommonToolsWidget::_layoutStrip()
{
  const int w = width(), h = height();
  _startIndicator->show();
  _endIndicator->show();
  if (w > h) {
    _startIndicator->setPixmap(QPixmap(":/images/toolbar/tb_left_indicator"));
    _startIndicator->move(0, h / 2 - kIndicator / 2);
    _endIndicator->setPixmap(QPixmap(":/images/toolbar/tb_right_indicator"));
    _endIndicator->move(w - kIndicator, h / 2 - kIndicator / 2);
    _scrollArea->setGeometry(kIndicator, 0, w - 2 * kIndicator, h);
    int x = 0;
    for (TooltipButton *button : _buttons) {
      button->setGeometry(x, 0, button->iconSize().width() + 2 * kIconMargin, h);
      x += button->width();
    }
    _content->resize(x, h);
    _scrollArea->horizontalScrollBar()->setValue(0);
    return;
  }
  _startIndicator->setPixmap(QPixmap(":/images/toolbar/tb_top_indicator"));
  _startIndicator->move(w / 2 - kIndicator / 2, 0);
  _endIndicator->setPixmap(QPixmap(":/images/toolbar/tb_bottom_indicator"));
  _endIndicator->move(w / 2 - kIndicator / 2, h - kIndicator);
  _scrollArea->setGeometry(0, kIndicator, w, h - 2 * kIndicator);
  // The first buttons go to the bottom, next to the hand that reaches for them.
  int y = 0;
  for (int i = _buttons.size() - 1; i >= 0; --i) {
    TooltipButton *button = _buttons.at(i);
    button->setGeometry(0, y, w, button->iconSize().height() + 2 * kIconMargin);
    y += button->height();
  }
  _content->resize(w, y);
  _scrollArea->verticalScrollBar()->setValue(y - _scrollArea->height());
}

void DrawingCommonToolsWidget::_layoutGrid()
{
  _startIndicator->hide();
  _endIndicator->hide();
  _scrollArea->setGeometry(0, 0, width(), height());
  const int areaWidth = _scrollArea->width();
  int x = 0, y = 0;
  for (TooltipButton *button : _buttons) {
    if (x > 0 && x + kCell > areaWidth) {
      x = 0;
      y += kCell;
    }
    button->setGeometry(x, y, kCell, kCell);
    x += kCell;
  }
  _content->resize(areaWidth, _buttons.isEmpty() ? 0 : y + kCell);
  _scrollArea->verticalScrollBar()->setValue(0);
}
