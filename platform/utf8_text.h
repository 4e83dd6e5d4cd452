// UTF-8 as names cross the ports: every name handed through them is well-formed UTF-8, and a
// name that is not is altered, never passed on raw.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mv {

// Decodes the character that starts at text[at] and moves at past it. False, with at moved
// one byte, for a byte that starts no well-formed sequence (a stray continuation byte, an
// overlong form, a surrogate, a value beyond U+10FFFF or a sequence cut short).
bool NextCodePoint(std::string_view text, std::size_t& at, char32_t& value);

// Replaces every byte of text, from position `from` on, that belongs to no well-formed UTF-8
// sequence by '?'. True when any was replaced.
bool ReplaceInvalidUtf8(std::string& text, std::size_t from = 0);

// Whether every byte of text is ASCII.
bool IsAscii(std::string_view text);

}  // namespace mv
