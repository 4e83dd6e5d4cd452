// Find: a quick case-blind look for the pattern's longest plain run over each share
// section, an exact match of the entry name only on the lines where it stands; snapshots
// spread over a few workers and reported in order.
#include "query/snapshot_find.h"

#include <algorithm>
#include <utility>

#include "query/folded_search.h"
#include "query/ordered_work.h"

namespace mv {
namespace {

bool KindWanted(EntryKinds kinds, bool isDirectory) {
  return kinds == EntryKinds::kAll || (kinds == EntryKinds::kDirectories) == isDirectory;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The longest run of ASCII characters in text.
std::string_view LongestAsciiRun(std::string_view text) {
  std::string_view best;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) continue;
    if (i - start > best.size()) best = text.substr(start, i - start);
    start = i + 1;
  }
  return best;
}

// What one snapshot gave, waiting for its turn to be reported: its first hits and, when it
// has more, the file open and where its search goes on.
struct SnapshotOutcome {
  std::string computer;
  NameEncoding encoding = NameEncoding::kAnsi;
  std::vector<FoundEntry> hits;
  std::string refusal;  // empty when the file was accepted
  SnapshotLayout layout;
  FindCursor cursor;
};

std::string UnreadableReason() {
  return std::string("cannot be read: ") + DescribeIoError(IoError::kOther);
}

SnapshotOutcome SearchSnapshot(FileSystem& fileSystem, const LibrarySnapshot& snapshot,
                               const SnapshotPattern& pattern, EntryKinds kinds,
                               CodePageDecoder& decoder) {
  SnapshotOutcome outcome;
  SnapshotLayout layout;
  if (ReadSnapshotLayout(fileSystem, snapshot.path, layout, outcome.refusal)) {
    outcome.computer = layout.computer;
    outcome.encoding = layout.encoding;
    if (!pattern.Find(layout, kinds, decoder, outcome.hits, outcome.cursor)) {
      outcome.hits.clear();
      outcome.refusal = UnreadableReason();
    } else if (!outcome.cursor.done) {
      outcome.layout = std::move(layout);
    }
  }
  return outcome;
}

}  // namespace

SnapshotPattern::SnapshotPattern(std::string_view utf8Pattern, const CodePageDecoder& ansiNames)
    : pattern_(utf8Pattern, NameEncoding::kUtf8), utf8Literal_(pattern_.LongestLiteral()) {
  if (IsAscii(utf8Literal_)) {
    ansiLiteral_ = utf8Literal_;
  } else if (ansiNames.singleByte()) {
    // The run's characters are ASCII letters in lower case and others as typed: spelt in the
    // code page, it is found wherever the decoded name would hold it.
    ansiCanMatch_ = ansiNames.SpellInCodePage(utf8Literal_, ansiLiteral_);
  } else {
    // A trail byte of a two-byte code page may look like ASCII: a line found may hold no
    // match, which the exact match on the decoded name then rules out.
    ansiLiteral_ = LongestAsciiRun(utf8Literal_);
  }
}

bool SnapshotPattern::Matches(std::string_view name, NameEncoding encoding,
                              CodePageDecoder& decoder, std::string& scratch) const {
  if (encoding == NameEncoding::kUtf8 || IsAscii(name)) return pattern_.Matches(name);
  scratch.clear();
  decoder.AppendUtf8(name, scratch);
  return pattern_.Matches(scratch);
}

bool SnapshotPattern::MatchesName(std::string_view name, NameEncoding encoding,
                                  CodePageDecoder& decoder, std::string& scratch) const {
  return CanMatch(encoding) &&
         FindIgnoringCase(name, Literal(encoding), 0) != std::string_view::npos &&
         Matches(name, encoding, decoder, scratch);
}

