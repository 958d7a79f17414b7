#include "artwork.h"

#include "glyphs.h"

#include <QPainterPath>
#include <QtEndian>
#include <QtMath>

namespace Artwork {

using Glyphs::pts;

namespace {

const QColor kNormal(216, 216, 216);
const QColor kAccent(54, 200, 255);
const QColor kDisabled(128, 128, 128);
const QColor kTransition(3, 166, 228);
const QColor kHandle(236, 236, 236);
const QColor kYellow(255, 204, 0);
const QColor kRed(232, 72, 72);

// Deterministic noise for textures and the shutter sound.
class Lcg
{
public:
  explicit Lcg(quint32 seed) : _state(seed) {}
  quint32 next()
  {
    _state = _state * 1664525u + 1013904223u;
    return _state >> 8;
  }
  double unit() { return next() / double(1 << 24); }

private:
  quint32 _state;
};

struct Catalogue
{
  QVector<Image> list;

  void add(const QString &alias, const QImage &image, const QString &prefix = "images")
  {
    list.append({prefix, alias, image});
  }
  void glyph(const QString &alias, const QString &glyphName, const QColor &color, int w = 48, int h = 48)
  {
    add(alias, Glyphs::render(w, h, color, Glyphs::glyph(glyphName)));
  }
  // Normal glyph plus its selected variant, named by appending the suffix.
  void pair(const QString &alias, const QString &glyphName, const QString &suffix, int size = 48)
  {
    glyph(alias, glyphName, kNormal, size, size);
    glyph(alias + suffix, glyphName, kAccent, size, size);
  }
};

QImage easingIcon(const QString &name, const QColor &color)
{
  const int size = 60;
  QImage img = Glyphs::canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Curves that overshoot need room above and below the unit square.
  const QRectF box(8, 14, 44, 32);
  p.setPen(QPen(QColor(color.red(), color.green(), color.blue(), 90), 1.5));
  p.drawLine(box.bottomLeft(), box.bottomRight());
  p.drawLine(box.bottomLeft(), box.topLeft());
  QPolygonF curve;
  for (int i = 0; i <= 120; ++i) {
    const double t = i / 120.0;
    curve << QPointF(box.left() + t * box.width(), box.bottom() - Glyphs::ease(name, t) * box.height());
  }
  p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(curve);
  return img;
}

QImage checkerboard(int size, int cell)
{
  QImage img = Glyphs::canvas(size, size, Qt::white);
  QPainter p(&img);
  for (int y = 0; y < size; y += cell)
    for (int x = 0; x < size; x += cell)
      if ((x / cell + y / cell) % 2)
        p.fillRect(x, y, cell, cell, QColor(204, 204, 204));
  return img;
}

// The gradient editor's handle: a white ring with a dark rim, readable over any colour.
QImage gradientPoint()
{
  QImage img = Glyphs::canvas(60, 60);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 0, 0, 160), 12));
  p.drawEllipse(QRectF(10, 10, 40, 40));
  p.setPen(QPen(Qt::white, 7));
  p.drawEllipse(QRectF(10, 10, 40, 40));
  return img;
}

QImage cropHandle(int dx, int dy, const QColor &color)
{
  QImage img = Glyphs::canvas(40, 40);
  QPainter p(&img);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  const qreal t = 5;
  // L-shape whose outer corner points outwards along (dx, dy); straight bar for edges.
  if (dx && dy) {
    const qreal x = dx < 0 ? 8 : 32 - t, y = dy < 0 ? 8 : 32 - t;
    p.drawRect(QRectF(dx < 0 ? 8 : 14, y, 18, t));
    p.drawRect(QRectF(x, dy < 0 ? 8 : 14, t, 18));
  } else if (dx) {
    p.drawRect(QRectF(dx < 0 ? 8 : 32 - t, 11, t, 18));
  } else {
    p.drawRect(QRectF(11, dy < 0 ? 8 : 32 - t, 18, t));
  }
  return img;
}

QImage rowBackground(const QColor &fill)
{
  QImage img = Glyphs::canvas(64, 44, fill);
  QPainter p(&img);
  p.setPen(QColor(fill.red() + 14, fill.green() + 14, fill.blue() + 14));
  p.drawLine(0, 43, 63, 43);
  return img;
}

QImage pointerButton(const QColor &color, bool dashed)
{
  QImage img = Glyphs::canvas(27, 21);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QPolygonF shape({QPointF(1, 1), QPointF(26, 1), QPointF(26, 12), QPointF(13.5, 20), QPointF(1, 12)});
  if (dashed) {
    p.setPen(QPen(color, 2, Qt::DashLine));
    p.setBrush(QColor(color.red(), color.green(), color.blue(), 70));
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
  }
  p.drawPolygon(shape);
  return img;
}

QImage pointerLine(const QColor &color, bool dashed, bool gradient)
{
  const int h = dashed ? 16 : 64;
  QImage img = Glyphs::canvas(3, h);
  QPainter p(&img);
  if (dashed) {
    p.fillRect(0, 0, 3, 8, color);
  } else if (gradient) {
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, color);
    g.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 60));
    p.fillRect(0, 0, 3, h, g);
  } else {
    p.fillRect(0, 0, 3, h, color);
  }
  return img;
}

