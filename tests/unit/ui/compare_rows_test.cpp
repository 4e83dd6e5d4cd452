// The Compare window's rows: what the filter keeps, the orders of the column sorts with ties
// in the comparison's order, and the cell texts of each kind of row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.h"
#include "query/name_pattern.h"
#include "snapshot_texts.h"
#include "ui/compare_rows.h"

namespace mv {
namespace {

TEST(ComparisonRows, FiltersSortsAndWritesCells) {
  MemoryFileSystem files{MatchesNamePattern};
  files.files["old"] =
      test::HeaderText("PC1") +
      test::SnapshotText({"SHARENAME: D", "a;;f;;10;;1.1.2020", "b;;f;;7;;5.1.2020",
                          "gone;;f;;300;;2.1.2019", "SHARENAME: Old", "o;;f;;1;;1.1.2020", "END"});
  files.files["new"] =
      test::HeaderText("PC1") +
      test::SnapshotText({"SHARENAME: D", "a;;f;;20;;1.1.2020", "b;;f;;7;;6.1.2020",
                          "c;;d;;0;;1.1.2021", "c\\n;;f;;2;;1.1.2021", "END"});
  SnapshotComparison comparison;
  DiffFailure failure;
  ASSERT_TRUE(CompareSnapshotFiles(files, "old", "new", test::Latin1(), comparison, failure));
  ComparisonRows rows(comparison);
  auto column = [&](int which) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < rows.size(); ++i) texts.push_back(rows.CellText(i, which));
    return texts;
  };
  using Texts = std::vector<std::string>;
  EXPECT_EQ(column(kComparePath), (Texts{"\\\\PC1\\D\\a", "\\\\PC1\\D\\b", "\\\\PC1\\D\\c",
                                         "\\\\PC1\\D\\c\\n", "\\\\PC1\\D\\gone", "\\\\PC1\\Old"}));
  EXPECT_EQ(column(kCompareChange),
            (Texts{"Changed", "Changed", "Added", "Added", "Removed", "Share removed"}));
  EXPECT_EQ(column(kCompareSize), (Texts{"10 -> 20", "7 -> 7", "<DIR>", "2", "300", "<SHARE>"}));
  EXPECT_EQ(column(kCompareCreated), (Texts{"1.1.2020 -> 1.1.2020", "5.1.2020 -> 6.1.2020",
                                            "1.1.2021", "1.1.2021", "2.1.2019", ""}));
  EXPECT_TRUE(rows.RowIsOld(4));

  rows.SortBy(kCompareSize);  // shares, directories, then files by size; ties keep their order
  EXPECT_EQ(column(kCompareSize), (Texts{"<SHARE>", "<DIR>", "2", "7 -> 7", "10 -> 20", "300"}));
  rows.SortBy(kCompareSize);
  EXPECT_EQ(column(kCompareSize), (Texts{"300", "10 -> 20", "7 -> 7", "2", "<DIR>", "<SHARE>"}));
  rows.SortBy(kCompareCreated);
  EXPECT_EQ(column(kComparePath).front(), "\\\\PC1\\Old");  // no date: first

  rows.Filter({false, true, false});
  EXPECT_EQ(column(kComparePath), (Texts{"\\\\PC1\\Old", "\\\\PC1\\D\\gone"}));

  // A comparison that kept only its first rows says so after its counts.
  const std::string summary = CompareSummaryText(comparison.summary, 2, 4);
  EXPECT_EQ(summary.substr(summary.find("; the first")),
            "; the first 2 of 6 differences are listed (mirrorvault-cli diff lists every one)");
  EXPECT_EQ(CompareSummaryText(comparison.summary).find("listed"), std::string::npos);
}

}  // namespace
}  // namespace mv
