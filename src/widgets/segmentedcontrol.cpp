#include "segmentedcontrol.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

SegmentedControl::SegmentedControl(QWidget *parent) : QWidget(parent) {}

void SegmentedControl::setSegmentTitles(const QStringList &titles)
{
  _titles = titles;
  update();
}

QString SegmentedControl::segmentTitle(int index) const
{
  return _titles.value(index);
}

void SegmentedControl::setCurrentIndex(int index)
{
  _currentIndex = index;
  update();
}

void SegmentedControl::setSegmentIcons(int index, const QPixmap &normal, const QPixmap &selected)
{
  _normalIcons.insert(index, normal);
  _selectedIcons.insert(index, selected);
  update();
}

void SegmentedControl::setBackgroundColor(const QColor &color)
{
  _backgroundColor = color;
  update();
}

void SegmentedControl::setSelectedSegmentColor(const QColor &color)
{
  _selectedColor = color;
  update();
}

void SegmentedControl::setTextColor(const QColor &color)
{
  _textColor = color;
  update();
}

void SegmentedControl::setSelectedTextColor(const QColor &color)
{
  _selectedTextColor = color;
  update();
}

void SegmentedControl::setIconSize(const QSize &size)
{
  _iconSize = size;
  update();
}

void SegmentedControl::setBorderWidth(float width)
{
  _borderWidth = width;
  update();
}

void SegmentedControl::setCornerRadius(float radius)
{
  _cornerRadius = radius;
}

int SegmentedControl::segmentAt(const QPoint &pos) const
{
  // Hit rectangles are the integer segment width with both edges included (the first match
  // wins on a shared edge); the last one reaches the right edge, so the pixels left over by
  // the integer division still belong to it and no index past the count can come out.
  if (_titles.isEmpty() || !rect().contains(pos))
    return -1;
  const int segmentWidth = width() / _titles.size();
  for (int i = 0; i < _titles.size() - 1; ++i)
    if (pos.x() <= (i + 1) * segmentWidth)
      return i;
  return _titles.size() - 1;
}

void SegmentedControl::mousePressEvent(QMouseEvent *event)
{
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  _pressedPos = event->pos();
  _pressed = true;
  update();
}

void SegmentedControl::mouseMoveEvent(QMouseEvent *event)
{
  if (!_pressed) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  _pressedPos = event->pos();
  update();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_pressed) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  // The last position of the press or drag decides, as on screen.
  const int index = segmentAt(_pressedPos);
  _pressedPos = QPoint(-1, -1);
  _pressed = false;
  if (index >= 0 && index != _currentIndex) {
    _currentIndex = index;
    emit segmentIndexChanged(this, index);
  }
  update();
}

void SegmentedControl::paintEvent(QPaintEvent *event)
{
  if (_titles.isEmpty()) {
    QWidget::paintEvent(event);
    return;
  }
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  if (!isEnabled())
    p.setOpacity(0.5);
  const QRectF whole(rect());
  QPainterPath clip;
  clip.addRoundedRect(whole, _cornerRadius, _cornerRadius);
  p.setClipPath(clip);
  p.setPen(_borderWidth > 0 ? QPen(_selectedColor, 2.0) : Qt::NoPen);
  p.setBrush(_backgroundColor);
  p.drawRoundedRect(whole, _cornerRadius, _cornerRadius);

  const qreal segmentWidth = whole.width() / _titles.size();
  const int pressedSegment = _pressed ? segmentAt(_pressedPos) : -1;
  const qreal dpr = devicePixelRatioF();
  for (int i = 0; i < _titles.size(); ++i) {
    const QRectF seg(i * segmentWidth, 0, segmentWidth, whole.height());
    const bool selected = i == _currentIndex;
    if (selected)
      p.fillRect(seg, _selectedColor);
    const QPixmap icon = selected ? _selectedIcons.value(i) : _normalIcons.value(i);
    if (!icon.isNull()) {
      QPixmap scaled = icon.scaled(_iconSize * dpr, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      scaled.setDevicePixelRatio(dpr);
      QRectF target(QPointF(0, 0), QSizeF(_iconSize));
      target.moveCenter(seg.center());
      p.drawPixmap(target, scaled, QRectF(scaled.rect()));
      continue;
    }
    QColor color = selected ? _selectedTextColor : _textColor;
    if (i == pressedSegment)
      color = color.darker(200);
    p.setPen(color);
    p.drawText(seg, Qt::AlignCenter, _titles[i]);
  }
}
