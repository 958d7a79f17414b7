#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QWidget>

// A grid of colour cells; a click (press and release on the same cell) reports its colour.
class ColorMatrixPaletteWidget : public QWidget
{
  Q_OBJECT
public:
  explicit ColorMatrixPaletteWidget(QWidget *parent = nullptr);

  void setColors(const QList<QColor> &colors, int columns, float spacing);
  static float cellSize(int width, int columns, float spacing);

  const QList<QRectF> &cellRects() const { return _cellRects; }
  int highlightedIndex() const { return _highlightedIndex; }
  int pressedIndex() const { return _pressedIndex; }

signals:
  void colorClicked(QColor color);

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void _layoutCells();
  int _cellAt(const QPointF &pos) const;

  QList<QColor> _colors;
  QList<QRectF> _cellRects;
  int _columns = 0;
  float _spacing = 0;
  int _highlightedIndex = -1;
  int _pressedIndex = -1;
};
