// The one name matcher of the program: the search dialog and `mirrorvault-cli find` both
// match entry names with it. Case is ignored (ASCII), "*" stands for any run of characters
// and "?" for exactly one; a pattern without wildcards matches anywhere in the name.
#pragma once

#include <string>
#include <string_view>

namespace mv {

class NamePattern {
 public:
  explicit NamePattern(std::string_view pattern);

  // True when name (a file name with its extension, or a directory name) matches.
  bool Matches(std::string_view name) const;

  bool empty() const { return lowered_.empty(); }

  // The longest run of the pattern without wildcards, in lower case: every matching name
  // holds it (ignoring case), so a search may look for it first. Empty for "*" or "?".
  std::string_view LongestLiteral() const;

 private:
  bool MatchesWildcards(std::string_view name) const;
  bool ContainsLowered(std::string_view name) const;

  std::string lowered_;  // the pattern in lower case
  bool wildcards_ = false;
};

// One-off convenience over NamePattern.
bool MatchesNamePattern(std::string_view pattern, std::string_view name);

}  // namespace mv
