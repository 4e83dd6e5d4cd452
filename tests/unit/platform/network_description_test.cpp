// The network description format of the sample network and the in-memory network.
#include <gtest/gtest.h>

#include "platform/network_description.h"

namespace mv {
namespace {

TEST(NetworkDescription, ReadsGroupsComputersAndShares) {
  NetworkDescription description;
  std::string error;
  ASSERT_TRUE(ParseNetworkDescription(
      "# sample\r\ngroup WORKGROUP\r\n  computer PC1\n    share My Docs  \n\n"
      "    share Music\ngroup OFFICE\n\tcomputer SERVER\n",
      description, error))
      << error;
  ASSERT_EQ(description.groups.size(), 2u);
  ASSERT_EQ(description.groups[0].computers.size(), 1u);
  EXPECT_EQ(description.groups[0].computers[0].name, "PC1");
  EXPECT_EQ(description.groups[0].computers[0].shares,
            (std::vector<std::string>{"My Docs", "Music"}));
  EXPECT_EQ(description.groups[1].computers[0].name, "SERVER");
}

TEST(NetworkDescription, RefusesLinesItCannotPlace) {
  NetworkDescription description;
  std::string error;
  EXPECT_FALSE(ParseNetworkDescription("share Docs\n", description, error));  // told by take
  EXPECT_FALSE(ParseNetworkDescription("group G\ncomputer\n", description, error));
  EXPECT_EQ(error, "line 2: a name is missing");
  EXPECT_FALSE(ParseNetworkDescription("group G\nprinter P\n", description, error));
  EXPECT_FALSE(ParseNetworkDescription("group G\ncomputer A\\B\n", description, error));
  EXPECT_FALSE(ParseNetworkDescription("computer PC\n", description, error));
}

}  // namespace
}  // namespace mv
