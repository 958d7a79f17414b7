// The timeline with a large project: building 500 blocks on 8 rows, one zoom step (the
// edit area and the ruler) and one painting of the visible rows, at zoom 0.2, 1 and 4.
// A zoom step should stay under a frame (16 ms). Then one block dragged across the rows (drop
// frame and snapping across all rows on every move) and a trim bar dragged along its row:
// mean and 99th percentile per move event, both meant to stay well under a frame.
#include "benchstats.h"
#include "editscrollarea.h"
#include "fakesegmentlistener.h"
#include "musicsegment.h"
#include "rulerscrollarea.h"
#include "rulerwidget.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "trackwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QMainWindow>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr int kSegments = 500;
constexpr int kRows = 8;
constexpr int kRepeats = 9;

double median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double millisecondsOf(QElapsedTimer &clock)
{
  return double(clock.nsecsElapsed()) / 1e6;
}

// Sends one mouse event at a global position and returns how long it took.
double timedMouse(QWidget *target, QEvent::Type type, const QPoint &global, Qt::MouseButtons buttons)
{
  QMouseEvent event(type, target->mapFromGlobal(global), global,
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
  QElapsedTimer clock;
  clock.start();
  QApplication::sendEvent(target, &event);
  return millisecondsOf(clock);
}
} // namespace

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  FakeSegmentListener listener;
  std::vector<std::unique_ptr<Segment>> segments;
  const int perRow = (kSegments + kRows - 1) / kRows;
  for (int i = 0; i < kSegments; ++i) {
    const float start = float(i / kRows) * 1.0f;
    if (i % 2 == 0)
      segments.push_back(std::make_unique<TextSegment>(QString("Text %1").arg(i), start, 0.9f, &listener, nullptr));
    else
      segments.push_back(std::make_unique<MusicSegment>(QString("/nonexistent/%1.wav").arg(i), start, QString(),
                                                        QString(), nullptr));
    segments.back()->setRangeStart(start);
    segments.back()->setDuration(0.9f);
  }
  const float duration = float(perRow);

  QMainWindow window;
  window.setObjectName("BenchMainWindow");
  auto *central = new QWidget;
  auto *layout = new QVBoxLayout(central);
  auto *ruler = new RulerScrollArea;
  ruler->setWidget(new RulerWidget);
  ruler->setFixedHeight(21);
  auto *area = new EditScrollArea;
  area->setWidget(new QWidget);
  layout->addWidget(ruler);
  layout->addWidget(area);
  window.setCentralWidget(central);
  window.resize(1280, 480);
  window.show();
  app.processEvents();

  QElapsedTimer clock;
  clock.start();
  for (int r = 0; r < kRows; ++r) {
    TrackWidget *row = area->addTrack(1.0f, duration);
    row->setTag(r + 1);
    for (int i = r; i < kSegments; i += kRows)
      area->connectSegmentWidget(row->addSegment(segments[size_t(i)].get()));
    row->setScale(1.0f, false);
  }
  ruler->setScale(1.0f, duration);
  app.processEvents();
  std::printf("build %d blocks on %d rows: %.2f ms\n", kSegments, kRows, millisecondsOf(clock));

  for (float zoom : {0.2f, 1.0f, 4.0f}) {
    std::vector<double> steps, paints;
    for (int k = 0; k < kRepeats; ++k) {
      // Step away and back, timing the step to this zoom.
      const float other = zoom * (k % 2 ? 1.1f : 0.9f);
      area->setScale(other, duration);
      ruler->setScale(other, duration);
      app.processEvents();
      clock.restart();
      area->setScale(zoom, duration);
      ruler->setScale(zoom, duration);
      app.processEvents();
      steps.push_back(millisecondsOf(clock));
      clock.restart();
      // Rendered offscreen, so the figure does not hang on the display's exposure.
      area->viewport()->grab();
      ruler->viewport()->grab();
      paints.push_back(millisecondsOf(clock));
    }
    std::printf("zoom %.1f: zoom step %.2f ms, painting the visible timeline %.2f ms (median of %d)\n", zoom,
                median(steps), median(paints), kRepeats);
  }

  // A block of the first row held until it lifts, then moved down over every row and back.
  area->setScale(1.0f, duration);
  app.processEvents();
  SegmentWidget *block = area->trackWidgetAt(0)->segmentWidgetAt(3);
  const QPoint grab = block->mapToGlobal(block->rect().center());
  timedMouse(block, QEvent::MouseButtonPress, grab, Qt::LeftButton);
  QElapsedTimer hold;
  hold.start();
  while (!block->isDragging() && hold.elapsed() < 2000)
    app.processEvents(QEventLoop::WaitForMoreEvents, 20);
  if (!block->isDragging()) {
    std::printf("the block never lifted\n");
    return 1;
  }
  std::vector<double> moves;
  for (int i = 0; i < 400; ++i) {
    const int phase = i % 80;
    const int dy = (phase < 40 ? phase : 80 - phase) * 44 * kRows / 40;
    moves.push_back(timedMouse(block, QEvent::MouseMove, grab + QPoint(i % 200, dy), Qt::LeftButton));
  }
  timedMouse(block, QEvent::MouseButtonRelease, grab, Qt::NoButton);
  hold.restart();
  while (block->isDragging() && hold.elapsed() < 2000) // flying home
    app.processEvents(QEventLoop::WaitForMoreEvents, 20);
  printMoves("block drag across the rows", moves);

  // The trim bar at the end of an edited block dragged back and forth.
  SegmentWidget *edited = area->trackWidgetAt(2)->segmentWidgetAt(5);
  edited->toggleEditing();
  app.processEvents();
  QLabel *bar = area->rightTrimBar();
  if (!bar) {
    std::printf("no trim bar: the block did not enter editing\n");
    return 1;
  }
  const QPoint barPoint = bar->mapToGlobal(QPoint(bar->width() / 2, bar->height() / 2));
  bool trimming = false;
  QObject::connect(area, &EditScrollArea::editScrollAreaBeginTrimSegment, [&trimming] { trimming = true; });
  timedMouse(area->viewport(), QEvent::MouseButtonPress, barPoint, Qt::LeftButton);
  // The kinetic scroller holds presses back for 0.1 s before it passes them on.
  hold.restart();
  while (!trimming && hold.elapsed() < 1000)
    app.processEvents(QEventLoop::WaitForMoreEvents, 20);
  if (!trimming) {
    std::printf("the trim bar was not grabbed\n");
    return 1;
  }
  moves.clear();
  for (int i = 0; i < 400; ++i)
    moves.push_back(timedMouse(area->viewport(), QEvent::MouseMove, barPoint + QPoint(i % 100, 0), Qt::LeftButton));
  timedMouse(area->viewport(), QEvent::MouseButtonRelease, barPoint, Qt::NoButton);
  printMoves("trim bar drag", moves);
  return 0;
}
