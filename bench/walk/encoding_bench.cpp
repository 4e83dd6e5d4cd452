// What names beyond ASCII cost the writer, over one in-memory tree shape named three ways:
// all ASCII (the baseline, run in the same process), Latin-1 names that all fit code page
// 1252 (each name encoded), and the same with one CJK name as the last entry (everything
// carried over to UTF-8 at the very end, the dearest place for the switch).
// Usage: encoding_bench [ENTRIES] (default 1000000)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "capture/activity_state.h"
#include "core/snapshot_writer.h"
#include "platform/memory/fixed_clock.h"
#include "platform/memory/memory_file_system.h"

namespace {

constexpr long kFilesPerFolder = 100;

// Folders of kFilesPerFolder files each below the share root; lastName, when given, is one
// more file in the last folder.
void MakeTree(mv::MemoryFileSystem& fs, long entries, const std::string& word,
              const std::string& lastName) {
  const std::string root = "\\\\PC\\Share";
  fs.AddDirectory(root);
  std::string folder;
  for (long f = 0; f < entries; ++f) {
    if (f % kFilesPerFolder == 0) {
      folder = root + "\\" + word + "-" + std::to_string(f / kFilesPerFolder);
      fs.AddDirectory(folder, {2010, 1, 1});
    }
    fs.AddFile(folder + "\\" + word + " " + std::to_string(f) + ".dat",
               static_cast<std::uint64_t>(f * 7919 % 100003),
               {2011, 1 + static_cast<int>(f % 12), 1});
  }
  if (!lastName.empty()) fs.AddFile(folder + "\\" + lastName, 1, {2011, 1, 1});
}

}  // namespace

int main(int argc, char** argv) {
  const long entries = argc > 1 ? std::atol(argv[1]) : 1000000;
  struct Kind {
    const char* label;
    std::string word;
    std::string lastName;
  };
  const Kind kinds[] = {{"ascii", "resume", ""},
                        {"latin1", "r\u00e9sum\u00e9", ""},
                        {"switch_at_end", "r\u00e9sum\u00e9", "\u65e5\u672c.txt"}};
  mv::FixedClock clock{mv::LocalTime{2026, 1, 1, 0, 0, 0}};
  const std::string path = "C:\\snaps\\BENCH.PC.01.01.2026.00.00.00.mirvaul";
  double baseline = 0;
  for (const Kind& kind : kinds) {
    // No snapshot is left behind to be matched and removed.
    mv::MemoryFileSystem tree{[](std::string_view, std::string_view) { return false; }};
    MakeTree(tree, entries, kind.word, kind.lastName);
    std::size_t bytes = 0;
    const double ms = mv::bench::BestOf(3, [&] {
      tree.files.clear();
      mv::SetActivityState(mv::kCapturing);
      mv::WriteSnapshot("BENCH", "PC", path, {"Share"}, nullptr, tree, clock, 1252);
      mv::SetActivityState(mv::kIdle);
      tree.listed.clear();
      bytes = tree.files.count(path) != 0 ? tree.files.at(path).size() : 0;
    });
    if (baseline == 0) baseline = ms;
    std::printf("kind=%s entries=%ld ms=%.0f ratio_to_ascii=%.2f bytes=%zu\n", kind.label, entries,
                ms, ms / baseline, bytes);
  }
  return 0;
}
