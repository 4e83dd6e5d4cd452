// Slots of the discovery tables: entries in the order added, no full table, and many tasks
// adding at once.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "net/discovery_tables.h"

namespace mv {
namespace {

// An empty name takes no slot. Clearing is checked by the scan tests' second scan, long
// names by their long-name scan.
TEST(DiscoveryTables, EntriesInTheOrderAdded) {
  auto tables = std::make_unique<DiscoveryTables>();
  ASSERT_TRUE(tables->AddComputer("A", 1, 10));
  EXPECT_FALSE(tables->AddComputer("", 1, 2));
  ASSERT_TRUE(tables->AddComputer("B", 1, 11));
  ASSERT_EQ(tables->computers.size(), 2u);
  EXPECT_EQ(tables->computers[0].name, "A");
  EXPECT_EQ(tables->computers[1].parentItem, 1u);
}

// 4800 adds from eight threads: each its own slot, none dropped.
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
  EXPECT_EQ(items.size(), static_cast<std::size_t>(kThreads * kEach));
  EXPECT_EQ(items.count(kNoTreeItem), 0u);
}

}  // namespace
}  // namespace mv
