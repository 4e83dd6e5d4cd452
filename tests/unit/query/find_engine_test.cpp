// The reading behind find, diff and export: entries read whatever the line ends, and the
// search reported in list order from several workers, stopping when asked.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/library_snapshots.h"
#include "core/loaded_snapshot.h"
#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "query/ordered_work.h"
#include "query/snapshot_find.h"
#include "query/snapshot_scan.h"
#include "snapshot_texts.h"
#include "test_support.h"

namespace mv {
namespace {

const std::string kHeader = test::HeaderText();

TEST(SnapshotScan, ReadsEntriesWhateverTheLineEnds) {
  const std::string body =
      test::SnapshotText({"SHARENAME: Docs", "a;;f;;1;;1.1.2020", "", "Sub;;d;;0;;1.1.2020",
                          "Sub\\b c.txt;;F;;2;;1.1.2020", "not an entry", "END",
                          "lost;;f;;1;;1.1.2020", "SHARENAME: Open", "open;;f;;1;;1.1.2020"});
  auto replaced = [&](const std::string& with) {
    std::string text = kHeader + body;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += with.size()) {
      text.replace(at, 2, with);
    }
    return text;
  };
  std::string lone = kHeader + body;
  lone.replace(lone.find("\r\nSub;;d"), 2, "\r");  // one CR alone among CR LF
  for (const auto& [what, text] :
       {std::pair{"CR LF", kHeader + body}, std::pair{"LF", replaced("\n")},
        std::pair{"CR", replaced("\r")}, std::pair{"lone CR", lone}}) {
    SnapshotLayout layout;
    ASSERT_EQ(ScanSnapshot(text, layout), LoadResult::kAccepted) << what;
    std::vector<std::string> read;
    ForEachEntry(layout, [&](const ShareSection& share, const SnapshotEntry& entry) {
      read.push_back(std::string(share.name) + ":" + std::string(entry.directory) + "|" +
                     std::string(entry.name) + (entry.isDirectory ? "/" : ""));
    });
    EXPECT_EQ(read, (std::vector<std::string>{"Docs:|a", "Docs:|Sub/", "Docs:Sub|b c.txt"}))
        << what;
  }
}

// A search stopped at every few hundred hits and taken up again finds what one pass finds,
// over sections read in many pieces, lines running on from one piece into the next.
TEST(FindEngine, ASearchTakenUpAgainFindsWhatOnePassFinds) {
  std::string text = kHeader;
  for (const char* share : {"SHARENAME: One\r\n", "SHARENAME: Two\r\n"}) {
    text += share;
    for (int i = 0; i < 20000; ++i) {
      text += "Folder " + std::to_string(i % 13) + "\\" + (i % 3 == 0 ? "quokka " : "note ") +
              std::to_string(i) + ".txt;;f;;" + std::to_string(i) + ";;1.1.2020\r\n";
    }
  }
  text += "END\r\n";
  SnapshotLayout layout;
  ASSERT_EQ(ScanSnapshot(text, layout), LoadResult::kAccepted);
  ASSERT_GT(text.size(), 4 * kReadPieceBytes);
  CodePageDecoder decoder = test::Latin1();
  for (const char* pattern : {"*quokka*", "*"}) {
    const SnapshotPattern search(pattern, decoder);
    std::vector<FoundEntry> whole, part;
    FindCursor once;
    ASSERT_TRUE(search.Find(layout, EntryKinds::kAll, decoder, whole, once, SIZE_MAX));
    EXPECT_TRUE(once.done);
    std::vector<std::string> pieces, all;
    int calls = 0;
    for (FindCursor cursor; !cursor.done; ++calls) {
      part.clear();
      ASSERT_TRUE(search.Find(layout, EntryKinds::kAll, decoder, part, cursor, 500));
      for (const FoundEntry& hit : part) pieces.push_back(hit.share + "\\" + hit.path);
    }
    for (const FoundEntry& hit : whole) all.push_back(hit.share + "\\" + hit.path);
    EXPECT_EQ(pieces, all) << pattern;
    EXPECT_GT(calls, 4) << pattern;
    EXPECT_EQ(all.size(), std::string(pattern) == "*" ? 40000u : 13334u);
  }
}

class CountingReport final : public FindReport {
 public:
  void Found(const LibrarySnapshot& snapshot, std::string_view computer, NameEncoding,
             const std::vector<FoundEntry>& hits) override {
    order.push_back(snapshot.fileName + " " + std::string(computer) + " " +
                    std::to_string(hits.size()));
    if (stopAfter != 0 && order.size() == stopAfter) stop = true;
  }
  void Skipped(const LibrarySnapshot& snapshot, std::string_view) override {
    order.push_back(snapshot.fileName + " skipped");
  }
  std::vector<std::string> order;
  std::size_t stopAfter = 0;
  std::atomic<bool> stop{false};
};

TEST(FindEngine, ReportsInListOrderFromSeveralWorkersAndStops) {
  test::ScratchDir dir;
  MemoryFileSystem memory{MatchesNamePattern};  // the same files in another file system
  std::vector<LibrarySnapshot> snapshots;
  std::vector<std::string> expected;
  for (int i = 0; i < 12; ++i) {
    const std::string name = "WG.PC" + std::to_string(i) + ".01.01.2026.00.00.00.mirvaul";
    std::string text = kHeader + "SHARENAME: S\r\n";
    for (int k = 0; k <= i; ++k) text += "hit" + std::to_string(k) + ".txt;;f;;1;;1.1.2020\r\n";
    text = i == 5 ? "broken" : text + "END\r\n";
    test::WriteTextFile(dir.Join(name), text);
    memory.files[dir.Join(name)] = text;
    snapshots.push_back({dir.Join(name), name, "WG", "", ""});
    expected.push_back(name + (i == 5 ? " skipped" : " PC7 " + std::to_string(i + 1)));
  }
  CountingReport all;
  FindRequest request{"HIT*", EntryKinds::kFiles, 3, nullptr};
  EXPECT_EQ(FindInSnapshots(PlatformFileSystem(), snapshots, request, all), 78u - 6u);
  EXPECT_EQ(all.order, expected);

  // Files of another file system are read through it, not mapped.
  CountingReport read;
  request.threads = 1;  // the in-memory file system is not made for threads
  EXPECT_EQ(FindInSnapshots(memory, snapshots, request, read), 78u - 6u);
  EXPECT_EQ(read.order, expected);

  CountingReport stopped;
  request.threads = 3;
  stopped.stopAfter = 3;
  request.stop = &stopped.stop;
  FindInSnapshots(PlatformFileSystem(), snapshots, request, stopped);
  EXPECT_EQ(stopped.order, std::vector<std::string>(expected.begin(), expected.begin() + 3));
}

// The window's search starts with one worker reading and lets the others join later: until
// then no other worker may start an item, and raising the number mid-way must not stall.
TEST(FindEngine, OnlyTheWorkersAllowedStartItemsAndTheOthersJoinWhenRaised) {
  std::atomic<unsigned> allowed{1};
  std::vector<unsigned> producedBy(40, 99);
  std::vector<std::size_t> consumed;
  RunInOrder<std::size_t>(
      40, 4,
      [&](std::size_t index, unsigned worker) {
        producedBy[index] = worker;
        return index;
      },
      [&](std::size_t index, std::size_t result) {
        consumed.push_back(result);
        if (index == 9) allowed.store(4);
        return true;
      },
      nullptr, &allowed);
  ASSERT_EQ(consumed.size(), 40u);
  for (std::size_t i = 0; i < consumed.size(); ++i) EXPECT_EQ(consumed[i], i);
  for (std::size_t i = 0; i <= 9; ++i) EXPECT_EQ(producedBy[i], 0u) << i;
}

}  // namespace
}  // namespace mv
