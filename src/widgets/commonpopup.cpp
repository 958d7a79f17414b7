#include "commonpopup.h"

#include "animationswitch.h"
#include "util.h"

#include <QDebug>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QSize>

CommonPopup::CommonPopup(QWidget *parent) : PopupWidget(parent) {}

CommonPopup::~CommonPopup()
{
  qDebug() << "CommonPopup deleted";
}

void CommonPopup::setForm(QWidget *mainWidget, QLabel *titleLabel)
{
  _mainWidget = mainWidget;
  _titleLabel = titleLabel;
}

void CommonPopup::addDropShadow()
{
  if (!_mainWidget)
    return;
  auto *shadow = new QGraphicsDropShadowEffect(_mainWidget);
  shadow->setBlurRadius(100);
  shadow->setOffset(0, 0);
  shadow->setColor(QColor(0, 0, 0, 128));
  _mainWidget->setGraphicsEffect(shadow);
}

void CommonPopup::applyLabelStyle(QLabel *label)
{
  if (label)
    label->setStyleSheet("QLabel {color: white;} QLabel:disabled {color: rgb(128,128,128);}");
}

void CommonPopup::applyPanelStyle(QWidget *panel, int radius, int cornerStyle)
{
  if (!panel)
    return;
  const QString color = QString("rgba(%1,%2,%3,%4)")
                          .arg(_backgroundColor.red())
                          .arg(_backgroundColor.green())
                          .arg(_backgroundColor.blue())
                          .arg(_backgroundColor.alpha());
  QString body = QString("background-color: %1;").arg(color);
  if (radius >= 1) {
    if (cornerStyle != 2)
      body += " border-radius: 10px;";
    else
      body += " border-top-left-radius: 10px; border-top-right-radius: 10px;";
  }
  // Subclassed panels paint a style-sheet background only with this attribute.
  panel->setAttribute(Qt::WA_StyledBackground, true);
  panel->setStyleSheet(QString("QWidget#mainWidget {%1}").arg(body));
}

bool CommonPopup::onEscapeKeyPressed()
{
  if (_embedded || _persistent)
    return false;
  dismiss();
  return true;
}

bool CommonPopup::onReturnKeyPressed()
{
  return false;
}

void CommonPopup::dismiss()
{
  hide();
  emit dismissed(this);
  deleteLater();
}

void CommonPopup::dismissSubPopup() {}

void CommonPopup::moveToAnchor(const QPoint &anchor)
{
  layoutAt(anchor);
}

void CommonPopup::setPopupEnabled(bool) {}

bool CommonPopup::isPopupEnabled()
{
  return true;
}

void CommonPopup::initialize()
{
  if (!_titleLabel)
    return;
  QFont font = _titleLabel->font();
  font.setPointSize(font.pointSize() + 1);
  _titleLabel->setFont(font);
  _titleLabel->setStyleSheet("QLabel {color: rgb(54,200,255);}");
}

void CommonPopup::showPopup(QWidget *parent, const QString &title, const QPoint &anchor)
{
  initialize();
  setGeometry(0, 0, parent->width(), parent->height());
  if (_titleLabel)
    _titleLabel->setText(title);
  if (isAnimationEnabled())
    Util::fadeInWidget(this, 200, 1.0f);
  else
    show();
  layoutAt(anchor);
}

void CommonPopup::embedInWidget(QWidget *container, const QString &title)
{
  _embedded = true;
  initialize();
  setGeometry(0, 0, container->width(), container->height());
  if (_titleLabel)
    _titleLabel->setText(title);
  show();
}

void CommonPopup::layoutAt(const QPoint &anchor)
{
  if (!_mainWidget)
    return;
  const int w = Util::portraitScreenSize().width() / 2;
  const int h = popupHeight();
  int y = anchor.y() - _anchorSpacing - h;
  int x = anchor.x() - w / 2;
  const int parentWidth = parentWidget() ? parentWidget()->width() : width();
  if (x + w > parentWidth + 1)
    x = parentWidth - w - 9;
  if (x < 0)
    x = 10;
  if (parentWidth < w + 20)
    x = (parentWidth - w) / 2;
  y = qMax(y, 10);
  _mainWidget->setGeometry(x, y, w, h);
  applyPanelStyle(_mainWidget, 10, _cornerStyle);
}

int CommonPopup::popupHeight()
{
  return 0;
}

void CommonPopup::mousePressEvent(QMouseEvent *event)
{
  QWidget::mousePressEvent(event);
  if (_embedded || !_mainWidget)
    return;
  if (!_mainWidget->geometry().contains(event->pos()) && !_persistent)
    dismiss();
  // The overlay covers its parent: no press on it, inside the panel or out, may seek, grab or
  // draw in the window below.
  event->accept();
}

void CommonPopup::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  if (_embedded && _mainWidget)
    _mainWidget->setGeometry(0, 0, width(), height());
}
