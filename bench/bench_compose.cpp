// Frames per second of compose + read-back for picture layers on the headless GL host.
#include "avcomposition.h"
#include "benchgl.h"
#include "avheadlessrenderer.h"
#include "avimagefiles.h"
#include "avimageloader.h"
#include "avimagesegment.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPair>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {
constexpr int kFrames = 60;

// What the layers carry beyond the picture.
enum Styling { kPlain = 0, kEffects = 1, kShadow = 2 };

const char *stylingName(int styling)
{
  switch (styling) {
  case kEffects:
    return "effects";
  case kShadow:
    return "shadow";
  case kEffects | kShadow:
    return "effects+shadow";
  default:
    return "plain";
  }
}

QString writePicture(const QTemporaryDir &dir, int index)
{
  QImage image(1280, 720, QImage::Format_RGB32);
  image.fill(QColor::fromHsv((index * 45) % 360, 200, 220));
  QPainter painter(&image);
  painter.setBrush(Qt::white);
  painter.drawEllipse(image.rect().adjusted(200, 100, -200, -100));
  painter.end();
  const QString path = dir.filePath(QString("picture-%1.png").arg(index));
  image.save(path);
  return path;
}

// Composes and reads back kFrames frames; returns frames per second, or 0 when rendering failed.
double measure(AVHeadlessGLHost *host, const QStringList &pictures, int width, int height, int layers, int styling)
{
  setImageDecodeBound(width, height);
  AVImageLoader loader;
  double fps = 0;
  {
    AVComposition composition(width, height, 44100, 2, nullptr);
    AVHeadlessRenderer renderer(host, &composition);
    if (!renderer.isValid())
      return 0;
    for (int i = 0; i < layers; ++i) {
      auto *layer = new AVImageSegment(&loader, 0, 600, pictures[i % pictures.size()].toStdString(), uint32_t(width),
                                       uint32_t(height));
      layer->setId(uint32_t(i + 1));
      // Spread and turn the layers a little so they overlap as a real composition does.
      layer->setScale(0.6f, 0.6f);
      layer->setPosition(float(i % 4) * 0.1f - 0.15f, float(i / 4) * 0.2f - 0.1f);
      layer->setRotation(float(i) * 7.5f);
      layer->setCornerRadius(0.02f);
      if (styling & kEffects) { // three colour effects: one effect program for all layers
        layer->setColorEffect(0, 30);
        layer->setColorEffect(1, -10);
        layer->setColorEffect(2, 20);
      }
      if (styling & kShadow) { // a soft shadow: the blur radius is 1% of the frame width
        layer->setShadowOpacity(0.6f);
        layer->setShadowOffset(0.01f, 0.01f);
        layer->setShadowRadius(0.01f);
      }
      composition.addSegment(layer, uint32_t(i + 1));
    }
    // Warm up until every picture is loaded and uploaded.
    QElapsedTimer wait;
    wait.start();
    while (!composition.isReadyAt(1.0) && wait.elapsed() < 10000) {
      renderer.compose(1.0);
      QThread::msleep(5);
    }
    renderer.compose(1.0);
    QElapsedTimer timer;
    timer.start();
    for (int frame = 0; frame < kFrames; ++frame) {
      const QImage image = renderer.compose(1.0 + frame / 30.0);
      if (image.isNull())
        return 0;
    }
    fps = kFrames * 1000.0 / double(std::max<qint64>(timer.elapsed(), 1));
  }
  loader.stop(true);
  return fps;
}
} // namespace

int main(int argc, char **argv)
{
  benchSetUpGL();
  QGuiApplication app(argc, argv);

  AVHeadlessGLHost host;
  if (!host.isValid()) {
    fprintf(stderr, "bench_compose: no GL context (run under Xvfb)\n");
    return 1;
  }
  QTemporaryDir dir;
  QStringList pictures;
  for (int i = 0; i < 8; ++i)
    pictures << writePicture(dir, i);

  // Arguments pick rows, each a styling ("shadow") or a size ("1920x1080"); a row runs when it
  // matches them all.
  const QStringList picks = app.arguments().mid(1);
  printf("compose + read-back, %d frames each, 1280x720 pictures\n", kFrames);
  printf("%-10s %7s %-15s %10s\n", "size", "layers", "styling", "fps");
  int failures = 0;
  for (const QSize size : {QSize(1280, 720), QSize(1920, 1080)}) {
    for (const QPair<int, int> run : {qMakePair(1, int(kPlain)), qMakePair(4, int(kPlain)), qMakePair(8, int(kPlain)),
                                      qMakePair(4, int(kEffects)), qMakePair(4, int(kShadow)),
                                      qMakePair(4, kEffects | kShadow)}) {
      const QString row = QString("%1x%2 %3").arg(size.width()).arg(size.height()).arg(stylingName(run.second));
      if (!picks.isEmpty() && !std::all_of(picks.begin(), picks.end(), [&](const QString &pick) {
            return row.split(' ').contains(pick) || row.startsWith(pick);
          }))
        continue;
      const double fps = measure(&host, pictures, size.width(), size.height(), run.first, run.second);
      if (fps <= 0)
        ++failures;
      printf("%4dx%-5d %7d %-15s %10.1f\n", size.width(), size.height(), run.first, stylingName(run.second), fps);
      fflush(stdout);
    }
  }
  printf("goal: 4 shadow layers at least 30 fps at 1280x720 and 25 fps at 1920x1080\n");
  return failures ? 1 : 0;
}
