// Find across snapshots: every entry whose name matches a pattern, in every snapshot of a
// list, read a few at a time on worker threads and reported in list order on the caller's
// thread. Memory holds a few pieces of a file per worker and the hits of the few snapshots
// in flight, however large the files are and however many snapshots the list has.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page_text.h"
#include "core/library_snapshots.h"
#include "platform/file_system.h"
#include "query/name_pattern.h"
#include "query/snapshot_scan.h"

namespace mv {

enum class EntryKinds { kAll, kDirectories, kFiles };

struct FoundEntry {
  std::string share;
  std::string path;  // share-relative, with the name: "Sub\Deep\c.txt"
  bool isDirectory = false;
  std::string size;     // as written
  std::string created;  // month.day.year as written
};

struct FindRequest {
  std::string pattern;  // as NamePattern takes it, in UTF-8
  EntryKinds kinds = EntryKinds::kAll;
  unsigned threads = 0;                     // 0: one per processor, at most kMaxWorkers
  const std::atomic<bool>* stop = nullptr;  // once set, nothing more is read or reported
  // When given, how many of the threads read at the moment (at least one); it may be raised
  // during the search, and the others join when the next snapshot is reported.
  const std::atomic<unsigned>* threadsReading = nullptr;
  // Names of snapshots that declare no encoding are in this code page; null: kDefaultCodePage.
  const CodePageDecoder* ansiNames = nullptr;
};

// The hits of one snapshot held at once: a snapshot with more is searched on in batches of
// this many as they are reported, so memory does not grow with its size.
inline constexpr std::size_t kFindHitsAtOnce = std::size_t{1} << 14;

// Called on the thread that called FindInSnapshots, one snapshot after the other in list
// order.
class FindReport {
 public:
  virtual ~FindReport() = default;
  // An accepted snapshot, its COMPUTER value (the live paths' computer), the encoding of
  // its names and its hits in file order; hits may be empty. Texts are as written.
  virtual void Found(const LibrarySnapshot& snapshot, std::string_view computer,
                     NameEncoding encoding, const std::vector<FoundEntry>& hits) = 0;
  // Further hits of the snapshot that Found was called for last, which had kFindHitsAtOnce
  // of them; in file order after those. By default they are Found again.
  virtual void FoundMore(const LibrarySnapshot& snapshot, std::string_view computer,
                         NameEncoding encoding, const std::vector<FoundEntry>& hits) {
    Found(snapshot, computer, encoding, hits);
  }
  // A snapshot that cannot be read or is refused as corrupted, with the reason.
  virtual void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) = 0;
};

// Searches every snapshot of the list; returns the number of hits.
std::size_t FindInSnapshots(FileSystem& fileSystem, const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report);

// Where the search of one snapshot stands: the share section and the offset in it where it
// goes on.
struct FindCursor {
  std::size_t section = 0;
  std::uint64_t offset = 0;
  bool done = false;
};

// A pattern made ready for snapshots of either encoding. Names are matched in UTF-8: a name
// in the ANSI code page that holds a byte above 0x7F is decoded first, so "résumé" typed in
// UTF-8 finds the name in an old snapshot and in a new one alike.
class SnapshotPattern {
 public:
  SnapshotPattern(std::string_view utf8Pattern, const CodePageDecoder& ansiNames);

  // The search of one accepted snapshot from cursor on: its hits appended to hits, in file
  // order, until it has at least maxHits (then cursor says where to go on) or the snapshot
  // ends (cursor.done). decoder is scratch, a copy of ansiNames for each thread. False when
  // the file cannot be read.
  bool Find(const SnapshotLayout& layout, EntryKinds kinds, CodePageDecoder& decoder,
            std::vector<FoundEntry>& hits, FindCursor& cursor,
            std::size_t maxHits = kFindHitsAtOnce) const;

  // What the search of a snapshot of encoding looks for first, and whether any name there
  // can match at all.
  std::string_view Literal(NameEncoding encoding) const {
    return encoding == NameEncoding::kAnsi ? ansiLiteral_ : utf8Literal_;
  }
  bool CanMatch(NameEncoding encoding) const {
    return encoding == NameEncoding::kUtf8 || ansiCanMatch_;
  }
  // Whether Find would report an entry of this name in a snapshot of encoding: the name holds
  // the plain run and matches. For an index, which holds names without their lines.
  bool MatchesName(std::string_view name, NameEncoding encoding, CodePageDecoder& decoder,
                   std::string& scratch) const;

 private:
  bool Matches(std::string_view name, NameEncoding encoding, CodePageDecoder& decoder,
               std::string& scratch) const;

  NamePattern pattern_;
  // The text every matching line holds, looked for first: the pattern's longest plain run,
  // for ANSI snapshots spelt in the code page (or, where it cannot be, its longest ASCII
  // run, which any code page keeps).
  std::string utf8Literal_, ansiLiteral_;
  bool ansiCanMatch_ = true;  // false when the run has a character the code page lacks
};

}  // namespace mv
