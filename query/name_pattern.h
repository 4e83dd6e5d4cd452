// The one name matcher of the program: the search dialog and `mirrorvault-cli find` both
// match entry names with it. Case is ignored (ASCII), "*" stands for any run of characters
// and "?" for exactly one; a pattern without wildcards matches anywhere in the name.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot_format.h"

namespace mv {

class NamePattern {
 public:
  // names: how the names matched are written, which tells how many bytes "?" takes: one in
  // the ANSI code page (a single-byte one), one character in UTF-8 (a byte that begins no
  // well-formed character counts as one).
  explicit NamePattern(std::string_view pattern, NameEncoding names = NameEncoding::kAnsi);

  // True when name (a file name with its extension, or a directory name) matches.
  bool Matches(std::string_view name) const;

  bool empty() const { return lowered_.empty(); }

  // The longest run of the pattern without wildcards, in lower case: every matching name
  // holds it (ignoring case), so a search may look for it first. Empty for "*" or "?".
  std::string_view LongestLiteral() const;

 private:
  bool MatchesWildcards(std::string_view name) const;
  bool ContainsLowered(std::string_view name) const;

  // The length of the character of name at at, as "?" takes it.
  std::size_t CharacterAt(std::string_view name, std::size_t at) const;

  std::string lowered_;  // the pattern in lower case
  bool wildcards_ = false;
  bool utf8_ = false;
};

// One-off convenience over NamePattern.
bool MatchesNamePattern(std::string_view pattern, std::string_view name);

}  // namespace mv