bool SnapshotPattern::Find(const SnapshotLayout& layout, EntryKinds kinds, CodePageDecoder& decoder,
                           std::vector<FoundEntry>& hits, FindCursor& cursor,
                           std::size_t maxHits) const {
  const bool ansi = layout.encoding == NameEncoding::kAnsi;
  cursor.done = ansi && !ansiCanMatch_;
  if (cursor.done) return true;
  const std::string_view literal = ansi ? ansiLiteral_ : utf8Literal_;
  std::string scratch;
  const auto check = [&](const ShareSection& share, const SnapshotEntry& entry) {
    if (!KindWanted(kinds, entry.isDirectory) ||
        !Matches(entry.name, layout.encoding, decoder, scratch)) {
      return;
    }
    hits.push_back({std::string(share.name), std::string(entry.path), entry.isDirectory,
                    std::string(entry.size), std::string(entry.created)});
  };
  // Only lines that hold the plain run somewhere can hold a matching name.
  const auto look = [&](const ShareSection& share, std::string_view body) {
    if (literal.empty()) {
      ForEachEntryIn(body, ShapeOfLines(body),
                     [&](std::string_view, const SnapshotEntry& entry) { check(share, entry); });
      return true;
    }
    std::size_t at = 0;
    while ((at = FindIgnoringCase(body, literal, at)) != std::string_view::npos) {
      const std::size_t start = LineStartAt(body, at);
      const std::size_t end = LineEndAt(body, at);
      std::string_view line = body.substr(start, end - start);
      line = line.substr(0, line.find('\0'));
      // A run found past a NUL lies outside the line's text.
      SnapshotEntry entry;
      if (at - start < line.size() && ReadEntry(line, entry)) check(share, entry);
      at = end > at ? end : at + 1;  // a run that begins with a line end stands on no line
    }
    return true;
  };
  for (; cursor.section < layout.shares.size(); ++cursor.section, cursor.offset = 0) {
    const ShareSection& share = layout.shares[cursor.section];
    bool full = false;
    const bool read =
        ForEachLineStretch(*layout.file, std::max(share.begin, cursor.offset), share.end,
                           [&](std::string_view body, std::uint64_t after) {
                             look(share, body);
                             cursor.offset = after;
                             full = hits.size() >= maxHits;
                             return !full;
                           });
    if (!read) return false;
    if (full && cursor.offset < share.end) return true;
  }
  cursor.done = true;
  return true;
}

std::size_t FindInSnapshots(FileSystem& fileSystem, const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report) {
  CodePageDecoder ansiNames;
  if (request.ansiNames != nullptr) {
    ansiNames = *request.ansiNames;
  } else {
    ansiNames.Open(kDefaultCodePage);
  }
  const SnapshotPattern pattern(request.pattern, ansiNames);
  const unsigned workers = WorkerCount(request.threads, snapshots.size());
  // One decoder per worker, reused for every snapshot that worker reads, and one for the
  // rest of a snapshot with many hits, searched here as it is reported.
  std::vector<CodePageDecoder> decoders(workers, ansiNames);
  CodePageDecoder rest = ansiNames;
  std::size_t hits = 0;
  RunInOrder<SnapshotOutcome>(
      snapshots.size(), workers,
      [&](std::size_t index, unsigned worker) {
        return SearchSnapshot(fileSystem, snapshots[index], pattern, request.kinds,
                              decoders[worker]);
      },
      [&](std::size_t index, SnapshotOutcome outcome) {
        if (outcome.refusal.empty()) {
          const LibrarySnapshot& snapshot = snapshots[index];
          report.Found(snapshot, outcome.computer, outcome.encoding, outcome.hits);
          hits += outcome.hits.size();
          while (!outcome.cursor.done) {
            if (request.stop != nullptr && request.stop->load()) return false;
            outcome.hits.clear();
            if (!pattern.Find(outcome.layout, request.kinds, rest, outcome.hits, outcome.cursor)) {
              report.Skipped(snapshot, UnreadableReason());
              break;
            }
            if (!outcome.hits.empty()) {
              report.FoundMore(snapshot, outcome.computer, outcome.encoding, outcome.hits);
            }
            hits += outcome.hits.size();
          }
        } else {
          report.Skipped(snapshots[index], outcome.refusal);
        }
        return true;
      },
      request.stop, request.threadsReading);
  return hits;
}

}  // namespace mv
