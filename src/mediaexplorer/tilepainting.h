#pragma once

#include <QRectF>

class QPainter;
class QString;
class QVariant;

// Pieces the explorer's tile painters share.
namespace TilePainting {

// The dark rounded background of a selected item.
void paintSelectedBackground(QPainter *painter, const QRectF &rect);

// Draws a decoration (a QIcon, or a value that converts to one) fitted into rect keeping its
// aspect; returns where it went, an empty rectangle when there was nothing to draw.
QRectF paintFittedIcon(QPainter *painter, const QVariant &decoration, const QRect &rect);

// A row's duration: gray, one point smaller, right-aligned, losing its beginning when long.
void paintRowDuration(QPainter *painter, const QRect &textRect, const QString &duration);

} // namespace TilePainting
