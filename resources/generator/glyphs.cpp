#include "glyphs.h"

#include <QHash>
#include <QPainterPath>
#include <QtMath>

namespace Glyphs {

namespace {


// Every glyph is drawn in a 100 x 100 box; this maps the box onto the target rectangle.
struct Unit
{
  Unit(QPainter &p, const QRectF &r, const QColor &c) : p(p), color(c)
  {
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / 100.0, r.height() / 100.0);
    stroke(8);
  }
  ~Unit() { p.restore(); }
  void stroke(qreal w)
  {
    p.setPen(QPen(color, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
  }
  void fill()
  {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
  }
  void poly(std::initializer_list<QPointF> pts, bool filled)
  {
    filled ? fill() : stroke(8);
    p.drawPolygon(QPolygonF(QVector<QPointF>(pts)));
  }
  void line(qreal x1, qreal y1, qreal x2, qreal y2) { p.drawLine(QPointF(x1, y1), QPointF(x2, y2)); }
  QPainter &p;
  QColor color;
};

void arrowHead(Unit &u, QPointF tip, qreal angleDeg, qreal size)
{
  const qreal a = qDegreesToRadians(angleDeg);
  auto wing = [&](qreal da) {
    return QPointF(tip.x() - size * qCos(a + da), tip.y() - size * qSin(a + da));
  };
  u.poly({tip, wing(0.5), wing(-0.5)}, true);
}

void folder(Unit &u)
{
  u.fill();
  QPainterPath path;
  path.moveTo(8, 22);
  path.lineTo(40, 22);
  path.lineTo(48, 30);
  path.lineTo(92, 30);
  path.lineTo(92, 82);
  path.lineTo(8, 82);
  path.closeSubpath();
  u.p.drawPath(path);
}

void gear(Unit &u)
{
  u.fill();
  QPainterPath path;
  for (int i = 0; i < 8; ++i) {
    QTransform t;
    t.translate(50, 50);
    t.rotate(i * 45);
    path.addPolygon(t.map(QPolygonF(QRectF(-8, -44, 16, 20))));
  }
  path.addEllipse(QPointF(50, 50), 30, 30);
  path.setFillRule(Qt::WindingFill);
  u.p.drawPath(path.simplified());
  u.p.setCompositionMode(QPainter::CompositionMode_Clear);
  u.p.drawEllipse(QPointF(50, 50), 12, 12);
  u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void trash(Unit &u)
{
  u.stroke(7);
  u.line(18, 24, 82, 24);
  u.p.drawRect(QRectF(40, 12, 20, 12));
  u.p.drawPolygon(pts({QPointF(26, 30), QPointF(74, 30), QPointF(69, 88), QPointF(31, 88)}));
  u.line(43, 40, 43, 78);
  u.line(57, 40, 57, 78);
}

void copy(Unit &u)
{
  u.stroke(7);
  u.p.drawRoundedRect(QRectF(14, 14, 50, 50), 6, 6);
  u.fill();
  u.p.drawRoundedRect(QRectF(36, 36, 50, 50), 6, 6);
}

void pencil(Unit &u)
{
  u.fill();
  QTransform t;
  t.translate(50, 50);
  t.rotate(45);
  u.p.drawPolygon(t.map(pts({QPointF(-9, -40), QPointF(9, -40), QPointF(9, 22), QPointF(0, 40), QPointF(-9, 22)})));
}

void magnifier(Unit &u, bool plus)
{
  u.stroke(9);
  u.p.drawEllipse(QPointF(42, 42), 26, 26);
  u.stroke(13);
  u.line(62, 62, 88, 88);
  u.stroke(8);
  u.line(30, 42, 54, 42);
  if (plus)
    u.line(42, 30, 42, 54);
}

void circularArrow(Unit &u, bool clockwise)
{
  u.stroke(9);
  const QRectF box(18, 18, 64, 64);
  if (clockwise) {
    u.p.drawArc(box, 100 * 16, -280 * 16);
    arrowHead(u, QPointF(50, 18), 0, 20);
  } else {
    u.p.drawArc(box, 80 * 16, 280 * 16);
    arrowHead(u, QPointF(50, 18), 180, 20);
  }
}

void cameraBody(Unit &u)
{
  u.fill();
  QPainterPath path;
  path.addRoundedRect(QRectF(8, 28, 84, 58), 10, 10);
  path.addRect(QRectF(34, 16, 32, 14));
  path.setFillRule(Qt::WindingFill);
  u.p.drawPath(path.simplified());
  u.p.setCompositionMode(QPainter::CompositionMode_Clear);
  u.p.drawEllipse(QPointF(50, 57), 19, 19);
  u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  u.p.drawEllipse(QPointF(50, 57), 12, 12);
}

void alignLines(Unit &u, int mode)
{
  u.stroke(9);
  const qreal widths[] = {76, 50, 76, 50};
  for (int i = 0; i < 4; ++i) {
    const qreal w = widths[i];
    const qreal x = mode == 0 ? 12 : mode == 1 ? 50 - w / 2 : 88 - w;
    u.line(x, 20 + i * 20, x + w, 20 + i * 20);
  }
}

// Four corner brackets, pointing out of the box or into it.
void screenCorners(Unit &u, bool inward)
{
  u.stroke(9);
  const qreal near = inward ? 38 : 14, far = inward ? 62 : 86;
  u.p.drawPolyline(pts({QPointF(14, 38), QPointF(near, near), QPointF(38, 14)}));
  u.p.drawPolyline(pts({QPointF(62, 14), QPointF(far, near), QPointF(86, 38)}));
  u.p.drawPolyline(pts({QPointF(86, 62), QPointF(far, far), QPointF(62, 86)}));
  u.p.drawPolyline(pts({QPointF(38, 86), QPointF(near, far), QPointF(14, 62)}));
}

using Map = QHash<QString, Draw>;

Map makeGlyphs()
{
  Map m;
  auto add = [&m](const QString &name, std::function<void(Unit &)> f) {
    m.insert(name, [f](QPainter &p, const QRectF &r, const QColor &c) {
      Unit u(p, r, c);
      f(u);
    });
  };
  add("play", [](Unit &u) { u.poly({{26, 14}, {86, 50}, {26, 86}}, true); });
  add("pause", [](Unit &u) {
    u.fill();
    u.p.drawRoundedRect(QRectF(22, 14, 20, 72), 4, 4);
    u.p.drawRoundedRect(QRectF(58, 14, 20, 72), 4, 4);
  });
  add("next", [](Unit &u) {
    u.poly({{16, 16}, {66, 50}, {16, 84}}, true);
    u.p.drawRect(QRectF(70, 16, 14, 68));
  });
  add("previous", [](Unit &u) {
    u.poly({{84, 16}, {34, 50}, {84, 84}}, true);
    u.p.drawRect(QRectF(16, 16, 14, 68));
  });
  add("circle_play", [](Unit &u) {
    u.stroke(6);
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.poly({{38, 28}, {72, 50}, {38, 72}}, true);
  });
  add("circle_pause", [](Unit &u) {
    u.stroke(6);
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.fill();
    u.p.drawRect(QRectF(34, 30, 11, 40));
    u.p.drawRect(QRectF(55, 30, 11, 40));
  });
  add("arrow_up", [](Unit &u) { u.poly({{50, 18}, {84, 70}, {16, 70}}, true); });
  add("arrow_down", [](Unit &u) { u.poly({{50, 82}, {84, 30}, {16, 30}}, true); });
  add("arrow_left", [](Unit &u) { u.poly({{18, 50}, {70, 16}, {70, 84}}, true); });
  add("arrow_right", [](Unit &u) { u.poly({{82, 50}, {30, 16}, {30, 84}}, true); });
  add("chevron_left", [](Unit &u) {
    u.stroke(12);
    u.p.drawPolyline(pts({QPointF(64, 14), QPointF(30, 50), QPointF(64, 86)}));
  });
  add("chevron_right", [](Unit &u) {
    u.stroke(12);
    u.p.drawPolyline(pts({QPointF(36, 14), QPointF(70, 50), QPointF(36, 86)}));
  });
  add("plus", [](Unit &u) {
    u.stroke(12);
    u.line(50, 16, 50, 84);
    u.line(16, 50, 84, 50);
  });
  add("minus", [](Unit &u) {
    u.stroke(12);
    u.line(16, 50, 84, 50);
  });
  add("check", [](Unit &u) {
    u.stroke(12);
    u.p.drawPolyline(pts({QPointF(16, 52), QPointF(40, 76), QPointF(86, 26)}));
  });
  add("circle_check", [](Unit &u) {
    u.fill();
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.stroke(10);
    u.p.drawPolyline(pts({QPointF(28, 52), QPointF(44, 68), QPointF(74, 36)}));
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("circle_cross", [](Unit &u) {
    u.fill();
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.stroke(10);
    u.line(34, 34, 66, 66);
    u.line(66, 34, 34, 66);
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("ring", [](Unit &u) {
    u.stroke(7);
    u.p.drawEllipse(QPointF(50, 50), 42, 42);
  });
  add("dot", [](Unit &u) {
    u.fill();
    u.p.drawEllipse(QPointF(50, 50), 40, 40);
  });
  add("square", [](Unit &u) {
    u.fill();
    u.p.drawRect(QRectF(14, 14, 72, 72));
  });
  add("target", [](Unit &u) {
    u.stroke(8);
    u.p.drawEllipse(QPointF(50, 50), 36, 36);
    u.fill();
    u.p.drawEllipse(QPointF(50, 50), 12, 12);
  });
  add("exclamation", [](Unit &u) {
    u.fill();
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.p.drawRoundedRect(QRectF(44, 20, 12, 40), 5, 5);
    u.p.drawEllipse(QPointF(50, 74), 7, 7);
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("question", [](Unit &u) {
    u.stroke(7);
    u.p.drawEllipse(QPointF(50, 50), 44, 44);
    u.stroke(10);
    u.p.drawArc(QRectF(34, 20, 32, 30), 180 * 16, -240 * 16);
    u.line(50, 52, 50, 62);
    u.fill();
    u.p.drawEllipse(QPointF(50, 76), 6, 6);
  });
  add("menu", [](Unit &u) {
    u.fill();
    for (int i = 0; i < 3; ++i)
      u.p.drawEllipse(QPointF(22 + i * 28, 50), 9, 9);
  });
  add("folder", [](Unit &u) { folder(u); });
  add("folder_plus", [](Unit &u) {
    folder(u);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.stroke(9);
    u.line(50, 42, 50, 72);
    u.line(35, 57, 65, 57);
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("folder_arrow", [](Unit &u) {
    folder(u);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.stroke(9);
    u.line(30, 57, 60, 57);
    arrowHead(u, QPointF(72, 57), 0, 18);
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("new_tile", [](Unit &u) {
    u.p.setPen(QPen(u.color, 4, Qt::DashLine));
    u.p.drawRoundedRect(QRectF(6, 6, 88, 88), 8, 8);
    u.stroke(8);
    u.line(50, 34, 50, 66);
    u.line(34, 50, 66, 50);
  });
  add("archive", [](Unit &u) {
    u.stroke(7);
    u.p.drawRect(QRectF(12, 18, 76, 18));
    u.p.drawRect(QRectF(18, 36, 64, 48));
    u.line(40, 50, 60, 50);
  });
  add("copy", [](Unit &u) { copy(u); });
  add("trash", [](Unit &u) { trash(u); });
  add("pencil", [](Unit &u) { pencil(u); });
  add("gear", [](Unit &u) { gear(u); });
  add("share", [](Unit &u) {
    u.stroke(8);
    u.p.drawPolyline(pts({QPointF(34, 40), QPointF(16, 40), QPointF(16, 88), QPointF(84, 88), QPointF(84, 40), QPointF(66, 40)}));
    u.line(50, 64, 50, 16);
    arrowHead(u, QPointF(50, 8), -90, 20);
  });
  add("undo", [](Unit &u) {
    u.stroke(9);
    u.p.drawArc(QRectF(20, 28, 64, 56), 90 * 16, -200 * 16);
    arrowHead(u, QPointF(22, 28), 180, 22);
  });
  add("fullscreen", [](Unit &u) { screenCorners(u, false); });
  add("normalscreen", [](Unit &u) { screenCorners(u, true); });
  add("film", [](Unit &u) {
    u.fill();
    u.p.drawRoundedRect(QRectF(10, 20, 80, 60), 6, 6);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    for (int i = 0; i < 5; ++i) {
      u.p.drawRect(QRectF(17 + i * 14, 25, 8, 8));
      u.p.drawRect(QRectF(17 + i * 14, 67, 8, 8));
    }
    u.p.drawRect(QRectF(17, 38, 66, 24));
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  add("photo", [](Unit &u) {
    u.stroke(7);
    u.p.drawRoundedRect(QRectF(10, 18, 80, 64), 6, 6);
    u.poly({{18, 74}, {42, 42}, {58, 62}, {68, 52}, {82, 74}}, true);
    u.p.drawEllipse(QPointF(68, 34), 7, 7);
  });
  add("music", [](Unit &u) {
    u.fill();
    u.p.drawEllipse(QPointF(30, 74), 14, 11);
    u.p.drawEllipse(QPointF(72, 66), 14, 11);
    u.stroke(8);
    u.p.drawPolyline(pts({QPointF(42, 72), QPointF(42, 20), QPointF(84, 12), QPointF(84, 64)}));
  });
  add("voice", [](Unit &u) {
    u.fill();
    u.p.drawRoundedRect(QRectF(36, 10, 28, 50), 14, 14);
    u.stroke(7);
    u.p.drawArc(QRectF(24, 26, 52, 48), 180 * 16, 180 * 16);
    u.line(50, 74, 50, 88);
    u.line(36, 88, 64, 88);
  });
  add("text", [](Unit &u) {
    u.stroke(14);
    u.line(18, 20, 82, 20);
    u.line(50, 20, 50, 84);
  });
  add("camera", [](Unit &u) { cameraBody(u); });
  add("pipette", [](Unit &u) {
    QTransform t;
    t.translate(50, 50);
    t.rotate(45);
    u.fill();
    u.p.drawPolygon(t.map(QPolygonF(QRectF(-10, -44, 20, 24))));
    u.stroke(7);
    u.p.drawPolygon(t.map(pts({QPointF(-6, -16), QPointF(6, -16), QPointF(6, 30), QPointF(0, 42), QPointF(-6, 30)})));
  });
  add("insert", [](Unit &u) {
    u.fill();
    u.p.drawRect(QRectF(8, 52, 30, 36));
    u.p.drawRect(QRectF(62, 52, 30, 36));
    u.stroke(8);
    u.line(50, 10, 50, 54);
    arrowHead(u, QPointF(50, 70), 90, 20);
  });
  add("overwrite", [](Unit &u) {
    u.stroke(6);
    u.p.drawRect(QRectF(8, 52, 84, 36));
    u.fill();
    u.p.drawRect(QRectF(30, 12, 40, 30));
    arrowHead(u, QPointF(50, 62), 90, 18);
  });
  add("split", [](Unit &u) {
    u.fill();
    u.p.drawRect(QRectF(10, 30, 34, 40));
    u.p.drawRect(QRectF(56, 30, 34, 40));
    u.stroke(6);
    u.line(50, 10, 50, 90);
  });
  add("transition", [](Unit &u) {
    u.stroke(7);
    u.p.drawRect(QRectF(10, 24, 52, 52));
    u.fill();
    u.poly({{38, 24}, {90, 24}, {90, 76}, {62, 76}}, true);
  });
  add("separator", [](Unit &u) {
    u.stroke(4);
    u.line(50, 10, 50, 90);
  });
  add("align_left", [](Unit &u) { alignLines(u, 0); });
  add("align_center", [](Unit &u) { alignLines(u, 1); });
  add("align_right", [](Unit &u) { alignLines(u, 2); });
  add("crop", [](Unit &u) {
    u.stroke(9);
    u.p.drawPolyline(pts({QPointF(28, 8), QPointF(28, 72), QPointF(92, 72)}));
    u.p.drawPolyline(pts({QPointF(8, 28), QPointF(72, 28), QPointF(72, 92)}));
  });
  add("hflip", [](Unit &u) {
    u.poly({{8, 80}, {42, 20}, {42, 80}}, true);
    u.stroke(6);
    u.p.drawPolygon(pts({QPointF(92, 80), QPointF(58, 20), QPointF(58, 80)}));
  });
  add("vflip", [](Unit &u) {
    u.poly({{20, 8}, {80, 42}, {20, 42}}, true);
    u.stroke(6);
    u.p.drawPolygon(pts({QPointF(20, 92), QPointF(80, 58), QPointF(20, 58)}));
  });
  add("resize", [](Unit &u) {
    u.stroke(7);
    u.p.drawRect(QRectF(12, 24, 76, 52));
    u.line(30, 40, 70, 60);
    arrowHead(u, QPointF(74, 62), 26.6, 16);
    arrowHead(u, QPointF(26, 38), 206.6, 16);
  });
  add("reload", [](Unit &u) { circularArrow(u, true); });
  add("rotate_cw", [](Unit &u) { circularArrow(u, true); u.p.drawRect(QRectF(40, 42, 20, 20)); });
  add("rotate_ccw", [](Unit &u) { circularArrow(u, false); u.p.drawRect(QRectF(40, 42, 20, 20)); });
  add("zoom_in", [](Unit &u) { magnifier(u, true); });
  add("zoom_out", [](Unit &u) { magnifier(u, false); });
  add("logo", [](Unit &u) {
    // Our mark: a rounded tile with a play sign cut from a film frame.
    u.fill();
    u.p.drawRoundedRect(QRectF(4, 4, 92, 92), 22, 22);
    u.p.setCompositionMode(QPainter::CompositionMode_Clear);
    u.p.drawPolygon(pts({QPointF(38, 28), QPointF(74, 50), QPointF(38, 72)}));
    for (int i = 0; i < 4; ++i) {
      u.p.drawRect(QRectF(12, 14 + i * 20, 8, 10));
      u.p.drawRect(QRectF(80, 14 + i * 20, 8, 10));
    }
    u.p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  });
  return m;
}

const QHash<QChar, QVector<QPolygonF>> &letters()
{
  // Strokes in a 60 x 100 cell.
  static const QHash<QChar, QVector<QPolygonF>> map = {
    {'T', {pts({QPointF(0, 0), QPointF(60, 0)}), pts({QPointF(30, 0), QPointF(30, 100)})}},
    {'A', {pts({QPointF(0, 100), QPointF(30, 0), QPointF(60, 100)}), pts({QPointF(12, 62), QPointF(48, 62)})}},
    {'V', {pts({QPointF(0, 0), QPointF(30, 100), QPointF(60, 0)})}},
    {'O', {pts({QPointF(15, 0), QPointF(45, 0), QPointF(60, 20), QPointF(60, 80), QPointF(45, 100), QPointF(15, 100),
                      QPointF(0, 80), QPointF(0, 20), QPointF(15, 0)})}},
    {'R', {pts({QPointF(0, 100), QPointF(0, 0), QPointF(45, 0), QPointF(60, 15), QPointF(60, 40), QPointF(45, 55),
                      QPointF(0, 55)}),
           pts({QPointF(30, 55), QPointF(60, 100)})}},
    {'E', {pts({QPointF(60, 0), QPointF(0, 0), QPointF(0, 100), QPointF(60, 100)}), pts({QPointF(0, 50), QPointF(45, 50)})}},
    {'N', {pts({QPointF(0, 100), QPointF(0, 0), QPointF(60, 100), QPointF(60, 0)})}},
  };
  return map;
}

} // namespace

QImage canvas(int width, int height, const QColor &fill)
{
  QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
  img.fill(fill);
  return img;
}

QImage render(int width, int height, const QColor &color, const Draw &draw)
{
  QImage img = canvas(width, height);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p, QRectF(0, 0, width, height), color);
  return img;
}

Draw glyph(const QString &name)
{
  static const Map map = makeGlyphs();
  return map.value(name, map.value("ring"));
}

void strokeText(QPainter &p, const QString &text, const QRectF &box, const QColor &color, qreal weight)
{
  // Cells of 60 units with 30 units between letters, scaled to the box height.
  const qreal unit = (box.height() - weight) / 100.0;
  const qreal advance = 90 * unit;
  const qreal total = text.size() * advance - 30 * unit;
  qreal x = box.left() + (box.width() - total) / 2;
  p.save();
  p.setPen(QPen(color, weight, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  for (const QChar ch : text) {
    for (const QPolygonF &stroke : letters().value(ch)) {
      QPolygonF poly;
      for (const QPointF &pt : stroke)
        poly << QPointF(x + pt.x() * unit, box.top() + weight / 2 + pt.y() * unit);
      p.drawPolyline(poly);
    }
    x += advance;
  }
  p.restore();
}

double ease(const QString &name, double p)
{
  auto bounceOut = [](double t) {
    if (t < 4 / 11.0)
      return 121 * t * t / 16.0;
    if (t < 8 / 11.0)
      return 363 / 40.0 * t * t - 99 / 10.0 * t + 17 / 5.0;
    if (t < 0.9)
      return 4356 / 361.0 * t * t - 35442 / 1805.0 * t + 16061 / 1805.0;
    return 54 / 5.0 * t * t - 513 / 25.0 * t + 268 / 25.0;
  };
  auto backIn = [](double f) { return f * f * f - 0.5 * f * std::sin(f * M_PI); };
  constexpr double k = 13 * M_PI / 2;
  if (name == "in_default")
    return p * p;
  if (name == "out_default")
    return -(p * (p - 2));
  if (name == "in_out_default")
    return p < 0.5 ? 2 * p * p : -2 * p * p + 4 * p - 1;
  if (name == "in_circular")
    return 1 - std::sqrt(1 - p * p);
  if (name == "out_circular")
    return std::sqrt((2 - p) * p);
  if (name == "in_out_circular")
    return p < 0.5 ? 0.5 * (1 - std::sqrt(1 - 4 * p * p)) : 0.5 * (std::sqrt(-(2 * p - 3) * (2 * p - 1)) + 1);
  if (name == "in_back")
    return backIn(p);
  if (name == "out_back")
    return 1 - backIn(1 - p);
  if (name == "in_out_back")
    return p < 0.5 ? 0.5 * backIn(2 * p) : 0.5 * (1 - backIn(1 - (2 * p - 1))) + 0.5;
  if (name == "in_elastic")
    return std::sin(k * p) * std::pow(2, 10 * (p - 1));
  if (name == "out_elastic")
    return std::sin(-k * (p + 1)) * std::pow(2, -10 * p) + 1;
  if (name == "in_out_elastic") {
    if (p < 0.5)
      return 0.5 * std::sin(k * 2 * p) * std::pow(2, 10 * (2 * p - 1));
    const double f = 2 * p - 1;
    return 0.5 * (std::sin(-k * (f + 1)) * std::pow(2, -10 * f) + 2);
  }
  if (name == "in_bounce")
    return 1 - bounceOut(1 - p);
  if (name == "out_bounce")
    return bounceOut(p);
  if (name == "in_out_bounce")
    return p < 0.5 ? 0.5 * (1 - bounceOut(1 - 2 * p)) : 0.5 * bounceOut(2 * p - 1) + 0.5;
  return p;
}

} // namespace Glyphs
