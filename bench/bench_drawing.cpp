// The drawing canvas at 3840 x 2160 in a preview-sized widget: pencil strokes of 500, 1,000
// and 2,000 points and frame-shape drags fed at 60 Hz as mouse moves. Prints the time per
// move event, per redraw and per paint (median and p95), the snapshot write time on the
// history's pool, the undo time, and how many PNG encodings ran on the GUI thread.
#include "canvaswidget.h"
#include "historydatacompressiontaskmanager.h"
#include "shape.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>
#include <QtMath>
#include <QtTest>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kFrameNs = 16666667;

struct Figures
{
  QVector<double> values;
  void add(qint64 ns) { values.append(ns / 1e6); }
  double at(double fraction) const
  {
    if (values.isEmpty())
      return 0;
    QVector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[qMin(sorted.size() - 1, int(fraction * sorted.size()))];
  }
  QString text() const
  {
    return QString::asprintf("median %6.2f ms, p95 %6.2f ms (%d)", at(0.5), at(0.95), int(values.size()));
  }
};

// The canvas with its paint events timed.
class TimedCanvas : public CanvasWidget
{
public:
  using CanvasWidget::CanvasWidget;
  Figures paints;
  qint64 lastPaintNs = 0;

protected:
  void paintEvent(QPaintEvent *event) override
  {
    QElapsedTimer timer;
    timer.start();
    CanvasWidget::paintEvent(event);
    lastPaintNs = timer.nsecsElapsed();
    paints.add(lastPaintNs);
  }
};

Figures g_writes;
Figures g_reads;
int g_guiThreadWrites = 0;
QtMessageHandler g_previous = nullptr;

// Collects the times the history logs, and on which thread its writes ran.
void collectTimes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
  static const QString written = "Drawing history data compressing time: ";
  static const QString read = "Drawing history data uncompressing time: ";
  if (message.startsWith(written)) {
    g_writes.add(qint64(message.mid(written.size()).toDouble() * 1e6));
    if (QThread::currentThread() == qApp->thread())
      ++g_guiThreadWrites;
    return;
  }
  if (message.startsWith(read)) {
    g_reads.add(qint64(message.mid(read.size()).toDouble() * 1e6));
    return;
  }
  g_previous(type, context, message);
}

// A stroke's points: a Lissajous figure over the widget, a few pixels apart.
QVector<QPoint> strokePoints(int count, QSize size)
{
  QVector<QPoint> points;
  for (int i = 0; i < count; ++i) {
    const double t = i * 0.004;
    points << QPoint(int(size.width() / 2 + size.width() * 0.42 * qSin(t * 3)),
                     int(size.height() / 2 + size.height() * 0.42 * qSin(t * 2 + 0.5)));
  }
  return points;
}

// Lets the event loop run (timers, paints) until the next 60 Hz tick; returns the time the
// event processing took while something was drawn, paints left out.
qint64 idleUntil(QElapsedTimer &clock, qint64 tickNs, TimedCanvas &canvas, int &drawn, int drawnBefore)
{
  qint64 redraw = 0;
  while (clock.nsecsElapsed() < tickNs) {
    canvas.lastPaintNs = 0;
    QElapsedTimer step;
    step.start();
    const int before = drawn;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    if (drawn != before && drawn > drawnBefore)
      redraw += step.nsecsElapsed() - canvas.lastPaintNs;
    QThread::usleep(200);
  }
  return redraw;
}

void feed(TimedCanvas &canvas, const QVector<QPoint> &points, const char *name)
{
  QWindow *window = canvas.windowHandle();
  Shape *shape = canvas.currentShape();
  int drawn = 0;
  const auto connection = QObject::connect(shape, &Shape::shapeNeedDisplayInRect, [&drawn] { ++drawn; });
  Figures moves, redraws;
  canvas.paints = Figures();
  QElapsedTimer clock;
  clock.start();
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, points.first());
  qint64 tick = kFrameNs;
  idleUntil(clock, tick, canvas, drawn, 0);
  for (int i = 1; i < points.size(); ++i) {
    QElapsedTimer move;
    move.start();
    QTest::mouseMove(window, points[i]);
    moves.add(move.nsecsElapsed());
    tick += kFrameNs;
    const int drawnBefore = drawn;
    const qint64 redraw = idleUntil(clock, tick, canvas, drawn, drawnBefore - 1);
    if (redraw > 0)
      redraws.add(redraw);
  }
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, points.last());
  QObject::disconnect(connection);
  std::printf("%-28s move %s\n", name, qPrintable(moves.text()));
  if (!redraws.values.isEmpty())
    std::printf("%-28s redraw %s\n", "", qPrintable(redraws.text()));
  std::printf("%-28s paint %s\n", "", qPrintable(canvas.paints.text()));
}

} // namespace

int main(int argc, char **argv)
{
  // Snapshots go to a cache of the bench's own.
  QTemporaryDir home;
  qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
  QApplication app(argc, argv);
  app.setOrganizationName("Tarnholm");
  app.setApplicationName("Tavo REN bench");
  g_previous = qInstallMessageHandler(collectTimes);

  TimedCanvas canvas(3840, 2160);
  canvas.resize(960, 540);
  canvas.show();
  if (!QTest::qWaitForWindowExposed(&canvas)) {
    std::printf("bench_drawing: the window was not exposed\n");
    return 1;
  }
  std::printf("canvas 3840x2160 in a 960x540 widget, moves fed at 60 Hz\n");
  canvas.setCommand(10301);
  for (int count : {500, 1000, 2000})
    feed(canvas, strokePoints(count, canvas.size()), qPrintable(QString("pencil, %1 points").arg(count)));

  const struct
  {
    int cmd;
    const char *name;
  } figures[] = {{10310, "rectangle"}, {10317, "filled ellipse"}, {10323, "filled pentagram"}, {10326, "heart"}};
  for (const auto &figure : figures) {
    canvas.setCommand(figure.cmd);
    QVector<QPoint> points;
    for (int i = 0; i <= 120; ++i)
      points << QPoint(200 + i * 5, 150 + i * 3);
    feed(canvas, points, figure.name);
  }

  // Every snapshot on disk, then undo each step.
  QElapsedTimer wait;
  wait.start();
  while (canvas.history()->isBusy() && wait.elapsed() < 120000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  Figures undos;
  while (canvas.history()->hasSnapshots()) {
    QElapsedTimer undo;
    undo.start();
    canvas.undo();
    undos.add(undo.nsecsElapsed());
  }
  std::printf("snapshot write on the pool   %s\n", qPrintable(g_writes.text()));
  std::printf("undo (read and draw)         %s\n", qPrintable(undos.text()));
  std::printf("PNG encodings on the GUI thread: %d\n", g_guiThreadWrites);
  return 0;
}
