// Scans of in-memory networks: the tree and tables they fill, failures, stops at every
// point a task looks at the state, and the running task count.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "platform/threading.h"
#include "scan_rig.h"

namespace mv {
namespace {

using test::SampleNetwork;
using test::ScanRig;

// A second scan starts from an empty tree and tables, with everything ticked again (what
// the capture takes after a scan shows that every item is).
TEST(NetworkScan, FindsEveryGroupComputerAndShareTicked) {
  ScanRig rig;
  rig.network.AddDescribed(SampleNetwork(), "Sample Network");
  test::MemoryTree& tree = rig.tree;
  for (int scan = 0; scan < 2; ++scan) {
    rig.Scan();
    // The provider itself gets no item: the groups stand at the root.
    ASSERT_EQ(tree.Children(kNoTreeItem).size(), 2u);
    const TreeItem workgroup = tree.Find(kNoTreeItem, "WORKGROUP");
    const TreeItem pc1 = tree.Find(workgroup, "PC1");
    const TreeItem music = tree.Find(pc1, "Music");
    ASSERT_NE(music, kNoTreeItem);
    EXPECT_EQ(rig.CheckTablesMatchTree(), 10);
    EXPECT_EQ(tree.Get(pc1).state, kTreeStateTicked | kTreeStateBold);
    EXPECT_EQ(tree.Get(music).state, kTreeStateTicked | kTreeStateBold);
    EXPECT_EQ(tree.Get(workgroup).state, kTreeStateTicked);
    EXPECT_FALSE(rig.browser->IsItemTicked(kNoTreeItem));
    tree.SetTicked(pc1, false);
    EXPECT_FALSE(rig.browser->IsItemTicked(pc1));
    EXPECT_EQ(rig.network.OpenEnumerations(), 0);
  }
}

// Calls offer 256 bytes (short records take several calls); a larger record (a long comment)
// is asked for with the whole buffer and nothing is lost; one larger still ends its container,
// as failing to open or read one does, and the other containers keep their items. Computers
// under a hidden container stand at the root; long names are shown and stored whole.
TEST(NetworkScan, OddRecordsAndContainersCostOnlyTheirOwnItems) {
  ScanRig rig;
  const auto provider = rig.network.AddProvider("P");
  const auto group = rig.network.AddGroup(provider, "G");
  rig.network.AddShare(rig.network.AddComputer(provider, "LONER"), "LONER", "Data");
  const std::string longGroup(100, 'G'), longComputer(80, 'C'), longShare(120, 'S');
  rig.network.AddShare(
      rig.network.AddComputer(rig.network.AddGroup(provider, longGroup), longComputer),
      longComputer, longShare);
  const auto pc = rig.network.AddComputer(group, "PC");
  std::vector<std::string> expected;
  for (int i = 0; i < 12; ++i) {
    expected.push_back("Before" + std::to_string(i));
    rig.network.AddShare(pc, "PC", expected.back());
  }
  rig.network.Add(pc, NetResource{kResourceScopeGlobalNet, kResourceTypeDisk, kDisplayTypeShare,
                                  kResourceUsageConnectable, std::nullopt, "\\\\PC\\Commented",
                                  std::string(300, 'c'), "P"});
  rig.network.AddShare(pc, "PC", "After");
  expected.insert(expected.end(), {"Commented", "After"});
  const auto huge = rig.network.AddComputer(group, "HUGE");
  rig.network.AddShare(huge, "HUGE", std::string(kEnumBufferBytes, 'x'));
  rig.network.AddShare(huge, "HUGE", "Lost");
  const auto down = rig.network.AddComputer(group, "DOWN");
  const auto broken = rig.network.AddComputer(group, "BROKEN");
  rig.network.AddShare(down, "DOWN", "Lost");
  rig.network.AddShare(broken, "BROKEN", "Lost");
  rig.network.FailOpen(down);
  rig.network.FailBatches(broken);
  std::atomic<int> batches{0};
  rig.WatchCalls([&](InMemoryNetwork::HookPoint point, InMemoryNetwork::Node node) {
    batches += point == InMemoryNetwork::HookPoint::kBatch && node == pc;
  });
  rig.Scan();

  EXPECT_EQ(rig.tree.Texts("G"), (std::vector<std::string>{"PC", "HUGE", "DOWN", "BROKEN"}));
  EXPECT_EQ(rig.tree.Texts("G/PC"), expected);
  EXPECT_GT(batches.load(), 4);
  for (const char* lost : {"G/HUGE", "G/DOWN", "G/BROKEN"})
    EXPECT_TRUE(rig.tree.Texts(lost).empty()) << lost;
  EXPECT_EQ(rig.browser->ContainersNotListed(), 1);
  EXPECT_EQ(rig.network.OpenEnumerations(), 0);
  EXPECT_EQ(rig.tree.Texts("LONER"), (std::vector<std::string>{"Data"}));
  EXPECT_EQ(rig.tree.Texts(longGroup + "/" + longComputer), (std::vector<std::string>{longShare}));
  EXPECT_EQ(rig.CheckTablesMatchTree(), 2 + 6 + 16);  // with the texts the tables hold
}

// A network larger than any fixed table: every group, computer and share is in the tables,
// tied to its own item.
TEST(NetworkScan, EveryItemOfALargeNetworkIsInTheTables) {
  ScanRig rig;
  rig.network.AddDescribed(MakeUniformNetwork(40, 13, 8), "P");
  rig.Scan();
  EXPECT_EQ(rig.tree.Children(kNoTreeItem).size(), 40u);
  EXPECT_EQ(rig.browser->tables().shares.size(), 40u * 13u * 8u);
  EXPECT_EQ(rig.CheckTablesMatchTree(), 40 + 40 * 13 + 40 * 13 * 8);
}

TEST(NetworkScan, EmptyNetworksAndARefusingTreeLeaveAnEmptyTree) {
  ScanRig rig;
  rig.Scan();
  EXPECT_EQ(rig.tree.Size(), 0u);
  rig.network.AddProvider("Provider without groups");
  rig.Scan();
  EXPECT_EQ(rig.tree.Size(), 0u);
  rig.network.AddDescribed(SampleNetwork(), "P");
  rig.tree.RefuseInserts();
  rig.Scan();
  EXPECT_EQ(rig.tree.Size(), 0u);
  EXPECT_EQ(rig.browser->tables().groups[0].item, kNoTreeItem);
  EXPECT_FALSE(rig.browser->IsItemTicked(rig.browser->tables().computers[0].item));
}

// Slow containers deep below fast ones: a parent task ends long before its child opens,
// so a count that reached 0 between them would end the scan with the deep items missing.
TEST(NetworkScan, CountStaysAboveZeroUntilTheDeepestTaskEnds) {
  ScanRig rig;
  rig.network.AddDescribed(MakeUniformNetwork(2, 3, 2), "P");
  for (std::size_t node = 1; node < rig.network.NodeCount(); ++node) {
    if (rig.network.Record(node).dwDisplayType == kDisplayTypeServer) {
      rig.network.SetOpenDelay(node, 30);
    }
  }
  rig.WatchCalls();
  rig.Scan();
  EXPECT_EQ(rig.CheckTablesMatchTree(), 2 + 6 + 12);
  EXPECT_EQ(rig.network.OpenEnumerations(), 0);
  EXPECT_FALSE(rig.lateCall.load());
}

// A stop made at the Nth look of any task (odd rounds, a small network) or at a random moment
// (even rounds, a large one; round 0 is not stopped and finds everything): the items found
// so far stay, each once, and the scan ends only when every task has.
TEST(NetworkScan, StopsAtAnyMomentKeepAConsistentTree) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 26; ++round) {
    const bool atHook = round % 2 == 1;
    const int stopAt = round * 3 / 2;
    ScanRig rig;
    rig.network.AddDescribed(atHook ? MakeUniformNetwork(3, 4, 3) : MakeUniformNetwork(8, 16, 4),
                             "P");
    std::atomic<int> calls{0};
    rig.WatchCalls([&](InMemoryNetwork::HookPoint, InMemoryNetwork::Node) {
      if (atHook && ++calls == stopAt) SetActivityState(kStopRequest);
    });
    rig.browser->RequestScan();
    if (!atHook && round > 0) {
      SleepMilliseconds(static_cast<unsigned>(random() % 40));
      SetActivityState(kStopRequest);
    }
    rig.gate.WaitUntilFree();
    EXPECT_EQ(rig.browser->CompletedScans(), 1);
    EXPECT_EQ(GetActivityState(), kIdle);
    const int entries = rig.CheckTablesMatchTree();
    if (round == 0) {
      EXPECT_EQ(entries, 8 + 8 * 16 + 8 * 16 * 4);
    }
    EXPECT_EQ(rig.network.OpenEnumerations(), 0) << "round " << round;
    EXPECT_FALSE(rig.lateCall.load()) << "round " << round;
  }
}

}  // namespace
}  // namespace mv
