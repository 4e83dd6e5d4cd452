// Driver for bench/load/run.sh: "load FILE REPEATS [FOLDER]" times LoadSnapshot of a file,
// then the listing of FOLDER and a search of the whole file for a name it does not hold;
// "list ENTRIES REPEATS" times the fill of one directory of ENTRIES rows and its sort by each
// column in both directions, over the in-memory file list.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_timing.h"
#include "platform/file_system.h"
#include "platform/memory/memory_file_list.h"
#include "platform/view_ports.h"
#include "ui/file_search.h"
#include "ui/snapshot_browser.h"

namespace {

class QuietNotices final : public mv::NoticePort {
 public:
  mv::MessageAnswer ShowMessage(const std::string& text, mv::MessageKind) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return mv::MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}
};

using mv::bench::BestOf;
using mv::bench::MillisecondsSince;

// Loads the file, then lists the folder deep (when given) and searches the whole snapshot for
// a name it does not hold: the two reads of the file that follow an open.
int Load(const std::string& path, int repeats, const char* deep) {
  mv::MemoryFileList list;
  mv::MemoryBrowserControls controls;
  QuietNotices notices;
  mv::SnapshotBrowser browser(mv::PlatformFileSystem(), list, controls, notices);
  int accepted = 0;
  const double ms = BestOf(repeats, [&] { accepted = browser.LoadSnapshot(path); });
  if (accepted == 0) {
    std::fprintf(stderr, "refused: %s\n", mv::DescribeLoadResult(browser.lastLoadResult()));
    return 1;
  }
  std::printf("load_ms=%.3f bytes=%lld files=%d directories=%d\n", ms,
              static_cast<long long>(browser.snapshot().fileSize()), browser.info().fileCount,
              browser.info().directoryCount);
  if (deep == nullptr) return 0;
  int filled = 0;
  const double fill = BestOf(repeats, [&] { filled = browser.FillFileList(deep, ""); });
  std::printf("list_deep_ms=%.3f rows=%d\n", fill, filled != 0 ? list.RowCount() : -1);
  mv::FileSearch search;
  bool found = true;
  const double searched = BestOf(repeats, [&] {
    search = mv::FileSearch{};
    found = search.Search(browser, list, notices, "no such file.none");
  });
  std::printf("search_all_ms=%.3f found=%d\n", searched, found ? 1 : 0);
  return 0;
}

// One share whose root holds `entries` entries: a tenth directories, the rest files with
// sizes and dates spread so that every sort has work to do.
std::string LargeDirectorySnapshot(int entries) {
  std::string text =
      "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC7\r\nGROUP: WORKGROUP\r\n"
      "DATE CREATED: 05.12.2026 09:04:05\r\n\r\nSHARENAME: Big\r\n";
  unsigned state = 12345;
  for (int i = 0; i < entries; ++i) {
    state = state * 1103515245u + 12345u;
    const unsigned r = state >> 8;
    static const char* const kExtensions[] = {"txt", "doc", "jpg", "iso", "gz", "pdf", "xls"};
    char line[160];
    if (i % 10 == 0) {
      std::snprintf(line, sizeof line, "Folder%06u;;d;;0;;%u.%u.%u\r\n", r % 1000000, r % 12 + 1,
                    r % 28 + 1, 2000 + r % 25);
    } else {
      std::snprintf(line, sizeof line, "file_%06u.%s;;f;;%u;;%u.%u.%u\r\n", r % 1000000,
                    kExtensions[r % 7], r % 100000000, (r >> 3) % 12 + 1, (r >> 5) % 28 + 1,
                    2000 + (r >> 7) % 25);
    }
    text += line;
  }
  return text + "END\r\n";
}

int List(int entries, int repeats, const std::string& scratch) {
  {
    const std::string text = LargeDirectorySnapshot(entries);
    FILE* file = std::fopen(scratch.c_str(), "wb");
    if (file == nullptr) return 1;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  mv::MemoryFileList list;
  mv::MemoryBrowserControls controls;
  QuietNotices notices;
  mv::SnapshotBrowser browser(mv::PlatformFileSystem(), list, controls, notices);
  if (browser.LoadSnapshot(scratch) == 0) return 1;
  const double fill = BestOf(repeats, [&] { browser.FillFileList("Big", ""); });
  std::printf("fill_ms=%.3f rows=%d (sorted by Name ascending within the fill)\n", fill,
              list.RowCount());
  static const char* const kColumns[] = {"name", "type", "size", "date"};
  for (int column = 0; column < mv::kFileListColumnCount; ++column) {
    for (const bool descending : {false, true}) {
      // Each sort starts from the fill's order, as a click after opening the directory does.
      double best = 1e300;
      for (int r = 0; r < repeats; ++r) {
        browser.FillFileList("Big", "");
        const auto start = std::chrono::steady_clock::now();
        browser.SortFileList(mv::SortValue(column, descending));
        const double ms = MillisecondsSince(start);
        if (ms < best) best = ms;
      }
      std::printf("sort_%s_%s_ms=%.3f\n", kColumns[column], descending ? "desc" : "asc", best);
    }
  }
  std::remove(scratch.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "load" && (argc == 4 || argc == 5)) {
    return Load(argv[2], std::atoi(argv[3]), argc == 5 ? argv[4] : nullptr);
  }
  if (mode == "list" && argc == 5) return List(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
  std::fprintf(
      stderr,
      "usage: load_bench load FILE REPEATS [FOLDER] | load_bench list ENTRIES REPEATS SCRATCH\n");
  return 2;
}
