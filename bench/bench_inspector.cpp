// The segment inspector: 300 selections alternating between a text, a movie and an image
// segment, each a full showSegment with its controllers loaded and the content laid out.
// Selecting a segment should change the panel without a visible delay (well under 100 ms).
#include "segmentinspectorwidget.h"
#include "segmentmaker.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
  QApplication app(argc, argv);
  SegmentInspectorWidget panel;
  panel.resize(295, 900);
  panel.show();
  QApplication::processEvents();

  std::vector<std::unique_ptr<Segment>> segments;
  for (const char *type : {"TEXT", "MOVIE", "IMAGE"}) {
    segments.push_back(makeSegment(type));
    segments.back()->setRangeDuration(10);
    for (int i = 0; i < 3; ++i)
      segments.back()->insertTransition(1, 1 + 3 * i);
  }
  const QSize canvas(1920, 1080);
  // The first round makes the controllers; it is timed apart.
  QElapsedTimer clock;
  clock.start();
  for (const auto &segment : segments)
    panel.showSegment(segment.get(), nullptr, canvas);
  QApplication::processEvents();
  const double firstRound = clock.nsecsElapsed() / 1e6;

  constexpr int kCalls = 300;
  double total = 0;
  double worst = 0;
  for (int i = 0; i < kCalls; ++i) {
    clock.restart();
    panel.showSegment(segments[i % segments.size()].get(), nullptr, canvas);
    // Layout and painting are part of what the user waits for.
    QApplication::processEvents();
    const double ms = clock.nsecsElapsed() / 1e6;
    total += ms;
    worst = std::max(worst, ms);
  }
  std::printf("inspector: first round (making the controllers) %.2f ms\n", firstRound);
  std::printf("inspector: %d alternating showSegment calls: mean %.3f ms, worst %.3f ms\n", kCalls, total / kCalls,
              worst);
  return 0;
}
