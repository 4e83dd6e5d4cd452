// Times RebuildSnapshotTree over an in-memory tree port, and the newest-first order alone on
// its worst input (oldest first, so every pass moves every name). Prints milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/library_name.h"
#include "core/snapshot_library.h"
#include "platform/memory/memory_tree_port.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

template <typename Action>
double BestOf(int repeats, Action action) {
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const Clock::time_point start = Clock::now();
    action();
    best = std::min(best, Milliseconds(Clock::now() - start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: library_bench DIR [REPEATS]\n");
    return 2;
  }
  const std::string directory = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

  mv::MemoryTreePort tree;
  mv::SnapshotLibrary library(tree, mv::PlatformFileSystem());
  library.SetSnapshotDirectory(directory);
  const double rebuild = BestOf(repeats, [&] { library.RebuildSnapshotTree(); });
  // Processor time as well: on a busy machine the wall clock also counts other programs.
  double rebuildCpu = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const std::clock_t start = std::clock();
    library.RebuildSnapshotTree();
    rebuildCpu =
        std::min(rebuildCpu, 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  const double listing =
      BestOf(repeats, [&] { (void)mv::ListSnapshotFiles(mv::PlatformFileSystem(), directory); });

  std::vector<std::string> listed = mv::ListSnapshotFiles(mv::PlatformFileSystem(), directory);
  const double orderListed = BestOf(repeats, [&] {
    std::vector<std::string> names = listed;
    mv::OrderNewestFirst(names);
  });

  std::vector<std::string> oldestFirst = mv::ListSnapshotFiles(mv::PlatformFileSystem(), directory);
  mv::OrderNewestFirst(oldestFirst);
  std::reverse(oldestFirst.begin(), oldestFirst.end());
  const double order = BestOf(repeats, [&] {
    std::vector<std::string> names = oldestFirst;
    mv::OrderNewestFirst(names);
  });

  std::printf("files=%zu items=%zu\n", oldestFirst.size(), tree.size());
  std::printf(
      "rebuild_ms=%.3f (processor time %.3f)\n  listing_ms=%.3f\n  order_ms=%.3f (oldest first: "
      "%.3f)\n",
      rebuild, rebuildCpu, listing, orderListed, order);
  return 0;
}
