#include "tooltipbutton.h"

#include "iconcache.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

TooltipButton::TooltipButton(const QString &normalIcon, const QString &selectedIcon, QWidget *parent)
  : QPushButton(parent), _normalIcon(normalIcon), _selectedIcon(selectedIcon)
{
  _init();
}

TooltipButton::TooltipButton(QWidget *parent) : QPushButton(parent)
{
  _init();
}

void TooltipButton::_init()
{
  connect(this, &QPushButton::pressed, this, &TooltipButton::onPressed);
  connect(this, &QPushButton::released, this, &TooltipButton::onReleased);
  setStyleSheet("QToolTip{background-color:rgb(54,200,255); color:white; padding: 2px; border-radius: 3px;}");
  if (!_normalIcon.isEmpty())
    _showIcon(_normalIcon);
}

void TooltipButton::_showIcon(const QString &path)
{
  _shownIcon = path;
  setIcon(cachedIcon(path));
}

void TooltipButton::onPressed()
{
  if (!_selectedIcon.isEmpty())
    _showIcon(_selectedIcon);
}

void TooltipButton::onReleased()
{
  _showIcon(_selected ? _selectedIcon : _normalIcon);
}

void TooltipButton::setSelected(bool selected)
{
  _selected = selected;
  onReleased();
  if (selected && _toolTipOnSelect) {
    if (_toolTipDelay < 1)
      showCustomToolTip();
    else
      QTimer::singleShot(_toolTipDelay, this, &TooltipButton::showCustomToolTip);
  } else if (_toolTipShowing) {
    hideCustomToolTip();
  }
}

void TooltipButton::setNormalIcon(const QString &path)
{
  _normalIcon = path;
  if (!_selected)
    _showIcon(path);
}

void TooltipButton::setSelectedIcon(const QString &path)
{
  _selectedIcon = path;
  if (_selected)
    _showIcon(path);
}

void TooltipButton::setDisabledIcon(const QString &path)
{
  _disabledIcon = path;
  if (!isEnabled())
    _showIcon(path);
}

QPoint TooltipButton::toolTipPosition() const
{
  const int textWidth = QFontMetrics(QToolTip::font()).horizontalAdvance(_toolTipText);
  return QPoint(width() / 2 - (textWidth + 4) / 2, _toolTipY);
}

void TooltipButton::showCustomToolTip()
{
  if (!_toolTipsOn || _toolTipShowing || _toolTipText.isEmpty())
    return;
  QToolTip::showText(mapToGlobal(toolTipPosition()), _toolTipText, this);
  _toolTipShowing = true;
}

void TooltipButton::hideCustomToolTip()
{
  QToolTip::hideText();
  _toolTipShowing = false;
}

void TooltipButton::changeEvent(QEvent *event)
{
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) {
      if (_selected) {
        _selected = false;
        _showIcon(_normalIcon);
        if (_toolTipShowing)
          hideCustomToolTip();
      }
      if (!_disabledIcon.isEmpty())
        _showIcon(_disabledIcon);
    } else {
      _showIcon(_selected ? _selectedIcon : _normalIcon);
    }
  }
  QPushButton::changeEvent(event);
}

void TooltipButton::setCornerMark(int mark)
{
  if (mark == _cornerMark)
    return;
  _cornerMark = mark;
  update();
}

void TooltipButton::paintEvent(QPaintEvent *event)
{
  QPushButton::paintEvent(event);
  if (_cornerMark < 1 || _cornerMark > 4)
    return;
  const qreal w = width(), h = height();
  QPolygonF mark;
  switch (_cornerMark) {
  case 1:
    mark << QPointF(w - 5, 5) << QPointF(w - 10, 5) << QPointF(w - 5, 10);
    break;
  case 2:
    mark << QPointF(w - 5, h - 5) << QPointF(w - 10, h - 5) << QPointF(w - 5, h - 10);
    break;
  case 3:
    mark << QPointF(5, h - 5) << QPointF(5, h - 10) << QPointF(10, h - 5);
    break;
  default:
    mark << QPointF(5, 5) << QPointF(5, 10) << QPointF(10, 5);
    break;
  }
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(isDown() || _selected ? QColor(54, 200, 255) : QColor(Qt::white));
  p.drawPolygon(mark);
}
