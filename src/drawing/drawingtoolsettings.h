#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QString>

class QPainter;

// What the canvas and all its shapes share: the painter they draw with and the current
// tool values. The canvas owns it; every shape holds a pointer.
struct DrawingToolSettings
{
  QPainter *painter = nullptr;
  QColor color{0, 255, 0, 255};
  float lineWidth = 1.0f;
  float scaledLineWidth = 1.0f;
  int fillMode = 1;
  QPixmap pattern;
  bool rubber = false;
  QString fontName;
  QString fontStyle;
  float textSize = 100.0f;
  float scaledTextSize = 100.0f;
  int textAlign = 0;
  QString text;
  QPointF textLocation;
  QPixmap picture;
  float pictureSize = 0.8f;
  QPointF pictureLocation;
};
