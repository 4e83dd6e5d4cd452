// Find with capture indexes, entry histories, and the indexes' update: see indexed_find.h.
#include "query/indexed_find.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

#include "core/snapshot_library.h"
#include "core/text.h"
#include "query/export_file.h"

namespace mv {
namespace {

std::string ComputerKey(const LibrarySnapshot& snapshot) {
  std::string key;
  for (const char c : snapshot.group) key += AsciiLower(c);
  key += '\0';
  for (const char c : snapshot.computer) key += AsciiLower(c);
  return key;
}

bool StampOf(FileSystem& fileSystem, const std::string& path, FileStamp& stamp) {
  IoError error = IoError::kNone;
  const std::unique_ptr<InputFile> file = fileSystem.OpenExclusive(path, error);
  if (file == nullptr) return false;
  stamp = file->stamp();
  return true;
}

// A computer's index as find reads it, and which snapshots of the list it answers for. The
// file is read in pages as the search goes, never whole.
struct OpenIndex {
  IndexView view;
  bool usable = false;
  std::unordered_map<std::string, std::uint32_t> positions;  // by file name

  void Load(FileSystem& fileSystem, const std::string& directory, const LibrarySnapshot& any) {
    const std::string path = SnapshotFilePath(directory, IndexFileName(any.group, any.computer));
    IoError error = IoError::kNone;
    std::shared_ptr<InputFile> file = fileSystem.OpenExclusive(path, error);
    usable = file != nullptr && view.Open(std::move(file));
    if (!usable) return;
    for (std::uint32_t i = 0; i < view.captures().size(); ++i) {
      positions.emplace(view.captures()[i].fileName, i);
    }
  }

  // The capture's position in the index, when the index holds the file as it is now.
  int PositionOf(FileSystem& fileSystem, const LibrarySnapshot& snapshot) const {
    if (!usable) return -1;
    const auto found = positions.find(snapshot.fileName);
    FileStamp stamp;
    if (found == positions.end() || !StampOf(fileSystem, snapshot.path, stamp) ||
        !(stamp == view.captures()[found->second].stamp)) {
      return -1;
    }
    return static_cast<int>(found->second);
  }
};

struct IndexMatch {
  IndexedEntry entry;
  std::vector<CaptureRange> ranges;
};

// The index's entries that match, in the order of their share and path; empty, with the
// index no longer usable, when the index turns out damaged as it is read or more than
// kMaxIndexMatches match (the computer's snapshots are then read).
std::vector<IndexMatch> MatchesOf(OpenIndex& index, const SnapshotPattern& pattern,
                                  EntryKinds kinds, CodePageDecoder& decoder) {
  std::vector<IndexMatch> matches;
  const std::vector<std::uint32_t> ids =
      index.view.Matching(pattern, kinds, decoder, kMaxIndexMatches);
  if (ids.size() > kMaxIndexMatches) {
    index.usable = false;
    return {};
  }
  for (const std::uint32_t id : ids) {
    if (index.view.broken()) break;
    matches.push_back({index.view.Entry(id), index.view.Ranges(id)});
  }
  if (index.view.broken()) {
    index.usable = false;
    return {};
  }
  std::sort(matches.begin(), matches.end(), [](const IndexMatch& a, const IndexMatch& b) {
    return std::tie(a.entry.entry.share, a.entry.entry.path) <
           std::tie(b.entry.entry.share, b.entry.entry.path);
  });
  return matches;
}

bool Holds(const std::vector<CaptureRange>& ranges, std::uint32_t position) {
  for (const CaptureRange& r : ranges) {
    if (r.first <= position && position <= r.last) return true;
  }
  return false;
}

CodePageDecoder AnsiNamesOf(const FindRequest& request) {
  CodePageDecoder decoder;
  if (request.ansiNames != nullptr) {
    decoder = *request.ansiNames;
  } else {
    decoder.Open(kDefaultCodePage);
  }
  return decoder;
}

// The runs of one computer's snapshots in the list, each newest first.
std::vector<std::vector<const LibrarySnapshot*>> ByComputer(
    const std::vector<LibrarySnapshot>& snapshots) {
  std::vector<std::vector<const LibrarySnapshot*>> computers;
  std::map<std::string, std::size_t> seen;
  for (const LibrarySnapshot& snapshot : snapshots) {
    const auto [at, added] = seen.emplace(ComputerKey(snapshot), computers.size());
    if (added) computers.emplace_back();
    computers[at->second].push_back(&snapshot);
  }
  return computers;
}

// Collects what FindInSnapshots reports, snapshot by snapshot.
class CollectedReport final : public FindReport {
 public:
  explicit CollectedReport(HistoryReport& next) : next_(next) {}
  void Found(const LibrarySnapshot& snapshot, std::string_view computer, NameEncoding encoding,
             const std::vector<FoundEntry>& hits) override {
    Outcome& outcome = outcomes[snapshot.fileName];
    outcome.read = true;
    outcome.computer = computer;
    outcome.encoding = encoding;
    outcome.hits.insert(outcome.hits.end(), hits.begin(), hits.end());
  }
  void Skipped(const LibrarySnapshot& snapshot, std::string_view reason) override {
    next_.Skipped(snapshot, reason);
  }
  struct Outcome {
    bool read = false;
    std::string computer;
    NameEncoding encoding = NameEncoding::kAnsi;
    std::vector<FoundEntry> hits;
  };
  std::map<std::string, Outcome> outcomes;