QImage trimBar()
{
  QImage img = Glyphs::canvas(26, 64);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kYellow);
  p.drawRoundedRect(QRectF(4, 0, 18, 64), 5, 5);
  p.setPen(QPen(QColor(120, 90, 0), 2));
  for (int i = 0; i < 3; ++i)
    p.drawLine(QPointF(10 + i * 3, 24), QPointF(10 + i * 3, 40));
  return img;
}

QImage transitionHandle(bool left)
{
  QImage img = Glyphs::canvas(34, 24);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kTransition);
  p.drawRoundedRect(QRectF(1, 1, 32, 22), 6, 6);
  p.setBrush(Qt::white);
  const qreal tip = left ? 9 : 25, base = left ? 21 : 13;
  p.drawPolygon(pts({QPointF(tip, 12), QPointF(base, 5), QPointF(base, 19)}));
  return img;
}

QImage removeFrame(int index)
{
  // A puff that grows and fades over the four frames.
  QImage img = Glyphs::canvas(40, 40);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const int alpha = 255 - index * 55;
  const qreal r = 6 + index * 4;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, alpha));
  for (int i = 0; i < 6; ++i) {
    const qreal a = qDegreesToRadians(i * 60.0 + index * 15);
    p.drawEllipse(QPointF(20 + r * qCos(a), 20 + r * qSin(a)), 5 - index, 5 - index);
  }
  p.drawEllipse(QPointF(20, 20), 7 - index * 1.5, 7 - index * 1.5);
  return img;
}

QImage texture(int n)
{
  static const QColor palette[][2] = {
    {{240, 90, 90}, {250, 200, 190}},   {{60, 120, 220}, {230, 240, 255}}, {{40, 170, 110}, {215, 245, 225}},
    {{250, 170, 40}, {255, 240, 200}},  {{150, 80, 200}, {235, 220, 250}}, {{30, 30, 30}, {200, 200, 200}},
    {{0, 150, 170}, {200, 240, 245}},   {{120, 90, 60}, {230, 210, 180}},  {{220, 60, 140}, {255, 215, 235}},
    {{90, 110, 40}, {220, 230, 190}},   {{40, 60, 120}, {130, 170, 230}},  {{200, 40, 40}, {40, 40, 120}},
    {{255, 120, 0}, {40, 20, 60}},      {{20, 120, 200}, {255, 255, 255}}, {{60, 160, 60}, {20, 50, 20}},
    {{230, 200, 40}, {60, 60, 60}},
  };
  const int w = n <= 12 ? 128 : n <= 14 ? 160 : 96;
  const int h = n <= 12 ? 128 : n <= 14 ? 96 : 160;
  const QColor a = palette[n - 1][0], b = palette[n - 1][1];
  QImage img = Glyphs::canvas(w, h, b);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(a);
  switch (n) {
  case 1: // diagonal stripes
    for (int k = -h; k < w + h; k += 16)
      p.drawPolygon(pts({QPointF(k, 0), QPointF(k + 8, 0), QPointF(k + 8 - h, h), QPointF(k - h, h)}));
    break;
  case 2: // checks
    for (int y = 0; y < h; y += 16)
      for (int x = (y / 16 % 2) * 16; x < w; x += 32)
        p.drawRect(x, y, 16, 16);
    break;
  case 3: // dots
    for (int y = 8; y < h; y += 16)
      for (int x = 8; x < w; x += 16)
        p.drawEllipse(QPointF(x, y), 5, 5);
    break;
  case 4: // waves
    p.setPen(QPen(a, 4));
    for (int y = 8; y < h + 8; y += 16) {
      QPolygonF wave;
      for (int x = 0; x <= w; x += 2)
        wave << QPointF(x, y + 5 * qSin(x * 2 * M_PI / 32));
      p.drawPolyline(wave);
    }
    break;
  case 5: // bricks
    p.setPen(QPen(a, 3));
    p.setBrush(Qt::NoBrush);
    for (int y = 0; y < h; y += 16) {
      p.drawLine(0, y, w, y);
      for (int x = (y / 16 % 2) * 16; x < w; x += 32)
        p.drawLine(x, y, x, y + 16);
    }
    break;
  case 6: // grid
    p.setPen(QPen(a, 1));
    for (int x = 0; x < w; x += 8)
      p.drawLine(x, 0, x, h);
    for (int y = 0; y < h; y += 8)
      p.drawLine(0, y, w, y);
    break;
  case 7: // rings
    p.setPen(QPen(a, 4));
    p.setBrush(Qt::NoBrush);
    for (int r = 6; r < w; r += 12)
      p.drawEllipse(QPointF(w / 2.0, h / 2.0), r, r);
    break;
  case 8: { // speckle
    Lcg rng(8);
    for (int i = 0; i < w * h / 12; ++i)
      p.drawRect(QRectF(rng.next() % w, rng.next() % h, 2, 2));
    break;
  }
  case 9: // zigzag
    p.setPen(QPen(a, 4));
    for (int y = 8; y < h + 8; y += 16) {
      QPolygonF zig;
      for (int x = 0; x <= w; x += 8)
        zig << QPointF(x, y + ((x / 8) % 2 ? 5 : -5));
      p.drawPolyline(zig);
    }
    break;
  case 10: // triangles
    for (int y = 0; y < h; y += 16)
      for (int x = 0; x < w; x += 16)
        p.drawPolygon(pts({QPointF(x, y + 16), QPointF(x + 8, y), QPointF(x + 16, y + 16)}));
    break;
  case 11: { // bands
    QLinearGradient g(0, 0, 0, 32);
    g.setSpread(QGradient::ReflectSpread);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(0, 0, w, h, g);
    break;
  }
  case 12: // plaid
    p.setBrush(QColor(a.red(), a.green(), a.blue(), 120));
    for (int x = 0; x < w; x += 32)
      p.drawRect(x, 0, 12, h);
    for (int y = 0; y < h; y += 32)
      p.drawRect(0, y, w, 12);
    break;
  case 13: { // radial glow
    QRadialGradient g(QPointF(w / 2.0, h / 2.0), w / 2.0);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(0, 0, w, h, g);
    break;
  }
  case 14: // diamonds
    for (int y = 0; y < h; y += 16)
      for (int x = 0; x < w; x += 16)
        p.drawPolygon(pts({QPointF(x + 8, y + 1), QPointF(x + 15, y + 8), QPointF(x + 8, y + 15), QPointF(x + 1, y + 8)}));
    break;
  case 15: // scales
    p.setPen(QPen(b, 2));
    for (int y = 0; y < h + 16; y += 12)
      for (int x = (y / 12 % 2) * 8; x < w + 16; x += 16)
        p.drawEllipse(QPointF(x, y), 9, 9);
    break;
  default: // crosses
    p.setPen(QPen(a, 3));
    for (int y = 8; y < h; y += 20)
      for (int x = 8; x < w; x += 20) {
        p.drawLine(x - 5, y, x + 5, y);
        p.drawLine(x, y - 5, x, y + 5);
      }
    break;
  }
  return img;
}

