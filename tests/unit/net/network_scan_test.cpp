// Scans of in-memory networks: the tree and tables they fill, failures, stops at every
// point a task looks at the state, and the running task count.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "platform/threading.h"
#include "scan_rig.h"

namespace mv {
namespace {

using test::SampleNetwork;
using test::ScanRig;

TEST(NetworkScan, FindsEveryGroupComputerAndShareTicked) {
  ScanRig rig;
  rig.network.AddDescribed(SampleNetwork(), "Sample Network");
  rig.Scan();
  test::MemoryTree& tree = rig.tree;
  // The provider itself gets no item: the groups stand at the root.
  ASSERT_EQ(tree.Children(kNoTreeItem).size(), 2u);
  const TreeItem workgroup = tree.Find(kNoTreeItem, "WORKGROUP");
  const TreeItem pc1 = tree.Find(workgroup, "PC1");
  ASSERT_NE(pc1, kNoTreeItem);
  ASSERT_NE(tree.Find(pc1, "Music"), kNoTreeItem);
  ASSERT_NE(tree.Find(tree.Find(tree.Find(kNoTreeItem, "OFFICE"), "SERVER"), "Backup"),
            kNoTreeItem);
  EXPECT_EQ(rig.CheckTablesMatchTree(), 10);
  for (const auto& share : rig.browser->tables().shares) {
    if (!share.name.empty()) {
      EXPECT_TRUE(rig.browser->IsItemTicked(share.item));
    }
  }
  EXPECT_EQ(tree.Get(pc1).state, kTreeStateTicked | kTreeStateBold);
  EXPECT_EQ(tree.Get(workgroup).state, kTreeStateTicked);
  EXPECT_FALSE(rig.browser->IsItemTicked(kNoTreeItem));
  tree.SetTicked(pc1, false);
  EXPECT_FALSE(rig.browser->IsItemTicked(pc1));
  EXPECT_EQ(rig.network.OpenEnumerations(), 0);
}

TEST(NetworkScan, SecondScanStartsFromAnEmptyTreeAndTables) {
  ScanRig rig;
  rig.network.AddDescribed(SampleNetwork(), "Sample Network");
  rig.Scan();
  rig.tree.SetTicked(rig.browser->tables().computers[0].item, false);
  rig.Scan();
  EXPECT_EQ(rig.CheckTablesMatchTree(), 10);
  for (const auto& computer : rig.browser->tables().computers) {
    if (!computer.name.empty()) {
      EXPECT_TRUE(rig.browser->IsItemTicked(computer.item));
    }
  }
}

TEST(NetworkScan, EmptyNetworkLeavesAnEmptyTreeAndIdle) {
  ScanRig rig;
  rig.Scan();
  EXPECT_EQ(rig.tree.Size(), 0u);
  rig.network.AddProvider("Provider without groups");
  rig.Scan();
  EXPECT_EQ(rig.tree.Size(), 0u);
}

TEST(NetworkScan, UnreachableContainersContributeNothing) {
  ScanRig rig;
  const auto provider = rig.network.AddProvider("P");
  const auto group = rig.network.AddGroup(provider, "G");
  const auto down = rig.network.AddComputer(group, "DOWN");
  rig.network.AddShare(down, "DOWN", "Lost");
  const auto broken = rig.network.AddComputer(group, "BROKEN");
  rig.network.AddShare(broken, "BROKEN", "Lost");
  const auto up = rig.network.AddComputer(group, "UP");
  rig.network.AddShare(up, "UP", "Found");
  rig.network.FailOpen(down);
  rig.network.FailBatches(broken);
  rig.Scan();
  const TreeItem g = rig.tree.Find(kNoTreeItem, "G");
  EXPECT_EQ(rig.tree.Children(g).size(), 3u);
  EXPECT_TRUE(rig.tree.Children(rig.tree.Find(g, "DOWN")).empty());
  EXPECT_TRUE(rig.tree.Children(rig.tree.Find(g, "BROKEN")).empty());
  EXPECT_NE(rig.tree.Find(rig.tree.Find(g, "UP"), "Found"), kNoTreeItem);
  EXPECT_EQ(rig.network.OpenEnumerations(), 0);
}

// Calls offer 256 bytes (short records take several calls); a larger record (a long comment)
// is asked for with the whole buffer and nothing is lost; one larger still ends its container.
TEST(NetworkScan, ARecordLargerThanTheOfferIsFetchedWithTheWholeBuffer) {
  ScanRig rig;
  const auto provider = rig.network.AddProvider("P");
  const auto group = rig.network.AddGroup(provider, "G");
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
  std::atomic<int> batches{0};
  rig.network.SetHook([&](InMemoryNetwork::HookPoint point, InMemoryNetwork::Node node) {
    if (point == InMemoryNetwork::HookPoint::kBatch && node == pc) ++batches;
  });
  rig.Scan();

  const TreeItem g = rig.tree.Find(kNoTreeItem, "G");
  std::vector<std::string> shown;
  for (const TreeItem share : rig.tree.Children(rig.tree.Find(g, "PC")))
    shown.push_back(rig.tree.Get(share).text);
  EXPECT_EQ(shown, expected);
  EXPECT_GT(batches.load(), 4);
  EXPECT_TRUE(rig.tree.Children(rig.tree.Find(g, "HUGE")).empty());
  EXPECT_EQ(rig.browser->ContainersNotListed(), 1);
}

TEST(NetworkScan, ComputersUnderAHiddenContainerStandAtTheRoot) {
  ScanRig rig;
  const auto provider = rig.network.AddProvider("P");
  const auto pc = rig.network.AddComputer(provider, "LONER");
  rig.network.AddShare(pc, "LONER", "Data");
  rig.Scan();
  const TreeItem loner = rig.tree.Find(kNoTreeItem, "LONER");
  ASSERT_NE(loner, kNoTreeItem);
  EXPECT_EQ(rig.browser->tables().computers[0].parentItem, kNoTreeItem);
  EXPECT_NE(rig.tree.Find(loner, "Data"), kNoTreeItem);
}

TEST(NetworkScan, BeyondTheTablesTheTreeKeepsItsItems) {
  ScanRig rig;
  rig.network.AddDescribed(MakeUniformNetwork(kMaxGroups + 2, 1, 1), "P");
  rig.Scan();
  EXPECT_EQ(rig.tree.Children(kNoTreeItem).size(), static_cast<std::size_t>(kMaxGroups + 2));
  for (const auto& group : rig.browser->tables().groups) EXPECT_FALSE(group.name.empty());
  // Computers and shares of the groups beyond the table are still in tree and tables.
  int computers = 0;
  for (const auto& computer : rig.browser->tables().computers) computers += !computer.name.empty();
  EXPECT_EQ(computers, kMaxGroups + 2);
}

TEST(NetworkScan, LongNamesAreShownAndStoredWhole) {
  ScanRig rig;
  const std::string group(100, 'G');
  const std::string computer(80, 'C');
  const std::string share(120, 'S');
  const auto p = rig.network.AddProvider("P");
  const auto c = rig.network.AddComputer(rig.network.AddGroup(p, group), computer);
  rig.network.AddShare(c, computer, share);
  rig.Scan();
  EXPECT_EQ(rig.browser->tables().groups[0].name, group);
  EXPECT_EQ(rig.browser->tables().computers[0].name, computer);
  EXPECT_EQ(rig.browser->tables().shares[0].name, share);
  rig.CheckTablesMatchTree();
}

TEST(NetworkScan, TreeThatRefusesItemsStoresEntriesWithoutItems) {
  ScanRig rig;
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
  std::atomic<bool> lateCall{false};
  rig.network.SetHook([&](InMemoryNetwork::HookPoint, InMemoryNetwork::Node) {
    if (rig.browser->CompletedScans() > 0) lateCall = true;
  });
  rig.Scan();
  EXPECT_EQ(rig.CheckTablesMatchTree(), 2 + 6 + 12);
  EXPECT_EQ(rig.network.OpenEnumerations(), 0);
  EXPECT_FALSE(lateCall.load());
}

// A stop made at the Nth look of any task: the items found so far stay, each once, and the
// scan ends only when every task has.
TEST(NetworkScan, StopAtEveryHookPointKeepsAConsistentTree) {
  for (int stopAt = 1; stopAt <= 40; stopAt += 3) {
    ScanRig rig;
    rig.network.AddDescribed(MakeUniformNetwork(3, 4, 3), "P");
    std::atomic<int> calls{0};
    std::atomic<bool> lateCall{false};
    rig.network.SetHook([&](InMemoryNetwork::HookPoint, InMemoryNetwork::Node) {
      if (rig.browser->CompletedScans() > 0) lateCall = true;
      if (++calls == stopAt) SetActivityState(kStopRequest);
    });
    rig.Scan();
    rig.CheckTablesMatchTree();
    EXPECT_EQ(rig.network.OpenEnumerations(), 0) << "stop at " << stopAt;
    EXPECT_FALSE(lateCall.load()) << "stop at " << stopAt;
  }
}

TEST(NetworkScan, StopsAtRandomMomentsInALargeNetwork) {
  std::mt19937 random(20261206);
  for (int round = 0; round < 12; ++round) {
    ScanRig rig;
    rig.network.AddDescribed(MakeUniformNetwork(8, 16, 4), "P");
    std::atomic<bool> lateCall{false};
    rig.network.SetHook([&](InMemoryNetwork::HookPoint, InMemoryNetwork::Node) {
      if (rig.browser->CompletedScans() > 0) lateCall = true;
    });
    const unsigned delay = static_cast<unsigned>(random() % 40);
    rig.browser->RequestScan();
    SleepMilliseconds(delay);
    SetActivityState(kStopRequest);
    rig.gate.WaitUntilFree();
    EXPECT_EQ(rig.browser->CompletedScans(), 1);
    EXPECT_EQ(GetActivityState(), kIdle);
    const int entries = rig.CheckTablesMatchTree();
    EXPECT_LE(entries, 8 + 8 * 16 + 8 * 16 * 4);
    EXPECT_EQ(rig.network.OpenEnumerations(), 0);
    EXPECT_FALSE(lateCall.load()) << "after " << delay << " ms";
  }
}

TEST(NetworkScan, UnstoppedLargeScanFindsEverything) {
  ScanRig rig;
  rig.network.AddDescribed(MakeUniformNetwork(8, 16, 4), "P");
  rig.Scan();
  EXPECT_EQ(rig.CheckTablesMatchTree(), 8 + 8 * 16 + 8 * 16 * 4);
}

// A stopped capture still winding down holds the gate: the new scan waits for it instead
// of sharing the activity state with it.
TEST(NetworkScan, ScanIsHeldBackWhileAStoppedTaskWindsDown) {
  ScanRig rig;
  rig.network.AddDescribed(SampleNetwork(), "P");
  ASSERT_TRUE(rig.gate.TryEnterCapture());  // the straggling job
  SetActivityState(kIdle);                  // stopped
  rig.browser->RequestScan();
  SleepMilliseconds(50);
  EXPECT_EQ(GetActivityState(), kIdle);
  EXPECT_EQ(rig.tree.InsertCalls(), 0);
  EXPECT_FALSE(rig.gate.TryEnterCapture());  // and no capture can slip in before the scan
  rig.gate.Leave();
  rig.gate.WaitUntilFree();
  EXPECT_EQ(rig.browser->CompletedScans(), 1);
  EXPECT_EQ(rig.CheckTablesMatchTree(), 10);
}

}  // namespace
}  // namespace mv
