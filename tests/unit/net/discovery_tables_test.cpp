// Slots of the discovery tables: first free slot, full tables, names of any length, and
// many tasks adding at once.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "net/discovery_tables.h"

namespace mv {
namespace {

// A freed slot is taken again first; an empty name takes no slot. Clearing is checked by the
// scan tests' second scan, long names by their long-name scan.
TEST(DiscoveryTables, FirstFreeSlotFromZero) {
  auto tables = std::make_unique<DiscoveryTables>();
  ASSERT_TRUE(tables->AddComputer("A", 1, 10));
  ASSERT_TRUE(tables->AddComputer("B", 1, 11));
  tables->computers[0] = NetComputerEntry{};
  EXPECT_FALSE(tables->AddComputer("", 1, 2));
  ASSERT_TRUE(tables->AddComputer("C", 1, 12));
  EXPECT_EQ(tables->computers[0].name, "C");
  EXPECT_EQ(tables->computers[0].parentItem, 1u);
  EXPECT_EQ(tables->computers[1].name, "B");
}

// 4800 tries for 4096 slots: every slot taken once, the rest dropped.
TEST(DiscoveryTables, ConcurrentAddsNeverShareASlot) {
  auto tables = std::make_unique<DiscoveryTables>();
  constexpr int kThreads = 8, kEach = 600;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) tables->AddShare("S", 1, t * kEach + i + 1);
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<TreeItem> items;
  for (const auto& share : tables->shares) items.insert(share.item);
  EXPECT_EQ(items.size(), static_cast<std::size_t>(kMaxShares));
  EXPECT_EQ(items.count(kNoTreeItem), 0u);
  EXPECT_FALSE(tables->AddShare("S", 1, 99999));
}

}  // namespace
}  // namespace mv