 private:
  HistoryReport& next_;
};

}  // namespace

std::size_t FindWithIndexes(FileSystem& fileSystem, const std::string& directory,
                            const std::vector<LibrarySnapshot>& snapshots,
                            const FindRequest& request, FindReport& report, IndexUse* use) {
  CodePageDecoder decoder = AnsiNamesOf(request);
  const SnapshotPattern pattern(request.pattern, decoder);
  std::size_t hits = 0;
  std::vector<LibrarySnapshot> toRead;
  const auto readPending = [&] {
    if (toRead.empty()) return;
    hits += FindInSnapshots(fileSystem, toRead, request, report);
    if (use != nullptr) use->read += toRead.size();
    toRead.clear();
  };
  std::string key;
  OpenIndex index;
  std::unique_ptr<std::vector<IndexMatch>> matches;
  std::vector<FoundEntry> found;
  for (const LibrarySnapshot& snapshot : snapshots) {
    if (request.stop != nullptr && request.stop->load()) break;
    if (ComputerKey(snapshot) != key) {
      key = ComputerKey(snapshot);
      index = OpenIndex();
      index.Load(fileSystem, directory, snapshot);
      matches.reset();
    }
    int position = index.PositionOf(fileSystem, snapshot);
    if (position >= 0 && matches == nullptr) {  // before any hit of the computer is given
      matches = std::make_unique<std::vector<IndexMatch>>(
          MatchesOf(index, pattern, request.kinds, decoder));
      if (!index.usable) position = -1;
    }
    if (position < 0) {
      toRead.push_back(snapshot);
      continue;
    }
    readPending();
    const IndexedCapture& capture = index.view.captures()[static_cast<std::size_t>(position)];
    found.clear();
    bool first = true;
    const auto give = [&] {
      if (first) {
        report.Found(snapshot, capture.computer, capture.encoding, found);
      } else if (!found.empty()) {
        report.FoundMore(snapshot, capture.computer, capture.encoding, found);
      }
      hits += found.size();
      first = false;
      found.clear();
    };
    for (const IndexMatch& match : *matches) {
      if (!Holds(match.ranges, static_cast<std::uint32_t>(position))) continue;
      found.push_back(match.entry.entry);
      if (found.size() == kFindHitsAtOnce) give();
    }
    give();
    if (use != nullptr) ++use->indexed;
  }
  readPending();
  return hits;
}

std::size_t FindHistories(FileSystem& fileSystem, const std::string& directory,
                          const std::vector<LibrarySnapshot>& snapshots, const FindRequest& request,
                          bool goneOnly, HistoryReport& report, IndexUse* use) {
  CodePageDecoder decoder = AnsiNamesOf(request);
  const SnapshotPattern pattern(request.pattern, decoder);
  std::size_t reported = 0;
  for (std::vector<const LibrarySnapshot*> captures : ByComputer(snapshots)) {
    if (request.stop != nullptr && request.stop->load()) break;
    std::reverse(captures.begin(), captures.end());  // oldest first
    OpenIndex index;
    index.Load(fileSystem, directory, *captures.front());
    // Where each index position stands in captures, and which captures need reading.
    std::vector<int> current(index.usable ? index.view.captures().size() : 0, -1);
    std::vector<bool> known(captures.size(), false);
    for (std::size_t i = 0; i < captures.size(); ++i) {
      const int position = index.PositionOf(fileSystem, *captures[i]);
      if (position >= 0) {
        current[static_cast<std::size_t>(position)] = static_cast<int>(i);
        known[i] = true;
      }
    }
    std::vector<IndexMatch> matches;
    if (index.usable) matches = MatchesOf(index, pattern, request.kinds, decoder);
    if (!index.usable) std::fill(known.begin(), known.end(), false);  // damaged: read them all
    std::vector<LibrarySnapshot> toRead;
    for (std::size_t i = 0; i < captures.size(); ++i) {
      if (!known[i]) toRead.push_back(*captures[i]);
    }
    CollectedReport collected(report);
    FindInSnapshots(fileSystem, toRead, request, collected);
    if (use != nullptr) {
      use->read += toRead.size();
      use->indexed += captures.size() - toRead.size();
    }

    struct Seen {
      EntryHistory history;
      std::vector<std::uint32_t> positions;
      std::uint32_t newest = 0;  // the latest of positions
    };
    std::vector<Seen> seen;
    std::unordered_map<std::string, std::size_t> byKey;
    const auto add = [&](const std::string& computer, NameEncoding encoding,
                         const FoundEntry& entry, std::uint32_t position) {
      const std::string entryKey =
          EntryKey(encoding, entry.isDirectory, entry.share, entry.path, entry.size, entry.created);
      const auto [at, added] = byKey.emplace(entryKey, seen.size());
      if (added) seen.push_back({{computer, encoding, entry}, {}});
      Seen& s = seen[at->second];
      if (s.positions.empty() || position > s.newest) {
        s.history.computer = computer;
        s.newest = position;
      }
      s.positions.push_back(position);
    };
    if (index.usable) {
      for (const IndexMatch& match : matches) {
        for (const CaptureRange& r : match.ranges) {
          for (std::uint32_t p = r.first; p <= r.last; ++p) {
            if (current[p] < 0) continue;
            add(index.view.captures()[p].computer, match.entry.encoding, match.entry.entry,
                static_cast<std::uint32_t>(current[p]));
          }
        }
      }
    }
    for (std::size_t i = 0; i < captures.size(); ++i) {
      if (known[i]) continue;
      const auto outcome = collected.outcomes.find(captures[i]->fileName);
      if (outcome == collected.outcomes.end() || !outcome->second.read) continue;
      known[i] = true;
      for (const FoundEntry& hit : outcome->second.hits) {
        add(outcome->second.computer, outcome->second.encoding, hit, static_cast<std::uint32_t>(i));
      }
    }
    std::size_t newest = captures.size();
    while (newest > 0 && !known[newest - 1]) --newest;
    for (Seen& s : seen) {
      std::sort(s.positions.begin(), s.positions.end());
      s.positions.erase(std::unique(s.positions.begin(), s.positions.end()), s.positions.end());
      s.history.first = captures[s.positions.front()];
      s.history.last = captures[s.positions.back()];
      s.history.captures = s.positions.size();
      s.history.inNewest = newest > 0 && s.positions.back() == newest - 1;
    }
    std::sort(seen.begin(), seen.end(), [](const Seen& a, const Seen& b) {
      return std::tie(a.history.entry.share, a.history.entry.path, a.positions.front()) <
             std::tie(b.history.entry.share, b.history.entry.path, b.positions.front());
    });
    for (const Seen& s : seen) {
      if (goneOnly && s.history.inNewest) continue;
      report.Seen(s.history);
      ++reported;
    }
  }
  return reported;
}

std::vector<IndexUpdate> UpdateIndexes(FileSystem& fileSystem, const std::string& directory,
                                       const SnapshotChoice& choice, bool checkPages) {
  SnapshotChoice all = choice;
  all.latestOnly = false;
  const std::vector<LibrarySnapshot> library =
      ChooseSnapshots(ListLibrarySnapshots(fileSystem, directory), all);
  std::vector<IndexUpdate> updates;
  std::set<std::string> kept;
  for (std::vector<const LibrarySnapshot*> captures : ByComputer(library)) {
    std::reverse(captures.begin(), captures.end());
    IndexUpdate update;
    update.group = captures.front()->group;
    update.computer = captures.front()->computer;
    update.fileName = IndexFileName(update.group, update.computer);
    kept.insert(update.fileName);
    const std::string path = SnapshotFilePath(directory, update.fileName);
    // The captures it holds that are still there as they were, in their order.
    std::unordered_map<std::string, std::size_t> order;
    std::vector<FileStamp> stamps(captures.size());
    std::vector<bool> stamped(captures.size());
    for (std::size_t i = 0; i < captures.size(); ++i) {
      order.emplace(captures[i]->fileName, i);
      stamped[i] = StampOf(fileSystem, captures[i]->path, stamps[i]);
    }
    if (std::any_of(stamps.begin(), stamps.end(),
                    [](const FileStamp& stamp) { return stamp.size > kMaxIndexedSnapshotBytes; })) {
      update.failure = "a capture is larger than " + std::to_string(kMaxIndexedSnapshotBytes) +
                       " bytes: find reads this computer's snapshots";
      fileSystem.Remove(path);
      updates.push_back(std::move(update));
      continue;
    }
    {
      // An index that holds every capture as it is now stays as it is.
      IoError error = IoError::kNone;
      std::shared_ptr<InputFile> file = fileSystem.OpenExclusive(path, error);
      IndexView view;
      bool current = file != nullptr && view.Open(std::move(file)) &&
                     view.captures().size() == captures.size();
      for (std::size_t i = 0; current && i < captures.size(); ++i) {
        current = stamped[i] && view.captures()[i].fileName == captures[i]->fileName &&
                  view.captures()[i].stamp == stamps[i];
      }
      current = current && (!checkPages || view.CheckPages());
      if (current) {
        update.captures = captures.size();
        update.entries = view.entryCount();
        update.bytes = view.fileBytes();
        update.stringBytes = view.stringBytes();
        updates.push_back(std::move(update));
        continue;
      }
    }
    std::vector<char> bytes;
    const bool read = fileSystem.ReadWholeExclusive(path, kMaxIndexBytes, bytes) == IoError::kNone;
    const std::string_view held(bytes.data(), read ? bytes.size() - 1 : 0);
    CaptureIndex index;
    const bool loaded = read && index.Decode(held);
    const std::uint64_t loadedBytes = loaded ? held.size() : 0;
    bytes = {};
    std::vector<bool> stillThere(captures.size(), false);
    for (std::size_t j = index.captures().size(); j-- > 0;) {
      const IndexedCapture& capture = index.captures()[j];
      const auto at = order.find(capture.fileName);
      if (at != order.end() && stamped[at->second] && stamps[at->second] == capture.stamp) {
        stillThere[at->second] = true;
      } else {
        index.RemoveCapture(j);
        ++update.dropped;
      }
    }
    std::size_t last = 0;
    for (const IndexedCapture& capture : index.captures()) {
      const std::size_t at = order.at(capture.fileName);
      if (at < last) {  // an order this library no longer gives: start again
        index = CaptureIndex();
        std::fill(stillThere.begin(), stillThere.end(), false);
        break;
      }
      last = at;
    }
    std::size_t position = 0;
    for (std::size_t i = 0; i < captures.size(); ++i) {
      if (stillThere[i]) {
        ++position;
        continue;
      }
      SnapshotLayout layout;
      std::string reason;
      if (ReadSnapshotLayout(fileSystem, captures[i]->path, layout, reason) &&
          index.InsertCapture(
              position,
              {captures[i]->fileName, layout.file->stamp(), layout.computer, layout.encoding},
              layout)) {
        ++position;
        ++update.added;
      } else {
        ++update.left;
      }
    }
    update.captures = index.captures().size();
    update.entries = index.entryCount();
    if (update.captures == 0) {
      fileSystem.Remove(path);
    } else if (!loaded || update.added > 0 || update.dropped > 0) {
      const std::string encoded = index.Encode(update.failure);
      if (!encoded.empty()) {
        const IoError error =
            WriteWholeFile(fileSystem, path, [&](ByteSink& sink) { return sink.Write(encoded); });
        if (error != IoError::kNone) update.failure = DescribeIoError(error);
      }
      if (!update.failure.empty()) fileSystem.Remove(path);  // no index rather than an old one
      update.bytes = encoded.size();
      IndexView view;
      if (view.Open(encoded)) update.stringBytes = view.stringBytes();
    } else {
      update.bytes = loadedBytes;
    }
    updates.push_back(std::move(update));
  }
  // Indexes of computers that have no snapshots left.
  if (choice.computer.empty() && choice.group.empty()) {
    IoError error = IoError::kNone;
    std::unique_ptr<DirectoryListing> listing = fileSystem.ListNames(
        SnapshotFilePath(directory, "*" + std::string(kIndexExtension)), error);
    std::vector<std::string> orphans;
    DirEntry entry;
    while (listing != nullptr && listing->Next(entry)) {
      if ((entry.attributes & kAttrDirectory) == 0 && entry.name.size() > kIndexExtension.size() &&
          EqualsIgnoreCase(entry.name.substr(entry.name.size() - kIndexExtension.size()),
                           kIndexExtension) &&
          kept.count(entry.name) == 0) {
        orphans.push_back(entry.name);
      }
    }
    listing.reset();
    for (const std::string& name : orphans) fileSystem.Remove(SnapshotFilePath(directory, name));
  }
  return updates;
}

std::string EntryPresentText(const EntryHistory& history) {
  return "present " + history.first->dateText + " - " + history.last->dateText + ", " +
         std::to_string(history.captures) + (history.captures == 1 ? " capture" : " captures");
}

}  // namespace mv
