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

// Texts, images and states of the kinds, and the tasks of groups, are checked through the
// scan; here, the records that make no item, a share without a name, and a computer whose
// record lacks the container bit.
TEST(NetworkItems, OtherRecordsMakeNoItemAndEveryComputerGetsATask) {
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeNetwork, 2, "Microsoft Windows Network")));
  EXPECT_FALSE(NetworkItemFor(Record(kDisplayTypeGeneric, 2, "X")));
  EXPECT_EQ(NetworkItemFor(Record(kDisplayTypeShare, 1, nullptr))->text, "");
  EXPECT_TRUE(HasChildTask(Record(kDisplayTypeServer, 0, "\\\\C")));
  EXPECT_FALSE(HasChildTask(Record(kDisplayTypeShare, kResourceUsageConnectable, "\\\\C\\S")));
}

// A share's text searches back to the second character for a backslash; short names stay
// inside their bounds.
TEST(NetworkItems, TextsOfOddNames) {
  EXPECT_EQ(ShareItemText("\\\\PC7\\My Docs"), "My Docs");
  EXPECT_EQ(ShareItemText("\\\\PC7\\"), "");
  EXPECT_EQ(ShareItemText("\\\\Docs"), "Docs");  // the backslash at the second character
  EXPECT_EQ(ShareItemText("Docs"), "ocs");       // none found: from the second character on
  EXPECT_EQ(ShareItemText("D"), "");
  EXPECT_EQ(ShareItemText(""), "");
  for (const char* remote : {"\\\\", "\\", ""}) EXPECT_EQ(ComputerItemText(remote), "") << remote;
}

}  // namespace
}  // namespace mv
