// The in-memory network cuts batches by the bytes offered and the count asked, as
// WNetEnumResourceA does, and opens containers from copies of their records.
#include <gtest/gtest.h>

#include "platform/memory/in_memory_network.h"

namespace mv {
namespace {

struct Batches : ::testing::Test {
  InMemoryNetwork network;
  std::vector<std::byte> buffer = std::vector<std::byte>(16384);
  std::vector<NetResource> records;
};

TEST_F(Batches, RootYieldsProvidersThenGroupsOpenFromCopies) {
  const auto provider = network.AddProvider("Sample");
  network.AddGroup(provider, "WORKGROUP");
  auto root = network.OpenEnumeration(nullptr);
  std::uint32_t count = kEnumAllRecords;
  ASSERT_EQ(root->NextBatch(buffer, 256, count, records), NetEnumStatus::kSuccess);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(records[0].dwDisplayType, kDisplayTypeNetwork);
  const NetResource copy = records[0];
  EXPECT_EQ(root->NextBatch(buffer, 256, count, records), NetEnumStatus::kNoMoreItems);
  EXPECT_TRUE(root->Close());
  EXPECT_FALSE(root->Close());

  auto groups = network.OpenEnumeration(&copy);
  ASSERT_NE(groups, nullptr);
  ASSERT_EQ(groups->NextBatch(buffer, 256, count, records), NetEnumStatus::kSuccess);
  EXPECT_EQ(records[0].lpRemoteName, "WORKGROUP");
  EXPECT_EQ(network.OpenEnumerations(), 1);
  groups.reset();  // closes
  EXPECT_EQ(network.OpenEnumerations(), 0);
}

TEST_F(Batches, OfferedBytesAndAskedCountLimitABatch) {
  const auto pc = network.AddComputer(network.AddGroup(network.AddProvider("P"), "G"), "PC");
  for (int i = 0; i < 10; ++i) network.AddShare(pc, "PC", "SHARE" + std::to_string(i));
  const std::size_t each = NetResourceBufferSize(network.Record(network.Children(pc)[0]));
  auto shares = network.OpenEnumeration(&network.Record(pc));
  std::uint32_t count = kEnumAllRecords;
  ASSERT_EQ(shares->NextBatch(buffer, 256, count, records), NetEnumStatus::kSuccess);
  EXPECT_EQ(count, 256 / each);
  std::uint32_t one = 1;
  ASSERT_EQ(shares->NextBatch(buffer, 256, one, records), NetEnumStatus::kSuccess);
  EXPECT_EQ(records.size(), 1u);
  EXPECT_EQ(shares->NextBatch(buffer, static_cast<std::uint32_t>(each - 1), count, records),
            NetEnumStatus::kMoreData);
  EXPECT_EQ(shares->NextBatch(buffer, 20000, count, records), NetEnumStatus::kError);
}

TEST_F(Batches, UnknownContainerAndInjectedFailures) {
  NetResource stranger;
  stranger.lpRemoteName = "\\\\NOBODY";
  EXPECT_EQ(network.OpenEnumeration(&stranger), nullptr);
  const auto provider = network.AddProvider("P");
  network.FailOpen(provider);
  EXPECT_EQ(network.OpenEnumeration(&network.Record(provider)), nullptr);
  EXPECT_EQ(network.OpenEnumerations(), 0);
}

}  // namespace
}  // namespace mv
