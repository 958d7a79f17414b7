#include "exampleproject.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const char *const kName = "Welcome to Tavo REN";

// An evening landscape: sky gradient, sun and two ranges of hills.
QImage landscape(int width, int height)
{
  QImage image(width, height, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, QColor(20, 40, 90));
  sky.setColorAt(0.6, QColor(240, 140, 80));
  sky.setColorAt(1, QColor(250, 200, 120));
  p.fillRect(image.rect(), sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 230, 160));
  p.drawEllipse(QPointF(width * 0.7, height * 0.55), height * 0.12, height * 0.12);
  const struct
  {
    double base;
    double amplitude;
    QColor color;
  } ranges[] = {{0.65, 0.08, QColor(70, 60, 90)}, {0.78, 0.06, QColor(35, 30, 50)}};
  for (const auto &range : ranges) {
    QPainterPath hills(QPointF(0, height));
    for (int x = 0; x <= width; x += 8) {
      const double t = double(x) / width;
      hills.lineTo(x, height * (range.base - range.amplitude * (0.6 * qSin(t * 7) + 0.4 * qSin(t * 17 + 1))));
    }
    hills.lineTo(width, height);
    p.setBrush(range.color);
    p.drawPath(hills);
  }
  return image;
}

QByteArray jpeg(const QImage &image)
{
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", 85);
  return bytes;
}

} // namespace

namespace ExampleProject {

QVector<File> files()
{
  const QString folder = QString::fromLatin1(kName) + '/';
  const QImage picture = landscape(1280, 720);
  const QByteArray project =
      "<?xml version=\"1.0\"?>\n"
      "<Project>\n"
      "<Segment Type=\"IMAGE\" TrackId=\"1\" RangeStart=\"0\" Duration=\"5\" File=\"picture.jpg\"/>\n"
      "<Segment Type=\"TEXT\" TrackId=\"2\" RangeStart=\"0.5\" Duration=\"4\" Text=\"Welcome to Tavo REN\"/>\n"
      "</Project>\n";
  const QByteArray properties = "<?xml version=\"1.0\"?>\n<Properties version=\"5\" backgroundColor=\"#ff000000\"/>\n";
  return {{folder + "project.xml", project},
          {folder + "properties.xml", properties},
          {folder + "picture.jpg", jpeg(picture)},
          {folder + "shot.jpg", jpeg(picture.scaled(640, 360, Qt::KeepAspectRatio, Qt::SmoothTransformation))},
          {folder + "example.dat", QByteArray()}};
}

} // namespace ExampleProject
