// The code-page port on Windows: MultiByteToWideChar, refusing bytes the code page does not
// define, and the lead-byte table for two-byte code pages.
#include <windows.h>

#include "platform/code_page.h"

namespace mv {

bool DecodeCodePageCharacter(unsigned codePage, std::string_view bytes,
                             CodePageCharacter& character) {
  if (!IsValidCodePage(codePage)) return false;
  character = CodePageCharacter{};
  wchar_t wide[2] = {};
  const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(bytes.size()), wide, 2);
  if (count == 1) {
    character.kind = CodePageCharacter::Kind::kCharacter;
    character.value = wide[0];
  } else if (count == 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00) {
    character.kind = CodePageCharacter::Kind::kCharacter;
    character.value = 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) +
                      (static_cast<char32_t>(wide[1]) - 0xDC00);
  } else if (count == 0 && bytes.size() == 1 &&
             IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[0]))) {
    character.kind = CodePageCharacter::Kind::kIncomplete;
  }
  return true;
}

}  // namespace mv
