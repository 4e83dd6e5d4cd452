// Driver for bench/search/run.sh: "make FILE" writes a snapshot of exactly 1,048,575 non-empty
// lines (4 shares, 64 directories each with 16 subdirectories of files, one needle.txt as the
// very last entry); "search FILE REPEATS" times searches of it from the share list against a
// plain scan of the same lines for the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/bench_timing.h"
#include "platform/file_system.h"
#include "platform/memory/memory_file_list.h"
#include "platform/view_ports.h"
#include "ui/file_search.h"
#include "ui/snapshot_browser.h"

namespace {

constexpr int kLines = 1048575;
constexpr int kShares = 4;
constexpr int kTopDirectories = 64;
constexpr int kSubDirectories = 16;

class RecordedNotices final : public mv::NoticePort {
 public:
  mv::MessageAnswer ShowMessage(const std::string& text, mv::MessageKind) override {
    last = text;
    return mv::MessageAnswer::kOk;
  }
  void SetStatusText(int, const std::string&) override {}
  std::string last;
};

using mv::bench::BestOf;

// In the writer's order: a directory's entry block, then the blocks below it.
int Make(const std::string& path) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return 1;
  std::fputs(
      "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC7\r\nGROUP: WORKGROUP\r\n"
      "DATE CREATED: 05.12.2026 09:04:05\r\n\r\n",
      out);
  const int leaves = kShares * kTopDirectories * kSubDirectories;
  const int directories = kShares * kTopDirectories * (1 + kSubDirectories);
  const int files = kLines - 5 - kShares - 1 - directories;
  int leaf = 0;
  for (int s = 0; s < kShares; ++s) {
    std::fprintf(out, "SHARENAME: Share%d\r\n", s);
    for (int d = 0; d < kTopDirectories; ++d) {
      std::fprintf(out, "Projects%03d;;d;;0;;%d.%d.%d\r\n", d, d % 12 + 1, d % 28 + 1, 2000 + d);
    }
    for (int d = 0; d < kTopDirectories; ++d) {
      for (int u = 0; u < kSubDirectories; ++u) {
        std::fprintf(out, "Projects%03d\\Team%02d;;d;;0;;1.2.2010\r\n", d, u);
      }
      for (int u = 0; u < kSubDirectories; ++u, ++leaf) {
        const int count = files / leaves + (leaf < files % leaves ? 1 : 0);
        for (int f = 0; f < count; ++f) {
          const bool needle = leaf == leaves - 1 && f == count - 1;
          std::fprintf(out, "Projects%03d\\Team%02d\\%s;;f;;%d;;%d.%d.%d\r\n", d, u,
                       needle ? "needle.txt" : "Quarterly report final.docx", f * 7919 % 50000000,
                       f % 12 + 1, f % 28 + 1, 2000 + f % 25);
        }
      }
    }
  }
  std::fputs("END\r\n", out);
  return std::fclose(out) == 0 ? 0 : 1;
}

int Search(const std::string& path, int repeats) {
  mv::MemoryFileList list;
  mv::MemoryBrowserControls controls;
  RecordedNotices notices;
  mv::SnapshotBrowser browser(mv::PlatformFileSystem(), list, controls, notices);
  if (browser.LoadSnapshot(path) == 0) return 1;
  browser.SetSnapshotComputer(browser.info().computer);

  // The baseline: every line looked at once for the text, nothing else.
  int lines = 0;
  int holding = 0;
  const double scan = BestOf(repeats, [&] {
    lines = holding = 0;
    browser.snapshot().ForEachLine(0, browser.snapshot().fileSize(),
                                   [&](std::int64_t, std::string_view line) {
                                     ++lines;
                                     if (line.find("needle") != std::string_view::npos) ++holding;
                                     return true;
                                   });
  });
  std::printf("plain_scan_ms=%.3f lines=%d (lines holding 'needle': %d)\n", scan, lines, holding);

  for (const char* name : {"needle", "absent", "*report*.xls", "n??dle.*"}) {
    std::string shown;
    const double ms = BestOf(repeats, [&] {
      browser.OpenLocation("");
      mv::FileSearch search;
      notices.last.clear();
      shown = search.Search(browser, list, notices, name) ? controls.location() : notices.last;
    });
    std::printf("search_ms=%.3f ratio_to_scan=%.2f name='%s' -> %s\n", ms, ms / scan, name,
                shown.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "make" && argc == 3) return Make(argv[2]);
  if (mode == "search" && argc == 4) return Search(argv[2], std::atoi(argv[3]));
  std::fprintf(stderr, "usage: search_bench make FILE | search_bench search FILE REPEATS\n");
  return 2;
}
