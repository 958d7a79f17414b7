#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>

// The catalogue of generated resources: resource prefix, alias (the path after the prefix)
// and the drawing. Later subsystems append their images here.
namespace Artwork {

struct Image
{
  QString prefix;
  QString alias;
  QImage image;
};

struct Animation
{
  QString prefix;
  QString alias;
  QVector<QImage> frames;
  int delayCs;
  bool loop;
};

QVector<Image> images();
QVector<Animation> animations();

// A short camera-shutter click: 16-bit mono PCM in a WAV container.
QByteArray shutterSound();

} // namespace Artwork
