// The code-page port: what the bytes of an 8-bit ANSI code page stand for, one character at
// a time, so that exports can turn snapshot text into UTF-8 on every platform; and the way
// back, UTF-8 names into the code page, for the writer.
#pragma once

#include <string>
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

// Appends utf8 in the code page to out. False when some character has no exact form in it
// (no look-alike stands in for it: "\u0142" is no "l"), when utf8 is not well-formed, or
// when the platform does not know the code page; what was appended then means nothing.
bool EncodeCodePageText(unsigned codePage, std::string_view utf8, std::string& out);

// The ANSI code page of the system: the Windows program's; 1252 elsewhere.
unsigned SystemAnsiCodePage();

}  // namespace mv
