// Driver for bench/index/run.sh.
//   make DIR COMPUTERS CAPTURES ENTRIES: nightly captures of each computer, ENTRIES entries
//     each, 1% of them replaced from one capture to the next (new names, new sizes).
//   find DIR REPEATS PATTERN...: find over the library by reading every snapshot, then the
//     index build from nothing, the update after one capture is written anew, and find with
//     the indexes; the hits of both must agree.
//   capture FILE REPEATS: one load of a capture against indexing it.
//   make DIR 1 CAPTURES ENTRIES C, update DIR PCc, scan|indexed DIR REPEATS PATTERN...: the
//     steps of scale.sh (one computer made, its index made, find by reading or with indexes).
#include <algorithm>
#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "core/loaded_snapshot.h"
#include "platform/file_system.h"
#include "query/capture_index.h"
#include "query/indexed_find.h"

namespace {

using mv::bench::BestOf;
using mv::bench::MillisecondsSince;

const char* const kWords[] = {"report", "budget", "photo", "invoice", "draft", "notes",
                              "backup", "plan",   "scan",  "letter",  "sheet", "final"};
const char* const kKinds[] = {".docx", ".xlsx", ".jpg", ".pdf", ".txt", ".png"};

// Entry number n of a computer's history, in its folder: names that repeat across folders
// and words, as users name files.
std::string EntryLine(unsigned long n, unsigned long size) {
  char line[160];
  std::snprintf(line, sizeof line, "Projects%02lu\\Team%02lu\\%s %s %lu%s;;f;;%lu;;%lu.%lu.%lu\r\n",
                n % 37, (n / 37) % 23, kWords[n % 12], kWords[(n / 12) % 12], n % 9973,
                kKinds[n % 6], size, n % 12 + 1, n % 28 + 1, 2000 + n % 25);
  return line;
}

int Make(const std::string& dir, int computers, int captures, unsigned long entries,
         int firstComputer = 0) {
  const unsigned long churn = entries / 100 > 0 ? entries / 100 : 1;
  for (int c = firstComputer; c < firstComputer + computers; ++c) {
    for (int k = 0; k < captures; ++k) {
      char name[128];
      std::snprintf(name, sizeof name, "%s/WG.PC%d.%02d.%02d.%04d.09.00.00.mirvaul", dir.c_str(), c,
                    k % 28 + 1, (k / 28) % 12 + 1, 2026 + k / 336);
      FILE* out = std::fopen(name, "wb");
      if (out == nullptr) return 1;
      std::fprintf(out,
                   "Mirrorvault file\r\nVERSION: 1.0\r\nCOMPUTER: PC%d\r\nGROUP: WG\r\n"
                   "DATE CREATED: 01.01.2026 09:00:00\r\n\r\nSHARENAME: Data\r\n",
                   c);
      for (int f = 0; f < 37; ++f) std::fprintf(out, "Projects%02d;;d;;0;;1.1.2020\r\n", f);
      // Capture k holds entries [k * churn, k * churn + entries): each night the oldest 1% go
      // and as many new ones come. A walk lists a folder's entries together.
      const unsigned long first = static_cast<unsigned long>(k) * churn;
      std::vector<unsigned long> numbers;
      for (unsigned long n = first; n < first + entries; ++n) {
        numbers.push_back(n + static_cast<unsigned long>(c) * 1000003ul);
      }
      std::stable_sort(numbers.begin(), numbers.end(), [](unsigned long a, unsigned long b) {
        return a % (37 * 23) < b % (37 * 23);
      });
      for (const unsigned long n : numbers) std::fputs(EntryLine(n, n * 7 % 100000).c_str(), out);
      std::fputs("END\r\n", out);
      std::fclose(out);
    }
  }
  return 0;
}

// The heap in use now, where the C library tells (glibc): sampled as each snapshot's hits are
// reported, when a computer's matches are held, its largest is the search's peak near enough.
std::size_t HeapInUse() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#else
  return 0;
#endif
}

class CountedReport final : public mv::FindReport {
 public:
  void Found(const mv::LibrarySnapshot&, std::string_view, mv::NameEncoding,
             const std::vector<mv::FoundEntry>& found) override {
    hits += found.size();
    heap = std::max(heap, HeapInUse());
  }
  std::size_t heap = 0;
  void Skipped(const mv::LibrarySnapshot&, std::string_view) override { ++skipped; }
  std::size_t hits = 0, skipped = 0;
};

