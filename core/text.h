// Small text helpers with the exact semantics the file format and the sorts rely on:
// ASCII case-insensitive comparison, and numbers read the way atoi/_atoi64 read them.
#pragma once

#include <cstdint>
#include <string_view>

namespace mv {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);
// _strcmpi: compares the lower-cased bytes as unsigned; negative, zero or positive.
int CompareIgnoreCase(std::string_view a, std::string_view b);

// atoi/_atoi64: leading white space, an optional sign, then digits up to the first other
// character; no digits gives 0. Values beyond the type's range saturate.
std::int32_t ParseIntLikeAtoi(std::string_view text);
std::int64_t ParseInt64LikeAtoi64(std::string_view text);

}  // namespace mv
