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

TEST(NetworkItems, TextsImagesAndStatesOfGroupsComputersAndShares) {
  struct Case {
    std::uint32_t displayType;
    const char* remote;
    const char* text;
    int image;
    std::uint32_t state;
  };
  const std::uint32_t bold = kTreeStateTicked | kTreeStateBold;
  for (const Case& c :
       {Case{kDisplayTypeDomain, "WORKGROUP", "WORKGROUP", kNetworkImageGroup, kTreeStateTicked},
        Case{kDisplayTypeServer, "\\\\PC7", "PC7", kNetworkImageComputer, bold},
        Case{kDisplayTypeShare, "\\\\PC7\\Docs", "Docs", kNetworkImageShare, bold},
        Case{kDisplayTypeShare, nullptr, "", kNetworkImageShare, bold}}) {
    const auto item = NetworkItemFor(Record(c.displayType, 2, c.remote));
    ASSERT_TRUE(item) << c.text;
    EXPECT_EQ(item->text, c.text);
    EXPECT_EQ(item->image, c.image) << c.text;
    EXPECT_EQ(item->state, c.state) << c.text;
  }
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeNetwork, 2, "Microsoft Windows Network")));
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeGeneric, 2, "X")));
}

// A share's text searches back to the second character for a backslash; short names stay
// inside their bounds.
TEST(NetworkItems, TextsOfOddNames) {
  const std::pair<const char*, const char*> shares[] = {{"\\\\PC7\\My Docs", "My Docs"},
                                                        {"\\\\PC7\\", ""},
                                                        {"\\\\Docs", "Docs"},
                                                        {"Docs", "ocs"},
                                                        {"D", ""},
                                                        {"", ""}};
  for (const auto& [remote, text] : shares) EXPECT_EQ(ShareItemText(remote), text) << remote;
  for (const char* remote : {"\\\\", "\\", ""}) EXPECT_EQ(ComputerItemText(remote), "") << remote;
}

TEST(NetworkItems, ComputersAndContainersGetTasks) {
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeServer, 0, "\\\\C")));  // even without the bit
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeNetwork, kResourceUsageContainer, "N")));
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeDomain, kResourceUsageContainer, "G")));
  EXPECT_FALSE(HasChildTask(Record(kDisplayTypeShare, kResourceUsageConnectable, "\\\\C\\S")));
}

}  // namespace
}  // namespace mv
