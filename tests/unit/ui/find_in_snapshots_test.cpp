// The search behind the Find in All Snapshots window: the batches its thread hands over, the
// hits taken apart into name and folders, and a sorted list that stays sorted as hits come.
#include "ui/find_in_snapshots.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "snapshot_texts.h"
#include "test_support.h"

namespace mv {
namespace {

TEST(FindInSnapshots, HandsOverHitsInBatchesAndKeepsTheSortAsTheyCome) {
  test::ScratchDir dir;
  const std::string pc1 = "WG.PC1.05.12.2026.09.04.05.mirvaul";
  const std::string pc2 = "LAB.PC2.01.12.2026.08.00.00.mirvaul";
  const std::string bad = "WG.PC3.04.12.2026.08.00.00.mirvaul";
  test::WriteTextFile(
      dir.Join(pc1),
      test::HeaderText("PC1") +
          test::SnapshotText({"SHARENAME: Docs", "Sub;;d;;0;;1.1.2020", "Sub\\Deep;;d;;0;;1.1.2020",
                              "Sub\\Deep\\x.txt;;f;;300;;2.1.2020", "x.doc;;f;;20;;3.1.2020",
                              "END"}));
  test::WriteTextFile(dir.Join(pc2), test::HeaderText("PC2") +
                                         test::SnapshotText({"SHARENAME: C$", "ax;;d;;0;;1.1.2019",
                                                             "y.txt;;f;;5;;1.1.2020", "END"}));
  test::WriteTextFile(dir.Join(bad), "not a snapshot");
  const std::vector<LibrarySnapshot> library =
      ListLibrarySnapshots(PlatformFileSystem(), dir.path());
  EXPECT_EQ(ScopesOfLibrary(library).size(), 1u + 2u + 3u);  // all, WG, LAB, PC1..PC3

  FindChoices choices;
  choices.name = "X";
  choices.scope = {FindScope::Kind::kGroup, "wg"};
  std::atomic<int> notified{0};
  FindSearch search(PlatformFileSystem(), SnapshotsToSearch(library, choices), choices,
                    [&] { ++notified; });
  EXPECT_EQ(search.total(), 2u);
  FindResults results;
  results.ClickColumn(kFindSize);  // sorted before anything came
  for (bool finished = false; !finished;) {
    while (notified.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    --notified;
    FindBatch batch = search.Take();
    finished = batch.finished;
    results.Add(std::move(batch));
  }
  ASSERT_EQ(results.rowCount(), 2u);
  EXPECT_EQ(results.CellOf(0, kFindName).text, "x.doc");
  EXPECT_EQ(results.CellOf(1, kFindFolder).text, "\\\\PC1\\Docs\\Sub\\Deep");
  EXPECT_EQ(results.Hit(1).folder, "Docs\\Sub\\Deep");
  EXPECT_EQ(results.Hit(0).folder, "Docs");
  EXPECT_TRUE(results.SnapshotOf(0).path.ends_with(pc1)) << results.SnapshotOf(0).path;
  const std::string progress = results.ProgressText(search.total(), true, false);
  EXPECT_EQ(progress.rfind("Done: 2 of 2 snapshots, 2 found, 1 could not be read (", 0), 0u);
  EXPECT_NE(progress.find(bad), std::string::npos);

  // A later batch's hits take their places in the order shown: by size, folders first.
  FindBatch more;
  more.snapshots.push_back({dir.Join(pc2), "01.12.2026 08:00:00", "PC2", NameEncoding::kAnsi});
  more.hits = {FindHit{"big", "C$", "\\\\PC2\\C$", false, "1000", "1.1.2020", 1, {}, 0},
               FindHit{"ax", "C$", "\\\\PC2\\C$", true, "", "1.1.2019", 1, {}, 0},
               FindHit{"mid", "C$", "\\\\PC2\\C$", false, "0021", "1.1.2020", 1, {}, 0}};
  results.Add(std::move(more));
  std::vector<std::string> names;
  for (std::size_t row = 0; row < results.rowCount(); ++row) names.push_back(results.Hit(row).name);
  EXPECT_EQ(names, (std::vector<std::string>{"ax", "x.doc", "mid", "x.txt", "big"}));
  results.ClickColumn(kFindSnapshot);
  results.ClickColumn(kFindSnapshot);  // newest first, then in the order found
  EXPECT_EQ(results.Hit(0).name, "x.txt");
  EXPECT_EQ(results.Hit(4).name, "mid");
}

}  // namespace
}  // namespace mv
