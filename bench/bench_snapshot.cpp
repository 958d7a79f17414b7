// The undo snapshot an edit records, alone: 500 picture segments on 8 rows, the edit moving 30
// blocks of one row or changing one block. Thread CPU time per snapshot and edit, median and
// quartiles of 300, so that what the snapshot costs stands out of the window's noise.
#include "testenv.h"

#include "projectmanager.h"
#include "segment.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <time.h>

namespace {

constexpr int kSegments = 500;
constexpr int kBusyRow = 60;
constexpr int kRuns = 300;

double threadMs()
{
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Records, then moves the first `blocks` blocks of the busy row that lie past its middle.
double recordAndEdit(ProjectManager &manager, int blocks)
{
  const double start = threadMs();
  manager.recordOperation(manager.projectName(), QString());
  int moved = 0;
  for (int i = 0; i < manager.segmentCount() && moved < blocks; ++i) {
    Segment *segment = manager.segmentAt(i);
    if (segment->trackId() == 1 && segment->rangeStart() >= kBusyRow) {
      segment->setRangeStart(segment->rangeStart() + 0.5f);
      ++moved;
    }
  }
  return threadMs() - start;
}

void report(const char *what, std::vector<double> times)
{
  std::sort(times.begin(), times.end());
  std::printf("%s: %.3f ms median (quartiles %.3f, %.3f; %zu runs)\n", what, times[times.size() / 2],
              times[times.size() / 4], times[times.size() * 3 / 4], times.size());
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QCoreApplication app(argc, argv);
  ProjectManager manager;
  manager.setProjectName(QStringLiteral("Snapshots"));
  if (manager.saveSegments(manager.projectName(), QString()) != 0) {
    std::fprintf(stderr, "bench_snapshot: cannot write the project\n");
    return 1;
  }
  // Row 1 holds 60 two-second blocks; the other 440 share the remaining 7 rows.
  for (int i = 0; i < kSegments; ++i) {
    auto *segment = new Segment(nullptr);
    segment->properties()->setText(QStringLiteral("Type"), QStringLiteral("IMAGE"));
    segment->properties()->setText(QStringLiteral("File"), QStringLiteral("still.png"));
    segment->properties()->setText(QStringLiteral("RangeDuration"), QStringLiteral("2"));
    segment->setTrackId(i < kBusyRow ? 1 : 2 + (i - kBusyRow) % 7);
    segment->setRangeStart(float(i < kBusyRow ? i : (i - kBusyRow) / 7) * 2);
    manager.insertSegment(segment, nullptr);
  }
  for (int blocks : {30, 1}) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
      times.push_back(recordAndEdit(manager, blocks));
      // The history folder stays small, as a session's would.
      if (run % 20 == 19)
        manager.removeHistory(manager.projectName(), QString());
    }
    report(blocks == 1 ? "snapshot and an edit of 1 block" : "snapshot and an edit of 30 blocks", times);
  }
  return 0;
}
