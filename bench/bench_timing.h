// Wall-clock timing shared by the benchmark drivers: the best of several runs, in ms.
#pragma once

#include <chrono>

namespace mv::bench {

inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The shortest of `repeats` runs of work: the run least disturbed by the rest of the machine.
template <typename Work>
double BestOf(int repeats, Work work) {
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const double ms = MillisecondsSince(start);
    if (ms < best) best = ms;
  }
  return best;
}

}  // namespace mv::bench
