// Wildcard and substring matching of entry names, ignoring ASCII case.
#include "query/name_pattern.h"

#include <cstddef>

#include "core/code_page_text.h"
#include "core/text.h"

namespace mv {

NamePattern::NamePattern(std::string_view pattern, NameEncoding names)
    : utf8_(names == NameEncoding::kUtf8) {
  lowered_.reserve(pattern.size());
  for (const char c : pattern) {
    lowered_ += AsciiLower(c);
    if (c == '*' || c == '?') wildcards_ = true;
  }
}

bool NamePattern::Matches(std::string_view name) const {
  return wildcards_ ? MatchesWildcards(name) : ContainsLowered(name);
}

std::string_view NamePattern::LongestLiteral() const {
  const std::string_view p = lowered_;
  std::string_view best;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != '*' && p[i] != '?') continue;
    if (i - start > best.size()) best = p.substr(start, i - start);
    start = i + 1;
  }
  return best;
}

bool NamePattern::ContainsLowered(std::string_view name) const {
  const std::size_t n = lowered_.size();
  if (n == 0 || n > name.size()) return false;  // an empty pattern finds nothing
  const char first = lowered_[0];
  // Most names fail at the first byte; the rest of the pattern is compared only after a hit.
  for (std::size_t i = 0; i + n <= name.size(); ++i) {
    if (AsciiLower(name[i]) != first) continue;
    std::size_t k = 1;
    while (k < n && AsciiLower(name[i + k]) == lowered_[k]) ++k;
    if (k == n) return true;
  }
  return false;
}

std::size_t NamePattern::CharacterAt(std::string_view name, std::size_t at) const {
  if (!utf8_) return 1;
  const std::size_t length = Utf8SequenceAt(name, at);
  return length == 0 ? 1 : length;
}

// Greedy matching that backtracks only to the last "*": linear in practice and never
// exponential, whatever the number of stars.
bool NamePattern::MatchesWildcards(std::string_view name) const {
  const std::string_view p = lowered_;
  std::size_t pi = 0, ni = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (ni < name.size()) {
    if (pi < p.size() && p[pi] == '?') {
      ++pi;
      ni += CharacterAt(name, ni);
    } else if (pi < p.size() && p[pi] == AsciiLower(name[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      resume = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      resume += CharacterAt(name, resume);
      ni = resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool MatchesNamePattern(std::string_view pattern, std::string_view name) {
  return NamePattern(pattern).Matches(name);
}

}  // namespace mv
