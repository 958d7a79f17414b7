// The timeline with a large project: building 500 blocks on 8 rows, one zoom step (the
// edit area and the ruler) and one painting of the visible rows, at zoom 0.2, 1 and 4.
// A zoom step should stay under a frame (16 ms).
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
  return 0;
}