QImage appText()
{
  QImage img = Glyphs::canvas(300, 60);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  Glyphs::strokeText(p, "TAVO REN", QRectF(6, 10, 288, 40), Qt::white, 6);
  return img;
}

QImage drawingMode(const QString &kind, const QColor &color)
{
  QImage img = Glyphs::canvas(48, 48);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(8, 8, 32, 32);
  QBrush brush(color);
  if (kind == "linear") {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, color);
    g.setColorAt(1, Qt::transparent);
    brush = g;
  } else if (kind == "radial") {
    QRadialGradient g(r.center(), 18);
    g.setColorAt(0, color);
    g.setColorAt(1, Qt::transparent);
    brush = g;
  }
  p.setPen(QPen(color, 2));
  p.setBrush(brush);
  p.drawRoundedRect(r, 5, 5);
  if (kind == "pattern") {
    p.setPen(Qt::NoPen);
    p.setBrush(color.darker(250));
    for (int y = 0; y < 4; ++y)
      for (int x = y % 2; x < 4; x += 2)
        p.drawRect(QRectF(8 + x * 8, 8 + y * 8, 8, 8));
  }
  return img;
}


// The drawing tools' icons: shapes as the canvas draws them, "1" outlined and "2" filled.
QImage drawingTool(const QString &name, const QColor &color)
{
  const int size = 54;
  QImage img = Glyphs::canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box(9, 9, 36, 36);
  const bool filled = name.endsWith('2') && name != "clear2";
  const QString base = name.endsWith('1') || filled ? name.left(name.size() - 1) : name;
  p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(filled ? QBrush(color) : Qt::NoBrush);
  auto glyph = [&](const QString &glyphName, const QRectF &r) { Glyphs::glyph(glyphName)(p, r, color); };
  auto star = [&](int points, qreal inner) {
    QPolygonF poly;
    const int corners = inner > 0 ? points * 2 : points;
    for (int i = 0; i < corners; ++i) {
      const qreal radius = inner > 0 && i % 2 ? 18 * inner : 18;
      const qreal a = -M_PI / 2 + i * 2 * M_PI / corners;
      poly << QPointF(27 + radius * std::cos(a), 28 + radius * std::sin(a));
    }
    p.drawPolygon(poly);
  };
  if (base == "rect") {
    p.drawRect(box.adjusted(0, 5, 0, -5));
  } else if (base == "roundrect") {
    p.drawRoundedRect(box.adjusted(0, 5, 0, -5), 7, 7);
  } else if (base == "circle") {
    p.drawEllipse(box);
  } else if (base == "ellipse") {
    p.drawEllipse(box.adjusted(0, 7, 0, -7));
  } else if (base == "triangle") {
    p.drawPolygon(pts({QPointF(27, 9), QPointF(45, 44), QPointF(9, 44)}));
  } else if (base == "rhombus") {
    p.drawPolygon(pts({QPointF(27, 8), QPointF(46, 27), QPointF(27, 46), QPointF(8, 27)}));
  } else if (base == "pentagon") {
    star(5, 0);
  } else if (base == "pentagram") {
    star(5, 0.4);
  } else if (base == "heart") {
    QPainterPath path;
    path.moveTo(27, 45);
    path.cubicTo(4, 30, 6, 10, 18, 11);
    path.cubicTo(23, 11, 26, 15, 27, 19);
    path.cubicTo(28, 15, 31, 11, 36, 11);
    path.cubicTo(48, 10, 50, 30, 27, 45);
    p.drawPath(path);
  } else if (name == "line" || name == "dashline" || name == "dotline" || name == "arrowline") {
    QPen pen = p.pen();
    if (name == "dashline")
      pen.setDashPattern({2.5, 1.5});
    else if (name == "dotline")
      pen.setDashPattern({0.1, 2});
    p.setPen(pen);
    p.drawLine(QPointF(11, 43), QPointF(43, 11));
    if (name == "arrowline") {
      p.setBrush(color);
      p.drawPolygon(pts({QPointF(45, 9), QPointF(42, 22), QPointF(32, 12)}));
    }
  } else if (name == "linewidth") {
    for (int i = 0; i < 3; ++i) {
      p.setPen(QPen(color, 2 + i * 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(11, 14 + i * 12), QPointF(43, 14 + i * 12));
    }
  } else if (name == "hardness") {
    QRadialGradient g(QPointF(27, 27), 18);
    g.setColorAt(0, color);
    g.setColorAt(0.5, color);
    g.setColorAt(1, Qt::transparent);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(box);
  } else if (name == "spray") {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    Lcg rng(1031);
    for (int i = 0; i < 40; ++i) {
      const qreal a = rng.unit() * 2 * M_PI, r = std::sqrt(rng.unit()) * 17;
      p.drawEllipse(QPointF(27 + r * std::cos(a), 27 + r * std::sin(a)), 1.4, 1.4);
    }
  } else if (name == "rubber" || name == "color_rubber") {
    QTransform t;
    t.translate(27, 27);
    t.rotate(-40);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(t.map(QPolygonF(QRectF(-17, -9, 34, 18))));
    p.setBrush(color);
    p.drawPolygon(t.map(QPolygonF(QRectF(-17, -9, 12, 18))));
  } else if (name == "pencil_rubber_switch") {
    glyph("pencil", QRectF(6, 6, 26, 26));
    QTransform t;
    t.translate(36, 36);
    t.rotate(-40);
    p.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(t.map(QPolygonF(QRectF(-10, -5, 20, 10))));
    p.drawLine(QPointF(34, 10), QPointF(44, 10));
    p.drawLine(QPointF(10, 44), QPointF(20, 44));
  } else if (name == "pencil" || name == "freehand") {
    glyph("pencil", box);
    if (name == "freehand") {
      p.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      QPainterPath curl;
      curl.moveTo(8, 47);
      curl.cubicTo(16, 38, 22, 52, 30, 46);
      p.drawPath(curl);
    }
  } else if (name == "clear" || name == "clear2") {
    glyph("trash", box);
  } else if (name == "undo") {
    glyph("undo", box);
  } else if (name == "redo") {
    p.translate(size, 0);
    p.scale(-1, 1);
    glyph("undo", box);
  } else if (name == "save") {
    p.drawRoundedRect(box, 4, 4);
    p.drawRect(QRectF(17, 9, 20, 11));
    p.setBrush(color);
    p.drawRect(QRectF(16, 30, 22, 15));
  } else if (name == "text") {
    glyph("text", box);
  } else if (name == "picture" || name == "openPicture") {
    glyph("photo", box);
    if (name == "openPicture") {
      p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(44, 2), QPointF(44, 14));
      p.drawLine(QPointF(38, 8), QPointF(50, 8));
    }
  } else if (name == "textOk") {
    glyph("check", box);
  } else {
    glyph(name, box);
  }
  return img;
}
// Recording: a video camera body with its lens hood, drawn in one colour.
QImage videoCamera(const QColor &color, int size)
{
  QImage img = Glyphs::canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawRoundedRect(QRectF(8, 28, 60, 44), 8, 8);
  p.drawPolygon(pts({QPointF(72, 50), QPointF(92, 32), QPointF(92, 68)}));
  return img;
}

