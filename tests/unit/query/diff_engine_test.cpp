// The comparison behind diff and the Compare window: which pairs of entries count as changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "query/snapshot_diff.h"
#include "snapshot_texts.h"

namespace mv {
namespace {

// An entry of one share in each capture: changed when its size or its created date differs,
// whatever the case of its name.
TEST(DiffEngine, ChangedMeansSizeOrCreatedDateDiffers) {
  struct Case {
    const char* what;
    const char* oldLine;
    const char* newLine;
    std::vector<DiffKind> kinds;
  };
  const Case cases[] = {
      {"same", "a.txt;;f;;10;;1.1.2020", "A.TXT;;f;;10;;1.1.2020", {}},
      {"size", "a.txt;;f;;10;;1.1.2020", "a.txt;;f;;11;;1.1.2020", {DiffKind::kChanged}},
      {"created date only",
       "a.txt;;f;;10;;1.1.2020",
       "a.txt;;f;;10;;1.2.2020",
       {DiffKind::kChanged}},
      {"directory's created date", "D;;d;;0;;1.1.2020", "D;;d;;0;;3.1.2021", {DiffKind::kChanged}},
      {"renamed",
       "a.txt;;f;;10;;1.1.2020",
       "b.txt;;f;;10;;1.1.2020",
       {DiffKind::kRemoved, DiffKind::kAdded}},
  };
  for (const Case& c : cases) {
    MemoryFileSystem files{MatchesNamePattern};
    files.files["old"] =
        test::HeaderText() + test::SnapshotText({"SHARENAME: S", c.oldLine, "END"});
    files.files["new"] =
        test::HeaderText() + test::SnapshotText({"SHARENAME: S", c.newLine, "END"});
    SnapshotComparison comparison;
    DiffFailure failure;
    ASSERT_TRUE(CompareSnapshotFiles(files, "old", "new", test::Latin1(), comparison, failure))
        << c.what << ": " << failure.reason;
    std::vector<DiffKind> kinds;
    for (const DiffRow& row : comparison.rows) kinds.push_back(row.kind);
    EXPECT_EQ(kinds, c.kinds) << c.what;
    const bool changed = !c.kinds.empty() && c.kinds[0] == DiffKind::kChanged;
    EXPECT_EQ(comparison.summary.changed, changed ? 1u : 0u) << c.what;
  }
}

// Rows as text, to hold two comparisons against each other.
std::string RowsText(const SnapshotComparison& c) {
  std::string text;
  for (const DiffRow& row : c.rows) {
    for (const std::string_view field :
         {std::string_view(&"RAxac"[static_cast<int>(row.kind)], 1), row.share, row.path,
          row.oldSize, row.oldCreated, row.newSize, row.newCreated}) {
      text.append(field).append("|");
    }
    text += row.isDirectory ? "d\n" : "f\n";
  }
  return text;
}

// A budget of a few kilobytes sorts the entries in many runs spilt to a temporary file; the
// rows and counts are those of a comparison that sorts in memory, and the file goes away.
TEST(DiffEngine, RunsSpiltToAFileMergeIntoTheRowsOfAnInMemorySort) {
  MemoryFileSystem files{MatchesNamePattern};
  std::string older = test::HeaderText() + "SHARENAME: Gone\r\nx;;f;;3;;1.1.2020\r\n";
  std::string newer = test::HeaderText();
  for (const char* share : {"Docs", "DOCS"}) {  // one share in two sections, any case
    older += std::string("SHARENAME: ") + share + "\r\n";
    newer += std::string("SHARENAME: ") + share + "\r\n";
    for (int i = 0; i < 400; ++i) {
      const std::string dir = "D" + std::to_string(i % 7) + "\\Sub" + std::to_string(i % 3);
      const std::string name = dir + "\\f" + std::to_string(i * 7919 % 1000);
      older += name + ";;f;;" + std::to_string(i) + ";;1.1.2020\r\n";
      // Every fifth size changes, every seventh name changes case, every eleventh is new.
      const std::string renamed = i % 7 == 0 ? "d" + name.substr(1) : name;
      newer += (i % 11 == 0 ? name + "n" : renamed) + ";;f;;" +
               std::to_string(i % 5 == 0 ? i + 1 : i) + ";;1.1.2020\r\n";
      if (i % 50 == 0) newer += dir + ";;d;;0;;2.2.2020\r\n" + name + ";;f;;9;;1.1.2020\r\n";
    }
  }
  files.files["old"] = older + "END\r\n";
  files.files["new"] = newer + "SHARENAME: Come\r\nEND\r\n";
  SnapshotComparison inMemory, spilt;
  DiffFailure failure;
  ASSERT_TRUE(CompareSnapshotFiles(files, "old", "new", test::Latin1(), inMemory, failure));
  DiffOptions tight;
  tight.memoryBytes = 4096;
  tight.spillFolder = "C:\\temp";
  ASSERT_TRUE(CompareSnapshotFiles(files, "old", "new", test::Latin1(), spilt, failure, tight))
      << failure.reason;
  EXPECT_EQ(RowsText(spilt), RowsText(inMemory));
  EXPECT_GT(inMemory.rows.size(), 200u);
  EXPECT_EQ(spilt.summary.changed, inMemory.summary.changed);
  EXPECT_EQ(spilt.summary.bytesAdded, inMemory.summary.bytesAdded);
  EXPECT_EQ(spilt.summary.sharesAdded + spilt.summary.sharesRemoved, 2u);
  EXPECT_EQ(files.files.size(), 2u);  // the temporary file is gone
  // Kept with room for 50 rows: the first 50, the rest counted, the summary whole.
  SnapshotComparison capped;
  capped.rowLimit = 50;
  ASSERT_TRUE(CompareSnapshotFiles(files, "old", "new", test::Latin1(), capped, failure));
  EXPECT_EQ(RowsText(inMemory).rfind(RowsText(capped), 0), 0u);
  EXPECT_EQ(capped.rows.size(), 50u);
  EXPECT_EQ(capped.rows.size() + capped.rowsLeftOut, inMemory.rows.size());
  EXPECT_EQ(capped.summary.added, inMemory.summary.added);
  EXPECT_FALSE(capped.equal());
}

}  // namespace
}  // namespace mv
