// The snapshot library over real scratch directories and an in-memory tree: the tree it
// builds, the rows behind the items, removal, and its limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/library_snapshots.h"
#include "core/snapshot_library.h"
#include "core/snapshot_name.h"
#include "platform/memory/memory_tree_port.h"
#include "test_support.h"

namespace mv {
namespace {

using test::FileExists;
using test::ScratchDir;
using test::WriteTextFile;
using Lines = std::vector<std::string>;

class SnapshotLibraryTest : public ::testing::Test {
 protected:
  SnapshotLibraryTest() : library_(tree_, PlatformFileSystem()) {
    library_.SetSnapshotDirectory(dir_.path());
  }

  void Touch(const std::vector<std::string>& names) {
    for (const std::string& name : names) WriteTextFile(dir_.Join(name), "");
  }

  // The tree as the window shows it: one line per item, two blanks per level.
  Lines Render() const {
    Lines lines;
    tree_.Walk([&](const MemoryTreePort::Node& node, int depth) {
      lines.push_back(std::string(2 * static_cast<std::size_t>(depth), ' ') + node.text);
    });
    return lines;
  }

  TreeItem SnapshotItem(const std::string& fileName) const {
    for (const LibSnapshotEntry& row : library_.snapshotTable()) {
      if (row.inUse && row.fileName == fileName) return row.item;
    }
    return kNoTreeItem;
  }

