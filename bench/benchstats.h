#pragma once
// Per-event figures the benchmarks print: mean and 99th percentile, in milliseconds.

#include <algorithm>
#include <cstdio>
#include <vector>

inline void printMoves(const char *what, std::vector<double> times, const char *event = "move event")
{
  double sum = 0;
  for (double t : times)
    sum += t;
  std::sort(times.begin(), times.end());
  const double p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];
  std::printf("%s: %.3f ms mean, %.3f ms 99th percentile per %s (%zu moves)\n", what, sum / double(times.size()), p99,
              event, times.size());
}
