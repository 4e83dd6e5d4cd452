// The code-page port on Windows: MultiByteToWideChar, refusing bytes the code page does not
// define, and the lead-byte table for two-byte code pages; WideCharToMultiByte the other way,
// refusing best-fit look-alikes.
#include <windows.h>

#include <climits>
#include <string>

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

bool EncodeCodePageText(unsigned codePage, std::string_view utf8, std::string& out) {
  if (utf8.empty()) return true;
  if (!IsValidCodePage(codePage) || codePage == CP_UTF8 || utf8.size() > INT_MAX / 2) return false;
  const int size = static_cast<int>(utf8.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (wideLength <= 0) return false;  // not well-formed UTF-8
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wideLength);
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
                                         nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, bytes.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault) return false;
  // The bytes must read back as the very characters: no look-alike slipped in.
  const int backLength =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  std::wstring back(static_cast<std::size_t>(backLength > 0 ? backLength : 0), L'\0');
  if (backLength <= 0 ||
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, back.data(),
                          backLength) != backLength ||
      back != wide) {
    return false;
  }
  out += bytes;
  return true;
}

unsigned SystemAnsiCodePage() {
  return GetACP();
}

}  // namespace mv
