// The code-page port: what the bytes of an 8-bit ANSI code page stand for, one character at
// a time, so that exports can turn snapshot text into UTF-8 on every platform.
#pragma once

#include <string_view>

namespace mv {

struct CodePageCharacter {
  enum class Kind {
    kCharacter,   // bytes are one character, value
    kIncomplete,  // bytes is one lead byte: the character needs the byte after it
    kInvalid,     // bytes are no character of the code page
  };
  Kind kind = Kind::kInvalid;
  char32_t value = 0;
};

// Decodes bytes (one byte, or a lead byte and the byte after it) in the code page. False when
// the platform does not know the code page.
bool DecodeCodePageCharacter(unsigned codePage, std::string_view bytes,
                             CodePageCharacter& character);

}  // namespace mv