// The picture shown where the viewfinder would be when there is no camera: a crossed-out camera.
QImage noCameraPicture()
{
  const int w = 240, h = 180;
  QImage img = Glyphs::canvas(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.drawImage(QRectF(60, 30, 120, 120), videoCamera(kDisabled, 120));
  p.setPen(QPen(kRed, 10, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(66, 36), QPointF(174, 144));
  return img;
}

// The level meter: a row of bars, gray when idle, green to red when lit.
QImage audioMeter(bool lit)
{
  const int w = 250, h = 50, bars = 25;
  QImage img = Glyphs::canvas(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const qreal step = w / qreal(bars);
  for (int i = 0; i < bars; ++i) {
    QColor c(70, 72, 76);
    if (lit)
      c = i < bars * 0.6 ? QColor(60, 200, 90) : i < bars * 0.85 ? kYellow : kRed;
    const qreal barH = h * (0.4 + 0.6 * i / (bars - 1));
    p.setBrush(c);
    p.drawRoundedRect(QRectF(i * step + 2, (h - barH) / 2, step - 4, barH), 2, 2);
  }
  return img;
}

// The record button's two blink phases: a red dot, and the same dot with a ring around it.
QImage recordingIcon(bool ring)
{
  const int size = 50;
  QImage img = Glyphs::canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kRed);
  p.drawEllipse(QPointF(25, 25), ring ? 13 : 17, ring ? 13 : 17);
  if (ring) {
    p.setPen(QPen(kRed, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(25, 25), 21, 21);
  }
  return img;
}

// Media explorer: view-mode and filter marks, the duration badges, placeholders.
QImage explorerMark(const QString &kind, const QColor &color)
{
  QImage img = Glyphs::canvas(40, 40);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  if (kind == "grid") {
    for (int i = 0; i < 4; ++i)
      p.drawRoundedRect(QRectF(6 + (i % 2) * 15, 6 + (i / 2) * 15, 13, 13), 2, 2);
  } else if (kind == "list") {
    for (int i = 0; i < 3; ++i) {
      p.drawEllipse(QRectF(5, 8 + i * 10, 5, 5));
      p.drawRoundedRect(QRectF(14, 8.5 + i * 10, 21, 4), 2, 2);
    }
  } else {
    p.drawPolygon(Glyphs::pts({QPointF(5, 7), QPointF(35, 7), QPointF(23, 21), QPointF(23, 33), QPointF(17, 30),
                               QPointF(17, 21)}));
  }
  return img;
}

QImage badge(const QString &kind)
{
  // Drawn at twice the size the tiles show them.
  const bool video = kind == "video";
  QImage img = Glyphs::canvas(video ? 30 : 22, video ? 16 : 22);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  if (video) {
    p.drawRoundedRect(QRectF(0, 1, 20, 14), 3, 3);
    p.drawPolygon(Glyphs::pts({QPointF(21, 8), QPointF(30, 2), QPointF(30, 14)}));
  } else {
    Glyphs::glyph("music")(p, QRectF(0, 0, 22, 22), Qt::white);
  }
  return img;
}

QImage placeholder(int width, int height, const QString &glyphName, const QColor &back)
{
  QImage img = Glyphs::canvas(width, height, back);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal side = qMin(width, height) * 0.5;
  Glyphs::glyph(glyphName)(p, QRectF((width - side) / 2, (height - side) / 2, side, side), kDisabled);
  return img;
}

} // namespace

QVector<Image> images()
{
  Catalogue c;

  // Brand
  c.glyph("app_logo", "logo", kAccent, 240, 240);
  c.add("app_text", appText());
  c.glyph("leftside_logo", "film", kNormal);
  c.glyph("leftside_settings", "gear", kNormal);
  c.glyph("leftside_help_support", "question", kNormal);

  // Player and navigation
  c.glyph("navi_play", "play", kNormal);
  c.glyph("navi_pause", "pause", kNormal);
  c.glyph("navi_play_next", "next", kNormal);
  c.glyph("navi_play_previous", "previous", kNormal);
  c.glyph("navi_back_2", "chevron_left", kNormal);
  c.glyph("navi_back_2_disabled", "chevron_left", kDisabled);
  c.glyph("navi_full_screen", "fullscreen", kNormal);
  c.glyph("navi_normal_screen", "normalscreen", kNormal);
  c.glyph("navi_settings", "gear", kNormal);
  c.glyph("navi_share", "share", kNormal);
  c.glyph("navi_undo", "undo", kNormal);
  c.glyph("camera_play", "circle_play", kNormal, 64, 64);
  c.glyph("camera_pause", "circle_pause", kNormal, 64, 64);
  for (const char *dir : {"up", "down", "left", "right"})
    c.glyph(QString("move_") + dir, QString("arrow_") + dir, kNormal);
  c.glyph("value_increase", "plus", kNormal);
  c.glyph("value_decrease", "minus", kNormal);
  c.glyph("expand_triangle", "arrow_right", kNormal, 40, 40);
  c.glyph("expand_triangle_disabled", "arrow_right", kDisabled, 40, 40);
  c.glyph("color_picker_icon_nor", "pipette", kNormal, 46, 46);
  c.glyph("color_picker_icon_sel", "pipette", kAccent, 46, 46);

  // Projects browser
  c.glyph("project_folder", "folder", kNormal, 160, 120);
  c.glyph("project_folder_small", "folder", kNormal, 32, 32);
  c.glyph("project_new_normal", "new_tile", kNormal, 160, 120);
  c.glyph("project_new_disabled", "new_tile", kDisabled, 160, 120);
  c.glyph("project_error", "exclamation", kRed);
  c.glyph("project_menu", "menu", kNormal);
  c.glyph("project_menu_selected", "menu", kAccent);
  c.glyph("project_edit_checked", "circle_check", kAccent);
  c.glyph("project_edit_unchecked", "ring", Qt::white);
  c.glyph("project_edit_archive", "archive", kNormal);
  c.glyph("project_edit_copy", "copy", kNormal);
  c.glyph("project_edit_delete", "trash", kNormal);
  c.glyph("project_edit_rename", "pencil", kNormal);
  c.glyph("project_tb_copy", "copy", kNormal);
  c.glyph("project_tb_delete", "trash", kNormal);
  c.glyph("project_tb_moveto", "folder_arrow", kNormal);
  c.glyph("project_tb_new_folder", "folder_plus", kNormal);
  c.glyph("project_tb_copy_disabled", "copy", kDisabled);
  c.glyph("project_tb_delete_disabled", "trash", kDisabled);
  c.glyph("project_tb_moveto_disabled", "folder_arrow", kDisabled);
  c.glyph("project_tb_new_folder_disabled", "folder_plus", kDisabled);

  // Export
  c.glyph("export/export_command_icon", "share", kNormal);
  c.glyph("export/export_done_icon", "circle_check", kAccent, 144, 144);
  c.glyph("export/export_error_icon", "circle_cross", kRed, 140, 140);
  c.glyph("export/export_folder", "folder", kNormal);

  // Tracks and timeline
  c.glyph("track_video", "film", kNormal, 46, 46);
  c.glyph("track_photo", "photo", kNormal, 46, 46);
  c.glyph("track_music", "music", kNormal, 46, 46);
  c.glyph("track_voice", "voice", kNormal, 46, 46);
  c.glyph("track_text", "text", kNormal, 46, 46);
  c.glyph("track_draw", "pencil", kNormal, 46, 46);
  c.glyph("track_empty", "plus", kNormal, 46, 46);
  c.glyph("track_zoom_in", "zoom_in", kNormal, 28, 28);
  c.glyph("track_zoom_out", "zoom_out", kNormal, 28, 28);
  c.add("segment_back", rowBackground(QColor(30, 31, 34)));
  c.add("segment_back_color", rowBackground(QColor(38, 39, 43)));
  c.pair("segment_insert", "insert", "_hl", 40);
  c.pair("segment_overwrite", "overwrite", "_hl", 40);
  c.pair("duplicate_opr", "copy", "_2", 74);
  c.pair("remove_opr", "trash", "_2", 74);
  c.add("trim_bar", trimBar());
  c.add("transition_left_trim_bar", transitionHandle(true));
  c.add("transition_right_trim_bar", transitionHandle(false));
  c.add("pointer_button", pointerButton(Qt::white, false));
  c.add("pointer_yellow_button", pointerButton(kYellow, false));
  c.add("pointer_yellow_dashed_button", pointerButton(kYellow, true));
  c.add("pointer_gradient_line", pointerLine(Qt::white, false, true));
  c.add("pointer_dashed_line", pointerLine(Qt::white, true, false));
  c.add("pointer_yellow_line", pointerLine(kYellow, false, false));
  c.add("pointer_yellow_dashed_line", pointerLine(kYellow, true, false));
  for (int i = 1; i <= 4; ++i)
    c.add(QString("animation/eliminate_ani%1").arg(i), removeFrame(i - 1));

  // Crop and transform handles: the dot and the square share one size.
  const struct
  {
    const char *name;
    int dx, dy;
  } crops[] = {{"top_left", -1, -1}, {"top", 0, -1},    {"top_right", 1, -1}, {"right", 1, 0},
               {"bottom_right", 1, 1}, {"bottom", 0, 1}, {"bottom_left", -1, 1}, {"left", -1, 0}};
  for (const auto &crop : crops) {
    c.add(QString("crop_%1_normal").arg(crop.name), cropHandle(crop.dx, crop.dy, kHandle));
    c.add(QString("crop_%1_transition").arg(crop.name), cropHandle(crop.dx, crop.dy, kTransition));
  }
  for (const auto &look : {qMakePair(QString("normal"), kHandle), qMakePair(QString("transition"), kTransition)}) {
    c.glyph("transform_dot_" + look.first, "dot", look.second, 20, 20);
    c.glyph("transform_square_" + look.first, "square", look.second, 20, 20);
    c.glyph("transform_central_point_" + look.first, "target", look.second, 30, 30);
  }

  // Inspector
  c.glyph("segment-inspector/transition_add", "plus", kNormal);
  c.glyph("segment-inspector/transition_remove", "minus", kNormal);
  c.glyph("segment-inspector/transition_duplicate", "copy", kNormal);
  c.pair("segment-inspector/transition_return", "undo", "2");
  const char *easings[] = {"linear",      "in_default",     "out_default", "in_out_default", "in_circular", "out_circular",
                           "in_out_circular", "in_back",    "out_back",    "in_out_back",    "in_elastic",  "out_elastic",
                           "in_out_elastic",  "in_bounce",  "out_bounce",  "in_out_bounce"};
  for (const char *e : easings) {
    c.add(QString("easing/easing_%1").arg(e), easingIcon(e, kNormal));
    c.add(QString("easing/easing_%1").arg(e) + "2", easingIcon(e, kAccent));
  }

  // Tool bars
  const struct
  {
    const char *alias;
    const char *glyph;
  } tools[] = {{"capture", "camera"},     {"done", "check"},          {"duplicate", "copy"},      {"remove", "trash"},
               {"split", "split"},         {"transition", "transition"}, {"leftAlign", "align_left"}, {"centerAlign", "align_center"},
               {"rightAlign", "align_right"}, {"back", "arrow_left"},    {"add", "plus"},
               {"volume", "music"},         {"transparency", "dot"},        {"motion", "next"},
               {"editPicture", "photo"},    {"editDrawing", "pencil"},      {"colors", "pipette"},
               {"chromaKey", "target"},     {"border", "square"},           {"textBorder", "text"},
               {"corner", "ring"},          {"shadow", "new_tile"},         {"font", "text"},
               {"fontSize", "zoom_in"},     {"textBack", "archive"}};
  for (const auto &tool : tools)
    c.pair(QString("toolbar/") + tool.alias, tool.glyph, "2");
  const struct
  {
    const char *alias;
    const char *glyph;
  } geometry[] = {{"crop", "crop"},     {"hflip", "hflip"},         {"vflip", "vflip"},          {"resize", "resize"},
                  {"reload", "reload"}, {"rotate-90", "rotate_cw"}, {"rotate+90", "rotate_ccw"}};
  for (const auto &tool : geometry) {
    c.pair(QString("toolbar/") + tool.alias, tool.glyph, "2");
    c.glyph(QString("toolbar/%1_dis").arg(tool.alias), tool.glyph, kDisabled);
  }
  c.glyph("toolbar/separator", "separator", kDisabled, 8, 48);
  c.glyph("toolbar/tb_left_indicator", "chevron_left", kNormal, 20, 20);
  c.glyph("toolbar/tb_right_indicator", "chevron_right", kNormal, 20, 20);

  // Drawing
  c.add("drawing/hollow_back", checkerboard(32, 8));
  c.add("drawing/gradientPoint", gradientPoint());
  for (const char *kind : {"fill", "linear", "pattern", "radial"}) {
    c.add(QString("drawing/") + kind, drawingMode(kind, kNormal));
    c.add(QString("drawing/%1_").arg(kind), drawingMode(kind, kAccent));
  }
  for (int n = 1; n <= 16; ++n)
    c.add(QString("texture/%1").arg(n, 2, 10, QChar('0')), texture(n));
  // Drawing tools: the strips' table, the tool bar's own buttons and the tuning panel.
  const char *drawingTools[] = {"pencil",    "spray",      "rubber",      "clear2",     "undo",       "redo",
                                "linewidth", "line",       "rect1",       "rect2",      "roundrect1", "roundrect2",
                                "circle1",   "circle2",    "ellipse1",    "ellipse2",   "triangle1",  "triangle2",
                                "rhombus1",  "rhombus2",   "pentagram1",  "pentagram2", "pentagon1",  "pentagon2",
                                "heart1",    "heart2",     "save",        "text",       "picture",    "hardness",
                                "dashline",  "dotline",    "arrowline",   "pencil_rubber_switch", "freehand",
                                "clear",     "openPicture", "textOk"};
  for (const char *tool : drawingTools) {
    c.add(QString("drawing/") + tool, drawingTool(tool, kNormal));
    c.add(QString("drawing/%1_").arg(tool), drawingTool(tool, kAccent));
  }
  // Dark, to stand out on the swatch's light checkerboard.
  c.add("drawing/color_rubber", drawingTool("color_rubber", QColor(64, 64, 64)));
  c.glyph("toolbar/tb_top_indicator", "arrow_up", kNormal, 20, 20);
  c.glyph("toolbar/tb_bottom_indicator", "arrow_down", kNormal, 20, 20);
  c.pair("toolbar/editText", "pencil", "2");

  // Media explorer
  c.add("media-explorer/icon_view_icon", explorerMark("grid", kNormal));
  c.add("media-explorer/list_view_icon", explorerMark("list", kNormal));
  c.add("media-explorer/filter_icon", explorerMark("filter", kNormal));
  c.add("media-explorer/flag_video", badge("video"));
  c.add("media-explorer/flag_music", badge("music"));
  c.add("media-explorer/audio_placeholder_dark", placeholder(160, 160, "music", QColor(38, 39, 43)));
  c.add("media-explorer/giphy_placeholder_dark", placeholder(200, 150, "photo", QColor(38, 39, 43)));
  c.add("media-explorer/music_preview_artwork_preview", placeholder(300, 300, "music", QColor(28, 29, 32)));
  c.glyph("media-explorer/preview_close", "circle_cross", kNormal, 60, 60);
  c.glyph("media-explorer/videoPreviewPlay", "play", kNormal);
  c.glyph("media-explorer/videoPreviewPlay_dis", "play", kDisabled);
  c.glyph("media-explorer/videoPreviewPause", "pause", kNormal);
  // GIF page and the horizontal explorer's button columns
  c.glyph("media-explorer/giphy_search_icon", "zoom_in", kDisabled, 40, 40);
  c.glyph("media-explorer/giphy_search_cancel_light", "circle_cross", kNormal, 40, 40);
  c.pair("media-explorer/giphy_gif_dark", "film", "_hl", 40);
  c.pair("media-explorer/giphy_sticker_dark", "new_tile", "_hl", 40);
  c.glyph("media-explorer/media_navi_back", "chevron_left", kNormal, 36, 36);
  c.glyph("media-explorer/media_navi_back_dis", "chevron_left", kDisabled, 36, 36);
  for (const auto &kind : {qMakePair(QString("photo"), QString("photo")), qMakePair(QString("video"), QString("film")),
                           qMakePair(QString("music"), QString("music"))}) {
    c.pair("media-explorer/media_type_" + kind.first, kind.second, "_hl", 36);
    c.glyph("media-explorer/media_type_" + kind.first + "_dis", kind.second, kDisabled, 36, 36);
  }
  c.pair("media-explorer/media_loc_photo_gallery", "photo", "_hl", 54);
  c.pair("media-explorer/media_loc_inapp_library", "archive", "_hl", 54);
  c.pair("media-explorer/media_loc_file_sharing", "share", "_hl", 54);

  // Scroll bar arrows of the style sheets
  for (const auto &arrow : {qMakePair(QString("up_arrow"), QString("arrow_up")), qMakePair(QString("down_arrow"), QString("arrow_down"))}) {
    c.add("res/icons/png/" + arrow.first + ".png", Glyphs::render(20, 20, kNormal, Glyphs::glyph(arrow.second)), "icons");
    c.add("res/icons/png/" + arrow.first + "_disabled.png", Glyphs::render(20, 20, kDisabled, Glyphs::glyph(arrow.second)),
          "icons");
  }
  // Camera and microphone recording
  c.add("camera_video", videoCamera(kNormal, 48));
  c.add("camera_video_2", videoCamera(kAccent, 48));
  c.glyph("camera_still_image", "camera", kNormal);
  c.glyph("camera_still_image_2", "camera", kAccent);
  c.glyph("camera_stop", "square", Qt::white, 48, 48);
  c.add("camera_no_video", noCameraPicture());
  c.add("voice_audio_meter_gray", audioMeter(false));
  c.add("voice_audio_meter", audioMeter(true));
  c.add("voice_recording_1", recordingIcon(false));
  c.add("voice_recording_2", recordingIcon(true));
  return c.list;
}

namespace {

QVector<QImage> spinner(const QColor &spoke, int size)
{
  QVector<QImage> frames;
  const int spokes = 12;
  for (int f = 0; f < spokes; ++f) {
    QImage img = Glyphs::canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    for (int i = 0; i < spokes; ++i) {
      // The head spoke is brightest; the tail fades towards the background by colour,
      // since a GIF pixel is either opaque or transparent.
      const int age = (f - i + spokes) % spokes;
      const qreal k = 1.0 - age / qreal(spokes) * 0.8;
      p.setPen(QPen(QColor(int(spoke.red() * k), int(spoke.green() * k), int(spoke.blue() * k)), size * 0.07, Qt::SolidLine,
                    Qt::RoundCap));
      p.save();
      p.rotate(i * 360.0 / spokes);
      p.drawLine(QPointF(0, -size * 0.22), QPointF(0, -size * 0.42));
      p.restore();
    }
    p.end();
    frames.append(img);
  }
  return frames;
}

// Help-tip pictures: a dark stage with a track and a block the pointer works on.
QVector<QImage> helpTip(int width, int height, int kind)
{
  QVector<QImage> frames;
  const QColor stage(31, 32, 35), row(44, 46, 50), block(70, 120, 170), frame(kYellow);
  for (int f = 0; f < 4; ++f) {
    QImage img = Glyphs::canvas(width, height, stage);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal trackY = height * 0.62, trackH = height * 0.22;
    p.fillRect(QRectF(0, trackY, width, trackH), row);
    if (kind == 2) {
      // Media panel with tiles; a tile travels down onto the track.
      p.fillRect(QRectF(0, 0, width, height * 0.36), row.darker(120));
      for (int i = 0; i < 4; ++i)
        p.fillRect(QRectF(40 + i * (width - 80) / 4.0, 30, (width - 80) / 4.0 - 30, height * 0.36 - 60), block.darker(130));
      const qreal t = f / 3.0;
      const QRectF tile(40 + (width * 0.35) * t, 30 + (trackY + 10 - 30) * t, (width - 80) / 4.0 - 30, height * 0.36 - 60);
      p.fillRect(tile, block);
    } else {
      const qreal x = kind == 1 ? 80 + f * (width * 0.15) : width * 0.3;
      const QRectF seg(x, trackY + 8, width * 0.3, trackH - 16);
      p.setBrush(block);
      p.setPen(Qt::NoPen);
      p.drawRoundedRect(seg, 8, 8);
      const bool marked = kind == 1 || f >= 2;
      if (marked) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(frame, 6));
        p.drawRoundedRect(seg, 8, 8);
      }
      // The pointer: a ring that pulses on the clicks.
      const bool pressed = kind == 1 || f % 2 == 1;
      p.setPen(QPen(Qt::white, 5));
      p.setBrush(pressed ? QColor(255, 255, 255) : Qt::NoBrush);
      p.drawEllipse(seg.center(), pressed ? 22 : 30, pressed ? 22 : 30);
    }
    p.end();
    frames.append(img);
  }
  return frames;
}

} // namespace

