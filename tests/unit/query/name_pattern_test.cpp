// The name matcher shared by the search dialog and the find command.
#include <gtest/gtest.h>

#include "query/name_pattern.h"

namespace mv {
namespace {

TEST(NamePattern, MatchesLikeAUserExpects) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      // Without wildcards: anywhere in the name, case ignored, the extension included.
      {"report", "Q3-Report-final.doc", true},
      {"e.t", "note.txt", true},
      {"note.txt", "note.tx", false},
      {"", "", false},
      // Wildcards match the whole name.
      {"*.iso", "disk.ISO", true},
      {"*.iso", "disk.iso.part", false},
      {"d*k", "disk", true},
      {"d*k", "disks", false},
      {"*", "anything", true},
      {"?", "a", true},
      {"?", "ab", false},
      {"?", "", false},
      {"a?c", "ABC", true},
      {"**a**b**", "xxaxxbxx", true},
      {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesNamePattern(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

}  // namespace
}  // namespace mv
