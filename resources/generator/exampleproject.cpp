#include "exampleproject.h"

#include "imagesegment.h"
#include "projectmanager.h"
#include "textsegment.h"

#include <QBuffer>
#include <QFile>
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

QByteArray readAll(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The segments made and saved as the editor makes and saves them, so the example reads like
// any project the program wrote. Fixed identities keep the bytes the same from build to build.
bool writeProject(const QString &workingDirectory, QByteArray *project, QByteArray *properties)
{
  ProjectManager::setWorkingDirectory(workingDirectory);
  ProjectManager manager;
  auto *picture = new ImageSegment(QStringLiteral("picture.jpg"), 0, 5, nullptr, nullptr);
  picture->setTrackId(1);
  // The program takes a missing stamp from the picture file; the build's clock must not show.
  picture->properties()->remove(QStringLiteral("TimeStamp"));
  picture->properties()->setText(QStringLiteral("UId"), QStringLiteral("{6f1d1c7e-5a43-4c55-9d3a-2f1e0b6a7c01}"));
  manager.appendSegment(picture, nullptr);
  auto *title = new TextSegment(QString::fromLatin1(kName), 0.5f, 4, nullptr, nullptr);
  title->setTrackId(2);
  title->properties()->setText(QStringLiteral("UId"), QStringLiteral("{6f1d1c7e-5a43-4c55-9d3a-2f1e0b6a7c02}"));
  manager.appendSegment(title, nullptr);
  manager.updateDuration();
  const QString name = QString::fromLatin1(kName);
  if (manager.saveSegments(name, QString()) != 0 || manager.saveProperties(name, QString()) != 0)
    return false;
  *project = readAll(ProjectManager::projectFilePath(name, QString()));
  *properties = readAll(ProjectManager::propertiesFilePath(name, QString()));
  return !project->isEmpty() && !properties->isEmpty();
}

} // namespace

namespace ExampleProject {

QVector<File> files(const QString &scratchDirectory)
{
  const QString folder = QString::fromLatin1(kName) + '/';
  const QImage picture = landscape(1280, 720);
  QByteArray project;
  QByteArray properties;
  if (!writeProject(scratchDirectory, &project, &properties))
    return {};
  return {{folder + "project.xml", project},
          {folder + "properties.xml", properties},
          {folder + "picture.jpg", jpeg(picture)},
          {folder + "shot.jpg", jpeg(picture.scaled(640, 360, Qt::KeepAspectRatio, Qt::SmoothTransformation))},
          {folder + "example.dat", QByteArray()}};
}

} // namespace ExampleProject