QVector<Animation> animations()
{
  return {
    {"images", "loading_hud_dark", spinner(Qt::white, 150), 8, true},
    {"images", "loading_hud_dark_small", spinner(kNormal, 150), 8, true},
    {"images", "loading_hud_black", spinner(QColor(180, 180, 180), 150), 8, true},
    {"images", "loading_hud_dark-2", spinner(Qt::white, 80), 8, true},
    {"images", "help-tip/segment_opr_double_tap_help", helpTip(795, 391, 0), 60, true},
    {"images", "help-tip/segment_opr_press_n_drag_help", helpTip(795, 541, 1), 60, true},
    {"images", "help-tip/media_explorer_help", helpTip(808, 626, 2), 60, true},
  };
}

QByteArray shutterSound()
{
  const int rate = 44100;
  const int count = rate * 12 / 100; // 120 ms
  QByteArray pcm(count * 2, 0);
  Lcg rng(20261207);
  for (int i = 0; i < count; ++i) {
    const double t = double(i) / rate;
    // Two clacks of the blades: decaying noise plus a short metallic ring.
    double v = 0;
    for (double start : {0.0, 0.045}) {
      if (t < start)
        continue;
      const double local = t - start;
      v += (rng.unit() * 2 - 1) * std::exp(-local * 90) * 0.6;
      v += std::sin(2 * M_PI * 2300 * local) * std::exp(-local * 140) * 0.3;
    }
    const qint16 s = qint16(qBound(-1.0, v, 1.0) * 32000);
    qToLittleEndian(s, pcm.data() + i * 2);
  }
  QByteArray wav;
  auto u32 = [&wav](quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    wav.append(b, 4);
  };
  auto u16 = [&wav](quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    wav.append(b, 2);
  };
  wav.append("RIFF");
  u32(36 + pcm.size());
  wav.append("WAVEfmt ");
  u32(16);
  u16(1); // PCM
  u16(1); // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  wav.append("data");
  u32(pcm.size());
  wav.append(pcm);
  return wav;
}

} // namespace Artwork
