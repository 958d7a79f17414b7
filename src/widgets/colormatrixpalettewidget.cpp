#include "colormatrixpalettewidget.h"

#include <QMouseEvent>
#include <QPainter>

ColorMatrixPaletteWidget::ColorMatrixPaletteWidget(QWidget *parent) : QWidget(parent) {}

void ColorMatrixPaletteWidget::setColors(const QList<QColor> &colors, int columns, float spacing)
{
  if (colors != _colors)
    _colors = colors;
  _columns = qMax(1, columns);
  _spacing = spacing;
  _layoutCells();
}

float ColorMatrixPaletteWidget::cellSize(int width, int columns, float spacing)
{
  columns = qMax(1, columns);
  return (width - 1 - (columns - 1) * spacing) / columns;
}

void ColorMatrixPaletteWidget::_layoutCells()
{
  _cellRects.clear();
  if (_columns < 1)
    return;
  const float side = cellSize(width(), _columns, _spacing);
  float x = 0, y = 0;
  for (int i = 0; i < _colors.size(); ++i) {
    if (i > 0 && i % _columns == 0) {
      x = 0;
      y += side + _spacing;
    }
    _cellRects.append(QRectF(x, y, side, side));
    x += side + _spacing;
  }
  update();
}

int ColorMatrixPaletteWidget::_cellAt(const QPointF &pos) const
{
  for (int i = 0; i < _cellRects.size(); ++i)
    if (_cellRects[i].contains(pos))
      return i;
  return -1;
}

void ColorMatrixPaletteWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _layoutCells();
}

void ColorMatrixPaletteWidget::mousePressEvent(QMouseEvent *event)
{
  const int index = event->button() == Qt::LeftButton ? _cellAt(event->localPos()) : -1;
  if (index < 0) {
    QWidget::mousePressEvent(event);
    return;
  }
  _pressedIndex = _highlightedIndex = index;
  update();
  event->accept();
}

void ColorMatrixPaletteWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (_pressedIndex < 0) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  const int highlighted = _cellRects[_pressedIndex].contains(event->localPos()) ? _pressedIndex : -1;
  if (highlighted != _highlightedIndex) {
    _highlightedIndex = highlighted;
    update();
  }
}

void ColorMatrixPaletteWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (_pressedIndex < 0) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  const int pressed = _pressedIndex;
  const bool stillOver = _highlightedIndex == pressed;
  _pressedIndex = _highlightedIndex = -1;
  update();
  if (stillOver)
    emit colorClicked(_colors.value(pressed));
}

void ColorMatrixPaletteWidget::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setPen(QPen(QColor(16, 16, 16), 1));
  for (int i = 0; i < _cellRects.size(); ++i) {
    p.setBrush(i == _highlightedIndex ? _colors[i].darker(200) : _colors[i]);
    p.drawRect(_cellRects[i]);
  }
}
