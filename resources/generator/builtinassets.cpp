#include "builtinassets.h"

#include "glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace BuiltinAssets {

QImage sticker(const QString &folder, int number, int size)
{
  QImage img = Glyphs::canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);
  const QColor fill = QColor::fromHsv((number * 47) % 360, 170, 245);
  p.setPen(QPen(Qt::white, 4));
  p.setBrush(fill);
  if (folder == "love") {
    QPainterPath heart;
    heart.moveTo(50, 86);
    heart.cubicTo(8, 58, 6, 30, 24, 18);
    heart.cubicTo(38, 10, 48, 20, 50, 28);
    heart.cubicTo(52, 20, 62, 10, 76, 18);
    heart.cubicTo(94, 30, 92, 58, 50, 86);
    p.drawPath(heart);
  } else if (folder == "party") {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
      const double r = i % 2 ? 20 : 44;
      const double a = M_PI * i / 5 - M_PI / 2;
      star << QPointF(50 + r * std::cos(a), 52 + r * std::sin(a));
    }
    p.drawPolygon(star);
  } else if (folder == "comic_words") {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(8, 14, 84, 56), 24, 24);
    bubble.addPolygon(Glyphs::pts({QPointF(30, 66), QPointF(22, 90), QPointF(48, 68)}));
    p.drawPath(bubble.simplified());
  } else {
    p.drawEllipse(QRectF(8, 8, 84, 84));
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(32, 32, 9, 12));
    p.drawEllipse(QRectF(59, 32, 9, 12));
    p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    // The mouth's curve differs from face to face.
    const int bend = (number % 5 - 2) * 8;
    QPainterPath mouth;
    mouth.moveTo(30, 64);
    mouth.quadTo(50, 64 + bend, 70, 64);
    p.drawPath(mouth);
  }
  // Pips tell the stickers of one folder apart.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  for (int i = 0; i < number % 6; ++i)
    p.drawEllipse(QRectF(12 + i * 8, 92, 5, 5));
  return img;
}

} // namespace BuiltinAssets
