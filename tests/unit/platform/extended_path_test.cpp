// The extended-length form of UNC paths, as a table.
#include <gtest/gtest.h>

#include "platform/extended_path.h"

namespace mv {
namespace {

TEST(ExtendedLengthPath, UncPathsTakeTheLongFormOthersStayAsTheyAre) {
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"\\\\PC\\Docs\\a\\*.*", "\\\\?\\UNC\\PC\\Docs\\a\\*.*"},
      {"//PC/Docs/a", "\\\\?\\UNC\\PC\\Docs\\a"},
      {"\\\\PC\\Docs\\...\\x. \\y", "\\\\?\\UNC\\PC\\Docs\\...\\x. \\y"},
      {"\\\\PC\\Docs\\a\\.\\b\\..\\c\\\\d", "\\\\?\\UNC\\PC\\Docs\\a\\c\\d"},
      {"\\\\PC\\Docs\\..\\..\\x", "\\\\?\\UNC\\PC\\Docs\\x"},  // never above the share
      {"\\\\PC\\Docs\\", "\\\\?\\UNC\\PC\\Docs\\"},
      {"\\\\?\\UNC\\PC\\Docs", "\\\\?\\UNC\\PC\\Docs"},
      {"\\\\.\\pipe\\x", "\\\\.\\pipe\\x"},
      {"C:\\snaps\\..\\x", "C:\\snaps\\..\\x"},
      {"relative\\x", "relative\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtendedLengthPath(c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace mv
