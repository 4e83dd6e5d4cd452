// The share walk through a file system that makes every listing wait, as a server across a
// network does: the walk that lists ahead against the sequential walk over the same
// in-memory tree, each the best of a few runs, and their ratio.
// Usage: walk_ahead_bench [FOLDERS] [ENTRIES] [DELAY_US...] (default 100000 1000000 1000 5000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_timing.h"
#include "capture/activity_state.h"
#include "core/snapshot_writer.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/latency_file_system.h"
#include "platform/memory/memory_file_system.h"

namespace {

constexpr long kSubdirectoriesPerFolder = 10;

// Folders filled breadth first, kSubdirectoriesPerFolder each, and the files spread evenly.
void MakeTree(mv::MemoryFileSystem& fs, long folders, long entries) {
  const std::string root = "\\\\PC\\Share";
  fs.AddDirectory(root);
  std::deque<std::string> pending{root};
  std::vector<std::string> all;
  long made = 1;
  while (!pending.empty()) {
    const std::string dir = pending.front();
    pending.pop_front();
    all.push_back(dir);
    for (long d = 0; d < kSubdirectoriesPerFolder && made < folders; ++d, ++made) {
      std::string child = dir + "\\dir-" + std::to_string(d);
      fs.AddDirectory(child, {2010, 1 + static_cast<int>(d), 1});
      pending.push_back(std::move(child));
    }
  }
  const long files = entries > folders ? entries - folders : 0;
  for (long f = 0; f < files; ++f) {
    const std::string& dir = all[static_cast<std::size_t>(f) % all.size()];
    fs.AddFile(dir + "\\file-" + std::to_string(f) + ".dat",
               static_cast<std::uint64_t>(f * 7919 % 100003),
               {2011, 1 + static_cast<int>(f % 12), 1 + static_cast<int>(f % 28)});
  }
}

}  // namespace

int main(int argc, char** argv) {
  const long folders = argc > 1 ? std::atol(argv[1]) : 100000;
  const long entries = argc > 2 ? std::atol(argv[2]) : 1000000;
  std::vector<long> delays;
  for (int i = 3; i < argc; ++i) delays.push_back(std::atol(argv[i]));
  if (delays.empty()) delays = {1000, 5000};

  // No snapshot is left behind to be matched and removed.
  mv::MemoryFileSystem tree{[](std::string_view, std::string_view) { return false; }};
  MakeTree(tree, folders, entries);
  mv::FixedClock clock{mv::LocalTime{2026, 1, 1, 0, 0, 0}};
  const std::string path = "C:\\snaps\\BENCH.PC.01.01.2026.00.00.00.mirvaul";
  for (const long delay : delays) {
    std::string bytes[2];
    double ms[2];
    for (const bool ahead : {false, true}) {
      ms[ahead] = mv::bench::BestOf(ahead ? 3 : 1, [&] {
        mv::LatencyFileSystem slow(tree, std::chrono::microseconds(delay), false, ahead);
        mv::SetActivityState(mv::kCapturing);
        mv::WriteSnapshot("BENCH", "PC", path, {"Share"}, nullptr, slow, clock);
        mv::SetActivityState(mv::kIdle);
        tree.listed.clear();
      });
      bytes[ahead] = tree.files.at(path);
    }
    std::printf(
        "folders=%ld entries=%ld delay_us=%ld sequential_ms=%.0f ahead_ms=%.0f "
        "speedup=%.1f (target >= 8 at 5000) same_bytes=%s bytes=%zu\n",
        folders, entries, delay, ms[0], ms[1], ms[0] / ms[1], bytes[0] == bytes[1] ? "yes" : "NO",
        bytes[1].size());
  }
  return 0;
}
