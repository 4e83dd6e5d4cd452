// The search behind the Find in All Snapshots window: the snapshots its choices pick, the
// search of them on a thread of its own (the engine of `mirrorvault-cli find`), its hits and
// counts handed over in batches, and the window's sortable list of the hits taken.
//
// How the window uses it (everything but the notify callback on the window's thread):
//   - Find: FindSearch(fileSystem, SnapshotsToSearch(library, choices), choices, notify), with
//     notify posting a message to the window; at that message Take() the batch and Add() it
//     to the FindResults shown, and once the first snapshot's outcome is drawn,
//     UseAllThreads(); Stop: Stop(). Destroying the search stops it and waits.
//   - The list is virtual: it asks for Cell(row, column) and shows the text in its encoding.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/library_snapshots.h"
#include "core/snapshot_format.h"
#include "platform/file_system.h"
#include "query/snapshot_find.h"

namespace mv {

// What the filter box offers: every snapshot, one group or one computer.
struct FindScope {
  enum class Kind { kAll, kGroup, kComputer };
  Kind kind = Kind::kAll;
  std::string name;  // as the snapshot file names give it
  bool operator==(const FindScope&) const = default;
};

// The scopes of a library: all, then each group, then each computer, each name once
// (ignoring case) in list order. A computer without a group is offered as a computer only.
std::vector<FindScope> ScopesOfLibrary(const std::vector<LibrarySnapshot>& library);

// What the list shows: every hit in every capture; each entry once per computer with the
// captures that held it; or only the entries a computer's newest capture no longer holds.
enum class FindShow { kEveryHit, kEachEntry, kGone };

struct FindChoices {
  std::string name;         // as NamePattern takes it
  bool newestOnly = false;  // every hit only: each entry once looks at every capture
  EntryKinds kinds = EntryKinds::kAll;
  FindScope scope;
  FindShow show = FindShow::kEveryHit;
  // The snapshots folder, whose capture indexes answer for the snapshots they hold as they
  // are; empty: every snapshot is read.
  std::string directory;
};

// The snapshots of the library the choices search, in list order.
std::vector<LibrarySnapshot> SnapshotsToSearch(const std::vector<LibrarySnapshot>& library,
                                               const FindChoices& choices);

// A searched snapshot with hits.
struct FindHitSnapshot {
  std::string path;      // its file (UTF-8)
  std::string dateText;  // its tree item's text (UTF-8)
  std::string computer;  // its COMPUTER value (snapshot text)
  NameEncoding encoding = NameEncoding::kAnsi;
};

struct FindHit {
  std::string name;        // the entry's whole name (snapshot text)
  std::string folder;      // its share and directories: "Docs\Sub"
  std::string liveFolder;  // \\COMPUTER\Docs\Sub
  bool isDirectory = false;
  std::string size;            // as written; empty for a directory
  std::string created;         // month.day.year as written
  std::uint32_t snapshot = 0;  // index among the snapshots with hits, in the order found
  // Each entry once: "present 03.11.2026 09:00:00 - 05.12.2026 09:00:00, 33 captures" (gone:
  // "last seen ..., present ..."), UTF-8; the captures counted; its snapshot is the last.
  std::string seen;
  std::size_t captures = 0;
};

// What the search did since its last batch was taken.
struct FindBatch {
  std::vector<FindHitSnapshot> snapshots;  // the next snapshots with hits, in order
  std::vector<FindHit> hits;
  std::size_t searched = 0;             // snapshots searched or skipped, all together
  std::vector<std::string> unreadable;  // "<path>: <reason>" of each snapshot skipped
  bool finished = false;                // the search has ended (done or stopped)

  // Adds a later batch of the same search to this one, as if both were taken at once.
  void Append(FindBatch&& later);
};

class FindSearch {
 public:
  // Starts the search of snapshots. notify is called on the search's thread each time a
  // batch becomes ready after the last was taken, so at most once per Take(), and once more
  // when the search ends.
  FindSearch(FileSystem& fileSystem, std::vector<LibrarySnapshot> snapshots,
             const FindChoices& choices, std::function<void()> notify);
  ~FindSearch();
  FindSearch(const FindSearch&) = delete;
  FindSearch& operator=(const FindSearch&) = delete;

  // Nothing more is read or reported; the batch then says finished.
  void Stop() { stop_.store(true); }
  // The search starts with one thread reading, so that on a machine of few processors the
  // first snapshot's hits reach the window (and are drawn) without the other threads taking
  // the processors; the window calls this once it has shown them, and the rest join.
  void UseAllThreads() { threadsReading_.store(std::numeric_limits<unsigned>::max()); }
  bool stopped() const { return stop_.load(); }
  std::size_t total() const { return total_; }
  // Everything new since the last call.
  FindBatch Take();

 private:
  class Report;
  class Histories;
  void Run(FileSystem& fileSystem, std::vector<LibrarySnapshot> snapshots, FindRequest request,
           FindChoices choices);
  // With mutex_ held: notify unless a batch is already waiting to be taken.
  void Changed(std::unique_lock<std::mutex>& lock);

  std::function<void()> notify_;
  std::size_t total_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<unsigned> threadsReading_{1};
  std::mutex mutex_;
  FindBatch pending_;
  bool notified_ = false;
  std::thread thread_;  // last: it starts at once and reads the members above
};

// Columns of the hit list.
enum FindColumn {
  kFindName,
  kFindFolder,
  kFindSize,
  kFindCreated,
  kFindSnapshot,
  kFindComputer,
  kFindSeen
};
inline constexpr int kFindColumnCount = 7;

// The unreadable snapshots the progress text names; more are counted only.
inline constexpr std::size_t kNamedUnreadable = 3;

// The hits taken so far, in the order shown, and the counts for the progress text.
class FindResults {
 public:
  void Clear();
  // Adds a batch: its hits take their places in the order shown.
  void Add(FindBatch&& batch);

  std::size_t rowCount() const { return order_.size(); }
  const FindHit& Hit(std::size_t row) const { return hits_[order_[row]]; }
  const FindHitSnapshot& SnapshotOf(std::size_t row) const { return snapshots_[Hit(row).snapshot]; }
  struct Cell {
    std::string_view text;
    NameEncoding encoding = NameEncoding::kUtf8;
  };
  // The text of a cell and the encoding it is in.
  Cell CellOf(std::size_t row, int column) const;

  // A click on a column header: that column ascending, or the other way at a second click.
  void ClickColumn(int column);
  int sortColumn() const { return sortColumn_; }  // -1: in the order found
  bool descending() const { return descending_; }

  // "Searching... 3 of 10 snapshots, 12 found", then "Done"/"Stopped" with the same counts;
  // unreadable snapshots are counted and the first kNamedUnreadable named.
  std::string ProgressText(std::size_t total, bool finished, bool stopped) const;
  std::size_t searched() const { return searched_; }
  const std::vector<std::string>& unreadable() const { return unreadable_; }

 private:
  bool Before(std::size_t a, std::size_t b) const;

  std::vector<FindHitSnapshot> snapshots_;
  std::vector<FindHit> hits_;
  std::vector<std::size_t> order_;  // indexes into hits_, as shown
  std::size_t searched_ = 0;
  std::vector<std::string> unreadable_;
  int sortColumn_ = -1;
  bool descending_ = false;
};

}  // namespace mv
