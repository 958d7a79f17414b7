// Dragging a layer's transform overlay over a 1920 x 1080 preview, as the editor window
// forwards its mouse moves to it: moving the layer by its body and stretching it by an edge.
// Mean and 99th percentile per forwarded move event, handling and repaint included; both are
// meant to stay well under a frame (16 ms).
#include "benchstats.h"
#include "transformwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMoves = 2000;

// Hands its mouse input to the overlay first, as the editor window does.
class PreviewHost : public QWidget
{
public:
  TransformWidget *overlay = nullptr;

protected:
  void mousePressEvent(QMouseEvent *event) override { overlay->handleMousePress(event); }
  void mouseMoveEvent(QMouseEvent *event) override { overlay->handleMouseMove(event); }
  void mouseReleaseEvent(QMouseEvent *) override { overlay->handleMouseRelease(); }
};

void send(QWidget *target, QEvent::Type type, const QPoint &local)
{
  QMouseEvent event(type, local, target->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// Presses at start, moves along a wave around it and releases; the time of each move.
std::vector<double> drag(QApplication &app, PreviewHost &host, const QPoint &start)
{
  std::vector<double> times;
  times.reserve(kMoves);
  send(&host, QEvent::MouseButtonPress, start);
  QElapsedTimer clock;
  for (int i = 1; i <= kMoves; ++i) {
    const double phase = double(i) / 50.0;
    const QPoint at = start + QPoint(int(std::lround(200 * std::sin(phase))), int(std::lround(120 * std::cos(phase))));
    clock.start();
    send(&host, QEvent::MouseMove, at);
    app.processEvents();
    times.push_back(double(clock.nsecsElapsed()) / 1e6);
  }
  send(&host, QEvent::MouseButtonRelease, start);
  return times;
}

} // namespace

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  PreviewHost host;
  host.resize(1920, 1080);
  auto *overlay = new TransformWidget(QStringLiteral(":/images/transform_dot_normal"),
                                      QStringLiteral(":/images/transform_square_normal"),
                                      QStringLiteral(":/images/transform_central_point_normal"),
                                      QColor(236, 236, 236, 128), 5.0f, &host);
  overlay->setGeometry(host.rect());
  overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
  host.overlay = overlay;
  const QRectF preview(0, 0, 1920, 1080);
  overlay->setPlaybackAreaFrame(preview);
  const QSizeF layer(960, 540);
  overlay->setContentLayerGeometry(preview.center(), layer, 0, QPointF(0.5, 0.5), layer, false);
  host.show();
  app.processEvents();

  printMoves("move by the body", drag(app, host, QPoint(1000, 560)), "forwarded move event");
  overlay->setContentLayerGeometry(preview.center(), layer, 0, QPointF(0.5, 0.5), layer, false);
  app.processEvents();
  const QPoint rightEdge(int(preview.center().x() + layer.width() / 2), int(preview.center().y()));
  printMoves("stretch by the right edge", drag(app, host, rightEdge), "forwarded move event");
  return 0;
}
