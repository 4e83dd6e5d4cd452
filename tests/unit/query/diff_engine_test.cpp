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

}  // namespace
}  // namespace mv
