// Case-insensitive comparison and atoi-style numbers, as the sorts and keys rely on them.
#include <gtest/gtest.h>

#include "core/text.h"

namespace mv {
namespace {

TEST(Text, CaseInsensitiveComparisonsAndNumbersReadLikeAtoi) {
  EXPECT_TRUE(EqualsIgnoreCase("Mirrorvault FILE", "mirrorvault file"));
  EXPECT_FALSE(EqualsIgnoreCase("Mirrorvault file ", "mirrorvault file"));
  EXPECT_TRUE(StartsWithIgnoreCase("sharename: Docs", "SHARENAME: "));
  EXPECT_FALSE(StartsWithIgnoreCase("SHARE", "SHARENAME: "));
  EXPECT_LT(CompareIgnoreCase("apple", "Banana"), 0);
  EXPECT_EQ(CompareIgnoreCase("README", "readme"), 0);
  EXPECT_GT(CompareIgnoreCase("ab", "a"), 0);
  // _strcmpi lower-cases before comparing: '_' (0x5F) comes before 'a' (0x61).
  EXPECT_LT(CompareIgnoreCase("_x", "Ax"), 0);

  EXPECT_EQ(ParseIntLikeAtoi("  12abc"), 12);
  EXPECT_EQ(ParseIntLikeAtoi("-7"), -7);
  EXPECT_EQ(ParseIntLikeAtoi("+05"), 5);
  EXPECT_EQ(ParseIntLikeAtoi("x1"), 0);
  EXPECT_EQ(ParseIntLikeAtoi(""), 0);
  EXPECT_EQ(ParseInt64LikeAtoi64("5368709120"), 5368709120LL);
  EXPECT_EQ(ParseInt64LikeAtoi64("99999999999999999999"), INT64_MAX);
  EXPECT_EQ(ParseInt64LikeAtoi64("-99999999999999999999"), INT64_MIN);
  EXPECT_EQ(ParseIntLikeAtoi("4294967296"), INT32_MAX);
}

}  // namespace
}  // namespace mv
