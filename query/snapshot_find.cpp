// Find: a quick case-blind look for the pattern's longest plain run over each share
// section, an exact match of the entry name only on the lines where it stands; snapshots
// spread over a few workers and reported in order.
#include "query/snapshot_find.h"

#include <utility>

#include "core/snapshot_text.h"
#include "query/folded_search.h"
#include "query/ordered_work.h"

namespace mv {
namespace {

bool KindWanted(EntryKinds kinds, bool isDirectory) {
  return kinds == EntryKinds::kAll || (kinds == EntryKinds::kDirectories) == isDirectory;
}

void Check(const SnapshotEntry& entry, std::string_view share, const NamePattern& pattern,
           EntryKinds kinds, std::vector<FoundEntry>& hits) {
  if (!KindWanted(kinds, entry.isDirectory) || !pattern.Matches(entry.name)) return;
  hits.push_back({std::string(share), std::string(entry.path), entry.isDirectory,
                  std::string(entry.size), std::string(entry.created)});
}

// What one snapshot gave, waiting for its turn to be reported.
struct SnapshotOutcome {
  std::string computer;
  NameEncoding encoding = NameEncoding::kAnsi;
  std::vector<FoundEntry> hits;
  std::string refusal;  // empty when the file was accepted
};

SnapshotOutcome SearchSnapshot(FileSystem& fileSystem, const LibrarySnapshot& snapshot,
                               const NamePattern& pattern, EntryKinds kinds, SnapshotText& text) {
  SnapshotOutcome outcome;
  SnapshotLayout layout;
  if (ReadSnapshotLayout(fileSystem, snapshot.path, text, layout, outcome.refusal)) {
    outcome.computer = layout.computer;
    outcome.encoding = layout.encoding;
    FindInLayout(layout, pattern, kinds, outcome.hits);
  }
  return outcome;
}

}  // namespace

void FindInLayout(const SnapshotLayout& layout, const NamePattern& pattern, EntryKinds kinds,
                  std::vector<FoundEntry>& hits) {
  const std::string_view literal = pattern.LongestLiteral();
  for (const ShareSection& share : layout.shares) {
    const std::string_view body = share.entries;
    if (literal.empty()) {
      ForEachEntryIn(body, layout.lines, [&](std::string_view, const SnapshotEntry& entry) {
        Check(entry, share.name, pattern, kinds, hits);
      });
      continue;
    }
    // Only lines that hold the plain run somewhere can hold a matching name.
    std::size_t at = 0;
    while ((at = FindIgnoringCase(body, literal, at)) != std::string_view::npos) {
      const std::size_t start = LineStartAt(body, at);
      const std::size_t end = LineEndAt(body, at);
      std::string_view line = body.substr(start, end - start);
      if (layout.lines.hasNul) line = line.substr(0, line.find('\0'));
      // A run found past a NUL lies outside the line's text.
      SnapshotEntry entry;
      if (at - start < line.size() && ReadEntry(line, entry)) {
        Check(entry, share.name, pattern, kinds, hits);
      }
      at = end > at ? end : at + 1;  // a run that begins with a line end stands on no line
    }
  }
}

std::size_t FindInSnapshots(FileSystem& fileSystem, const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report) {
  const NamePattern pattern(request.pattern);
  const unsigned workers = WorkerCount(request.threads, snapshots.size());
  // One file's bytes per worker, reused for every snapshot that worker reads.
  std::vector<SnapshotText> texts(workers);
  std::size_t hits = 0;
  RunInOrder<SnapshotOutcome>(
      snapshots.size(), workers,
      [&](std::size_t index, unsigned worker) {
        return SearchSnapshot(fileSystem, snapshots[index], pattern, request.kinds, texts[worker]);
      },
      [&](std::size_t index, SnapshotOutcome outcome) {
        if (outcome.refusal.empty()) {
          report.Found(snapshots[index], outcome.computer, outcome.encoding, outcome.hits);
          hits += outcome.hits.size();
        } else {
          report.Skipped(snapshots[index], outcome.refusal);
        }
        return true;
      },
      request.stop);
  return hits;
}

}  // namespace mv
