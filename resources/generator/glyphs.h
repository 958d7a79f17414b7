#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QString>
#include <functional>

// Drawing vocabulary of the generated artwork: plain glyphs painted into a transparent
// image, each scaled to the image, so that one glyph serves every colour variant.
namespace Glyphs {

// A polygon from a point list (QPolygonF's own brace constructor is ambiguous for two points).
inline QPolygonF pts(std::initializer_list<QPointF> points)
{
  return QPolygonF(QVector<QPointF>(points));
}

using Draw = std::function<void(QPainter &, const QRectF &, const QColor &)>;

QImage canvas(int width, int height, const QColor &fill = Qt::transparent);
QImage render(int width, int height, const QColor &color, const Draw &draw);

// Named glyphs; an unknown name draws a ring, so a typo is visible rather than fatal.
Draw glyph(const QString &name);

// A word in our own stroke letters (A, E, N, O, R, T, V and the blank), no font needed.
void strokeText(QPainter &p, const QString &text, const QRectF &box, const QColor &color, qreal weight);

// Curve p -> value of the editor's easing choices, by icon name ("in_back", "linear", ...).
double ease(const QString &name, double p);

} // namespace Glyphs