void RemoveIndexes(const std::string& dir) {
  if (std::system(("rm -f '" + dir + "'/*.mvindex").c_str()) != 0) std::exit(1);
}

int Find(const std::string& dir, int repeats, const std::vector<std::string>& patterns) {
  mv::FileSystem& fs = mv::PlatformFileSystem();
  const std::vector<mv::LibrarySnapshot> library = mv::ListLibrarySnapshots(fs, dir);
  std::printf("library: %zu snapshots\n", library.size());
  RemoveIndexes(dir);
  std::vector<double> scanMs;
  for (const std::string& pattern : patterns) {
    mv::FindRequest request;
    request.pattern = pattern;
    CountedReport report;
    scanMs.push_back(BestOf(repeats, [&] {
      report = CountedReport();
      mv::FindInSnapshots(fs, library, request, report);
    }));
    std::printf("read every snapshot, '%s': %.1f ms, %zu hits\n", pattern.c_str(), scanMs.back(),
                report.hits);
  }
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t bytes = 0, strings = 0, entries = 0;
  for (const mv::IndexUpdate& u : mv::UpdateIndexes(fs, dir, {})) {
    bytes += u.bytes;
    strings += u.stringBytes;
    entries += u.entries;
  }
  const double buildMs = MillisecondsSince(start);
  std::printf("index build from nothing: %.1f ms (%.2f x one read of every snapshot for '%s')\n",
              buildMs, buildMs / scanMs.front(), patterns.front().c_str());
  std::printf(
      "index: %llu bytes for %llu distinct entries: %.1f bytes per entry + %.1f of "
      "texts (each distinct text once)\n",
      static_cast<unsigned long long>(bytes), static_cast<unsigned long long>(entries),
      static_cast<double>(bytes - strings) / static_cast<double>(entries),
      static_cast<double>(strings) / static_cast<double>(entries));
  {
    // The nightly update: the newest capture of one computer written anew (another file under
    // its name) is dropped and read again; the rest stays as it is.
    const std::string newest = dir + "/" + library.front().fileName;
    const double loadMs = BestOf(1, [&] {
      mv::LoadedSnapshot loaded;
      loaded.Load(fs, newest);
    });
    if (std::system(("cp '" + newest + "' '" + newest + ".copy' && mv '" + newest + ".copy' '" +
                     newest + "'")
                        .c_str()) != 0) {
      return 1;
    }
    const auto again = std::chrono::steady_clock::now();
    std::size_t added = 0;
    for (const mv::IndexUpdate& u : mv::UpdateIndexes(fs, dir, {})) added += u.added;
    const double updateMs = MillisecondsSince(again);
    std::printf(
        "update after the newest capture is written anew: %.1f ms, %zu capture read (one load of "
        "it: %.1f "
        "ms, %.2f x)\n",
        updateMs, added, loadMs, updateMs / loadMs);
  }
  for (std::size_t p = 0; p < patterns.size(); ++p) {
    mv::FindRequest request;
    request.pattern = patterns[p];
    CountedReport report, read;
    const double ms = BestOf(repeats, [&] {
      report = CountedReport();
      mv::FindWithIndexes(fs, dir, library, request, report);
    });
    mv::FindInSnapshots(fs, library, request, read);
    std::printf("with the indexes, '%s': %.1f ms, %zu hits: %.1f x faster than reading%s\n",
                patterns[p].c_str(), ms, report.hits, scanMs[p] / ms,
                report.hits == read.hits ? "" : "  HITS DIFFER");
    if (report.hits != read.hits) return 1;
  }
  RemoveIndexes(dir);
  return 0;
}

// The pieces of bench/index/scale.sh, over a library too large to keep whole.
int Scan(const std::string& dir, int repeats, const std::vector<std::string>& patterns,
         bool indexed) {
  mv::FileSystem& fs = mv::PlatformFileSystem();
  const std::vector<mv::LibrarySnapshot> library = mv::ListLibrarySnapshots(fs, dir);
  for (const std::string& pattern : patterns) {
    mv::FindRequest request;
    request.pattern = pattern;
    CountedReport report;
    mv::IndexUse use;
    const double ms = BestOf(repeats, [&] {
      report = CountedReport();
      use = mv::IndexUse();
      if (indexed) {
        mv::FindWithIndexes(fs, dir, library, request, report, &use);
      } else {
        mv::FindInSnapshots(fs, library, request, report);
      }
    });
    std::printf("%s '%s': %.1f ms, %zu hits, %zu snapshots",
                indexed ? "with the indexes" : "read every snapshot", pattern.c_str(), ms,
                report.hits, library.size());
    if (indexed) std::printf(" (%zu from indexes, %zu read)", use.indexed, use.read);
    if (report.heap > 0) {
      std::printf(", heap at most %.1f MiB (%d-bit)", static_cast<double>(report.heap) / (1 << 20),
                  static_cast<int>(8 * sizeof(void*)));
    }
    std::printf("\n");
  }
  return 0;
}

