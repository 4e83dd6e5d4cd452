// Which records become tree items, and with which texts, images and states.
#include <gtest/gtest.h>

#include "net/network_items.h"

namespace mv {
namespace {

NetResource Record(std::uint32_t displayType, std::uint32_t usage, const char* remote) {
  NetResource record;
  record.dwScope = kResourceScopeGlobalNet;
  record.dwDisplayType = displayType;
  record.dwUsage = usage;
  if (remote != nullptr) record.lpRemoteName = remote;
  return record;
}

TEST(NetworkItems, GroupComputerAndShareTexts) {
  EXPECT_EQ(NetworkItemFor(Record(kDisplayTypeDomain, 2, "WORKGROUP"))->text, "WORKGROUP");
  EXPECT_EQ(NetworkItemFor(Record(kDisplayTypeServer, 2, "\\\\PC7"))->text, "PC7");
  EXPECT_EQ(NetworkItemFor(Record(kDisplayTypeShare, 1, "\\\\PC7\\Docs"))->text, "Docs");
}

TEST(NetworkItems, ShareTextSearchesBackToTheSecondCharacter) {
  EXPECT_EQ(ShareItemText("\\\\PC7\\My Docs"), "My Docs");
  EXPECT_EQ(ShareItemText("\\\\PC7\\"), "");
  EXPECT_EQ(ShareItemText("\\\\Docs"), "Docs");  // the backslash at the second character
  EXPECT_EQ(ShareItemText("Docs"), "ocs");       // none found: from the second character on
  EXPECT_EQ(ShareItemText("D"), "");
  EXPECT_EQ(ShareItemText(""), "");
}

TEST(NetworkItems, ComputerTextOfShortNamesStaysInside) {
  EXPECT_EQ(ComputerItemText("\\\\"), "");
  EXPECT_EQ(ComputerItemText("\\"), "");
  EXPECT_EQ(ComputerItemText(""), "");
}

TEST(NetworkItems, ImagesAndStates) {
  const auto group = NetworkItemFor(Record(kDisplayTypeDomain, 2, "G"));
  const auto computer = NetworkItemFor(Record(kDisplayTypeServer, 2, "\\\\C"));
  const auto share = NetworkItemFor(Record(kDisplayTypeShare, 1, "\\\\C\\S"));
  EXPECT_EQ(group->image, kNetworkImageGroup);
  EXPECT_EQ(computer->image, kNetworkImageComputer);
  EXPECT_EQ(share->image, kNetworkImageShare);
  EXPECT_EQ(group->state, kTreeStateTicked);
  EXPECT_EQ(computer->state, kTreeStateTicked | kTreeStateBold);
  EXPECT_EQ(share->state, kTreeStateTicked | kTreeStateBold);
}

TEST(NetworkItems, OtherDisplayTypesAndMissingNames) {
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeNetwork, 2, "Microsoft Windows Network")));
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeGeneric, 2, "X")));
  EXPECT_EQ(NetworkItemFor(Record(kDisplayTypeShare, 1, nullptr))->text, "");
}

TEST(NetworkItems, ComputersAndContainersGetTasks) {
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeServer, 0, "\\\\C")));  // even without the bit
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeNetwork, kResourceUsageContainer, "N")));
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeDomain, kResourceUsageContainer, "G")));
  EXPECT_FALSE(HasChildTask(Record(kDisplayTypeShare, kResourceUsageConnectable, "\\\\C\\S")));
}

}  // namespace
}  // namespace mv
