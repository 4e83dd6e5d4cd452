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

// What one snapshot gave, waiting for its turn to be reported.
struct SnapshotOutcome {
  std::string computer;
  NameEncoding encoding = NameEncoding::kAnsi;
  std::vector<FoundEntry> hits;
  std::string refusal;  // empty when the file was accepted
};

SnapshotOutcome SearchSnapshot(FileSystem& fileSystem, const LibrarySnapshot& snapshot,
                               const SnapshotPattern& pattern, EntryKinds kinds,
                               CodePageDecoder& decoder, SnapshotText& text) {
  SnapshotOutcome outcome;
  SnapshotLayout layout;
  if (ReadSnapshotLayout(fileSystem, snapshot.path, text, layout, outcome.refusal)) {
    outcome.computer = layout.computer;
    outcome.encoding = layout.encoding;
    pattern.Find(layout, kinds, decoder, outcome.hits);
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

void SnapshotPattern::Find(const SnapshotLayout& layout, EntryKinds kinds, CodePageDecoder& decoder,
                           std::vector<FoundEntry>& hits) const {
  const bool ansi = layout.encoding == NameEncoding::kAnsi;
  if (ansi && !ansiCanMatch_) return;
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
  for (const ShareSection& share : layout.shares) {
    const std::string_view body = share.entries;
    if (literal.empty()) {
      ForEachEntryIn(body, layout.lines,
                     [&](std::string_view, const SnapshotEntry& entry) { check(share, entry); });
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
      if (at - start < line.size() && ReadEntry(line, entry)) check(share, entry);
      at = end > at ? end : at + 1;  // a run that begins with a line end stands on no line
    }
  }
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
  // One file's bytes and one decoder per worker, reused for every snapshot that worker reads.
  std::vector<SnapshotText> texts(workers);
  std::vector<CodePageDecoder> decoders(workers, ansiNames);
  std::size_t hits = 0;
  RunInOrder<SnapshotOutcome>(
      snapshots.size(), workers,
      [&](std::size_t index, unsigned worker) {
        return SearchSnapshot(fileSystem, snapshots[index], pattern, request.kinds,
                              decoders[worker], texts[worker]);
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
      request.stop, request.threadsReading);
  return hits;
}

}  // namespace mv