int Update(const std::string& dir, const std::string& computer) {
  mv::FileSystem& fs = mv::PlatformFileSystem();
  mv::SnapshotChoice choice;
  choice.computer = computer;
  const auto start = std::chrono::steady_clock::now();
  const std::vector<mv::IndexUpdate> updates = mv::UpdateIndexes(fs, dir, choice);
  const double ms = MillisecondsSince(start);
  for (const mv::IndexUpdate& u : updates) {
    std::printf("index of %s: %.1f ms, %zu captures, %zu entries, %llu bytes, %llu of texts%s%s\n",
                u.computer.c_str(), ms, u.captures, u.entries,
                static_cast<unsigned long long>(u.bytes),
                static_cast<unsigned long long>(u.stringBytes), u.failure.empty() ? "" : ": ",
                u.failure.c_str());
  }
  return updates.size() == 1 && updates.front().failure.empty() ? 0 : 1;
}

int Capture(const std::string& file, int repeats) {
  mv::FileSystem& fs = mv::PlatformFileSystem();
  std::size_t lines = 0;
  const double loadMs = BestOf(repeats, [&] {
    mv::LoadedSnapshot loaded;
    loaded.Load(fs, file);
    lines = static_cast<std::size_t>(loaded.info().directoryCount + loaded.info().fileCount);
  });
  // What reading alone costs: the scan that checks the file, and a pass over its entries.
  double scanMs = 0, passMs = 0;
  BestOf(repeats, [&] {
    mv::SnapshotLayout layout;
    std::string reason;
    const auto start = std::chrono::steady_clock::now();
    if (!mv::ReadSnapshotLayout(fs, file, layout, reason)) std::exit(1);
    scanMs = MillisecondsSince(start);
    std::size_t bytes = 0;
    mv::ForEachEntry(layout, [&](const mv::ShareSection&, const mv::SnapshotEntry& e) {
      bytes += e.path.size();
    });
    passMs = MillisecondsSince(start) - scanMs;
    if (bytes == 0) std::exit(1);
  });
  std::size_t size = 0;
  double insertMs = 0;
  const double indexMs = BestOf(repeats, [&] {
    mv::SnapshotLayout layout;
    std::string reason;
    mv::CaptureIndex index;
    const auto start = std::chrono::steady_clock::now();
    if (!mv::ReadSnapshotLayout(fs, file, layout, reason) ||
        !index.InsertCapture(0, {"x", layout.file->stamp(), layout.computer, layout.encoding},
                             layout)) {
      std::exit(1);
    }
    insertMs = MillisecondsSince(start);
    size = index.Encode(reason).size();
  });
  std::printf(
      "one capture of %zu entries: load %.1f ms, indexed (read, built, encoded to %zu "
      "bytes) %.1f ms (%.1f of them reading it into the model): %.2f x its load\n"
      "  of the reading: the scan that checks it %.1f ms, a pass over its entries %.1f ms\n",
      lines, loadMs, size, indexMs, insertMs, indexMs / loadMs, scanMs, passMs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if ((args.size() == 5 || args.size() == 6) && args[0] == "make") {
    return Make(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()),
                std::strtoul(args[4].c_str(), nullptr, 10),
                args.size() == 6 ? std::atoi(args[5].c_str()) : 0);
  }
  if (args.size() >= 4 && (args[0] == "scan" || args[0] == "indexed")) {
    return Scan(args[1], std::atoi(args[2].c_str()),
                std::vector<std::string>(args.begin() + 3, args.end()), args[0] == "indexed");
  }
  if (args.size() == 3 && args[0] == "update") return Update(args[1], args[2]);
  if (args.size() >= 4 && args[0] == "find") {
    return Find(args[1], std::atoi(args[2].c_str()),
                std::vector<std::string>(args.begin() + 3, args.end()));
  }
  if (args.size() == 3 && args[0] == "capture") return Capture(args[1], std::atoi(args[2].c_str()));
  std::fprintf(stderr, "usage: index_bench make|find|capture ...\n");
  return 2;
}