  ScratchDir dir_;
  MemoryTreePort tree_;
  SnapshotLibrary library_;
};

// Names ignore case, each computer belongs to its group, and both follow their newest snapshot.
TEST_F(SnapshotLibraryTest, GroupsAndComputersFollowTheirNewestSnapshot) {
  Touch({"WG.PC1.05.12.2026.09.04.05.mirvaul", "WG.PC1.04.12.2026.18.00.00.mirvaul",
         "WG.PC2.05.12.2026.10.00.00.mirvaul", "OLD.PC3.01.01.2026.09.00.00.mirvaul",
         "OLD.PC3.01.01.2026.17.30.00.mirvaul", "wg.pc1.03.12.2026.09.00.00.mirvaul",
         "HOME.pc1.02.01.2026.09.00.00.mirvaul"});
  library_.RebuildSnapshotTree();
  EXPECT_EQ(Render(),
            (Lines{"WG", "  PC2", "    05.12.2026 10:00:00", "  PC1", "    05.12.2026 09:04:05",
                   "    04.12.2026 18:00:00", "    03.12.2026 09:00:00", "HOME", "  pc1",
                   "    02.01.2026 09:00:00", "OLD", "  PC3", "    01.01.2026 17:30:00",
                   "    01.01.2026 09:00:00"}));

  // Images, bold and parameters as the window's image list and selection expect them.
  const MemoryTreePort::Node* group = tree_.Find(tree_.Children(kNoTreeItem)[0]);
  const MemoryTreePort::Node* computer = tree_.Find(group->children[1]);
  const MemoryTreePort::Node* snapshot = tree_.Find(computer->children[1]);
  EXPECT_EQ(group->image, kLibGroupImage);
  EXPECT_EQ(group->param, kLibNoSnapshotRow);
  EXPECT_EQ(group->state & kTreeStateBold, 0u);
  EXPECT_EQ(computer->image, kLibComputerImage);
  EXPECT_EQ(computer->param, kLibNoSnapshotRow);
  EXPECT_EQ(snapshot->image, kLibSnapshotImage);
  EXPECT_NE(snapshot->state & kTreeStateBold, 0u);
  EXPECT_EQ(library_.SnapshotFilePath(snapshot->param),
            dir_.path() + "\\WG.PC1.04.12.2026.18.00.00.mirvaul");
  EXPECT_EQ(library_.SnapshotFilePath(kLibNoSnapshotRow), std::nullopt);
  EXPECT_EQ(library_.SnapshotFilePath(4095), std::nullopt);

  // A rebuild starts afresh.
  library_.RebuildSnapshotTree();
  EXPECT_EQ(tree_.size(), 14u);
  EXPECT_EQ(library_.groupTable().size(), 3u);
}

TEST_F(SnapshotLibraryTest, NamesOutsideTheSchemeAndWhatTheListingLeavesOut) {
  Touch({"WG.PC.LAN.05.12.2026.09.04.05.mirvaul", "WG.PC1.01.01.2020.00.00.00.mirvaul",
         ".LONE.02.01.2020.00.00.00.mirvaul", "short.mirvaul", "config.ini",
         "WG.PC1.01.01.2020.00.00.01.txt"});
  ASSERT_EQ(PlatformFileSystem().MakeDirectory(dir_.Join("WG.DIR.09.09.2029.00.00.00.mirvaul")),
            IoError::kNone);
  library_.RebuildSnapshotTree();
  // The dotted computer name sorts after every well-formed name; the empty group piece
  // puts its computer at the top level; a name of two pieces has the value 0 everywhere.
  EXPECT_EQ(Render(),
            (Lines{"LONE", "  02.01.2020 00:00:00", "WG", "  PC1", "    01.01.2020 00:00:00",
                   "  PC", "    LAN.05.12 2026:09:04", "short", "  mirvaul", "    .. ::"}));
}

// Long names are kept whole; an empty computer piece keeps a row of its own.
TEST_F(SnapshotLibraryTest, LongNamesAndAnEmptyComputerPieceKeepRowsOfTheirOwn) {
  const std::string group(100, 'G'), computer(90, 'c');
  const std::string name = group + "." + computer + ".05.12.2026.09.04.05.mirvaul";  // 136
  Touch({"WG..03.01.2020.00.00.00.mirvaul", "HOME.PC9.02.01.2020.00.00.00.mirvaul",
         "WG..01.01.2020.00.00.00.mirvaul", name});
  library_.RebuildSnapshotTree();
  EXPECT_EQ(Render(), (Lines{group, "  " + computer, "    05.12.2026 09:04:05", "WG", "  ",
                             "    03.01.2020 00:00:00", "    01.01.2020 00:00:00", "HOME", "  PC9",
                             "    02.01.2020 00:00:00"}));
  EXPECT_EQ(library_.SnapshotFilePath(tree_.Find(SnapshotItem(name))->param),
            dir_.path() + "\\" + name);
  library_.RemoveSnapshotItem(SnapshotItem(name));
  EXPECT_FALSE(FileExists(dir_.Join(name)));
  // PC9 did not take the nameless computer's row, so removing WG still finds its snapshots.
  library_.RemoveSnapshotItem(tree_.Children(kNoTreeItem)[1]);
  EXPECT_FALSE(FileExists(dir_.Join("WG..03.01.2020.00.00.00.mirvaul")));
  EXPECT_FALSE(FileExists(dir_.Join("WG..01.01.2020.00.00.00.mirvaul")));
  EXPECT_TRUE(FileExists(dir_.Join("HOME.PC9.02.01.2020.00.00.00.mirvaul")));
}

// File names that differ only in case (a case-sensitive share) are one snapshot, shown in
// the spelling of the one met first; the same name under another computer is another one.
TEST_F(SnapshotLibraryTest, FileNamesDifferingOnlyInCaseAreOneSnapshot) {
  Touch({"WG.PC1.05.12.2026.09.00.00.mirvaul", "wg.Pc1.05.12.2026.09.00.00.mirvaul",
         "WG.pc1.05.12.2026.09.00.00.mirvaul", "WG.PC1.04.12.2026.09.00.00.mirvaul"});
  library_.RebuildSnapshotTree();
  ASSERT_EQ(library_.snapshotTable().size(), 2u);
  const LibSnapshotEntry& first = library_.snapshotTable()[0];
  const std::vector<TreeItem> groups = tree_.Children(kNoTreeItem);
  ASSERT_EQ(groups.size(), 1u);
  const TreeItem computer = tree_.Children(groups[0]).at(0);
  EXPECT_EQ(first.fileName.substr(0, 7),
            tree_.Find(groups[0])->text + "." + tree_.Find(computer)->text + ".");
  EXPECT_EQ(Render(), (Lines{tree_.Find(groups[0])->text, "  " + tree_.Find(computer)->text,
                             "    05.12.2026 09:00:00", "    04.12.2026 09:00:00"}));
  EXPECT_EQ(library_.FindOrAddSnapshot("x", "WG.PC1.05.12.2026.09.00.00.MIRVAUL", computer),
            first.item);
  EXPECT_NE(library_.FindOrAddSnapshot("x", first.fileName, groups[0]), first.item);
}

TEST_F(SnapshotLibraryTest, RemovingGroupComputerAndSnapshotItemsDeletesTheirFiles) {
  const std::vector<std::string> names = {
      "WG.PC1.05.12.2026.09.00.00.mirvaul",  "WG.PC1.04.12.2026.09.00.00.mirvaul",
      "WG.PC2.03.12.2026.09.00.00.mirvaul",  "LAN.PC1.02.12.2026.09.00.00.mirvaul",
      "LAN.PC3.01.12.2026.09.00.00.mirvaul", "LAN.PC3.30.11.2026.09.00.00.mirvaul"};
  Touch(names);
  library_.RebuildSnapshotTree();
  const std::vector<TreeItem> groups = tree_.Children(kNoTreeItem);  // WG, LAN

  library_.RemoveSnapshotItem(SnapshotItem(names[1]));
  EXPECT_FALSE(FileExists(dir_.Join(names[1])));
  EXPECT_TRUE(FileExists(dir_.Join(names[0])));

  // One computer: LAN's PC3, and nothing of LAN's PC1 or of WG.
  library_.RemoveSnapshotItem(tree_.Children(groups[1])[1]);
  EXPECT_FALSE(FileExists(dir_.Join(names[4])));
  EXPECT_FALSE(FileExists(dir_.Join(names[5])));
  EXPECT_TRUE(FileExists(dir_.Join(names[3])));

  // A group, whose PC1 shares its name with LAN's; the already deleted file is no trouble.
  library_.RemoveSnapshotItem(groups[0]);
  EXPECT_FALSE(FileExists(dir_.Join(names[0])));
  EXPECT_FALSE(FileExists(dir_.Join(names[2])));
  EXPECT_TRUE(FileExists(dir_.Join(names[3])));
  EXPECT_EQ(Render(), (Lines{"LAN", "  PC1", "    02.12.2026 09:00:00"}));
  // The rows stay until the next rebuild.
  EXPECT_TRUE(library_.snapshotTable()[0].inUse);

  library_.RemoveSnapshotItem(kNoTreeItem);
  library_.RebuildSnapshotTree();
  EXPECT_EQ(tree_.size(), 3u);
  library_.SetSnapshotDirectory(dir_.Join("missing"));
  library_.RebuildSnapshotTree();
  EXPECT_EQ(tree_.size(), 0u);
}

// "PC.1" and "PC~1" are two computers: each has its item, and removing one keeps the other.
TEST_F(SnapshotLibraryTest, ADotAndItsStandInAreTwoComputers) {
  const std::string dotted = BuildSnapshotFileName("WG", "PC.1", "05.12.2026", "09.00.00");
  const std::string tilde = BuildSnapshotFileName("WG", "PC~1", "05.12.2026", "09.00.00");
  Touch({dotted, tilde});
  library_.RebuildSnapshotTree();
  const std::vector<TreeItem> computers = tree_.Children(tree_.Children(kNoTreeItem).at(0));
  ASSERT_EQ(computers.size(), 2u);
  const bool dottedFirst = tree_.Find(computers[0])->text == "PC.1";
  EXPECT_EQ(tree_.Find(computers[dottedFirst ? 1 : 0])->text, "PC~1");
  library_.RemoveSnapshotItem(computers[dottedFirst ? 0 : 1]);
  EXPECT_FALSE(FileExists(dir_.Join(dotted)));
  EXPECT_TRUE(FileExists(dir_.Join(tilde)));
}

// More groups, computers and snapshots than any fixed table would hold: every snapshot
// stands under its own computer and group, newest first, and the list the commands read
// has every one of them.
TEST_F(SnapshotLibraryTest, EverySnapshotOfALargeLibraryStandsInItsPlace) {
  constexpr int kGroups = 40, kComputers = 14, kCaptures = 8;  // 4480 files, 560 computers
  std::vector<std::string> names;
  for (int g = 0; g < kGroups; ++g) {
    for (int c = 0; c < kComputers; ++c) {
      for (int d = 1; d <= kCaptures; ++d) {
        names.push_back("G" + std::to_string(g) + ".PC" + std::to_string(c) + "." +
                        std::to_string(d) + ".12.2026." + std::to_string(g % 24) + "." +
                        std::to_string(c) + ".00.mirvaul");
      }
    }
  }
  Touch(names);
  library_.RebuildSnapshotTree();
  const std::vector<TreeItem> groups = tree_.Children(kNoTreeItem);
  ASSERT_EQ(groups.size(), static_cast<std::size_t>(kGroups));
  std::size_t snapshots = 0;
  for (const TreeItem group : groups) {
    const std::vector<TreeItem> computers = tree_.Children(group);
    ASSERT_EQ(computers.size(), static_cast<std::size_t>(kComputers));
    for (const TreeItem computer : computers) {
      const std::vector<TreeItem> items = tree_.Children(computer);
      ASSERT_EQ(items.size(), static_cast<std::size_t>(kCaptures));
      for (std::size_t k = 0; k < items.size(); ++k) {
        const LibSnapshotEntry* row = library_.SnapshotRow(tree_.Find(items[k])->param);
        ASSERT_NE(row, nullptr);
        const std::string prefix = tree_.Find(group)->text + "." + tree_.Find(computer)->text + ".";
        EXPECT_EQ(row->fileName.substr(0, prefix.size()), prefix);
        EXPECT_EQ(row->itemText.substr(0, 2), std::to_string(kCaptures - k) + ".");
        ++snapshots;
      }
    }
  }
  EXPECT_EQ(snapshots, names.size());
  EXPECT_EQ(ListLibrarySnapshots(PlatformFileSystem(), dir_.path()).size(), names.size());
}

}  // namespace
}  // namespace mv
