// The in-memory network cuts batches by the bytes offered and the count asked, as
// WNetEnumResourceA does; the scan tests drive the rest of it through the real scan.
#include <gtest/gtest.h>

#include "platform/memory/in_memory_network.h"

namespace mv {
namespace {

TEST(InMemoryNetwork, OfferedBytesAndAskedCountLimitABatch) {
  InMemoryNetwork network;
  std::vector<std::byte> buffer(16384);
  std::vector<NetResource> records;
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

}  // namespace
}  // namespace mv
